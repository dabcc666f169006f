#include "foundation/system_folders.h"

#include <utility>

namespace trwk {

std::vector<SystemFolder> systemFoldersOf(Desktop& desktop, const std::string& programFolder) {
  static const std::pair<KnownFolder, const char*> kKnown[] = {
      {KnownFolder::Windows, "the Windows folder"},
      {KnownFolder::System, "the System folder"},
      {KnownFolder::SystemX86, "the System folder"},
      {KnownFolder::ProgramFiles, "the Program Files folder"},
      {KnownFolder::ProgramFilesX86, "the Program Files folder"},
      {KnownFolder::ProgramData, "the common application data folder"},
      {KnownFolder::Profiles, "the folder of the user profiles"},
      {KnownFolder::Profile, "the user's profile folder"},
      {KnownFolder::Desktop, "the user's Desktop"},
      {KnownFolder::Documents, "the user's Documents"},
  };
  std::vector<SystemFolder> out;
  for (const auto& [id, what] : kKnown) {
    std::optional<std::string> path;
    try {
      path = desktop.knownFolder(id);
    } catch (...) {
      // A desktop that cannot answer knows no such folder.
    }
    if (path && !path->empty()) out.push_back({*path, what});
  }
  if (!programFolder.empty()) out.push_back({programFolder, "the program folder"});
  return out;
}

}  // namespace trwk
