#include "framework/ToolBarEx.h"

#include <commctrl.h>

bool CToolBarEx::Create(HWND parent, DWORD, UINT id) {
    if (!parent) return false;
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    constexpr DWORD kBarStyles = TBSTYLE_FLAT | TBSTYLE_TRANSPARENT | TBSTYLE_TOOLTIPS; // 0x8900
    if (!CWnd::CreateEx(0, TOOLBARCLASSNAMEA, "", 0x56000022 | kBarStyles, CRect(0, 0, 0, 0), parent, id))
        return false;
    SendMessage(TB_BUTTONSTRUCTSIZE, sizeof(TBBUTTON));
    return true;
}
