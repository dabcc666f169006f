#pragma once
// Text policy: every text inside the programs and in their files (mainten.ini, list
// files, trwk.log) is Windows-1252. It is turned into UTF-16 only at the Win32 API edge
// and into UTF-8 only where the POSIX backend names host files, as Wine does.
#include <string>

namespace trwk {

// One code point as UTF-8 (also lone surrogates, as three bytes).
void appendUtf8(std::string& out, char32_t codePoint);

std::string cp1252ToUtf8(const std::string& text);
// Characters Windows-1252 cannot hold become '?'; malformed UTF-8 bytes are taken as
// Windows-1252 bytes so that nothing is silently dropped.
std::string utf8ToCp1252(const std::string& text);
std::u16string cp1252ToUtf16(const std::string& text);
std::string utf16ToCp1252(const std::u16string& text);

// Letter case folding that agrees with Windows for Windows-1252 letters (ö ~ Ö).
char upperCp1252(char c);
std::string upperCp1252(const std::string& text);
bool equalsNoCase(const std::string& a, const std::string& b);

}  // namespace trwk
