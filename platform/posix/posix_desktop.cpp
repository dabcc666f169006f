#include "platform/posix/posix_desktop.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cctype>
#include <cerrno>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string_view>
#include <vector>

#include "platform/failure.h"
#include "platform/posix/host_io.h"
#include "platform/text_encoding.h"

extern char** environ;

namespace trwk::posix {
namespace {

const char* const kShellFolders = "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
const char* const kUserShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders";
const char* const kSystemEnvironment = "System\\CurrentControlSet\\Control\\Session Manager\\Environment";
const char* const kWindowsNt = "Software\\Microsoft\\Windows NT\\CurrentVersion";
const char* const kWindows = "Software\\Microsoft\\Windows\\CurrentVersion";
const char* const kProfiles = "Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList";
const char* const kShellFoldersMachine =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";

// "C:\users\me\Documents" -> "C:\users\me"; nothing above a drive's first level.
std::optional<std::string> parentFolder(const std::string& path) {
  std::size_t sep = path.find_last_of('\\');
  if (sep == std::string::npos || sep < 3) return std::nullopt;
  return path.substr(0, sep);
}

std::string withoutTrailingSeparator(std::string path) {
  while (path.size() > 3 && (path.back() == '\\' || path.back() == '/')) path.pop_back();
  return path;
}

// A full path: on a drive ("C:\...") or on a network share ("\\server\share").
bool isFullPath(const std::string& path) {
  if (path.size() >= 3 && std::isalpha(static_cast<unsigned char>(path[0])) && path[1] == ':' &&
      (path[2] == '\\' || path[2] == '/'))
    return true;
  return path.size() > 2 && path[0] == '\\' && path[1] == '\\';
}

std::optional<std::string> findProgram(const std::string& name) {
  const char* path = std::getenv("PATH");
  std::string dirs = path ? path : "/usr/bin:/bin";
  std::size_t start = 0;
  while (start <= dirs.size()) {
    std::size_t end = dirs.find(':', start);
    if (end == std::string::npos) end = dirs.size();
    std::string dir = dirs.substr(start, end - start);
    if (!dir.empty()) {
      std::string candidate = dir + "/" + name;
      struct stat st {};
      if (::stat(candidate.c_str(), &st) == 0 && S_ISREG(st.st_mode) &&
          ::access(candidate.c_str(), X_OK) == 0)
        return candidate;
    }
    start = end + 1;
  }
  return std::nullopt;
}

// Starts the program in a new session and lets it go: the intermediate child exits at
// once, so nothing is left to reap. False when the program could not be executed.
bool spawnDetached(const std::vector<std::string>& args, const std::vector<std::string>& env) {
  std::vector<char*> argv, envp;
  for (const auto& a : args) argv.push_back(const_cast<char*>(a.c_str()));
  argv.push_back(nullptr);
  for (const auto& e : env) envp.push_back(const_cast<char*>(e.c_str()));
  envp.push_back(nullptr);

  int report[2];
  if (::pipe2(report, O_CLOEXEC) != 0) return false;
  int devNull = ::open("/dev/null", O_RDWR | O_CLOEXEC);
  pid_t child = ::fork();
  if (child == 0) {
    ::close(report[0]);
    pid_t grandchild = ::fork();
    if (grandchild != 0) ::_exit(grandchild < 0 ? 1 : 0);
    ::setsid();
    if (devNull >= 0)
      for (int fd = 0; fd <= 2; ++fd) ::dup2(devNull, fd);
    ::execve(argv[0], argv.data(), envp.data());
    int err = errno;
    ssize_t ignored = ::write(report[1], &err, sizeof err);
    (void)ignored;
    ::_exit(127);
  }
  ::close(report[1]);
  if (devNull >= 0) ::close(devNull);
  bool started = false;
  if (child > 0) {
    int status = 0;
    while (::waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    int err = 0;
    ssize_t n;
    while ((n = ::read(report[0], &err, sizeof err)) < 0 && errno == EINTR) {
    }
    // The report pipe closes without a word when execve succeeds.
    started = WIFEXITED(status) && WEXITSTATUS(status) == 0 && n == 0;
  }
  ::close(report[0]);
  return started;
}

}  // namespace

std::vector<std::string> splitArguments(const std::string& commandLine) {
  std::vector<std::string> out;
  std::string current;
  bool inQuotes = false, inArgument = false;
  for (char c : commandLine) {
    if (c == '"') {
      inQuotes = !inQuotes;
      inArgument = true;
    } else if ((c == ' ' || c == '\t') && !inQuotes) {
      if (inArgument) out.push_back(current);
      current.clear();
      inArgument = false;
    } else {
      current += c;
      inArgument = true;
    }
  }
  if (inArgument) out.push_back(current);
  return out;
}

PosixDesktop::PosixDesktop(std::shared_ptr<const WinePrefix> prefix, std::string programFolder)
    : prefix_(prefix), registry_(prefix), programFolder_(std::move(programFolder)) {}

std::optional<std::string> PosixDesktop::text(RootKey root, const std::string& key, const std::string& name) {
  RegValue value;
  if (registry_.queryValue(root, key, name, value) != regstatus::kSuccess) return std::nullopt;
  if (value.type != ValueType::String && value.type != ValueType::ExpandString) return std::nullopt;
  return value.data;
}

std::optional<std::string> PosixDesktop::variable(const std::string& name) {
  if (auto v = text(RootKey::CurrentUser, "Volatile Environment", name)) return v;
  if (auto v = text(RootKey::CurrentUser, "Environment", name)) return v;
  if (auto v = text(RootKey::LocalMachine, kSystemEnvironment, name)) return v;
  // Variables Windows derives from elsewhere.
  if (equalsNoCase(name, "SystemRoot")) return text(RootKey::LocalMachine, kWindowsNt, "SystemRoot");
  if (equalsNoCase(name, "SystemDrive")) return std::string("C:");
  if (equalsNoCase(name, "ProgramFiles")) return text(RootKey::LocalMachine, kWindows, "ProgramFilesDir");
  if (equalsNoCase(name, "ProgramData") || equalsNoCase(name, "ALLUSERSPROFILE"))
    return text(RootKey::LocalMachine, kProfiles, "ProgramData");
  if (equalsNoCase(name, "PUBLIC")) return text(RootKey::LocalMachine, kProfiles, "Public");
  return std::nullopt;
}

// Expands %NAME% from the environment the registry holds; unknown names stay as written.
std::string PosixDesktop::expand(const std::string& in, int depth) {
  std::string out;
  std::size_t i = 0;
  while (i < in.size()) {
    std::size_t open = in.find('%', i);
    std::size_t close = open == std::string::npos ? std::string::npos : in.find('%', open + 1);
    if (close == std::string::npos) {
      out += in.substr(i);
      break;
    }
    out += in.substr(i, open - i);
    std::string name = in.substr(open + 1, close - open - 1);
    auto value = name.empty() || depth > 8 ? std::nullopt : variable(name);
    if (value) {
      out += expand(*value, depth + 1);
      i = close + 1;
    } else {
      out += in.substr(open, close - open);
      i = close;  // the closing % may open the next name
    }
  }
  return out;
}

// As Windows and Wine answer: from the expandable "User Shell Folders" value, and from the
// older "Shell Folders" copy only where that value is missing. A value that is no full path
// names no folder (knownFolder drops it); the copy does not stand in for it.
std::optional<std::string> PosixDesktop::shellFolder(const std::string& name) {
  if (auto v = text(RootKey::CurrentUser, kUserShellFolders, name)) return expand(*v);
  return text(RootKey::CurrentUser, kShellFolders, name);
}

std::optional<std::string> PosixDesktop::knownFolder(KnownFolder id) {
  std::optional<std::string> folder;
  switch (id) {
    case KnownFolder::History: folder = shellFolder("History"); break;
    case KnownFolder::InternetCache: folder = shellFolder("Cache"); break;
    case KnownFolder::Cookies: folder = shellFolder("Cookies"); break;
    case KnownFolder::Recent: folder = shellFolder("Recent"); break;
    case KnownFolder::AppData: folder = shellFolder("AppData"); break;
    case KnownFolder::Windows: folder = variable("SystemRoot"); break;
    case KnownFolder::System:
      folder = text(RootKey::LocalMachine, kSystemEnvironment, "winsysdir");
      if (!folder)
        if (auto windows = variable("SystemRoot")) folder = withoutTrailingSeparator(*windows) + "\\system32";
      break;
    case KnownFolder::ProgramFiles: folder = variable("ProgramFiles"); break;
    case KnownFolder::Temp:
      folder = text(RootKey::CurrentUser, "Environment", "TEMP");
      if (!folder) folder = text(RootKey::LocalMachine, kSystemEnvironment, "TEMP");
      break;
    case KnownFolder::ProgramFilesX86:
      folder = text(RootKey::LocalMachine, kWindows, "ProgramFilesDir (x86)");
      break;
    case KnownFolder::SystemX86:
      // Only a 64-bit prefix has the 32-bit system folder beside system32.
      if (text(RootKey::LocalMachine, kWindows, "ProgramFilesDir (x86)"))
        if (auto windows = variable("SystemRoot")) folder = withoutTrailingSeparator(*windows) + "\\syswow64";
      break;
    case KnownFolder::ProgramData:
      folder = variable("ProgramData");
      if (!folder) folder = text(RootKey::LocalMachine, kShellFoldersMachine, "Common AppData");
      break;
    case KnownFolder::Profiles: folder = text(RootKey::LocalMachine, kProfiles, "ProfilesDirectory"); break;
    case KnownFolder::Profile:
      folder = variable("USERPROFILE");
      if (!folder)
        if (auto documents = shellFolder("Personal")) folder = parentFolder(expand(*documents));
      break;
    case KnownFolder::Desktop: folder = shellFolder("Desktop"); break;
    case KnownFolder::Documents: folder = shellFolder("Personal"); break;
    case KnownFolder::LocalAppData: folder = shellFolder("Local AppData"); break;
  }
  // An answer that is no full path ("Recent", "%NOPE%\x") is as good as none.
  if (!folder) return std::nullopt;
  std::string path = withoutTrailingSeparator(expand(*folder));
  if (!isFullPath(path)) return std::nullopt;
  return path;
}

std::string PosixDesktop::programFolder() {
  if (!programFolder_.empty()) return withoutTrailingSeparator(programFolder_);
  if (const char* set = std::getenv("TRWK_PROGRAM_FOLDER"); set && *set) return withoutTrailingSeparator(set);
  char exe[4096];
  ssize_t n = ::readlink("/proc/self/exe", exe, sizeof exe - 1);
  if (n <= 0) return {};
  auto folder = prefix_->hostToWindows(parentOf(std::string(exe, static_cast<std::size_t>(n))));
  return folder ? withoutTrailingSeparator(*folder) : std::string();
}

bool PosixDesktop::startProgram(const std::string& path, const std::string& arguments) {
  HostPath program;
  try {
    program = prefix_->resolve(path);
  } catch (const Failure&) {
    return false;
  }
  struct stat st {};
  if (::stat(program.path.c_str(), &st) != 0 || !S_ISREG(st.st_mode)) return false;
  auto wine = findProgram("wine");
  if (!wine) return false;

  std::vector<std::string> args{*wine, program.path};
  for (auto& a : splitArguments(arguments)) args.push_back(cp1252ToUtf8(a));
  std::vector<std::string> env;
  for (char** e = environ; *e; ++e)
    if (std::string(*e).rfind("WINEPREFIX=", 0) != 0) env.emplace_back(*e);
  env.push_back("WINEPREFIX=" + prefix_->hostPath());
  return spawnDetached(args, env);
}

namespace {

// $XDG_DATA_HOME/Trash, else ~/.local/share/Trash; nothing without either.
std::optional<std::string> trashFolder() {
  if (const char* xdg = std::getenv("XDG_DATA_HOME"); xdg && xdg[0] == '/') return std::string(xdg) + "/Trash";
  if (const char* home = std::getenv("HOME"); home && *home) return std::string(home) + "/.local/share/Trash";
  return std::nullopt;
}

// The bytes of the regular files below an open folder, never through a link.
bool addBytes(int dirFd, std::uint64_t& bytes, int depth) {
  if (depth > 256) return false;
  int dup = ::dup(dirFd);
  if (dup < 0) return false;
  DIR* dir = ::fdopendir(dup);
  if (!dir) {
    ::close(dup);
    return false;
  }
  ::rewinddir(dir);  // a copy of the descriptor shares its place in the listing
  bool ok = true;
  while (dirent* e = ::readdir(dir)) {
    std::string_view name = e->d_name;
    if (name == "." || name == "..") continue;
    struct stat st {};
    if (::fstatat(dirFd, e->d_name, &st, AT_SYMLINK_NOFOLLOW) != 0) continue;
    if (S_ISREG(st.st_mode)) {
      bytes += static_cast<std::uint64_t>(st.st_size);
    } else if (S_ISDIR(st.st_mode)) {
      int child = ::openat(dirFd, e->d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
      if (child < 0) continue;
      ok = addBytes(child, bytes, depth + 1) && ok;
      ::close(child);
    }
  }
  ::closedir(dir);
  return ok;
}

}  // namespace

bool PosixDesktop::emptyRecycleBin() {
  std::optional<std::string> trash = trashFolder();
  if (!trash) return false;
  struct stat st {};
  if (::lstat(trash->c_str(), &st) != 0) return errno == ENOENT;
  if (!S_ISDIR(st.st_mode)) return false;  // a link is not followed to someone else's folder
  bool files = emptyFolder(*trash + "/files");
  bool info = emptyFolder(*trash + "/info");
  return files && info;
}

std::optional<RecycleBinContent> PosixDesktop::recycleBinContent() {
  std::optional<std::string> trash = trashFolder();
  if (!trash) return std::nullopt;
  RecycleBinContent content;
  struct stat st {};
  if (::lstat(trash->c_str(), &st) != 0) {
    if (errno == ENOENT) return content;  // no bin: nothing in it
    return std::nullopt;
  }
  if (!S_ISDIR(st.st_mode)) return std::nullopt;
  Fd files(::open((*trash + "/files").c_str(), O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC));
  if (files.get() < 0) {
    if (errno == ENOENT) return content;
    return std::nullopt;
  }
  {
    int dup = ::dup(files.get());
    DIR* dir = dup < 0 ? nullptr : ::fdopendir(dup);
    if (!dir) {
      if (dup >= 0) ::close(dup);
      return std::nullopt;
    }
    while (dirent* e = ::readdir(dir)) {
      std::string_view name = e->d_name;
      if (name != "." && name != "..") ++content.items;
    }
    ::closedir(dir);
  }
  if (!addBytes(files.get(), content.bytes, 0)) return std::nullopt;
  return content;
}

}  // namespace trwk::posix
