#include "automation/win32/tray_icon.h"

#include <cwchar>

#include "automation/win32/automation_resource.h"
#include "ui/win32/program_icon.h"

namespace trwk::win32 {
namespace {

constexpr UINT kIconId = 1;

}  // namespace

TrayIcon::TrayIcon(HWND owner)
    : owner_(owner),
      icon_(loadProgramIcon(GetSystemMetrics(SM_CXSMICON))),
      // Sent to every top-level window when the shell (re)starts; the icon is then put back.
      taskbarCreated_(RegisterWindowMessageW(L"TaskbarCreated")) {}

TrayIcon::~TrayIcon() {
  remove();
  if (icon_) DestroyIcon(icon_);
}

NOTIFYICONDATAW TrayIcon::data() const {
  NOTIFYICONDATAW d{};
  d.cbSize = sizeof d;
  d.hWnd = owner_;
  d.uID = kIconId;
  d.uFlags = NIF_ICON | NIF_MESSAGE | NIF_TIP;
  d.uCallbackMessage = kCallbackMessage;
  d.hIcon = icon_;
  wcsncpy(d.szTip, kTip, sizeof d.szTip / sizeof d.szTip[0] - 1);
  return d;
}

bool TrayIcon::show() {
  NOTIFYICONDATAW d = data();
  if (!shown_) shown_ = Shell_NotifyIconW(NIM_ADD, &d) != FALSE;
  if (shown_) SetPropW(owner_, kMarker, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(1)));
  return shown_;
}

void TrayIcon::remove() {
  if (!shown_) return;
  NOTIFYICONDATAW d = data();
  Shell_NotifyIconW(NIM_DELETE, &d);
  RemovePropW(owner_, kMarker);
  shown_ = false;
}

bool TrayIcon::handleMessage(UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == kCallbackMessage) {
    if (wp != kIconId) return true;
    switch (static_cast<UINT>(lp)) {
      case WM_LBUTTONDBLCLK: restore(); break;
      case WM_RBUTTONUP:
      case WM_CONTEXTMENU: showMenu(); break;
      default: break;
    }
    return true;
  }
  if (taskbarCreated_ != 0 && msg == taskbarCreated_) {
    if (shown_) {
      shown_ = false;  // the new shell knows no icon of ours
      show();
    }
    return true;
  }
  return false;
}

bool TrayIcon::handleCommand(int id) {
  if (id == IDM_TRAY_RESTORE) {
    restore();
    return true;
  }
  if (id == IDM_TRAY_CLOSE) {
    close();
    return true;
  }
  return false;
}

void TrayIcon::showMenu() {
  HMENU menu = CreatePopupMenu();
  if (!menu) return;
  AppendMenuW(menu, MF_STRING, IDM_TRAY_RESTORE, L"Restore Window");
  AppendMenuW(menu, MF_STRING, IDM_TRAY_CLOSE, L"Close");
  SetMenuDefaultItem(menu, IDM_TRAY_RESTORE, FALSE);
  POINT at{};
  GetCursorPos(&at);
  // Without the owner in front the menu would not close when the user clicks elsewhere;
  // the choice arrives at the owner as WM_COMMAND.
  SetForegroundWindow(owner_);
  TrackPopupMenu(menu, TPM_RIGHTBUTTON | TPM_BOTTOMALIGN, at.x, at.y, 0, owner_, nullptr);
  PostMessageW(owner_, WM_NULL, 0, 0);
  DestroyMenu(menu);
}

}  // namespace trwk::win32
