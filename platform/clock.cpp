#include "platform/clock.h"

#include <cstdio>

namespace trwk {

std::string generalDateTime(const DateTime& t) {
  char buf[40];
  std::snprintf(buf, sizeof buf, "%04d-%02d-%02d %02d:%02d:%02d", t.year, t.month, t.day, t.hour,
                t.minute, t.second);
  return buf;
}

}  // namespace trwk
