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

// The RTF form generator: its status texts (the part number) and its messages (the current
// file; the missing template: folder, prefix, language and version).
#define IDS_FORMULAR_STARTING 16
#define IDS_FORMULAR_PART 17
#define IDS_FORMULAR_DONE 18
#define IDS_FORMULAR_CANNOT_OPEN 62000
#define IDS_FORMULAR_SYNTAX 62001
#define IDS_FORMULAR_BAD_TABLE 62002
#define IDS_FORMULAR_NO_MEMORY 62003
#define IDS_FORMULAR_UNBALANCED 62004
#define IDS_FORMULAR_FONTS_FULL 62005
#define IDS_FORMULAR_LINE_TOO_TALL 62006
#define IDS_FORMULAR_NO_TEMPLATE 62007
#define IDS_FORMULAR_BAD_RTF 62008
#define IDS_FORMULAR_CANNOT_CREATE 62009

// The Word forms: the open dialog's title and the file-type description of RTF forms.
#define IDS_WORD_OPEN_TITLE 34
#define IDS_WORD_FILTER 35

// The outside components: a coding component or DRG grouper that is missing, a quality
// check that could not run, a measuring device that could not be read (port, error).
#define IDS_CODING_MISSING 46
#define IDS_GROUPER_MISSING 49
#define IDS_QSFILTER_FAILED 4601
#define IDS_DEVICE_FAILED 4602
