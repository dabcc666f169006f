#pragma once
// The main window: a tabbed frame with a picture pane, a progress bar and a status bar.
// Its load reads the settings in a fixed order and its unload writes them back and
// closes every window, which ends the program.
#include <array>
#include <string>
#include <vector>

#include "shell/main_window_views.h"
#include "foundation/session.h"

namespace trwk {

class Trap;

struct Notice {
  std::string text;
  bool visible = true;
};

// The four addresses of url.ini, section "Internet".
struct UrlAddresses {
  std::string home, home2, mail, info;
};

class MainWindowModel {
 public:
  static constexpr const char* kCaption = "Tarnwick";
  static constexpr const char* kLastCleanedAt = "This computer was last cleaned at: ";
  enum Page {
    kInternetExplorer,
    kNetscape,
    kOpera,
    kWindows,
    kUserDef,
    kPlugins,
    kPaths,
    kMaintenance,
    kStatistics
  };
  enum Browser { kIE, kNetscapeBrowser, kOperaBrowser };

  explicit MainWindowModel(Session& session);
  MainWindowModel(const MainWindowModel&) = delete;
  MainWindowModel& operator=(const MainWindowModel&) = delete;

  // The window this model drives; until then its requests go nowhere.
  void attach(MainWindowViews& views) { views_ = &views; }
  Session& session() { return session_; }

  // Control state.
  const std::string caption = kCaption;
  const std::vector<std::string> pages;
  int page = kInternetExplorer;
  std::string statusText;
  int progressValue = 0;
  int progressMax = 100;
  std::string picturePath;
  bool visible = false;
  // "You dont have ... installed" notices on the three browser pages, by Browser.
  std::array<Notice, 3> notices;

  // Settings read at load.
  std::string lastCleaned;  // [Senast] Value1
  bool showTips = false;    // [Inst] Showtip
  UrlAddresses urls;

  bool loaded = false;
  bool unloaded = false;

  // Handlers.
  void load();
  void unload();  // also the title bar's close
  void selectPage(int index);
  void showPicture(const std::string& path);
  void setProgress(int value, int max);
  void setStatus(const std::string& text);

 private:
  void readSettings();  // logs as "Initialize"
  void readUrls();
  void openTips();

  Session& session_;
  MainWindowViews* views_;
};

}  // namespace trwk
