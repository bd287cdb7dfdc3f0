// Stand-ins for the grid's printing members while a tree has no controls/GridCtrlPrint.cpp:
// nothing is printed. Built into the grid's tests and benchmark only, and only then.
#include "controls/GridCtrl.h"

void CGridCtrl::OnBeginPrinting(CDC*, CPrintInfo*) {}
void CGridCtrl::OnPrintPage(CDC*, CPrintInfo*) {}
void CGridCtrl::OnEndPrinting(CDC*, CPrintInfo*) {}
void CGridCtrl::PrintFixedRows(CDC*, CPrintInfo*) {}
void CGridCtrl::PrintHeader(CDC*, CPrintInfo*) {}
void CGridCtrl::PrintFooter(CDC*, CPrintInfo*) {}
void CGridCtrl::PrintPreview(const char*, const char*, const char*) {}
int CGridCtrl::PrintPageCallback(int, CDC*, CPrintInfo*, void*) { return 0; }
