#include "platform/posix/wine_prefix.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/un.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string_view>
#include <vector>

#include "platform/failure.h"
#include "platform/posix/host_io.h"
#include "platform/text_encoding.h"

namespace trwk::posix {
namespace {

std::optional<std::string> canonical(const std::string& path) {
  char* real = ::realpath(path.c_str(), nullptr);
  if (!real) return std::nullopt;
  std::string out(real);
  std::free(real);
  return out;
}

bool isInside(const std::string& path, const std::string& root) {
  return path == root ||
         (path.size() > root.size() && path.compare(0, root.size(), root) == 0 && path[root.size()] == '/');
}

bool isSeparator(char c) {
  return c == '\\' || c == '/';
}

[[noreturn]] void refuse(const std::string& windowsPath, const std::string& why) {
  throw Failure(fail::kPathNotFound,
                failureDescription(fail::kPathNotFound) + ": " + windowsPath + " (" + why + ")");
}

// The host name of a folder entry matching a Windows name: the name itself when it
// exists as written, else the first entry equal to it without regard to letter case.
std::optional<std::string> findEntry(const std::string& folder, const std::string& windowsName) {
  std::string written = cp1252ToUtf8(windowsName);
  struct stat st {};
  if (::lstat((folder + "/" + written).c_str(), &st) == 0) return written;
  DirHandle dir(::opendir(folder.c_str()));
  if (!dir) return std::nullopt;
  while (dirent* e = ::readdir(dir.get())) {
    std::string_view n = e->d_name;
    if (n == "." || n == "..") continue;
    // Only a name with an exact Windows form can be the one meant: a raw byte that reads
    // like the name, or a name holding a backslash, is another entry altogether.
    WindowsName candidate = windowsNameOf(n);
    if (candidate.exact && equalsNoCase(candidate.text, windowsName)) return std::string(n);
  }
  return std::nullopt;
}

bool lockHeld(const std::string& lockPath) {
  int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_start = 0;
  fl.l_len = 1;
  int r = ::fcntl(fd, F_GETLK, &fl);
  ::close(fd);
  return r == 0 && fl.l_type != F_UNLCK;
}

bool locksWork(const std::string& lockPath) {
  int fd = ::open(lockPath.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return false;
  struct flock fl {};
  fl.l_type = F_WRLCK;
  fl.l_whence = SEEK_SET;
  fl.l_len = 1;
  int r = ::fcntl(fd, F_GETLK, &fl);
  ::close(fd);
  return r == 0;
}

// Where locks do not work the wineserver takes its socket's existence as the lock.
bool socketAnswers(const std::string& socketPath) {
  sockaddr_un addr{};
  if (socketPath.size() >= sizeof addr.sun_path) return false;
  addr.sun_family = AF_UNIX;
  socketPath.copy(addr.sun_path, socketPath.size());
  int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
  if (fd < 0) return false;
  bool answered = ::connect(fd, reinterpret_cast<sockaddr*>(&addr), sizeof addr) == 0;
  ::close(fd);
  return answered;
}

}  // namespace

WinePrefix::WinePrefix(const std::string& hostFolder) {
  auto real = canonical(hostFolder);
  struct stat st {};
  if (!real || ::stat(real->c_str(), &st) != 0 || !S_ISDIR(st.st_mode))
    throw Failure(fail::kPathNotFound, "Path not found: the Wine prefix " + hostFolder + " does not exist");
  host_ = *real;
}

std::optional<std::string> WinePrefix::driveRoot(char letter) const {
  if (!std::isalpha(static_cast<unsigned char>(letter))) return std::nullopt;
  std::string link =
      host_ + "/dosdevices/" + static_cast<char>(std::tolower(static_cast<unsigned char>(letter))) + ":";
  auto root = canonical(link);
  if (!root) return std::nullopt;
  struct stat st {};
  if (::stat(root->c_str(), &st) != 0 || !S_ISDIR(st.st_mode)) return std::nullopt;
  // The host's root, the prefix and any folder above it would open everything else.
  if (*root == "/" || isInside(host_, *root)) return std::nullopt;
  return root;
}

HostPath WinePrefix::resolve(const std::string& windowsPath, bool followLast) const {
  const std::string& p = windowsPath;
  if (p.find('\0') != std::string::npos) refuse(p, "the name holds a NUL character");
  if (p.size() >= 2 && isSeparator(p[0]) && isSeparator(p[1])) refuse(p, "network paths are not served");
  if (p.size() < 2 || !std::isalpha(static_cast<unsigned char>(p[0])) || p[1] != ':' ||
      (p.size() > 2 && !isSeparator(p[2])))
    refuse(p, "not a full path with a drive letter");
  auto root = driveRoot(p[0]);
  if (!root) refuse(p, std::string("drive ") + p.substr(0, 2) + " is not served by the Wine prefix");

  std::vector<std::string> parts;
  for (std::size_t i = 2; i < p.size();) {
    std::size_t end = i;
    while (end < p.size() && !isSeparator(p[end])) ++end;
    std::string part = p.substr(i, end - i);
    if (part == "..") refuse(p, "\"..\" would leave the folder");
    if (!part.empty() && part != ".") parts.push_back(part);
    i = end + 1;
  }

  HostPath out;
  std::string current = *root;
  bool exists = true;
  for (std::size_t i = 0; i < parts.size(); ++i) {
    bool last = i + 1 == parts.size();
    if (last) {
      out.folder = current;
      out.folderExists = exists;
    }
    std::optional<std::string> found;
    if (exists) found = findEntry(current, parts[i]);
    if (!found) {
      exists = false;
      std::string name = cp1252ToUtf8(parts[i]);
      current += "/" + name;
      if (last) out.name = name;
      continue;
    }
    std::string next = current + "/" + *found;
    if (last) out.name = *found;
    struct stat st {};
    if (::lstat(next.c_str(), &st) == 0 && S_ISLNK(st.st_mode)) {
      if (last && !followLast) {
        out.isLink = true;
        current = next;
        break;
      }
      auto target = canonical(next);
      if (!target) {
        if (last) refuse(p, "the link it names leads nowhere");
        exists = false;
        current = next;
        continue;
      }
      if (!isInside(*target, *root)) refuse(p, "a link in it leads out of drive " + p.substr(0, 2));
      if (last) {
        out.folder = parentOf(*target);
        out.name = baseNameOf(*target);
      }
      current = *target;
    } else {
      current = next;
    }
  }
  out.path = current;
  return out;
}

std::optional<std::string> WinePrefix::hostToWindows(const std::string& hostPath) const {
  std::optional<std::string> real = canonical(hostPath);
  if (!real) {
    auto folder = canonical(parentOf(hostPath));
    if (!folder) return std::nullopt;
    real = (*folder == "/" ? "" : *folder) + "/" + baseNameOf(hostPath);
  }
  std::optional<std::string> best;
  std::size_t bestLength = 0;
  for (char letter = 'a'; letter <= 'z'; ++letter) {
    auto root = driveRoot(letter);
    if (!root || !isInside(*real, *root) || (best && root->size() <= bestLength)) continue;
    std::string rest = real->substr(root->size());
    for (char& c : rest)
      if (c == '/') c = '\\';
    if (rest.empty()) rest = "\\";
    best = std::string(1, static_cast<char>(std::toupper(static_cast<unsigned char>(letter)))) + ":" +
           utf8ToCp1252(rest);
    bestLength = root->size();
  }
  return best;
}

bool WinePrefix::wineserverRunning() const {
  struct stat st {};
  if (::stat(host_.c_str(), &st) != 0) return false;
  char sub[64];
  std::snprintf(sub, sizeof sub, "/server-%llx-%llx", static_cast<unsigned long long>(st.st_dev),
                static_cast<unsigned long long>(st.st_ino));

  // Upstream Wine keeps its server folder in /tmp/.wine-<uid>; Debian's Wine makes a
  // private temporary folder instead and writes its name into <prefix>/wineserver.
  std::vector<std::string> folders{"/tmp/.wine-" + std::to_string(::getuid()) + sub};
  if (auto named = readHostFile(host_ + "/wineserver")) {
    std::string name = *named;
    while (!name.empty() && std::isspace(static_cast<unsigned char>(name.back()))) name.pop_back();
    if (!name.empty() && name != "." && name != ".." && name.find('/') == std::string::npos) {
      const char* tmp = std::getenv("TMPDIR");
      if (tmp && *tmp) folders.push_back(std::string(tmp) + "/" + name + sub);
      folders.push_back("/tmp/" + name + sub);
    }
  }
  for (const auto& folder : folders) {
    std::string lock = folder + "/lock";
    if (lockHeld(lock)) return true;
    if (!locksWork(lock) && socketAnswers(folder + "/socket")) return true;
  }
  return false;
}

}  // namespace trwk::posix
