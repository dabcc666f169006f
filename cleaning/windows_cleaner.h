#pragma once
// Windows cleaning ("Clean &Windows"): temporary folders, old files, the Recycle Bin,
// lost clusters, the Run / Find lists and "Additional Garbage" (this user's own temporary
// files, crash dumps, error reports and thumbnail cache; see kAdditionalGarbageHelp), in
// order. Logs as "cmdCleanWin"; the Recycle Bin step logs as "EmptyBitBucket".
#include "cleaning/cleaning_context.h"

namespace trwk {

void cleanWindows(CleaningContext& context);

}  // namespace trwk
