#pragma once
// How every cleaning starts and ends, and Clean All.
#include <string>

#include "cleaning/cleaning_context.h"

namespace trwk {

// The start of a family cleaner run on its own (skipped while Clean All runs): status
// animation at 2000 ms, free space of "C:\" before, hourglass, progress for the family.
void beginFamilyRun(CleaningContext& context, int familyCode);
// The completion steps: animation off, last-cleaned stamp, chart, then close the main
// window or, in manual mode, "Cleaning System...Done".
void completeRun(CleaningContext& context);
// One tick of the status animation: "Please Wait..." and "Cleaning... <family>" alternate.
void animationTick(RunState& state);
// "Clean All": every available family in order, one start and one completion.
void cleanAll(CleaningContext& context);

}  // namespace trwk
