#pragma once
// The Win32 view of the main window's "Paths" page: a child dialog laid over the tab
// control, shown while that page is selected. It copies the Path tab's model onto its
// controls and hands every click and edit to detection or the path settings.
#include <functional>
#include <string>
#include <vector>

#include "locations/locations_model.h"
#include "locations/path_detection.h"
#include "locations/path_settings.h"
#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "ui/win32/page_view.h"

namespace trwk::win32 {

class PathsPageView : public PageView {
 public:
  // Creates the page, hidden, as a child of parent. area: where it goes, in the
  // parent's dialog units.
  PathsPageView(HWND parent, LocationsModel& model, PathSettings& settings, PathDetection& detection,
                RECT area = {14, 134, 386, 352});

  void refresh() override;

  // Runs after each action of the page, so that the main window can show the items a
  // Save switched on or off.
  std::function<void()> afterAction = [] {};

 protected:
  void onCommand(int id, int code) override;

 private:
  void act(const std::function<void()>& action);
  void refreshUsers();

  LocationsModel& model_;
  PathSettings& settings_;
  PathDetection& detection_;
  std::vector<std::string> shownUsers_;
  bool usersFilled_ = false;
  bool refreshing_ = false;  // control changes made by refresh are not the user's
};

}  // namespace trwk::win32
