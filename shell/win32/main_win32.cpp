// trwk6.exe: a windowed program that also answers --help, --version and --clean on the
// console it was started from.
#include <windows.h>
// After windows.h, which they build on.
#include <commctrl.h>
#include <shellapi.h>

#include <optional>
#include <ostream>
#include <sstream>
#include <streambuf>
#include <string>
#include <vector>

#include "automation/test_clock.h"
#include "platform/failure.h"
#include "platform/system_clock.h"
#include "platform/system_platform.h"
#include "platform/win32/win32_ui.h"
#include "shell/command_line.h"
#include "shell/console_ui.h"
#include "shell/headless.h"
#include "shell/startup.h"
#include "shell/win32/console_output.h"
#include "shell/win32/main_window_view.h"
#include "shell/win32/win32_startup_views.h"

namespace {

std::vector<std::string> arguments() {
  std::vector<std::string> args;
  int count = 0;
  if (LPWSTR* list = CommandLineToArgvW(GetCommandLineW(), &count)) {
    for (int i = 1; i < count; ++i) args.push_back(trwk::win32::fromWide(list[i]));
    LocalFree(list);
  }
  return args;
}

// Text for the console, passed on a line at a time so that a long run shows as it goes.
class ConsoleBuffer : public std::streambuf {
 public:
  explicit ConsoleBuffer(bool errorOutput) : error_(errorOutput) {}
  ~ConsoleBuffer() override { sync(); }

 protected:
  int overflow(int c) override {
    if (c == traits_type::eof()) return 0;
    pending_ += static_cast<char>(c);
    if (c == '\n') sync();
    return c;
  }
  int sync() override {
    trwk::win32::writeConsole(pending_, error_);
    pending_.clear();
    return 0;
  }

 private:
  bool error_;
  std::string pending_;
};

int runClean(const trwk::ParsedCommand& command) {
  ConsoleBuffer outBuffer(false), errBuffer(true);
  std::ostream out(&outBuffer), err(&errBuffer);
  trwk::SystemServices services = trwk::makeSystemServices();
  trwk::SystemClock clock;
  trwk::SystemRandom random;
  trwk::ConsoleUi ui(command.json ? err : out);
  trwk::Platform platform{*services.files, *services.registry, *services.desktop, clock, random, ui};
  trwk::HeadlessOptions options{command.family, command.acceptLicence, {}};
  options.preview = command.command == trwk::Command::Preview;
  options.json = command.json;
  return trwk::runHeadless(platform, options, out, err);
}

int runWindows(const std::optional<trwk::TestClockSetting>& testClock) {
  INITCOMMONCONTROLSEX controls{
      sizeof(controls), ICC_STANDARD_CLASSES | ICC_TAB_CLASSES | ICC_BAR_CLASSES | ICC_PROGRESS_CLASS};
  InitCommonControlsEx(&controls);
  trwk::SystemServices services = trwk::makeSystemServices();
  trwk::SystemClock systemClock;
  std::optional<trwk::TestClock> fastClock;
  if (testClock) {
    fastClock.emplace(*testClock);
    trwk::win32::MainWindowView::timerDivisor = fastClock->speed();
  }
  trwk::Clock& clock = fastClock ? static_cast<trwk::Clock&>(*fastClock) : systemClock;
  trwk::SystemRandom random;
  trwk::win32::Win32Ui ui;
  trwk::Platform platform{*services.files, *services.registry, *services.desktop, clock, random, ui};
  trwk::Application app(platform);
  trwk::win32::Win32StartupViews views;
  if (!app.start(views)) return 0;  // the agreement was declined: no window is open
  return trwk::win32::Win32Ui::runMessageLoop();
}

// "--test-clock=<start>,x<speed>" (tests of automatic cleaning only) comes first when it
// is given: the program's clock then starts at that moment and runs faster. A start
// without it never looks further.
std::optional<trwk::TestClockSetting> takeTestClock(std::vector<std::string>& args, bool& bad) {
  if (args.empty() || args[0].rfind(trwk::kTestClockOption, 0) != 0) return std::nullopt;
  std::optional<trwk::TestClockSetting> setting =
      trwk::parseTestClock(args[0].substr(std::string(trwk::kTestClockOption).size()));
  bad = !setting;
  args.erase(args.begin());
  return setting;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int) {
  std::vector<std::string> args = arguments();
  bool badClock = false;
  std::optional<trwk::TestClockSetting> testClock = takeTestClock(args, badClock);
  if (badClock) {
    trwk::win32::writeConsole("trwk6: the test clock must read --test-clock=YYYY-MM-DDTHH:MM:SS,xN\n", true);
    return trwk::kExitCommandLine;
  }
  trwk::ParsedCommand command = trwk::parseCommandLine(args);
  if (command.command == trwk::Command::Clean || command.command == trwk::Command::Preview) {
    try {
      return runClean(command);
    } catch (const std::exception& e) {
      trwk::win32::writeConsole(std::string("trwk6: ") + e.what() + "\n", true);
      return trwk::kExitCannotStart;
    }
  }
  if (command.command != trwk::Command::Windows) {
    std::ostringstream out, err;
    int code = trwk::runConsoleCommand(command, out, err);
    trwk::win32::writeConsole(out.str(), false);
    trwk::win32::writeConsole(err.str(), true);
    return code;
  }
  try {
    return runWindows(testClock);
  } catch (const std::exception& e) {
    MessageBoxW(nullptr, trwk::win32::toWide(e.what()).c_str(), L"Tarnwick", MB_OK | MB_ICONERROR);
    return 1;
  }
}
