#include "locations/win32/paths_page_view.h"

#include "locations/win32/paths_page_resource.h"

namespace trwk::win32 {
namespace {

constexpr int kFamilies = 4;  // Internet Explorer, Netscape, Opera, Windows

bool inRange(int id, int first, int count) {
  return id >= first && id < first + count;
}

}  // namespace

PathsPageView::PathsPageView(HWND parent, LocationsModel& model, PathSettings& settings,
                             PathDetection& detection, RECT area)
    : model_(model), settings_(settings), detection_(detection) {
  createPage(IDD_PATHS_PAGE, parent, area);
}

void PathsPageView::refreshUsers() {
  HWND list = item(IDC_PATH_USER);
  if (!usersFilled_ || model_.users != shownUsers_) {
    SendMessageW(list, CB_RESETCONTENT, 0, 0);
    for (const std::string& user : model_.users) {
      std::wstring wide = toWide(user);
      SendMessageW(list, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(wide.c_str()));
    }
    shownUsers_ = model_.users;
    usersFilled_ = true;
  }
  int shown = static_cast<int>(SendMessageW(list, CB_GETCURSEL, 0, 0));
  if (model_.userSelected >= 0) {
    if (shown != model_.userSelected)
      SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(model_.userSelected), 0);
  } else if (controlText(IDC_PATH_USER) != model_.userText) {
    SendMessageW(list, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
    setText(IDC_PATH_USER, model_.userText);
  }
}

void PathsPageView::refresh() {
  if (!hwnd()) return;
  refreshing_ = true;
  for (int b = 0; b < kPathBoxCount; ++b) {
    std::size_t at = static_cast<std::size_t>(b);
    setBoxText(IDC_PATH_CAPTION_FIRST + b, LocationsModel::kCaptions[at]);
    setBoxText(IDC_PATH_BOX_FIRST + b, model_.boxes[at]);
  }
  refreshUsers();
  setBoxText(IDC_PATH_WINDOWS_WARNING, LocationsModel::kWindowsWarning);
  setVisible(IDC_PATH_WINDOWS_WARNING, model_.windowsWarningVisible);
  refreshing_ = false;
}

// Every action may change boxes, the list and the main window's items.
void PathsPageView::act(const std::function<void()>& action) {
  action();
  refresh();
  afterAction();
}

void PathsPageView::onCommand(int id, int code) {
  if (refreshing_) return;
  if (inRange(id, IDC_PATH_BOX_FIRST, kPathBoxCount)) {
    if (code != EN_CHANGE) return;
    auto box = static_cast<PathBox>(id - IDC_PATH_BOX_FIRST);
    std::string text = controlText(id);
    act([&] { settings_.editBox(box, text); });
  } else if (inRange(id, IDC_PATH_PICK_FIRST, kPathBoxCount)) {
    if (code != BN_CLICKED) return;
    act([&] { settings_.pickFolder(static_cast<PathBox>(id - IDC_PATH_PICK_FIRST)); });
  } else if (id == IDC_PATH_USER) {
    if (code == CBN_EDITCHANGE) {
      std::string text = controlText(id);
      act([&] { settings_.typeUser(text); });
    } else if (code == CBN_SELCHANGE) {
      int at = static_cast<int>(SendMessageW(item(id), CB_GETCURSEL, 0, 0));
      act([&] { settings_.selectUser(at); });
    }
  } else if (inRange(id, IDC_PATH_DETECT_FIRST, kFamilies)) {
    if (code != BN_CLICKED) return;
    switch (id - IDC_PATH_DETECT_FIRST) {
      case 0: act([&] { detection_.detectIE(); }); break;
      case 1: act([&] { detection_.detectNetscape(); }); break;
      case 2: act([&] { detection_.detectOpera(); }); break;
      default: act([&] { detection_.detectWindows(); }); break;
    }
  } else if (inRange(id, IDC_PATH_SAVE_FIRST, kFamilies)) {
    if (code != BN_CLICKED) return;
    switch (id - IDC_PATH_SAVE_FIRST) {
      case 0: act([&] { settings_.saveIE(); }); break;
      case 1: act([&] { settings_.saveNetscape(); }); break;
      case 2: act([&] { settings_.saveOpera(); }); break;
      default: act([&] { settings_.saveWindows(); }); break;
    }
  }
}

}  // namespace trwk::win32
