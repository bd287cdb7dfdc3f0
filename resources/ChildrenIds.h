#pragma once
// Ids of the main frame's children that show no server form: the list of the print output,
// the terminal and the web browser (frame/Child*).

#define IDS_WEB_TITLE 50
#define IDS_CHILD_PRINT 174
#define IDS_LIST_TITLE 57682
#define IDS_WEB_CONTROL_MISSING 62024
#define IDI_CHILD_LIST 219
#define IDI_CHILD_WEB 633

// Commands of the children (routed to the active child only)
#define ID_CHILD_PRINT 32778
#define ID_CHILD_STOP 32780
#define ID_CHILD_BACK 32781
#define ID_CHILD_FORWARD 32783

// Child windows
#define IDC_LIST_EDIT 0xFFFF
#define IDC_WEB_CONTROL 1
#define IDC_WEB_PROGRESS 1
#define IDC_WEB_STATUS 59393
