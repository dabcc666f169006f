// The plainest removal a Windows program can make, as the reference for the Wine rows of
// the benchmark: FindFirstFileW over each folder, DeleteFileW for every file and
// RemoveDirectoryW for every emptied folder, with no question asked of any entry. It
// shows what the Win32 calls alone cost under Wine, apart from what trwk6 checks.
//
//   trwk_plain_remove.exe FOLDER      removes FOLDER and everything in it; prints the count
#include <windows.h>

#include <cstdio>
#include <string>

namespace {

unsigned long removed = 0, failed = 0;

void removeTree(const std::wstring& folder) {
  WIN32_FIND_DATAW found;
  HANDLE find = FindFirstFileW((folder + L"\\*").c_str(), &found);
  if (find != INVALID_HANDLE_VALUE) {
    do {
      const std::wstring name = found.cFileName;
      if (name == L"." || name == L"..") continue;
      const std::wstring path = folder + L"\\" + name;
      if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        removeTree(path);
      } else if (DeleteFileW(path.c_str())) {
        ++removed;
      } else {
        ++failed;
      }
    } while (FindNextFileW(find, &found));
    FindClose(find);
  }
  if (RemoveDirectoryW(folder.c_str())) ++removed; else ++failed;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: trwk_plain_remove FOLDER\n");
    return 2;
  }
  removeTree(argv[1]);
  std::printf("%lu removed, %lu failed\n", removed, failed);
  return failed ? 1 : 0;
}
