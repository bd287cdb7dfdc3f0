#include "app/VORLANApp.h"
#include "app/AboutDlg.h"
#include "app/ProtocolLog.h"
#include "app/UpdateCheck.h"
#include "controls/Global.h"
#include "controls/Diagramm.h"
#include "controls/FormatWnd.h"
#include "controls/ListField.h"
#include "forms/BaseMDIMenu.h"
#include "forms/ChildForm.h"
#include "forms/FormMessages.h"
#include "framework/CmdUI.h"
#include "framework/Gdi.h"
#include "framework/LoadedLibrary.h"
#include "framework/PathParts.h"
#include "framework/Registry.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tools/ArchivExp.h"
#include "tools/DataExplorer.h"
#include "tools/IconList.h"

#include <commctrl.h>
#include <shlwapi.h>
#include <winsock2.h>

#include <cstring>

using vorlan::TraceFunction;

namespace {

const char* const kFontFiles[3] = {"LINEDRAW.TTF", "VERDANA.TTF", "TAHOMA.TTF"};

bool SystemFlag(UINT action) {
    BOOL value = FALSE;
    return ::SystemParametersInfoA(action, 0, &value, 0) && value;
}

} // namespace

CString CVORLANApp::ProgramFolder() {
    return CString(fw::FolderOf(fw::ProgramPath()) + "\\");
}

CVORLANApp::CVORLANApp() : CWinApp(kAppName) {
    std::memset(&m_Settings, 0, sizeof m_Settings);
    vorlan::SetProtocolSettings(&m_Settings);
    DetectWindowsKind();
    CGlobal::SetThemeSource(
        []() -> const ThemeInterface* { return theApp.IsThemeActive() ? theApp.m_pThemeApi : nullptr; });
}

int CVORLANApp::PlatformKind() {
    OSVERSIONINFOA vi{};
    vi.dwOSVersionInfoSize = sizeof vi;
    ::GetVersionExA(&vi);
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS)
        return (vi.dwMajorVersion > 4 || vi.dwMinorVersion > 0) ? 1 : 0;
    if (vi.dwPlatformId == VER_PLATFORM_WIN32_NT) return vi.dwMajorVersion < 5 ? 2 : 3;
    return 5;
}

void CVORLANApp::DetectWindowsKind() {
    m_nOSKind = PlatformKind();
    DWORD version = 0;
    CLoadedLibrary comctl("comctl32.dll");
    if (auto getVersion = comctl.Entry<DLLGETVERSIONPROC>("DllGetVersion")) {
        DLLVERSIONINFO dvi{};
        dvi.cbSize = 20;
        if (SUCCEEDED(getVersion(&dvi))) version = MAKELONG(dvi.dwMinorVersion, dvi.dwMajorVersion);
    }
    ProbeThemeLibrary(version);
    if (m_nOSKind == 1 || m_nOSKind == 3 || m_nOSKind == 4)
        m_bMenuAnimation = SystemFlag(SPI_GETMENUANIMATION);
    if (m_nOSKind == 3 || m_nOSKind == 4) {
        m_bKeyboardCues = SystemFlag(SPI_GETKEYBOARDCUES);
        m_bUIEffects = SystemFlag(SPI_GETUIEFFECTS);
        m_bMenuFade = SystemFlag(SPI_GETMENUFADE);
        m_bFlatMenu = SystemFlag(SPI_GETFLATMENU);
    }
}

void CVORLANApp::ProbeThemeLibrary(DWORD comCtlVersion) {
    if (m_hThemeLibrary) ::FreeLibrary(m_hThemeLibrary);
    m_hThemeLibrary = nullptr;
    m_pThemeApi = nullptr;
    m_bThemeActive = false;
    m_dwComCtlVersion = comCtlVersion;
    if (m_nOSKind == 4) m_nOSKind = PlatformKind();
    if (HIWORD(comCtlVersion) < 6) return;
    m_nOSKind = 4;
    m_hThemeLibrary = ::LoadLibraryA(kThemeLibrary);
    if (!m_hThemeLibrary) return;
    auto init = reinterpret_cast<InitInterfaceFn>(
        reinterpret_cast<void*>(::GetProcAddress(m_hThemeLibrary, "InitInterface")));
    m_pThemeApi = init ? init() : nullptr;
    if (!m_pThemeApi || !m_pThemeApi->DrawTheme || !m_pThemeApi->SetTheme || !m_pThemeApi->CanUseTheme) {
        m_pThemeApi = nullptr;
        ::FreeLibrary(m_hThemeLibrary);
        m_hThemeLibrary = nullptr;
        return;
    }
    m_bThemeActive = m_pThemeApi->CanUseTheme() != 0;
}

HINSTANCE CVORLANApp::OwnModule() const {
    return m_hInstance ? m_hInstance : ::GetModuleHandleA(nullptr);
}

void CVORLANApp::ChooseImageModule() {
    if (m_hImageResources && m_hImageResources != OwnModule()) ::FreeLibrary(m_hImageResources);
    m_hImageResources = nullptr;
    if (m_nOSKind == 4) m_hImageResources = ::LoadLibraryA(kThemeLibrary);
    if (!m_hImageResources) m_hImageResources = OwnModule();
}

CVORLANApp::~CVORLANApp() {
    if (m_hMainIcon) {
        CChildForm::UnRegisterTabEdit();
        CWnd::UnregisterWindowClass("VORLAN MDI Window");
        CWnd::UnregisterWindowClass("VORLAN.MainWindow");
        ::DestroyIcon(m_hMainIcon);
    }
    vorlan::SetProtocolSettings(nullptr);
}

void CVORLANApp::Plug(AppParts parts) {
    m_session.SetTransport(std::move(parts.transport));
    m_session.SetConsoleFactory(std::move(parts.makeConsole));
    m_pfnCreateMainFrame = parts.createMainFrame;
}

void CVORLANApp::SetIdentity() {
    m_strSetupKey.Format("Software\\%s\\%s\\Setup", kMakerWord, kProductKey);
    m_strGeneralKey.Format("Software\\%s\\%s\\General", kMakerWord, kProductKey);
    SetRegistryKey(kMakerWord);
    m_pszProfileName = kProductKey;
    m_pszAppName = kAppName;
}

void CVORLANApp::SetAppTitle(const char* title) {
    m_strAppTitle = CString(title ? title : "").Left(127);
    m_bDefaultTitle = m_strAppTitle.IsEmpty();
    if (m_bDefaultTitle && !m_strAppTitle.LoadString(::GetModuleHandleA(nullptr), IDS_APP_TITLE))
        m_strAppTitle = kAppName;
}

void CVORLANApp::SetAutoInstallPath(const char* folder) {
    std::string path = folder ? folder : "";
    m_strAutoInstallPath = fw::WithTrailingBackslash(path.substr(0, MAX_PATH - 1)).c_str();
}

bool CVORLANApp::OnCmdMsg(UINT id, int code, CCmdUI* ui) {
    static const CommandEntry<CVORLANApp> table[] = {
        {ID_APP_ABOUT, ID_APP_ABOUT, &CVORLANApp::OnAppAbout, nullptr},
    };
    return fw::RouteCommand(this, table, id, code, ui);
}

void CVORLANApp::LoadCursors() {
    m_hcurWait = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
    m_hcurAppStarting = ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_APPSTARTING));
    if (!m_hcurAppStarting) m_hcurAppStarting = m_hcurWait;
}

void CVORLANApp::LoadAccelerators() {
    m_hAccelerators = ::LoadAcceleratorsA(AfxGetResourceHandle(), MAKEINTRESOURCEA(IDR_ACCELERATORS));
}

void CVORLANApp::DebugWindow() {
    TraceFunction("CVORLANApp::DebugWindow");
    m_session.RunOnlineDebugger(nullptr, nullptr);
}

bool CVORLANApp::InitInstance() {
    TraceFunction("CVORLANApp::InitInstance");
    LoadCursors();
    SetIdentity();
    if (!LoadLanguageDll()) return false;

    ChooseImageModule();

    std::string value;
    if (fw::RegReadString(HKEY_LOCAL_MACHINE, m_strSetupKey.str(), "AutoInstallPath", value))
        SetAutoInstallPath(value.c_str());
    value.clear();
    fw::RegReadString(HKEY_LOCAL_MACHINE, m_strSetupKey.str(), "AppTitle", value);
    SetAppTitle(value.c_str());

    ReadConnectionSettings();
    CCommandLine cmdInfo(m_Settings);
    ParseCommandLine(cmdInfo);

    if (m_Settings.help) {
        AfxMessageBox(IDS_HELP_TEXT, MB_OK | MB_ICONINFORMATION);
        return true; // no main window: the program ends
    }
    if (HandOverToRunningCopy()) return false;

    RegisterClasses();
    LoadAccelerators();

    HWND splash = nullptr;
    ShowSplash(splash);
    AddFonts();

    WSADATA wsa;
    if (::WSAStartup(MAKEWORD(2, 2), &wsa) != 0) {
        if (splash) ::DestroyWindow(splash);
        AfxMessageBox(IDS_SOCKET_INIT_FAILED, MB_OK | MB_ICONSTOP);
        return false;
    }
    bool connected = m_session.Connect();

    if (splash) {
        ::ShowWindow(splash, SW_HIDE);
        ::DestroyWindow(splash);
    }
    if (!m_pfnCreateMainFrame || !m_pfnCreateMainFrame(*this)) return false;
    if (m_pMainWnd) {
        ::ShowWindow(m_pMainWnd->m_hWnd, m_nCmdShow);
        ::UpdateWindow(m_pMainWnd->m_hWnd);
        ::BringWindowToTop(m_pMainWnd->m_hWnd);
        ::SetForegroundWindow(m_pMainWnd->m_hWnd);
        RefreshWordViewPath();
        UINT command = m_Settings.dev ? ID_DEVELOPER_START : connected ? ID_LOGIN : ID_OPTIONS;
        m_pMainWnd->PostMessage(WM_COMMAND, command, 0);
    }
    return true;
}

int CVORLANApp::ExitInstance() {
    TraceFunction("CVORLANApp::ExitInstance");
    if (m_hMainIcon) {
        RemoveFonts();
        m_session.Disconnect();
    }
    return CWinApp::ExitInstance();
}

bool CVORLANApp::PreTranslateMessage(MSG* msg) {
    HWND main = MainWindow();
    if (main && ::GetActiveWindow() == main && m_hAccelerators && msg->message >= WM_KEYDOWN &&
        msg->message <= 0x109) {
        if (::TranslateAcceleratorA(main, m_hAccelerators, msg)) return true;
    }
    return CWinApp::PreTranslateMessage(msg);
}

int CVORLANApp::DoMessageBox(const char* text, UINT type, UINT helpId) {
    UINT buttons = type & MB_TYPEMASK;
    if ((type & MB_ICONMASK) == 0 &&
        (buttons == MB_OK || buttons == MB_OKCANCEL || buttons == MB_YESNOCANCEL || buttons == MB_YESNO))
        type |= MB_ICONEXCLAMATION;
    m_pszAppName = kAppName;
    return CWinApp::DoMessageBox(text, type, helpId);
}

int CVORLANApp::MessageBoxTitled(const char* text, const char* caption, UINT type) {
    m_pszAppName = caption;
    int answer = CWinApp::DoMessageBox(text, type, 0);
    m_pszAppName = kAppName;
    return answer;
}

HCURSOR CVORLANApp::WaitCursorFor(int level) {
    HCURSOR wanted = level == 1 ? m_hcurAppStarting : m_hcurWait;
    return wanted ? wanted : CWinApp::WaitCursorFor(level);
}

HWND CVORLANApp::MainWindow() const {
    return m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
}

bool CVORLANApp::LoadLanguageDll(char letter) {
    TraceFunction("CVORLANApp::LoadLanguageDll");
    CString profile = GetProfileString("Settings", "StandardLanguage", "");
    char profileLetter = profile.IsEmpty() ? 'D' : profile[0];
    auto fileFor = [](char c) {
        CString name("VORLANx.DLL");
        char* p = name.GetBuffer(name.GetLength());
        p[6] = c;
        name.ReleaseBuffer();
        return name;
    };
    char wanted = letter ? letter : profileLetter;
    if (m_hLanguageDll && m_cLanguage == wanted) return true;
    CString file = fileFor(wanted);
    // From the program's folder only: never a library planted in the working folder.
    HINSTANCE lib = ::LoadLibraryA(ProgramFolder() + file);
    if (!lib) {
        DWORD error = ::GetLastError();
        if (letter) {
            m_strLanguageFile = fileFor(profileLetter);
            return false;
        }
        if (m_hLanguageDll) {
            ::FreeLibrary(m_hLanguageDll);
            m_hLanguageDll = nullptr;
        }
        CString text;
        text.Format("%s is required to start this program. (Error #%d)", file.c_str(),
                    static_cast<int>(error));
        AfxMessageBox(text, MB_OK | MB_ICONSTOP);
        return false;
    }
    if (m_hLanguageDll) ::FreeLibrary(m_hLanguageDll);
    m_hLanguageDll = lib;
    m_cLanguage = wanted;
    m_strLanguageFile = file;
    AfxSetResourceHandle(lib);
    char letterText[2] = {wanted, 0};
    WriteProfileString("Settings", "StandardLanguage", letterText);
    return true;
}

HIMAGELIST CVORLANApp::LoadImageList(UINT bitmapId, bool classic) {
    // A masked list of an alpha strip would key out black: the program's own strips then.
    bool alpha = !classic && m_bThemeActive && m_hImageResources && m_hImageResources != OwnModule();
    CBitmap bmp;
    if (!bmp.LoadDIB(alpha ? m_hImageResources : OwnModule(), bitmapId)) return nullptr;
    BITMAP bm{};
    bmp.GetBitmap(bm);
    int edge = bm.bmHeight;
    int count = edge > 0 ? bm.bmWidth / edge : 0;
    CImageList list;
    if (alpha) {
        if (!list.Create(edge, edge, ILC_COLOR32, count, 0)) return nullptr;
        list.Add(bmp, nullptr);
    } else {
        if (!list.Create(edge, edge, ILC_COLOR24 | ILC_MASK, count, 0)) return nullptr;
        list.AddMasked(bmp, CLR_DEFAULT);
    }
    return list.Detach();
}

void CVORLANApp::SetToolbarImages(HWND toolbar, HIMAGELIST normal, HIMAGELIST hot, HIMAGELIST disabled) {
    if (normal) ::SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal));
    if (hot && m_bThemeActive) ::SendMessageA(toolbar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hot));
    if (disabled) ::SendMessageA(toolbar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabled));
}

HPALETTE CVORLANApp::CreatePaletteFromDIB(HBITMAP bitmap) {
    return fw::CreatePaletteFromDIB(bitmap);
}

void CVORLANApp::GetWordViewPath(CString& out) {
    out = GetGeneralValue("WordViewPath", "");
    if (out == "(Not present)" || ::GetFileAttributesA(out) == INVALID_FILE_ATTRIBUTES) out.Empty();
}

void CVORLANApp::RefreshWordViewPath() {
    TraceFunction("CVORLANApp::RefreshWordViewPath");
    if (GetGeneralValue("WordViewPath", "") == "(Not present)") return;
    std::string command;
    const char* key = "SOFTWARE\\Classes\\Applications\\wordview.exe\\shell\\wordview\\command";
    CString path = "(Not present)";
    if (fw::RegReadString(HKEY_LOCAL_MACHINE, key, nullptr, command)) {
        CString c(command.substr(0, MAX_PATH - 1));
        CString lower = c;
        lower.MakeLower();
        int at = lower.Find("wordview.exe");
        if (at >= 0) path = c.Left(at + 12);
    }
    SetGeneralValue("WordViewPath", path);
}

void CVORLANApp::RegisterClasses() {
    TraceFunction("CVORLANApp::RegisterClasses");
    if (!m_hMainIcon)
        m_hMainIcon = static_cast<HICON>(
            ::LoadImageA(OwnModule(), MAKEINTRESOURCEA(IDR_MAINFRAME), IMAGE_ICON, 16, 16, 0));
    CWnd::RegisterWindowClass("VORLAN.MainWindow", 0x2000, m_hMainIcon, nullptr, nullptr);
    CChildForm::Looks looks;
    looks.menuShadow = IsMenuShadow();
    looks.visualStyles = IsThemeActive();
    CChildForm::SetLooks(looks);
    auto execute = [](const std::string& line) { return theApp.Execute(line.c_str()).str(); };
    CListField::SetExecutor(execute);
    CDiagramm::SetExecutor(execute);
    CFormatEdit::SetExecutor(execute);
    CChildForm::RegisterTabEdit();
    CWnd::RegisterWindowClass("VORLAN MDI Window", CS_DBLCLKS, m_hMainIcon, nullptr,
                              reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), vorlan::kFrameExtraBytes);
}

bool CVORLANApp::HandOverToRunningCopy() {
    TraceFunction("CVORLANApp::HandOverToRunningCopy");
    HWND running = ::FindWindowA("VORLAN.MainWindow", nullptr);
    if (!running || m_Settings.remote != 0) return false;
    // A pointer means nothing in another process: the block travels as a copy.
    COPYDATASTRUCT cds{};
    cds.dwData = WM_INITAPP;
    cds.cbData = sizeof m_Settings;
    cds.lpData = &m_Settings;
    DWORD_PTR result = 0;
    ::SendMessageTimeoutA(running, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, 10000,
                          &result);
    return true;
}

void CVORLANApp::AddFonts() {
    CString folder = ProgramFolder();
    for (int i = 0; i < 3; ++i) {
        m_strFontFiles[i] = folder + kFontFiles[i];
        if (::GetFileAttributesA(m_strFontFiles[i]) == INVALID_FILE_ATTRIBUTES) continue; // harmless
        ::AddFontResourceA(m_strFontFiles[i]);
    }
}

void CVORLANApp::RemoveFonts() {
    for (auto& f : m_strFontFiles)
        if (!f.IsEmpty()) ::RemoveFontResourceA(f);
}

CString CVORLANApp::GetGeneralValue(const char* name, const char* defaultValue) {
    std::string value;
    if (fw::RegReadString(HKEY_LOCAL_MACHINE, m_strGeneralKey.str(), name, value)) return CString(value);
    return CString(defaultValue);
}

bool CVORLANApp::SetGeneralValue(const char* name, const char* value) {
    HKEY key;
    if (fw::RegOpen(HKEY_LOCAL_MACHINE, m_strGeneralKey.str(), true, KEY_WRITE, &key) != ERROR_SUCCESS)
        return false;
    ::RegCloseKey(key);
    if (value && *value) return fw::RegWriteString(HKEY_LOCAL_MACHINE, m_strGeneralKey.str(), name, value);
    fw::RegDeleteValue(HKEY_LOCAL_MACHINE, m_strGeneralKey.str(), name);
    return true;
}

void CVORLANApp::ReadConnectionSettings() {
    TraceFunction("CVORLANApp::ReadConnectionSettings");
    if (m_strGeneralKey.IsEmpty())
        m_strGeneralKey.Format("Software\\%s\\%s\\General", kMakerWord, kProductKey);
    vorlan::ReadConnectionSettings(
        m_Settings, [this](const char* name, const char* def) { return GetGeneralValue(name, def).str(); });
}

FontSetting CVORLANApp::GetFontSetting(int n) {
    return ReadFontSetting(n);
}

void CVORLANApp::SetFontSetting(int n, const FontSetting& font) {
    WriteFontSetting(n, font);
}

void CCommandLine::ParseParam(const char* param, bool isSwitch, bool) {
    m_parser.Param(param, isSwitch);
}
