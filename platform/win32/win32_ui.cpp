#include "platform/win32/win32_ui.h"

#include <objbase.h>
#include <shlobj.h>

#include <algorithm>
#include <vector>

#include "platform/text_encoding.h"

namespace trwk::win32 {
namespace {

int busyCount = 0;
std::vector<HWND> modeless;

UINT buttonFlags(Buttons b) {
  switch (b) {
    case Buttons::Ok: return MB_OK;
    case Buttons::OkCancel: return MB_OKCANCEL;
    case Buttons::YesNo: return MB_YESNO;
    case Buttons::YesNoCancel: return MB_YESNOCANCEL;
  }
  return MB_OK;
}

UINT iconFlags(Icon i) {
  switch (i) {
    case Icon::None: return 0;
    case Icon::Information: return MB_ICONINFORMATION;
    case Icon::Question: return MB_ICONQUESTION;
    case Icon::Exclamation: return MB_ICONEXCLAMATION;
    case Icon::Critical: return MB_ICONERROR;
  }
  return 0;
}

UINT defaultFlags(int button) {
  switch (button) {
    case 2: return MB_DEFBUTTON2;
    case 3: return MB_DEFBUTTON3;
    default: return MB_DEFBUTTON1;
  }
}

Answer answerFrom(int id) {
  switch (id) {
    case IDCANCEL: return Answer::Cancel;
    case IDYES: return Answer::Yes;
    case IDNO: return Answer::No;
    default: return Answer::Ok;
  }
}

// The window a box or picker belongs to: the active window of this thread, if any.
HWND ownerWindow() {
  HWND active = GetActiveWindow();
  return active && IsWindowVisible(active) ? active : nullptr;
}

void showCursor() {
  SetCursor(LoadCursorW(nullptr, busyCount > 0 ? IDC_WAIT : IDC_ARROW));
}

}  // namespace

std::wstring toWide(const std::string& text) {
  std::u16string u = cp1252ToUtf16(text);
  return std::wstring(u.begin(), u.end());
}

std::string fromWide(const std::wstring& text) {
  return utf16ToCp1252(std::u16string(text.begin(), text.end()));
}

Answer Win32Ui::messageBox(const MessageBox& box) {
  UINT flags = buttonFlags(box.buttons) | iconFlags(box.icon) | defaultFlags(box.defaultButton);
  HWND owner = ownerWindow();
  if (!owner) flags |= MB_TASKMODAL | MB_SETFOREGROUND;
  int id = MessageBoxW(owner, toWide(box.text).c_str(), toWide(box.title).c_str(), flags);
  return answerFrom(id);
}

std::optional<std::string> Win32Ui::pickFolder(const std::string& title) {
  // The newer picker needs OLE on this thread; initialising again is harmless.
  HRESULT ole = OleInitialize(nullptr);
  std::wstring caption = toWide(title);
  BROWSEINFOW info{};
  info.hwndOwner = ownerWindow();
  info.lpszTitle = caption.c_str();
  info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_NEWDIALOGSTYLE;
  std::optional<std::string> result;
  if (PIDLIST_ABSOLUTE list = SHBrowseForFolderW(&info)) {
    wchar_t path[MAX_PATH] = {};
    if (SHGetPathFromIDListW(list, path)) result = fromWide(path);
    CoTaskMemFree(list);
  }
  if (SUCCEEDED(ole)) OleUninitialize();
  return result;
}

void Win32Ui::setBusy(bool busy) {
  busyCount = busy ? busyCount + 1 : std::max(0, busyCount - 1);
  showCursor();
}

bool Win32Ui::busyNow() {
  return busyCount > 0;
}

void Win32Ui::addModeless(HWND dialog) {
  if (std::find(modeless.begin(), modeless.end(), dialog) == modeless.end()) modeless.push_back(dialog);
}

void Win32Ui::removeModeless(HWND dialog) {
  modeless.erase(std::remove(modeless.begin(), modeless.end(), dialog), modeless.end());
}

void Win32Ui::dispatch(MSG& msg) {
  for (HWND dialog : modeless)
    if (IsWindow(dialog) && IsDialogMessageW(dialog, &msg)) return;
  TranslateMessage(&msg);
  DispatchMessageW(&msg);
}

void Win32Ui::doEvents() {
  MSG msg;
  while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
    if (msg.message == WM_QUIT) {
      // The program is ending: leave the quit message for the main loop.
      PostQuitMessage(static_cast<int>(msg.wParam));
      return;
    }
    dispatch(msg);
    // A timer's tick comes only once nothing else waits, so everything that waited has
    // been handled. A tick that takes longer than the timer's interval finds the next
    // one due already: going on would never end.
    if (msg.message == WM_TIMER) return;
  }
}

int Win32Ui::runMessageLoop() {
  MSG msg;
  BOOL got;
  while ((got = GetMessageW(&msg, nullptr, 0, 0)) != 0) {
    if (got == -1) return 1;
    dispatch(msg);
  }
  return static_cast<int>(msg.wParam);
}

}  // namespace trwk::win32
