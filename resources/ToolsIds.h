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
