#pragma once
// Resource numbers of the grid, its printing and the print preview in the language library,
// and the preview's commands.

#define IDS_GRID_LOADING 49167 // status text while a grid's rows are fetched
// The form frame's print command (32778), named by the screen's nodes: "FSAVE", "FDRUCK", neither.
#define IDS_PRINT_SAVED 172
#define IDS_PRINT_TABLE 173
#define IDS_PRINT_OUTPUT 175

#define IDI_PROGRAM 647 // the program, as windows and lists show it
#define IDI_PROGRAM_SMALL 648
#define IDI_PRINT_PREVIEW 452
#define IDC_PREVIEW_ZOOM_CURSOR 455
#define IDR_PRINT_PREVIEW 460 // accelerators
#define IDB_PREVIEW_BAR 461   // toolbar pictures, 16x16 each, in command order
#define IDB_PREVIEW_BAR_DISABLED 462

// The status dialog of long print runs: the main frame's status template and its text line.
#define IDD_PRINT_STATUS 198
#define IDC_PRINT_STATUS_TEXT 1065

#define IDS_PREVIEW_FIT_WIDTH 34001
#define IDS_PREVIEW_WHOLE_PAGE 34002
#define IDS_PREVIEW_PAGE 34010
#define IDS_PREVIEW_PAGE_COUNT 34011 // %d: the last page
#define IDS_PREVIEW_PRINTING 34013   // %d: the page, %d: the count
#define IDS_PREVIEW_USER_VALUE 34014
#define IDP_NO_PRINTER 65100

// Commands of the preview.
#define ID_PREVIEW_CLOSE 34000
#define ID_PREVIEW_ZOOM_IN 34003
#define ID_PREVIEW_ZOOM_OUT 34004
#define ID_PREVIEW_FIRST 34005
#define ID_PREVIEW_PREVIOUS 34006
#define ID_PREVIEW_NEXT 34007
#define ID_PREVIEW_LAST 34008
#define ID_PREVIEW_PRINT 34009
#define ID_PREVIEW_PAGE_EDIT 34010
#define ID_PREVIEW_PRINTER 34012
#define ID_PREVIEW_USER_EDIT 34014
