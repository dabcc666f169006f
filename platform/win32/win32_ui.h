#pragma once
// The Ui of the windowed program: message boxes, the folder picker, the hourglass and
// the message pump that lets the windows repaint during long work.
#include <windows.h>
// The seam has its own MessageBox type; the wide function is always called by name.
#undef MessageBox

#include <optional>
#include <string>

#include "platform/ui.h"

namespace trwk::win32 {

class Win32Ui : public Ui {
 public:
  Answer messageBox(const MessageBox& box) override;
  std::optional<std::string> pickFolder(const std::string& title) override;
  void setBusy(bool busy) override;
  void doEvents() override;

  // True while some work has asked for the hourglass; windows show it over themselves.
  static bool busyNow();
  // Modeless dialogs whose keyboard navigation the message pump must handle.
  static void addModeless(HWND dialog);
  static void removeModeless(HWND dialog);
  // Hands one message to its window (through a modeless dialog's navigation first).
  static void dispatch(MSG& msg);
  // The program's message loop: runs until the last window has posted its quit message.
  static int runMessageLoop();
};

// Windows-1252 text at the wide API edge.
std::wstring toWide(const std::string& text);
std::string fromWide(const std::wstring& text);

}  // namespace trwk::win32
