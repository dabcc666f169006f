#include "extensions/creator/creator_model.h"

#include <utility>

#include "platform/failure.h"

namespace trwk::creator {
namespace {

constexpr char kTitle[] = "Info";
constexpr char kWarningTitle[] = "Are you sure??";
constexpr char kSection[] = "Main";

}  // namespace

CreatorModel::CreatorModel(Files& files, Ui& ui, std::string programFolder, std::string startFolder,
                           std::vector<SystemFolder> systemFolders)
    : files_(files),
      ui_(ui),
      settings_(files, nullptr),
      programFolder_(std::move(programFolder)),
      startFolder_(std::move(startFolder)),
      protection_(files, std::move(systemFolders), programFolder_) {}

void CreatorModel::tell(const std::string& text, Icon icon) {
  ui_.messageBox({text, kTitle, Buttons::Ok, icon, 1});
}

void CreatorModel::next() {
  if (step_ != Step::One) return;
  if (name.empty() || version.empty() || created.empty() || author.empty() || info.empty()) {
    tell("You have to fill all fields in the form");
    return;
  }
  // A name the file system cannot take would leave no plugin behind, or one under a
  // different name than the user gave ("Game." is stored as "Game").
  if (auto problem = pluginNameProblem(name, programFolder_)) {
    tell(*problem, Icon::Exclamation);
    return;
  }
  const std::string base = programFolder_ + "\\" + name;
  // Opened for appending, so that the lines of an existing plugin stay.
  try {
    files_.appendText(base + ".cp1", "");
  } catch (const Failure& f) {
    tell("The plugin file " + base + ".cp1 could not be created: " + f.description(), Icon::Exclamation);
    return;
  }
  header_ = base + ".cp2";
  body_ = base + ".cp1";
  if (!writeHeader()) {
    tell("The plugin file " + header_ + " could not be written.", Icon::Exclamation);
    return;
  }
  folders_.emplace(files_, startFolder_);
  resetFiles();
  resetRegistry();
  step_ = Step::Two;
}

bool CreatorModel::writeHeader() {
  // In this order; an existing plugin is switched off again until the user ticks it.
  const std::pair<const char*, const std::string*> keys[] = {
      {"Name", &name}, {"Version", &version}, {"Created", &created}, {"Author", &author}};
  for (const auto& [key, value] : keys)
    if (!settings_.AddToini(kSection, key, *value, header_)) return false;
  return settings_.AddToini(kSection, "Active", "0", header_) &&
         settings_.AddToini(kSection, "Info", info, header_);
}

void CreatorModel::cancel() {
  if (step_ == Step::One) step_ = Step::Ended;
}

bool CreatorModel::filesAddEnabled() const {
  if (!folders_ || folders_->path().empty()) return false;
  switch (fileOption) {
    case FileOption::SingleFile: return !fileName.empty();
    case FileOption::AllFiles: return true;
    case FileOption::WithExtension: return !extension.empty();
    case FileOption::Folder: return true;
    case FileOption::None: break;
  }
  return false;
}

std::string CreatorModel::pendingFileLine() const {
  if (!folders_) return {};
  return fileLine(fileOption, folders_->path(), fileName, extension);
}

// The folder is judged as the folder list shows it: a drive root's line ("C:") is no full
// path, but what the user chose is the drive.
std::optional<std::string> CreatorModel::pendingFileRefusal() const {
  if (!folders_) return std::nullopt;
  const std::string line = pendingFileLine();
  const std::string& folder = folders_->path();
  std::optional<std::string> why;
  switch (fileOption) {
    case FileOption::SingleFile: return protection_.fileRefusal(line);
    case FileOption::Folder: why = protection_.folderRefusal(folder); break;
    case FileOption::AllFiles:
    case FileOption::WithExtension:
      // A plugin's mask takes the matching folders too.
      why = protection_.maskRefusal(folder, line.substr(line.find_last_of('\\') + 1), true);
      break;
    case FileOption::None: return std::nullopt;
  }
  if (!why) why = unsafePathText(line, fileOption != FileOption::Folder);
  return why;
}

void CreatorModel::addFileLine() {
  if (step_ != Step::Two || !filesAddEnabled()) return;
  const std::string line = pendingFileLine();
  MessageBox question{"Do you want to add this line to your Plugin?\r\n" + line, kTitle, Buttons::YesNo,
                      Icon::Information, 2};
  if (auto why = pendingFileRefusal())
    question = {"Cleaning never removes what this line names: " + *why +
                    ".\r\nDo you want to add this line to your Plugin anyway?\r\n" + line,
                kWarningTitle, Buttons::YesNo, Icon::Exclamation, 2};
  if (ui_.messageBox(question) == Answer::Yes && appendLine(line)) resetFiles();
}

bool CreatorModel::registryAddEnabled() const {
  switch (registryOption) {
    case RegistryOption::Value: return !valueName.empty();
    case RegistryOption::Key: return true;
    case RegistryOption::None: break;
  }
  return false;
}

void CreatorModel::addRegistryLine() {
  if (step_ != Step::Two || !registryAddEnabled()) return;
  if (registryPath.empty()) {
    tell("You must enter the registry path");
    return;
  }
  if (appendLine(registryLine(registryOption, registryPath, valueName))) resetRegistry();
}

bool CreatorModel::appendLine(const std::string& line) {
  try {
    files_.appendText(body_, line + "\r\n");
    return true;
  } catch (const Failure& f) {
    // The frame keeps its choice, so the user can try again.
    tell("The line could not be added to " + body_ + ": " + f.description(), Icon::Exclamation);
    return false;
  }
}

void CreatorModel::resetFiles() {
  fileOption = FileOption::None;
  fileName.clear();
  extension.clear();
}

void CreatorModel::resetRegistry() {
  registryOption = RegistryOption::None;
  registryPath.clear();
  valueName.clear();
}

void CreatorModel::done() {
  if (step_ != Step::Two) return;
  tell("Plugin created!\r\n" + body_ + "\r\n" + header_ +
       "\r\n\r\nYou must restart Tarnwick before you can use the new plugin");
  step_ = Step::Ended;
}

void CreatorModel::closeStep2() {
  if (step_ == Step::Two) step_ = Step::Ended;
}

}  // namespace trwk::creator
