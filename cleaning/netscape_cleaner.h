#pragma once
// Netscape cleaning ("Clean &Netscape"): cache, history, cookies and typed addresses of the
// user folder, in order. Logs as "cmdCleanNets".
#include <string>

#include "cleaning/cleaning_context.h"

namespace trwk {

void cleanNetscape(CleaningContext& context);

// prefs.js without its typed-address lines (those holding user_pref("browser.url_history.URL):
// every other line kept byte for byte and ended with CR LF. CR LF, LF and a lone CR each
// end a line; a last line without an ending is kept like any other.
std::string withoutTypedAddresses(const std::string& prefs);

}  // namespace trwk
