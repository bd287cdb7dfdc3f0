#include "frame/BaseModal.h"

#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "forms/ChildDialog.h"
#include "forms/FormGlobals.h"
#include "forms/FormKeysLogic.h"
#include "frame/FormFrameLogic.h"
#include "frame/FrameDialogsLogic.h"
#include "frame/FrameLogic.h"
#include "frame/FrameTimerLogic.h"
#include "frame/MainFrame.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

#include <cstdlib>

using vorlan::TraceFunction;

namespace {

// Sent by floating bars; 64 asks the frame to show them, which a modal window never does.
constexpr UINT WM_FLOATSTATUS = 0x036D;
constexpr WPARAM kFloatShow = 64;
constexpr int kOwnerOffset = 30;

} // namespace

CBaseModal::CBaseModal() : CFormFrame(static_cast<CWnd&>(*this)) {}

bool CBaseModal::IsSizable() const {
    CChildDialog* top = GetTopForm();
    return m_nForms == 1 && top && top->IsSizable();
}

bool CBaseModal::CreatePopup(HWND owner) {
    CRect rect;
    ::AdjustWindowRectEx(&rect, WS_POPUP | WS_CAPTION | WS_SYSMENU, FALSE, 0);
    rect.OffsetRect(-rect.left, -rect.top);
    DWORD exStyle = WS_EX_CONTROLPARENT;
    if (m_bDocked) exStyle |= WS_EX_TOPMOST | WS_EX_TOOLWINDOW;
    DWORD style = WS_POPUP | WS_CAPTION | WS_SYSMENU | WS_CLIPCHILDREN;
    if (theApp.Settings().noWin && TheSession().Execute(vorlan::kNoWindowLine) != "0") {
        exStyle = WS_EX_CONTROLPARENT;
        style = WS_POPUP | WS_CLIPCHILDREN;
    }
    // A popup's "parent" argument is its owner.
    return CreateEx(exStyle, CVORLANMDIChild::kClassName, "", style, rect, owner, 0);
}

void CBaseModal::WriteCustomerDisplay() {
    if (!theApp.Settings().com || TheSession().Execute(vorlan::kCustomerDisplayLine) == "0") return;
    CChildDialog::WriteDisplayLines(TheSession());
}

bool CBaseModal::Create(HWND owner, HFONT font1, HFONT font2, HFONT font3, const char* dialogName,
                        const vorlan::OwnDialogRecord& record) {
    TraceFunction("CBaseModal::Create");
    BeginCreate(font1, font2, font3);
    m_bDocked = record.docked != 0;
    m_hOwner = owner;
    m_nDialogId = static_cast<UINT>(record.dialogId) & 0xFFFF;

    if (!CreatePopup(owner)) {
        delete this;
        return false;
    }
    // Until Create stands the window's end leaves the object to Create: the form's first
    // step may end the window while it is being made.
    auto abandon = [this] {
        if (m_hWnd) DestroyWindow();
        delete this;
        return false;
    };
    if (CMainFrame* main = CMainFrame::Get()) main->SetRunningModal(m_hWnd);
    WriteCustomerDisplay();

    CChildDialog* first = CreateFirstForm(dialogName, m_nDialogId, record.value, nullptr);
    if (!first) return abandon();
    CreateTabs(first);
    if (!m_hWnd) return abandon(); // a page's first step ended the window, and the forms with it
    m_bCreating = false;
    m_bAutoDelete = true;
    return true;
}

void CBaseModal::CreateBars() {
    CChildDialog* top = GetTopForm();
    if (!top) return;
    m_bars.CreateModal(m_hWnd, top->GetKeys(), theApp.Settings().noWin != 0);
    if (m_bars.HasKeyTool()) AddUpdateBar(m_bars.KeyTool().m_hWnd);
    m_bars.EnableModalButtons(top->HasGrid() || m_bars.AnyKeyEnabled(), top->HasGrid());
}

void CBaseModal::ApplyStoredSize(bool sizable) {
    CChildDialog* top = GetTopForm();
    if (!top) return;
    std::string screen = top->GetFormName().str();
    CString record = StoredPosition(screen);
    vorlan::WindowPosition stored = vorlan::ParseWindowPosition(record.str());
    m_bMaximize = stored.maximise;
    // Only the size: a modal window always opens where its owner is.
    if (sizable && stored.width > 0 && stored.height > 0)
        SetWindowPos(nullptr, 0, 0, stored.width, stored.height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CBaseModal::Place() {
    CRect me = GetWindowRect();
    if (m_bDocked) {
        RECT work{};
        ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
        SetWindowPos(nullptr, work.left, work.bottom - me.Height(), 0, 0,
                     SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    CMainFrame* main = CMainFrame::Get();
    RECT owner{};
    if (!m_hOwner || !::GetWindowRect(m_hOwner, &owner)) return;
    int x, y;
    if (main && m_hOwner == main->m_hWnd) {
        x = owner.left + (owner.right - owner.left - me.Width()) / 2;
        y = owner.top + (owner.bottom - owner.top - me.Height()) / 2;
    } else {
        x = owner.left + kOwnerOffset;
        y = owner.top + kOwnerOffset;
    }
    SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CBaseModal::DoModal() {
    TraceFunction("CBaseModal::DoModal");
    CreateBars();
    CRect client = GetClientRect();
    CalcWinSize(client.Width(), client.Height());
    bool sizable = IsSizable();
    if (sizable) {
        LONG_PTR s = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
        ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, s | WS_THICKFRAME | WS_MAXIMIZEBOX);
        SetWindowPos(nullptr, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    }
    if (CChildDialog* top = GetTopForm()) {
        vorlan::ChildMessageRecord fit{vorlan::kChildFit, top->m_hWnd, 0};
        SendMessage(WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&fit));
    }
    ApplyStoredSize(sizable);
    if (sizable)
        if (CChildDialog* top = GetTopForm()) {
            CRect r = GetWindowRect();
            if (top->ChangingSize(r))
                SetWindowPos(nullptr, 0, 0, r.Width(), r.Height(),
                             SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        }
    Place();

    CMainFrame* main = CMainFrame::Get();
    HWND mainWindow = main ? main->m_hWnd : nullptr;
    int code = ID_FORM_CLOSE;
    m_bInDoModal = true;
    {
        // Every way out gives the owner its input back before the popup hides, so that the
        // owner, not some other window, becomes active; a docked window's main window returns.
        CModalOwnerGuard owner(m_hOwner, [this, mainWindow] {
            if (m_hWnd) ShowWindow(SW_HIDE);
            if (m_bDocked && mainWindow && ::IsIconic(mainWindow)) ::ShowWindow(mainWindow, SW_RESTORE);
        });
        if (m_bDocked && mainWindow) ::ShowWindow(mainWindow, SW_MINIMIZE);
        Show();
        int ended = m_loop.Run();
        // A window that went without a stop, or a quit, ends as cancelled.
        if (ended == ID_FORM_OK || ended == ID_FORM_CLOSE) code = ended;
    }
    m_bInDoModal = false;
    if (m_bDeletePending) delete this;
    return code;
}

void CBaseModal::PostNcDestroy() {
    if (m_bInDoModal)
        m_bDeletePending = true;
    else if (m_bAutoDelete)
        delete this;
}

void CBaseModal::Show() {
    TraceFunction("CBaseModal::Show");
    if (m_nForms > 1 && m_wndTabs.m_hWnd) m_wndTabs.SetCurSel(0);
    ActivateWindow(1, 128);
    ShowWindow(m_bMaximize ? SW_SHOWMAXIMIZED : SW_SHOWNA);
    EnableWindow(true);
    ::SetActiveWindow(m_hWnd);
    CChildDialog* top = GetTopForm();
    if (top && ::IsWindowEnabled(top->m_hWnd)) top->SendMessage(WM_DIAGSETFOCUS, 0);
    if (!::GetFocus()) ::SetFocus(m_hWnd);
    m_bInitialised = true;
}

void CBaseModal::ActivateWindow(UINT formId, int mode) {
    TraceFunction("CBaseModal::ActivateWindow");
    CChildDialog* form = GetForm(formId);
    if (!form) return;
    int tab = TabIndexOf(formId);
    if (tab >= 0) m_wndTabs.SetCurSel(tab);
    form->SendMessage(WM_ACTIVATE, mode & 1, 0);

    char answer[kAnswerSize] = {};
    bool enabled = m_bInitAccepted;
    if (mode & 1)
        enabled = SendMessage(WM_DIALOGINIT, static_cast<WPARAM>(form->GetTabIndex()),
                              reinterpret_cast<LPARAM>(answer)) != 0;
    if ((mode & 1) || !m_bInitAccepted) {
        form->EnableWindow(enabled);
        form->SendMessage(WM_UPDATEDIALOG, mode & 0x80);
    }
    TakeFocusField(form, enabled, true);
    BringFormToTop(form);
    ShowInitAnswer(enabled, answer);
}

int CBaseModal::OnDialogInit(int tab, char* answer) {
    TraceFunction("CBaseModal::OnDialogInit");
    m_bInitAccepted = RunInit(tab, answer, false) != 0;
    return m_bInitAccepted ? 1 : 0;
}

void CBaseModal::Timer() {
    TraceFunction("CBaseModal::Timer");
    // A tick while the last one still runs (its step shows a message box) is skipped.
    if (m_bInTimer) return;
    CChildDialog* top = GetTopForm();
    if (!top) return;
    m_bInTimer = true;
    struct Done {
        bool& flag;
        ~Done() { flag = false; }
    } done{m_bInTimer};
    // Only the entries of this window's own form: nothing is activated or created here.
    for (const vorlan::TimerEntry& entry :
         vorlan::TimerEntriesFor(m_strTimerList.str(), top->GetFormName().str())) {
        std::string tick = vorlan::TimerTickLine(entry);
        if (tick.empty()) continue;
        CString answer = TheSession().Execute(tick.c_str());
        top->TimerUpdate(answer);
        top = GetTopForm(); // the step may have ended the window
        if (!top || !m_hWnd) return;
    }
}

LRESULT CBaseModal::OnActivate(WPARAM wParam) {
    if (!m_bInitialised || LOWORD(wParam) == WA_INACTIVE || ::GetFocus()) return 0;
    if (CChildDialog* top = GetTopForm()) top->SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1));
    // A disabled form takes no focus: the window keeps it, so that Esc still reaches it.
    if (!::GetFocus()) ::SetFocus(m_hWnd);
    return 0;
}

LRESULT CBaseModal::OnClose() {
    if (CloseRefused()) return 0;
    SendMessage(WM_COMMAND, ID_FORM_CLOSE);
    return 0;
}

LRESULT CBaseModal::OnDialogStop(WPARAM wParam) {
    if (CloseRefused()) return 0;
    ::KillTimer(m_hWnd, kTimer);
    m_loop.End(wParam ? ID_FORM_OK : ID_FORM_CLOSE);
    return 1;
}

LRESULT CBaseModal::OnActivateDialog(HWND form, LPARAM lParam) {
    if (!form) return 0;
    ActivateWindow(static_cast<UINT>(::GetDlgCtrlID(form)), 128);
    if (lParam)
        if (CChildDialog* top = GetTopForm()) top->SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1));
    return 1;
}

bool CBaseModal::PreTranslateMessage(MSG* msg) {
    if (msg->message >= WM_KEYFIRST && msg->message <= WM_KEYLAST)
        if (HACCEL table = theApp.Accelerators())
            if (::TranslateAcceleratorA(m_hWnd, table, msg)) return true;
    if (msg->message == WM_KEYDOWN) {
        UINT key = static_cast<UINT>(msg->wParam);
        // Esc is the close command, never a direct close: the form and %NOKILL decide.
        if (key == VK_ESCAPE) {
            PostMessage(WM_COMMAND, ID_FORM_CLOSE);
            return true;
        }
        if (key >= VK_F5 && key <= VK_F12) {
            PostMessage(WM_COMMAND, ID_FKEY_FIRST + (key - VK_F5));
            return true;
        }
    }
    return CFrameWnd::PreTranslateMessage(msg);
}

LRESULT CBaseModal::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    vorlan::TraceWindowMessage("CBaseModal", vorlan::WindowMessageName(msg));
    switch (msg) {
    case WM_SIZE: CalcWinSize(LOWORD(lParam), HIWORD(lParam)); break;
    case WM_ACTIVATE: return OnActivate(wParam);
    case WM_CLOSE: return OnClose();
    case WM_GETMINMAXINFO: {
        LRESULT r = CFrameWnd::WindowProc(msg, wParam, lParam);
        OnGetMinMaxInfo(reinterpret_cast<MINMAXINFO*>(lParam));
        return r;
    }
    case WM_TIMER:
        if (wParam == kTimer) {
            Timer();
            return 0;
        }
        break;
    case WM_FLOATSTATUS:
        if (wParam == kFloatShow) return 0;
        break;
    case WM_UPDATEDIALOG:
        for (int id = 1; id <= m_nLastFormId; ++id)
            if (CChildDialog* form = GetForm(static_cast<UINT>(id)))
                form->SendMessage(WM_UPDATEDIALOG, wParam, 0);
        return 0;
    case WM_DIALOGINIT: return OnDialogInit(static_cast<int>(wParam), reinterpret_cast<char*>(lParam));
    case WM_DIALOGSTOP: return OnDialogStop(wParam);
    case WM_CREATETOOLBAR: return 1;
    case WM_ACTIVATEDIALOG: return OnActivateDialog(reinterpret_cast<HWND>(wParam), lParam);
    case WM_HELP: return OnHelpInfo();
    case WM_MENUSELECT: m_bars.OnMenuSelect(wParam, lParam); break;
    case WM_NCACTIVATE: m_bars.OnNcActivate(wParam != 0); break;
    default: {
        LRESULT result = 0;
        if (OnFormFrameMessage(msg, wParam, lParam, result)) return result;
        break;
    }
    }
    return CFrameWnd::WindowProc(msg, wParam, lParam);
}

// ---- commands

bool CBaseModal::OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) {
    static const CommandEntry<CBaseModal> table[] = {
        {ID_FORM_CLOSE, ID_FORM_SAVE, &CBaseModal::OnFormCommand, nullptr},
        {ID_GRID_PRINT, ID_GRID_COPY, &CBaseModal::OnFormCommand, nullptr},
        {ID_FORM_MENU, ID_FORM_MENU, &CBaseModal::OnFormMenu, nullptr},
        {ID_HELP_KEY, ID_HELP_KEY, &CBaseModal::OnHelpKey, nullptr},
    };
    return fw::RouteCommand(this, table, id, code, ui) || OnFormFrameCommand(id, code, ui);
}

void CBaseModal::OnFormMenu(UINT) {
    if (CChildDialog* top = GetTopForm()) m_bars.OpenFormMenu(top->m_hWnd);
}

LRESULT CBaseModal::OnHelpInfo() {
    TraceFunction("CBaseModal::OnHelpInfo");
    TheSession().Execute(vorlan::kModalHelpScreenLine);
    TheSession().Execute(vorlan::kModalHelpNoScreenLine);
    // Not the main frame's: a screen opened there would wait behind this window, which holds it.
    SendMessage(WM_CREATEMDIDIALOG, reinterpret_cast<WPARAM>(vorlan::kModalHelpDialog));
    return TRUE;
}

void CBaseModal::OnHelpKey(UINT) {
    OnHelpInfo();
}

void CBaseModal::OnIdleUpdateCmdUI() {
    CFrameWnd::OnIdleUpdateCmdUI();
    m_bars.OnIdleUpdate();
}

bool CBaseModal::OnToolTipText(NMTTDISPINFOA* info) {
    if (!info) return false;
    UINT id = static_cast<UINT>(info->hdr.idFrom);
    // The keys' tips are their server texts, which the main frame keeps.
    if (id == 0 || vorlan::KeyIndexOfCommand(id) >= 0)
        if (CMainFrame* main = CMainFrame::Get()) return main->OnToolTipText(info);
    return CFrameWnd::OnToolTipText(info);
}
