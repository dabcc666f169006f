// trwk6 on Linux: the headless front end. It has no windows; the cleaning commands come
// with the cleaners.
#include <iostream>
#include <string>
#include <vector>

#include "shell/command_line.h"
#include "shell/version.h"

int main(int argc, char** argv) {
  std::vector<std::string> args(argv + 1, argv + argc);
  trwk::ParsedCommand command = trwk::parseCommandLine(args);
  if (command.command == trwk::Command::Windows) {
    std::cerr << trwk::kProgramName << ": this build has no windows; see '" << trwk::kProgramName
              << " --help'.\n";
    return 2;
  }
  return trwk::runConsoleCommand(command, std::cout, std::cerr);
}
