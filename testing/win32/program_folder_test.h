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

class ProgramFolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  std::string log();
  // The captions of the program's windows, for the messages of failed checks.
  std::string captions(const GuiProcess& p);

  fs::path folder;
};

}  // namespace trwk::gui
