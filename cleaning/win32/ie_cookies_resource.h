// Resource and control numbers of the "Internet Explorer Cookies" window (2000-2999).
#pragma once

#define IDD_IE_COOKIES 2000
#define IDC_IEC_ALL_LABEL 2001
#define IDC_IEC_FILES 2002
#define IDC_IEC_EXCLUDED_LABEL 2003
#define IDC_IEC_ENTRIES 2004
#define IDC_IEC_INFO_LABEL 2005
#define IDC_IEC_PREVIEW 2006
#define IDC_IEC_ADD 2007
#define IDC_IEC_DELETE 2008
// The toolbar and its buttons "Add" and "Remove" (IDC_IEC_TOOL_FIRST + 0, + 1).
#define IDC_IEC_TOOLBAR 2009
#define IDC_IEC_TOOL_FIRST 2010
