#include "cleaning/secure_removal.h"

#include <cctype>
#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "cleaning/removal.h"
#include "foundation/convert.h"
#include "foundation/trap.h"
#include "platform/failure.h"

namespace trwk {
namespace {

struct Date {
  int year, month, day;
};

bool isLeap(int year) {
  return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0;
}

int daysInMonth(int year, int month) {
  static const int days[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
  return month == 2 && isLeap(year) ? 29 : days[month - 1];
}

// Days since 1970-01-01 of a date of the proleptic Gregorian calendar.
long dayNumber(const Date& d) {
  long y = d.year - (d.month <= 2 ? 1 : 0);
  long era = (y >= 0 ? y : y - 399) / 400;
  long yoe = y - era * 400;
  long m = d.month;
  long doy = (153 * (m + (m > 2 ? -3 : 9)) + 2) / 5 + d.day - 1;
  long doe = yoe * 365 + yoe / 4 - yoe / 100 + doy;
  return era * 146097 + doe - 719468;
}

// A date written month first ("12/08/2026", "12-8-2026", "12.08.26") or year first
// ("2026-12-08"); nothing when the text is no valid date.
std::optional<Date> parseDate(const std::string& text) {
  std::vector<std::string> fields;
  std::string current;
  char separator = 0;
  std::size_t begin = text.find_first_not_of(' ');
  std::size_t end = text.find_last_not_of(' ');
  if (begin == std::string::npos) return std::nullopt;
  for (std::size_t i = begin; i <= end; ++i) {
    char c = text[i];
    if (std::isdigit(static_cast<unsigned char>(c))) {
      current += c;
      if (current.size() > 4) return std::nullopt;
    } else if (c == '/' || c == '-' || c == '.') {
      if (current.empty() || (separator && c != separator)) return std::nullopt;
      separator = c;
      fields.push_back(current);
      current.clear();
    } else {
      return std::nullopt;
    }
  }
  if (current.empty()) return std::nullopt;
  fields.push_back(current);
  if (fields.size() != 3) return std::nullopt;
  Date d{};
  if (fields[0].size() == 4) {
    d = {std::stoi(fields[0]), std::stoi(fields[1]), std::stoi(fields[2])};
    if (fields[1].size() > 2 || fields[2].size() > 2) return std::nullopt;
  } else {
    if (fields[0].size() > 2 || fields[1].size() > 2 || fields[2].size() == 3) return std::nullopt;
    d = {std::stoi(fields[2]), std::stoi(fields[0]), std::stoi(fields[1])};
    // Two-digit years: 00-29 are this century, 30-99 the last, as the classic rule has it.
    if (fields[2].size() <= 2) d.year += d.year < 30 ? 2000 : 1900;
  }
  if (d.year < 100 || d.year > 9999 || d.month < 1 || d.month > 12) return std::nullopt;
  if (d.day < 1 || d.day > daysInMonth(d.year, d.month)) return std::nullopt;
  return d;
}

}  // namespace

std::int16_t passes(const std::string& safetyLevel) {
  long level = toInteger(safetyLevel);
  if (level < std::numeric_limits<std::int16_t>::min() || level > std::numeric_limits<std::int16_t>::max())
    throw Failure(6);
  switch (level) {
    case 1: return 0;
    case 2: return 1;
    case 3: return 3;
    case 4: return 5;
    case 5: return 7;
    default: return static_cast<std::int16_t>(level);
  }
}

std::string mruLetter(int index) {
  if (index < 1 || index > 20) return "";
  return std::string(1, static_cast<char>('a' + index - 1));
}

namespace {

// One overwrite pass: a filler drawn at random, written over the whole file where its
// bytes lie and flushed. A missing filler or target is passed over without a word; any
// other failure is logged, so that a file that could not be overwritten does not go
// unnoticed before the caller deletes it.
void overwritePass(Session& session, const std::string& procedure, const std::string& target) {
  Platform& p = session.platform;
  Trap trap(session.log, procedure);
  std::string filler;
  trap.checkpoint();
  trap.run([&] {
    double r = static_cast<double>(p.random.next()) / 4294967296.0;
    int n = static_cast<int>(r * 2 + 1);
    std::string source = session.inFolder(n == 1 ? "ow.chx" : "ow2.chx");
    if (p.files.fileExists(source)) filler = p.files.readAll(source);
  });
  trap.checkpoint();
  if (!filler.empty() && p.files.fileExists(target)) {
    trap.run([&] {
      try {
        p.files.overwriteInPlace(target, filler);
      } catch (const Failure& f) {
        // A read-only cookie store is written over all the same, as a copy onto it was.
        if (f.number() != fail::kPermissionDenied) throw;
        p.files.clearAttributes(target);
        p.files.overwriteInPlace(target, filler);
      }
    });
  }
  trap.checkpoint();
  trap.run([&] { p.ui.setBusy(false); });  // the caller's hourglass goes, as it always has
}

}  // namespace

void SecureRemoval::overWriteFileIE(const std::string& cookieFolder, const std::string& fileName) {
  overwritePass(session_, "Module2.overWriteFileIE", cookieFolder + "\\" + fileName);
}

void SecureRemoval::overWriteFileNetscape(const std::string& userFolder) {
  overwritePass(session_, "Module2.overWriteFileNetscape", userFolder + "\\cookies.txt");
}

void SecureRemoval::overWriteFileOpera(const std::string& opera1) {
  overwritePass(session_, "Module2.overWriteFileOpera", opera1 + "cookies4.dat");
}

bool SecureRemoval::sweepOldFiles(std::int32_t days, const std::string& pattern,
                                  const std::optional<std::string>& referenceDate, Trap* trap) {
  Platform& p = session_.platform;
  Date reference{};
  if (referenceDate) {
    auto parsed = parseDate(*referenceDate);
    if (!parsed) return false;
    reference = *parsed;
  } else {
    DateTime now = p.clock.now();
    reference = {now.year, now.month, now.day};
  }
  // Each entry is judged by its own time: a link by the link's, never its target's.
  const long today = dayNumber(reference);
  bool matched = false;
  KeepRule keep = [&](const DirEntry& entry, int depth) {
    if (depth > 0) return false;
    if (entry.hidden || entry.system) return true;
    matched = true;
    const FileTime& t = entry.lastWrite;
    return today - dayNumber({t.year, t.month, t.day}) < days;
  };
  std::size_t sep = pattern.find_last_of("\\/");
  if (sep == std::string::npos || !p.files.folderExists(pattern.substr(0, sep + 1))) return false;
  try {
    Removal removal(session_);
    removal.deleteMatching(pattern, false, OnError::Stop, keep, true);
  } catch (const Failure& failure) {
    // What could not go is said, never passed over.
    if (trap) trap->report(failure.number(), failure.description());
    return false;
  }
  return matched;
}

void SecureRemoval::deleteRegistryKey(RootKey root, const std::string& subkey) {
  session_.platform.registry.deleteKey(root, subkey);
}

}  // namespace trwk
