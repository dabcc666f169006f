// The end of the Windows session while trwk6.exe waits hidden behind its icon for the next
// automatic cleaning, the usual end of such a run: Wine's "wineboot --end-session" asks
// every window whether the session may end, tells it that it ends and then ends what is
// still running. The ticks, the safety level, the schedule's choices and the statistics
// must be in mainten.ini by then, as a close would have left them.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "automation/win32/automation_resource.h"
#include "automation/win32/tray_icon.h"
#include "testing/win32/program_folder_test.h"
// After windows.h, which it builds on.
#include <commctrl.h>

namespace trwk::gui {
namespace {

constexpr int kTabs = 402;
constexpr int kFirstItem = 420;  // the box of clean item n is kFirstItem + n - 1
constexpr int kSafetySlider = 461;
constexpr int kPagesToMaintenance = 7;

// Every top-level window of a process, hidden ones included.
std::vector<HWND> allWindowsOf(DWORD processId) {
  struct Search {
    DWORD id;
    std::vector<HWND> found;
  } search{processId, {}};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == s->id) s->found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::wstring wineboot() {
  wchar_t system[MAX_PATH] = {};
  GetSystemDirectoryW(system, MAX_PATH);
  return std::wstring(system) + L"\\wineboot.exe";
}

class Trwk6SessionEndGui : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // Nothing but the paths and a half-hourly schedule: every other key the file holds at
    // the end was written by the program as the session ended.
    std::string ini = iePathSection(folder / "traces");
    ini.append("[Automatic]\r\nMinute=3\r\n");
    writeFile(folder / "mainten.ini", ini);
  }
};

TEST_F(Trwk6SessionEndGui, TheSettingsOfARunWaitingHiddenAreWrittenWhenTheSessionEnds) {
  // The session's end is asked of every window, and wineboot ends each process that
  // answers: this test must own none, or it would end itself.
  ASSERT_TRUE(allWindowsOf(GetCurrentProcessId()).empty());
  GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND agreement = findWindow(program.id(), L"License Agreement and Disclaimer", kWindowTime);
  ASSERT_TRUE(agreement) << "windows: " << captions(program);
  ASSERT_TRUE(click(findChild(agreement, L"I Agree")));
  HWND main = findWindow(program.id(), L"Tarnwick", kWindowTime);
  ASSERT_TRUE(main) << "windows: " << captions(program);

  ASSERT_TRUE(setChecked(findChild(main, kFirstItem + 1), true));
  ASSERT_TRUE(setChecked(findChild(main, kFirstItem + 3), true));
  HWND slider = findChild(main, kSafetySlider);
  ASSERT_TRUE(slider);
  SendMessageW(slider, TBM_SETPOS, TRUE, 3);
  SendMessageW(main, WM_HSCROLL, MAKEWPARAM(TB_ENDTRACK, 0), reinterpret_cast<LPARAM>(slider));

  for (int i = 0; i < kPagesToMaintenance; ++i) PostMessageW(findChild(main, kTabs), WM_KEYDOWN, VK_RIGHT, 0);
  HWND button = findChild(main, IDC_SCHEDULE_START_STOP);
  ASSERT_TRUE(button);
  ASSERT_TRUE(waitFor([&] { return IsWindowVisible(button) != FALSE; }, 10s)) << "the Maintenance page";
  ASSERT_TRUE(click(button));
  ASSERT_TRUE(
      waitFor([&] { return !IsWindowVisible(main) && GetPropW(main, win32::TrayIcon::kMarker); }, 10s))
      << "armed, the window waits hidden behind its icon";
  EXPECT_EQ(readFile(folder / "mainten.ini").find("Safetylevel"), std::string::npos) << "nothing written yet";

  const Captured ended = runCaptured(wineboot(), L"--end-session --shutdown", folder.wstring(), 60s);
  ASSERT_TRUE(ended.finished) << ended.err;
  EXPECT_EQ(ended.exitCode, 0u) << "no window refused the end";
  DWORD code = 1234;
  ASSERT_TRUE(program.waitForExit(kWindowTime, &code)) << "still open: " << captions(program);
  EXPECT_EQ(code, 0u);

  const std::string ini = readFile(folder / "mainten.ini");
  for (const char* line : {"Value1=0\r\nValue2=1\r\nValue3=0\r\nValue4=1\r\n",
                           "Safetylevel=3\r\nAutomaticClose=0\r\nAutostart=0\r\n", "Minute=3\r\n",
                           "Clean=0\r\n", "[Statistics]\r\nCurrent="})
    EXPECT_NE(ini.find(line), std::string::npos) << line << "\n" << ini;
}

}  // namespace
}  // namespace trwk::gui
