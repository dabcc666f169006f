#include "platform/posix/posix_files.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>

#include "platform/failure.h"
#include "platform/posix/host_io.h"
#include "testing/failure_of.h"
#include "testing/prefix_builder.h"

namespace trwk::posix {
namespace {

using trwk::testing::failureOf;
using trwk::testing::TempPrefix;

class PosixFilesTest : public ::testing::Test {
 protected:
  TempPrefix temp;
  PosixFiles files{std::make_shared<const WinePrefix>(temp.hostPath())};

  std::string host(const std::string& windowsRelative) { return temp.host("drive_c/" + windowsRelative); }
  void put(const std::string& hostRelative, const std::string& bytes) {
    std::ofstream(temp.host(hostRelative), std::ios::binary) << bytes;
  }
  std::vector<std::string> names(const std::string& pattern, ListOptions options) {
    std::vector<std::string> out;
    for (const auto& e : files.list(pattern, options)) out.push_back(e.name);
    return out;
  }
};

TEST_F(PosixFilesTest, ListsWithWindowsWildcards) {
  ASSERT_EQ(::mkdir(temp.host("drive_c/d").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(temp.host("drive_c/d/Sub").c_str(), 0777), 0);
  for (const char* n : {"a.txt", "B.TXT", "c.log", "README", ".hidden"})
    put(std::string("drive_c/d/") + n, "x");
  ASSERT_EQ(::symlink("Sub", temp.host("drive_c/d/lnk").c_str()), 0);
  ASSERT_EQ(::symlink("a.txt", temp.host("drive_c/d/flink").c_str()), 0);

  ListOptions filesOnly;
  EXPECT_EQ(names("C:\\D\\*.*", filesOnly),
            (std::vector<std::string>{".hidden", "a.txt", "B.TXT", "c.log", "flink", "lnk", "README"}));
  EXPECT_EQ(names("C:\\d\\*.TXT", filesOnly), (std::vector<std::string>{"a.txt", "B.TXT"}));
  ListOptions visible;
  visible.hiddenAndSystem = false;
  EXPECT_EQ(names("C:\\d\\*", visible).front(), "a.txt");
  ListOptions foldersOnly;
  foldersOnly.files = false;
  foldersOnly.folders = true;
  EXPECT_EQ(names("C:\\d\\*.*", foldersOnly), std::vector<std::string>{"Sub"});

  auto entries = files.list("C:\\d\\lnk", filesOnly);
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].isLink);
  EXPECT_FALSE(entries[0].isFolder);  // a link is never taken for the folder it names
  EXPECT_TRUE(files.list("C:\\d\\.hidden", filesOnly).at(0).hidden);

  EXPECT_TRUE(files.list("C:\\missing\\*.*", filesOnly).empty());
  EXPECT_EQ(failureOf([&] { files.list("C:\\..\\*.*", filesOnly); }), fail::kPathNotFound);
}

TEST_F(PosixFilesTest, ReplacesAtomicallyAndKeepsTheMode) {
  const std::string path = "C:\\windows\\temp\\settings.ini";
  files.replaceAtomically(path, "one");
  ASSERT_EQ(::chmod(host("windows/temp/settings.ini").c_str(), 0640), 0);
  files.replaceAtomically(path, "two\r\n");
  EXPECT_EQ(files.readAll(path), "two\r\n");

  std::vector<std::string> left;
  for (const auto& e : std::filesystem::directory_iterator(host("windows/temp")))
    left.push_back(e.path().filename());
  EXPECT_EQ(left, std::vector<std::string>{"settings.ini"});  // no temporary file stays behind
  struct stat st {};
  ASSERT_EQ(::stat(host("windows/temp/settings.ini").c_str(), &st), 0);
  EXPECT_EQ(st.st_mode & 07777, 0640u);

  ASSERT_EQ(::chmod(host("windows/temp/settings.ini").c_str(), 0444), 0);
  EXPECT_EQ(failureOf([&] { files.replaceAtomically(path, "three"); }), fail::kPermissionDenied);
  EXPECT_EQ(files.readAll(path), "two\r\n");
  EXPECT_EQ(failureOf([&] { files.replaceAtomically("C:\\nowhere\\x.ini", "x"); }), fail::kPathNotFound);
}

TEST_F(PosixFilesTest, DeletesLinksAsLinksAndReportsWhatFails) {
  ASSERT_EQ(::mkdir(temp.host("canary").c_str(), 0777), 0);
  put("canary/keep.txt", "keep");
  ASSERT_EQ(::symlink(temp.host("canary/keep.txt").c_str(), host("windows/temp/tofile").c_str()), 0);
  ASSERT_EQ(::symlink(temp.host("canary").c_str(), host("windows/temp/tofolder").c_str()), 0);

  files.deleteFile("C:\\windows\\temp\\ToFile");
  files.deleteFile("C:\\windows\\temp\\tofolder");
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(host("windows/temp/tofile"))));
  EXPECT_FALSE(std::filesystem::exists(std::filesystem::symlink_status(host("windows/temp/tofolder"))));
  EXPECT_TRUE(std::filesystem::exists(temp.host("canary/keep.txt")));

  // Clearing the marks of a link leaves its target alone.
  ASSERT_EQ(::chmod(temp.host("canary/keep.txt").c_str(), 0444), 0);
  ASSERT_EQ(::symlink("../../../canary/keep.txt", host("windows/temp/inner").c_str()), 0);
  ASSERT_EQ(::symlink("ro.txt", host("windows/temp/toro").c_str()), 0);
  put("drive_c/windows/temp/ro.txt", "x");
  ASSERT_EQ(::chmod(host("windows/temp/ro.txt").c_str(), 0444), 0);
  files.clearAttributes("C:\\windows\\temp\\toro");
  files.clearAttributes("C:\\windows\\temp\\inner");
  struct stat canary {};
  ASSERT_EQ(::stat(temp.host("canary/keep.txt").c_str(), &canary), 0);
  EXPECT_EQ(canary.st_mode & 0777, 0444u);
  EXPECT_TRUE(files.list("C:\\windows\\temp\\ro.txt", {}).at(0).readOnly);
  files.clearAttributes("C:\\windows\\temp\\ro.txt");
  EXPECT_FALSE(files.list("C:\\windows\\temp\\ro.txt", {}).at(0).readOnly);
  ASSERT_EQ(::chmod(host("windows/temp/ro.txt").c_str(), 0444), 0);
  files.deleteFile("C:\\windows\\temp\\ro.txt");  // read-only files go, as on the Windows backend
  EXPECT_FALSE(files.fileExists("C:\\windows\\temp\\ro.txt"));

  EXPECT_EQ(failureOf([&] { files.deleteFile("C:\\windows\\temp\\gone.txt"); }), fail::kFileNotFound);
  EXPECT_EQ(failureOf([&] { files.deleteFile("C:\\nowhere\\gone.txt"); }), fail::kPathNotFound);
  EXPECT_EQ(failureOf([&] { files.deleteFile("C:\\windows\\temp"); }), fail::kPathFileAccess);
  try {
    files.readAll("C:\\windows\\nope.txt");
    ADD_FAILURE();
  } catch (const Failure& f) {
    EXPECT_EQ(f.number(), fail::kFileNotFound);
    EXPECT_EQ(f.description(), "File not found: C:\\windows\\nope.txt");
  }
}

// Deleting many files of one folder resolves the folder once; a folder replaced or turned
// into a link meanwhile must be resolved afresh, never reached through what was held.
TEST_F(PosixFilesTest, DeletingAgainInAReplacedFolderResolvesItAfresh) {
  ASSERT_EQ(::mkdir(host("f").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(host("canary").c_str(), 0777), 0);
  put("drive_c/f/a.txt", "a");
  put("drive_c/f/b.txt", "b");
  files.deleteFile("C:\\f\\a.txt");
  ASSERT_EQ(::rename(host("f").c_str(), host("old").c_str()), 0);
  ASSERT_EQ(::mkdir(host("f").c_str(), 0777), 0);
  put("drive_c/f/b.txt", "new b");
  files.deleteFile("C:\\f\\b.txt");
  EXPECT_FALSE(std::filesystem::exists(host("f/b.txt")));
  EXPECT_TRUE(std::filesystem::exists(host("old/b.txt")));

  put("drive_c/canary/c.txt", "c");
  put("drive_c/f/c.txt", "c");
  files.deleteFile("C:\\f\\c.txt");
  std::filesystem::remove_all(host("f"));
  ASSERT_EQ(::symlink("/nonexistent-outside", host("f").c_str()), 0);  // now a link out of the drive
  EXPECT_EQ(failureOf([&] { files.deleteFile("C:\\f\\c.txt"); }), fail::kPathNotFound);
  EXPECT_EQ(failureOf([&] { files.deleteFile("C:\\old"); }), fail::kPathFileAccess);
  EXPECT_TRUE(std::filesystem::exists(host("canary/c.txt")));
}

TEST_F(PosixFilesTest, AppendsCopiesAndDescribesFiles) {
  const std::string log = "C:\\windows\\temp\\trwk.log";
  files.appendText(log, "one\r\n");
  files.appendText(log, "two\r\n");
  EXPECT_EQ(files.readAll(log), "one\r\ntwo\r\n");
  EXPECT_EQ(files.fileSize(log), 10u);
  EXPECT_EQ(files.fileSize("C:\\windows"), std::nullopt);

  std::tm when{};
  when.tm_year = 2021 - 1900, when.tm_mon = 5, when.tm_mday = 15, when.tm_hour = 12, when.tm_min = 34,
  when.tm_sec = 56, when.tm_isdst = -1;
  struct timespec times[2] = {{0, UTIME_OMIT}, {std::mktime(&when), 0}};
  ASSERT_EQ(::utimensat(AT_FDCWD, host("windows/temp/trwk.log").c_str(), times, 0), 0);
  EXPECT_EQ(files.lastWriteTime(log), (FileTime{2021, 6, 15, 12, 34, 56}));

  const std::string copy = "C:\\windows\\temp\\copy.log";
  files.copyFile(log, copy, false);
  EXPECT_EQ(files.readAll(copy), "one\r\ntwo\r\n");
  EXPECT_EQ(files.lastWriteTime(copy), files.lastWriteTime(log));  // the copy keeps the date
  files.appendText(log, "three");
  EXPECT_EQ(failureOf([&] { files.copyFile(log, copy, false); }), fail::kFileExists);
  files.copyFile(log, copy, true);
  EXPECT_EQ(files.readAll(copy), "one\r\ntwo\r\nthree");
  EXPECT_EQ(failureOf([&] { files.copyFile("C:\\windows\\temp\\none", copy, true); }), fail::kFileNotFound);

  files.createFolder("C:\\windows\\temp\\New");
  EXPECT_TRUE(files.folderExists("C:\\WINDOWS\\TEMP\\new"));
  EXPECT_EQ(failureOf([&] { files.createFolder("C:\\windows\\temp\\New"); }), fail::kFileExists);
  EXPECT_EQ(failureOf([&] { files.createFolder("C:\\no\\such"); }), fail::kPathNotFound);
}

TEST_F(PosixFilesTest, AsksTheDriveForFreeSpaceAndProbesNeverThrow) {
  ASSERT_EQ(::symlink("/", temp.host("dosdevices/z:").c_str()), 0);
  EXPECT_GT(files.driveFreeBytes("C:\\").value_or(0), 0u);
  EXPECT_EQ(files.driveFreeBytes("Z:\\"), std::nullopt);  // the whole host is no drive of ours
  EXPECT_EQ(files.driveFreeBytes("Q:\\"), std::nullopt);
  EXPECT_FALSE(files.fileExists("Z:\\etc\\passwd"));
  EXPECT_FALSE(files.folderExists("C:\\..\\dosdevices"));
  EXPECT_FALSE(files.fileExists("\\\\server\\share\\x"));
  EXPECT_EQ(files.lastWriteTime("C:\\..\\user.reg"), std::nullopt);
}

// The walk's filters: what the request names goes, with the folder only once it is empty,
// and a name the mask or the hidden rule turns away keeps its folder.
TEST_F(PosixFilesTest, RemoveWithinTakesWhatTheRequestNames) {
  struct Sink : WalkSink {
    std::vector<std::string> gone;
    int failures = 0;
    bool mayEnter(const std::string&, const FolderId&) override { return true; }
    void removed(const std::string& path, const DirEntry&, int) override { gone.push_back(path); }
    void failed(const Failure&) override { ++failures; }
    void leftAlone(const std::string&, const std::string&) override {}
  };
  using Names = std::vector<std::string>;
  struct Case {
    const char* what;
    std::function<void(WalkRequest&)> ask;
    Names removed;  // below C:\w, sorted; "" is the folder itself
  } cases[] = {
      {"files by mask", [](WalkRequest& r) { r.mask = "*.TMP", r.folders = false; }, {".h.tmp", "a.tmp"}},
      {"visible entries only", [](WalkRequest& r) { r.mask = "*.tmp", r.hiddenAndSystem = false; },
       {"a.tmp", "d.tmp", "d.tmp\\.x", "d.tmp\\y.txt"}},
      {"folders only", [](WalkRequest& r) { r.files = false; },
       {"d.tmp", "d.tmp\\.x", "d.tmp\\y.txt", "keep", "keep\\z"}},
      {"the folder stays while something does", [](WalkRequest& r) { r.mask = "*.tmp", r.removeFolder = true; },
       {".h.tmp", "a.tmp", "d.tmp", "d.tmp\\.x", "d.tmp\\y.txt"}},
      {"a whole tree", [](WalkRequest& r) { r.removeFolder = true; },
       {"", ".h.tmp", "a.tmp", "b.txt", "d.tmp", "d.tmp\\.x", "d.tmp\\y.txt", "keep", "keep\\z"}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    std::filesystem::remove_all(host("w"));
    for (const char* folder : {"w", "w/d.tmp", "w/keep"}) ASSERT_EQ(::mkdir(host(folder).c_str(), 0777), 0);
    for (const char* file : {"w/a.tmp", "w/.h.tmp", "w/b.txt", "w/d.tmp/y.txt", "w/d.tmp/.x", "w/keep/z"})
      put(std::string("drive_c/") + file, "x");
    WalkRequest request;
    request.folder = "C:\\w";
    c.ask(request);
    Sink sink;
    files.removeWithin(request, sink);
    Names removed;
    for (const std::string& path : sink.gone) removed.push_back(path == "C:\\w" ? "" : path.substr(5));
    std::sort(removed.begin(), removed.end());
    EXPECT_EQ(removed, c.removed);
    EXPECT_EQ(sink.failures, 0);
    EXPECT_EQ(std::filesystem::exists(host("w")), !c.removed.empty() && c.removed.front() != "");
  }
}

}  // namespace
}  // namespace trwk::posix

namespace trwk::posix {
namespace {

// Every write that puts a file at a name replaces a link standing there; the link's
// target, inside the drive or outside it, keeps its bytes.
TEST_F(PosixFilesTest, NoWriteEverGoesThroughALink) {
  ASSERT_EQ(::mkdir(temp.host("drive_c/d").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir(temp.host("outside").c_str(), 0777), 0);
  put("drive_c/source.txt", "new");
  struct Case {
    const char* name;
    std::function<void(const std::string&)> write;
    bool replaces;  // false: refused, the link stays
  };
  const Case cases[] = {
      {"replace", [&](const std::string& p) { files.replaceAtomically(p, "new"); }, true},
      {"copy", [&](const std::string& p) { files.copyFile("C:\\source.txt", p, true); }, true},
      {"append", [&](const std::string& p) { files.appendText(p, "new"); }, false},
      {"overwrite", [&](const std::string& p) { files.overwriteInPlace(p, "#"); }, false},
  };
  for (const auto& c : cases) {
    for (const std::string where : {"drive_c/canary-", "outside/canary-"}) {
      const std::string canary = temp.host(where + c.name);
      put(where + c.name, "canary");
      const std::string link = host(std::string("d/") + c.name);
      ::unlink(link.c_str());
      ASSERT_EQ(::symlink(canary.c_str(), link.c_str()), 0);
      const std::string windows = std::string("C:\\d\\") + c.name;
      bool done = failureOf([&] { c.write(windows); }) == 0;
      SCOPED_TRACE(std::string(c.name) + " through a link to " + where);
      EXPECT_EQ(*readHostFile(canary), "canary");
      struct stat st {};
      ASSERT_EQ(::lstat(link.c_str(), &st), 0);
      EXPECT_EQ(done, c.replaces);
      EXPECT_EQ(S_ISREG(st.st_mode), c.replaces);
      if (c.replaces) {
        EXPECT_EQ(*readHostFile(link), "new");
      }
    }
  }
  // Reading a copy's source through a link is refused too: it names another file.
  ASSERT_EQ(::symlink(temp.host("drive_c/source.txt").c_str(), host("d/via").c_str()), 0);
  EXPECT_EQ(failureOf([&] { files.copyFile("C:\\d\\via", "C:\\d\\fresh", true); }), fail::kPathFileAccess);
}

TEST_F(PosixFilesTest, AFileWithAnotherNameIsNeverOverwritten) {
  put("drive_c/cookie.txt", "secret");
  ASSERT_EQ(::link(temp.host("drive_c/cookie.txt").c_str(), temp.host("other-name").c_str()), 0);
  EXPECT_EQ(failureOf([&] { files.overwriteInPlace("C:\\cookie.txt", "#"); }), fail::kPathFileAccess);
  EXPECT_EQ(*readHostFile(temp.host("other-name")), "secret");
  files.deleteFile("C:\\cookie.txt");  // the name goes, the other keeps its bytes
  EXPECT_EQ(*readHostFile(temp.host("other-name")), "secret");
}

}  // namespace
}  // namespace trwk::posix
