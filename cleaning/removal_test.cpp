// The removal engine on the backend of the build: natively over a sandbox prefix, under
// Wine on the real API.
#include "cleaning/removal.h"

#include <gtest/gtest.h>

#include <algorithm>

#ifndef _WIN32
#include <sys/stat.h>
#endif

#include "platform/failure.h"
#include "testing/failure_of.h"
#include "testing/fault_files.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using testing::failureOf;

class RemovalTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  Files& files = box.files();
  Protection protection{files, systemFoldersOf(box.desktop(), box.root()), box.root()};
  bool exists(const std::string& relative) {
    return files.fileExists(box.path(relative)) || files.folderExists(box.path(relative));
  }
};

TEST_F(RemovalTest, AMaskMatchesLongNamesOnlyAndCountsWhatWent) {
  box.writeFile("t\\a.tmp", "123");
  box.writeFile("t\\B.TMP", "4567");
  box.writeFile("t\\c.tmpx", "x");
  box.writeFile("t\\page.html", "x");  // its short name PAGE~1.HTM must not count
  box.writeFile("t\\dir.tmp\\inner.txt", "12");
  Removal removal(files, protection);

  EXPECT_EQ(removal.deleteMatching(box.path("t\\*.tmp"), false, OnError::Stop), 2u);
  EXPECT_EQ(removal.deleteMatching(box.path("t\\*.htm"), false, OnError::Stop), 0u);
  EXPECT_FALSE(exists("t\\a.tmp"));
  EXPECT_FALSE(exists("t\\B.TMP"));
  EXPECT_TRUE(exists("t\\c.tmpx"));
  EXPECT_TRUE(exists("t\\page.html"));
  EXPECT_TRUE(exists("t\\dir.tmp\\inner.txt"));  // folders only when asked
  EXPECT_EQ(removal.stats().files, 2u);
  EXPECT_EQ(removal.stats().bytes, 7u);

  EXPECT_EQ(removal.deleteMatching(box.path("t\\*.tmp"), true, OnError::Stop), 1u);
  EXPECT_FALSE(exists("t\\dir.tmp"));
  EXPECT_EQ(removal.stats().folders, 1u);
  EXPECT_EQ(removal.stats().bytes, 9u);

  box.writeFile("t\\README", "x");  // "*.*" takes names without a dot too
  EXPECT_EQ(removal.deleteMatching(box.path("t\\*.*"), false, OnError::Stop), 3u);
  EXPECT_TRUE(exists("t"));
  EXPECT_EQ(removal.firstFailure(), 0);
}

TEST_F(RemovalTest, TreesGoWholeAndEmptiedFoldersStay) {
  box.writeFile("t\\a\\b\\c\\deep.txt", "deep");
  box.writeFile("t\\a\\one.txt", "1");
  box.writeFile("t\\top.txt", "top");
  files.createFolder(box.path("t\\empty"));
  box.writeFile("keep\\x.txt", "x");
  Removal removal(files, protection);

  removal.emptyFolder(box.path("t\\"), OnError::Stop);  // a path value's trailing backslash
  EXPECT_TRUE(files.folderExists(box.path("t")));
  EXPECT_TRUE(files.list(box.path("t\\*"), {true, true, true}).empty());
  EXPECT_EQ(removal.stats().files, 3u);
  EXPECT_EQ(removal.stats().folders, 4u);  // a, b, c, empty
  EXPECT_EQ(removal.stats().bytes, 8u);

  box.writeFile("t\\again\\x.txt", "x");
  removal.deleteTree(box.path("T"), OnError::Stop);
  EXPECT_FALSE(exists("t"));
  EXPECT_TRUE(exists("keep\\x.txt"));
  EXPECT_EQ(removal.stats().folders, 6u);
}

// Tells what a walk selects and removes, by full path.
struct PathLog : WalkSink {
  std::vector<std::string> selected, gone;
  std::uint64_t bytes = 0;
  bool mayEnter(const std::string&, const FolderId&) override { return true; }
  bool select(const std::string& path, const DirEntry& entry, int) override {
    selected.push_back(path);
    return entry.name != "kept.txt";
  }
  void removed(const std::string& path, const DirEntry& entry, int) override {
    gone.push_back(path);
    bytes += entry.size;
  }
  void failed(const Failure& failure) override { ADD_FAILURE() << failure.description(); }
  void leftAlone(const std::string&, const std::string&) override {}
};

// A preview's walk tells exactly what the real walk then removes, and touches nothing.
TEST_F(RemovalTest, ADryRunTellsWhatWouldGoAndLeavesEverything) {
  box.writeFile("t\\a.txt", "123");
  box.writeFile("t\\sub\\b.txt", "4567");
  box.writeFile("t\\sub\\kept.txt", "k");
  box.writeFile("t\\sub\\deep\\c.txt", "89");
  files.createFolder(box.path("t\\empty"));
  WalkRequest request;
  request.folder = box.path("t");
  request.removeFolder = true;
  request.dryRun = true;
  PathLog preview;
  files.removeWithin(request, preview);
  for (const char* name : {"t\\a.txt", "t\\sub\\b.txt", "t\\sub\\kept.txt", "t\\sub\\deep\\c.txt", "t\\empty"})
    EXPECT_TRUE(exists(name)) << name;
  EXPECT_EQ(preview.bytes, 9u);
  EXPECT_NE(std::find(preview.selected.begin(), preview.selected.end(), box.path("t\\sub\\deep\\c.txt")),
            preview.selected.end());

  request.dryRun = false;
  PathLog real;
  files.removeWithin(request, real);
  auto sorted = [](std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
  };
  EXPECT_EQ(sorted(preview.gone), sorted(real.gone));
  EXPECT_EQ(sorted(preview.selected), sorted(real.selected));
  EXPECT_FALSE(exists("t\\a.txt"));
  EXPECT_TRUE(exists("t\\sub\\kept.txt"));  // and so t and sub stay
  EXPECT_TRUE(exists("t"));
}

TEST_F(RemovalTest, WrongTargetsFailWithTheirNumbers) {
  box.writeFile("file.txt", "x");
  Removal removal(files, protection);
  EXPECT_EQ(failureOf([&] { removal.deleteTree(box.path("missing"), OnError::KeepGoing); }),
            fail::kPathNotFound);
  EXPECT_EQ(failureOf([&] { removal.emptyFolder(box.path("missing"), OnError::KeepGoing); }),
            fail::kPathNotFound);
  EXPECT_EQ(failureOf([&] { removal.deleteMatching(box.path("missing\\*.*"), false, OnError::KeepGoing); }),
            fail::kPathNotFound);
  EXPECT_EQ(failureOf([&] { removal.deleteTree(box.path("file.txt"), OnError::Stop); }),
            fail::kPathFileAccess);
  EXPECT_EQ(failureOf([&] { removal.deleteFile(box.path("missing.txt")); }), fail::kFileNotFound);
  EXPECT_EQ(failureOf([&] { removal.deleteTree("C:\\", OnError::Stop); }), fail::kPermissionDenied);
  EXPECT_TRUE(exists("file.txt"));
  EXPECT_EQ(removal.stats().files, 0u);
  removal.deleteFile(box.path("FILE.TXT"));
  EXPECT_FALSE(exists("file.txt"));
  EXPECT_EQ(removal.stats().files, 1u);
  EXPECT_EQ(removal.stats().bytes, 1u);
}

TEST_F(RemovalTest, KeepGoingPassesFailuresAndStopEndsAtTheFirst) {
  box.writeFile("t\\a.txt", "a");
  box.writeFile("t\\b.txt", "b");
  box.writeFile("t\\sub\\c.txt", "c");
  testing::FaultFiles faulty(files);
  faulty.fail("deleteFile", fail::kPermissionDenied);
  Removal removal(faulty, protection);

  EXPECT_EQ(failureOf([&] { removal.deleteTree(box.path("t"), OnError::Stop); }), fail::kPermissionDenied);
  EXPECT_EQ(faulty.calls["deleteFile"], 1);

  faulty.calls.clear();
  removal.deleteTree(box.path("t"), OnError::KeepGoing);
  EXPECT_EQ(faulty.calls["deleteFile"], 3);  // every file was tried
  EXPECT_EQ(removal.firstFailure(), fail::kPermissionDenied);
  EXPECT_TRUE(exists("t\\sub\\c.txt"));

  faulty.heal("deleteFile");
  faulty.fail("removeFolder", fail::kPathFileAccess);
  removal.deleteTree(box.path("t"), OnError::KeepGoing);
  EXPECT_EQ(removal.firstFailure(), fail::kPermissionDenied);  // the first one is kept
  EXPECT_EQ(removal.stats().files, 2u);
  EXPECT_TRUE(exists("t\\sub"));  // the injected fault keeps the folder whole
}

#ifndef _WIN32
// Wine shows a file without write permission as read-only.
TEST_F(RemovalTest, ReadOnlyFilesAreClearedFirst) {
  box.writeFile("t\\ro\\locked.txt", "x");
  box.writeFile("t\\single.txt", "y");
  std::string host = box.hostRoot() + "/drive_c/sandbox/t";
  ASSERT_EQ(::chmod((host + "/ro/locked.txt").c_str(), 0444), 0);
  ASSERT_EQ(::chmod((host + "/single.txt").c_str(), 0444), 0);
  testing::FaultFiles counting(files);
  Removal removal(counting, protection);
  removal.deleteFile(box.path("t\\single.txt"));
  removal.deleteTree(box.path("t"), OnError::Stop);
  EXPECT_EQ(counting.calls["clearAttributes"], 1);  // a walk removes a read-only file by its name
  EXPECT_FALSE(exists("t"));
}
#endif

}  // namespace
}  // namespace trwk
