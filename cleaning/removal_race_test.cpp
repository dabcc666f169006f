// A removal walk racing a folder that is swapped for a link: while the engine empties or
// removes a tree, a second thread keeps exchanging one of its sub-folders with a link to
// a canary folder outside every drive. Not one canary file may go, whatever moment the
// swap hits. Natively only: the swap needs host links and an atomic exchange of names.
//   TRWK_RACE_ITERATIONS  runs per case (1000 by default)
//   TRWK_RACE_SECONDS     time budget per case; the case stops early past it (15 by default)
#ifndef _WIN32
#include <fcntl.h>
#include <stdio.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <iostream>
#include <iterator>
#include <string>
#include <thread>

#ifndef RENAME_EXCHANGE
#include <linux/fs.h>
#endif

#include <gtest/gtest.h>

#include "cleaning/removal.h"
#include "platform/posix/host_io.h"
#include "testing/sandbox.h"

namespace trwk {
namespace {

long fromEnvironment(const char* name, long fallback) {
  const char* text = std::getenv(name);
  if (!text || !*text) return fallback;
  char* end = nullptr;
  long value = std::strtol(text, &end, 10);
  return end && *end == '\0' && value > 0 ? value : fallback;
}

void writeHost(const std::string& path, const std::string& bytes) {
  ASSERT_EQ(posix::writeHostFileAtomically(path, bytes, 0666), 0) << path;
}

std::string readHost(const std::string& path) {
  return posix::readHostFile(path).value_or("<missing>");
}

// The canary: files at three levels, each one that every mask of the cases matches.
const char* const kCanaryFiles[] = {"k0.tmp", "k1.tmp", "k2.tmp", "inner/k3.tmp", "inner/deep/k4.tmp"};

int canaryFilesLost(const std::string& canary) {
  int lost = 0;
  for (const char* name : kCanaryFiles)
    if (readHost(canary + "/" + name) != name) ++lost;
  return lost;
}

// Exchanges two names again and again while armed; parks (and says so) while not.
class Swapper {
 public:
  Swapper(std::string a, std::string b) : a_(std::move(a)), b_(std::move(b)), thread_([this] { run(); }) {}
  ~Swapper() {
    quit_ = true;
    thread_.join();
  }
  void arm() { armed_ = true; }
  // Returns once no exchange is under way or can start.
  void disarm() {
    armed_ = false;
    while (!parked_) std::this_thread::yield();
  }
  long swaps() const { return swaps_; }

 private:
  void run() {
    while (!quit_) {
      if (!armed_) {
        parked_ = true;
        while (!armed_ && !quit_) std::this_thread::yield();
        parked_ = false;
        continue;
      }
      if (exchange()) ++swaps_;
      // A breath between swaps, so that the walk runs between them rather than queueing behind.
      for (auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(5);
           std::chrono::steady_clock::now() < until;) {
      }
    }
    parked_ = true;
  }
  bool exchange() {
    if (::renameat2(AT_FDCWD, a_.c_str(), AT_FDCWD, b_.c_str(), RENAME_EXCHANGE) == 0) return true;
    if (errno != EINVAL && errno != ENOSYS) return false;  // one side is gone: the walk took it
    // No atomic exchange on this file system: the same in three renames.
    const std::string aside = a_ + ".aside";
    if (::rename(a_.c_str(), aside.c_str()) != 0) return false;
    ::rename(b_.c_str(), a_.c_str());
    ::rename(aside.c_str(), b_.c_str());
    return true;
  }

  const std::string a_, b_;
  std::atomic<bool> armed_{false}, parked_{true}, quit_{false};
  std::atomic<long> swaps_{0};
  std::thread thread_;
};

struct RaceCase {
  const char* name;
  const char* swapped;  // the sub-folder exchanged with the link, below the top folder
};

struct Operation {
  const char* name;
  std::function<void(Removal&, const std::string& top)> run;
};

class RemovalRace : public ::testing::TestWithParam<RaceCase> {};

TEST_P(RemovalRace, NoCanaryFileIsLostWhileASubFolderIsSwappedForALink) {
  const RaceCase& param = GetParam();
  testing::Sandbox box;
  Session session{box.platform(), box.root()};
  const std::string drive = box.hostRoot() + "/drive_c/sandbox";
  const std::string top = drive + "/t", park = drive + "/park", canary = box.hostRoot() + "/canary";
  ASSERT_EQ(::mkdir(canary.c_str(), 0777), 0);
  ASSERT_EQ(::mkdir((canary + "/inner").c_str(), 0777), 0);
  ASSERT_EQ(::mkdir((canary + "/inner/deep").c_str(), 0777), 0);
  for (const char* name : kCanaryFiles) writeHost(canary + "/" + name, name);

  const Operation operations[] = {
      {"deleteTree", [](Removal& r, const std::string& t) { r.deleteTree(t, OnError::KeepGoing); }},
      {"emptyFolder", [](Removal& r, const std::string& t) { r.emptyFolder(t, OnError::KeepGoing); }},
      {"deleteMatching *",
       [](Removal& r, const std::string& t) { r.deleteMatching(t + "\\*", true, OnError::KeepGoing); }},
      {"deleteMatching *.* stopping",
       [](Removal& r, const std::string& t) {
         try {
           r.deleteMatching(t + "\\*.*", true, OnError::Stop);
         } catch (const Failure&) {
           // The swap may end the walk at its first failure; the canary is what counts.
         }
       }},
  };
  const long iterations = fromEnvironment("TRWK_RACE_ITERATIONS", 1000);
  const auto budget = std::chrono::seconds(fromEnvironment("TRWK_RACE_SECONDS", 15));

  Removal removal(session);  // one policy for every run: it learns the system folders once
  Swapper swapper(top + "/" + param.swapped, park + "/link");
  const auto start = std::chrono::steady_clock::now();
  long ran = 0, metAChange = 0;
  int lost = 0;
  for (; ran < iterations && lost == 0; ++ran) {
    if (ran > 0 && std::chrono::steady_clock::now() - start > budget) break;
    // A fresh tree: files at each level and a folder "sub" one and two levels down.
    ASSERT_EQ(::mkdir(top.c_str(), 0777), 0);
    ASSERT_EQ(::mkdir((top + "/a").c_str(), 0777), 0);
    for (const char* folder : {"/sub", "/a/sub"}) {
      ASSERT_EQ(::mkdir((top + folder).c_str(), 0777), 0);
      ASSERT_EQ(::mkdir((top + folder + "/deeper").c_str(), 0777), 0);
      writeHost(top + folder + "/x.tmp", "x");
      writeHost(top + folder + "/deeper/y.tmp", "y");
    }
    writeHost(top + "/top.tmp", "t");
    writeHost(top + "/a/mid.tmp", "m");
    ASSERT_EQ(::mkdir(park.c_str(), 0777), 0);
    ASSERT_EQ(::symlink(canary.c_str(), (park + "/link").c_str()), 0);

    const Operation& operation = operations[ran % std::size(operations)];
    bool changed = false;
    removal.onFailure = [&](const Failure&) { changed = true; };
    swapper.arm();
    operation.run(removal, box.path("t"));
    swapper.disarm();
    metAChange += changed;

    lost = canaryFilesLost(canary);
    EXPECT_EQ(lost, 0) << operation.name << " lost canary files at iteration " << ran;
    // The left-overs go without following a link (remove_all takes a link as itself).
    std::filesystem::remove_all(top);
    std::filesystem::remove_all(park);
  }
  const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << "[ race     ] " << param.name << ": " << ran << " of " << iterations << " runs in " << seconds
            << " s, " << swapper.swaps() << " swaps, " << metAChange << " runs met a swapped folder, " << lost
            << " canary files lost\n";
  EXPECT_EQ(canaryFilesLost(canary), 0);
  EXPECT_GT(swapper.swaps(), 0) << "the swap never happened: the race was not run";
  if (lost == 0) {
    EXPECT_GE(ran, std::min<long>(iterations, 100)) << "far too few runs in the time budget";
  }
}

INSTANTIATE_TEST_SUITE_P(Swaps, RemovalRace,
                         ::testing::Values(RaceCase{"ChildOfTheTop", "sub"}, RaceCase{"DepthTwo", "a/sub"}),
                         [](const ::testing::TestParamInfo<RaceCase>& p) { return p.param.name; });

}  // namespace
}  // namespace trwk
#endif
