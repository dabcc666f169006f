#include "shell/command_line.h"

#include <gtest/gtest.h>

#include <sstream>

#include "shell/console_ui.h"

namespace trwk {
namespace {

int run(std::vector<std::string> args, std::string& out, std::string& err) {
  std::ostringstream o, e;
  int code = runConsoleCommand(parseCommandLine(args), o, e);
  out = o.str();
  err = e.str();
  return code;
}

TEST(CommandLine, HelpVersionAndErrors) {
  std::string out, err;
  EXPECT_EQ(parseCommandLine({}).command, Command::Windows);
  EXPECT_EQ(run({"--version"}, out, err), 0);
  EXPECT_EQ(out, "trwk6 6.17\n");
  for (const char* help : {"--help", "-h", "/?"}) {
    EXPECT_EQ(run({help}, out, err), 0);
    EXPECT_NE(out.find("Usage: trwk6"), std::string::npos);
    EXPECT_EQ(err, "");
  }
  EXPECT_EQ(run({"--frobnicate"}, out, err), 2);
  EXPECT_EQ(out, "");
  EXPECT_NE(err.find("unknown option '--frobnicate'"), std::string::npos);
  EXPECT_EQ(run({"--version", "extra"}, out, err), 2);
  EXPECT_NE(err.find("'extra'"), std::string::npos);
  EXPECT_EQ(run({"file.txt"}, out, err), 2);
}

TEST(CommandLine, CleanTakesOneKnownFamilyAndAnOptionalLicenceAcceptance) {
  ParsedCommand c = parseCommandLine({"--clean", "IE"});
  EXPECT_EQ(c.command, Command::Clean);
  EXPECT_EQ(c.family, "ie");
  EXPECT_FALSE(c.acceptLicence);
  c = parseCommandLine({"--accept-licence", "--clean=all"});
  EXPECT_EQ(c.command, Command::Clean);
  EXPECT_EQ(c.family, "all");
  EXPECT_TRUE(c.acceptLicence);
  for (const std::string& family : cleanFamilies())
    EXPECT_EQ(parseCommandLine({"--clean", family}).family, family);

  std::string out, err;
  EXPECT_EQ(run({"--clean", "firefox"}, out, err), kExitCommandLine);
  EXPECT_NE(err.find("unknown family 'firefox' (choose one of: all, ie, netscape, opera, windows, userdef, "
                     "plugins, rules)"),
            std::string::npos)
      << err;
  EXPECT_EQ(run({"--clean"}, out, err), kExitCommandLine);
  EXPECT_NE(err.find("--clean needs a family"), std::string::npos) << err;
  EXPECT_EQ(run({"--clean", "ie", "--clean", "all"}, out, err), kExitCommandLine);
  EXPECT_EQ(run({"--accept-licence"}, out, err), kExitCommandLine);
  EXPECT_EQ(run({"--clean", "ie", "extra"}, out, err), kExitCommandLine);
  EXPECT_NE(helpText().find("--clean FAMILY"), std::string::npos);
  EXPECT_NE(helpText().find("all, ie, netscape, opera, windows, userdef, plugins, rules"), std::string::npos);
}

TEST(CommandLine, PreviewAndJsonGoWithOneFamily) {
  const struct {
    std::vector<std::string> args;
    Command command;
    std::string family;
    bool json, licence;
    std::string error;  // part of the error for Invalid
  } cases[] = {
      {{"--preview", "Windows"}, Command::Preview, "windows", false, false, ""},
      {{"--json", "--preview=all", "--accept-licence"}, Command::Preview, "all", true, true, ""},
      {{"--clean", "opera", "--json"}, Command::Clean, "opera", true, false, ""},
      {{"--preview"}, Command::Invalid, "", false, false, "--preview needs a family"},
      {{"--preview", "ie", "--clean", "ie"},
       Command::Invalid,
       "",
       false,
       false,
       "--clean and --preview go alone"},
      {{"--preview", "ie", "--preview", "all"}, Command::Invalid, "", false, false, "--preview given twice"},
      {{"--json"}, Command::Invalid, "", false, false, "--json goes with --clean or --preview"},
      {{"--preview", "firefox"}, Command::Invalid, "", false, false, "unknown family 'firefox'"},
  };
  for (const auto& c : cases) {
    ParsedCommand parsed = parseCommandLine(c.args);
    SCOPED_TRACE(c.args.front());
    EXPECT_EQ(parsed.command, c.command) << parsed.error;
    if (c.command == Command::Invalid) {
      EXPECT_NE(parsed.error.find(c.error), std::string::npos) << parsed.error;
      continue;
    }
    EXPECT_EQ(parsed.family, c.family);
    EXPECT_EQ(parsed.json, c.json);
    EXPECT_EQ(parsed.acceptLicence, c.licence);
  }
  EXPECT_NE(helpText().find("--preview FAMILY"), std::string::npos);
  EXPECT_NE(helpText().find("1 the cleaning ran to its\nend but some steps failed"), std::string::npos)
      << helpText();
  EXPECT_EQ(kExitSomeFailed, 1);
}

TEST(ConsoleUi, PrintsEachBoxWithTheDefaultAnswer) {
  std::ostringstream out;
  ConsoleUi ui(out);
  EXPECT_EQ(ui.messageBox({"Cleaning System...Done", "Tarnwick", Buttons::Ok, Icon::Information, 1}),
            Answer::Ok);
  EXPECT_EQ(ui.messageBox({"Remove?\r\nAll of it", "Tarnwick", Buttons::YesNo, Icon::Question, 2}),
            Answer::No);
  EXPECT_EQ(ui.messageBox({"x", "T", Buttons::YesNoCancel, Icon::None, 3}), Answer::Cancel);
  EXPECT_EQ(ui.messageBox({"Hittar inte s\xF6kv\xE4gen", "T", Buttons::OkCancel, Icon::None, 1}), Answer::Ok);
  EXPECT_EQ(ui.pickFolder("Choose"), std::nullopt);
  EXPECT_EQ(out.str(),
            "[Tarnwick] Cleaning System...Done -> OK\n"
            "[Tarnwick] Remove?\n  All of it -> No\n"
            "[T] x -> Cancel\n"
            "[T] Hittar inte s\xC3\xB6kv\xC3\xA4gen -> OK\n"
            "[Choose] no folder can be picked here -> Cancel\n");
}

}  // namespace
}  // namespace trwk
