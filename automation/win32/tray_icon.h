#pragma once
// The program's icon in the notification area while automatic cleaning waits hidden. A
// right click opens the menu "Restore Window" / "Close", a double click restores. The
// owner window passes its messages on: the icon's callback message and the shell's
// "TaskbarCreated" to handleMessage, its WM_COMMAND ids to handleCommand.
//
// While the icon is shown the owner window carries the property kMarker (value 1), so
// that a test driving the program from outside can see the icon without a shell.
#include <functional>

#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
// After windows.h, which it builds on.
#include <shellapi.h>

namespace trwk::win32 {

class TrayIcon {
 public:
  static constexpr UINT kCallbackMessage = WM_APP + 0x51;
  static constexpr const wchar_t* kMarker = L"Tarnwick.TrayIcon";
  static constexpr const wchar_t* kTip = L"Tarnwick";

  explicit TrayIcon(HWND owner);
  ~TrayIcon();  // takes the icon away
  TrayIcon(const TrayIcon&) = delete;
  TrayIcon& operator=(const TrayIcon&) = delete;

  // Puts the icon in the notification area; false when the shell would not take it (then
  // the owner must stay reachable some other way).
  bool show();
  void remove();
  bool shown() const { return shown_; }

  // True when the message was the icon's.
  bool handleMessage(UINT msg, WPARAM wp, LPARAM lp);
  // True for the menu's choices (IDM_TRAY_RESTORE, IDM_TRAY_CLOSE), which it has run.
  bool handleCommand(int id);

  std::function<void()> restore = [] {};
  std::function<void()> close = [] {};

 private:
  NOTIFYICONDATAW data() const;
  void showMenu();

  HWND owner_;
  HICON icon_ = nullptr;
  UINT taskbarCreated_ = 0;
  bool shown_ = false;
};

}  // namespace trwk::win32
