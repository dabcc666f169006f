#include "platform/posix/posix_files.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <ctime>
#include <string_view>

#include "platform/failure.h"
#include "platform/posix/host_io.h"
#include "platform/text_encoding.h"
#include "platform/wildcard.h"

namespace trwk::posix {
namespace {

[[noreturn]] void raise(int number, const std::string& windowsPath) {
  throw Failure(number, failureDescription(number) + ": " + windowsPath);
}

// The failure number of a host error on a path whose folder is known to exist or not.
int numberFor(int err, bool folderExists) {
  switch (err) {
    case ENOENT: return folderExists ? fail::kFileNotFound : fail::kPathNotFound;
    case ENOTDIR: return fail::kPathNotFound;
    case EACCES:
    case EPERM:
    case EROFS:
    case ETXTBSY:
    case EBUSY: return fail::kPermissionDenied;
    case ENOSPC:
    case EDQUOT: return fail::kDiskFull;
    case EEXIST: return fail::kFileExists;
    default: return fail::kPathFileAccess;
  }
}

// Wine shows a file without any write permission as read-only; Windows refuses to
// change such a file, and so do we, whoever the process runs as.
bool readOnly(const struct stat& st) {
  return (st.st_mode & 0222) == 0;
}

std::optional<struct stat> statOf(const std::string& hostPath, bool follow) {
  struct stat st {};
  int r = follow ? ::stat(hostPath.c_str(), &st) : ::lstat(hostPath.c_str(), &st);
  if (r != 0) return std::nullopt;
  return st;
}

std::string readOpen(int fd, const std::string& windowsPath) {
  std::string out;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd, buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      raise(fail::kPathFileAccess, windowsPath);
    }
    if (n == 0) return out;
    out.append(buffer, static_cast<std::size_t>(n));
  }
}

std::size_t lastSeparator(const std::string& path) {
  return path.find_last_of("\\/");
}

FileTime localTimeOf(const struct timespec& when) {
  std::tm local{};
  time_t seconds = when.tv_sec;
  if (!::localtime_r(&seconds, &local)) return {};
  return FileTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                  local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::string joinWindows(const std::string& folder, const std::string& name) {
  if (!folder.empty() && (folder.back() == '\\' || folder.back() == '/')) return folder + name;
  return folder + "\\" + name;
}

// One removal walk, relative to the folders it opened: an entry is looked at, opened and
// removed by the name its folder listed, below the descriptor of that folder, so nothing
// that happens to the paths meanwhile can send it elsewhere.
class DescriptorWalk {
 public:
  DescriptorWalk(const WalkRequest& request, WalkSink& sink) : request_(request), sink_(sink) {}

  bool stopped() const { return stopped_; }

  // Removes what the open folder holds (as far as the request and the sink want); true
  // when nothing stayed.
  bool clear(int dirFd, const std::string& windowsFolder, int depth) {
    int dup = ::dup(dirFd);
    if (dup < 0) return fail(fail::kPathFileAccess, windowsFolder);
    DirHandle dir(::fdopendir(dup));
    if (!dir) {
      ::close(dup);
      return fail(fail::kPathFileAccess, windowsFolder);
    }
    bool all = true, unnamed = false;
    while (!stopped_) {
      dirent* e = ::readdir(dir.get());
      if (!e) break;
      std::string_view raw = e->d_name;
      if (raw == "." || raw == "..") continue;
      WindowsName name = windowsNameOf(raw);
      if (!name.valid) {
        unnamed = true;
        all = false;
        continue;
      }
      // What the name alone decides costs no look-up.
      if (depth == 0 && (!matchesMask(name.text, request_.mask) ||
                         (!request_.hiddenAndSystem && name.text.front() == '.'))) {
        all = false;
        continue;
      }
      all = removeEntry(dirFd, e->d_name, name.text, windowsFolder, depth) && all;
    }
    if (unnamed)
      sink_.leftAlone(windowsFolder, "entries whose host names have no Windows form were left alone");
    return all && !stopped_;
  }

 private:
  bool removeEntry(int dirFd, const char* raw, const std::string& name, const std::string& windowsFolder,
                   int depth) {
    struct stat st {};
    if (::fstatat(dirFd, raw, &st, AT_SYMLINK_NOFOLLOW) != 0)
      return errno == ENOENT || fail(numberFor(errno, true), joinWindows(windowsFolder, name));
    DirEntry entry;
    entry.name = name;
    entry.isLink = S_ISLNK(st.st_mode);
    entry.isFolder = S_ISDIR(st.st_mode);
    entry.hidden = name.front() == '.';
    entry.readOnly = !entry.isLink && !entry.isFolder && readOnly(st);
    entry.size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (depth == 0) {
      if (entry.isFolder ? !request_.folders : !request_.files) return false;
      if (request_.withTimes) entry.lastWrite = localTimeOf(st.st_mtim);
    }
    const std::string path = joinWindows(windowsFolder, name);
    if (!sink_.select(path, entry, depth)) return false;
    if (!entry.isFolder) {
      // unlinkat never follows the name: a link goes as itself, its target stays.
      if (!request_.dryRun && ::unlinkat(dirFd, raw, 0) != 0) {
        if (errno == ENOENT) return true;
        if (errno == EISDIR || errno == EPERM) return changed(path);  // a folder took its place
        return fail(numberFor(errno, true), path);
      }
      sink_.removed(path, entry, depth);
      return true;
    }
    Fd child(::openat(dirFd, raw, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (child.get() < 0) {
      if (errno == ENOENT) return true;
      if (errno == ELOOP || errno == ENOTDIR) return changed(path);  // swapped for a link or a file
      return fail(numberFor(errno, true), path);
    }
    struct stat held {};
    if (::fstat(child.get(), &held) != 0) return fail(fail::kPathFileAccess, path);
    if (held.st_dev != st.st_dev || held.st_ino != st.st_ino) return changed(path);
    if (!sink_.mayEnter(
            path, FolderId{static_cast<std::uint64_t>(held.st_dev), static_cast<std::uint64_t>(held.st_ino)}))
      return false;
    if (!clear(child.get(), path, depth + 1)) return false;
    if (!request_.dryRun && ::unlinkat(dirFd, raw, AT_REMOVEDIR) != 0) {
      if (errno == ENOENT) return true;
      return fail(errno == ENOTEMPTY || errno == EEXIST ? fail::kPathFileAccess : numberFor(errno, true),
                  path);
    }
    sink_.removed(path, entry, depth);
    return true;
  }

  bool changed(const std::string& path) {
    sink_.failed(Failure(fail::kPathFileAccess, failureDescription(fail::kPathFileAccess) + ": " + path +
                                                    " (it changed while it was being removed; left alone)"));
    if (request_.stopAtFailure) stopped_ = true;
    return false;
  }

  bool fail(int number, const std::string& path) {
    sink_.failed(Failure(number, failureDescription(number) + ": " + path));
    if (request_.stopAtFailure) stopped_ = true;
    return false;
  }

  const WalkRequest& request_;
  WalkSink& sink_;
  bool stopped_ = false;
};

}  // namespace

bool PosixFiles::fileExists(const std::string& path) {
  try {
    auto st = statOf(prefix_->resolve(path).path, true);
    return st && !S_ISDIR(st->st_mode);
  } catch (const Failure&) {
    return false;
  }
}

bool PosixFiles::folderExists(const std::string& path) {
  try {
    auto st = statOf(prefix_->resolve(path).path, true);
    return st && S_ISDIR(st->st_mode);
  } catch (const Failure&) {
    return false;
  }
}

std::vector<DirEntry> PosixFiles::list(const std::string& pattern, const ListOptions& options) {
  std::vector<DirEntry> out;
  std::size_t cut = lastSeparator(pattern);
  if (cut == std::string::npos) return out;
  std::string mask = pattern.substr(cut + 1);
  if (mask.empty()) return out;  // a pattern ending in a separator names no entry, as on Windows
  HostPath folder = prefix_->resolve(pattern.substr(0, cut));  // a refused folder throws
  DirHandle dir(::opendir(folder.path.c_str()));
  if (!dir) return out;
  while (dirent* e = ::readdir(dir.get())) {
    std::string_view hostName = e->d_name;
    if (hostName == "." || hostName == "..") continue;
    // A name without an exact Windows form would lead somewhere else as a path.
    WindowsName windows = windowsNameOf(hostName);
    if (!windows.exact) continue;
    const std::string& name = windows.text;
    if (!matchesMask(name, mask)) continue;
    struct stat st {};
    if (::fstatat(::dirfd(dir.get()), e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    DirEntry entry;
    entry.name = name;
    entry.isLink = S_ISLNK(st.st_mode);
    entry.isFolder = S_ISDIR(st.st_mode);  // a link is never taken for the folder it names
    entry.hidden = name.front() == '.';
    entry.readOnly = !entry.isLink && !entry.isFolder && readOnly(st);
    entry.size = S_ISREG(st.st_mode) ? static_cast<std::uint64_t>(st.st_size) : 0;
    if (entry.isFolder ? !options.folders : !options.files) continue;
    if (entry.hidden && !options.hiddenAndSystem) continue;
    entry.lastWrite = localTimeOf(st.st_mtim);
    out.push_back(std::move(entry));
    if (out.size() == options.limit) break;
  }
  sortByName(out);
  return out;
}

std::optional<std::uint64_t> PosixFiles::fileSize(const std::string& path) {
  try {
    auto st = statOf(prefix_->resolve(path).path, true);
    if (!st || S_ISDIR(st->st_mode)) return std::nullopt;
    return static_cast<std::uint64_t>(st->st_size);
  } catch (const Failure&) {
    return std::nullopt;
  }
}

std::optional<FileTime> PosixFiles::lastWriteTime(const std::string& path) {
  try {
    auto st = statOf(prefix_->resolve(path).path, true);
    if (!st) return std::nullopt;
    std::tm local{};
    time_t when = st->st_mtim.tv_sec;
    if (!::localtime_r(&when, &local)) return std::nullopt;
    return FileTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                    local.tm_hour,        local.tm_min,     local.tm_sec};
  } catch (const Failure&) {
    return std::nullopt;
  }
}

std::string PosixFiles::readAll(const std::string& path) {
  HostPath host = prefix_->resolve(path);
  Fd fd(::open(host.path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (fd.get() < 0) raise(numberFor(errno, host.folderExists), path);
  struct stat st {};
  if (::fstat(fd.get(), &st) != 0 || S_ISDIR(st.st_mode)) raise(fail::kPathFileAccess, path);
  return readOpen(fd.get(), path);
}

void PosixFiles::appendText(const std::string& path, const std::string& bytes) {
  HostPath host = prefix_->resolve(path, false);  // a link in the last place is refused below
  if (!host.folderExists) raise(fail::kPathNotFound, path);
  if (auto st = statOf(host.path, false); st && S_ISREG(st->st_mode) && readOnly(*st))
    raise(fail::kPermissionDenied, path);
  Fd fd(::open(host.path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NOFOLLOW | O_CLOEXEC, 0666));
  if (fd.get() < 0)
    raise(errno == EISDIR || errno == ELOOP ? fail::kPathFileAccess : numberFor(errno, true), path);
  std::string_view rest = bytes;
  while (!rest.empty()) {
    ssize_t n = ::write(fd.get(), rest.data(), rest.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      raise(numberFor(errno, true), path);
    }
    rest.remove_prefix(static_cast<std::size_t>(n));
  }
}

void PosixFiles::replaceAtomically(const std::string& path, const std::string& bytes) {
  // The name is replaced: a link standing there goes, and its target is never written.
  HostPath host = prefix_->resolve(path, false);
  if (!host.folderExists || host.name.empty()) raise(fail::kPathNotFound, path);
  mode_t mode = defaultFileMode();
  if (auto st = statOf(host.path, false); st && !S_ISLNK(st->st_mode)) {
    if (S_ISDIR(st->st_mode)) raise(fail::kPathFileAccess, path);
    if (readOnly(*st)) raise(fail::kPermissionDenied, path);
    mode = st->st_mode & 07777;
  }
  if (int err = writeHostFileAtomically(host.path, bytes, mode)) raise(numberFor(err, true), path);
}

void PosixFiles::createFolder(const std::string& path) {
  forgetFolder();
  HostPath host = prefix_->resolve(path);
  if (!host.folderExists) raise(fail::kPathNotFound, path);
  if (::mkdir(host.path.c_str(), 0777) != 0) raise(numberFor(errno, true), path);
}

PosixFiles::~PosixFiles() {
  forgetFolder();
}

void PosixFiles::forgetFolder() {
  if (cachedFd_ >= 0) ::close(cachedFd_);
  cachedFd_ = -1;
  cachedWindows_.clear();
  cachedHost_.clear();
}

int PosixFiles::openFolder(const std::string& windowsFolder) {
  if (cachedFd_ >= 0 && windowsFolder == cachedWindows_) {
    // Still the folder the path leads to? (It may have been removed or replaced.)
    struct stat named {};
    if (::stat(cachedHost_.c_str(), &named) == 0 && named.st_dev == cachedDev_ && named.st_ino == cachedIno_)
      return cachedFd_;
  }
  forgetFolder();
  try {
    HostPath host = prefix_->resolve(windowsFolder);
    int fd = ::open(host.path.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat held {};
    if (::fstat(fd, &held) != 0) {
      ::close(fd);
      return -1;
    }
    cachedDev_ = held.st_dev;
    cachedIno_ = held.st_ino;
    cachedFd_ = fd;
    cachedWindows_ = windowsFolder;
    cachedHost_ = host.path;
    return fd;
  } catch (const Failure&) {
    return -1;
  }
}

void PosixFiles::deleteFile(const std::string& path) {
  // The quick way for a name that exists as written in a folder already resolved: the
  // open folder pins what was resolved, and unlinkat never follows the name.
  std::size_t cut = lastSeparator(path);
  if (cut != std::string::npos && cut + 1 < path.size()) {
    std::string name = cp1252ToUtf8(path.substr(cut + 1));
    int fd = name == "." || name == ".." ? -1 : openFolder(path.substr(0, cut));
    if (fd >= 0) {
      if (::unlinkat(fd, name.c_str(), 0) == 0) return;
      int err = errno;
      if (err == EISDIR || err == EPERM) {  // Linux refuses a folder with one or the other
        struct stat st {};
        if (::fstatat(fd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) == 0 && S_ISDIR(st.st_mode))
          raise(fail::kPathFileAccess, path);
      }
      if (err != ENOENT) raise(numberFor(err, true), path);
      // Not there as written: the long way finds it without regard to case, or says why not.
    }
  }
  HostPath host = prefix_->resolve(path, false);
  if (!host.folderExists || host.name.empty()) raise(fail::kPathNotFound, path);
  auto st = statOf(host.path, false);
  if (!st) raise(fail::kFileNotFound, path);
  if (S_ISDIR(st->st_mode)) raise(fail::kPathFileAccess, path);
  // unlink never follows the last component: a link goes, its target stays. A read-only
  // file goes too, as with the Windows backend.
  if (::unlink(host.path.c_str()) != 0) raise(numberFor(errno, true), path);
}

void PosixFiles::removeFolder(const std::string& path) {
  forgetFolder();
  HostPath host = prefix_->resolve(path, false);
  if (!host.folderExists || host.name.empty()) raise(fail::kPathNotFound, path);
  auto st = statOf(host.path, false);
  if (!st) raise(fail::kPathNotFound, path);
  if (!S_ISDIR(st->st_mode)) raise(fail::kPathFileAccess, path);
  // rmdir never follows the last component, and a link is no folder to lstat.
  if (::rmdir(host.path.c_str()) != 0)
    raise(errno == ENOTEMPTY || errno == EEXIST ? fail::kPathFileAccess : numberFor(errno, true), path);
}

void PosixFiles::copyFile(const std::string& from, const std::string& to, bool overwrite) {
  HostPath source = prefix_->resolve(from, false);
  Fd in(::open(source.path.c_str(), O_RDONLY | O_NOFOLLOW | O_CLOEXEC));
  if (in.get() < 0)
    raise(errno == ELOOP ? fail::kPathFileAccess : numberFor(errno, source.folderExists), from);
  struct stat sourceStat {};
  if (::fstat(in.get(), &sourceStat) != 0 || S_ISDIR(sourceStat.st_mode)) raise(fail::kPathFileAccess, from);

  // A link at the target is replaced by the copy; what it leads to is never written.
  HostPath target = prefix_->resolve(to, false);
  if (!target.folderExists || target.name.empty()) raise(fail::kPathNotFound, to);
  if (auto st = statOf(target.path, false)) {
    if (!overwrite) raise(fail::kFileExists, to);
    if (S_ISDIR(st->st_mode)) raise(fail::kPathFileAccess, to);
    if (!S_ISLNK(st->st_mode) && readOnly(*st)) raise(fail::kPermissionDenied, to);
  }
  std::string bytes = readOpen(in.get(), from);
  if (int err = writeHostFileAtomically(target.path, bytes, sourceStat.st_mode & 07777))
    raise(numberFor(err, true), to);
  // A copy keeps the original's last-write time, as on Windows.
  struct timespec times[2] = {{0, UTIME_OMIT}, sourceStat.st_mtim};
  ::utimensat(AT_FDCWD, target.path.c_str(), times, AT_SYMLINK_NOFOLLOW);
}

void PosixFiles::clearAttributes(const std::string& path) {
  HostPath host = prefix_->resolve(path, false);
  auto st = statOf(host.path, false);
  if (!st) raise(numberFor(ENOENT, host.folderExists), path);
  if (S_ISLNK(st->st_mode)) return;  // a link has no marks of its own; its target is not ours to change
  if (::chmod(host.path.c_str(), (st->st_mode & 07777) | S_IWUSR) != 0) raise(numberFor(errno, true), path);
}

void PosixFiles::overwriteInPlace(const std::string& path, const std::string& filler) {
  if (filler.empty()) raise(fail::kInvalidCall, path);
  HostPath host = prefix_->resolve(path, false);
  if (!host.folderExists || host.name.empty()) raise(fail::kPathNotFound, path);
  auto st = statOf(host.path, false);
  if (!st) raise(fail::kFileNotFound, path);
  if (!S_ISREG(st->st_mode)) raise(fail::kPathFileAccess, path);  // a link, folder or device
  if (readOnly(*st)) raise(fail::kPermissionDenied, path);
  // No O_TRUNC: the old bytes are written over where they lie. O_NOFOLLOW refuses a link
  // that took the file's place since the look above.
  Fd fd(::open(host.path.c_str(), O_WRONLY | O_NOFOLLOW | O_CLOEXEC | O_NONBLOCK));
  if (fd.get() < 0) raise(numberFor(errno, true), path);
  struct stat opened {};
  if (::fstat(fd.get(), &opened) != 0 || !S_ISREG(opened.st_mode)) raise(fail::kPathFileAccess, path);
  // Another name of the same file would lose its contents too.
  if (opened.st_nlink > 1)
    throw Failure(fail::kPathFileAccess, failureDescription(fail::kPathFileAccess) + ": " + path +
                                             " (it has other names; not overwritten)");

  // One big buffer of whole fillers, plus one filler more so that a write may start at
  // any offset of the pattern.
  const std::size_t unit = filler.size();
  const std::size_t chunk = ((std::size_t{1} << 20) + unit - 1) / unit * unit;
  std::string pattern;
  pattern.reserve(chunk + unit);
  while (pattern.size() < chunk + unit) pattern += filler;

  const std::uint64_t length = static_cast<std::uint64_t>(opened.st_size);
  std::uint64_t done = 0;
  while (done < length) {
    std::size_t phase = static_cast<std::size_t>(done % unit);
    std::size_t want = static_cast<std::size_t>(std::min<std::uint64_t>(length - done, chunk));
    ssize_t n = ::pwrite(fd.get(), pattern.data() + phase, want, static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      raise(numberFor(errno, true), path);
    }
    if (n == 0) raise(fail::kDiskFull, path);
    done += static_cast<std::uint64_t>(n);
  }
  if (::fsync(fd.get()) != 0) raise(numberFor(errno, true), path);
}

std::optional<FolderId> PosixFiles::folderId(const std::string& path) {
  try {
    auto st = statOf(prefix_->resolve(path).path, true);
    if (!st || !S_ISDIR(st->st_mode)) return std::nullopt;
    return FolderId{static_cast<std::uint64_t>(st->st_dev), static_cast<std::uint64_t>(st->st_ino)};
  } catch (const Failure&) {
    return std::nullopt;
  }
}

void PosixFiles::removeWithin(const WalkRequest& request, WalkSink& sink) {
  forgetFolder();
  HostPath host = prefix_->resolve(request.folder, false);
  const bool driveRoot = host.name.empty();
  if (!driveRoot && !host.folderExists) raise(fail::kPathNotFound, request.folder);
  Fd parent(driveRoot ? -1 : ::open(host.folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (!driveRoot && parent.get() < 0) raise(numberFor(errno, false), request.folder);
  struct stat named {};
  int r = driveRoot ? ::stat(host.path.c_str(), &named)
                    : ::fstatat(parent.get(), host.name.c_str(), &named, AT_SYMLINK_NOFOLLOW);
  if (r != 0) raise(fail::kPathNotFound, request.folder);
  if (!S_ISDIR(named.st_mode)) raise(fail::kPathFileAccess, request.folder);  // a link or a file
  Fd folder(driveRoot
                ? ::open(host.path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                : ::openat(parent.get(), host.name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (folder.get() < 0)
    raise(errno == ELOOP || errno == ENOTDIR ? fail::kPathFileAccess : numberFor(errno, true),
          request.folder);
  struct stat held {};
  if (::fstat(folder.get(), &held) != 0 || held.st_dev != named.st_dev || held.st_ino != named.st_ino)
    raise(fail::kPathFileAccess, request.folder);
  if (!sink.mayEnter(request.folder, FolderId{static_cast<std::uint64_t>(held.st_dev),
                                              static_cast<std::uint64_t>(held.st_ino)}))
    return;
  DescriptorWalk walk(request, sink);
  bool emptied = walk.clear(folder.get(), request.folder, 0);
  if (!request.removeFolder || !emptied || driveRoot) return;
  if (!request.dryRun && ::unlinkat(parent.get(), host.name.c_str(), AT_REMOVEDIR) != 0) {
    sink.failed(
        Failure(numberFor(errno, true), failureDescription(numberFor(errno, true)) + ": " + request.folder));
    return;
  }
  DirEntry self;
  self.name = request.folder.substr(request.folder.find_last_of("\\/") + 1);
  self.isFolder = true;
  sink.removed(request.folder, self, -1);
}

std::optional<std::uint64_t> PosixFiles::driveFreeBytes(const std::string& root) {
  if (root.size() < 2 || root[1] != ':') return std::nullopt;
  auto folder = prefix_->driveRoot(root[0]);
  if (!folder) return std::nullopt;
  struct statvfs vfs {};
  if (::statvfs(folder->c_str(), &vfs) != 0) return std::nullopt;
  return static_cast<std::uint64_t>(vfs.f_bavail) * static_cast<std::uint64_t>(vfs.f_frsize);
}

}  // namespace trwk::posix
