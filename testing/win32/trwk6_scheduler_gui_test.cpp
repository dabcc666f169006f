// Automatic cleaning in trwk6.exe, driven as a person would with a clock that runs sixty
// times faster (--test-clock): a two-minute schedule is armed on the Maintenance page,
// the window hides behind its notification-area icon, one tick cleans the Internet
// Explorer cookies without a done box, "Restore Window" brings the window back to stop
// the schedule, and "Close" on the icon's menu ends the program.
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>

#include "automation/win32/automation_resource.h"
#include "automation/win32/tray_icon.h"
#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

constexpr int kTabs = 402;
constexpr int kPagesToMaintenance = 7;  // Internet Explorer is the first page
constexpr Timeout kScheduleTime = 30s;  // half an hour of the program's time

// The icon is in the notification area while the window carries the icon's marker.
bool iconShown(HWND main) {
  return GetPropW(main, win32::TrayIcon::kMarker) != nullptr;
}

// A choice of the icon's menu, as the menu sends it to the window.
void chooseFromIconMenu(HWND main, int id) {
  PostMessageW(main, WM_COMMAND, MAKEWPARAM(id, 0), 0);
}

class Trwk6SchedulerGui : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    traces = folder / "traces";
    writeFile(traces / "History" / "MSHist01" / "visit.url", "[InternetShortcut]\r\n");
    writeFile(traces / "Cache" / "Content.IE5" / "AB12" / "page[1].htm", "<html>");
    writeFile(traces / "Cookies" / "tester@ads[1].txt", "ads\n");
    std::string ini = iePathSection(traces);
    // The cookies are ticked; every 2 minutes ("2" is the minutes list's second entry),
    // Internet Explorer ("IE" the family list's second entry).
    ini.append("[Rensa]\r\nValue3=1\r\n");
    ini.append("[Inst]\r\nSafetylevel=1\r\nAutomaticClose=0\r\nAutostart=0\r\n");
    ini.append("[Automatic]\r\nDay=0\r\nHour=0\r\nMinute=1\r\nClean=1\r\n");
    writeFile(folder / "mainten.ini", ini);
  }
  fs::path traces;
};

TEST_F(Trwk6SchedulerGui, AnArmedScheduleHidesTheWindowCleansOnItsTickAndStopsFromTheIcon) {
  GuiProcess program((folder / "trwk6.exe").wstring(), L"--test-clock=2026-12-08T10:00:00,x60",
                     folder.wstring());
  HWND agreement = findWindow(program.id(), L"License Agreement and Disclaimer", kWindowTime);
  ASSERT_TRUE(agreement) << "windows: " << captions(program);
  ASSERT_TRUE(click(findChild(agreement, L"I Agree")));
  HWND main = findWindow(program.id(), L"Tarnwick", kWindowTime);
  ASSERT_TRUE(main) << "windows: " << captions(program);

  for (int i = 0; i < kPagesToMaintenance; ++i) PostMessageW(findChild(main, kTabs), WM_KEYDOWN, VK_RIGHT, 0);
  HWND button = findChild(main, IDC_SCHEDULE_START_STOP);
  ASSERT_TRUE(button);
  ASSERT_TRUE(waitFor([&] { return IsWindowVisible(button) != FALSE; }, 10s)) << "the Maintenance page";
  EXPECT_EQ(text(button), L"Start Automatic Cleaning");
  EXPECT_EQ(text(findChild(main, IDC_SCHEDULE_LIST_FIRST + 2)), L"2");
  EXPECT_EQ(text(findChild(main, IDC_SCHEDULE_LIST_FIRST + 3)), L"IE");
  EXPECT_TRUE(fs::exists(traces / "Cookies" / "tester@ads[1].txt"));

  ASSERT_TRUE(click(button));
  ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(main) && iconShown(main); }, 10s))
      << "visible " << IsWindowVisible(main) << ", icon " << iconShown(main);

  // About two seconds later the tick of the due minute cleans, with no box to answer.
  ASSERT_TRUE(waitFor([&] { return !fs::exists(traces / "Cookies" / "tester@ads[1].txt"); }, kScheduleTime))
      << "windows: " << captions(program);
  ASSERT_TRUE(
      waitFor([&] { return readFile(folder / "mainten.ini").find("[Senast]") != std::string::npos; }, 10s));
  const std::string ini = readFile(folder / "mainten.ini");
  EXPECT_NE(ini.find("Value1=2026-12-08 10:"), std::string::npos) << "stamped by the test clock\n" << ini;
  EXPECT_FALSE(findWindow(program.id(), L"Info", 0ms)) << "no done box in automatic mode";
  EXPECT_FALSE(IsWindowVisible(main));
  EXPECT_TRUE(iconShown(main)) << "the schedule goes on";

  chooseFromIconMenu(main, IDM_TRAY_RESTORE);
  ASSERT_TRUE(waitFor([&] { return IsWindowVisible(main) != FALSE; }, 10s));
  EXPECT_EQ(text(button), L"Stop Automatic Cleaning");
  ASSERT_TRUE(click(button));
  ASSERT_TRUE(waitFor([&] { return text(button) == L"Start Automatic Cleaning"; }, 10s));
  EXPECT_TRUE(waitFor([&] { return !iconShown(main); }, 10s)) << "stopping takes the icon away";
  EXPECT_TRUE(IsWindowVisible(main));

  // Armed again, a double click on the icon restores too, and "Close" ends the program.
  ASSERT_TRUE(click(button));
  ASSERT_TRUE(waitFor([&] { return !IsWindowVisible(main) && iconShown(main); }, 10s));
  PostMessageW(main, win32::TrayIcon::kCallbackMessage, 1, WM_LBUTTONDBLCLK);
  ASSERT_TRUE(waitFor([&] { return IsWindowVisible(main) != FALSE; }, 10s));
  chooseFromIconMenu(main, IDM_TRAY_CLOSE);
  DWORD code = 1234;
  ASSERT_TRUE(program.waitForExit(kWindowTime, &code)) << "still open: " << captions(program);
  EXPECT_EQ(code, 0u);
  const std::string saved = readFile(folder / "mainten.ini");
  EXPECT_NE(saved.find("Minute=1"), std::string::npos) << saved;
  EXPECT_NE(saved.find("Clean=1"), std::string::npos) << saved;
}

}  // namespace
}  // namespace trwk::gui
