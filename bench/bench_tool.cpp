// The small tools of bench/run.sh: identical test data made fast, and one command timed
// with its peak memory, the same way for our program and for the reference tools.
//   trwk_bench_tool tree DIR FILES          FILES files of 64 bytes, 1000 to a folder, two levels deep
//   trwk_bench_tool flat DIR FILES [DAYS]   FILES files of 64 bytes in DIR, last written DAYS days ago
//   trwk_bench_tool big FILE MIB            one file of MIB mebibytes of varied bytes, flushed
//   trwk_bench_tool run RESULT COMMAND...   runs COMMAND and writes "<seconds> <peak KiB> <exit status>
//                                           <user CPU seconds> <system CPU seconds>"
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <string>
#include <vector>

namespace {

[[noreturn]] void die(const std::string& what) {
  std::perror(what.c_str());
  std::exit(1);
}

void makeFolder(const std::string& path) {
  if (::mkdir(path.c_str(), 0755) != 0 && errno != EEXIST) die(path);
}

void makeFile(int folder, const std::string& name, const timespec* times) {
  static const std::string body(64, 'x');
  int fd = ::openat(folder, name.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0 || ::write(fd, body.data(), body.size()) != static_cast<ssize_t>(body.size())) die(name);
  if (times && ::futimens(fd, times) != 0) die(name);
  ::close(fd);
}

void makeFiles(const std::string& dir, long from, long to, const timespec* times) {
  makeFolder(dir);
  int folder = ::open(dir.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (folder < 0) die(dir);
  for (long i = from; i < to; ++i) makeFile(folder, "file" + std::to_string(i) + ".tmp", times);
  ::close(folder);
}

int tree(const std::string& root, long files) {
  constexpr long kPerFolder = 1000, kOuter = 10;
  makeFolder(root);
  for (long made = 0, f = 0; made < files; made += kPerFolder, ++f) {
    std::string top = root + "/d" + std::to_string(f % kOuter);
    makeFolder(top);
    makeFiles(top + "/s" + std::to_string(f / kOuter), 0, std::min(kPerFolder, files - made), nullptr);
  }
  return 0;
}

int flat(const std::string& dir, long files, long days) {
  timespec times[2];
  timespec* when = nullptr;
  if (days > 0) {
    times[0].tv_sec = times[1].tv_sec = std::time(nullptr) - days * 86400;
    times[0].tv_nsec = times[1].tv_nsec = 0;
    when = times;
  }
  makeFiles(dir, 0, files, when);
  return 0;
}

int big(const std::string& path, long mebibytes) {
  std::vector<char> block(1 << 20);
  std::uint64_t x = 88172645463325252ull;
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) die(path);
  for (long m = 0; m < mebibytes; ++m) {
    for (auto& c : block) {
      x ^= x << 13, x ^= x >> 7, x ^= x << 17;
      c = static_cast<char>(x);
    }
    if (::write(fd, block.data(), block.size()) != static_cast<ssize_t>(block.size())) die(path);
  }
  if (::fsync(fd) != 0) die(path);
  ::close(fd);
  return 0;
}

int run(const std::string& result, char** command) {
  auto start = std::chrono::steady_clock::now();
  pid_t child = ::fork();
  if (child < 0) die("fork");
  if (child == 0) {
    ::execvp(command[0], command);
    die(command[0]);
  }
  int status = 0;
  rusage usage{};
  if (::wait4(child, &status, 0, &usage) != child) die("wait4");
  double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  int code = WIFEXITED(status) ? WEXITSTATUS(status) : 128 + WTERMSIG(status);
  FILE* out = std::fopen(result.c_str(), "w");
  if (!out) die(result);
  auto cpu = [](const timeval& t) {
    return static_cast<double>(t.tv_sec) + static_cast<double>(t.tv_usec) / 1e6;
  };
  std::fprintf(out, "%.4f %ld %d %.3f %.3f\n", seconds, usage.ru_maxrss, code, cpu(usage.ru_utime),
               cpu(usage.ru_stime));
  std::fclose(out);
  return 0;
}

}  // namespace

int main(int argc, char** argv) {
  const std::string what = argc > 1 ? argv[1] : "";
  if (what == "tree" && argc == 4) return tree(argv[2], std::atol(argv[3]));
  if (what == "flat" && (argc == 4 || argc == 5))
    return flat(argv[2], std::atol(argv[3]), argc == 5 ? std::atol(argv[4]) : 0);
  if (what == "big" && argc == 4) return big(argv[2], std::atol(argv[3]));
  if (what == "run" && argc >= 4) return run(argv[2], argv + 3);
  std::fprintf(stderr,
               "usage: trwk_bench_tool tree DIR FILES | flat DIR FILES [DAYS] | big FILE MIB | run RESULT "
               "COMMAND...\n");
  return 2;
}
