#include "platform/win32/win32_ui.h"

#include <gtest/gtest.h>

namespace trwk::win32 {
namespace {

int ticks = 0, posted = 0;

LRESULT CALLBACK slowTimerWindow(HWND hwnd, UINT msg, WPARAM wp, LPARAM lp) {
  if (msg == WM_TIMER) {
    Sleep(30);  // longer than the timer's interval: the next tick is due on return
    if (++ticks == 40) KillTimer(hwnd, 1);
    return 0;
  }
  if (msg == WM_APP) {
    ++posted;
    return 0;
  }
  return DefWindowProcW(hwnd, msg, wp, lp);
}

// The main window's status animation ticks every 10 ms during Clean All while the cleaning
// lets the windows repaint; a repaint slower than that must not keep the cleaning waiting.
TEST(Win32Ui, DoEventsHandlesWhatWaitsAndReturnsThoughATimerIsAlwaysDue) {
  WNDCLASSW wc{};
  wc.lpfnWndProc = slowTimerWindow;
  wc.hInstance = GetModuleHandleW(nullptr);
  wc.lpszClassName = L"TrwkSlowTimerTest";
  ASSERT_TRUE(RegisterClassW(&wc));
  HWND hwnd = CreateWindowW(wc.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, wc.hInstance, nullptr);
  ASSERT_TRUE(hwnd);
  ASSERT_TRUE(SetTimer(hwnd, 1, 10, nullptr));
  Sleep(30);
  PostMessageW(hwnd, WM_APP, 0, 0);

  Win32Ui().doEvents();
  EXPECT_EQ(posted, 1) << "what was waiting is handled";
  EXPECT_LE(ticks, 2) << "the pump went on while the timer kept coming due";

  KillTimer(hwnd, 1);
  DestroyWindow(hwnd);
  UnregisterClassW(wc.lpszClassName, wc.hInstance);
}

}  // namespace
}  // namespace trwk::win32
