#include "extensions/win32/userdef_viewer_view.h"

#include <algorithm>

#include "extensions/win32/userdef_resource.h"

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
    SIZE size{};
    if (GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size))
      widest = std::max(widest, size.cx);
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

void UserDefViewerView::show(HWND owner) {
  runModal(IDD_USERDEF_VIEWER, owner);
}

bool UserDefViewerView::onInit() {
  model_.open();
  refresh();
  return false;
}

void UserDefViewerView::refresh() {
  if (!hwnd()) return;
  fillComboBox(item(IDC_UDV_CHOOSER), model_.chooser.rows);
  SendMessageW(item(IDC_UDV_CHOOSER), CB_SETCURSEL, static_cast<WPARAM>(model_.chooser.selected), 0);
  fillListBox(item(IDC_UDV_ENTRIES), model_.entries);
}

void UserDefViewerView::onCommand(int id, int code) {
  if (id == IDC_UDV_CHOOSER && code == CBN_SELCHANGE) {
    model_.chooseRow(comboSelection(item(IDC_UDV_CHOOSER)));
    refresh();
  } else if ((id == IDC_UDV_DONE || id == IDCANCEL) && code == BN_CLICKED) {
    onClose();
  }
}

void UserDefViewerView::onClose() {
  model_.done();
  closeWindow();
}

}  // namespace trwk::win32
