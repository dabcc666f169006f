// Resource and control numbers of the automatic-cleaning panel and the notification-area
// icon (5000-5199).
#pragma once

#define IDD_SCHEDULER_PANEL 5000
#define IDC_SCHEDULE_GROUP 5001
// The four lists and their captions: days, hours, minutes, family.
#define IDC_SCHEDULE_LABEL_FIRST 5010
#define IDC_SCHEDULE_LIST_FIRST 5020
#define IDC_SCHEDULE_START_STOP 5030
#define IDC_SCHEDULE_NEXT 5031

// The notification-area icon's menu; its choices reach the main window as WM_COMMAND.
#define IDM_TRAY_RESTORE 5100
#define IDM_TRAY_CLOSE 5101

// The schedule's timer on the main window.
#define IDT_SCHEDULE 5150
