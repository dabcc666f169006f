#include "rules/rule_file.h"

#include <gtest/gtest.h>

#include <random>

namespace trwk {
namespace {

RuleSet read(const std::string& text, const std::string& file = "test.rules.ini") {
  RuleSet set;
  readRuleText(text, file, set);
  return set;
}

TEST(RuleFile, ReadsEveryKeyOfAnEntry) {
  RuleSet set = read(
      "; a comment\r\n"
      "[Example Cache *]\r\n"
      "LangSecRef=3021\r\n"
      "Section=Example Tools\r\n"
      "Detect=HKCU\\Software\\Example\r\n"
      "Detect2=HKLM\\Software\\Example\r\n"
      "DetectFile=%AppData%\\Example*\r\n"
      "DetectFile1=%LocalAppData%\\Example\r\n"
      "DetectOS=6.1|\r\n"
      "SpecialDetect=DET_CHROME\r\n"
      "Default=False\r\n"
      "Warning=Logs you out.\r\n"
      "FileKey1=%LocalAppData%\\Example\\Cache|*.tmp; *.log|RECURSE\r\n"
      "FileKey2=%AppData%\\Example|*.*|REMOVESELF\r\n"
      "FileKey3 = %AppData%\\Example\\Logs | a.txt \r\n"
      "RegKey1=HKCU\\Software\\Example\\Recent\r\n"
      "RegKey2=HKEY_CURRENT_USER\\Software\\Example|LastFile\r\n"
      "ExcludeKey1=FILE|%LocalAppData%\\Example\\Cache\\|keep.log\r\n"
      "ExcludeKey2=PATH|%AppData%\\Example\\Bookmarks\\\r\n"
      "ExcludeKey3=PATH|%AppData%\\Example\\|*.db\r\n"
      "ExcludeKey4=REG|HKCU\\Software\\Example\\Recent|Pinned\r\n"
      "ExcludeKey5=FILE|%AppData%\\Example\\Cookies\r\n"
      "SomeFutureKey=whatever\r\n");
  EXPECT_TRUE(set.problems.empty()) << set.problems.front().text();
  ASSERT_EQ(set.entries.size(), 1u);
  const RuleEntry& e = set.entries[0];
  EXPECT_EQ(e.name, "Example Cache *");
  EXPECT_EQ(e.line, 2);
  EXPECT_EQ(e.file, "test.rules.ini");
  EXPECT_EQ(e.group(), "Example Tools");
  EXPECT_EQ(e.langSecRef, 3021);
  EXPECT_EQ(e.detects, (std::vector<std::string>{"HKCU\\Software\\Example", "HKLM\\Software\\Example"}));
  EXPECT_EQ(e.detectFiles.size(), 2u);
  EXPECT_EQ(e.detectOS, "6.1|");
  EXPECT_EQ(e.specialDetects, std::vector<std::string>{"DET_CHROME"});
  EXPECT_EQ(e.warning, "Logs you out.");
  ASSERT_EQ(e.fileKeys.size(), 3u);
  EXPECT_EQ(e.fileKeys[0].masks, (std::vector<std::string>{"*.tmp", "*.log"}));
  EXPECT_TRUE(e.fileKeys[0].recurse);
  EXPECT_FALSE(e.fileKeys[0].removeSelf);
  EXPECT_TRUE(e.fileKeys[1].removeSelf && e.fileKeys[1].recurse);
  EXPECT_EQ(e.fileKeys[2].folder, "%AppData%\\Example\\Logs");
  EXPECT_EQ(e.fileKeys[2].masks, std::vector<std::string>{"a.txt"});
  EXPECT_EQ(e.fileKeys[2].line, 15);
  ASSERT_EQ(e.regKeys.size(), 2u);
  EXPECT_EQ(e.regKeys[0].key, "Software\\Example\\Recent");
  EXPECT_FALSE(e.regKeys[0].value);
  EXPECT_EQ(e.regKeys[1].value, "LastFile");
  ASSERT_EQ(e.excludes.size(), 5u);
  EXPECT_EQ(e.excludes[0].path, "%LocalAppData%\\Example\\Cache");
  EXPECT_EQ(e.excludes[0].mask, "keep.log");
  EXPECT_EQ(e.excludes[1].kind, RuleExclude::Kind::Path);
  EXPECT_EQ(e.excludes[1].mask, "");
  EXPECT_EQ(e.excludes[2].mask, "*.db");
  EXPECT_EQ(e.excludes[3].kind, RuleExclude::Kind::Registry);
  EXPECT_EQ(e.excludes[3].value, "Pinned");
  EXPECT_EQ(e.excludes[4].path, "%AppData%\\Example");
  EXPECT_EQ(e.excludes[4].mask, "Cookies");
  EXPECT_FALSE(e.refusal);
}

TEST(RuleFile, GroupsByLangSecRefWhenNoSectionIsGiven) {
  RuleSet set = read(
      "[A]\nLangSecRef=3022\nFileKey1=C:\\a|*\n[B]\nFileKey1=C:\\b|*\n[C]\nLangSecRef=9999\nFileKey1=C:\\c|*"
      "\n");
  ASSERT_EQ(set.entries.size(), 3u);
  EXPECT_EQ(set.entries[0].group(), "Internet");
  EXPECT_EQ(set.entries[1].group(), "Other");
  EXPECT_EQ(set.entries[2].group(), "Group 9999");
}

TEST(RuleFile, LineEndsByteOrderMarkAndUtf8NamesAreTheProgramsText) {
  RuleSet set = read("\xEF\xBB\xBF[Caf\xC3\xA9]\rFileKey1=C:\\x|*\r\n[Two]\nFileKey1=C:\\y|*");
  ASSERT_EQ(set.entries.size(), 2u);
  EXPECT_EQ(set.entries[0].name, "Caf\xE9");  // Windows-1252
  EXPECT_EQ(set.entries[1].line, 3);
  EXPECT_EQ(set.entries[1].fileKeys.size(), 1u);
}

// Each line goes into an entry that is otherwise fine; what becomes of the entry, and
// which problem (if any) the reader reports at that line.
TEST(RuleFile, HostileAndMalformedLinesRefuseTheirEntry) {
  struct Case {
    std::string line;
    const char* refusal;  // part of the refusal, or nullptr for an entry that stays fine
    const char* problem;  // part of the problem reported at line 3, or nullptr for none
  };
  const std::string huge(100000, 'A');
  const Case cases[] = {
      {"FileKey2=%AppData%\\..\\..\\Windows|*.*", "leads out", nullptr},
      {"FileKey2=%AppData%\\x|*.*|DELETEALL", "cannot be read", "neither RECURSE nor REMOVESELF"},
      {"FileKey2=%AppData%\\x", "cannot be read", "without masks"},
      {"FileKey2=%AppData%\\x|;;", "cannot be read", "without masks"},
      {"FileKey2=%AppData%\\x|..\\*.*", "cannot be read", "not a file name mask"},
      {"FileKey2=|*.*", "cannot be read", "without a folder"},
      {"RegKey1=HKLM\\Software\\Example", "HKEY_LOCAL_MACHINE", nullptr},
      {"RegKey1=HKEY_USERS\\.DEFAULT\\Software\\X", "HKEY_USERS", nullptr},
      {"RegKey1=HKCU\\Software", "whole top-level key", nullptr},
      {"RegKey1=Software\\Example", "cannot be read", "no registry root"},
      {"RegKey1=HKCU\\", "cannot be read", "names no key"},
      {"ExcludeKey1=WHAT|C:\\x", "cannot be read", "neither FILE"},
      {"ExcludeKey1=FILE|%AppData%\\..\\x|*", "leads out", nullptr},
      {"ExcludeKey1=FILE|%AppData%\\x\\", "cannot be read", "names no file"},
      {"FileKey2=C:\\x\x01\x02|*", "cannot be read", "control characters"},
      {std::string("\x7F\xFF\xFE\x00garbage", 11), "cannot be read", "control characters"},
      {"no equals sign here", "cannot be read", "not a key=value line"},
      {"FileKey2=C:\\" + huge + "|*", "cannot be read", "a line of 100014 characters"},
      {"ExcludeKey1=REG|HKLM\\Software\\X", nullptr, nullptr},  // nothing there is cleaned anyway
      {"Unknown=1", nullptr, nullptr},
      {"FileKey2=C:\\x|*|recurse", nullptr, nullptr},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.line.substr(0, 60));
    RuleSet set = read("[Entry]\nFileKey1=%AppData%\\Good|*.tmp\n" + c.line + "\n[Next]\nFileKey1=C:\\n|*\n");
    ASSERT_EQ(set.entries.size(), 2u);
    const RuleEntry& e = set.entries[0];
    if (c.refusal) {
      ASSERT_TRUE(e.refusal);
      EXPECT_NE(e.refusal->find(c.refusal), std::string::npos) << *e.refusal;
    } else {
      EXPECT_FALSE(e.refusal) << *e.refusal;
    }
    if (c.problem) {
      ASSERT_EQ(set.problems.size(), 1u);
      EXPECT_EQ(set.problems[0].line, 3);
      EXPECT_EQ(set.problems[0].file, "test.rules.ini");
      EXPECT_NE(set.problems[0].what.find(c.problem), std::string::npos) << set.problems[0].what;
    } else {
      EXPECT_TRUE(set.problems.empty()) << set.problems[0].text();
    }
    // The next entry is read as usual.
    EXPECT_EQ(set.entries[1].name, "Next");
    EXPECT_FALSE(set.entries[1].refusal);
  }
}

TEST(RuleFile, HeadersThatCannotBeTakenAreReportedAndTheirKeysPassedOver) {
  RuleSet set = read(
      "FileKey1=C:\\before|*\n"  // 1: outside any entry
      "[Broken\n"                // 2
      "FileKey1=C:\\broken|*\n"  // 3: belongs to no entry, not reported again
      "[Kept]\n"                 // 4
      "FileKey1=C:\\kept|*\n"    // 5
      "[kept]\n"                 // 6: the tick key would be the same
      "FileKey1=C:\\second|*\n"  // 7
      "[]\n"                     // 8
      "[Only Detect]\n"          // 9
      "Detect=HKCU\\Software\\X\n",
      "winapp2.ini");
  ASSERT_EQ(set.entries.size(), 2u);
  EXPECT_EQ(set.entries[0].name, "Kept");
  EXPECT_EQ(set.entries[0].fileKeys[0].folder, "C:\\kept");
  EXPECT_EQ(set.entries[1].name, "Only Detect");
  ASSERT_TRUE(set.entries[1].refusal);
  EXPECT_NE(set.entries[1].refusal->find("nothing to clean"), std::string::npos);
  std::vector<int> lines;
  for (const RuleProblem& p : set.problems) lines.push_back(p.line);
  EXPECT_EQ(lines, (std::vector<int>{1, 2, 6, 8}));
  EXPECT_EQ(set.problems[1].text().rfind("winapp2.ini, line 2: ", 0), 0u) << set.problems[1].text();
}

TEST(RuleFile, NamesAreUniqueAcrossFiles) {
  RuleSet set;
  readRuleText("[Same]\nFileKey1=C:\\a|*\n", "winapp2.ini", set);
  readRuleText("[SAME]\nFileKey1=C:\\b|*\n[Other]\nFileKey1=C:\\c|*\n", "more.rules.ini", set);
  ASSERT_EQ(set.entries.size(), 2u);
  EXPECT_EQ(set.entries[1].file, "more.rules.ini");
  ASSERT_EQ(set.problems.size(), 1u);
  EXPECT_EQ(set.problems[0].file, "more.rules.ini");
}

TEST(RuleFile, RandomBytesNeverCrashAndEveryProblemHasALine) {
  std::mt19937 random(17);
  const std::string alphabet = "[]=|%\\;*.:\r\n\t FileKey1RegKeyExcludeKeyDetectHKCU\x00\x80\xff";
  for (int round = 0; round < 200; ++round) {
    std::string text;
    const int length = static_cast<int>(random() % 4000);
    for (int i = 0; i < length; ++i)
      text += round % 2 ? static_cast<char>(random() & 0xFF) : alphabet[random() % alphabet.size()];
    RuleSet set = read(text);
    for (const RuleProblem& p : set.problems) EXPECT_GT(p.line, 0);
    for (const RuleEntry& e : set.entries)
      if (!e.refusal) {
        EXPECT_FALSE(e.fileKeys.empty() && e.regKeys.empty());
      }
  }
}

TEST(RuleFile, RegistryRootsByShortAndLongName) {
  struct Case {
    const char* path;
    const char* root;
    const char* subkey;
  };
  const Case cases[] = {{"HKCU\\Software\\X", "HKEY_CURRENT_USER", "Software\\X"},
                        {"hkey_local_machine\\Software", "HKEY_LOCAL_MACHINE", "Software"},
                        {"HKCR\\.txt", "HKEY_CLASSES_ROOT", ".txt"},
                        {"HKU", "HKEY_USERS", ""}};
  for (const Case& c : cases) {
    auto split = splitRegistryRoot(c.path);
    ASSERT_TRUE(split) << c.path;
    EXPECT_EQ(split->root, c.root);
    EXPECT_EQ(split->subkey, c.subkey);
  }
  EXPECT_FALSE(splitRegistryRoot("HKXX\\Software"));
  EXPECT_FALSE(splitRegistryRoot("C:\\Windows"));
}

}  // namespace
}  // namespace trwk
