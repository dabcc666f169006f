// Resource and control numbers of trwk6 (shared by trwk6.rc and the views); the icon's is
// IDI_PROGRAM in ui/win32/ui_resource.h.
#pragma once

#define IDD_AGREEMENT 100
#define IDC_LICENCE 101
#define IDC_SHOWTIPS 102
#define IDC_AGREE 103
#define IDC_DISAGREE 104

#define IDD_SPLASH 200
#define IDC_SPLASH_PICTURE 201
#define IDC_SPLASH_VERSION 202

#define IDD_TIPS 300
#define IDC_TIP1 301
#define IDC_TIP2 302
#define IDC_TIP3 303
#define IDC_DONOTPROMPT 304

#define IDD_MAIN 400
#define IDC_MAIN_PICTURE 401
#define IDC_TABS 402
#define IDC_PROGRESS 403
#define IDC_STATUS 404
#define IDC_NOTICE_IE 405
#define IDC_NOTICE_NETSCAPE 406
#define IDC_NOTICE_OPERA 407
#define IDC_CLEAN_ALL 410
// Check boxes of clean items 1..25: IDC_ITEM_FIRST + number - 1.
#define IDC_ITEM_FIRST 420
#define IDC_CLEAN_IE 450
#define IDC_IE_COOKIES 451
#define IDC_SAFETY_GROUP 460
#define IDC_SAFETY_SLIDER 461
#define IDC_SAFETY_LABEL 462
#define IDC_TABS_GROUP 469
// "Activate ... Tab" boxes: IE, Netscape, Opera, Windows.
#define IDC_TAB_ACTIVATE_FIRST 470
// "Activate Rules Tab", in a group of its own beside the four.
#define IDC_RULES_TAB_GROUP 475
#define IDC_RULES_TAB_ACTIVATE 476
#define IDC_RULES_TAB_NOTE 477
#define IDC_SETTINGS_GROUP 489
#define IDC_AUTOMATIC_CLOSE 490
#define IDC_AUTOSTART 491
// Paths page: "Auto-detect" tool buttons of IE, Netscape, Opera, Windows, then All.
#define IDC_AUTODETECT_FIRST 500
#define IDC_AUTODETECT_ALL 504
// Statistics page: the "Recovered Hard-Drive Space (Kb)" chart.
#define IDC_STATS_CHART 510
// Netscape, Opera and Windows pages: their cleaning buttons.
#define IDC_CLEAN_NETSCAPE 520
#define IDC_NETSCAPE_COOKIES 521
#define IDC_CLEAN_OPERA 522
#define IDC_CLEAN_WINDOWS 523
// The "View ..." buttons of the family pages, in the order of ViewerKind.
#define IDC_VIEW_FIRST 530
#define IDC_VIEW_COUNT 8

// The "Preview" buttons beside the clean buttons (IE, Netscape, Opera, Windows) and
// beside "Clean All", and the "Preview" window.
#define IDC_PREVIEW_IE 540
#define IDC_PREVIEW_NETSCAPE 541
#define IDC_PREVIEW_OPERA 542
#define IDC_PREVIEW_WINDOWS 543
#define IDC_PREVIEW_ALL 544
#define IDD_PREVIEW 600
#define IDC_PREVIEW_HEADING 601
#define IDC_PREVIEW_LIST 602
#define IDC_PREVIEW_PROGRESS 603
#define IDC_PREVIEW_STATUS 604
#define IDC_PREVIEW_CLEAN 605
#define IDC_PREVIEW_CLOSE 606

// The status animation's timer on the main window.
#define IDT_ANIMATION 1
