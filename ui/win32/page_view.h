#pragma once
// A page of the main window: a child dialog laid over the tab control, hidden until its
// tab is chosen, refreshed whenever it appears.
#include "ui/win32/dialog_view.h"

namespace trwk::win32 {

class PageView : public DialogView {
 public:
  void setShown(bool shown);

 protected:
  // Creates the page, hidden, as a child of parent. area: where it goes, in the parent's
  // dialog units.
  bool createPage(int templateId, HWND parent, RECT area);
  // Runs before a hidden page appears and is refreshed.
  virtual void beforeShown() {}
  // A page appearing must not take the focus from the main window.
  bool onInit() override { return true; }
};

}  // namespace trwk::win32
