// trwk6.exe started as a user starts it, in a fresh program folder of its own, with its
// windows driven through their own controls.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "testing/win32/program_folder_test.h"

namespace trwk::gui {
namespace {

const std::wstring kAgreementCaption = L"License Agreement and Disclaimer";
const std::wstring kMainCaption = L"Tarnwick";

int count(const std::string& text, const std::string& what) {
  int n = 0;
  for (std::size_t at = 0; (at = text.find(what, at)) != std::string::npos; at += what.size()) ++n;
  return n;
}

std::wstring agreementSetting() {
  wchar_t value[64] = {};
  DWORD size = sizeof value;
  if (RegGetValueW(HKEY_CURRENT_USER, L"Software\\Tarnwick\\trwk6\\Options", L"Show Tips at Startup",
                   RRF_RT_REG_SZ, nullptr, value, &size) != ERROR_SUCCESS)
    return L"(absent)";
  return value;
}

// A program folder of trwk6.exe and the files shipped beside it, in the prefix's
// temporary folder, and a per-user store as on a first run.
class Trwk6Gui : public ProgramFolderTest {
 protected:
  // Path detection on a first start has a test of its own; here the shipped settings ask
  // for none, so no message about missing browsers comes between the windows.
  void SetUp() override {
    ProgramFolderTest::SetUp();
    if (IsSkipped() || HasFatalFailure()) return;
    std::string ini = readFile(folder / "mainten.ini");
    if (auto at = ini.find("Detect=0"); at != std::string::npos) ini.replace(at, 8, "Detect=1");
    writeFile(folder / "mainten.ini", ini);
  }
  std::unique_ptr<GuiProcess> start() {
    return std::make_unique<GuiProcess>((folder / "trwk6.exe").wstring(), L"", folder.wstring());
  }
  // Closes the main window by its title bar and waits for the program to end.
  void closeMain(GuiProcess& program, HWND main) {
    close(main);
    DWORD code = 1234;
    ASSERT_TRUE(program.waitForExit(kWindowTime, &code)) << "still open: " << captions(program);
    EXPECT_EQ(code, 0u);
  }
};

TEST_F(Trwk6Gui, FirstRunAsksForTheAgreementOnceThenGoesStraightToTheMainWindow) {
  auto program = start();
  HWND agreement = findWindow(program->id(), kAgreementCaption, kWindowTime);
  ASSERT_TRUE(agreement) << "windows: " << captions(*program);
  HWND box = findChild(agreement, L"&Show Tips at Startup");
  ASSERT_TRUE(box);
  EXPECT_TRUE(isChecked(box)) << "a first run ticks the box";
  EXPECT_EQ(agreementSetting(), L"1");
  EXPECT_GT(text(findChild(agreement, 101)).size(), 2000u) << "the licence text is shown";

  ASSERT_TRUE(click(findChild(agreement, L"I Agree")));
  HWND main = findWindow(program->id(), kMainCaption, kWindowTime);
  ASSERT_TRUE(main) << "windows: " << captions(*program);
  EXPECT_EQ(findWindow(program->id(), kAgreementCaption, 0ms), nullptr);
  EXPECT_EQ(agreementSetting(), L"0");
  HWND status = findChild(main, 404);
  ASSERT_TRUE(status);
  EXPECT_EQ(text(status).rfind(L"This computer was last cleaned at: ", 0), 0u) << "status bar";
  closeMain(*program, main);
  EXPECT_EQ(count(log(), "Session Started"), 1) << log();

  auto second = start();
  main = findWindow(second->id(), kMainCaption, kWindowTime);
  ASSERT_TRUE(main) << "windows: " << captions(*second);
  EXPECT_EQ(findWindow(second->id(), kAgreementCaption, 0ms), nullptr) << "accepted once is enough";
  closeMain(*second, main);
  EXPECT_EQ(count(log(), "Session Started"), 2) << log();
}

TEST_F(Trwk6Gui, IDisagreeEndsTheProgramWithNoWindow) {
  std::string settingsBefore = readFile(folder / "mainten.ini");
  auto program = start();
  HWND agreement = findWindow(program->id(), kAgreementCaption, kWindowTime);
  ASSERT_TRUE(agreement) << "windows: " << captions(*program);
  ASSERT_TRUE(click(findChild(agreement, L"I Disagree")));
  DWORD code = 1234;
  ASSERT_TRUE(program->waitForExit(kWindowTime, &code)) << "still open: " << captions(*program);
  EXPECT_EQ(code, 0u);
  EXPECT_EQ(readFile(folder / "mainten.ini"), settingsBefore);
  EXPECT_EQ(agreementSetting(), L"1") << "the agreement is asked for again next time";
  EXPECT_EQ(count(log(), "Session Started"), 1) << log();
}

TEST_F(Trwk6Gui, TheNoticeWindowCanBeToldNotToComeAgain) {
  std::ofstream(folder / "mainten.ini", std::ios::binary) << "[Path]\r\nDetect=1\r\n[Inst]\r\nShowtip=1\r\n";
  auto program = start();
  HWND agreement = findWindow(program->id(), kAgreementCaption, kWindowTime);
  ASSERT_TRUE(agreement) << "windows: " << captions(*program);
  ASSERT_TRUE(click(findChild(agreement, L"I Agree")));

  HWND notice = findWindow(program->id(), L"Notice!", kWindowTime);
  ASSERT_TRUE(notice) << "windows: " << captions(*program);
  EXPECT_TRUE(findChild(notice, L"This verision of Tarnwick runs on Windows 95 and Windows 98."));
  ASSERT_TRUE(setChecked(findChild(notice, L"Do not prompt in the future."), true));
  EXPECT_NE(readFile(folder / "mainten.ini").find("Showtip=0"), std::string::npos);
  ASSERT_TRUE(click(findChild(notice, L"OK")));

  HWND main = findWindow(program->id(), kMainCaption, kWindowTime);
  ASSERT_TRUE(main);
  closeMain(*program, main);
}

TEST_F(Trwk6Gui, ConsoleOptionsAnswerOnTheOutputItWasStartedWith) {
  std::wstring exe = (folder / "trwk6.exe").wstring();
  Captured version = runCaptured(exe, L"--version", folder.wstring(), kWindowTime);
  ASSERT_TRUE(version.finished);
  EXPECT_EQ(version.exitCode, 0u);
  EXPECT_EQ(version.out, "trwk6 6.17\r\n");

  Captured help = runCaptured(exe, L"--help", folder.wstring(), kWindowTime);
  EXPECT_EQ(help.exitCode, 0u);
  EXPECT_NE(help.out.find("Usage: trwk6"), std::string::npos) << help.out;

  Captured wrong = runCaptured(exe, L"--no-such-option", folder.wstring(), kWindowTime);
  EXPECT_EQ(wrong.exitCode, 2u);
  EXPECT_EQ(wrong.out, "");
  EXPECT_NE(wrong.err.find("unknown option '--no-such-option'"), std::string::npos) << wrong.err;
  EXPECT_FALSE(fs::exists(folder / "trwk.log")) << "console options start no session";
}

}  // namespace
}  // namespace trwk::gui
