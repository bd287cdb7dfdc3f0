#include "controls/Global.h"
#include "framework/Gdi.h"
#include "theme/ThemeInterface.h"

#include <vsstyle.h>

namespace {

CGlobal::ThemeSource g_themeSource = nullptr;

// The strip right of the client area, in window coordinates.
RECT ButtonBesideClient(HWND edit) {
    RECT client, window;
    ::GetClientRect(edit, &client);
    ::MapWindowPoints(edit, nullptr, reinterpret_cast<POINT*>(&client), 2);
    ::GetWindowRect(edit, &window);
    ::OffsetRect(&client, -window.left, -window.top);
    return RECT{client.right, client.top, client.right + ::GetSystemMetrics(SM_CXVSCROLL), client.bottom};
}

RECT ButtonRect(HWND edit, const RECT* rect) {
    if (!rect) return ButtonBesideClient(edit);
    RECT button = *rect;
    button.left = button.right - ::GetSystemMetrics(SM_CXVSCROLL);
    if (button.left < rect->left) button.left = rect->left;
    return button;
}

int ThemeState(HWND edit, LONG_PTR bits) {
    if (!::IsWindowEnabled(edit)) return CBXS_DISABLED;
    if (bits & kTabEditPressed) return CBXS_PRESSED;
    if (bits & kTabEditHot) return CBXS_HOT;
    return CBXS_NORMAL;
}

bool DrawThemed(HWND edit, HDC dc, const RECT& button, LONG_PTR bits) {
    const ThemeInterface* theme = g_themeSource ? g_themeSource() : nullptr;
    if (!theme || !theme->DrawTheme) return false;
    ThemeDrawParams p{};
    p.flags = kThemeDrawBackground;
    p.window = edit;
    p.dc = dc;
    p.part = CP_DROPDOWNBUTTON;
    p.state = ThemeState(edit, bits);
    p.rect = &button;
    p.secondRect = nullptr;
    p.classList = L"ComboBox";
    return theme->DrawTheme(&p) != 0;
}

void DrawClassic(HWND edit, HDC dc, const RECT& button, LONG_PTR bits) {
    RECT r = button;
    UINT look = DFCS_SCROLLCOMBOBOX;
    if (!::IsWindowEnabled(edit))
        look |= DFCS_INACTIVE;
    else if (bits & kTabEditPressed)
        look |= DFCS_PUSHED | DFCS_FLAT;
    ::DrawFrameControl(dc, &r, DFC_SCROLL, look);
}

void Draw(HWND edit, HDC dc, const RECT* rect, LONG_PTR bits) {
    RECT button = ButtonRect(edit, rect);
    if (!DrawThemed(edit, dc, button, bits)) DrawClassic(edit, dc, button, bits);
}

} // namespace

void CGlobal::SetThemeSource(ThemeSource source) {
    g_themeSource = source;
}

void CGlobal::TabEditDrawButton(HWND edit, HDC dc, const RECT* rect) {
    if (dc) {
        Draw(edit, dc, rect, 0);
        return;
    }
    CWindowDC window(edit);
    Draw(edit, window, rect, ::GetWindowLongPtrA(edit, GWLP_USERDATA));
}
