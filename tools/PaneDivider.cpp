#include "tools/PaneDivider.h"

#include <windowsx.h>

#include <algorithm>

bool CPaneDivider::IsOver(HWND owner, HWND left, POINT point) const {
    if (!left) return false;
    RECT tree{};
    ::GetWindowRect(left, &tree);
    ::ClientToScreen(owner, &point);
    return point.x >= tree.right && point.x < tree.right + kGap && point.y >= tree.top &&
           point.y < tree.bottom;
}

bool CPaneDivider::SetCursor(HWND owner, HWND left) const {
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(owner, &point);
    if (!m_bDragging && !IsOver(owner, left, point)) return false;
    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
    return true;
}

int CPaneDivider::LeftWidth(int clientWidth) const {
    return split < 0 ? clientWidth / 2 : std::min(split, clientWidth);
}

void CPaneDivider::ButtonDown(HWND owner, HWND left, POINT point) {
    if (!IsOver(owner, left, point)) return;
    if (split < 0) {
        RECT tree{};
        ::GetWindowRect(left, &tree);
        split = tree.right - tree.left;
    }
    m_bDragging = true;
    m_nOffset = point.x - split;
    ::SetCapture(owner);
    RECT window{};
    ::GetWindowRect(owner, &window);
    ::ClipCursor(&window);
}

bool CPaneDivider::MouseMove(POINT point) {
    if (!m_bDragging) return false;
    split = std::max(0, static_cast<int>(point.x) - m_nOffset);
    return true;
}

bool CPaneDivider::OnMessage(HWND owner, HWND left, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                             bool& moved) {
    moved = false;
    result = 0;
    POINT point{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    switch (msg) {
    case WM_SETCURSOR:
        if (reinterpret_cast<HWND>(wParam) != owner || LOWORD(lParam) != HTCLIENT || !SetCursor(owner, left))
            return false;
        result = TRUE;
        return true;
    case WM_LBUTTONDOWN: ButtonDown(owner, left, point); return true;
    case WM_MOUSEMOVE: moved = MouseMove(point); return true;
    case WM_LBUTTONUP:
        if (m_bDragging) ::ReleaseCapture();
        return true;
    case WM_CAPTURECHANGED: CaptureLost(); return true;
    default: return false;
    }
}

void CPaneDivider::CaptureLost() {
    if (!m_bDragging) return;
    m_bDragging = false;
    ::ClipCursor(nullptr);
}
