#include "shell/startup_temp_files.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "automation/calendar.h"
#include "foundation/run_log.h"
#include "testing/fault_files.h"
#include "testing/sandbox.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace trwk {
namespace {

TEST(InterruptedWriteNameTest, OnlyTheTwoTemporaryFormsMatch) {
  const struct {
    const char* name;
    bool matches;
  } cases[] = {
      {".mainten.ini.trwk-Ab12Cd", true},
      {".a.trwk-000000", true},
      {"~mainten.ini.1a2b-0.tmp", true},
      {"~cookies1.lst.ffffffff-ffffffff.tmp", true},
      {"mainten.ini", false},
      {".mainten.ini.trwk-Ab12C", false},  // five characters
      {".mainten.ini.trwk-Ab_2Cd", false},
      {"..trwk-Ab12Cd", false},  // no name
      {"mainten.ini.trwk-Ab12Cd", false},
      {"~mainten.ini.1A2B-0.tmp", false},  // the program writes lower case
      {"~mainten.ini.1a2b-0.TMP", false},
      {"~mainten.ini.1a2b0.tmp", false},
      {"~mainten.ini.1a2b-.tmp", false},
      {"~mainten.ini.123456789-0.tmp", false},  // more than a process number holds
      {"~.1-2.tmp", false},
      {"~$letter.doc", false},
  };
  for (const auto& c : cases) EXPECT_EQ(isInterruptedWriteName(c.name), c.matches) << c.name;
}

class InterruptedWritesTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  RunLog log{box.files(), box.clock, box.root()};

  bool exists(const std::string& relative) { return box.files().fileExists(box.path(relative)); }
  // The session clock `minutes` after the last write of a file.
  void clockAfter(const std::string& relative, int minutes) {
    auto t = box.files().lastWriteTime(box.path(relative));
    ASSERT_TRUE(t);
    box.clock.time =
        addSeconds(DateTime{t->year, t->month, t->day, t->hour, t->minute, t->second}, minutes * 60);
  }
  int removeWith(Files& files) {
    Trap trap(log, "Main");
    trap.step = 1;
    removeInterruptedWrites(files, box.clock, box.root(), trap);
    return trap.failures();
  }
};

TEST_F(InterruptedWritesTest, OldLeftoversGoAndNothingElseEver) {
  const std::vector<std::string> leftovers = {".mainten.ini.trwk-Ab12Cd", "~mainten.ini.1a2b-0.tmp",
                                              "~cookies1.lst.4-1f.tmp"};
  const std::vector<std::string> kept = {"mainten.ini", "~$letter.doc", "~url.ini.1A2B-0.tmp",
                                         "sub\\.mainten.ini.trwk-Ab12Cd", "sub\\~userdef1.lst.1-2.tmp"};
  for (const auto& name : leftovers) box.writeFile(name, "half");
  for (const auto& name : kept) box.writeFile(name, "keep");
  box.files().createFolder(box.path("~plugins.1-2.tmp"));
  box.writeFile("~plugins.1-2.tmp\\inside.txt", "keep");
#ifndef _WIN32
  // A link of that form is left alone and its target is never reached.
  box.writeFile("target.txt", "keep");
  const std::string host = box.hostRoot() + "/drive_c/sandbox/";
  ASSERT_EQ(::symlink((host + "target.txt").c_str(), (host + ".target.txt.trwk-Link00").c_str()), 0);
#endif

  // A write in another running program may still be under way: young files stay.
  clockAfter("~cookies1.lst.4-1f.tmp", 10);
  EXPECT_EQ(removeWith(box.files()), 0);
  for (const auto& name : leftovers) EXPECT_TRUE(exists(name)) << name;

  clockAfter("~cookies1.lst.4-1f.tmp", 60 * 24);
  EXPECT_EQ(removeWith(box.files()), 0);
  for (const auto& name : leftovers) EXPECT_FALSE(exists(name)) << name;
  for (const auto& name : kept) EXPECT_EQ(box.readFile(name), "keep") << name;
  EXPECT_TRUE(box.files().folderExists(box.path("~plugins.1-2.tmp")));
  EXPECT_TRUE(exists("~plugins.1-2.tmp\\inside.txt"));
#ifndef _WIN32
  EXPECT_EQ(box.readFile("target.txt"), "keep");
  ListOptions all;
  all.hiddenAndSystem = true;
  EXPECT_EQ(box.files().list(box.path(".target.txt.trwk-Link00"), all).size(), 1u);
#endif
  EXPECT_FALSE(exists("trwk.log")) << "success is not logged";
}

TEST_F(InterruptedWritesTest, OneThatCannotGoIsLoggedAndTheOthersStillGo) {
  box.writeFile(".mainten.ini.trwk-Ab12Cd", "half");
  box.writeFile("~trwk.log.1-0.tmp", "half");
  clockAfter("~trwk.log.1-0.tmp", 60 * 24);
  testing::FaultFiles faults(box.files());
  faults.fail("deleteFile", fail::kPermissionDenied);
  EXPECT_EQ(removeWith(faults), 2);
  EXPECT_TRUE(exists(".mainten.ini.trwk-Ab12Cd"));
  const std::string lines = box.readFile("trwk.log");
  EXPECT_NE(lines.find("\tMain at line 1 - "), std::string::npos) << lines;
  EXPECT_NE(lines.find("(70)\"\r\n"), std::string::npos) << lines;

  faults.heal("deleteFile");
  EXPECT_EQ(removeWith(faults), 0);
  EXPECT_FALSE(exists(".mainten.ini.trwk-Ab12Cd"));
  EXPECT_FALSE(exists("~trwk.log.1-0.tmp"));
}

}  // namespace
}  // namespace trwk
