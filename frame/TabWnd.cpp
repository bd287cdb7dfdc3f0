#include "frame/TabWnd.h"

#include "app/ProtocolLog.h"
#include "forms/ChildDialog.h"
#include "frame/FrameLogic.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

namespace {

// The form frame's top form: the first form in z-order that shows.
HWND TopForm(HWND frame) {
    for (HWND h = ::GetWindow(frame, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
        if (::IsWindowVisible(h) && dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(h))) return h;
    return nullptr;
}

const char* NotificationName(UINT code) {
    switch (code) {
    case TCN_SELCHANGING: return "TCN_SELCHANGING";
    case TCN_SELCHANGE: return "TCN_SELCHANGE";
    default: return nullptr;
    }
}

} // namespace

bool CTabWnd::Create(const RECT& rect, HWND frame) {
    return CTabCtrl::Create(WS_VISIBLE | TCS_MULTILINE, rect, frame, kId);
}

LRESULT CTabWnd::OnSelchanging() {
    HWND form = TopForm(::GetParent(m_hWnd));
    if (!form) return FALSE;
    if (::SendMessageA(form, WM_COMMAND, MAKEWPARAM(ID_FORM_OK, 0xFFFF), 0) == 0) {
        ::SendMessageA(form, WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
        return TRUE; // refused: the page stays
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
        vorlan::TraceWindowMessage("CTabWnd", NotificationName(header->code));
        if (header->code == TCN_SELCHANGING) return OnSelchanging();
        if (header->code == TCN_SELCHANGE) return OnSelchange();
        return 0;
    }
    vorlan::TraceWindowMessage("CTabWnd", vorlan::WindowMessageName(msg));
    return CTabCtrl::WindowProc(msg, wParam, lParam);
}
