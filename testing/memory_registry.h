#pragma once
// An in-memory registry for model tests that need no files.
#include <map>
#include <set>
#include <string>

#include "platform/registry.h"

namespace trwk::testing {

class MemoryRegistry : public Registry {
 public:
  long keyExists(RootKey root, const std::string& subkey) override;
  long createKey(RootKey root, const std::string& subkey) override;
  long setString(RootKey root, const std::string& subkey, const std::string& name,
                 const std::string& value) override;
  long queryValue(RootKey root, const std::string& subkey, const std::string& name, RegValue& out) override;
  long deleteValue(RootKey root, const std::string& subkey, const std::string& name) override;
  long deleteKey(RootKey root, const std::string& subkey) override;

  // Stores a value of any type under a key, creating the key.
  void put(RootKey root, const std::string& subkey, const std::string& name, RegValue value);
  int writes = 0;

 private:
  static std::string keyId(RootKey root, const std::string& subkey);
  std::set<std::string> keys_;
  std::map<std::string, std::map<std::string, RegValue>> values_;
};

}  // namespace trwk::testing
