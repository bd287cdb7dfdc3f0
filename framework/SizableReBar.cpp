#include "framework/SizableReBar.h"

#include <commctrl.h>

bool CSizableReBarTool::Create(HWND parent, UINT id) {
    INITCOMMONCONTROLSEX icc{sizeof icc, ICC_COOL_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&icc);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | RBS_BANDBORDERS | RBS_AUTOSIZE |
                  CCS_NODIVIDER | CCS_TOP;
    return CreateEx(0, REBARCLASSNAMEA, "", style, CRect(0, 0, 0, 0), parent, id);
}

bool CSizableReBarTool::AddBar(HWND bar) {
    if (!m_hWnd || !bar) return false;
    SIZE need{};
    ::SendMessageA(bar, TB_GETMAXSIZE, 0, reinterpret_cast<LPARAM>(&need));
    RECT r{};
    ::GetWindowRect(bar, &r);
    int height = need.cy > 0 ? need.cy : r.bottom - r.top;
    REBARBANDINFOA band{};
    band.cbSize = sizeof band;
    band.fMask = RBBIM_CHILD | RBBIM_CHILDSIZE | RBBIM_STYLE | RBBIM_SIZE;
    band.fStyle = RBBS_CHILDEDGE | RBBS_GRIPPERALWAYS;
    band.hwndChild = bar;
    band.cxMinChild = 0;
    band.cyMinChild = height;
    band.cx = need.cx > 0 ? need.cx : r.right - r.left;
    return SendMessage(RB_INSERTBANDA, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&band)) != 0;
}

int CSizableReBarTool::GetHeight() const {
    if (!m_hWnd) return 0;
    return static_cast<int>(::SendMessageA(m_hWnd, RB_GETBARHEIGHT, 0, 0));
}
