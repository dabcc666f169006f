#pragma once
// Path text of the rule files made concrete: environment variables ("%LocalAppData%")
// through the desktop's known folders, "*" and "?" in folder names through listings of the
// file service. A folder reached through a link is never offered: a wildcard never picks a
// link, and where links are to be avoided (everything a cleaning touches) every folder on
// the way below the known folder is looked at and must be a folder of its own.
#include <map>
#include <optional>
#include <string>
#include <unordered_map>
#include <vector>

#include "platform/desktop.h"
#include "platform/files.h"

namespace trwk {

class RulePaths {
 public:
  RulePaths(Files& files, Desktop& desktop) : files_(files), desktop_(desktop) {}

  // The text with every %Variable% replaced (letter case ignored); nothing when a variable
  // is unknown or the desktop does not know its folder, with the reason in `why`.
  std::optional<std::string> substitute(const std::string& text, std::string* why = nullptr);

  // Every existing folder the text names (wildcards in any folder name), in listing
  // order, each without a trailing separator. With `noLinks`, a folder that is a link, or
  // lies below one past the variable's folder, is left out.
  std::vector<std::string> folders(const std::string& text, bool noLinks, std::string* why = nullptr);

  // Whether the text names an existing file or folder; "*" and "?" may stand anywhere.
  bool exists(const std::string& text);

  // The variables this reader knows, for the help and the tests.
  static const std::vector<std::string>& variables();

  // While on, every folder is listed once and the listing answers every later question
  // about its entries: thousands of entries of one rule file ask about the same few
  // folders at start. A cleaning looks afresh (off, the default).
  void remember(bool on) {
    remember_ = on;
    listings_.clear();
  }

 private:
  std::optional<std::string> variable(const std::string& upperName);
  std::optional<std::string> known(KnownFolder id);
  // The folders `parts` lead to from `base`, one component at a time.
  void walk(const std::string& base, const std::vector<std::string>& parts, std::size_t from, bool noLinks,
            std::vector<std::string>& out);
  std::optional<DirEntry> entryOf(const std::string& parent, const std::string& name);
  // The folder's entries whose names match the mask (with folders; files too unless
  // foldersOnly), from the remembered listing while remembering.
  std::vector<DirEntry> matching(const std::string& folder, const std::string& mask, bool foldersOnly);
  bool folderThere(const std::string& path);
  bool anythingThere(const std::string& path);

  Files& files_;
  Desktop& desktop_;
  std::map<KnownFolder, std::optional<std::string>> known_;
  bool remember_ = false;
  struct Listed {
    std::string upper;  // the name in upper case
    DirEntry entry;
  };
  const std::vector<Listed>& listing(const std::string& folder);
  std::unordered_map<std::string, std::vector<Listed>> listings_;  // by upper-case folder
};

// "C:\a\\b\" -> "C:\a\b"; a drive root keeps its separator.
std::string tidyFolder(const std::string& path);
// Whether `path` is `folder` or lies below it (letter case ignored; both tidy).
bool isWithin(const std::string& path, const std::string& folder);

}  // namespace trwk
