#pragma once
// Resource numbers of the program and of its language library.

// Program (VORLAN.exe)
#define IDR_MAINFRAME 128         // main-window class icon
#define IDB_ABOUT_PICTURE 332     // about box picture
#define IDR_SPLASH_REGION 1       // RCDATA: region data of the splash window
#define IDS_APP_TITLE 57344       // default application title
#define IDB_SPLASH "VORLAN"       // splash bitmap (named)

// Language library (VORLANx.DLL): accelerators, dialogs, strings
#define IDR_ACCELERATORS 129
#define IDD_ABOUTBOX 100
#define IDD_ABOUT_INFO 32000
#define IDD_OLE_ERROR 195
#define IDD_WAIT_EXECUTE 643

#define IDS_DETAILS_MORE 9
#define IDS_DETAILS_LESS 10
#define IDS_HELP_TEXT 48
#define IDS_SOCKET_INIT_FAILED 100
#define IDS_SPLASH_TEXT 62010
#define IDS_SERVER_MODE_ERROR 62012
#define IDS_SERVER_DISK_FULL 62013
#define IDS_OLE_CREATE_FAILED 49153
#define IDS_OLE_OPEN_FAILED 49154
#define IDS_ABOUT_VERSION 49168
#define IDS_IDLE_TEXT 57345

// Controls
#define IDC_ABOUT_SMALLPRINT 1006
#define IDC_ABOUT_INFO 1000
#define IDC_ABOUT_VERSION 1034
#define IDC_ABOUT_QREL 1046
#define IDC_ABOUT_SERVER 1047
#define IDC_ABOUT_UCI 1048
#define IDC_ABOUT_REL 1049
#define IDC_ABOUT_PICTURE 1050
#define IDC_ERR_FRAME 1019
#define IDC_ERR_TEXT 1047
#define IDC_ERR_DETAILS 1048
#define IDC_ERR_ICON 1049
#define IDC_ERR_MAIL 1179
#define IDC_WAIT_TEXT 1110
#define IDC_WAIT_PROGRESS 1130
#define IDC_WAIT_STATUS 1170

// Commands
#define ID_APP_ABOUT 57664
#define ID_LOGIN 57600
#define ID_OPTIONS 32828
#define ID_DEVELOPER_START 33030

// Private window messages
#define WM_INITAPP 0x415
