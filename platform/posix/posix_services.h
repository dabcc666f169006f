#pragma once
// Services over a given Wine prefix (tests and tools); makeSystemServices() takes the
// prefix from WINEPREFIX instead.
#include <string>

#include "platform/system_platform.h"

namespace trwk::posix {

// programFolder: the Windows path the program is taken to live in (empty: see
// PosixDesktop::programFolder). Throws trwk::Failure when the folder is not a prefix.
SystemServices makeServicesForPrefix(const std::string& hostPrefix, const std::string& programFolder = {});

}  // namespace trwk::posix
