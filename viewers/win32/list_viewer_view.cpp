#include "viewers/win32/list_viewer_view.h"

#include <commctrl.h>

#include <vector>

#include "ui/win32/program_icon.h"
#include "viewers/win32/viewer_resource.h"

namespace trwk::win32 {

bool ListViewerView::onInit() {
  setProgramIcon(hwnd());
  HWND list = item(IDC_VIEWER_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
               LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  for (std::size_t c = 0; c < model_.columns.size(); ++c) {
    const ViewerColumn& column = model_.columns[c];
    RECT units{0, 0, column.width, 0};
    MapDialogRect(hwnd(), &units);
    std::wstring title = toWide(column.title);
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lvc.fmt = column.kind == ColumnKind::Text ? LVCFMT_LEFT : LVCFMT_RIGHT;
    lvc.cx = units.right;
    lvc.pszText = title.data();
    lvc.iSubItem = static_cast<int>(c);
    SendMessageW(list, LVM_INSERTCOLUMNW, c, reinterpret_cast<LPARAM>(&lvc));
  }
  refresh();
  return false;
}

void ListViewerView::refresh() {
  if (!hwnd()) return;
  refreshing_ = true;
  setCaption(model_.caption);
  HWND list = item(IDC_VIEWER_LIST);
  SendMessageW(list, LVM_SETITEMCOUNT, model_.rows.size(), LVSICF_NOSCROLL);
  showSelection();
  showSortArrow();
  InvalidateRect(list, nullptr, FALSE);
  refreshStatus();
  refreshing_ = false;
  if (model_.closed) closeWindow();
}

void ListViewerView::showSelection() {
  HWND list = item(IDC_VIEWER_LIST);
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED;
  state.state = 0;
  SendMessageW(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&state));
  state.state = LVIS_SELECTED;
  for (std::size_t i = 0; i < model_.highlighted.size(); ++i)
    if (model_.highlighted[i]) SendMessageW(list, LVM_SETITEMSTATE, i, reinterpret_cast<LPARAM>(&state));
}

// The arrow in the header of the column the rows are sorted by, pointing the way they run.
void ListViewerView::showSortArrow() {
  HWND header = reinterpret_cast<HWND>(SendMessageW(item(IDC_VIEWER_LIST), LVM_GETHEADER, 0, 0));
  for (int c = 0; c < static_cast<int>(model_.columns.size()); ++c) {
    HDITEMW column{};
    column.mask = HDI_FORMAT;
    if (!SendMessageW(header, HDM_GETITEMW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column)))
      continue;
    column.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
    if (c == model_.sortColumn) column.fmt |= model_.ascending ? HDF_SORTUP : HDF_SORTDOWN;
    SendMessageW(header, HDM_SETITEMW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&column));
  }
}

void ListViewerView::refreshStatus() {
  setText(IDC_VIEWER_SUMMARY, model_.summary);
  setEnabled(IDC_VIEWER_REMOVE, model_.removeEnabled());
}

void ListViewerView::takeSelection() {
  HWND list = item(IDC_VIEWER_LIST);
  std::vector<int> positions;
  for (int i = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
       i >= 0;
       i = static_cast<int>(SendMessageW(list, LVM_GETNEXTITEM, static_cast<WPARAM>(i), LVNI_SELECTED)))
    positions.push_back(i);
  model_.highlight(positions);
  refreshStatus();
}

void ListViewerView::onCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_VIEWER_REMOVE:
      takeSelection();
      model_.removeHighlighted();
      break;
    case IDC_VIEWER_REFRESH: model_.refresh(); break;
    case IDC_VIEWER_CLOSE:
    case IDCANCEL: model_.close(); break;
    default: return;
  }
  refresh();
}

void ListViewerView::onClose() {
  model_.close();
  closeWindow();
}

bool ListViewerView::onMessage(UINT msg, WPARAM, LPARAM lp, INT_PTR& result) {
  if (msg != WM_NOTIFY) return false;
  auto* header = reinterpret_cast<NMHDR*>(lp);
  if (header->idFrom != IDC_VIEWER_LIST) return false;
  switch (header->code) {
    case LVN_GETDISPINFOW: {
      LVITEMW& row = reinterpret_cast<NMLVDISPINFOW*>(lp)->item;
      if ((row.mask & LVIF_TEXT) && row.pszText && row.cchTextMax > 0) {
        row.pszText[0] = L'\0';
        const auto r = static_cast<std::size_t>(row.iItem);
        const auto c = static_cast<std::size_t>(row.iSubItem);
        if (r < model_.rows.size() && c < model_.rows[r].cells.size()) {
          cell_ = toWide(model_.rows[r].cells[c]);
          lstrcpynW(row.pszText, cell_.c_str(), row.cchTextMax);
        }
      }
      result = 0;
      return true;
    }
    case LVN_ITEMCHANGED: {
      auto* change = reinterpret_cast<NMLISTVIEW*>(lp);
      if (!refreshing_ && ((change->uOldState ^ change->uNewState) & LVIS_SELECTED)) takeSelection();
      return true;
    }
    case LVN_ODSTATECHANGED:
      if (!refreshing_) takeSelection();
      return true;
    case LVN_KEYDOWN: {
      // Delete removes the highlighted rows, Ctrl+A highlights every row.
      const WORD key = reinterpret_cast<NMLVKEYDOWN*>(lp)->wVKey;
      if (key == VK_DELETE) {
        onCommand(IDC_VIEWER_REMOVE, BN_CLICKED);
      } else if (key == 'A' && (GetKeyState(VK_CONTROL) & 0x8000)) {
        model_.highlightAll(true);
        refresh();
      }
      return true;
    }
    case LVN_COLUMNCLICK:
      takeSelection();
      model_.clickColumn(reinterpret_cast<NMLISTVIEW*>(lp)->iSubItem);
      refresh();
      return true;
    default: return false;
  }
}

}  // namespace trwk::win32
