// The fuzz targets are only as good as their judge and their imagined file system: a judge
// that lets a removal of C:\windows pass would make every fuzzing run look clean.
#include "fuzz/imagined_session.h"

#include <gtest/gtest.h>

#include <functional>

namespace trwk::fuzz {
namespace {

TEST(ImaginedFilesTest, ResolvesNamesAsWindowsDoes) {
  const struct {
    const char* path;
    const char* key;
  } cases[] = {
      {"C:\\Dir\\\\x. ", "C:\\DIR\\X"}, {"c:/a/b/", "C:\\A\\B"},    {"C:\\", "C:\\"},
      {"C:\\a.\\b", "C:\\A.\\B"},       {"C:\\a\\..", "C:\\A\\.."}, {"relative", "RELATIVE"},
  };
  for (const auto& c : cases) EXPECT_EQ(objectKey(c.path), c.key) << c.path;

  ImaginedSession s;
  EXPECT_TRUE(s.files.folderExists("C:\\windows\\system32"));
  EXPECT_TRUE(s.files.folderExists("c:\\PROGRAM FILES"));
  EXPECT_TRUE(s.files.fileExists("C:\\Program Files\\Tarnwick\\mainten.ini. "));
  EXPECT_FALSE(s.files.fileExists("C:\\Program Files\\Tarnwick\\other.ini"));
  ListOptions all;
  all.folders = true;
  auto own = s.files.list("C:\\Program Files\\Tarnwick\\*.ini", all);
  ASSERT_EQ(own.size(), 1u);
  EXPECT_EQ(own[0].name, "mainten.ini");
  s.files.deleteFile("C:\\Program Files\\Tarnwick\\mainten.ini");
  EXPECT_FALSE(s.files.fileExists("C:\\Program Files\\Tarnwick\\mainten.ini"));
  EXPECT_EQ(s.files.stored("mainten.ini"), nullptr);
}

TEST(ImaginedSessionTest, JudgeNamesEveryRemovalNoSafeLineAsksFor) {
  auto walk = [](const char* folder, const char* mask, bool folders, bool removeFolder) {
    return [=](ImaginedSession& s) {
      WalkRequest r;
      r.folder = folder;
      r.mask = mask;
      r.folders = folders;
      r.removeFolder = removeFolder;
      s.files.changes.push_back({"removeWithin", folder, r});
    };
  };
  auto call = [](const char* operation, const char* path) {
    return [=](ImaginedSession& s) { s.files.changes.push_back({operation, path, {}}); };
  };
  const struct {
    const char* list;
    std::function<void(ImaginedSession&)> change;
    const char* broken;  // a piece of the verdict, or nullptr for none
  } cases[] = {
      {"C:\\users\\tester\\Temp\\*.tmp\r\n", walk("C:\\users\\tester\\Temp", "*.tmp", true, false), nullptr},
      {"C:\\users\\tester\\Temp\\old\\", walk("C:\\users\\tester\\Temp\\old", "*", true, true), nullptr},
      {"C:\\users\\tester\\Temp\\a.txt", call("deleteFile", "c:\\USERS\\tester\\temp\\A.TXT"), nullptr},
      {"C:\\*.chk", walk("C:\\", "*.chk", false, false), nullptr},
      {"C:\\*.chk", walk("C:\\", "*.chk", true, false), "a drive root"},
      {"C:\\windows\\*.*", walk("C:\\windows", "*.*", true, false), "the Windows folder"},
      {"C:\\users\\*.*", walk("C:\\users", "*.*", true, false), "the profiles folder"},
      {"C:\\users\\other\\", walk("C:\\users\\other", "*", true, true), "a profile root"},
      {"C:\\Program Files\\", walk("C:\\Program Files", "*", true, true), "Program Files"},
      {"C:\\users\\", walk("C:\\users\\tester\\Temp\\x", "*", true, true), "follows from no safe line"},
      {"C:\\users\\tester\\Temp\\a.txt", call("deleteFile", "C:\\users\\tester\\Temp\\b.txt"),
       "follows from no safe line"},
      {"C:\\Program Files\\Tarnwick\\mainten.ini",
       call("deleteFile", "C:\\Program Files\\Tarnwick\\mainten.ini"), "the program's own file"},
      {"temp\\a.txt", call("deleteFile", "temp\\a.txt"), "unsafe path"},
      {"C:\\a\\..\\windows", call("deleteFile", "C:\\a\\..\\windows"), "unsafe path"},
      {"C:\\x.txt", call("replaceAtomically", "C:\\x.txt"), "not the run log"},
      {"C:\\x", call("createFolder", "C:\\x"), "made"},
      {"HKEY_CURRENT_USER\\Software\\x+v",
       [](ImaginedSession& s) { s.registry.deleteValue(RootKey::CurrentUser, "Software\\x", "v"); },
       "was deleted"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.list);
    ImaginedSession s;
    const auto own = s.ownFiles();
    c.change(s);
    auto verdict = judgeRemovals(s, c.list, own, false);
    if (!c.broken) {
      EXPECT_EQ(verdict, std::nullopt);
    } else {
      ASSERT_TRUE(verdict);
      EXPECT_NE(verdict->find(c.broken), std::string::npos) << *verdict;
    }
  }
}

TEST(ImaginedSessionTest, RegistryLinesMayTakeOnlyWhatTheyNameUnderTheCurrentUser) {
  const struct {
    RootKey root;
    const char* key;
    bool wholeKey;
    const char* broken;
  } cases[] = {
      {RootKey::CurrentUser, "Software\\Tidy", true, nullptr},
      {RootKey::CurrentUser, "Software\\Other", true, "follows from no line"},
      {RootKey::LocalMachine, "Software\\Tidy", true, "another root"},
      {RootKey::CurrentUser, "\\", true, "the whole of HKEY_CURRENT_USER"},
  };
  for (const auto& c : cases) {
    SCOPED_TRACE(c.key);
    ImaginedSession s;
    s.registry.deletions.push_back({c.root, c.key, "", c.wholeKey});
    auto verdict = judgeRemovals(s, "HKEY_CURRENT_USER\\Software\\Tidy-\r\n", s.ownFiles(), true);
    if (!c.broken) {
      EXPECT_EQ(verdict, std::nullopt);
    } else {
      ASSERT_TRUE(verdict);
      EXPECT_NE(verdict->find(c.broken), std::string::npos) << *verdict;
    }
  }
}

}  // namespace
}  // namespace trwk::fuzz
