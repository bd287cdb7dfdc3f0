#include "frame/TabWnd.h"

#include "app/ProtocolLog.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

namespace {

// The form frame's top form: the first form window in z-order.
HWND TopForm(HWND frame, HWND tabs) {
    for (HWND h = ::GetWindow(frame, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        int id = ::GetDlgCtrlID(h);
        if (h != tabs && ::IsWindowVisible(h) && id > 0 && id < 0x8000) return h;
    }
    return nullptr;
}

} // namespace

bool CTabWnd::Create(const RECT& rect, HWND frame) {
    return CTabCtrl::Create(WS_VISIBLE | TCS_MULTILINE, rect, frame, kId);
}

LRESULT CTabWnd::OnSelchanging() {
    HWND frame = ::GetParent(m_hWnd);
    HWND form = TopForm(frame, m_hWnd);
    if (!form) return FALSE;
    if (::SendMessageA(form, WM_COMMAND, MAKEWPARAM(ID_FORM_OK, 0xFFFF), 0) == 0) {
        ::SendMessageA(form, WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
        return TRUE; // refused
    }
    return FALSE;
}

LRESULT CTabWnd::OnSelchange() {
    int index = GetCurSel();
    LPARAM value = GetItemParam(index);
    ::SendMessageA(::GetParent(m_hWnd), WM_DIAGSELECTED, static_cast<WPARAM>(value), index);
    return 0;
}

LRESULT CTabWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == kReflectBase + WM_NOTIFY) {
        auto* header = reinterpret_cast<NMHDR*>(lParam);
        if (header->code == TCN_SELCHANGING) return OnSelchanging();
        if (header->code == TCN_SELCHANGE) return OnSelchange();
        return 0;
    }
    return CTabCtrl::WindowProc(msg, wParam, lParam);
}
