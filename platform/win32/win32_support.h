#pragma once
// What the Win32 services share: text at the API edge, failure numbers, handles.
#include <windows.h>

#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/text_encoding.h"

namespace trwk::win32 {

// Closes a file handle when it goes.
class Handle {
 public:
  explicit Handle(HANDLE h = INVALID_HANDLE_VALUE) : h_(h) {}
  ~Handle() { reset(); }
  Handle(const Handle&) = delete;
  Handle& operator=(const Handle&) = delete;
  Handle(Handle&& other) noexcept : h_(other.release()) {}
  Handle& operator=(Handle&& other) noexcept {
    if (this != &other) {
      reset();
      h_ = other.release();
    }
    return *this;
  }
  HANDLE get() const { return h_; }
  HANDLE release() {
    HANDLE h = h_;
    h_ = INVALID_HANDLE_VALUE;
    return h;
  }
  bool valid() const { return h_ != INVALID_HANDLE_VALUE && h_ != nullptr; }
  void reset() {
    if (valid()) CloseHandle(h_);
    h_ = INVALID_HANDLE_VALUE;
  }

 private:
  HANDLE h_;
};

// While it lives, a drive without a medium answers with an error instead of asking the
// person at the screen to insert a disk.
class QuietDriveErrors {
 public:
  QuietDriveErrors() { SetThreadErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX, &old_); }
  ~QuietDriveErrors() { SetThreadErrorMode(old_, nullptr); }
  QuietDriveErrors(const QuietDriveErrors&) = delete;
  QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;

 private:
  DWORD old_ = 0;
};

// Windows-1252 text (everything inside the programs) to the wide API and back;
// characters outside the code page become '?' on the way back.
inline std::wstring widen(const std::string& text) {
  std::u16string units = cp1252ToUtf16(text);
  return std::wstring(units.begin(), units.end());
}

inline std::string narrow(const std::wstring& text) {
  return utf16ToCp1252(std::u16string(text.begin(), text.end()));
}

inline bool fitsCodePage(const std::wstring& text) {
  return widen(narrow(text)) == text;
}

// A path the system handed us, as Windows-1252. When its long form holds characters the
// code page cannot write (a user name in Cyrillic, say), the short form is given instead
// where the volume keeps one, so that the path still leads somewhere when it comes back.
inline std::string pathFromSystem(const std::wstring& path) {
  if (fitsCodePage(path)) return narrow(path);
  DWORD need = GetShortPathNameW(path.c_str(), nullptr, 0);
  if (need > 0) {
    std::vector<wchar_t> buf(need + 1);
    DWORD got = GetShortPathNameW(path.c_str(), buf.data(), DWORD(buf.size()));
    if (got > 0 && got < buf.size()) {
      std::wstring shortPath(buf.data(), got);
      if (fitsCodePage(shortPath)) return narrow(shortPath);
    }
  }
  return narrow(path);
}

// The classic failure number for a system error code.
inline int failureNumber(DWORD error) {
  switch (error) {
    case ERROR_FILE_NOT_FOUND: return fail::kFileNotFound;
    case ERROR_PATH_NOT_FOUND:
    case ERROR_INVALID_DRIVE:
    case ERROR_NOT_READY:
    case ERROR_BAD_NETPATH:
    case ERROR_BAD_NET_NAME:
    case ERROR_DEV_NOT_EXIST: return fail::kPathNotFound;
    case ERROR_ACCESS_DENIED:
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION:
    case ERROR_WRITE_PROTECT:
    case ERROR_PRIVILEGE_NOT_HELD: return fail::kPermissionDenied;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return fail::kDiskFull;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return fail::kFileExists;
    default: return fail::kPathFileAccess;
  }
}

// Failures name the path they concern: "Path not found: C:\gone\x.txt".
[[noreturn]] inline void throwFailureNumber(int number, const std::string& path) {
  throw Failure(number, failureDescription(number) + ": " + path);
}
[[noreturn]] inline void throwSystemError(DWORD error, const std::string& path) {
  throwFailureNumber(failureNumber(error), path);
}
[[noreturn]] inline void throwLastError(const std::string& path) {
  throwSystemError(GetLastError(), path);
}

}  // namespace trwk::win32
