#pragma once
// Base of the GUI tests: trwk6.exe and the files shipped beside it copied into a fresh
// program folder of the test's own, and the per-user store reset as on a first run.
#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "testing/win32/gui_driver.h"

namespace trwk::gui {

namespace fs = std::filesystem;

inline constexpr Timeout kWindowTime = 60s;

std::string readFile(const fs::path& p);
void writeFile(const fs::path& p, const std::string& bytes);
// ASCII view of a wide text for test messages; other characters become '?'.
std::string narrow(const std::wstring& w);
// A [Path] section with detection off and the Internet Explorer folders History, Cache,
// Cookies and Cache\Content.IE5 under traces.
std::string iePathSection(const fs::path& traces);

class ProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string log();
  // Agrees to the licence of a trwk6.exe just started and gives its main window; nullptr
  // (with the failure told) when either window does not come.
  HWND agreeAndFindMain(GuiProcess& program);
  // The "Info" box that ends a cleaning: it says the cleaning is done, and is closed.
  void acknowledgeDone(GuiProcess& program);
  // Closes the main window as its title bar does, expects the program to end with 0 and
  // gives the settings file it left.
  std::string closeAndReadSettings(GuiProcess& program, HWND main);
  // The captions of the program's windows, for the messages of failed checks.
  std::string captions(const GuiProcess& p);

  fs::path folder;
};

}  // namespace trwk::gui
