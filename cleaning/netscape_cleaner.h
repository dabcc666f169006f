#pragma once
// Netscape cleaning ("Clean &Netscape"): cache, history, cookies and typed addresses of the
// user folder, in order. Logs as "cmdCleanNets".
#include <string>
#include <vector>

#include "cleaning/cleaning_context.h"

namespace trwk {

void cleanNetscape(CleaningContext& context);

// prefs.js without its typed-address lines (those holding user_pref("browser.url_history.URL):
// every other line kept byte for byte and ended with CR LF. CR LF, LF and a lone CR each
// end a line; a last line without an ending is kept like any other.
std::string withoutTypedAddresses(const std::string& prefs);
// The same, dropping only the typed-address lines equal to one of the chosen lines.
std::string withoutTypedAddresses(const std::string& prefs, const std::vector<std::string>& chosen);
// The typed-address lines of prefs.js, in file order, without their endings.
std::vector<std::string> typedAddressLines(const std::string& prefs);
class Trap;
// Takes the chosen typed-address lines out of prefs.js by the cleaner's atomic rewrite; a
// read-only prefs.js stays and the failure is logged.
void removeTypedAddresses(Session& session, Trap& trap, const std::string& prefs,
                          const std::vector<std::string>& chosen);

}  // namespace trwk
