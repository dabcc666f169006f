#pragma once
// The plugin creator's two steps without their windows: step 1 takes the plugin's name
// and description and writes the header file, step 2 appends the body lines one by one.
// The views copy the boxes and options into the public fields and call the handlers;
// everything the user is told goes through Ui.
#include <optional>
#include <string>
#include <vector>

#include "cleaning/protection.h"
#include "extensions/creator/plugin_lines.h"
#include "extensions/folder_browser.h"
#include "foundation/settings.h"
#include "platform/files.h"
#include "platform/ui.h"

namespace trwk::creator {

inline constexpr char kStep1Caption[] = "Plugin Creator 1.1 - Step 1";
inline constexpr char kStep2Caption[] = "Plugin Creator 1.1 - Step 2";

class CreatorModel {
 public:
  enum class Step { One, Two, Ended };

  // programFolder receives the plugin; startFolder is where the folder list opens
  // (the current folder of the program). systemFolders (systemFoldersOf) are what no
  // plugin may clean: a line naming one asks before it is added.
  CreatorModel(Files& files, Ui& ui, std::string programFolder, std::string startFolder,
               std::vector<SystemFolder> systemFolders);

  Step step() const { return step_; }

  // Step 1: the five boxes, "Next" and "Cancel".
  std::string name, version, created, author, info;
  void next();
  void cancel();

  // Fixed when step 1 is accepted: the header (.cp2) and body (.cp1) files.
  const std::string& headerPath() const { return header_; }
  const std::string& bodyPath() const { return body_; }

  // Step 2, "Files and Folders". The folder list exists from step 2 on.
  FolderBrowser* folders() { return folders_ ? &*folders_ : nullptr; }
  FileOption fileOption = FileOption::None;
  std::string fileName, extension;
  bool filesAddEnabled() const;
  // The line "Add to Plugin" would offer now (empty with no option chosen).
  std::string pendingFileLine() const;
  // Why cleaning would refuse the pending line (a protected folder, a mask in one, one of
  // the program's own files, unsafe text), or nothing.
  std::optional<std::string> pendingFileRefusal() const;
  // Asks before adding; a line cleaning would refuse asks with a warning instead.
  void addFileLine();

  // Step 2, "Registry Keys and Values".
  RegistryOption registryOption = RegistryOption::None;
  std::string registryPath, valueName;
  bool registryAddEnabled() const;
  void addRegistryLine();

  // "Done": tells where the plugin went and ends; closing step 2 ends without a word.
  void done();
  void closeStep2();

 private:
  bool writeHeader();
  bool appendLine(const std::string& line);
  void tell(const std::string& text, Icon icon = Icon::Information);
  void resetFiles();
  void resetRegistry();

  Files& files_;
  Ui& ui_;
  Settings settings_;  // the header is a profile file; the creator keeps no run log
  std::string programFolder_, startFolder_;
  Protection protection_;
  Step step_ = Step::One;
  std::string header_, body_;
  std::optional<FolderBrowser> folders_;
};

}  // namespace trwk::creator
