#include "extensions/win32/userdef_viewer_view.h"

#include "extensions/win32/userdef_resource.h"

namespace trwk::win32 {

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
