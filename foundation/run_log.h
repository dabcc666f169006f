#pragma once
// The run log, trwk.log in the program folder: one quoted line per trapped failure.
#include <cstdint>
#include <string>

#include "platform/clock.h"
#include "platform/files.h"

namespace trwk {

class RunLog {
 public:
  static constexpr std::uint64_t kLimit = 150000;  // started afresh when strictly longer

  RunLog(Files& files, Clock& clock, const std::string& programFolder);

  // Appends "<date-time>\t<procedure> at line <step> - <description> (<number>)" in
  // quotes with CR LF, the name and description made safe by logSafeText. Never throws;
  // an entry that cannot be written is lost. Returns 1.
  int writeRunLog(const std::string& procedure, std::int16_t step, std::int16_t number,
                  const std::string& description) noexcept;

  const std::string& path() const { return path_; }

 private:
  Files& files_;
  Clock& clock_;
  std::string path_;
};

// Text as an entry carries it: bytes below 0x20 and 0x7F in caret notation ("^M", "^J",
// "^I", "^?") and each double quote doubled; every other byte unchanged.
std::string logSafeText(const std::string& text);

// programFolder + "\" + name, with a single separator also for a drive root ("C:").
std::string inProgramFolder(const std::string& programFolder, const std::string& name);

}  // namespace trwk
