#pragma once
// Small host file-system helpers shared by the POSIX backend and the test prefix.
// Host paths are UTF-8; nothing here follows a symbolic link it is asked to remove.
#include <dirent.h>
#include <sys/types.h>
#include <unistd.h>

#include <memory>
#include <optional>
#include <string>
#include <string_view>

namespace trwk::posix {

struct DirCloser {
  void operator()(DIR* dir) const { ::closedir(dir); }
};
using DirHandle = std::unique_ptr<DIR, DirCloser>;

// An open host file descriptor, closed when it goes.
class Fd {
 public:
  explicit Fd(int fd) : fd_(fd) {}
  ~Fd() {
    if (fd_ >= 0) ::close(fd_);
  }
  Fd(const Fd&) = delete;
  Fd& operator=(const Fd&) = delete;
  int get() const { return fd_; }
  int release() {
    int fd = fd_;
    fd_ = -1;
    return fd;
  }

 private:
  int fd_;
};

// Reads a whole host file; nothing when it cannot be opened or read.
std::optional<std::string> readHostFile(const std::string& hostPath);

// Writes the bytes to a temporary file beside the target, flushes it, renames it over
// the target and flushes the folder. The new file gets `mode` (the old file's mode when
// replacing). Returns 0 or the errno of the step that failed; the temporary file never
// stays behind.
int writeHostFileAtomically(const std::string& hostPath, const std::string& bytes, mode_t mode);

// The mode a newly created file gets under the process's umask.
mode_t defaultFileMode();

// Removes `name` below the open folder `parentFd`: a file or a link as itself, a folder
// with everything in it. Links are never entered. False when anything stayed.
bool removeTreeAt(int parentFd, const std::string& name);
// The same for a host path; a missing path counts as removed.
bool removeTree(const std::string& hostPath);
// Removes what a folder holds and keeps the folder; a missing folder counts as empty.
bool emptyFolder(const std::string& hostPath);

// A host name as Windows sees it. `valid`: Wine can name it at all (UTF-8); `exact`: the
// Windows-1252 text leads back to this entry and no other, so it may become a path.
// Characters a Windows name cannot hold show as '?' in `text`.
struct WindowsName {
  std::string text;
  bool valid = false;
  bool exact = false;
};
WindowsName windowsNameOf(std::string_view host);

// Host path helpers.
std::string parentOf(const std::string& hostPath);
std::string baseNameOf(const std::string& hostPath);

}  // namespace trwk::posix
