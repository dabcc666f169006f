#include "extensions/creator/plugin_lines.h"

#include <gtest/gtest.h>

#include <cctype>
#include <string>

namespace trwk::creator {
namespace {

TEST(PluginLines, DriveRootsLoseTheirBackslashSoNoLineDoublesIt) {
  for (const char* root : {"C:\\", "c:\\", "D:\\", "h:\\", "H:\\"})
    EXPECT_EQ(lineFolder(root), std::string(1, static_cast<char>(std::toupper(root[0]))) + ":") << root;
  // Every other drive too: "I:\" + "\" + name would name "I:\\name".
  EXPECT_EQ(lineFolder("I:\\"), "I:");
  EXPECT_EQ(lineFolder("z:\\"), "Z:");
  EXPECT_EQ(lineFolder("C:\\Games\\Old"), "C:\\Games\\Old");
  EXPECT_EQ(lineFolder("C:\\Games\\Old\\"), "C:\\Games\\Old");
  EXPECT_EQ(fileLine(FileOption::AllFiles, "D:\\", "", ""), "D:\\*.*");
  EXPECT_EQ(fileLine(FileOption::Folder, "d:\\", "", ""), "D:");
}

TEST(PluginLines, TheExtensionLosesItsWildcardsAndDots) {
  EXPECT_EQ(cleanExtension("*.TMP"), "TMP");
  EXPECT_EQ(cleanExtension(".tmp"), "tmp");
  EXPECT_EQ(cleanExtension("tmp"), "tmp");
  EXPECT_EQ(cleanExtension("*.bak"), "bak");
  EXPECT_EQ(cleanExtension("**.b.a.k*"), "bak");
  EXPECT_EQ(cleanExtension("*.*"), "");
  EXPECT_EQ(fileLine(FileOption::WithExtension, "D:\\", "", "*.bak"), "D:\\*.bak");
  EXPECT_EQ(fileLine(FileOption::WithExtension, "C:\\Temp", "", ".log"), "C:\\Temp\\*.log");
}

TEST(PluginLines, EachFileOptionBuildsItsLine) {
  const std::string f = "C:\\Games\\Tool";
  EXPECT_EQ(fileLine(FileOption::SingleFile, f, "last.sav", "x"), "C:\\Games\\Tool\\last.sav");
  EXPECT_EQ(fileLine(FileOption::SingleFile, "E:\\", "boot.log", ""), "E:\\boot.log");
  EXPECT_EQ(fileLine(FileOption::AllFiles, f, "ignored", "ignored"), "C:\\Games\\Tool\\*.*");
  EXPECT_EQ(fileLine(FileOption::WithExtension, f, "ignored", "tmp"), "C:\\Games\\Tool\\*.tmp");
  EXPECT_EQ(fileLine(FileOption::Folder, f, "ignored", "ignored"), "C:\\Games\\Tool");
  EXPECT_EQ(fileLine(FileOption::None, f, "a", "b"), "");
}

TEST(PluginLines, RegistryLinesMarkValuesWithPlusAndKeysWithMinus) {
  const std::string key = "HKEY_CURRENT_USER\\Software\\Maker\\Tool";
  EXPECT_EQ(registryLine(RegistryOption::Value, key, "LastFile"), key + "+LastFile");
  EXPECT_EQ(registryLine(RegistryOption::Key, key, "ignored"), key + "-");
  EXPECT_EQ(registryLine(RegistryOption::None, key, "x"), "");
}

TEST(PluginLines, NamesThatMakeFilesAreAccepted) {
  for (const char* name : {"Game2", "My Tool 1.0", "a", "CONSOLE", "COM10", "LPT0", "nul-cleaner", "Caf\xE9"})
    EXPECT_EQ(pluginNameProblem(name, "C:\\Program Files\\Tarnwick"), std::nullopt) << name;
  EXPECT_EQ(pluginNameProblem(std::string(200, 'x'), "C:\\T"), std::nullopt);
}

TEST(PluginLines, NamesThatCannotBeFileNamesAreRefusedWithAReason) {
  const std::string folder = "C:\\Tarnwick";
  struct Case {
    std::string name;
    const char* reason;
  };
  const Case cases[] = {
      {"   ", "blank"},
      {"a\\b", "characters"},
      {"a/b", "characters"},
      {"C:x", "characters"},
      {"a*", "characters"},
      {"why?", "characters"},
      {"say \"hi\"", "characters"},
      {"<a>", "characters"},
      {"a|b", "characters"},
      {std::string("tab\there"), "control"},
      {std::string("nul\0byte", 8), "control"},
      {"Game.", "end with"},
      {"Game ", "end with"},
      {"..", "end with"},
      {"CON", "devices"},
      {"prn", "devices"},
      {"Aux.plugin", "devices"},
      {"nul ", "end with"},
      {"COM1", "devices"},
      {"lpt9", "devices"},
      {std::string(252, 'x'), "too long"},
  };
  for (const Case& c : cases) {
    auto problem = pluginNameProblem(c.name, folder);
    ASSERT_TRUE(problem) << c.name;
    EXPECT_NE(problem->find(c.reason), std::string::npos) << c.name << ": " << *problem;
  }
  // The whole path counts: a deep program folder leaves less room for the name.
  EXPECT_TRUE(pluginNameProblem(std::string(200, 'x'), "C:\\" + std::string(60, 'f')));
}

}  // namespace
}  // namespace trwk::creator
