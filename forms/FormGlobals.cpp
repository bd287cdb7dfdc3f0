#include "forms/FormGlobals.h"

namespace vorlan {

int g_nCharWidthUnit = 7;
int g_nRowHeightUnit = 20;
CString g_strDialogName;
CString g_strDialogMemo;
bool g_bNestedLoop = false;
int g_nFocusKind = 0;

} // namespace vorlan
