#pragma once
// The Win32 view of the main window's "Rules" page: a child dialog laid over the tab
// control, shown while that page is selected. The entries are the rows of a report list
// with check boxes, in groups (a "Group" column says which where the list cannot show
// groups); a refused entry's row says so. Ticking a row hands it to the model, which shows
// the entry's Warning first; the row's box always shows the model's answer.
#include <string>
#include <vector>

#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "rules/rules_page_model.h"
#include "ui/win32/page_view.h"

namespace trwk::win32 {

class RulesPageView : public PageView {
 public:
  RulesPageView(HWND parent, RulesPageModel& model, CleanPageActions actions,
                RECT area = {14, 134, 386, 372});

  void refresh() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  void fill();
  std::string details() const;

  RulesPageModel& model_;
  CleanPageActions actions_;
  std::vector<std::string> shownNames_;
  bool filled_ = false;
  bool refreshing_ = false;  // box changes made by refresh are not the user's
};

}  // namespace trwk::win32
