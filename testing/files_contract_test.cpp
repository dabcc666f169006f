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

}  // namespace
}  // namespace trwk::testing
