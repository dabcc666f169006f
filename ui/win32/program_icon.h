#pragma once
// The running program's icon, its resource IDI_PROGRAM (ui/win32/ui_resource.h).
#include "platform/win32/win32_ui.h"  // <windows.h> without its MessageBox macro

namespace trwk::win32 {

// The icon at this size in pixels; the caller destroys it.
HICON loadProgramIcon(int size);
// Puts the icon on a window's title bar and task-bar button.
void setProgramIcon(HWND window);

}  // namespace trwk::win32
