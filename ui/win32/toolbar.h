#pragma once
// A row of text buttons (the common controls' toolbar) inside a dialog, showing a model's
// Toolbar. Button i sends the dialog WM_COMMAND with the command number first + i, as a
// push button sends its own.
#include <string>
#include <vector>

#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro
#include "ui/toolbar.h"

namespace trwk::win32 {

class ToolbarControl {
 public:
  // Creates the toolbar with the buttons' captions as child id of dialog, at area (in the
  // dialog's units). Returns false when the control could not be made.
  bool create(HWND dialog, int id, RECT area, int firstCommand, const Toolbar& buttons);
  // Brings the buttons' captions and enabled states up to the model's, touching only what
  // changed.
  void show(const Toolbar& buttons);
  // The button (0 for the leftmost) a command number comes from; -1 when it is none of
  // this toolbar's.
  int buttonOf(int command) const;

 private:
  void setCaption(int button, const std::string& caption);

  HWND toolbar_ = nullptr;
  int first_ = 0;
  Toolbar shown_;
};

}  // namespace trwk::win32
