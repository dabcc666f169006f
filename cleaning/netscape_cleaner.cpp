#include "cleaning/netscape_cleaner.h"

#include <algorithm>
#include <cstdint>
#include <optional>
#include <string_view>
#include <vector>

#include "cleaning/keep_lists.h"
#include "cleaning/netscape_cookies_model.h"
#include "cleaning/path_availability.h"
#include "cleaning/removal.h"
#include "cleaning/run_completion.h"
#include "cleaning/secure_removal.h"
#include "foundation/trap.h"
#include "platform/failure.h"

namespace trwk {

namespace {

constexpr const char* kProcedure = "cmdCleanNets";
constexpr std::string_view kTypedAddress = "user_pref(\"browser.url_history.URL";

// The entry a file path names in its folder's listing (to see its marks), if any. The
// listing matches without regard to letter case; the exact spelling wins.
std::optional<DirEntry> entryOf(Files& files, const std::string& path) {
  const std::string name = path.substr(path.find_last_of('\\') + 1);
  std::vector<DirEntry> found = files.list(path, {true, true, true});
  for (DirEntry& entry : found)
    if (entry.name == name) return std::move(entry);
  if (!found.empty()) return std::move(found.front());
  return std::nullopt;
}

void message(Session& session, const std::string& text) {
  session.platform.ui.messageBox({text, "", Buttons::Ok, Icon::None, 1});
}

// The typed addresses go from prefs.js. The new content is written beside the old file and
// renamed over it, so prefs.js is never lost: a failure anywhere leaves it as it was.
void rewritePrefs(Session& session, Trap& trap, const std::string& prefs,
                  const std::vector<std::string>* chosen = nullptr) {
  Files& files = session.platform.files;
  std::string old;
  // A file that cannot be read (locked) ends the rewrite; the log says why.
  if (!trap.run([&] { old = files.readAll(prefs); })) return;
  const std::string fresh = chosen ? withoutTypedAddresses(old, *chosen) : withoutTypedAddresses(old);
  if (fresh == old) return;  // nothing to take out, and the lines already end in CR LF

  std::optional<DirEntry> entry;
  trap.run([&] { entry = entryOf(files, prefs); });
  if (entry && entry->readOnly && !entry->isLink) {
    // The user protected the file: it stays as it is, and the log says so.
    trap.report(fail::kPermissionDenied, failureDescription(fail::kPermissionDenied) + ": " + prefs);
    return;
  }
  try {
    files.replaceAtomically(prefs, fresh);
  } catch (const Failure& f) {
    trap.report(f.number(), f.description());
    // The folder that would hold the temporary file has gone, or no temporary file could
    // be made and written in it (no right to write there, disk full).
    message(session, f.number() == fail::kPathNotFound ? "Error getting temporary file path."
                                                       : "Error getting temporary file name.");
  }
}

// The keep list becomes cookies.txt. A program folder without a keep list keeps no cookie.
void copyKeepList(Session& session, Trap& trap, const std::string& cookies) {
  Files& files = session.platform.files;
  const std::string keepList = session.inFolder("cookies2.lst");
  try {
    if (files.fileExists(keepList))
      files.copyFile(keepList, cookies, true);
    else
      files.replaceAtomically(cookies, "");
  } catch (const Failure& f) {
    trap.report(f.number(), f.description());
    message(session, std::to_string(f.number()));
  } catch (...) {
    trap.report(fail::kInvalidCall, "Operation Failed");
    message(session, "Operation Failed");
  }
}

}  // namespace

namespace {

// Calls each(line) for every line of prefs.js; CR LF, LF and a lone CR each end one.
template <class Each>
void forEachLine(const std::string& prefs, Each each) {
  std::size_t begin = 0;
  const std::size_t size = prefs.size();
  while (begin < size) {
    std::size_t end = prefs.find_first_of("\r\n", begin);
    if (end == std::string::npos) end = size;
    each(std::string_view(prefs.data() + begin, end - begin));
    if (end == size) break;
    begin = end + 1;
    if (prefs[end] == '\r' && begin < size && prefs[begin] == '\n') ++begin;  // CR LF is one ending
  }
}

bool typedAddress(std::string_view line) {
  return line.find(kTypedAddress) != std::string_view::npos;
}

std::string keptLines(const std::string& prefs, const std::vector<std::string>* chosen) {
  std::string out;
  out.reserve(prefs.size() + prefs.size() / 16);
  forEachLine(prefs, [&](std::string_view line) {
    bool drop = typedAddress(line);
    if (drop && chosen) drop = std::find(chosen->begin(), chosen->end(), line) != chosen->end();
    if (drop) return;
    out.append(line);
    out += "\r\n";
  });
  return out;
}

}  // namespace

std::string withoutTypedAddresses(const std::string& prefs) {
  return keptLines(prefs, nullptr);
}

std::string withoutTypedAddresses(const std::string& prefs, const std::vector<std::string>& chosen) {
  return keptLines(prefs, &chosen);
}

std::vector<std::string> typedAddressLines(const std::string& prefs) {
  std::vector<std::string> lines;
  forEachLine(prefs, [&](std::string_view line) {
    if (typedAddress(line)) lines.emplace_back(line);
  });
  return lines;
}

void removeTypedAddresses(Session& session, Trap& trap, const std::string& prefs,
                          const std::vector<std::string>& chosen) {
  rewritePrefs(session, trap, prefs, &chosen);
}

void cleanNetscape(CleaningContext& context) {
  Session& session = context.session;
  Files& files = session.platform.files;
  RunState& state = context.state;
  CleanCatalogue& items = context.catalogue;
  Trap trap(session.log, kProcedure);

  state.runningFamily = "Netscape";
  state.statusText = "Please Wait";
  context.refresh();
  trap.checkpoint();
  if (!state.cleanAllRunning) {
    trap.run([&] {
      beginFamilyRun(context, static_cast<int>(Family::Netscape));
      state.animation.interval = 1000;
    });
  }

  trap.checkpoint();
  std::int16_t count = 0;
  trap.run([&] { count = passes(items.safetyLevel); });

  const PathValues& paths = context.paths;
  const bool userKnown = locationKnown(paths.netscape1A) && locationKnown(paths.netscape1C);
  const std::string user = netscapeUserFolder(paths);
  // An armed automatic cleaning leaves what the user may still be browsing with.
  const bool automatic = !state.manualMode;
  Removal removal(session);

  trap.checkpoint();
  if (items.item(6).ticked) {
    if (!automatic && locationKnown(paths.netscape2)) {
      trap.run([&] {
        if (files.folderExists(paths.netscape2))
          removal.deleteMatching(folderFile(paths.netscape2, "*.*"), false, OnError::Stop);
      });
    }
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(7).ticked) {
    if (!automatic && userKnown) {
      trap.run([&] {
        const std::string history = folderFile(user, "netscape.hst");
        if (files.fileExists(history)) removal.deleteFile(history);
      });
    }
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(8).ticked) {
    if (userKnown) {
      const std::string cookies = folderFile(user, "cookies.txt");
      SecureRemoval secure(session);
      for (int pass = 0; pass < count; ++pass) trap.run([&] { secure.overWriteFileNetscape(user); });
      trap.checkpoint();
      trap.run([&] {
        if (files.fileExists(cookies)) removal.deleteFile(cookies);
      });
      trap.checkpoint();
      if (files.folderExists(user))
        copyKeepList(session, trap, cookies);
      else
        trap.report(fail::kPathNotFound, failureDescription(fail::kPathNotFound) + ": " + user);
    }
    state.progress.advance();
  }

  trap.checkpoint();
  if (items.item(9).ticked) {
    if (userKnown) {
      const std::string prefs = folderFile(user, "prefs.js");
      if (files.fileExists(prefs)) rewritePrefs(session, trap, prefs);
      trap.checkpoint();
      trap.run([&] {
        const std::string liprefs = folderFile(user, "liprefs.js");
        if (files.fileExists(liprefs)) removal.deleteFile(liprefs);
      });
    }
    state.progress.advance();
  }
  context.refresh();

  trap.checkpoint();
  if (!state.cleanAllRunning) trap.run([&] { completeRun(context); });
}

}  // namespace trwk
