#include "cleaning/win32/ie_cookies_view.h"

#include <algorithm>

#include "cleaning/win32/ie_cookies_resource.h"

namespace trwk::win32 {

namespace {

// Cookie files end their lines with a line feed alone; the edit control wants CR LF.
std::string withCrLf(const std::string& text) {
  std::string out;
  out.reserve(text.size() + text.size() / 8);
  for (std::size_t i = 0; i < text.size(); ++i) {
    if (text[i] == '\n' && (i == 0 || text[i - 1] != '\r')) out += '\r';
    out += text[i];
  }
  return out;
}

}  // namespace

void IeCookiesView::fillList(int id, const std::vector<std::string>& items, std::vector<std::string>& shown,
                             int selected) {
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
      SIZE size{};
      if (GetTextExtentPoint32W(dc, wide.c_str(), static_cast<int>(wide.size()), &size))
        widest = std::max(widest, size.cx);
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

int IeCookiesView::selection(int id) const {
  LRESULT at = SendMessageW(item(id), LB_GETCURSEL, 0, 0);
  return at == LB_ERR ? -1 : static_cast<int>(at);
}

void IeCookiesView::refresh() {
  if (model_.closed) {
    closeWindow();
    return;
  }
  setCaption(model_.caption);
  setText(IDC_IEC_ALL_LABEL, IeCookiesModel::kAllLabel);
  setText(IDC_IEC_EXCLUDED_LABEL, IeCookiesModel::kExcludedLabel);
  setText(IDC_IEC_INFO_LABEL, IeCookiesModel::kInformationLabel);
  fillList(IDC_IEC_FILES, model_.files, shownFiles_, model_.selectedFile);
  fillList(IDC_IEC_ENTRIES, model_.entries, shownEntries_, model_.selectedEntry);
  filled_ = true;
  if (model_.preview != shownPreview_) {  // setting the same text again would scroll it back
    setText(IDC_IEC_PREVIEW, withCrLf(model_.preview));
    shownPreview_ = model_.preview;
  }
}

void IeCookiesView::onCommand(int id, int code) {
  switch (id) {
    case IDC_IEC_FILES:
      if (code == LBN_SELCHANGE)
        model_.selectFile(selection(id));
      else if (code == LBN_DBLCLK)
        model_.doubleClickFile(selection(id));
      else
        return;
      break;
    case IDC_IEC_ENTRIES:
      if (code == LBN_SELCHANGE)
        model_.selectEntry(selection(id));
      else if (code == LBN_DBLCLK)
        model_.doubleClickEntry(selection(id));
      else
        return;
      break;
    case IDC_IEC_ADD:
      if (code != BN_CLICKED) return;
      model_.add();
      break;
    case IDC_IEC_DELETE:
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

void IeCookiesView::onClose() {
  model_.cancel();
  refresh();
}

}  // namespace trwk::win32
