#include "ui/win32/program_icon.h"

#include "ui/win32/dialog_view.h"
#include "ui/win32/ui_resource.h"

namespace trwk::win32 {

HICON loadProgramIcon(int size) {
  return static_cast<HICON>(
      LoadImageW(programInstance(), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

void setProgramIcon(HWND window) {
  // Shared handles of the system's two icon sizes: the module keeps them, so a window may
  // be given them as often as it likes.
  auto shared = [](int size) {
    return reinterpret_cast<LPARAM>(
        LoadImageW(programInstance(), MAKEINTRESOURCEW(IDI_PROGRAM), IMAGE_ICON, size, size, LR_SHARED));
  };
  SendMessageW(window, WM_SETICON, ICON_BIG, shared(GetSystemMetrics(SM_CXICON)));
  SendMessageW(window, WM_SETICON, ICON_SMALL, shared(GetSystemMetrics(SM_CXSMICON)));
}

}  // namespace trwk::win32
