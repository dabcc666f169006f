// Host objects that a Windows name could mistake for one another, and a file with more
// than one name. Natively only: the fixtures are host names and links that only the
// POSIX backend meets.
//  - A folder whose host name is the byte 0xFF (no UTF-8, so no Windows form) beside "ÿ"
//    (UTF-8 of the Windows-1252 byte 0xFF), a link to a canary folder.
//  - A file whose host name is "a\b.txt" beside a link "a" to a canary folder holding b.txt.
//  - A cookie store with a second hard link elsewhere, overwritten at safety level 3.
#ifndef _WIN32
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "cleaning/cleaning_test_fixture.h"
#include "cleaning/keep_lists.h"
#include "cleaning/netscape_cleaner.h"
#include "cleaning/opera_cleaner.h"
#include "cleaning/removal.h"
#include "cleaning/secure_removal.h"
#include "foundation/trap.h"
#include "platform/posix/host_io.h"

namespace trwk {
namespace {

void writeHost(const std::string& path, const std::string& bytes) {
  ASSERT_EQ(posix::writeHostFileAtomically(path, bytes, 0666), 0) << path;
}

std::string readHost(const std::string& path) {
  return posix::readHostFile(path).value_or("<missing>");
}

bool hostExists(const std::string& path) {
  struct stat st {};
  return ::lstat(path.c_str(), &st) == 0;
}

// What a cleaning step does to the folder `folder` ("C:\sandbox\case3", no separator).
struct Operation {
  const char* name;
  std::function<void(CleaningContext&, Trap&, const std::string& folder)> run;
  bool walks;  // goes through the removal walk (which says what it left alone)
};

const Operation kOperations[] = {
    {"emptyFolder",
     [](CleaningContext& c, Trap& trap, const std::string& folder) {
       Removal removal(c.session);
       removal.onFailure = [&](const Failure& f) { trap.report(f.number(), f.description()); };
       removal.emptyFolder(folder, OnError::KeepGoing);
     },
     true},
    {"deleteTree",
     [](CleaningContext& c, Trap& trap, const std::string& folder) {
       Removal removal(c.session);
       removal.onFailure = [&](const Failure& f) { trap.report(f.number(), f.description()); };
       removal.deleteTree(folder, OnError::KeepGoing);
     },
     true},
    {"deleteMatching * with folders",
     [](CleaningContext& c, Trap& trap, const std::string& folder) {
       Removal removal(c.session);
       removal.onFailure = [&](const Failure& f) { trap.report(f.number(), f.description()); };
       removal.deleteMatching(folder + "\\*", true, OnError::KeepGoing);
     },
     true},
    {"deleteMatching *.txt",
     [](CleaningContext& c, Trap& trap, const std::string& folder) {
       Removal removal(c.session);
       removal.onFailure = [&](const Failure& f) { trap.report(f.number(), f.description()); };
       removal.deleteMatching(folder + "\\*.txt", false, OnError::KeepGoing);
     },
     true},
    {"old-file sweep",
     [](CleaningContext& c, Trap& trap, const std::string& folder) {
       SecureRemoval(c.session).sweepOldFiles(0, folder + "\\*.*", "01/01/2100", &trap);
     },
     true},
    {"cookie removal",  // lists the folder, then overwrites and deletes by path
     [](CleaningContext& c, Trap&, const std::string& folder) {
       c.paths.ie3 = folder + "\\";
       c.catalogue.safetyLevel = std::string("3");
       removeCookies(c);
     },
     false},
};

struct Lookalike {
  const char* name;
  // Plants the fixture in the host folder `dir` with links to the host folder `canary`.
  void (*plant)(const std::string& dir, const std::string& canary);
  // The one name a listing shows beside plain.txt (Windows-1252).
  const char* listed;
  // The entry the walk leaves alone (host name in `dir`), if any.
  const char* leftAlone;
};

const Lookalike kLookalikes[] = {
    {"raw byte 0xFF beside a link named \xC3\xBF",
     [](const std::string& dir, const std::string& canary) {
       ASSERT_EQ(::mkdir((dir + "/\xFF").c_str(), 0777), 0);
       writeHost(dir + "/\xFF/f.txt", "raw");
       ASSERT_EQ(::symlink(canary.c_str(), (dir + "/\xC3\xBF").c_str()), 0);
     },
     "\xFF", "\xFF"},
    {"a\\b.txt beside a link named a",
     [](const std::string& dir, const std::string& canary) {
       writeHost(dir + "/a\\b.txt", "odd");
       ASSERT_EQ(::symlink(canary.c_str(), (dir + "/a").c_str()), 0);
     },
     "a", nullptr},
};

class HostNames : public testing::CleaningTest {
 protected:
  void SetUp() override {
    box.writeFile("ow.chx", "0123456789");
    box.writeFile("ow2.chx", "abcdefghij");
  }
  std::string drive() { return box.hostRoot() + "/drive_c/sandbox"; }
};

TEST_F(HostNames, NoLookalikeNameLeadsAnyCleaningStepIntoTheCanary) {
  int number = 0;
  for (const Lookalike& lookalike : kLookalikes) {
    for (const Operation& operation : kOperations) {
      SCOPED_TRACE(std::string(lookalike.name) + ", " + operation.name);
      const std::string relative = "case" + std::to_string(++number);
      const std::string dir = drive() + "/" + relative, canary = box.hostRoot() + "/canary-" + relative;
      ASSERT_EQ(::mkdir(dir.c_str(), 0777), 0);
      ASSERT_EQ(::mkdir(canary.c_str(), 0777), 0);
      ASSERT_EQ(::mkdir((canary + "/sub").c_str(), 0777), 0);
      for (const char* name : {"b.txt", "keep.txt", "sub/inner.txt"}) writeHost(canary + "/" + name, name);
      writeHost(dir + "/plain.txt", "plain");
      lookalike.plant(dir, canary);
      ASSERT_FALSE(HasFatalFailure());
      const std::string folder = box.path(relative);

      // Two host entries never answer to one Windows name, and a name with a separator in
      // it is no name a cleaner could build a path from.
      std::vector<std::string> listed;
      for (const DirEntry& entry : files.list(folder + "\\*", {true, true, true}))
        listed.push_back(entry.name);
      std::vector<std::string> expected{lookalike.listed, "plain.txt"};
      std::sort(listed.begin(), listed.end());
      std::sort(expected.begin(), expected.end());
      EXPECT_EQ(listed, expected);

      Trap trap(session.log, "HostNames " + relative);
      operation.run(context, trap, folder);

      for (const char* name : {"b.txt", "keep.txt", "sub/inner.txt"})
        EXPECT_EQ(readHost(canary + "/" + name), name) << "canary file " << name;
      EXPECT_FALSE(hostExists(dir + "/plain.txt"));
      if (lookalike.leftAlone) {
        EXPECT_EQ(readHost(dir + "/" + lookalike.leftAlone + "/f.txt"), "raw");
        if (operation.walks) {
          const std::string logged = log();
          EXPECT_NE(logged.find("HostNames " + relative), std::string::npos) << logged;
          EXPECT_NE(logged.find(folder + " (entries whose host names have no Windows form were left alone)"),
                    std::string::npos)
              << logged;
        }
      }
    }
  }
}

// A hard-linked cookie store: no pass writes over it (the other name would lose its bytes
// too), the cookie's own name goes all the same, and the log says why it was not written.
struct CookieStore {
  const char* name;
  const char* file;  // relative to the sandbox
  std::function<void(CleaningContext&)> clean;
  const char* procedure;   // the overwrite's, in the log
  const char* afterwards;  // what the name holds after the step; nullptr: it is gone
};

TEST_F(HostNames, AHardLinkedCookieStoreIsNeverOverwrittenAndLosesOnlyItsName) {
  const CookieStore stores[] = {
      {"Internet Explorer", "Cookies\\tester@ads[1].txt",
       [](CleaningContext& c) {
         c.paths.ie3 = c.session.programFolder + "\\Cookies\\";
         removeCookies(c);
       },
       "Module2.overWriteFileIE", nullptr},
      {"Netscape", "Users\\bo\\cookies.txt",
       [](CleaningContext& c) {
         c.paths.netscape1A = c.session.programFolder + "\\Users\\";
         c.paths.netscape1C = "bo";
         c.catalogue.item(8).ticked = true;
         cleanNetscape(c);
       },
       "Module2.overWriteFileNetscape", ""},  // no keep list: an empty cookie file
      {"Opera", "Opera\\cookies4.dat",
       [](CleaningContext& c) {
         c.paths.opera1 = c.session.programFolder + "\\Opera\\";
         c.catalogue.item(12).ticked = true;
         cleanOpera(c);
       },
       "Module2.overWriteFileOpera", nullptr},
  };
  state.cleanAllRunning = true;  // the step alone, without a run's beginning and end
  catalogue.safetyLevel = std::string("3");
  const std::string secret = "tracker\tTRUE\t/\tFALSE\t0\tid\t42\n";
  files.createFolder(box.path("elsewhere"));
  for (const CookieStore& store : stores) {
    SCOPED_TRACE(store.name);
    box.writeFile(store.file, secret);
    std::string cookie = drive() + "/" + store.file;
    for (char& c : cookie) c = c == '\\' ? '/' : c;
    const std::string other = drive() + "/elsewhere/" + store.name;
    ASSERT_EQ(::link(cookie.c_str(), other.c_str()), 0);
    const std::string before = log();

    store.clean(context);

    EXPECT_EQ(readHost(other), secret) << "the other name keeps its exact bytes";
    struct stat st {};
    ASSERT_EQ(::stat(other.c_str(), &st), 0);
    EXPECT_EQ(st.st_nlink, 1u) << "the cookie's name is no longer a name of that file";
    if (store.afterwards)
      EXPECT_EQ(box.readFile(store.file), store.afterwards);
    else
      EXPECT_FALSE(hostExists(cookie));
    const std::string added = log().substr(before.size());
    EXPECT_NE(added.find(store.procedure), std::string::npos) << added;
    EXPECT_NE(added.find("(it has other names; not overwritten)"), std::string::npos) << added;
  }
}

}  // namespace
}  // namespace trwk
#endif
