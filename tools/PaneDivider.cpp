#include "tools/PaneDivider.h"

#include <algorithm>

bool CPaneDivider::IsOver(HWND owner, HWND left, POINT point) const {
    if (!left) return false;
    RECT tree{};
    ::GetWindowRect(left, &tree);
    ::ClientToScreen(owner, &point);
    return point.x >= tree.right && point.x < tree.right + kGap && point.y >= tree.top && point.y < tree.bottom;
}

bool CPaneDivider::SetCursor(HWND owner, HWND left) const {
    POINT point;
    ::GetCursorPos(&point);
    ::ScreenToClient(owner, &point);
    if (!m_bDragging && !IsOver(owner, left, point)) return false;
    ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
    return true;
}

void CPaneDivider::ButtonDown(HWND owner, HWND left, POINT point) {
    if (!IsOver(owner, left, point)) return;
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

void CPaneDivider::ButtonUp() const {
    if (m_bDragging) ::ReleaseCapture();
}

void CPaneDivider::CaptureLost() {
    if (!m_bDragging) return;
    m_bDragging = false;
    ::ClipCursor(nullptr);
}
