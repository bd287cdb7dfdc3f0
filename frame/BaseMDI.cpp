#include "frame/BaseMDI.h"

#include "app/AppLogic.h"
#include "app/ReplyFields.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "controls/GridCtrl.h"
#include "forms/ChildDialog.h"
#include "forms/FormGlobals.h"
#include "forms/FormMessages.h"
#include "frame/FormFrameLogic.h"
#include "frame/FrameDialogsLogic.h"
#include "frame/FrameLogic.h"
#include "frame/MainFrame.h"
#include "framework/Gdi.h"
#include "resources/MainFrameIds.h"
#include "resources/PrintIds.h"
#include "resources/resource.h"

#include <cstdlib>
#include <cstring>

using vorlan::TraceFunction;

CBaseMDI::CBaseMDI() : CFormFrame(static_cast<CWnd&>(*this)) {}

CString CBaseMDI::TitleScreenName() const {
    CChildDialog* top = GetTopForm();
    return top ? top->GetFormName() : CString();
}

bool CBaseMDI::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.style |= WS_CHILD | WS_CAPTION | WS_SYSMENU | WS_MINIMIZEBOX | WS_CLIPCHILDREN;
    return true;
}

int CBaseMDI::Create(HFONT font1, HFONT font2, HFONT font3, const char* dialogText, UINT dialogId,
                     DWORD style, DWORD, const POINT* position, bool menuEdit, const char* keepList) {
    TraceFunction("CBaseMDI::Create");
    BeginCreate(font1, font2, font3);
    m_nDialogId = dialogId & 0xFFFF;
    m_bMenuEdit = menuEdit;
    m_bNewFrame = true;

    CMainFrame* main = CMainFrame::Get();
    CRect rect;
    ::AdjustWindowRectEx(&rect, WS_CAPTION | WS_CHILD, FALSE, 0);
    rect.OffsetRect(-rect.left, -rect.top);
    if (position) rect.OffsetRect(position->x, position->y);
    if (!main || !CMDIChildWnd::Create(kClassName, "", style, rect, main)) {
        if (main) main->SendMessage(WM_CLOSEDIALOG, m_nDialogId);
        delete this;
        return 0;
    }
    // Until Create is done the window's end leaves the object to Create: the first step of a
    // form may close the frame while it is being made.
    auto abandon = [this] {
        if (m_hWnd) MDIDestroy();
        delete this;
        return 0;
    };

    CChildDialog* first = CreateFirstForm(dialogText, m_nDialogId, 1, keepList);
    if (!first) {
        HWND active = main->MDIGetActive();
        if (active && active != m_hWnd) {
            HWND top = ::GetWindow(active, GW_CHILD);
            ::SendMessageA(active, WM_ACTIVATE, reinterpret_cast<WPARAM>(top), 1);
        }
        return abandon();
    }
    bool tabs = CreateTabs(first);
    if (!m_hWnd) return abandon(); // a page's first step closed the frame, and the forms with it
    m_bCreating = false;
    if (!tabs && first->IsSizable()) {
        LONG_PTR s = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
        ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, s | WS_THICKFRAME | WS_MAXIMIZEBOX);
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    if (m_bars.Create(m_hWnd, first->GetKeys())) {
        if (m_bars.HasKeyTool()) AddUpdateBar(m_bars.KeyTool().m_hWnd);
        // The form was fitted before the bars stood above it.
        if (!tabs) FitToForm(first->m_hWnd);
    }

    SetWinPos();
    if (!tabs) {
        CRect r = GetWindowRect();
        if (first->ChangingSize(r))
            SetWindowPos(nullptr, 0, 0, r.Width(), r.Height(), SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
    CRect client = GetClientRect();
    CalcWinSize(client.Width(), client.Height());
    MDIActivate();
    if (m_nForms > 1) {
        vorlan::ChildMessageRecord fit{vorlan::kChildFit, first->m_hWnd, 0};
        SendMessage(WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&fit));
    }
    m_bAutoDelete = true;
    return 1;
}

void CBaseMDI::ActivateWindow(UINT formId, int mode) {
    TraceFunction("CBaseMDI::ActivateWindow");
    CChildDialog* form = GetForm(formId);
    if (!form) return;
    int tab = TabIndexOf(formId);
    if (tab >= 0) m_wndTabs.SetCurSel(tab);
    form->SendMessage(WM_ACTIVATE, mode & 1, m_lHandOver);

    char answer[kAnswerSize] = {};
    bool enabled = !m_bMenuEdit;
    if (mode & 1)
        enabled = SendMessage(WM_DIALOGINIT, static_cast<WPARAM>(form->GetTabIndex()),
                              reinterpret_cast<LPARAM>(answer)) != 0;
    if ((mode & 1) || m_bMenuEdit) {
        form->EnableWindow(enabled);
        form->SendMessage(WM_UPDATEDIALOG, mode & 0x80);
    }
    TakeFocusField(form, enabled, false);

    BringFormToTop(form);

    m_bSave = !TheSession()
                   .Execute(vorlan::ScreenNodeLine(form->GetDescriptionName().str(), "FSAVE").c_str())
                   .IsEmpty();
    m_bPrint = !TheSession()
                    .Execute(vorlan::ScreenNodeLine(form->GetDescriptionName().str(), "FDRUCK").c_str())
                    .IsEmpty();

    ShowInitAnswer(enabled, answer);
    CMainFrame* main = CMainFrame::Get();
    if ((mode & 1) && main && main->IsScreenNameShown()) SetAppTitle();
}

int CBaseMDI::OnDialogInit(int tab, char* answer) {
    TraceFunction("CBaseMDI::OnDialogInit");
    return RunInit(tab, answer, m_bMenuEdit);
}

void CBaseMDI::Show(int showCommand) {
    TraceFunction("CBaseMDI::Show");
    if (m_nForms > 1 && m_wndTabs.m_hWnd) m_wndTabs.SetCurSel(0);
    ActivateWindow(1, 128);
    bool fullScreen = TheSession().Execute(vorlan::kTakeFullScreenLine) == "1";
    ShowWindow(fullScreen || m_bMaximize ? SW_SHOWMAXIMIZED : showCommand);
    ::BringWindowToTop(m_hWnd);
    CRect r = GetWindowRect();
    m_nShownWidth = r.Width();
    m_nShownHeight = r.Height();
    CChildDialog* top = GetTopForm();
    if (top && ::IsWindowEnabled(top->m_hWnd) && showCommand != 4) top->SendMessage(WM_DIAGSETFOCUS, 0);
}

LRESULT CBaseMDI::OnClose() {
    if (CloseRefused()) return 0;
    CChildDialog* top = GetTopForm();
    if (!top) {
        MDIDestroy();
        return 0;
    }
    if (TheSession().Execute(vorlan::line::kCurrentDialog) != top->GetFormName())
        top->SendMessage(WM_ACTIVATE, 0, 0);
    top->SendMessage(WM_CLOSE);
    return 0;
}

LRESULT CBaseMDI::OnDialogStop() {
    if (CloseRefused()) return 0;
    ::KillTimer(m_hWnd, kTimer);
    MDIDestroy();
    return 1;
}

LRESULT CBaseMDI::OnSetMemo() {
    CChildDialog* first = GetForm(1);
    if (!first) return 0;
    CString text = first->GetFrameCaption().IsEmpty() ? first->GetWindowText() : first->GetFrameCaption();
    if (!m_strMemo.IsEmpty())
        if (CMainFrame* main = CMainFrame::Get())
            main->SendMessage(WM_SETMEMO, reinterpret_cast<WPARAM>(m_strMemo.c_str()),
                              reinterpret_cast<LPARAM>(text.c_str()));
    return 0;
}

LRESULT CBaseMDI::OnMDIActivate(HWND deactivated, HWND activated) {
    // The base first: its focus on the first child ends the field the user was typing into
    // while that form is still the current one, so the field's exit saves what was typed.
    LRESULT result = CVORLANMDIChild::WindowProc(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(deactivated),
                                                 reinterpret_cast<LPARAM>(activated));
    if (activated == m_hWnd) {
        SetAppTitle();
        if (GetForm(1)) SendMessage(WM_SETMEMO);
        if (!m_bNewFrame) SendMessage(WM_ACTIVATE, reinterpret_cast<WPARAM>(m_hTop), 1);
        m_bNewFrame = false;
        StickWindows(true);
    } else if (deactivated == m_hWnd) {
        vorlan::g_strDialogName.Empty();
        vorlan::g_strDialogMemo.Empty();
        if (CChildDialog* top = GetTopForm())
            if (CGridCtrl* grid = top->Grid()) grid->SendMessage(WM_NCACTIVATE, FALSE);
    }
    return result;
}

LRESULT CBaseMDI::OnHelpInfo() {
    TraceFunction("CBaseMDI::OnHelpInfo");
    CMainFrame* main = CMainFrame::Get();
    if (m_strMemo.IsEmpty() || !main) return 1;
    if (TheSession().Execute(vorlan::kHelpWindowGroupLine) != "1") {
        main->SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>(vorlan::kHelpScreenEntry));
        return 0;
    }
    main->ShowHelpWindow();
    return 0;
}

void CBaseMDI::OnHelpKey(UINT) {
    OnHelpInfo();
}

void CBaseMDI::OnDestroy() {
    if (CMainFrame* main = CMainFrame::Get()) main->SendMessage(WM_CLOSEDIALOG, m_nDialogId);
    // Frames opened from this one go with it.
    if (HWND client = GetMDIClient())
        for (HWND h = ::GetWindow(client, GW_CHILD); h; h = ::GetWindow(h, GW_HWNDNEXT))
            if (h != m_hWnd && vorlan::OpenerOf(h) == m_hWnd) ::PostMessageA(h, WM_CLOSE, 0, 0);
    if (HWND host = StuckHost())
        ::SendMessageA(host, WM_STICKWINDOW, vorlan::kStickRemove, reinterpret_cast<LPARAM>(m_hWnd));
}

LRESULT CBaseMDI::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (theApp.Settings().protocolAll)
        vorlan::WriteProtocol("CBaseMDI::DefWindowProc - %d", vorlan::kLogNote, msg);
    return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

LRESULT CBaseMDI::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    vorlan::TraceWindowMessage("CBaseMDI", vorlan::WindowMessageName(msg));
    switch (msg) {
    case WM_CREATE: ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, 1); break;
    case WM_MOVE: OnFrameMoved(); break;
    case WM_SIZE: OnFrameSized(wParam, LOWORD(lParam), HIWORD(lParam)); break;
    case WM_SIZING:
    case WM_MOVING: OnStartMoving(); break;
    case WM_EXITSIZEMOVE: m_bMoving = false; break;
    case WM_ACTIVATE:
    case WM_ACTIVATEDIALOG:
        if (wParam) {
            ActivateWindow(static_cast<UINT>(::GetDlgCtrlID(reinterpret_cast<HWND>(wParam))), 128);
            if (lParam && !m_bMenuEdit)
                if (CChildDialog* top = GetTopForm())
                    top->SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1));
        }
        return 1;
    case WM_CLOSE: return OnClose();
    case WM_GETMINMAXINFO: {
        LRESULT r = CVORLANMDIChild::WindowProc(msg, wParam, lParam);
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return r;
    }
    case WM_TIMER:
        // Answered here: the tick may have closed the frame.
        if (wParam == kTimer) {
            OnFrameTimer();
            return 0;
        }
        break;
    case WM_UPDATEDIALOG:
        if (CChildDialog* top = GetTopForm()) top->SendMessage(WM_UPDATEDIALOG, wParam, 0);
        return 0;
    case WM_DIALOGINIT: return OnDialogInit(static_cast<int>(wParam), reinterpret_cast<char*>(lParam));
    case WM_SETMEMO: return OnSetMemo();
    case WM_DIALOGSTOP: return OnDialogStop();
    case WM_TIMEREVENT: return OnTimerEvent(reinterpret_cast<const void*>(lParam));
    case WM_SETWINPOS: SetWinPos(); return 0;
    case WM_STICKWINDOW: return OnStickWindow(static_cast<unsigned>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_UPDATESTICK: return OnUpdateStick(wParam != 0, reinterpret_cast<HWND>(lParam));
    case WM_GETSTICKEDWINDOW: return reinterpret_cast<LRESULT>(StuckHost());
    case WM_MDIACTIVATE: return OnMDIActivate(reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_DESTROY: OnDestroy(); break;
    case WM_HELP: return OnHelpInfo();
    case WM_MENUSELECT: m_bars.OnMenuSelect(wParam, lParam); break;
    case WM_MENUSHOW:
        if (m_bars.HasMenuBar()) return m_bars.OnMenuShow();
        break;
    case WM_NCACTIVATE: m_bars.OnNcActivate(wParam && ::IsWindowEnabled(m_hWnd)); break;
    default: {
        LRESULT result = 0;
        if (OnFormFrameMessage(msg, wParam, lParam, result)) return result;
        break;
    }
    }
    return CVORLANMDIChild::WindowProc(msg, wParam, lParam);
}

LRESULT CBaseMDI::OnMenuChar(WPARAM wParam, LPARAM lParam) {
    if (LRESULT r = m_bars.OnMenuChar(wParam, lParam)) return r;
    return CVORLANMDIChild::OnMenuChar(wParam, lParam);
}

void CBaseMDI::OnIdleUpdateCmdUI() {
    CVORLANMDIChild::OnIdleUpdateCmdUI();
    m_bars.OnIdleUpdate();
}

// ---- commands

bool CBaseMDI::OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) {
    static const CommandEntry<CBaseMDI> table[] = {
        {ID_FORM_SAVE, ID_FORM_SAVE, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateSave},
        {ID_FORM_PRINT, ID_FORM_PRINT, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdatePrint},
        {ID_FORM_UNDO, ID_FORM_UNDO, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateGridUndo},
        {ID_FORM_CLOSE, ID_FORM_OK, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateNotMenuEdit},
        {ID_GRID_PRINT, ID_GRID_COPY, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateGridPrint},
        {ID_FORM_HARDCOPY, ID_FORM_HARDCOPY, &CBaseMDI::OnFormCommand, nullptr},
        {ID_KEY_F4_UP, ID_KEY_F4_UP, &CBaseMDI::OnF4Up, &CBaseMDI::OnUpdateNotMenuEdit},
        {ID_FORM_MENU, ID_FORM_MENU, &CBaseMDI::OnFormMenu, &CBaseMDI::OnUpdateFormMenu},
        {ID_WINDOW_SAVE_POS, ID_WINDOW_SAVE_POS, &CBaseMDI::OnSaveWinPos, nullptr},
        {ID_EXPLORER_SWAP, ID_EXPLORER_SWAP, nullptr, &CBaseMDI::OnUpdateNotMenuEdit},
        {ID_EXPLORER_X, ID_EXPLORER_X, nullptr, &CBaseMDI::OnUpdateExplorer},
        {ID_HELP_KEY, ID_HELP_KEY, &CBaseMDI::OnHelpKey, nullptr},
    };
    return fw::RouteCommand(this, table, id, code, ui) || OnFormFrameCommand(id, code, ui);
}

void CBaseMDI::OnFormMenu(UINT) {
    CChildDialog* top = GetTopForm();
    if (!top) return;
    RECT button{};
    HWND bar = nullptr;
    CMainFrame* main = CMainFrame::Get();
    if (main && main->FindCommandButton(ID_FORM_MENU, button, bar))
        top->SendMessage(WM_CONTEXTMENU, 0, reinterpret_cast<LPARAM>(&button));
    else
        m_bars.OpenFormMenu(top->m_hWnd);
}

void CBaseMDI::OnUpdateFormMenu(CCmdUI* ui) {
    CChildDialog* top = GetTopForm();
    ui->Enable((top && top->HasGrid()) || (!m_bMenuEdit && m_bars.AnyKeyEnabled()));
}

void CBaseMDI::OnF4Up(UINT) {
    if (HWND focus = ::GetFocus()) ::SendMessageA(focus, WM_KEYUP, VK_F4, 0);
}

void CBaseMDI::OnUpdateSave(CCmdUI* ui) {
    ui->Enable(!m_bMenuEdit && m_bSave);
}

void CBaseMDI::OnUpdatePrint(CCmdUI* ui) {
    ui->Enable(!m_bMenuEdit && m_bPrint);
}

void CBaseMDI::OnUpdateNotMenuEdit(CCmdUI* ui) {
    ui->Enable(!m_bMenuEdit);
}

void CBaseMDI::OnUpdateGridUndo(CCmdUI* ui) {
    CChildDialog* top = GetTopForm();
    ui->Enable(top && top->GridSizesChanged());
}

void CBaseMDI::OnUpdateGridPrint(CCmdUI* ui) {
    CChildDialog* top = GetTopForm();
    // Without a grid a form that saves or prints still prints its text box.
    ui->Enable(top && (top->HasGrid() || m_bSave || m_bPrint));
    if (ui->m_nID != ID_GRID_PRINT) return;
    CString text;
    text.LoadString(m_bSave ? IDS_PRINT_SAVED : m_bPrint ? IDS_PRINT_OUTPUT : IDS_PRINT_TABLE);
    ui->SetText(text);
}

void CBaseMDI::OnUpdateExplorer(CCmdUI* ui) {
    ui->Enable(TheSession().Execute(vorlan::kExplorerEntriesLine) != "0");
}
