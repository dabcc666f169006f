#include "extensions/user_def_sets.h"

#include <algorithm>

#include "cleaning/protection.h"
#include "cleaning/removal.h"
#include "cleaning/run_completion.h"
#include "foundation/convert.h"
#include "foundation/trap.h"
#include "platform/failure.h"

namespace trwk {

namespace {

constexpr int kUserDefFirstItem = 22;  // clean items 22..25 are sets 1..4

std::string withoutTrailingSpaces(const std::string& text) {
  const std::size_t last = text.find_last_not_of(' ');
  return last == std::string::npos ? "" : text.substr(0, last + 1);
}

bool endsWithSeparator(const std::string& path) {
  return !path.empty() && path.back() == '\\';
}

}  // namespace

std::string userDefListName(int set) {
  return "userdef" + std::to_string(set) + ".lst";
}
std::string userDefBaseName(int set) {
  return "userdef" + std::to_string(set) + ".000";
}

std::vector<std::string> readUserDefLines(Files& files, const std::string& path) {
  const std::string text = files.readAll(path);
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string::npos) {
      lines.push_back(text.substr(start));
      break;
    }
    lines.push_back(text.substr(start, end - start));
    start = end + (text.compare(end, 2, "\r\n") == 0 ? 2 : 1);
  }
  return lines;
}

// --- SetChooser

namespace {

std::vector<std::string> loadSet(Session& session, int set, Trap& trap) {
  std::vector<std::string> lines;
  trap.checkpoint();
  trap.run([&] { lines = readUserDefLines(session.platform.files, session.inFolder(userDefListName(set))); });
  return lines;
}

}  // namespace

void SetChooser::rebuild(const CleanCatalogue& catalogue, Trap& trap) {
  rows.clear();
  rowSets.clear();
  selected = -1;
  for (int k = 1; k <= kUserDefSets; ++k) {
    trap.checkpoint();
    trap.run([&] {
      const auto index = static_cast<std::size_t>(k - 1);
      if (toInteger(catalogue.userDefFlags[index]) == 1) {
        rows.push_back(catalogue.userDefNames[index]);
        rowSets.push_back(k);
      }
    });
  }
}

// --- UserDefSets

UserDefSets::UserDefSets(Session& session, CleanCatalogue& catalogue, const std::string& startFolder)
    : browser(session.platform.files, startFolder), session_(session), catalogue_(catalogue) {}

void UserDefSets::fixUserDef() {
  Trap trap(session_.log, "fixUserDef");
  chooser.rebuild(catalogue_, trap);
  trap.checkpoint();
  if (!chooser.rows.empty()) {
    addEnabled = true;
    removeEnabled = true;
    fileListEnabled = option == UserDefOption::SingleFiles;
    chooseRow(0);
  } else {
    entries.clear();
    selectedEntry = -1;
    addEnabled = false;
    removeEnabled = false;
    fileListEnabled = false;
  }
}

void UserDefSets::chooseRow(int row) {
  if (row < 0 || row >= static_cast<int>(chooser.rowSets.size())) return;
  chooser.selected = row;
  chosenSet = chooser.rowSets[static_cast<std::size_t>(row)];
  fillUserDefList();
}

void UserDefSets::fillUserDefList() {
  Trap trap(session_.log, "fillUserDefList");
  entries.clear();
  selectedEntry = -1;
  entries = loadSet(session_, chosenSet, trap);
}

void UserDefSets::chooseOption(UserDefOption chosen) {
  option = chosen;
  if (chosen == UserDefOption::SingleFiles) {
    if (!chooser.rows.empty()) {
      patternEnabled = true;
      fileListEnabled = true;
    }
  } else {
    patternEnabled = false;
    fileListEnabled = false;
  }
}

void UserDefSets::setPattern(const std::string& text) {
  patternText = text;
  browser.setPattern(text);
}

std::string UserDefSets::candidateFor(UserDefOption chosen, const std::string& folder,
                                      const std::string& fileName) {
  switch (chosen) {
    case UserDefOption::SingleFiles:
      return endsWithSeparator(folder) ? folder + fileName : folder + "\\" + fileName;
    case UserDefOption::FolderAndSubfolders: return folder;
    case UserDefOption::AllFilesInFolder: break;
  }
  return endsWithSeparator(folder) ? folder + "*.*" : folder + "\\*.*";
}

bool UserDefSets::isGuarded(const std::string& folder) const {
  return Protection(session_).folderRefusal(folder).has_value();
}

bool UserDefSets::ask(const std::string& text) {
  const MessageBox box{text, "Are you sure??", Buttons::YesNo, Icon::Critical, 2};
  return session_.platform.ui.messageBox(box) == Answer::Yes;
}

void UserDefSets::add() {
  // Without an active set there is no list to add to (the button is disabled then).
  if (chooser.rows.empty()) return;
  const std::string folder = browser.path();
  std::string candidate;
  if (option == UserDefOption::SingleFiles) {
    if (const auto name = browser.selectedFileName()) candidate = candidateFor(option, folder, *name);
  } else if (!folder.empty()) {
    candidate = candidateFor(option, folder);
  }

  const bool known = std::any_of(entries.begin(), entries.end(),
                                 [&](const std::string& e) { return withoutTrailingSpaces(e) == candidate; });
  if (!candidate.empty() && !known && entries.size() < kMaxUserDefEntries) {
    bool wanted = true;
    if (option != UserDefOption::SingleFiles && isGuarded(folder)) {
      wanted = ask(option == UserDefOption::FolderAndSubfolders
                       ? "Do you want to remove the folder " + folder + " and subfolders "
                       : "Do you want to remove all files in folder " + folder);
    }
    if (wanted) entries.push_back(candidate);
  }
  save();
}

void UserDefSets::doubleClickFile(int row) {
  browser.selectFile(row);
  if (!browser.selectedFileName()) return;
  const UserDefOption chosen = option;
  option = UserDefOption::SingleFiles;
  add();
  option = chosen;
}

void UserDefSets::selectEntry(int row) {
  selectedEntry = row >= 0 && row < static_cast<int>(entries.size()) ? row : -1;
}

void UserDefSets::remove() {
  if (chooser.rows.empty()) return;
  if (selectedEntry >= 0 && selectedEntry < static_cast<int>(entries.size()))
    entries.erase(entries.begin() + selectedEntry);
  selectedEntry = -1;
  save();
}

void UserDefSets::pressTool(int tool) {
  if (tool == kToolAdd && addEnabled) add();
  if (tool == kToolRemove && removeEnabled) remove();
}

void UserDefSets::doubleClickEntry(int row) {
  selectEntry(row);
  if (selectedEntry >= 0) remove();
}

void UserDefSets::save() {
  // With no active set the list shown is empty and belongs to no set: writing it would
  // wipe the list of a set the user only switched off.
  if (chooser.rows.empty()) return;
  Files& files = session_.platform.files;
  Ui& ui = session_.platform.ui;
  std::string content;
  try {
    content = files.readAll(session_.inFolder(userDefBaseName(chosenSet)));
  } catch (const Failure& f) {
    ui.messageBox({std::to_string(systemErrorOf(f)), "", Buttons::Ok, Icon::None, 1});
    content.clear();
  }
  // A hand-edited base without a final line break must not run into the first entry.
  if (!content.empty() && content.back() != '\n' && content.back() != '\r') content += "\r\n";
  for (const std::string& entry : entries) content += entry + "\r\n";
  try {
    files.replaceAtomically(session_.inFolder(userDefListName(chosenSet)), content);
  } catch (const Failure&) {
    // The old list is whole; the user is told that this save did not happen.
    ui.messageBox({"Operation Failed", "", Buttons::Ok, Icon::None, 1});
  }
}

int systemErrorOf(const Failure& failure) {
  switch (failure.number()) {
    case fail::kFileNotFound: return 2;  // ERROR_FILE_NOT_FOUND
    case fail::kPathNotFound: return 3;  // ERROR_PATH_NOT_FOUND
    case fail::kPermissionDenied:
    case fail::kPathFileAccess: return 5;    // ERROR_ACCESS_DENIED
    case fail::kFileAlreadyOpen: return 32;  // ERROR_SHARING_VIOLATION
    case fail::kFileExists: return 80;       // ERROR_FILE_EXISTS
    case fail::kDiskFull: return 112;        // ERROR_DISK_FULL
    default: return 31;                      // ERROR_GEN_FAILURE
  }
}

// --- UserDefViewer

UserDefViewer::UserDefViewer(Session& session, const CleanCatalogue& catalogue)
    : session_(session), catalogue_(catalogue) {}

void UserDefViewer::open() {
  closed = false;
  fixUserDef();
}

void UserDefViewer::fixUserDef() {
  Trap trap(session_.log, "Form4.fixUserDef");
  chooser.rebuild(catalogue_, trap);
  trap.checkpoint();
  if (chooser.rows.empty()) {
    entries.clear();
    return;
  }
  chooseRow(0);
}

void UserDefViewer::chooseRow(int row) {
  if (row < 0 || row >= static_cast<int>(chooser.rowSets.size())) return;
  chooser.selected = row;
  chosenSet = chooser.rowSets[static_cast<std::size_t>(row)];
  fillUserDefList();
}

void UserDefViewer::fillUserDefList() {
  Trap trap(session_.log, "Form4.fillUserDefList");
  entries.clear();
  entries = loadSet(session_, chosenSet, trap);
}

// --- Cleaning

namespace {

bool isMask(const std::string& path) {
  const std::size_t slash = path.rfind('\\');
  return path.find_first_of("*?", slash == std::string::npos ? 0 : slash) != std::string::npos;
}

void removeLine(CleaningContext& context, Removal& removal, const std::string& line, Trap& trap) {
  Session& session = context.session;
  if (line.empty()) return;
  // The text alone decides here; what the line names is judged by the removal engine.
  if (const auto refusal = unsafePathText(line, true)) {
    trap.report(fail::kInvalidCall, "Refused entry (" + *refusal + "): " + line);
    return;
  }
  if (!session.settings.folderExists(line)) return;

  context.state.statusText = "Removing User.def " + line;
  context.refresh();
  session.platform.ui.doEvents();

  std::string target = line;
  while (target.size() > 3 && target.back() == '\\') target.pop_back();
  trap.run([&] {
    if (isMask(target))
      removal.deleteMatching(target, true, OnError::KeepGoing);
    else if (session.platform.files.folderExists(target))
      removal.deleteTree(target, OnError::KeepGoing);
    else
      removal.deleteFile(target);
  });
}

}  // namespace

void removeUserdefinedSel(CleaningContext& context, int set) {
  Session& session = context.session;
  Trap trap(session.log, "removeUserdefinedSel");
  if (set < 0 || set >= kUserDefSets) return;
  std::vector<std::string> lines;
  trap.checkpoint();
  if (!trap.run([&] {
        lines = readUserDefLines(session.platform.files, session.inFolder(userDefListName(set + 1)));
      }))
    return;
  trap.checkpoint();
  Removal removal(session);
  for (const std::string& line : lines) removeLine(context, removal, line, trap);
}

void cleanUserDefined(CleaningContext& context, UserDefSets&) {
  cleanUserDefined(context);
}

void cleanUserDefined(CleaningContext& context) {
  RunState& state = context.state;
  Trap trap(context.session.log, "RensaEgendef");

  state.runningFamily = "User Defined";
  state.statusText = "Please Wait";
  context.refresh();
  trap.checkpoint();
  if (!state.cleanAllRunning)
    trap.run([&] { beginFamilyRun(context, static_cast<int>(Family::UserDefined)); });

  for (int set = 0; set < kUserDefSets; ++set) {
    trap.checkpoint();
    if (!context.catalogue.item(kUserDefFirstItem + set).ticked) continue;
    trap.run([&] { removeUserdefinedSel(context, set); });
    state.progress.advance();
    context.refresh();
  }

  trap.checkpoint();
  if (!state.cleanAllRunning) trap.run([&] { completeRun(context); });
}

}  // namespace trwk
