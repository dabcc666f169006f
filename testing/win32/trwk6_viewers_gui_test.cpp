// The viewer windows of trwk6.exe, worked as a person would: "View Cache" on the Internet
// Explorer page lists the cache index folder with its sub-folders, and "View Run History"
// on the Windows page lists the Run box's history; in each, one highlighted entry is
// removed after the confirmation and every other entry stays.
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

constexpr int kTabs = 402;
constexpr int kViewIeCache = 530;
constexpr int kViewRunHistory = 535;
constexpr int kViewerList = 6001;
constexpr int kViewerSummary = 6002;
constexpr int kViewerRemove = 6003;
const wchar_t* kRunMru = L"Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";

void setRunValue(const wchar_t* name, const std::wstring& text) {
  HKEY key = nullptr;
  ASSERT_EQ(RegCreateKeyExW(HKEY_CURRENT_USER, kRunMru, 0, nullptr, 0, KEY_SET_VALUE, nullptr, &key, nullptr),
            ERROR_SUCCESS);
  RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                 static_cast<DWORD>((text.size() + 1) * sizeof(wchar_t)));
  RegCloseKey(key);
}

std::wstring runValue(const wchar_t* name) {
  wchar_t text[256] = {};
  DWORD size = sizeof text;
  if (RegGetValueW(HKEY_CURRENT_USER, kRunMru, name, RRF_RT_REG_SZ, nullptr, text, &size) != ERROR_SUCCESS)
    return L"<none>";
  return text;
}

// The rows of a viewer's list in one column.
std::vector<std::wstring> cells(HWND viewer, int column) {
  HWND list = findChild(viewer, kViewerList);
  std::vector<std::wstring> out;
  for (int row = 0; row < listViewCount(list); ++row) out.push_back(listViewText(list, row, column));
  return out;
}

class Trwk6ViewersGui : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    traces = folder / "traces";
    index = traces / "Cache" / "Content.IE5";
    writeFile(index / "index.dat", "index");
    writeFile(index / "AB12CD34" / "a.htm", "<html>");
    writeFile(index / "AB12CD34" / "b.gif", "GIF89a");
    for (const char* name : {"History", "Cookies"}) fs::create_directories(traces / name);
    writeFile(folder / "mainten.ini", iePathSection(traces));
    RegDeleteTreeW(HKEY_CURRENT_USER, kRunMru);
    setRunValue(L"a", L"notepad\\1");
    setRunValue(L"b", L"regedit\\1");
    setRunValue(L"c", L"cmd\\1");
    setRunValue(L"MRUList", L"bca");
  }
  void TearDown() override {
    if (!folder.empty()) RegDeleteTreeW(HKEY_CURRENT_USER, kRunMru);
    ProgramFolderTest::TearDown();
  }

  HWND startMain(GuiProcess& program) {
    HWND agreement = findWindow(program.id(), L"License Agreement and Disclaimer", kWindowTime);
    if (!agreement || !click(findChild(agreement, L"I Agree"))) return nullptr;
    return findWindow(program.id(), L"Tarnwick", kWindowTime);
  }

  // Highlights one row, presses "Remove Highlighted" and answers "Yes".
  void removeRow(GuiProcess& program, HWND viewer, int row) {
    HWND remove = findChild(viewer, kViewerRemove);
    EXPECT_FALSE(IsWindowEnabled(remove)) << "nothing highlighted yet";
    ASSERT_TRUE(highlightListViewRow(findChild(viewer, kViewerList), row));
    EXPECT_TRUE(IsWindowEnabled(remove));
    ASSERT_TRUE(click(remove));
    HWND confirm = findWindow(program.id(), L"Remove Highlighted", kWindowTime);
    ASSERT_TRUE(confirm) << "windows: " << captions(program);
    EXPECT_TRUE(findChild(confirm, L"Remove the highlighted entry?"));
    ASSERT_TRUE(click(findChild(confirm, IDYES)));
    for (int i = 0; i < 100 && findWindow(program.id(), L"Remove Highlighted", 0ms); ++i) Sleep(100);
    Sleep(300);
  }

  void closeViewer(GuiProcess& program, HWND viewer, const wchar_t* caption) {
    ASSERT_TRUE(click(findChild(viewer, L"Close")));
    for (int i = 0; i < 100 && findWindow(program.id(), caption, 0ms); ++i) Sleep(100);
    EXPECT_FALSE(findWindow(program.id(), caption, 0ms));
  }

  fs::path traces, index;
};

TEST_F(Trwk6ViewersGui, ACacheAndTheRunHistoryLoseOnlyTheHighlightedEntry) {
  GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND main = startMain(program);
  ASSERT_TRUE(main) << "windows: " << captions(program);

  // The Internet Explorer cache, by name: the index is listed too.
  ASSERT_TRUE(click(findChild(main, kViewIeCache)));
  HWND cache = findWindow(program.id(), L"Internet Explorer Cache", kWindowTime);
  ASSERT_TRUE(cache) << "windows: " << captions(program);
  EXPECT_EQ(cells(cache, 0), (std::vector<std::wstring>{L"a.htm", L"b.gif", L"index.dat"}));
  EXPECT_EQ(cells(cache, 3), (std::vector<std::wstring>{L"AB12CD34", L"AB12CD34", L""}));
  EXPECT_EQ(text(findChild(cache, kViewerSummary)), L"3 entries, 1 KB");
  removeRow(program, cache, 1);
  EXPECT_FALSE(fs::exists(index / "AB12CD34" / "b.gif"));
  EXPECT_TRUE(fs::exists(index / "AB12CD34" / "a.htm"));
  EXPECT_TRUE(fs::exists(index / "index.dat"));
  EXPECT_EQ(cells(cache, 0), (std::vector<std::wstring>{L"a.htm", L"index.dat"}));
  closeViewer(program, cache, L"Internet Explorer Cache");

  // The Windows page, three tabs on; Run History in MRUList order.
  HWND tabs = findChild(main, kTabs);
  for (int i = 0; i < 3; ++i) PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
  Sleep(500);
  HWND runButton = findChild(main, kViewRunHistory);
  ASSERT_TRUE(runButton);
  EXPECT_TRUE(IsWindowVisible(runButton));
  ASSERT_TRUE(click(runButton));
  HWND run = findWindow(program.id(), L"Run History", kWindowTime);
  ASSERT_TRUE(run) << "windows: " << captions(program);
  EXPECT_EQ(cells(run, 1), (std::vector<std::wstring>{L"b", L"c", L"a"}));
  EXPECT_EQ(cells(run, 2), (std::vector<std::wstring>{L"regedit\\1", L"cmd\\1", L"notepad\\1"}));
  removeRow(program, run, 1);
  EXPECT_EQ(cells(run, 1), (std::vector<std::wstring>{L"b", L"a"}));
  EXPECT_EQ(runValue(L"c"), L"<none>");
  EXPECT_EQ(runValue(L"a"), L"notepad\\1");
  EXPECT_EQ(runValue(L"b"), L"regedit\\1");
  EXPECT_EQ(runValue(L"MRUList"), L"ba");
  closeViewer(program, run, L"Run History");

  closeAndReadSettings(program, main);
}

}  // namespace
}  // namespace trwk::gui
