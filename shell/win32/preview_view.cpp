#include "shell/win32/preview_view.h"

#include <commctrl.h>

#include "shell/win32/resource.h"
#include "ui/win32/program_icon.h"

namespace trwk::win32 {
namespace {

// Posted to itself once the window is up: the preview runs from there.
constexpr UINT kStartPreview = WM_APP + 15;

}  // namespace

bool PreviewView::onInit() {
  setProgramIcon(hwnd());
  HWND list = item(IDC_PREVIEW_LIST);
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER,
               LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
  const struct {
    const char* title;
    int width;  // dialog units
    int format;
  } columns[] = {{"Entry", 300, LVCFMT_LEFT}, {"Kind", 60, LVCFMT_LEFT}, {"Bytes", 56, LVCFMT_RIGHT}};
  for (int c = 0; c < 3; ++c) {
    RECT units{0, 0, columns[c].width, 0};
    MapDialogRect(hwnd(), &units);
    std::wstring title = toWide(columns[c].title);
    LVCOLUMNW lvc{};
    lvc.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
    lvc.fmt = columns[c].format;
    lvc.cx = units.right;
    lvc.pszText = title.data();
    lvc.iSubItem = c;
    SendMessageW(list, LVM_INSERTCOLUMNW, static_cast<WPARAM>(c), reinterpret_cast<LPARAM>(&lvc));
  }
  model_.refreshView = [this] { refresh(); };
  refresh();
  PostMessageW(hwnd(), kStartPreview, 0, 0);
  return false;
}

void PreviewView::refresh() {
  if (!hwnd()) return;
  setCaption(model_.caption);
  setText(IDC_PREVIEW_HEADING, model_.heading);
  setText(IDC_PREVIEW_STATUS, model_.status);
  HWND bar = item(IDC_PREVIEW_PROGRESS);
  SendMessageW(bar, PBM_SETRANGE32, 0, model_.progressMax);
  SendMessageW(bar, PBM_SETPOS, static_cast<WPARAM>(model_.progressValue), 0);
  HWND list = item(IDC_PREVIEW_LIST);
  if (static_cast<std::size_t>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0)) != model_.rowCount())
    SendMessageW(list, LVM_SETITEMCOUNT, model_.rowCount(), LVSICF_NOSCROLL);
  InvalidateRect(list, nullptr, FALSE);
  setEnabled(IDC_PREVIEW_CLEAN, model_.cleanEnabled);
  UpdateWindow(hwnd());
  // A close asked for while the preview runs ends its looking; the window goes once it has.
  if (model_.closed && !model_.running) closeWindow();
}

void PreviewView::onCommand(int id, int code) {
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_PREVIEW_CLEAN: model_.cleanThese(); break;
    case IDC_PREVIEW_CLOSE:
    case IDCANCEL: model_.close(); break;
    default: return;
  }
  refresh();
}

void PreviewView::onClose() {
  model_.close();
  refresh();
}

bool PreviewView::onMessage(UINT msg, WPARAM, LPARAM lp, INT_PTR& result) {
  if (msg == kStartPreview) {
    model_.start();
    refresh();
    result = 0;
    return true;
  }
  if (msg != WM_NOTIFY) return false;
  auto* header = reinterpret_cast<NMHDR*>(lp);
  if (header->idFrom != IDC_PREVIEW_LIST || header->code != LVN_GETDISPINFOW) return false;
  LVITEMW& row = reinterpret_cast<NMLVDISPINFOW*>(lp)->item;
  if ((row.mask & LVIF_TEXT) && row.pszText && row.cchTextMax > 0) {
    row.pszText[0] = L'\0';
    const PreviewModel::Row r = model_.row(static_cast<std::size_t>(row.iItem));
    const std::string& text = row.iSubItem == 0 ? r.path : row.iSubItem == 1 ? r.kind : r.size;
    cell_ = toWide(text);
    lstrcpynW(row.pszText, cell_.c_str(), row.cchTextMax);
  }
  result = 0;
  return true;
}

}  // namespace trwk::win32
