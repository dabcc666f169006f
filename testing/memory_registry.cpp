#include "testing/memory_registry.h"

#include "platform/text_encoding.h"

namespace trwk::testing {

std::string MemoryRegistry::keyId(RootKey root, const std::string& subkey) {
  return std::to_string(static_cast<std::uint32_t>(root)) + "\\" + upperCp1252(subkey);
}

long MemoryRegistry::keyExists(RootKey root, const std::string& subkey) {
  if (subkey.empty()) return root == RootKey::None ? regstatus::kInvalidHandle : regstatus::kSuccess;
  return keys_.count(keyId(root, subkey)) ? regstatus::kSuccess : regstatus::kFileNotFound;
}

long MemoryRegistry::createKey(RootKey root, const std::string& subkey) {
  ++writes;
  std::string partial;
  for (std::size_t i = 0; i <= subkey.size(); ++i) {
    if (i == subkey.size() || subkey[i] == '\\') {
      if (!partial.empty()) keys_.insert(keyId(root, partial));
    }
    if (i < subkey.size()) partial += subkey[i];
  }
  return regstatus::kSuccess;
}

long MemoryRegistry::setString(RootKey root, const std::string& subkey, const std::string& name,
                               const std::string& value) {
  if (long s = keyExists(root, subkey)) return s;
  ++writes;
  values_[keyId(root, subkey)][upperCp1252(name)] = {ValueType::String, value};
  return regstatus::kSuccess;
}

long MemoryRegistry::queryValue(RootKey root, const std::string& subkey, const std::string& name,
                                RegValue& out) {
  if (long s = keyExists(root, subkey)) return s;
  auto key = values_.find(keyId(root, subkey));
  if (key == values_.end()) return regstatus::kFileNotFound;
  auto v = key->second.find(upperCp1252(name));
  if (v == key->second.end()) return regstatus::kFileNotFound;
  out = v->second;
  return regstatus::kSuccess;
}

long MemoryRegistry::deleteValue(RootKey root, const std::string& subkey, const std::string& name) {
  if (long s = keyExists(root, subkey)) return s;
  ++writes;
  return values_[keyId(root, subkey)].erase(upperCp1252(name)) ? regstatus::kSuccess : regstatus::kFileNotFound;
}

long MemoryRegistry::deleteKey(RootKey root, const std::string& subkey) {
  if (long s = keyExists(root, subkey)) return s;
  std::string id = keyId(root, subkey);
  for (const auto& k : keys_)
    if (k.size() > id.size() && k.compare(0, id.size() + 1, id + "\\") == 0) return regstatus::kAccessDenied;
  ++writes;
  keys_.erase(id);
  values_.erase(id);
  return regstatus::kSuccess;
}

void MemoryRegistry::put(RootKey root, const std::string& subkey, const std::string& name, RegValue value) {
  createKey(root, subkey);
  values_[keyId(root, subkey)][upperCp1252(name)] = std::move(value);
}

}  // namespace trwk::testing
