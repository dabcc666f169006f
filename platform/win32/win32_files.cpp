// Files on the wide Win32 API. Paths arrive as Windows-1252 text and are widened here,
// so the machine's ANSI code page never matters.
#include <algorithm>
#include <atomic>
#include <cstdio>

#include "platform/text_encoding.h"
#include "platform/wildcard.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_support.h"

namespace trwk::win32 {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// "C:\dir\*.tmp" -> folder "C:\dir\" (kept with its separator) and mask "*.tmp". A pattern
// without a folder gives nothing: nothing is ever looked for relative to the current folder.
std::pair<std::string, std::string> splitPattern(const std::string& pattern) {
  std::size_t sep = pattern.find_last_of("\\/");
  if (sep == std::string::npos) return {};
  return {pattern.substr(0, sep + 1), pattern.substr(sep + 1)};
}

DWORD attributesOf(const std::string& path) {
  if (path.empty()) return INVALID_FILE_ATTRIBUTES;
  QuietDriveErrors quiet;
  return GetFileAttributesW(widen(path).c_str());
}

// The attributes of the object at a path itself, a link included; throws when absent.
DWORD existingAttributes(const std::string& path) {
  if (path.empty()) throwFailureNumber(fail::kPathNotFound, path);
  QuietDriveErrors quiet;
  DWORD attrs = GetFileAttributesW(widen(path).c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) throwLastError(path);
  return attrs;
}

bool isFolder(DWORD attrs) {
  return (attrs & FILE_ATTRIBUTE_DIRECTORY) && !(attrs & FILE_ATTRIBUTE_REPARSE_POINT);
}

void writeAll(HANDLE h, const std::string& bytes, const std::string& path) {
  std::size_t done = 0;
  while (done < bytes.size()) {
    DWORD chunk = DWORD(std::min<std::size_t>(bytes.size() - done, 1u << 20));
    DWORD written = 0;
    if (!WriteFile(h, bytes.data() + done, chunk, &written, nullptr)) throwLastError(path);
    if (written == 0) throwFailureNumber(fail::kDiskFull, path);
    done += written;
  }
}

constexpr DWORD kPlainAttributes =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE;

// What may be set on an existing object: the kind bits (folder, link) are the system's.
DWORD settable(DWORD attrs) {
  attrs &= ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
  return attrs == 0 ? FILE_ATTRIBUTE_NORMAL : attrs;
}

bool setAttributesByHandle(HANDLE h, DWORD attrs) {
  FILE_BASIC_INFO info{};  // zero times leave the times as they are
  info.FileAttributes = settable(attrs);
  return SetFileInformationByHandle(h, FileBasicInfo, &info, sizeof info) != 0;
}

bool onWine() {
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

std::wstring withoutLongPrefix(std::wstring path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

// The full path with every component in its long form ("C:\PROGRA~1" -> "C:\Program Files").
std::wstring fullLongPath(const std::wstring& path) {
  DWORD need = GetFullPathNameW(path.c_str(), 0, nullptr, nullptr);
  if (need == 0) return {};
  std::wstring full(need, L'\0');
  DWORD got = GetFullPathNameW(path.c_str(), need, full.data(), nullptr);
  if (got == 0 || got >= need) return {};
  full.resize(got);
  need = GetLongPathNameW(full.c_str(), nullptr, 0);
  if (need == 0) return full;
  std::wstring longPath(need, L'\0');
  got = GetLongPathNameW(full.c_str(), longPath.data(), need);
  if (got == 0 || got >= need) return full;
  longPath.resize(got);
  return longPath;
}

// Whether an open handle reached something other than the object at the named path.
// Wine shows the host's symbolic links to files as the files themselves, opens what they
// lead to, and would delete that; the path the system resolved then differs from ours.
bool reachedThroughLink(HANDLE h, const std::wstring& named) {
  DWORD need = GetFinalPathNameByHandleW(h, nullptr, 0, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (need == 0) return true;
  std::wstring resolved(need, L'\0');
  DWORD got = GetFinalPathNameByHandleW(h, resolved.data(), need, FILE_NAME_NORMALIZED | VOLUME_NAME_DOS);
  if (got == 0 || got >= need) return true;
  resolved.resize(got);
  resolved = withoutLongPrefix(resolved);
  std::wstring expected = withoutLongPrefix(fullLongPath(named));
  if (expected.empty()) return true;
  return CompareStringOrdinal(resolved.c_str(), int(resolved.size()), expected.c_str(), int(expected.size()),
                              TRUE) != CSTR_EQUAL;
}

[[noreturn]] void throwBehindLink(const std::string& path) {
  throw Failure(fail::kPathFileAccess, failureDescription(fail::kPathFileAccess) + ": " + path +
                                           " (this system reaches it only through a link)");
}

// Opens the very object a path names, a link rather than what it leads to, for removal or
// for its attributes. Throws 75 when this system would follow a link on opening, so that
// nothing behind a link is ever changed.
Handle openItself(const std::string& path, DWORD attrs, DWORD access) {
  std::wstring wide = widen(path);
  Handle h(CreateFileW(wide.c_str(), access | FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!h.valid()) throwLastError(path);
  bool followed = false;
  if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) {
    FILE_BASIC_INFO info{};
    followed = !GetFileInformationByHandleEx(h.get(), FileBasicInfo, &info, sizeof info) ||
               !(info.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT);
  } else {
    followed = onWine() && reachedThroughLink(h.get(), wide);
  }
  if (followed) throwBehindLink(path);
  return h;
}

std::wstring folderOf(const std::wstring& path) {
  std::size_t sep = path.find_last_of(L"\\/");
  return sep == std::wstring::npos ? std::wstring() : path.substr(0, sep + 1);
}

}  // namespace


bool Win32Files::fileExists(const std::string& path) {
  DWORD attrs = attributesOf(path);
  return attrs != INVALID_FILE_ATTRIBUTES && !(attrs & FILE_ATTRIBUTE_DIRECTORY);
}

bool Win32Files::folderExists(const std::string& path) {
  DWORD attrs = attributesOf(path);
  return attrs != INVALID_FILE_ATTRIBUTES && (attrs & FILE_ATTRIBUTE_DIRECTORY);
}

std::vector<DirEntry> Win32Files::list(const std::string& pattern, const ListOptions& options) {
  std::vector<DirEntry> out;
  auto [folder, mask] = splitPattern(pattern);
  if (mask.empty()) return out;
  std::wstring wideFolder = widen(folder);
  // Every name is asked for and matched here: the system's own matching would also look
  // at the short 8.3 names ("*.htm" finding "page.html" through "PAGE~1.HTM").
  std::wstring search = wideFolder + L"*";
  QuietDriveErrors quiet;
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW(search.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return out;
  do {
    std::wstring wideName = data.cFileName;
    if (wideName == L"." || wideName == L"..") continue;
    std::string name = narrow(wideName);
    if (!matchesMask(name, mask)) continue;
    DWORD attrs = data.dwFileAttributes;
    DirEntry e;
    e.isLink = attrs & FILE_ATTRIBUTE_REPARSE_POINT;
    e.isFolder = isFolder(attrs);
    e.hidden = attrs & FILE_ATTRIBUTE_HIDDEN;
    e.system = attrs & FILE_ATTRIBUTE_SYSTEM;
    e.readOnly = attrs & FILE_ATTRIBUTE_READONLY;
    e.size = (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
    if (e.isFolder ? !options.folders : !options.files) continue;
    if (!options.hiddenAndSystem && (e.hidden || e.system)) continue;
    if (!fitsCodePage(wideName)) {
      // Give a name that leads back to the entry: its short form, when it has one.
      std::string shortPath = pathFromSystem(wideFolder + wideName);
      std::size_t sep = shortPath.find_last_of("\\/");
      e.name = sep == std::string::npos ? shortPath : shortPath.substr(sep + 1);
    } else {
      e.name = std::move(name);
    }
    out.push_back(std::move(e));
  } while (FindNextFileW(find, &data));
  FindClose(find);
  // One order on every file system and on both backends: by name, regardless of case.
  std::sort(out.begin(), out.end(), [](const DirEntry& a, const DirEntry& b) {
    std::string ua = upperCp1252(a.name), ub = upperCp1252(b.name);
    return ua != ub ? ua < ub : a.name < b.name;
  });
  return out;
}

std::optional<std::uint64_t> Win32Files::fileSize(const std::string& path) {
  if (path.empty()) return std::nullopt;
  QuietDriveErrors quiet;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<FileTime> Win32Files::lastWriteTime(const std::string& path) {
  if (path.empty()) return std::nullopt;
  QuietDriveErrors quiet;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(widen(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  // Through the time-zone rules of that date, as local time is on the POSIX side.
  SYSTEMTIME utc, local;
  if (!FileTimeToSystemTime(&data.ftLastWriteTime, &utc)) return std::nullopt;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return std::nullopt;
  return FileTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

std::string Win32Files::readAll(const std::string& path) {
  QuietDriveErrors quiet;
  Handle h(CreateFileW(widen(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.valid()) {
    DWORD error = GetLastError();
    if (folderExists(path)) throwFailureNumber(fail::kPathFileAccess, path);
    throwSystemError(error, path);
  }
  std::string bytes;
  LARGE_INTEGER size;
  if (GetFileSizeEx(h.get(), &size) && size.QuadPart > 0) bytes.reserve(std::size_t(size.QuadPart));
  char buf[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(h.get(), buf, sizeof buf, &got, nullptr)) throwLastError(path);
    if (got == 0) break;
    bytes.append(buf, got);
  }
  return bytes;
}

void Win32Files::appendText(const std::string& path, const std::string& bytes) {
  QuietDriveErrors quiet;
  // Append-only access: every write lands at the end, also when another program (zap)
  // appends to the same file at the same time.
  Handle h(CreateFileW(widen(path).c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_ALWAYS,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.valid()) {
    DWORD error = GetLastError();
    if (folderExists(path)) throwFailureNumber(fail::kPathFileAccess, path);
    throwSystemError(error, path);
  }
  writeAll(h.get(), bytes, path);
}

void Win32Files::replaceAtomically(const std::string& path, const std::string& bytes) {
  QuietDriveErrors quiet;
  std::wstring target = widen(path);
  DWORD old = GetFileAttributesW(target.c_str());
  if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_DIRECTORY))
    throwFailureNumber(fail::kPathFileAccess, path);
  // Windows refuses to rename over a read-only file; Wine would not, so ask first.
  if (old != INVALID_FILE_ATTRIBUTES && (old & FILE_ATTRIBUTE_READONLY))
    throwFailureNumber(fail::kPermissionDenied, path);
  // The new file keeps the old one's hidden and system marks.
  DWORD keep = old == INVALID_FILE_ATTRIBUTES ? 0 : old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);

  static std::atomic<unsigned> counter{0};
  std::wstring name = target.substr(folderOf(target).size());
  std::wstring temp;
  Handle h;
  for (int attempt = 0; attempt < 100 && !h.valid(); ++attempt) {
    wchar_t suffix[48];
    std::swprintf(suffix, 48, L".%lx-%x.tmp", GetCurrentProcessId(), counter++);
    temp = folderOf(target) + L"~" + name + suffix;
    h = Handle(CreateFileW(temp.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                           keep ? keep : FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid() && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  if (!h.valid()) throwLastError(path);
  try {
    writeAll(h.get(), bytes, path);
    if (!FlushFileBuffers(h.get())) throwLastError(path);
    h.reset();
    if (!MoveFileExW(temp.c_str(), target.c_str(), MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH))
      throwLastError(path);
  } catch (...) {
    h.reset();
    DeleteFileW(temp.c_str());
    throw;
  }
}

void Win32Files::createFolder(const std::string& path) {
  QuietDriveErrors quiet;
  if (!CreateDirectoryW(widen(path).c_str(), nullptr)) throwLastError(path);
}

void Win32Files::deleteFile(const std::string& path) {
  DWORD attrs = existingAttributes(path);
  if (isFolder(attrs)) throwFailureNumber(fail::kPathFileAccess, path);
  // The object itself is opened and that handle marked for deletion: a link (to a file or
  // a folder) goes as the link, and nothing can swap the object between check and removal.
  bool readOnly = attrs & FILE_ATTRIBUTE_READONLY;
  Handle h = openItself(path, attrs, DELETE | (readOnly ? FILE_WRITE_ATTRIBUTES : 0));
  if (readOnly && !setAttributesByHandle(h.get(), attrs & ~FILE_ATTRIBUTE_READONLY)) throwLastError(path);
  FILE_DISPOSITION_INFO dispose{TRUE};
  if (!SetFileInformationByHandle(h.get(), FileDispositionInfo, &dispose, sizeof dispose))
    throwLastError(path);
}

void Win32Files::removeFolder(const std::string& path) {
  DWORD attrs = existingAttributes(path);
  if (!isFolder(attrs)) throwFailureNumber(fail::kPathFileAccess, path);
  Handle h = openItself(path, attrs, DELETE);
  FILE_DISPOSITION_INFO dispose{TRUE};
  if (!SetFileInformationByHandle(h.get(), FileDispositionInfo, &dispose, sizeof dispose))
    throwLastError(path);
}

void Win32Files::copyFile(const std::string& from, const std::string& to, bool overwrite) {
  QuietDriveErrors quiet;
  if (CopyFileW(widen(from).c_str(), widen(to).c_str(), overwrite ? FALSE : TRUE)) return;
  DWORD error = GetLastError();
  // Name the end that failed: the source when it cannot be read, else the target.
  DWORD fromAttrs = attributesOf(from);
  if (fromAttrs == INVALID_FILE_ATTRIBUTES) throwSystemError(error, from);
  if (fromAttrs & FILE_ATTRIBUTE_DIRECTORY) throwFailureNumber(fail::kPathFileAccess, from);
  throwSystemError(error, to);
}

void Win32Files::clearAttributes(const std::string& path) {
  DWORD attrs = existingAttributes(path);
  // A link's archive mark is left alone; the marks that stand in a removal's way are not.
  DWORD clear =
      (attrs & FILE_ATTRIBUTE_REPARSE_POINT) ? kPlainAttributes & ~FILE_ATTRIBUTE_ARCHIVE : kPlainAttributes;
  if (!(attrs & clear)) return;
  Handle h = openItself(path, attrs, FILE_WRITE_ATTRIBUTES);
  if (!setAttributesByHandle(h.get(), attrs & ~kPlainAttributes)) throwLastError(path);
}

void Win32Files::overwriteInPlace(const std::string& path, const std::string& filler) {
  if (filler.empty()) throwFailureNumber(fail::kInvalidCall, path);
  DWORD attrs = existingAttributes(path);
  if (attrs & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT))
    throwFailureNumber(fail::kPathFileAccess, path);
  if (attrs & FILE_ATTRIBUTE_READONLY) throwFailureNumber(fail::kPermissionDenied, path);
  // OPEN_EXISTING never truncates: the old bytes are written over where they lie. The
  // object itself is opened, and refused when this system reaches it through a link.
  Handle h = openItself(path, attrs, GENERIC_WRITE);
  LARGE_INTEGER size{};
  if (!GetFileSizeEx(h.get(), &size)) throwLastError(path);

  // One big buffer of whole fillers, plus one filler more so that a write may start at
  // any offset of the pattern.
  const std::size_t unit = filler.size();
  const std::size_t chunk = ((std::size_t{1} << 20) + unit - 1) / unit * unit;
  std::string pattern;
  pattern.reserve(chunk + unit);
  while (pattern.size() < chunk + unit) pattern += filler;

  const std::uint64_t length = std::uint64_t(size.QuadPart);
  std::uint64_t done = 0;
  while (done < length) {
    std::size_t phase = std::size_t(done % unit);
    DWORD want = DWORD(std::min<std::uint64_t>(length - done, chunk));
    DWORD written = 0;
    if (!WriteFile(h.get(), pattern.data() + phase, want, &written, nullptr)) throwLastError(path);
    if (written == 0) throwFailureNumber(fail::kDiskFull, path);
    done += written;
  }
  if (!FlushFileBuffers(h.get())) throwLastError(path);
}

std::optional<std::uint64_t> Win32Files::driveFreeBytes(const std::string& root) {
  if (root.empty()) return std::nullopt;
  QuietDriveErrors quiet;
  ULARGE_INTEGER available, total, free;
  if (!GetDiskFreeSpaceExW(widen(root).c_str(), &available, &total, &free)) return std::nullopt;
  return available.QuadPart;
}

}  // namespace trwk::win32
