#include "framework/Frame.h"
#include "framework/App.h"
#include "framework/MDIClient.h"
#include "framework/TestMode.h"

#include <algorithm>

// CFrameWnd

LRESULT CFrameWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: {
        LRESULT r = DefWindowProc(msg, wParam, lParam);
        if (r == -1) return -1;
        return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    }
    case WM_COMMAND:
        if (OnCommand(wParam, lParam)) return 0;
        break;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(reinterpret_cast<HMENU>(wParam), LOWORD(lParam), HIWORD(lParam) != 0);
        return 0;
    case WM_MENUSELECT: {
        UINT flags = HIWORD(wParam);
        if (flags == 0xFFFF && lParam == 0)
            SendMessage(WM_SETMESSAGESTRING, kIdleMessageId);
        else if (!(flags & (MF_POPUP | MF_SEPARATOR | MF_SYSMENU)))
            SendMessage(WM_SETMESSAGESTRING, LOWORD(wParam));
        return 0;
    }
    case WM_SETMESSAGESTRING: {
        if (lParam) {
            SetMessageText(reinterpret_cast<const char*>(lParam));
        } else {
            CString text;
            GetMessageString(static_cast<UINT>(wParam), text);
            SetMessageText(text);
        }
        return 0;
    }
    case WM_IDLEUPDATECMDUI: OnIdleUpdateCmdUI(); return 0;
    case WM_NOTIFY: {
        auto* hdr = reinterpret_cast<NMHDR*>(lParam);
        if (hdr && hdr->code == TTN_GETDISPINFOA && OnToolTipText(reinterpret_cast<NMTTDISPINFOA*>(hdr)))
            return 0;
        break;
    }
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) RecalcLayout();
        break;
    default: break;
    }
    return DefWindowProc(msg, wParam, lParam);
}

int CFrameWnd::OnCreate(CREATESTRUCTA*) {
    return 0;
}

bool CFrameWnd::OnOwnCmdMsg(UINT, int, CCmdUI*) {
    return false;
}

bool CFrameWnd::OnCmdMsg(UINT id, int code, CCmdUI* ui) {
    if (OnOwnCmdMsg(id, code, ui)) return true;
    CWinApp* app = AfxGetApp();
    return app && app->OnCmdMsg(id, code, ui);
}

bool CFrameWnd::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam);
    if (lParam) {
        // From a control: only a button's click is a command; the rest are notifications.
        if (HIWORD(wParam) != BN_CLICKED) return false;
    } else {
        // A menu item or accelerator whose command went disabled meanwhile does not run.
        CCmdUI test(id);
        if (OnCmdMsg(id, kUpdateCommandUI, &test) && !test.m_bEnabled) return true;
        bool ran = OnCmdMsg(id, kCommand, nullptr);
        fw::TestMode::RecordCommand(id, ran);
        return ran;
    }
    return OnCmdMsg(id, kCommand, nullptr);
}

void CFrameWnd::GetMessageString(UINT id, CString& out) const {
    out.Empty();
    if (id == 0) return;
    CString s;
    if (!s.LoadString(id)) return;
    int nl = s.Find('\n');
    out = nl >= 0 ? s.Left(nl) : s;
}

bool CFrameWnd::OnToolTipText(NMTTDISPINFOA* info) {
    if (!info) return false;
    static CString tip; // the control copies it before the next notification
    CString s;
    s.LoadString(static_cast<UINT>(info->hdr.idFrom));
    int nl = s.Find('\n');
    tip = nl >= 0 ? s.Mid(nl + 1) : s;
    info->lpszText = const_cast<char*>(tip.c_str());
    return true;
}

void CFrameWnd::UpdateCmdUI(CCmdUI& ui) {
    if (OnCmdMsg(ui.m_nID, kUpdateCommandUI, &ui)) return;
    if (m_bAutoMenuEnable) ui.Enable(OnCmdMsg(ui.m_nID, kProbeCommand, nullptr));
}

void CFrameWnd::UpdateMenu(HMENU popup) {
    int count = ::GetMenuItemCount(popup);
    for (int i = 0; i < count && i < ::GetMenuItemCount(popup); ++i) {
        UINT id = ::GetMenuItemID(popup, i);
        if (id == 0 || id == static_cast<UINT>(-1) || id >= 0xF000) continue; // separator, popup, system
        CCmdUI ui = CCmdUI::ForMenuItem(popup, static_cast<UINT>(i));
        UpdateCmdUI(ui);
        count = ::GetMenuItemCount(popup); // an update handler may rebuild the menu
    }
}

void CFrameWnd::OnInitMenuPopup(HMENU popup, UINT, bool systemMenu) {
    if (!systemMenu) UpdateMenu(popup);
}

void CFrameWnd::AddUpdateBar(HWND toolbar) {
    if (std::find(m_updateBars.begin(), m_updateBars.end(), toolbar) == m_updateBars.end())
        m_updateBars.push_back(toolbar);
}

void CFrameWnd::RemoveUpdateBar(HWND toolbar) {
    m_updateBars.erase(std::remove(m_updateBars.begin(), m_updateBars.end(), toolbar), m_updateBars.end());
}

void CFrameWnd::OnIdleUpdateCmdUI() {
    for (HWND bar : m_updateBars) {
        if (!::IsWindow(bar) || !::IsWindowVisible(bar)) continue;
        int n = static_cast<int>(::SendMessageA(bar, TB_BUTTONCOUNT, 0, 0));
        for (int i = 0; i < n; ++i) {
            TBBUTTON b{};
            if (!::SendMessageA(bar, TB_GETBUTTON, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&b)))
                continue;
            if (b.fsStyle & BTNS_SEP) continue;
            CCmdUI ui = CCmdUI::ForToolBarButton(bar, static_cast<UINT>(b.idCommand));
            UpdateCmdUI(ui);
        }
    }
}

// CMDIFrameWnd

int CMDIFrameWnd::OnCreate(CREATESTRUCTA* cs) {
    if (CFrameWnd::OnCreate(cs) == -1) return -1;
    return OnCreateClient(cs) ? 0 : -1;
}

bool CMDIFrameWnd::OnCreateClient(CREATESTRUCTA*) {
    auto* client = new CMDIClientWnd;
    client->m_bAutoDelete = true;
    if (!client->CreateClient(WS_EX_CLIENTEDGE, "FwMDIClient", WS_VISIBLE | WS_CLIPSIBLINGS,
                              CRect(0, 0, 0, 0), m_hWnd, 0xE900)) {
        delete client;
        return false;
    }
    m_hWndMDIClient = client->m_hWnd;
    return true;
}

bool CMDIFrameWnd::OnCmdMsg(UINT id, int code, CCmdUI* ui) {
    // The active child's tables come first: its commands shadow the frame's.
    if (CMDIChildWnd* child = MDIGetActiveFrame())
        if (child->OnOwnCmdMsg(id, code, ui)) return true;
    return CFrameWnd::OnCmdMsg(id, code, ui);
}

void CMDIFrameWnd::OnIdleUpdateCmdUI() {
    CFrameWnd::OnIdleUpdateCmdUI();
    if (CMDIChildWnd* child = MDIGetActiveFrame()) child->OnIdleUpdateCmdUI();
}

void CMDIFrameWnd::RecalcLayout() {
    if (!m_hWndMDIClient) return;
    CRect r = GetClientRect();
    ::MoveWindow(m_hWndMDIClient, r.left, r.top, r.Width(), r.Height(), TRUE);
}

HWND CMDIFrameWnd::MDIGetActive(BOOL* maximized) const {
    if (maximized) *maximized = FALSE;
    if (!m_hWndMDIClient) return nullptr;
    return reinterpret_cast<HWND>(
        ::SendMessageA(m_hWndMDIClient, WM_MDIGETACTIVE, 0, reinterpret_cast<LPARAM>(maximized)));
}

CMDIChildWnd* CMDIFrameWnd::MDIGetActiveFrame() const {
    return dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(MDIGetActive()));
}

void CMDIFrameWnd::MDIActivate(HWND child) const {
    ::SendMessageA(m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(child), 0);
}

void CMDIFrameWnd::MDINext(bool previous) const {
    ::SendMessageA(m_hWndMDIClient, WM_MDINEXT, 0, previous ? 1 : 0);
}

void CMDIFrameWnd::MDIMaximize(HWND child) const {
    ::SendMessageA(m_hWndMDIClient, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(child), 0);
}

void CMDIFrameWnd::MDIRestore(HWND child) const {
    ::SendMessageA(m_hWndMDIClient, WM_MDIRESTORE, reinterpret_cast<WPARAM>(child), 0);
}

void CMDIFrameWnd::MDICascade() const {
    ::SendMessageA(m_hWndMDIClient, WM_MDICASCADE, 0, 0);
}

void CMDIFrameWnd::MDITile(UINT how) const {
    ::SendMessageA(m_hWndMDIClient, WM_MDITILE, how, 0);
}

void CMDIFrameWnd::MDIIconArrange() const {
    ::SendMessageA(m_hWndMDIClient, WM_MDIICONARRANGE, 0, 0);
}

std::vector<HWND> CMDIFrameWnd::MDIChildren() const {
    auto* client = dynamic_cast<CMDIClientWnd*>(CWnd::FromHandlePermanent(m_hWndMDIClient));
    return client ? client->Children() : std::vector<HWND>();
}

// CMDIChildWnd

bool CMDIChildWnd::Create(const char* className, const char* title, DWORD style, const RECT& rect,
                          CMDIFrameWnd* frame, LPARAM param) {
    if (!frame || !frame->m_hWndMDIClient) return false;
    m_pMDIFrame = frame;
    CREATESTRUCTA cs =
        fw::MakeCreateStruct(0, className, title, style, rect, frame->m_hWndMDIClient, 0, nullptr);
    if (!PreCreateWindow(cs)) return false;
    MDICREATESTRUCTA mcs{};
    mcs.szClass = cs.lpszClass;
    mcs.szTitle = cs.lpszName;
    mcs.hOwner = ::GetModuleHandleA(nullptr);
    mcs.x = cs.x;
    mcs.y = cs.y;
    mcs.cx = cs.cx;
    mcs.cy = cs.cy;
    mcs.style = static_cast<DWORD>(cs.style);
    mcs.lParam = param;
    HWND hwnd;
    {
        fw::CreationScope scope(this, cs.lpszClass);
        m_bBeingCreated = true;
        hwnd = reinterpret_cast<HWND>(
            ::SendMessageA(frame->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs)));
        m_bBeingCreated = false;
    }
    if (!hwnd && m_hWnd) Detach();
    return hwnd != nullptr;
}

bool CMDIChildWnd::IsActiveChild() const {
    return m_hWnd && m_pMDIFrame && m_pMDIFrame->MDIGetActive() == m_hWnd;
}

void CMDIChildWnd::MDIActivate() const {
    if (HWND client = GetMDIClient())
        ::SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIDestroy() const {
    if (HWND client = GetMDIClient())
        ::SendMessageA(client, WM_MDIDESTROY, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIMaximize() const {
    if (HWND client = GetMDIClient())
        ::SendMessageA(client, WM_MDIMAXIMIZE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

void CMDIChildWnd::MDIRestore() const {
    if (HWND client = GetMDIClient())
        ::SendMessageA(client, WM_MDIRESTORE, reinterpret_cast<WPARAM>(m_hWnd), 0);
}

LRESULT CMDIChildWnd::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_MOUSEACTIVATE: {
        // A click anywhere inside makes the child the active one.
        LRESULT r = CFrameWnd::WindowProc(msg, wParam, lParam);
        if (m_hWnd && !IsActiveChild()) MDIActivate();
        return r;
    }
    case WM_CHILDACTIVATE:
        if (!IsActiveChild()) MDIActivate();
        return 0;
    default: return CFrameWnd::WindowProc(msg, wParam, lParam);
    }
}
