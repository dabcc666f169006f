// libFuzzer entry of every target: built by `make fuzz` (clang with -fsanitize=fuzzer) once
// per target, with TRWK_FUZZ_TARGET naming it; never part of the programs. A broken
// promise aborts with its text, which libFuzzer keeps as a finding.
//
// With TRWK_FUZZ_TOLD naming a file, each promise is told once a run: the file lists the
// ones told so far (up to the first quoted text), and an input that breaks one of them again is
// passed over, so that one fault found early does not keep the fuzzer from the others.
#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <string>

#include "fuzz/promises.h"

namespace {

const trwk::fuzz::Target& target() {
  static const trwk::fuzz::Target* found = [] {
    for (const auto& t : trwk::fuzz::targets())
      if (std::strcmp(t.name, TRWK_FUZZ_TARGET) == 0) return &t;
    std::fprintf(stderr, "no fuzz target named %s\n", TRWK_FUZZ_TARGET);
    std::abort();
  }();
  return *found;
}

// The promise without the texts it quotes: "... file "C:\x"" and "... file "C:\y"" are one.
std::string promiseOf(const std::string& broken) {
  return broken.substr(0, broken.find('"'));
}

bool toldBefore(const std::string& broken) {
  const char* told = std::getenv("TRWK_FUZZ_TOLD");
  if (!told || !*told) return false;
  const std::string promise = promiseOf(broken);
  std::ifstream in(told);
  for (std::string line; std::getline(in, line);)
    if (line == promise) return true;
  std::ofstream(told, std::ios::app) << promise << "\n";
  return false;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  auto broken = trwk::fuzz::checked(target(), {reinterpret_cast<const char*>(data), size});
  if (broken && !toldBefore(*broken)) {
    std::fprintf(stderr, "%s_fuzz: %s\n", target().name, broken->c_str());
    std::abort();
  }
  return 0;
}
