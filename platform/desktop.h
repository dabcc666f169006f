#pragma once
// Shell services: known folders, the recycle bin, starting programs.
#include <cstdint>
#include <optional>
#include <string>

namespace trwk {

enum class KnownFolder {
  History,
  InternetCache,
  Cookies,
  Recent,
  Windows,
  System,
  ProgramFiles,
  AppData,
  Temp,
  // The folders a cleaner must never empty, asked for by the protection policy.
  ProgramFilesX86,  // "Program Files (x86)" on a 64-bit system
  SystemX86,        // SysWOW64 on a 64-bit system
  ProgramData,      // the common application data ("All Users")
  Profiles,         // the folder that holds every user's profile ("C:\users")
  Profile,          // this user's profile root
  Desktop,
  Documents,
  LocalAppData,  // this user's local (not roaming) application data
};

// What the recycle bin holds: the entries at its top and the bytes of the files in them.
struct RecycleBinContent {
  std::uint64_t items = 0;
  std::uint64_t bytes = 0;
};

class Desktop {
 public:
  virtual ~Desktop() = default;
  // Folder path without a trailing separator, or nothing when the shell does not know it.
  virtual std::optional<std::string> knownFolder(KnownFolder id) = 0;
  // Folder of the running executable, without a trailing separator.
  virtual std::string programFolder() = 0;
  // Starts a program in a normal window without waiting; false when it could not start.
  virtual bool startProgram(const std::string& path, const std::string& arguments) = 0;
  virtual bool emptyRecycleBin() = 0;
  // What emptying the bin would give back; nothing when it cannot be told (a bin that is
  // a link, an unreadable one, a system that does not say).
  virtual std::optional<RecycleBinContent> recycleBinContent() { return std::nullopt; }
};

}  // namespace trwk
