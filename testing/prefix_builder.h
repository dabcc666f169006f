#pragma once
// A minimal Wine prefix in a fresh temporary folder, laid out the way Wine 8 lays out a
// new prefix: drive c: with windows\system32, windows\temp, Program Files and the user's
// profile (Temp, Recent, Cookies, History, the internet cache ...), user.reg and
// system.reg with the shell folders and environment Wine keeps. There is no z: drive.
// Native builds only: on Windows the real system is the sandbox.
#ifndef _WIN32
#include <string>

namespace trwk::testing {

struct PrefixOptions {
  std::string userName = "tester";  // Windows-1252; the host folder is named in UTF-8
};

class TempPrefix {
 public:
  explicit TempPrefix(const PrefixOptions& options = {});
  // Removes the whole folder; links inside are removed as links, never followed.
  ~TempPrefix();
  TempPrefix(const TempPrefix&) = delete;
  TempPrefix& operator=(const TempPrefix&) = delete;

  const std::string& hostPath() const { return host_; }
  // hostPath() + "/" + relative (a host path, UTF-8).
  std::string host(const std::string& relative) const { return host_ + "/" + relative; }
  const std::string& userName() const { return user_; }
  // "C:\users\<user>"
  std::string profile() const { return "C:\\users\\" + user_; }

 private:
  void build();
  std::string host_, user_;
};

}  // namespace trwk::testing
#endif
