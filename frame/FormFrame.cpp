#include "frame/FormFrame.h"

#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "forms/ChildDialog.h"
#include "forms/FormGlobals.h"
#include "forms/FormMessages.h"
#include "frame/FormFrameLogic.h"
#include "frame/FrameTimerLogic.h"
#include "frame/MainFrame.h"
#include "framework/CmdUI.h"
#include "framework/Gdi.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

#include <algorithm>
#include <cstdlib>

namespace {

constexpr int kTabMargin = 6;

} // namespace

CFormFrame::CFormFrame(CWnd& window) : m_window(window) {}

CChildDialog* CFormFrame::GetForm(UINT id) const {
    if (!FrameWindow() || id == 0) return nullptr;
    return dynamic_cast<CChildDialog*>(
        CWnd::FromHandlePermanent(::GetDlgItem(FrameWindow(), static_cast<int>(id))));
}

CChildDialog* CFormFrame::GetTopForm() const {
    if (auto* top = dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(m_hTop))) return top;
    return GetForm(1);
}

void CFormFrame::BeginCreate(HFONT font1, HFONT font2, HFONT font3) {
    m_hFonts[0] = font1;
    m_hFonts[1] = font2;
    m_hFonts[2] = font3;
    m_nForms = 0;
    m_bCreating = true;
    m_strMemo = TheSession().Execute(vorlan::VariableLine("%MEMO"));
}

CChildDialog* CFormFrame::CreateFirstForm(const char* dialogText, UINT dialogId, int killFlag,
                                          const char* keepList) {
    auto* first = new CChildDialog;
    first->SetFonts(m_hFonts[0], m_hFonts[1], m_hFonts[2]);
    // A form that was refused or closed itself is gone when Create returns.
    if (!first->Create(dialogText, dialogId, killFlag, &m_window, 0, 0, 1, keepList)) return nullptr;
    m_hTop = first->m_hWnd;
    m_strScreen = CString(vorlan::PieceOf(dialogText ? dialogText : "", 1)).Left(128);
    return first;
}

bool CFormFrame::CreateTabs(CChildDialog* first) {
    bool tabs = MakeTabs(first);
    TheSession().Execute(vorlan::kTabsHiddenByJobEndLine);
    return tabs;
}

bool CFormFrame::MakeTabs(CChildDialog* first) {
    HWND frame = FrameWindow();
    int k = 0;
    for (int n = 1;; ++n) {
        CString node = TheSession().Execute(vorlan::TabNodeLine(m_strScreen.str(), n).c_str());
        if (node.IsEmpty()) break;
        std::string tab = vorlan::PieceOf(node.str(), 1);
        if (TheSession().Execute(vorlan::TabHiddenLine(m_strScreen.str(), tab).c_str()) == "1" ||
            TheSession().Execute(vorlan::TabHiddenByJobLine(m_strScreen.str(), tab).c_str()) == "1")
            continue;
        if (!m_wndTabs.m_hWnd) {
            CRect r;
            ::GetClientRect(frame, &r);
            r.OffsetRect(kTabMargin, kTabMargin);
            r.right += 16;
            r.bottom += 16;
            if (!m_wndTabs.Create(r, frame)) return false;
            m_wndTabs.SetFont(m_hFonts[0]);
            m_wndTabs.InsertItem(0, first->GetWindowText(), 1);
            ::SetWindowPos(m_wndTabs.m_hWnd, HWND_BOTTOM, 0, 0, 0, 0,
                           SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        }
        auto* form = new CChildDialog;
        form->SetFonts(m_hFonts[0], m_hFonts[1], m_hFonts[2]);
        form->SetTabIndex(n + 1);
        // A page that cannot be made gets no tab (the refused form is gone).
        if (!form->Create(tab.c_str(), TabFormId(n), 1, &m_window, 0, 0, 0, nullptr)) {
            if (!::IsWindow(frame)) return false;
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
        if (m_btnLeft.Create(left, style, CRect(0, 0, 10, 10), frame, ID_TAB_LEFT) &&
            m_btnRight.Create(right, style, CRect(0, 0, 10, 10), frame, ID_TAB_RIGHT)) {
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

int CFormFrame::TabIndexOf(UINT formId) const {
    return vorlan::TabItemOfPage(m_wndTabs.m_hWnd, formId);
}

void CFormFrame::AdjustWindow(HWND outer, HWND inner, int extraHeight) {
    if (!outer || !inner) return;
    HWND frame = FrameWindow();
    int margin = (outer == frame && m_wndTabs.m_hWnd) ? kTabMargin : 0;
    CRect in, out;
    ::GetWindowRect(inner, &in);
    ::GetWindowRect(outer, &out);
    in.right += margin + 3;
    in.bottom += margin + 3;
    TEXTMETRICA tm{};
    if (margin && m_bTabButtons) {
        tm = TextMetrics(frame,
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
        ::ScreenToClient(frame, &p);
        POINT innerRight{in.right - margin - 3, 0};
        ::ScreenToClient(frame, &innerRight);
        int w = 12 * tm.tmAveCharWidth, h = tm.tmHeight + 2, y = p.y + kTabMargin;
        m_btnRight.SetWindowPos(nullptr, innerRight.x - w, y, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
        m_btnLeft.SetWindowPos(nullptr, innerRight.x - 2 * w - kTabMargin, y, w, h,
                               SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

void CFormFrame::CalcWinSize(int width, int height) {
    if (m_bCreating || m_nForms == 0) return;
    const int band = m_bars.Layout(width);
    if (m_nForms == 1) {
        if (CChildDialog* form = GetForm(1))
            form->SetWindowPos(nullptr, 0, band, width, height - band, SWP_NOZORDER | SWP_NOACTIVATE);
        return;
    }
    if (!m_wndTabs.m_hWnd) return;
    CRect tabs = m_wndTabs.GetWindowRect();
    ::MapWindowPoints(nullptr, FrameWindow(), reinterpret_cast<POINT*>(&tabs), 2);
    const int shift = band + kTabMargin - tabs.top;
    if (shift == 0) return;
    // The band came above pages placed without it, or changed its rows: the pages follow it.
    auto moveDown = [&](HWND w) {
        CRect r;
        ::GetWindowRect(w, &r);
        ::MapWindowPoints(nullptr, FrameWindow(), reinterpret_cast<POINT*>(&r), 2);
        ::SetWindowPos(w, nullptr, r.left, r.top + shift, width - r.left, r.Height(),
                       SWP_NOZORDER | SWP_NOACTIVATE);
    };
    moveDown(m_wndTabs.m_hWnd);
    for (int id = 1; id <= m_nLastFormId; ++id)
        if (CChildDialog* form = GetForm(static_cast<UINT>(id))) moveDown(form->m_hWnd);
}

int CFormFrame::RunInit(int tab, char* answer, bool menuEdit) {
    vorlan::TraceFunction("CFormFrame::RunInit");
    ::KillTimer(FrameWindow(), kTimer);
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
        // The node of the tab list the frame was built from.
        CString node = TheSession().Execute(vorlan::TabNodeLine(m_strScreen.str(), tab - 1).c_str());
        code = vorlan::PieceOf(node.str(), 2); // the whole code: M lines are never cut
    }
    CString result = TheSession().Execute(vorlan::PrgInitLine(code).c_str());
    int seconds = std::atoi(TheSession().Execute(vorlan::VariableLine("%TIMER")));
    if (seconds > 0) ::SetTimer(FrameWindow(), kTimer, static_cast<UINT>(seconds) * 1000, nullptr);
    m_strTimerList = TheSession().Execute(vorlan::kTimerListLine);
    vorlan::InitAnswer init = vorlan::ReadInitAnswer(result.str());
    if (answer) lstrcpynA(answer, init.text.c_str(), kAnswerSize);
    return init.accepted && !menuEdit ? 1 : 0;
}

CString CFormFrame::StoredPosition(const std::string& screen) const {
    CString record = TheSession().Execute(vorlan::WindowPositionLine(screen, true).c_str());
    if (record.IsEmpty()) record = TheSession().Execute(vorlan::WindowPositionLine(screen, false).c_str());
    return record;
}

void CFormFrame::ShowInitAnswer(bool accepted, const char* answer) {
    CMainFrame* main = CMainFrame::Get();
    if (accepted) {
        if (main) main->SetStatusText(answer);
    } else {
        if (answer[0]) AfxMessageBox(answer);
        if (main) main->SetIdleText();
    }
}

bool CFormFrame::CloseRefused() {
    CString refusal = TheSession().Execute(vorlan::VariableLine("%NOKILL"));
    if (refusal.IsEmpty()) return false;
    if (refusal != "1") AfxMessageBox(refusal); // "1" refuses without a word
    return true;
}

void CFormFrame::TakeFocusField(CChildDialog* form, bool enabled, bool positiveOnly) {
    int field = std::atoi(TheSession().Execute(vorlan::kTakeFocusFieldLine));
    if (enabled && (positiveOnly ? field > 0 : field != 0))
        form->SendMessage(WM_ENABLEEDITS, static_cast<WPARAM>(field));
    else if (enabled && form->m_bGridReset)
        form->ResetGridSelection();
    form->m_bGridReset = false;
}

void CFormFrame::BringFormToTop(CChildDialog* form) {
    HWND previous = m_hTop;
    form->SetWindowPos(HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW | SWP_NOACTIVATE);
    m_hTop = form->m_hWnd;
    if (previous && previous != m_hTop) ::ShowWindow(previous, SW_HIDE);
}

void CFormFrame::FitToForm(HWND form) {
    if (m_nForms > 1 && m_wndTabs.m_hWnd) {
        AdjustWindow(m_wndTabs.m_hWnd, form, 0);
        AdjustWindow(FrameWindow(), m_wndTabs.m_hWnd, 0);
    } else {
        // The band wraps to the width the frame takes for the form.
        CRect client, inner;
        ::GetClientRect(FrameWindow(), &client);
        ::GetWindowRect(form, &inner);
        AdjustWindow(FrameWindow(), form, BandHeight(std::max<int>(client.Width(), inner.Width())));
    }
}

bool CFormFrame::OnFormFrameMessage(UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result) {
    switch (msg) {
    case WM_SETFKEY: result = OnSetFKey(wParam, lParam); return true;
    case WM_DIAGSELECTED: result = OnDiagSelected(wParam, lParam); return true;
    case WM_CHILDMESSAGE: result = OnChildMessage(reinterpret_cast<const void*>(lParam)); return true;
    case WM_TAB_ERASEBKGND:
        result = OnTabEraseBackground(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
        return true;
    case WM_TESTFKEY: result = OnTestFKey(wParam); return true;
    case WM_CHECKFKEY:
        m_bars.KeyTool().CheckFKeys();
        result = 1;
        return true;
    case WM_NOTIFY: return ReflectChildNotification(msg, wParam, lParam, result);
    default: return false;
    }
}

LRESULT CFormFrame::OnChildMessage(const void* record) {
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
            // Set only when it changes: every step of the form tells the title again.
            if (fw::WindowText(FrameWindow()) != caption.str()) ::SetWindowTextA(FrameWindow(), caption);
        }
        int tab = TabIndexOf(static_cast<UINT>(id));
        if (tab >= 0 && text && m_wndTabs.GetItemText(tab) != text) m_wndTabs.SetItemText(tab, text);
        break;
    }
    default: break;
    }
    return 1;
}

LRESULT CFormFrame::OnDiagSelected(WPARAM wParam, LPARAM lParam) {
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
    if (top && !::IsWindowEnabled(top->m_hWnd) && flag)
        ::SendMessageA(FrameWindow(), WM_COMMAND, ID_FORM_OK, 0);
    return 1;
}

LRESULT CFormFrame::OnTabEraseBackground(HDC dc, HWND child) {
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

void CFormFrame::OnGetMinMaxInfo(MINMAXINFO* info) {
    CChildDialog* top = GetTopForm();
    if (!info || !top) return;
    CSize min = top->GetMinSize();
    CRect frame, form = top->GetWindowRect();
    ::GetWindowRect(FrameWindow(), &frame);
    info->ptMinTrackSize.x = min.cx + frame.Width() - form.Width();
    info->ptMinTrackSize.y = min.cy + frame.Height() - form.Height();
}

LRESULT CFormFrame::OnTestFKey(WPARAM index) const {
    return m_bars.KeyTool().GetEnable(static_cast<int>(index));
}

LRESULT CFormFrame::OnSetFKey(WPARAM index, LPARAM enable) {
    if (index < 40) m_bars.SetKeyEnable(static_cast<int>(index), enable != 0 ? 1 : 0);
    if (CMainFrame* main = CMainFrame::Get()) main->SendMessage(WM_SETFKEY, index, enable);
    return 0;
}

void CFormFrame::OnUpdateKey(CCmdUI* ui) {
    int index = vorlan::KeyIndexOfCommand(ui->m_nID);
    bool on = KeysAllowed() && index >= 0 && m_bars.KeyTool().GetEnable(index) != 0;
    // While a grid has the focus, F6 and F7 stay on whatever the table says.
    if (vorlan::g_nFocusKind == 4 && (ui->m_nID == ID_FKEY_FIRST + 1 || ui->m_nID == ID_FKEY_FIRST + 2))
        on = true;
    ui->Enable(on);
    // The server's checked keys show in the menus too.
    if (index >= 0) ui->SetCheck(m_bars.KeyTool().GetCheck(index));
}

bool CFormFrame::OnFormFrameCommand(UINT id, int code, CCmdUI* ui) {
    static const CommandEntry<CFormFrame> table[] = {
        {ID_FKEY_FIRST, ID_FKEY_LAST, &CFormFrame::OnFormCommand, &CFormFrame::OnUpdateKey},
        {ID_XKEY_FIRST, ID_XKEY_LAST, &CFormFrame::OnFormCommand, &CFormFrame::OnUpdateKey},
        {ID_MKEY_FIRST, ID_MKEY_LAST, &CFormFrame::OnFormCommand, &CFormFrame::OnUpdateKey},
        {ID_GRID_WIDTH_UNDO, ID_GRID_WIDTH_FIT, &CFormFrame::OnFormCommand, nullptr},
        {ID_EDIT_CLEAR, ID_EDIT_UNDO, &CFormFrame::OnEdit, &CFormFrame::OnUpdateEdit},
    };
    return fw::RouteCommand(this, table, id, code, ui);
}

void CFormFrame::OnFormCommand(UINT id) {
    if (CChildDialog* top = GetTopForm()) top->SendMessage(WM_COMMAND, id, 0);
}

void CFormFrame::OnEdit(UINT id) {
    HWND focus = ::GetFocus();
    if (!focus) return;
    if (id == ID_EDIT_UNDO && vorlan::g_nFocusKind == 1 && GetTopForm()) {
        GetTopForm()->OnEditUndo();
        return;
    }
    if (vorlan::g_nFocusKind == 3) {
        ::SendMessageA(::GetParent(focus), WM_COMMAND, id, 0);
        return;
    }
    SendEditCommand(focus, id);
}

void CFormFrame::OnUpdateEdit(CCmdUI* ui) {
    HWND focus = ::GetFocus();
    UINT id = ui->m_nID;
    switch (vorlan::g_nFocusKind) {
    case 1: {
        bool on = id == ID_EDIT_CUT || id == ID_EDIT_COPY || id == ID_EDIT_CLEAR || id == ID_EDIT_SELECT_ALL;
        if (id == ID_EDIT_PASTE) on = ::IsClipboardFormatAvailable(CF_TEXT) != 0;
        if (id == ID_EDIT_UNDO) on = focus && ::SendMessageA(focus, EM_CANUNDO, 0, 0) != 0;
        // The form knows which of its controls are fields.
        if (id == ID_EDIT_UNDO && GetTopForm()) {
            GetTopForm()->OnUpdateEditUndo(ui);
            return;
        }
        ui->Enable(on);
        break;
    }
    case 2: ui->Enable(id == ID_EDIT_COPY); break;
    case 3: ui->Enable(focus && ::SendMessageA(::GetParent(focus), WM_WEBBROWSER, id, 0) != 0); break;
    default: ui->Enable(false); break;
    }
}
