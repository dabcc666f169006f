#pragma once
// The Win32 view of the main window's "User.def" page: a child dialog laid over the tab
// control, shown while that page is selected. It holds a toolbar ("Add", "Remove"), the
// "User Defined" frame (the four sets' "Activate" boxes and names), the sets' clean
// items, the "User.def Files" frame, the "All Files" frame with its drive, folder and file
// lists, "Clean User.def" and "Defined Files".
#include <functional>
#include <string>
#include <vector>

#include "cleaning/clean_catalogue.h"
#include "extensions/user_def_sets.h"
#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "ui/win32/page_view.h"
#include "ui/win32/toolbar.h"

namespace trwk::win32 {

// What the page asks of the main window.
struct UserDefPageActions {
  // A click on set k's "Activate" box (k = 0..3): the main window stores it through the
  // catalogue (setUserDefActivation), which refreshes the set lists.
  std::function<void(int set, bool on)> activate = [](int, bool) {};
  // An edit of set k's name box (setUserDefName).
  std::function<void(int set, const std::string& name)> rename = [](int, const std::string&) {};
  // "Clean User.def": the main window runs cleanUserDefined through its cleaning run.
  std::function<void()> cleanUserDef = [] {};
  // "Preview": what "Clean User.def" would remove, in the main window's preview.
  std::function<void()> previewUserDef = [] {};
  // "Defined Files": the main window opens "User Defined Files" (UserDefViewerView).
  std::function<void()> showDefinedFiles = [] {};
  // Runs after each action of the page (the main window repaints what depends on it).
  std::function<void()> afterAction = [] {};
};

class UserDefPageView : public PageView {
 public:
  // Creates the page, hidden, as a child of parent. area: where it goes, in the
  // parent's dialog units.
  UserDefPageView(HWND parent, UserDefSets& sets, CleanCatalogue& catalogue, UserDefPageActions actions,
                  RECT area = {14, 134, 386, 372});

  void refresh() override;

 protected:
  bool onInit() override;
  void beforeShown() override;
  void onCommand(int id, int code) override;

 private:
  void act(const std::function<void()>& action);
  void refreshSets();
  void refreshEditor();
  void refreshPickers();
  void onSetsCommand(int id, int code);
  void onPickersCommand(int id, int code);

  UserDefSets& sets_;
  CleanCatalogue& catalogue_;
  UserDefPageActions actions_;
  ToolbarControl toolbar_;
  std::vector<std::string> shownChooser_, shownEntries_, shownDrives_, shownFolders_, shownFiles_;
  bool filled_ = false;
  bool refreshing_ = false;  // control changes made by refresh are not the user's
};

}  // namespace trwk::win32
