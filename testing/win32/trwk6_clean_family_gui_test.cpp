// The Netscape, Opera and Windows pages of trwk6.exe's main window, worked as a person
// would: the Netscape "Cookies" window opens over the window with the cookies of the
// user's cookies.txt, and "Clean Opera" on the Opera page removes the ticked Opera traces,
// puts the clean window layout back and ends with "Cleaning System...Done".
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

constexpr int kTabs = 402;
constexpr int kStatus = 404;
constexpr int kNoticeOpera = 407;
constexpr int kFirstItem = 420;  // the box of clean item n is kFirstItem + n - 1
constexpr int kCleanNetscape = 520;
constexpr int kNetscapeCookies = 521;
constexpr int kCleanOpera = 522;
constexpr int kCleanWindows = 523;
constexpr int kNetscapeCookieList = 2102;
constexpr int kNetscapeKeepList = 2104;

int item(int number) {
  return kFirstItem + number - 1;
}

// Moves the tab strip on by pages, as the arrow keys do, and lets the window repaint.
void nextPages(HWND tabs, int pages) {
  for (int i = 0; i < pages; ++i) PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
  Sleep(500);
}

bool visible(HWND main, int id) {
  HWND control = findChild(main, id);
  return control && IsWindowVisible(control);
}

int listCount(HWND window, int id) {
  return static_cast<int>(SendMessageW(findChild(window, id), LB_GETCOUNT, 0, 0));
}

class Trwk6CleanFamilyGui : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    traces = folder / "traces";
    const fs::path user = traces / "Netscape" / "Users" / "tester";
    writeFile(user / "cookies.txt",
              "# Netscape HTTP Cookie File\n.bank.example\tTRUE\t/\tFALSE\t0\tsid\t1\n"
              ".ads.example\tTRUE\t/\tFALSE\t0\ttrack\t2\n");
    writeFile(traces / "Netscape" / "Cache" / "M0001.htm", "<html>");
    writeFile(folder / "cookies2.lst", ".bank.example\tTRUE\t/\tFALSE\t0\tsid\t1\r\n");
    opera = traces / "Opera";
    for (const char* name :
         {"opera.win", "global.dat", "cookies4.dat", "opera.dir", "vlink4.dat", "opera6.ini"})
      writeFile(opera / name, std::string("old ") + name);
    writeFile(opera / "Cache4" / "opr00001.htm", "<html>");
    writeFile(opera / "Cache4" / "opr00002.gif", "GIF89a");
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + string.
    const std::string t = traces.string();
    std::string ini = "[Path]\r\nDetect=1\r\n";
    ini.append("Netscape1A=")
        .append(t)
        .append("\\Netscape\\Users\\\r\nNetscape1B=0\r\nNetscape1C=tester\r\n");
    ini.append("Netscape2=").append(t).append("\\Netscape\\Cache\\\r\n");
    ini.append("Opera1=").append(t).append("\\Opera\\\r\nOpera2=").append(t).append("\\Opera\\Cache4\\\r\n");
    ini.append("[Inst]\r\nSafetylevel=2\r\n");
    writeFile(folder / "mainten.ini", ini);
  }

  HWND startMain(GuiProcess& program) {
    HWND agreement = findWindow(program.id(), L"License Agreement and Disclaimer", kWindowTime);
    if (!agreement || !click(findChild(agreement, L"I Agree"))) return nullptr;
    return findWindow(program.id(), L"Tarnwick", kWindowTime);
  }

  fs::path traces, opera;
};

TEST_F(Trwk6CleanFamilyGui, CleanOperaFromItsPageRemovesTheTickedTracesAndSaysDone) {
  GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND main = startMain(program);
  ASSERT_TRUE(main) << "windows: " << captions(program);
  HWND tabs = findChild(main, kTabs);
  ASSERT_TRUE(tabs);

  // The Netscape page: its boxes and buttons; "Cookies" opens the keep-list window.
  nextPages(tabs, 1);
  EXPECT_TRUE(visible(main, item(6)));
  EXPECT_FALSE(visible(main, item(1))) << "the Internet Explorer page is hidden";
  EXPECT_TRUE(visible(main, kCleanNetscape));
  EXPECT_EQ(text(findChild(main, item(9))), L"Netscape Address Bar");
  ASSERT_TRUE(click(findChild(main, kNetscapeCookies)));
  HWND cookies = findWindow(program.id(), L"Netscape Cookies", kWindowTime);
  ASSERT_TRUE(cookies) << "windows: " << captions(program);
  EXPECT_TRUE(findChild(cookies, L"All Netscape Cookies"));
  EXPECT_TRUE(findChild(cookies, L"Excluded from cleaning"));
  EXPECT_EQ(listCount(cookies, kNetscapeCookieList), 2) << "the comment line is no cookie";
  EXPECT_EQ(listCount(cookies, kNetscapeKeepList), 1);
  ASSERT_TRUE(click(findChild(cookies, L"Cancel")));
  for (int i = 0; i < 100 && findWindow(program.id(), L"Netscape Cookies", 0ms); ++i) Sleep(100);

  // The Opera page: no notice, the four boxes ticked through the window.
  nextPages(tabs, 1);
  EXPECT_FALSE(visible(main, kNoticeOpera));
  EXPECT_FALSE(visible(main, item(6)));
  const wchar_t* labels[] = {L"Opera Cache", L"Opera History", L"Opera Cookies", L"Opera Address Bar"};
  for (int n = 10; n <= 13; ++n) {
    HWND box = findChild(main, item(n));
    ASSERT_TRUE(box) << n;
    EXPECT_TRUE(IsWindowVisible(box)) << n;
    EXPECT_EQ(text(box), labels[n - 10]);
    ASSERT_TRUE(setChecked(box, true)) << n;
  }
  // The Windows boxes of the two folders that are not set are greyed out.
  EXPECT_TRUE(IsWindowEnabled(findChild(main, item(14))));
  EXPECT_FALSE(IsWindowEnabled(findChild(main, item(15))));
  EXPECT_FALSE(IsWindowEnabled(findChild(main, item(16))));
  EXPECT_FALSE(visible(main, kCleanWindows)) << "on its own page";

  ASSERT_TRUE(click(findChild(main, kCleanOpera)));
  HWND done = findWindow(program.id(), L"Info", kWindowTime);
  ASSERT_TRUE(done) << "windows: " << captions(program);
  EXPECT_TRUE(findChild(done, L"Cleaning System...Done"));
  for (const char* name : {"global.dat", "cookies4.dat", "opera.dir", "vlink4.dat"})
    EXPECT_FALSE(fs::exists(opera / name)) << name;
  EXPECT_FALSE(fs::exists(opera / "Cache4" / "opr00001.htm"));
  EXPECT_FALSE(fs::exists(opera / "Cache4" / "opr00002.gif"));
  EXPECT_TRUE(fs::exists(opera / "opera6.ini"));
  if (fs::exists(folder / "opera.win")) {
    EXPECT_EQ(readFile(opera / "opera.win"), readFile(folder / "opera.win"))
        << "the clean layout is put back";
  }
  EXPECT_TRUE(fs::exists(traces / "Netscape" / "Cache" / "M0001.htm")) << "Netscape was not cleaned";
  ASSERT_TRUE(click(findChild(done, L"OK")));

  HWND status = findChild(main, kStatus);
  for (int i = 0; i < 100 && findWindow(program.id(), L"Info", 0ms); ++i) Sleep(100);
  EXPECT_EQ(narrow(text(status)).rfind("This computer was last cleaned: ", 0), 0u) << narrow(text(status));

  const std::string ini = closeAndReadSettings(program, main);
  EXPECT_NE(ini.find("Value12=1"), std::string::npos) << "the ticks are kept for the next start\n" << ini;
}

}  // namespace
}  // namespace trwk::gui
