#pragma once
#include "platform/clock.h"

namespace trwk::testing {

class FixedClock : public Clock {
 public:
  explicit FixedClock(DateTime t = {2026, 12, 8, 14, 5, 8}) : time(t) {}
  DateTime now() override { return time; }
  DateTime time;
};

// Repeatable bytes for tests.
class CountingRandom : public Random {
 public:
  std::uint32_t next() override { return value++ * 2654435761u; }
  std::uint32_t value = 1;
};

}  // namespace trwk::testing
