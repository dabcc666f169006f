#include "cleaning/opera_cleaner.h"

#include <gtest/gtest.h>

#include "cleaning/cleaning_test_fixture.h"

namespace trwk {
namespace {

class OperaCleanerTest : public testing::CleaningTest {
 protected:
  void SetUp() override {
    paths.opera1 = box.path("Opera") + "\\";
    paths.opera2 = box.path("Opera\\cache4") + "\\";
    box.writeFile("ow.chx", "0123456789");
    box.writeFile("ow2.chx", "abcdefghij");
    box.writeFile("opera.win", "[session]\r\nwindow count=0\r\n");
    box.writeFile("Opera\\cache4\\opr0001.htm", "x");
    box.writeFile("Opera\\cache4\\sub\\keep.gif", "x");
    box.writeFile("Opera\\opera.win", "[session]\r\nwindow count=3\r\n");
    box.writeFile("Opera\\global.dat", "g");
    box.writeFile("Opera\\cookies4.dat", "c");
    box.writeFile("Opera\\opera.dir", "d");
    box.writeFile("Opera\\vlink4.dat", "v");
    for (int n = 10; n <= 13; ++n) catalogue.item(n).ticked = true;
  }
  bool has(const std::string& relative) { return files.fileExists(box.path(relative)); }
};

TEST_F(OperaCleanerTest, EveryItemRunsEvenDuringAutomaticCleaning) {
  state.manualMode = false;
  catalogue.safetyLevel = std::string("5");  // (a temporary: GCC 12 misreads assigning the literal)
  cleanOpera(context);
  EXPECT_FALSE(has("Opera\\cache4\\opr0001.htm"));
  EXPECT_TRUE(has("Opera\\cache4\\sub\\keep.gif")) << "files only";
  EXPECT_EQ(box.readFile("Opera\\opera.win"), "[session]\r\nwindow count=0\r\n");
  EXPECT_FALSE(has("Opera\\global.dat"));
  EXPECT_EQ(files.calls["overwriteInPlace"], 7);
  EXPECT_FALSE(has("Opera\\cookies4.dat"));
  EXPECT_FALSE(has("Opera\\opera.dir"));
  EXPECT_FALSE(has("Opera\\vlink4.dat"));
  EXPECT_EQ(state.progress.value, 4);
  EXPECT_TRUE(box.ui.boxes.empty()) << "automatic cleaning shows no done box";
  EXPECT_EQ(log(), "");
}

TEST_F(OperaCleanerTest, MissingFilesAreNoFailureAndAMissingLayoutIsOnlyLogged) {
  catalogue.item(10).ticked = false;
  box.files().deleteFile(box.path("Opera\\global.dat"));
  box.files().deleteFile(box.path("Opera\\cookies4.dat"));
  box.files().deleteFile(box.path("opera.win"));
  state.cleanAllRunning = true;
  state.progress = {0, 3};
  cleanOpera(context);
  EXPECT_TRUE(has("Opera\\cache4\\opr0001.htm"));
  EXPECT_FALSE(has("Opera\\opera.win"));
  EXPECT_EQ(files.calls["overwriteInPlace"], 0);
  EXPECT_EQ(state.progress.value, 3);
  EXPECT_TRUE(box.ui.boxes.empty());
  EXPECT_NE(log().find("cmdCleanOpera"), std::string::npos);
  EXPECT_EQ(session.settings.getini("Senast", "Value1", session.maintenIni()), "");
}

}  // namespace
}  // namespace trwk
