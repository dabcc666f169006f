#include "shell/win32/console_output.h"

#include <windows.h>

namespace trwk::win32 {
namespace {

HANDLE outputHandle(bool toErrorOutput) {
  DWORD which = toErrorOutput ? STD_ERROR_HANDLE : STD_OUTPUT_HANDLE;
  HANDLE h = GetStdHandle(which);
  if (h && h != INVALID_HANDLE_VALUE) return h;
  static bool attached = AttachConsole(ATTACH_PARENT_PROCESS) != 0;
  if (!attached) return nullptr;
  h = CreateFileW(L"CONOUT$", GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                  OPEN_EXISTING, 0, nullptr);
  if (h == INVALID_HANDLE_VALUE) return nullptr;
  SetStdHandle(which, h);
  return h;
}

}  // namespace

void writeConsole(const std::string& text, bool toErrorOutput) {
  if (text.empty()) return;
  HANDLE h = outputHandle(toErrorOutput);
  if (!h) return;
  std::string lines;
  for (char c : text) {
    if (c == '\n') lines += '\r';
    lines += c;
  }
  DWORD mode = 0, written = 0;
  if (GetConsoleMode(h, &mode)) {
    int n = MultiByteToWideChar(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    MultiByteToWideChar(CP_UTF8, 0, lines.data(), static_cast<int>(lines.size()), wide.data(), n);
    WriteConsoleW(h, wide.data(), static_cast<DWORD>(wide.size()), &written, nullptr);
  } else {
    WriteFile(h, lines.data(), static_cast<DWORD>(lines.size()), &written, nullptr);
  }
}

}  // namespace trwk::win32
