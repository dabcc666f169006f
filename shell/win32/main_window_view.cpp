#include "shell/win32/main_window_view.h"

#include <commctrl.h>

#include <vector>

#include "platform/win32/win32_ui.h"
#include "shell/win32/resource.h"
#include "shell/win32/tips_view.h"

namespace trwk::win32 {
namespace {

constexpr int kNoticeIds[] = {IDC_NOTICE_IE, IDC_NOTICE_NETSCAPE, IDC_NOTICE_OPERA};
constexpr int kNoticePages[] = {MainWindowModel::kInternetExplorer, MainWindowModel::kNetscape,
                                MainWindowModel::kOpera};

}  // namespace

bool MainWindowView::create() {
  return createModeless(IDD_MAIN, nullptr) != nullptr;
}

bool MainWindowView::onInit() {
  HINSTANCE instance = programInstance();
  SendMessageW(hwnd(), WM_SETICON, ICON_BIG,
               reinterpret_cast<LPARAM>(LoadIconW(instance, MAKEINTRESOURCEW(IDI_TRWK6))));
  SendMessageW(
      hwnd(), WM_SETICON, ICON_SMALL,
      reinterpret_cast<LPARAM>(LoadImageW(instance, MAKEINTRESOURCEW(IDI_TRWK6), IMAGE_ICON,
                                          GetSystemMetrics(SM_CXSMICON), GetSystemMetrics(SM_CYSMICON), 0)));
  HWND tabs = item(IDC_TABS);
  for (std::size_t i = 0; i < model_.pages.size(); ++i) {
    std::wstring text = toWide(model_.pages[i]);
    TCITEMW tab{};
    tab.mask = TCIF_TEXT;
    tab.pszText = text.data();
    SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
  }
  SendMessageW(item(IDC_STATUS), WM_SIZE, 0, 0);
  return false;
}

void MainWindowView::show() {
  refresh();
  ShowWindow(hwnd(), SW_SHOW);
  UpdateWindow(hwnd());
  SetForegroundWindow(hwnd());
}

void MainWindowView::refresh() {
  if (!hwnd()) return;
  setCaption(model_.caption);
  SendMessageW(item(IDC_TABS), TCM_SETCURSEL, static_cast<WPARAM>(model_.page), 0);
  refreshNotices();
  SendMessageW(item(IDC_PROGRESS), PBM_SETRANGE32, 0, model_.progressMax);
  SendMessageW(item(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(model_.progressValue), 0);
  std::wstring status = toWide(model_.statusText);
  SendMessageW(item(IDC_STATUS), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(status.c_str()));
  if (model_.picturePath != picture_.path()) {
    picture_.load(model_.picturePath);
    InvalidateRect(item(IDC_MAIN_PICTURE), nullptr, FALSE);
  }
}

void MainWindowView::refreshNotices() {
  for (std::size_t i = 0; i < model_.notices.size(); ++i) {
    setText(kNoticeIds[i], model_.notices[i].text);
    setVisible(kNoticeIds[i], model_.notices[i].visible && model_.page == kNoticePages[i]);
  }
}

void MainWindowView::showTips(TipsModel& tips) {
  TipsView view(tips);
  view.show(hwnd());
}

void MainWindowView::closeOtherWindows() {
  // Every other visible window of this thread: dialogs, boxes, the splash.
  std::vector<HWND> others;
  EnumThreadWindows(
      GetCurrentThreadId(),
      [](HWND w, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&others));
  for (HWND w : others) {
    if (w == hwnd() || !IsWindow(w) || !IsWindowVisible(w)) continue;
    SendMessageW(w, WM_CLOSE, 0, 0);
    if (IsWindow(w) && IsWindowVisible(w)) DestroyWindow(w);
  }
}

void MainWindowView::close() {
  closeWindow();
}

void MainWindowView::onClose() {
  model_.unload();
}

void MainWindowView::onDestroy() {
  PostQuitMessage(0);
}

bool MainWindowView::onMessage(UINT msg, WPARAM, LPARAM lp, INT_PTR& result) {
  switch (msg) {
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<const NMHDR*>(lp);
      if (header->idFrom == IDC_TABS && header->code == TCN_SELCHANGE) {
        model_.selectPage(static_cast<int>(SendMessageW(item(IDC_TABS), TCM_GETCURSEL, 0, 0)));
        return true;
      }
      return false;
    }
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (draw->CtlID != IDC_MAIN_PICTURE) return false;
      picture_.draw(draw->hDC, draw->rcItem, GetSysColor(COLOR_BTNFACE));
      result = TRUE;
      return true;
    }
    case WM_SIZE: SendMessageW(item(IDC_STATUS), WM_SIZE, 0, 0); return true;
    default: return false;
  }
}

}  // namespace trwk::win32
