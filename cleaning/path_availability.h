#pragma once
// Whether a browser's stored locations are known, and so whether its items can run. The
// Paths page greys a family out by the same rule and Clean All skips it by this one.
#include <string>

#include "cleaning/cleaning_context.h"

namespace trwk {

// A stored folder text is known unless it is the marker "-". An empty text is no folder
// at all and counts as unknown, so that no cleaner is ever pointed at the current folder.
inline bool locationKnown(const std::string& folder) {
  return !folder.empty() && folder != "-";
}

// History, temporary files and cookies folders.
inline bool internetExplorerAvailable(const PathValues& paths) {
  return locationKnown(paths.ie1) && locationKnown(paths.ie2) && locationKnown(paths.ie3);
}

// The users folder and the cache folder.
inline bool netscapeAvailable(const PathValues& paths) {
  return locationKnown(paths.netscape1A) && locationKnown(paths.netscape2);
}

// The user folder and the cache folder.
inline bool operaAvailable(const PathValues& paths) {
  return locationKnown(paths.opera1) && locationKnown(paths.opera2);
}

}  // namespace trwk
