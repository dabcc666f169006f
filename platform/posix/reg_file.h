#pragma once
// One of Wine's registry files (user.reg, system.reg) in its text format:
//
//   WINE REGISTRY Version 2
//   ;; All keys relative to REGISTRY\\Machine
//
//   [Software\\Microsoft\\Windows\\CurrentVersion] 1700000000
//   #time=1d9a6b1c2f3e4d5
//   "ProgramFilesDir"="C:\\Program Files"
//   "Path"=str(2):"%SystemRoot%\\system32"
//   "Flags"=dword:00000001
//   "Blob"=hex:01,02,03      (long data goes on over lines that end in a backslash)
//
// The file is kept as its lines: a change rewrites only the lines it concerns, so
// everything else goes back byte for byte. Key paths are relative to the file's root,
// separated by single backslashes, and compared without regard to letter case. A key
// that has no values but has subkeys may have no block of its own; it exists all the same.
#include <ctime>
#include <optional>
#include <string>
#include <vector>

#include "platform/registry.h"

namespace trwk::posix {

// Wine's escaping of names and strings: backslash, the two given quote characters,
// control characters (\n, \t, octal) and every character above 127 (\xNNNN).
std::string escapeRegText(const std::u16string& text, char quote1, char quote2);
// Reads escaped text from `pos` up to the unescaped `end` character. Returns the
// position after it, or nothing when the line ends first.
std::optional<std::size_t> parseRegText(const std::string& line, std::size_t pos, char end,
                                        std::u16string& out);

// The header of an empty file whose keys are relative to `root` ("REGISTRY\\Machine").
std::string emptyRegFile(const std::string& root);

class RegFile {
 public:
  explicit RegFile(const std::string& text);
  std::string text() const;

  bool keyExists(const std::string& path) const;
  bool hasSubkeys(const std::string& path) const;
  // The value of an existing key; nothing when the key or the value is missing.
  std::optional<RegValue> value(const std::string& key, const std::string& name) const;

  // False when the key was already there (nothing changes).
  bool createKey(const std::string& path, std::time_t now);
  // False when the key does not exist. An empty name is the key's default value.
  bool setString(const std::string& key, const std::string& name, const std::string& text, std::time_t now);
  bool deleteValue(const std::string& key, const std::string& name);
  enum class Deleted { Yes, NotFound, HasSubkeys };
  Deleted deleteKey(const std::string& path, std::time_t now);

 private:
  struct Value {
    std::u16string name;              // empty for the default value
    std::size_t first = 0, last = 0;  // its lines, continuation lines included
  };
  struct Key {
    std::u16string path;
    std::size_t line = 0;            // the [key] line
    std::size_t begin = 0, end = 0;  // its lines with the blank line before it
    std::vector<Value> values;
  };

  void index();
  const Key* findKey(const std::u16string& path) const;
  bool exists(const std::u16string& path) const;
  bool anyBelow(const std::u16string& path) const;
  std::vector<std::string> newBlock(const std::u16string& path, std::time_t now) const;
  void appendBlock(const std::u16string& path, std::time_t now);
  // Puts the line of a value in place of the value's old lines, or after the key's last value.
  void placeValueLine(const Key& key, const std::u16string& name, const std::string& line);

  std::vector<std::string> lines_;  // each with its own line ending
  std::vector<Key> keys_;
};

}  // namespace trwk::posix
