#include "shell/win32/dialog_view.h"

#include "platform/win32/win32_ui.h"

namespace trwk::win32 {

HINSTANCE programInstance() {
  return GetModuleHandleW(nullptr);
}

DialogView::~DialogView() {
  if (hwnd_ && !modal_) {
    SetWindowLongPtrW(hwnd_, DWLP_USER, 0);  // the window must not reach a view that is gone
    Win32Ui::removeModeless(hwnd_);
    DestroyWindow(hwnd_);
  }
}

void DialogView::runModal(int templateId, HWND owner) {
  modal_ = true;
  DialogBoxParamW(programInstance(), MAKEINTRESOURCEW(templateId), owner, procedure,
                  reinterpret_cast<LPARAM>(this));
}

HWND DialogView::createModeless(int templateId, HWND owner) {
  modal_ = false;
  HWND h = CreateDialogParamW(programInstance(), MAKEINTRESOURCEW(templateId), owner, procedure,
                              reinterpret_cast<LPARAM>(this));
  if (h) Win32Ui::addModeless(h);
  return h;
}

void DialogView::closeWindow() {
  if (!hwnd_) return;
  if (modal_)
    EndDialog(hwnd_, 0);
  else
    DestroyWindow(hwnd_);
}

void DialogView::setText(int id, const std::string& text) {
  SetDlgItemTextW(hwnd_, id, toWide(text).c_str());
}

void DialogView::setCaption(const std::string& text) {
  SetWindowTextW(hwnd_, toWide(text).c_str());
}

bool DialogView::checked(int id) const {
  return IsDlgButtonChecked(hwnd_, id) == BST_CHECKED;
}

void DialogView::setChecked(int id, bool on) {
  CheckDlgButton(hwnd_, id, on ? BST_CHECKED : BST_UNCHECKED);
}

void DialogView::setVisible(int id, bool visible) {
  ShowWindow(item(id), visible ? SW_SHOW : SW_HIDE);
}

INT_PTR CALLBACK DialogView::procedure(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  DialogView* view = nullptr;
  if (msg == WM_INITDIALOG) {
    view = reinterpret_cast<DialogView*>(lp);
    view->hwnd_ = hwnd;
    SetWindowLongPtrW(hwnd, DWLP_USER, lp);
  } else {
    view = reinterpret_cast<DialogView*>(GetWindowLongPtrW(hwnd, DWLP_USER));
  }
  if (!view) return FALSE;
  try {
    return view->handle(msg, wp, lp);
  } catch (...) {
    // A window procedure is no place for a failure to travel through.
    return FALSE;
  }
}

INT_PTR DialogView::handle(UINT msg, WPARAM wp, LPARAM lp) {
  INT_PTR result = FALSE;
  switch (msg) {
    case WM_INITDIALOG: {
      bool focused = onInit();
      refresh();
      return focused ? FALSE : TRUE;
    }
    case WM_COMMAND: onCommand(LOWORD(wp), HIWORD(wp)); return TRUE;
    case WM_CLOSE: onClose(); return TRUE;
    case WM_SETCURSOR:
      if (Win32Ui::busyNow()) {
        SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        SetWindowLongPtrW(hwnd_, DWLP_MSGRESULT, TRUE);
        return TRUE;
      }
      break;
    case WM_NCDESTROY: {
      Win32Ui::removeModeless(hwnd_);
      SetWindowLongPtrW(hwnd_, DWLP_USER, 0);
      onDestroy();
      hwnd_ = nullptr;
      return FALSE;
    }
    default: break;
  }
  if (onMessage(msg, wp, lp, result)) return result;
  return FALSE;
}

}  // namespace trwk::win32
