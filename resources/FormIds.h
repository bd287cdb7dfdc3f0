#pragma once
// Resource numbers of the form window and its controls.

// Program (VORLAN.exe)
#define IDB_DIALOGBACK 100 // type DIALOGBACK: the forms' background picture number 1

// Language library (VORLANx.DLL)
#define IDS_SAVE_CHANGES 22      // save the changes to the screen "%s"?
#define IDS_PICTURE_LOADING 132  // shown in a picture field while its picture loads
#define IDI_FORM 238             // a form
#define IDR_SECOND_LIST_MENU 202 // context menu of the second list (comes with the list)
#define IDR_GRID_MENU 512        // context menu of the grid (comes with the grid)
#define IDR_FIELD_MENU 605       // context menu of a form field: the edit commands
#define IDR_PICTURE_MENU 630     // context menu of a picture field
#define IDS_BROWSE_BUTTON 34104  // caption of the browse button beside a text field
#define IDS_PICTURE_FILTER 65101 // file filter of the picture choice

// Commands
#define ID_PICTURE_REPLACE 0x810B
#define ID_PICTURE_SCAN 0x8115
