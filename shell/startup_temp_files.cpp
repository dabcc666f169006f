#include "shell/startup_temp_files.h"

#include <optional>
#include <vector>

#include "automation/calendar.h"
#include "foundation/run_log.h"

namespace trwk {
namespace {

bool isAsciiAlnum(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

bool isLowerHex(char c) {
  return (c >= '0' && c <= '9') || (c >= 'a' && c <= 'f');
}

// Takes 1 to 8 lower-case hex digits off the end of `text`; false when there are none or more.
bool dropHexTail(std::string_view& text) {
  std::size_t n = 0;
  while (n < text.size() && isLowerHex(text[text.size() - 1 - n])) ++n;
  if (n == 0 || n > 8) return false;
  text.remove_suffix(n);
  return true;
}

bool dropSuffix(std::string_view& text, std::string_view suffix) {
  if (!text.ends_with(suffix)) return false;
  text.remove_suffix(suffix.size());
  return true;
}

// ".<name>.trwk-XXXXXX"
bool isHostTempName(std::string_view name) {
  constexpr std::size_t kRandom = 6;
  if (name.size() < kRandom || !name.starts_with('.')) return false;
  for (char c : name.substr(name.size() - kRandom))
    if (!isAsciiAlnum(c)) return false;
  name.remove_suffix(kRandom);
  return dropSuffix(name, ".trwk-") && name.size() > 1;
}

// "~<name>.<process>-<counter>.tmp"
bool isWindowsTempName(std::string_view name) {
  if (!name.starts_with('~') || !dropSuffix(name, ".tmp")) return false;
  if (!dropHexTail(name) || !dropSuffix(name, "-")) return false;
  if (!dropHexTail(name) || !dropSuffix(name, ".")) return false;
  return name.size() > 1;
}

std::int64_t secondsOf(const FileTime& t) {
  return secondsSinceEpoch(DateTime{t.year, t.month, t.day, t.hour, t.minute, t.second});
}

}  // namespace

bool isInterruptedWriteName(std::string_view name) {
  return isHostTempName(name) || isWindowsTempName(name);
}

void removeInterruptedWrites(Files& files, Clock& clock, const std::string& folder, Trap& trap) {
  ListOptions options;
  options.files = true;
  options.folders = false;
  options.hiddenAndSystem = true;  // the Linux build's names start with a dot
  std::vector<DirEntry> entries;
  if (!trap.run([&] { entries = files.list(inProgramFolder(folder, "*"), options); })) return;
  const std::int64_t now = secondsSinceEpoch(clock.now());
  for (const DirEntry& entry : entries) {
    if (entry.isFolder || entry.isLink || !isInterruptedWriteName(entry.name)) continue;
    const std::string path = inProgramFolder(folder, entry.name);
    // A file that is gone already, or newer than that, belongs to someone else's write.
    std::optional<FileTime> written = files.lastWriteTime(path);
    if (!written || now - secondsOf(*written) <= kTempFileAgeSeconds) continue;
    trap.run([&] {
      try {
        files.deleteFile(path);
      } catch (const Failure& f) {
        if (f.number() != fail::kFileNotFound) throw;  // another start was quicker
      }
    });
  }
}

}  // namespace trwk
