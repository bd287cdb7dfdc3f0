#include "frame/GridPrintBar.h"

#include "frame/BaseMDITool.h"
#include "resources/MainFrameIds.h"
#include "resources/PrintIds.h"

bool CGridPrintBar::Create(HWND parent) {
    if (!CreateEx(0, fwbars::kToolStyle | TBSTYLE_LIST, fwbars::kToolExStyle, CRect(0, 0, 0, 0), parent, kId))
        return false;
    CString text;
    text.LoadString(IDS_PRINT_BUTTON);
    int nl = text.Find('\n');
    if (nl >= 0) text = text.Mid(nl + 1);
    TBBUTTON b{};
    b.iBitmap = I_IMAGENONE;
    b.idCommand = ID_GRID_PRINT;
    b.fsState = TBSTATE_ENABLED;
    b.fsStyle = BTNS_BUTTON | BTNS_SHOWTEXT | BTNS_AUTOSIZE;
    b.iString = reinterpret_cast<INT_PTR>(text.c_str());
    AddButtons(&b, 1);
    SendMessage(TB_AUTOSIZE);
    return true;
}
