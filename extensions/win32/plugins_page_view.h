#pragma once
// The Win32 view of the main window's "Plugins" page: a child dialog laid over the tab
// control, shown while that page is selected. "Available Plugins" is a list whose rows
// carry check boxes: a click on a row's box or the space key on the highlighted row
// ticks or clears it, and the row's item data (LB_GETITEMDATA) is 1 while it is ticked.
// "Installed Plugins" (List4) beside it shows the same names; a row chosen in either list
// is chosen in both.
#include <string>
#include <vector>

#include "extensions/plugin_info.h"
#include "extensions/plugins.h"
#include "extensions/win32/plugin_info_view.h"
#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "ui/win32/page_view.h"

namespace trwk::win32 {

class PluginsPageView : public PageView {
 public:
  // Creates the page, hidden, as a child of parent. area: where it goes, in the
  // parent's dialog units.
  PluginsPageView(HWND parent, Plugins& model, CleanPageActions actions, RECT area = {14, 134, 386, 372});

  void refresh() override;

 protected:
  bool onInit() override;
  void onCommand(int id, int code) override;
  bool onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) override;

 private:
  static LRESULT CALLBACK listProcedure(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                        DWORD_PTR self);
  void toggle(int row);
  void drawRow(const DRAWITEMSTRUCT& draw);
  int checkWidth() const;
  int listSelection() const;

  Plugins& model_;
  CleanPageActions actions_;
  PluginInfo info_;
  PluginInfoView infoView_{info_};
  std::vector<std::string> shownNames_, shownList4_;
  bool filled_ = false;
};

}  // namespace trwk::win32
