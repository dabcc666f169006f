#include "shell/win32/main_window_view.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

#include "automation/win32/automation_resource.h"
#include "cleaning/win32/ie_cookies_resource.h"
#include "cleaning/win32/ie_cookies_view.h"
#include "cleaning/win32/netscape_cookies_resource.h"
#include "cleaning/win32/netscape_cookies_view.h"
#include "extensions/win32/userdef_viewer_view.h"
#include "platform/win32/win32_ui.h"
#include "shell/win32/preview_view.h"
#include "shell/win32/resource.h"
#include "shell/win32/statistics_chart_view.h"
#include "shell/win32/tips_view.h"
#include "ui/win32/program_icon.h"
#include "viewers/win32/list_viewer_view.h"
#include "viewers/win32/viewer_resource.h"

namespace trwk::win32 {
namespace {

// Which page each control sits on; the tab control shows one page at a time.
struct PageControl {
  int id;
  int page;
};

constexpr PageControl kPageControls[] = {
    {IDC_ITEM_FIRST + 0, MainWindowModel::kInternetExplorer},
    {IDC_ITEM_FIRST + 1, MainWindowModel::kInternetExplorer},
    {IDC_ITEM_FIRST + 2, MainWindowModel::kInternetExplorer},
    {IDC_ITEM_FIRST + 3, MainWindowModel::kInternetExplorer},
    {IDC_ITEM_FIRST + 4, MainWindowModel::kInternetExplorer},
    {IDC_CLEAN_IE, MainWindowModel::kInternetExplorer},
    {IDC_IE_COOKIES, MainWindowModel::kInternetExplorer},
    {IDC_VIEW_FIRST + 0, MainWindowModel::kInternetExplorer},
    {IDC_VIEW_FIRST + 1, MainWindowModel::kInternetExplorer},
    {IDC_PREVIEW_IE, MainWindowModel::kInternetExplorer},
    {IDC_NOTICE_IE, MainWindowModel::kInternetExplorer},
    {IDC_ITEM_FIRST + 5, MainWindowModel::kNetscape},
    {IDC_ITEM_FIRST + 6, MainWindowModel::kNetscape},
    {IDC_ITEM_FIRST + 7, MainWindowModel::kNetscape},
    {IDC_ITEM_FIRST + 8, MainWindowModel::kNetscape},
    {IDC_CLEAN_NETSCAPE, MainWindowModel::kNetscape},
    {IDC_NETSCAPE_COOKIES, MainWindowModel::kNetscape},
    {IDC_VIEW_FIRST + 2, MainWindowModel::kNetscape},
    {IDC_VIEW_FIRST + 3, MainWindowModel::kNetscape},
    {IDC_PREVIEW_NETSCAPE, MainWindowModel::kNetscape},
    {IDC_NOTICE_NETSCAPE, MainWindowModel::kNetscape},
    {IDC_ITEM_FIRST + 9, MainWindowModel::kOpera},
    {IDC_ITEM_FIRST + 10, MainWindowModel::kOpera},
    {IDC_ITEM_FIRST + 11, MainWindowModel::kOpera},
    {IDC_ITEM_FIRST + 12, MainWindowModel::kOpera},
    {IDC_CLEAN_OPERA, MainWindowModel::kOpera},
    {IDC_VIEW_FIRST + 4, MainWindowModel::kOpera},
    {IDC_PREVIEW_OPERA, MainWindowModel::kOpera},
    {IDC_NOTICE_OPERA, MainWindowModel::kOpera},
    {IDC_ITEM_FIRST + 13, MainWindowModel::kWindows},
    {IDC_ITEM_FIRST + 14, MainWindowModel::kWindows},
    {IDC_ITEM_FIRST + 15, MainWindowModel::kWindows},
    {IDC_ITEM_FIRST + 16, MainWindowModel::kWindows},
    {IDC_ITEM_FIRST + 17, MainWindowModel::kWindows},
    {IDC_ITEM_FIRST + 18, MainWindowModel::kWindows},
    {IDC_ITEM_FIRST + 19, MainWindowModel::kWindows},
    {IDC_ITEM_FIRST + 20, MainWindowModel::kWindows},
    {IDC_CLEAN_WINDOWS, MainWindowModel::kWindows},
    {IDC_VIEW_FIRST + 5, MainWindowModel::kWindows},
    {IDC_VIEW_FIRST + 6, MainWindowModel::kWindows},
    {IDC_VIEW_FIRST + 7, MainWindowModel::kWindows},
    {IDC_PREVIEW_WINDOWS, MainWindowModel::kWindows},
    {IDC_SAFETY_GROUP, MainWindowModel::kMaintenance},
    {IDC_SAFETY_SLIDER, MainWindowModel::kMaintenance},
    {IDC_SAFETY_LABEL, MainWindowModel::kMaintenance},
    {IDC_TABS_GROUP, MainWindowModel::kMaintenance},
    {IDC_TAB_ACTIVATE_FIRST + 0, MainWindowModel::kMaintenance},
    {IDC_TAB_ACTIVATE_FIRST + 1, MainWindowModel::kMaintenance},
    {IDC_TAB_ACTIVATE_FIRST + 2, MainWindowModel::kMaintenance},
    {IDC_TAB_ACTIVATE_FIRST + 3, MainWindowModel::kMaintenance},
    {IDC_RULES_TAB_GROUP, MainWindowModel::kMaintenance},
    {IDC_RULES_TAB_ACTIVATE, MainWindowModel::kMaintenance},
    {IDC_RULES_TAB_NOTE, MainWindowModel::kMaintenance},
    {IDC_SETTINGS_GROUP, MainWindowModel::kMaintenance},
    {IDC_AUTOMATIC_CLOSE, MainWindowModel::kMaintenance},
    {IDC_AUTOSTART, MainWindowModel::kMaintenance},
    {IDC_AUTODETECT_FIRST + 0, MainWindowModel::kPaths},
    {IDC_AUTODETECT_FIRST + 1, MainWindowModel::kPaths},
    {IDC_AUTODETECT_FIRST + 2, MainWindowModel::kPaths},
    {IDC_AUTODETECT_FIRST + 3, MainWindowModel::kPaths},
    {IDC_AUTODETECT_ALL, MainWindowModel::kPaths},
    {IDC_STATS_CHART, MainWindowModel::kStatistics},
};

constexpr int kNoticeIds[] = {IDC_NOTICE_IE, IDC_NOTICE_NETSCAPE, IDC_NOTICE_OPERA};

// The cleaning toolbar of each browser page, hidden with the page's browser greyed out.
struct ToolbarButton {
  int id;
  std::size_t browser;  // index into the catalogue's browsers
};

constexpr ToolbarButton kToolbarButtons[] = {
    {IDC_CLEAN_IE, MainWindowModel::kIE},
    {IDC_IE_COOKIES, MainWindowModel::kIE},
    {IDC_CLEAN_NETSCAPE, MainWindowModel::kNetscapeBrowser},
    {IDC_NETSCAPE_COOKIES, MainWindowModel::kNetscapeBrowser},
    {IDC_CLEAN_OPERA, MainWindowModel::kOperaBrowser},
    {IDC_VIEW_FIRST + 0, MainWindowModel::kIE},
    {IDC_VIEW_FIRST + 1, MainWindowModel::kIE},
    {IDC_VIEW_FIRST + 2, MainWindowModel::kNetscapeBrowser},
    {IDC_VIEW_FIRST + 3, MainWindowModel::kNetscapeBrowser},
    {IDC_VIEW_FIRST + 4, MainWindowModel::kOperaBrowser},
    {IDC_PREVIEW_IE, MainWindowModel::kIE},
    {IDC_PREVIEW_NETSCAPE, MainWindowModel::kNetscapeBrowser},
    {IDC_PREVIEW_OPERA, MainWindowModel::kOperaBrowser},
};

// The boxes of the four fixed families (items 1 to 21) live on their pages here.
constexpr int kFixedItems = 21;

// The colour of the tab strip's page body as the strip paints it (a visual style may paint
// it lighter than the dialog), so that the boxes on a page stand on the page's colour.
COLORREF pageColour(HWND tabs) {
  RECT r{};
  GetClientRect(tabs, &r);
  COLORREF colour = CLR_INVALID;
  if (r.right > 16 && r.bottom > 16) {
    HDC screen = GetDC(tabs);
    HDC memory = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, r.right, r.bottom);
    HGDIOBJ old = SelectObject(memory, bitmap);
    SendMessageW(tabs, WM_PRINTCLIENT, reinterpret_cast<WPARAM>(memory), PRF_CLIENT | PRF_ERASEBKGND);
    colour = GetPixel(memory, r.right / 2, r.bottom - 8);  // inside the body, clear of its edge
    SelectObject(memory, old);
    DeleteObject(bitmap);
    DeleteDC(memory);
    ReleaseDC(tabs, screen);
  }
  return colour == CLR_INVALID ? GetSysColor(COLOR_BTNFACE) : colour;
}

bool onPage(int id) {
  for (const PageControl& control : kPageControls)
    if (control.id == id) return true;
  return false;
}

bool inRange(int id, int first, int count) {
  return id >= first && id < first + count;
}

}  // namespace

bool MainWindowView::create() {
  return createModeless(IDD_MAIN, nullptr) != nullptr;
}

bool MainWindowView::onInit() {
  setProgramIcon(hwnd());
  // The pages' controls lie over the tab control: it goes to the bottom of the z-order so
  // that it never paints over them.
  SetWindowPos(item(IDC_TABS), HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
  // A group box paints only its frame; were it to hide the page body from the tab strip,
  // what an earlier page showed there would stay on screen.
  for (const PageControl& control : kPageControls) {
    HWND w = item(control.id);
    wchar_t cls[16] = {};
    GetClassNameW(w, cls, 16);
    if (lstrcmpiW(cls, L"Button") == 0 && (GetWindowLongPtrW(w, GWL_STYLE) & BS_TYPEMASK) == BS_GROUPBOX)
      SetWindowLongPtrW(w, GWL_EXSTYLE, GetWindowLongPtrW(w, GWL_EXSTYLE) | WS_EX_TRANSPARENT);
  }
  pageColour_ = pageColour(item(IDC_TABS));
  pageBrush_ = CreateSolidBrush(pageColour_);
  SendMessageW(item(IDC_SAFETY_SLIDER), TBM_SETRANGE, TRUE, MAKELPARAM(1, 5));
  SendMessageW(item(IDC_STATUS), WM_SIZE, 0, 0);
  paths_ = std::make_unique<PathsPageView>(hwnd(), model_.locations, model_.pathSettings, model_.detection);
  // A Save may switch clean items on or off and change the notices.
  paths_->afterAction = [this] { refresh(); };

  UserDefPageActions userDefActions;
  userDefActions.activate = [this](int set, bool on) { model_.setUserDefActivation(set, on); };
  userDefActions.rename = [this](int set, const std::string& name) { model_.setUserDefName(set, name); };
  userDefActions.cleanUserDef = [this] { model_.cleanUserDef(); };
  userDefActions.previewUserDef = [this] { model_.previewPressed(MainWindowModel::kCleanUserDefButton); };
  userDefActions.showDefinedFiles = [this] { showDefinedFiles(); };
  userDefActions.afterAction = [this] { refresh(); };
  userDef_ = std::make_unique<UserDefPageView>(hwnd(), model_.userDefSets, model_.catalogue, userDefActions);

  CleanPageActions pluginActions;
  pluginActions.clean = [this] { model_.cleanPluginsPressed(); };
  pluginActions.preview = [this] { model_.previewPressed(MainWindowModel::kCleanPluginsButton); };
  pluginActions.afterAction = [this] { refresh(); };
  plugins_ = std::make_unique<PluginsPageView>(hwnd(), model_.plugins, pluginActions);

  CleanPageActions ruleActions;
  ruleActions.clean = [this] { model_.cleanRulesPressed(); };
  ruleActions.preview = [this] { model_.previewPressed(MainWindowModel::kCleanRulesButton); };
  ruleActions.afterAction = [this] { refresh(); };
  rules_ = std::make_unique<RulesPageView>(hwnd(), model_.rules, ruleActions);

  scheduler_ = std::make_unique<SchedulerPanelView>(hwnd(), model_.automatic, model_.scheduler);
  // Arming changes the close box and the timer, and hides the window.
  scheduler_->afterAction = [this] { refresh(); };
  tray_ = std::make_unique<TrayIcon>(hwnd());
  tray_->restore = [this] {
    ShowWindow(hwnd(), SW_SHOW);
    SetForegroundWindow(hwnd());
    model_.visible = true;
    refresh();
  };
  tray_->close = [this] { model_.unload(); };
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
  refreshing_ = true;
  setCaption(model_.caption);
  refreshTabs();
  refreshPages();
  refreshItems();
  refreshMaintenance();
  // The page refreshes itself whenever it is shown.
  if (paths_) paths_->setShown(model_.page == MainWindowModel::kPaths);
  if (userDef_) userDef_->setShown(model_.page == MainWindowModel::kUserDef);
  if (plugins_) plugins_->setShown(model_.page == MainWindowModel::kPlugins);
  if (rules_) rules_->setShown(model_.page == MainWindowModel::kRules);
  if (scheduler_) scheduler_->setShown(model_.page == MainWindowModel::kMaintenance);
  const RunState& state = model_.state;
  SendMessageW(item(IDC_PROGRESS), PBM_SETRANGE32, 0, state.progress.max);
  SendMessageW(item(IDC_PROGRESS), PBM_SETPOS, static_cast<WPARAM>(state.progress.value), 0);
  std::wstring status = toWide(state.statusText);
  SendMessageW(item(IDC_STATUS), SB_SETTEXTW, 0, reinterpret_cast<LPARAM>(status.c_str()));
  refreshTimer();
  refreshScheduleTimer();
  if (model_.page == MainWindowModel::kStatistics) InvalidateRect(item(IDC_STATS_CHART), nullptr, FALSE);
  // Hidden controls leave their pixels behind on the page: a new page is painted afresh.
  if (model_.page != shownPage_) {
    RedrawWindow(item(IDC_TABS), nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
    shownPage_ = model_.page;
  }
  if (model_.picturePath != picture_.path()) {
    picture_.load(model_.picturePath);
    InvalidateRect(item(IDC_MAIN_PICTURE), nullptr, FALSE);
  }
  refreshing_ = false;
}

// The strip holds the tabs of the pages that may be selected, in page order.
void MainWindowView::refreshTabs() {
  HWND tabs = item(IDC_TABS);
  std::vector<int> wanted;
  for (int p = 0; p < static_cast<int>(model_.pages.size()); ++p)
    if (model_.pageEnabled(p)) wanted.push_back(p);
  if (wanted != tabPages_) {
    SendMessageW(tabs, TCM_DELETEALLITEMS, 0, 0);
    for (std::size_t i = 0; i < wanted.size(); ++i) {
      std::wstring text = toWide(model_.pages[static_cast<std::size_t>(wanted[i])]);
      TCITEMW tab{};
      tab.mask = TCIF_TEXT | TCIF_PARAM;
      tab.pszText = text.data();
      tab.lParam = wanted[i];
      SendMessageW(tabs, TCM_INSERTITEMW, i, reinterpret_cast<LPARAM>(&tab));
    }
    tabPages_ = wanted;
  }
  for (std::size_t i = 0; i < tabPages_.size(); ++i)
    if (tabPages_[i] == model_.page) SendMessageW(tabs, TCM_SETCURSEL, i, 0);
}

void MainWindowView::refreshPages() {
  const CleanCatalogue& catalogue = model_.catalogue;
  for (const PageControl& control : kPageControls) {
    bool visible = control.page == model_.page;
    for (const ToolbarButton& button : kToolbarButtons)
      if (control.id == button.id) visible = visible && catalogue.browsers[button.browser].toolbarVisible;
    for (std::size_t b = 0; b < catalogue.browsers.size(); ++b)
      if (control.id == kNoticeIds[b]) visible = visible && catalogue.browsers[b].noticeVisible;
    setVisible(control.id, visible);
  }
  for (std::size_t b = 0; b < catalogue.browsers.size(); ++b)
    setText(kNoticeIds[b], catalogue.browsers[b].notice);
}

void MainWindowView::refreshItems() {
  for (int n = 1; n <= kFixedItems; ++n) {
    const CleanItem& it = model_.catalogue.item(n);
    const int id = IDC_ITEM_FIRST + n - 1;
    setText(id, it.label);
    setChecked(id, it.ticked);
    setEnabled(id, it.enabled);
  }
}

void MainWindowView::refreshMaintenance() {
  const CleanCatalogue& catalogue = model_.catalogue;
  const int level = catalogue.safetyLevel.empty() ? 5 : catalogue.safetyLevel[0] - '0';
  SendMessageW(item(IDC_SAFETY_SLIDER), TBM_SETPOS, TRUE, level);
  setText(IDC_SAFETY_LABEL, catalogue.safetyLabel);
  for (int i = 0; i < 4; ++i)
    setChecked(IDC_TAB_ACTIVATE_FIRST + i, catalogue.tabBoxes[static_cast<std::size_t>(i)]);
  setChecked(IDC_RULES_TAB_ACTIVATE, catalogue.rulesTab);
  setChecked(IDC_AUTOMATIC_CLOSE, model_.state.automaticClose);
  setChecked(IDC_AUTOSTART, catalogue.autoStart);
}

// The status animation runs as a window timer with the model's interval.
void MainWindowView::refreshTimer() {
  const Timer& animation = model_.state.animation;
  const int wanted = animation.enabled && animation.interval > 0 ? animation.interval : 0;
  if (wanted == timerInterval_) return;
  if (wanted > 0)
    SetTimer(hwnd(), IDT_ANIMATION, static_cast<UINT>(wanted), nullptr);
  else
    KillTimer(hwnd(), IDT_ANIMATION);
  timerInterval_ = wanted;
}

void MainWindowView::onCommand(int id, int code) {
  // The notification-area icon's menu.
  if (tray_ && tray_->handleCommand(id)) return;
  if (refreshing_) return;
  if (code != BN_CLICKED) return;
  if (inRange(id, IDC_ITEM_FIRST, 25))
    model_.setItemTicked(id - IDC_ITEM_FIRST + 1, checked(id));
  else if (inRange(id, IDC_TAB_ACTIVATE_FIRST, 4))
    model_.setTabActivation(id - IDC_TAB_ACTIVATE_FIRST, checked(id));
  else if (id == IDC_RULES_TAB_ACTIVATE)
    model_.setRulesTabActivation(checked(id));
  else if (id == IDC_AUTOMATIC_CLOSE)
    model_.setAutomaticClose(checked(id));
  else if (id == IDC_AUTOSTART)
    model_.setAutoStart(checked(id));
  else if (id == IDC_CLEAN_IE)
    model_.cleanIE();
  else if (id == IDC_IE_COOKIES)
    model_.openIeCookies();
  else if (id == IDC_CLEAN_NETSCAPE)
    model_.cleanNetscape();
  else if (id == IDC_NETSCAPE_COOKIES)
    model_.openNetscapeCookies();
  else if (id == IDC_CLEAN_OPERA)
    model_.cleanOpera();
  else if (id == IDC_CLEAN_WINDOWS)
    model_.cleanWindows();
  else if (id == IDC_CLEAN_ALL)
    model_.cleanAllPressed();
  else if (id == IDC_PREVIEW_IE)
    model_.previewPressed(MainWindowModel::kCleanIEButton);
  else if (id == IDC_PREVIEW_NETSCAPE)
    model_.previewPressed(MainWindowModel::kCleanNetscapeButton);
  else if (id == IDC_PREVIEW_OPERA)
    model_.previewPressed(MainWindowModel::kCleanOperaButton);
  else if (id == IDC_PREVIEW_WINDOWS)
    model_.previewPressed(MainWindowModel::kCleanWindowsButton);
  else if (id == IDC_PREVIEW_ALL)
    model_.previewPressed(MainWindowModel::kCleanAllButton);
  else if (inRange(id, IDC_VIEW_FIRST, IDC_VIEW_COUNT))
    model_.openViewer(static_cast<ViewerKind>(id - IDC_VIEW_FIRST));
  else if (inRange(id, IDC_AUTODETECT_FIRST, 4))
    model_.autoDetect(static_cast<MainWindowModel::PathFamily>(id - IDC_AUTODETECT_FIRST));
  else if (id == IDC_AUTODETECT_ALL)
    model_.autoDetectAll();
  else
    return;
  refresh();
}

void MainWindowView::showTips(TipsModel& tips) {
  TipsView view(tips);
  view.show(hwnd());
}

void MainWindowView::showIeCookies(IeCookiesModel& cookies) {
  // The model has loaded the window's lists already.
  IeCookiesView view(cookies);
  view.runModal(IDD_IE_COOKIES, hwnd());
}

void MainWindowView::showNetscapeCookies(NetscapeCookiesModel& cookies) {
  NetscapeCookiesView view(cookies);
  view.runModal(IDD_NETSCAPE_COOKIES, hwnd());
}

void MainWindowView::showViewer(ListViewerModel& viewer) {
  ListViewerView view(viewer);
  view.runModal(IDD_VIEWER, hwnd());
}

void MainWindowView::showPreview(PreviewModel& preview) {
  PreviewView view(preview);
  view.runModal(IDD_PREVIEW, hwnd());
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

// The schedule's tick runs as a window timer while automatic cleaning is armed.
void MainWindowView::refreshScheduleTimer() {
  const Timer& tick = model_.scheduler.tick;
  int wanted = tick.enabled && tick.interval > 0 ? std::max(1, tick.interval / timerDivisor) : 0;
  if (wanted == scheduleInterval_) return;
  if (wanted > 0)
    SetTimer(hwnd(), IDT_SCHEDULE, static_cast<UINT>(wanted), nullptr);
  else
    KillTimer(hwnd(), IDT_SCHEDULE);
  scheduleInterval_ = wanted;
}

void MainWindowView::showDefinedFiles() {
  UserDefViewer viewer(model_.session(), model_.catalogue);
  UserDefViewerView view(viewer);
  view.show(hwnd());
}

void MainWindowView::enterTray() {
  if (tray_ && tray_->show())
    ShowWindow(hwnd(), SW_HIDE);
  else
    ShowWindow(hwnd(), SW_MINIMIZE);  // no notification area: the taskbar keeps it reachable
}

void MainWindowView::leaveTray() {
  if (tray_) tray_->remove();
}

void MainWindowView::close() {
  if (scheduleInterval_ > 0) KillTimer(hwnd(), IDT_SCHEDULE);
  scheduleInterval_ = 0;
  tray_.reset();
  if (timerInterval_ > 0) KillTimer(hwnd(), IDT_ANIMATION);
  timerInterval_ = 0;
  closeWindow();
}

void MainWindowView::onClose() {
  model_.unload();
}

void MainWindowView::onDestroy() {
  if (pageBrush_) DeleteObject(pageBrush_);
  pageBrush_ = nullptr;
  PostQuitMessage(0);
}

bool MainWindowView::onMessage(UINT msg, WPARAM wp, LPARAM lp, INT_PTR& result) {
  if (tray_ && tray_->handleMessage(msg, wp, lp)) return true;
  switch (msg) {
    case WM_NOTIFY: {
      auto* header = reinterpret_cast<const NMHDR*>(lp);
      if (header->idFrom == IDC_TABS && header->code == TCN_SELCHANGE) {
        auto index = static_cast<std::size_t>(SendMessageW(item(IDC_TABS), TCM_GETCURSEL, 0, 0));
        if (index < tabPages_.size()) model_.selectPage(tabPages_[index]);
        return true;
      }
      return false;
    }
    case WM_HSCROLL:
      if (reinterpret_cast<HWND>(lp) == item(IDC_SAFETY_SLIDER) && !refreshing_) {
        model_.setSafetySlider(static_cast<int>(SendMessageW(item(IDC_SAFETY_SLIDER), TBM_GETPOS, 0, 0)));
        return true;
      }
      return false;
    case WM_TIMER:
      if (wp == IDT_SCHEDULE) {
        model_.scheduler.onTick();
        refresh();
        return true;
      }
      if (wp == IDT_ANIMATION) {
        model_.animationTick();
        return true;
      }
      return false;
    case WM_DRAWITEM: {
      auto* draw = reinterpret_cast<const DRAWITEMSTRUCT*>(lp);
      if (draw->CtlID == IDC_STATS_CHART) {
        drawStatisticsChart(draw->hDC, draw->rcItem, chartOf(model_.statistics));
        result = TRUE;
        return true;
      }
      if (draw->CtlID != IDC_MAIN_PICTURE) return false;
      picture_.draw(draw->hDC, draw->rcItem, GetSysColor(COLOR_BTNFACE));
      result = TRUE;
      return true;
    }
    case WM_CTLCOLORSTATIC:  // boxes, labels, the slider and read-only boxes
    case WM_CTLCOLORBTN:     // the corners of the push buttons
      if (!pageBrush_ || !onPage(GetDlgCtrlID(reinterpret_cast<HWND>(lp)))) return false;
      SetBkColor(reinterpret_cast<HDC>(wp), pageColour_);
      result = reinterpret_cast<INT_PTR>(pageBrush_);
      return true;
    case WM_SIZE: SendMessageW(item(IDC_STATUS), WM_SIZE, 0, 0); return true;
    // A logoff or shutdown, also while the window waits hidden behind its icon. A dialog
    // procedure answers through DWLP_MSGRESULT.
    case WM_QUERYENDSESSION:
      SetWindowLongPtrW(hwnd(), DWLP_MSGRESULT, model_.queryEndSession() ? TRUE : FALSE);
      result = TRUE;
      return true;
    case WM_ENDSESSION:
      model_.endSession(wp != FALSE);
      result = TRUE;
      return true;
    default: return false;
  }
}

}  // namespace trwk::win32
