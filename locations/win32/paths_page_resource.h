// Resource and control numbers of the main window's "Paths" page (3000-3999).
#pragma once

#define IDD_PATHS_PAGE 3000
// Frames: Internet Explorer, Netscape, Opera, Windows.
#define IDC_PATHS_GROUP_FIRST 3001
// Per path box, in the order of PathBox: its caption, the box and its pick button.
#define IDC_PATH_CAPTION_FIRST 3010
#define IDC_PATH_BOX_FIRST 3020
#define IDC_PATH_PICK_FIRST 3030
// The Netscape "User" list.
#define IDC_PATH_USER_CAPTION 3040
#define IDC_PATH_USER 3041
// "Auto-Detect" and "Save" of each frame, in the frames' order.
#define IDC_PATH_DETECT_FIRST 3050
#define IDC_PATH_SAVE_FIRST 3060
#define IDC_PATH_WINDOWS_WARNING 3070
