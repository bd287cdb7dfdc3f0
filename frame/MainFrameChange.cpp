// The main frame's changes of the session: lock, client and year, module, language, menu
// edit mode and the options sheet.
#include "frame/MainFrame.h"

#include "app/AppLogic.h"
#include "app/OptionsSheet.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "frame/FrameSessionLogic.h"
#include "frame/SessionDialogs.h"
#include "resources/MainFrameIds.h"
#include "resources/SessionIds.h"
#include "resources/resource.h"
#include "tools/IconList.h"

using vorlan::TraceFunction;

void CMainFrame::OnBlockPC(UINT) {
    TraceFunction("CMainFrame::OnBlockPC");
    CBlockPC dialog(this);
    dialog.DoModal();
}

void CMainFrame::OnChangeLoginDialog() {
    CChangeLogin dialog(this);
    dialog.DoModal();
}

// ---- module

void CMainFrame::OnChangeUCI(UINT id) {
    TraceFunction("CMainFrame::OnChangeUCI");
    if (id == ID_CHANGE_UCI) {
        ShowModulePopup();
        return;
    }
    int n = static_cast<int>(id - ID_CHANGE_UCI_FIRST);
    if (n < 0 || n >= m_nModules) return;
    vorlan::SettingsBlock& s = theApp.Settings();
    vorlan::SetField(s.client, TheSession().Execute(vorlan::kCurrentClientLine).str());
    vorlan::SetField(s.year, TheSession().Execute(vorlan::kCurrentYearOfJobLine).str());
    vorlan::SetField(s.user, m_strUser.str());
    vorlan::SetField(s.password, m_strPassword.str());
    vorlan::SetField(s.module, m_strModules[n].str());
    SendMessage(WM_COMMAND, ID_LOGIN);
}

void CMainFrame::FillModuleMenu(HMENU popup) const {
    for (int i = ::GetMenuItemCount(popup) - 1; i >= 0; --i)
        ::DeleteMenu(popup, static_cast<UINT>(i), MF_BYPOSITION);
    for (int n = 0; n < m_nModules; ++n)
        ::AppendMenuA(popup, MF_STRING, ID_CHANGE_UCI_FIRST + static_cast<UINT>(n), m_strModules[n]);
    UINT selected = ID_CHANGE_UCI_FIRST + static_cast<UINT>(m_nSelectedModule);
    ::CheckMenuRadioItem(popup, ID_CHANGE_UCI_FIRST, ID_CHANGE_UCI_LAST, selected, MF_BYCOMMAND);
    ::SetMenuDefaultItem(popup, selected, FALSE);
}

void CMainFrame::ShowModulePopup() {
    CMenu popup;
    popup.m_hMenu = ::CreatePopupMenu();
    FillModuleMenu(popup.m_hMenu);
    RECT button{};
    HWND bar = nullptr;
    if (!FindCommandButton(ID_CHANGE_UCI, button, bar)) {
        POINT p;
        ::GetCursorPos(&p);
        button = RECT{p.x, p.y, p.x, p.y};
    }
    if (bar) ::SendMessageA(bar, TB_PRESSBUTTON, ID_CHANGE_UCI, TRUE);
    popup.TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, m_hWnd, &button);
    if (bar) ::SendMessageA(bar, TB_PRESSBUTTON, ID_CHANGE_UCI, FALSE);
}

void CMainFrame::OnUpdateChangeUCI(CCmdUI* ui) {
    // The first entry of the menu's module popup stands for the list, which is made anew.
    if (ui->m_hMenu && ui->m_nID == ID_CHANGE_UCI_FIRST && m_nModules > 0) FillModuleMenu(ui->m_hMenu);
    ui->Enable(m_nModules > 0 && m_bLoggedIn);
}

// ---- language

void CMainFrame::OnLanguage(UINT id) {
    TraceFunction("CMainFrame::OnLanguage");
    int number = vorlan::LanguageOfCommand(id);
    if (number == m_nLanguage) return;
    CWaitCursor wait;
    TheSession().Execute(vorlan::SetLanguageLine(number).c_str());
    m_nLanguage = static_cast<short>(number);
    if (!m_bLoggedIn) return;
    CString language = TheSession().Execute(vorlan::kLanguageLine);
    bool loaded = true;
    if (!language.IsEmpty()) {
        loaded = theApp.LoadLanguageDll(language[0]);
        if (loaded) ShowFrameMenu(IDR_MAINMENU);
    }
    m_wndMenuTree.SendMessage(WM_DESTROYMENU);
    m_wndMenuTree.SendMessage(WM_CREATEMENU);
    if (!loaded) AfxMessageBox(IDS_LANGUAGE_MISSING, MB_OK | MB_ICONEXCLAMATION);
    if (HasFormFrames()) {
        for (HWND child : MDIChildren())
            ::SendMessageA(child, WM_UPDATEDIALOG, 1, 0);
        CString title;
        theApp.GetAppTitle(title);
        if (HWND active = MDIGetActive())
            SetWindowText(title + " - " + CString(fw::WindowText(active).c_str()));
    }
}

void CMainFrame::OnUpdateLanguage(CCmdUI* ui) {
    // The first item stands for the whole list, which is rebuilt from the server.
    if (!ui->m_hMenu || ui->m_nID != ID_LANGUAGE_FIRST) return;
    HMENU popup = ui->m_hMenu;
    for (int i = ::GetMenuItemCount(popup) - 1; i >= 0; --i) {
        UINT item = ::GetMenuItemID(popup, i);
        if (item >= ID_LANGUAGE_FIRST && item <= ID_LANGUAGE_LAST)
            ::DeleteMenu(popup, static_cast<UINT>(i), MF_BYPOSITION);
    }
    TheSession().Execute(vorlan::kLanguageKeepLine);
    for (int n = 1; n <= vorlan::kMaxLanguages; ++n) {
        CString name = TheSession().Execute(vorlan::LanguageNameLine(n).c_str());
        name.Trim();
        if (name.IsEmpty()) break;
        ::AppendMenuA(popup, MF_STRING, vorlan::kLanguageFirst + static_cast<UINT>(n), CString("&") + name);
    }
    m_nLanguage = static_cast<short>(
        vorlan::CurrentLanguageNumber(TheSession().Execute(vorlan::kLanguageNumberLine).str()));
    for (int n = 1; n <= vorlan::kMaxLanguages; ++n)
        ::CheckMenuItem(popup, vorlan::kLanguageFirst + static_cast<UINT>(n),
                        MF_BYCOMMAND | (n == m_nLanguage ? MF_CHECKED : MF_UNCHECKED));
}

// ---- menu edit mode

void CMainFrame::OnMenuEditOn(UINT) {
    TraceFunction("CMainFrame::OnMenuEditOn");
    if (m_wndMenuTree.IsMenuEditMode()) return;
    CBenutzerDialog dialog(TheSession().Execute(vorlan::kUserGroupLine), this);
    int result = dialog.DoModal();
    if (result != IDOK && result != IDC_GROUP_NEW) return;
    SaveInfos();
    if (m_pIconList) m_pIconList->SetStandard();
    ShowFrameMenu(IDR_MENU_EDIT);
    m_wndMenuReBar.SaveStateAndShow();
    SizeContents();
    CString text;
    text.LoadString(IDS_MENU_EDIT_INFO);
    SetExtraText(text, IDI_LOGGED_IN);
    theApp.SetEuro(false);
    OnWindowCloseAll(ID_WINDOW_CLOSE_ALL);
    m_wndMenuTree.StartMenuEditMode(dialog.GetGroup());
    m_bLoggedIn = false;
}

void CMainFrame::OnMenuEditOff(UINT) {
    TraceFunction("CMainFrame::OnMenuEditOff");
    if (!m_wndMenuTree.IsMenuEditMode()) return;
    OnWindowCloseAll(ID_WINDOW_CLOSE_ALL);
    StopMenuEditMode();
    theApp.SetEuro(TheSession().Execute(vorlan::kEuroLine) == "1");
    ShowFrameMenu(IDR_MAINMENU);
    m_bLoggedIn = true;
    ChangeLogin(nullptr, nullptr);
    SetInfos();
    m_wndMenuReBar.RestoreState();
    SizeContents();
}

void CMainFrame::OnUpdateMenuEditOff(CCmdUI* ui) {
    ui->Enable(m_wndMenuTree.IsMenuEditMode());
}

// ---- options

void CMainFrame::OnOptions(UINT) {
    TraceFunction("CMainFrame::OnOptions");
    RunOptionsSheet(this);
    m_strImagesPath = theApp.GetProfileString("Settings", "ImagesPath", "");
    if (!m_strImagesPath.IsEmpty() && m_strImagesPath.Right(1) != "\\") m_strImagesPath += "\\";
    theApp.UninitWaitThread();
    theApp.InitWaitThread();
    // Without a session (the options after a failed connect) there is nothing to tell.
    if (m_bLoggedIn) SetInfos();
}
