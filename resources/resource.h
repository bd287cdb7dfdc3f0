#pragma once
// Ids of the program's own resources (VORLAN.exe), of the language library's resources that
// the application core (app/) uses, of the commands the application object handles itself,
// and the private window messages. The main frame's, the log-in's and the form frames' ids
// are MainFrameIds.h's.

// Program (VORLAN.exe)
#define IDR_MAINFRAME 128     // main-window class icon
#define IDB_ABOUT_PICTURE 332 // about box picture
#define IDR_SPLASH_REGION 1   // RCDATA: region data of the splash window
#define IDS_APP_TITLE 57344   // default application title
#define IDB_SPLASH "VORLAN"   // splash bitmap (named)
#define IDB_MENUTREE 514      // menu tree images, 16 x 16 each

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

// Private window messages
#define WM_DESTROYMENU 0x402
#define WM_MENUSELECTED 0x403
#define WM_SETFKEY 0x404
#define WM_DIAGSELECTED 0x405
#define WM_DIAGSETFOCUS 0x406
#define WM_CREATEMDIDIALOG 0x407
#define WM_CREATEOWNDIALOG 0x408
#define WM_UPDATEDIALOG 0x409
#define WM_CHILDMESSAGE 0x40A
#define WM_MENUSHOW 0x40B
#define WM_ENABLEEDITS 0x40B
#define WM_REPEATDIALOG 0x40C
#define WM_CLOSEDIALOG 0x40D
#define WM_DIALOGINIT 0x40E
#define WM_SETMEMO 0x40F
#define WM_CHANGELOGIN 0x410
#define WM_DIALOGSTOP 0x411
#define WM_TIMEREVENT 0x412
#define WM_CREATETOOLBAR 0x413
#define WM_SETWINPOS 0x414
#define WM_INITAPP 0x415
#define EN_SEARCHSTRING 0x416
#define WM_TESTFOREVENT 0x417
#define WM_CREATEMENU 0x41E
#define WM_SETBUTTON 0x41F
#define WM_STARTMEMO 0x420
#define WM_TAB_ERASEBKGND 0x428
#define WM_CHECKFKEY 0x429
#define WM_TESTFKEY 0x42A
#define WM_STICKWINDOW 0x42C
#define WM_UPDATESTICK 0x42D
#define WM_GETSTICKEDWINDOW 0x42E
#define WM_HTML_HYPERLINK 0x43C
#define WM_ACTIVATEDIALOG 0x446
#define WM_CUSTOMIZE_TOOLBAR 0x464
#define WM_WEBBROWSER 0x4C8
#define WM_CALLFROMWEB 0x4C9
#define WM_RICH_SETTEXTMODE 0x500
#define WM_RICH_ENABLEFONT 0x501
