#include "zap/index_remover.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>
#endif

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

// The history keeps its records in History.IE5: its own index.dat and one in each MSHist*
// folder. They go with nothing else; a folder its index leaves empty goes too.
TEST_F(ZapTest, RemovesTheHistoryRecordsUnderIE1Only) {
  for (const char* file : {"History.IE5\\index.dat", "History.IE5\\MSHist012026120120261208\\index.dat",
                           "History.IE5\\mshist012026113020261201\\INDEX.DAT",
                           "History.IE5\\MSHist012026113020261201\\visit.url", "History.IE5\\desktop.ini",
                           "History.IE5\\Other\\index.dat", "History.IE5\\MSHist01\\deeper\\index.dat"})
    box.writeFile(std::string("History\\") + file, "h");
  box.writeFile("Cache\\History.IE5\\index.dat", "c");
  ini(box.path("History") + "\\", box.path("Cache") + "\\", "-", "-");
  EXPECT_EQ(removeIndexFiles(files, box.clock, box.desktop(), box.root()), 4u + 3u);
  EXPECT_FALSE(has("History\\History.IE5\\index.dat"));
  EXPECT_FALSE(files.folderExists(box.path("History\\History.IE5\\MSHist012026120120261208")))
      << "emptied by its index going";
  EXPECT_FALSE(has("History\\History.IE5\\mshist012026113020261201\\INDEX.DAT"));
  EXPECT_TRUE(has("History\\History.IE5\\MSHist012026113020261201\\visit.url"));
  EXPECT_TRUE(has("History\\History.IE5\\desktop.ini"));
  EXPECT_TRUE(has("History\\History.IE5\\Other\\index.dat")) << "no MSHist folder";
  EXPECT_TRUE(has("History\\History.IE5\\MSHist01\\deeper\\index.dat")) << "one level only";
  EXPECT_TRUE(has("Cache\\History.IE5\\index.dat")) << "only IE1 holds the history";
  EXPECT_EQ(log(), "");
}

#ifndef _WIN32
// Links in the history go as themselves; a History.IE5 that is a link is not entered.
TEST_F(ZapTest, HistoryRecordsBehindLinksSurvive) {
  box.writeFile("Canary\\index.dat", "precious");
  box.writeFile("Canary\\MSHist01\\index.dat", "precious");
  box.writeFile("History\\History.IE5\\index.dat", "h");
  const std::string host = box.hostRoot() + "/drive_c/sandbox/";
  ASSERT_EQ(::symlink((host + "Canary/MSHist01").c_str(), (host + "History/History.IE5/MSHist02").c_str()),
            0);
  ASSERT_EQ(::symlink((host + "Canary").c_str(), (host + "Index/History.IE5").c_str()), 0);
  ini(box.path("History"), "-", "-", "-");
  removeIndexFiles(files, box.clock, box.desktop(), box.root());
  EXPECT_FALSE(has("History\\History.IE5\\index.dat"));
  EXPECT_TRUE(has("Canary\\MSHist01\\index.dat"));
  EXPECT_EQ(log(), "");

  ini(box.path("Index"), "-", "-", "-");
  removeIndexFiles(files, box.clock, box.desktop(), box.root());
  EXPECT_TRUE(has("Canary\\index.dat"));
  EXPECT_TRUE(has("Canary\\MSHist01\\index.dat"));
  EXPECT_NE(log().find("ZAP-Main at line 1 - Path/File access error"), std::string::npos) << log();
}
#endif

}  // namespace
}  // namespace trwk::zap
