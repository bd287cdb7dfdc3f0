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
