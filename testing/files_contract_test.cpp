// What every Files backend must do alike; runs natively on the POSIX backend and under
// Wine on the Win32 backend.
#include <gtest/gtest.h>

#include <functional>

#include "platform/failure.h"
#include "testing/failure_of.h"
#include "testing/sandbox.h"

namespace trwk::testing {
namespace {

TEST(FilesContract, RemoveFolderTakesOnlyAnEmptyRealFolder) {
  Sandbox box;
  Files& files = box.files();
  box.writeFile("full\\a.txt", "a");
  files.createFolder(box.path("empty"));

  EXPECT_EQ(failureOf([&] { files.removeFolder(box.path("full")); }), fail::kPathFileAccess);
  EXPECT_TRUE(files.fileExists(box.path("full\\a.txt")));
  EXPECT_EQ(failureOf([&] { files.removeFolder(box.path("full\\a.txt")); }), fail::kPathFileAccess);
  EXPECT_NE(failureOf([&] { files.removeFolder(box.path("missing")); }), 0);

  files.removeFolder(box.path("EMPTY"));
  EXPECT_FALSE(files.folderExists(box.path("empty")));
}

TEST(FilesContract, DeleteFileRefusesAFolderAndTakesReadOnlyFiles) {
  Sandbox box;
  Files& files = box.files();
  box.writeFile("d\\x.txt", "x");
  EXPECT_EQ(failureOf([&] { files.deleteFile(box.path("d")); }), fail::kPathFileAccess);
  EXPECT_EQ(failureOf([&] { files.deleteFile(box.path("d\\nothing.txt")); }), fail::kFileNotFound);
  files.deleteFile(box.path("d\\X.TXT"));
  EXPECT_FALSE(files.fileExists(box.path("d\\x.txt")));
}

// A listing answers by long names only, whether it is asked for one name or a mask, and a
// limited listing stops at its limit.
TEST(FilesContract, ListingsMatchLongNamesAndStopAtTheirLimit) {
  Sandbox box;
  Files& files = box.files();
  for (const char* name : {"page.html", "b.txt", "c.txt", "d.txt"}) box.writeFile(std::string("d\\") + name, "x");
  struct Case {
    const char* pattern;
    std::size_t limit;
    std::size_t found;
  } cases[] = {
      {"d\\page.htm", 0, 0},  // never through a short name
      {"d\\PAGE.HTML", 0, 1}, {"d\\*.htm", 0, 0}, {"d\\*.txt", 0, 3},
      {"d\\*.txt", 1, 1},     {"d\\*", 2, 2},     {"d\\missing.txt", 1, 0},
  };
  for (const Case& c : cases) {
    ListOptions options;
    options.limit = c.limit;
    EXPECT_EQ(files.list(box.path(c.pattern), options).size(), c.found) << c.pattern << " limit " << c.limit;
  }
  EXPECT_EQ(files.list(box.path("d\\Page.Html"), {}).at(0).name, "page.html");
}

}  // namespace
}  // namespace trwk::testing
