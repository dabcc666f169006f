#pragma once
// What every window model of one run shares: the services, the program folder and the
// two files beside the program that everything reports to and reads from.
#include <optional>
#include <string>
#include <vector>

#include "foundation/run_log.h"
#include "foundation/settings.h"
#include "foundation/system_folders.h"
#include "platform/platform.h"

namespace trwk {

class Session {
 public:
  // programFolder: the executable's folder without a trailing separator.
  Session(Platform platform, std::string programFolder);
  Session(const Session&) = delete;
  Session& operator=(const Session&) = delete;

  Platform platform;
  const std::string programFolder;
  RunLog log;
  Settings settings;
  // Set by the agreement window: the user pressed "I Disagree".
  bool declined = false;

  // programFolder + "\" + name, with one separator also at a drive root.
  std::string inFolder(const std::string& name) const { return inProgramFolder(programFolder, name); }
  std::string maintenIni() const { return inFolder("mainten.ini"); }

  // The system's own folders and the program folder, asked of the desktop once a run.
  const std::vector<SystemFolder>& systemFolders() {
    if (!systemFolders_) systemFolders_ = systemFoldersOf(platform.desktop, programFolder);
    return *systemFolders_;
  }

 private:
  std::optional<std::vector<SystemFolder>> systemFolders_;
};

// The executable's folder as the program keeps it: one trailing separator dropped.
std::string programFolderFrom(std::string executableFolder);

}  // namespace trwk
