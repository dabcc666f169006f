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

void ProgramFolderTest::SetUp() {
  if (!underWine()) GTEST_SKIP() << "resets the per-user settings: runs only in a throwaway Wine prefix";
  RegDeleteTreeW(HKEY_CURRENT_USER, kStoreKey);
  wchar_t temp[MAX_PATH] = {};
  GetTempPathW(MAX_PATH, temp);
  static int serial = 0;
  folder = fs::path(temp) / (L"trwk-gui-" + std::to_wstring(GetCurrentProcessId()) + L"-" + std::to_wstring(++serial));
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

std::string ProgramFolderTest::captions(const GuiProcess& p) {
  std::string all;
  for (const std::wstring& caption : windowCaptions(p.id())) all.append("[").append(narrow(caption)).append("]");
  return all;
}

}  // namespace trwk::gui
