#pragma once
// Reads, sets and deletes string values by full key path. Failures are never shown:
// each call keeps the platform's status in lastStatus() and returns quietly. The only
// message is the format error of a full key path.
#include <optional>
#include <string>

#include "platform/files.h"
#include "platform/registry.h"
#include "platform/ui.h"

namespace trwk {

class RegistryLayer {
 public:
  RegistryLayer(Registry& registry, Ui& ui) : registry_(registry), ui_(ui) {}

  // "HKEY_CURRENT_USER" -> CurrentUser; exact letter case; anything else None.
  static RootKey rootKeyFromName(const std::string& name);
  // Checks "HKEY_...\sub\key"; on success sets root and leaves the subkey in path. A
  // path that does not begin with "HKEY_" or ends with a backslash shows
  // "Incorrect Format:" and returns false with root and path untouched.
  bool splitKeyPath(std::string& path, RootKey& root);

  // Sets a string value under an existing key; creates nothing.
  void setStringValue(const std::string& fullKeyPath, const std::string& name, const std::string& text);
  void deleteValue(RootKey root, const std::string& subkey, const std::string& name);
  // The text of a string value; nothing when it is absent or not a string.
  std::optional<std::string> readStringValue(RootKey root, const std::string& subkey, const std::string& name);

  long lastStatus() const { return lastStatus_; }

 private:
  Registry& registry_;
  Ui& ui_;
  long lastStatus_ = 0;
};

// Free kilobytes of the drive named by the path's first character, as decimal text;
// "" for an empty path, "0" when the drive cannot be asked.
std::string driveFreeKB(Files& files, const std::string& path);

}  // namespace trwk
