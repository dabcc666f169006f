#include "testing/win32/program_folder_test.h"

#include <fstream>
#include <sstream>

namespace trwk::gui {
namespace {

const wchar_t* kStoreKey = L"Software\\Tarnwick";

fs::path testsFolder() {
  wchar_t path[MAX_PATH] = {};
  GetModuleFileNameW(nullptr, path, MAX_PATH);
  return fs::path(path).parent_path();
}

}  // namespace

std::string readFile(const fs::path& p) {
  std::ifstream in(p, std::ios::binary);
  std::ostringstream s;
  s << in.rdbuf();
  return s.str();
}

void writeFile(const fs::path& p, const std::string& bytes) {
  fs::create_directories(p.parent_path());
  std::ofstream(p, std::ios::binary) << bytes;
}

std::string narrow(const std::wstring& w) {
  std::string s;
  for (wchar_t c : w) s += c < 0x80 ? static_cast<char>(c) : '?';
  return s;
}

std::string iePathSection(const fs::path& traces) {
  // Appended piece by piece: GCC 12 warns falsely (-Wrestrict) on "literal" + string.
  const std::string t = traces.string();
  std::string ini = "[Path]\r\nDetect=1\r\n";
  for (const char* line :
       {"IE1=|\\History\\", "IE2=|\\Cache\\", "IE3=|\\Cookies\\", "IE4=|\\Cache\\Content.IE5\\"}) {
    std::string l(line);
    ini.append(l.substr(0, 4)).append(t).append(l.substr(5)).append("\r\n");
  }
  return ini;
}

void ProgramFolderTest::SetUp() {
  if (!underWine()) GTEST_SKIP() << "resets the per-user settings: runs only in a throwaway Wine prefix";
  RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  static int serial = 0;
  folder = fs::path(temp) /
           (L"trwk-gui-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial));
  fs::remove_all(folder);
  fs::create_directories(folder);
  // The programs and the files shipped beside them; the test executables stay behind.
  for (const fs::directory_entry& entry : fs::directory_iterator(testsFolder())) {
    std::wstring name = entry.path().filename().wstring();
    if (entry.is_regular_file() && name.rfind(L"trwk_", 0) != 0) fs::copy_file(entry.path(), folder / name);
  }
  ASSERT_TRUE(fs::exists(folder / "trwk6.exe"));
}

void ProgramFolderTest::TearDown() {
  if (folder.empty()) return;
  std::error_code ignored;
  fs::remove_all(folder, ignored);
  RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
}

std::string ProgramFolderTest::log() {
  return fs::exists(folder / "trwk.log") ? readFile(folder / "trwk.log") : std::string();
}

HWND ProgramFolderTest::agreeAndFindMain(GuiProcess& program) {
  HWND agreement = findWindow(program.id(), L"License Agreement and Disclaimer", kWindowTime);
  if (!agreement || !click(findChild(agreement, L"I Agree"))) {
    ADD_FAILURE() << "no licence agreement to agree to; windows: " << captions(program);
    return nullptr;
  }
  HWND main = findWindow(program.id(), L"Tarnwick", kWindowTime);
  if (!main) ADD_FAILURE() << "no main window; windows: " << captions(program);
  return main;
}

void ProgramFolderTest::acknowledgeDone(GuiProcess& program) {
  HWND done = findWindow(program.id(), L"Info", kWindowTime);
  ASSERT_TRUE(done) << "windows: " << captions(program);
  EXPECT_TRUE(findChild(done, L"Cleaning System...Done"));
  ASSERT_TRUE(click(findChild(done, L"OK")));
  for (int i = 0; i < 100 && findWindow(program.id(), L"Info", 0ms); ++i) Sleep(100);
}

std::string ProgramFolderTest::closeAndReadSettings(GuiProcess& program, HWND main) {
  close(main);
  DWORD code = 1234;
  EXPECT_TRUE(program.waitForExit(kWindowTime, &code)) << "still open: " << captions(program);
  EXPECT_EQ(code, 0u);
  return readFile(folder / "mainten.ini");
}

std::string ProgramFolderTest::captions(const GuiProcess& p) {
  std::string all;
  for (const std::wstring& caption : windowCaptions(p.id()))
    all.append("[").append(narrow(caption)).append("]");
  return all;
}

}  // namespace trwk::gui
