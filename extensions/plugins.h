#pragma once
// Plugins: user-made cleaning recipes in the program folder. A plugin is a header file
// "<name>.cp2" (section [Main]: Name, Version, Created, Author, Active, Info) and a body
// file "<name>.cp1" with one instruction a line: registry values ("HKEY_CURRENT_USER\key+
// value") and keys ("HKEY_CURRENT_USER\key-") to delete, "/*" comments, and files,
// masks and folders to remove.
#include <string>
#include <vector>

#include "cleaning/cleaning_context.h"
#include "foundation/session.h"

namespace trwk {

// The progress scope of "Clean Plugins": plugins have no clean items, so no item counts.
inline constexpr int kPluginsFamilyCode = 6;

// The plugin lists of the main window, built once at start (fixPlugins). Row i of every
// list is header file i; plugins made or deleted later show after a restart.
class Plugins {
 public:
  static constexpr const char* kPathCaption = "Path (Tarnwick)";
  // The captions of the page's two lists: the check-box list and List4.
  static constexpr const char* kAvailableCaption = "Available Plugins";
  static constexpr const char* kList4Caption = "Installed Plugins";

  explicit Plugins(Session& session) : session_(session) {}

  // Fills the lists from the header files of the program folder in name order (letter
  // case ignored, so that every file system gives the same order). An unreadable
  // `Active` is logged under "fixPlugins" and leaves its row unticked.
  void fixPlugins();
  // A click on row i's box in "Available Plugins": `Active` goes into header i at once.
  void setActive(int row, bool on);
  // The highlighted row of "Available Plugins" (-1 for none). A row chosen in List4 is
  // the same header file, so it highlights that row too.
  void highlight(int row);

  int rowCount() const { return static_cast<int>(headerFiles.size()); }
  // Full path of header file i; its body file's name ("Game2.cp2" -> "Game2.cp1").
  std::string headerPath(int row) const;
  std::string bodyFileName(int row) const;
  Session& session() const { return session_; }

  std::vector<std::string> headerFiles;  // the hidden file list: names of "*.cp2"
  std::vector<std::string> names;        // "Available Plugins": the `Name` of each header
  std::vector<bool> ticks;               // ... and its box
  std::vector<std::string> list4;        // the same names, as the plugin page's second list
  int highlighted = -1;
  std::string pathBox;  // program folder + "\"

 private:
  Session& session_;
};

// A header file's body file: its name with the last character replaced by "1".
std::string bodyFileFor(const std::string& headerFile);

// Runs one body file (its name in the program folder), line by line; a failed or refused
// line is logged under "pluginCleanFiles" with its line number and the next line runs.
void pluginCleanFiles(CleaningContext& context, const std::string& bodyFile);
// "Clean Plugins": the body file of every ticked row, in list order.
void cleanPlugins(CleaningContext& context, Plugins& plugins);

// "Start Plugin Creator": starts Extmaker1.exe from the program folder without waiting.
// When it is missing or does not start, a message says so. True when it started.
bool startPluginCreator(Session& session);

}  // namespace trwk
