#include "foundation/run_log.h"

#include <gtest/gtest.h>

#include "foundation/trap.h"
#include "testing/fault_files.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

class RunLogTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  RunLog log{box.files(), box.clock, box.root()};
  std::string read() { return box.readFile("trwk.log"); }
};

TEST_F(RunLogTest, EntryLineHasQuotesTabSignedStepAndCrLf) {
  box.clock.time = {2026, 3, 4, 5, 6, 7};
  EXPECT_EQ(log.writeRunLog("Form2.getURLs", 7, 53, "File not found"), 1);
  log.writeRunLog("Session Started", 0, 0, " TRWK 6.17");
  log.writeRunLog("x", -3, 13, "say \"hi\"");
  EXPECT_EQ(read(),
            "\"2026-03-04 05:06:07\tForm2.getURLs at line 7 - File not found (53)\"\r\n"
            "\"2026-03-04 05:06:07\tSession Started at line 0 -  TRWK 6.17 (0)\"\r\n"
            "\"2026-03-04 05:06:07\tx at line -3 - say \"\"hi\"\" (13)\"\r\n");
}

// Whatever a plugin body, a list file or a path brings along, an entry stays one line
// between its own two quotes; ordinary text, Windows-1252 letters included, is unchanged.
TEST_F(RunLogTest, EveryEntryStaysOneWellFormedLine) {
  struct Case {
    std::string raw, logged;
  };
  const Case cases[] = {
      {"C:\\Program Files\\x.txt", "C:\\Program Files\\x.txt"},
      {"J\xF6rg \x80 100%", "J\xF6rg \x80 100%"},
      {"two\r\nlines", "two^M^Jlines"},
      {"lone\nfeed", "lone^Jfeed"},
      {"tab\there", "tab^Ihere"},
      {std::string("nul\0byte", 8), "nul^@byte"},
      {"esc\x1B del\x7F", "esc^[ del^?"},
      {"\"quoted\"", "\"\"quoted\"\""},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.logged);
    EXPECT_EQ(logSafeText(c.raw), c.logged);
  }
  box.writeFile("trwk.log", "");
  log.writeRunLog("fillUserCombo (D:\\a\"b\r\n)", 1, 76, "Path not found: D:\\a\"b\r\n");
  EXPECT_EQ(read(),
            "\"2026-12-08 14:05:08\tfillUserCombo (D:\\a\"\"b^M^J) at line 1 - Path not found: "
            "D:\\a\"\"b^M^J (76)\"\r\n");
}

TEST_F(RunLogTest, StartsAfreshOnlyWhenStrictlyLongerThanTheLimit) {
  box.writeFile("trwk.log", std::string(RunLog::kLimit, 'a'));
  log.writeRunLog("p", 1, 5, "d");
  std::string kept = read();
  EXPECT_EQ(kept.size(),
            RunLog::kLimit + std::string("\"2026-12-08 14:05:08\tp at line 1 - d (5)\"\r\n").size());

  box.writeFile("trwk.log", std::string(RunLog::kLimit + 1, 'a'));
  log.writeRunLog("p", 1, 5, "d");
  EXPECT_EQ(read(), "Truncated 2026-12-08 14:05:08\r\n\"2026-12-08 14:05:08\tp at line 1 - d (5)\"\r\n");
}

TEST_F(RunLogTest, AMissingLogIsCreatedWithoutTruncationLine) {
  log.writeRunLog("p", 0, 0, "");
  EXPECT_EQ(read(), "\"2026-12-08 14:05:08\tp at line 0 -  (0)\"\r\n");
}

TEST_F(RunLogTest, AFailingWriteIsSwallowed) {
  testing::FaultFiles faulty(box.files());
  faulty.fail("appendText", 70);
  RunLog broken(faulty, box.clock, box.root());
  EXPECT_EQ(broken.writeRunLog("p", 0, 0, "d"), 1);
  EXPECT_FALSE(box.files().fileExists(box.path("trwk.log")));
}

TEST_F(RunLogTest, LogSitsInTheProgramFolderWithOneSeparator) {
  EXPECT_EQ(inProgramFolder("C:", "mainten.ini"), "C:\\mainten.ini");
  EXPECT_EQ(inProgramFolder("C:\\", "trwk.log"), "C:\\trwk.log");
  EXPECT_EQ(inProgramFolder("D:\\Apps\\Tarnwick", "trwk.log"), "D:\\Apps\\Tarnwick\\trwk.log");
}

TEST_F(RunLogTest, TrapLogsTheFailedStepAndGoesOn) {
  Trap trap(log, "cmdCleanIE");
  bool ran = false;
  trap.checkpoint();
  EXPECT_FALSE(trap.run([] { throw Failure(53); }));
  trap.checkpoint(100);
  EXPECT_TRUE(trap.run([&] { ran = true; }));
  trap.checkpoint();
  EXPECT_FALSE(trap.run([] { throw std::runtime_error("boom"); }));
  EXPECT_TRUE(ran);
  EXPECT_EQ(trap.failures(), 2);
  EXPECT_EQ(read(),
            "\"2026-12-08 14:05:08\tcmdCleanIE at line 1 - File not found (53)\"\r\n"
            "\"2026-12-08 14:05:08\tcmdCleanIE at line 102 - boom (5)\"\r\n");
}

}  // namespace
}  // namespace trwk
