// Shell services on the wide Win32 API: known folders, starting programs, the recycle bin.
#include "platform/win32/win32_support.h"
// after windows.h:
#include <shellapi.h>
#include <shlobj.h>

#include "platform/win32/win32_backend.h"

namespace trwk::win32 {
namespace {

std::string withoutTrailingSeparator(std::wstring path) {
  while (!path.empty() && (path.back() == L'\\' || path.back() == L'/')) path.pop_back();
  return pathFromSystem(path);
}

int csidlOf(KnownFolder id) {
  switch (id) {
    case KnownFolder::History: return CSIDL_HISTORY;
    case KnownFolder::InternetCache: return CSIDL_INTERNET_CACHE;
    case KnownFolder::Cookies: return CSIDL_COOKIES;
    case KnownFolder::Recent: return CSIDL_RECENT;
    case KnownFolder::Windows: return CSIDL_WINDOWS;
    case KnownFolder::System: return CSIDL_SYSTEM;
    case KnownFolder::ProgramFiles: return CSIDL_PROGRAM_FILES;
    case KnownFolder::AppData: return CSIDL_APPDATA;
    case KnownFolder::ProgramFilesX86: return CSIDL_PROGRAM_FILESX86;
    case KnownFolder::SystemX86: return CSIDL_SYSTEMX86;
    case KnownFolder::ProgramData: return CSIDL_COMMON_APPDATA;
    case KnownFolder::Profile: return CSIDL_PROFILE;
    case KnownFolder::Desktop: return CSIDL_DESKTOPDIRECTORY;
    case KnownFolder::Documents: return CSIDL_PERSONAL;
    case KnownFolder::LocalAppData: return CSIDL_LOCAL_APPDATA;
    case KnownFolder::Temp:
    case KnownFolder::Profiles: break;
  }
  return -1;
}

std::optional<std::string> shellFolder(int csidl) {
  wchar_t buf[MAX_PATH + 1] = {};
  if (csidl < 0 || SHGetFolderPathW(nullptr, csidl, nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK)
    return std::nullopt;
  std::string path = withoutTrailingSeparator(buf);
  if (path.empty()) return std::nullopt;
  return path;
}

// The folder that holds every user's profile ("C:\Users"); where the shell cannot say,
// the one that holds this user's.
std::optional<std::string> profilesFolder() {
  PWSTR found = nullptr;
  if (SUCCEEDED(SHGetKnownFolderPath(FOLDERID_UserProfiles, 0, nullptr, &found)) && found) {
    std::string path = withoutTrailingSeparator(found);
    CoTaskMemFree(found);
    if (!path.empty()) return path;
  } else {
    CoTaskMemFree(found);
  }
  std::optional<std::string> profile = shellFolder(CSIDL_PROFILE);
  if (!profile) return std::nullopt;
  std::size_t sep = profile->find_last_of('\\');
  if (sep == std::string::npos || sep < 3) return std::nullopt;  // a profile at a drive root has no holder
  return profile->substr(0, sep);
}

std::optional<std::string> tempFolder() {
  std::wstring buf(MAX_PATH + 1, L'\0');
  for (;;) {
    DWORD got = GetTempPathW(DWORD(buf.size()), buf.data());
    if (got == 0) return std::nullopt;
    if (got < buf.size()) {
      buf.resize(got);
      break;
    }
    buf.assign(got + 1, L'\0');
  }
  std::string path = withoutTrailingSeparator(buf);
  if (path.empty()) return std::nullopt;
  return path;
}

}  // namespace

std::optional<std::string> Win32Desktop::knownFolder(KnownFolder id) {
  if (id == KnownFolder::Temp) return tempFolder();
  if (id == KnownFolder::Profiles) return profilesFolder();
  return shellFolder(csidlOf(id));
}

std::string Win32Desktop::programFolder() {
  std::wstring buf(MAX_PATH, L'\0');
  for (;;) {
    DWORD got = GetModuleFileNameW(nullptr, buf.data(), DWORD(buf.size()));
    if (got == 0) return {};
    if (got < buf.size()) {
      buf.resize(got);
      break;
    }
    buf.assign(buf.size() * 2, L'\0');  // cut short: ask again with more room
  }
  std::size_t sep = buf.find_last_of(L"\\/");
  if (sep == std::wstring::npos) return {};
  buf.resize(sep);
  return withoutTrailingSeparator(buf);
}

bool Win32Desktop::startProgram(const std::string& path, const std::string& arguments) {
  if (path.empty()) return false;
  std::wstring file = widen(path);
  DWORD attrs = GetFileAttributesW(file.c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES || (attrs & FILE_ATTRIBUTE_DIRECTORY)) return false;
  std::wstring params = widen(arguments);
  SHELLEXECUTEINFOW info{};
  info.cbSize = sizeof info;
  info.fMask = SEE_MASK_FLAG_NO_UI | SEE_MASK_NOASYNC;
  info.lpVerb = L"open";
  info.lpFile = file.c_str();
  info.lpParameters = params.empty() ? nullptr : params.c_str();
  info.nShow = SW_SHOWNORMAL;
  return ShellExecuteExW(&info) != FALSE;
}

namespace {

bool onWine() {
  static const bool wine = GetProcAddress(GetModuleHandleW(L"ntdll.dll"), "wine_get_version") != nullptr;
  return wine;
}

std::optional<std::wstring> environment(const wchar_t* name) {
  DWORD need = GetEnvironmentVariableW(name, nullptr, 0);
  if (need == 0) return std::nullopt;
  std::wstring value(need, L'\0');
  DWORD got = GetEnvironmentVariableW(name, value.data(), need);
  if (got == 0 || got >= need) return std::nullopt;
  value.resize(got);
  return value;
}

// The host folder Wine keeps its recycle bin in, found as Wine finds it (the freedesktop
// trash: $XDG_DATA_HOME/Trash, else $HOME/.local/share/Trash, where Wine hands HOME on as
// WINEHOMEDIR), as a path this process can open.
std::optional<std::string> wineTrashFolder() {
  std::wstring path;
  if (auto xdg = environment(L"XDG_DATA_HOME"); xdg && !xdg->empty() && xdg->front() == L'/') {
    using ToDos = WCHAR* (*)(LPCSTR);
    auto toDos = reinterpret_cast<ToDos>(
        reinterpret_cast<void*>(GetProcAddress(GetModuleHandleW(L"kernel32.dll"), "wine_get_dos_file_name")));
    if (!toDos) return std::nullopt;
    const std::wstring trash = *xdg + L"/Trash";
    int need = WideCharToMultiByte(CP_UTF8, 0, trash.c_str(), -1, nullptr, 0, nullptr, nullptr);
    if (need <= 0) return std::nullopt;
    std::string unixPath(std::size_t(need), '\0');
    WideCharToMultiByte(CP_UTF8, 0, trash.c_str(), -1, unixPath.data(), need, nullptr, nullptr);
    WCHAR* dos = toDos(unixPath.c_str());
    if (!dos) return std::nullopt;
    path = dos;
    HeapFree(GetProcessHeap(), 0, dos);
  } else if (auto home = environment(L"WINEHOMEDIR"); home && home->rfind(L"\\??\\", 0) == 0) {
    path = L"\\\\?\\" + home->substr(4) + L"\\.local\\share\\Trash";
  } else {
    return std::nullopt;
  }
  if (!fitsCodePage(path)) return std::nullopt;  // no name this program could pass on
  return narrow(path);
}

// Everything inside a folder goes, a link as itself; false when anything stayed.
bool emptyFolder(Files& files, const std::string& folder) {
  class Whole : public WalkSink {
   public:
    bool whole = true;
    bool mayEnter(const std::string&, const FolderId&) override { return true; }
    void removed(const std::string&, const DirEntry&, int) override {}
    void failed(const Failure&) override { whole = false; }
    void leftAlone(const std::string&, const std::string&) override { whole = false; }
  } sink;
  WalkRequest request;
  request.folder = folder;
  try {
    files.removeWithin(request, sink);
  } catch (const Failure&) {
    return false;
  }
  return sink.whole;
}

// Wine keeps its bin in the host's freedesktop trash, and its own emptying is not safe
// there: it deletes what a link to a file leads to, and leaves folders behind. So under
// Wine the trash is emptied here, as the other backend does it: everything in "files" and
// "info" goes, a link as itself and never what it leads to (one that this system can only
// reach through the link stays, and the emptying reports failure).
bool emptyWineTrash() {
  std::optional<std::string> trash = wineTrashFolder();
  if (!trash) return false;
  Win32Files files;
  DWORD attrs = GetFileAttributesW(widen(*trash).c_str());
  if (attrs == INVALID_FILE_ATTRIBUTES) return true;  // no bin at all
  // A bin that is a link leads into someone else's folder: left alone.
  if (!(attrs & FILE_ATTRIBUTE_DIRECTORY) || (attrs & FILE_ATTRIBUTE_REPARSE_POINT)) return false;
  bool ok = true;
  for (const char* part : {"files", "info"}) {
    const std::string folder = *trash + "\\" + part;
    DWORD a = GetFileAttributesW(widen(folder).c_str());
    if (a == INVALID_FILE_ATTRIBUTES) continue;
    if (!(a & FILE_ATTRIBUTE_DIRECTORY) || (a & FILE_ATTRIBUTE_REPARSE_POINT)) {
      ok = false;
      continue;
    }
    ok = emptyFolder(files, folder) && ok;
  }
  return ok;
}

// What the trash's "files" holds, told by the removal walk itself without removing
// anything: the entries at its top, and the bytes of the files it would take.
std::optional<RecycleBinContent> wineTrashContent() {
  std::optional<std::string> trash = wineTrashFolder();
  if (!trash) return std::nullopt;
  RecycleBinContent content;
  const std::string folder = *trash + "\\files";
  for (const std::string& part : {*trash, folder}) {
    DWORD attrs = GetFileAttributesW(widen(part).c_str());
    if (attrs == INVALID_FILE_ATTRIBUTES) return content;  // no bin, or nothing ever put in it
    if (!(attrs & FILE_ATTRIBUTE_DIRECTORY) || (attrs & FILE_ATTRIBUTE_REPARSE_POINT)) return std::nullopt;
  }
  class Counter : public WalkSink {
   public:
    explicit Counter(RecycleBinContent& content) : content_(content) {}
    bool mayEnter(const std::string&, const FolderId&) override { return true; }
    void removed(const std::string&, const DirEntry& entry, int depth) override {
      if (depth == 0) ++content_.items;
      if (!entry.isFolder && !entry.isLink) content_.bytes += entry.size;
    }
    void failed(const Failure&) override {}
    void leftAlone(const std::string&, const std::string&) override {}

   private:
    RecycleBinContent& content_;
  } counter(content);
  WalkRequest request;
  request.folder = folder;
  request.dryRun = true;
  try {
    Win32Files().removeWithin(request, counter);
  } catch (const Failure&) {
    return std::nullopt;
  }
  return content;
}

}  // namespace

std::optional<RecycleBinContent> Win32Desktop::recycleBinContent() {
  if (onWine()) return wineTrashContent();
  SHQUERYRBINFO info{};
  info.cbSize = sizeof info;
  if (SHQueryRecycleBinW(nullptr, &info) != S_OK) return std::nullopt;
  return RecycleBinContent{std::uint64_t(info.i64NumItems), std::uint64_t(info.i64Size)};
}

bool Win32Desktop::emptyRecycleBin() {
  if (onWine()) return emptyWineTrash();
  // The shell reports failure when the bins are already empty; that is no failure here.
  SHQUERYRBINFO content{};
  content.cbSize = sizeof content;
  if (SHQueryRecycleBinW(nullptr, &content) == S_OK && content.i64NumItems == 0) return true;
  return SUCCEEDED(
      SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND));
}

}  // namespace trwk::win32
