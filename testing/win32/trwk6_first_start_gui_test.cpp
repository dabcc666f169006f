// The first start of trwk6.exe with the shipped mainten.ini (Detect=0) on a prefix where
// no browser is installed: every path is detected and stored, the families that are
// missing say so and are greyed out, and the second start loads the stored paths
// without detecting again.
#include <gtest/gtest.h>
#include <shlobj.h>

#include <algorithm>
#include <cstdlib>
#include <filesystem>
#include <map>
#include <sstream>

#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

constexpr int kTabs = 402;
constexpr int kNoticeNetscape = 406;
constexpr int kNoticeOpera = 407;
constexpr int kFirstItem = 420;
constexpr int kPagesToPaths = 6;  // Internet Explorer is the first page, Paths the seventh

// The shell's folder with "\", or "-", as the program asks for it.
std::string shellFolder(int csidl) {
  wchar_t path[MAX_PATH] = {};
  if (SHGetFolderPathW(nullptr, csidl, nullptr, 0, path) != S_OK) return "-";
  return narrow(path) + "\\";
}

bool exists(const std::string& folder) {
  return folder != "-" && fs::exists(fs::path(folder));
}

// [Path] of a settings text, key by key.
std::map<std::string, std::string> pathSection(const std::string& ini) {
  std::map<std::string, std::string> keys;
  std::istringstream in(ini);
  std::string line;
  bool inPath = false;
  while (std::getline(in, line)) {
    if (!line.empty() && line.back() == '\r') line.pop_back();
    if (!line.empty() && line.front() == '[') {
      inPath = line == "[Path]";
      continue;
    }
    auto eq = line.find('=');
    if (inPath && eq != std::string::npos) keys[line.substr(0, eq)] = line.substr(eq + 1);
  }
  return keys;
}

std::vector<HWND> descendants(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM list) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(list)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

// Every text of a window's controls, joined by newlines.
std::string allTexts(HWND window) {
  std::string joined;
  for (HWND w : descendants(window)) joined.append(narrow(text(w))).append("\n");
  return joined;
}

// Moves the tab strip on by pages, as the arrow keys do, and lets the window repaint.
void nextPages(HWND tabs, int pages) {
  for (int i = 0; i < pages; ++i) PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);
  Sleep(500);
}

// The visible edit boxes of the window whose text is exactly this.
int visibleBoxesShowing(HWND main, const std::string& wanted) {
  int n = 0;
  for (HWND w : descendants(main)) {
    wchar_t cls[32] = {};
    GetClassNameW(w, cls, 32);
    if (_wcsicmp(cls, L"Edit") == 0 && IsWindowVisible(w) && narrow(text(w)) == wanted) ++n;
  }
  return n;
}

// The window as it is on screen, as a 24-bit BMP file (for a person to look at).
void screenshot(HWND window, const fs::path& file) {
  RECT r{};
  GetWindowRect(window, &r);
  const int w = r.right - r.left, h = r.bottom - r.top;
  HDC screen = GetDC(nullptr);
  HDC memory = CreateCompatibleDC(screen);
  HBITMAP bitmap = CreateCompatibleBitmap(screen, w, h);
  HGDIOBJ old = SelectObject(memory, bitmap);
  BitBlt(memory, 0, 0, w, h, screen, r.left, r.top, SRCCOPY);
  SelectObject(memory, old);
  BITMAPINFOHEADER info{};
  info.biSize = sizeof info;
  info.biWidth = w;
  info.biHeight = h;
  info.biPlanes = 1;
  info.biBitCount = 24;
  const DWORD stride = static_cast<DWORD>((w * 3 + 3) & ~3);
  std::string pixels(stride * static_cast<DWORD>(h), '\0');
  GetDIBits(memory, bitmap, 0, static_cast<UINT>(h), pixels.data(), reinterpret_cast<BITMAPINFO*>(&info),
            DIB_RGB_COLORS);
  DeleteObject(bitmap);
  DeleteDC(memory);
  ReleaseDC(nullptr, screen);
  BITMAPFILEHEADER header{};
  header.bfType = 0x4D42;
  header.bfOffBits = sizeof header + sizeof info;
  header.bfSize = header.bfOffBits + static_cast<DWORD>(pixels.size());
  std::string bytes(reinterpret_cast<const char*>(&header), sizeof header);
  bytes.append(reinterpret_cast<const char*>(&info), sizeof info);
  bytes.append(pixels);
  writeFile(file, bytes);
}

class Trwk6FirstStartGui : public ProgramFolderTest {
 protected:
  // Starts the program, agrees when the agreement appears, and answers every "Info" box
  // until the main window shows; the boxes' texts are kept in order.
  HWND start(GuiProcess& program, std::vector<std::string>& infos) {
    for (auto until = GetTickCount64() + 90000; GetTickCount64() < until;) {
      if (HWND agreement = findWindow(program.id(), L"License Agreement and Disclaimer", 0ms))
        click(findChild(agreement, L"I Agree"));
      if (HWND info = findWindow(program.id(), L"Info", 0ms)) {
        infos.push_back(allTexts(info));
        click(findChild(info, L"OK"));
        // The same box may still be listed until it has gone.
        for (int i = 0; i < 50 && IsWindow(info) && IsWindowVisible(info); ++i) Sleep(100);
        continue;
      }
      if (HWND main = findWindow(program.id(), L"Tarnwick", 0ms)) return main;
      Sleep(100);
    }
    return nullptr;
  }
};

TEST_F(Trwk6FirstStartGui, DetectsAndStoresEveryPathThenTheNextStartLoadsThem) {
  ASSERT_NE(readFile(folder / "mainten.ini").find("Detect=0"), std::string::npos) << "the shipped settings";
  // What the shell of this prefix answers, so the test holds on any freshly booted prefix.
  const std::string history = shellFolder(CSIDL_HISTORY), cache = shellFolder(CSIDL_INTERNET_CACHE),
                    cookies = shellFolder(CSIDL_COOKIES), recent = shellFolder(CSIDL_RECENT),
                    windows = shellFolder(CSIDL_WINDOWS);
  const bool ieThere = exists(history) && exists(cache) && exists(cookies);
  const std::string temp = windows + "Temp\\", downloaded = windows + "Downloaded Program Files\\";

  std::vector<std::string> infos;
  std::map<std::string, std::string> stored;
  {
    GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
    HWND main = start(program, infos);
    ASSERT_TRUE(main) << "windows: " << captions(program);

    // One message per missing family, in the order of the Saves.
    std::vector<std::string> expected;
    if (!ieThere) expected.push_back("Could not find Internet Explorer paths.");
    expected.push_back("Could not find Netscape paths.");
    expected.push_back("Could not find Opera paths.");
    if (!exists(recent)) expected.push_back("Windows Document History path does not exist");
    if (!exists(temp)) expected.push_back("Windows Temporary Files path does not exist");
    if (!exists(downloaded)) expected.push_back("Windows Downloaded path does not exist");
    ASSERT_EQ(infos.size(), expected.size()) << allTexts(main);
    for (std::size_t i = 0; i < infos.size(); ++i)
      EXPECT_NE(infos[i].find(expected[i]), std::string::npos) << i << ": " << infos[i];

    // Stored before the window showed: the shell's folders, "-" for what is missing.
    stored = pathSection(readFile(folder / "mainten.ini"));
    EXPECT_EQ(stored["Detect"], "1");
    EXPECT_EQ(stored["IE4"], cache == "-" ? "-" : cache + "Content.ie5\\");
    for (const char* key : {"Netscape1A", "Netscape2", "Opera1", "Opera2"})
      EXPECT_EQ(stored[key], "-") << key;
    EXPECT_EQ(stored["Netscape1B"], "-1");
    EXPECT_EQ(stored["Netscape1C"], "Error");
    EXPECT_EQ(stored["Win2"], exists(temp) ? temp : "-");
    EXPECT_EQ(stored["Win3"], exists(downloaded) ? downloaded : "-");
    if (ieThere) {
      EXPECT_EQ(stored["IE3"], cookies);
    }

    // Greyed out: the Internet Explorer boxes follow its folders; Netscape's and Opera's
    // pages show why they are empty.
    HWND firstItem = findChild(main, kFirstItem);
    ASSERT_TRUE(firstItem);
    EXPECT_EQ(IsWindowEnabled(firstItem) != FALSE, ieThere);
    HWND tabs = findChild(main, kTabs);
    ASSERT_TRUE(tabs);
    nextPages(tabs, 1);
    EXPECT_TRUE(IsWindowVisible(findChild(main, kNoticeNetscape)));
    EXPECT_EQ(narrow(text(findChild(main, kNoticeNetscape))),
              "You dont have Netscape installed or have specified incorrect paths");
    nextPages(tabs, 1);
    EXPECT_TRUE(IsWindowVisible(findChild(main, kNoticeOpera)));

    // The Path tab: the four boxes of the missing browsers show "-".
    nextPages(tabs, kPagesToPaths - 2);
    EXPECT_GE(visibleBoxesShowing(main, "-"), 4) << allTexts(main);
    if (exists(temp)) {
      EXPECT_EQ(visibleBoxesShowing(main, temp), 1) << allTexts(main);
    }
    if (const char* shots = std::getenv("TRWK_SCREENSHOTS"))
      screenshot(main, fs::path(shots) / "paths-tab.bmp");

    close(main);
    ASSERT_TRUE(program.waitForExit(kWindowTime)) << "still open: " << captions(program);
  }

  // The second start asks nothing and keeps every stored path; the chart shows two rows
  // of earlier cleanings.
  std::string ini = readFile(folder / "mainten.ini");
  // The first exit wrote an empty [Statistics]; it is replaced.
  if (auto at = ini.find("[Statistics]"); at != std::string::npos) {
    auto next = ini.find("\r\n[", at);
    ini.erase(at, next == std::string::npos ? std::string::npos : next + 2 - at);
  }
  ini.append(
      "[Statistics]\r\nCurrent=3\r\nDate1=2026-12-01\r\nSize1=1200\r\nDate2=2026-12-05\r\nSize2=350\r\n");
  writeFile(folder / "mainten.ini", ini);
  infos.clear();
  GuiProcess again((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND main = start(again, infos);
  ASSERT_TRUE(main) << "windows: " << captions(again);
  EXPECT_TRUE(infos.empty()) << infos.front();
  HWND tabs = findChild(main, kTabs);
  nextPages(tabs, kPagesToPaths);
  EXPECT_GE(visibleBoxesShowing(main, "-"), 4) << allTexts(main);
  nextPages(tabs, 2);
  if (const char* shots = std::getenv("TRWK_SCREENSHOTS"))
    screenshot(main, fs::path(shots) / "statistics-tab.bmp");
  close(main);
  ASSERT_TRUE(again.waitForExit(kWindowTime)) << "still open: " << captions(again);
  EXPECT_EQ(pathSection(readFile(folder / "mainten.ini")), stored);
  EXPECT_EQ(log().find("findPath"), std::string::npos) << log();
  const std::string last = readFile(folder / "mainten.ini");
  for (const char* kept : {"Current=3\r\n", "Size1=1200\r\n", "Date2=2026-12-05\r\n"})
    EXPECT_NE(last.find(kept), std::string::npos) << kept << last;
}

}  // namespace
}  // namespace trwk::gui
