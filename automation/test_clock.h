#pragma once
// A clock for tests of the running program only: it starts at a chosen moment and runs a
// whole number of times faster than real time, so that a test sees the schedule's
// minutes pass in seconds. It is made only when the program is started with
// --test-clock=2026-12-08T10:00:00,x60 (",xN" may be left out: real speed); a normal
// start never reads the option. The program's timers divide their intervals by the same
// factor (realInterval), so a 60 s schedule tick comes every second at x60.
#include <chrono>
#include <functional>
#include <optional>
#include <string>

#include "platform/clock.h"

namespace trwk {

struct TestClockSetting {
  DateTime start;
  int speed = 1;
  static constexpr int kMaxSpeed = 3600;
};

inline constexpr const char* kTestClockOption = "--test-clock=";

// The value after "--test-clock=": "YYYY-MM-DDTHH:MM:SS" with an optional ",xN",
// N from 1 to TestClockSetting::kMaxSpeed. Nothing for any other text.
std::optional<TestClockSetting> parseTestClock(const std::string& value);

class TestClock : public Clock {
 public:
  using RealTime = std::function<std::chrono::steady_clock::time_point()>;
  // realTime: where real time is read (tests pass their own).
  explicit TestClock(const TestClockSetting& setting, RealTime realTime = &std::chrono::steady_clock::now);

  DateTime now() override;
  int speed() const { return speed_; }
  // A timer interval in the program's time as real milliseconds: divided by the speed,
  // never below 1 ms; an interval of 0 (a stopped timer) stays 0.
  int realInterval(int milliseconds) const;

 private:
  DateTime start_;
  int speed_;
  RealTime realTime_;
  std::chrono::steady_clock::time_point startedAt_;
};

}  // namespace trwk
