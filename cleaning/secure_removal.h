#pragma once
// Overwriting cookie stores by the safety level, the old-file sweep, the registry key
// delete and the letters of the most-recently-used lists.
#include <cstdint>
#include <optional>
#include <string>

#include "foundation/session.h"
#include "foundation/trap.h"
#include "platform/registry.h"

namespace trwk {

// Overwrite passes of a safety level: 1 -> 0, 2 -> 1, 3 -> 3, 4 -> 5, 5 -> 7; any other
// number is used as it is. Text that is no number throws Failure(13).
std::int16_t passes(const std::string& safetyLevel);

// "a".."t" for 1..20, else "".
std::string mruLetter(int index);

class SecureRemoval {
 public:
  explicit SecureRemoval(Session& session) : session_(session) {}

  // One pass over a file: the filler ("ow.chx" or "ow2.chx" from the program folder, drawn
  // at random each pass) written over the file's whole length in place and flushed.
  void overWriteFileIE(const std::string& cookieFolder, const std::string& fileName);  // IE3 + "\" + name
  void overWriteFileNetscape(const std::string& userFolder);                           // + "\cookies.txt"
  void overWriteFileOpera(const std::string& opera1);                                  // + "cookies4.dat"

  // Deletes the files the pattern matches (no hidden or system files) whose last change
  // lies `days` or more calendar days before the reference date (today when absent); a
  // link is judged by its own time and removed as itself. False when nothing matched, the
  // reference date is no date, or the first failure ended the sweep; that failure (a
  // protected folder is one) is reported to `trap` when one is given.
  bool sweepOldFiles(std::int32_t days, const std::string& pattern,
                     const std::optional<std::string>& referenceDate = std::nullopt, Trap* trap = nullptr);

  // Deletes a registry key; the result is ignored (a missing key or one with subkeys stays).
  void deleteRegistryKey(RootKey root, const std::string& subkey);

 private:
  Session& session_;
};

}  // namespace trwk
