#pragma once
// What the registry-file fuzz target asks of RegFile, shared with the replay of its
// corpus in the unit tests. An input is one control line "<key>\t<name>\t<text>" (ended by
// LF) followed by the text of a registry file, which may be malformed in any way.
#include <optional>
#include <string>
#include <string_view>

namespace trwk::fuzz {

// Parses the file, sets the value and reads the written text back. Nothing when every
// promise held; otherwise what broke.
std::optional<std::string> regFileRoundTrip(std::string_view input);

}  // namespace trwk::fuzz
