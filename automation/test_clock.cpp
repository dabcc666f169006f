#include "automation/test_clock.h"

#include <cstdint>
#include <utility>

#include "automation/calendar.h"

namespace trwk {
namespace {

// Reads exactly `digits` decimal digits at text[at] and moves past them.
bool readNumber(const std::string& text, std::size_t& at, std::size_t digits, int& out) {
  if (at + digits > text.size()) return false;
  int value = 0;
  for (std::size_t i = 0; i < digits; ++i) {
    const char c = text[at + i];
    if (c < '0' || c > '9') return false;
    value = value * 10 + (c - '0');
  }
  out = value;
  at += digits;
  return true;
}

bool expect(const std::string& text, std::size_t& at, char c) {
  if (at >= text.size() || text[at] != c) return false;
  ++at;
  return true;
}

}  // namespace

std::optional<TestClockSetting> parseTestClock(const std::string& value) {
  TestClockSetting setting;
  DateTime& t = setting.start;
  std::size_t at = 0;
  const bool moment =
      readNumber(value, at, 4, t.year) && expect(value, at, '-') && readNumber(value, at, 2, t.month) &&
      expect(value, at, '-') && readNumber(value, at, 2, t.day) && expect(value, at, 'T') &&
      readNumber(value, at, 2, t.hour) && expect(value, at, ':') && readNumber(value, at, 2, t.minute) &&
      expect(value, at, ':') && readNumber(value, at, 2, t.second);
  if (!moment || !isValidDateTime(t)) return std::nullopt;
  if (at == value.size()) return setting;
  if (!expect(value, at, ',') || !expect(value, at, 'x')) return std::nullopt;
  const std::size_t digits = value.size() - at;
  if (digits == 0 || digits > 4 || !readNumber(value, at, digits, setting.speed)) return std::nullopt;
  if (setting.speed < 1 || setting.speed > TestClockSetting::kMaxSpeed) return std::nullopt;
  return setting;
}

TestClock::TestClock(const TestClockSetting& setting, RealTime realTime)
    : start_(setting.start), speed_(setting.speed), realTime_(std::move(realTime)), startedAt_(realTime_()) {}

DateTime TestClock::now() {
  const auto elapsed = std::chrono::duration_cast<std::chrono::milliseconds>(realTime_() - startedAt_);
  const std::int64_t seconds = elapsed.count() * speed_ / 1000;
  return addSeconds(start_, seconds);
}

int TestClock::realInterval(int milliseconds) const {
  if (milliseconds <= 0) return 0;
  const int scaled = milliseconds / speed_;
  return scaled > 0 ? scaled : 1;
}

}  // namespace trwk
