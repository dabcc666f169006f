#pragma once
// Windows cleaning ("Clean &Windows"): temporary folders, old files, the Recycle Bin,
// lost clusters and the Run / Find lists, in order. Logs as "cmdCleanWin"; the Recycle
// Bin step logs as "EmptyBitBucket".
#include "cleaning/cleaning_context.h"

namespace trwk {

void cleanWindows(CleaningContext& context);

}  // namespace trwk
