// Resource and control numbers of the main window's "User.def" page and of the window
// "User Defined Files" (4000-4399).
#pragma once

#define IDD_USERDEF_PAGE 4000
#define IDD_USERDEF_VIEWER 4001

// "User Defined" frame: per set 1..4 its "Activate" box and its name box.
#define IDC_UD_FRAME_SETS 4010
#define IDC_UD_ACTIVATE_FIRST 4011
#define IDC_UD_NAME_FIRST 4021
// The clean items of the four sets, "Clean User.def" and "Defined Files".
#define IDC_UD_ITEM_FIRST 4031
#define IDC_UD_CLEAN 4040
#define IDC_UD_DEFINED_FILES 4041
#define IDC_UD_PREVIEW 4042

// "User.def Files" frame.
#define IDC_UD_FRAME_FILES 4050
#define IDC_UD_CHOOSER 4051
#define IDC_UD_ENTRIES 4052
#define IDC_UD_SAVE 4053
#define IDC_UD_REMOVE 4054

// "All Files" frame.
#define IDC_UD_FRAME_ALL 4060
#define IDC_UD_DRIVES 4061
#define IDC_UD_FOLDERS 4062
#define IDC_UD_FILES 4063
#define IDC_UD_PATTERN 4064
#define IDC_UD_OPTION_ALL_FILES 4065
#define IDC_UD_OPTION_SINGLE 4066
#define IDC_UD_OPTION_FOLDER 4067
#define IDC_UD_ADD 4068
#define IDC_UD_FOLDER_PATH 4069

// The page's toolbar and its buttons "Add" and "Remove" (IDC_UD_TOOL_FIRST + 0, + 1).
#define IDC_UD_TOOLBAR 4070
#define IDC_UD_TOOL_FIRST 4071

// "User Defined Files".
#define IDC_UDV_CHOOSER 4100
#define IDC_UDV_ENTRIES 4101
#define IDC_UDV_DONE 4102
