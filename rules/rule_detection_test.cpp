#include "rules/rule_detection.h"

#include <gtest/gtest.h>

#include "rules/rules_test_fixture.h"

namespace trwk {
namespace {

class RuleDetectionTest : public testing::RulesTest {
 protected:
  RulePaths paths{box.files(), desktop};
  RuleDetector detector{registry, paths};
  std::string profile = box.path("users\\tester");

  RuleEntry entry(const std::string& keys) {
    RuleSet set;
    readRuleText("[E]\nFileKey1=C:\\x|*\n" + keys, "t.ini", set);
    return set.entries.at(0);
  }
  void windowsVersion(const std::string& text) {
    registry.put(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion", "CurrentVersion",
                 {ValueType::String, text});
  }
};

TEST_F(RuleDetectionTest, VariablesBecomeTheKnownFolders) {
  struct Case {
    const char* text;
    std::optional<std::string> expanded;
  };
  const Case cases[] = {
      {"%AppData%\\Mozilla", profile + "\\AppData\\Roaming\\Mozilla"},
      {"%LOCALAPPDATA%\\Google\\", profile + "\\AppData\\Local\\Google"},
      {"%LocalLowAppData%\\Sun", profile + "\\AppData\\LocalLow\\Sun"},
      {"%UserProfile%", profile},
      {"%Documents%\\My Games", profile + "\\Documents\\My Games"},
      {"%CommonAppData%\\Vendor", box.path("ProgramData\\Vendor")},
      {"%ProgramFiles%\\App", box.path("Program Files\\App")},
      {"%CommonProgramFiles%\\Shared", box.path("Program Files\\Common Files\\Shared")},
      {"%WinDir%\\Temp", box.path("windows\\Temp")},
      {"%Public%\\Documents", box.path("users\\Public\\Documents")},
      {"%SystemDrive%\\Temp", box.root().substr(0, 2) + "\\Temp"},
      {"%Temp%\\\\x", profile + "\\AppData\\Local\\Temp\\x"},
      {"C:\\Plain\\Path", "C:\\Plain\\Path"},
      {"%ProgramFiles(x86)%\\App", std::nullopt},  // no such folder on this system
      {"%NoSuchVariable%\\x", std::nullopt},
      {"%AppData\\x", std::nullopt},
  };
  for (const Case& c : cases) {
    std::string why;
    EXPECT_EQ(paths.substitute(c.text, &why), c.expanded) << c.text;
    EXPECT_EQ(why.empty(), c.expanded.has_value()) << c.text << ": " << why;
  }
}

TEST_F(RuleDetectionTest, WildcardsInFolderNamesFindEveryProfile) {
  const std::string chrome = "AppData\\Local\\Google\\";
  userFile(chrome + "Chrome\\User Data\\Default\\Cache\\data_0");
  userFile(chrome + "Chrome\\User Data\\Profile 1\\Cache\\data_1");
  userFile(chrome + "Chrome\\User Data\\Profile 2\\Preferences");  // no cache here
  userFile(chrome + "Chrome SxS\\User Data\\Default\\Cache\\data_2");
  userFile(chrome + "Chromium\\User Data\\Default\\Cache\\f");  // "Chrome*" does not take it
  userFile(chrome + "Chrome\\User Data\\Local State");          // a file, not a profile

  std::vector<std::string> found =
      paths.folders("%LocalAppData%\\Google\\Chrome*\\User Data\\*\\Cache", true);
  const std::string base = profile + "\\AppData\\Local\\Google\\";
  EXPECT_EQ(found, (std::vector<std::string>{base + "Chrome\\User Data\\Default\\Cache",
                                             base + "Chrome\\User Data\\Profile 1\\Cache",
                                             base + "Chrome SxS\\User Data\\Default\\Cache"}));
  EXPECT_EQ(paths.folders("%LocalAppData%\\Google\\Chrome*\\User Data\\*\\Cache", false), found);
  EXPECT_TRUE(paths.folders("%LocalAppData%\\Nothing\\*", true).empty());

  EXPECT_TRUE(paths.exists("%LocalAppData%\\Google\\Chrome*\\User Data\\*\\Cache\\data_*"));
  EXPECT_TRUE(paths.exists("%LocalAppData%\\Google\\Chrome\\User Data\\Local State"));
  EXPECT_FALSE(paths.exists("%LocalAppData%\\Google\\Chrome*\\User Data\\*\\Cache\\nothing*"));
  EXPECT_FALSE(paths.exists("%NoSuchVariable%\\Google"));
}

#ifndef _WIN32
TEST_F(RuleDetectionTest, AFolderThatIsALinkIsNeverOffered) {
  userFile("AppData\\Local\\Vendor\\App\\Cache\\a");
  box.writeFile("outside\\Cache\\precious", "p");
  ASSERT_TRUE(linkAt("users\\tester\\AppData\\Local\\Vendor\\Linked", hostOf("outside")));
  ASSERT_TRUE(linkAt("users\\tester\\AppData\\Local\\Linked Vendor", hostOf("outside")));
  const std::string local = profile + "\\AppData\\Local\\";

  // A wildcard never picks the link; a named link is not gone through either.
  EXPECT_EQ(paths.folders("%LocalAppData%\\Vendor\\*\\Cache", true),
            std::vector<std::string>{local + "Vendor\\App\\Cache"});
  EXPECT_EQ(paths.folders("%LocalAppData%\\Vendor\\*\\Cache", false),
            std::vector<std::string>{local + "Vendor\\App\\Cache"});
  EXPECT_TRUE(paths.folders("%LocalAppData%\\Vendor\\Linked\\Cache", true).empty());
  EXPECT_TRUE(paths.folders("%LocalAppData%\\Linked Vendor", true).empty());
  // Detection only looks: there a link counts as what it leads to.
  EXPECT_TRUE(paths.exists("%LocalAppData%\\Vendor\\Linked\\Cache\\precious"));
}
#endif

TEST(OsVersion, RangesOfDetectOS) {
  struct Case {
    const char* range;
    OsVersion version;
    bool in;
  };
  const Case cases[] = {
      {"10.0|", {10, 0}, true},      {"10.0|", {6, 3}, false},  {"|6.1", {6, 1}, true},
      {"|6.1", {6, 2}, false},       {"5.1|6.3", {6, 0}, true}, {"5.1|6.3", {10, 0}, false},
      {"6.2", {6, 2}, true},         {"6.2", {6, 3}, false},    {"|", {5, 0}, true},
      {"six|", {10, 0}, false},      {"10|", {10, 0}, true},    {"6.1.7601|", {6, 1}, true},
      {" 6.1 | 6.3 ", {6, 2}, true},
  };
  for (const Case& c : cases)
    EXPECT_EQ(inOsRange(c.range, c.version), c.in)
        << c.range << " " << c.version.major << "." << c.version.minor;
}

TEST_F(RuleDetectionTest, AnEntryIsOfferedWhenAnyOfItsDetectionsFindsSomething) {
  registry.put(RootKey::CurrentUser, "Software\\Present", "", {ValueType::String, ""});
  registry.put(RootKey::LocalMachine, "SOFTWARE\\Machine App", "", {ValueType::String, ""});
  userFile("AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\abcd.default\\prefs.js");
  userFile("AppData\\Roaming\\Present App\\settings.ini");
  windowsVersion("6.1");

  struct Case {
    const char* keys;
    bool detected;
  };
  const Case cases[] = {
      {"", true},
      {"Detect=HKCU\\Software\\Present", true},
      {"Detect=HKEY_CURRENT_USER\\Software\\present\\", true},
      {"Detect=HKCU\\Software\\Absent", false},
      {"Detect=HKCU\\Software\\Absent\nDetect2=HKLM\\SOFTWARE\\Machine App", true},
      {"Detect=HKCU\\Software\\Absent\nDetectFile=%AppData%\\Present App", true},
      {"DetectFile=%AppData%\\Present*\\*.ini", true},
      {"DetectFile=%AppData%\\Absent App", false},
      {"DetectFile=%NoSuchVariable%\\x", false},
      {"DetectFile=Z:\\nowhere\\x", false},
      {"SpecialDetect=DET_MOZILLA", true},
      {"SpecialDetect=DET_CHROME", false},
      {"SpecialDetect=DET_SOMETHING_NEW\nDetect=HKCU\\Software\\Present", false},
      {"DetectOS=6.0|", true},
      {"DetectOS=10.0|", false},
      {"Detect=HKCU\\Software\\Present\nDetectOS=|5.1", false},
  };
  for (const Case& c : cases) {
    Detection d = detector.detect(entry(c.keys));
    EXPECT_EQ(d.detected, c.detected) << c.keys;
    EXPECT_EQ(d.notes.empty(), std::string(c.keys).find("DET_SOMETHING_NEW") == std::string::npos) << c.keys;
  }
}

TEST_F(RuleDetectionTest, TheVersionNumbersOfNewerSystemsWinOverTheOldText) {
  windowsVersion("6.3");
  registry.put(RootKey::LocalMachine, "SOFTWARE\\Microsoft\\Windows NT\\CurrentVersion",
               "CurrentMajorVersionNumber", {ValueType::Dword, std::string("\x0a\x00\x00\x00", 4)});
  EXPECT_EQ(detector.osVersion(), (OsVersion{10, 0}));
  EXPECT_TRUE(detector.detect(entry("DetectOS=10.0|")).detected);

  testing::MemoryRegistry empty;
  RuleDetector unknown{empty, paths};
  EXPECT_FALSE(unknown.osVersion());
  EXPECT_FALSE(unknown.detect(entry("DetectOS=5.0|")).detected);
}

}  // namespace
}  // namespace trwk
