#pragma once
// Small helpers the creator's two windows share.
#include <windows.h>

#include <string>

namespace trwk::creator::win32 {

// The text of a dialog's control, as Windows-1252.
std::string itemText(HWND dialog, int id);
// The program's icon on the title bar and in the task bar.
void setWindowIcon(HWND window);

}  // namespace trwk::creator::win32
