#pragma once
// Windows file-name masks: '*' and '?' with the DOS rules FindFirstFile applies to long
// names ("*.*" matches a name without a dot, "*." only names without one, "a?" also "a").
#include <string>
#include <vector>

#include "platform/files.h"

namespace trwk {

// Name and mask are Windows-1252; letters are compared without regard to case.
bool matchesMask(const std::string& name, const std::string& mask);

// The one order listings come in on every file system and on both backends: by name
// regardless of case, then by exact spelling.
void sortByName(std::vector<DirEntry>& entries);

}  // namespace trwk
