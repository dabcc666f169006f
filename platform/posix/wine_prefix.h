#pragma once
// A Wine prefix folder seen the way Wine sees it: drive letters are the links in
// <prefix>/dosdevices, names are matched without regard to letter case, and nothing
// outside the drives can be reached. A drive that would expose the host's root or the
// prefix itself (Wine's usual z: -> /) is never served.
#include <optional>
#include <string>

namespace trwk::posix {

struct HostPath {
  std::string path;           // host path (UTF-8) the Windows path stands for
  std::string folder;         // host folder that holds the last component (empty for a drive root)
  std::string name;           // host name of the last component (empty for a drive root)
  bool folderExists = false;  // every folder above the last component exists
  bool isLink = false;        // the last component is a symbolic link left unfollowed
};

class WinePrefix {
 public:
  // Throws trwk::Failure (76) when the folder is not there.
  explicit WinePrefix(const std::string& hostFolder);

  const std::string& hostPath() const { return host_; }
  std::string userRegPath() const { return host_ + "/user.reg"; }
  std::string systemRegPath() const { return host_ + "/system.reg"; }

  // Maps a Windows path ("C:\windows\Temp\x.txt", Windows-1252) to the host. Components
  // that do not exist yet are kept as written, so that new files can be named. Throws
  // trwk::Failure (76) for a path that is relative, UNC, contains "..", names a drive
  // that is not served, or runs through a link that leads out of its drive. With
  // followLast false a link in the last component is returned as the link itself.
  HostPath resolve(const std::string& windowsPath, bool followLast = true) const;

  // Canonical host folder of a served drive ('c'), or nothing.
  std::optional<std::string> driveRoot(char letter) const;

  // The Windows path of a host path inside a served drive ("C:\users"), or nothing.
  std::optional<std::string> hostToWindows(const std::string& hostPath) const;

  // True while a wineserver serves this prefix: it then holds the registry in memory
  // and would overwrite any change made to the files behind its back.
  bool wineserverRunning() const;

 private:
  std::string host_;  // canonical
};

}  // namespace trwk::posix
