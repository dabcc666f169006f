#pragma once
// Date arithmetic on the local date and time as the clock gives it. Times are civil
// time without a zone: a day is always 24 hours, so adding days, then hours, then
// minutes is the same as adding the whole interval at once.
#include <cstdint>

#include "platform/clock.h"

namespace trwk {

// Seconds from 1970-01-01 00:00:00 to t (negative before it).
std::int64_t secondsSinceEpoch(const DateTime& t);
DateTime fromSecondsSinceEpoch(std::int64_t seconds);
DateTime addSeconds(const DateTime& t, std::int64_t seconds);
// Whole minutes since the epoch: two moments in the same minute give the same number.
std::int64_t minuteNumber(const DateTime& t);
// True for a real calendar moment (month 1-12, a day of that month, 00:00:00-23:59:59).
bool isValidDateTime(const DateTime& t);

}  // namespace trwk
