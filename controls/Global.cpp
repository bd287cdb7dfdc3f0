#include "controls/Global.h"
#include "framework/Gdi.h"

namespace {

// The strip right of the client area, in window coordinates.
RECT ButtonBesideClient(HWND edit) {
    RECT client, window;
    ::GetClientRect(edit, &client);
    ::MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::GetWindowRect(edit, &window);
    ::OffsetRect(&client, -window.left, -window.top);
    return RECT{client.right, client.top, client.right + ::GetSystemMetrics(SM_CXVSCROLL), client.bottom};
}

void Draw(HWND edit, HDC dc, const RECT* rect, LONG_PTR state) {
    RECT button;
    if (rect) {
        button = *rect;
        button.left = button.right - ::GetSystemMetrics(SM_CXVSCROLL);
        if (button.left < rect->left) button.left = rect->left;
    } else {
        button = ButtonBesideClient(edit);
    }
    UINT look = DFCS_SCROLLCOMBOBOX;
    if (!::IsWindowEnabled(edit))
        look |= DFCS_INACTIVE;
    else if (state & kTabEditPressed)
        look |= DFCS_PUSHED | DFCS_FLAT;
    ::DrawFrameControl(dc, &button, DFC_SCROLL, look);
}

} // namespace

void CGlobal::TabEditDrawButton(HWND edit, HDC dc, const RECT* rect) {
    if (dc) {
        Draw(edit, dc, rect, 0);
        return;
    }
    CClientDC window(edit, true);
    Draw(edit, window, rect, ::GetWindowLongPtrA(edit, GWLP_USERDATA));
}
