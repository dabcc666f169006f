#pragma once
#include <cstdint>
#include <string>

namespace trwk {

struct DateTime {
  int year = 2000, month = 1, day = 1, hour = 0, minute = 0, second = 0;
  friend auto operator<=>(const DateTime&, const DateTime&) = default;
};

// The date and time in the program's general form, "2026-12-08 14:05:08", used by the
// run log and the last-cleaned stamp on every platform.
std::string generalDateTime(const DateTime& t);

class Clock {
 public:
  virtual ~Clock() = default;
  virtual DateTime now() = 0;  // local time
};

class Random {
 public:
  virtual ~Random() = default;
  virtual std::uint32_t next() = 0;
};

}  // namespace trwk
