#pragma once
// Throwaway places for the Win32 backend's tests: a fresh folder under the temporary
// folder and a fresh key under HKEY_CURRENT_USER\Software\TarnwickTest, both removed
// when the test ends. Removal never enters a link.
#include <atomic>
#include <string>

#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_support.h"

namespace trwk::win32::testing {

inline unsigned nextTestNumber() {
  static std::atomic<unsigned> n{0};
  return ++n;
}

// Removes a folder's contents and then the folder; links are removed as links (or left
// in place when the system cannot do that without following them).
inline void removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW data;
  HANDLE find =
      FindFirstFileExW((folder + L"\\*").c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      std::wstring name = data.cFileName;
      if (name == L"." || name == L"..") continue;
      std::wstring path = folder + L"\\" + name;
      DWORD attrs = data.dwFileAttributes;
      if ((attrs & FILE_ATTRIBUTE_DIRECTORY) && !(attrs & FILE_ATTRIBUTE_REPARSE_POINT)) {
        SetFileAttributesW(path.c_str(), FILE_ATTRIBUTE_NORMAL);
        removeTree(path);
      } else {
        try {
          Win32Files().deleteFile(pathFromSystem(path));
        } catch (...) {
        }
      }
    } while (FindNextFileW(find, &data));
    FindClose(find);
  }
  RemoveDirectoryW(folder.c_str());
}

class TempFolder {
 public:
  TempFolder() {
    wchar_t buf[MAX_PATH + 1];
    DWORD got = GetTempPathW(MAX_PATH + 1, buf);
    std::wstring temp(buf, got);
    if (!temp.empty() && temp.back() == L'\\') temp.pop_back();
    for (;;) {
      wide_ = temp + L"\\trwk-test-" + std::to_wstring(GetCurrentProcessId()) + L"-" +
              std::to_wstring(nextTestNumber());
      if (CreateDirectoryW(wide_.c_str(), nullptr)) break;
      if (GetLastError() != ERROR_ALREADY_EXISTS) throw Failure(fail::kPathFileAccess, "no temporary folder");
    }
    path_ = narrow(wide_);
  }
  ~TempFolder() { removeTree(wide_); }
  TempFolder(const TempFolder&) = delete;
  TempFolder& operator=(const TempFolder&) = delete;

  const std::string& path() const { return path_; }
  std::string path(const std::string& relative) const { return path_ + "\\" + relative; }
  std::wstring wide(const std::string& relative) const { return widen(path(relative)); }

 private:
  std::wstring wide_;
  std::string path_;
};

class TestKey {
 public:
  TestKey()
      : subkey_("Software\\TarnwickTest\\" + std::to_string(GetCurrentProcessId()) + "-" +
                std::to_string(nextTestNumber())) {}
  ~TestKey() {
    RegDeleteTreeW(HKEY_CURRENT_USER, widen(subkey_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, widen(subkey_).c_str());
    RegDeleteKeyW(HKEY_CURRENT_USER, L"Software\\TarnwickTest");  // only when nothing else is left
  }
  TestKey(const TestKey&) = delete;
  TestKey& operator=(const TestKey&) = delete;

  // The key itself is not created: tests decide.
  const std::string& subkey() const { return subkey_; }
  std::string sub(const std::string& relative) const { return subkey_ + "\\" + relative; }

 private:
  std::string subkey_;
};

}  // namespace trwk::win32::testing
