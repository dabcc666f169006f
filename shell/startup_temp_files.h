#pragma once
// The temporary files an interrupted replacing write leaves in the program folder. A
// file is replaced by writing a temporary file beside it and renaming that over it; a
// program killed in between leaves the temporary file behind. Each start removes them.
#include <cstdint>
#include <string>
#include <string_view>

#include "foundation/trap.h"
#include "platform/clock.h"
#include "platform/files.h"

namespace trwk {

// A temporary file is left alone until it is this old by the program's clock, so that a
// write under way in another running program is never hurt. The clock is local time, in
// which an hour can go missing when the clocks go forward: the hour is added on top.
inline constexpr std::int64_t kTempFileAgeSeconds = (60 + 10) * 60;

// The two forms of those names, for any target name <name>:
//   .<name>.trwk-XXXXXX           (Linux build: six letters or digits)
//   ~<name>.<hex>-<hex>.tmp       (Windows build: process and counter, lower-case hex)
bool isInterruptedWriteName(std::string_view name);

// Removes the regular files of that form directly in `folder` (none below it, no link,
// no folder) that were last written more than kTempFileAgeSeconds before `clock`'s now.
// Removes nothing else. A file that cannot be removed is reported to the trap.
void removeInterruptedWrites(Files& files, Clock& clock, const std::string& folder, Trap& trap);

}  // namespace trwk
