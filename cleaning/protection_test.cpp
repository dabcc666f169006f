// The protected-location policy on the backend of the build: natively over a sandbox
// prefix, under Wine over the real known folders.
#include "cleaning/protection.h"

#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "cleaning/removal.h"
#include "platform/failure.h"
#include "platform/text_encoding.h"
#include "testing/failure_of.h"
#include "testing/sandbox.h"

#ifndef _WIN32
#include <unistd.h>
#endif

namespace trwk {
namespace {

using testing::failureOf;

class ProtectionTest : public ::testing::Test {
 protected:
  testing::Sandbox box;
  Files& files = box.files();
  Session session{box.platform(), box.root()};
  Protection protection{session};

  std::string known(KnownFolder id) {
    auto folder = box.desktop().knownFolder(id);
    return folder ? *folder : std::string();
  }
};

TEST_F(ProtectionTest, UnsafePathTextIsOneRuleForEveryone) {
  struct Case {
    const char* path;
    bool mask;
    bool refused;
  };
  const Case cases[] = {
      {"C:\\temp\\x.tmp", false, false},
      {"C:\\temp\\*.tmp", true, false},
      {"C:\\temp\\*.tmp", false, true},  // no wildcards where a single name is meant
      {"C:\\te*\\x.tmp", true, true},    // wildcards only in the last part
      {"c:\\Temp\\", false, false},
      {"temp\\x.tmp", false, true},  // relative
      {"C:temp", false, true},       // drive-relative
      {"\\temp", false, true},       // no drive
      {"\\\\server\\share\\x", false, true},
      {"\\\\?\\C:\\temp", false, true},
      {"\\\\.\\PhysicalDrive0", false, true},
      {"C:\\temp\\..\\windows", false, true},
      {"C:\\temp\\...\\x", false, true},  // read as ".." by Windows
      {"C:\\temp\\. .\\x", false, true},
      {"C:\\temp\\.\\x", false, true},
      {"C:\\temp\\x.txt:secret", false, true},  // a stream
      {"C:\\temp\\a|b", false, true},
      {"C:\\temp/x", false, true},
      {"C:\\temp\\x\ty", false, true},
      {"", false, true},
      {"C:\\temp\\.hidden", false, false},      // a leading dot is an ordinary name
      {"C:\\temp\\mainten.ini.", false, true},  // Windows reads mainten.ini
      {"C:\\temp \\x", false, true},
      {"C:\\temp\\*.", true, false},  // a mask: names without an extension
  };
  for (const auto& c : cases) EXPECT_EQ(unsafePathText(c.path, c.mask).has_value(), c.refused) << c.path;
}

TEST_F(ProtectionTest, SystemFoldersTheirAncestorsAndProfileRootsAreRefusedTraceFoldersAreNot) {
  const std::string windows = known(KnownFolder::Windows);
  const std::string profile = known(KnownFolder::Profile);
  const std::string profiles = known(KnownFolder::Profiles);
  ASSERT_FALSE(windows.empty());
  ASSERT_FALSE(profile.empty());
  struct Case {
    std::string folder;
    bool refused;
  };
  std::vector<Case> cases = {
      {"C:\\", true},
      {"c:", true},
      {windows, true},
      {windows + "\\", true},
      {upperCp1252(windows) + "\\\\", true},  // another spelling of the same folder
      {known(KnownFolder::System), true},
      {known(KnownFolder::ProgramFiles), true},
      {known(KnownFolder::Desktop), true},
      {known(KnownFolder::Documents), true},
      {profile, true},
      {box.root(), true},  // the program folder
      {windows + "\\Temp", false},
      {windows + "\\Downloaded Program Files", false},
      {box.path("Cache"), false},
      {known(KnownFolder::Recent), false},
      {known(KnownFolder::InternetCache), false},
  };
  if (!profiles.empty()) {
    cases.push_back({profiles, true});
    cases.push_back({profiles + "\\Someone Else", true});  // any user's profile root
    cases.push_back({profiles + "\\Someone Else\\Temp", false});
  }
  // Every folder that holds a protected one would take it along.
  for (std::string at = profile; at.size() > 3; at = at.substr(0, at.find_last_of('\\')))
    cases.push_back({at, true});
  for (const auto& c : cases) {
    if (c.folder.empty()) continue;  // a folder this system does not have
    auto why = protection.folderRefusal(c.folder);
    EXPECT_EQ(why.has_value(), c.refused) << c.folder << ": " << why.value_or("allowed");
    if (why && !unsafePathText(c.folder, false)) {
      EXPECT_NE(why->find("protected location"), std::string::npos) << *why;
    }
  }
}

TEST_F(ProtectionTest, TheEngineRefusesProtectedTargetsBeforeTouchingAnything) {
  box.writeFile("own\\keep.txt", "k");
  Removal removal(session);
  const std::string windows = known(KnownFolder::Windows);
  EXPECT_EQ(failureOf([&] { removal.emptyFolder(windows, OnError::KeepGoing); }), fail::kPermissionDenied);
  EXPECT_EQ(failureOf([&] { removal.deleteTree(windows + "\\", OnError::KeepGoing); }),
            fail::kPermissionDenied);
  EXPECT_EQ(failureOf([&] { removal.deleteMatching(windows + "\\*.*", true, OnError::KeepGoing); }),
            fail::kPermissionDenied);
  EXPECT_EQ(failureOf([&] { removal.deleteMatching("C:\\*.*", false, OnError::KeepGoing); }),
            fail::kPermissionDenied);
  EXPECT_EQ(failureOf([&] { removal.emptyFolder(box.root(), OnError::KeepGoing); }), fail::kPermissionDenied);
  EXPECT_EQ(failureOf([&] { removal.emptyFolder(box.path("own\\..\\.."), OnError::KeepGoing); }),
            fail::kInvalidCall);
  // The program's own files are never a cleaning step's, other files beside them are.
  box.writeFile("mainten.ini", "[Inst]\r\n");
  box.writeFile("notes.txt", "n");
  EXPECT_EQ(failureOf([&] { removal.deleteFile(box.path("MAINTEN.INI")); }), fail::kPermissionDenied);
  removal.deleteFile(box.path("notes.txt"));
  EXPECT_TRUE(files.fileExists(box.path("mainten.ini")));
  EXPECT_FALSE(files.fileExists(box.path("notes.txt")));
  EXPECT_TRUE(files.fileExists(box.path("own\\keep.txt")));
  EXPECT_EQ(removal.stats().files, 1u);
}

#ifndef _WIN32
// A link on the way, or another drive letter, leads to the same folder by another name.
TEST_F(ProtectionTest, AProtectedFolderReachedByAnotherNameIsKnownByWhatItIs) {
  const std::string drive = box.hostRoot() + "/drive_c";
  ASSERT_EQ(::symlink((drive + "/windows").c_str(), (drive + "/sandbox/win").c_str()), 0);
  ASSERT_EQ(::symlink((drive + "/users").c_str(), (box.hostRoot() + "/dosdevices/u:").c_str()), 0);
  EXPECT_TRUE(protection.folderRefusal(box.path("win")).has_value());
  EXPECT_TRUE(protection.folderRefusal("U:\\").has_value());
  EXPECT_FALSE(protection.folderRefusal(box.path("win\\temp")).has_value());
  // The walk itself will not go into it either, whatever path led it there.
  auto id = files.folderId("C:\\windows");
  ASSERT_TRUE(id.has_value());
  EXPECT_FALSE(protection.mayEnter(*id));
  EXPECT_TRUE(protection.mayEnter(*files.folderId("C:\\windows\\temp")));
}
#endif

}  // namespace
}  // namespace trwk
