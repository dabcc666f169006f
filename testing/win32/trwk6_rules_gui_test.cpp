// The "Rules" page of trwk6.exe, worked as a person would: the rule file beside the
// program is offered entry by entry with the ticks the settings keep, an entry that names
// a protected folder is shown with its refusal, and "Clean Rules" (or "Clean All") removes
// what the ticked entry names and nothing else.
#include <windows.h>

#include <commctrl.h>
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

constexpr int kTabs = 402;
constexpr int kCleanAll = 410;
constexpr int kRulesList = 4702;
constexpr int kCleanRules = 4703;
constexpr int kNoteColumn = 2;

class Trwk6RulesGui : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    app = folder / "traces" / "App";
    writeFile(app / "Cache" / "a.tmp", "cached");
    writeFile(app / "Cache" / "b.tmp", "cached too");
    writeFile(app / "Cache" / "keep.txt", "not a .tmp");
    writeFile(app / "settings.tmp", "outside the cache");
    const std::string a = app.string();
    writeFile(folder / "winapp2.ini", "[Test App Cache *]\r\nLangSecRef=3021\r\nDetectFile=" + a +
                                          "\r\nFileKey1=" + a + "\\Cache|*.tmp\r\n"
                                          "[Reckless *]\r\nLangSecRef=3021\r\nFileKey1=%WinDir%|*.log\r\n");
    writeFile(folder / "mainten.ini", "[Tab]\r\nRules=1\r\n[Rules]\r\nTest App Cache *=1\r\nReckless *=1\r\n");
  }

  fs::path app;
};

TEST_F(Trwk6RulesGui, ThePageOffersTheEntriesAndCleanRulesTakesOnlyTheTickedOne) {
  GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND main = agreeAndFindMain(program);
  ASSERT_TRUE(main);
  HWND tabs = findChild(main, kTabs);
  ASSERT_TRUE(tabs);
  HWND list = findChild(main, kRulesList);
  ASSERT_TRUE(list) << "the Rules page is activated by the settings";
  // Page by page to the right, each step awaited, until the rules list shows.
  for (int i = 0; i < 12 && !IsWindowVisible(list); ++i) {
    const LRESULT was = SendMessageW(tabs, TCM_GETCURSEL, 0, 0);
    PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
    ASSERT_TRUE(waitFor([&] { return SendMessageW(tabs, TCM_GETCURSEL, 0, 0) != was; }, 10s)) << "page " << i;
    waitFor([&] { return IsWindowVisible(list) != FALSE; }, 500ms);
  }
  ASSERT_TRUE(IsWindowVisible(list));

  ASSERT_EQ(listViewCount(list), 2);
  EXPECT_EQ(narrow(listViewText(list, 0, 0)), "Test App Cache *");
  EXPECT_EQ(narrow(listViewText(list, 1, 0)), "Reckless *");
  const std::string refusal = narrow(listViewText(list, 1, kNoteColumn));
  EXPECT_NE(refusal.find("protected location"), std::string::npos) << refusal;
  auto ticked = [&](int row) {
    return (SendMessageW(list, LVM_GETITEMSTATE, static_cast<WPARAM>(row), LVIS_STATEIMAGEMASK) &
            LVIS_STATEIMAGEMASK) == INDEXTOSTATEIMAGEMASK(2);
  };
  EXPECT_TRUE(ticked(0));
  EXPECT_FALSE(ticked(1)) << "a refused entry is never ticked, whatever the settings say";

  ASSERT_TRUE(click(findChild(main, kCleanRules)));
  acknowledgeDone(program);
  EXPECT_FALSE(fs::exists(app / "Cache" / "a.tmp"));
  EXPECT_FALSE(fs::exists(app / "Cache" / "b.tmp"));
  EXPECT_TRUE(fs::exists(app / "Cache" / "keep.txt"));
  EXPECT_TRUE(fs::exists(app / "settings.tmp")) << "only the folder the entry names";
  closeAndReadSettings(program, main);
}

// "Clean All" runs the ticked rules after the families, its status animating every 10 ms
// while the window repaints, and comes to its end.
TEST_F(Trwk6RulesGui, CleanAllTakesTheTickedRulesAndComesToItsEnd) {
  GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND main = agreeAndFindMain(program);
  ASSERT_TRUE(main);
  ASSERT_TRUE(click(findChild(main, kCleanAll)));
  acknowledgeDone(program);
  EXPECT_FALSE(fs::exists(app / "Cache" / "a.tmp"));
  EXPECT_TRUE(fs::exists(app / "Cache" / "keep.txt"));
  closeAndReadSettings(program, main);
}

}  // namespace
}  // namespace trwk::gui
