#pragma once
// Sectioned settings files (mainten.ini, url.ini, plugin headers), read and written one
// key at a time. Nothing is cached: every call opens, parses and closes the file so
// that the other programs see each change at once.
#include <string>

#include "foundation/run_log.h"
#include "platform/files.h"

namespace trwk {

class Settings {
 public:
  // With no run log the failures are not reported (the plugin creator's own copy).
  Settings(Files& files, RunLog* log);

  // Value of key in section of file (a full path); empty when anything is absent.
  // At most 254 characters. Failures are logged as "getini <section> <key> <file> ".
  std::string getini(const std::string& section, const std::string& key, const std::string& file);
  // Stores the value; true when it was stored. Failures are logged as
  // "AddToini <section> <key> <value> <file> ".
  bool AddToini(const std::string& section, const std::string& key, const std::string& value,
                const std::string& file);

  // True for an existing folder or file (a trailing separator is allowed).
  bool folderExists(const std::string& path);
  // True for an existing file only.
  bool fileExists(const std::string& path);

 private:
  Files& files_;
  RunLog* log_;
};

}  // namespace trwk
