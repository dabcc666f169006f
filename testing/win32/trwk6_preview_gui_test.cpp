// The "Preview" button of trwk6.exe's Opera page, worked as a person would: the "Preview"
// window lists what cleaning Opera would remove with the seeded sizes and their total,
// removes nothing, and "Clean these" then removes exactly that list: a cache file made
// after the preview stays.
#include <gtest/gtest.h>

#include <filesystem>

#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

constexpr int kTabs = 402;
constexpr int kFirstItem = 420;  // the box of clean item n is kFirstItem + n - 1
constexpr int kPreviewOpera = 542;
constexpr int kPreviewList = 602;
constexpr int kPreviewStatus = 604;
constexpr int kPreviewClean = 605;

class Trwk6PreviewGui : public ProgramFolderTest {
 protected:
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    opera = folder / "traces" / "Opera";
    const struct {
      const char* name;
      const char* bytes;
    } seeded[] = {{"Cache4\\opr00001.htm", "<html><body>"},
                  {"Cache4\\opr00002.gif", "GIF89a"},
                  {"opera.win", "old layout"},
                  {"global.dat", "visited pages"},
                  {"cookies4.dat", "cookie jar"},
                  {"opera.dir", "typed"},
                  {"vlink4.dat", "visited links"}};
    for (const auto& s : seeded) {
      writeFile(opera / s.name, s.bytes);
      seededBytes += std::string(s.bytes).size();
    }
    writeFile(opera / "opera6.ini", "stays");
    const std::string o = opera.string();
    std::string ini = "[Path]\r\nDetect=1\r\n";
    ini.append("Opera1=").append(o).append("\\\r\nOpera2=").append(o).append("\\Cache4\\\r\n");
    ini.append("[Rensa]\r\nValue10=1\r\nValue11=1\r\nValue12=1\r\nValue13=1\r\n[Inst]\r\nSafetylevel=1\r\n");
    writeFile(folder / "mainten.ini", ini);
  }

  fs::path opera;
  std::size_t seededBytes = 0;
};

TEST_F(Trwk6PreviewGui, ThePreviewShowsTheSeededTotalAndCleanTheseRemovesOnlyWhatItShowed) {
  GuiProcess program((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  HWND main = agreeAndFindMain(program);
  ASSERT_TRUE(main);
  HWND tabs = findChild(main, kTabs);
  ASSERT_TRUE(tabs);
  for (int i = 0; i < 2; ++i) PostMessageW(tabs, WM_KEYDOWN, VK_RIGHT, 0);  // to the Opera page
  ASSERT_TRUE(waitFor([&] { return IsWindowVisible(findChild(main, kFirstItem + 9)) != FALSE; }, 10s));

  ASSERT_TRUE(click(findChild(main, kPreviewOpera)));
  HWND preview = findWindow(program.id(), L"Preview", kWindowTime);
  ASSERT_TRUE(preview) << "windows: " << captions(program);
  HWND status = findChild(preview, kPreviewStatus);
  ASSERT_TRUE(waitFor([&] { return narrow(text(status)).rfind("Total: ", 0) == 0; }, kWindowTime))
      << narrow(text(status));
  // Seven files go (the layout is put back as a rewrite, which frees nothing).
  EXPECT_EQ(narrow(text(status)), "Total: 8 entries: 7 files, 0 folders, 0 registry values, 1 rewrite, " +
                                      std::to_string(seededBytes) + " bytes freed")
      << narrow(text(status));
  HWND list = findChild(preview, kPreviewList);
  // Four items, each a heading, its entries and a subtotal.
  EXPECT_EQ(listViewCount(list), 8 + 4 * 2);
  EXPECT_EQ(narrow(listViewText(list, 0, 0)), "Item 10, Opera Cache (Opera)");
  EXPECT_TRUE(fs::exists(opera / "cookies4.dat")) << "a preview removes nothing";

  writeFile(opera / "Cache4" / "opr00003.htm", "made after the preview");
  ASSERT_TRUE(click(findChild(preview, kPreviewClean)));
  acknowledgeDone(program);
  for (const char* name : {"global.dat", "cookies4.dat", "opera.dir", "vlink4.dat", "Cache4\\opr00001.htm",
                           "Cache4\\opr00002.gif"})
    EXPECT_FALSE(fs::exists(opera / name)) << name;
  EXPECT_TRUE(fs::exists(opera / "Cache4" / "opr00003.htm")) << "a file made after the preview stays";
  EXPECT_TRUE(fs::exists(opera / "opera6.ini"));
  closeAndReadSettings(program, main);
}

}  // namespace
}  // namespace trwk::gui
