#pragma once
// Removing Internet Explorer's temporary files and history, the work the "Internet
// Properties" dialog's delete and clear buttons do. Our own engine does it on every
// platform, so that it behaves the same under Windows, Wine and the Linux build and
// never follows a link out of the folders it empties.
#include "cleaning/cleaning_context.h"

namespace trwk {

// The launcher's modes.
inline constexpr int kInetHistory = 0;         // clear the history (the IE1 folder)
inline constexpr int kInetTemporaryFiles = 1;  // delete the temporary files (IE2 and IE4)
inline constexpr int kInetBoth = 2;

// Removes everything inside the folders of the mode except the "index.dat" files, which
// are locked while Windows runs (zap removes them at the next start), and "desktop.ini";
// the folders holding them stay. Advances the progress bar once per action (twice for kInetBoth). A folder
// that is unknown ("-"), missing or a drive root is left alone. Logs as "ShowInetProperties".
void showInetProperties(CleaningContext& context, int mode);

}  // namespace trwk
