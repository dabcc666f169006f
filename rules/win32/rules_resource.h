// Resource and control numbers of the main window's "Rules" page (4700-4749).
#pragma once

#define IDD_RULES_PAGE 4700
#define IDC_RULES_GROUP 4701
// A report list with check boxes: one row per detected entry, in group order.
#define IDC_RULES_LIST 4702
#define IDC_RULES_CLEAN 4703
#define IDC_RULES_SUMMARY 4704
// What the highlighted entry is: its file and line, its Warning, why it is refused.
#define IDC_RULES_DETAILS 4705
#define IDC_RULES_PREVIEW 4706
