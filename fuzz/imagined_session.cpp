#include "fuzz/imagined_session.h"

#include <algorithm>
#include <utility>

#include "cleaning/protection.h"
#include "platform/text_encoding.h"

namespace trwk::fuzz {
namespace {

constexpr std::string_view kCurrentUser = "HKEY_CURRENT_USER\\";

bool isDriveRoot(const std::string& key) {
  return key.size() == 3 && key[1] == ':' && key[2] == '\\';
}

std::string parentKey(const std::string& key) {
  std::size_t sep = key.find_last_of('\\');
  if (sep == std::string::npos || isDriveRoot(key)) return "";
  return sep == 2 ? key.substr(0, 3) : key.substr(0, sep);
}

// The folders no walk may take or enter, as keys, with what they are.
std::vector<std::pair<std::string, std::string>> protectedFolders(ImaginedDesktop& desktop) {
  static const std::pair<KnownFolder, const char*> kProtected[] = {
      {KnownFolder::Windows, "the Windows folder"},
      {KnownFolder::System, "the System folder"},
      {KnownFolder::SystemX86, "the 32-bit System folder"},
      {KnownFolder::ProgramFiles, "Program Files"},
      {KnownFolder::ProgramFilesX86, "Program Files (x86)"},
      {KnownFolder::ProgramData, "ProgramData"},
      {KnownFolder::Profiles, "the profiles folder"},
      {KnownFolder::Profile, "the user's profile"},
      {KnownFolder::Desktop, "the Desktop"},
      {KnownFolder::Documents, "the Documents"},
  };
  std::vector<std::pair<std::string, std::string>> out;
  for (const auto& [id, what] : kProtected) out.emplace_back(objectKey(*desktop.knownFolder(id)), what);
  out.emplace_back(objectKey(ImaginedDesktop::kProgramFolder), "the program folder");
  return out;
}

// Why a walk of this folder (by key) takes something protected, or nothing.
std::optional<std::string> protectedWalk(const std::string& key, const WalkRequest& request,
                                         ImaginedDesktop& desktop) {
  if (isDriveRoot(key)) {
    // Disk-check fragments may go from a root, files only.
    if (!request.folders && !request.removeFolder && equalsNoCase(request.mask, "*.chk")) return std::nullopt;
    return "a drive root";
  }
  const std::string profiles = objectKey(*desktop.knownFolder(KnownFolder::Profiles));
  if (parentKey(key) == profiles) return "a profile root";
  for (const auto& [folder, what] : protectedFolders(desktop)) {
    if (folder == key) return what;
    if (folder.size() > key.size() && folder.compare(0, key.size(), key) == 0 && folder[key.size()] == '\\')
      return "a folder that holds " + what;
  }
  return std::nullopt;
}

std::vector<std::string> piecesOf(std::string_view text) {
  std::vector<std::string> pieces;
  std::size_t start = 0;
  while (start <= text.size()) {
    std::size_t end = text.find_first_of("\r\n", start);
    if (end == std::string_view::npos) end = text.size();
    if (end > start) pieces.emplace_back(text.substr(start, end - start));
    start = end + 1;
  }
  return pieces;
}

// What the safe lines of a list may remove, by key.
struct Allowed {
  std::set<std::string> named;                          // a file, a link or a tree
  std::set<std::pair<std::string, std::string>> masks;  // folder key, mask
  std::vector<std::string> registry;                    // text after HKEY_CURRENT_USER\ .

  explicit Allowed(std::string_view listText) {
    for (const std::string& piece : piecesOf(listText)) {
      if (piece.rfind(kCurrentUser, 0) == 0) registry.push_back(piece.substr(kCurrentUser.size()));
      if (unsafePathText(piece, true)) continue;
      std::string target = piece;
      while (target.size() > 3 && target.back() == '\\') target.pop_back();
      std::size_t sep = target.find_last_of("\\/");
      std::string name = target.substr(sep + 1);
      if (name.find_first_of("*?") != std::string::npos)
        masks.emplace(objectKey(target.substr(0, sep <= 2 ? 3 : sep)), name);
      else
        named.insert(objectKey(target));
    }
  }
};

std::string quoted(const std::string& text) {
  return "\"" + text + "\"";
}

}  // namespace

ImaginedSession::ImaginedSession() {
  files.store("trwk6.exe", "MZ");
  files.store("mainten.ini", "[Path]\r\nDetect=0\r\n[Inst]\r\nSafetylevel=1\r\n");
  files.store("ow.chx", std::string(512, 'f'));
  files.store("ow2.chx", std::string(512, 'g'));
}

std::set<std::string> ImaginedSession::ownFiles() const {
  return files.storedKeys();
}

std::pair<std::string, std::string> splitAtNul(std::string_view input) {
  std::size_t nul = input.find('\0');
  if (nul == std::string_view::npos) return {"", std::string(input)};
  return {std::string(input.substr(0, nul)), std::string(input.substr(nul + 1))};
}

std::optional<std::string> judgeRemovals(const ImaginedSession& s, std::string_view listText,
                                         const std::set<std::string>& ownFiles, bool registryLines) {
  const Allowed allowed(listText);
  ImaginedDesktop desktop;
  const std::string runLog = objectKey(s.session.log.path());
  for (const Change& change : s.files.changes) {
    const std::string key = objectKey(change.path);
    const std::string& op = change.operation;
    if (op == "appendText" || op == "replaceAtomically") {
      if (key != runLog) return op + " wrote " + quoted(change.path) + ", which is not the run log";
      continue;
    }
    if (op == "createFolder" || op == "copyFile") return op + " made " + quoted(change.path);
    if (auto unsafe = unsafePathText(change.path, false))
      return op + " was handed the unsafe path " + quoted(change.path) + " (" + *unsafe + ")";
    if (op == "removeWithin") {
      const WalkRequest& r = change.request;
      if (auto why = protectedWalk(key, r, desktop))
        return "a walk of " + quoted(r.folder) + " (mask " + quoted(r.mask) + ") takes " + *why;
      const bool tree = r.removeFolder && r.mask == "*";
      if (tree ? !allowed.named.count(key) : !allowed.masks.count({key, r.mask}))
        return "a walk of " + quoted(r.folder) + " (mask " + quoted(r.mask) + ") follows from no safe line";
      continue;
    }
    if (ownFiles.count(key)) return op + " reached the program's own file " + quoted(change.path);
    if (!allowed.named.count(key)) return op + " of " + quoted(change.path) + " follows from no safe line";
  }
  for (const auto& d : s.registry.deletions) {
    const std::string what = "registry " + std::string(d.wholeKey ? "key " : "value ") + quoted(d.key) +
                             (d.wholeKey ? "" : " " + quoted(d.value));
    if (!registryLines) return "the " + what + " was deleted";
    if (d.root != RootKey::CurrentUser)
      return "the " + what + " of another root than HKEY_CURRENT_USER was deleted";
    if (d.wholeKey && d.key.find_first_not_of('\\') == std::string::npos)
      return "the whole of HKEY_CURRENT_USER was taken";
    if (std::none_of(allowed.registry.begin(), allowed.registry.end(),
                     [&](const std::string& line) { return line.rfind(d.key, 0) == 0; }))
      return "the " + what + " follows from no line";
  }
  return std::nullopt;
}

}  // namespace trwk::fuzz
