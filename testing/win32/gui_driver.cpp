#include "testing/win32/gui_driver.h"

#include <stdexcept>
#include <thread>

namespace trwk::gui {
namespace {

constexpr Timeout kPoll = 50ms;
constexpr UINT kSendTimeoutMs = 10000;

std::wstring commandLine(const std::wstring& exe, const std::wstring& arguments) {
  std::wstring line = L"\"" + exe + L"\"";
  if (!arguments.empty()) line += L" " + arguments;
  return line;
}

struct Search {
  DWORD processId;
  std::vector<HWND> found;
};

std::vector<HWND> topWindows(DWORD processId) {
  Search search{processId, {}};
  EnumWindows(
      [](HWND w, LPARAM p) -> BOOL {
        auto* s = reinterpret_cast<Search*>(p);
        DWORD owner = 0;
        GetWindowThreadProcessId(w, &owner);
        if (owner == s->processId && IsWindowVisible(w)) s->found.push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&search));
  return search.found;
}

std::vector<HWND> children(HWND parent) {
  std::vector<HWND> all;
  EnumChildWindows(
      parent,
      [](HWND w, LPARAM p) -> BOOL {
        reinterpret_cast<std::vector<HWND>*>(p)->push_back(w);
        return TRUE;
      },
      reinterpret_cast<LPARAM>(&all));
  return all;
}

void drain(HANDLE pipe, std::string& into) {
  char buffer[4096];
  DWORD got = 0;
  while (ReadFile(pipe, buffer, sizeof buffer, &got, nullptr) && got > 0) into.append(buffer, got);
}

}  // namespace

GuiProcess::GuiProcess(const std::wstring& exe, const std::wstring& arguments,
                       const std::wstring& workingFolder) {
  std::wstring line = commandLine(exe, arguments);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION info{};
  if (!CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, workingFolder.c_str(),
                      &startup, &info))
    throw std::runtime_error("cannot start the program (error " + std::to_string(GetLastError()) + ")");
  CloseHandle(info.hThread);
  process_ = info.hProcess;
  id_ = info.dwProcessId;
  WaitForInputIdle(process_, 10000);
}

GuiProcess::~GuiProcess() {
  if (running()) kill();
  CloseHandle(process_);
}

bool GuiProcess::running() const {
  return WaitForSingleObject(process_, 0) == WAIT_TIMEOUT;
}

bool GuiProcess::waitForExit(Timeout timeout, DWORD* exitCode) {
  if (WaitForSingleObject(process_, static_cast<DWORD>(timeout.count())) != WAIT_OBJECT_0) return false;
  if (exitCode) GetExitCodeProcess(process_, exitCode);
  return true;
}

void GuiProcess::kill() {
  TerminateProcess(process_, 99);
  WaitForSingleObject(process_, 10000);
}

HWND findWindow(DWORD processId, const std::wstring& caption, Timeout timeout) {
  auto until = std::chrono::steady_clock::now() + timeout;
  for (;;) {
    for (HWND w : topWindows(processId))
      if (text(w) == caption) return w;
    if (std::chrono::steady_clock::now() >= until) return nullptr;
    std::this_thread::sleep_for(kPoll);
  }
}

std::vector<std::wstring> windowCaptions(DWORD processId) {
  std::vector<std::wstring> captions;
  for (HWND w : topWindows(processId)) captions.push_back(text(w));
  return captions;
}

HWND findChild(HWND parent, const std::wstring& wanted) {
  for (HWND w : children(parent))
    if (text(w) == wanted) return w;
  return nullptr;
}

HWND findChild(HWND parent, int id) {
  for (HWND w : children(parent))
    if (GetDlgCtrlID(w) == id) return w;
  return nullptr;
}

std::wstring text(HWND window) {
  DWORD_PTR length = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXTLENGTH, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &length))
    return {};
  std::wstring buffer(static_cast<std::size_t>(length) + 1, L'\0');
  DWORD_PTR copied = 0;
  if (!SendMessageTimeoutW(window, WM_GETTEXT, buffer.size(), reinterpret_cast<LPARAM>(buffer.data()),
                           SMTO_ABORTIFHUNG, kSendTimeoutMs, &copied))
    return {};
  buffer.resize(static_cast<std::size_t>(copied));
  return buffer;
}

bool click(HWND button) {
  if (!button) return false;
  // Posted: a click that opens a modal window must not hold the caller until it closes.
  return PostMessageW(button, BM_CLICK, 0, 0) != 0;
}

bool isChecked(HWND box) {
  DWORD_PTR state = 0;
  SendMessageTimeoutW(box, BM_GETCHECK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &state);
  return state == BST_CHECKED;
}

bool setChecked(HWND box, bool on) {
  if (!box) return false;
  if (isChecked(box) == on) return true;
  DWORD_PTR ignored = 0;
  SendMessageTimeoutW(box, BM_CLICK, 0, 0, SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored);
  return isChecked(box) == on;
}

void close(HWND window) {
  PostMessageW(window, WM_CLOSE, 0, 0);
}

Captured runCaptured(const std::wstring& exe, const std::wstring& arguments,
                     const std::wstring& workingFolder, Timeout timeout) {
  SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
  HANDLE outRead, outWrite, errRead, errWrite;
  CreatePipe(&outRead, &outWrite, &inherit, 0);
  CreatePipe(&errRead, &errWrite, &inherit, 0);
  SetHandleInformation(outRead, HANDLE_FLAG_INHERIT, 0);
  SetHandleInformation(errRead, HANDLE_FLAG_INHERIT, 0);
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  startup.dwFlags = STARTF_USESTDHANDLES;
  startup.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
  startup.hStdOutput = outWrite;
  startup.hStdError = errWrite;
  PROCESS_INFORMATION info{};
  std::wstring line = commandLine(exe, arguments);
  Captured result;
  BOOL started = CreateProcessW(exe.c_str(), line.data(), nullptr, nullptr, TRUE, 0, nullptr,
                                workingFolder.c_str(), &startup, &info);
  CloseHandle(outWrite);
  CloseHandle(errWrite);
  if (started) {
    // Both outputs are read while the program runs so that neither pipe fills up.
    std::thread errReader([&] { drain(errRead, result.err); });
    drain(outRead, result.out);
    errReader.join();
    result.finished =
        WaitForSingleObject(info.hProcess, static_cast<DWORD>(timeout.count())) == WAIT_OBJECT_0;
    if (!result.finished) TerminateProcess(info.hProcess, 99);
    GetExitCodeProcess(info.hProcess, &result.exitCode);
    CloseHandle(info.hProcess);
    CloseHandle(info.hThread);
  }
  CloseHandle(outRead);
  CloseHandle(errRead);
  return result;
}

bool underWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace trwk::gui
