#include "cleaning/cleaning_test_fixture.h"
#include "cleaning/inet_properties.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#endif

#include "testing/fault_files.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

class InetPropertiesTest : public testing::CleaningTest {
 protected:

  void SetUp() override {
    paths.ie1 = box.path("History") + "\\";
    paths.ie2 = box.path("Temporary Internet Files") + "\\";
    paths.ie4 = box.path("Temporary Internet Files\\Content.IE5") + "\\";
    state.progress = {0, 5};
    box.writeFile("History\\History.IE5\\index.dat", "h");
    box.writeFile("History\\History.IE5\\MSHist012026\\index.dat", "h");
    box.writeFile("History\\History.IE5\\MSHist012026\\visit.url", "v");
    box.writeFile("History\\desktop.ini", "d");
    box.writeFile("History\\Today\\page.url", "p");
    box.writeFile("Temporary Internet Files\\Content.IE5\\index.dat", "i");
    box.writeFile("Temporary Internet Files\\Content.IE5\\A1B2C3D4\\page[1].htm", "x");
    box.writeFile("Temporary Internet Files\\Content.IE5\\A1B2C3D4\\deep\\er\\pic[1].gif", "x");
    box.writeFile("Temporary Internet Files\\loose.css", "x");
  }
  bool has(const std::string& relative) {
    return files.fileExists(box.path(relative)) || files.folderExists(box.path(relative));
  }
};

TEST_F(InetPropertiesTest, TemporaryFilesGoExceptTheIndexAndHistoryStays) {
  showInetProperties(context, kInetTemporaryFiles);
  EXPECT_EQ(state.progress.value, 1);
  EXPECT_TRUE(has("Temporary Internet Files\\Content.IE5\\index.dat"));
  EXPECT_FALSE(has("Temporary Internet Files\\Content.IE5\\A1B2C3D4"));
  EXPECT_FALSE(has("Temporary Internet Files\\loose.css"));
  EXPECT_TRUE(has("History\\Today\\page.url"));
  EXPECT_EQ(log(), "");
}

TEST_F(InetPropertiesTest, HistoryKeepsItsIndexFilesAndTheirFolders) {
  showInetProperties(context, kInetHistory);
  EXPECT_EQ(state.progress.value, 1);
  EXPECT_TRUE(has("History\\History.IE5\\index.dat"));
  EXPECT_TRUE(has("History\\History.IE5\\MSHist012026\\index.dat"));
  EXPECT_FALSE(has("History\\History.IE5\\MSHist012026\\visit.url"));
  EXPECT_FALSE(has("History\\Today"));
  EXPECT_TRUE(has("History\\desktop.ini"));
  EXPECT_TRUE(has("Temporary Internet Files\\loose.css"));
}

#ifndef _WIN32
// Natively the drive root is the test's own prefix; a mistake here would only empty that.
TEST_F(InetPropertiesTest, ADriveRootIsNeverEmptied) {
  paths.ie1 = "C:\\";
  paths.ie2 = "C:";
  paths.ie4 = "-";
  showInetProperties(context, kInetBoth);
  EXPECT_EQ(files.calls["deleteFile"], 0);
  EXPECT_TRUE(has("History\\Today\\page.url"));
  EXPECT_NE(log().find("(5)"), std::string::npos);
}

TEST_F(InetPropertiesTest, LinksAtEveryDepthGoAsLinksAndTheirTargetsSurvive) {
  std::string canary = box.hostRoot() + "/canary";
  ::mkdir(canary.c_str(), 0777);
  std::ofstream(canary + "/keep.txt") << "precious";
  std::string cache = box.hostRoot() + "/drive_c/sandbox/Temporary Internet Files";
  for (const std::string& at : {cache, cache + "/Content.IE5", cache + "/Content.IE5/A1B2C3D4/deep"}) {
    ASSERT_EQ(::symlink(canary.c_str(), (at + "/to-folder").c_str()), 0);
    ASSERT_EQ(::symlink((canary + "/keep.txt").c_str(), (at + "/to-file").c_str()), 0);
  }
  showInetProperties(context, kInetTemporaryFiles);
  std::ifstream in(canary + "/keep.txt");
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "precious");
  EXPECT_FALSE(has("Temporary Internet Files\\to-folder"));
  EXPECT_FALSE(has("Temporary Internet Files\\Content.IE5\\to-file"));
  EXPECT_FALSE(has("Temporary Internet Files\\Content.IE5\\A1B2C3D4"));
}
#endif

}  // namespace
}  // namespace trwk
