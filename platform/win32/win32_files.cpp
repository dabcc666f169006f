// Files on the wide Win32 API. Paths arrive as Windows-1252 text and are widened here,
// so the machine's ANSI code page never matters; every full drive path goes to the API in
// its "\\?\C:\..." form, so no path is too long.
#include <winternl.h>

#include <algorithm>
#include <atomic>
#include <cstdio>
#include <memory>

#include "platform/text_encoding.h"
#include "platform/wildcard.h"
#include "platform/win32/win32_backend.h"
#include "platform/win32/win32_support.h"

namespace trwk::win32 {
namespace {

constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;

// The form a path takes at the API. A full drive path ("C:\a\..\b", "C:/a/b") is made
// whole and becomes "\\?\C:\b", which reaches any length; anything else (relative,
// drive-relative, device, UNC) is handed on unchanged and fails, or not, as it always did.
std::wstring apiPath(const std::string& path) {
  std::wstring wide = widen(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  auto isLetter = [](wchar_t c) { return (c >= L'A' && c <= L'Z') || (c >= L'a' && c <= L'z'); };
  if (wide.size() < 3 || !isLetter(wide[0]) || wide[1] != L':' || wide[2] != L'\\') return wide;
  DWORD need = GetFullPathNameW(wide.c_str(), 0, nullptr, nullptr);
  if (need == 0) return wide;
  std::wstring full(need, L'\0');
  DWORD got = GetFullPathNameW(wide.c_str(), need, full.data(), nullptr);
  if (got == 0 || got >= need) return wide;
  full.resize(got);
  // "C:\dir\COM1" names a device, not a file on the drive.
  if (full.size() < 3 || !isLetter(full[0]) || full[1] != L':' || full[2] != L'\\') return wide;
  return L"\\\\?\\" + full;
}

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
  return GetFileAttributesW(apiPath(path).c_str());
}

// The attributes of the object at a path itself, a link included; throws when absent.
DWORD existingAttributes(const std::string& path) {
  if (path.empty()) throwFailureNumber(fail::kPathNotFound, path);
  QuietDriveErrors quiet;
  DWORD attrs = GetFileAttributesW(apiPath(path).c_str());
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

std::string readOpen(HANDLE h, const std::string& path) {
  std::string bytes;
  LARGE_INTEGER size;
  if (GetFileSizeEx(h, &size) && size.QuadPart > 0) bytes.reserve(std::size_t(size.QuadPart));
  char buf[65536];
  for (;;) {
    DWORD got = 0;
    if (!ReadFile(h, buf, sizeof buf, &got, nullptr)) throwLastError(path);
    if (got == 0) break;
    bytes.append(buf, got);
  }
  return bytes;
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

std::uint64_t fileIndex(const BY_HANDLE_FILE_INFORMATION& info) {
  return (std::uint64_t(info.nFileIndexHigh) << 32) | info.nFileIndexLow;
}

// Marks an open object for deletion. Where the system can, its name goes at once (POSIX
// semantics), so that a folder whose entries were just removed is empty even while some
// other program still holds one of them; elsewhere it goes when the last handle closes.
DWORD dispose(HANDLE h) {
  struct DispositionEx {
    DWORD flags;
  } now{0x1 | 0x2};  // FILE_DISPOSITION_FLAG_DELETE | FILE_DISPOSITION_FLAG_POSIX_SEMANTICS
  constexpr auto kDispositionEx = FILE_INFO_BY_HANDLE_CLASS(21);  // FileDispositionInfoEx, Windows 10
  if (SetFileInformationByHandle(h, kDispositionEx, &now, sizeof now)) return ERROR_SUCCESS;
  DWORD error = GetLastError();
  if (error != ERROR_INVALID_PARAMETER && error != ERROR_INVALID_FUNCTION && error != ERROR_NOT_SUPPORTED)
    return error;
  FILE_DISPOSITION_INFO onClose{TRUE};
  return SetFileInformationByHandle(h, FileDispositionInfo, &onClose, sizeof onClose) ? ERROR_SUCCESS
                                                                                      : GetLastError();
}

bool onWine() {
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

// The native calls the walk needs, found at run time in ntdll (always loaded).
struct Ntdll {
  decltype(&NtOpenFile) openFile = nullptr;
  decltype(&NtQueryObject) queryObject = nullptr;
  decltype(&NtQueryInformationFile) queryFile = nullptr;
  decltype(&RtlNtStatusToDosError) statusToError = nullptr;
};

const Ntdll& ntdll() {
  static const Ntdll calls = [] {
    HMODULE module = GetModuleHandleW(L"ntdll.dll");
    auto find = [module](const char* name) { return reinterpret_cast<void*>(GetProcAddress(module, name)); };
    Ntdll found;
    found.openFile = reinterpret_cast<decltype(&NtOpenFile)>(find("NtOpenFile"));
    found.queryObject = reinterpret_cast<decltype(&NtQueryObject)>(find("NtQueryObject"));
    found.queryFile = reinterpret_cast<decltype(&NtQueryInformationFile)>(find("NtQueryInformationFile"));
    found.statusToError = reinterpret_cast<decltype(&RtlNtStatusToDosError)>(find("RtlNtStatusToDosError"));
    return found;
  }();
  return calls;
}

constexpr NTSTATUS kBufferOverflow = NTSTATUS(0x80000005L);
constexpr NTSTATUS kInfoLengthMismatch = NTSTATUS(0xC0000004L);
constexpr NTSTATUS kBufferTooSmall = NTSTATUS(0xC0000023L);
constexpr NTSTATUS kObjectNameNotFound = NTSTATUS(0xC0000034L);
constexpr NTSTATUS kObjectPathNotFound = NTSTATUS(0xC000003AL);
constexpr NTSTATUS kDeletePending = NTSTATUS(0xC0000056L);
constexpr NTSTATUS kFileIsADirectory = NTSTATUS(0xC00000BAL);
constexpr NTSTATUS kNotADirectory = NTSTATUS(0xC0000103L);

// Opens one entry of an open folder by its exact name, relative to the folder's handle, so
// that whatever happens to the path above it the entry opened is the one listed.
NTSTATUS openEntry(HANDLE folder, const std::wstring& name, ACCESS_MASK access, ULONG options, Handle& out) {
  if (!ntdll().openFile) return NTSTATUS(0xC0000002L);  // not implemented
  UNICODE_STRING text;
  text.Buffer = const_cast<PWSTR>(name.c_str());
  text.Length = text.MaximumLength = USHORT(name.size() * sizeof(wchar_t));
  OBJECT_ATTRIBUTES attributes;
  InitializeObjectAttributes(&attributes, &text, OBJ_CASE_INSENSITIVE, folder, nullptr);
  IO_STATUS_BLOCK io{};
  HANDLE h = nullptr;
  NTSTATUS status = ntdll().openFile(
      &h, access | SYNCHRONIZE, &attributes, &io, kShareAll,
      options | FILE_OPEN_REPARSE_POINT | FILE_OPEN_FOR_BACKUP_INTENT | FILE_SYNCHRONOUS_IO_NONALERT);
  if (NT_SUCCESS(status)) out = Handle(h);
  return status;
}

// What an open object is: its attributes and its file number. (GetFileInformationByHandle
// would tell both, but under Wine it also asks the volume, which costs a hundred times more.)
bool describe(HANDLE h, DWORD& attrs, std::uint64_t& index) {
  FILE_BASIC_INFO basic{};
  FILE_INTERNAL_INFORMATION internal{};
  IO_STATUS_BLOCK io{};
  if (!GetFileInformationByHandleEx(h, FileBasicInfo, &basic, sizeof basic)) return false;
  if (!ntdll().queryFile ||
      !NT_SUCCESS(ntdll().queryFile(h, &io, &internal, sizeof internal, FileInternalInformation))) {
    SetLastError(ERROR_INVALID_FUNCTION);
    return false;
  }
  attrs = basic.FileAttributes;
  index = std::uint64_t(internal.IndexNumber.QuadPart);
  return true;
}

DWORD errorOfStatus(NTSTATUS status) {
  return ntdll().statusToError ? ntdll().statusToError(status) : ERROR_ACCESS_DENIED;
}

std::wstring withoutLongPrefix(std::wstring path) {
  if (path.rfind(L"\\\\?\\UNC\\", 0) == 0) return L"\\\\" + path.substr(8);
  if (path.rfind(L"\\\\?\\", 0) == 0) return path.substr(4);
  return path;
}

bool sameText(const std::wstring& a, const std::wstring& b) {
  return CompareStringOrdinal(a.c_str(), int(a.size()), b.c_str(), int(b.size()), TRUE) == CSTR_EQUAL;
}

std::wstring joinWide(const std::wstring& folder, const std::wstring& name) {
  return !folder.empty() && folder.back() == L'\\' ? folder + name : folder + L"\\" + name;
}

// Under Wine: the path of what a handle reached as the system resolved it ("C:\dir\file"),
// empty when it cannot tell. Its GetFinalPathNameByHandleW gives up past MAX_PATH, so the
// object's name is asked for directly.
std::wstring wineResolvedPath(HANDLE h) {
  if (!ntdll().queryObject) return {};
  alignas(8) char small[2048];
  std::unique_ptr<char[]> large;
  void* buf = small;
  ULONG size = sizeof small, got = 0;
  NTSTATUS status = ntdll().queryObject(h, ObjectNameInformation, buf, size, &got);
  if (status == kBufferOverflow || status == kInfoLengthMismatch || status == kBufferTooSmall) {
    size = ULONG(sizeof(UNICODE_STRING) + 65536 + 16);
    large.reset(new char[size]);
    buf = large.get();
    status = ntdll().queryObject(h, ObjectNameInformation, buf, size, &got);
  }
  if (!NT_SUCCESS(status)) return {};
  const UNICODE_STRING& name = *static_cast<const UNICODE_STRING*>(buf);
  std::wstring path(name.Buffer, name.Length / sizeof(wchar_t));
  if (path.rfind(L"\\??\\", 0) == 0) path.erase(0, 4);
  return path;
}

// Under Wine, whether what a handle reached (its resolved path given) is other than the
// object at the named (full, "\\?\") path. Wine shows the host's symbolic links to files
// as the files themselves, opens what they lead to, and would delete that: then the
// resolved path is not the named folder's resolved path plus the name. (Folders above may
// be links; that is no matter, as long as the last step is not one.)
bool resolvesElsewhere(const std::wstring& resolved, const std::wstring& named) {
  std::wstring path = withoutLongPrefix(named);
  while (path.size() > 3 && path.back() == L'\\') path.pop_back();
  std::size_t sep = path.find_last_of(L'\\');
  if (resolved.empty() || sep == std::wstring::npos) return true;
  if (sep + 1 == path.size()) return !sameText(resolved, path);  // a drive root
  Handle folder(CreateFileW((L"\\\\?\\" + path.substr(0, sep + 1)).c_str(), FILE_READ_ATTRIBUTES, kShareAll,
                            nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!folder.valid()) return true;
  std::wstring folderResolved = wineResolvedPath(folder.get());
  if (folderResolved.empty()) return true;
  if (sameText(resolved, joinWide(folderResolved, path.substr(sep + 1)))) return false;
  // The name may have been given in its short form: the folder's listing has its long one.
  WIN32_FIND_DATAW data;
  HANDLE find = FindFirstFileExW((L"\\\\?\\" + path).c_str(), FindExInfoBasic, &data, FindExSearchNameMatch,
                                 nullptr, 0);
  if (find == INVALID_HANDLE_VALUE) return true;
  FindClose(find);
  return !sameText(resolved, joinWide(folderResolved, data.cFileName));
}

bool reachedThroughLink(HANDLE h, const std::wstring& named) {
  return resolvesElsewhere(wineResolvedPath(h), named);
}

[[noreturn]] void throwBehindLink(const std::string& path) {
  throw Failure(fail::kPathFileAccess, failureDescription(fail::kPathFileAccess) + ": " + path +
                                           " (this system reaches it only through a link)");
}

// Opens the very object a path names, a link rather than what it leads to, for removal or
// for its attributes. Throws 75 when this system would follow a link on opening, so that
// nothing behind a link is ever changed.
Handle openItself(const std::string& path, DWORD attrs, DWORD access) {
  std::wstring wide = apiPath(path);
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

// Whether the object at a full path is a link (as this system can tell: under Wine a host
// link to a file looks like the file).
bool linkStandsAt(const std::wstring& api, DWORD attrs) {
  if (attrs & FILE_ATTRIBUTE_REPARSE_POINT) return true;
  if (!onWine()) return false;
  Handle h(CreateFileW(api.c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  return h.valid() && reachedThroughLink(h.get(), api);
}

std::wstring folderOf(const std::wstring& path) {
  std::size_t sep = path.find_last_of(L"\\/");
  return sep == std::wstring::npos ? std::wstring() : path.substr(0, sep + 1);
}

// Writes a new file beside `target` (a full API path), flushed, with the given marks and
// last-write time (0: now), and renames it onto the target's name: what stood there, a link
// included, is replaced as a name, and what a link leads to is never opened. Without
// `replace` an existing name is refused (58).
void writeAtomically(const std::wstring& target, const std::string& path, const std::string& bytes,
                     DWORD attrs, LONGLONG lastWrite, bool replace) {
  static std::atomic<unsigned> counter{0};
  const std::wstring folder = folderOf(target);
  // The temporary name stays within the 255 characters a name may have.
  const std::wstring name = target.substr(folder.size(), 120);
  std::wstring temp;
  Handle h;
  for (int attempt = 0; attempt < 100 && !h.valid(); ++attempt) {
    wchar_t suffix[48];
    std::swprintf(suffix, 48, L".%lx-%x.tmp", GetCurrentProcessId(), counter++);
    temp = folder + L"~" + name + suffix;
    h = Handle(CreateFileW(temp.c_str(), GENERIC_WRITE | DELETE, 0, nullptr, CREATE_NEW,
                           FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!h.valid() && GetLastError() != ERROR_FILE_EXISTS && GetLastError() != ERROR_ALREADY_EXISTS) break;
  }
  if (!h.valid()) throwLastError(path);
  try {
    writeAll(h.get(), bytes, path);
    if (!FlushFileBuffers(h.get())) throwLastError(path);
    FILE_BASIC_INFO info{};  // zero times are left as they are
    info.LastWriteTime.QuadPart = lastWrite;
    info.FileAttributes = settable(attrs & kPlainAttributes);
    if ((lastWrite != 0 || (attrs & kPlainAttributes)) &&
        !SetFileInformationByHandle(h.get(), FileBasicInfo, &info, sizeof info))
      throwLastError(path);
    h.reset();
    DWORD flags = MOVEFILE_WRITE_THROUGH | (replace ? MOVEFILE_REPLACE_EXISTING : 0);
    if (!MoveFileExW(temp.c_str(), target.c_str(), flags)) {
      DWORD error = GetLastError();
      if (!replace && (error == ERROR_ALREADY_EXISTS || error == ERROR_FILE_EXISTS))
        throwFailureNumber(fail::kFileExists, path);
      throwSystemError(error, path);
    }
  } catch (...) {
    // Through the handle while there is one; the name is ours alone either way.
    if (!h.valid() || dispose(h.get()) != ERROR_SUCCESS) {
      h.reset();
      SetFileAttributesW(temp.c_str(), FILE_ATTRIBUTE_NORMAL);
      DeleteFileW(temp.c_str());
    }
    throw;
  }
}

std::optional<FileTime> localTimeOf(const FILETIME& utcTime) {
  // Through the time-zone rules of that date, as local time is on the POSIX side.
  SYSTEMTIME utc, local;
  if (!FileTimeToSystemTime(&utcTime, &utc)) return std::nullopt;
  if (!SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) return std::nullopt;
  return FileTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute, local.wSecond};
}

std::string joinWindows(const std::string& folder, const std::string& name) {
  return !folder.empty() && (folder.back() == '\\' || folder.back() == '/') ? folder + name
                                                                            : folder + "\\" + name;
}

// A removal walk over open folder handles: each folder is listed through its handle, a
// batch at a time, and each entry opened relative to it and checked by its own handle
// before anything is done to it.
class HandleWalk {
 public:
  HandleWalk(const WalkRequest& request, WalkSink& sink) : request_(request), sink_(sink) {}

  // Removes what the open folder holds (as far as the request and the sink want); true
  // when nothing stayed. `resolved` is the folder's own resolved path under Wine.
  bool clear(HANDLE folder, const std::string& path, const std::wstring& resolved, int depth) {
    if (depth >= kMaxDepth) {
      return fail(fail::kPathFileAccess, path + " (folders nested too deep; left alone)");
    }
    char* buf = buffer(depth);
    bool all = true, first = true, linkLeft = false;
    while (!stopped_) {
      if (!GetFileInformationByHandleEx(
              folder, first ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo, buf, kBufferSize)) {
        DWORD error = GetLastError();
        if (error == ERROR_NO_MORE_FILES || (first && error == ERROR_FILE_NOT_FOUND)) break;
        return fail(failureNumber(error), path);
      }
      first = false;
      for (std::size_t at = 0;;) {
        const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buf + at);
        std::wstring name(info.FileName, info.FileNameLength / sizeof(wchar_t));
        if (name != L"." && name != L"..") {
          all = removeEntry(folder, info, name, path, resolved, depth, linkLeft) && all;
          if (stopped_) break;
        }
        if (info.NextEntryOffset == 0) break;
        at += info.NextEntryOffset;
      }
    }
    return all && !stopped_;
  }

  // Removes an emptied folder through its handle.
  bool removeFolder(HANDLE folder, const std::string& path, const DirEntry& entry, int depth) {
    if (request_.dryRun) {
      sink_.removed(path, entry, depth);
      return true;
    }
    DWORD marks = (entry.hidden ? FILE_ATTRIBUTE_HIDDEN : 0) | (entry.system ? FILE_ATTRIBUTE_SYSTEM : 0);
    if (entry.readOnly && !setAttributesByHandle(folder, marks))
      return fail(failureNumber(GetLastError()), path);
    if (DWORD error = dispose(folder)) {
      // Wine does not list a host link that leads nowhere, yet it keeps its folder.
      if (error == ERROR_DIR_NOT_EMPTY && onWine() && listsNothing(folder)) {
        sink_.leftAlone(path, "it holds links this system cannot see");
        return false;
      }
      return fail(failureNumber(error), path);
    }
    sink_.removed(path, entry, depth);
    return true;
  }

 private:
  static constexpr int kMaxDepth = 1000;
  static constexpr DWORD kBufferSize = 64 * 1024;

  char* buffer(int depth) {
    while (buffers_.size() <= std::size_t(depth)) buffers_.emplace_back(new std::uint64_t[kBufferSize / 8]);
    return reinterpret_cast<char*>(buffers_[std::size_t(depth)].get());
  }

  bool removeEntry(HANDLE folder, const FILE_ID_BOTH_DIR_INFO& info, const std::wstring& wideName,
                   const std::string& folderPath, const std::wstring& folderResolved, int depth,
                   bool& linkLeft) {
    const DWORD attrs = info.FileAttributes;
    DirEntry entry;
    entry.name = narrow(wideName);
    entry.isLink = attrs & FILE_ATTRIBUTE_REPARSE_POINT;
    entry.isFolder = isFolder(attrs);
    entry.hidden = attrs & FILE_ATTRIBUTE_HIDDEN;
    entry.system = attrs & FILE_ATTRIBUTE_SYSTEM;
    entry.readOnly = attrs & FILE_ATTRIBUTE_READONLY;
    entry.size = std::uint64_t(info.EndOfFile.QuadPart);
    if (depth == 0) {
      if (!matchesMask(entry.name, request_.mask)) return false;
      if (entry.isFolder ? !request_.folders : !request_.files) return false;
      if (!request_.hiddenAndSystem && (entry.hidden || entry.system)) return false;
      if (request_.withTimes) {
        FILETIME written{DWORD(info.LastWriteTime.QuadPart),
                         DWORD(std::uint64_t(info.LastWriteTime.QuadPart) >> 32)};
        entry.lastWrite = localTimeOf(written).value_or(FileTime{});
      }
    }
    const std::string path = joinWindows(folderPath, entry.name);
    if (!sink_.select(path, entry, depth)) return false;

    const bool dry = request_.dryRun;
    ACCESS_MASK access = FILE_READ_ATTRIBUTES | (dry ? 0 : DELETE) |
                         (entry.readOnly && !dry ? FILE_WRITE_ATTRIBUTES : 0) |
                         (entry.isFolder ? FILE_LIST_DIRECTORY : 0);
    ULONG kind = entry.isLink ? 0 : entry.isFolder ? FILE_DIRECTORY_FILE : FILE_NON_DIRECTORY_FILE;
    Handle h;
    NTSTATUS status = openEntry(folder, wideName, access, kind, h);
    if (!NT_SUCCESS(status)) {
      if (status == kObjectNameNotFound || status == kObjectPathNotFound || status == kDeletePending)
        return true;
      if (status == kNotADirectory || status == kFileIsADirectory) return changed(path);
      return fail(failureNumber(errorOfStatus(status)), path);
    }
    DWORD heldAttrs = 0;
    std::uint64_t heldIndex = 0;
    if (!describe(h.get(), heldAttrs, heldIndex)) return fail(failureNumber(GetLastError()), path);
    const bool heldLink = heldAttrs & FILE_ATTRIBUTE_REPARSE_POINT;
    // Wine opens what a host link to a folder leads to, whatever it is asked.
    if (entry.isLink && !heldLink) return onWine() ? leaveLink(path, linkLeft) : changed(path);
    if (heldLink != entry.isLink ||
        (heldAttrs & FILE_ATTRIBUTE_DIRECTORY) != (attrs & FILE_ATTRIBUTE_DIRECTORY))
      return changed(path);
    const std::uint64_t listedId = std::uint64_t(info.FileId.QuadPart);
    if (listedId != 0 && listedId != heldIndex) return changed(path);
    std::wstring resolved;
    if (onWine()) {
      // A host link to a file is listed and opened as that file: only where the system
      // resolved the name tells it.
      resolved = wineResolvedPath(h.get());
      if (resolved.empty() || !sameText(resolved, joinWide(folderResolved, wideName)))
        return leaveLink(path, linkLeft);
    }

    if (entry.isFolder) {
      BY_HANDLE_FILE_INFORMATION held;  // for the volume
      if (!GetFileInformationByHandle(h.get(), &held)) return fail(failureNumber(GetLastError()), path);
      if (!sink_.mayEnter(path, FolderId{held.dwVolumeSerialNumber, fileIndex(held)})) return false;
      if (!clear(h.get(), path, resolved, depth + 1)) return false;
      return removeFolder(h.get(), path, entry, depth);
    }
    if (!dry) {
      if (entry.readOnly && !setAttributesByHandle(h.get(), heldAttrs & ~FILE_ATTRIBUTE_READONLY))
        return fail(failureNumber(GetLastError()), path);
      if (DWORD error = dispose(h.get())) return fail(failureNumber(error), path);
    }
    sink_.removed(path, entry, depth);
    return true;
  }

  // Whether an open folder lists no entry at all.
  bool listsNothing(HANDLE folder) {
    alignas(8) char buf[4096];
    bool first = true;
    while (GetFileInformationByHandleEx(
        folder, first ? FileIdBothDirectoryRestartInfo : FileIdBothDirectoryInfo, buf, sizeof buf)) {
      first = false;
      for (std::size_t at = 0;;) {
        const auto& info = *reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(buf + at);
        std::wstring name(info.FileName, info.FileNameLength / sizeof(wchar_t));
        if (name != L"." && name != L"..") return false;
        if (info.NextEntryOffset == 0) break;
        at += info.NextEntryOffset;
      }
    }
    return GetLastError() == ERROR_NO_MORE_FILES || GetLastError() == ERROR_FILE_NOT_FOUND;
  }

  bool leaveLink(const std::string& path, bool& told) {
    if (!told) sink_.leftAlone(path, "a link this system cannot remove as itself");
    told = true;
    return false;
  }

  bool changed(const std::string& path) {
    return fail(fail::kPathFileAccess, path + " (it changed while it was being removed; left alone)");
  }

  bool fail(int number, const std::string& what) {
    sink_.failed(Failure(number, failureDescription(number) + ": " + what));
    if (request_.stopAtFailure) stopped_ = true;
    return false;
  }

  const WalkRequest& request_;
  WalkSink& sink_;
  bool stopped_ = false;
  std::vector<std::unique_ptr<std::uint64_t[]>> buffers_;  // one listing batch per level
};

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
  std::wstring wideFolder = apiPath(folder);
  // Every name is asked for and matched here: the system's own matching would also look
  // at the short 8.3 names ("*.htm" finding "page.html" through "PAGE~1.HTM").
  // A name without wildcards is asked for by itself; the match on the long name below
  // still holds (the system may answer a short name).
  std::wstring search = wideFolder + (mask.find_first_of("*?<>\"") == std::string::npos ? widen(mask) : L"*");
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
    e.lastWrite = localTimeOf(data.ftLastWriteTime).value_or(FileTime{});
    if (!fitsCodePage(wideName)) {
      // Give a name that leads back to the entry: its short form, when it has one.
      std::string shortPath = pathFromSystem(wideFolder + wideName);
      std::size_t sep = shortPath.find_last_of("\\/");
      e.name = sep == std::string::npos ? shortPath : shortPath.substr(sep + 1);
    } else {
      e.name = std::move(name);
    }
    out.push_back(std::move(e));
  } while ((options.limit == 0 || out.size() < options.limit) && FindNextFileW(find, &data));
  FindClose(find);
  sortByName(out);
  return out;
}

std::optional<std::uint64_t> Win32Files::fileSize(const std::string& path) {
  if (path.empty()) return std::nullopt;
  QuietDriveErrors quiet;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(apiPath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  if (data.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::nullopt;
  return (std::uint64_t(data.nFileSizeHigh) << 32) | data.nFileSizeLow;
}

std::optional<FileTime> Win32Files::lastWriteTime(const std::string& path) {
  if (path.empty()) return std::nullopt;
  QuietDriveErrors quiet;
  WIN32_FILE_ATTRIBUTE_DATA data;
  if (!GetFileAttributesExW(apiPath(path).c_str(), GetFileExInfoStandard, &data)) return std::nullopt;
  return localTimeOf(data.ftLastWriteTime);
}

std::string Win32Files::readAll(const std::string& path) {
  QuietDriveErrors quiet;
  Handle h(CreateFileW(apiPath(path).c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_ATTRIBUTE_NORMAL, nullptr));
  if (!h.valid()) {
    DWORD error = GetLastError();
    if (folderExists(path)) throwFailureNumber(fail::kPathFileAccess, path);
    throwSystemError(error, path);
  }
  return readOpen(h.get(), path);
}

void Win32Files::appendText(const std::string& path, const std::string& bytes) {
  QuietDriveErrors quiet;
  // Append-only access: every write lands at the end, also when another program (zap)
  // appends to the same file at the same time.
  Handle h(CreateFileW(apiPath(path).c_str(), FILE_APPEND_DATA, kShareAll, nullptr, OPEN_ALWAYS,
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
  std::wstring target = apiPath(path);
  DWORD old = GetFileAttributesW(target.c_str());
  DWORD keep = 0;
  if (old != INVALID_FILE_ATTRIBUTES) {
    if (old & FILE_ATTRIBUTE_DIRECTORY) throwFailureNumber(fail::kPathFileAccess, path);
    // The marks a link shows may be those of what it leads to; a link is simply replaced.
    constexpr DWORD kMarks = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;
    if ((old & kMarks) && !linkStandsAt(target, old)) {
      // Windows refuses to rename over a read-only file; Wine would not, so ask first.
      if (old & FILE_ATTRIBUTE_READONLY) throwFailureNumber(fail::kPermissionDenied, path);
      // The new file keeps the old one's hidden and system marks.
      keep = old & (FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    }
  }
  writeAtomically(target, path, bytes, keep, 0, true);
}

void Win32Files::createFolder(const std::string& path) {
  QuietDriveErrors quiet;
  if (!CreateDirectoryW(apiPath(path).c_str(), nullptr)) throwLastError(path);
}

void Win32Files::deleteFile(const std::string& path) {
  DWORD attrs = existingAttributes(path);
  if (isFolder(attrs)) throwFailureNumber(fail::kPathFileAccess, path);
  // The object itself is opened and that handle marked for deletion: a link (to a file or
  // a folder) goes as the link, and nothing can swap the object between check and removal.
  bool readOnly = attrs & FILE_ATTRIBUTE_READONLY;
  Handle h = openItself(path, attrs, DELETE | (readOnly ? FILE_WRITE_ATTRIBUTES : 0));
  if (readOnly && !setAttributesByHandle(h.get(), attrs & ~FILE_ATTRIBUTE_READONLY)) throwLastError(path);
  if (DWORD error = dispose(h.get())) throwSystemError(error, path);
}

void Win32Files::removeFolder(const std::string& path) {
  DWORD attrs = existingAttributes(path);
  if (!isFolder(attrs)) throwFailureNumber(fail::kPathFileAccess, path);
  Handle h = openItself(path, attrs, DELETE);
  if (DWORD error = dispose(h.get())) throwSystemError(error, path);
}

void Win32Files::copyFile(const std::string& from, const std::string& to, bool overwrite) {
  QuietDriveErrors quiet;
  // The source is read through its own handle, never through a link.
  DWORD fromAttrs = existingAttributes(from);
  if (fromAttrs & FILE_ATTRIBUTE_DIRECTORY) throwFailureNumber(fail::kPathFileAccess, from);
  if (fromAttrs & FILE_ATTRIBUTE_REPARSE_POINT) throwBehindLink(from);
  std::wstring source = apiPath(from);
  Handle in(CreateFileW(source.c_str(), GENERIC_READ, kShareAll, nullptr, OPEN_EXISTING,
                        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  if (!in.valid()) throwLastError(from);
  FILE_BASIC_INFO held{};
  if (!GetFileInformationByHandleEx(in.get(), FileBasicInfo, &held, sizeof held)) throwLastError(from);
  if (held.FileAttributes & FILE_ATTRIBUTE_DIRECTORY) throwFailureNumber(fail::kPathFileAccess, from);
  if ((held.FileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) ||
      (onWine() && reachedThroughLink(in.get(), source)))
    throwBehindLink(from);

  // A link at the target is replaced by the copy; what it leads to is never written.
  std::wstring target = apiPath(to);
  DWORD old = GetFileAttributesW(target.c_str());
  if (old != INVALID_FILE_ATTRIBUTES) {
    if (!overwrite) throwFailureNumber(fail::kFileExists, to);
    if (old & FILE_ATTRIBUTE_DIRECTORY) throwFailureNumber(fail::kPathFileAccess, to);
    if ((old & FILE_ATTRIBUTE_READONLY) && !linkStandsAt(target, old))
      throwFailureNumber(fail::kPermissionDenied, to);
  }
  std::string bytes = readOpen(in.get(), from);
  in.reset();
  // The copy keeps the original's marks and last-write time, as the system's own copy does.
  writeAtomically(target, to, bytes, held.FileAttributes, held.LastWriteTime.QuadPart, overwrite);
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
  FILE_STANDARD_INFO held{};
  if (!GetFileInformationByHandleEx(h.get(), FileStandardInfo, &held, sizeof held)) throwLastError(path);
  // Another name of the same file would lose its contents too.
  if (held.NumberOfLinks > 1)
    throw Failure(fail::kPathFileAccess, failureDescription(fail::kPathFileAccess) + ": " + path +
                                             " (it has other names; not overwritten)");

  // One big buffer of whole fillers, plus one filler more so that a write may start at
  // any offset of the pattern.
  const std::size_t unit = filler.size();
  const std::size_t chunk = ((std::size_t{1} << 20) + unit - 1) / unit * unit;
  std::string pattern;
  pattern.reserve(chunk + unit);
  while (pattern.size() < chunk + unit) pattern += filler;

  const std::uint64_t length = std::uint64_t(held.EndOfFile.QuadPart);
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
  if (!GetDiskFreeSpaceExW(apiPath(root).c_str(), &available, &total, &free)) return std::nullopt;
  return available.QuadPart;
}

std::optional<FolderId> Win32Files::folderId(const std::string& path) {
  if (path.empty()) return std::nullopt;
  QuietDriveErrors quiet;
  // Links on the way are followed, as opening the folder would follow them.
  Handle h(CreateFileW(apiPath(path).c_str(), FILE_READ_ATTRIBUTES, kShareAll, nullptr, OPEN_EXISTING,
                       FILE_FLAG_BACKUP_SEMANTICS, nullptr));
  BY_HANDLE_FILE_INFORMATION info;
  if (!h.valid() || !GetFileInformationByHandle(h.get(), &info)) return std::nullopt;
  if (!(info.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY)) return std::nullopt;
  return FolderId{info.dwVolumeSerialNumber, fileIndex(info)};
}

void Win32Files::removeWithin(const WalkRequest& request, WalkSink& sink) {
  const std::string& folder = request.folder;
  if (folder.empty()) throwFailureNumber(fail::kPathNotFound, folder);
  QuietDriveErrors quiet;
  const std::wstring api = apiPath(folder);
  DWORD attrs = GetFileAttributesW(api.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) {
    DWORD error = GetLastError();
    throwFailureNumber(error == ERROR_FILE_NOT_FOUND ? fail::kPathNotFound : failureNumber(error), folder);
  }
  if (!isFolder(attrs)) throwFailureNumber(fail::kPathFileAccess, folder);  // a file or a link
  const bool driveRoot = withoutLongPrefix(api).size() <= 3;
  const bool removeSelf = request.removeFolder && !driveRoot;
  const bool openToRemove = removeSelf && !request.dryRun;

  // The folder itself, never what a link there leads to; DELETE only when it is to go.
  DWORD access = FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE;
  if (openToRemove) access |= DELETE | ((attrs & FILE_ATTRIBUTE_READONLY) ? FILE_WRITE_ATTRIBUTES : 0);
  auto open = [&](DWORD rights) {
    return Handle(CreateFileW(api.c_str(), rights, kShareAll, nullptr, OPEN_EXISTING,
                              FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT, nullptr));
  };
  Handle h = open(access);
  if (!h.valid() && openToRemove && GetLastError() == ERROR_ACCESS_DENIED)
    h = open(FILE_LIST_DIRECTORY | FILE_READ_ATTRIBUTES | SYNCHRONIZE);  // emptied, then refused at the end
  if (!h.valid()) {
    DWORD error = GetLastError();
    throwFailureNumber(error == ERROR_FILE_NOT_FOUND ? fail::kPathNotFound : failureNumber(error), folder);
  }
  BY_HANDLE_FILE_INFORMATION held;
  if (!GetFileInformationByHandle(h.get(), &held)) throwLastError(folder);
  if (!isFolder(held.dwFileAttributes)) throwFailureNumber(fail::kPathFileAccess, folder);
  std::wstring resolved;
  if (onWine()) {
    resolved = wineResolvedPath(h.get());
    if (resolvesElsewhere(resolved, api)) throwFailureNumber(fail::kPathFileAccess, folder);
  }
  if (!sink.mayEnter(folder, FolderId{held.dwVolumeSerialNumber, fileIndex(held)})) return;

  HandleWalk walk(request, sink);
  if (!walk.clear(h.get(), folder, resolved, 0) || !removeSelf) return;
  DirEntry self;
  std::string trimmed = folder;
  while (!trimmed.empty() && (trimmed.back() == '\\' || trimmed.back() == '/')) trimmed.pop_back();
  self.name = trimmed.substr(trimmed.find_last_of("\\/") + 1);
  self.isFolder = true;
  self.readOnly = held.dwFileAttributes & FILE_ATTRIBUTE_READONLY;
  self.hidden = held.dwFileAttributes & FILE_ATTRIBUTE_HIDDEN;
  self.system = held.dwFileAttributes & FILE_ATTRIBUTE_SYSTEM;
  walk.removeFolder(h.get(), folder, self, -1);
}

}  // namespace trwk::win32
