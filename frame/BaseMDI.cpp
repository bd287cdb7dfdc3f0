#include "frame/BaseMDI.h"

#include "app/AppLogic.h"
#include "app/ReplyFields.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "forms/ChildDialog.h"
#include "forms/FormGlobals.h"
#include "forms/FormMessages.h"
#include "frame/FormFrameLogic.h"
#include "frame/FrameLogic.h"
#include "frame/MainFrame.h"
#include "framework/Gdi.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

#include <cstdlib>
#include <cstring>
#include <vector>

using vorlan::TraceFunction;

namespace {

constexpr int kTimer = 1;
constexpr int kTabMargin = 6;
constexpr UINT kUninitialised = 32768;
constexpr int kAnswerSize = 128;

} // namespace

CBaseMDI::CBaseMDI() = default;

CChildDialog* CBaseMDI::GetForm(UINT id) const {
    if (!m_hWnd || id == 0) return nullptr;
    return dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(GetDlgItem(static_cast<int>(id))));
}

CChildDialog* CBaseMDI::GetTopForm() const {
    if (auto* top = dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(m_hTop))) return top;
    return GetForm(1);
}

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
    m_hFonts[0] = font1;
    m_hFonts[1] = font2;
    m_hFonts[2] = font3;
    m_nDialogId = dialogId & 0xFFFF;
    m_bMenuEdit = menuEdit;
    m_nForms = 0;
    m_bCreating = true;
    m_bNewFrame = true;
    m_strMemo = TheSession().Execute(vorlan::VariableLine("%MEMO"));

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

    auto* first = new CChildDialog;
    first->SetFonts(m_hFonts[0], m_hFonts[1], m_hFonts[2]);
    // A form that was refused or closed itself is gone when Create returns.
    if (!first->Create(dialogText, m_nDialogId, 1, this, 0, 0, 1, keepList)) {
        HWND active = main->MDIGetActive();
        if (active && active != m_hWnd) {
            HWND top = ::GetWindow(active, GW_CHILD);
            ::SendMessageA(active, WM_ACTIVATE, reinterpret_cast<WPARAM>(top), 1);
        }
        return abandon();
    }
    m_hTop = first->m_hWnd;
    m_strScreen = CString(vorlan::PieceOf(dialogText ? dialogText : "", 1)).Left(128);

    bool tabs = CreateTabs(first);
    TheSession().Execute(vorlan::kTabsHiddenByJobEndLine);
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

bool CBaseMDI::CreateTabs(CChildDialog* first) {
    int k = 0;
    for (int n = 1;; ++n) {
        CString node = TheSession().Execute(vorlan::TabNodeLine(m_strScreen.str(), n).c_str());
        if (node.IsEmpty()) break;
        std::string tab = vorlan::PieceOf(node.str(), 1);
        if (TheSession().Execute(vorlan::TabHiddenLine(m_strScreen.str(), tab).c_str()) == "1" ||
            TheSession().Execute(vorlan::TabHiddenByJobLine(m_strScreen.str(), tab).c_str()) == "1")
            continue;
        if (!m_wndTabs.m_hWnd) {
            CRect r = GetClientRect();
            r.OffsetRect(kTabMargin, kTabMargin);
            r.right += 16;
            r.bottom += 16;
            if (!m_wndTabs.Create(r, m_hWnd)) return false;
            m_wndTabs.SetFont(m_hFonts[0]);
            m_wndTabs.InsertItem(0, first->GetWindowText(), 1);
            ::SetWindowPos(m_wndTabs.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        auto* form = new CChildDialog;
        form->SetFonts(m_hFonts[0], m_hFonts[1], m_hFonts[2]);
        form->SetTabIndex(n + 1);
        // A page that cannot be made gets no tab (the refused form is gone).
        if (!form->Create(tab.c_str(), 0x8000 + static_cast<UINT>(n), 1, this, 0, 0, 0, nullptr)) {
            if (!m_hWnd) return false;
            continue;
        }
        form->ShowWindow(SW_HIDE);
        CString text = form->GetWindowText();
        CString title = TheSession().Execute(vorlan::line::kTitle);
        if (!title.IsEmpty()) text = title;
        ++k;
        UINT id = static_cast<UINT>(::GetDlgCtrlID(form->m_hWnd));
        m_wndTabs.InsertItem(k, text, static_cast<LPARAM>(kUninitialised + id));
    }
    if (!m_wndTabs.m_hWnd) return false;

    if (TheSession().Execute(vorlan::TabButtonsLine(m_strScreen.str()).c_str()) == "J") {
        CString left, right;
        left.LoadString(IDS_TAB_LEFT_BUTTON);
        right.LoadString(IDS_TAB_RIGHT_BUTTON);
        DWORD style = WS_VISIBLE | BS_PUSHBUTTON | BS_VCENTER;
        if (m_btnLeft.Create(left, style, CRect(0, 0, 10, 10), m_hWnd, ID_TAB_LEFT) &&
            m_btnRight.Create(right, style, CRect(0, 0, 10, 10), m_hWnd, ID_TAB_RIGHT)) {
            m_btnLeft.SetFont(m_hFonts[0]);
            m_btnRight.SetFont(m_hFonts[0]);
            m_bTabButtons = true;
        }
    }
    CRect display(0, 0, 0, 0);
    m_wndTabs.AdjustRect(true, display);
    for (int id = 1; id <= m_nLastFormId; ++id)
        if (CChildDialog* form = GetForm(static_cast<UINT>(id)))
            form->SetWindowPos(nullptr, kTabMargin - display.left, 2 * kTabMargin - display.top, 0, 0,
                               SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    return true;
}

int CBaseMDI::TabIndexOf(UINT formId) const {
    if (!m_wndTabs.m_hWnd || formId == 0) return -1;
    int n = m_wndTabs.GetItemCount();
    for (int i = 0; i < n; ++i) {
        LPARAM value = m_wndTabs.GetItemParam(i);
        if (value == static_cast<LPARAM>(formId) || value == static_cast<LPARAM>(kUninitialised + formId))
            return i;
    }
    return -1;
}

void CBaseMDI::AdjustWindow(HWND outer, HWND inner, int extraHeight) {
    if (!outer || !inner) return;
    int margin = (outer == m_hWnd && m_wndTabs.m_hWnd) ? kTabMargin : 0;
    CRect in, out;
    ::GetWindowRect(inner, &in);
    ::GetWindowRect(outer, &out);
    in.right += margin + 3;
    in.bottom += margin + 3;
    TEXTMETRICA tm{};
    if (margin && m_bTabButtons) {
        tm = TextMetrics(m_hWnd,
                         m_hFonts[0] ? m_hFonts[0] : static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT)));
        in.bottom += tm.tmHeight + 11;
    }
    int right = out.right > in.right ? out.right : in.right;
    int bottom = out.bottom > in.bottom + extraHeight ? out.bottom : in.bottom + extraHeight;
    if (right == out.right && bottom == out.bottom) return;
    ::SetWindowPos(outer, nullptr, 0, 0, right - out.left, bottom - out.top,
                   SWP_NOMOVE | SWP_NOACTIVATE | SWP_NOZORDER);
    if (margin && m_bTabButtons) {
        CRect tabs = m_wndTabs.GetWindowRect();
        POINT p{tabs.left, tabs.bottom};
        ::ScreenToClient(m_hWnd, &p);
        POINT innerRight{in.right - margin - 3, 0};
        ::ScreenToClient(m_hWnd, &innerRight);
        int w = 12 * tm.tmAveCharWidth, h = tm.tmHeight + 2, y = p.y + kTabMargin;
        m_btnRight.SetWindowPos(nullptr, innerRight.x - w, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        m_btnLeft.SetWindowPos(nullptr, innerRight.x - 2 * w - kTabMargin, y, w, h,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CBaseMDI::CalcWinSize(int width, int height) {
    if (m_bCreating || m_nForms == 0) return;
    int band = m_bars.GetHeight();
    m_bars.Layout(width);
    if (m_nForms > 1 && band > 0) MovePagesBelow(band);
    if (m_nForms == 1) {
        if (CChildDialog* form = GetForm(1))
            form->SetWindowPos(nullptr, 0, band, width, height - band, SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CBaseMDI::MovePagesBelow(int top) {
    if (!m_wndTabs.m_hWnd) return;
    CRect tabs = m_wndTabs.GetWindowRect();
    POINT corner{tabs.left, tabs.top};
    ::ScreenToClient(m_hWnd, &corner);
    if (corner.y >= top) return;
    std::vector<HWND> pages{m_wndTabs.m_hWnd};
    for (int id = 1; id <= m_nLastFormId; ++id)
        if (CChildDialog* form = GetForm(static_cast<UINT>(id))) pages.push_back(form->m_hWnd);
    for (HWND h : pages) {
        CRect r;
        ::GetWindowRect(h, &r);
        ::MapWindowPoints(nullptr, m_hWnd, reinterpret_cast<POINT*>(&r), 2);
        ::SetWindowPos(h, nullptr, r.left, r.top + top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CBaseMDI::ActivateWindow(UINT formId, int mode) {
    TraceFunction("CBaseMDI::ActivateWindow");
    CChildDialog* form = GetForm(formId);
    if (!form) return;
    int tab = TabIndexOf(formId);
    if (tab >= 0) m_wndTabs.SetCurSel(tab);
    HWND previous = m_hTop;
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
    CString field = TheSession().Execute(vorlan::kTakeFocusFieldLine);
    int focusField = std::atoi(field);
    if (focusField != 0 && enabled) form->SendMessage(WM_ENABLEEDITS, static_cast<WPARAM>(focusField));
    // (Resetting the grid's selection comes with the grid.)
    form->m_bGridReset = false;

    form->SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    m_hTop = form->m_hWnd;
    if (previous && previous != m_hTop) ::ShowWindow(previous, SW_HIDE);

    m_bSave = !TheSession()
                   .Execute(vorlan::ScreenNodeLine(form->GetDescriptionName().str(), "FSAVE").c_str())
                   .IsEmpty();
    m_bPrint = !TheSession()
                    .Execute(vorlan::ScreenNodeLine(form->GetDescriptionName().str(), "FDRUCK").c_str())
                    .IsEmpty();

    CMainFrame* main = CMainFrame::Get();
    if (enabled) {
        if (main) main->SetStatusText(answer);
    } else {
        if (answer[0]) AfxMessageBox(answer);
        if (main) main->SetIdleText();
    }
    if ((mode & 1) && main && main->IsScreenNameShown()) SetAppTitle();
}

int CBaseMDI::OnDialogInit(int tab, char* answer) {
    TraceFunction("CBaseMDI::OnDialogInit");
    ::KillTimer(m_hWnd, kTimer);
    TheSession().Execute(vorlan::kTimerResetLine);
    if (tab == vorlan::kInitFromTimer) {
        TheSession().Execute(vorlan::kTimerInitLine);
        tab = 1;
    }
    std::string code;
    CChildDialog* first = GetForm(1);
    CString firstScreen = first ? first->GetDescriptionName() : CString();
    if (tab == 1) {
        // During creation the first form is not registered yet: it is the one on top then.
        bool firstOnTop = !m_hTop || (first && m_hTop == first->m_hWnd);
        if (firstOnTop) {
            CString screen = first ? firstScreen : CString(vorlan::PieceOf(m_strScreen.str(), 1));
            if (screen.IsEmpty()) screen = m_strScreen;
            code = TheSession().Execute(vorlan::ScreenInitLine(screen.str()).c_str()).str();
        }
    } else {
        CString node = TheSession().Execute(vorlan::TabNodeLine(firstScreen.str(), tab - 1).c_str());
        code = vorlan::PieceOf(node.str(), 2); // the whole code: M lines are never cut
    }
    CString result = TheSession().Execute(vorlan::PrgInitLine(code).c_str());
    int seconds = std::atoi(TheSession().Execute(vorlan::VariableLine("%TIMER")));
    if (seconds > 0) ::SetTimer(m_hWnd, kTimer, static_cast<UINT>(seconds) * 1000, nullptr);
    m_strTimerList = TheSession().Execute(vorlan::kTimerListLine);
    vorlan::InitAnswer init = vorlan::ReadInitAnswer(result.str());
    if (answer) lstrcpynA(answer, init.text.c_str(), kAnswerSize);
    return init.accepted && !m_bMenuEdit ? 1 : 0;
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

void CBaseMDI::FitToForm(HWND form) {
    const int extra = m_bars.GetHeight();
    if (m_nForms > 1 && m_wndTabs.m_hWnd) {
        AdjustWindow(m_wndTabs.m_hWnd, form, 0);
        AdjustWindow(m_hWnd, m_wndTabs.m_hWnd, 0);
    } else {
        AdjustWindow(m_hWnd, form, extra);
    }
}

LRESULT CBaseMDI::OnChildMessage(const void* record) {
    const auto* r = static_cast<const vorlan::ChildMessageRecord*>(record);
    if (!r) return 1;
    switch (r->code) {
    case vorlan::kChildRegister:
        // Ids are never given twice, also after a form went: a later form must not find
        // another's id.
        ++m_nForms;
        ::SetWindowLongPtrA(r->window, GWLP_ID, ++m_nLastFormId);
        break;
    case vorlan::kChildClose:
        if (m_nForms > 0) --m_nForms;
        break;
    case vorlan::kChildFit: FitToForm(r->window); break;
    case vorlan::kChildTitle: {
        const char* text = reinterpret_cast<const char*>(r->value);
        auto* form = dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(r->window));
        int id = ::GetDlgCtrlID(r->window);
        if (id == 1) {
            CString caption =
                form && !form->GetFrameCaption().IsEmpty() ? form->GetFrameCaption() : CString(text);
            SetWindowText(caption);
        }
        int tab = TabIndexOf(static_cast<UINT>(id));
        if (tab >= 0 && text && m_wndTabs.GetItemText(tab) != text) m_wndTabs.SetItemText(tab, text);
        break;
    }
    default: break;
    }
    return 1;
}

LRESULT CBaseMDI::OnDiagSelected(WPARAM wParam, LPARAM lParam) {
    UINT value = LOWORD(wParam);
    int tab = LOWORD(lParam);
    bool flag = HIWORD(lParam) != 0;
    CChildDialog* form;
    if (value >= kUninitialised + 1) {
        UINT id = value - kUninitialised;
        if (m_wndTabs.m_hWnd) m_wndTabs.SetItemParam(tab, static_cast<LPARAM>(id));
        ActivateWindow(id, 1);
        form = GetForm(id);
        if (form) form->SendMessage(WM_DIAGSETFOCUS, 0);
    } else {
        ActivateWindow(value, 129);
        form = GetForm(value);
        if (form) form->SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1));
    }
    CChildDialog* top = GetTopForm();
    if (top && !::IsWindowEnabled(top->m_hWnd) && flag) SendMessage(WM_COMMAND, ID_FORM_OK);
    return 1;
}

bool CBaseMDI::CloseRefused() {
    CString refusal = TheSession().Execute(vorlan::VariableLine("%NOKILL"));
    if (refusal.IsEmpty()) return false;
    if (refusal != "1") AfxMessageBox(refusal); // "1" refuses without a word
    return true;
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
    if (activated == m_hWnd) {
        SetAppTitle();
        if (GetForm(1)) SendMessage(WM_SETMEMO);
        if (!m_bNewFrame) SendMessage(WM_ACTIVATE, reinterpret_cast<WPARAM>(m_hTop), 1);
        m_bNewFrame = false;
        StickWindows(true);
    } else if (deactivated == m_hWnd) {
        vorlan::g_strDialogName.Empty();
        vorlan::g_strDialogMemo.Empty();
    }
    return CVORLANMDIChild::WindowProc(WM_MDIACTIVATE, reinterpret_cast<WPARAM>(deactivated),
                                       reinterpret_cast<LPARAM>(activated));
}

LRESULT CBaseMDI::OnTabEraseBackground(HDC dc, HWND child) {
    if (!m_wndTabs.m_hWnd || m_nForms <= 1 || !dc || !child) return 0;
    RECT c, t;
    ::GetWindowRect(child, &c);
    ::GetWindowRect(m_wndTabs.m_hWnd, &t);
    POINT old;
    ::OffsetWindowOrgEx(dc, c.left - t.left, c.top - t.top, &old);
    m_wndTabs.SendMessage(WM_PAINT, reinterpret_cast<WPARAM>(dc));
    ::SetWindowOrgEx(dc, old.x, old.y, nullptr);
    return 1;
}

void CBaseMDI::OnGetMinMaxInfo(MINMAXINFO* info) {
    CChildDialog* top = GetTopForm();
    if (!info || !top) return;
    CSize min = top->GetMinSize();
    CRect frame = GetWindowRect(), form = top->GetWindowRect();
    info->ptMinTrackSize.x = min.cx + frame.Width() - form.Width();
    info->ptMinTrackSize.y = min.cy + frame.Height() - form.Height();
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
    case WM_SETFKEY:
        if (wParam < 40) m_bars.SetKeyEnable(static_cast<int>(wParam), lParam != 0 ? 1 : 0);
        if (CMainFrame* main = CMainFrame::Get()) main->SendMessage(WM_SETFKEY, wParam, lParam);
        return 0;
    case WM_DIAGSELECTED: return OnDiagSelected(wParam, lParam);
    case WM_UPDATEDIALOG:
        if (CChildDialog* top = GetTopForm()) top->SendMessage(WM_UPDATEDIALOG, wParam, 0);
        return 0;
    case WM_CHILDMESSAGE: return OnChildMessage(reinterpret_cast<const void*>(lParam));
    case WM_DIALOGINIT: return OnDialogInit(static_cast<int>(wParam), reinterpret_cast<char*>(lParam));
    case WM_SETMEMO: return OnSetMemo();
    case WM_DIALOGSTOP: return OnDialogStop();
    case WM_TIMEREVENT: return OnTimerEvent(reinterpret_cast<const void*>(lParam));
    case WM_SETWINPOS: SetWinPos(); return 0;
    case WM_TAB_ERASEBKGND:
        return OnTabEraseBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_TESTFKEY: return m_bars.KeyTool().GetEnable(static_cast<int>(wParam));
    case WM_CHECKFKEY: m_bars.KeyTool().CheckFKeys(); return 1;
    case WM_STICKWINDOW: return OnStickWindow(static_cast<unsigned>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_UPDATESTICK: return OnUpdateStick(wParam != 0, reinterpret_cast<HWND>(lParam));
    case WM_GETSTICKEDWINDOW: return reinterpret_cast<LRESULT>(StuckHost());
    case WM_MDIACTIVATE: return OnMDIActivate(reinterpret_cast<HWND>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_NOTIFY: {
        LRESULT result = 0;
        if (ReflectChildNotification(msg, wParam, lParam, result)) return result;
        break;
    }
    case WM_DESTROY: OnDestroy(); break;
    default: break;
    }
    return CVORLANMDIChild::WindowProc(msg, wParam, lParam);
}

// ---- commands

bool CBaseMDI::OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) {
    static const CommandEntry<CBaseMDI> table[] = {
        {ID_FKEY_FIRST, ID_FKEY_LAST, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateKey},
        {ID_XKEY_FIRST, ID_XKEY_LAST, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateKey},
        {ID_MKEY_FIRST, ID_MKEY_LAST, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateKey},
        {ID_FORM_SAVE, ID_FORM_SAVE, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateSave},
        {ID_FORM_PRINT, ID_FORM_PRINT, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdatePrint},
        {ID_FORM_UNDO, ID_FORM_UNDO, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateGridUndo},
        {ID_FORM_CLOSE, ID_FORM_OK, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateNotMenuEdit},
        {ID_GRID_PRINT, ID_GRID_COPY, &CBaseMDI::OnFormCommand, &CBaseMDI::OnUpdateGridPrint},
        {ID_GRID_WIDTH_UNDO, ID_GRID_WIDTH_FIT, &CBaseMDI::OnFormCommand, nullptr},
        {ID_FORM_HARDCOPY, ID_FORM_HARDCOPY, &CBaseMDI::OnFormCommand, nullptr},
        {ID_KEY_F4_UP, ID_KEY_F4_UP, &CBaseMDI::OnF4Up, &CBaseMDI::OnUpdateNotMenuEdit},
        {ID_WINDOW_SAVE_POS, ID_WINDOW_SAVE_POS, &CBaseMDI::OnSaveWinPos, nullptr},
        {ID_FORM_MENU, ID_FORM_MENU, &CBaseMDI::OnFormMenu, &CBaseMDI::OnUpdateFormMenu},
        {ID_EXPLORER_SWAP, ID_EXPLORER_SWAP, nullptr, &CBaseMDI::OnUpdateNotMenuEdit},
        {ID_EXPLORER_X, ID_EXPLORER_X, nullptr, &CBaseMDI::OnUpdateExplorer},
        {ID_EDIT_CLEAR, ID_EDIT_UNDO, &CBaseMDI::OnEdit, &CBaseMDI::OnUpdateEdit},
    };
    return fw::RouteCommand(this, table, id, code, ui);
}

void CBaseMDI::OnFormCommand(UINT id) {
    if (CChildDialog* top = GetTopForm()) top->SendMessage(WM_COMMAND, id, 0);
}

void CBaseMDI::OnF4Up(UINT) {
    if (HWND focus = ::GetFocus()) ::SendMessageA(focus, WM_KEYUP, VK_F4, 0);
}

void CBaseMDI::OnFormMenu(UINT) {
    // (The main frame's toolbar, which has the button, comes with the sizable rebar.)
    if (CChildDialog* top = GetTopForm()) m_bars.OpenFormMenu(top->m_hWnd);
}

void CBaseMDI::OnUpdateFormMenu(CCmdUI* ui) {
    CChildDialog* top = GetTopForm();
    ui->Enable((top && top->HasGrid()) || (!m_bMenuEdit && m_bars.AnyKeyEnabled()));
}

void CBaseMDI::OnEdit(UINT id) {
    HWND focus = ::GetFocus();
    if (!focus) return;
    if (vorlan::g_nFocusKind == 3) {
        ::SendMessageA(::GetParent(focus), WM_COMMAND, id, 0);
        return;
    }
    SendEditCommand(focus, id);
}

void CBaseMDI::OnUpdateKey(CCmdUI* ui) {
    int index = vorlan::KeyIndexOfCommand(ui->m_nID);
    bool on = !m_bMenuEdit && index >= 0 && m_bars.KeyTool().GetEnable(index) != 0;
    // While a grid has the focus, F6 and F7 stay on whatever the table says.
    if (vorlan::g_nFocusKind == 4 && (ui->m_nID == ID_FKEY_FIRST + 1 || ui->m_nID == ID_FKEY_FIRST + 2))
        on = true;
    ui->Enable(on);
    // The server's checked keys show in the menus too.
    if (index >= 0) ui->SetCheck(m_bars.KeyTool().GetCheck(index));
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
    // Enabled by the grid's undo value once forms have grids.
    ui->Enable(false);
}

void CBaseMDI::OnUpdateGridPrint(CCmdUI* ui) {
    CChildDialog* top = GetTopForm();
    ui->Enable(top && top->HasGrid());
}

void CBaseMDI::OnUpdateExplorer(CCmdUI* ui) {
    ui->Enable(TheSession().Execute(vorlan::kExplorerEntriesLine) != "0");
}

void CBaseMDI::OnUpdateEdit(CCmdUI* ui) {
    HWND focus = ::GetFocus();
    UINT id = ui->m_nID;
    switch (vorlan::g_nFocusKind) {
    case 1: {
        bool on = id == ID_EDIT_CUT || id == ID_EDIT_COPY || id == ID_EDIT_CLEAR || id == ID_EDIT_SELECT_ALL;
        if (id == ID_EDIT_PASTE) on = ::IsClipboardFormatAvailable(CF_TEXT) != 0;
        if (id == ID_EDIT_UNDO) on = focus && ::SendMessageA(focus, EM_CANUNDO, 0, 0) != 0;
        ui->Enable(on);
        break;
    }
    case 2: ui->Enable(id == ID_EDIT_COPY); break;
    case 3: ui->Enable(focus && ::SendMessageA(::GetParent(focus), WM_WEBBROWSER, id, 0) != 0); break;
    default: ui->Enable(false); break;
    }
}
