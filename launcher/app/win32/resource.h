#pragma once
// Resource identifiers of the launcher.

#define IDD_ABOUT 100
#define IDS_ABOUT_MENU 101
#define IDD_LOADING 102
#define IDI_APP 128

#define IDC_LOADING_TITLE 1000
#define IDC_LOADING_COMPANY 1001
#define IDC_LOADING_PHASE 1002
#define IDC_LOADING_PROGRESS 1003
#define IDC_LOADING_ICON 1004

// System menu command of the About item; commands 16 to 31 all open the box.
#define ID_SYSTEM_ABOUT 16
