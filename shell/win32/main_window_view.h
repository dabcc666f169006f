#pragma once
#include <memory>
#include <vector>

#include "automation/win32/scheduler_panel_view.h"
#include "automation/win32/tray_icon.h"
#include "extensions/win32/plugins_page_view.h"
#include "extensions/win32/userdef_page_view.h"
#include "locations/win32/paths_page_view.h"
#include "rules/win32/rules_page_view.h"
#include "shell/main_window_model.h"
#include "ui/win32/dialog_view.h"
#include "ui/win32/picture.h"

namespace trwk::win32 {

// The main window: picture pane, tabbed pages, "Clean All", progress bar and status bar.
class MainWindowView : public DialogView, public MainWindowViews {
 public:
  explicit MainWindowView(MainWindowModel& model) : model_(model) {}
  bool create();  // hidden until the model's load shows it

  void show() override;
  void refresh() override;
  void showTips(TipsModel& tips) override;
  void showIeCookies(IeCookiesModel& cookies) override;
  void showNetscapeCookies(NetscapeCookiesModel& cookies) override;
  void showViewer(ListViewerModel& viewer) override;
  void showPreview(PreviewModel& preview) override;
  void closeOtherWindows() override;
  void close() override;
  void enterTray() override;
  void leaveTray() override;

  // Under a test clock that runs N times faster, the schedule's timer ticks N times as
  // often. Only a start with the test-clock option sets it.
  static inline int timerDivisor = 1;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  void onClose() override;
  void onDestroy() override;
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  void refreshTabs();
  void refreshPages();
  void refreshItems();  // the boxes of the browser and Windows pages
  void refreshMaintenance();
  void refreshTimer();

  MainWindowModel& model_;
  Picture picture_;
  std::unique_ptr<PathsPageView> paths_;           // the "Paths" page, a child dialog of its own
  std::unique_ptr<UserDefPageView> userDef_;       // the "User.def" page
  std::unique_ptr<PluginsPageView> plugins_;       // the "Plugins" page
  std::unique_ptr<RulesPageView> rules_;           // the "Rules" page
  std::unique_ptr<SchedulerPanelView> scheduler_;  // automatic cleaning, on the Maintenance page
  std::unique_ptr<TrayIcon> tray_;                 // while automatic cleaning is armed
  int scheduleInterval_ = 0;                       // 0 while the schedule's timer is off
  void refreshScheduleTimer();
  void showDefinedFiles();
  std::vector<int> tabPages_;  // the page each tab of the strip shows
  int timerInterval_ = 0;      // 0 while the animation timer is off
  int shownPage_ = -1;         // the page the controls were last set for
  COLORREF pageColour_ = 0;    // the tab strip's page body, behind the pages' controls
  HBRUSH pageBrush_ = nullptr;
  bool refreshing_ = false;  // control changes made by refresh are not the user's
};

}  // namespace trwk::win32
