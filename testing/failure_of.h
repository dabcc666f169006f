#pragma once
// The failure number a step throws, or 0 when it completes.
#include <functional>

#include "platform/failure.h"

namespace trwk::testing {

inline int failureOf(const std::function<void()>& step) {
  try {
    step();
  } catch (const Failure& f) {
    return f.number();
  }
  return 0;
}

}  // namespace trwk::testing
