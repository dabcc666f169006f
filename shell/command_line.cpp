#include "shell/command_line.h"

#include <algorithm>
#include <cctype>
#include <ostream>

#include "shell/version.h"

namespace trwk {
namespace {

std::string lowerCase(std::string text) {
  std::transform(text.begin(), text.end(), text.begin(),
                 [](unsigned char c) { return static_cast<char>(std::tolower(c)); });
  return text;
}

std::string familyList() {
  std::string list;
  for (const std::string& f : cleanFamilies()) list += (list.empty() ? "" : ", ") + f;
  return list;
}

ParsedCommand invalid(std::string error) {
  return {Command::Invalid, std::move(error), {}, false, false};
}

}  // namespace

const std::vector<std::string>& cleanFamilies() {
  static const std::vector<std::string> families{"all",     "ie",      "netscape", "opera",
                                                 "windows", "userdef", "plugins",  "rules"};
  return families;
}

ParsedCommand parseCommandLine(const std::vector<std::string>& args) {
  if (args.empty()) return {};
  const std::string& first = args[0];
  bool help = first == "--help" || first == "-h" || first == "/?";
  if (help || first == "--version") {
    if (args.size() > 1) return invalid("unexpected argument '" + args[1] + "'");
    return {help ? Command::Help : Command::Version, {}, {}, false, false};
  }
  ParsedCommand clean{Command::Clean, {}, {}, false, false};
  std::string action;  // "--clean" or "--preview", once it is given
  bool haveLicence = false, haveJson = false;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool isClean = a == "--clean" || a.rfind("--clean=", 0) == 0;
    const bool isPreview = a == "--preview" || a.rfind("--preview=", 0) == 0;
    if (isClean || isPreview) {
      const std::string option = isClean ? "--clean" : "--preview";
      if (!action.empty())
        return invalid(action == option ? option + " given twice" : "--clean and --preview go alone");
      std::string family;
      if (a == option) {
        if (i + 1 == args.size()) return invalid(option + " needs a family: " + familyList());
        family = args[++i];
      } else {
        family = a.substr(option.size() + 1);
      }
      clean.family = lowerCase(family);
      if (std::find(cleanFamilies().begin(), cleanFamilies().end(), clean.family) == cleanFamilies().end())
        return invalid("unknown family '" + family + "' (choose one of: " + familyList() + ")");
      clean.command = isClean ? Command::Clean : Command::Preview;
      action = option;
    } else if (a == "--accept-licence" || a == "--accept-license") {
      haveLicence = true;
      clean.acceptLicence = true;
    } else if (a == "--json") {
      haveJson = true;
      clean.json = true;
    } else if (!a.empty() && (a[0] == '-' || a[0] == '/')) {
      return invalid("unknown option '" + a + "'");
    } else {
      return invalid("unexpected argument '" + a + "'");
    }
  }
  if (action.empty()) {
    if (haveLicence) return invalid("--accept-licence goes with --clean or --preview");
    return invalid(haveJson ? "--json goes with --clean or --preview" : "nothing to do");
  }
  return clean;
}

std::string helpText() {
  return std::string("Usage: ") + kProgramName +
         " [--help | --version | --clean FAMILY | --preview FAMILY]\n" +
         "             [--json] [--accept-licence]\n" + "\n" + kProductName +
         " removes the traces that browsing and everyday work leave on this\n" +
         "computer. Started without arguments it opens its main window.\n" + "\n" + "Options:\n" +
         "  --help, -h        show this help and end\n" +
         "  --version         show the program's version and end\n" +
         "  --clean FAMILY    clean without windows, with the ticks and settings the main\n" +
         "                    window keeps, report per clean item what went, and end;\n" +
         "                    FAMILY is one of\n" + "                    " + familyList() + "\n" +
         "  --preview FAMILY  show what --clean FAMILY would remove, entry by entry with its\n" +
         "                    size, per clean item and in total; nothing is changed\n" +
         "  --json            with --clean or --preview: one JSON document instead of text\n" +
         "  --accept-licence  with --clean or --preview: accept the licence agreement and\n" +
         "                    disclaimer (shown by the first start with windows) unseen\n" + "\n" +
         "Exit codes: 0 done (a cleaning: every step of it succeeded), 1 the cleaning ran to its\n" +
         "end but some steps failed (trwk.log tells which), 2 wrong command line,\n" +
         "4 licence agreement not accepted,\n" +
         "5 the program cannot start (no system services, or mainten.ini is there but\n" +
         "cannot be read: nothing was cleaned).\n";
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
      return kExitCommandLine;
    case Command::Clean:
    case Command::Preview:
    case Command::Windows: break;
  }
  return 0;
}

}  // namespace trwk
