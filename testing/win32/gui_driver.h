#pragma once
// Drives a Windows program's windows from outside, as a person would: start it, find its
// windows by caption, press its buttons, read its controls, wait for it to end.
#include <windows.h>

#include <chrono>
#include <functional>
#include <string>
#include <vector>

namespace trwk::gui {

using namespace std::chrono_literals;
using Timeout = std::chrono::milliseconds;

class GuiProcess {
 public:
  // Starts exe with the arguments (one command-line text) in the working folder.
  // Throws std::runtime_error when it cannot start.
  GuiProcess(const std::wstring& exe, const std::wstring& arguments, const std::wstring& workingFolder);
  ~GuiProcess();  // a program still running is killed
  GuiProcess(const GuiProcess&) = delete;
  GuiProcess& operator=(const GuiProcess&) = delete;

  DWORD id() const { return id_; }
  bool running() const;
  // True when the program ended within the time; its exit code goes to exitCode.
  bool waitForExit(Timeout timeout, DWORD* exitCode = nullptr);
  void kill();

 private:
  HANDLE process_ = nullptr;
  DWORD id_ = 0;
};

// A visible top-level window of the process with exactly this caption, or nullptr when
// none appeared within the time.
HWND findWindow(DWORD processId, const std::wstring& caption, Timeout timeout);
// Captions of the process's visible top-level windows (for messages of failed tests).
std::vector<std::wstring> windowCaptions(DWORD processId);

// A child control, at any depth, by its text or by its control number.
HWND findChild(HWND parent, const std::wstring& text);
HWND findChild(HWND parent, int id);

std::wstring text(HWND window);
// Presses a button through its own click message, as a mouse click would.
bool click(HWND button);
bool isChecked(HWND box);
// Clicks the box when its state differs; true when it ends in the wanted state.
bool setChecked(HWND box, bool on);
// Asks the window to close, as its title bar's close button does.
void close(HWND window);

// The rows of a list box.
std::vector<std::wstring> listRows(HWND list);
// Chooses a list box's row and tells its dialog, as a click on the row does.
bool chooseRow(HWND list, int row);

// A toolbar's button by its command number: pressed with the mouse (down and up over
// its middle), its state and its caption.
bool pressToolButton(HWND toolbar, int command);
bool toolButtonEnabled(HWND toolbar, int command);
std::wstring toolButtonText(HWND toolbar, int command);

// A report list view of another process: its row count, the text of one cell, and one
// row highlighted alone, as a click on it does (the list tells its dialog).
// Polls the condition every 100 ms until it holds (true) or the time runs out (false).
bool waitFor(const std::function<bool()>& condition, Timeout timeout);

int listViewCount(HWND list);
std::wstring listViewText(HWND list, int row, int column);
bool highlightListViewRow(HWND list, int row);

struct Captured {
  DWORD exitCode = 0;
  std::string out, err;
  bool finished = false;
};
// Runs a program with its standard output and error caught, and waits for it.
Captured runCaptured(const std::wstring& exe, const std::wstring& arguments,
                     const std::wstring& workingFolder, Timeout timeout);

// True when this program runs under Wine rather than on Windows itself.
bool underWine();

}  // namespace trwk::gui
