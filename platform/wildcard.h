#pragma once
// Windows file-name masks: '*' and '?' with the DOS rules FindFirstFile applies to long
// names ("*.*" matches a name without a dot, "*." only names without one, "a?" also "a").
#include <string>

namespace trwk {

// Name and mask are Windows-1252; letters are compared without regard to case.
bool matchesMask(const std::string& name, const std::string& mask);

}  // namespace trwk
