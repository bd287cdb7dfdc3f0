#include "frame/Login.h"

#include "app/AppLogic.h"
#include "app/ReplyFields.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "frame/FrameLogic.h"
#include "frame/MainFrame.h"
#include "frame/SessionDialogs.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

#include <cstdlib>
#include <string>

using vorlan::TraceFunction;

namespace {

// A misbehaving server must not keep a list loop going for ever.
constexpr int kMaxListEntries = 2000;
constexpr int kMaxModuleRecords = 64;
constexpr int kUserNameSize = 33;

} // namespace

CString CLogin::s_strNamespace;
CString CLogin::s_strVolume;

CLogin::CLogin(CMainFrame* frame) : CDialog(IDD_LOGIN, frame), m_pFrame(frame) {
    TraceFunction("CLogin::CLogin");
    CString configuration = theApp.Settings().uciAndVolume;
    vorlan::NamespaceAndVolume nv = vorlan::SplitConfiguration(configuration.str());
    m_strNamespace = nv.ns;
    m_strVolume = nv.volume;
    s_strNamespace = m_strNamespace;
    s_strVolume = m_strVolume;
}

CString CLogin::ComputerName() {
    char name[MAX_COMPUTERNAME_LENGTH + 1] = {};
    DWORD size = sizeof name;
    if (!::GetComputerNameA(name, &size)) return CString();
    return CString(name).Left(16);
}

void CLogin::Status(const CString& text) {
    if (m_pFrame) m_pFrame->SetStatusText(text);
}

void CLogin::EnableOK(bool on) {
    ::EnableWindow(GetDlgItem(IDOK), on);
}

bool CLogin::TestVersion() {
    TraceFunction("CLogin::TestVersion");
    return vorlan::ReleaseIsSupported(TheSession().Execute(vorlan::kQRelLine).str());
}

bool CLogin::LoginDB(const CString& ns, const CString& volume) {
    TraceFunction("CLogin::LoginDB");
    // A failed attach is not tried again on every keystroke, and not reported as success.
    if (m_bAttachTried && ns == m_strLastNamespace && volume == m_strLastVolume) return m_bAttached;
    m_bAttachTried = true;
    m_bAttached = false;
    m_strLastNamespace = ns;
    m_strLastVolume = volume;
    vorlan::SettingsBlock& s = theApp.Settings();
    if (s.remote) {
        CString text;
        text.FormatId(IDS_CONNECTING_REMOTE, s.address, s.apiPort, ns.c_str(), volume.c_str());
        Status(text);
        if (!TheSession().Login(s.address, std::atoi(s.apiPort), s.apiPassword, ns, volume,
                                s.partitionSize != 0))
            return false;
    } else {
        CString text;
        text.FormatId(IDS_CONNECTING_LOCAL, s.dbName, ns.c_str(), volume.c_str());
        Status(text);
        TheSession().Execute(vorlan::DatabaseNameLine(s.dbName));
        if (!TheSession().MountedDatabase().IsEmpty())
            TheSession().Execute(vorlan::UnmountLine(TheSession().MountedDatabase().str()));
        TheSession().SetMountedDatabase(volume);
        TheSession().Execute(vorlan::UnmountLine(volume.str()));
        bool failed = TheSession().Execute(vorlan::kMountLine) == "-1";
        if (!failed)
            failed = TheSession().Execute(vorlan::ChangeNamespaceLine(ns.str(), volume.str())) == "-1";
        if (failed) {
            CString message;
            message.FormatId(IDS_LOCAL_ATTACH_FAILED, s.dbName);
            AfxMessageBox(message, MB_OK | MB_ICONSTOP);
            return false;
        }
    }
    if (!TestVersion()) {
        CString message;
        message.FormatId(IDS_RELEASE_TOO_OLD, 4, 8);
        AfxMessageBox(message, MB_OK | MB_ICONSTOP);
        return false;
    }
    if (m_pFrame) m_pFrame->SetIdleText();
    m_bAttached = true;
    return true;
}

bool CLogin::OnInitDialog() {
    TraceFunction("CLogin::OnInitDialog");
    CString title;
    theApp.GetAppTitle(title);
    SetWindowText(title + " - " + GetWindowText());
    m_cbModule.SubclassDlgItem(IDC_LOGIN_MODULE, m_hWnd);
    m_cbClient.SubclassDlgItem(IDC_LOGIN_CLIENT, m_hWnd);
    m_cbYear.SubclassDlgItem(IDC_LOGIN_YEAR, m_hWnd);
    m_cbWorkplace.SubclassDlgItem(IDC_LOGIN_WORKPLACE, m_hWnd);
    if (m_pFrame) {
        m_pFrame->m_strHeartbeat.Empty();
        m_pFrame->m_strWorkplaceRef.Empty();
        m_pFrame->m_strUserRef.Empty();
    }
    vorlan::NamespaceAndVolume nv = vorlan::SplitConfiguration(theApp.Settings().uciAndVolume);
    m_strNamespace = nv.ns;
    m_strVolume = nv.volume;
    if (!LoginDB(m_strNamespace, m_strVolume)) {
        EndDialog(IDCANCEL);
        return true;
    }
    m_bModulesExist = TheSession().Execute(vorlan::kModulesExistLine) != "0";

    vorlan::SettingsBlock& s = theApp.Settings();
    if (theApp.GetProfileInt("Settings", "WindowsUser", 0) != 0 && s.user[0] == 0) {
        char name[kUserNameSize] = {};
        DWORD size = sizeof name;
        if (::GetUserNameA(name, &size)) vorlan::SetField(s.user, name);
        s.password[0] = 0;
    }
    bool userGiven = s.user[0] != 0, passwordGiven = s.password[0] != 0;
    CString user = s.user, password = s.password;
    SetDlgItemText(IDC_LOGIN_USER, user);
    SetDlgItemText(IDC_LOGIN_PASSWORD, password);
    if (!m_bModulesExist) {
        CString name = TheSession().Execute(vorlan::kSystemNameLine);
        if (!name.IsEmpty()) {
            m_cbModule.AddString(name);
            m_cbModule.SetCurSel(0);
        }
    }
    UpdateFields();
    ::SetFocus(GetDlgItem(userGiven && !passwordGiven ? IDC_LOGIN_PASSWORD : IDC_LOGIN_USER));
    if (userGiven || passwordGiven) {
        s.user[0] = 0;
        s.password[0] = 0;
        // A complete log-in from the command line needs no click.
        if (::IsWindowEnabled(GetDlgItem(IDOK))) OnOK();
    }
    return false;
}

bool CLogin::OnCommand(WPARAM wParam, LPARAM lParam) {
    UINT id = LOWORD(wParam), code = HIWORD(wParam);
    if (code == EN_CHANGE && (id == IDC_LOGIN_USER || id == IDC_LOGIN_PASSWORD)) {
        OnChangeUser();
        return true;
    }
    if (code == CBN_SELENDOK && id == IDC_LOGIN_MODULE) {
        if (OnSelectEndUCI()) EnableOK(true);
        return true;
    }
    if (code == CBN_SELENDOK && id == IDC_LOGIN_CLIENT) {
        OnSelectEndMandant();
        return true;
    }
    return CDialog::OnCommand(wParam, lParam);
}

void CLogin::ClearLists(bool modulesToo) {
    if (modulesToo) m_cbModule.ResetContent();
    m_cbClient.ResetContent();
    m_cbYear.ResetContent();
    m_cbWorkplace.ResetContent();
}

void CLogin::OnChangeUser() {
    TraceFunction("CLogin::OnChangeUser");
    if (!m_cbModule.m_hWnd) return; // before OnInitDialog's set-up
    if (!LoginDB(m_strNamespace, m_strVolume)) {
        EnableOK(false);
        return;
    }
    CString user = GetDlgItemText(IDC_LOGIN_USER), password = GetDlgItemText(IDC_LOGIN_PASSWORD);
    // Quotes stay: the line quotes them, so such a password works.
    if (m_pFrame) {
        m_pFrame->m_strUser = user;
        m_pFrame->m_strPassword = password;
    }
    bool accepted = false;
    if (!password.IsEmpty()) {
        m_strComputer = ComputerName();
        TheSession().Execute(vorlan::WorkstationLine(m_strComputer.str()).c_str());
        accepted =
            !TheSession().Execute(vorlan::LoginLine(user.str(), password.str(), true).c_str()).IsEmpty();
    }
    if (!accepted) {
        ClearLists(m_bModulesExist);
        EnableOK(false);
        UpdateFields();
        return;
    }
    for (CComboBox* cb : {&m_cbModule, &m_cbClient, &m_cbYear, &m_cbWorkplace})
        cb->SetRedraw(false);
    if (m_bModulesExist) FillModules();
    SelectModule();
    bool changed = OnSelectEndUCI();
    EnableOK(changed);
    UpdateFields();
    for (CComboBox* cb : {&m_cbModule, &m_cbClient, &m_cbYear, &m_cbWorkplace})
        cb->SetRedraw(true);
    ::InvalidateRect(m_cbWorkplace.m_hWnd, nullptr, TRUE);
}

void CLogin::FillModules() {
    m_cbModule.ResetContent();
    m_nModules = 0;
    TheSession().Execute(vorlan::kListStartLine);
    for (int n = 0; n < kMaxModuleRecords; ++n) {
        CString record = TheSession().Execute(vorlan::kNextModuleLine);
        if (record.IsEmpty()) break;
        if (m_nModules >= kModules) continue;
        std::string ns = vorlan::PieceOf(record.str(), 2);
        if (TheSession().Execute(vorlan::ModuleMenuCheckLine(ns).c_str(), 1).IsEmpty()) continue;
        int item = m_cbModule.AddString(vorlan::PieceOf(record.str(), 1).c_str());
        m_modules[m_nModules].ns = CString(ns).Left(31);
        m_modules[m_nModules].text = vorlan::PieceOf(record.str(), 3);
        m_cbModule.SetItemData(item, m_nModules);
        if (m_pFrame) m_pFrame->m_strModules[m_nModules] = vorlan::PieceOf(record.str(), 1);
        ++m_nModules;
    }
    if (m_pFrame) m_pFrame->m_nModules = m_nModules;
}

void CLogin::SelectModule() {
    vorlan::SettingsBlock& s = theApp.Settings();
    int count = m_cbModule.GetCount();
    int sel = -1;
    if (s.module[0]) {
        sel = m_cbModule.FindString(-1, s.module);
        s.module[0] = 0;
    }
    if (sel < 0) {
        sel = std::atoi(TheSession().Execute(vorlan::kModuleIndexLine));
        if (sel < 0 || sel >= count) sel = 0;
    }
    m_cbModule.SetCurSel(sel);
    if (m_pFrame) m_pFrame->m_nSelectedModule = sel;
}

bool CLogin::OnSelectEndUCI() {
    TraceFunction("CLogin::OnSelectEndUCI");
    CWaitCursor wait;
    ClearLists(false);
    bool ok = ChangeUCI();
    UpdateFields();
    return ok;
}

bool CLogin::ChangeUCI() {
    TraceFunction("CLogin::ChangeUCI");
    if (!LoginDB(m_strNamespace, m_strVolume)) {
        EnableOK(false);
        return false;
    }
    vorlan::SettingsBlock& s = theApp.Settings();
    m_strSettingsClient = s.client;
    m_strSettingsYear = s.year;
    s.client[0] = 0;
    s.year[0] = 0;
    CString user = GetDlgItemText(IDC_LOGIN_USER), password = GetDlgItemText(IDC_LOGIN_PASSWORD);
    if (user.IsEmpty()) {
        ::SetFocus(GetDlgItem(IDC_LOGIN_USER));
        return false;
    }
    if (password.IsEmpty()) {
        ::SetFocus(GetDlgItem(IDC_LOGIN_PASSWORD));
        return false;
    }
    m_strComputer = ComputerName();
    TheSession().Execute(vorlan::WorkstationLine(m_strComputer.str()).c_str());
    if (TheSession().Execute(vorlan::LoginLine(user.str(), password.str(), false).c_str()).IsEmpty())
        return false;
    int sel = m_cbModule.GetCurSel();
    if (sel < 0) sel = 0;
    int module =
        m_bModulesExist && sel < m_cbModule.GetCount() ? static_cast<int>(m_cbModule.GetItemData(sel)) : sel;
    TheSession().Execute(vorlan::SaveModuleIndexLine(sel).c_str());
    if (m_pFrame) m_pFrame->m_nSelectedModule = sel;
    if (m_bModulesExist && module >= 0 && module < m_nModules) {
        vorlan::NamespaceAndVolume nv = vorlan::SplitConfiguration(m_modules[module].ns.str());
        if (!LoginDB(nv.ns, nv.volume)) {
            EnableOK(false);
            return false;
        }
    }
    EnableOK(true);
    TheSession().Execute(vorlan::LoginLine(user.str(), password.str(), false).c_str());
    CString init = TheSession().Execute(vorlan::kInitLine);
    TheSession().Execute(vorlan::WorkstationLine(m_strComputer.str()).c_str());
    m_strInitClient.Empty();
    m_strInitYear.Empty();
    m_bInitAnswer = !init.IsEmpty();
    if (m_bInitAnswer) {
        m_strInitClient = vorlan::PieceOf(init.str(), 1);
        m_strInitYear = vorlan::PieceOf(init.str(), 2);
        CString currentYear = TheSession().Execute(vorlan::kCurrentYearLine);
        if (m_pFrame && !m_pFrame->m_bHadLogin) {
            m_pFrame->m_bHadLogin = true;
        } else if (m_strInitClient != m_strSettingsClient || m_strInitYear != m_strSettingsYear) {
            AfxMessageBox("Mandant: " + m_strInitClient + "\nWirtschaftsjahr: " + m_strInitYear);
        } else if (m_strInitYear != currentYear) {
            AfxMessageBox("Falsches Wirtschaftsjahr!");
        }
    }
    FillWorkplaces();
    if (m_bModulesExist && module >= 0 && module < m_nModules && !m_modules[module].text.IsEmpty())
        TheSession().Execute(m_modules[module].text);
    ::SetWindowTextA(m_cbWorkplace.m_hWnd, m_strComputer);
    FillClients();
    return true;
}

void CLogin::FillWorkplaces() {
    TheSession().Execute(vorlan::kWorkplaceStartLine);
    for (int n = 0; n < kMaxListEntries; ++n) {
        CString workplace = TheSession().Execute(vorlan::kNextWorkplaceLine);
        if (workplace.IsEmpty()) break;
        m_cbWorkplace.AddString(workplace);
    }
}

void CLogin::FillClients() {
    FillClientBox(m_cbClient, nullptr);
    if (m_cbClient.GetCount() == 0) return;
    CString client = m_bInitAnswer ? m_strInitClient : m_strSettingsClient;
    int sel =
        client.IsEmpty() ? -1 : m_cbClient.FindString(-1, vorlan::ClientEntryPrefix(client.str()).c_str());
    m_cbClient.SetCurSel(sel >= 0 ? sel : 0);
    OnSelectEndMandant();
    CString year = m_bInitAnswer ? m_strInitYear : m_strSettingsYear;
    if (!year.IsEmpty()) {
        int y = m_cbYear.FindString(-1, year);
        if (y >= 0) m_cbYear.SetCurSel(y);
    }
}

void CLogin::OnSelectEndMandant() {
    TraceFunction("CLogin::OnSelectEndMandant");
    if (m_cbClient.GetCount() == 0) return;
    FillYearBox(m_cbYear, m_cbClient.GetLBText(m_cbClient.GetCurSel()));
    if (m_cbYear.GetCount() > 0) m_cbYear.SetCurSel(m_cbYear.GetCount() - 1);
}

void CLogin::UpdateFields() {
    for (int id : {IDC_LOGIN_MODULE, IDC_LOGIN_CLIENT, IDC_LOGIN_YEAR, IDC_LOGIN_WORKPLACE}) {
        HWND combo = GetDlgItem(id);
        bool on = ::SendMessageA(combo, CB_GETCOUNT, 0, 0) > 0;
        ::EnableWindow(combo, on);
        if (HWND label = ::GetWindow(combo, GW_HWNDPREV)) ::EnableWindow(label, on);
    }
}

void CLogin::OnOK() {
    TraceFunction("CLogin::OnOK");
    CString workplace = GetDlgItemText(IDC_LOGIN_WORKPLACE);
    workplace.MakeUpper();
    TheSession().Execute(vorlan::WorkplaceLine(workplace.str()).c_str());
    if (m_pFrame) {
        m_pFrame->m_strHeartbeat = vorlan::kHeartbeatLine;
        if (!TheSession().Execute(vorlan::VariableLine("%AP")).IsEmpty())
            m_pFrame->m_strWorkplaceRef = vorlan::WorkplaceMessageReference(m_strNamespace.str());
        if (!TheSession().Execute(vorlan::VariableLine("%USER")).IsEmpty())
            m_pFrame->m_strUserRef = vorlan::UserMessageReference(m_strNamespace.str());
        vorlan::ServerTimer app = vorlan::ParseServerTimer(TheSession().Execute(vorlan::kAppTimerLine).str());
        vorlan::ServerTimer sys =
            vorlan::ParseServerTimer(TheSession().Execute(vorlan::kSystemTimerLine).str());
        m_pFrame->SetServerTimers(app, sys);
    }
    std::string client = vorlan::ClientNumberOf(m_cbClient.GetLBText(m_cbClient.GetCurSel()).str());
    CString year = m_cbYear.GetLBText(m_cbYear.GetCurSel());
    vorlan::SettingsBlock& s = theApp.Settings();
    TheSession().Execute(vorlan::ClientAndYearLine(client, year.str(), s.address, s.apiPort).c_str());
    EndDialog(IDOK);
}

void CLogin::OnCancel() {
    TraceFunction("CLogin::OnCancel");
    TheSession().Execute(vorlan::kCancelLogoutLine);
    if (!TheSession().MountedDatabase().IsEmpty()) {
        TheSession().Execute(vorlan::UnmountLine(TheSession().MountedDatabase().str()));
        TheSession().SetMountedDatabase("");
    }
    EndDialog(IDCANCEL);
}
