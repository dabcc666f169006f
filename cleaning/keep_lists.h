#pragma once
// Cookie keep lists: cookies1.lst (Internet Explorer file names) and cookies2.lst
// (Netscape cookies.txt lines) in the program folder.
#include <string>
#include <vector>

#include "cleaning/cleaning_context.h"
#include "platform/files.h"

namespace trwk {

// Fields of a list file: a field ends at a comma or a line end, blanks around it are
// dropped, a field in double quotes loses them. A missing file gives no fields.
std::vector<std::string> readListFields(Files& files, const std::string& path);

// Fills the main window's copy of the Internet Explorer keep list. Logs as "listCookiestoSave".
void listCookiesToSave(CleaningContext& context);
// The Internet Explorer cookie step: every cookie file not kept is overwritten by the
// safety level and deleted; "index.dat" is never touched. Logs as "removeCookies".
void removeCookies(CleaningContext& context);

}  // namespace trwk
