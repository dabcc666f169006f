#include "foundation/run_log.h"

namespace trwk {

// Control bytes become caret notation ("^J" for a line feed, "^?" for DEL), as `cat -v`
// shows them, and a double quote is doubled, so that the entry stays one line whose
// enclosing quotes a reader can find. Everything else is written as it is.
std::string logSafeText(const std::string& text) {
  std::string out;
  out.reserve(text.size());
  for (char c : text) {
    const auto byte = static_cast<unsigned char>(c);
    if (byte < 0x20) {
      out += '^';
      out += static_cast<char>(byte + 0x40);
    } else if (byte == 0x7F) {
      out += "^?";
    } else if (c == '"') {
      out += "\"\"";
    } else {
      out += c;
    }
  }
  return out;
}

std::string inProgramFolder(const std::string& programFolder, const std::string& name) {
  std::string base = programFolder;
  while (!base.empty() && (base.back() == '\\' || base.back() == '/')) base.pop_back();
  return base + "\\" + name;
}

RunLog::RunLog(Files& files, Clock& clock, const std::string& programFolder)
    : files_(files), clock_(clock), path_(inProgramFolder(programFolder, "trwk.log")) {}

int RunLog::writeRunLog(const std::string& procedure, std::int16_t step, std::int16_t number,
                        const std::string& description) noexcept {
  try {
    std::string when = generalDateTime(clock_.now());
    std::string message = logSafeText(procedure) + " at line " + std::to_string(step) + " - " +
                          logSafeText(description) + " (" + std::to_string(number) + ")";
    auto size = files_.fileSize(path_);
    if (size && *size > kLimit) files_.replaceAtomically(path_, "Truncated " + when + "\r\n");
    files_.appendText(path_, "\"" + when + "\t" + message + "\"\r\n");
  } catch (...) {
    // The log is the diagnostic channel of last resort: losing an entry is acceptable,
    // raising into a caller that is already handling a failure is not.
  }
  return 1;
}

}  // namespace trwk
