#pragma once
// The command line of trwk6. Without arguments the program opens its windows; the
// options answer on the console and end the program.
#include <iosfwd>
#include <string>
#include <vector>

namespace trwk {

enum class Command { Windows, Help, Version, Clean, Preview, Invalid };

struct ParsedCommand {
  Command command = Command::Windows;
  std::string error;           // for Invalid: what was wrong
  std::string family;          // for Clean and Preview: one of cleanFamilies(), in lower case
  bool acceptLicence = false;  // for Clean and Preview: --accept-licence
  bool json = false;           // for Clean and Preview: --json
};

// The families `--clean` names, in the order of the help text.
const std::vector<std::string>& cleanFamilies();

// args: the arguments after the program's name.
ParsedCommand parseCommandLine(const std::vector<std::string>& args);

std::string helpText();
std::string versionText();

// Exit codes of the console commands.
// The cleaning ran to its end, but some of its steps failed (the run log tells which).
inline constexpr int kExitSomeFailed = 1;
inline constexpr int kExitCommandLine = 2;  // a command line that cannot be understood
inline constexpr int kExitLicence = 4;      // the licence agreement is not accepted yet
// No system services (on Linux: no Wine prefix), or a mainten.ini that cannot be read.
inline constexpr int kExitCannotStart = 5;

// Prints what a console command that needs no session prints and gives the exit code: 0
// for help and version, kExitCommandLine for a command line that cannot be understood.
int runConsoleCommand(const ParsedCommand& command, std::ostream& out, std::ostream& err);

}  // namespace trwk
