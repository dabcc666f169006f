#include "rules/rule_cleaner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <set>

#include "rules/rules_test_fixture.h"

namespace trwk {
namespace {

class RuleCleanerTest : public testing::RulesTest {
 protected:
  Protection protection{session};
  RuleCleaner cleaner{session, protection};
  Trap trap{session.log, "ruleCleanEntry"};
  RuleSet set;

  const RuleEntry& entry(const std::string& keys) {
    set = {};
    readRuleText("[Entry]\n" + keys, "t.rules.ini", set);
    return set.entries.at(0);
  }
  // Every file and folder below the sandbox, relative to it.
  std::set<std::string> tree(const std::string& folder = "") {
    std::set<std::string> out;
    ListOptions all;
    all.folders = true;
    std::string at = folder.empty() ? box.root() : box.path(folder);
    for (const DirEntry& e : box.files().list(at + "\\*", all)) {
      if (folder.empty() && e.name == "trwk.log") continue;  // the run log is written on purpose
      std::string relative = (folder.empty() ? "" : folder + "\\") + e.name;
      out.insert(relative + (e.isFolder ? "\\" : ""));
      if (e.isFolder && !e.isLink)
        for (const std::string& inner : tree(relative)) out.insert(inner);
    }
    return out;
  }
  std::set<std::string> under(const std::string& prefix) {
    std::set<std::string> out;
    for (const std::string& p : tree())
      if (p.rfind(prefix, 0) == 0 && p.size() > prefix.size()) out.insert(p.substr(prefix.size()));
    return out;
  }
};

TEST_F(RuleCleanerTest, BrowserProfilesLoseTheirCachesAndKeepWhatTheEntriesExclude) {
  const std::string chrome = "AppData\\Local\\Google\\Chrome\\User Data\\";
  for (const char* p : {"Default\\", "Profile 1\\"}) {
    userFile(chrome + p + "Cache\\Cache_Data\\data_0");
    userFile(chrome + p + "Code Cache\\js\\index");
    userFile(chrome + p + "Cookies");
    userFile(chrome + p + "Bookmarks");
    userFile(chrome + p + "Network\\Cookies");
    userFile(chrome + p + "Current Session");
  }
  const std::string firefox = "AppData\\Roaming\\Mozilla\\Firefox\\Profiles\\abcd.default-release\\";
  const std::string ffCache = "AppData\\Local\\Mozilla\\Firefox\\Profiles\\abcd.default-release\\cache2\\";
  userFile(firefox + "cookies.sqlite");
  userFile(firefox + "places.sqlite");
  userFile(firefox + "formhistory.sqlite");
  userFile(firefox + "bookmarkbackups\\bookmarks-2024.jsonlz4");
  userFile(firefox + "sessionstore.jsonlz4");
  userFile(ffCache + "entries\\0A1B2C");
  userFile(ffCache + "doomed\\x");
  const std::string edge = "AppData\\Local\\Microsoft\\Edge\\User Data\\Default\\";
  userFile(edge + "Cache\\Cache_Data\\f_000001");
  userFile(edge + "Cookies");
  userFile(edge + "Bookmarks");
  userFile(edge + "debug.log");

  struct Rule {
    const char* keys;
  };
  const Rule rules[] = {
      {"FileKey1=%LocalAppData%\\Google\\Chrome*\\User Data\\*|*.*|RECURSE\n"
       "ExcludeKey1=FILE|%LocalAppData%\\Google\\Chrome*\\User Data\\*\\|Cookies\n"
       "ExcludeKey2=FILE|%LocalAppData%\\Google\\Chrome*\\User Data\\*\\|Bookmarks\n"
       "ExcludeKey3=PATH|%LocalAppData%\\Google\\Chrome*\\User Data\\*\\Network\\\n"},
      {"FileKey1=%LocalAppData%\\Mozilla\\Firefox\\Profiles\\*\\cache2|*.*|REMOVESELF\n"
       "FileKey2=%AppData%\\Mozilla\\Firefox\\Profiles\\*|*.sqlite;sessionstore*\n"
       "FileKey3=%AppData%\\Mozilla\\Firefox\\Profiles\\*|*.jsonlz4|RECURSE\n"
       "ExcludeKey1=FILE|%AppData%\\Mozilla\\Firefox\\Profiles\\*\\cookies.sqlite\n"
       "ExcludeKey2=PATH|%AppData%\\Mozilla\\Firefox\\Profiles\\*\\bookmarkbackups\\\n"},
      {"FileKey1=%LocalAppData%\\Microsoft\\Edge\\User Data\\*\\Cache|*|REMOVESELF\n"
       "FileKey2=%LocalAppData%\\Microsoft\\Edge\\User Data\\*|*.log;Cookies;Bookmarks\n"
       "ExcludeKey1=FILE|%LocalAppData%\\Microsoft\\Edge\\User Data\\*\\|Cookies\n"
       "ExcludeKey2=FILE|%LocalAppData%\\Microsoft\\Edge\\User Data\\Default\\Bookmarks\n"},
  };
  for (const Rule& r : rules) EXPECT_TRUE(cleaner.clean(entry(r.keys), trap)) << r.keys;
  EXPECT_EQ(trap.failures(), 0) << log();

  EXPECT_EQ(
      under("users\\tester\\" + chrome),
      (std::set<std::string>{"Default\\", "Default\\Cookies", "Default\\Bookmarks", "Default\\Network\\",
                             "Default\\Network\\Cookies", "Profile 1\\", "Profile 1\\Cookies",
                             "Profile 1\\Bookmarks", "Profile 1\\Network\\", "Profile 1\\Network\\Cookies"}));
  EXPECT_EQ(under("users\\tester\\" + firefox),
            (std::set<std::string>{"cookies.sqlite", "bookmarkbackups\\",
                                   "bookmarkbackups\\bookmarks-2024.jsonlz4"}));
  EXPECT_FALSE(userHas(ffCache));
  EXPECT_TRUE(userHas("AppData\\Local\\Mozilla\\Firefox\\Profiles\\abcd.default-release"));
  EXPECT_EQ(under("users\\tester\\" + edge), (std::set<std::string>{"Cookies", "Bookmarks"}));
  EXPECT_GT(cleaner.stats().files, 10u);
}

// What each FileKey form takes from one folder, with and without exclusions.
TEST_F(RuleCleanerTest, EachFileKeyFormTakesItsShareOfTheFolder) {
  struct Case {
    const char* keys;
    std::set<std::string> left;  // in the folder afterwards; "-" for the folder gone
  };
  const Case cases[] = {
      {"FileKey1=%LocalAppData%\\App|*.tmp",
       {"b.log", "sub\\", "sub\\c.tmp", "sub\\d.txt", "sub\\deeper\\", "sub\\deeper\\e.tmp", "empty\\"}},
      {"FileKey1=%LocalAppData%\\App|*.tmp;*.LOG",
       {"sub\\", "sub\\c.tmp", "sub\\d.txt", "sub\\deeper\\", "sub\\deeper\\e.tmp", "empty\\"}},
      // The masks apply at every depth; a folder goes once nothing in it stays.
      {"FileKey1=%LocalAppData%\\App|*.tmp|RECURSE", {"b.log", "sub\\", "sub\\d.txt"}},
      {"FileKey1=%LocalAppData%\\App|*.*|RECURSE", {}},
      {"FileKey1=%LocalAppData%\\App|*.*|REMOVESELF", {"-"}},
      {"FileKey1=%LocalAppData%\\App|*.tmp|RECURSE\nExcludeKey1=FILE|%LocalAppData%\\App\\|keep.tmp",
       {"b.log", "keep.tmp", "sub\\", "sub\\d.txt"}},
      {"FileKey1=%LocalAppData%\\App|*.*|RECURSE\nExcludeKey1=PATH|%LocalAppData%\\App\\|*.txt",
       {"sub\\", "sub\\d.txt"}},
      {"FileKey1=%LocalAppData%\\App|*.*|REMOVESELF\nExcludeKey1=PATH|%LocalAppData%\\App\\sub\\deeper",
       {"sub\\", "sub\\deeper\\", "sub\\deeper\\e.tmp"}},
      {"FileKey1=%LocalAppData%\\App|*.*|RECURSE\nExcludeKey1=FILE|%LocalAppData%\\App\\sub|*.tmp",
       {"sub\\", "sub\\c.tmp"}},
      {"FileKey1=%LocalAppData%\\App|*.*\nExcludeKey1=PATH|%LocalAppData%\\",
       {"a.tmp", "b.log", "keep.tmp", "sub\\", "sub\\c.tmp", "sub\\d.txt", "sub\\deeper\\",
        "sub\\deeper\\e.tmp", "empty\\"}},
  };
  const std::string app = "users\\tester\\AppData\\Local\\App\\";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    for (const char* f : {"a.tmp", "b.log", "keep.tmp", "sub\\c.tmp", "sub\\d.txt", "sub\\deeper\\e.tmp"})
      box.writeFile(app + f, "x");
    if (!box.files().folderExists(box.path(app + "empty"))) box.files().createFolder(box.path(app + "empty"));
    EXPECT_TRUE(cleaner.clean(entry(c.keys), trap));
    if (c.left == std::set<std::string>{"-"})
      EXPECT_FALSE(has(app));
    else
      EXPECT_EQ(under(app), c.left);
    EXPECT_EQ(trap.failures(), 0) << log();
    if (has(app)) {
      Removal tidy(session);
      tidy.deleteTree(box.path(app), OnError::Stop);
    }
  }
}

TEST_F(RuleCleanerTest, HostileEntriesAreRefusedWholeAndTouchNothing) {
  userFile("AppData\\Local\\App\\a.tmp");
  userFile("AppData\\Roaming\\Vendor\\settings.ini");
  userFile("AppData\\Local\\Temp\\t.tmp");
  userFile("Documents\\letter.doc");
  userFile("notes.txt");
  box.writeFile("windows\\setup.log", "w");
  box.writeFile("windows\\system32\\driver.sys", "s");
  box.writeFile("Program Files\\App\\app.exe", "e");
  box.writeFile("ProgramData\\shared.dat", "d");
  registry.put(RootKey::LocalMachine, "Software\\Vendor", "Value", {ValueType::String, "v"});
  const std::set<std::string> before = tree();

  struct Case {
    const char* keys;
    const char* why;
  };
  const Case cases[] = {
      {"FileKey1=%SystemDrive%\\|*.*|RECURSE", "drive root"},
      {"FileKey1=C:\\|*.tmp", "drive root"},
      {"FileKey1=%WinDir%|*.log", "protected location"},
      {"FileKey1=%WinDir%\\System32|*.sys", "protected location"},
      {"FileKey1=%WinDir%\\..\\|*.*", "leads out"},
      {"FileKey1=%AppData%\\..\\..\\|*.*|RECURSE", "leads out"},
      {"FileKey1=%UserProfile%|*.txt", "protected location"},
      {"FileKey1=%Documents%|*.*", "protected location"},
      {"FileKey1=%ProgramFiles%|*.*|RECURSE", "protected location"},
      {"FileKey1=%CommonAppData%|*.dat", "protected location"},
      {"FileKey1=%AppData%|*.*|RECURSE", "whole of %APPDATA%"},
      {"FileKey1=%LocalAppData%|*.tmp|RECURSE", "whole of %LOCALAPPDATA%"},
      {"FileKey1=%Temp%|*.*|REMOVESELF", "whole of %TEMP%"},
      {"FileKey1=%LocalAppData%\\App|*.tmp\nRegKey1=HKLM\\Software\\Vendor", "HKEY_LOCAL_MACHINE"},
      {"FileKey1=%LocalAppData%\\App|*.tmp\nExcludeKey1=FILE|%NoSuchVariable%\\x|*", "NoSuchVariable"},
      {"FileKey1=%LocalAppData%\\App|*.tmp\nFileKey2=C:\\Nope|*.*|DELETE", "cannot be read"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys);
    RulePlan plan = cleaner.plan(entry(c.keys), false);
    ASSERT_TRUE(plan.refusal);
    EXPECT_NE(plan.refusal->find(c.why), std::string::npos) << *plan.refusal;
    const int failures = trap.failures();
    EXPECT_FALSE(cleaner.clean(set.entries[0], trap));
    EXPECT_EQ(trap.failures(), failures + 1);
    EXPECT_EQ(tree(), before);
  }
  RegValue v;
  EXPECT_EQ(registry.queryValue(RootKey::LocalMachine, "Software\\Vendor", "Value", v), regstatus::kSuccess);
  EXPECT_NE(log().find("Entry refused: FileKey at line 2"), std::string::npos) << log();

  // A variable this system does not know only leaves its key out.
  RulePlan unknown =
      cleaner.plan(entry("FileKey1=%NoSuchVariable%\\x|*.*\nFileKey2=%LocalAppData%\\App|*.tmp"), true);
  EXPECT_FALSE(unknown.refusal);
  ASSERT_EQ(unknown.notes.size(), 1u);
  EXPECT_EQ(unknown.targets.size(), 1u);
}

#ifndef _WIN32
TEST_F(RuleCleanerTest, RecurseAndRemoveSelfNeverCrossALink) {
  for (const char* flags : {"RECURSE", "REMOVESELF"}) {
    SCOPED_TRACE(flags);
    box.writeFile("outside\\precious.tmp", "p");
    box.writeFile("outside\\inner\\deep.tmp", "p");
    userFile("AppData\\Local\\App\\Cache\\a.tmp");
    userFile("AppData\\Local\\App\\Cache\\sub\\b.tmp");
    ASSERT_TRUE(linkAt("users\\tester\\AppData\\Local\\App\\Cache\\dirlink.tmp", hostOf("outside")));
    ASSERT_TRUE(linkAt("users\\tester\\AppData\\Local\\App\\Cache\\sub\\filelink.tmp",
                       hostOf("outside\\precious.tmp")));
    ASSERT_TRUE(linkAt("users\\tester\\AppData\\Local\\App\\Linked", hostOf("outside")));

    EXPECT_TRUE(cleaner.clean(entry(std::string("FileKey1=%LocalAppData%\\App\\Cache|*.tmp|") + flags +
                                    "\nFileKey2=%LocalAppData%\\App\\Linked|*.*|" + flags +
                                    "\nFileKey3=%LocalAppData%\\App\\*\\inner|*.*|" + flags),
                              trap));
    EXPECT_EQ(trap.failures(), 0) << log();
    EXPECT_EQ(under("outside\\"), (std::set<std::string>{"precious.tmp", "inner\\", "inner\\deep.tmp"}));
    EXPECT_FALSE(userHas("AppData\\Local\\App\\Cache\\a.tmp"));
    EXPECT_FALSE(userHas("AppData\\Local\\App\\Cache\\dirlink.tmp")) << "the link goes as itself";
    EXPECT_FALSE(userHas("AppData\\Local\\App\\Cache\\sub\\filelink.tmp"));
    EXPECT_TRUE(userHas("AppData\\Local\\App\\Linked")) << "a link named as the folder is not entered";
    Removal tidy(session);
    tidy.deleteTree(box.path("users\\tester\\AppData\\Local\\App"), OnError::Stop);
    tidy.deleteTree(box.path("outside"), OnError::Stop);
  }
}
#endif

TEST_F(RuleCleanerTest, RegistryKeysAndValuesUnderTheCurrentUserUnlessExcluded) {
  const std::string tool = "Software\\Maker\\Tool";
  registry.put(RootKey::CurrentUser, tool, "LastFile", {ValueType::String, "x"});
  registry.put(RootKey::CurrentUser, tool, "Pinned", {ValueType::String, "x"});
  registry.put(RootKey::CurrentUser, tool + "\\Recent", "1", {ValueType::String, "x"});
  registry.put(RootKey::CurrentUser, tool + "\\History", "1", {ValueType::String, "x"});
  registry.put(RootKey::CurrentUser, tool + "\\Kept", "1", {ValueType::String, "x"});
  registry.put(RootKey::CurrentUser, tool + "\\Parent\\Child", "1", {ValueType::String, "x"});

  EXPECT_TRUE(cleaner.clean(entry("RegKey1=HKCU\\Software\\Maker\\Tool|LastFile\n"
                                  "RegKey2=HKCU\\Software\\Maker\\Tool|Pinned\n"
                                  "RegKey3=HKEY_CURRENT_USER\\Software\\Maker\\Tool\\Recent\n"
                                  "RegKey4=HKCU\\Software\\Maker\\Tool\\History\n"
                                  "RegKey5=HKCU\\Software\\Maker\\Tool\\Kept\n"
                                  "RegKey6=HKCU\\Software\\Maker\\Tool\\Missing\n"
                                  "ExcludeKey1=REG|HKCU\\Software\\Maker\\Tool|Pinned\n"
                                  "ExcludeKey2=REG|HKCU\\Software\\Maker\\Tool\\Kept\n"),
                            trap));
  RegValue v;
  EXPECT_NE(registry.queryValue(RootKey::CurrentUser, tool, "LastFile", v), regstatus::kSuccess);
  EXPECT_EQ(registry.queryValue(RootKey::CurrentUser, tool, "Pinned", v), regstatus::kSuccess);
  EXPECT_NE(registry.keyExists(RootKey::CurrentUser, tool + "\\Recent"), regstatus::kSuccess);
  EXPECT_NE(registry.keyExists(RootKey::CurrentUser, tool + "\\History"), regstatus::kSuccess);
  EXPECT_EQ(registry.keyExists(RootKey::CurrentUser, tool + "\\Kept"), regstatus::kSuccess);
  EXPECT_EQ(trap.failures(), 0) << log();
}

}  // namespace
}  // namespace trwk
