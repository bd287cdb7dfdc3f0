#pragma once
// Resource numbers of the popup list.

// Language library (VORLANx.DLL)
#define IDD_LISTTAB 148       // the popup list
#define IDC_LISTTAB_LIST 1015 // its list control
