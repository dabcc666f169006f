// "&Clean IE" pressed in trwk6.exe's main window, as a person would: the cookie item is
// ticked through its box, the run ends with "Cleaning System...Done", and the cookies are
// gone but the one on the keep list.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

class Trwk6CleanIeGui : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    // The traces, in folders of this test, and settings that point at them.
    traces = folder / "traces";
    writeFile(traces / "History" / "History.IE5" / "MSHist01" / "visit.url", "[InternetShortcut]\r\n");
    writeFile(traces / "Cache" / "Content.IE5" / "AB12" / "page[1].htm", "<html>");
    writeFile(traces / "Cookies" / "tester@keep[1].txt", "kept\n");
    writeFile(traces / "Cookies" / "tester@ads[1].txt", "ads\n");
    writeFile(traces / "Cookies" / "tester@shop[2].txt", "shop\n");
    writeFile(folder / "cookies1.lst", "tester@keep[1].txt\r\n");
    std::string ini = iePathSection(traces);
    ini.append("[Inst]\r\nSafetylevel=2\r\n");
    writeFile(folder / "mainten.ini", ini);
  }
  fs::path traces;
};

TEST_F(Trwk6CleanIeGui, CleanIeRemovesTheTickedTracesButTheKeptCookieAndSaysDone) {
  GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND agreement = findWindow(program.id(), L"License Agreement and Disclaimer", kWindowTime);
  ASSERT_TRUE(agreement) << "windows: " << captions(program);
  ASSERT_TRUE(click(findChild(agreement, L"I Agree")));
  HWND main = findWindow(program.id(), L"Tarnwick", kWindowTime);
  ASSERT_TRUE(main) << "windows: " << captions(program);

  // By number: the Paths page has a caption "Internet Explorer Cookies" too.
  int id = 420;  // the box of clean item 1
  for (const wchar_t* item :
       {L"Internet Explorer Cache (Using Control Panel)", L"Internet Explorer History (Using Control Panel)",
        L"Internet Explorer Cookies"}) {
    HWND box = findChild(main, id++);
    ASSERT_TRUE(box) << narrow(item);
    EXPECT_EQ(text(box), item);
    EXPECT_TRUE(IsWindowEnabled(box)) << narrow(item) << ": the seeded folders exist";
    ASSERT_TRUE(setChecked(box, true)) << narrow(item);
  }
  HWND cleanIe = findChild(main, L"&Clean IE");
  ASSERT_TRUE(cleanIe);
  ASSERT_TRUE(click(cleanIe));

  HWND done = findWindow(program.id(), L"Info", kWindowTime);
  ASSERT_TRUE(done) << "windows: " << captions(program);
  EXPECT_TRUE(findChild(done, L"Cleaning System...Done"));
  EXPECT_TRUE(fs::exists(traces / "Cookies" / "tester@keep[1].txt"));
  EXPECT_FALSE(fs::exists(traces / "Cookies" / "tester@ads[1].txt"));
  EXPECT_FALSE(fs::exists(traces / "Cookies" / "tester@shop[2].txt"));
  EXPECT_FALSE(fs::exists(traces / "History" / "History.IE5" / "MSHist01" / "visit.url"));
  EXPECT_FALSE(fs::exists(traces / "Cache" / "Content.IE5" / "AB12" / "page[1].htm"));
  EXPECT_EQ(readFile(traces / "Cookies" / "tester@keep[1].txt"), "kept\n");
  ASSERT_TRUE(click(findChild(done, L"OK")));

  HWND status = findChild(main, 404);
  ASSERT_TRUE(status);
  for (int i = 0; i < 100 && findWindow(program.id(), L"Info", 0ms); ++i) Sleep(100);
  EXPECT_EQ(narrow(text(status)).rfind("This computer was last cleaned: ", 0), 0u) << narrow(text(status));

  const std::string ini = closeAndReadSettings(program, main);
  EXPECT_NE(ini.find("Value3=1"), std::string::npos) << "the ticks are kept for the next start\n" << ini;
  EXPECT_NE(ini.find("[Senast]"), std::string::npos) << ini;
}

}  // namespace
}  // namespace trwk::gui
