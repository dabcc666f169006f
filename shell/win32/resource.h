// Resource and control numbers of trwk6 (shared by trwk6.rc and the views).
#pragma once

#define IDI_TRWK6 1

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
