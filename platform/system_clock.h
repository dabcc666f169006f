#pragma once
#include "platform/clock.h"

namespace trwk {

class SystemClock : public Clock {
 public:
  DateTime now() override;
};

class SystemRandom : public Random {
 public:
  SystemRandom();
  std::uint32_t next() override;

 private:
  std::uint64_t state_;
};

}  // namespace trwk
