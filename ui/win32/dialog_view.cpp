#include "ui/win32/dialog_view.h"

#include <algorithm>

namespace trwk::win32 {

void fillListBox(HWND list, const std::vector<std::string>& rows) {
  SendMessageW(list, WM_SETREDRAW, FALSE, 0);
  SendMessageW(list, LB_RESETCONTENT, 0, 0);
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
  LONG widest = 0;
  for (const std::string& row : rows) {
    const std::wstring wide = toWide(row);
    SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    // Tab stops widen a row beyond its plain text extent.
    const DWORD extent = GetTabbedTextExtentW(dc, wide.c_str(), static_cast<int>(wide.size()), 0, nullptr);
    widest = std::max(widest, static_cast<LONG>(LOWORD(extent)));
  }
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
  SendMessageW(list, WM_SETREDRAW, TRUE, 0);
  InvalidateRect(list, nullptr, TRUE);
}

void fillComboBox(HWND combo, const std::vector<std::string>& rows) {
  SendMessageW(combo, CB_RESETCONTENT, 0, 0);
  for (const std::string& row : rows) {
    const std::wstring wide = toWide(row);
    SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
  }
}

int listSelection(HWND list) {
  const LRESULT at = SendMessageW(list, LB_GETCURSEL, 0, 0);
  return at == LB_ERR ? -1 : static_cast<int>(at);
}

int comboSelection(HWND combo) {
  const LRESULT at = SendMessageW(combo, CB_GETCURSEL, 0, 0);
  return at == CB_ERR ? -1 : static_cast<int>(at);
}

namespace {

// How a list box and a drop-down list are filled and read.
struct RowControl {
  void (*fill)(HWND, const std::vector<std::string>&);
  int (*selection)(HWND);
  UINT select;  // the message that chooses a row
};

constexpr RowControl kListBox{fillListBox, listSelection, LB_SETCURSEL};
constexpr RowControl kComboBox{fillComboBox, comboSelection, CB_SETCURSEL};

void showRows(HWND control, const RowControl& kind, const std::vector<std::string>& rows,
              std::vector<std::string>& shown, int selected, bool refill) {
  if (refill || rows != shown) {
    kind.fill(control, rows);
    shown = rows;
  }
  if (kind.selection(control) != selected)
    SendMessageW(control, kind.select, static_cast<WPARAM>(selected), 0);
}

}  // namespace

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

std::string DialogView::controlText(int id) const {
  HWND control = item(id);
  std::wstring text(static_cast<std::size_t>(GetWindowTextLengthW(control)) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(control, text.data(), static_cast<int>(text.size()))));
  return fromWide(text);
}

void DialogView::setText(int id, const std::string& text) {
  SetDlgItemTextW(hwnd_, id, toWide(text).c_str());
}

void DialogView::setBoxText(int id, const std::string& text) {
  if (controlText(id) != text) setText(id, text);
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

void DialogView::setEnabled(int id, bool enabled) {
  HWND control = item(id);
  if ((IsWindowEnabled(control) != FALSE) != enabled) EnableWindow(control, enabled ? TRUE : FALSE);
}

void DialogView::showListRows(int id, const std::vector<std::string>& rows, std::vector<std::string>& shown,
                              int selected, bool refill) {
  showRows(item(id), kListBox, rows, shown, selected, refill);
}

void DialogView::showComboRows(int id, const std::vector<std::string>& rows, std::vector<std::string>& shown,
                               int selected, bool refill) {
  showRows(item(id), kComboBox, rows, shown, selected, refill);
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
