// trwk6 on Linux: the headless front end over the Wine prefix named by WINEPREFIX. It has
// no windows; the program folder is the one the executable sits in inside the prefix, or
// the Windows path in TRWK_PROGRAM_FOLDER.
#include <iostream>
#include <string>
#include <vector>

#include "platform/failure.h"
#include "platform/system_clock.h"
#include "platform/system_platform.h"
#include "shell/command_line.h"
#include "shell/console_ui.h"
#include "shell/headless.h"
#include "shell/version.h"

namespace {

int clean(const trwk::ParsedCommand& command) {
  trwk::SystemServices services;
  try {
    services = trwk::makeSystemServices();
  } catch (const trwk::Failure& e) {
    std::cerr << trwk::kProgramName << ": " << e.description() << "\n";
    return trwk::kExitCannotStart;
  }
  if (services.desktop->programFolder().empty()) {
    std::cerr << trwk::kProgramName
              << ": the program folder is not inside the Wine prefix; set TRWK_PROGRAM_FOLDER to its "
                 "Windows path (C:\\Program Files\\Tarnwick)\n";
    return trwk::kExitCannotStart;
  }
  trwk::SystemClock clock;
  trwk::SystemRandom random;
  trwk::ConsoleUi ui(command.json ? std::cerr : std::cout);
  trwk::Platform platform{*services.files, *services.registry, *services.desktop, clock, random, ui};
  trwk::HeadlessOptions options{command.family, command.acceptLicence, {}};
  options.preview = command.command == trwk::Command::Preview;
  options.json = command.json;
  return trwk::runHeadless(platform, options, std::cout, std::cerr);
}

}  // namespace

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  trwk::ParsedCommand command = trwk::parseCommandLine(args);
  if (command.command == trwk::Command::Windows) {
    std::cerr << trwk::kProgramName << ": this build has no windows; see '" << trwk::kProgramName
              << " --help'.\n";
    return trwk::kExitCommandLine;
  }
  if (command.command == trwk::Command::Clean || command.command == trwk::Command::Preview)
    return clean(command);
  return trwk::runConsoleCommand(command, std::cout, std::cerr);
}
