// The form's edit fields, the tab-edit field with its drop button, and the tooltip window.
#include "forms/ChildForm.h"

#include "controls/Global.h"
#include "forms/FormGeometry.h"
#include "framework/Wnd.h"

#include <string>
#include <vector>

namespace {

constexpr DWORD kEditStyle = 0x10030000;    // visible, group, tab stop
constexpr DWORD kTabEditStyle = 0x10030080; // and automatic horizontal scrolling
constexpr WPARAM kGroupSeparator = 29;
constexpr WPARAM kSeparatorReplacement = 254;
constexpr UINT_PTR kHotTimer = 1;
constexpr UINT kHotPeriod = 100;
constexpr DWORD kToolTipAbove = 0x2; // style bit: the tooltip goes above its anchor
constexpr int kToolTipWidthExtra = 7;
constexpr int kToolTipHeightExtra = 4;
constexpr int kToolTipTextInset = 2;

// The edit control's own procedure: one slot for every form edit, one for every tab edit.
WNDPROC g_editProc = nullptr;
WNDPROC g_tabEditProc = nullptr;

void SetOnePixelMargins(HWND edit) {
    ::SendMessageA(edit, EM_SETMARGINS, EC_LEFTMARGIN | EC_RIGHTMARGIN, MAKELONG(1, 1));
}

LONG_PTR TabEditState(HWND edit) {
    return ::GetWindowLongPtrA(edit, GWLP_USERDATA);
}

void SetTabEditState(HWND edit, LONG_PTR before, LONG_PTR now) {
    if (now == before) return;
    ::SetWindowLongPtrA(edit, GWLP_USERDATA, now);
    CGlobal::TabEditDrawButton(edit);
}

// The parent opens the field's list.
void SendFieldCommand(HWND edit) {
    ::SendMessageA(::GetParent(edit), WM_COMMAND, MAKEWPARAM(::GetDlgCtrlID(edit), 0),
                   reinterpret_cast<LPARAM>(edit));
}

// The drop button's answer to a hit test at a screen point right of the client area, else 0.
LRESULT ButtonHitTest(HWND edit, LPARAM screenPoint) {
    POINT p{static_cast<short>(LOWORD(screenPoint)), static_cast<short>(HIWORD(screenPoint))};
    ::ScreenToClient(edit, &p);
    RECT client;
    ::GetClientRect(edit, &client);
    if (p.x < client.right) return 0;
    bool onButton =
        p.x < client.right + ::GetSystemMetrics(SM_CXVSCROLL) && p.y >= client.top && p.y < client.bottom;
    return onButton ? HTVSCROLL : HTBORDER;
}

bool OnNonClientMouse(HWND edit, UINT msg, WPARAM hit) {
    LONG_PTR before = TabEditState(edit);
    LONG_PTR now = hit == HTVSCROLL ? (before | kTabEditHot) : (before & ~kTabEditHot);
    bool down = msg == WM_NCLBUTTONDOWN || msg == WM_NCLBUTTONDBLCLK;
    if (down) {
        now |= kTabEditPressed;
        ::SetFocus(edit);
        ::SetCapture(edit);
    } else if (msg == WM_NCLBUTTONUP) {
        now &= ~kTabEditPressed;
        ::ReleaseCapture();
    }
    if ((now & kTabEditHot) && !(before & kTabEditHot)) ::SetTimer(edit, kHotTimer, kHotPeriod, nullptr);
    SetTabEditState(edit, before, now);
    if ((now & kTabEditPressed) && !(before & kTabEditPressed)) SendFieldCommand(edit);
    // The edit must not see a press on the strip: it would start tracking a scroll bar.
    return msg != WM_NCMOUSEMOVE;
}

void OnHotTimer(HWND edit) {
    POINT p;
    ::GetCursorPos(&p);
    if (::SendMessageA(edit, WM_NCHITTEST, 0, MAKELPARAM(p.x, p.y)) == HTVSCROLL) return;
    ::KillTimer(edit, kHotTimer);
    SetTabEditState(edit, TabEditState(edit), TabEditState(edit) & ~kTabEditHot);
}

// ---- tooltip

// While a tooltip moves itself its anchor stays; every other move sets a new anchor.
thread_local HWND t_placingTip = nullptr;

void SetToolTipAnchor(HWND tip, int x, int y) {
    ::SetWindowLongA(tip, 0, x);
    ::SetWindowLongA(tip, sizeof(LONG), y);
}

POINT ToolTipAnchor(HWND tip) {
    if (::GetClassLongPtrA(tip, GCL_CBWNDEXTRA) >= static_cast<ULONG_PTR>(2 * sizeof(LONG)))
        return POINT{::GetWindowLongA(tip, 0), ::GetWindowLongA(tip, sizeof(LONG))};
    RECT r;
    ::GetWindowRect(tip, &r);
    return POINT{r.left, r.top};
}

HFONT ToolTipFont(HWND tip) {
    return reinterpret_cast<HFONT>(::GetWindowLongPtrA(tip, GWLP_USERDATA));
}

int LineHeight(HDC dc) {
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    return tm.tmHeight;
}

void PaintToolTip(HWND tip) {
    CPaintDC dc(tip);
    CSelectedObject font(dc, ToolTipFont(tip));
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(COLOR_INFOTEXT));
    std::string text = fw::WindowText(tip);
    int y = kToolTipTextInset, height = LineHeight(dc);
    for (const std::string& line : vorlan::SplitToolTipLines(text.c_str())) {
        ::TabbedTextOutA(dc, kToolTipTextInset, y, line.c_str(), static_cast<int>(line.size()), 0, nullptr,
                         kToolTipTextInset);
        y += height;
    }
}

LRESULT OnToolTipCreate(HWND tip, const CREATESTRUCTA* cs) {
    auto font = static_cast<HFONT>(cs->lpCreateParams);
    if (!font && cs->hwndParent)
        font = reinterpret_cast<HFONT>(::SendMessageA(cs->hwndParent, WM_GETFONT, 0, 0));
    ::SetWindowLongPtrA(tip, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(font));
    SetToolTipAnchor(tip, cs->x, cs->y);
    if (cs->lpszName && !IS_INTRESOURCE(cs->lpszName) && *cs->lpszName) {
        CChildForm::ToolTipSetSize(tip, cs->lpszName);
        if (cs->style & WS_VISIBLE) ::ShowWindow(tip, SW_SHOWNA);
    }
    return 0;
}

} // namespace

HWND CChildForm::InsertEdit(UINT id, const RECT& rect, DWORD exStyle, DWORD style, const char* text,
                            HFONT font) {
    HWND edit = InsertControl("Edit", id, rect, text, exStyle, style | kEditStyle, &g_editProc,
                              WndSuperProcEdit, font);
    if (edit && (style & ES_MULTILINE)) m_hMultiEdit = edit;
    return edit;
}

HWND CChildForm::InsertTabEdit(UINT id, const RECT& rect, DWORD exStyle, DWORD style, const char* text,
                               HFONT font) {
    return InsertControl("Edit", id, rect, text, exStyle, style | kTabEditStyle, &g_tabEditProc,
                         WndSuperProcTabEdit, font);
}

std::string CChildForm::EditText(HWND edit, bool tabEdit, int limit) {
    WNDPROC own = tabEdit ? g_tabEditProc : g_editProc;
    constexpr int kMost = 1024;
    if (!own || limit < 0 || limit > kMost) return fw::WindowText(edit, limit);
    char text[kMost + 1];
    LRESULT got = ::CallWindowProcA(own, edit, WM_GETTEXT, static_cast<WPARAM>(limit) + 1,
                                    reinterpret_cast<LPARAM>(text));
    return std::string(text, got > 0 ? static_cast<size_t>(got) : 0);
}

LRESULT CALLBACK CChildForm::WndSuperProcEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CHAR:
        if (wParam == kGroupSeparator) wParam = kSeparatorReplacement;
        break;
    case WM_SETFONT: {
        LRESULT result = ::CallWindowProcA(g_editProc, hwnd, msg, wParam, lParam);
        SetOnePixelMargins(hwnd);
        return result;
    }
    default: break;
    }
    LRESULT result = 0;
    if ((::GetWindowLongPtrA(hwnd, GWL_STYLE) & ES_MULTILINE) &&
        WndProcTextBox(hwnd, msg, wParam, lParam, &result, g_editProc))
        return result;
    return ::CallWindowProcA(g_editProc, hwnd, msg, wParam, lParam);
}

LRESULT CALLBACK CChildForm::WndSuperProcTabEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    LRESULT result = 0;
    if (WndProcTabEdit(hwnd, msg, wParam, lParam, &result, g_tabEditProc)) return result;
    return ::CallWindowProcA(g_tabEditProc, hwnd, msg, wParam, lParam);
}

bool CChildForm::WndProcTabEdit(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT* result,
                                WNDPROC oldProc) {
    auto passOn = [&](WPARAM w) { return ::CallWindowProcA(oldProc, hwnd, msg, w, lParam); };
    *result = 0;
    switch (msg) {
    case WM_NCCALCSIZE: {
        *result = passOn(wParam);
        RECT* client =
            wParam ? &reinterpret_cast<NCCALCSIZE_PARAMS*>(lParam)->rgrc[0] : reinterpret_cast<RECT*>(lParam);
        client->right -= ::GetSystemMetrics(SM_CXVSCROLL);
        if (client->right < client->left) client->right = client->left;
        return true;
    }
    case WM_NCPAINT:
    case WM_ENABLE:
        *result = passOn(wParam);
        CGlobal::TabEditDrawButton(hwnd);
        return true;
    case WM_SETFONT:
        *result = passOn(wParam);
        SetOnePixelMargins(hwnd);
        return true;
    case WM_NCHITTEST: *result = ButtonHitTest(hwnd, lParam); return *result != 0;
    case WM_NCMOUSEMOVE:
    case WM_NCLBUTTONDOWN:
    case WM_NCLBUTTONDBLCLK:
    case WM_NCLBUTTONUP: return OnNonClientMouse(hwnd, msg, wParam);
    case WM_KEYDOWN:
    case WM_KEYUP:
        if (wParam != VK_F4) return false;
        SendFieldCommand(hwnd);
        return true;
    case WM_CHAR:
        if (wParam != kGroupSeparator) return false;
        *result = passOn(kSeparatorReplacement);
        return true;
    case WM_TIMER:
        if (wParam != kHotTimer) return false;
        OnHotTimer(hwnd);
        return true;
    case WM_LBUTTONUP: {
        LONG_PTR state = TabEditState(hwnd);
        if (!(state & kTabEditPressed) || ::GetCapture() != hwnd) return false;
        ::ReleaseCapture();
        SetTabEditState(hwnd, TabEditState(hwnd), TabEditState(hwnd) & ~kTabEditPressed);
        return true;
    }
    case WM_CAPTURECHANGED:
        // Capture taken away mid-press (a message box, say): the button must not stay down.
        if (reinterpret_cast<HWND>(lParam) != hwnd)
            SetTabEditState(hwnd, TabEditState(hwnd), TabEditState(hwnd) & ~kTabEditPressed);
        return false;
    default: return false;
    }
}

void CChildForm::ToolTipSetSize(HWND tip, const char* text) {
    std::vector<std::string> lines = vorlan::SplitToolTipLines(text);
    int width = 0, height;
    {
        CClientDC dc(tip);
        CSelectedObject font(dc, ToolTipFont(tip));
        for (const std::string& line : lines) {
            DWORD extent =
                ::GetTabbedTextExtentA(dc, line.c_str(), static_cast<int>(line.size()), 0, nullptr);
            if (LOWORD(extent) > width) width = LOWORD(extent);
        }
        height = static_cast<int>(lines.size()) * LineHeight(dc);
    }
    vorlan::PixelSize size{width + kToolTipWidthExtra, height + kToolTipHeightExtra};
    vorlan::PixelRect screen{::GetSystemMetrics(SM_XVIRTUALSCREEN), ::GetSystemMetrics(SM_YVIRTUALSCREEN), 0,
                             0};
    screen.right = screen.left + ::GetSystemMetrics(SM_CXVIRTUALSCREEN);
    screen.bottom = screen.top + ::GetSystemMetrics(SM_CYVIRTUALSCREEN);
    POINT anchor = ToolTipAnchor(tip);
    bool above = (::GetWindowLongA(tip, GWL_STYLE) & kToolTipAbove) != 0;
    vorlan::PixelRect r = vorlan::PlaceToolTip(anchor.x, anchor.y, size, above, screen);
    HWND outer = t_placingTip;
    t_placingTip = tip;
    ::SetWindowPos(tip, nullptr, r.left, r.top, r.Width(), r.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
    t_placingTip = outer;
}

LRESULT CALLBACK CChildForm::WndProcToolTip(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: return OnToolTipCreate(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_SETTEXT: {
        LRESULT result = ::DefWindowProcA(hwnd, msg, wParam, lParam);
        ToolTipSetSize(hwnd, reinterpret_cast<const char*>(lParam));
        return result;
    }
    case WM_SETFONT: ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, static_cast<LONG_PTR>(wParam)); return 0;
    case WM_GETFONT: return ::GetWindowLongPtrA(hwnd, GWLP_USERDATA);
    case WM_PAINT: PaintToolTip(hwnd); return 0;
    case WM_NCHITTEST: return HTTRANSPARENT;
    case WM_WINDOWPOSCHANGED: {
        auto* pos = reinterpret_cast<const WINDOWPOS*>(lParam);
        if (hwnd != t_placingTip && !(pos->flags & SWP_NOMOVE)) SetToolTipAnchor(hwnd, pos->x, pos->y);
        break;
    }
    default: break;
    }
    return ::DefWindowProcA(hwnd, msg, wParam, lParam);
}
