#pragma once
// Sectioned settings files (mainten.ini, url.ini, plugin headers), read and written one
// key at a time. Nothing is cached: every call opens, parses and closes the file so
// that the other programs see each change at once.
#include <optional>
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

  // Many keys of one file written together (the settings a closing window saves): while
  // a batch is open, AddToini and getini on that file work on one copy read once, and the
  // file is replaced once when the batch ends, atomically, so that a crash leaves all of
  // the changes or none. A file that cannot be written then is logged as "AddToini ".
  class Batch {
   public:
    Batch(Settings& settings, const std::string& file);
    ~Batch();
    Batch(const Batch&) = delete;
    Batch& operator=(const Batch&) = delete;

   private:
    Settings& settings_;
    bool owner_;  // false inside another batch, which writes
  };

 private:
  // The open batch's copy: nothing until first read; unreadable when reading failed.
  struct Pending {
    std::string file;
    std::optional<std::string> bytes;
    bool unreadable = false;
    bool changed = false;
  };
  // The bytes of the batch's file, read on first use; nothing when it cannot be read.
  std::string* batchBytes(const std::string& file);
  void commit();

  Files& files_;
  RunLog* log_;
  std::optional<Pending> batch_;
};

}  // namespace trwk
