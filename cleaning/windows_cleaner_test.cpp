#include "cleaning/windows_cleaner.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <map>
#include <set>

#include "cleaning/cleaning_test_fixture.h"
#include "platform/text_encoding.h"

namespace trwk {
namespace {

constexpr const char* kRunMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\RunMRU";
constexpr const char* kFindMru = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Doc Find Spec MRU";

// The recycle bin of a test: never the real one; the folders a test names lie in its sandbox.
class FakeDesktop : public Desktop {
 public:
  explicit FakeDesktop(Desktop& inner) : inner_(inner) {}
  std::optional<std::string> knownFolder(KnownFolder id) override {
    auto it = folders.find(id);
    return it != folders.end() ? it->second : inner_.knownFolder(id);
  }
  std::map<KnownFolder, std::optional<std::string>> folders;
  std::string programFolder() override { return inner_.programFolder(); }
  bool startProgram(const std::string&, const std::string&) override { return false; }
  bool emptyRecycleBin() override {
    ++empties;
    return emptied;
  }
  int empties = 0;
  bool emptied = true;

 private:
  Desktop& inner_;
};

// Files whose last-write times a test sets by name, and files a walk finds in use.
class StampedFiles : public testing::FaultFiles {
 public:
  using FaultFiles::FaultFiles;
  std::map<std::string, FileTime> stamps;
  std::set<std::string> inUse;
  std::optional<FileTime> lastWriteTime(const std::string& path) override {
    auto it = stamps.find(path.substr(path.find_last_of('\\') + 1));
    return it != stamps.end() ? std::optional<FileTime>(it->second) : FaultFiles::lastWriteTime(path);
  }
  // A walk sees the same times.
  void removeWithin(const WalkRequest& request, WalkSink& sink) override {
    struct Stamping : WalkSink {
      Stamping(WalkSink& to, const std::map<std::string, FileTime>& by, const std::set<std::string>& busy)
          : inner(to), stamps(by), inUse(busy) {}
      bool mayEnter(const std::string& folder, const FolderId& id) override {
        return inner.mayEnter(folder, id);
      }
      bool select(const std::string& path, const DirEntry& entry, int depth) override {
        DirEntry stamped = entry;
        if (auto it = stamps.find(entry.name); it != stamps.end()) stamped.lastWrite = it->second;
        if (!inner.select(path, stamped, depth)) return false;
        if (!inUse.count(entry.name)) return true;
        inner.failed(Failure(fail::kPermissionDenied, "Permission denied: " + entry.name + " is in use"));
        return false;
      }
      void removed(const std::string& path, const DirEntry& entry, int depth) override {
        inner.removed(path, entry, depth);
      }
      void failed(const Failure& failure) override { inner.failed(failure); }
      void leftAlone(const std::string& path, const std::string& why) override { inner.leftAlone(path, why); }
      WalkSink& inner;
      const std::map<std::string, FileTime>& stamps;
      const std::set<std::string>& inUse;
    } stamping(sink, stamps, inUse);
    FaultFiles::removeWithin(request, stamping);
  }
};

class WindowsCleanerTest : public testing::CleaningTest {
 protected:
  FakeDesktop desktop{box.desktop()};
  StampedFiles stamped{box.files()};
  Session own{{stamped, registry, desktop, box.clock, box.random, box.ui}, box.root()};
  CleaningContext windows{own, catalogue, state, paths, keep};
  std::vector<std::string> statuses;

  void SetUp() override {
    paths.win1 = box.path("Recent") + "\\";
    paths.win2 = box.path("Temp") + "\\";
    paths.win3 = box.path("Downloaded Program Files") + "\\";
    box.writeFile("Recent\\letter.lnk", "r");
    box.writeFile("Recent\\sub\\keep.lnk", "r");
    box.writeFile("Downloaded Program Files\\ctl.inf", "d");
    box.writeFile("Downloaded Program Files\\CONFLICT.1\\ctl.ocx", "d");
    box.writeFile("Temp\\yesterday.tmp", "t");
    box.writeFile("Temp\\today.tmp", "t");
    stamped.stamps["yesterday.tmp"] = {2026, 12, 7, 23, 59, 0};
    stamped.stamps["today.tmp"] = {2026, 12, 8, 0, 1, 0};
    // This user's own folders lie in the sandbox, so that item 21 never reaches a real one.
    desktop.folders[KnownFolder::Temp] = box.path("UserTemp");
    desktop.folders[KnownFolder::LocalAppData] = box.path("Local");
    for (const char* key : {kRunMru, kFindMru}) {
      for (const char* name : {"a", "b", "c", "MRUList"})
        registry.put(RootKey::CurrentUser, key, name, {ValueType::String, "x"});
    }
    windows.refresh = [this] { statuses.push_back(state.statusText); };
  }
  bool has(const std::string& relative) { return box.files().fileExists(box.path(relative)); }
  bool value(const char* key, const char* name) {
    RegValue v;
    return registry.queryValue(RootKey::CurrentUser, key, name, v) == 0;
  }
};

TEST_F(WindowsCleanerTest, EveryItemCleansItsTargetAndTheRunEndsOnce) {
  for (int n = 14; n <= 21; ++n) catalogue.item(n).ticked = true;
#ifdef _WIN32
  catalogue.item(18).ticked = false;  // "C:\" is no test's own here
#else
  box.files().replaceAtomically("C:\\FILE0000.CHK", "x");  // natively the sandbox owns drive C:
  box.files().replaceAtomically("C:\\keep.txt", "x");
#endif
  cleanWindows(windows);
#ifndef _WIN32
  EXPECT_FALSE(box.files().fileExists("C:\\FILE0000.CHK"));
  EXPECT_TRUE(box.files().fileExists("C:\\keep.txt"));
#endif
  EXPECT_FALSE(has("Recent\\letter.lnk"));
  EXPECT_TRUE(has("Recent\\sub\\keep.lnk")) << "files only";
  EXPECT_TRUE(box.files().list(box.path("Downloaded Program Files\\*.*"), {true, true, true}).empty());
  EXPECT_FALSE(has("Temp\\yesterday.tmp")) << "changed yesterday at 23:59";
  EXPECT_TRUE(has("Temp\\today.tmp")) << "changed today at 00:01";
  EXPECT_EQ(desktop.empties, 1);
  for (const char* key : {kRunMru, kFindMru}) {
    EXPECT_FALSE(value(key, "a") || value(key, "b") || value(key, "c"));
    EXPECT_TRUE(value(key, "MRUList"));
  }
  EXPECT_EQ(state.progress.value, state.progress.max);
  ASSERT_GE(statuses.size(), 4u);
  EXPECT_EQ(statuses[0], "Please Wait");
  EXPECT_EQ(statuses[1], "Cleaning Windows Files");
  EXPECT_NE(std::find(statuses.begin(), statuses.end(), "Cleaning Recycle Bin"), statuses.end());
  EXPECT_EQ(box.ui.doEventsCalls, 1);
  ASSERT_EQ(box.ui.boxes.size(), 1u);
  EXPECT_EQ(box.ui.boxes[0].text, "Cleaning System...Done");
  EXPECT_EQ(log(), "");
}

TEST_F(WindowsCleanerTest, GreyedOutItemsAreSkippedAndAFailedBinIsLoggedUnderItsOwnName) {
  for (int n : {15, 16, 17, 21}) catalogue.item(n).ticked = true;
  catalogue.disableWinTemp();
  catalogue.disableWinDownloaded();
  desktop.emptied = false;
  state.cleanAllRunning = true;
  state.progress = {0, 4};
  cleanWindows(windows);
  EXPECT_TRUE(has("Downloaded Program Files\\ctl.inf"));
  EXPECT_TRUE(has("Temp\\yesterday.tmp"));
  EXPECT_EQ(state.progress.value, 2);
  EXPECT_EQ(state.statusText, "Cleaning Windows Files");
  EXPECT_NE(log().find("EmptyBitBucket"), std::string::npos);
  EXPECT_EQ(log().find("cmdCleanWin"), std::string::npos);
  EXPECT_TRUE(box.ui.boxes.empty());
}

// Item 21 takes this user's own leftovers and nothing else: old files of the user's own
// temporary folder, crash dumps, error reports and Explorer's thumbnail cache.
TEST_F(WindowsCleanerTest, AdditionalGarbageTakesOnlyTheUsersOwnLeftovers) {
  const char* const wer = "Local\\Microsoft\\Windows\\WER\\";
  const char* const explorer = "Local\\Microsoft\\Windows\\Explorer\\";
  const std::vector<std::string> gone = {
      "UserTemp\\yesterday.tmp",
      "Local\\CrashDumps\\app.exe.4242.dmp",
      std::string(wer) + "ReportArchive\\AppCrash_app.exe_1\\Report.wer",
      std::string(wer) + "ReportQueue\\AppHang_app.exe_2\\Report.wer",
      std::string(explorer) + "thumbcache_32.db",
      std::string(explorer) + "thumbcache_idx.db",
  };
  const std::vector<std::string> kept = {
      "UserTemp\\today.tmp",                           // changed today
      "UserTemp\\setup\\yesterday.tmp",                // in a folder: files only, as item 16
      "Local\\CrashDumps\\notes.txt",                  // no dump
      std::string(wer) + "settings.xml",               // beside the reports
      std::string(explorer) + "iconcache_16.db",       // no thumbnail cache
      std::string(explorer) + "thumbcache_256.db",     // in use
      "Local\\Microsoft\\Windows\\History\\page.url",  // not this item's
  };
  for (const auto& list : {gone, kept})
    for (const std::string& file : list) box.writeFile(file, "x");
  stamped.inUse = {"thumbcache_256.db"};
  catalogue.item(21).ticked = true;
  state.cleanAllRunning = true;
  state.progress = {0, 1};
  cleanWindows(windows);
  for (const std::string& file : gone) EXPECT_FALSE(has(file)) << file;
  for (const std::string& file : kept) EXPECT_TRUE(has(file)) << file;
  EXPECT_TRUE(has("Temp\\yesterday.tmp")) << "the Windows temporary folder is item 16's";
  EXPECT_TRUE(box.files().folderExists(box.path(std::string(wer) + "ReportArchive")));
  EXPECT_EQ(state.progress.value, 1);
  EXPECT_NE(log().find("cmdCleanWin at line "), std::string::npos);
  EXPECT_NE(log().find("thumbcache_256.db is in use (70)"), std::string::npos) << log();
  // The help names every place the item reaches.
  for (const char* place :
       {"temporary", "CrashDumps\\*.dmp", "ReportArchive", "ReportQueue", "thumbcache_*.db"})
    EXPECT_NE(std::string(catalogue.item(21).help).find(place), std::string::npos) << place;
}

// Where the user's temporary folder is the Windows one, item 21 leaves it to item 16; where
// the shell knows none of the folders, or names a protected one, nothing is removed.
TEST_F(WindowsCleanerTest, AdditionalGarbageLeavesTheWindowsTemporaryFolderAndProtectedPlaces) {
  catalogue.item(21).ticked = true;
  state.cleanAllRunning = true;
  desktop.folders[KnownFolder::Temp] = box.path("TEMP") + "\\";  // item 16's, in other letters
  cleanWindows(windows);
  EXPECT_TRUE(has("Temp\\yesterday.tmp"));
  EXPECT_EQ(log(), "");

  desktop.folders[KnownFolder::Temp] = std::nullopt;
  desktop.folders[KnownFolder::LocalAppData] = std::nullopt;
  cleanWindows(windows);
  EXPECT_EQ(log(), "");

  // A shell that names the program folder: refused by the engine and logged.
  box.writeFile("old.tmp", "x");
  stamped.stamps["old.tmp"] = {2026, 1, 1, 0, 0, 0};
  desktop.folders[KnownFolder::Temp] = box.root();
  own.platform.files.replaceAtomically(own.log.path(), "");
  cleanWindows(windows);
  EXPECT_TRUE(has("old.tmp"));
  EXPECT_NE(log().find("(70)"), std::string::npos) << log();
}

// Item 21 reaches its folders through the shell on either backend: this user's local
// application data lies in this user's profile.
TEST(AdditionalGarbageFolders, TheShellNamesTheUsersLocalApplicationData) {
  testing::Sandbox box;
  std::optional<std::string> local = box.desktop().knownFolder(KnownFolder::LocalAppData);
  std::optional<std::string> profile = box.desktop().knownFolder(KnownFolder::Profile);
  ASSERT_TRUE(local && profile);
  EXPECT_EQ(upperCp1252(*local).rfind(upperCp1252(*profile) + "\\", 0), 0u) << *local;
  EXPECT_TRUE(box.files().folderExists(*profile));
}

#ifdef _WIN32
// Sets an environment variable for as long as it lives, then puts the old value back.
struct ScopedEnv {
  std::string name, old;
  ScopedEnv(const char* n, const std::string& value) : name(n) {
    if (const char* v = std::getenv(n)) old = v;
    _putenv_s(n, value.c_str());
  }
  ~ScopedEnv() { _putenv_s(name.c_str(), old.c_str()); }
};

// Under Wine the recycle bin is the host's trash; here it is pointed into the sandbox, both
// ways Wine finds it, so that no one's real trash is ever touched.
TEST_F(WindowsCleanerTest, UnderWineTheTrashIsEmptiedWithItsFolders) {
  const char* config = std::getenv("WINECONFIGDIR");
  const std::string unixPrefix = "\\??\\unix";
  if (!config || std::string(config).rfind(unixPrefix, 0) != 0) GTEST_SKIP() << "not under Wine";
  std::string host = std::string(config).substr(unixPrefix.size()) + "\\drive_c\\" + box.root().substr(3);
  ScopedEnv home("WINEHOMEDIR", unixPrefix + host + "\\home");
  std::replace(host.begin(), host.end(), '\\', '/');
  ScopedEnv data("XDG_DATA_HOME", host + "/data");
  box.writeFile("data\\Trash\\files\\d\\f", "x");
  box.writeFile("data\\Trash\\files\\g", "x");
  box.writeFile("data\\Trash\\info\\d.trashinfo", "x");
  catalogue.item(17).ticked = true;
  state.cleanAllRunning = true;
  cleanWindows(context);
  EXPECT_TRUE(box.files().list(box.path("data\\Trash\\files\\*"), {true, true, true}).empty());
  EXPECT_TRUE(box.files().list(box.path("data\\Trash\\info\\*"), {true, true, true}).empty());
  EXPECT_EQ(log(), "");
}
#endif

}  // namespace
}  // namespace trwk
