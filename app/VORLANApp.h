#pragma once
// The application object: start-up, settings, the server session and its wait thread.

#include "app/SessionTransport.h"
#include "app/SettingsBlock.h"
#include "app/ThemeInterface.h"
#include "framework/App.h"
#include "framework/FwString.h"
#include "framework/Sync.h"

#include <commctrl.h>

#include <functional>
#include <memory>

class IDebugConsole;

class CDlgWaitExecute;

struct FontSetting {
    CString name;
    int scaledSize = 0; // points * 10 + 5, 0 when no size
    int points = 0;
};

class CCommandLine : public CCommandLineInfo {
  public:
    explicit CCommandLine(vorlan::SettingsBlock& block) : m_parser(block) {}
    void ParseParam(const char* param, bool isSwitch, bool isLast) override;

  private:
    vorlan::SettingsCommandLine m_parser;
};

class CVORLANApp : public CWinApp {
  public:
    CVORLANApp();
    ~CVORLANApp() override;

    bool InitInstance() override;
    bool PreTranslateMessage(MSG* msg) override;
    int ExitInstance() override;
    int DoMessageBox(const char* text, UINT type, UINT helpId) override;
    HCURSOR WaitCursorFor(int level) override;
    void WinHelp(DWORD_PTR, UINT) override {}

    // Windows and looks
    bool IsThemed() const { return m_nOSKind == 4; }
    bool IsWin2000OrLater() const { return m_nOSKind == 3 || m_nOSKind == 4; }
    int IsWin98OrLater() const { return (m_nOSKind == 1 || m_nOSKind == 3 || m_nOSKind == 4) ? 1 : 0; }
    bool IsThemeActive() const { return m_bThemeActive; }
    bool IsFlatMenu() const { return m_nOSKind == 4 && m_bFlatMenu; }
    bool IsMenuShadow() const { return IsWin2000OrLater() && m_bUIEffects && m_bKeyboardCues; }
    void GetAppTitle(CString& out) const { out = m_strAppTitle; }
    bool IsDefaultAppTitle() const { return m_bDefaultTitle; }
    HIMAGELIST LoadImageList(UINT bitmapId, bool classic);
    void SetToolbarImages(HWND toolbar, HIMAGELIST normal, HIMAGELIST hot, HIMAGELIST disabled);
    static HPALETTE CreatePaletteFromDIB(HBITMAP bitmap);
    void GetWordViewPath(CString& out);
    void RefreshWordViewPath();
    bool LoadLanguageDll(char letter = 0);

    // Settings
    CString GetGeneralValue(const char* name, const char* defaultValue);
    bool SetGeneralValue(const char* name, const char* value);
    void ReadConnectionSettings();
    FontSetting GetFontSetting(int n);
    void SetFontSetting(int n, const FontSetting& font);

    // Session
    bool Connect();
    int Login(const char* host, int port, const char* password, const char* uci, const char* volume,
              bool setPartitionSize);
    // A failing line returns an empty text; its error number and text stay readable until
    // the next line (a silent line shows nothing of it).
    CString Execute(const char* code, int silent = 0);
    int LastExecuteError() const { return m_nLastError; }
    const CString& LastExecuteErrorText() const { return m_strLastError; }
    bool ExecuteOnce(const char* code, char* out, int capacity);
    void Disconnect();
    // Takes over the transport (tests hand in their own).
    void SetTransport(std::unique_ptr<ISessionTransport> transport) { m_pTransport = std::move(transport); }

    // Wait thread
    void InitWaitThread();
    void UninitWaitThread();
    // Other long operations of the main thread (counted; they also start the clock).
    void BeginLongOperation();
    void EndLongOperation();

    // Debugger and error dialog
    void DebugWindow();
    bool m_bConsoleOpen = false;
    // Opens the debugger's console (the process's own console unless a test hands in another).
    std::function<std::unique_ptr<IDebugConsole>(const char* title)> m_makeConsole;

    // The running program's file, and its folder ending in a backslash.
    static CString ProgramPath();
    static CString ProgramFolder();

    // About box and update
    CString GetVersionText();
    static bool GetFileVersion(const char* path, DWORD& high, DWORD& low);
    bool IsNewerVersionAvailable(CString& installer, bool& quiet);
    bool CheckForUpdate();
    void OnAppAbout();

    // The window the wait dialog belongs to and whose activity it watches.
    HWND MainWindow() const;

    vorlan::SettingsBlock m_Settings{};
    // The program's main frame; without it (test programs of the start-up) the start-up
    // ends in a bare main window.
    bool (*m_pfnCreateMainFrame)(CVORLANApp& app) = nullptr;
    // Set while the client of the session keeps its amounts in euro ($$EURO^QCC).
    bool m_bEuro = false;
    int m_nOSKind = 5;
    DWORD m_dwComCtlVersion = 0;
    const ThemeApi* m_pThemeApi = nullptr;
    HINSTANCE m_hThemeLibrary = nullptr;
    HINSTANCE m_hImageResources = nullptr;
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

    // Session state
    int m_hConnection = 0;
    int m_nLastError = 0;
    CString m_strLastError;
    CString m_strJob, m_strUCI, m_strVolume;
    CCriticalSection m_csExecute;
    volatile LONG m_nBusy = 0;

    // Shared with the wait thread
    volatile LONG m_nExecuting = 0;
    volatile LONG m_nLongOperations = 0;
    volatile DWORD m_dwStartTick = 0;
    HANDLE m_hWaitEvent = nullptr;
    CDlgWaitExecute* volatile m_pWaitDlg = nullptr;
    HANDLE m_hWaitThread = nullptr;
    volatile LONG m_bStopWait = 0;
    // How long the main thread waits at most for the wait dialog to go.
    DWORD m_dwWaitDialogLimit = 10000;

  private:
    // Opens the console and runs the debugger in it, unless one is open already.
    void RunOnlineDebugger(const char* error, const char* line);
    static DWORD WINAPI ThreadWaitExecute(void* param);
    void WaitThreadLoop();
    void WaitForWaitDialog();
    int CallTransport(const char* code, char* buffer, int capacity);
    void HandleServerError(int rc, const CString& text, const char* code);
    void WriteTimeLine();
    bool ShowSplash(HWND& splash);
    void AddFonts();
    void RemoveFonts();
    bool HandOverToRunningCopy();
    void RegisterClasses();
    void DetectWindowsKind();

  public:
    // Loads the theme library and its table when the common controls are 6.0 or later.
    void ProbeThemeLibrary();

  private:
    std::unique_ptr<ISessionTransport> m_pTransport;
    std::unique_ptr<char[]> m_pResult;
};

extern CVORLANApp theApp;

constexpr int kResultBufferSize = 0x10000;
constexpr const char* kMakerWord = "Tarvell";
constexpr const char* kProductKey = "VORLAN";
constexpr const char* kAppName = "VORLAN experience";
