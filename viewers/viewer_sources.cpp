#include "viewers/viewer_sources.h"

#include <algorithm>
#include <cstdio>
#include <utility>

#include "cleaning/keep_lists.h"
#include "cleaning/netscape_cleaner.h"
#include "cleaning/path_availability.h"
#include "cleaning/protection.h"
#include "cleaning/removal.h"
#include "cleaning/secure_removal.h"
#include "foundation/registry_layer.h"
#include "foundation/trap.h"
#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk {

namespace {

constexpr int kMruLetters = 20;  // "a".."t"

std::string timeText(const FileTime& t) {
  char text[32];
  std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d", t.year, t.month, t.day, t.hour, t.minute);
  return text;
}

std::string currentUserPath(const std::string& subkey) {
  return "HKEY_CURRENT_USER\\" + subkey;
}

// A value removal that did not happen is a failure for the log; an absent value is not.
void deleteValue(RegistryLayer& registry, Trap& trap, const std::string& subkey, const std::string& name) {
  registry.deleteValue(RootKey::CurrentUser, subkey, name);
  const long status = registry.lastStatus();
  if (status != regstatus::kSuccess && status != regstatus::kFileNotFound)
    trap.report(fail::kPathFileAccess,
                "Could not remove value " + name + " (" + std::to_string(status) + ")");
}

}  // namespace

FolderSource::FolderSource(Session& session, std::string folder, bool found, std::string missingText,
                           bool withSubFolders, std::vector<std::string> kept)
    : session_(session),
      folder_(std::move(folder)),
      found_(found),
      missingText_(std::move(missingText)),
      withSubFolders_(withSubFolders),
      kept_(std::move(kept)) {}

std::vector<ViewerColumn> FolderSource::columns() {
  return {{"Name", 130, ColumnKind::Text},
          {"Size", 50, ColumnKind::Size},
          {"Last Changed", 70, ColumnKind::Text},
          {"Folder", 80, ColumnKind::Text}};
}

std::optional<std::string> FolderSource::refusal() {
  if (!found_ || !locationKnown(folder_) || !session_.platform.files.folderExists(folder_))
    return missingText_;
  if (std::optional<std::string> why = Protection(session_).folderRefusal(folder_))
    return missingText_ + "\r\n\r\n" + *why;
  return std::nullopt;
}

void FolderSource::fill(std::vector<ViewerRow>& rows, Trap& trap, const std::function<void()>& tick) {
  Files& files = session_.platform.files;
  // Folders still to list: Windows path and path below the viewed folder.
  std::vector<std::pair<std::string, std::string>> pending{{folder_, ""}};
  while (!pending.empty()) {
    auto [folder, below] = std::move(pending.back());
    pending.pop_back();
    std::vector<DirEntry> entries;
    trap.checkpoint();
    if (!trap.run([&] { entries = files.list(folderFile(folder, "*"), {true, withSubFolders_, true}); }))
      continue;
    for (const DirEntry& entry : entries) {
      const std::string path = folderFile(folder, entry.name);
      if (entry.isFolder && !entry.isLink) {
        pending.emplace_back(path, below.empty() ? entry.name : below + "\\" + entry.name);
        continue;
      }
      if (entry.isFolder) continue;  // a link to a folder is neither entered nor listed
      ViewerRow row;
      row.key = path;
      row.size = entry.size;
      row.cells = {entry.name, kilobytesText(entry.size), timeText(entry.lastWrite), below};
      row.removable =
          !(below.empty() && std::any_of(kept_.begin(), kept_.end(), [&](const std::string& name) {
              return equalsNoCase(name, entry.name);
            }));
      rows.push_back(std::move(row));
      tick();
    }
  }
}

void FolderSource::remove(const std::vector<const ViewerRow*>& rows, Trap& trap,
                          const std::function<void()>& tick) {
  Removal removal(session_);
  for (const ViewerRow* row : rows) {
    trap.checkpoint();
    trap.run([&] { removal.deleteFile(row->key); });
    tick();
  }
}

std::vector<ViewerColumn> MruListSource::columns() {
  return {
      {"Position", 40, ColumnKind::Number}, {"Name", 30, ColumnKind::Text}, {"Text", 250, ColumnKind::Text}};
}

void MruListSource::fill(std::vector<ViewerRow>& rows, Trap& trap, const std::function<void()>& tick) {
  RegistryLayer registry(session_.platform.registry, session_.platform.ui);
  std::string order = registry.readStringValue(RootKey::CurrentUser, subkey_, "MRUList").value_or("");
  // The letters MRUList names first, then any other letter that holds a value.
  std::string letters;
  for (char c : order)
    if (c >= 'a' && c < 'a' + kMruLetters && letters.find(c) == std::string::npos) letters += c;
  for (int n = 1; n <= kMruLetters; ++n)
    if (letters.find(mruLetter(n)) == std::string::npos) letters += mruLetter(n);
  trap.checkpoint();
  for (char c : letters) {
    const std::string name(1, c);
    std::optional<std::string> text = registry.readStringValue(RootKey::CurrentUser, subkey_, name);
    if (!text) continue;
    ViewerRow row;
    row.key = name;
    row.number = static_cast<std::int64_t>(rows.size()) + 1;
    row.cells = {std::to_string(row.number), name, *text};
    rows.push_back(std::move(row));
    tick();
  }
}

void MruListSource::remove(const std::vector<const ViewerRow*>& rows, Trap& trap,
                           const std::function<void()>& tick) {
  RegistryLayer registry(session_.platform.registry, session_.platform.ui);
  std::string gone;
  for (const ViewerRow* row : rows) {
    trap.checkpoint();
    deleteValue(registry, trap, subkey_, row->key);
    gone += row->key;
    tick();
  }
  // The order value loses the letters that went, so that it names only what is there.
  std::optional<std::string> order = registry.readStringValue(RootKey::CurrentUser, subkey_, "MRUList");
  if (!order) return;
  std::string kept;
  for (char c : *order)
    if (gone.find(c) == std::string::npos) kept += c;
  trap.checkpoint();
  if (kept != *order) registry.setStringValue(currentUserPath(subkey_), "MRUList", kept);
}

std::vector<ViewerColumn> TypedUrlSource::columns() {
  return {{"Position", 40, ColumnKind::Number},
          {"Name", 40, ColumnKind::Text},
          {"Address", 240, ColumnKind::Text}};
}

void TypedUrlSource::fill(std::vector<ViewerRow>& rows, Trap& trap, const std::function<void()>& tick) {
  RegistryLayer registry(session_.platform.registry, session_.platform.ui);
  trap.checkpoint();
  for (int n = 1; n <= kMost; ++n) {
    const std::string name = "url" + std::to_string(n);
    std::optional<std::string> address = registry.readStringValue(RootKey::CurrentUser, subkey_, name);
    if (!address) continue;
    ViewerRow row;
    row.key = name;
    row.number = n;
    row.cells = {std::to_string(n), name, *address};
    rows.push_back(std::move(row));
    tick();
  }
}

void TypedUrlSource::remove(const std::vector<const ViewerRow*>& rows, Trap& trap,
                            const std::function<void()>& tick) {
  RegistryLayer registry(session_.platform.registry, session_.platform.ui);
  for (const ViewerRow* row : rows) {
    trap.checkpoint();
    deleteValue(registry, trap, subkey_, row->key);
    tick();
  }
  // The rest move up: urlN goes to the first free number, which is never above N.
  int next = 1;
  trap.checkpoint();
  for (int n = 1; n <= kMost; ++n) {
    const std::string name = "url" + std::to_string(n);
    std::optional<std::string> address = registry.readStringValue(RootKey::CurrentUser, subkey_, name);
    if (!address) continue;
    if (n != next) {
      registry.setStringValue(currentUserPath(subkey_), "url" + std::to_string(next), *address);
      if (registry.lastStatus() != regstatus::kSuccess) {
        trap.report(fail::kPathFileAccess, "Could not renumber " + name);
        return;
      }
      deleteValue(registry, trap, subkey_, name);
    }
    ++next;
  }
}

std::vector<ViewerColumn> PrefsLinesSource::columns() {
  return {
      {"Line", 30, ColumnKind::Number}, {"Name", 110, ColumnKind::Text}, {"Address", 200, ColumnKind::Text}};
}

std::string PrefsLinesSource::prefs() const {
  return folderFile(userFolder_, "prefs.js");
}

std::optional<std::string> PrefsLinesSource::refusal() {
  if (!locationKnown(userFolder_) || !session_.platform.files.folderExists(userFolder_)) return missingText_;
  return std::nullopt;
}

void PrefsLinesSource::fill(std::vector<ViewerRow>& rows, Trap& trap, const std::function<void()>& tick) {
  Files& files = session_.platform.files;
  if (!files.fileExists(prefs())) return;
  std::string text;
  trap.checkpoint();
  if (!trap.run([&] { text = files.readAll(prefs()); })) return;
  for (std::string& line : typedAddressLines(text)) {
    // user_pref("browser.url_history.URL_1", "http://a.example/");
    std::string name, address;
    const std::size_t open = line.find('"');
    const std::size_t close = open == std::string::npos ? open : line.find('"', open + 1);
    if (close != std::string::npos) {
      name = line.substr(open + 1, close - open - 1);
      const std::size_t start = line.find('"', close + 1);
      const std::size_t end = line.rfind('"');
      if (start != std::string::npos && end > start) address = line.substr(start + 1, end - start - 1);
    }
    ViewerRow row;
    row.number = static_cast<std::int64_t>(rows.size()) + 1;
    row.cells = {std::to_string(row.number), name, address};
    row.key = std::move(line);
    rows.push_back(std::move(row));
    tick();
  }
}

// One rewrite takes every chosen line: nothing to repaint for in between.
void PrefsLinesSource::remove(const std::vector<const ViewerRow*>& rows, Trap& trap,
                              const std::function<void()>&) {
  std::vector<std::string> lines;
  for (const ViewerRow* row : rows) lines.push_back(row->key);
  trap.checkpoint();
  removeTypedAddresses(session_, trap, prefs(), lines);
}

}  // namespace trwk
