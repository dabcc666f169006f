// Overwrite passes, the in-place overwrite of both backends, the old-file sweep.
#include "cleaning/secure_removal.h"

#include <gtest/gtest.h>

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdio>
#include <ctime>

#include "platform/failure.h"
#include "testing/failure_of.h"
#include "testing/fault_files.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

using testing::failureOf;

const std::string kFiller1 = "0123456789abcdefghijklmnopq";  // 27 bytes: writes cross its end
const std::string kFiller2 = "ZYXWVUTSRQPONMLKJIHGFEDCBA!";

// Bytes that neither filler holds, so any of them left over is old content.
std::string oldContent(std::size_t length) {
  std::string s(length, '\0');
  for (std::size_t i = 0; i < length; ++i) s[i] = "\x01\n\xff~"[i % 4];
  return s;
}

bool isFillerRepeated(const std::string& content, const std::string& filler) {
  for (std::size_t i = 0; i < content.size(); ++i)
    if (content[i] != filler[i % filler.size()]) return false;
  return true;
}

TEST(SafetyLevel, PassesAndMruLetters) {
  EXPECT_EQ(passes("1"), 0);
  EXPECT_EQ(passes("2"), 1);
  EXPECT_EQ(passes(" 3 "), 3);
  EXPECT_EQ(passes("4"), 5);
  EXPECT_EQ(passes("5"), 7);
  EXPECT_EQ(passes("9"), 9);  // outside the table: as it is
  EXPECT_EQ(passes("0"), 0);
  EXPECT_EQ(failureOf([] { passes("high"); }), fail::kTypeMismatch);
  EXPECT_EQ(failureOf([] { passes("70000"); }), 6);
  EXPECT_EQ(mruLetter(1), "a");
  EXPECT_EQ(mruLetter(20), "t");
  EXPECT_EQ(mruLetter(0), "");
  EXPECT_EQ(mruLetter(21), "");
}

class OverwriteTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  Files& files = box.files();
  void SetUp() override {
    box.writeFile("ow.chx", kFiller1);
    box.writeFile("ow2.chx", kFiller2);
  }
};

TEST_F(OverwriteTest, InPlaceOverwriteLeavesNoOldByteAndKeepsTheLength) {
  // Long enough for several big writes that do not end on a filler boundary.
  const std::size_t length = (3u << 20) + 1001;
  box.writeFile("c\\store.dat", oldContent(length));
  files.overwriteInPlace(box.path("c\\STORE.DAT"), kFiller1);
  std::string after = box.readFile("c\\store.dat");
  ASSERT_EQ(after.size(), length);
  EXPECT_TRUE(isFillerRepeated(after, kFiller1));

  box.writeFile("c\\empty.dat", "");
  files.overwriteInPlace(box.path("c\\empty.dat"), kFiller1);
  EXPECT_EQ(box.readFile("c\\empty.dat"), "");
}

TEST_F(OverwriteTest, InPlaceOverwriteRefusesWhatItCannotDoSoundly) {
  box.writeFile("c\\x.dat", "old");
  EXPECT_EQ(failureOf([&] { files.overwriteInPlace(box.path("c\\x.dat"), ""); }), fail::kInvalidCall);
  EXPECT_EQ(failureOf([&] { files.overwriteInPlace(box.path("c"), "f"); }), fail::kPathFileAccess);
  EXPECT_EQ(failureOf([&] { files.overwriteInPlace(box.path("c\\none.dat"), "f"); }), fail::kFileNotFound);
  EXPECT_EQ(failureOf([&] { files.overwriteInPlace(box.path("nowhere\\none.dat"), "f"); }),
            fail::kPathNotFound);
  EXPECT_EQ(box.readFile("c\\x.dat"), "old");
}

TEST_F(OverwriteTest, EachPassDrawsItsFillerAndWritesTheWholeStore) {
  Session session{box.platform(), box.root()};
  SecureRemoval secure(session);
  const std::string old = oldContent(5000);
  box.writeFile("cookies\\me@site[1].txt", old);
  box.writeFile("ns\\cookies.txt", old);
  box.writeFile("opera\\cookies4.dat", old);

  // The counting source draws 0.62 (ow2.chx), then 0.24 (ow.chx), then 0.85 (ow2.chx).
  box.ui.busy = true;
  secure.overWriteFileIE(box.path("cookies\\"), "me@site[1].txt");
  std::string after = box.readFile("cookies\\me@site[1].txt");
  EXPECT_EQ(after.size(), old.size());
  EXPECT_TRUE(isFillerRepeated(after, kFiller2));
  EXPECT_FALSE(box.ui.busy);  // the pointer is back to normal

  secure.overWriteFileNetscape(box.path("ns"));
  EXPECT_TRUE(isFillerRepeated(box.readFile("ns\\cookies.txt"), kFiller1));
  secure.overWriteFileOpera(box.path("opera\\"));
  EXPECT_TRUE(isFillerRepeated(box.readFile("opera\\cookies4.dat"), kFiller2));
  EXPECT_EQ(box.readFile("opera\\cookies4.dat").size(), old.size());
  EXPECT_FALSE(files.fileExists(session.log.path()));  // nothing went wrong
}

TEST_F(OverwriteTest, AMissingFillerOrTargetIsPassedOverSilently) {
  Session session{box.platform(), box.root()};
  SecureRemoval secure(session);
  secure.overWriteFileOpera(box.path("gone\\"));
  files.deleteFile(box.path("ow.chx"));
  box.writeFile("ns\\cookies.txt", "old cookies");
  secure.overWriteFileNetscape(box.path("ns"));  // draws ow.chx, which is gone
  EXPECT_EQ(box.readFile("ns\\cookies.txt"), "old cookies");
  EXPECT_FALSE(files.fileExists(session.log.path()));
}

TEST_F(OverwriteTest, AFailedOverwriteIsLoggedUnderItsProcedure) {
  testing::FaultFiles faulty(files);
  Session session{{faulty, box.registry(), box.desktop(), box.clock, box.random, box.ui}, box.root()};
  SecureRemoval secure(session);
  box.writeFile("ie\\c.txt", "old");
  faulty.fail("overwriteInPlace", fail::kPathFileAccess);
  secure.overWriteFileIE(box.path("ie"), "c.txt");
  std::string log = box.readFile("trwk.log");
  EXPECT_NE(log.find("Module2.overWriteFileIE at line 2"), std::string::npos) << log;
  EXPECT_NE(log.find("(75)"), std::string::npos) << log;
}

#ifndef _WIN32
std::string hostOf(testing::Sandbox& box, const std::string& relative) {
  return box.hostRoot() + "/drive_c/sandbox/" + relative;
}

TEST_F(OverwriteTest, AReadOnlyStoreIsOverwrittenAndALinkNever) {
  Session session{box.platform(), box.root()};
  SecureRemoval secure(session);
  box.writeFile("ns\\cookies.txt", oldContent(100));
  ASSERT_EQ(::chmod(hostOf(box, "ns/cookies.txt").c_str(), 0444), 0);
  EXPECT_EQ(failureOf([&] { files.overwriteInPlace(box.path("ns\\cookies.txt"), "f"); }),
            fail::kPermissionDenied);
  secure.overWriteFileNetscape(box.path("ns"));
  EXPECT_TRUE(isFillerRepeated(box.readFile("ns\\cookies.txt"), kFiller2));

  box.writeFile("canary.txt", "canary");
  files.createFolder(box.path("op"));
  ASSERT_EQ(::symlink(hostOf(box, "canary.txt").c_str(), hostOf(box, "op/cookies4.dat").c_str()), 0);
  EXPECT_EQ(failureOf([&] { files.overwriteInPlace(box.path("op\\cookies4.dat"), "f"); }),
            fail::kPathFileAccess);
  secure.overWriteFileOpera(box.path("op\\"));
  EXPECT_EQ(box.readFile("canary.txt"), "canary");
}
#endif

class SweepTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  Files& files = box.files();
  Session session{box.platform(), box.root()};
  SecureRemoval secure{session};

  // Sets the clock to the day a file was written, `later` days on.
  void todayIsDaysAfter(const std::string& relative, int later) {
    auto t = files.lastWriteTime(box.path(relative));
    ASSERT_TRUE(t);
    std::tm day{};
    day.tm_year = t->year - 1900;
    day.tm_mon = t->month - 1;
    day.tm_mday = t->day + later;
    day.tm_hour = 12;
    std::mktime(&day);
    box.clock.time = {day.tm_year + 1900, day.tm_mon + 1, day.tm_mday, 9, 0, 0};
  }
  std::string referenceText() const {
    char text[16];
    std::snprintf(text, sizeof text, "%02d/%02d/%04d", box.clock.time.month, box.clock.time.day,
                  box.clock.time.year);
    return text;
  }
};

TEST_F(SweepTest, DeletesFilesOldEnoughByCalendarDays) {
  box.writeFile("tmp\\a.tmp", "a");
  box.writeFile("tmp\\b.tmp", "b");
  box.writeFile("tmp\\keep.txt", "k");
  files.createFolder(box.path("tmp\\d.tmp"));
  todayIsDaysAfter("tmp\\a.tmp", 0);
  EXPECT_TRUE(secure.sweepOldFiles(1, box.path("tmp\\*.tmp")));  // written today: kept
  EXPECT_TRUE(files.fileExists(box.path("tmp\\a.tmp")));

  const std::string today = referenceText();
  todayIsDaysAfter("tmp\\a.tmp", 2);
  EXPECT_TRUE(secure.sweepOldFiles(3, box.path("tmp\\*.tmp")));
  EXPECT_TRUE(files.fileExists(box.path("tmp\\a.tmp")));
  EXPECT_TRUE(
      secure.sweepOldFiles(2, box.path("tmp\\*.tmp"), today));  // the given date counts, not the clock
  EXPECT_TRUE(files.fileExists(box.path("tmp\\a.tmp")));
  EXPECT_TRUE(secure.sweepOldFiles(2, box.path("tmp\\*.tmp")));
  EXPECT_FALSE(files.fileExists(box.path("tmp\\a.tmp")));
  EXPECT_FALSE(files.fileExists(box.path("tmp\\b.tmp")));
  EXPECT_TRUE(files.fileExists(box.path("tmp\\keep.txt")));
  EXPECT_TRUE(files.folderExists(box.path("tmp\\d.tmp")));  // ordinary files only

  EXPECT_FALSE(secure.sweepOldFiles(0, box.path("tmp\\*.tmp")));  // nothing matches any more
  EXPECT_FALSE(secure.sweepOldFiles(0, box.path("tmp\\*.txt"), "13/45/2020"));
  EXPECT_FALSE(secure.sweepOldFiles(0, box.path("tmp\\*.txt"), "02/30/2024"));
  EXPECT_TRUE(files.fileExists(box.path("tmp\\keep.txt")));
  EXPECT_TRUE(secure.sweepOldFiles(0, box.path("tmp\\*.txt"), "2/29/2024"));  // long ago, a valid date
  EXPECT_TRUE(files.fileExists(box.path("tmp\\keep.txt")));                   // negative age: too young
}

TEST_F(SweepTest, TheFirstFailureEndsTheSweep) {
  box.writeFile("tmp\\a.tmp", "a");
  box.writeFile("tmp\\b.tmp", "b");
  todayIsDaysAfter("tmp\\a.tmp", 5);
  testing::FaultFiles faulty(files);
  Session other{{faulty, box.registry(), box.desktop(), box.clock, box.random, box.ui}, box.root()};
  SecureRemoval failing(other);
  faulty.fail("deleteFile", fail::kPermissionDenied);
  EXPECT_FALSE(failing.sweepOldFiles(1, box.path("tmp\\*.tmp")));
  EXPECT_EQ(faulty.calls["deleteFile"], 1);
  EXPECT_FALSE(secure.sweepOldFiles(1, box.path("empty\\*.*")));
}

#ifndef _WIN32
TEST_F(SweepTest, AMinuteBeforeMidnightIsTheDayBeforeAndHiddenFilesStay) {
  box.writeFile("tmp\\late.tmp", "x");
  box.writeFile("tmp\\early.tmp", "x");
  box.writeFile("tmp\\.hidden.tmp", "x");
  auto stamp = [&](const std::string& name, int day, int hour, int minute) {
    std::tm t{};
    t.tm_year = 2026 - 1900, t.tm_mon = 11, t.tm_mday = day, t.tm_hour = hour, t.tm_min = minute,
    t.tm_isdst = -1;
    struct timespec times[2] = {{std::mktime(&t), 0}, {std::mktime(&t), 0}};
    ASSERT_EQ(::utimensat(AT_FDCWD, hostOf(box, "tmp/" + name).c_str(), times, 0), 0);
  };
  stamp("late.tmp", 7, 23, 59);
  stamp("early.tmp", 8, 0, 1);
  stamp(".hidden.tmp", 1, 0, 0);
  box.clock.time = {2026, 12, 8, 0, 2, 0};
  EXPECT_TRUE(secure.sweepOldFiles(1, box.path("tmp\\*.tmp")));
  EXPECT_FALSE(files.fileExists(box.path("tmp\\late.tmp")));
  EXPECT_TRUE(files.fileExists(box.path("tmp\\early.tmp")));
  EXPECT_TRUE(files.fileExists(box.path("tmp\\.hidden.tmp")));
}
#endif

TEST(RegistryKeyDelete, TheResultIsIgnored) {
  testing::Sandbox box;
  Session session{box.platform(), box.root()};
  SecureRemoval secure(session);
  Registry& reg = box.registry();
  ASSERT_EQ(reg.createKey(RootKey::CurrentUser, box.regKey() + "\\Parent\\Child"), regstatus::kSuccess);
  ASSERT_EQ(reg.createKey(RootKey::CurrentUser, box.regKey() + "\\Leaf"), regstatus::kSuccess);
  secure.deleteRegistryKey(RootKey::CurrentUser, box.regKey() + "\\Parent");  // has a subkey: stays
  secure.deleteRegistryKey(RootKey::CurrentUser, box.regKey() + "\\Missing");
  secure.deleteRegistryKey(RootKey::CurrentUser, box.regKey() + "\\Leaf");
  EXPECT_EQ(reg.keyExists(RootKey::CurrentUser, box.regKey() + "\\Parent"), regstatus::kSuccess);
  EXPECT_NE(reg.keyExists(RootKey::CurrentUser, box.regKey() + "\\Leaf"), regstatus::kSuccess);
  reg.deleteKey(RootKey::CurrentUser, box.regKey() + "\\Parent\\Child");
  reg.deleteKey(RootKey::CurrentUser, box.regKey() + "\\Parent");
}

}  // namespace
}  // namespace trwk
