#include "shell/win32/splash_view.h"

#include "shell/win32/resource.h"

namespace trwk::win32 {

void SplashView::show() {
  if (!createModeless(IDD_SPLASH, nullptr)) return;
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
}

bool SplashView::onInit() {
  picture_.load(model_.picturePath);
  return false;
}

void SplashView::refresh() {
  setText(IDC_SPLASH_VERSION, model_.versionText);
  if (!model_.open) closeWindow();
}

// Enter and Escape reach the dialog as commands rather than as key presses.
void SplashView::onCommand(int id, int) {
  if (id != IDOK && id != IDCANCEL) return;
  model_.keyPressed();
  refresh();
}

bool SplashView::onMessage(UINT msg, WPARAM, LPARAM lp, INT_PTR& result) {
  switch (msg) {
    case WM_KEYDOWN:
    case WM_CHAR:
      model_.keyPressed();
      refresh();
      return true;
    case WM_LBUTTONDOWN:
    case WM_NCLBUTTONDOWN:
      model_.clicked();
      refresh();
      return true;
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (draw->CtlID != IDC_SPLASH_PICTURE) return false;
      picture_.draw(draw->hDC, draw->rcItem, GetSysColor(COLOR_BTNFACE));
      result = TRUE;
      return true;
    }
    default: return false;
  }
}

}  // namespace trwk::win32
