#pragma once
// The main window: a tabbed frame with a picture pane, the clean items of each family,
// the maintenance settings, "Clean All", a progress bar and a status bar. Its load reads
// the settings in a fixed order and its unload writes them back and closes every
// window, which ends the program.
//
// A model with no views attached works without windows: the headless front end runs
// the same load, cleaning and unload with a console Ui.
#include <array>
#include <functional>
#include <string>
#include <vector>

#include "automation/automatic_choices.h"
#include "automation/scheduler.h"
#include "cleaning/clean_catalogue.h"
#include "cleaning/cleaning_context.h"
#include "cleaning/preview.h"
#include "cleaning/run_state.h"
#include "cleaning/statistics.h"
#include "extensions/plugins.h"
#include "extensions/user_def_sets.h"
#include "foundation/session.h"
#include "locations/locations_model.h"
#include "locations/path_detection.h"
#include "locations/path_settings.h"
#include "rules/rules_page_model.h"
#include "shell/main_window_views.h"
#include "viewers/viewer_catalogue.h"

namespace trwk {

class Trap;

// The four addresses of url.ini, section "Internet".
struct UrlAddresses {
  std::string home, home2, mail, info;
};

class MainWindowModel {
 public:
  static constexpr const char* kCaption = "Tarnwick";
  static constexpr const char* kLastCleanedAt = "This computer was last cleaned at: ";
  static constexpr const char* kSystemDrive = "C:\\";
  enum Page {
    kInternetExplorer,
    kNetscape,
    kOpera,
    kWindows,
    kUserDef,
    kPlugins,
    kPaths,
    kMaintenance,
    kStatistics,
    kRules
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
  std::string picturePath;
  bool visible = false;

  // What the cleaners work with; the views copy it onto the controls: item boxes,
  // notices and toolbars, maintenance settings (catalogue); status text, progress bar
  // and status animation timer (state).
  CleanCatalogue catalogue;
  RunState state;
  PathValues paths;
  // The Paths page: its boxes, detection ("Auto-Detect") and the Saves.
  LocationsModel locations;
  PathDetection detection;
  PathSettings pathSettings;
  std::string systemFolder = "-";       // the System folder with "\", or "-"
  std::vector<std::string> ieKeepList;  // cookies1.lst as last read
  Statistics statistics;
  CleaningContext& cleaningContext() { return context_; }

  // Settings read at load.
  bool showTips = false;  // [Inst] Showtip
  UrlAddresses urls;
  AutomaticChoices automatic;
  // The User.def page's four sets and the Plugins page's list.
  UserDefSets userDefSets;
  Plugins plugins;
  // The Rules page: the entries of the community rule files that apply here.
  RulesPageModel rules;
  // Automatic cleaning at an interval ("Start Automatic Cleaning").
  Scheduler scheduler;

  bool loaded = false;
  bool unloaded = false;
  bool cleaning() const { return cleaning_; }

  // A tab is selectable unless its family's "Activate ... Tab" flag turned it off.
  bool pageEnabled(int index) const;

  // Handlers.
  void load();
  void unload();  // also the title bar's close
  // Windows asks whether the session (logoff, shutdown) may end: it may, whatever runs, so
  // that an unattended program never holds up a shutdown. Nothing is written yet, for
  // another program may still call the end off.
  bool queryEndSession() const { return true; }
  // The session ends (ending) or its end was called off. Windows ends the program without
  // a close once this returns, so an end unloads the window now: the settings are written
  // (once, as by the close) and the windows closed.
  void endSession(bool ending);
  void selectPage(int index);
  void showPicture(const std::string& path);
  void setProgress(int value, int max);
  void setStatus(const std::string& text);

  void setItemTicked(int number, bool ticked);
  void cleanIE();              // "&Clean IE"
  void cleanNetscape();        // "Clean Netscape"
  void cleanOpera();           // "Clean Opera"
  void cleanWindows();         // "Clean Windows"
  void cleanAllPressed();      // "Clean All"
  void cleanUserDef();         // "Clean User.def"
  void cleanPluginsPressed();  // "Clean Plugins"
  void cleanRulesPressed();    // "Clean Rules"
  // The "Preview" buttons beside the clean buttons and "Clean All": the modal "Preview"
  // window shows what the button would remove; its "Clean these" cleans exactly that plan
  // as the button cleans (progress, completion, statistics). Planned entries that changed
  // or went meanwhile are left alone and named in a box afterwards.
  enum CleanButton {
    kCleanIEButton,
    kCleanNetscapeButton,
    kCleanOperaButton,
    kCleanWindowsButton,
    kCleanAllButton,
    kCleanUserDefButton,
    kCleanPluginsButton,
    kCleanRulesButton
  };
  void previewPressed(CleanButton button);
  // What the last cleaning from a preview did, item by item.
  RunReport lastReport;
  // When set, a cleaning runs through it instead of calling the cleaner itself (the
  // headless front end previews, or counts what goes, this way).
  std::function<void(CleaningContext&, const FamilyCleaner&)> cleaningRunner;
  void openIeCookies();        // "Cookies" on the Internet Explorer page
  void openNetscapeCookies();  // "Cookies" on the Netscape page
  // The "View ..." buttons of the family pages: the viewer window, modal.
  void openViewer(ViewerKind kind);
  void animationTick();  // the status animation timer
  // The "Auto-detect" tool buttons: a family's detection followed by its Save, and
  // "Auto-detect All", every detection and then every Save.
  enum PathFamily { kDetectIE, kDetectNetscape, kDetectOpera, kDetectWindows };
  void autoDetect(PathFamily family);
  void autoDetectAll();
  // Maintenance page.
  void setSafetySlider(int position);
  void setTabActivation(int index, bool on);  // 0 IE, 1 Netscape, 2 Opera, 3 Windows
  void setRulesTabActivation(bool on);        // "Activate Rules Tab"
  void setUserDefActivation(int set, bool on);
  void setUserDefName(int set, const std::string& name);
  void setAutomaticClose(bool on);
  void setAutoStart(bool on);

 private:
  void readSettings();  // logs as "Initialize"
  void writeSettings();
  void readPaths();
  std::string netscape1B_;  // [Path] Netscape1B as stored, for fixPath
  void readAutomatic(Trap& trap);
  void readUrls();
  // The plugin lists from the header files of the program folder.
  void fixPlugins();
  // The maintenance page's two boxes from their stored states.
  void fixMainten();
  // The User.def set chooser and the chosen set's list.
  void fixUserDefLists();
  void checkCookieFolder();
  void keepSelectedPageEnabled();
  void openTips();
  void refresh();
  void runCleaning(const std::function<void(CleaningContext&)>& cleaner);

  Session& session_;
  MainWindowViews* views_;
  CleaningContext context_;
  bool cleaning_ = false;
};

}  // namespace trwk
