// The main frame's bars: the top rebar with the menu bar, the memo box and the button bar, the
// side rebar with the menu tree, their commands and the customisation hand-off.
#include "frame/MainFrame.h"

#include "app/ProtocolLog.h"
#include "app/VORLANApp.h"
#include "frame/BaseMDI.h"
#include "resources/MainFrameIds.h"
#include "resources/SessionIds.h"
#include "resources/resource.h"
#include "tools/IconList.h"

using vorlan::TraceFunction;

namespace {

constexpr int kMemoBandWidth = 100;
constexpr int kMenuTreeWidth = 200;

// The button bar's rows: image, command, state, style, text.
constexpr BYTE kOn = TBSTATE_ENABLED;
const ToolButtonRow kButtonRows[] = {
    {0, 0, kOn, BTNS_SEP, 0},
    {0, ID_LOGIN, kOn, BTNS_SHOWTEXT, IDS_BAR_LOGIN},
    {1, ID_BLOCK_PC, kOn, BTNS_BUTTON, IDS_BAR_LOCK},
    {2, ID_EDIT_CUT, kOn, BTNS_BUTTON, IDS_BAR_CUT},
    {3, ID_EDIT_COPY, kOn, BTNS_BUTTON, IDS_BAR_COPY},
    {4, ID_EDIT_PASTE, kOn, BTNS_BUTTON, IDS_BAR_PASTE},
    {5, ID_VIEW_MENUBAR, kOn, BTNS_CHECK | BTNS_SHOWTEXT, IDS_BAR_MENU},
    {6, ID_FORM_CLOSE, kOn, BTNS_BUTTON, IDS_CLOSE_BUTTON},
    {7, ID_FORM_F2, kOn, BTNS_BUTTON, IDS_F2_BUTTON},
    {8, ID_FORM_OK, kOn, BTNS_SHOWTEXT, IDS_OK_BUTTON},
    {10, ID_HELP_MANUAL, kOn, BTNS_BUTTON, IDS_BAR_HELP},
    {11, ID_GRID_PRINT, kOn, BTNS_BUTTON, IDS_BAR_PRINT},
    {12, ID_SEND_MAIL, kOn, BTNS_SHOWTEXT, IDS_BAR_MAIL},
    {13, ID_WEBBROWSER, kOn, BTNS_BUTTON, IDS_BAR_WEB},
    {15, ID_FORM_MENU, kOn, BTNS_WHOLEDROPDOWN, ID_FORM_MENU},
    // The module's change, with the modules below the button; a row of our own after the
    // others, so that stored records keep their rows.
    {14, ID_CHANGE_UCI, kOn, BTNS_WHOLEDROPDOWN, IDS_BAR_MODULE},
};
const UINT kButtonImages[6] = {IDB_BAR_LARGE,  IDB_BAR_LARGE_HOT,  IDB_BAR_LARGE_DISABLED,
                               IDB_MODAL_TOOL, IDB_MODAL_TOOL_HOT, IDB_MODAL_TOOL_DISABLED};

vorlan::ToolBarRecord DefaultButtons() {
    vorlan::ToolBarRecord r;
    r.textMode = 0;
    r.largeIcons = 1;
    r.rows = {1, 15, 2, 6, 0, 7, 8, 9, 11, 14};
    return r;
}

} // namespace

void CMainFrame::CreateToolbars() {
    TraceFunction("CMainFrame::CreateToolbars");
    m_wndStatusBar.Create(WS_VISIBLE | SBARS_SIZEGRIP, CRect(0, 0, 0, 0), m_hWnd, ID_STATUS_BAR);
    m_wndStatusBar.SetFont(m_fontNormal);
    m_wndProgress.Create(PBS_SMOOTH, CRect(0, 0, 0, 0), m_wndStatusBar.m_hWnd, 1);
    CString text;
    text.LoadString(IDS_NOT_LOGGED_IN);
    SetExtraText(text, IDI_LOGGED_OUT);
    SetIdleText();

    CSizableReBar::SetFlatMenuQuery([] { return theApp.IsFlatMenu(); });
    m_wndMenuReBar.Create(m_hWnd, ID_SIDE_REBAR, CSizableReBar::kSideBar, false);
    m_wndReBar.Create(m_hWnd, ID_TOP_REBAR, CSizableReBar::kToolBar, false);
    HWND top = m_wndReBar.GetReBar();

    m_wndMenuBar.Create(m_hWnd, top, ID_MENU_TOOLBAR);
    m_wndMenuBar.SetMenu(IDR_MAINMENU);
    m_wndMenuBar.SetFont(m_fontNormal);

    m_wndMemo.Create(top, IDC_MEMO_BOX);
    m_wndMemo.SetFont(m_fontNormal);

    m_wndMenuTree.Create(m_wndMenuReBar.GetReBar(), ID_MENUTREE_BAR);
    HWND memoCombo = m_wndMemo.GetComboBoxCtrl();
    m_wndMenuTree.SetMemoBox(memoCombo);
    // Its focus changes reach the side bar, which slides accordingly.
    m_wndMenuTree.SetNotifyOwner(m_wndMenuReBar.m_hWnd);
    m_wndMenuTree.SetControlFocusHandler([this] { SetControlFocus(); });
    m_wndMemo.SetMenuBarHandle(m_wndMenuTree.m_hWnd);
    m_wndMemo.SetControlFocusHandler([this] { SetControlFocus(); });
    if (m_pIconList) m_pIconList->SetMemoBoxHandle(m_wndMemo.GetEditCtrl());

    m_wndToolBar.Create(top, 0, ID_BUTTON_BAR);
    m_wndToolBar.SetOwner(m_hWnd);
    m_wndToolBar.SetFont(m_fontNormal);
    m_wndToolBar.LoadToolBar(kButtonImages, static_cast<int>(std::size(kButtonRows)), kButtonRows,
                             DefaultButtons(), "ITBar");

    m_wndMenuReBar.AddBar(m_wndMenuTree.m_hWnd, ID_MENUTREE_BAR, kMenuTreeWidth, 0, kMenuTreeWidth, nullptr,
                          0, 0);
    ::SetWindowPos(m_wndMenuReBar.m_hWnd, nullptr, 0, 0, kMenuTreeWidth, 200, SWP_NOMOVE | SWP_NOZORDER);
    SetBandInfos();
}

void CMainFrame::ShowFrameMenu(UINT menuId) {
    if (!m_wndMenuBar.SetMenu(menuId)) return;
    // The memo groups lived in the menu just replaced.
    for (HMENU& group : m_hMemoGroups)
        group = nullptr;
    SetBandInfos();
    SizeContents();
}

bool CMainFrame::FindCommandButton(UINT id, RECT& screen, HWND& bar) const {
    HWND buttons = m_wndToolBar.m_hWnd;
    if (!buttons || !::IsWindowVisible(buttons)) return false;
    LRESULT index = ::SendMessageA(buttons, TB_COMMANDTOINDEX, id, 0);
    if (index < 0 || !::SendMessageA(buttons, TB_GETITEMRECT, static_cast<WPARAM>(index),
                                     reinterpret_cast<LPARAM>(&screen)))
        return false;
    ::MapWindowPoints(buttons, nullptr, reinterpret_cast<POINT*>(&screen), 2);
    bar = buttons;
    return true;
}

void CMainFrame::SetBandInfos() {
    auto last = [](CToolBarCtrl& bar) {
        int n = bar.GetButtonCount();
        return n > 0 ? bar.GetItemRect(n - 1) : CRect();
    };
    CRect menuEnd = last(m_wndMenuBar);
    m_wndReBar.SetSizeBandInfo(0, m_wndMenuBar.m_hWnd, menuEnd.right + 2, menuEnd.bottom, RBBS_USECHEVRON, 0,
                               0);
    CRect memo;
    ::GetWindowRect(m_wndMemo.GetComboBoxCtrl(), &memo);
    m_wndReBar.SetSizeBandInfo(1, m_wndMemo.m_hWnd, kMemoBandWidth, memo.Height(), 0, IDS_MEMO_LABEL, 1);
    CRect toolEnd = last(m_wndToolBar);
    m_wndReBar.SetSizeBandInfo(2, m_wndToolBar.m_hWnd, toolEnd.right, toolEnd.bottom, RBBS_USECHEVRON, 0, 1);
}

void CMainFrame::ApplyDefaultBandLayout() {
    m_wndReBar.DeleteBands();
    m_wndReBar.AddSizeBand(0, 0, 0);
    m_wndReBar.AddSizeBand(2, RBBS_BREAK, 0);
    m_wndReBar.AddSizeBand(1, RBBS_BREAK, 0);
}

void CMainFrame::ApplyBandRecords(const std::vector<vorlan::BandRecord>& bands) {
    m_wndReBar.DeleteBands();
    bool menuBar = false;
    for (const vorlan::BandRecord& b : bands) {
        m_wndReBar.AddSizeBand(b.id, b.style & (RBBS_BREAK | RBBS_HIDDEN | RBBS_NOGRIPPER), b.width);
        if (b.id == 0) menuBar = true;
    }
    if (!menuBar) m_wndReBar.AddSizeBand(0, 0, 0);
}

// ---- commands

void CMainFrame::OnViewMenuBar(UINT) {
    m_wndMenuReBar.ShowWindow(m_wndMenuReBar.IsWindowVisible() ? SW_HIDE : SW_SHOW);
    SizeContents();
    SetControlFocus();
}

void CMainFrame::OnViewStandard(UINT) {
    m_wndReBar.IsBandVisible(2, true);
    SizeContents();
}

void CMainFrame::OnViewDialog(UINT) {
    m_wndReBar.IsBandVisible(1, true);
    SizeContents();
}

void CMainFrame::OnViewStatusBar(UINT) {
    m_bStatusVisible = !m_bStatusVisible;
    SizeContents();
}

void CMainFrame::OnDefaultView(UINT) {
    m_wndToolBar.DefaultView();
    m_wndToolBar.SaveToolBar(m_wndToolBar.EntryName().c_str());
    SetBandInfos();
    m_bStatusVisible = true;
    ApplyDefaultBandLayout();
    m_wndMenuReBar.ShowWindow(SW_SHOW);
    CRect r = m_wndMenuReBar.GetWindowRect();
    ::SetWindowPos(m_wndMenuReBar.m_hWnd, nullptr, 0, 0, GetClientRect().Width() / 4, r.Height(),
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    SizeContents();
}

void CMainFrame::OnSymbolFix(UINT) {
    m_wndReBar.IsFixedSize(true);
    SetBandInfos();
    std::vector<vorlan::BandRecord> bands;
    for (int i = 0; i < m_wndReBar.GetBandCount(); ++i) {
        REBARBANDINFOA info{};
        info.cbSize = sizeof info;
        info.fMask = RBBIM_ID | RBBIM_SIZE | RBBIM_STYLE;
        ::SendMessageA(m_wndReBar.GetReBar(), RB_GETBANDINFOA, static_cast<WPARAM>(i),
                       reinterpret_cast<LPARAM>(&info));
        bands.push_back({static_cast<int>(info.wID), static_cast<int>(info.cx), info.fStyle});
    }
    std::string bytes = vorlan::BuildBandRecords(bands);
    theApp.WriteProfileBinary(CToolBarExTool::kSection, "BarSettings", &bytes);
    SizeContents();
}

void CMainFrame::OnCustomizeTB(UINT) {
    m_wndToolBar.SendMessage(TB_CUSTOMIZE);
}

void CMainFrame::OnAutohideMenu(UINT) {
    m_wndMenuReBar.IsAutohide(true);
    SizeContents();
}

void CMainFrame::OnUpdateViewMenuBar(CCmdUI* ui) {
    ui->SetCheck(m_wndMenuReBar.IsWindowVisible() ? 1 : 0);
    ui->Enable(theApp.Settings().background == 0);
}

void CMainFrame::OnUpdateViewStandard(CCmdUI* ui) {
    ui->SetCheck(m_wndReBar.IsBandVisible(2, false) ? 1 : 0);
}

void CMainFrame::OnUpdateViewDialog(CCmdUI* ui) {
    ui->SetCheck(m_wndReBar.IsBandVisible(1, false) ? 1 : 0);
    ui->Enable(theApp.Settings().background == 0);
}

void CMainFrame::OnUpdateViewStatusBar(CCmdUI* ui) {
    ui->SetCheck(m_bStatusVisible ? 1 : 0);
}

void CMainFrame::OnUpdateSymbolFix(CCmdUI* ui) {
    ui->SetCheck(m_wndReBar.IsFixedSize(false) ? 1 : 0);
}

void CMainFrame::OnUpdateAutohideMenu(CCmdUI* ui) {
    ui->SetCheck(m_wndMenuReBar.IsAutohide(false) ? 1 : 0);
}

// ---- idle and customisation

void CMainFrame::OnIdleUpdateBars() {
    m_wndMenuReBar.SendMessage(WM_IDLEUPDATECMDUI);
    if (m_wndToolBar.m_hWnd && m_wndToolBar.IsWindowVisible()) m_wndToolBar.SendMessage(WM_IDLEUPDATECMDUI);
    if (m_wndMenuBar.m_hWnd) m_wndMenuBar.SendMessage(WM_IDLEUPDATECMDUI);
}

LRESULT CMainFrame::OnCustomizeToolbar(HWND toolbar) {
    m_hCustomizeToolBar = toolbar;
    return 0;
}

void CMainFrame::OnEnterIdle(WPARAM kind, LPARAM window) {
    if (kind != MSGF_DIALOGBOX || !m_hCustomizeToolBar) return;
    HWND toolbar = m_hCustomizeToolBar;
    m_hCustomizeToolBar = nullptr;
    if (::IsWindow(toolbar)) ::SendMessageA(toolbar, WM_CUSTOMIZE_TOOLBAR, 0, window);
}
