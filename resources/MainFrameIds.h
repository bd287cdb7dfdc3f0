#pragma once
// Ids of the main frame, the log-in and the form frames (frame/): their resources in the
// language library (menus, dialogs and their controls, icons, strings), their commands, also
// those that others post to them, and the ids of their child windows. The program's own
// resources, the application core's ids and the private window messages are resource.h's.

// ---- main frame

// Language library: menu, dialogs, icons, strings
#define IDR_MAINMENU 129
#define IDD_SPACE_CHECK 198
#define IDC_SPACE_TEXT 1065
#define IDI_LOGGED_IN 566
#define IDI_LOGGED_OUT 570

#define IDS_CLOSE_WITH_FORMS 24
#define IDS_RELOGIN_WITH_FORMS 25
#define IDS_UNKNOWN_ENTRY 47
#define IDS_SPACE_CHECKING 129
#define IDS_SPACE_LOW 130
#define IDS_SPACE_NONE 131
#define IDS_NOT_LOGGED_IN 49173
#define IDS_LOGIN_INFO 49174
#define IDS_SAVE_MENU_EDIT 49178 // save the edited menu? (Yes/No)
#define IDS_IDLE_TEXT 57345
#define IDS_INTERNET_ADDRESS 62011
#define IDS_SPACE_EXPANDING 65200
#define IDS_SPACE_EXPAND_FAILED 65201
#define IDS_CHANGE_LOGIN_WITH_FORMS 59403
#define IDS_TELNET_RIGHTS 62021
#define IDS_MEMO_LABEL 62022
#define IDS_MENU_LABEL 62023

// Commands
#define ID_LOGIN 57600
#define ID_FILE_CLOSE 57602
#define ID_APP_EXIT 57665
#define ID_EDIT_CLEAR 57632
#define ID_EDIT_COPY 57634
#define ID_EDIT_CUT 57635
#define ID_EDIT_PASTE 57637
#define ID_EDIT_SELECT_ALL 57642
#define ID_EDIT_UNDO 57643
#define ID_WINDOW_ARRANGE 57649
#define ID_WINDOW_CASCADE 57650
#define ID_WINDOW_TILE_HORZ 57651
#define ID_HELP_MANUAL 57666
#define ID_HELP_USING 57668
#define ID_HELP_KEY 57670
#define ID_VIEW_MENUBAR 32777
#define ID_DEFAULT_VIEW 32808
#define ID_VIEW_STANDARD 32810
#define ID_VIEW_DIALOG 32811
#define ID_VIEW_MENUTOOL 32821
#define ID_VIEW_STATUS_BAR 59393
#define ID_MENU_EDIT_ON 32822
#define ID_MENU_EDIT_OFF 32823
#define ID_OPTIONS 32828
#define ID_INTERNET 32885
#define ID_OPEN_EXCEL 32889
#define ID_OPEN_WORD 32890
#define ID_INTERNET_PRODUCTS 32887
#define ID_NEXT_WINDOW 32892
#define ID_WINDOW_RESTORE 32894
#define ID_WINDOW_MORE 32895
#define ID_SUPPORT_REQUEST 32850
#define ID_WINDOW_CLOSE_ALL 32896
#define ID_DOCUMENTS 32898
#define ID_SEND_MAIL 32899
#define ID_MEMO_FIRST 32900
#define ID_MEMO_LAST 32980
#define ID_FKEY_FIRST 32800 // F5-F12
#define ID_FKEY_LAST 32807
#define ID_FOCUS_MEMO 33028
#define ID_FOCUS_MENU 33029
#define ID_DEVELOPER_START 33030
#define ID_WEBBROWSER 33036
#define ID_MDI_FIRST 65280
#define ID_MDI_LAST 65289

// Child windows
#define ID_MENUTREE_BAR 1 // the menu tree's bar
#define IDC_MENUTREE 1011 // the tree control inside that bar
#define ID_STATUS_BAR 59393
#define ID_MDI_CLIENT 0xE900
// The main frame's bars
#define IDC_MEMO_BAR 0xE81B
#define IDC_MEMO_BOX 0xE81C
#define IDC_MENU_BAR 0xE81D
// Menu entries of the main frame's title menu
#define ID_TITLE_MENU_FIRST 65000
#define ID_TITLE_MENU_LAST 65010

// ---- the main frame's small dialogs: help window, window list, support request

#define IDD_HELP 275
#define IDC_HELP_TEXT 1110
#define IDD_WINDOW_LIST 329
#define IDC_WINDOW_LIST 1024
#define IDD_SUPPORT_REQUEST 361
#define IDC_SUPPORT_REPORT 1110
#define IDC_SUPPORT_DESCRIPTION 1174

// ---- log-in

#define IDD_LOGIN 161
#define IDC_LOGIN_PASSWORD 1009
#define IDC_LOGIN_USER 1010
#define IDC_LOGIN_CLIENT 1011
#define IDC_LOGIN_YEAR 1012
#define IDC_LOGIN_WORKPLACE 1013
#define IDC_LOGIN_MODULE 1029

#define IDS_RELEASE_TOO_OLD 4
#define IDS_LOCAL_ATTACH_FAILED 5
#define IDS_CONNECTING_LOCAL 6
#define IDS_CONNECTING_REMOTE 7

// ---- form frames

#define IDS_NEXT_WINDOW 32897
#define IDS_TAB_LEFT_BUTTON 34105
#define IDS_TAB_RIGHT_BUTTON 34106
#define IDS_CLOSE_BUTTON 64006 // texts of the modal toolbar's close, F2 and OK buttons
#define IDS_F2_BUTTON 64007
#define IDS_OK_BUTTON 64008
// The program's bitmap strips of the form frames' toolbars
#define IDB_MODAL_TOOL 496
#define IDB_MODAL_TOOL_DISABLED 498
#define IDB_FKEY_TOOL 511
#define IDB_FKEY_TOOL_HOT 526
#define IDB_MODAL_TOOL_HOT 533

// Commands the frame passes on to its top form. The form's step commands tell the server
// which key ended the step ("F1", "F2", "F3", "FSAVE").
#define ID_MKEY_FIRST 2001 // M1-M32
#define ID_MKEY_LAST 2032
#define ID_XKEY_FIRST 32981 // X1-X32
#define ID_XKEY_LAST 33012
#define ID_GRID_PRINT 32778 // the grid's print preview
#define ID_GRID_COPY 32779  // the grid as a metafile on the clipboard
#define ID_FORM_CLOSE 32780 // "F3"
#define ID_FORM_F2 32781
#define ID_FORM_APPLY 32782 // "F1", as ID_FORM_OK
#define ID_FORM_OK 32783    // "F1": save; with notification code 0xFFFF: may the page change?
#define ID_FORM_UNDO 32784
#define ID_FORM_PRINT 32785
#define ID_FORM_SAVE 32786 // "FSAVE": save and keep the form
#define ID_FORM_HARDCOPY 33016
#define ID_FORM_MENU 32799 // the form's context menu (a drop-down toolbar button)
#define ID_GRID_WIDTH_UNDO 33025
#define ID_GRID_WIDTH_FIT 33027
// The frame's own
#define ID_KEY_F4_UP 32827       // ends an F4 press in the focused control
#define ID_WINDOW_SAVE_POS 32888 // keeps the frame's place for the next log-in
#define ID_EXPLORER_SWAP 65020   // explorer toolbar: swap the hierarchy
#define ID_EXPLORER_X 65021      // explorer toolbar: the server's "X" entries

// The tab buttons are the page's apply and cancel.
#define ID_TAB_LEFT ID_FORM_APPLY
#define ID_TAB_RIGHT ID_FORM_CLOSE
#define IDC_FRAME_TABS 49152

// ---- the main frame's bands and button bar

#define IDR_TOOLBAR_CONTEXT 523 // context menu of a tool bar (the top rebar)
#define IDR_SIDEBAR_CONTEXT 524 // context menu of the side bar (the menu tree)
#define IDD_TOOLBAR_CUSTOMIZE 429
#define IDC_CUSTOMIZE_TEXT 1139
#define IDC_CUSTOMIZE_ICONS 1140
#define IDS_CUSTOMIZE 45
// The combo boxes' entries, separated by "|".
#define IDS_CUSTOMIZE_TEXT_MODES 1139
#define IDS_CUSTOMIZE_ICON_SIZES 1140
// The button bar's button texts
#define IDS_BAR_LOGIN 64000
#define IDS_BAR_LOCK 64001
#define IDS_BAR_CUT 64002
#define IDS_BAR_COPY 64003
#define IDS_BAR_PASTE 64004
#define IDS_BAR_MENU 64005
#define IDS_BAR_HELP 34100
#define IDS_BAR_PRINT 34101
#define IDS_BAR_MAIL 34102
#define IDS_BAR_WEB 34103
#define IDS_BAR_MODULE 34107
#define ID_BLOCK_PC 32893
#define ID_SYMBOL_FIX 33018
#define ID_CUSTOMIZE_TB 33019
#define ID_AUTOHIDE_MENU 33020
#define ID_MENU_TOOLBAR 59392 // the menu bar (the frame's standard toolbar id)
#define ID_BUTTON_BAR 59394
#define ID_TOP_REBAR 59419
#define ID_SIDE_REBAR 59420
// The program's bitmap strips of the button bar (the small ones are the modal toolbar's)
#define IDB_BAR_LARGE 495
#define IDB_BAR_LARGE_HOT 530
#define IDB_BAR_LARGE_DISABLED 497
#define IDB_BAND_BACKGROUND 422
