#pragma once
// Resource numbers of the printer choice, the print list and the text export in the
// language library.

#define IDD_SELECT_PRINTER 170
#define IDC_PRINTER_LIST 1024
#define IDD_PRINTER_SETUP 202
#define IDC_PRINTER_ICON 1072
#define IDC_PRINTER_PORTRAIT 1073
#define IDC_PRINTER_LANDSCAPE 1074
#define IDC_PRINTER_TRAY 1082
#define IDI_PAGE_PORTRAIT 200
#define IDI_PAGE_LANDSCAPE 201
#define IDS_PRINTER_TRAY 169 // %d: the tray, from 1

#define IDD_PRINT_LIST 271
#define IDC_PRINT_LIST_TEXT 1083

#define IDS_TEXT_FILE_TITLE 27 // shared with the workbook dialog's title
#define IDS_TEXT_FILE_FILTER 31
#define IDS_TEXT_FILE_STATUS 32
#define IDS_TEXT_FILE_FORM 33 // Yes: form 1, No: form 2
