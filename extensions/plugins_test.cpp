#include "extensions/plugins.h"

#include <gtest/gtest.h>

#include "cleaning/cleaning_test_fixture.h"

namespace trwk {
namespace {

constexpr const char* kTool = "Software\\Maker\\Tool";

class PluginsTest : public testing::CleaningTest {
 protected:
  Plugins plugins{session};

  void header(const std::string& file, const std::string& name, const std::string& active) {
    box.writeFile(file, "[Main]\r\nName=" + name + "\r\nVersion=1.0\r\nActive=" + active + "\r\n");
  }
  // A ticked plugin whose body is the given text.
  void plugin(const std::string& base, const std::string& body) {
    header(base + ".cp2", base, "True");
    box.writeFile(base + ".cp1", body);
  }
  bool has(const std::string& relative) {
    return box.files().fileExists(box.path(relative)) || box.files().folderExists(box.path(relative));
  }
  bool hasValue(const std::string& key, const std::string& name) {
    RegValue v;
    return registry.queryValue(RootKey::CurrentUser, key, name, v) == regstatus::kSuccess;
  }
  bool hasKey(const std::string& key) {
    return registry.keyExists(RootKey::CurrentUser, key) == regstatus::kSuccess;
  }
  std::string at(const std::string& relative) { return box.path(relative); }
  void runAlone() {
    plugins.fixPlugins();
    cleanPlugins(context, plugins);
  }
  int logLines() {
    std::string text = log();
    return static_cast<int>(std::count(text.begin(), text.end(), '\n'));
  }
};

TEST_F(PluginsTest, FixPluginsListsHeadersInNameOrderWithTheirActiveFlags) {
  header("game2.cp2", "Game Two", "True");
  header("Alpha.cp2", "Alpha", "1");
  header("beta.CP2", "Beta", "yes");  // not a truth value
  header("Delta.cp2", "Delta", "False");
  box.writeFile("Empty.cp2", "");  // no keys at all
  box.writeFile("folder.cp2\\inside.txt", "x");
  box.writeFile("other.cp1", "");

  plugins.fixPlugins();
  EXPECT_EQ(plugins.headerFiles,
            (std::vector<std::string>{"Alpha.cp2", "beta.CP2", "Delta.cp2", "Empty.cp2", "game2.cp2"}));
  EXPECT_EQ(plugins.names, (std::vector<std::string>{"Alpha", "Beta", "Delta", "", "Game Two"}));
  EXPECT_EQ(plugins.list4, plugins.names);
  EXPECT_EQ(plugins.ticks, (std::vector<bool>{true, false, false, false, true}));
  EXPECT_EQ(plugins.pathBox, box.root() + "\\");
  EXPECT_EQ(plugins.bodyFileName(4), "game2.cp1");
  // The two unreadable flags, and nothing else, are logged.
  EXPECT_EQ(logLines(), 2) << log();
  EXPECT_NE(log().find("fixPlugins"), std::string::npos);

  // Built afresh, not appended to.
  plugins.fixPlugins();
  EXPECT_EQ(plugins.rowCount(), 5);
}

TEST_F(PluginsTest, TickingARowWritesActiveAtOnceButNeverRecreatesADeletedHeader) {
  header("A.cp2", "A", "0");
  header("B.cp2", "B", "0");
  plugins.fixPlugins();
  plugins.setActive(1, true);
  EXPECT_EQ(session.settings.getini("Main", "Active", at("B.cp2")), "True");
  EXPECT_EQ(session.settings.getini("Main", "Name", at("B.cp2")), "B");
  plugins.setActive(1, false);
  EXPECT_EQ(session.settings.getini("Main", "Active", at("B.cp2")), "False");
  EXPECT_EQ(session.settings.getini("Main", "Active", at("A.cp2")), "0");

  box.files().deleteFile(at("A.cp2"));
  plugins.setActive(0, true);
  EXPECT_TRUE(plugins.ticks[0]);
  EXPECT_FALSE(has("A.cp2"));
  plugins.setActive(7, true);  // no such row
}

TEST_F(PluginsTest, CleaningGame2RunsGame2sBodyAloneAndCompletesTheRun) {
  box.writeFile("a.txt", "a");
  box.writeFile("b.txt", "b");
  plugin("Game2", at("a.txt") + "\r\n");
  box.writeFile("Game1.cp1", at("b.txt") + "\r\n");
  runAlone();
  EXPECT_FALSE(has("a.txt"));
  EXPECT_TRUE(has("b.txt"));
  EXPECT_EQ(state.runningFamily, "");
  EXPECT_EQ(state.progress.value, 1);
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "Cleaning System...Done");
  EXPECT_NE(session.settings.getini("Senast", "Value1", session.maintenIni()), "");
  EXPECT_EQ(log(), "");
}

TEST_F(PluginsTest, InsideCleanAllOnlyTheLinesRunWithTheFamilyShown) {
  std::vector<std::string> shownFamilies;
  context.refresh = [&] { shownFamilies.push_back(state.runningFamily + "|" + state.statusText); };
  box.writeFile("a.txt", "a");
  plugin("P", at("a.txt"));
  state.cleanAllRunning = true;
  runAlone();
  EXPECT_FALSE(has("a.txt"));
  ASSERT_FALSE(shownFamilies.empty());
  EXPECT_EQ(shownFamilies.front(), "Plugins|Removing Plugin files");
  EXPECT_TRUE(box.ui.boxes.empty());
  EXPECT_EQ(session.settings.getini("Senast", "Value1", session.maintenIni()), "");
}

TEST_F(PluginsTest, RegistryLinesDeleteValuesAndKeysUnderTheCurrentUserOnly) {
  registry.put(RootKey::CurrentUser, kTool, "LastFile", {ValueType::String, "x"});
  registry.put(RootKey::CurrentUser, kTool, "Other", {ValueType::String, "y"});
  registry.createKey(RootKey::CurrentUser, "Software\\Maker\\Tool\\Recent");
  registry.createKey(RootKey::CurrentUser, "Software\\A-B\\C");
  registry.createKey(RootKey::CurrentUser, "Software\\Kept");
  registry.createKey(RootKey::CurrentUser, "Software\\Typo");
  registry.put(RootKey::LocalMachine, "Software\\Maker", "Mine", {ValueType::String, "z"});
  registry.createKey(RootKey::CurrentUser, "Maker");  // what a foreign root's mangled path would hit
  plugin("Reg",
         "HKEY_CURRENT_USER\\Software\\Maker\\Tool+LastFile\r\n"
         "HKEY_CURRENT_USER\\Software\\Maker\\Tool\\Recent-\r\n"
         "HKEY_CURRENT_USER\\Software\\A-B\\C-\r\n"
         "/* HKEY_CURRENT_USER\\Software\\Kept-\r\n"
         "HKEY_CURRENT_USER\\Software\\Typo\r\n"
         "HKEY_LOCAL_MACHINE\\Software\\Maker+Mine\r\n"
         "HKEY_LOCAL_MACHINE\\Maker-\r\n"
         "HKEY_CURRENT_USER\\-\r\n"
         "HKEY_CURRENT_USER\\Software\\Missing+Value\r\n");
  runAlone();
  EXPECT_FALSE(hasValue(kTool, "LastFile"));
  EXPECT_TRUE(hasValue(kTool, "Other"));
  EXPECT_FALSE(hasKey("Software\\Maker\\Tool\\Recent"));
  EXPECT_TRUE(hasKey(kTool));
  EXPECT_FALSE(hasKey("Software\\A-B\\C"));
  EXPECT_TRUE(hasKey("Software\\A-B"));
  EXPECT_TRUE(hasKey("Software\\Kept"));
  EXPECT_TRUE(hasKey("Software\\Typo"));
  EXPECT_TRUE(hasKey("Maker"));
  RegValue v;
  EXPECT_EQ(registry.queryValue(RootKey::LocalMachine, "Software\\Maker", "Mine", v), regstatus::kSuccess);
  // Lines 5 to 8 are logged by number; the comment and the missing value are not.
  std::string text = log();
  EXPECT_EQ(logLines(), 4) << text;
  for (const char* expected :
       {"pluginCleanFiles at line 5", "pluginCleanFiles at line 6", "pluginCleanFiles at line 7",
        "pluginCleanFiles at line 8", "HKEY_LOCAL_MACHINE"})
    EXPECT_NE(text.find(expected), std::string::npos) << expected << "\n" << text;
}

TEST_F(PluginsTest, PathLinesRemoveFilesMasksAndFoldersThatTheyName) {
  box.writeFile("t\\a.tmp", "1");
  box.writeFile("t\\b.tmp", "2");
  box.writeFile("t\\keep.txt", "3");
  box.writeFile("t\\sub.tmp\\inner.txt", "4");   // a folder the mask matches
  box.writeFile("n\\only.tmp\\inner.txt", "5");  // matches, but no ordinary file does
  box.writeFile("f\\deep\\x.dat", "6");
  box.writeFile("f2\\y.dat", "7");
  box.writeFile("single.log", "8");
  plugin("Paths", at("t\\*.tmp") + "\r\n" + at("n\\*.tmp") + "\r\n" + at("f") + "\r\n" + at("f2\\") + "\r\n" +
                      at("single.log") + "\r\n" + at("absent\\*.*") + "\r\n" + at("absent.txt") + "\r\n");
  runAlone();
  EXPECT_FALSE(has("t\\a.tmp"));
  EXPECT_FALSE(has("t\\b.tmp"));
  EXPECT_FALSE(has("t\\sub.tmp"));
  EXPECT_TRUE(has("t\\keep.txt"));
  EXPECT_TRUE(has("n\\only.tmp\\inner.txt"));
  EXPECT_FALSE(has("f"));
  EXPECT_FALSE(has("f2"));
  EXPECT_FALSE(has("single.log"));
  EXPECT_TRUE(has("Paths.cp1"));
  EXPECT_EQ(log(), "");
}

TEST_F(PluginsTest, UnsafePathLinesAreRefusedAndLogged) {
  box.writeFile("Game\\save.dat", "s");
  box.writeFile("victim.txt", "v");
  box.writeFile("Game\\x.txt", "x");
  const std::string root = box.root();
  std::string drive = root.substr(0, 3);  // "C:\"
  plugin("Bad",
         "victim.txt\r\n"                            // relative to the current folder
         "\\victim.txt\r\n"                          // relative to the current drive
         "\\\\server\\share\\victim.txt\r\n"         // network
             + at("Game\\..\\victim.txt") + "\r\n"   // climbs out
             + at("Game\\...\\victim.txt") + "\r\n"  //
             + at("Game\\save.dat:stream") + "\r\n"  // a stream, not the file
             + drive + "\r\n"                        // a whole drive
             + root.substr(0, 2) + "\r\n");          // "C:" alone
  runAlone();
  EXPECT_TRUE(has("victim.txt"));
  EXPECT_TRUE(has("Game\\save.dat"));
  EXPECT_TRUE(has("Game\\x.txt"));
  EXPECT_EQ(logLines(), 8) << log();
  // The rule the removal engine and the User.def lines judge path text by.
  for (const char* why :
       {"Refused: not a full path with a drive letter: victim.txt",
        "Refused: network and device paths are not cleaned",
        "Refused: \"\".\"\" or \"\"..\"\" in the path",  // the log doubles a quote
        "Refused: a stream or device name in the path", "Refused: a drive cannot be removed"})
    EXPECT_NE(log().find(why), std::string::npos) << why << "\n" << log();
}

TEST_F(PluginsTest, TwoPluginsRunInListOrderAndAMissingBodyEndsOnlyItsPlugin) {
  box.writeFile("one.txt", "1");
  box.writeFile("two.txt", "2");
  plugin("b_second", "HKEY second\r\n" + at("two.txt"));
  plugin("A_first", "HKEY first\r\n" + at("one.txt"));
  header("a_missing.cp2", "Missing", "True");
  header("c_off.cp2", "Off", "False");
  box.writeFile("c_off.cp1", "HKEY off\r\n");
  runAlone();
  EXPECT_FALSE(has("one.txt"));
  EXPECT_FALSE(has("two.txt"));
  std::string text = log();
  std::size_t first = text.find("HKEY first"), missing = text.find("(53)"), second = text.find("HKEY second");
  ASSERT_NE(first, std::string::npos) << text;
  ASSERT_NE(missing, std::string::npos) << text;
  ASSERT_NE(second, std::string::npos) << text;
  EXPECT_LT(first, missing);
  EXPECT_LT(missing, second);
  EXPECT_EQ(text.find("HKEY off"), std::string::npos);
  EXPECT_EQ(state.progress.value, 3);
}

TEST_F(PluginsTest, BadBodyBytesNeverRemoveWhatNoLineNames) {
  box.writeFile("keep.txt", "k");
  box.writeFile("cr1.txt", "1");
  box.writeFile("cr2.txt", "2");
  std::string nul = at("keep.txt");
  nul += '\0';
  nul += "junk";
  std::string body = nul + "\r\n" + std::string(100000, 'A') + "\r\n" + "C:\\" + std::string(70000, 'x') +
                     "\r\n" + "HKEY\r\nHKEY\r\n" + "\x01\x02\xff\xfe\r\n" + at("cr1.txt") + "\r" +
                     at("cr2.txt") + "\r";
  plugin("Bin", body);
  runAlone();
  EXPECT_TRUE(has("keep.txt"));
  EXPECT_FALSE(has("cr1.txt"));
  EXPECT_FALSE(has("cr2.txt"));
  EXPECT_TRUE(has("Bin.cp2"));
  std::string text = log();
  EXPECT_LT(text.size(), 4000u) << "long lines are cut in the log";
  EXPECT_EQ(text.find('\0'), std::string::npos);
}

TEST_F(PluginsTest, AFailedRemovalIsLoggedAndTheNextLineStillRuns) {
  box.writeFile("a.txt", "a");
  box.writeFile("b.txt", "b");
  plugin("F", at("a.txt") + "\r\n" + at("b.txt") + "\r\n");
  files.fail("deleteFile", 70);
  runAlone();
  files.heal("deleteFile");
  EXPECT_TRUE(has("a.txt"));
  EXPECT_EQ(logLines(), 2) << log();
  EXPECT_NE(log().find("pluginCleanFiles at line 2"), std::string::npos) << log();
}

class FakeDesktop : public Desktop {
 public:
  explicit FakeDesktop(Desktop& inner) : inner_(inner) {}
  std::optional<std::string> knownFolder(KnownFolder id) override { return inner_.knownFolder(id); }
  std::string programFolder() override { return inner_.programFolder(); }
  bool startProgram(const std::string& path, const std::string& arguments) override {
    started.push_back(path + "|" + arguments);
    return result;
  }
  bool emptyRecycleBin() override { return false; }
  std::vector<std::string> started;
  bool result = true;

 private:
  Desktop& inner_;
};

TEST_F(PluginsTest, StartPluginCreatorStartsExtmakerOrSaysItIsMissing) {
  FakeDesktop desktop(box.desktop());
  Session own{{files, registry, desktop, box.clock, box.random, box.ui}, box.root()};
  EXPECT_FALSE(startPluginCreator(own));
  EXPECT_TRUE(desktop.started.empty());
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_NE(box.ui.boxes[0].text.find("Extmaker1.exe"), std::string::npos);

  box.writeFile("Extmaker1.exe", "MZ");
  EXPECT_TRUE(startPluginCreator(own));
  EXPECT_EQ(desktop.started, (std::vector<std::string>{box.path("Extmaker1.exe") + "|"}));
  EXPECT_EQ(box.ui.boxes.size(), 1u);

  desktop.result = false;
  EXPECT_FALSE(startPluginCreator(own));
  EXPECT_EQ(box.ui.boxes.size(), 2u);
}

}  // namespace
}  // namespace trwk
