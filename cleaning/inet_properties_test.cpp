#include "cleaning/inet_properties.h"

#include <gtest/gtest.h>

#include "cleaning/cleaning_test_fixture.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#endif

#include "platform/text_encoding.h"
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

// A shell whose History and Internet cache folders lie in the sandbox.
class SandboxShell : public Desktop {
 public:
  SandboxShell(Desktop& inner, std::string history, std::string cache)
      : inner_(inner), history_(std::move(history)), cache_(std::move(cache)) {}
  std::optional<std::string> knownFolder(KnownFolder id) override {
    if (id == KnownFolder::History) return history_;
    if (id == KnownFolder::InternetCache) return cache_;
    return inner_.knownFolder(id);
  }
  std::string programFolder() override { return inner_.programFolder(); }
  bool startProgram(const std::string&, const std::string&) override { return false; }
  bool emptyRecycleBin() override { return false; }

 private:
  Desktop& inner_;
  std::string history_, cache_;
};

// A stored folder is emptied only when it is Internet Explorer's; any other is left
// whole and named in the log, so that a mistyped path costs nothing.
TEST_F(InetPropertiesTest, OnlyInternetExplorersOwnFoldersAreEmptied) {
  SandboxShell shell(box.desktop(), box.path("ShellHistory"), box.path("ShellCache"));
  Session own{{files, registry, shell, box.clock, box.random, box.ui}, box.root()};
  CleaningContext ie{own, catalogue, state, paths, keep};
  struct Case {
    const char* what;
    std::string PathValues::*key;
    int mode;
    std::string folder;  // in the sandbox; each gets a probe file
    bool emptied;
  };
  const Case cases[] = {
      {"a mistyped history folder", &PathValues::ie1, kInetHistory, "Letters", false},
      {"a mistyped cache folder", &PathValues::ie2, kInetTemporaryFiles, "Letters", false},
      {"a cache index that is no Content.IE5", &PathValues::ie4, kInetTemporaryFiles, "Letters", false},
      {"a history folder without History.IE5", &PathValues::ie1, kInetHistory, "Temporary Internet Files",
       false},
      {"the shell's history", &PathValues::ie1, kInetHistory, "ShellHistory", true},
      {"the shell's cache", &PathValues::ie2, kInetTemporaryFiles, "ShellCache", true},
      {"a history folder holding History.IE5", &PathValues::ie1, kInetHistory, "History", true},
      {"a cache index", &PathValues::ie4, kInetTemporaryFiles, "Temporary Internet Files\\Content.IE5", true},
  };
  const std::string unknown = "-";
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    box.writeFile(c.folder + "\\probe\\page.htm", "p");
    paths.ie1 = paths.ie2 = paths.ie4 = unknown;
    // Stored in other letters and with the separator mainten.ini keeps.
    const std::string stored = upperCp1252(box.path(c.folder)) + "\\";
    paths.*c.key = stored;
    files.replaceAtomically(own.log.path(), "");
    showInetProperties(ie, c.mode);
    EXPECT_EQ(has(c.folder + "\\probe\\page.htm"), !c.emptied);
    const std::string text = log();
    if (c.emptied) {
      EXPECT_EQ(text, "");
    } else {
      EXPECT_NE(text.find("ShowInetProperties at line "), std::string::npos) << text;
      EXPECT_NE(text.find(stored + " is not Internet Explorer's "), std::string::npos) << text;
      EXPECT_NE(text.find("(75)"), std::string::npos) << text;
    }
  }
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
