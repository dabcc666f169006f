#include "testing/prefix_builder.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <ctime>
#include <fstream>
#include <stdexcept>
#include <vector>

#include "platform/posix/host_io.h"
#include "platform/posix/reg_file.h"
#include "platform/text_encoding.h"

namespace trwk::testing {
namespace {

// Keys are stamped with one fixed moment so that every built prefix is the same.
constexpr std::time_t kStamp = 1700000000;

std::string quoted(const std::string& cp1252) {
  return "\"" + posix::escapeRegText(cp1252ToUtf16(cp1252), '"', '"') + "\"";
}
std::string sz(const std::string& name, const std::string& value) {
  return quoted(name) + "=" + quoted(value) + "\n";
}
std::string expandSz(const std::string& name, const std::string& value) {
  return quoted(name) + "=str(2):" + quoted(value) + "\n";
}

std::string key(const std::string& path, const std::vector<std::string>& values = {}) {
  auto ticks = (static_cast<unsigned long long>(kStamp) + 11644473600ull) * 10000000ull;
  char time[64];
  std::snprintf(time, sizeof time, "#time=%llx\n", ticks);
  std::string out = "\n[" + posix::escapeRegText(cp1252ToUtf16(path), '[', ']') + "] " +
                    std::to_string(static_cast<long long>(kStamp)) + "\n" + time;
  for (const auto& v : values) out += v;
  return out;
}

void makeFolders(const std::string& host) {
  for (std::size_t i = 1; i <= host.size(); ++i)
    if (i == host.size() || host[i] == '/') ::mkdir(host.substr(0, i).c_str(), 0777);
}

void writeText(const std::string& host, const std::string& text) {
  std::ofstream out(host, std::ios::binary);
  out << text;
  if (!out) throw std::runtime_error("cannot write " + host);
}

std::string userReg(const std::string& user) {
  const std::string profile = "C:\\users\\" + user;
  const std::string roaming = profile + "\\AppData\\Roaming", local = profile + "\\AppData\\Local";
  const std::string windows = "\\Microsoft\\Windows";
  std::string text = posix::emptyRegFile("REGISTRY\\\\User\\\\S-1-5-21-0-0-0-1000");
  text += key("Environment", {sz("TEMP", profile + "\\Temp"), sz("TMP", profile + "\\Temp")});
  text += key("Software\\Microsoft\\Internet Explorer\\Main",
              {sz("Search Page", "https://www.google.com"), sz("Start Page", "https://www.winehq.org")});
  text += key("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders",
              {sz("AppData", roaming), sz("Cache", local + windows + "\\INetCache"),
               sz("Cookies", local + windows + "\\INetCookies"), sz("Desktop", profile + "\\Desktop"),
               sz("Favorites", profile + "\\Favorites"), sz("History", local + windows + "\\History"),
               sz("Local AppData", local), sz("Personal", profile + "\\Documents"),
               sz("Recent", roaming + windows + "\\Recent"),
               sz("StartUp", roaming + windows + "\\Start Menu\\Programs\\StartUp")});
  const std::string up = "%USERPROFILE%", upRoaming = up + "\\AppData\\Roaming",
                    upLocal = up + "\\AppData\\Local";
  text += key("Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\User Shell Folders",
              {expandSz("AppData", upRoaming), expandSz("Cache", upLocal + windows + "\\INetCache"),
               expandSz("Cookies", upLocal + windows + "\\INetCookies"),
               expandSz("Desktop", up + "\\Desktop"), expandSz("Favorites", up + "\\Favorites"),
               expandSz("History", upLocal + windows + "\\History"), expandSz("Local AppData", upLocal),
               expandSz("Personal", up + "\\Documents"), expandSz("Recent", upRoaming + windows + "\\Recent"),
               expandSz("StartUp", upRoaming + windows + "\\Start Menu\\Programs\\StartUp")});
  text += key("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  text += key("Volatile Environment",
              {sz("APPDATA", roaming), sz("HOMEDRIVE", "C:"), sz("HOMEPATH", "\\users\\" + user),
               sz("LOCALAPPDATA", local), sz("USERNAME", user), sz("USERPROFILE", profile)});
  return text;
}

std::string systemReg(const std::string& user) {
  std::string text = posix::emptyRegFile("REGISTRY\\\\Machine");
  text += key("Software\\Microsoft\\Windows\\CurrentVersion",
              {sz("CommonFilesDir", "C:\\Program Files\\Common Files"),
               sz("ProgramFilesDir", "C:\\Program Files"), expandSz("ProgramFilesPath", "%ProgramFiles%")});
  text += key("Software\\Microsoft\\Windows\\CurrentVersion\\Run");
  text += key("Software\\Microsoft\\Windows\\CurrentVersion\\RunOnce");
  text += key("Software\\Microsoft\\Windows NT\\CurrentVersion",
              {sz("CurrentVersion", "6.1"), sz("SystemRoot", "C:\\windows")});
  text += key("Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList",
              {expandSz("ProfilesDirectory", "C:\\users"), expandSz("ProgramData", "C:\\ProgramData"),
               expandSz("Public", "C:\\users\\Public")});
  text += key("Software\\Microsoft\\Windows NT\\CurrentVersion\\ProfileList\\S-1-5-21-0-0-0-1000",
              {"\"Flags\"=dword:00000000\n", sz("ProfileImagePath", "C:\\users\\" + user)});
  text += key("System\\CurrentControlSet\\Control\\Session Manager\\Environment",
              {expandSz("ComSpec", "%SystemRoot%\\system32\\cmd.exe"), sz("OS", "Windows_NT"),
               expandSz("PATH", "%SystemRoot%\\system32;%SystemRoot%;%SystemRoot%\\system32\\wbem"),
               expandSz("TEMP", "%SystemRoot%\\temp"), expandSz("TMP", "%SystemRoot%\\temp"),
               expandSz("windir", "%SystemRoot%"), sz("winsysdir", "C:\\windows\\system32")});
  return text;
}

}  // namespace

TempPrefix::TempPrefix(const PrefixOptions& options) : user_(options.userName) {
  const char* tmp = std::getenv("TMPDIR");
  std::string base = (tmp && *tmp) ? tmp : "/tmp";
  std::string pattern = base + "/trwk-prefix-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  if (!::mkdtemp(name.data())) throw std::runtime_error("cannot make a temporary folder under " + base);
  host_ = name.data();
  try {
    build();
  } catch (...) {
    posix::removeTree(host_);
    throw;
  }
}

void TempPrefix::build() {
  const std::string c = host_ + "/drive_c";
  const std::string profile = c + "/users/" + cp1252ToUtf8(user_);
  const std::string roaming = profile + "/AppData/Roaming/Microsoft/Windows";
  const std::string local = profile + "/AppData/Local/Microsoft/Windows";
  for (const std::string& folder :
       {host_ + "/dosdevices", c + "/windows/system32", c + "/windows/temp",
        c + "/Program Files/Common Files", c + "/ProgramData", c + "/users/Public", profile + "/Temp",
        profile + "/Desktop", profile + "/Documents", profile + "/Favorites", roaming + "/Recent",
        roaming + "/Start Menu/Programs/StartUp", local + "/INetCache", local + "/INetCookies",
        local + "/History"})
    makeFolders(folder);
  if (::symlink("../drive_c", (host_ + "/dosdevices/c:").c_str()) != 0)
    throw std::runtime_error("cannot make the c: drive in " + host_);
  writeText(host_ + "/user.reg", userReg(user_));
  writeText(host_ + "/system.reg", systemReg(user_));
}

TempPrefix::~TempPrefix() {
  posix::removeTree(host_);
}

}  // namespace trwk::testing
#endif
