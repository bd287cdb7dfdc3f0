#pragma once
// Ids of the icon desktop and its dialogs (tools/IconList*, tools/IconDialogs*).

// The desktop's context menu (type MENU; bitmap 307 is another resource of the same number).
#define IDR_DESKTOP_MENU 307
#define IDD_ICON_OPTIONS 302
#define IDD_ICON_PROPERTY 309
#define IDD_ICON_SYMBOL 639

#define IDS_NO_PICTURE 8
#define IDS_DESKTOP_OPTIONS_LOCKED 63000
// The names of the built-in background pictures; the pictures are resources of the type
// "BACKGROUND" with the same numbers.
#define IDS_BACKGROUND_FIRST 32000
#define IDS_BACKGROUND_LAST 32009

// Commands of the desktop
#define ID_ICON_SNAP 33001
#define ID_ICON_AUTOARRANGE 33003
#define ID_ICON_NEW 33038
#define ID_ICON_OPTIONS 32828
#define ID_ICON_DELETE 57632
#define ID_ICON_RENAME 57634

// CIconOptions
#define IDC_OPT_TILE 1119
#define IDC_OPT_CENTRE 1120
#define IDC_OPT_STRETCH 1121
#define IDC_OPT_BOTTOMRIGHT 1123
#define IDC_OPT_ALL_CLIENTS 1141
#define IDC_OPT_THIS_CLIENT 1142
#define IDC_OPT_PICTURES 1128
#define IDC_OPT_BACKCOLOUR 1111
#define IDC_OPT_TEXTCOLOUR 1114
#define IDC_OPT_FONT 1117
#define IDC_OPT_PREVIEW 1127
#define IDC_OPT_APPLY 3
// the buttons that open the choosers
#define IDC_OPT_BACKCOLOUR_BUTTON 1112
#define IDC_OPT_TEXTCOLOUR_BUTTON 1115
#define IDC_OPT_FONT_BUTTON 1118
#define IDC_OPT_BROWSE 1129

// CIconProperty
#define IDC_PROP_CAPTION 1086
#define IDC_PROP_CAPTION_LABEL 1118
#define IDC_PROP_FUNCTION 1119
#define IDC_PROP_PARAMETER 1155
#define IDC_PROP_CHOICES 1156
#define IDC_PROP_SYMBOL 1157

// CIconChangeSymbol
#define IDC_SYMBOL_LIST 1024
