#include "framework/MDIClient.h"

#include <algorithm>

bool CMDIClientWnd::CreateClient(DWORD exStyle, const char* className, DWORD style, const RECT& rect,
                                 HWND frame, UINT id, UINT firstChildId) {
    m_nFirstChildId = firstChildId;
    return CreateEx(exStyle, className, "", style | WS_CHILD | WS_CLIPCHILDREN, rect, frame, id);
}

bool CMDIClientWnd::IsMDIChild(HWND hwnd) const {
    if (!hwnd || !::IsWindow(hwnd) || ::GetParent(hwnd) != m_hWnd) return false;
    UINT id = static_cast<UINT>(::GetDlgCtrlID(hwnd));
    return id >= m_nFirstChildId && id < m_nFirstChildId + kMaxChildren;
}

std::vector<HWND> CMDIClientWnd::Children() const {
    std::vector<HWND> out;
    for (HWND h = ::GetWindow(m_hWnd, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
        if (IsMDIChild(h)) out.push_back(h);
    return out;
}

void CMDIClientWnd::Renumber() {
    std::vector<HWND> children = Children();
    std::sort(children.begin(), children.end(),
              [](HWND a, HWND b) { return ::GetDlgCtrlID(a) < ::GetDlgCtrlID(b); });
    UINT id = m_nFirstChildId;
    for (HWND h : children)
        ::SetWindowLongPtrA(h, GWLP_ID, static_cast<LONG_PTR>(id++));
}

HWND CMDIClientWnd::SuccessorOf(HWND leaving) const {
    for (HWND h : Children())
        if (h != leaving) return h;
    return nullptr;
}

HWND CMDIClientWnd::OnMDICreate(const MDICREATESTRUCTA* mcs) {
    if (!mcs) return nullptr;
    Renumber();
    std::vector<HWND> existing = Children();
    if (existing.size() >= kMaxChildren) return nullptr;
    CRect client = GetClientRect();
    int x = mcs->x, y = mcs->y, cx = mcs->cx, cy = mcs->cy;
    if (x == CW_USEDEFAULT) {
        int step = 20 * static_cast<int>(existing.size() % 8);
        x = step;
        y = step;
    }
    if (cx == CW_USEDEFAULT) {
        cx = client.Width() * 2 / 3;
        cy = client.Height() * 2 / 3;
    }
    DWORD style =
        mcs->style | WS_CHILD | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX;
    UINT id = m_nFirstChildId + static_cast<UINT>(existing.size());
    HWND child =
        ::CreateWindowExA(0, mcs->szClass, mcs->szTitle, style & ~(WS_MAXIMIZE | WS_MINIMIZE), x, y, cx, cy,
                          m_hWnd, reinterpret_cast<HMENU>(static_cast<UINT_PTR>(id)),
                          reinterpret_cast<HINSTANCE>(mcs->hOwner), const_cast<MDICREATESTRUCTA*>(mcs));
    if (!child) return nullptr;
    if (style & WS_MAXIMIZE)
        ::ShowWindow(child, SW_MAXIMIZE);
    else if (style & WS_MINIMIZE)
        ::ShowWindow(child, SW_MINIMIZE);
    if (::IsWindowVisible(child)) OnMDIActivate(child);
    return child;
}

void CMDIClientWnd::OnMDIDestroy(HWND child) {
    if (!IsMDIChild(child)) return;
    if (child == m_hActive) OnMDIActivate(SuccessorOf(child));
    ::DestroyWindow(child);
    Renumber();
}

void CMDIClientWnd::OnMDIActivate(HWND child) {
    if (child && !IsMDIChild(child)) return;
    HWND old = m_hActive;
    if (old && !::IsWindow(old)) old = nullptr;
    if (child == old) {
        if (child) ::SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        return;
    }
    m_hActive = child;
    if (old) {
        ::SendMessageA(old, WM_NCACTIVATE, FALSE, 0);
        ::SendMessageA(old, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
    }
    if (!child) return;
    ::SetWindowPos(child, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    // The caption looks active only while the frame itself is.
    HWND frame = ::GetAncestor(m_hWnd, GA_ROOT);
    BOOL frameActive = frame && ::GetActiveWindow() == frame && ::IsWindowEnabled(frame);
    ::SendMessageA(child, WM_NCACTIVATE, frameActive, 0);
    ::SendMessageA(child, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(old), reinterpret_cast<LPARAM>(child));
    ::RedrawWindow(child, nullptr, nullptr, RDW_INVALIDATE | RDW_FRAME | RDW_ALLCHILDREN);
}

HWND CMDIClientWnd::OnMDINext(HWND from, bool previous) {
    Renumber();
    std::vector<HWND> children = Children();
    if (children.empty()) return nullptr;
    std::sort(children.begin(), children.end(),
              [](HWND a, HWND b) { return ::GetDlgCtrlID(a) < ::GetDlgCtrlID(b); });
    if (!from) from = m_hActive;
    auto at = std::find(children.begin(), children.end(), from);
    size_t i = at == children.end() ? 0 : static_cast<size_t>(at - children.begin());
    size_t n = children.size();
    size_t next = previous ? (i + n - 1) % n : (i + 1) % n;
    OnMDIActivate(children[next]);
    return children[next];
}

void CMDIClientWnd::OnMDICascade() {
    std::vector<HWND> children = Children();
    CRect client = GetClientRect();
    int offset = 0;
    for (auto it = children.rbegin(); it != children.rend(); ++it) {
        if (::IsIconic(*it)) continue;
        ::SetWindowPos(*it, nullptr, offset, offset, client.Width() * 2 / 3, client.Height() * 2 / 3,
                       SWP_NOZORDER | SWP_NOACTIVATE);
        offset += 20;
    }
}

void CMDIClientWnd::OnMDITile(UINT how) {
    std::vector<HWND> children;
    for (HWND h : Children())
        if (!::IsIconic(h)) children.push_back(h);
    if (children.empty()) return;
    CRect client = GetClientRect();
    int n = static_cast<int>(children.size());
    for (int i = 0; i < n; ++i) {
        if (how & MDITILE_HORIZONTAL) {
            int h = client.Height() / n;
            ::SetWindowPos(children[i], nullptr, 0, i * h, client.Width(), h, SWP_NOZORDER | SWP_NOACTIVATE);
        } else {
            int w = client.Width() / n;
            ::SetWindowPos(children[i], nullptr, i * w, 0, w, client.Height(), SWP_NOZORDER | SWP_NOACTIVATE);
        }
    }
}

LRESULT CMDIClientWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MDICREATE:
        return reinterpret_cast<LRESULT>(OnMDICreate(reinterpret_cast<MDICREATESTRUCTA*>(lParam)));
    case WM_MDIDESTROY: OnMDIDestroy(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_MDIACTIVATE: OnMDIActivate(reinterpret_cast<HWND>(wParam)); return 0;
    case WM_MDIGETACTIVE:
        if (m_hActive && !::IsWindow(m_hActive)) m_hActive = nullptr;
        if (lParam) *reinterpret_cast<BOOL*>(lParam) = m_hActive && ::IsZoomed(m_hActive);
        return reinterpret_cast<LRESULT>(m_hActive);
    case WM_MDINEXT: OnMDINext(reinterpret_cast<HWND>(wParam), lParam != 0); return 0;
    case WM_MDIMAXIMIZE:
        if (IsMDIChild(reinterpret_cast<HWND>(wParam)))
            ::ShowWindow(reinterpret_cast<HWND>(wParam), SW_MAXIMIZE);
        return 0;
    case WM_MDIRESTORE:
        if (IsMDIChild(reinterpret_cast<HWND>(wParam)))
            ::ShowWindow(reinterpret_cast<HWND>(wParam), SW_RESTORE);
        return 0;
    case WM_MDICASCADE: OnMDICascade(); return TRUE;
    case WM_MDITILE: OnMDITile(static_cast<UINT>(wParam)); return TRUE;
    case WM_MDIICONARRANGE: ::ArrangeIconicWindows(m_hWnd); return 0;
    case WM_MDISETMENU: {
        HWND frame = ::GetParent(m_hWnd);
        HMENU old = ::GetMenu(frame);
        if (wParam) {
            ::SetMenu(frame, reinterpret_cast<HMENU>(wParam));
            ::DrawMenuBar(frame);
        }
        return reinterpret_cast<LRESULT>(old);
    }
    case WM_MDIREFRESHMENU: ::DrawMenuBar(::GetParent(m_hWnd)); return 0;
    case WM_PARENTNOTIFY:
        // Sent before a child's own WM_DESTROY: whoever comes next is active by then.
        if (LOWORD(wParam) == WM_DESTROY && reinterpret_cast<HWND>(lParam) == m_hActive)
            OnMDIActivate(SuccessorOf(m_hActive));
        return CWnd::WindowProc(msg, wParam, lParam);
    case WM_NCACTIVATE:
        if (m_hActive && ::IsWindow(m_hActive)) ::SendMessageA(m_hActive, WM_NCACTIVATE, wParam, 0);
        return CWnd::WindowProc(msg, wParam, lParam);
    default: return CWnd::WindowProc(msg, wParam, lParam);
    }
}
