#pragma once
// The program's name and version as users see them.

namespace trwk {

inline constexpr const char* kProgramName = "trwk6";
inline constexpr const char* kProductName = "Tarnwick";
inline constexpr const char* kVersion = "6.17";

}  // namespace trwk
