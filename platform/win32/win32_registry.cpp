// The registry on the wide Win32 API. Statuses are handed back as the system gives them
// (0 success, 2 not found, 5 access denied ...); the registry layer keeps the last one.
#include <cstring>
#include <vector>

#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_support.h"

namespace trwk::win32 {
namespace {

HKEY rootHandle(RootKey root) {
  switch (root) {
    case RootKey::ClassesRoot: return HKEY_CLASSES_ROOT;
    case RootKey::CurrentUser: return HKEY_CURRENT_USER;
    case RootKey::LocalMachine: return HKEY_LOCAL_MACHINE;
    case RootKey::Users: return HKEY_USERS;
    case RootKey::PerformanceData: return HKEY_PERFORMANCE_DATA;
    case RootKey::CurrentConfig: return HKEY_CURRENT_CONFIG;
    case RootKey::DynData: return HKEY_DYN_DATA;
    case RootKey::None: break;
  }
  return nullptr;
}

// An open key, closed when it goes.
class Key {
 public:
  Key() = default;
  ~Key() {
    if (h_) RegCloseKey(h_);
  }
  Key(const Key&) = delete;
  Key& operator=(const Key&) = delete;
  long open(RootKey root, const std::string& subkey, REGSAM access) {
    HKEY parent = rootHandle(root);
    if (!parent) return regstatus::kInvalidHandle;
    return RegOpenKeyExW(parent, widen(subkey).c_str(), 0, access, &h_);
  }
  long close() {
    LONG status = RegCloseKey(h_);
    h_ = nullptr;
    return status;
  }
  HKEY get() const { return h_; }

 private:
  HKEY h_ = nullptr;
};

ValueType typeOf(DWORD type) {
  switch (type) {
    case REG_NONE: return ValueType::None;
    case REG_SZ: return ValueType::String;
    case REG_EXPAND_SZ: return ValueType::ExpandString;
    case REG_BINARY: return ValueType::Binary;
    case REG_DWORD: return ValueType::Dword;
    default: return ValueType::Other;
  }
}

}  // namespace

long Win32Registry::keyExists(RootKey root, const std::string& subkey) {
  Key key;
  return key.open(root, subkey, KEY_READ);
}

long Win32Registry::createKey(RootKey root, const std::string& subkey) {
  HKEY parent = rootHandle(root);
  if (!parent) return regstatus::kInvalidHandle;
  HKEY h = nullptr;
  LONG status = RegCreateKeyExW(parent, widen(subkey).c_str(), 0, nullptr, REG_OPTION_NON_VOLATILE,
                                KEY_READ | KEY_WRITE, nullptr, &h, nullptr);
  if (status == ERROR_SUCCESS) RegCloseKey(h);
  return status;
}

long Win32Registry::setString(RootKey root, const std::string& subkey, const std::string& name,
                              const std::string& value) {
  Key key;
  // Only an existing key is opened: nothing is ever created here.
  if (long status = key.open(root, subkey, KEY_SET_VALUE); status != ERROR_SUCCESS) return status;
  std::wstring data = widen(value);  // stored with its final NUL, as string values should be
  LONG status =
      RegSetValueExW(key.get(), widen(name).c_str(), 0, REG_SZ, reinterpret_cast<const BYTE*>(data.c_str()),
                     DWORD((data.size() + 1) * sizeof(wchar_t)));
  long closed = key.close();
  return status != ERROR_SUCCESS ? status : closed;
}

long Win32Registry::queryValue(RootKey root, const std::string& subkey, const std::string& name,
                               RegValue& out) {
  out = RegValue{};
  Key key;
  if (long status = key.open(root, subkey, KEY_QUERY_VALUE); status != ERROR_SUCCESS) return status;
  std::wstring wideName = widen(name);
  DWORD type = REG_NONE, size = 0;
  LONG status = RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, nullptr, &size);
  if (status != ERROR_SUCCESS) return status;
  std::vector<BYTE> data;
  // The value may grow between the two questions: ask again until it fits.
  do {
    data.resize(size + sizeof(wchar_t));
    size = DWORD(data.size());
    status = RegQueryValueExW(key.get(), wideName.c_str(), nullptr, &type, data.data(), &size);
  } while (status == ERROR_MORE_DATA);
  if (status != ERROR_SUCCESS) return status;
  data.resize(size);
  out.type = typeOf(type);
  if (type == REG_SZ || type == REG_EXPAND_SZ) {
    std::wstring text(size / sizeof(wchar_t), L'\0');
    std::memcpy(text.data(), data.data(), text.size() * sizeof(wchar_t));
    if (!text.empty() && text.back() == L'\0') text.pop_back();
    out.data = narrow(text);
  } else {
    out.data.assign(data.begin(), data.end());
  }
  return ERROR_SUCCESS;
}

long Win32Registry::deleteValue(RootKey root, const std::string& subkey, const std::string& name) {
  Key key;
  if (long status = key.open(root, subkey, KEY_SET_VALUE); status != ERROR_SUCCESS) return status;
  LONG status = RegDeleteValueW(key.get(), widen(name).c_str());
  long closed = key.close();
  return status != ERROR_SUCCESS ? status : closed;
}

long Win32Registry::deleteKey(RootKey root, const std::string& subkey) {
  HKEY parent = rootHandle(root);
  if (!parent) return regstatus::kInvalidHandle;
  // An empty subkey would name the root itself, which is never ours to delete.
  if (subkey.find_first_not_of('\\') == std::string::npos) return regstatus::kAccessDenied;
  // The system refuses a key that still has subkeys (status 5), as intended.
  return RegDeleteKeyW(parent, widen(subkey).c_str());
}

}  // namespace trwk::win32
