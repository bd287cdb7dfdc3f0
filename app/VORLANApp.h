#pragma once
// The application object: start-up, settings, looks and the language library. It owns the
// server session, which every window reaches through TheSession().

#include "app/FontSetting.h"
#include "app/Session.h"
#include "app/SessionTransport.h"
#include "app/SettingsBlock.h"
#include "framework/App.h"
#include "framework/Database.h"
#include "framework/FwString.h"
#include "framework/Sync.h"
#include "theme/ThemeInterface.h"

#include <commctrl.h>

#include <functional>
#include <memory>

class CCommandLine : public CCommandLineInfo {
  public:
    explicit CCommandLine(vorlan::SettingsBlock& block) : m_parser(block) {}
    void ParseParam(const char* param, bool isSwitch, bool isLast) override;

  private:
    vorlan::SettingsCommandLine m_parser;
};

class CVORLANApp;

// What the program plugs into the application object before the start-up, and what test
// programs replace: the transport to the server, the main frame and the debugger's console.
struct AppParts {
    std::unique_ptr<ISessionTransport> transport;
    bool (*createMainFrame)(CVORLANApp& app) = nullptr;
    CSession::ConsoleFactory makeConsole;
};

class CVORLANApp : public CWinApp {
  public:
    CVORLANApp();
    ~CVORLANApp() override;
    void Plug(AppParts parts);

    bool InitInstance() override;
    bool PreTranslateMessage(MSG* msg) override;
    int ExitInstance() override;
    int DoMessageBox(const char* text, UINT type, UINT helpId) override;
    // A box under a caption of its own (a message from another user); the caption is the
    // program's again afterwards.
    int MessageBoxTitled(const char* text, const char* caption, UINT type);
    HCURSOR WaitCursorFor(int level) override;
    void WinHelp(DWORD_PTR, UINT) override {}
    bool OnCmdMsg(UINT id, int code, CCmdUI* ui) override;

    // Windows and looks
    int OSKind() const { return m_nOSKind; }
    bool IsThemed() const { return m_nOSKind == 4; }
    bool IsWin2000OrLater() const { return m_nOSKind == 3 || m_nOSKind == 4; }
    int IsWin98OrLater() const { return (m_nOSKind == 1 || m_nOSKind == 3 || m_nOSKind == 4) ? 1 : 0; }
    bool IsThemeActive() const { return m_bThemeActive; }
    bool IsFlatMenu() const { return m_nOSKind == 4 && m_bFlatMenu; }
    bool IsMenuShadow() const { return IsWin2000OrLater() && m_bUIEffects && m_bKeyboardCues; }
    void GetAppTitle(CString& out) const { out = m_strAppTitle; }
    bool IsDefaultAppTitle() const { return m_bDefaultTitle; }
    // Whether the main frame has logged a user in; the frame tells how it answers when it is
    // made. A connected session alone is not a log-in.
    void SetMainFrameLogin(bool (*loggedIn)()) { m_pfnMainFrameLoggedIn = loggedIn; }
    bool IsMainFrameLoggedIn() const { return m_pfnMainFrameLoggedIn && m_pfnMainFrameLoggedIn(); }
    // An empty title stands for the built-in one.
    void SetAppTitle(const char* title);
    // With visual styles in use (and classic false) a 32-bit list with alpha from the theme
    // library's strip, else a 24-bit masked one from the program's own strip; null when the
    // strip is missing.
    HIMAGELIST LoadImageList(UINT bitmapId, bool classic) override;
    // The hot list only with visual styles in use; a null list leaves that one unset.
    void SetToolbarImages(HWND toolbar, HIMAGELIST normal, HIMAGELIST hot, HIMAGELIST disabled) override;
    static HPALETTE CreatePaletteFromDIB(HBITMAP bitmap);
    void GetWordViewPath(CString& out) override;
    void RefreshWordViewPath();
    bool LoadLanguageDll(char letter = 0);
    char LanguageLetter() const { return m_cLanguage; }
    HACCEL Accelerators() const { return m_hAccelerators; }
    // Start-up steps of their own: the two cursors, the accelerators of the language library.
    void LoadCursors();
    void LoadAccelerators();
    HCURSOR AppStartingCursor() const { return m_hcurAppStarting; }
    HCURSOR WaitCursor() const { return m_hcurWait; }
    // Loads the theme library and its table when the common controls (major version in the
    // high word) are 6.0 or later, and asks the table once whether visual styles are in use;
    // below that the program draws the classic way.
    void ProbeThemeLibrary(DWORD comCtlVersion);
    HINSTANCE ThemeLibrary() const { return m_hThemeLibrary; }
    // The module of bitmaps and image lists: the theme library, loaded once more, in kind 4,
    // else the program itself.
    void ChooseImageModule();

    // Settings
    vorlan::SettingsBlock& Settings() { return m_Settings; }
    const vorlan::SettingsBlock& Settings() const { return m_Settings; }
    // The registry key, profile and application names, and the machine-wide key names.
    void SetIdentity();
    CString GetGeneralValue(const char* name, const char* defaultValue);
    bool SetGeneralValue(const char* name, const char* value);
    void ReadConnectionSettings();
    FontSetting GetFontSetting(int n);
    void SetFontSetting(int n, const FontSetting& font);
    // Set while the client of the session keeps its amounts in euro ($$EURO^QCC).
    bool IsEuro() const { return m_bEuro; }
    void SetEuro(bool on) { m_bEuro = on; }

    // The session (the operations below are the names other code knows them by).
    CSession& Session() { return m_session; }
    bool Connect() { return m_session.Connect(); }
    int Login(const char* host, int port, const char* password, const char* uci, const char* volume,
              bool setPartitionSize) {
        return m_session.Login(host, port, password, uci, volume, setPartitionSize);
    }
    CString Execute(const char* code, int silent = 0) { return m_session.Execute(code, silent); }
    bool ExecuteOnce(const char* code, char* out, int capacity) {
        return m_session.ExecuteOnce(code, out, capacity);
    }
    void Disconnect() { m_session.Disconnect(); }
    void InitWaitThread() { m_session.InitWaitThread(); }
    void UninitWaitThread() { m_session.UninitWaitThread(); }
    void DebugWindow();

    // The running program's folder, ending in a backslash.
    static CString ProgramFolder();

    // About box and update
    CString GetVersionText();
    static bool GetFileVersion(const char* path, DWORD& high, DWORD& low);
    void SetAutoInstallPath(const char* folder);
    bool IsNewerVersionAvailable(CString& installer, bool& quiet);
    bool CheckForUpdate();
    void OnAppAbout(UINT id = 0);

    HWND MainWindow() const;
    // The window classes of the main window, its frames and the forms' controls, with the
    // forms' looks; InitInstance registers them, and so do tests that build windows in-process.
    void RegisterClasses();

    // The theme library's table, or null; the module bitmaps and image lists come from.
    const ThemeInterface* m_pThemeApi = nullptr;
    HINSTANCE m_hImageResources = nullptr;
    HINSTANCE ImageModule() const override {
        return m_hImageResources ? m_hImageResources : CWinApp::ImageModule();
    }

    // The SQL service's data source connection, opened and closed for each request.
    CDatabase m_database;
    CDatabase* OdbcDatabase() override { return &m_database; }

  private:
    bool ShowSplash(HWND& splash);
    void AddFonts();
    void RemoveFonts();
    bool HandOverToRunningCopy();
    void DetectWindowsKind();
    HINSTANCE OwnModule() const;
    static int PlatformKind();

    vorlan::SettingsBlock m_Settings{};
    CSession m_session{m_Settings};
    bool (*m_pfnCreateMainFrame)(CVORLANApp& app) = nullptr;
    bool (*m_pfnMainFrameLoggedIn)() = nullptr;
    bool m_bEuro = false;
    int m_nOSKind = 5;
    DWORD m_dwComCtlVersion = 0;
    HINSTANCE m_hThemeLibrary = nullptr;
    HINSTANCE m_hLanguageDll = nullptr;
    char m_cLanguage = 0;
    CString m_strLanguageFile = "VORLAND.DLL";
    bool m_bMenuAnimation = false, m_bKeyboardCues = false, m_bUIEffects = false, m_bMenuFade = false,
         m_bFlatMenu = false, m_bThemeActive = false;
    CString m_strAppTitle;
    bool m_bDefaultTitle = false;
    CString m_strAutoInstallPath; // ends in a backslash when set
    HICON m_hMainIcon = nullptr;
    HACCEL m_hAccelerators = nullptr;
    HCURSOR m_hcurAppStarting = nullptr, m_hcurWait = nullptr;
    CString m_strFontFiles[3];
    CString m_strSetupKey, m_strGeneralKey;
};

extern CVORLANApp theApp;

constexpr const char* kMakerWord = "Tarvell";
constexpr const char* kProductKey = "VORLAN";
constexpr const char* kAppName = "VORLAN experience";
