// libFuzzer entry for RegFile: built by `make fuzz` (clang with -fsanitize=fuzzer), never
// part of the programs. A broken promise aborts with its text.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>

#include "fuzz/reg_file_round_trip.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto broken = trwk::fuzz::regFileRoundTrip({reinterpret_cast<const char*>(data), size});
  if (broken) {
    std::fprintf(stderr, "reg_file_fuzz: %s\n", broken->c_str());
    std::abort();
  }
  return 0;
}
