#pragma once
// Opera cleaning ("Clean &Opera"): cache, window layout, cookies and visited links, in
// order. Logs as "cmdCleanOpera".
#include "cleaning/cleaning_context.h"

namespace trwk {

void cleanOpera(CleaningContext& context);

}  // namespace trwk
