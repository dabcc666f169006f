#include "cleaning/netscape_cleaner.h"

#include <gtest/gtest.h>

#include "cleaning/cleaning_test_fixture.h"
#include "platform/failure.h"

namespace trwk {
namespace {

const std::string kTyped = "user_pref(\"browser.url_history.URL_1\", \"http://a.example/\");";

TEST(PrefsRewrite, DropsOnlyTypedAddressLinesAndEndsEveryOtherLineWithCrLf) {
  EXPECT_EQ(withoutTypedAddresses(""), "");
  // LF, CR LF, a lone CR and a missing final ending each end a line; blank lines stay.
  EXPECT_EQ(withoutTypedAddresses("a\n" + kTyped + "\r\nb\r\rc\n\n" + kTyped + "\rd"),
            "a\r\nb\r\n\r\nc\r\n\r\nd\r\n");
  // LF then CR are two endings (an empty line between), CR LF is one.
  EXPECT_EQ(withoutTypedAddresses("a\n\rb\r\n"), "a\r\n\r\nb\r\n");
  // The pattern is matched anywhere in the line and with its letter case.
  EXPECT_EQ(withoutTypedAddresses("  /*x*/ " + kTyped + "\nUSER_PREF(\"browser.url_history.URL_2\", 1);\n"),
            "USER_PREF(\"browser.url_history.URL_2\", 1);\r\n");
  // Binary bytes (NUL included) and a long line are kept byte for byte.
  const std::string binary("x\0\xff\x1a y", 6);
  const std::string longLine(1 << 20, 'q');
  EXPECT_EQ(withoutTypedAddresses(binary + "\n" + longLine + "\n" + kTyped),
            binary + "\r\n" + longLine + "\r\n");
}

TEST(PrefsRewrite, ListsTypedAddressLinesAndDropsOnlyTheChosenOnes) {
  const std::string second = "user_pref(\"browser.url_history.URL_2\", \"http://b.example/\");";
  const std::string prefs = "a\n" + kTyped + "\r\n" + second + "\rb";
  EXPECT_EQ(typedAddressLines(prefs), (std::vector<std::string>{kTyped, second}));
  EXPECT_EQ(withoutTypedAddresses(prefs, {second}), "a\r\n" + kTyped + "\r\nb\r\n");
  // A chosen line that is no typed address is never dropped; nothing chosen drops nothing.
  EXPECT_EQ(withoutTypedAddresses(prefs, {"a", "b"}), "a\r\n" + kTyped + "\r\n" + second + "\r\nb\r\n");
  EXPECT_EQ(withoutTypedAddresses(prefs, {kTyped, second}), withoutTypedAddresses(prefs));
}

class NetscapeCleanerTest : public testing::CleaningTest {
 protected:
  void SetUp() override {
    paths.netscape1A = box.path("Users") + "\\";
    paths.netscape1C = "bo";
    paths.netscape2 = box.path("NsCache") + "\\";
    box.writeFile("ow.chx", "0123456789");
    box.writeFile("ow2.chx", "abcdefghij");
    box.writeFile("cookies2.lst", ".kept.example\tTRUE\t/\tFALSE\t0\tk\tv\r\n");
    box.writeFile("NsCache\\M1.htm", "x");
    box.writeFile("NsCache\\sub\\inner.gif", "x");
    box.writeFile("Users\\bo\\netscape.hst", "h");
    box.writeFile("Users\\bo\\cookies.txt",
                  "# Netscape HTTP Cookie File\n.gone.example\tTRUE\t/\tFALSE\t0\tg\tv\n");
    box.writeFile("Users\\bo\\prefs.js", "user_pref(\"a\", 1);\n" + kTyped + "\nuser_pref(\"b\", 2);\n");
    box.writeFile("Users\\bo\\liprefs.js", "l");
    for (int n = 6; n <= 9; ++n) catalogue.item(n).ticked = true;
  }
  bool has(const std::string& relative) { return files.fileExists(box.path(relative)); }
  std::string prefs() { return box.readFile("Users\\bo\\prefs.js"); }
};

TEST_F(NetscapeCleanerTest, OnItsOwnCleansEveryItemOverwritesTheCookiesAndKeepsTheKeepList) {
  catalogue.safetyLevel = std::string("3");  // (a temporary: GCC 12 misreads assigning the literal)
  cleanNetscape(context);
  EXPECT_FALSE(has("NsCache\\M1.htm"));
  EXPECT_TRUE(has("NsCache\\sub\\inner.gif")) << "files only";
  EXPECT_FALSE(has("Users\\bo\\netscape.hst"));
  EXPECT_EQ(files.calls["overwriteInPlace"], 3);
  EXPECT_EQ(box.readFile("Users\\bo\\cookies.txt"), box.readFile("cookies2.lst"));
  EXPECT_EQ(prefs(), "user_pref(\"a\", 1);\r\nuser_pref(\"b\", 2);\r\n");
  EXPECT_FALSE(has("Users\\bo\\liprefs.js"));
  EXPECT_EQ(state.progress.max, 4);
  EXPECT_EQ(state.progress.value, 4);
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "Cleaning System...Done");
  EXPECT_EQ(log(), "");
}

TEST_F(NetscapeCleanerTest, AutomaticCleaningLeavesCacheAndHistoryAndShowsNoBox) {
  state.manualMode = false;
  box.files().deleteFile(box.path("cookies2.lst"));  // no keep list: nothing is kept
  cleanNetscape(context);
  EXPECT_TRUE(has("NsCache\\M1.htm"));
  EXPECT_TRUE(has("Users\\bo\\netscape.hst"));
  EXPECT_EQ(box.readFile("Users\\bo\\cookies.txt"), "");
  EXPECT_EQ(prefs(), "user_pref(\"a\", 1);\r\nuser_pref(\"b\", 2);\r\n");
  EXPECT_EQ(state.progress.value, 4);
  EXPECT_TRUE(box.ui.boxes.empty());
}

TEST_F(NetscapeCleanerTest, AFailedKeepListCopyShowsItsNumberAndTheRunGoesOn) {
  state.cleanAllRunning = true;
  files.fail("copyFile", fail::kPermissionDenied);
  cleanNetscape(context);
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "70");
  EXPECT_NE(log().find("cmdCleanNets"), std::string::npos);
  EXPECT_EQ(prefs(), "user_pref(\"a\", 1);\r\nuser_pref(\"b\", 2);\r\n");
  EXPECT_FALSE(has("Users\\bo\\liprefs.js"));
}

TEST_F(NetscapeCleanerTest, PrefsJsIsNeverLost) {
  state.cleanAllRunning = true;
  catalogue.item(8).ticked = false;
  const std::string before = prefs();

  files.fail("replaceAtomically", fail::kDiskFull);  // no temporary file can be made
  cleanNetscape(context);
  EXPECT_EQ(prefs(), before);
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "Error getting temporary file name.");
  EXPECT_FALSE(has("Users\\bo\\liprefs.js")) << "the step after the rewrite still runs";

  files.fail("replaceAtomically", fail::kPathNotFound);
  cleanNetscape(context);
  EXPECT_EQ(box.ui.boxes.back().text, "Error getting temporary file path.");
  files.heal("replaceAtomically");

  files.fail("readAll", fail::kPermissionDenied);  // locked: logged, left alone, no box
  cleanNetscape(context);
  files.heal("readAll");
  EXPECT_EQ(prefs(), before);
  EXPECT_EQ(box.ui.boxes.size(), 2u);
  EXPECT_NE(log().find("cmdCleanNets"), std::string::npos);
}

}  // namespace
}  // namespace trwk
