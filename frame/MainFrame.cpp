#include "frame/MainFrame.h"

#include "app/FontSlots.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "forms/FormGlobals.h"
#include "forms/ChildDialog.h"
#include "frame/BaseMDI.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tools/IconList.h"

#include <algorithm>

using vorlan::TraceFunction;

namespace {

constexpr int kStatusHeight = 20;
constexpr int kIndicatorWidth = 36;

} // namespace

CMainFrame::CMainFrame() : m_pViewer(MakeFrameViewer()) {
    TraceFunction("CMainFrame::CMainFrame");
    // The forms' loading grids show their progress in the status bar.
    vorlan::g_pfnShowProgress = [](const char* text, int position, int range) {
        if (CMainFrame* frame = CMainFrame::Get()) frame->SetProgressStatus(text, position, range);
    };
}

CMainFrame::~CMainFrame() {
    TraceFunction("CMainFrame::~CMainFrame");
    if (m_bLoggedIn) {
        TheSession().Execute(vorlan::kForgetJobPathsLine);
        TheSession().Execute(vorlan::kLogoutLine);
    }
    if (m_hExtraIcon) ::DestroyIcon(m_hExtraIcon);
    if (theApp.m_pMainWnd == this) theApp.m_pMainWnd = nullptr;
    vorlan::g_pfnShowProgress = nullptr;
}

CMainFrame* CMainFrame::Get() {
    return dynamic_cast<CMainFrame*>(theApp.m_pMainWnd);
}

bool CMainFrame::LoadFrame(const char* title) {
    // The menu lives in the menu bar, not on the window.
    if (!CreateEx(0, kClassName, title, WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                  CRect(CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT + 900, CW_USEDEFAULT + 650), nullptr, 0))
        return false;
    m_bAutoDelete = true;
    return true;
}

bool CMainFrame::PreCreateWindow(CREATESTRUCTA& cs) {
    TraceFunction("CMainFrame::PreCreateWindow");
    // CW_USEDEFAULT spans: the frame picks its place, the size stays as asked.
    if (cs.x == CW_USEDEFAULT) {
        cs.cx = 900;
        cs.cy = 650;
    }
    return true;
}

HFONT CMainFrame::GetFrameFont(int n) const {
    switch (n) {
    case 0: return m_fontNormal;
    case 1: return m_fontBold;
    default: return m_fontFixed;
    }
}

const CString& CMainFrame::GetKeyText(int index) const {
    static const CString none;
    return index >= 0 && index < vorlan::kKeyCount ? m_strKeys[index] : none;
}

// ---- creation

int CMainFrame::OnCreate(CREATESTRUCTA* cs) {
    TraceFunction("CMainFrame::OnCreate");
    if (CMDIFrameWnd::OnCreate(cs) == -1) return -1;
    ::SetTimer(m_hWnd, kFrameTimer, 1000, nullptr);
    m_strImagesPath = theApp.GetProfileString("Settings", "ImagesPath", "");
    if (!m_strImagesPath.IsEmpty() && m_strImagesPath.Right(1) != "\\") m_strImagesPath += "\\";
    m_nAddOnMessage = ::RegisterWindowMessageA("VORLAN.AddOn");
    ConnectListWindow(true);
    SizeContents();
    return 0;
}

bool CMainFrame::OnCreateClient(CREATESTRUCTA*) {
    TraceFunction("CMainFrame::OnCreateClient");
    auto* desktop = new CIconList;
    if (!desktop->Create(WS_CHILD | WS_VISIBLE | LVS_EDITLABELS | LVS_ALIGNLEFT, CRect(0, 0, 0, 0), m_hWnd,
                         ID_MDI_CLIENT, ID_MDI_FIRST)) {
        delete desktop;
        return false;
    }
    m_pIconList = desktop;
    m_hWndMDIClient = desktop->m_hWnd;
    desktop->SetFrameHooks([this] { return IsDesktopOptionsAllowed(); }, [this] { SaveInfos(); });
    CreateFonts();
    CreateToolbars();
    LoadDefaults(0);
    return true;
}

void CMainFrame::CreateFonts() {
    FontSetting setting = theApp.GetFontSetting(vorlan::kFontSlotMainWindow);
    if (setting.name.IsEmpty() ||
        !m_fontNormal.CreatePointFont(setting.scaledSize ? setting.scaledSize : 85, setting.name))
        m_fontNormal.CreatePointFont(85, "Tahoma");
    SetFont(m_fontNormal, false);
    LOGFONTA lf{};
    m_fontNormal.GetLogFont(lf);
    lf.lfWeight = FW_BOLD;
    m_fontBold.CreateFontIndirect(lf);
    m_fontFixed.CreatePointFont(85, "Courier New");
    m_menuDrawer.SetFont(m_fontNormal);

    TEXTMETRICA tm = TextMetrics(m_hWnd, m_fontNormal);
    vorlan::g_nCharWidthUnit = tm.tmAveCharWidth + 2;
    int row = tm.tmHeight + 2;
    if (row < ::GetSystemMetrics(SM_CYVSCROLL)) row = ::GetSystemMetrics(SM_CYVSCROLL);
    vorlan::g_nRowHeightUnit = row + 2 * ::GetSystemMetrics(SM_CYEDGE);
}

// ---- layout and status bar

void CMainFrame::RecalcLayout() {
    // The layout is SizeContents' alone.
    TraceFunction("CMainFrame::RecalcLayout");
}

void CMainFrame::SizeContents() {
    if (!m_hWnd) return;
    CRect r = GetClientRect();
    if (m_wndStatusBar.m_hWnd) {
        if (m_bStatusVisible) {
            m_wndStatusBar.MoveWindow(CRect(r.left, r.bottom - kStatusHeight, r.right, r.bottom));
            r.bottom -= kStatusHeight;
            LayoutStatusBar();
        }
        m_wndStatusBar.ShowWindow(m_bStatusVisible ? SW_SHOWNA : SW_HIDE);
    }
    if (m_wndReBar.m_hWnd && m_wndReBar.IsWindowVisible()) {
        int h = static_cast<int>(::SendMessageA(m_wndReBar.GetReBar(), RB_GETBARHEIGHT, 0, 0));
        if (!m_wndReBar.IsFixedSize(false)) h += 3;
        m_wndReBar.SetWindowPos(nullptr, r.left, r.top, r.Width(), h, SWP_NOZORDER | SWP_NOACTIVATE);
        r.top += h;
    }
    if (m_wndMenuReBar.m_hWnd && m_wndMenuReBar.IsWindowVisible()) {
        RECT side = r;
        m_wndMenuReBar.SetBarPos(side);
        r.left += std::max<int>(0, static_cast<int>(side.right - side.left));
    }
    if (m_hWndMDIClient) ::MoveWindow(m_hWndMDIClient, r.left, r.top, r.Width(), r.Height(), TRUE);
}

void CMainFrame::LayoutStatusBar() {
    if (!m_wndStatusBar.m_hWnd) return;
    int width = m_wndStatusBar.GetClientRect().Width();
    SIZE size = TextExtent(m_wndStatusBar.m_hWnd, m_fontNormal, m_strExtraText, m_strExtraText.GetLength());
    int extra = size.cx + 20 + 16;
    int right3 = width - kIndicatorWidth - 16;
    std::vector<int> edges = {right3 - kIndicatorWidth - extra, right3 - kIndicatorWidth, right3, -1};
    if (edges[0] < 0) edges[0] = 0;
    m_wndStatusBar.SetParts(edges);
    if (m_bProgressShown) SizeStatusProgress();
}

void CMainFrame::SetStatusText(const char* text) {
    if (m_wndStatusBar.m_hWnd) m_wndStatusBar.SetText(0, text);
}

void CMainFrame::SetIdleText() {
    CString idle;
    idle.LoadString(IDS_IDLE_TEXT);
    SetStatusText(idle);
}

void CMainFrame::SetExtraText(const char* text, UINT icon) {
    if (text) {
        m_strExtraText = text;
        if (icon != m_nExtraIcon || !m_hExtraIcon) {
            if (m_hExtraIcon) ::DestroyIcon(m_hExtraIcon);
            m_hExtraIcon = static_cast<HICON>(
                ::LoadImageA(AfxGetResourceHandle(), MAKEINTRESOURCEA(icon), IMAGE_ICON, 16, 16, 0));
            m_nExtraIcon = icon;
        }
    }
    if (!m_wndStatusBar.m_hWnd) return;
    LayoutStatusBar();
    m_wndStatusBar.SetIcon(1, m_hExtraIcon);
    m_wndStatusBar.SetText(1, m_strExtraText);
}

void CMainFrame::SizeStatusProgress() {
    CRect pane = m_wndStatusBar.GetRect(0);
    CString text = m_wndStatusBar.GetText(0);
    SIZE size = TextExtent(m_wndStatusBar.m_hWnd, m_fontNormal, text, text.GetLength());
    int left = size.cx + pane.left + 10;
    int right = pane.right;
    if (left + 160 < right) right = left + 200;
    if (right > pane.right) right = pane.right;
    m_wndProgress.MoveWindow(CRect(left, pane.top + 2, right, pane.bottom - 2));
}

void CMainFrame::SetProgressStatus(const char* text, int position, int range) {
    if (!m_bStatusVisible || !m_wndStatusBar.m_hWnd) return;
    if (position != -1 && range != 0) {
        if (!m_bProgressShown) {
            m_strSavedPane0 = m_wndStatusBar.GetText(0);
            m_bProgressShown = true;
        }
        m_wndStatusBar.SetText(0, text ? text : "");
        SizeStatusProgress();
        m_wndProgress.ShowWindow(SW_SHOWNA);
    } else {
        m_wndProgress.ShowWindow(SW_HIDE);
        if (m_bProgressShown) m_wndStatusBar.SetText(0, m_strSavedPane0);
        m_bProgressShown = false;
        SetExtraText(nullptr, 0);
    }
    m_wndProgress.SetRange32(0, range);
    m_wndProgress.SetPos(position);
}

CRect CMainFrame::GetMDIDefaultRect() const {
    CRect client;
    if (m_hWndMDIClient) ::GetClientRect(m_hWndMDIClient, &client);
    vorlan::Box activeBox;
    const vorlan::Box* active = nullptr;
    HWND child = MDIGetActive();
    if (child && !::IsIconic(child) && !::IsZoomed(child)) {
        RECT r;
        ::GetWindowRect(child, &r);
        ::MapWindowPoints(nullptr, m_hWndMDIClient, reinterpret_cast<POINT*>(&r), 2);
        activeBox = vorlan::Box{r.left, r.top, r.right, r.bottom};
        active = &activeBox;
    }
    vorlan::Box b = vorlan::MdiDefaultRect(active, client.Width(), client.Height());
    return CRect(b.left, b.top, b.right, b.bottom);
}

bool CMainFrame::HasFormFrames() const {
    for (HWND h : MDIChildren())
        if (::GetDlgCtrlID(h) >= ID_MDI_FIRST) return true;
    return false;
}

void CMainFrame::SetControlFocus() {
    if (auto* frame = dynamic_cast<CBaseMDI*>(MDIGetActiveFrame()))
        if (CWnd* form = frame->GetTopForm()) form->SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1));
}

bool CMainFrame::CheckAdminRights() {
    return TheSession().Execute(vorlan::kAdminCheckLine) == "1";
}

void CMainFrame::SetServerTimers(const vorlan::ServerTimer& app, const vorlan::ServerTimer& sys) {
    m_appTimer.interval = m_appTimer.countdown = app.interval;
    m_appTimer.line = app.line;
    m_sysTimer.interval = m_sysTimer.countdown = sys.interval;
    m_sysTimer.line = sys.line;
}

// ---- closing

void CMainFrame::OnClose() {
    TraceFunction("CMainFrame::OnClose");
    if (TheSession().IsBusy()) return; // a server call runs: closing now would cut it off
    // The user's own session comes back first, so that it is logged out and stored as such.
    OnMenuEditOff(ID_MENU_EDIT_OFF);
    if (HasFormFrames()) {
        ::SetForegroundWindow(m_hWnd);
        if (AfxMessageBox(IDS_CLOSE_WITH_FORMS, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    }
    if (!MDICloseAll() && HasFormFrames()) return;
    SaveDefaults();
    if (MDICloseAll()) DestroyWindow();
}

bool CMainFrame::MDICloseAll() {
    TraceFunction("CMainFrame::MDICloseAll");
    OnWindowCloseAll(ID_WINDOW_CLOSE_ALL);
    if (HasFormFrames()) return false;
    if (m_wndMenuTree.IsMenuEditMode() &&
        AfxMessageBox(IDS_SAVE_MENU_EDIT, MB_YESNO | MB_ICONQUESTION) == IDNO)
        m_wndMenuTree.SetMenuEditMode(false);
    if (m_bLoggedIn) {
        m_wndMenuTree.SendMessage(WM_DESTROYMENU);
        m_wndMemo.EndSession();
        TheSession().Execute(vorlan::kForgetJobPathsLine);
        m_appTimer.interval = m_sysTimer.interval = 0;
        m_nMessageCountdown = 0;
        SaveInfos();
        TheSession().Execute(vorlan::kLogoutLine);
    }
    m_bLoggedIn = false;
    if (m_pIconList) {
        m_pIconList->m_bReportSizes = false;
        m_pIconList->SetStandard();
    }
    theApp.SetEuro(false);
    CString text;
    text.LoadString(IDS_NOT_LOGGED_IN);
    SetExtraText(text, IDI_LOGGED_OUT);
    return true;
}

void CMainFrame::StopMenuEditMode() {
    if (AfxMessageBox(IDS_SAVE_MENU_EDIT, MB_YESNO | MB_ICONQUESTION) == IDNO)
        m_wndMenuTree.SetMenuEditMode(false);
    m_wndMenuTree.SendMessage(WM_DESTROYMENU);
    m_wndMenuTree.SetMenuEditMode(false);
    m_wndMenuTree.SendMessage(WM_CREATEMENU);
}

void CMainFrame::OnDestroy() {
    ::KillTimer(m_hWnd, kFrameTimer);
    ConnectListWindow(false);
    m_pIconList = nullptr; // the desktop deletes itself with its window
    ::PostQuitMessage(0);
}

// ---- activation, keys, help

LRESULT CMainFrame::OnActivate(WPARAM wParam, LPARAM) {
    if (LOWORD(wParam) != WA_INACTIVE) {
        HWND target =
            m_hFocusOnDeactivate && ::IsWindow(m_hFocusOnDeactivate) ? m_hFocusOnDeactivate : m_hWndMDIClient;
        if (target && !::IsIconic(m_hWnd)) ::SetFocus(target);
        if (m_bFocusWasGrid && target == m_hFocusOnDeactivate)
            ::SendMessageA(target, WM_USER, static_cast<WPARAM>(-1), -1);
        return 0;
    }
    HWND focus = ::GetFocus();
    m_hFocusOnDeactivate = focus && ::IsChild(m_hWnd, focus) ? focus : nullptr;
    m_bFocusWasGrid = false;
    if (m_hFocusOnDeactivate && ::GetDlgCtrlID(m_hFocusOnDeactivate) == 0x1800) {
        HWND active = MDIGetActive();
        if (active && ::IsChild(active, m_hFocusOnDeactivate)) {
            m_bFocusWasGrid = true;
            ::SendMessageA(m_hFocusOnDeactivate, WM_NCACTIVATE, FALSE, 0);
        }
    }
    return 0;
}

LRESULT CMainFrame::OnNcActivate(WPARAM wParam, LPARAM lParam) {
    BOOL active = wParam && ::IsWindowEnabled(m_hWnd);
    if (m_hWndMDIClient) ::SendMessageA(m_hWndMDIClient, WM_NCACTIVATE, active, 0);
    if (m_wndMenuBar.m_hWnd) m_wndMenuBar.OnNcActivate(active != FALSE);
    return ::DefWindowProcA(m_hWnd, WM_NCACTIVATE, wParam, lParam);
}

LRESULT CMainFrame::OnSysCommand(WPARAM wParam, LPARAM lParam) {
    if ((wParam & 0xFFF0) == SC_KEYMENU && lParam == 0) {
        if (HWND active = MDIGetActive())
            if (LRESULT r = ::SendMessageA(active, WM_MENUSHOW, 0, 0)) return r;
        if (LRESULT r = m_wndReBar.SendMessage(WM_MENUSHOW)) return r;
    }
    return ::DefWindowProcA(m_hWnd, WM_SYSCOMMAND, wParam, lParam);
}

void CMainFrame::OnHelpInfo(const HELPINFO* info) {
    if (info) {
        struct {
            int kind, id;
            DWORD topic;
        } topics[] = {{HELPINFO_WINDOW, 1011, 4096},
                      {HELPINFO_WINDOW, 49164, 4098},
                      {HELPINFO_MENUITEM, ID_FORM_CLOSE, 4354},
                      {HELPINFO_MENUITEM, ID_FORM_F2, 4353},
                      {HELPINFO_MENUITEM, ID_FORM_OK, 4352}};
        for (const auto& t : topics)
            if (info->iContextType == t.kind && info->iCtrlId == t.id) {
                theApp.WinHelp(t.topic, 0);
                return;
            }
    }
    OnHelp(ID_HELP_MANUAL);
}

LRESULT CMainFrame::OnMenuChar(WPARAM wParam, LPARAM lParam) {
    if (m_wndMenuBar.m_hWnd)
        if (LRESULT r = m_wndMenuBar.SendMessage(WM_MENUCHAR, wParam, lParam)) return r;
    // Owner-drawn items keep their mnemonics here.
    int found =
        COwnerDrawMenus::FindMnemonic(reinterpret_cast<HMENU>(lParam), static_cast<char>(LOWORD(wParam)));
    if (found >= 0) return MAKELRESULT(found, MNC_EXECUTE);
    return ::DefWindowProcA(m_hWnd, WM_MENUCHAR, wParam, lParam);
}

bool CMainFrame::PreTranslateMessage(MSG* msg) {
    if (msg->message == WM_KEYUP && msg->wParam == VK_PAUSE && m_hWndMDIClient) {
        ::SendMessageA(m_hWndMDIClient, WM_LBUTTONDBLCLK, MK_CONTROL, 0);
        return true;
    }
    return false;
}

void CMainFrame::GetMessageString(UINT id, CString& out) const {
    if (id >= ID_FKEY_FIRST && id <= ID_FKEY_LAST) {
        out = "Ruft Funktion einer F-Taste auf.";
        return;
    }
    if (id >= ID_TITLE_MENU_FIRST && id <= ID_TITLE_MENU_LAST) {
        out = "Ruft Menüfunktion auf.";
        return;
    }
    CMDIFrameWnd::GetMessageString(id, out);
}

bool CMainFrame::OnToolTipText(NMTTDISPINFOA* info) {
    if (!info) return false;
    static CString tip; // read by the tooltip before the next notification
    UINT id = static_cast<UINT>(info->hdr.idFrom);
    int key = vorlan::KeyIndexOfCommand(id);
    CString source;
    if (key >= 0) {
        source = m_strKeys[key];
    } else {
        source.LoadString(id);
    }
    std::string text = vorlan::ToolTipSource(source.str());
    if (!text.empty() && text[0] == '*') text = TheSession().Execute(text.c_str() + 1).str();
    tip = vorlan::ToolTipShown(text);
    info->lpszText = const_cast<char*>(tip.c_str());
    return true;
}

void CMainFrame::OnInitMenuPopup(HMENU popup, UINT index, bool systemMenu) {
    if (systemMenu) return;
    if (CMenu::FindItem(popup, ID_WINDOW_CLOSE_ALL) >= 0) UpdateWindowMenu(popup);
    if (int group = MemoGroupOfPopup(popup)) OnUpdateMemos(popup, group);
    CMDIFrameWnd::OnInitMenuPopup(popup, index, systemMenu);
    m_menuDrawer.Convert(popup);
}

void CMainFrame::UpdateWindowMenu(HMENU popup) {
    for (int i = ::GetMenuItemCount(popup) - 1; i >= 0; --i) {
        UINT id = ::GetMenuItemID(popup, i);
        if (id >= ID_MDI_FIRST && id <= ID_MDI_LAST) ::DeleteMenu(popup, static_cast<UINT>(i), MF_BYPOSITION);
    }
    int last = ::GetMenuItemCount(popup) - 1;
    if (last >= 0 && (::GetMenuState(popup, static_cast<UINT>(last), MF_BYPOSITION) & MF_SEPARATOR) &&
        ::GetMenuItemID(popup, last) == 0 && ::GetSubMenu(popup, last) == nullptr)
        ::DeleteMenu(popup, static_cast<UINT>(last), MF_BYPOSITION);
    std::vector<HWND> children;
    for (HWND h : MDIChildren()) {
        int id = ::GetDlgCtrlID(h);
        if (id >= ID_MDI_FIRST && id <= ID_MDI_LAST) children.push_back(h);
    }
    if (children.empty()) return;
    std::sort(children.begin(), children.end(),
              [](HWND a, HWND b) { return ::GetDlgCtrlID(a) < ::GetDlgCtrlID(b); });
    int more = CMenu::FindItem(popup, ID_WINDOW_MORE);
    if (more < 0) ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    HWND active = MDIGetActive();
    for (size_t n = 0; n < children.size(); ++n) {
        char title[256] = {};
        ::GetWindowTextA(children[n], title, sizeof title);
        std::string text = vorlan::WindowMenuItemText(static_cast<int>(n), title);
        UINT flags = MF_STRING | (children[n] == active ? MF_CHECKED : 0);
        UINT id = static_cast<UINT>(::GetDlgCtrlID(children[n]));
        if (more >= 0)
            ::InsertMenuA(popup, static_cast<UINT>(more++), MF_BYPOSITION | flags, id, text.c_str());
        else
            ::AppendMenuA(popup, flags, id, text.c_str());
    }
}

LRESULT CMainFrame::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
}

// ---- the application's factory

bool CreateVorlanMainFrame(CVORLANApp& app) {
    app.SetMainFrameLogin([] {
        CMainFrame* frame = CMainFrame::Get();
        return frame && frame->IsLoggedIn();
    });
    auto* frame = new CMainFrame;
    CString title;
    app.GetAppTitle(title);
    app.m_pMainWnd = frame; // the frame's creation already asks for the main window
    if (!frame->LoadFrame(title)) {
        app.m_pMainWnd = nullptr;
        delete frame;
        return false;
    }
    return true;
}
