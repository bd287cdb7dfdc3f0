#include "frame/ToolbarMemo.h"

#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "frame/FrameLogic.h"
#include "resources/resource.h"

namespace {

constexpr int kItemText = 127;

} // namespace

bool CToolbarMemo::Create(HWND parent, UINT id) {
    DWORD style = WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | WS_VSCROLL | WS_TABSTOP |
                  CBS_DROPDOWN | CBS_AUTOHSCROLL;
    return CComboBoxEx::Create(style, CRect(0, 0, 20, 200), parent, id);
}

void CToolbarMemo::StartSession() {
    vorlan::TraceFunction("CToolbarMemo::StartSession");
    if (TheSession().Execute(vorlan::VariableLine("%USER")).IsEmpty()) return;
    for (int n = 0; n < kHistory; ++n) {
        CString item = TheSession().Execute(vorlan::MemoHistoryLine(n));
        if (item.IsEmpty()) break;
        InsertItem(n, item.Left(kItemText));
    }
}

void CToolbarMemo::EndSession() {
    vorlan::TraceFunction("CToolbarMemo::EndSession");
    SetWindowText("");
    if (!TheSession().Execute(vorlan::VariableLine("%USER")).IsEmpty()) {
        int n = GetCount();
        for (int i = 0; i < n; ++i) {
            CString item = GetItemText(i).Left(kItemText);
            item.Replace("\"", "'");
            TheSession().Execute(vorlan::SaveMemoHistoryLine(i, item.str()));
        }
    }
    while (GetCount() > 0)
        DeleteItem(0);
}

LRESULT CToolbarMemo::StartMemo(const char* text) {
    CString name(text ? text : "");
    int blank = name.Find(' ');
    if (blank >= 0) name = name.Left(blank);
    return ::SendMessageA(MainFrame(), WM_STARTMEMO, reinterpret_cast<WPARAM>(name.c_str()), 0);
}

void CToolbarMemo::ShowMemo(const char* text) {
    CString shown = text ? CString(text) : GetWindowText();
    shown = shown.Left(kItemText);
    SetWindowText(shown);
    if (FindExact(shown) >= 0) return;
    while (GetCount() > kHistory - 1)
        DeleteItem(GetCount() - 1);
    InsertItem(0, shown);
    SetWindowText(shown);
}

LRESULT CToolbarMemo::OnReflectedCommand(WPARAM wParam) {
    if (HIWORD(wParam) != CBN_SELENDOK) return 0;
    int sel = static_cast<int>(SendMessage(CB_GETCURSEL));
    if (sel < 0) return 0;
    CString text = GetItemText(sel);
    ::SetFocus(MainFrame());
    StartMemo(text);
    return 0;
}

LRESULT CToolbarMemo::OnReflectedNotify(NMHDR* header) {
    if (header->code != CBEN_ENDEDITA) return 0;
    auto* end = reinterpret_cast<NMCBEENDEDITA*>(header);
    if (end->iWhy != CBENF_RETURN) return 1;
    LRESULT result = StartMemo(end->szText);
    // The screen that opened took the focus; the box takes it back once it has ended its edit,
    // so it is handed on again then. Nothing opened (an unknown name): the box keeps it.
    HWND focus = ::GetFocus();
    if (focus && !HoldsFocus(focus)) {
        m_hFocusAfterMemo = focus;
        PostMessage(kFocusAfterMemo);
    }
    return result;
}

bool CToolbarMemo::HoldsFocus(HWND window) const {
    return window == m_hWnd || ::IsChild(m_hWnd, window);
}

void CToolbarMemo::OnFocusAfterMemo() {
    HWND target = m_hFocusAfterMemo;
    m_hFocusAfterMemo = nullptr;
    if (target && ::IsWindow(target) && ::IsWindowVisible(target) && HoldsFocus(::GetFocus()))
        ::SetFocus(target);
}

LRESULT CToolbarMemo::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SETMEMO: ShowMemo(reinterpret_cast<const char*>(wParam)); return 0;
    case WM_MENUSHOW: return 1;
    case kFocusAfterMemo: OnFocusAfterMemo(); return 0;
    case kReflectBase + WM_COMMAND: return OnReflectedCommand(wParam);
    case kReflectBase + WM_NOTIFY: return OnReflectedNotify(reinterpret_cast<NMHDR*>(lParam));
    default: return CComboBoxEx::WindowProc(msg, wParam, lParam);
    }
}

bool CToolbarMemo::PreTranslateMessage(MSG* msg) {
    if (!m_hMenuTree || !::IsWindow(m_hMenuTree) || !::IsWindowVisible(m_hMenuTree)) return false;
    if (msg->message != WM_KEYDOWN) return false;
    if (msg->wParam == VK_TAB) {
        ::SetFocus(m_hMenuTree);
        return true;
    }
    if (msg->wParam == VK_ESCAPE) {
        if (m_fnControlFocus) m_fnControlFocus();
        return true;
    }
    return false;
}
