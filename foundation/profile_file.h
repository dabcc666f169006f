#pragma once
// The sectioned "profile" format of mainten.ini, url.ini and the plugin headers, read
// and changed as the bytes of the whole file. Pure: the callers do the file access.
//
// Reading follows the platform's profile reader: section and key names are compared
// without regard to case and with the blanks around them ignored, the first section and
// the first key of a name win, the value loses the blanks around it and one pair of
// matching surrounding quotes, and it is cut to 254 characters.
//
// Writing changes one line and leaves every other byte of the file as it was
// (comments, blank lines, odd spacing, lines of no known form), so a file written by
// hand keeps its look. Files that start with a UTF-8 or UTF-16 byte-order mark are read
// and written in that encoding; every other file is Windows-1252 bytes.
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

namespace trwk::profile {

// Longest value a read hands back: the platform copies into 255 characters with a NUL.
inline constexpr std::size_t kValueLimit = 254;

// The value of key in section, or nothing when the section, the key or the key's
// equals sign is missing. Never throws on any content of the file.
std::optional<std::string> read(std::string_view bytes, std::string_view section, std::string_view key);

// The bytes of the file after storing value under key in section: an existing key is
// changed in its place, a new key goes after the last line of its section (before the
// blank lines that separate it from the next one), a new section goes at the end of
// the file; new lines end in CR LF. An empty file gives "[section]\r\nkey=value\r\n".
// Nothing when the file already holds exactly that value (no rewrite is needed).
// Throws Failure(5) for text the format cannot hold: a line break or NUL anywhere, an
// empty key, a key with "=" or one that starts with "[" (it would read as a section).
std::optional<std::string> write(std::string_view bytes, std::string_view section, std::string_view key,
                                 std::string_view value);

}  // namespace trwk::profile
