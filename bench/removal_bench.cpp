// Times the removal engine against the system's own tools on identical data in the same
// run: deleting a tree of small files (engine vs rm -rf) and one overwrite pass over a
// big file (engine vs shred -n 1). Everything happens inside a temporary Wine prefix.
//   trwk_bench [rounds] [files] [megabytes] [filler]
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "cleaning/removal.h"
#include "platform/posix/posix_services.h"
#include "testing/prefix_builder.h"

namespace {

using Clock = std::chrono::steady_clock;

double seconds(Clock::time_point since) {
  return std::chrono::duration<double>(Clock::now() - since).count();
}

std::string quoted(const std::string& hostPath) {
  return "'" + hostPath + "'";
}

void run(const std::string& command) {
  if (std::system(command.c_str()) != 0) {
    std::fprintf(stderr, "failed: %s\n", command.c_str());
    std::exit(1);
  }
}

void writeHostFile(const std::string& path, const char* data, std::size_t size) {
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || ::write(fd, data, size) != static_cast<ssize_t>(size)) {
    std::perror(path.c_str());
    std::exit(1);
  }
  ::close(fd);
}

// folders x folders x rest files of 64 bytes, at three levels of depth.
void makeTree(const std::string& root, int files) {
  const int perFolder = 1000;
  int folders = std::max(1, files / perFolder);
  int outer = 10;
  static const std::string body(64, 'x');
  ::mkdir(root.c_str(), 0755);
  int made = 0;
  for (int f = 0; f < folders; ++f) {
    std::string top = root + "/d" + std::to_string(f % outer);
    ::mkdir(top.c_str(), 0755);
    std::string dir = top + "/s" + std::to_string(f / outer);
    ::mkdir(dir.c_str(), 0755);
    for (int i = 0; i < perFolder && made < files; ++i, ++made)
      writeHostFile(dir + "/file" + std::to_string(i) + ".tmp", body.data(), body.size());
  }
}

void makeBigFile(const std::string& path, std::size_t megabytes) {
  std::vector<char> block(1 << 20);
  std::uint64_t x = 88172645463325252ull;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  for (std::size_t m = 0; m < megabytes; ++m) {
    for (auto& c : block) {
      x ^= x << 13, x ^= x >> 7, x ^= x << 17;
      c = static_cast<char>(x);
    }
    if (::write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) std::exit(1);
  }
  ::fsync(fd);
  ::close(fd);
}

double median(std::vector<double> v) {
  std::sort(v.begin(), v.end());
  return v[v.size() / 2];
}

}  // namespace

int main(int argc, char** argv) {
  int rounds = argc > 1 ? std::atoi(argv[1]) : 3;
  int files = argc > 2 ? std::atoi(argv[2]) : 100000;
  std::size_t megabytes = argc > 3 ? std::strtoul(argv[3], nullptr, 10) : 256;
  std::string filler(512, 'f');
  if (argc > 4) {
    std::ifstream in(argv[4], std::ios::binary);
    filler.assign(std::istreambuf_iterator<char>(in), {});
  }

  trwk::testing::TempPrefix prefix;
  auto services = trwk::posix::makeServicesForPrefix(prefix.hostPath(), "C:\\Program Files\\Tarnwick");
  trwk::Files& seam = *services.files;
  const trwk::Protection protection(seam,
                                    trwk::systemFoldersOf(*services.desktop, "C:\\Program Files\\Tarnwick"),
                                    "C:\\Program Files\\Tarnwick");
  const std::string drive = prefix.host("drive_c");
  std::printf("prefix %s, %d round(s)\n", prefix.hostPath().c_str(), rounds);

  std::vector<double> engineTree, rmTree, engineOverwrite, shredOverwrite;
  for (int r = 0; r < rounds; ++r) {
    makeTree(drive + "/engine", files);
    makeTree(drive + "/reference", files);
    run("sync");
    // Alternate who goes first, so that neither always meets a warmer cache.
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (r % 2 == 0)) {
        trwk::Removal removal(seam, protection);
        auto start = Clock::now();
        removal.deleteTree("C:\\engine", trwk::OnError::Stop);
        engineTree.push_back(seconds(start));
        if (removal.stats().files != static_cast<std::uint64_t>(files)) {
          std::fprintf(stderr, "engine removed %llu files\n",
                       static_cast<unsigned long long>(removal.stats().files));
          return 1;
        }
      } else {
        auto start = Clock::now();
        run("rm -rf " + quoted(drive + "/reference"));
        rmTree.push_back(seconds(start));
      }
    }
    std::printf("tree of %d files: engine %.3f s, rm -rf %.3f s\n", files, engineTree.back(), rmTree.back());

    makeBigFile(drive + "/engine.bin", megabytes);
    makeBigFile(drive + "/reference.bin", megabytes);
    run("sync");
    for (int turn = 0; turn < 2; ++turn) {
      if ((turn == 0) == (r % 2 == 0)) {
        auto start = Clock::now();
        seam.overwriteInPlace("C:\\engine.bin", filler);
        engineOverwrite.push_back(seconds(start));
      } else {
        auto start = Clock::now();
        run("shred -n 1 " + quoted(drive + "/reference.bin"));
        shredOverwrite.push_back(seconds(start));
      }
    }
    std::printf("overwrite of %zu MiB: engine %.3f s, shred -n 1 %.3f s\n", megabytes, engineOverwrite.back(),
                shredOverwrite.back());
    ::unlink((drive + "/engine.bin").c_str());
    ::unlink((drive + "/reference.bin").c_str());
  }
  std::printf("median ratio, tree delete (engine / rm -rf):        %.2f\n",
              median(engineTree) / median(rmTree));
  std::printf("median ratio, overwrite pass (engine / shred -n 1): %.2f\n",
              median(engineOverwrite) / median(shredOverwrite));
  return 0;
}
