#pragma once
// Removing Internet Explorer's temporary files and history, the work the "Internet
// Properties" dialog's delete and clear buttons do. Our own engine does it on every
// platform, so that it behaves the same under Windows, Wine and the Linux build and
// never follows a link out of the folders it empties.
#include <string>

#include "cleaning/cleaning_context.h"

namespace trwk {

// The launcher's modes.
inline constexpr int kInetHistory = 0;         // clear the history (the IE1 folder)
inline constexpr int kInetTemporaryFiles = 1;  // delete the temporary files (IE2 and IE4)
inline constexpr int kInetBoth = 2;

// The stored folders the launcher empties.
enum class IeFolder {
  History,     // IE1
  Cache,       // IE2, the temporary Internet files
  CacheIndex,  // IE4, the cache's "Content.IE5"
};

// Whether a folder is Internet Explorer's own, judged by what it is, not what it is
// called in mainten.ini: the history and the cache are the folders the shell names
// (compared without regard to case or trailing separators) or hold Internet Explorer's
// "History.IE5" or "Content.IE5"; the cache index is the cache's "Content.IE5".
bool isInternetExplorerFolder(Session& session, const std::string& folder, IeFolder kind);

// Removes everything inside the folders of the mode except the "index.dat" files, which
// are locked while Windows runs (zap removes them at the next start), and "desktop.ini";
// the folders holding them stay. Advances the progress bar once per action (twice for
// kInetBoth). A folder that is unknown ("-") is skipped; one that is missing, unsafe text
// or not Internet Explorer's (a mistyped path must not cost a folder tree) is left alone
// and logged, and a protected one is refused by the engine. Logs as "ShowInetProperties".
void showInetProperties(CleaningContext& context, int mode);

}  // namespace trwk
