#include "platform/posix/host_io.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <string_view>
#include <vector>

#include "platform/text_encoding.h"

namespace trwk::posix {
namespace {

bool writeAll(int fd, std::string_view bytes) {
  while (!bytes.empty()) {
    ssize_t n = ::write(fd, bytes.data(), bytes.size());
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    bytes.remove_prefix(static_cast<std::size_t>(n));
  }
  return true;
}

// Names inside an open folder, without "." and "..".
std::vector<std::string> namesIn(int dirFd) {
  std::vector<std::string> names;
  int dup = ::dup(dirFd);
  if (dup < 0) return names;
  DIR* dir = ::fdopendir(dup);
  if (!dir) {
    ::close(dup);
    return names;
  }
  while (dirent* e = ::readdir(dir)) {
    std::string_view n = e->d_name;
    if (n != "." && n != "..") names.emplace_back(n);
  }
  ::closedir(dir);
  return names;
}

bool emptyOpenFolder(int dirFd) {
  bool ok = true;
  for (const auto& name : namesIn(dirFd)) ok = removeTreeAt(dirFd, name) && ok;
  return ok;
}

bool isValidUtf8(std::string_view text) {
  for (std::size_t i = 0; i < text.size();) {
    auto b = static_cast<unsigned char>(text[i]);
    std::size_t len = b < 0x80 ? 1 : (b >> 5) == 6 ? 2 : (b >> 4) == 14 ? 3 : (b >> 3) == 30 ? 4 : 0;
    if (len == 0 || i + len > text.size()) return false;
    for (std::size_t k = 1; k < len; ++k)
      if ((static_cast<unsigned char>(text[i + k]) & 0xC0) != 0x80) return false;
    i += len;
  }
  return true;
}

// Characters a Windows name cannot hold (Wine shows them as private-use ones).
bool unholdable(char c) {
  return static_cast<unsigned char>(c) < 0x20 ||
         std::string_view("\\:*?\"<>|").find(c) != std::string_view::npos;
}

}  // namespace

WindowsName windowsNameOf(std::string_view host) {
  WindowsName out;
  // Most names are plain ASCII: the same bytes on both sides.
  if (std::all_of(host.begin(), host.end(),
                  [](char c) { return static_cast<unsigned char>(c) < 0x80 && !unholdable(c); })) {
    out.text.assign(host);
    out.valid = out.exact = true;
    return out;
  }
  out.valid = isValidUtf8(host);
  out.text = utf8ToCp1252(std::string(host));
  out.exact = out.valid && cp1252ToUtf8(out.text) == host;
  for (char& c : out.text) {
    if (unholdable(c)) {
      c = '?';
      out.exact = false;
    }
  }
  return out;
}

std::optional<std::string> readHostFile(const std::string& hostPath) {
  Fd fd(::open(hostPath.c_str(), O_RDONLY | O_CLOEXEC));
  if (fd.get() < 0) return std::nullopt;
  std::string out;
  char buffer[65536];
  for (;;) {
    ssize_t n = ::read(fd.get(), buffer, sizeof buffer);
    if (n < 0) {
      if (errno == EINTR) continue;
      return std::nullopt;
    }
    if (n == 0) break;
    out.append(buffer, static_cast<std::size_t>(n));
  }
  return out;
}

mode_t defaultFileMode() {
  mode_t mask = ::umask(022);
  ::umask(mask);
  return 0666 & ~mask;
}

int writeHostFileAtomically(const std::string& hostPath, const std::string& bytes, mode_t mode) {
  std::string folder = parentOf(hostPath);
  std::string temp = folder + "/." + baseNameOf(hostPath) + ".trwk-XXXXXX";
  std::vector<char> name(temp.begin(), temp.end());
  name.push_back('\0');
  Fd fd(::mkostemp(name.data(), O_CLOEXEC));
  if (fd.get() < 0) return errno;
  auto fail = [&](int err) {
    ::unlink(name.data());
    return err;
  };
  if (::fchmod(fd.get(), mode) != 0) return fail(errno);
  if (!writeAll(fd.get(), bytes)) return fail(errno);
  if (::fsync(fd.get()) != 0) return fail(errno);
  if (::close(fd.release()) != 0) return fail(errno);
  if (::rename(name.data(), hostPath.c_str()) != 0) return fail(errno);
  // The rename itself must reach the disk too, or a crash could bring the old name back.
  Fd dir(::open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (dir.get() >= 0) ::fsync(dir.get());
  return 0;
}

bool removeTreeAt(int parentFd, const std::string& name) {
  struct stat st {};
  if (::fstatat(parentFd, name.c_str(), &st, AT_SYMLINK_NOFOLLOW) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return ::unlinkat(parentFd, name.c_str(), 0) == 0 || errno == ENOENT;
  {
    Fd dir(::openat(parentFd, name.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
    if (dir.get() < 0) return false;
    // A folder a test made read-only must still be emptied.
    if ((st.st_mode & S_IRWXU) != S_IRWXU) ::fchmod(dir.get(), st.st_mode | S_IRWXU);
    emptyOpenFolder(dir.get());
  }
  return ::unlinkat(parentFd, name.c_str(), AT_REMOVEDIR) == 0 || errno == ENOENT;
}

bool removeTree(const std::string& hostPath) {
  Fd parent(::open(parentOf(hostPath).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC));
  if (parent.get() < 0) return errno == ENOENT;
  return removeTreeAt(parent.get(), baseNameOf(hostPath));
}

bool emptyFolder(const std::string& hostPath) {
  Fd dir(::open(hostPath.c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (dir.get() < 0) return errno == ENOENT;
  return emptyOpenFolder(dir.get());
}

std::string parentOf(const std::string& hostPath) {
  auto slash = hostPath.find_last_of('/');
  if (slash == std::string::npos) return ".";
  if (slash == 0) return "/";
  return hostPath.substr(0, slash);
}

std::string baseNameOf(const std::string& hostPath) {
  auto slash = hostPath.find_last_of('/');
  return slash == std::string::npos ? hostPath : hostPath.substr(slash + 1);
}

}  // namespace trwk::posix
