// Resource and control numbers of the "Netscape Cookies" window (2100-2199).
#pragma once

#define IDD_NETSCAPE_COOKIES 2100
#define IDC_NSC_ALL_LABEL 2101
#define IDC_NSC_COOKIES 2102
#define IDC_NSC_EXCLUDED_LABEL 2103
#define IDC_NSC_ENTRIES 2104
#define IDC_NSC_ADD 2105
#define IDC_NSC_DELETE 2106
// The toolbar and its buttons "Add" and "Remove" (IDC_NSC_TOOL_FIRST + 0, + 1).
#define IDC_NSC_TOOLBAR 2107
#define IDC_NSC_TOOL_FIRST 2110
