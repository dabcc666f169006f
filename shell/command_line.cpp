#include "shell/command_line.h"

#include <ostream>

#include "shell/version.h"

namespace trwk {

ParsedCommand parseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return {};
  if (args.size() > 1) return {Command::Invalid, "unexpected argument '" + args[1] + "'"};
  const std::string& a = args[0];
  if (a == "--help" || a == "-h" || a == "/?") return {Command::Help, {}};
  if (a == "--version") return {Command::Version, {}};
  if (!a.empty() && (a[0] == '-' || a[0] == '/')) return {Command::Invalid, "unknown option '" + a + "'"};
  return {Command::Invalid, "unexpected argument '" + a + "'"};
}

std::string helpText() {
  return std::string("Usage: ") + kProgramName + " [--help | --version]\n" + "\n" + kProductName +
         " removes the traces that browsing and everyday work leave on this\n" +
         "computer. Started without arguments it opens its main window.\n" + "\n" + "Options:\n" +
         "  --help, -h    show this help and end\n" + "  --version     show the program's version and end\n";
}

std::string versionText() {
  return std::string(kProgramName) + " " + kVersion + "\n";
}

int runConsoleCommand(const ParsedCommand& command, std::ostream& out, std::ostream& err) {
  switch (command.command) {
    case Command::Help: out << helpText(); return 0;
    case Command::Version: out << versionText(); return 0;
    case Command::Invalid:
      err << kProgramName << ": " << command.error << "\n"
          << "Try '" << kProgramName << " --help' for the options.\n";
      return 2;
    case Command::Windows: break;
  }
  return 0;
}

}  // namespace trwk
