// Resource numbers that mean the same in every program of the family (the .rc files and
// the window helpers share them).
#pragma once

// The program's icon: title bars, the task bar and the notification area.
#define IDI_PROGRAM 1
