#pragma once
// Resource numbers of the form services and the workplace tools in the language library.

#define IDS_FOLDER_CHOOSER_TITLE 20
#define IDS_ALL_FILES 21
#define IDS_PACKER_MISSING 60
#define IDS_FILECOPY_TITLE 170 // the copy dialog with a destination
#define IDS_FILEVIEW_TITLE 171 // without one

#define IDD_FILECOPY 253 // explorer-style part of the copy dialog
#define IDC_FILECOPY_TEXT 1085
#define IDC_FILECOPY_LIST 1103
#define IDC_FILECOPY_COPY 1105
#define IDC_FILEDIALOG_STANDARD 1119 // stc32: where the standard controls go

#define IDC_CURSOR_DRAG_OUT 104 // a list entry dragged out of the list: it will go
#define IDC_CURSOR_DRAG_IN 105  // still over the list: it stays

// The data explorer's header arrows (8 x 8) and the Excel export.
#define IDB_SORT_UP 647
#define IDB_SORT_DOWN 648
#define IDS_EXCEL_FILTER 26     // file-type description of workbooks
#define IDS_EXCEL_OPEN_TITLE 27 // title of the workbook dialog
#define IDS_EXCEL_STARTING 29   // first status text
#define IDS_EXCEL_NOT_INSTALLED 30
#define IDS_EXCEL_BAD_AREA 36 // (file, sheet)
#define IDS_EXCEL_NO_SHEET 37 // (file, sheet)
#define IDS_EXCEL_FILLING 52  // (sheet)

// The outside components: a coding component or DRG grouper that is missing, a quality
// check that could not run, a measuring device that could not be read (port, error).
#define IDS_CODING_MISSING 46
#define IDS_GROUPER_MISSING 49
#define IDS_QSFILTER_FAILED 4601
#define IDS_DEVICE_FAILED 4602
