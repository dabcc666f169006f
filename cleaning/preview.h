#pragma once
// A cleaning previewed, carried out from its plan, or run as usual and counted. All three
// run the same family cleaner on the recording services (recording_services.h).
#include <functional>

#include "cleaning/cleaning_context.h"
#include "cleaning/cleaning_plan.h"
#include "cleaning/recording_services.h"

namespace trwk {

struct PreviewProgress {
  // After every repaint of the preview's own progress bar and every 256 planned entries:
  // the preview's state (its progress bar) and the plan so far.
  std::function<void(const RunState& state, const Plan& plan)> onProgress;
  // Asked as the preview goes: true ends it early, with what it found so far.
  std::function<bool()> stopped;
};

// Runs the cleaner on copies of the context's ticks, paths and state, over services that
// change nothing; returns what it would remove. The context's own state is not touched.
Plan previewCleaning(CleaningContext& context, const FamilyCleaner& cleaner,
                     const PreviewProgress& progress = {});

// Runs the cleaner on the context as a clean button does (progress bar, completion,
// statistics), letting only the plan's entries go.
RunReport cleanPlanned(CleaningContext& context, const FamilyCleaner& cleaner, const Plan& plan);

// Runs the cleaner on the context as a clean button does and counts what went.
RunReport cleanCounted(CleaningContext& context, const FamilyCleaner& cleaner);

}  // namespace trwk
