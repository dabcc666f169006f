#include "extensions/creator/win32/window_text.h"

#include <vector>

#include "extensions/creator/win32/creator_resource.h"
#include "platform/win32/win32_ui.h"

namespace trwk::creator::win32 {

std::string itemText(HWND dialog, int id) {
  HWND control = GetDlgItem(dialog, id);
  int length = GetWindowTextLengthW(control);
  std::vector<wchar_t> buffer(static_cast<std::size_t>(length) + 1);
  GetWindowTextW(control, buffer.data(), length + 1);
  return trwk::win32::fromWide(buffer.data());
}

void setWindowIcon(HWND window) {
  HINSTANCE instance = GetModuleHandleW(nullptr);
  auto icon = [&](int size) {
    return reinterpret_cast<LPARAM>(
        LoadImageW(instance, MAKEINTRESOURCEW(IDI_EXTMAKER1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
  };
  SendMessageW(window, WM_SETICON, ICON_BIG, icon(GetSystemMetrics(SM_CXICON)));
  SendMessageW(window, WM_SETICON, ICON_SMALL, icon(GetSystemMetrics(SM_CXSMICON)));
}

}  // namespace trwk::creator::win32
