#pragma once
// A page of the main window: a child dialog laid over the tab control, hidden until its
// tab is chosen, refreshed whenever it appears.
#include <functional>

#include "ui/win32/dialog_view.h"

namespace trwk::win32 {

// What a page with a family's clean button asks of the main window.
struct CleanPageActions {
  // The page's clean button: the main window runs the family through its cleaning run.
  std::function<void()> clean = [] {};
  // "Preview": what the clean button would remove, in the main window's preview.
  std::function<void()> preview = [] {};
  // Runs after each action of the page (the main window repaints its status).
  std::function<void()> afterAction = [] {};
};

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
