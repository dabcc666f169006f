#pragma once
// Conversions of stored text. Text that is not a number or truth value throws
// Failure(13), so the reader keeps the setting it had.
#include <string>

namespace trwk {

// Decimal integer with optional blanks around it and an optional sign; a decimal
// fraction is rounded half to even as the classic conversion does.
long toInteger(const std::string& text);
// "True"/"False" in any case, or a number (non-zero is true).
bool toBoolean(const std::string& text);

}  // namespace trwk
