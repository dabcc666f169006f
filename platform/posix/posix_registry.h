#pragma once
// The registry service over a Wine prefix: HKEY_CURRENT_USER is user.reg,
// HKEY_LOCAL_MACHINE is system.reg, HKEY_CLASSES_ROOT its Software\Classes. Every change
// rereads the file and writes it back atomically. While a wineserver serves the prefix
// no change is made (status 5): it keeps the registry in memory and would overwrite it.
#include <memory>

#include "platform/posix/wine_prefix.h"
#include "platform/registry.h"

namespace trwk::posix {

class PosixRegistry : public Registry {
 public:
  explicit PosixRegistry(std::shared_ptr<const WinePrefix> prefix) : prefix_(std::move(prefix)) {}

  long keyExists(RootKey root, const std::string& subkey) override;
  long createKey(RootKey root, const std::string& subkey) override;
  long setString(RootKey root, const std::string& subkey, const std::string& name,
                 const std::string& value) override;
  long queryValue(RootKey root, const std::string& subkey, const std::string& name, RegValue& out) override;
  long deleteValue(RootKey root, const std::string& subkey, const std::string& name) override;
  long deleteKey(RootKey root, const std::string& subkey) override;

 private:
  std::shared_ptr<const WinePrefix> prefix_;
};

}  // namespace trwk::posix
