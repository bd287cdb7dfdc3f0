#pragma once
// Ids of the workplace tools' resources in the language library.

#define IDD_FILE_PREVIEW 610      // picture dialog's extra part: preview under the file list
#define IDC_PREVIEW_PLACE 11380   // where the viewer goes (hidden)
#define IDC_PREVIEW_CAPTION 11480 // format and size of the previewed picture
#define IDD_BIG_IMAGE 668         // large picture or DICOM window
#define IDI_BIG_IMAGE 128         // its icon
#define IDC_VIEWER_STRETCH 611    // cursor: clicks zoom
#define IDC_VIEWER_PAN 612        // cursor: the picture can be panned
#define IDC_VIEWER_DRAGGING 613   // cursor: while panning

// The archive export: the copy of the record explorer's tree with tick boxes.
#define IDD_ARCHIV_EXPORT 359
#define IDC_ARCHIV_TREE 1132
#define IDS_ARCHIV_TARGET 40 // title of the folder chooser
#define IDS_ARCHIV_STATUS 41 // progress line; %s: what is being done or copied

// The record explorer's file commands.
#define IDS_EXPLORER_NO_NEW_NAME 59 // no free name for a new folder or document

// The record explorer: its menus (a file, a server folder, a disk folder) and the toolbar's
// button texts (string = the command id).
#define IDR_EXPLORER_FILE 258
#define IDR_EXPLORER_SERVER_FOLDER 614
#define IDR_EXPLORER_DISK_FOLDER 631
#define ID_EXPLORER_DELETE 156
#define ID_EXPLORER_RENAME 157
#define ID_EXPLORER_ARCHIVE 33014
#define ID_EXPLORER_IMPORT 33034
#define ID_EXPLORER_NEW_FOLDER 33039
#define ID_EXPLORER_NEW_TEXT 33040
#define ID_EXPLORER_NEW_WORD 33041
#define ID_EXPLORER_SCAN 33045
#define ID_EXPLORER_BARCODE_SCAN 33046
#define ID_EXPLORER_PASTE_CLIPBOARD 33062
#define ID_EXPLORER_STRETCH 65033
#define ID_EXPLORER_FIT 65034
