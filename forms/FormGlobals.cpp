#include "forms/FormGlobals.h"

namespace vorlan {

int g_nCharWidthUnit = 7;
int g_nRowHeightUnit = 20;
CString g_strDialogName;
CString g_strDialogMemo;
bool g_bNestedLoop = false;
bool g_bNestedModal = false;
int g_nSavedFocusKind = 0;
int g_nOpenForms = 0;
ProgressDisplay g_pfnShowProgress = nullptr;

} // namespace vorlan
