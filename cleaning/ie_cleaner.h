#pragma once
// Internet Explorer cleaning ("&Clean IE"): items 1 to 5 in order. Logs as "cmdCleanIE".
#include "cleaning/cleaning_context.h"

namespace trwk {

void cleanInternetExplorer(CleaningContext& context);

}  // namespace trwk
