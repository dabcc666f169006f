#pragma once
// Everything a family cleaner works with. The main window (or the headless front end)
// fills one and hands it to the cleaners.
#include <functional>
#include <string>
#include <vector>

#include "cleaning/clean_catalogue.h"
#include "cleaning/run_state.h"
#include "foundation/session.h"

namespace trwk {

// The stored locations ([Path] of mainten.ini) as the cleaners use them: folder texts
// ending in a backslash, or "-" when unknown.
struct PathValues {
  std::string ie1, ie2, ie3, ie4;  // history, temporary files, cookies, cache index
  std::string netscape1A, netscape1C, netscape2;
  std::string opera1, opera2;
  std::string win1, win2, win3;
};

struct CleaningContext {
  Session& session;
  CleanCatalogue& catalogue;
  RunState& state;
  PathValues& paths;
  // The main window's copy of the Internet Explorer keep list (cookies1.lst).
  std::vector<std::string>& ieKeepList;
  // Asks the views to repaint (status, progress) while long work runs.
  std::function<void()> refresh = [] {};
  // Closes the main window ("Close application after cleaning").
  std::function<void()> closeMainWindow = [] {};
  // Turns the before/after free space of "C:\" into a chart row.
  std::function<void(const std::string& before, const std::string& after)> recordStatistics =
      [](const std::string&, const std::string&) {};
  // The cleanings of the user-defined sets ("Clean User.def") and of the plugins ("Clean
  // Plugins"), which live with the extensions; Clean All runs them last, in this order,
  // when they are set.
  std::function<void(CleaningContext&)> cleanUserDefined = nullptr;
  std::function<void(CleaningContext&)> cleanPlugins = nullptr;
  // "Clean Rules" (the community rule files), which Clean All runs after the plugins.
  std::function<void(CleaningContext&)> cleanRules = nullptr;
  // The Paths page's verdict on Internet Explorer (ieAvailable), which Clean All follows;
  // unset, the stored paths decide. A failed Save keeps the old paths but clears it.
  std::function<bool()> ieAvailable = nullptr;

  // Every hook of another context: a preview, or a run over counting services, works on
  // other services (and a preview on copies of the state) with the same hooks.
  void takeHooks(const CleaningContext& other) {
    refresh = other.refresh;
    closeMainWindow = other.closeMainWindow;
    recordStatistics = other.recordStatistics;
    cleanUserDefined = other.cleanUserDefined;
    cleanPlugins = other.cleanPlugins;
    cleanRules = other.cleanRules;
    ieAvailable = other.ieAvailable;
  }
};

}  // namespace trwk
