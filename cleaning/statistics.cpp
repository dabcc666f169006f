#include "cleaning/statistics.h"

#include <charconv>

#include "foundation/convert.h"
#include "foundation/trap.h"
#include "platform/failure.h"

namespace trwk {
namespace {

constexpr const char* kSection = "Statistics";

std::optional<unsigned long long> wholeNumber(const std::string& text) {
  std::size_t first = text.find_first_not_of(' ');
  std::size_t last = text.find_last_not_of(' ');
  if (first == std::string::npos) return std::nullopt;
  const char* begin = text.data() + first;
  const char* end = text.data() + last + 1;
  unsigned long long value = 0;
  auto [ptr, ec] = std::from_chars(begin, end, value);
  if (ec != std::errc() || ptr != end) return std::nullopt;
  return value;
}

}  // namespace

std::string statisticsDay(const DateTime& t) {
  return generalDateTime(t).substr(0, 10);
}

std::optional<unsigned long long> freedKB(const std::string& freeBefore, const std::string& freeAfter) {
  std::optional<unsigned long long> before = wholeNumber(freeBefore), after = wholeNumber(freeAfter);
  if (!before || !after) return std::nullopt;
  return *after > *before ? *after - *before : 0;
}

void Statistics::load(Session& session) {
  Settings& settings = session.settings;
  const std::string ini = session.maintenIni();
  Trap trap(session.log, "getStatistics");
  // Absent on a fresh install: Current stays 0 without a log line.
  std::string stored = settings.getini(kSection, "Current", ini);
  if (!stored.empty()) trap.run([&] { current = static_cast<int>(toInteger(stored)); });
  for (int n = 1; n <= kRows; ++n) {
    StatisticsRow& row = rows[static_cast<std::size_t>(n - 1)];
    row.date = settings.getini(kSection, "Date" + std::to_string(n), ini);
    row.size = settings.getini(kSection, "Size" + std::to_string(n), ini);
  }
}

void Statistics::save(Session& session) {
  Settings& settings = session.settings;
  const std::string ini = session.maintenIni();
  settings.AddToini(kSection, "Current", std::to_string(current), ini);
  for (int n = 1; n <= kRows; ++n) {
    const StatisticsRow& row = rows[static_cast<std::size_t>(n - 1)];
    settings.AddToini(kSection, "Size" + std::to_string(n), row.size, ini);
    settings.AddToini(kSection, "Date" + std::to_string(n), row.date, ini);
  }
}

int Statistics::nextRow() const {
  if (current < 1) return 1;
  if (current > kRows) return kRows;
  return current;
}

bool Statistics::empty() const {
  for (const StatisticsRow& row : rows)
    if (row.filled()) return false;
  return true;
}

bool Statistics::updateGraph(Session& session, const std::string& freeBefore, const std::string& freeAfter) {
  Trap trap(session.log, "updateGraph");
  bool made = false;
  trap.checkpoint();
  trap.run([&] {
    const std::string day = statisticsDay(session.platform.clock.now());
    Trap fix(session.log, "fixGraphData");
    fix.checkpoint();
    made = record(freeBefore, freeAfter, day);
    if (!made)
      fix.report(fail::kTypeMismatch, failureDescription(fail::kTypeMismatch) + ": free space before '" +
                                          freeBefore + "', after '" + freeAfter + "'");
  });
  return made;
}

bool Statistics::record(const std::string& freeBefore, const std::string& freeAfter, const std::string& day) {
  std::optional<unsigned long long> freed = freedKB(freeBefore, freeAfter);
  if (!freed) return false;
  int row = nextRow();
  if (row == kRows && rows[kRows - 1].filled()) {
    for (std::size_t i = 1; i < rows.size(); ++i) rows[i - 1] = rows[i];
  }
  rows[static_cast<std::size_t>(row - 1)] = {day, std::to_string(*freed)};
  current = row < kRows ? row + 1 : kRows;
  return true;
}

}  // namespace trwk
