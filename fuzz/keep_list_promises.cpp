#include <algorithm>

#include "cleaning/keep_lists.h"
#include "foundation/trap.h"
#include "fuzz/imagined_session.h"
#include "fuzz/promises.h"
#include "platform/text_encoding.h"

namespace trwk::fuzz {
namespace {

constexpr const char* kCookies = "C:\\users\\tester\\Cookies";

// The keep-list window's reading and saving, as its two windows use them.
struct Editor : KeepListEditor {
  using KeepListEditor::KeepListEditor;
  using KeepListEditor::readList;
  using KeepListEditor::save;
};

// An entry the list's one-per-line form can hold (quoted when it has commas or blanks
// around it); only a line break or a quote in it cannot be.
bool plain(const std::string& entry) {
  return !entry.empty() && entry.find_first_of("\r\n\"") == std::string::npos;
}

// A name a folder's listing can show: no separator, wildcard, reserved or control
// character, and no trailing dot or blank (Windows drops them).
bool fileName(const std::string& name) {
  if (name.empty() || name.back() == '.' || name.back() == ' ') return false;
  return std::none_of(name.begin(), name.end(), [](char c) {
    return static_cast<unsigned char>(c) < 0x20 ||
           std::string_view("\\/:*?\"<>|").find(c) != std::string_view::npos;
  });
}

std::optional<std::string> editorRoundTrip(const std::string& templateText, const std::string& list) {
  ImaginedSession s;
  s.files.store("cookies1.000", templateText);
  s.files.store("cookies1.lst", list);
  Editor editor(s.session, "cookies1.lst", "cookies1.000");
  std::vector<std::string> entries;
  for (const std::string& field : editor.readList())
    if (plain(field)) entries.push_back(field);
  editor.entries = entries;
  Trap trap(s.session.log, "fuzz");
  editor.save(trap);
  const std::vector<std::string> back = editor.readList();
  if (back.size() < entries.size() ||
      !std::equal(entries.begin(), entries.end(), back.end() - static_cast<long>(entries.size())))
    return "entries saved by the keep-list window do not read back";
  if (templateText.empty() && back != entries) return "a save with an empty template added entries";
  return std::nullopt;
}

std::optional<std::string> cookieStep(const std::string& list) {
  ImaginedSession s;
  s.files.store("cookies1.lst", list);
  s.paths.ie3 = std::string(kCookies) + "\\";
  s.catalogue.safetyLevel = "2";
  listCookiesToSave(s.context);
  std::vector<std::string> names{"index.dat", "gone.txt"};
  for (const std::string& field : s.keep)
    if (fileName(field)) names.push_back(field);
  s.files.alsoIn(kCookies, names);
  ListOptions visible;
  visible.hiddenAndSystem = false;
  const std::vector<DirEntry> cookies = s.files.list(std::string(kCookies) + "\\*.*", visible);
  s.files.changes.clear();

  removeCookies(s.context);

  auto kept = [&](const std::string& name) {
    return equalsNoCase(name, "index.dat") || std::find(s.keep.begin(), s.keep.end(), name) != s.keep.end();
  };
  std::set<std::string> deleted;
  for (const Change& change : s.files.changes) {
    if (change.operation == "appendText" && objectKey(change.path) == objectKey(s.session.log.path()))
      continue;
    const std::string key = objectKey(change.path);
    const std::size_t sep = change.path.find_last_of('\\');
    const std::string name = change.path.substr(sep + 1);
    if (objectKey(change.path.substr(0, sep)) != objectKey(kCookies))
      return change.operation + " outside the cookie folder: " + change.path;
    if (kept(name)) return change.operation + " of the kept cookie " + name;
    if (change.operation == "deleteFile")
      deleted.insert(key);
    else if (change.operation != "overwriteInPlace" && change.operation != "clearAttributes")
      return "the cookie step made the change " + change.operation + " of " + change.path;
  }
  for (const DirEntry& cookie : cookies)
    if (!kept(cookie.name) && !deleted.count(objectKey(std::string(kCookies) + "\\" + cookie.name)))
      return "the cookie " + cookie.name + " is neither kept nor deleted";
  return std::nullopt;
}

}  // namespace

std::optional<std::string> keepListPromises(std::string_view input) {
  const auto [templateText, list] = splitAtNul(input);
  if (auto broken = editorRoundTrip(templateText, list)) return broken;
  return cookieStep(list);
}

}  // namespace trwk::fuzz
