#include "cleaning/cleaning_test_fixture.h"
#include "cleaning/keep_lists.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <unistd.h>

#include <fstream>
#endif

#include "testing/fault_files.h"
#include "testing/memory_registry.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using testing::Sandbox;

class KeepListTest : public testing::CleaningTest {
 protected:
  std::vector<std::string> statuses;

  void SetUp() override {
    paths.ie3 = box.path("Cookies") + "\\";
    box.writeFile("ow.chx", "0123456789");
    box.writeFile("ow2.chx", "abcdefghij");
    context.refresh = [this] {
      if (statuses.empty() || statuses.back() != state.statusText) statuses.push_back(state.statusText);
    };
  }
  std::vector<std::string> fields(const std::string& bytes) {
    box.writeFile("list.lst", bytes);
    return readListFields(files, box.path("list.lst"));
  }
  bool cookie(const std::string& name) { return files.fileExists(box.path("Cookies\\" + name)); }
};

TEST_F(KeepListTest, FieldsEndAtCommasAndLineEndsWithBlanksAndQuotesRemoved) {
  using V = std::vector<std::string>;
  EXPECT_EQ(fields("a.txt\r\nb.txt\r\n"), (V{"a.txt", "b.txt"}));
  EXPECT_EQ(fields("  a.txt \t,b.txt\nc.txt"), (V{"a.txt", "b.txt", "c.txt"}));
  EXPECT_EQ(fields("\"x, y\" , \" padded \"\r\n"), (V{"x, y", " padded "}));
  // A cookie line with a comma in it is two entries.
  EXPECT_EQ(fields("host\tTRUE\t/\tname\tv1,v2\n"), (V{"host\tTRUE\t/\tname\tv1", "v2"}));
  EXPECT_EQ(fields("a\r\n\r\nb"), (V{"a", "", "b"}));
  EXPECT_EQ(fields(""), V{});
  EXPECT_EQ(readListFields(files, box.path("absent.lst")), V{});
}

TEST_F(KeepListTest, OnlyExactNamesAreKeptAndTheIndexIsNeverTouched) {
  for (const char* name : {"keep.txt", "KEEP2.txt", "gone.txt", "index.dat"})
    box.writeFile("Cookies\\" + std::string(name), "c");
  keep = {"keep.txt", "keep2.txt", ""};
  catalogue.safetyLevel = "3";
  removeCookies(context);
  EXPECT_TRUE(cookie("keep.txt"));
  EXPECT_FALSE(cookie("KEEP2.txt"));  // differs in letter case only: removed
  EXPECT_FALSE(cookie("gone.txt"));
  EXPECT_TRUE(cookie("index.dat"));
  EXPECT_EQ(box.readFile("Cookies\\index.dat"), "c");
  // Three passes over the two removed cookies; the index counts but is not written.
  EXPECT_EQ(files.calls["overwriteInPlace"], 6);
  EXPECT_EQ(files.calls["deleteFile"], 2);
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Please wait...Security level processing 9"),
            statuses.end());
  EXPECT_EQ(std::count(statuses.begin(), statuses.end(), "Removing Cookie"), 2);
  EXPECT_EQ(log(), "");
}

TEST_F(KeepListTest, LevelOneDeletesWithoutOverwritingAndAFailedFileDoesNotStopTheRest) {
  box.writeFile("Cookies\\a.txt", "a");
  box.writeFile("Cookies\\b.txt", "b");
  catalogue.safetyLevel = "1";
  files.fail("deleteFile", 70);
  removeCookies(context);
  EXPECT_EQ(files.calls["overwriteInPlace"], 0);
  EXPECT_EQ(files.calls["deleteFile"], 2);
  files.heal("deleteFile");
  removeCookies(context);
  EXPECT_FALSE(cookie("a.txt"));
  EXPECT_FALSE(cookie("b.txt"));
  EXPECT_NE(log().find("removeCookies at line"), std::string::npos);
}

#ifndef _WIN32
TEST_F(KeepListTest, ACookieThatIsALinkGoesAsALinkAndItsTargetIsNeitherWrittenNorRemoved) {
  std::string canary = box.hostRoot() + "/canary.txt";
  std::ofstream(canary) << "precious";
  box.writeFile("Cookies\\real.txt", "r");
  ASSERT_EQ(::symlink(canary.c_str(), (box.hostRoot() + "/drive_c/sandbox/Cookies/link.txt").c_str()), 0);
  catalogue.safetyLevel = "5";
  removeCookies(context);
  EXPECT_FALSE(cookie("real.txt"));
  EXPECT_TRUE(files.list(box.path("Cookies\\*.*"), {}).empty());
  std::ifstream in(canary);
  std::string content((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
  EXPECT_EQ(content, "precious");
}
#endif

}  // namespace
}  // namespace trwk
