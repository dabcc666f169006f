// The toolbars of trwk6.exe pressed with the mouse, as a person would: on the "Internet
// Explorer Cookies" and "Netscape Cookies" windows and on the User.def page, "Add" and
// "Remove" do what the buttons beside the lists do. The Plugins page shows its second list
// of plugin names beside "Available Plugins".
#include <gtest/gtest.h>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

using Rows = std::vector<std::wstring>;

constexpr int kTabs = 402;
constexpr int kIeCookies = 451;
constexpr int kNetscapeCookies = 521;
// The User.def page.
constexpr int kSetEntries = 4052;
constexpr int kFolderOption = 4067;
constexpr int kSetToolbar = 4070;
constexpr int kSetFirstTool = 4071;
// The Plugins page.
constexpr int kAvailablePlugins = 4402;
constexpr int kList4 = 4409;

bool waitFor(const std::function<bool()>& condition) {
  for (int i = 0; i < 200; ++i) {
    if (condition()) return true;
    Sleep(50);
  }
  return condition();
}

// Moves the tab strip on by pages, as the arrow keys do, and lets the window repaint.
void nextPages(HWND main, int pages) {
  for (int i = 0; i < pages; ++i) PostMessageW(findChild(main, kTabs), WM_KEYDOWN, VK_RIGHT, 0);
  Sleep(500);
}

class Trwk6ToolbarsGui : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    traces = folder / "traces";
    writeFile(traces / "Cookies" / "tester@ads[1].txt", "ads\n");
    writeFile(traces / "Cookies" / "tester@bank[1].txt", "bank\n");
    writeFile(folder / "cookies1.lst", "tester@old[1].txt\r\n");
    writeFile(traces / "Netscape" / "Users" / "tester" / "cookies.txt",
              "# Netscape HTTP Cookie File\n.ads.example\tTRUE\t/\tFALSE\t0\tid\t1\n"
              ".bank.example\tTRUE\t/\tFALSE\t0\tsid\t2\n");
    writeFile(traces / "Netscape" / "Cache" / "M0001.htm", "<html>");
    writeFile(folder / "cookies2.lst", ".old.example\tTRUE\t/\tFALSE\t0\tk\tv\r\n");
    writeFile(folder / "userdef1.lst", "C:\\Old drafts\r\n");
    for (const char* plugin : {"Game", "Viewer"})
      writeFile(folder / (std::string(plugin) + ".cp2"),
                std::string("[Main]\r\nName=") + plugin + " plugin\r\nActive=False\r\n");
    // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + string.
    const std::string t = traces.string();
    std::string ini = iePathSection(traces);
    ini.append("Netscape1A=")
        .append(t)
        .append("\\Netscape\\Users\\\r\nNetscape1B=0\r\nNetscape1C=tester\r\n");
    ini.append("Netscape2=").append(t).append("\\Netscape\\Cache\\\r\n");
    ini.append("[UserDef]\r\nUDvalue1=1\r\nUDname1=Drafts\r\n");
    writeFile(folder / "mainten.ini", ini);
  }

  HWND startMain(GuiProcess& program) {
    HWND agreement = findWindow(program.id(), L"License Agreement and Disclaimer", kWindowTime);
    if (!agreement || !click(findChild(agreement, L"I Agree"))) return nullptr;
    return findWindow(program.id(), L"Tarnwick", kWindowTime);
  }

  fs::path traces;
};

// The controls of one keep-list window and what its toolbar leaves in its list file.
struct KeepListWindow {
  const wchar_t* caption;
  int pagesOn;  // from the page before, to the page with its "Cookies" button
  int opener, left, entries, toolbar, firstTool;
  const char* listFile;
  Rows before, afterAdd;
  std::string saved;
};

TEST_F(Trwk6ToolbarsGui, TheCookieWindowsToolbarsAddTheChosenCookieAndRemoveTheChosenEntry) {
  GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND main = startMain(program);
  ASSERT_TRUE(main) << "windows: " << captions(program);
  const std::wstring old = L".old.example\tTRUE\t/\tFALSE\t0\tk\tv";
  const KeepListWindow windows[] = {
      {L"Internet Explorer Cookies", 0, kIeCookies, 2002, 2004, 2009, 2010, "cookies1.lst",
       Rows{L"tester@old[1].txt"}, Rows{L"tester@old[1].txt", L"tester@bank[1].txt"},
       "tester@bank[1].txt\r\n"},
      {L"Netscape Cookies", 1, kNetscapeCookies, 2102, 2104, 2107, 2110, "cookies2.lst", Rows{old},
       Rows{old, L".bank.example\tTRUE\t/\tFALSE\t0\tsid\t2"},
       ".bank.example\tTRUE\t/\tFALSE\t0\tsid\t2\r\n"},
  };
  for (const KeepListWindow& w : windows) {
    SCOPED_TRACE(narrow(w.caption));
    nextPages(main, w.pagesOn);
    ASSERT_TRUE(click(findChild(main, w.opener)));
    HWND window = findWindow(program.id(), w.caption, kWindowTime);
    ASSERT_TRUE(window) << "windows: " << captions(program);
    HWND toolbar = findChild(window, w.toolbar);
    ASSERT_TRUE(toolbar);
    EXPECT_EQ(toolButtonText(toolbar, w.firstTool), L"Add");
    EXPECT_EQ(toolButtonText(toolbar, w.firstTool + 1), L"Remove");
    EXPECT_TRUE(toolButtonEnabled(toolbar, w.firstTool));
    HWND entries = findChild(window, w.entries);
    EXPECT_EQ(listRows(entries), w.before);

    ASSERT_TRUE(chooseRow(findChild(window, w.left), 1));
    ASSERT_TRUE(pressToolButton(toolbar, w.firstTool));
    EXPECT_TRUE(waitFor([&] { return listRows(entries) == w.afterAdd; }))
        << "rows: " << listRows(entries).size();
    ASSERT_TRUE(chooseRow(entries, 0));
    ASSERT_TRUE(pressToolButton(toolbar, w.firstTool + 1));
    EXPECT_TRUE(waitFor([&] { return listRows(entries) == Rows{w.afterAdd.back()}; }));

    ASSERT_TRUE(click(findChild(window, IDOK)));
    ASSERT_TRUE(waitFor([&] { return !IsWindow(window); }));
    EXPECT_EQ(readFile(folder / w.listFile), w.saved);
  }
  closeAndReadSettings(program, main);
}

TEST_F(Trwk6ToolbarsGui, TheUserDefToolbarAddsAndRemovesLikeItsButtonsAndThePluginsPageShowsList4) {
  GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND main = startMain(program);
  ASSERT_TRUE(main) << "windows: " << captions(program);
  nextPages(main, 4);
  HWND toolbar = findChild(main, kSetToolbar);
  ASSERT_TRUE(toolbar);
  ASSERT_TRUE(waitFor([&] { return IsWindowVisible(toolbar) != FALSE; })) << "the User.def page";
  EXPECT_EQ(toolButtonText(toolbar, kSetFirstTool), L"Add");
  EXPECT_EQ(toolButtonText(toolbar, kSetFirstTool + 1), L"Remove");
  EXPECT_TRUE(toolButtonEnabled(toolbar, kSetFirstTool)) << "a set is active";
  HWND entries = findChild(main, kSetEntries);
  EXPECT_EQ(listRows(entries), Rows{L"C:\\Old drafts"});

  // The folder list opens at C:\, which is guarded: "Add" asks first, as the button does.
  ASSERT_TRUE(click(findChild(main, kFolderOption)));
  for (int answer : {IDNO, IDYES}) {
    ASSERT_TRUE(pressToolButton(toolbar, kSetFirstTool));
    HWND asked = findWindow(program.id(), L"Are you sure??", kWindowTime);
    ASSERT_TRUE(asked) << "windows: " << captions(program);
    EXPECT_TRUE(findChild(asked, L"Do you want to remove the folder C:\\ and subfolders "));
    ASSERT_TRUE(click(findChild(asked, answer)));
    ASSERT_TRUE(waitFor([&] { return !IsWindow(asked); }));
  }
  ASSERT_TRUE(waitFor([&] {
    return listRows(entries) == Rows{L"C:\\Old drafts", L"C:\\"};
  })) << "rows: "
      << listRows(entries).size();
  EXPECT_EQ(readFile(folder / "userdef1.lst"), "C:\\Old drafts\r\nC:\\\r\n");

  ASSERT_TRUE(chooseRow(entries, 0));
  ASSERT_TRUE(pressToolButton(toolbar, kSetFirstTool + 1));
  ASSERT_TRUE(waitFor([&] { return listRows(entries) == Rows{L"C:\\"}; }));
  EXPECT_EQ(readFile(folder / "userdef1.lst"), "C:\\\r\n") << "every edit is saved at once";

  // The Plugins page: "Installed Plugins" (List4) holds the same names, row for row.
  nextPages(main, 1);
  HWND list4 = findChild(main, kList4);
  ASSERT_TRUE(list4);
  ASSERT_TRUE(waitFor([&] { return IsWindowVisible(list4) != FALSE; })) << "the Plugins page";
  EXPECT_EQ(listRows(list4), (Rows{L"Game plugin", L"Viewer plugin"}));
  EXPECT_EQ(listRows(findChild(main, kAvailablePlugins)), listRows(list4));
  EXPECT_TRUE(findChild(main, L"Installed Plugins"));
  ASSERT_TRUE(chooseRow(list4, 1));
  EXPECT_TRUE(waitFor([&] {
    return SendMessageW(findChild(main, kAvailablePlugins), LB_GETCURSEL, 0, 0) == 1;
  })) << "a name chosen in either list is chosen in both";
  closeAndReadSettings(program, main);
}

}  // namespace
}  // namespace trwk::gui
