// The Paths page of trwk6.exe refuses a folder that no cleaning may touch as it refuses a
// missing one: typed into a path box and saved, the Windows folder or a drive root is
// told in the family's message with one more sentence saying why, the box shows "-", the
// family's items are greyed out and nothing of it is stored; a folder inside the Windows
// folder is stored as any other.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <filesystem>

#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

constexpr int kTabs = 402;
constexpr int kFirstItem = 420;      // the box of clean item n is kFirstItem + n - 1
constexpr int kPagesToPaths = 6;     // Internet Explorer is the first page, Paths the seventh
constexpr int kPathBoxFirst = 3020;  // the path boxes, in the page's order
constexpr int kIECookiesBox = kPathBoxFirst + 2;
constexpr int kWinTempBox = kPathBoxFirst + 8;
constexpr int kSaveIE = 3060;
constexpr int kSaveWindows = 3063;
constexpr int kWindowsWarning = 3070;

int item(int number) {
  return kFirstItem + number - 1;
}

std::string windowsFolder() {
  wchar_t path[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, CSIDL_WINDOWS, nullptr, 0, path) != S_OK) return {};
  return narrow(path);
}

// Types a whole text into a box of the other program, as pasting it would.
bool typeInto(HWND box, const std::string& text) {
  if (!box) return false;
  const std::wstring wide(text.begin(), text.end());
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(box, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(wide.c_str()), SMTO_ABORTIFHUNG,
                             10000, &ignored) != 0;
}

std::string childTexts(HWND window) {
  std::string joined;
  for (HWND w = GetWindow(window, GW_CHILD); w; w = GetWindow(w, GW_HWNDNEXT))
    joined.append(narrow(text(w))).append("\n");
  return joined;
}

class Trwk6PathsRefusalGui : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    traces = folder / "traces";
    for (const char* sub :
         {"History", "Cache", "Cookies", "Cache\\Content.IE5", "Recent", "Temp", "Downloaded"})
      fs::create_directories(traces / sub);
    const std::string t = traces.string();
    std::string ini = iePathSection(traces);
    ini.append("Win1=").append(t).append("\\Recent\\\r\n");
    ini.append("Win2=").append(t).append("\\Temp\\\r\n");
    ini.append("Win3=").append(t).append("\\Downloaded\\\r\n");
    writeFile(folder / "mainten.ini", ini);
  }

  HWND startMain(GuiProcess& program) {
    HWND agreement = findWindow(program.id(), L"License Agreement and Disclaimer", kWindowTime);
    if (!agreement || !click(findChild(agreement, L"I Agree"))) return nullptr;
    return findWindow(program.id(), L"Tarnwick", kWindowTime);
  }

  // Presses a Save and gives the texts of the "Info" box it shows, closed again.
  std::string saveAndReadInfo(GuiProcess& program, HWND main, int save) {
    if (!click(findChild(main, save))) return "(no Save button)";
    HWND info = findWindow(program.id(), L"Info", kWindowTime);
    if (!info) return "(no Info box; windows: " + captions(program) + ")";
    std::string texts = childTexts(info);
    click(findChild(info, L"OK"));
    for (int i = 0; i < 100 && findWindow(program.id(), L"Info", 0ms); ++i) Sleep(100);
    return texts;
  }

  std::string settings() { return readFile(folder / "mainten.ini"); }

  fs::path traces;
};

TEST_F(Trwk6PathsRefusalGui, AProtectedFolderIsSavedAsAMissingOneWithTheReason) {
  const std::string windows = windowsFolder();
  ASSERT_FALSE(windows.empty());
  const std::string t = traces.string();
  GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND main = startMain(program);
  ASSERT_TRUE(main) << "windows: " << captions(program);
  HWND tabs = findChild(main, kTabs);
  ASSERT_TRUE(tabs);
  for (int i = 0; i < kPagesToPaths; ++i) PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
  Sleep(500);
  HWND temp = findChild(main, kWinTempBox), cookies = findChild(main, kIECookiesBox);
  ASSERT_TRUE(temp && cookies);
  ASSERT_TRUE(IsWindowVisible(temp)) << "the Paths page is shown";
  EXPECT_EQ(narrow(text(temp)), t + "\\Temp\\");
  EXPECT_TRUE(IsWindowEnabled(findChild(main, item(16)))) << "Windows Temporary Files";
  EXPECT_TRUE(IsWindowEnabled(findChild(main, item(1)))) << "Internet Explorer";

  // The Windows folder as the Temporary Files folder.
  ASSERT_TRUE(typeInto(temp, windows + "\\"));
  std::string told = saveAndReadInfo(program, main, kSaveWindows);
  EXPECT_NE(told.find("Windows Temporary Files path does not exist\r\n" + windows +
                      " is a protected location (the Windows folder) and is never cleaned."),
            std::string::npos)
      << told;
  EXPECT_EQ(narrow(text(temp)), "-");
  EXPECT_NE(settings().find("\r\nWin2=-\r\n"), std::string::npos) << settings();
  EXPECT_NE(settings().find("\r\nWin3=" + t + "\\Downloaded\\\r\n"), std::string::npos) << settings();
  EXPECT_TRUE(IsWindowVisible(findChild(main, kWindowsWarning)));
  EXPECT_FALSE(IsWindowEnabled(findChild(main, item(16))));
  EXPECT_TRUE(IsWindowEnabled(findChild(main, item(15)))) << "Downloaded Program Files stays";

  // A drive root as the cookies folder: Internet Explorer keeps the stored one.
  ASSERT_TRUE(typeInto(cookies, "C:\\"));
  told = saveAndReadInfo(program, main, kSaveIE);
  EXPECT_NE(told.find("Could not find Internet Explorer paths.\r\n"), std::string::npos) << told;
  EXPECT_NE(
      told.find("'Maintenance' button\r\nC:\\ is a protected location (a drive root) and is never cleaned."),
      std::string::npos)
      << told;
  EXPECT_EQ(narrow(text(cookies)), "-");
  EXPECT_NE(settings().find("\r\nIE3=" + t + "\\Cookies\\\r\n"), std::string::npos) << settings();
  EXPECT_FALSE(IsWindowEnabled(findChild(main, item(1))));

  // A folder inside the Windows folder is a folder like any other: stored, no message.
  ASSERT_TRUE(typeInto(temp, windows + "\\Temp\\"));
  ASSERT_TRUE(click(findChild(main, kSaveWindows)));
  const std::string stored = "\r\nWin2=" + windows + "\\Temp\\\r\n";
  for (int i = 0; i < 100 && settings().find(stored) == std::string::npos; ++i) Sleep(100);
  EXPECT_NE(settings().find(stored), std::string::npos) << settings();
  EXPECT_FALSE(findWindow(program.id(), L"Info", 0ms));
  EXPECT_TRUE(IsWindowEnabled(findChild(main, item(16))));

  const std::string last = closeAndReadSettings(program, main);
  EXPECT_NE(last.find(stored), std::string::npos) << last;
  EXPECT_NE(last.find("\r\nIE3=" + t + "\\Cookies\\\r\n"), std::string::npos) << last;
}

}  // namespace
}  // namespace trwk::gui
