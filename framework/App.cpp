#include "framework/App.h"
#include "framework/Modal.h"
#include "framework/Registry.h"
#include "framework/TestMode.h"
#include "framework/TestProbe.h"
#include "framework/Wnd.h"

#include <cstdlib>

namespace {
CWinApp* g_app = nullptr;
HINSTANCE g_resource = nullptr;
} // namespace

CWinApp* AfxGetApp() {
    return g_app;
}

HINSTANCE AfxGetResourceHandle() {
    return g_resource ? g_resource : ::GetModuleHandleA(nullptr);
}

void AfxSetResourceHandle(HINSTANCE module) {
    g_resource = module;
}

std::string fw::ProgramPath() {
    char path[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, path, MAX_PATH);
    return path;
}

int AfxMessageBox(const char* text, UINT type, UINT helpId) {
    if (g_app) return g_app->DoMessageBox(text, type, helpId);
    if (fw::TestMode::IsOn()) return fw::TestMode::AnswerMessageBox(text, "", type);
    return ::MessageBoxA(nullptr, text, "", type);
}

int AfxMessageBox(UINT stringId, UINT type, UINT helpId) {
    CString s;
    s.LoadString(stringId);
    return AfxMessageBox(s, type, helpId);
}

CWinApp::CWinApp(const char* appName) : m_pszAppName(appName ? appName : "") {
    g_app = this;
    m_nThreadID = ::GetCurrentThreadId();
}

CWinApp::~CWinApp() {
    if (g_app == this) g_app = nullptr;
}

int CWinApp::Run() {
    if (!m_pMainWnd) return ExitInstance();
    return CWinThread::Run();
}

bool CWinApp::PreTranslateMessage(MSG* msg) {
    return fw::WalkPreTranslateTree(m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr, msg);
}

bool CWinApp::OnIdle(long count) {
    if (count == 0 && m_pMainWnd && m_pMainWnd->m_hWnd) m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    return CWinThread::OnIdle(count);
}

int CWinApp::DoMessageBox(const char* text, UINT type, UINT) {
    const char* caption = m_pszAppName;
    if (fw::TestMode::IsOn()) return fw::TestMode::AnswerMessageBox(text, caption, type);
    HWND owner = m_pMainWnd ? m_pMainWnd->m_hWnd : nullptr;
    if (owner && !::IsWindowEnabled(owner)) owner = ::GetActiveWindow();
    return ::MessageBoxA(owner, text, caption, type);
}

int CWinApp::DoModalDialog(CModal& dlg) {
    return dlg.Run();
}

void CWinApp::DoWaitCursor(int step) {
    m_nWaitCount += step;
    if (m_nWaitCount <= 0) {
        m_nWaitCount = 0;
        if (m_hcurSaved) ::SetCursor(m_hcurSaved);
        m_hcurSaved = nullptr;
        return;
    }
    HCURSOR previous = ::SetCursor(WaitCursorFor(m_nWaitCount));
    // The cursor from before the first level comes back at the end.
    if (m_nWaitCount == 1 && step > 0) m_hcurSaved = previous;
}

HCURSOR CWinApp::WaitCursorFor(int) {
    return ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_WAIT));
}

void CWinApp::SetRegistryKey(const char* key) {
    m_pszRegistryKey = key;
    if (m_pszProfileName.IsEmpty()) m_pszProfileName = m_pszAppName;
}

std::string CWinApp::ProfilePath(const char* section) const {
    return std::string("Software\\") + m_pszRegistryKey.c_str() + "\\" + m_pszProfileName.c_str() + "\\" +
           section;
}

CString CWinApp::GetProfileString(const char* section, const char* entry, const char* defaultValue) {
    std::string value;
    if (fw::RegReadString(HKEY_CURRENT_USER, ProfilePath(section), entry, value)) return CString(value);
    return CString(defaultValue);
}

int CWinApp::GetProfileInt(const char* section, const char* entry, int defaultValue) {
    DWORD v = 0;
    if (fw::RegReadDword(HKEY_CURRENT_USER, ProfilePath(section), entry, v)) return static_cast<int>(v);
    std::string s;
    if (fw::RegReadString(HKEY_CURRENT_USER, ProfilePath(section), entry, s)) return std::atoi(s.c_str());
    return defaultValue;
}

bool CWinApp::GetProfileBinary(const char* section, const char* entry, std::string& out) {
    return fw::RegReadBinary(HKEY_CURRENT_USER, ProfilePath(section), entry, out);
}

bool CWinApp::WriteProfileBinary(const char* section, const char* entry, const std::string* bytes) {
    if (!bytes) return fw::RegDeleteValue(HKEY_CURRENT_USER, ProfilePath(section), entry);
    return fw::RegWriteBinary(HKEY_CURRENT_USER, ProfilePath(section), entry, *bytes);
}

bool CWinApp::WriteProfileString(const char* section, const char* entry, const char* value) {
    if (!value) return fw::RegDeleteValue(HKEY_CURRENT_USER, ProfilePath(section), entry);
    return fw::RegWriteString(HKEY_CURRENT_USER, ProfilePath(section), entry, value);
}

bool CWinApp::WriteProfileInt(const char* section, const char* entry, int value) {
    return fw::RegWriteDword(HKEY_CURRENT_USER, ProfilePath(section), entry, static_cast<DWORD>(value));
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info) {
    ParseCommandLine(info, __argc, __argv);
}

void CWinApp::ParseCommandLine(CCommandLineInfo& info, int argc, char** argv) {
    for (int i = 1; i < argc; ++i) {
        const char* word = argv[i];
        if (fw::IsTestModeSwitch(word)) {
            ++i; // and its folder
            continue;
        }
        bool isSwitch = word[0] == '-' || word[0] == '/';
        info.ParseParam(isSwitch ? word + 1 : word, isSwitch, i + 1 == argc);
    }
}

int AfxWinMain(HINSTANCE instance, LPSTR cmdLine, int cmdShow) {
    CWinApp* app = AfxGetApp();
    if (!app) return -1;
    // Before anything shows: a test may ask the probe as soon as it sees a window.
    if (fw::TestMode::EnableFromEnvironment(__argc, __argv)) fw::StartTestProbe();
    app->m_hInstance = instance;
    app->m_lpCmdLine = cmdLine;
    app->m_nCmdShow = cmdShow;
    int code;
    if (!app->InitInstance()) {
        if (app->m_pMainWnd && app->m_pMainWnd->IsWindow()) app->m_pMainWnd->DestroyWindow();
        app->ExitInstance();
        code = -1;
    } else {
        code = app->Run();
    }
    return code;
}
