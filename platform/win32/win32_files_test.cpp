#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <functional>

#include "platform/win32/win32_test_support.h"
#include "testing/failure_of.h"

namespace trwk::win32 {
namespace {

using testing::TempFolder;

void makeFile(const std::wstring& path, const std::string& bytes = "x", DWORD attrs = FILE_ATTRIBUTE_NORMAL) {
  Handle h(
      CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr));
  ASSERT_TRUE(h.valid());
  DWORD written = 0;
  ASSERT_TRUE(WriteFile(h.get(), bytes.data(), DWORD(bytes.size()), &written, nullptr));
  h.reset();
  if (attrs != FILE_ATTRIBUTE_NORMAL) {
    ASSERT_TRUE(SetFileAttributesW(path.c_str(), attrs));
  }
}

std::vector<std::string> names(const std::vector<DirEntry>& entries) {
  std::vector<std::string> out;
  for (const auto& e : entries) out.push_back(e.name);
  std::sort(out.begin(), out.end());
  return out;
}

using trwk::testing::failureOf;

using Names = std::vector<std::string>;

TEST(Win32Files, ProbesAnswerWithoutThrowing) {
  TempFolder dir;
  Win32Files files;
  makeFile(dir.wide("f.txt"), "12345");
  ASSERT_TRUE(CreateDirectoryW(dir.wide("sub").c_str(), nullptr));

  EXPECT_TRUE(files.fileExists(dir.path("f.txt")));
  EXPECT_TRUE(files.fileExists(dir.path("F.TXT")));
  EXPECT_FALSE(files.fileExists(dir.path("sub")));
  EXPECT_FALSE(files.fileExists(dir.path("gone.txt")));
  EXPECT_FALSE(files.fileExists(dir.path("gone\\f.txt")));
  EXPECT_FALSE(files.fileExists(dir.path("*.txt")));
  EXPECT_FALSE(files.fileExists(""));
  EXPECT_TRUE(files.folderExists(dir.path("sub")));
  EXPECT_TRUE(files.folderExists(dir.path("sub\\")));
  EXPECT_FALSE(files.folderExists(dir.path("f.txt")));
  EXPECT_FALSE(files.folderExists(""));

  EXPECT_EQ(files.fileSize(dir.path("f.txt")), 5u);
  EXPECT_EQ(files.fileSize(dir.path("sub")), std::nullopt);
  EXPECT_EQ(files.fileSize(dir.path("gone.txt")), std::nullopt);
  EXPECT_EQ(files.lastWriteTime(dir.path("gone.txt")), std::nullopt);
}

TEST(Win32Files, LastWriteTimeIsLocalTime) {
  TempFolder dir;
  Win32Files files;
  makeFile(dir.wide("f.txt"));
  // 15 July 2021 13:45:30 local time, a summer date where daylight saving may apply.
  SYSTEMTIME local{2021, 7, 0, 15, 13, 45, 30, 0}, utc;
  ASSERT_TRUE(TzSpecificLocalTimeToSystemTime(nullptr, &local, &utc));
  FILETIME ft;
  ASSERT_TRUE(SystemTimeToFileTime(&utc, &ft));
  {
    Handle h(
        CreateFileW(dir.wide("f.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0, nullptr));
    ASSERT_TRUE(SetFileTime(h.get(), nullptr, nullptr, &ft));
  }
  EXPECT_EQ(files.lastWriteTime(dir.path("f.txt")), (FileTime{2021, 7, 15, 13, 45, 30}));
}

TEST(Win32Files, ListMatchesLongNamesWithWildcards) {
  TempFolder dir;
  Win32Files files;
  for (const char* n : {"a.txt", "b.TXT", "noext", "c.tmp", "longname.html"}) makeFile(dir.wide(n));
  makeFile(dir.wide("h.txt"), "x", FILE_ATTRIBUTE_HIDDEN);
  makeFile(dir.wide("s.txt"), "x", FILE_ATTRIBUTE_SYSTEM);
  makeFile(dir.wide("r.txt"), "abc", FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(CreateDirectoryW(dir.wide("sub.txt").c_str(), nullptr));

  ListOptions filesOnly;
  EXPECT_EQ(names(files.list(dir.path("*.txt"), filesOnly)),
            (Names{"a.txt", "b.TXT", "h.txt", "r.txt", "s.txt"}));
  EXPECT_EQ(names(files.list(dir.path("*.*"), filesOnly)),
            (Names{"a.txt", "b.TXT", "c.tmp", "h.txt", "longname.html", "noext", "r.txt", "s.txt"}));
  EXPECT_EQ(names(files.list(dir.path("?.tmp"), filesOnly)), (Names{"c.tmp"}));
  // Only the long name counts: the short name LONGNA~1.HTM must not make this match.
  EXPECT_TRUE(files.list(dir.path("*.htm"), filesOnly).empty());
  EXPECT_EQ(names(files.list(dir.path("NOEXT"), filesOnly)), (Names{"noext"}));

  ListOptions visible;
  visible.hiddenAndSystem = false;
  EXPECT_EQ(names(files.list(dir.path("*.txt"), visible)), (Names{"a.txt", "b.TXT", "r.txt"}));

  ListOptions foldersOnly;
  foldersOnly.files = false;
  foldersOnly.folders = true;
  EXPECT_EQ(names(files.list(dir.path("*"), foldersOnly)), (Names{"sub.txt"}));  // no "." or ".."

  ListOptions both;
  both.folders = true;
  auto all = files.list(dir.path("*.*"), both);
  EXPECT_EQ(all.size(), 9u);
  for (const auto& e : all) {
    EXPECT_EQ(e.isFolder, e.name == "sub.txt") << e.name;
    EXPECT_EQ(e.hidden, e.name == "h.txt") << e.name;
    EXPECT_EQ(e.system, e.name == "s.txt") << e.name;
    EXPECT_EQ(e.readOnly, e.name == "r.txt") << e.name;
    EXPECT_FALSE(e.isLink) << e.name;
    if (e.name == "r.txt") {
      EXPECT_EQ(e.size, 3u);
    }
  }

  EXPECT_TRUE(files.list(dir.path("gone\\*.*"), both).empty());
  EXPECT_TRUE(files.list(dir.path(""), both).empty());
}

TEST(Win32Files, ReadAndAppendKeepEveryByte) {
  TempFolder dir;
  Win32Files files;
  std::string bytes("line\r\n\0\xFF\x80 end", 13);
  files.appendText(dir.path("log.txt"), bytes.substr(0, 6));  // creates the file
  files.appendText(dir.path("log.txt"), bytes.substr(6));
  EXPECT_EQ(files.readAll(dir.path("log.txt")), bytes);
  files.appendText(dir.path("empty.txt"), "");
  EXPECT_TRUE(files.fileExists(dir.path("empty.txt")));
  EXPECT_EQ(files.readAll(dir.path("empty.txt")), "");
}

TEST(Win32Files, FailuresCarryClassicNumbersAndThePath) {
  TempFolder dir;
  Win32Files files;
  ASSERT_TRUE(CreateDirectoryW(dir.wide("sub").c_str(), nullptr));
  try {
    files.readAll(dir.path("gone.txt"));
    FAIL() << "no failure";
  } catch (const Failure& e) {
    EXPECT_EQ(e.number(), 53);
    EXPECT_NE(e.description().find(dir.path("gone.txt")), std::string::npos) << e.description();
  }
  EXPECT_EQ(failureOf([&] { files.readAll(dir.path("gone\\x.txt")); }), 76);
  EXPECT_EQ(failureOf([&] { files.readAll(dir.path("sub")); }), 75);
  EXPECT_EQ(failureOf([&] { files.appendText(dir.path("gone\\x.txt"), "x"); }), 76);
  EXPECT_EQ(failureOf([&] { files.appendText(dir.path("sub"), "x"); }), 75);
  EXPECT_EQ(failureOf([&] { files.createFolder(dir.path("gone\\new")); }), 76);
  EXPECT_EQ(failureOf([&] { files.createFolder(dir.path("sub")); }), 58);
  EXPECT_EQ(failureOf([&] { files.deleteFile(dir.path("gone.txt")); }), 53);
  EXPECT_EQ(failureOf([&] { files.deleteFile(dir.path("gone\\x.txt")); }), 76);
  EXPECT_EQ(failureOf([&] { files.deleteFile(dir.path("sub")); }), 75);
  EXPECT_TRUE(files.folderExists(dir.path("sub")));
  EXPECT_EQ(failureOf([&] { files.clearAttributes(dir.path("gone.txt")); }), 53);
  EXPECT_EQ(failureOf([&] { files.copyFile(dir.path("gone.txt"), dir.path("to.txt"), true); }), 53);
  EXPECT_EQ(failureOf([&] { files.replaceAtomically(dir.path("gone\\x.txt"), "x"); }), 76);
  EXPECT_EQ(failureOf([&] { files.replaceAtomically(dir.path("sub"), "x"); }), 75);

  // A file another program holds open without sharing deletion.
  makeFile(dir.wide("held.txt"));
  Handle held(CreateFileW(dir.wide("held.txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                          0, nullptr));
  ASSERT_TRUE(held.valid());
  EXPECT_EQ(failureOf([&] { files.deleteFile(dir.path("held.txt")); }), 70);
  held.reset();
  files.deleteFile(dir.path("held.txt"));
}

TEST(Win32Files, ReplaceAtomicallyLeavesOnlyTheNewFile) {
  TempFolder dir;
  Win32Files files;
  files.replaceAtomically(dir.path("mainten.ini"), "[a]\r\nb=1\r\n");  // created when missing
  files.replaceAtomically(dir.path("mainten.ini"), "[a]\r\nb=2\r\n");
  EXPECT_EQ(files.readAll(dir.path("mainten.ini")), "[a]\r\nb=2\r\n");
  ListOptions everything;
  everything.folders = true;
  EXPECT_EQ(names(files.list(dir.path("*.*"), everything)), (Names{"mainten.ini"}));

  // A hidden file stays hidden; a read-only one is refused and left as it was.
  makeFile(dir.wide("hidden.txt"), "old", FILE_ATTRIBUTE_HIDDEN);
  files.replaceAtomically(dir.path("hidden.txt"), "new");
  EXPECT_EQ(files.readAll(dir.path("hidden.txt")), "new");
  EXPECT_TRUE(GetFileAttributesW(dir.wide("hidden.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  makeFile(dir.wide("locked.txt"), "old", FILE_ATTRIBUTE_READONLY);
  EXPECT_EQ(failureOf([&] { files.replaceAtomically(dir.path("locked.txt"), "new"); }), 70);
  EXPECT_EQ(files.readAll(dir.path("locked.txt")), "old");
  EXPECT_EQ(names(files.list(dir.path("*.*"), everything)),
            (Names{"hidden.txt", "locked.txt", "mainten.ini"}));
}

TEST(Win32Files, DeleteCopyCreateAndClearAttributes) {
  TempFolder dir;
  Win32Files files;
  makeFile(dir.wide("ro.txt"), "keep",
           FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
  files.copyFile(dir.path("ro.txt"), dir.path("copy.txt"), false);
  EXPECT_EQ(files.readAll(dir.path("copy.txt")), "keep");
  files.clearAttributes(dir.path("copy.txt"));
  EXPECT_EQ(GetFileAttributesW(dir.wide("copy.txt").c_str()) &
                (FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM),
            0u);

  makeFile(dir.wide("other.txt"), "other");
  EXPECT_EQ(failureOf([&] { files.copyFile(dir.path("other.txt"), dir.path("copy.txt"), false); }), 58);
  EXPECT_EQ(files.readAll(dir.path("copy.txt")), "keep");
  files.copyFile(dir.path("other.txt"), dir.path("copy.txt"), true);
  EXPECT_EQ(files.readAll(dir.path("copy.txt")), "other");

  files.deleteFile(dir.path("ro.txt"));  // read-only is cleared first
  EXPECT_FALSE(files.fileExists(dir.path("ro.txt")));

  files.createFolder(dir.path("new"));
  EXPECT_TRUE(files.folderExists(dir.path("new")));

  // Other spellings of the same path reach the same file.
  makeFile(dir.wide("a long file name.txt"));
  wchar_t shortPath[MAX_PATH];
  if (GetShortPathNameW(dir.wide("a long file name.txt").c_str(), shortPath, MAX_PATH) > 0) {
    files.deleteFile(narrow(shortPath));
    EXPECT_FALSE(files.fileExists(dir.path("a long file name.txt"))) << narrow(shortPath);
  }
  makeFile(dir.wide("other.txt"));
  files.deleteFile(dir.path("new\\..\\OTHER.TXT"));
  EXPECT_FALSE(files.fileExists(dir.path("other.txt")));
}

TEST(Win32Files, WindowsLatinNamesRoundTripWhateverTheCodePage) {
  TempFolder dir;
  Win32Files files;
  std::string folder = dir.path("J\xF6rg");
  files.createFolder(folder);
  files.replaceAtomically(folder + "\\caf\xE9 \x80.txt", "bytes");
  // On disk the names are the real letters, not bytes of some ANSI code page.
  EXPECT_NE(GetFileAttributesW((dir.wide("") + L"J\u00F6rg\\caf\u00E9 \u20AC.txt").c_str()),
            INVALID_FILE_ATTRIBUTES);
  EXPECT_EQ(names(files.list(folder + "\\*.txt", ListOptions{})), (Names{"caf\xE9 \x80.txt"}));
  EXPECT_EQ(files.readAll(folder + "\\CAF\xC9 \x80.TXT"), "bytes");
}

TEST(Win32Files, NamesOutsideTheCodePageAreListedByAUsableName) {
  TempFolder dir;
  Win32Files files;
  makeFile(dir.wide("") + L"\u0416\u0443\u043A.txt", "zhuk");
  auto entries = files.list(dir.path("*.txt"), ListOptions{});
  ASSERT_EQ(entries.size(), 1u);
  std::wstring shortName(MAX_PATH, L'\0');
  if (GetShortPathNameW((dir.wide("") + L"\u0416\u0443\u043A.txt").c_str(), shortName.data(), MAX_PATH) == 0)
    GTEST_SKIP() << "this volume keeps no short names";
  EXPECT_EQ(files.readAll(dir.path(entries[0].name)), "zhuk") << entries[0].name;
  files.deleteFile(dir.path(entries[0].name));
  EXPECT_TRUE(files.list(dir.path("*.*"), ListOptions{}).empty());
}

TEST(Win32Files, DriveFreeBytes) {
  Win32Files files;
  auto free = files.driveFreeBytes("C:\\");
  ASSERT_TRUE(free.has_value());
  EXPECT_GT(*free, 0u);
  EXPECT_EQ(files.driveFreeBytes(""), std::nullopt);
}

// Whatever happens to a link, what it leads to stays whole.
void expectLinkRemovedAlone(Win32Files& files, const std::string& link, const std::string& target) {
  auto entries = files.list(link, ListOptions{true, true, true});
  ASSERT_EQ(entries.size(), 1u);
  EXPECT_TRUE(entries[0].isLink);
  EXPECT_FALSE(entries[0].isFolder) << "a link must not be offered as a folder to descend";
  int failure = failureOf([&] { files.deleteFile(link); });
  EXPECT_TRUE(failure == 0 || failure == 75) << failure;
  if (failure == 0) {
    EXPECT_FALSE(files.folderExists(link) || files.fileExists(link));
  }
  EXPECT_TRUE(files.folderExists(target));
  EXPECT_EQ(files.readAll(target + "\\keep.txt"), "keep");
}

TEST(Win32Files, DeletingALinkToAFolderRemovesOnlyTheLink) {
  TempFolder dir;
  Win32Files files;
  files.createFolder(dir.path("target"));
  files.replaceAtomically(dir.path("target\\keep.txt"), "keep");
  // SYMBOLIC_LINK_FLAG_ALLOW_UNPRIVILEGED_CREATE (2) works in developer mode.
  CreateSymbolicLinkW(dir.wide("link").c_str(), dir.wide("target").c_str(), SYMBOLIC_LINK_FLAG_DIRECTORY | 2);
  if (GetFileAttributesW(dir.wide("link").c_str()) == INVALID_FILE_ATTRIBUTES)
    GTEST_SKIP() << "symbolic links cannot be made here";
  expectLinkRemovedAlone(files, dir.path("link"), dir.path("target"));
  EXPECT_FALSE(files.folderExists(dir.path("link")));  // the real system removes it
}

// Wine cannot make links itself, but shows the host's symbolic links to folders as
// reparse points, and its links to files as the files themselves; its own removal of
// either can destroy what the link leads to. TRWK_LINK_FIXTURE may name a folder holding
// "target" (a folder with the read-only "keep.txt" holding "keep"), "empty" (an empty
// folder) and the host links "link" -> target, "emptylink" -> empty and
// "filelink" -> target/keep.txt.
TEST(Win32Files, AHostLinkIsNeverFollowed) {
  const char* fixture = std::getenv("TRWK_LINK_FIXTURE");
  if (!fixture || !*fixture) GTEST_SKIP() << "TRWK_LINK_FIXTURE not set";
  Win32Files files;
  std::string root = fixture;
  std::string keep = root + "\\target\\keep.txt";
  expectLinkRemovedAlone(files, root + "\\link", root + "\\target");

  int failure = failureOf([&] { files.deleteFile(root + "\\emptylink"); });
  EXPECT_TRUE(failure == 0 || failure == 75) << failure;
  EXPECT_TRUE(files.folderExists(root + "\\empty"));

  for (auto op : {+[](Files&f, const std::string&p) { f.clearAttributes(p); },
                  +[](Files&f, const std::string&p) { f.deleteFile(p); }}) {
    failure = failureOf([&] { op(files, root + "\\filelink"); });
    EXPECT_TRUE(failure == 0 || failure == 75) << failure;
    EXPECT_EQ(files.readAll(keep), "keep");
    EXPECT_TRUE(GetFileAttributesW(widen(keep).c_str()) & FILE_ATTRIBUTE_READONLY);
  }
}

// Records what a removal walk tells; paths are kept relative to the walked folder.
class WalkLog : public WalkSink {
 public:
  explicit WalkLog(std::string root) : root_(std::move(root)) {}
  std::function<bool(const std::string&)> enter;
  std::function<bool(const DirEntry&, int)> choose;

  Names gone, left;  // what was removed, and what was left alone on purpose
  std::vector<int> depths, failures;
  std::vector<DirEntry> entries;
  std::vector<FolderId> ids;

  bool mayEnter(const std::string& folder, const FolderId& id) override {
    ids.push_back(id);
    return !enter || enter(relative(folder));
  }
  bool select(const std::string&, const DirEntry& entry, int depth) override { return !choose || choose(entry, depth); }
  void removed(const std::string& path, const DirEntry& entry, int depth) override {
    gone.push_back(relative(path));
    entries.push_back(entry);
    depths.push_back(depth);
  }
  void failed(const Failure& failure) override { failures.push_back(failure.number()); }
  void leftAlone(const std::string& path, const std::string&) override { left.push_back(relative(path)); }

  Names sortedRemoved() const {
    Names out = gone;
    std::sort(out.begin(), out.end());
    return out;
  }

 private:
  std::string relative(const std::string& path) const {
    if (path == root_) return "";
    return path.rfind(root_ + "\\", 0) == 0 ? path.substr(root_.size() + 1) : path;
  }
  std::string root_;
};

// a.tmp, b.txt, h.tmp (hidden), s.tmp (system), r.tmp (read-only), d.tmp\x.txt,
// d.tmp\deep\y.txt (read-only, in a read-only folder) and keep\z.txt.
void makeWalkTree(TempFolder& dir) {
  for (const char* n : {"a.tmp", "b.txt"}) makeFile(dir.wide(n));
  makeFile(dir.wide("h.tmp"), "h", FILE_ATTRIBUTE_HIDDEN);
  makeFile(dir.wide("s.tmp"), "s", FILE_ATTRIBUTE_SYSTEM);
  makeFile(dir.wide("r.tmp"), "r", FILE_ATTRIBUTE_READONLY);
  for (const char* n : {"d.tmp", "d.tmp\\deep", "keep"})
    ASSERT_TRUE(CreateDirectoryW(dir.wide(n).c_str(), nullptr));
  makeFile(dir.wide("d.tmp\\x.txt"));
  makeFile(dir.wide("d.tmp\\deep\\y.txt"), "y", FILE_ATTRIBUTE_READONLY);
  ASSERT_TRUE(SetFileAttributesW(dir.wide("d.tmp\\deep").c_str(), FILE_ATTRIBUTE_READONLY));
  makeFile(dir.wide("keep\\z.txt"));
}

TEST(Win32Files, RemoveWithinTakesWhatTheRequestNames) {
  const Names dTree{"d.tmp", "d.tmp\\deep", "d.tmp\\deep\\y.txt", "d.tmp\\x.txt"};
  auto with = [](Names a, const Names& b) {
    a.insert(a.end(), b.begin(), b.end());
    std::sort(a.begin(), a.end());
    return a;
  };
  struct Case {
    const char* what;
    std::function<void(WalkRequest&)> ask;
    Names removed;  // relative paths; "" is the folder itself
    Names remaining;
  } cases[] = {
      {"files by mask", [](WalkRequest& r) { r.mask = "*.tmp", r.folders = false; },
       Names{"a.tmp", "h.tmp", "r.tmp", "s.tmp"}, Names{"b.txt", "d.tmp", "keep"}},
      {"visible entries only", [](WalkRequest& r) { r.mask = "*.TMP", r.hiddenAndSystem = false; },
       with({"a.tmp", "r.tmp"}, dTree), Names{"b.txt", "h.tmp", "keep", "s.tmp"}},
      {"folders only", [](WalkRequest& r) { r.files = false; }, with({"keep", "keep\\z.txt"}, dTree),
       Names{"a.tmp", "b.txt", "h.tmp", "r.tmp", "s.tmp"}},
      {"the folder stays while something does",
       [](WalkRequest& r) { r.mask = "*.txt", r.removeFolder = true; }, Names{"b.txt"},
       Names{"a.tmp", "d.tmp", "h.tmp", "keep", "r.tmp", "s.tmp"}},
      {"a whole tree", [](WalkRequest& r) { r.removeFolder = true; },
       with({"", "a.tmp", "b.txt", "h.tmp", "keep", "keep\\z.txt", "r.tmp", "s.tmp"}, dTree), Names{}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    TempFolder dir;
    makeWalkTree(dir);
    Win32Files files;
    WalkRequest request;
    request.folder = dir.path();
    c.ask(request);
    WalkLog log(dir.path());
    files.removeWithin(request, log);
    EXPECT_EQ(log.sortedRemoved(), c.removed);
    EXPECT_TRUE(log.failures.empty());
    EXPECT_TRUE(log.left.empty());
    const Names folders{"", "d.tmp", "d.tmp\\deep", "keep"};
    for (std::size_t i = 0; i < log.gone.size(); ++i) {
      const std::string& path = log.gone[i];
      int depth = path.empty() ? -1 : int(std::count(path.begin(), path.end(), '\\'));
      EXPECT_EQ(log.depths[i], depth) << path;
      EXPECT_EQ(log.entries[i].isFolder, std::count(folders.begin(), folders.end(), path) == 1) << path;
      EXPECT_EQ(log.entries[i].lastWrite, FileTime()) << "told only when asked";
      if (path.empty()) {
        EXPECT_EQ(i, log.gone.size() - 1) << "the folder itself is told last";
      }
    }
    if (c.remaining.empty()) {
      EXPECT_FALSE(files.folderExists(dir.path()));
    } else {
      EXPECT_EQ(names(files.list(dir.path("*"), {true, true, true})), c.remaining);
    }
  }
}

TEST(Win32Files, RemoveWithinAsksBeforeEnteringAndBeforeRemoving) {
  TempFolder dir;
  makeWalkTree(dir);
  Win32Files files;
  WalkRequest request;
  request.folder = dir.path();
  request.removeFolder = true;
  request.withTimes = true;

  // Nothing is touched in a folder the sink keeps out of.
  WalkLog outside(dir.path());
  outside.enter = [](const std::string& folder) { return !folder.empty(); };
  files.removeWithin(request, outside);
  EXPECT_TRUE(outside.gone.empty());
  ASSERT_EQ(outside.ids.size(), 1u);
  EXPECT_EQ(outside.ids[0], files.folderId(dir.path()));

  // A kept sub-folder and a kept entry keep their folders; all else goes, without failure.
  const std::optional<FileTime> written = files.lastWriteTime(dir.path("b.txt"));
  WalkLog log(dir.path());
  log.enter = [](const std::string& folder) { return folder != "keep"; };
  log.choose = [](const DirEntry& entry, int depth) { return !(entry.name == "y.txt" && depth == 2); };
  files.removeWithin(request, log);
  EXPECT_EQ(log.sortedRemoved(), (Names{"a.tmp", "b.txt", "d.tmp\\x.txt", "h.tmp", "r.tmp", "s.tmp"}));
  EXPECT_TRUE(log.failures.empty());
  EXPECT_EQ(names(files.list(dir.path("*"), {true, true, true})), (Names{"d.tmp", "keep"}));
  EXPECT_TRUE(files.fileExists(dir.path("d.tmp\\deep\\y.txt")));
  EXPECT_TRUE(files.fileExists(dir.path("keep\\z.txt")));
  // Times are told for the folder's own entries only, and only when asked.
  for (std::size_t i = 0; i < log.gone.size(); ++i) {
    EXPECT_EQ(log.entries[i].lastWrite.year != 0, log.depths[i] == 0) << log.gone[i];
    if (log.gone[i] == "b.txt") {
      EXPECT_EQ(log.entries[i].lastWrite, written);
    }
  }
}

TEST(Win32Files, RemoveWithinGoesOnAfterAFailureUnlessToldToStop) {
  for (bool stop : {false, true}) {
    TempFolder dir;
    Win32Files files;
    for (const char* n : {"held1", "held2", "plain"}) makeFile(dir.wide(n));
    // Held by another program that does not share deletion.
    Handle held1(CreateFileW(dir.wide("held1").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             0, nullptr));
    Handle held2(CreateFileW(dir.wide("held2").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                             0, nullptr));
    WalkRequest request;
    request.folder = dir.path();
    request.removeFolder = true;
    request.stopAtFailure = stop;
    WalkLog log(dir.path());
    files.removeWithin(request, log);
    EXPECT_EQ(log.failures, std::vector<int>(stop ? 1 : 2, 70)) << stop;
    if (!stop) {
      EXPECT_EQ(log.gone, (Names{"plain"}));
    }
    EXPECT_TRUE(files.folderExists(dir.path()));
  }

  TempFolder dir;
  Win32Files files;
  makeFile(dir.wide("file"));
  WalkLog log(dir.path());
  const std::pair<std::string, int> refusals[] = {
      {dir.path("gone"), 76}, {dir.path("gone\\deeper"), 76}, {dir.path("file"), 75}, {"", 76}};
  for (const auto& [folder, number] : refusals) {
    WalkRequest request;
    request.folder = folder;
    EXPECT_EQ(failureOf([&] { files.removeWithin(request, log); }), number) << folder;
  }
  EXPECT_TRUE(log.gone.empty());
}

TEST(Win32Files, FolderIdNamesTheFolderWhateverThePath) {
  TempFolder dir;
  Win32Files files;
  ASSERT_TRUE(CreateDirectoryW(dir.wide("a long folder").c_str(), nullptr));
  ASSERT_TRUE(CreateDirectoryW(dir.wide("other").c_str(), nullptr));
  makeFile(dir.wide("file"));
  auto id = files.folderId(dir.path("a long folder"));
  ASSERT_TRUE(id.has_value());
  EXPECT_EQ(files.folderId(dir.path("A LONG FOLDER\\")), id);
  EXPECT_EQ(files.folderId(dir.path("other\\..\\a long folder")), id);
  wchar_t shortPath[MAX_PATH];
  if (GetShortPathNameW(dir.wide("a long folder").c_str(), shortPath, MAX_PATH) > 0) {
    EXPECT_EQ(files.folderId(narrow(shortPath)), id) << narrow(shortPath);
  }
  EXPECT_NE(files.folderId(dir.path("other")), id);
  EXPECT_EQ(files.folderId(dir.path("file")), std::nullopt);
  EXPECT_EQ(files.folderId(dir.path("gone")), std::nullopt);
  EXPECT_EQ(files.folderId(""), std::nullopt);
}

TEST(Win32Files, PathsLongerThanTheOldLimitWork) {
  TempFolder dir;
  Win32Files files;
  std::string folder = dir.path("long");
  files.createFolder(folder);
  while (folder.size() < 280) {
    folder += "\\" + std::string(40, char('a' + folder.size() % 26));
    files.createFolder(folder);
  }
  const std::string file = folder + "\\file.txt";
  ASSERT_GT(file.size(), 290u);
  files.replaceAtomically(file, "long");
  files.appendText(file, " way");
  EXPECT_EQ(files.readAll(file), "long way");
  EXPECT_EQ(files.fileSize(file), 8u);
  EXPECT_TRUE(files.lastWriteTime(file).has_value());
  EXPECT_EQ(names(files.list(folder + "\\*.txt", ListOptions{})), (Names{"file.txt"}));
  files.copyFile(file, folder + "\\copy.txt", false);
  files.overwriteInPlace(folder + "\\copy.txt", "0");
  EXPECT_EQ(files.readAll(folder + "\\copy.txt"), "00000000");
  files.deleteFile(folder + "\\copy.txt");

  WalkRequest request;
  request.folder = dir.path("long");
  request.removeFolder = true;
  WalkLog log(dir.path());
  files.removeWithin(request, log);
  EXPECT_TRUE(log.failures.empty());
  EXPECT_TRUE(log.left.empty());
  ASSERT_FALSE(log.gone.empty());
  EXPECT_EQ(log.gone.front(), file.substr(dir.path().size() + 1));
  EXPECT_FALSE(files.folderExists(dir.path("long")));
}

TEST(Win32Files, CopyKeepsTheOriginalsTimeAndMarks) {
  TempFolder dir;
  Win32Files files;
  makeFile(dir.wide("from.txt"), "bytes", FILE_ATTRIBUTE_HIDDEN);
  FILETIME old{0xD53E8000, 0x01A8E79F};  // some day in 2000
  {
    Handle h(CreateFileW(dir.wide("from.txt").c_str(), FILE_WRITE_ATTRIBUTES, 0, nullptr, OPEN_EXISTING, 0,
                         nullptr));
    ASSERT_TRUE(SetFileTime(h.get(), nullptr, nullptr, &old));
  }
  makeFile(dir.wide("to.txt"), "old");
  files.copyFile(dir.path("from.txt"), dir.path("to.txt"), true);
  EXPECT_EQ(files.readAll(dir.path("to.txt")), "bytes");
  EXPECT_EQ(files.lastWriteTime(dir.path("to.txt")), files.lastWriteTime(dir.path("from.txt")));
  EXPECT_TRUE(GetFileAttributesW(dir.wide("to.txt").c_str()) & FILE_ATTRIBUTE_HIDDEN);
  files.createFolder(dir.path("sub"));
  EXPECT_EQ(failureOf([&] { files.copyFile(dir.path("from.txt"), dir.path("sub"), true); }), 75);
  EXPECT_EQ(failureOf([&] { files.copyFile(dir.path("sub"), dir.path("new.txt"), true); }), 75);
  EXPECT_EQ(failureOf([&] { files.copyFile(dir.path("from.txt"), dir.path("gone\\to.txt"), true); }), 76);
  ListOptions everything{true, true, true};
  EXPECT_EQ(names(files.list(dir.path("*"), everything)), (Names{"from.txt", "sub", "to.txt"}));
}

TEST(Win32Files, AFileWithOtherNamesIsNotOverwritten) {
  TempFolder dir;
  Win32Files files;
  makeFile(dir.wide("one.txt"), "secret");
  if (!CreateHardLinkW(dir.wide("two.txt").c_str(), dir.wide("one.txt").c_str(), nullptr))
    GTEST_SKIP() << "this volume keeps one name per file";
  try {
    files.overwriteInPlace(dir.path("one.txt"), "0");
    FAIL() << "overwritten";
  } catch (const Failure& e) {
    EXPECT_EQ(e.number(), 75);
    EXPECT_NE(e.description().find("other names"), std::string::npos) << e.description();
  }
  EXPECT_EQ(files.readAll(dir.path("two.txt")), "secret");
  files.deleteFile(dir.path("two.txt"));
  files.overwriteInPlace(dir.path("one.txt"), "0");
  EXPECT_EQ(files.readAll(dir.path("one.txt")), "000000");
}

// TRWK_LINK_FIXTURE's "walk" folder (see testing/make-link-fixture): a tree with host links
// in it, and links that files are written onto. Each run of the fixture serves once.
TEST(Win32Files, RemovalAndWritesNeverReachWhatAHostLinkLeadsTo) {
  const char* fixture = std::getenv("TRWK_LINK_FIXTURE");
  if (!fixture || !*fixture) GTEST_SKIP() << "TRWK_LINK_FIXTURE not set";
  Win32Files files;
  const std::string walk = std::string(fixture) + "\\walk";
  const std::string canary = walk + "\\canary\\keep.txt";
  if (!files.fileExists(walk + "\\tree\\f.tmp")) GTEST_SKIP() << "the fixture has no walk tree (or was used)";

  // A link is no folder to walk; followed, it names its target.
  WalkRequest throughLink;
  throughLink.folder = walk + "\\tree\\dl.tmp";
  WalkLog none(walk);
  EXPECT_EQ(failureOf([&] { files.removeWithin(throughLink, none); }), 75);
  EXPECT_EQ(files.folderId(walk + "\\tree\\dl.tmp"), files.folderId(walk + "\\canary"));

  WalkRequest request;
  request.folder = walk + "\\tree";
  request.removeFolder = true;
  WalkLog log(request.folder);
  files.removeWithin(request, log);
  EXPECT_TRUE(log.failures.empty());
  // Links this system cannot remove as themselves stay, told once per folder; so does a
  // folder that still holds a link Wine does not even list.
  Names left = log.left;
  std::sort(left.begin(), left.end());
  ASSERT_EQ(left.size(), 3u) << ::testing::PrintToString(left);
  EXPECT_EQ(left[0], "dangle");
  EXPECT_TRUE(left[1] == "dl.tmp" || left[1] == "el.tmp" || left[1] == "fl.tmp" || left[1] == "outfl.tmp")
      << left[1];
  EXPECT_EQ(left[2], "sub\\fl.tmp");
  EXPECT_EQ(log.sortedRemoved(), (Names{"f.tmp", "sub\\g.tmp"}));
  EXPECT_TRUE(files.folderExists(walk + "\\empty"));
  EXPECT_EQ(files.readAll(canary), "canary");
  EXPECT_EQ(files.readAll(walk + "\\canary\\sub\\inner.txt"), "inner");

  // Written onto, a link is replaced by a file of its own; copied from, it is refused.
  files.replaceAtomically(walk + "\\writes\\replaced", "new");
  files.replaceAtomically(walk + "\\writes\\outside", "new");
  makeFile(widen(walk + "\\writes\\plain.txt"), "plain");
  files.copyFile(walk + "\\writes\\plain.txt", walk + "\\writes\\copied", true);
  EXPECT_EQ(files.readAll(walk + "\\writes\\replaced"), "new");
  EXPECT_EQ(files.readAll(walk + "\\writes\\outside"), "new");
  EXPECT_EQ(files.readAll(walk + "\\writes\\copied"), "plain");
  EXPECT_EQ(failureOf([&] { files.copyFile(walk + "\\writes\\source", walk + "\\writes\\x", true); }), 75);
  EXPECT_NE(failureOf([&] { files.overwriteInPlace(walk + "\\writes\\source", "0"); }), 0);
  EXPECT_EQ(files.readAll(canary), "canary");
  EXPECT_TRUE(GetFileAttributesW(widen(canary).c_str()) & FILE_ATTRIBUTE_READONLY);
}

}  // namespace
}  // namespace trwk::win32
