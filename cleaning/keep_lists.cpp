#include "cleaning/keep_lists.h"

#include <utility>

#include "cleaning/removal.h"
#include "cleaning/secure_removal.h"
#include "foundation/trap.h"
#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk {

namespace {

bool isBlank(char c) {
  return c == ' ' || c == '\t';
}
bool endsField(char c) {
  return c == ',' || c == '\r' || c == '\n';
}

// An entry as the list holds it: in double quotes when it would not read back as itself
// otherwise (a comma in a file name, blanks around it), as the reader takes quotes off.
std::string listField(const std::string& entry) {
  const bool plain =
      entry.find_first_of(",\r\n") == std::string::npos &&
      (entry.empty() || (!isBlank(entry.front()) && !isBlank(entry.back()) && entry.front() != '"'));
  if (plain || entry.find('"') != std::string::npos) return entry;  // a quote in it cannot be held
  return '"' + entry + '"';
}

std::string withoutTrailingBlanks(std::string text) {
  while (!text.empty() && isBlank(text.back())) text.pop_back();
  return text;
}

void showStatus(CleaningContext& context, std::string text) {
  context.state.statusText = std::move(text);
  context.refresh();
}

}  // namespace

std::vector<std::string> readListFields(Files& files, const std::string& path) {
  std::vector<std::string> fields;
  if (!files.fileExists(path)) return fields;
  const std::string text = files.readAll(path);
  std::size_t i = 0;
  const std::size_t n = text.size();
  while (i < n) {
    while (i < n && isBlank(text[i])) ++i;
    std::string field;
    if (i < n && text[i] == '"') {
      std::size_t close = text.find('"', i + 1);
      if (close == std::string::npos) close = n;
      field = text.substr(i + 1, close - i - 1);
      i = close < n ? close + 1 : n;
      while (i < n && !endsField(text[i])) ++i;  // anything after the closing quote is dropped
    } else {
      std::size_t start = i;
      while (i < n && !endsField(text[i])) ++i;
      field = withoutTrailingBlanks(text.substr(start, i - start));
    }
    fields.push_back(std::move(field));
    if (i < n) {
      if (text[i] == '\r' && i + 1 < n && text[i + 1] == '\n') ++i;
      ++i;
    }
  }
  return fields;
}

std::string folderFile(const std::string& folder, const std::string& name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

void listCookiesToSave(CleaningContext& context) {
  Session& session = context.session;
  Trap trap(session.log, "listCookiestoSave");
  // A list that cannot be read leaves the copy as it was: the cookies kept so far stay kept.
  trap.run(
      [&] { context.ieKeepList = readListFields(session.platform.files, session.inFolder("cookies1.lst")); });
}

void removeCookies(CleaningContext& context) {
  Session& session = context.session;
  Files& files = session.platform.files;
  Trap trap(session.log, "removeCookies");
  const std::string folder = context.paths.ie3;
  std::string bareFolder = folder;  // the overwrite adds its own separator
  while (!bareFolder.empty() && (bareFolder.back() == '\\' || bareFolder.back() == '/'))
    bareFolder.pop_back();

  std::int16_t count = 0;
  trap.run([&] { count = passes(context.catalogue.safetyLevel); });
  trap.checkpoint();

  std::vector<DirEntry> cookies;
  trap.run([&] {
    if (!files.folderExists(folder)) return;
    // Every file but the kept ones goes: a protected folder is never taken for the cookies.
    if (auto why = Protection(session).folderRefusal(folder))
      throw Failure(fail::kPermissionDenied, failureDescription(fail::kPermissionDenied) + ": " + *why);
    cookies = files.list(folderFile(folder, "*.*"), {true, false, false});
  });
  trap.checkpoint();

  SecureRemoval secure(session);
  Removal removal(session);
  int processed = 0;
  for (const DirEntry& cookie : cookies) {
    trap.checkpoint();
    bool kept = false;
    for (const std::string& entry : context.ieKeepList)
      if (entry == cookie.name) kept = true;  // whole name, letter case included
    if (kept) continue;
    // The index is locked while Windows runs; zap takes it at the next start. Windows
    // names ignore case, so "INDEX.DAT" is the same file.
    const bool index = equalsNoCase(cookie.name, "index.dat");
    for (int pass = 0; pass < count; ++pass) {
      ++processed;
      showStatus(context, "Please wait...Security level processing " + std::to_string(processed));
      // A link is removed as itself below; writing through it would reach its target.
      if (!index && !cookie.isLink) trap.run([&] { secure.overWriteFileIE(bareFolder, cookie.name); });
    }
    if (index) continue;
    showStatus(context, "Removing Cookie");
    trap.run([&] {
      const std::string path = folderFile(folder, cookie.name);
      if (files.fileExists(path) || cookie.isLink) removal.deleteFile(path);
    });
  }
  context.refresh();  // the window's list of cookie files
}

KeepListEditor::KeepListEditor(Session& session, std::string listName, std::string templateName)
    : session_(session), listName_(std::move(listName)), templateName_(std::move(templateName)) {}

bool KeepListEditor::has(const std::string& name) const {
  for (const std::string& entry : entries)
    if (withoutTrailingBlanks(entry) == name) return true;
  return false;
}

void KeepListEditor::addEntry(const std::string& name) {
  if (!has(name)) entries.push_back(name);
}

void KeepListEditor::selectEntry(int index) {
  selectedEntry = index >= 0 && index < static_cast<int>(entries.size()) ? index : -1;
}

void KeepListEditor::deleteEntry() {
  if (selectedEntry < 0 || selectedEntry >= static_cast<int>(entries.size())) return;
  entries.erase(entries.begin() + selectedEntry);
  selectedEntry = -1;
}

void KeepListEditor::doubleClickEntry(int index) {
  selectEntry(index);
  deleteEntry();
}

std::vector<std::string> KeepListEditor::readList() {
  return readListFields(session_.platform.files, session_.inFolder(listName_));
}

void KeepListEditor::save(Trap& trap) {
  Files& files = session_.platform.files;
  std::string content;
  try {
    content = files.readAll(session_.inFolder(templateName_));
  } catch (const Failure& f) {
    session_.platform.ui.messageBox({std::to_string(f.number()), "", Buttons::Ok, Icon::None, 1});
  }
  trap.checkpoint();
  // A hand-edited template without a final line break must not run into the first entry.
  if (!content.empty() && content.back() != '\n' && content.back() != '\r') content += "\r\n";
  for (const std::string& entry : entries) content += listField(entry) + "\r\n";
  trap.run([&] { files.replaceAtomically(session_.inFolder(listName_), content); });
}

}  // namespace trwk
