#pragma once
// The command line of trwk6. Without arguments the program opens its windows; the
// options answer on the console and end the program.
#include <iosfwd>
#include <string>
#include <vector>

namespace trwk {

enum class Command { Windows, Help, Version, Invalid };

struct ParsedCommand {
  Command command = Command::Windows;
  std::string error;  // for Invalid: what was wrong
};

// args: the arguments after the program's name.
ParsedCommand parseCommandLine(const std::vector<std::string>& args);

std::string helpText();
std::string versionText();

// Prints what a console command prints and gives the exit code: 0 for help and version,
// 2 for a command line that cannot be understood.
int runConsoleCommand(const ParsedCommand& command, std::ostream& out, std::ostream& err);

}  // namespace trwk
