#pragma once
// Text for the console trwk6.exe was started from. The program is a windowed one, so it
// has no console of its own: it writes to a redirected output, or attaches to the
// console of the program that started it.
#include <string>

namespace trwk::win32 {

// text: UTF-8 with "\n" line ends.
void writeConsole(const std::string& text, bool toErrorOutput);

}  // namespace trwk::win32
