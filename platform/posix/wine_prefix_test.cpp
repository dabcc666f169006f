#include "platform/posix/wine_prefix.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>

#include "platform/failure.h"
#include "platform/posix/posix_services.h"
#include "platform/posix/posix_test_support.h"
#include "testing/prefix_builder.h"

namespace trwk::posix {
namespace {

using trwk::testing::PrefixOptions;
using trwk::testing::TempPrefix;

int failureOf(const WinePrefix& prefix, const std::string& path, bool followLast = true) {
  try {
    prefix.resolve(path, followLast);
  } catch (const Failure& f) {
    return f.number();
  }
  return 0;
}

TEST(WinePrefixTest, MatchesEachComponentWithoutRegardToCase) {
  TempPrefix temp(PrefixOptions{"J\xF6rg"});
  WinePrefix prefix(temp.hostPath());

  HostPath p = prefix.resolve("c:\\WINDOWS\\Temp\\New File.TXT");
  EXPECT_EQ(p.path, temp.host("drive_c/windows/temp/New File.TXT"));  // missing names kept as written
  EXPECT_EQ(p.folder, temp.host("drive_c/windows/temp"));
  EXPECT_TRUE(p.folderExists);

  // The user's folder is "Jörg" in UTF-8 on the host and found as "J\xD6RG" too.
  EXPECT_EQ(prefix.resolve("C:\\Users\\J\xD6RG\\temp").path, temp.host("drive_c/users/J\xC3\xB6rg/Temp"));
  EXPECT_EQ(prefix.hostToWindows(temp.host("drive_c/users/J\xC3\xB6rg/Temp")), "C:\\users\\J\xF6rg\\Temp");
  EXPECT_EQ(prefix.hostToWindows(temp.host("drive_c")), "C:\\");
  EXPECT_EQ(prefix.hostToWindows(temp.host("user.reg")), std::nullopt);

  HostPath deep = prefix.resolve("C:\\windows\\NoSuch\\Sub\\x.txt");
  EXPECT_EQ(deep.path, temp.host("drive_c/windows/NoSuch/Sub/x.txt"));
  EXPECT_FALSE(deep.folderExists);
  EXPECT_EQ(prefix.resolve("C:/windows//./temp/").path, temp.host("drive_c/windows/temp"));
}

TEST(WinePrefixTest, RefusesEveryPathOutsideItsDrives) {
  TempPrefix temp;
  WinePrefix prefix(temp.hostPath());
  // Wine's usual whole-host drive, a drive on the prefix itself and one above it.
  ASSERT_EQ(::symlink("/", temp.host("dosdevices/z:").c_str()), 0);
  ASSERT_EQ(::symlink("..", temp.host("dosdevices/y:").c_str()), 0);
  ASSERT_EQ(::symlink("../..", temp.host("dosdevices/x:").c_str()), 0);
  for (const char* path :
       {"C:\\..\\user.reg", "C:\\windows\\..\\..\\system.reg", "\\\\server\\share\\x.txt", "windows\\temp",
        "C:windows", "\\windows", "Z:\\etc\\passwd", "Y:\\user.reg", "X:\\", "Q:\\nothing"})
    EXPECT_EQ(failureOf(prefix, path), fail::kPathNotFound) << path;
  EXPECT_EQ(prefix.driveRoot('z'), std::nullopt);
  EXPECT_EQ(prefix.driveRoot('C'), temp.host("drive_c"));
}

TEST(WinePrefixTest, FollowsLinksOnlyWithinTheirDrive) {
  TempPrefix temp;
  WinePrefix prefix(temp.hostPath());
  // A canary beside the drive: inside our temporary folder, outside drive c:.
  ASSERT_EQ(::mkdir(temp.host("canary").c_str(), 0777), 0);
  std::ofstream(temp.host("canary/keep.txt")) << "keep";
  ASSERT_EQ(::symlink(temp.host("canary").c_str(), temp.host("drive_c/windows/temp/out").c_str()), 0);
  ASSERT_EQ(::symlink("../windows", temp.host("drive_c/users/inside").c_str()), 0);

  EXPECT_EQ(failureOf(prefix, "C:\\windows\\temp\\out\\keep.txt"), fail::kPathNotFound);
  EXPECT_EQ(failureOf(prefix, "C:\\windows\\temp\\OUT"), fail::kPathNotFound);
  // Unfollowed, the link is named as itself, so that it can be removed as a link.
  HostPath link = prefix.resolve("C:\\windows\\temp\\OUT", false);
  EXPECT_TRUE(link.isLink);
  EXPECT_EQ(link.path, temp.host("drive_c/windows/temp/out"));

  EXPECT_EQ(prefix.resolve("C:\\users\\inside\\system32").path, temp.host("drive_c/windows/system32"));
}

TEST(WinePrefixTest, SeesTheWineserverLock) {
  TempPrefix temp;
  WinePrefix prefix(temp.hostPath());
  EXPECT_FALSE(prefix.wineserverRunning());
  {
    FakeWineserver server(temp.hostPath(), temp.host("tmp"));
    EXPECT_TRUE(prefix.wineserverRunning());
    EXPECT_THROW(
        {
          ScopedEnv env("WINEPREFIX", temp.hostPath());
          makeSystemServices();
        },
        Failure);
  }
  EXPECT_FALSE(prefix.wineserverRunning());
}

// A real wineserver, where `make test` runs Wine anyway (it sets TRWK_REAL_PREFIX).
TEST(WinePrefixTest, SeesARealWineserver) {
  if (!std::getenv("TRWK_REAL_PREFIX") || std::system("command -v wineserver >/dev/null 2>&1") != 0)
    GTEST_SKIP() << "needs Wine and TRWK_REAL_PREFIX";
  TempPrefix temp;
  ASSERT_EQ(::mkdir(temp.host("tmp").c_str(), 0700), 0);
  WinePrefix prefix(temp.hostPath());
  std::string env = "WINEPREFIX='" + temp.hostPath() + "' TMPDIR='" + temp.host("tmp") + "' ";
  ScopedEnv tmp("TMPDIR", temp.host("tmp"));
  ASSERT_EQ(std::system((env + "wineserver -p 5 >/dev/null 2>&1").c_str()), 0);
  EXPECT_TRUE(prefix.wineserverRunning());
  std::system((env + "wineserver -k >/dev/null 2>&1").c_str());
  std::system((env + "wineserver -w >/dev/null 2>&1").c_str());
  EXPECT_FALSE(prefix.wineserverRunning());
}

TEST(WinePrefixTest, ServicesNeedAPrefix) {
  {
    ScopedEnv env("WINEPREFIX", std::nullopt);
    try {
      makeSystemServices();
      ADD_FAILURE() << "no WINEPREFIX, yet services";
    } catch (const Failure& f) {
      EXPECT_NE(f.description().find("WINEPREFIX"), std::string::npos);
    }
  }
  TempPrefix temp;
  EXPECT_THROW(makeServicesForPrefix(temp.host("drive_c")), Failure);  // no dosdevices there
  ScopedEnv env("WINEPREFIX", temp.hostPath());
  EXPECT_TRUE(makeSystemServices().files->folderExists("C:\\windows"));
}

}  // namespace
}  // namespace trwk::posix
