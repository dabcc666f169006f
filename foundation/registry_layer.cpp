#include "foundation/registry_layer.h"

#include <array>
#include <utility>

namespace trwk {
namespace {

constexpr std::array<std::pair<const char*, RootKey>, 7> kRoots = {{
    {"HKEY_CLASSES_ROOT", RootKey::ClassesRoot},
    {"HKEY_CURRENT_USER", RootKey::CurrentUser},
    {"HKEY_LOCAL_MACHINE", RootKey::LocalMachine},
    {"HKEY_USERS", RootKey::Users},
    {"HKEY_PERFORMANCE_DATA", RootKey::PerformanceData},
    {"HKEY_CURRENT_CONFIG", RootKey::CurrentConfig},
    {"HKEY_DYN_DATA", RootKey::DynData},
}};

}  // namespace

RootKey RegistryLayer::rootKeyFromName(const std::string& name) {
  for (const auto& [text, root] : kRoots)
    if (name == text) return root;
  return RootKey::None;
}

bool RegistryLayer::splitKeyPath(std::string& path, RootKey& root) {
  if (path.rfind("HKEY_", 0) != 0 || path.back() == '\\') {
    ui_.messageBox({"Incorrect Format:\n\n" + path, "", Buttons::Ok, Icon::None, 1});
    return false;
  }
  auto slash = path.find('\\');
  if (slash == std::string::npos) {
    root = rootKeyFromName(path);
    path.clear();
  } else {
    root = rootKeyFromName(path.substr(0, slash));
    path = path.substr(slash + 1);
  }
  return true;
}

void RegistryLayer::setStringValue(const std::string& fullKeyPath, const std::string& name,
                                   const std::string& text) {
  std::string subkey = fullKeyPath;
  RootKey root = RootKey::None;
  if (!splitKeyPath(subkey, root) || root == RootKey::None) return;
  lastStatus_ = registry_.keyExists(root, subkey);
  if (lastStatus_ != 0) return;
  lastStatus_ = registry_.setString(root, subkey, name, text);
}

void RegistryLayer::deleteValue(RootKey root, const std::string& subkey, const std::string& name) {
  lastStatus_ = registry_.deleteValue(root, subkey, name);
}

std::optional<std::string> RegistryLayer::readStringValue(RootKey root, const std::string& subkey,
                                                          const std::string& name) {
  RegValue value;
  lastStatus_ = registry_.queryValue(root, subkey, name, value);
  if (lastStatus_ != 0 || value.type != ValueType::String) return std::nullopt;
  auto nul = value.data.find('\0');
  return nul == std::string::npos ? value.data : value.data.substr(0, nul);
}

std::string driveFreeKB(Files& files, const std::string& path) {
  if (path.empty()) return "";
  std::string root = std::string(1, path[0]) + ":\\";
  std::uint64_t bytes = files.driveFreeBytes(root).value_or(0);
  return std::to_string(bytes / 1024);
}

}  // namespace trwk
