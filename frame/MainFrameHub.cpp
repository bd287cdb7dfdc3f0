// The main frame's window procedure: the private messages that turn menu choices, memo
// names, web calls and a second program start into server requests and form frames.
#include "frame/MainFrame.h"

#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "forms/ChildDialog.h"
#include "forms/FormGlobals.h"
#include "forms/FormMessages.h"
#include "frame/BaseMDI.h"
#include "frame/BaseModal.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tools/IconList.h"

#include <cstdlib>
#include <cstring>
#include <exception>

namespace {

constexpr LRESULT kModalDefault = ID_FORM_OK;

} // namespace

LRESULT CMainFrame::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    vorlan::TraceWindowMessage("CMainFrame", vorlan::WindowMessageName(msg));
    if (m_nAddOnMessage && msg == m_nAddOnMessage) {
        if (wParam == 1) OnSync();
        return 1;
    }
    switch (msg) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) {
            MDIIconArrange();
            SizeContents();
        }
        return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
    case WM_CHILDACTIVATE: return 1;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_CONTEXTMENU:
        if (::GetDlgCtrlID(reinterpret_cast<HWND>(wParam)) == ID_MDI_CLIENT) break;
        return 1;
    case WM_MENUSELECT: m_wndReBar.SendMessage(msg, wParam, lParam); break;
    case WM_CUSTOMIZE_TOOLBAR: return OnCustomizeToolbar(reinterpret_cast<HWND>(wParam));
    case WM_ENTERIDLE: OnEnterIdle(wParam, lParam); break;
    case WM_IDLEUPDATECMDUI: OnIdleUpdateBars(); break;
    case WM_MENUCHAR: return OnMenuChar(wParam, lParam);
    case WM_ENTERMENULOOP: OnMenuLoop(true); return 1;
    case WM_EXITMENULOOP: OnMenuLoop(false); return 1;
    case WM_SETMESSAGESTRING: return OnSetMessageString(wParam, lParam);
    case WM_MENUSELECTED: return OnMenuSelected(wParam);
    case WM_SETFKEY: return OnSetFKey(wParam, reinterpret_cast<const char*>(lParam));
    case WM_CREATEMDIDIALOG: return OnCreateMDIDialog(reinterpret_cast<const char*>(wParam), lParam);
    case WM_CREATEOWNDIALOG: return OnCreateOwnDialog(reinterpret_cast<const char*>(wParam), lParam);
    case WM_CLOSEDIALOG: return OnCloseDialog();
    case WM_SETMEMO:
        return OnSetMemo(reinterpret_cast<const char*>(wParam), reinterpret_cast<const char*>(lParam));
    case WM_CHANGELOGIN:
        return OnChangeLoginMessage(reinterpret_cast<const char*>(wParam),
                                    reinterpret_cast<const char*>(lParam));
    case WM_COPYDATA: return OnCopyData(reinterpret_cast<const COPYDATASTRUCT*>(lParam));
    case WM_CREATEMENU:
    case WM_SETBUTTON: return 1;
    case WM_STARTMEMO: return OnStartMemo(reinterpret_cast<const char*>(wParam), lParam);
    case WM_WEBBROWSER:
        if (!theApp.IsDefaultAppTitle() || m_wndMenuTree.IsMenuEditMode()) return 0;
        return reinterpret_cast<LRESULT>(
            m_pViewer->OpenWebPage(reinterpret_cast<const char*>(wParam), lParam != 0, ""));
    case WM_CALLFROMWEB:
        return OnCallFromWeb(reinterpret_cast<const char*>(wParam), reinterpret_cast<const char*>(lParam));
    case WM_CLOSE: OnClose(); return 0;
    case WM_DESTROY: OnDestroy(); break;
    case WM_TIMER:
        if (wParam == kFrameTimer) {
            OnTimer(static_cast<UINT>(wParam));
            return 0;
        }
        break;
    case WM_ACTIVATE: return OnActivate(wParam, lParam);
    case WM_NCACTIVATE: return OnNcActivate(wParam, lParam);
    case WM_SYSCOMMAND: return OnSysCommand(wParam, lParam);
    case WM_HELP: OnHelpInfo(reinterpret_cast<const HELPINFO*>(lParam)); return TRUE;
    case WM_SETFOCUS:
        SetIdleText();
        if (m_hWndMDIClient) ::SetFocus(m_hWndMDIClient);
        return 0;
    case WM_MEASUREITEM:
        if (m_menuDrawer.OnMeasureItem(m_hWnd, reinterpret_cast<MEASUREITEMSTRUCT*>(lParam))) return TRUE;
        break;
    case WM_DRAWITEM:
        if (m_menuDrawer.OnDrawItem(reinterpret_cast<DRAWITEMSTRUCT*>(lParam))) return TRUE;
        break;
    default: break;
    }
    return CMDIFrameWnd::WindowProc(msg, wParam, lParam);
}

LRESULT CMainFrame::OnNotify(NMHDR* header) {
    // The desktop's list tells its parent; the desktop itself acts on it.
    if (header && m_pIconList && header->hwndFrom == m_pIconList->m_hWnd)
        return m_pIconList->OnNotifyReflect(header);
    if (header && header->hwndFrom == m_wndStatusBar.m_hWnd && header->code == NM_CLICK && m_bLoggedIn) {
        OnChangeLoginDialog(); // it answers with WM_CHANGELOGIN
        return 0;
    }
    if (header && header->hwndFrom == m_wndReBar.m_hWnd &&
        header->code == static_cast<UINT>(RBN_HEIGHTCHANGE)) {
        SizeContents();
        ::RedrawWindow(m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ALLCHILDREN);
        return 0;
    }
    if (header && header->hwndFrom == m_wndMenuReBar.m_hWnd &&
        header->code == static_cast<UINT>(RBN_HEIGHTCHANGE)) {
        SizeContents();
        return 0;
    }
    return CMDIFrameWnd::WindowProc(WM_NOTIFY, header ? header->idFrom : 0, reinterpret_cast<LPARAM>(header));
}

void CMainFrame::OnMenuLoop(bool entering) {
    if (!m_wndStatusBar.m_hWnd) return;
    if (entering) {
        if (!m_wndStatusBar.IsSimple()) m_wndStatusBar.SetSimple(true);
        CString idle;
        idle.LoadString(IDS_IDLE_TEXT);
        m_wndStatusBar.SetText(SB_SIMPLEID, idle, SBT_NOBORDERS);
    } else if (m_wndStatusBar.IsSimple()) {
        m_wndStatusBar.SetSimple(false);
    }
}

LRESULT CMainFrame::OnSetMessageString(WPARAM id, LPARAM text) {
    if (!m_wndStatusBar.m_hWnd) return 0;
    if (text) {
        SetStatusText(reinterpret_cast<const char*>(text));
        return 0;
    }
    if (!m_wndStatusBar.IsSimple() || id == 0 || id == IDS_IDLE_TEXT) return 0;
    CString prompt;
    GetMessageString(static_cast<UINT>(id), prompt);
    m_wndStatusBar.SetText(SB_SIMPLEID, prompt, SBT_NOBORDERS);
    return 0;
}

LRESULT CMainFrame::OnMenuSelected(WPARAM number) {
    vorlan::g_strDialogMemo = TheSession().Execute(vorlan::VariableLine("%MEMO"));
    CString answer = TheSession().Execute(vorlan::SelectByNumberLine(static_cast<unsigned>(number)).c_str());
    std::string dialog = vorlan::DialogOfMenuAnswer(answer.str());
    if (!dialog.empty()) SendMessage(WM_CREATEMDIDIALOG, reinterpret_cast<WPARAM>(dialog.c_str()));
    return 1;
}

LRESULT CMainFrame::OnStartMemo(const char* name, LPARAM flag) {
    if (!name || !*name) return 0;
    CString entry(name);
    vorlan::g_strDialogMemo = TheSession().Execute(vorlan::VariableLine("%MEMO"));
    CString answer = TheSession().Execute(vorlan::SelectByNameLine(entry.str()).c_str());
    if (!answer.IsEmpty()) {
        if (SendMessage(WM_CREATEMDIDIALOG, reinterpret_cast<WPARAM>(answer.c_str())))
            m_wndMemo.SendMessage(WM_SETMEMO);
        return 0;
    }
    vorlan::EntryFallback kind = vorlan::ClassifyEntryName(entry.str());
    // Terminals, web pages and the help name are not offered under a product title of its own.
    if (kind != vorlan::EntryFallback::Debugger && kind != vorlan::EntryFallback::Unknown &&
        !theApp.IsDefaultAppTitle())
        kind = vorlan::EntryFallback::Unknown;
    switch (kind) {
    case vorlan::EntryFallback::Debugger: theApp.DebugWindow(); break;
    case vorlan::EntryFallback::Telnet:
    case vorlan::EntryFallback::Ssh:
        if (!m_bLoggedIn || TheSession().Execute(vorlan::kDeveloperCheckLine) != "1") {
            AfxMessageBox(IDS_TELNET_RIGHTS);
            break;
        }
        m_pViewer->OpenTerminal(kind == vorlan::EntryFallback::Ssh);
        break;
    case vorlan::EntryFallback::WebAddress:
        if (!m_wndMenuTree.IsMenuEditMode()) m_pViewer->OpenWebPage(entry, flag != 0, "");
        break;
    case vorlan::EntryFallback::Help:
    case vorlan::EntryFallback::None: break;
    case vorlan::EntryFallback::Unknown: AfxMessageBox(IDS_UNKNOWN_ENTRY); break;
    }
    return 0;
}

LRESULT CMainFrame::OnCreateMDIDialog(const char* text, LPARAM record) {
    CString dialogText(text);
    auto* active = dynamic_cast<CBaseMDI*>(MDIGetActiveFrame());
    if (active) {
        CString name = CString(vorlan::PieceOf(dialogText.str(), 1)).Left(127);
        for (HWND h = ::GetWindow(m_hWndMDIClient, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT)) {
            auto* frame = dynamic_cast<CBaseMDI*>(CWnd::FromHandlePermanent(h));
            CChildDialog* form = frame ? frame->GetForm(1) : nullptr;
            if (!form || form->GetFormName() != name) continue;
            if (::IsIconic(h))
                MDIRestore(h);
            else
                MDIActivate(h);
            if (CChildDialog* top = frame->GetTopForm())
                top->SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1));
            frame->SendMessage(WM_SETMEMO);
            return 1;
        }
    }
    CWaitCursor wait;
    POINT position{0, 0};
    if (active && !m_wndMenuTree.IsMenuEditMode()) {
        HWND host = reinterpret_cast<HWND>(active->SendMessage(WM_GETSTICKEDWINDOW));
        if (!host || !::IsWindow(host)) host = active->m_hWnd;
        if (!::IsIconic(host) && !::IsZoomed(host)) {
            RECT r;
            ::GetWindowRect(host, &r);
            ::MapWindowPoints(nullptr, m_hWndMDIClient, reinterpret_cast<POINT*>(&r), 2);
            position = POINT{r.left + 18, r.top + 18};
        }
    }
    auto* frame = new CBaseMDI;
    // Create deletes a frame it refuses.
    if (frame->Create(m_fontNormal, m_fontBold, m_fontFixed, dialogText, 0, 0, 0, &position,
                      m_wndMenuTree.IsMenuEditMode(), reinterpret_cast<const char*>(record))) {
        if (frame->GetWindowRect().right >= ::GetSystemMetrics(SM_CXSCREEN))
            theApp.WriteProfileInt("Settings", "AutomaticMenuHiding", 1);
        frame->Show(SW_SHOWNORMAL);
    }
    return 1;
}

LRESULT CMainFrame::OnCreateOwnDialog(const char* dialogText, LPARAM lParam) {
    auto* record = reinterpret_cast<vorlan::OwnDialogRecord*>(lParam);
    if (!record) return ID_FORM_CLOSE;
    record->window = nullptr;
    LRESULT result = kModalDefault;
    CWaitCursor wait;
    HWND savedFocus = m_hSavedFocus;
    ::SetFocus(nullptr);
    // Modal windows nest: the one that ran before runs again once this one is done.
    HWND outerModal = m_hRunningModal;
    try {
        auto* modal = new CBaseModal;
        // Create deletes a window it cannot make, and then the caller restores its variables.
        if (modal->Create(record->owner, m_fontNormal, m_fontBold, m_fontFixed, dialogText, *record)) {
            HWND window = modal->m_hWnd;
            result = modal->DoModal();
            // A window that its own forms ended is gone with its object: nothing to hand back.
            if (::IsWindow(window)) record->window = window;
        } else {
            result = ID_FORM_CLOSE;
        }
    } catch (const std::exception&) {
        AfxMessageBox("Ein Fehler ist aufgetreten: MainFrm - Zeile 3250", MB_OK | MB_ICONSTOP);
        result = ID_FORM_CLOSE;
    }
    m_hRunningModal = outerModal;
    m_hSavedFocus = savedFocus;
    return result;
}

CBaseModal* CMainFrame::GetRunningModal() const {
    if (!m_hRunningModal || !::IsWindow(m_hRunningModal)) return nullptr;
    return dynamic_cast<CBaseModal*>(CWnd::FromHandlePermanent(m_hRunningModal));
}

LRESULT CMainFrame::OnCloseDialog() {
    if (dynamic_cast<CBaseMDI*>(MDIGetActiveFrame())) return 1;
    if (m_bLoggedIn && m_wndMenuTree.m_hWnd) ::SetFocus(m_wndMenuTree.m_hWnd);
    CString title;
    theApp.GetAppTitle(title);
    SetWindowText(title);
    m_wndMemo.SetWindowText("");
    for (int n = 6; n >= 0; --n)
        SendMessage(WM_SETFKEY, static_cast<WPARAM>(n), 0);
    if (theApp.Settings().q) PostMessage(WM_CLOSE);
    return 1;
}

LRESULT CMainFrame::OnSetMemo(const char* text, const char* detail) {
    CString shown(text);
    if (detail) shown += CString(" (") + detail + ")";
    m_wndMemo.SendMessage(WM_SETMEMO, reinterpret_cast<WPARAM>(shown.c_str()));
    if (!m_bLoggedIn) return 0;
    if (detail) {
        m_strLastMemo = CString(text).Left(129);
        m_wndMenuTree.PostMessage(WM_MENUSELECTED, reinterpret_cast<WPARAM>(m_strLastMemo.c_str()));
    }
    return 1;
}

LRESULT CMainFrame::OnSetFKey(WPARAM index, const char* text) {
    if (index >= static_cast<WPARAM>(vorlan::kKeyCount)) return 0; // a key the table does not have
    m_strKeys[index] = text ? CString(vorlan::FunctionKeyEntry(text)) : CString();
    return 1;
}

LRESULT CMainFrame::OnCallFromWeb(const char* key, const char* parameter) {
    if (!m_bLoggedIn || !key || !*key) return 1;
    CString upperKey(key);
    upperKey.MakeUpper();
    CString entry = TheSession().Execute(vorlan::WebEntryLine(upperKey.str()).c_str());
    if (parameter) TheSession().Execute(vorlan::WebParameterLine(parameter).c_str());
    SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>(entry.c_str()), 1);
    TheSession().Execute(vorlan::kWebParameterEndLine);
    return 1;
}

LRESULT CMainFrame::OnCopyData(const COPYDATASTRUCT* data) {
    // A second start hands over its settings (a copy: a pointer means nothing across processes).
    if (!data || data->dwData != WM_INITAPP || data->cbData != sizeof(vorlan::SettingsBlock) || !data->lpData)
        return FALSE;
    if (::IsIconic(m_hWnd)) ShowWindow(SW_RESTORE);
    ::SetForegroundWindow(m_hWnd);
    std::memcpy(&theApp.Settings(), data->lpData, sizeof(vorlan::SettingsBlock));
    vorlan::TerminateTextFields(theApp.Settings());
    // Posted: the sender waits for this answer, not for the log-in.
    PostMessage(WM_COMMAND, ID_LOGIN);
    return TRUE;
}

LRESULT CMainFrame::OnChangeLoginMessage(const char* client, const char* year) {
    if (HasFormFrames()) {
        if (AfxMessageBox(IDS_CHANGE_LOGIN_WITH_FORMS, MB_YESNO | MB_ICONQUESTION) != IDYES) return 0;
    }
    SaveInfos();
    ChangeLogin(client, year);
    SetInfos();
    return 1;
}

void CMainFrame::OnSync() {
    if (std::atoi(TheSession().Execute(vorlan::kPocketKindLine)) != 0)
        TheSession().Execute(vorlan::kPocketInstallLine);
}
