// Resource and control numbers of the main window's "Plugins" page and of the
// "Plugin Info" window (4400-4699).
#pragma once

#define IDD_PLUGINS_PAGE 4400
#define IDC_PLUGINS_GROUP 4401
// "Available Plugins": an owner-drawn list whose rows carry a check box. A row's item
// data is 1 while it is ticked; the space key or a click on the box toggles it.
#define IDC_PLUGINS_LIST 4402
#define IDC_PLUGINS_CLEAN 4403
#define IDC_PLUGINS_INFO 4404
#define IDC_PLUGINS_CREATOR 4405
#define IDC_PLUGINS_PATH_CAPTION 4406
#define IDC_PLUGINS_PATH 4407
// List4, "Installed Plugins": the same names, one row per header file.
#define IDC_PLUGINS_LIST4_GROUP 4408
#define IDC_PLUGINS_LIST4 4409
#define IDC_PLUGINS_PREVIEW 4410

#define IDD_PLUGIN_INFO 4450
#define IDC_PLUGIN_INFO_NAME 4451
#define IDC_PLUGIN_INFO_VERSION 4452
#define IDC_PLUGIN_INFO_CREATED 4453
#define IDC_PLUGIN_INFO_AUTHOR 4454
#define IDC_PLUGIN_INFO_TEXT 4455
#define IDC_PLUGIN_INFO_DELETE 4456
#define IDC_PLUGIN_INFO_CAPTION_FIRST 4460
