#include "platform/system_clock.h"

#include <chrono>
#include <ctime>
#include <random>

namespace trwk {

DateTime SystemClock::now() {
  std::time_t t = std::time(nullptr);
  std::tm tm{};
#ifdef _WIN32
  localtime_s(&tm, &t);
#else
  localtime_r(&t, &tm);
#endif
  return {tm.tm_year + 1900, tm.tm_mon + 1, tm.tm_mday, tm.tm_hour, tm.tm_min, tm.tm_sec};
}

SystemRandom::SystemRandom() {
  std::random_device rd;
  state_ = (std::uint64_t(rd()) << 32) ^ rd() ^
           std::uint64_t(std::chrono::steady_clock::now().time_since_epoch().count());
}

std::uint32_t SystemRandom::next() {
  // splitmix64: fast, and good enough for filler bytes and temporary names.
  std::uint64_t z = (state_ += 0x9E3779B97F4A7C15ull);
  z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
  z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
  return std::uint32_t((z ^ (z >> 31)) >> 32);
}

}  // namespace trwk
