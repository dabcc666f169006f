// No removal ever reaches through a link: links planted at every depth of every kind of
// target lead to a canary folder, and the canary must come through every operation.
// Natively the links are real symbolic links in the sandbox prefix; under Wine, which
// cannot make links itself, they are host links planted by testing/make-link-fixture
// (TRWK_LINK_FIXTURE names its folder).
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <string>

#include "cleaning/removal.h"
#include "cleaning/secure_removal.h"
#include "platform/failure.h"
#include "testing/failure_of.h"
#include "testing/sandbox.h"

#ifndef _WIN32
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

namespace trwk {
namespace {

using testing::failureOf;

// Where the trees and the canary are, as Windows paths.
struct LinkField {
  std::string trees;   // holds one tree per operation: NAME, NAME\a, NAME\a\b
  std::string canary;  // keep.txt ("canary") and sub\inner.txt ("inner")
};

void expectCanaryAlive(Files& files, const std::string& canary) {
  EXPECT_EQ(files.readAll(canary + "\\keep.txt"), "canary");
  EXPECT_EQ(files.readAll(canary + "\\sub\\inner.txt"), "inner");
}

// Every operation on its own tree; afterwards the canary is whole and no ordinary file
// that the operation should have taken is left. `linksGo`: every link can be removed as
// itself. Under Wine a host link to a file looks like the file and some links cannot be
// opened as themselves; the backend refuses those (75), so they and their folders stay,
// and the sweep, which ends at its first failure, may stop before the ordinary file.
void runEveryOperation(Files& files, Session& session, const LinkField& field, bool linksGo) {
  Removal removal(session);
  auto tree = [&](const std::string& name) { return field.trees + "\\" + name; };

  removal.deleteTree(tree("deletetree"), OnError::KeepGoing);
  expectCanaryAlive(files, field.canary);
  EXPECT_FALSE(files.fileExists(tree("deletetree") + "\\a\\b\\f.tmp"));

  removal.emptyFolder(tree("emptyfolder"), OnError::KeepGoing);
  expectCanaryAlive(files, field.canary);
  EXPECT_TRUE(files.folderExists(tree("emptyfolder")));
  EXPECT_FALSE(files.fileExists(tree("emptyfolder") + "\\a\\b\\f.tmp"));

  removal.deleteMatching(tree("matching") + "\\*.tmp", false, OnError::KeepGoing);
  expectCanaryAlive(files, field.canary);
  EXPECT_FALSE(files.fileExists(tree("matching") + "\\f.tmp"));
  EXPECT_TRUE(files.fileExists(tree("matching") + "\\a\\f.tmp"));

  removal.deleteMatching(tree("matchingfolders") + "\\*", true, OnError::KeepGoing);
  expectCanaryAlive(files, field.canary);
  EXPECT_FALSE(files.fileExists(tree("matchingfolders") + "\\a\\b\\f.tmp"));
  if (linksGo) {
    EXPECT_FALSE(files.folderExists(tree("matchingfolders") + "\\a"));
  }

  SecureRemoval secure(session);
  for (int round = 0; round < 3; ++round) secure.sweepOldFiles(0, tree("sweep") + "\\*.tmp", "01/01/2100");
  expectCanaryAlive(files, field.canary);
  if (linksGo) {
    EXPECT_FALSE(files.fileExists(tree("sweep") + "\\f.tmp"));
  }
  EXPECT_TRUE(files.fileExists(tree("sweep") + "\\a\\f.tmp"));  // the sweep keeps to its folder

  // A link named as the target itself: removed as the link, or refused; never entered.
  std::string folderLink = tree("single") + "\\dl.tmp";
  EXPECT_EQ(failureOf([&] { removal.emptyFolder(folderLink, OnError::KeepGoing); }), fail::kPathFileAccess);
  EXPECT_EQ(failureOf([&] { removal.deleteMatching(folderLink + "\\*.*", true, OnError::KeepGoing); }),
            fail::kPathFileAccess);
  failureOf([&] { removal.deleteFile(tree("single") + "\\fl.tmp"); });
  failureOf([&] { removal.deleteTree(tree("single") + "\\a\\dl.tmp", OnError::KeepGoing); });
  failureOf([&] { removal.deleteFile(tree("single") + "\\a\\b\\dl.tmp"); });
  expectCanaryAlive(files, field.canary);
  EXPECT_TRUE(files.fileExists(tree("single") + "\\f.tmp"));
}

#ifndef _WIN32
TEST(LinkSafety, NoRemovalFollowsASymbolicLink) {
  testing::Sandbox box;
  Files& files = box.files();
  Session session{box.platform(), box.root()};
  const std::string drive = box.hostRoot() + "/drive_c";
  files.createFolder("C:\\canary");
  files.createFolder("C:\\canary\\sub");
  files.replaceAtomically("C:\\canary\\keep.txt", "canary");
  files.replaceAtomically("C:\\canary\\sub\\inner.txt", "inner");
  // A second canary outside every drive, still inside the test's own prefix.
  const std::string outside = box.hostRoot() + "/outside";
  ASSERT_EQ(::mkdir(outside.c_str(), 0777), 0);
  ASSERT_EQ(::close(::creat((outside + "/keep.txt").c_str(), 0666)), 0);

  for (std::string name : {"deletetree", "emptyfolder", "matching", "matchingfolders", "sweep", "single"}) {
    for (std::string level : {"", "\\a", "\\a\\b"}) {
      box.writeFile("trees\\" + name + level + "\\f.tmp", "f");
      std::string host = drive + "/sandbox/trees/" + name;
      for (char& c : level) c = c == '\\' ? '/' : c;
      host += level;
      ASSERT_EQ(::symlink((drive + "/canary").c_str(), (host + "/dl.tmp").c_str()), 0);
      ASSERT_EQ(::symlink((drive + "/canary/keep.txt").c_str(), (host + "/fl.tmp").c_str()), 0);
      ASSERT_EQ(::symlink("../canary", (host + "/rel.tmp").c_str()), 0);  // relative, maybe dangling
      ASSERT_EQ(::symlink(outside.c_str(), (host + "/out.tmp").c_str()), 0);
      ASSERT_EQ(::symlink((outside + "/keep.txt").c_str(), (host + "/outfile.tmp").c_str()), 0);
    }
  }
  runEveryOperation(files, session, {box.path("trees"), "C:\\canary"}, true);

  struct stat st {};
  EXPECT_EQ(::stat((outside + "/keep.txt").c_str(), &st), 0);
  // Natively every link goes as itself: nothing is left of the trees' links.
  EXPECT_TRUE(files.list(box.path("trees\\deletetree"), {true, true, true}).empty());
  EXPECT_TRUE(files.list(box.path("trees\\emptyfolder\\*"), {true, true, true}).empty());
  EXPECT_FALSE(files.fileExists(box.path("trees\\single\\fl.tmp")));
}
#else
TEST(LinkSafety, NoRemovalFollowsAHostLink) {
  const char* fixture = std::getenv("TRWK_LINK_FIXTURE");
  if (!fixture || !*fixture) GTEST_SKIP() << "TRWK_LINK_FIXTURE not set";
  testing::Sandbox box;
  Files& files = box.files();
  std::string root = fixture;
  if (!files.folderExists(root + "\\trees\\deletetree\\a\\b"))
    GTEST_SKIP() << "the fixture has no link trees";
  Session session{box.platform(), box.root()};
  runEveryOperation(files, session, {root + "\\trees", root + "\\canary"}, false);
}
#endif

}  // namespace
}  // namespace trwk
