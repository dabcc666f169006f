#include "zap/index_remover.h"

#include <gtest/gtest.h>

#include "testing/fault_files.h"
#include "testing/sandbox.h"

namespace trwk::zap {
namespace {

class ZapTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  testing::FaultFiles files{box.files()};

  void SetUp() override {
    for (const char* folder : {"History", "Cache", "Cookies", "Index"}) {
      box.writeFile(std::string(folder) + "\\index.dat", "i");
      box.writeFile(std::string(folder) + "\\mm2048.dat", "m");
      box.writeFile(std::string(folder) + "\\keep.txt", "k");
      box.writeFile(std::string(folder) + "\\Sub\\deeper.dat", "d");
    }
  }
  void ini(const std::string& ie1, const std::string& ie2, const std::string& ie3, const std::string& ie4) {
    box.writeFile("mainten.ini", "[Path]\r\nDetect=1\r\nIE1=" + ie1 + "\r\nIE2=" + ie2 + "\r\nIE3=" + ie3 +
                                     "\r\nIE4=" + ie4 + "\r\n");
  }
  bool has(const std::string& relative) { return files.fileExists(box.path(relative)); }
  std::string log() { return files.fileExists(box.path("trwk.log")) ? box.readFile("trwk.log") : ""; }
};

TEST_F(ZapTest, DeletesTheIndexFilesOfTheFourFoldersOnly) {
  ini(box.path("History") + "\\", box.path("Cache"), box.path("Cookies") + "\\", box.path("Index") + "\\");
  EXPECT_EQ(removeIndexFiles(files, box.clock, box.desktop(), box.root()), 8u);
  for (const char* folder : {"History", "Cache", "Cookies", "Index"}) {
    std::string f = folder;
    EXPECT_FALSE(has(f + "\\index.dat")) << f;
    EXPECT_FALSE(has(f + "\\mm2048.dat")) << f;
    EXPECT_TRUE(has(f + "\\keep.txt")) << f;
    EXPECT_TRUE(has(f + "\\Sub\\deeper.dat")) << f;
  }
  EXPECT_EQ(log(), "");
}

TEST_F(ZapTest, UnknownAndMissingFoldersAreSkippedAndMissingOnesLogged) {
  ini("-", "", box.path("Nowhere") + "\\", box.path("Index") + "\\");
  EXPECT_EQ(removeIndexFiles(files, box.clock, box.desktop(), box.root()), 2u);
  EXPECT_TRUE(has("History\\index.dat"));
  EXPECT_FALSE(has("Index\\index.dat"));
  std::string text = log();
  EXPECT_NE(text.find("ZAP-checkFileName at line 3 - "), std::string::npos) << text;
  EXPECT_NE(text.find("(76)"), std::string::npos);
  EXPECT_EQ(text.find("ZAP-checkFileName at line 1"), std::string::npos);
}

TEST_F(ZapTest, AFileThatCannotGoIsLoggedAndTheOtherFoldersStillRun) {
  ini(box.path("History"), box.path("Cache"), "-", "-");
  files.fail("deleteFile", 70);
  EXPECT_EQ(removeIndexFiles(files, box.clock, box.desktop(), box.root()), 0u);
  EXPECT_GE(files.calls["deleteFile"], 4);
  std::string text = log();
  EXPECT_NE(text.find("ZAP-Main at line 1 - "), std::string::npos) << text;
  EXPECT_NE(text.find("ZAP-Main at line 2 - "), std::string::npos) << text;
  EXPECT_NE(text.find("(70)"), std::string::npos);
}

}  // namespace
}  // namespace trwk::zap
