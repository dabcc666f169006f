#include "foundation/settings.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <string>

#include "platform/failure.h"
#include "testing/fault_files.h"
#include "testing/sandbox.h"

#ifdef _WIN32
#include <io.h>
#endif

namespace trwk {
namespace {

class SettingsTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  testing::FaultFiles files{box.files()};
  RunLog log{box.files(), box.clock, box.root()};
  Settings settings{files, &log};
  const std::string ini = box.path("mainten.ini");

  std::string logText() { return box.files().fileExists(log.path()) ? box.files().readAll(log.path()) : ""; }

  void makeReadOnly(const std::string& relative) {
#ifdef _WIN32
    ASSERT_EQ(::_chmod(box.path(relative).c_str(), _S_IREAD), 0);
#else
    ASSERT_EQ(::chmod((box.hostRoot() + "/drive_c/sandbox/" + relative).c_str(), 0444), 0);
#endif
  }
};

TEST_F(SettingsTest, MissingFileReadsEmptyAndTheFirstWriteCreatesIt) {
  EXPECT_EQ(settings.getini("Inst", "Safetylevel", ini), "");
  EXPECT_TRUE(settings.AddToini("Inst", "Safetylevel", "3", ini));
  EXPECT_EQ(box.readFile("mainten.ini"), "[Inst]\r\nSafetylevel=3\r\n");
  EXPECT_EQ(settings.getini("Inst", "Safetylevel", ini), "3");
  EXPECT_EQ(settings.getini("inst", "safetylevel", ini), "3");
  EXPECT_EQ(settings.getini("Inst", "Autostart", ini), "");
  EXPECT_EQ(settings.getini("Rensa", "Value1", ini), "");
  EXPECT_EQ(logText(), "");  // an absent file is no failure
}

TEST_F(SettingsTest, ValuesComeBackAsWritten) {
  const std::string path = "C:\\Documents and Settings\\J\xF6rg\\";
  EXPECT_TRUE(settings.AddToini("Path", "IE1", path, ini));
  EXPECT_TRUE(settings.AddToini("UserDef", "UDvalue1", "1", ini));
  EXPECT_TRUE(settings.AddToini("UserDef", "UDname1", "", ini));
  EXPECT_EQ(settings.getini("Path", "IE1", ini), path);
  EXPECT_EQ(settings.getini("UserDef", "UDvalue1 ", ini), "1");
  EXPECT_EQ(settings.getini("UserDef", "UDname1", ini), "");
  EXPECT_EQ(box.readFile("mainten.ini"),
            "[Path]\r\nIE1=" + path + "\r\n[UserDef]\r\nUDvalue1=1\r\nUDname1=\r\n");

  std::string longValue(300, 'a');
  longValue[253] = 'b';
  EXPECT_TRUE(settings.AddToini("Statistics", "Date1", longValue, ini));
  EXPECT_EQ(settings.getini("Statistics", "Date1", ini), longValue.substr(0, 254));
}

TEST_F(SettingsTest, RewritesOnlyWhatChanged) {
  box.writeFile("mainten.ini", "; mine\r\n[Inst]\r\nSafetylevel = 2\r\n\r\n[Path]\r\nDetect=0\r\n");
  EXPECT_TRUE(settings.AddToini("Inst", "Safetylevel", "4", ini));
  EXPECT_TRUE(settings.AddToini("Inst", "Safetylevel", "5", ini));
  EXPECT_EQ(box.readFile("mainten.ini"), "; mine\r\n[Inst]\r\nSafetylevel=5\r\n\r\n[Path]\r\nDetect=0\r\n");
  EXPECT_EQ(files.calls["replaceAtomically"], 2);

  EXPECT_TRUE(settings.AddToini("Path", "Detect", "0", ini));  // already so: no rewrite
  EXPECT_EQ(files.calls["replaceAtomically"], 2);
}

// A batch reads once, answers from its copy, and replaces the file once at its end; a
// batch that changes nothing, or meets a file it cannot read, writes nothing.
TEST_F(SettingsTest, ABatchReplacesTheFileOnceWithAllOfItsChanges) {
  const std::string other = box.path("url.ini");
  box.writeFile("mainten.ini", "; mine\r\n[Inst]\r\nSafetylevel=2\r\n");
  {
    Settings::Batch batch(settings, ini);
    Settings::Batch inner(settings, ini);  // within another: that one writes
    EXPECT_TRUE(settings.AddToini("Inst", "Safetylevel", "5", ini));
    EXPECT_TRUE(settings.AddToini("Rensa", "Value1", "1", ini));
    EXPECT_TRUE(settings.AddToini("Inst", "Safetylevel", "4", ini));
    EXPECT_TRUE(settings.AddToini("Inst", "Url", "x", other));  // another file: at once
    EXPECT_EQ(settings.getini("Inst", "Safetylevel", ini), "4");
    EXPECT_EQ(box.readFile("mainten.ini"), "; mine\r\n[Inst]\r\nSafetylevel=2\r\n");
    EXPECT_EQ(files.calls["readAll"], 2);
  }
  EXPECT_EQ(box.readFile("mainten.ini"), "; mine\r\n[Inst]\r\nSafetylevel=4\r\n[Rensa]\r\nValue1=1\r\n");
  EXPECT_EQ(files.calls["replaceAtomically"], 2);

  { Settings::Batch unchanged(settings, ini); settings.AddToini("Inst", "Safetylevel", "4", ini); }
  EXPECT_EQ(files.calls["replaceAtomically"], 2);

  files.fail("readAll", fail::kPermissionDenied);
  {
    Settings::Batch unreadable(settings, ini);
    EXPECT_FALSE(settings.AddToini("Inst", "Safetylevel", "1", ini));
  }
  files.heal("readAll");
  EXPECT_EQ(files.calls["replaceAtomically"], 2);

  files.fail("replaceAtomically", fail::kDiskFull);  // the old file stays whole
  { Settings::Batch full(settings, ini); settings.AddToini("Inst", "Safetylevel", "1", ini); }
  files.heal("replaceAtomically");
  EXPECT_EQ(settings.getini("Inst", "Safetylevel", ini), "4");
  EXPECT_EQ(logText(), "");
}

TEST_F(SettingsTest, FilesThatCannotBeWrittenAreAFalseResultNotALogLine) {
  const std::string before = "[Inst]\r\nSafetylevel=2\r\n";
  box.writeFile("mainten.ini", before);

  // A failed replacement leaves the old file whole.
  files.fail("replaceAtomically", fail::kDiskFull);
  EXPECT_FALSE(settings.AddToini("Inst", "Safetylevel", "3", ini));
  files.heal("replaceAtomically");
  EXPECT_EQ(box.readFile("mainten.ini"), before);

  // A file that cannot be read is never replaced.
  files.fail("readAll", fail::kPermissionDenied);
  EXPECT_FALSE(settings.AddToini("Inst", "Safetylevel", "3", ini));
  EXPECT_EQ(settings.getini("Inst", "Safetylevel", ini), "");
  files.heal("readAll");
  EXPECT_EQ(files.calls["replaceAtomically"], 1);

  EXPECT_FALSE(settings.AddToini("Inst", "Safetylevel", "3", box.path("no such folder\\mainten.ini")));
  EXPECT_EQ(settings.getini("Inst", "Safetylevel", box.path("no such folder\\mainten.ini")), "");

  makeReadOnly("mainten.ini");
  EXPECT_FALSE(settings.AddToini("Inst", "Safetylevel", "3", ini));
  EXPECT_EQ(settings.getini("Inst", "Safetylevel", ini), "2");
  EXPECT_EQ(box.readFile("mainten.ini"), before);

  EXPECT_EQ(logText(), "");
}

TEST_F(SettingsTest, UnexpectedFailuresAreLoggedUnderTheComposedName) {
  box.writeFile("mainten.ini", "[Path]\r\nIE1=C:\\x\\\r\n");
  files.fail("readAll", 7);
  EXPECT_EQ(settings.getini("Path", "IE1", ini), "");
  files.heal("readAll");
  EXPECT_FALSE(settings.AddToini("Path", "IE1=", "v", ini));  // a key the file cannot hold

  std::string text = logText();
  EXPECT_NE(text.find("\tgetini Path IE1 " + ini + "  at line 2 - Out of memory (7)\"\r\n"),
            std::string::npos)
      << text;
  EXPECT_NE(text.find("\tAddToini Path IE1= v " + ini +
                      "  at line 0 - Invalid procedure call or argument (5)\"\r\n"),
            std::string::npos)
      << text;
  EXPECT_EQ(box.readFile("mainten.ini"), "[Path]\r\nIE1=C:\\x\\\r\n");

  // Without a run log (the plugin creator's copy) the same failures pass quietly.
  Settings quiet(files, nullptr);
  std::string before = logText();
  EXPECT_FALSE(quiet.AddToini("Path", "IE1=", "v", ini));
  EXPECT_EQ(logText(), before);
}

TEST_F(SettingsTest, Probes) {
  box.writeFile("data\\mainten.ini", "x");
  EXPECT_FALSE(settings.folderExists(""));
  EXPECT_FALSE(settings.fileExists(""));

  EXPECT_TRUE(settings.folderExists(box.path("data")));
  EXPECT_TRUE(settings.folderExists(box.path("data\\")));
  EXPECT_TRUE(settings.folderExists(box.path("DATA")));
  EXPECT_TRUE(settings.folderExists(box.path("data\\mainten.ini")));  // a file counts too
  EXPECT_TRUE(settings.folderExists(box.path("data\\*.ini")));
  EXPECT_FALSE(settings.folderExists(box.path("data\\mainten.ini\\")));
  EXPECT_FALSE(settings.folderExists(box.path("nothing")));
  EXPECT_FALSE(settings.folderExists(box.path("nothing\\")));
  EXPECT_TRUE(settings.folderExists("C:\\"));

  EXPECT_TRUE(settings.fileExists(box.path("data\\mainten.ini")));
  EXPECT_TRUE(settings.fileExists(box.path("data\\*.ini")));
  EXPECT_FALSE(settings.fileExists(box.path("data\\*.txt")));
  EXPECT_FALSE(settings.fileExists(box.path("data")));
  EXPECT_FALSE(settings.fileExists(box.path("data\\")));
  EXPECT_FALSE(settings.fileExists(box.path("nothing\\mainten.ini")));
}

}  // namespace
}  // namespace trwk
