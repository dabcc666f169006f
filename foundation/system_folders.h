#pragma once
// The system's own folders: what no cleaning step may ever empty, remove, sweep or mask.
#include <string>
#include <vector>

#include "platform/desktop.h"

namespace trwk {

struct SystemFolder {
  std::string path;  // as the desktop answers it, without a trailing separator
  std::string what;  // "the Windows folder": said in a refusal
};

// Every such folder the desktop knows, the program folder last. Folders the desktop does
// not know are left out; the drive roots are protected by rule, not listed here.
std::vector<SystemFolder> systemFoldersOf(Desktop& desktop, const std::string& programFolder);

}  // namespace trwk
