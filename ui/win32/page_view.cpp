#include "ui/win32/page_view.h"

namespace trwk::win32 {

bool PageView::createPage(int templateId, HWND parent, RECT area) {
  if (!createModeless(templateId, parent)) return false;
  MapDialogRect(parent, &area);
  SetWindowPos(hwnd(), HWND_TOP, area.left, area.top, area.right - area.left, area.bottom - area.top,
               SWP_NOACTIVATE | SWP_HIDEWINDOW);
  return true;
}

void PageView::setShown(bool shown) {
  if (!hwnd()) return;
  if (shown) {
    beforeShown();
    refresh();
  }
  ShowWindow(hwnd(), shown ? SW_SHOWNA : SW_HIDE);
}

}  // namespace trwk::win32
