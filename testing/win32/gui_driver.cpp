#include "testing/win32/gui_driver.h"

#include <commctrl.h>

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

// A few bytes inside another process, for the control messages that answer through a
// pointer the system does not carry across processes (the toolbar's).
class RemoteBuffer {
 public:
  RemoteBuffer(HWND window, std::size_t size) : size_(size) {
    DWORD owner = 0;
    GetWindowThreadProcessId(window, &owner);
    process_ = OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_READ | PROCESS_VM_WRITE, FALSE, owner);
    if (process_)
      address_ = VirtualAllocEx(process_, nullptr, size, MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
  }
  ~RemoteBuffer() {
    if (address_) VirtualFreeEx(process_, address_, 0, MEM_RELEASE);
    if (process_) CloseHandle(process_);
  }
  RemoteBuffer(const RemoteBuffer&) = delete;
  RemoteBuffer& operator=(const RemoteBuffer&) = delete;

  LPARAM address() const { return reinterpret_cast<LPARAM>(address_); }
  bool valid() const { return address_ != nullptr; }
  bool read(void* into) const { return ReadProcessMemory(process_, address_, into, size_, nullptr) != FALSE; }
  bool ok() const { return address_ != nullptr; }
  char* at(std::size_t offset) const { return static_cast<char*>(address_) + offset; }
  bool write(std::size_t offset, const void* bytes, std::size_t n) const {
    return offset + n <= size_ && WriteProcessMemory(process_, at(offset), bytes, n, nullptr);
  }
  bool read(std::size_t offset, void* bytes, std::size_t n) const {
    return offset + n <= size_ && ReadProcessMemory(process_, at(offset), bytes, n, nullptr);
  }

 private:
  HANDLE process_ = nullptr;
  void* address_ = nullptr;
  std::size_t size_;
};

LRESULT sendOrZero(HWND window, UINT msg, WPARAM wp, LPARAM lp) {
  DWORD_PTR result = 0;
  if (!SendMessageTimeoutW(window, msg, wp, lp, SMTO_ABORTIFHUNG, kSendTimeoutMs, &result)) return 0;
  return static_cast<LRESULT>(result);
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

std::vector<std::wstring> listRows(HWND list) {
  std::vector<std::wstring> rows;
  const LRESULT count = sendOrZero(list, LB_GETCOUNT, 0, 0);
  for (LRESULT row = 0; row < count; ++row) {
    const LRESULT length = sendOrZero(list, LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
    std::wstring buffer(static_cast<std::size_t>(length > 0 ? length : 0) + 1, L'\0');
    const LRESULT copied =
        sendOrZero(list, LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(buffer.data()));
    if (length < 0 || copied < 0) break;  // the list changed while it was read
    buffer.resize(static_cast<std::size_t>(copied));
    rows.push_back(buffer);
  }
  return rows;
}

bool chooseRow(HWND list, int row) {
  if (!list) return false;
  sendOrZero(list, LB_SETCURSEL, static_cast<WPARAM>(row), 0);
  DWORD_PTR ignored = 0;
  return SendMessageTimeoutW(GetParent(list), WM_COMMAND, MAKEWPARAM(GetDlgCtrlID(list), LBN_SELCHANGE),
                             reinterpret_cast<LPARAM>(list), SMTO_ABORTIFHUNG, kSendTimeoutMs, &ignored) != 0;
}

bool pressToolButton(HWND toolbar, int command) {
  const LRESULT index = sendOrZero(toolbar, TB_COMMANDTOINDEX, static_cast<WPARAM>(command), 0);
  RemoteBuffer rect(toolbar, sizeof(RECT));
  RECT r{};
  if (index < 0 || !rect.valid() ||
      !sendOrZero(toolbar, TB_GETITEMRECT, static_cast<WPARAM>(index), rect.address()) || !rect.read(&r))
    return false;
  const LPARAM middle = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
  return PostMessageW(toolbar, WM_LBUTTONDOWN, MK_LBUTTON, middle) &&
         PostMessageW(toolbar, WM_LBUTTONUP, 0, middle);
}

bool toolButtonEnabled(HWND toolbar, int command) {
  return sendOrZero(toolbar, TB_ISBUTTONENABLED, static_cast<WPARAM>(command), 0) != 0;
}

std::wstring toolButtonText(HWND toolbar, int command) {
  constexpr std::size_t kChars = 128;
  RemoteBuffer buffer(toolbar, kChars * sizeof(wchar_t));
  wchar_t read[kChars] = {};
  if (!buffer.valid() ||
      sendOrZero(toolbar, TB_GETBUTTONTEXTW, static_cast<WPARAM>(command), buffer.address()) <= 0 ||
      !buffer.read(read))
    return {};
  read[kChars - 1] = L'\0';
  return read;
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

namespace {

// Memory in the process that owns a list view: an item and the text it points to travel
// together in one remote buffer.
using ListViewBuffer = RemoteBuffer;

}  // namespace

bool waitFor(const std::function<bool()>& condition, Timeout timeout) {
  const auto end = std::chrono::steady_clock::now() + timeout;
  while (!condition()) {
    if (std::chrono::steady_clock::now() > end) return false;
    Sleep(100);
  }
  return true;
}

int listViewCount(HWND list) {
  return static_cast<int>(sendOrZero(list, LVM_GETITEMCOUNT, 0, 0));
}

std::wstring listViewText(HWND list, int row, int column) {
  constexpr int kChars = 1024;
  ListViewBuffer remote(list, sizeof(LVITEMW) + kChars * sizeof(wchar_t));
  if (!remote.ok()) return {};
  LVITEMW cell{};
  cell.iSubItem = column;
  cell.cchTextMax = kChars;
  cell.pszText = reinterpret_cast<wchar_t*>(remote.at(sizeof(LVITEMW)));
  if (!remote.write(0, &cell, sizeof cell)) return {};
  const LRESULT length =
      sendOrZero(list, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(remote.at(0)));
  std::wstring text(static_cast<std::size_t>(length > 0 ? length : 0), L'\0');
  if (length > 0 && !remote.read(sizeof(LVITEMW), text.data(), text.size() * sizeof(wchar_t))) return {};
  return text;
}

bool highlightListViewRow(HWND list, int row) {
  ListViewBuffer remote(list, sizeof(LVITEMW));
  if (!remote.ok()) return false;
  LVITEMW state{};
  state.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  if (!remote.write(0, &state, sizeof state)) return false;
  sendOrZero(list, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(remote.at(0)));
  state.state = LVIS_SELECTED | LVIS_FOCUSED;
  if (!remote.write(0, &state, sizeof state)) return false;
  return sendOrZero(list, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
                    reinterpret_cast<LPARAM>(remote.at(0))) != 0;
}

bool underWine() {
  HMODULE ntdll = GetModuleHandleW(L"ntdll.dll");
  return ntdll && GetProcAddress(ntdll, "wine_get_version") != nullptr;
}

}  // namespace trwk::gui
