#include "frame/ChildWebBrowser.h"

#include "app/ProtocolLog.h"
#include "app/VORLANApp.h"
#include "frame/FrameLogic.h"
#include "frame/MainFrame.h"
#include "frame/WebLinkLogic.h"
#include "resources/ChildrenIds.h"
#include "resources/resource.h"

#include <exdispid.h>

#include <vector>

namespace {

constexpr int kStatusHeight = 20;
constexpr int kIndicatorWidth = 100;
constexpr int kProgressPaneWidth = 80;
constexpr DWORD kFrameStyles = 0x40CA0000;  // child, caption, system menu, minimize box
constexpr DWORD kResizeStyles = 0x00050000; // thick frame, maximize box
constexpr long kPrintCommand = 6;           // OLECMDID_PRINT
constexpr long kDefaultOptions = 0;         // OLECMDEXECOPT_DODEFAULT
constexpr long kForwardCommand = 1;         // CSC_NAVIGATEFORWARD
constexpr long kBackCommand = 2;            // CSC_NAVIGATEBACK

} // namespace

CChildWebBrowser* CChildWebBrowser::Open(CMDIFrameWnd* frame, const RECT& rect) {
    auto* child = new CChildWebBrowser;
    if (!child->CreateChild(frame, WS_CHILD | WS_CLIPCHILDREN | WS_OVERLAPPEDWINDOW, rect)) return nullptr;
    return child;
}

bool CChildWebBrowser::PreCreateWindow(CREATESTRUCTA& cs) {
    cs.style |= kFrameStyles;
    cs.style &= ~WS_VISIBLE;
    return CChildBase::PreCreateWindow(cs);
}

int CChildWebBrowser::OnCreate(CREATESTRUCTA* cs) {
    if (CChildBase::OnCreate(cs) == -1) return -1;
    SetIconOf(IDI_CHILD_WEB);
    CreateStatusBar();
    CString title;
    title.LoadString(IDS_WEB_TITLE);
    SetWindowText(title);
    if (!m_wndBrowser.Create(WS_VISIBLE, CRect(0, 0, 0, 0), m_hWnd, IDC_WEB_CONTROL)) return -1;
    SizeContents();
    m_wndBrowser.FocusControl();
    return 0;
}

void CChildWebBrowser::CreateStatusBar() {
    m_wndStatusBar.Create(SBARS_SIZEGRIP | WS_VISIBLE, CRect(0, 0, 0, 0), m_hWnd, IDC_WEB_STATUS);
    m_wndProgress.Create(PBS_SMOOTH, CRect(0, 0, 0, 0), m_wndStatusBar.m_hWnd, IDC_WEB_PROGRESS);
    SetStatusPanes(false);
}

void CChildWebBrowser::SetStatusPanes(bool withProgress) {
    int width = GetClientRect().Width();
    std::vector<int> edges;
    if (withProgress) edges.push_back(width - 2 * kIndicatorWidth - kProgressPaneWidth);
    edges.push_back(width - 2 * kIndicatorWidth);
    edges.push_back(width - kIndicatorWidth);
    edges.push_back(-1);
    // Pane 0 stretches: it keeps what the others leave.
    for (int& edge : edges)
        if (edge != -1 && edge < 0) edge = 0;
    CString status = m_wndStatusBar.GetText(0);
    m_wndStatusBar.SetParts(edges);
    m_wndStatusBar.SetText(0, status);
    if (withProgress) m_wndStatusBar.SetText(1, "");
}

void CChildWebBrowser::SizeContents() {
    if (!m_wndStatusBar.m_hWnd) return;
    CRect r = GetClientRect();
    bool progress = m_wndProgress.IsWindowVisible();
    SetStatusPanes(progress);
    m_wndStatusBar.MoveWindow(CRect(0, r.Height() - kStatusHeight, r.Width(), r.Height()));
    if (m_wndBrowser.m_hWnd) m_wndBrowser.MoveWindow(CRect(0, 0, r.Width(), r.Height() - kStatusHeight));
    if (progress) m_wndProgress.MoveWindow(m_wndStatusBar.GetRect(1));
}

void CChildWebBrowser::SetMainTitle(const CString& text) {
    CMainFrame* main = CMainFrame::Get();
    if (!main) return;
    CString title;
    theApp.GetAppTitle(title);
    main->SetWindowText(title + " - " + text);
}

void CChildWebBrowser::OnMDIActivate(bool active) {
    if (!active) return;
    SetMainTitle(m_strStaticText.IsEmpty() ? m_wndBrowser.GetLocationName() : m_strStaticText);
    if (CMainFrame* main = CMainFrame::Get()) {
        CString url = m_wndBrowser.GetLocationURL();
        main->SendMessage(WM_SETMEMO, reinterpret_cast<WPARAM>(url.c_str()));
    }
    m_wndBrowser.FocusControl();
}

// ---- the control's events

void CChildWebBrowser::OnBrowserEvent(DISPID id, DISPPARAMS* params) {
    switch (id) {
    case DISPID_BEFORENAVIGATE2: OnBeforeNavigate2(params); break;
    case DISPID_NEWWINDOW2: OnNewWindow2(params); break;
    case DISPID_NAVIGATECOMPLETE2: OnNavigateComplete2(params); break;
    case DISPID_TITLECHANGE: OnTitleChange(params); break;
    case DISPID_COMMANDSTATECHANGE: OnCommandStateChange(params); break;
    case DISPID_STATUSTEXTCHANGE: m_wndStatusBar.SetText(0, fw::EventArgText(params, 0)); break;
    case DISPID_PROGRESSCHANGE: OnProgressChange(params); break;
    case DISPID_WINDOWSETRESIZABLE: OnWindowSetResizable(params); break;
    case DISPID_WINDOWSETLEFT:
    case DISPID_WINDOWSETTOP:
    case DISPID_WINDOWSETWIDTH:
    case DISPID_WINDOWSETHEIGHT: OnWindowSetPlace(id, params); break;
    case DISPID_CLIENTTOHOSTWINDOW: OnClientToHostWindow(params); break;
    case DISPID_WINDOWCLOSING:
    case DISPID_ONQUIT: PostMessage(WM_CLOSE); break;
    case DISPID_FILEDOWNLOAD: AfxMessageBox("Download!!!!"); break;
    default: break; // the page's other events change nothing here
    }
}

void CChildWebBrowser::OnBeforeNavigate2(DISPPARAMS* params) {
    if (m_bNavigationDone) return;
    VARIANT_BOOL* cancel = fw::EventArgBoolRef(params, 6);
    vorlan::WebCall call;
    if (fw::EventArgIsText(params, 1) && fw::EventArgIsText(params, 3) &&
        vorlan::SplitWebLink(fw::EventArgText(params, 1).str(), fw::EventArgText(params, 3).str(), call)) {
        m_bNavigationDone = true;
        m_wndBrowser.Stop();
        if (CMainFrame* main = CMainFrame::Get())
            main->SendMessage(WM_CALLFROMWEB, reinterpret_cast<WPARAM>(call.command.c_str()),
                              reinterpret_cast<LPARAM>(call.query.c_str()));
        if (cancel) *cancel = VARIANT_TRUE;
        PostMessage(WM_CLOSE);
        return;
    }
    if ((cancel && *cancel) || IsWindowVisible()) return;
    ShowWindow(m_strStaticText.IsEmpty() ? SW_SHOWNORMAL : SW_SHOWMAXIMIZED);
    MDIActivate();
    ::BringWindowToTop(m_hWnd);
    m_wndBrowser.FocusControl();
}

void CChildWebBrowser::OnNewWindow2(DISPPARAMS* params) {
    IDispatch** target = fw::EventArgDispatchRef(params, 0);
    CMainFrame* main = CMainFrame::Get();
    if (!main || !target) return;
    auto* other = dynamic_cast<CChildWebBrowser*>(
        CWnd::FromHandlePermanent(reinterpret_cast<HWND>(main->SendMessage(WM_WEBBROWSER, 0, 0))));
    IDispatch* dispatch = other ? other->m_wndBrowser.GetControlDispatch() : nullptr;
    if (!dispatch) return;
    dispatch->AddRef();
    *target = dispatch;
}

void CChildWebBrowser::OnNavigateComplete2(DISPPARAMS* params) {
    CMainFrame* main = CMainFrame::Get();
    if (!main || !fw::EventArgIsText(params, 1) || !IsWindowVisible() || !IsActiveChild()) return;
    CString text = m_strStaticText.IsEmpty() ? fw::EventArgText(params, 1) : m_strStaticText;
    main->SendMessage(WM_SETMEMO, reinterpret_cast<WPARAM>(text.c_str()));
}

void CChildWebBrowser::OnTitleChange(DISPPARAMS* params) {
    CString text = m_strStaticText.IsEmpty() ? fw::EventArgText(params, 0) : m_strStaticText;
    SetWindowText(text);
    SetMainTitle(text);
}

void CChildWebBrowser::OnCommandStateChange(DISPPARAMS* params) {
    long command = fw::EventArgLong(params, 0);
    bool enable = fw::EventArgLong(params, 1) != 0;
    if (command == kForwardCommand) m_bForwardEnabled = enable;
    if (command == kBackCommand) m_bBackEnabled = enable;
}

void CChildWebBrowser::OnProgressChange(DISPPARAMS* params) {
    long progress = fw::EventArgLong(params, 0, -1);
    long most = fw::EventArgLong(params, 1);
    bool show = progress != -1 && most != 0;
    if (show != m_wndProgress.IsWindowVisible()) m_wndProgress.ShowWindow(show ? SW_SHOW : SW_HIDE);
    SizeContents();
    m_wndProgress.SetRange32(0, static_cast<int>(most));
    m_wndProgress.SetPos(static_cast<int>(progress));
}

void CChildWebBrowser::OnWindowSetResizable(DISPPARAMS* params) {
    LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    if (fw::EventArgLong(params, 0))
        style |= kResizeStyles;
    else
        style &= ~static_cast<LONG_PTR>(kResizeStyles);
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, style);
    SetWindowPos(nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
    // The size grip follows the frame's new style.
    CString status = m_wndStatusBar.GetText(0);
    bool progress = m_wndProgress.IsWindowVisible();
    m_wndProgress.DestroyWindow();
    m_wndStatusBar.DestroyWindow();
    CreateStatusBar();
    m_wndStatusBar.SetText(0, status);
    if (progress) m_wndProgress.ShowWindow(SW_SHOW);
    SizeContents();
}

void CChildWebBrowser::OnWindowSetPlace(DISPID id, DISPPARAMS* params) {
    long value = fw::EventArgLong(params, 0, -1);
    if (value < 0) return;
    CRect r = GetWindowRect();
    ::MapWindowPoints(nullptr, ::GetParent(m_hWnd), reinterpret_cast<POINT*>(&r), 2);
    int x = r.left, y = r.top, cx = r.Width(), cy = r.Height();
    switch (id) {
    case DISPID_WINDOWSETLEFT: x = static_cast<int>(value); break;
    case DISPID_WINDOWSETTOP: y = static_cast<int>(value); break;
    case DISPID_WINDOWSETWIDTH: cx = static_cast<int>(value); break;
    default: cy = static_cast<int>(value); break;
    }
    SetWindowPos(nullptr, x, y, cx, cy, SWP_NOZORDER | SWP_NOACTIVATE);
    SizeContents();
}

void CChildWebBrowser::OnClientToHostWindow(DISPPARAMS* params) {
    long* cx = fw::EventArgLongRef(params, 0);
    long* cy = fw::EventArgLongRef(params, 1);
    if (!cx || !cy) return;
    RECT r{0, 0, static_cast<LONG>(*cx), static_cast<LONG>(*cy + kStatusHeight)};
    ::AdjustWindowRectEx(&r, static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongPtrA(m_hWnd, GWL_EXSTYLE)));
    *cx = r.right - r.left;
    *cy = r.bottom - r.top;
}

// ---- commands

bool CChildWebBrowser::OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) {
    static const CommandEntry<CChildWebBrowser> table[] = {
        {ID_CHILD_PRINT, ID_CHILD_PRINT, &CChildWebBrowser::OnPrint, &CChildWebBrowser::OnUpdatePrint},
        {ID_CHILD_STOP, ID_CHILD_STOP, &CChildWebBrowser::OnStop, &CChildWebBrowser::OnUpdateStop},
        {ID_CHILD_BACK, ID_CHILD_BACK, &CChildWebBrowser::OnBack, &CChildWebBrowser::OnUpdateBack},
        {ID_CHILD_FORWARD, ID_CHILD_FORWARD, &CChildWebBrowser::OnForward,
         &CChildWebBrowser::OnUpdateForward},
    };
    return fw::RouteCommand(this, table, id, code, ui);
}

void CChildWebBrowser::OnPrint(UINT) {
    m_wndBrowser.ExecWB(kPrintCommand, kDefaultOptions);
}

void CChildWebBrowser::OnStop(UINT) {
    m_wndBrowser.Stop();
}

void CChildWebBrowser::OnBack(UINT) {
    m_wndBrowser.GoBack();
}

void CChildWebBrowser::OnForward(UINT) {
    m_wndBrowser.GoForward();
}

void CChildWebBrowser::OnUpdatePrint(CCmdUI* ui) {
    CString text;
    text.LoadString(IDS_CHILD_PRINT);
    ui->SetText(text);
    ui->Enable(true);
}

void CChildWebBrowser::OnUpdateStop(CCmdUI* ui) {
    ui->Enable(m_wndBrowser.GetBusy());
}

void CChildWebBrowser::OnUpdateBack(CCmdUI* ui) {
    ui->Enable(m_bBackEnabled);
}

void CChildWebBrowser::OnUpdateForward(CCmdUI* ui) {
    ui->Enable(m_bForwardEnabled);
}

LRESULT CChildWebBrowser::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    vorlan::TraceWindowMessage("CChildWebBrowser", vorlan::WindowMessageName(msg));
    switch (msg) {
    case WM_SIZE:
        if (wParam != SIZE_MINIMIZED) SizeContents();
        break;
    case WM_MDIACTIVATE:
        OnMDIActivate(reinterpret_cast<HWND>(lParam) == m_hWnd);
        return CMDIChildWnd::WindowProc(msg, wParam, lParam);
    default: break;
    }
    return CChildBase::WindowProc(msg, wParam, lParam);
}
