#include "cleaning/win32/netscape_cookies_view.h"

#include <algorithm>

#include "cleaning/win32/netscape_cookies_resource.h"

namespace trwk::win32 {

// The lists are filled again only when their lines changed, so a selection made by the
// user is not reset by every refresh. The widest line sets the sideways scroll range.
void NetscapeCookiesView::fillList(int id, const std::vector<std::string>& items,
                                   std::vector<std::string>& shown, int selected) {
  HWND list = item(id);
  if (!filled_ || items != shown) {
    SendMessageW(list, WM_SETREDRAW, FALSE, 0);
    SendMessageW(list, LB_RESETCONTENT, 0, 0);
    HDC dc = GetDC(list);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(list, WM_GETFONT, 0, 0)));
    LONG widest = 0;
    for (const std::string& text : items) {
      std::wstring wide = toWide(text);
      SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
      // Tab stops widen a cookie line beyond its plain text extent.
      DWORD extent = GetTabbedTextExtentW(dc, wide.c_str(), static_cast<int>(wide.size()), 0, nullptr);
      widest = std::max(widest, static_cast<LONG>(LOWORD(extent)));
    }
    SelectObject(dc, old);
    ReleaseDC(list, dc);
    SendMessageW(list, LB_SETHORIZONTALEXTENT, static_cast<WPARAM>(widest + 8), 0);
    SendMessageW(list, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list, nullptr, TRUE);
    shown = items;
  }
  SendMessageW(list, LB_SETCURSEL, static_cast<WPARAM>(selected), 0);
}

int NetscapeCookiesView::selection(int id) const {
  LRESULT at = SendMessageW(item(id), LB_GETCURSEL, 0, 0);
  return at == LB_ERR ? -1 : static_cast<int>(at);
}

void NetscapeCookiesView::refresh() {
  if (model_.closed) {
    closeWindow();
    return;
  }
  setCaption(model_.caption);
  setText(IDC_NSC_ALL_LABEL, NetscapeCookiesModel::kAllLabel);
  setText(IDC_NSC_EXCLUDED_LABEL, NetscapeCookiesModel::kExcludedLabel);
  fillList(IDC_NSC_COOKIES, model_.cookies, shownCookies_, model_.selectedCookie);
  fillList(IDC_NSC_ENTRIES, model_.entries, shownEntries_, model_.selectedEntry);
  filled_ = true;
}

void NetscapeCookiesView::onCommand(int id, int code) {
  switch (id) {
    case IDC_NSC_COOKIES:
      if (code == LBN_SELCHANGE)
        model_.selectCookie(selection(id));
      else if (code == LBN_DBLCLK)
        model_.doubleClickCookie(selection(id));
      else
        return;
      break;
    case IDC_NSC_ENTRIES:
      if (code == LBN_SELCHANGE)
        model_.selectEntry(selection(id));
      else if (code == LBN_DBLCLK)
        model_.doubleClickEntry(selection(id));
      else
        return;
      break;
    case IDC_NSC_ADD:
      if (code != BN_CLICKED) return;
      model_.add();
      break;
    case IDC_NSC_DELETE:
      if (code != BN_CLICKED) return;
      model_.deleteEntry();
      break;
    case IDOK:
      if (code != BN_CLICKED) return;
      model_.ok();
      break;
    case IDCANCEL:  // the button and Escape
      if (code != BN_CLICKED) return;
      model_.cancel();
      break;
    default: return;
  }
  refresh();
}

void NetscapeCookiesView::onClose() {
  model_.cancel();
  refresh();
}

}  // namespace trwk::win32
