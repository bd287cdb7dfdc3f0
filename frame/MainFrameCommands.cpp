// The main frame's command table and its command and update handlers.
#include "frame/MainFrame.h"

#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "forms/ChildDialog.h"
#include "controls/FocusedControl.h"
#include "frame/BaseMDI.h"
#include "frame/FrameSessionLogic.h"
#include "resources/MainFrameIds.h"
#include "resources/SessionIds.h"
#include "resources/resource.h"
#include "tools/IconList.h"

#include <vector>

bool CMainFrame::OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) {
    static const CommandEntry<CMainFrame> table[] = {
        {ID_LOGIN, ID_LOGIN, &CMainFrame::OnFileNew, &CMainFrame::OnUpdateFileNew},
        {ID_FILE_CLOSE, ID_FILE_CLOSE, nullptr, &CMainFrame::OnUpdateFileClose},
        {ID_APP_EXIT, ID_APP_EXIT, &CMainFrame::OnAppExit, nullptr},
        {ID_EDIT_CLEAR, ID_EDIT_UNDO, &CMainFrame::OnEdit, nullptr},
        {ID_WINDOW_ARRANGE, ID_WINDOW_ARRANGE, &CMainFrame::OnWindowArrange,
         &CMainFrame::OnUpdateWindowLayout},
        {ID_WINDOW_CASCADE, ID_WINDOW_CASCADE, &CMainFrame::OnWindowCascade,
         &CMainFrame::OnUpdateWindowLayout},
        {ID_WINDOW_TILE_HORZ, ID_WINDOW_TILE_HORZ, &CMainFrame::OnWindowTileHorz,
         &CMainFrame::OnUpdateWindowLayout},
        {ID_WINDOW_RESTORE, ID_WINDOW_RESTORE, &CMainFrame::OnWindowRestore,
         &CMainFrame::OnUpdateWindowRestore},
        {ID_WINDOW_CLOSE_ALL, ID_WINDOW_CLOSE_ALL, &CMainFrame::OnWindowCloseAll, nullptr},
        {ID_NEXT_WINDOW, ID_NEXT_WINDOW, &CMainFrame::OnNextWindow, nullptr},
        {ID_MDI_FIRST, ID_MDI_LAST, &CMainFrame::OnMDICall, nullptr},
        {ID_HELP_MANUAL, ID_HELP_MANUAL, &CMainFrame::OnHelp, nullptr},
        {ID_HELP_USING, ID_HELP_USING, &CMainFrame::OnHelpUsing, nullptr},
        {ID_HELP_KEY, ID_HELP_KEY, &CMainFrame::OnHelpKey, nullptr},
        {ID_INTERNET, ID_INTERNET_PRODUCTS, &CMainFrame::OnInternet, nullptr},
        {ID_WEBBROWSER, ID_WEBBROWSER, &CMainFrame::OnWebBrowser, nullptr},
        {ID_OPEN_EXCEL, ID_OPEN_EXCEL, &CMainFrame::OnOpenExcel, &CMainFrame::OnUpdateAdministrator},
        {ID_OPEN_WORD, ID_OPEN_WORD, &CMainFrame::OnOpenWord, &CMainFrame::OnUpdateAdministrator},
        {ID_VIEW_MENUBAR, ID_VIEW_MENUBAR, &CMainFrame::OnViewMenuBar, &CMainFrame::OnUpdateViewMenuBar},
        {ID_VIEW_DIALOG, ID_VIEW_DIALOG, &CMainFrame::OnViewDialog, &CMainFrame::OnUpdateViewDialog},
        {ID_VIEW_STATUS_BAR, ID_VIEW_STATUS_BAR, &CMainFrame::OnViewStatusBar,
         &CMainFrame::OnUpdateViewStatusBar},
        {ID_DEFAULT_VIEW, ID_DEFAULT_VIEW, &CMainFrame::OnDefaultView, nullptr},
        {ID_VIEW_STANDARD, ID_VIEW_STANDARD, &CMainFrame::OnViewStandard, &CMainFrame::OnUpdateViewStandard},
        {ID_SYMBOL_FIX, ID_SYMBOL_FIX, &CMainFrame::OnSymbolFix, &CMainFrame::OnUpdateSymbolFix},
        {ID_CUSTOMIZE_TB, ID_CUSTOMIZE_TB, &CMainFrame::OnCustomizeTB, nullptr},
        {ID_AUTOHIDE_MENU, ID_AUTOHIDE_MENU, &CMainFrame::OnAutohideMenu, &CMainFrame::OnUpdateAutohideMenu},
        {ID_DOCUMENTS, ID_DOCUMENTS, &CMainFrame::OnDocumentManagement, nullptr},
        {ID_SEND_MAIL, ID_SEND_MAIL, &CMainFrame::OnSendMail, &CMainFrame::OnUpdateLoggedIn},
        {ID_MEMO_FIRST, ID_MEMO_LAST, &CMainFrame::OnMemos, nullptr},
        {vorlan::kMemoEntryFirst, vorlan::kMemoEntryLast, &CMainFrame::OnMemoEntry, nullptr},
        {ID_MENU_EDIT_ON, ID_MENU_EDIT_ON, &CMainFrame::OnMenuEditOn, &CMainFrame::OnUpdateMenuEditOn},
        {ID_MENU_EDIT_OFF, ID_MENU_EDIT_OFF, &CMainFrame::OnMenuEditOff, &CMainFrame::OnUpdateMenuEditOff},
        {ID_BLOCK_PC, ID_BLOCK_PC, &CMainFrame::OnBlockPC, &CMainFrame::OnUpdateLoggedIn},
        {ID_OPTIONS, ID_OPTIONS, &CMainFrame::OnOptions, nullptr},
        {ID_LANGUAGE_DEFAULT, ID_LANGUAGE_LAST, &CMainFrame::OnLanguage, &CMainFrame::OnUpdateLanguage},
        {ID_CHANGE_UCI, ID_CHANGE_UCI_LAST, &CMainFrame::OnChangeUCI, &CMainFrame::OnUpdateChangeUCI},
        {ID_FKEY_FIRST, ID_FKEY_LAST, nullptr, &CMainFrame::OnUpdateDisabled},
        {ID_FOCUS_MEMO, ID_FOCUS_MEMO, &CMainFrame::OnFocusMemo, nullptr},
        {ID_FOCUS_MENU, ID_FOCUS_MENU, &CMainFrame::OnFocusMenu, nullptr},
        {ID_WINDOW_MORE, ID_WINDOW_MORE, &CMainFrame::OnWindowMore, nullptr},
        {ID_SUPPORT_REQUEST, ID_SUPPORT_REQUEST, &CMainFrame::OnSupportRequest, nullptr},
    };
    return fw::RouteCommand(this, table, id, code, ui);
}

void CMainFrame::OnAppExit(UINT) {
    PostMessage(WM_CLOSE);
}

void CMainFrame::OnEdit(UINT id) {
    HWND focus = ::GetFocus();
    if (!focus) return;
    // The record explorer's tree and list do their edit commands in their parent.
    bool forwarded = id == ID_EDIT_CUT || id == ID_EDIT_COPY || id == ID_EDIT_PASTE || id == ID_EDIT_CLEAR;
    if (FocusedControlKind == kFocusKindExplorer && forwarded) {
        ::SendMessageA(::GetParent(focus), WM_COMMAND, id, 0);
        return;
    }
    SendEditCommand(focus, id);
}

void CMainFrame::OnWindowArrange(UINT) {
    MDIIconArrange();
}

void CMainFrame::OnWindowCascade(UINT) {
    HWND active = MDIGetActive();
    if (!active) return;
    // From the window behind the active one to the front, the active one last.
    std::vector<HWND> order;
    for (HWND h = ::GetWindow(active, GW_HWNDLAST); h; h = ::GetWindow(h, GW_HWNDPREV))
        if (h != active) order.push_back(h);
    order.push_back(active);
    int offset = 0;
    for (HWND h : order) {
        if (::IsIconic(h) || ::GetDlgCtrlID(h) < ID_MDI_FIRST) continue;
        ::SetWindowPos(h, nullptr, offset, offset, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        offset += 20;
    }
}

void CMainFrame::OnWindowTileHorz(UINT) {
    HWND active = MDIGetActive();
    int x = 0;
    for (HWND h = active; h; h = ::GetWindow(h, GW_HWNDNEXT)) {
        if (::IsIconic(h) || ::GetDlgCtrlID(h) < ID_MDI_FIRST) continue;
        ::SetWindowPos(h, nullptr, x, 0, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
        RECT r;
        ::GetWindowRect(h, &r);
        x += r.right - r.left;
    }
}

void CMainFrame::OnWindowRestore(UINT) {
    std::vector<HWND> children = MDIChildren();
    for (auto it = children.rbegin(); it != children.rend(); ++it)
        ::SendMessageA(*it, WM_SETWINPOS, 0, 0);
}

void CMainFrame::OnWindowCloseAll(UINT) {
    std::vector<HWND> children;
    for (HWND h : MDIChildren())
        if (::GetDlgCtrlID(h) >= ID_MDI_FIRST) children.push_back(h);
    for (HWND h : children)
        ::ShowWindow(h, SW_HIDE);
    CloseActiveChildren();
    for (HWND h : MDIChildren())
        ::ShowWindow(h, SW_SHOWNA);
}

void CMainFrame::CloseActiveChildren() {
    for (HWND active = MDIGetActive(); active; active = MDIGetActive()) {
        ::SendMessageA(active, WM_CLOSE, 0, 0);
        if (MDIGetActive() == active) break; // it refused
    }
}

void CMainFrame::OnNextWindow(UINT) {
    MDINext();
}

void CMainFrame::OnMDICall(UINT id) {
    if (HWND child = ::GetDlgItem(m_hWndMDIClient, static_cast<int>(id))) {
        if (::IsIconic(child)) MDIRestore(child);
        MDIActivate(child);
    }
}

void CMainFrame::OnHelp(UINT) {
    m_pViewer->ShowManual(CVORLANApp::ProgramFolder() + "handbuch.pdf", "VORLAN Anleitung");
}

void CMainFrame::OnHelpKey(UINT) {
    OnHelpInfo(nullptr);
}

void CMainFrame::OnHelpUsing(UINT) {
    if (!m_bLoggedIn) return;
    CString topic = CVORLANApp::ProgramFolder() + "vorhelp.chm::/" +
                    TheSession().Execute(vorlan::kHelpNamespaceLine) + ".htm#" +
                    TheSession().Execute(vorlan::line::kCurrentDialog);
    m_pViewer->ShowHtmlHelp(topic);
}

void CMainFrame::OnInternet(UINT id) {
    CString address;
    address.LoadString(IDS_INTERNET_ADDRESS);
    if (id == ID_INTERNET_PRODUCTS) address += "/produkte.htm";
    if (theApp.IsDefaultAppTitle() && !m_wndMenuTree.IsMenuEditMode())
        m_pViewer->OpenWebPage(address, false, "");
}

void CMainFrame::OnWebBrowser(UINT) {
    // Always a window of its own, on the maker's home page.
    CString address;
    address.LoadString(IDS_INTERNET_ADDRESS);
    if (theApp.IsDefaultAppTitle() && !m_wndMenuTree.IsMenuEditMode())
        m_pViewer->OpenWebPage(address, true, "");
}

void CMainFrame::OnDocumentManagement(UINT) {
    SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>("QDOC"));
}

void CMainFrame::OnSendMail(UINT) {
    SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>("QINFO"));
}

void CMainFrame::OnMemos(UINT id) {
    HMENU popup = CMenu::FindPopupOf(GetFrameMenu(), id);
    if (!popup) return;
    int at = CMenu::FindItem(popup, id);
    CString text = CMenu::ItemText(popup, at).Left(127);
    int open = text.Find('['), close = text.Find(']', open + 1);
    if (open < 0 || close < 0) return;
    CString name = text.Mid(open + 1, close - open - 1);
    SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>(name.c_str()));
}

void CMainFrame::OnFocusMemo(UINT) {
    if (HWND edit = m_wndMemo.GetEditCtrl()) ::SetFocus(edit);
}

void CMainFrame::OnFocusMenu(UINT) {
    if (m_wndMenuTree.m_hWnd) ::SetFocus(m_wndMenuTree.m_hWnd);
}

void CMainFrame::OnUpdateFileNew(CCmdUI* ui) {
    ui->Enable(!m_wndMenuTree.IsMenuEditMode());
}

void CMainFrame::OnUpdateFileClose(CCmdUI* ui) {
    ui->Enable(MDIGetActive() != nullptr);
}

void CMainFrame::OnUpdateWindowLayout(CCmdUI* ui) {
    ui->Enable(dynamic_cast<CBaseMDI*>(MDIGetActiveFrame()) != nullptr && !m_wndMenuTree.IsMenuEditMode());
}

void CMainFrame::OnUpdateWindowRestore(CCmdUI* ui) {
    // Stored positions come with the form frames' positions.
    ui->Enable(MDIGetActive() != nullptr && !m_wndMenuTree.IsMenuEditMode());
}

void CMainFrame::OnUpdateLoggedIn(CCmdUI* ui) {
    ui->Enable(m_bLoggedIn);
}

// Offered only where the command acts: it does nothing for anyone else.
void CMainFrame::OnUpdateAdministrator(CCmdUI* ui) {
    ui->Enable(m_bLoggedIn && CheckAdminRights());
}

void CMainFrame::OnUpdateDisabled(CCmdUI* ui) {
    ui->Enable(false);
}

// A workbook the user picks, opened in Excel for administrators. The form is never created:
// it only lends its Excel export.
void CMainFrame::OnOpenExcel(UINT) {
    if (!m_bLoggedIn || !CheckAdminRights()) return;
    CChildDialog form;
    form.SendToExcel(1, 0);
}

// An RTF form the user picks, opened with its program for administrators; the form again only
// lends its service.
void CMainFrame::OnOpenWord(UINT) {
    if (!m_bLoggedIn || !CheckAdminRights()) return;
    CChildDialog form;
    form.OpenWord();
}
