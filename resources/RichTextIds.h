#pragma once
// Resource numbers and commands of the rich-text field.

// Language library (VORLANx.DLL)
#define IDR_FORMAT_BAR 272  // the format toolbar (toolbar resource type 241) and its bitmap
// Its context menu is the form fields' edit menu (IDR_FIELD_MENU, FormIds.h).

// The format toolbar's commands
#define ID_FORMAT_FONT 34000
#define ID_FORMAT_SIZE 34001
#define ID_FORMAT_BOLD 34002
#define ID_FORMAT_ITALIC 34003
#define ID_FORMAT_UNDERLINE 34004
#define ID_FORMAT_CENTRE 34005
#define ID_FORMAT_LEFT 34006
#define ID_FORMAT_RIGHT 34007
