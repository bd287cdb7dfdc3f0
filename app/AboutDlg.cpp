#include "app/AboutDlg.h"
#include "app/AppLogic.h"
#include "app/ProtocolLog.h"
#include "app/UpdateCheck.h"
#include "app/VORLANApp.h"
#include "framework/App.h"
#include "resources/resource.h"

#include <shellapi.h>

#include <vector>

CAboutDlg::CAboutDlg() : CDialog(IDD_ABOUTBOX) {}

bool CAboutDlg::OnInitDialog() {
    vorlan::TraceFunction("CAboutDlg::OnInitDialog");
    HINSTANCE self = theApp.m_hInstance ? theApp.m_hInstance : ::GetModuleHandleA(nullptr);
    if (m_picture.LoadDIB(self, IDB_ABOUT_PICTURE)) {
        HWND pic = GetDlgItem(IDC_ABOUT_PICTURE);
        ::SendMessageA(pic, STM_SETIMAGE, IMAGE_BITMAP,
                       reinterpret_cast<LPARAM>(static_cast<HBITMAP>(m_picture)));
        BITMAP bm{};
        m_picture.GetBitmap(bm);
        ::SetWindowPos(pic, nullptr, 0, 0, bm.bmWidth, bm.bmHeight, SWP_NOMOVE | SWP_NOZORDER);
    }
    struct {
        int id;
        const char* line;
    } server[] = {{IDC_ABOUT_REL, vorlan::kRelLine},
                  {IDC_ABOUT_QREL, vorlan::kQRelLine},
                  {IDC_ABOUT_SERVER, vorlan::kSystemVersionLine},
                  {IDC_ABOUT_UCI, vorlan::kAboutNamespaceLine}};
    const bool loggedIn = theApp.IsMainFrameLoggedIn();
    for (const auto& s : server)
        SetDlgItemText(s.id, loggedIn ? TheSession().Execute(s.line).c_str() : "...");

    CString version;
    version.FormatId(IDS_ABOUT_VERSION, theApp.GetVersionText(), "Version 5.0");
    SetDlgItemText(IDC_ABOUT_VERSION, version);
    LOGFONTA lf{};
    HFONT dialogFont = reinterpret_cast<HFONT>(SendMessage(WM_GETFONT));
    if (dialogFont && ::GetObjectA(dialogFont, sizeof lf, &lf)) {
        lf.lfWeight = FW_BOLD;
        m_boldFont.CreateFontIndirect(lf);
        ::SendMessageA(GetDlgItem(IDC_ABOUT_VERSION), WM_SETFONT, reinterpret_cast<WPARAM>(HFONT(m_boldFont)),
                       TRUE);
    }
    m_smallFont.CreatePointFont(70, "Small Fonts");
    ::SendMessageA(GetDlgItem(IDC_ABOUT_SMALLPRINT), WM_SETFONT, reinterpret_cast<WPARAM>(HFONT(m_smallFont)),
                   TRUE);
    return true;
}

bool CAboutDlg::OnCommand(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) == IDC_ABOUT_INFO) {
        CDialog info(IDD_ABOUT_INFO, this);
        info.DoModal();
        return true;
    }
    return CDialog::OnCommand(wParam, lParam);
}

LRESULT CAboutDlg::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_DESTROY) m_picture.DeleteObject();
    return CDialog::WindowProc(msg, wParam, lParam);
}

void CVORLANApp::OnAppAbout(UINT) {
    vorlan::TraceFunction("CVORLANApp::OnAppAbout");
    CAboutDlg dlg;
    dlg.DoModal();
}

bool CVORLANApp::GetFileVersion(const char* path, DWORD& high, DWORD& low) {
    high = low = 0;
    DWORD ignored = 0;
    DWORD size = ::GetFileVersionInfoSizeA(path, &ignored);
    if (!size) return false;
    std::vector<char> data(size);
    if (!::GetFileVersionInfoA(path, 0, size, data.data())) return false;
    VS_FIXEDFILEINFO* info = nullptr;
    UINT len = 0;
    if (!::VerQueryValueA(data.data(), "\\", reinterpret_cast<void**>(&info), &len) || !info) return false;
    high = info->dwFileVersionMS;
    low = info->dwFileVersionLS;
    return true;
}

CString CVORLANApp::GetVersionText() {
    vorlan::FileVersion v;
    DWORD hi = 0, lo = 0;
    GetFileVersion(fw::ProgramPath().c_str(), hi, lo);
    v.high = hi;
    v.low = lo;
    return CString(vorlan::VersionText(v, IsThemed()));
}

bool CVORLANApp::IsNewerVersionAvailable(CString& installer, bool& quiet) {
    vorlan::TraceFunction("CVORLANApp::IsNewerVersionAvailable");
    if (m_strAutoInstallPath.IsEmpty()) return false;
    std::string folder = m_strAutoInstallPath.str();
    std::string inf = folder + "install.inf";
    if (::GetPrivateProfileIntA("Setup", "Install", 0, inf.c_str()) != 1) return false;
    quiet = ::GetPrivateProfileIntA("Setup", "Quiet", 0, inf.c_str()) != 0;
    char execute[MAX_PATH] = {};
    ::GetPrivateProfileStringA("Setup", "Execute", "", execute, MAX_PATH, inf.c_str());
    installer = CString(folder) + execute;
    vorlan::FileVersion candidate, running;
    DWORD hi, lo;
    GetFileVersion((folder + "VORLAN.EXE").c_str(), hi, lo);
    candidate = {hi, lo};
    GetFileVersion(fw::ProgramPath().c_str(), hi, lo);
    running = {hi, lo};
    return vorlan::IsNewerVersion(candidate, running);
}

bool CVORLANApp::CheckForUpdate() {
    vorlan::TraceFunction("CVORLANApp::CheckForUpdate");
    CString installer;
    bool quiet = false;
    if (!IsNewerVersionAvailable(installer, quiet)) return false;
    if (!quiet && AfxMessageBox("Es wurde eine aktuellere Version von VORLAN gefunden.\n"
                                "Soll diese jetzt installiert werden?",
                                MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) != IDYES)
        return false;
    std::string parameters = vorlan::InstallerParameters(ProgramFolder().str());
    ::ShellExecuteA(MainWindow(), "open", installer, parameters.c_str(), nullptr, SW_SHOWNORMAL);
    return true;
}
