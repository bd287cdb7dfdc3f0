#include "framework/ToolBarControls.h"

namespace fw {

int AddToolBarControl(CToolBarCtrl& bar, HWND child, int width, UINT id) {
    TBBUTTON sep{};
    sep.iBitmap = width;
    sep.idCommand = static_cast<int>(id);
    sep.fsState = TBSTATE_ENABLED;
    sep.fsStyle = BTNS_SEP;
    if (!bar.AddButtons(&sep, 1)) return -1;
    int index = bar.GetButtonCount() - 1;
    CRect place = bar.GetItemRect(index);
    RECT own{};
    ::GetWindowRect(child, &own);
    int height = own.bottom - own.top;
    int top = place.top + (place.Height() - height) / 2;
    ::MoveWindow(child, place.left, top < 0 ? 0 : top, width, height, TRUE);
    return index;
}

} // namespace fw
