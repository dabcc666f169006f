#pragma once
// Shell services: known folders, the recycle bin, starting programs.
#include <optional>
#include <string>

namespace trwk {

enum class KnownFolder { History, InternetCache, Cookies, Recent, Windows, System, ProgramFiles, AppData, Temp };

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Folder path without a trailing separator, or nothing when the shell does not know it.
  virtual std::optional<std::string> knownFolder(KnownFolder id) = 0;
  // Folder of the running executable, without a trailing separator.
  virtual std::string programFolder() = 0;
  // Starts a program in a normal window without waiting; false when it could not start.
  virtual bool startProgram(const std::string& path, const std::string& arguments) = 0;
  virtual bool emptyRecycleBin() = 0;
};

}  // namespace trwk
