#include "shell/headless.h"

#include <gtest/gtest.h>

#include <map>
#include <optional>
#include <sstream>

#include "shell/command_line.h"
#include "shell/console_ui.h"
#include "shell/shell_test_fakes.h"
#include "testing/fault_files.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

class HeadlessTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  testing::MemoryRegistry reg;
  testing::FakeDesktop desktop{box.root()};
  std::ostringstream out, err;
  ConsoleUi ui{out};
  AppSettingsStore store{reg, AppSettingsStore::kDefaultKey};

  int run(const std::string& family, bool accept) {
    Platform platform{box.files(), reg, desktop, box.clock, box.random, ui};
    return runHeadless(platform, {family, accept, {}}, out, err);
  }
  bool exists(const std::string& relative) { return box.files().fileExists(box.path(relative)); }
  std::string file(const std::string& relative) {
    return exists(relative) ? box.readFile(relative) : std::string();
  }

  // A program folder whose settings tick the cookie item and point at seeded folders.
  void seed() {
    box.writeFile("History\\h.dat", "h");
    box.writeFile("Cache\\c.dat", "c");
    box.writeFile("Cookies\\tester@keep.txt", "keep");
    box.writeFile("Cookies\\tester@gone.txt", "gone");
    box.writeFile("cookies1.lst", "tester@keep.txt\r\n");
    const std::string root = box.root();
    box.writeFile("mainten.ini", "[Path]\r\nDetect=1\r\nIE1=" + root + "\\History\\\r\nIE2=" + root +
                                     "\\Cache\\\r\nIE3=" + root + "\\Cookies\\\r\nIE4=" + root +
                                     "\\Cache\\\r\n[Rensa]\r\nValue3=1\r\n[Inst]\r\nSafetylevel=1\r\n");
  }
};

TEST_F(HeadlessTest, AnUnknownFamilyIsRefusedBeforeAnythingIsTouched) {
  EXPECT_EQ(run("firefox", true), kExitCommandLine);
  EXPECT_NE(err.str().find("'userdef', 'plugins', 'rules' are."), std::string::npos) << err.str();
  EXPECT_FALSE(exists("trwk.log"));
  EXPECT_EQ(store.agreementSetting(), 1) << "the licence was not accepted by a refused command";
}

TEST_F(HeadlessTest, WithoutTheAgreementNothingIsCleanedOrWritten) {
  seed();
  std::string settings = file("mainten.ini");
  EXPECT_EQ(run("ie", false), kExitLicence);
  EXPECT_NE(err.str().find("licence agreement and disclaimer have not been accepted"), std::string::npos)
      << err.str();
  EXPECT_TRUE(exists("Cookies\\tester@gone.txt"));
  EXPECT_EQ(file("mainten.ini"), settings);
  EXPECT_EQ(store.agreementSetting(), 1);
  EXPECT_NE(file("trwk.log").find("Session Started"), std::string::npos) << "the session did start";
}

TEST_F(HeadlessTest, AWholeSessionCleansTheTickedItemsAndWritesTheSettingsBack) {
  seed();
  EXPECT_EQ(run("ie", true), 0) << err.str();
  EXPECT_EQ(err.str(), "");
  EXPECT_EQ(store.agreementSetting(), 0) << "accepted for this user";
  EXPECT_TRUE(exists("Cookies\\tester@keep.txt"));
  EXPECT_FALSE(exists("Cookies\\tester@gone.txt"));
  EXPECT_TRUE(exists("History\\h.dat")) << "unticked items stay";
  const std::string o = out.str();
  EXPECT_NE(o.find("accepted (--accept-licence)"), std::string::npos) << o;
  EXPECT_NE(o.find("[Info] Cleaning System...Done -> OK\n"), std::string::npos) << o;
  EXPECT_NE(o.find("This computer was last cleaned: 2026-12-08 14:05:08\n"), std::string::npos) << o;
  const std::string ini = file("mainten.ini");
  EXPECT_NE(ini.find("Value1=2026-12-08 14:05:08"), std::string::npos) << ini;
  EXPECT_NE(ini.find("Value3=1"), std::string::npos) << "the ticks are written back at unload\n" << ini;
  EXPECT_NE(ini.find("[Statistics]\r\nCurrent=2\r\nSize1="), std::string::npos) << ini;
  EXPECT_EQ(file("trwk.log").find("Session Started"), file("trwk.log").rfind("Session Started"));
}

TEST_F(HeadlessTest, AnAcceptedUserCleansAllWithoutTheOption) {
  store.saveAgreementSetting(0);
  seed();
  EXPECT_EQ(run("all", false), 0) << err.str();
  EXPECT_FALSE(exists("Cookies\\tester@gone.txt"));
  EXPECT_EQ(out.str().find("accepted (--accept-licence)"), std::string::npos);
  EXPECT_NE(out.str().find("cleaning all families"), std::string::npos) << out.str();
}

TEST_F(HeadlessTest, EachFamilyCleansOnlyItsOwnItems) {
  store.saveAgreementSetting(0);
  seed();
  // Opera and the Windows document history beside the Internet Explorer traces, every
  // item of the three families ticked.
  box.writeFile("Opera\\cookies4.dat", "cookies");
  box.writeFile("Opera\\Cache4\\opr1.htm", "page");
  box.writeFile("Recent\\letter.lnk", "link");
  const std::string root = box.root();
  std::string ini = file("mainten.ini");
  ini.insert(ini.find("[Rensa]\r\n") + 9, "Value10=1\r\nValue12=1\r\nValue14=1\r\n");
  ini.insert(ini.find("Detect=1\r\n") + 10, "Opera1=" + root + "\\Opera\\\r\nOpera2=" + root +
                                                "\\Opera\\Cache4\\\r\nWin1=" + root + "\\Recent\\\r\n");
  box.writeFile("mainten.ini", ini);

  EXPECT_EQ(run("opera", false), 0) << err.str();
  EXPECT_NE(out.str().find("cleaning Opera with"), std::string::npos) << out.str();
  EXPECT_FALSE(exists("Opera\\cookies4.dat"));
  EXPECT_FALSE(exists("Opera\\Cache4\\opr1.htm"));
  EXPECT_TRUE(exists("Recent\\letter.lnk"));
  EXPECT_TRUE(exists("Cookies\\tester@gone.txt"));

  EXPECT_EQ(run("windows", false), 0) << err.str();
  EXPECT_FALSE(exists("Recent\\letter.lnk"));
  EXPECT_TRUE(exists("Cookies\\tester@gone.txt"));
  EXPECT_EQ(run("netscape", false), 0) << err.str();
  EXPECT_NE(out.str().find("cleaning Netscape with"), std::string::npos) << out.str();
  EXPECT_TRUE(exists("Cookies\\tester@gone.txt"));
}

TEST_F(HeadlessTest, UserDefAndPluginsCleanWhatTheirListsName) {
  store.saveAgreementSetting(0);
  box.writeFile("ud\\junk.txt", "junk");
  box.writeFile("userdef1.lst", box.path("ud\\junk.txt") + "\r\n");
  box.writeFile("pl\\old.tmp", "old");
  box.writeFile("Tidy.cp2", "[Main]\r\nName=Tidy\r\nActive=True\r\n");
  box.writeFile("Tidy.cp1", box.path("pl\\*.tmp") + "\r\n");
  box.writeFile("mainten.ini", "[Path]\r\nDetect=1\r\n[UserDef]\r\nUDvalue1=1\r\n[Rensa]\r\nValue22=1\r\n");

  EXPECT_EQ(run("plugins", false), 0) << err.str();
  EXPECT_NE(out.str().find("cleaning the plugins with"), std::string::npos) << out.str();
  EXPECT_FALSE(exists("pl\\old.tmp"));
  EXPECT_TRUE(exists("ud\\junk.txt"));
  EXPECT_NE(out.str().find("[Info] Cleaning System...Done -> OK\n"), std::string::npos) << out.str();

  EXPECT_EQ(run("userdef", false), 0) << err.str();
  EXPECT_NE(out.str().find("cleaning the user-defined sets with"), std::string::npos) << out.str();
  EXPECT_FALSE(exists("ud\\junk.txt"));
  EXPECT_EQ(err.str(), "");
}

// A mainten.ini that is there but cannot be read: the run says so on the console, stops
// before the main window loads (nothing is cleaned by settings it never saw, nothing is
// written back over them) and ends with the documented "cannot start" code.
TEST_F(HeadlessTest, UnreadableSettingsStopTheRunWithTheCannotStartCode) {
  const struct {
    const char* what;
    bool folder;  // otherwise every read is refused (70), as without permission
  } cases[] = {{"a folder named mainten.ini", true}, {"no permission to read it", false}};
  store.saveAgreementSetting(0);
  for (const auto& c : cases) {
    SCOPED_TRACE(c.what);
    seed();
    const std::string seeded = file("mainten.ini");
    testing::FaultFiles files(box.files());
    if (c.folder) {
      box.files().deleteFile(box.path("mainten.ini"));
      box.files().createFolder(box.path("mainten.ini"));
    } else {
      files.fail("readAll", fail::kPermissionDenied);
    }
    out.str("");
    err.str("");
    Platform platform{files, reg, desktop, box.clock, box.random, ui};
    EXPECT_EQ(runHeadless(platform, {"all", false, {}}, out, err), kExitCannotStart);
    const std::string e = err.str();
    EXPECT_NE(e.find("the settings file " + box.path("mainten.ini") + " cannot be read: "), std::string::npos)
        << e;
    EXPECT_NE(e.find(c.folder ? " (75). Nothing was cleaned.\n" : " (70). Nothing was cleaned.\n"),
              std::string::npos)
        << e;
    EXPECT_EQ(out.str().find("cleaning"), std::string::npos) << out.str();
    EXPECT_TRUE(exists("Cookies\\tester@gone.txt"));
    EXPECT_NE(file("trwk.log").find("\tMain at line 2 - "), std::string::npos) << file("trwk.log");
    if (c.folder) {
      EXPECT_TRUE(box.files().folderExists(box.path("mainten.ini")));
      box.files().removeFolder(box.path("mainten.ini"));
    } else {
      EXPECT_EQ(file("mainten.ini"), seeded) << "nothing was written back";
    }
  }
  EXPECT_NE(helpText().find("5 the program cannot start (no system services, or mainten.ini"),
            std::string::npos);
}

// Every file below the sandbox with its bytes and time (mainten.ini and trwk.log too).
std::map<std::string, std::pair<std::string, std::optional<FileTime>>> snapshot(Files& files,
                                                                                const std::string& folder) {
  std::map<std::string, std::pair<std::string, std::optional<FileTime>>> out;
  for (const DirEntry& e : files.list(folder + "\\*", {true, true, true})) {
    const std::string path = folder + "\\" + e.name;
    if (e.isFolder) {
      out[path + "\\"] = {};
      out.merge(snapshot(files, path));
    } else {
      out[path] = {files.readAll(path), files.lastWriteTime(path)};
    }
  }
  return out;
}

TEST_F(HeadlessTest, APreviewOfEveryFamilyChangesNothingAndListsWhatCleaningThenRemoves) {
  seed();
  const auto before = snapshot(box.files(), box.root());
  const int writes = reg.writes;
  for (const std::string& family : cleanFamilies()) {
    SCOPED_TRACE(family);
    out.str("");
    err.str("");
    HeadlessOptions options{family, true, {}};
    options.preview = true;
    Platform platform{box.files(), reg, desktop, box.clock, box.random, ui};
    EXPECT_EQ(runHeadless(platform, options, out, err), 0) << err.str();
    EXPECT_EQ(snapshot(box.files(), box.root()), before) << "no file, setting or log line was written";
    EXPECT_EQ(reg.writes, writes) << "nor a registry value, the licence's included";
    EXPECT_NE(out.str().find("for this preview only, nothing is stored"), std::string::npos) << out.str();
    EXPECT_EQ(out.str().find("Cleaning System...Done"), std::string::npos) << "a preview shows no box";
  }
  out.str("");
  HeadlessOptions options{"ie", true, {}};
  options.preview = true;
  Platform platform{box.files(), reg, desktop, box.clock, box.random, ui};
  ASSERT_EQ(runHeadless(platform, options, out, err), 0);
  const std::string plan = out.str();
  EXPECT_NE(plan.find("Item 3, Internet Explorer Cookies (Internet Explorer)\n"
                      "              4  file            " +
                      box.path("Cookies\\tester@gone.txt") +
                      "\n"
                      "  Subtotal: 1 file, 0 folders, 0 registry values, 4 bytes freed\n"),
            std::string::npos)
      << plan;
  EXPECT_EQ(plan.find("tester@keep.txt"), std::string::npos) << "kept cookies are not planned";
  EXPECT_NE(
      plan.find(
          "Total: 1 entry: 1 file, 0 folders, 0 registry values, 4 bytes freed. Nothing was removed.\n"),
      std::string::npos)
      << plan;

  out.str("");
  EXPECT_EQ(run("ie", true), 0) << err.str();
  EXPECT_FALSE(exists("Cookies\\tester@gone.txt"));
  EXPECT_NE(out.str().find(
                "Item 3, Internet Explorer Cookies: 1 file, 0 folders, 0 registry values, 4 bytes freed\n"
                "Total: 1 file, 0 folders, 0 registry values, 4 bytes freed\n"),
            std::string::npos)
      << out.str();
}

std::string escaped(const std::string& text) {
  std::string out;
  for (char c : text) {
    if (c == '\\') out.push_back('\\');
    out.push_back(c);
  }
  return out;
}

TEST_F(HeadlessTest, JsonIsOneDocumentAndFailedStepsEndWithTheirOwnCode) {
  store.saveAgreementSetting(0);
  ConsoleUi talk(err);  // what is said to people goes beside the document
  seed();
  HeadlessOptions options{"ie", false, {}};
  options.preview = options.json = true;
  Platform platform{box.files(), reg, desktop, box.clock, box.random, talk};
  ASSERT_EQ(runHeadless(platform, options, out, err), 0) << err.str();
  std::string json = out.str();
  EXPECT_EQ(json.find("{\"command\":\"preview\",\"family\":\"ie\",\"items\":[{\"item\":3,"), 0u) << json;
  EXPECT_NE(json.find("{\"kind\":\"file\",\"path\":\"" + escaped(box.path("Cookies\\tester@gone.txt")) +
                      "\",\"size\":4}"),
            std::string::npos)
      << json;
  EXPECT_NE(json.find(",\"total\":{\"files\":1,"), std::string::npos) << json;
  EXPECT_EQ(json.find('\n'), json.size() - 1) << "one line, one document";
  EXPECT_NE(err.str().find("preview of cleaning Internet Explorer"), std::string::npos) << err.str();

  // A step that fails: the run goes on to its end and says so by its exit code.
  testing::FaultFiles files(box.files());
  files.fail("deleteFile", fail::kPermissionDenied);
  out.str("");
  options.preview = false;
  Platform failing{files, reg, desktop, box.clock, box.random, talk};
  EXPECT_EQ(runHeadless(failing, options, out, err), kExitSomeFailed);
  json = out.str();
  EXPECT_EQ(json.find("{\"command\":\"clean\""), 0u) << json;
  EXPECT_NE(json.find("\"failed\":1"), std::string::npos) << json;
  EXPECT_NE(json.find("\"log\":\"" + escaped(box.path("trwk.log")) + "\"}"), std::string::npos) << json;
  EXPECT_TRUE(exists("Cookies\\tester@gone.txt"));

  out.str("");
  options.json = false;
  EXPECT_EQ(runHeadless(failing, options, out, err), kExitSomeFailed);
  EXPECT_NE(out.str().find("1 step failed; " + box.path("trwk.log") + " tells which and why.\n"),
            std::string::npos)
      << out.str();
}

}  // namespace
}  // namespace trwk
