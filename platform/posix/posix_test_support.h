#pragma once
// Helpers for the POSIX backend's tests: an environment variable set for one scope and
// a stand-in for a running wineserver.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <stdexcept>
#include <string>

namespace trwk::posix {

class ScopedEnv {
 public:
  ScopedEnv(const char* name, const std::optional<std::string>& value) : name_(name) {
    if (const char* old = std::getenv(name)) old_ = old;
    value ? (void)::setenv(name, value->c_str(), 1) : (void)::unsetenv(name);
  }
  ~ScopedEnv() { old_ ? (void)::setenv(name_, old_->c_str(), 1) : (void)::unsetenv(name_); }
  ScopedEnv(const ScopedEnv&) = delete;
  ScopedEnv& operator=(const ScopedEnv&) = delete;

 private:
  const char* name_;
  std::optional<std::string> old_;
};

// Holds the lock a wineserver holds for `prefix`, from a child process as a real server
// would, in the private server folder Debian's Wine names in <prefix>/wineserver. The
// folder lives under `tmpFolder`, which stands in for $TMPDIR while this object lives.
class FakeWineserver {
 public:
  FakeWineserver(const std::string& prefix, const std::string& tmpFolder) : tmp_("TMPDIR", tmpFolder) {
    std::ofstream(prefix + "/wineserver") << "wine-fake01";
    struct stat st {};
    if (::stat(prefix.c_str(), &st) != 0) throw std::runtime_error("no prefix " + prefix);
    char sub[64];
    std::snprintf(sub, sizeof sub, "server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                  static_cast<unsigned long long>(st.st_ino));
    std::string folder = tmpFolder + "/wine-fake01";
    ::mkdir(tmpFolder.c_str(), 0700);
    ::mkdir(folder.c_str(), 0700);
    folder += std::string("/") + sub;
    ::mkdir(folder.c_str(), 0700);
    std::string lock = folder + "/lock";

    int ready[2], stop[2];
    if (::pipe(ready) != 0 || ::pipe(stop) != 0) throw std::runtime_error("pipe");
    child_ = ::fork();
    if (child_ == 0) {
      ::close(ready[0]);
      ::close(stop[1]);
      int fd = ::open(lock.c_str(), O_CREAT | O_WRONLY, 0600);
      struct flock fl {};
      fl.l_type = F_WRLCK;
      fl.l_whence = SEEK_SET;
      fl.l_len = 1;
      char ok = (fd >= 0 && ::fcntl(fd, F_SETLK, &fl) == 0) ? 1 : 0;
      if (::write(ready[1], &ok, 1) != 1) ::_exit(1);
      char ignored;
      while (::read(stop[0], &ignored, 1) > 0) {
      }
      ::_exit(0);
    }
    ::close(ready[1]);
    ::close(stop[0]);
    stop_ = stop[1];
    char ok = 0;
    bool answered = ::read(ready[0], &ok, 1) == 1;
    ::close(ready[0]);
    if (child_ < 0 || !answered || !ok) throw std::runtime_error("the stand-in wineserver could not lock");
  }
  ~FakeWineserver() {
    ::close(stop_);
    int status = 0;
    ::waitpid(child_, &status, 0);
  }
  FakeWineserver(const FakeWineserver&) = delete;
  FakeWineserver& operator=(const FakeWineserver&) = delete;

 private:
  ScopedEnv tmp_;
  pid_t child_ = -1;
  int stop_ = -1;
};

}  // namespace trwk::posix
