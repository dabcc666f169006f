#include "extensions/win32/plugins_page_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include <utility>

#include "extensions/win32/plugins_resource.h"

namespace trwk::win32 {
namespace {

constexpr UINT_PTR kListSubclass = IDC_PLUGINS_LIST;

}  // namespace

PluginsPageView::PluginsPageView(HWND parent, Plugins& model, CleanPageActions actions, RECT area)
    : model_(model), actions_(std::move(actions)), info_(model.session()) {
  createPage(IDD_PLUGINS_PAGE, parent, area);
}

bool PluginsPageView::onInit() {
  HWND list = item(IDC_PLUGINS_LIST);
  // Rows as high as the dialog's text and a little more, so that the box fits beside it.
  HDC dc = GetDC(list);
  HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(hwnd(), WM_GETFONT, 0, 0)));
  TEXTMETRICW metrics{};
  GetTextMetricsW(dc, &metrics);
  SelectObject(dc, old);
  ReleaseDC(list, dc);
  SendMessageW(list, LB_SETITEMHEIGHT, 0, MAKELPARAM(metrics.tmHeight + 4, 0));
  SetWindowSubclass(list, listProcedure, kListSubclass, reinterpret_cast<DWORD_PTR>(this));
  return true;
}

int PluginsPageView::listSelection() const {
  return static_cast<int>(SendMessageW(item(IDC_PLUGINS_LIST), LB_GETCURSEL, 0, 0));
}

int PluginsPageView::checkWidth() const {
  return static_cast<int>(SendMessageW(item(IDC_PLUGINS_LIST), LB_GETITEMHEIGHT, 0, 0));
}

void PluginsPageView::refresh() {
  if (!hwnd()) return;
  HWND list = item(IDC_PLUGINS_LIST);
  if (!filled_ || shownNames_ != model_.names) {
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    for (const std::string& name : model_.names) {
      std::wstring wide = toWide(name);
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    shownNames_ = model_.names;
    filled_ = true;
  }
  for (std::size_t row = 0; row < model_.ticks.size() && row < shownNames_.size(); ++row) {
    LRESULT ticked = model_.ticks[row] ? 1 : 0;
    if (SendMessageW(list, LB_GETITEMDATA, row, 0) == ticked) continue;
    SendMessageW(list, LB_SETITEMDATA, row, ticked);
    RECT rect{};
    if (SendMessageW(list, LB_GETITEMRECT, row, reinterpret_cast<LPARAM>(&rect)) != LB_ERR)
      InvalidateRect(list, &rect, FALSE);
  }
  if (listSelection() != model_.highlighted)
    SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(model_.highlighted), 0);
  showListRows(IDC_PLUGINS_LIST4, model_.list4, shownList4_, model_.highlighted, false);

  setBoxText(IDC_PLUGINS_GROUP, Plugins::kAvailableCaption);
  setBoxText(IDC_PLUGINS_LIST4_GROUP, Plugins::kList4Caption);
  setBoxText(IDC_PLUGINS_PATH_CAPTION, Plugins::kPathCaption);
  setBoxText(IDC_PLUGINS_PATH, model_.pathBox);
}

void PluginsPageView::toggle(int row) {
  if (row < 0 || row >= model_.rowCount()) return;
  model_.setActive(row, !model_.ticks[static_cast<std::size_t>(row)]);
  refresh();
  actions_.afterAction();
}

void PluginsPageView::onCommand(int id, int code) {
  if (id == IDC_PLUGINS_LIST || id == IDC_PLUGINS_LIST4) {
    if (code != LBN_SELCHANGE) return;
    model_.highlight(id == IDC_PLUGINS_LIST ? listSelection() : trwk::win32::listSelection(item(id)));
    refresh();
    return;
  }
  if (code != BN_CLICKED) return;
  switch (id) {
    case IDC_PLUGINS_CLEAN: actions_.clean(); break;
    case IDC_PLUGINS_PREVIEW: actions_.preview(); break;
    case IDC_PLUGINS_INFO:
      // A row highlighted from outside (LB_SETCURSEL) sends no notification.
      model_.highlight(listSelection());
      info_.open(model_, model_.highlighted);
      infoView_.open(GetAncestor(hwnd(), GA_ROOT));
      break;
    case IDC_PLUGINS_CREATOR: startPluginCreator(model_.session()); break;
    default: return;
  }
  refresh();
  actions_.afterAction();
}

bool PluginsPageView::onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  HWND list = item(IDC_PLUGINS_LIST);
  if (msg == WM_VKEYTOITEM && reinterpret_cast<HWND>(lp) == list) {
    if (LOWORD(wp) == VK_SPACE) {
      toggle(HIWORD(wp));  // the row with the caret
      result = -2;         // handled; the list does nothing more
    } else {
      result = -1;  // the list's own handling (arrows, letters)
    }
    return true;
  }
  if (msg == WM_DRAWITEM && wp == IDC_PLUGINS_LIST) {
    drawRow(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp));
    result = TRUE;
    return true;
  }
  return false;
}

void PluginsPageView::drawRow(const DRAWITEMSTRUCT& draw) {
  HDC dc = draw.hDC;
  RECT row = draw.rcItem;
  if (draw.itemID == static_cast<UINT>(-1)) {  // an empty list with the focus
    if (draw.itemState & ODS_FOCUS) DrawFocusRect(dc, &row);
    return;
  }
  const bool selected = (draw.itemState & ODS_SELECTED) != 0;
  FillRect(dc, &row, GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));

  const int height = row.bottom - row.top;
  RECT box{row.left + 3, row.top + 2, row.left + height - 1, row.bottom - 2};
  UINT state = DFCS_BUTTONCHECK | DFCS_FLAT | (draw.itemData ? DFCS_CHECKED : 0u);
  DrawFrameControl(dc, &box, DFC_BUTTON, state);

  const WPARAM at = draw.itemID;
  LRESULT length = SendMessageW(draw.hwndItem, LB_GETTEXTLEN, at, 0);
  std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
  if (length > 0) SendMessageW(draw.hwndItem, LB_GETTEXT, at, reinterpret_cast<LPARAM>(text.data()));
  text.resize(static_cast<std::size_t>(length > 0 ? length : 0));
  RECT caption = row;
  caption.left += height + 3;
  SetBkMode(dc, TRANSPARENT);
  SetTextColor(dc, GetSysColor(selected ? COLOR_HIGHLIGHTTEXT : COLOR_WINDOWTEXT));
  DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &caption,
            DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
  if (draw.itemState & ODS_FOCUS) DrawFocusRect(dc, &row);
}

// A click on a row's box ticks or clears it; elsewhere on the row it only highlights.
LRESULT CALLBACK PluginsPageView::listProcedure(HWND list, UINT msg, WPARAM wp, LPARAM lp, UINT_PTR id,
                                                DWORD_PTR self) {
  if (msg == WM_NCDESTROY) {
    RemoveWindowSubclass(list, listProcedure, id);
    return DefSubclassProc(list, msg, wp, lp);
  }
  if (msg != WM_LBUTTONDOWN && msg != WM_LBUTTONDBLCLK) return DefSubclassProc(list, msg, wp, lp);
  LRESULT result = DefSubclassProc(list, msg, wp, lp);
  try {
    auto* view = reinterpret_cast<PluginsPageView*>(self);
    const int x = GET_X_LPARAM(lp), y = GET_Y_LPARAM(lp);
    LRESULT hit = SendMessageW(list, LB_ITEMFROMPOINT, 0, MAKELPARAM(x, y));
    if (HIWORD(hit) == 0 && x < view->checkWidth()) view->toggle(LOWORD(hit));
  } catch (...) {
    // A window procedure is no place for a failure to travel through.
  }
  return result;
}

}  // namespace trwk::win32
