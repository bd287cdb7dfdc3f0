// The main frame's log-in ("new" command) and what follows it: the database space check,
// client and year, the workstation's paths on the server.
#include "frame/MainFrame.h"

#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "framework/App.h"
#include "frame/Login.h"
#include "framework/Dialog.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tools/IconList.h"

#include <cstdio>
#include <cstdlib>
#include <ctime>

using vorlan::TraceFunction;

void CMainFrame::OnFileNew(UINT) {
    TraceFunction("CMainFrame::OnFileNew");
    vorlan::SettingsBlock& s = theApp.Settings();
    CString startEntry = CString(s.startEntry, strnlen(s.startEntry, sizeof s.startEntry));
    CString first = CString(s.a, strnlen(s.a, sizeof s.a));
    CString afterLogin = CString(s.afterLogin, strnlen(s.afterLogin, sizeof s.afterLogin));
    s.startEntry[0] = s.a[0] = s.afterLogin[0] = 0;

    if (HasFormFrames()) {
        if (AfxMessageBox(IDS_RELOGIN_WITH_FORMS, MB_YESNO | MB_ICONQUESTION) != IDYES) return;
    }
    if (m_bLoggedIn && !MDICloseAll()) return;
    if (theApp.CheckForUpdate()) {
        PostMessage(WM_CLOSE);
        return;
    }

    CLogin dialog(this);
    m_pLogin = &dialog;
    int result = dialog.DoModal();
    m_pLogin = nullptr;
    SetIdleText(); // not the text of a connection attempt that failed
    if (result == IDOK) {
        if (!CheckDatabaseSpace()) return;
        m_bLoggedIn = true;
        ChangeLogin(nullptr, nullptr);
        m_bDeveloper = TheSession().Execute(vorlan::kDeveloperCheckLine) == "1";
        CString language = TheSession().Execute(vorlan::VariableLine("%LAN"));
        // The menu comes from the library of the chosen language.
        if (!language.IsEmpty() && theApp.LoadLanguageDll(language[0])) ShowFrameMenu(IDR_MAINMENU);
        m_wndMenuTree.SendMessage(WM_CREATEMENU);
        m_wndMemo.StartSession();
        if (!afterLogin.IsEmpty()) TheSession().Execute(vorlan::AfterLoginLine(afterLogin.str()), 1);
        if (!startEntry.IsEmpty())
            SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>(startEntry.c_str()));
        else
            ::SetFocus(m_wndMenuTree.m_hWnd);
    }
    SetInfos();
    if (first.CompareNoCase("POCKET") == 0 && m_nAddOnMessage) SendMessage(m_nAddOnMessage, 1);
    m_nMessageCountdown = 5;
}

bool CMainFrame::CheckDatabaseSpace() {
    if (TheSession().Execute(vorlan::kSpaceTestLine) != "1") return true;
    CDialog window(IDD_SPACE_CHECK, this);
    bool shown = window.Create(IDD_SPACE_CHECK, this);
    auto show = [&](const CString& text) {
        if (shown) window.SetDlgItemText(IDC_SPACE_TEXT, text);
    };
    CString checking;
    checking.LoadString(IDS_SPACE_CHECKING);
    show(checking);
    CString answer = TheSession().Execute(vorlan::kSpaceLine);
    if (!theApp.Settings().remote && answer != "0") {
        CString volume = TheSession().Execute(vorlan::kVolumeLine);
        vorlan::VolumeGrowth growth =
            vorlan::GrowthOf(TheSession().Execute(vorlan::FreeBlocksLine(volume.str())).str());
        CString expanding;
        expanding.LoadString(IDS_SPACE_EXPANDING);
        show(expanding);
        if (TheSession().Execute(vorlan::ExpandVolumeLine(volume.str(), growth.blocks)) == "0") {
            if (shown) window.DestroyWindow();
            CString path = theApp.Settings().dbName;
            CString drive = path.GetLength() >= 2 && path[1] == ':' ? path.Left(2) : CString("C:");
            CString message;
            message.FormatId(IDS_SPACE_EXPAND_FAILED, growth.megabytes, drive.c_str());
            AfxMessageBox(message, MB_OK | MB_ICONSTOP);
            return false;
        }
    }
    if (shown) window.DestroyWindow();
    if (answer == "1") {
        AfxMessageBox(IDS_SPACE_LOW, MB_OK | MB_ICONEXCLAMATION);
    } else if (answer == "2") {
        AfxMessageBox(IDS_SPACE_NONE, MB_OK | MB_ICONSTOP);
        return false;
    }
    return true;
}

void CMainFrame::ChangeLogin(const char* client, const char* year) {
    TraceFunction("CMainFrame::ChangeLogin");
    CloseActiveChildren();
    if (year) TheSession().Execute(vorlan::ChangeYearLine(year));
    if (client) TheSession().Execute(vorlan::ChangeClientLine(vorlan::ClientNumberOf(client)));
    TheSession().Execute(vorlan::kClientDefaultsLine);
    if (TheSession().Execute(vorlan::VariableLine("%WJ")).IsEmpty()) {
        std::time_t now = std::time(nullptr);
        TheSession().Execute(vorlan::DefaultYearLine(std::localtime(&now)->tm_year + 1900));
    }
    theApp.SetEuro(TheSession().Execute(vorlan::kEuroLine) == "1");
    CString user = TheSession().Execute(vorlan::kUserInfoLine);
    CString clientName = TheSession().Execute(vorlan::VariableLine("%HDD"));
    CString yearLine = TheSession().Execute(vorlan::kYearInfoLine);
    CString address = TheSession().Execute(vorlan::kJobAddressLine);
    CString port = TheSession().Execute(vorlan::kJobPortLine);
    CString info;
    info.FormatId(IDS_LOGIN_INFO, user.c_str(), clientName.c_str(), yearLine.c_str(), address.c_str(),
                  port.c_str());
    SetExtraText(info, IDI_LOGGED_IN);
    if (m_pIconList) {
        m_pIconList->SetStandard();
        m_pIconList->m_bReportSizes = m_bLoggedIn;
        m_pIconList->SetSizesToKVX();
    }
}

void CMainFrame::SetInfos() {
    TraceFunction("CMainFrame::SetInfos");
    struct {
        const char* node;
        const char* setting;
    } paths[] = {{"WORD", "WordFormsFilePath"}, {"EXCEL", "ExcelFormsFilePath"}, {"BILDER", "ImagesPath"}};
    if (TheSession().Execute(vorlan::kSystemJobLine) == "1") {
        DWORD high = 0, low = 0;
        CVORLANApp::GetFileVersion(fw::ProgramPath().c_str(), high, low);
        char version[32];
        std::snprintf(version, sizeof version, "%d.%d", static_cast<int>(HIWORD(high)),
                      static_cast<int>(LOWORD(high)));
        TheSession().Execute(vorlan::ProgramVersionLine(version), 1);
        for (const auto& p : paths) {
            CString value = theApp.GetProfileString("Settings", p.setting, "");
            TheSession().Execute(vorlan::JobPathLine(p.node, value.str()));
        }
    }
    if (!TheSession().Execute(vorlan::VariableLine("%WORKSTATION")).IsEmpty()) {
        for (const auto& p : paths) {
            CString value = theApp.GetProfileString("Settings", p.setting, "");
            TheSession().Execute(vorlan::WorkstationPathLine(p.node, value.str()));
        }
    }
    SetDesktopInfos();
}
