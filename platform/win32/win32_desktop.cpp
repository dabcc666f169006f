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
    case KnownFolder::Temp: break;
  }
  return -1;
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
  wchar_t buf[MAX_PATH + 1] = {};
  if (SHGetFolderPathW(nullptr, csidlOf(id), nullptr, SHGFP_TYPE_CURRENT, buf) != S_OK) return std::nullopt;
  std::string path = withoutTrailingSeparator(buf);
  if (path.empty()) return std::nullopt;
  return path;
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

bool Win32Desktop::emptyRecycleBin() {
  // The shell reports failure when the bins are already empty; that is no failure here.
  SHQUERYRBINFO content{};
  content.cbSize = sizeof content;
  if (SHQueryRecycleBinW(nullptr, &content) == S_OK && content.i64NumItems == 0) return true;
  return SUCCEEDED(
      SHEmptyRecycleBinW(nullptr, nullptr, SHERB_NOCONFIRMATION | SHERB_NOPROGRESSUI | SHERB_NOSOUND));
}

}  // namespace trwk::win32
