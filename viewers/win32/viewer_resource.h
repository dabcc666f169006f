// Resource and control numbers of the viewer windows (6000-6099); one template serves all.
#pragma once

#define IDD_VIEWER 6000
#define IDC_VIEWER_LIST 6001
#define IDC_VIEWER_SUMMARY 6002
#define IDC_VIEWER_REMOVE 6003
#define IDC_VIEWER_REFRESH 6004
#define IDC_VIEWER_CLOSE 6005
