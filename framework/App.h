#pragma once
// The application object: one per process, running the main thread's message pump.

#include "framework/FwString.h"
#include "framework/Thread.h"

#include <windows.h>
#include <commctrl.h>

#include <string>

class CWnd;
class CModal;
class CCmdUI;
class CDatabase;

// Sent to the main window when the message queue runs empty, so that it can bring its bars
// up to date (wParam non-zero: also disabled items).
constexpr UINT WM_IDLEUPDATECMDUI = 0x0363;

// Receives the command line word by word; the framework strips a leading "-" or "/" from
// switches.
class CCommandLineInfo {
  public:
    virtual ~CCommandLineInfo() = default;
    virtual void ParseParam(const char* param, bool isSwitch, bool isLast) {
        (void)param;
        (void)isSwitch;
        (void)isLast;
    }
};

class CWinApp : public CWinThread {
  public:
    explicit CWinApp(const char* appName = nullptr);
    ~CWinApp() override;

    HINSTANCE m_hInstance = nullptr;
    const char* m_lpCmdLine = "";
    int m_nCmdShow = SW_SHOWNORMAL;
    CWnd* m_pMainWnd = nullptr;
    CString m_pszAppName;
    CString m_pszProfileName;
    CString m_pszRegistryKey;

    // Runs the message pump; with no main window after InitInstance the program ends.
    int Run() override;
    bool PreTranslateMessage(MSG* msg) override;
    bool OnIdle(long count) override;
    // The last link of the command routing chain.
    virtual bool OnCmdMsg(UINT id, int code, CCmdUI* ui) {
        (void)id;
        (void)code;
        (void)ui;
        return false;
    }

    // Every message box of the program passes here (test mode answers it from the script).
    virtual int DoMessageBox(const char* text, UINT type, UINT helpId);
    // Every modal dialog passes here, from a template or the system's own.
    virtual int DoModalDialog(CModal& dlg);
    virtual void DoWaitCursor(int step);
    // The cursor of a wait-cursor nesting level (1 and up).
    virtual HCURSOR WaitCursorFor(int level);
    virtual void WinHelp(DWORD_PTR, UINT) {}
    // The title the program shows and prints (documents, headers); the name by default.
    virtual void GetAppTitle(CString& out) const { out = m_pszAppName; }
    // Whether the program draws with visual styles (labels over toolbars then paint through).
    virtual bool IsThemeActive() const { return false; }
    // The module bitmaps and image lists come from: the program itself unless it says otherwise.
    virtual HINSTANCE ImageModule() const { return m_hInstance ? m_hInstance : ::GetModuleHandleA(nullptr); }
    // The ODBC connection the program keeps for its life; none unless the program has one.
    virtual CDatabase* OdbcDatabase() { return nullptr; }
    // The Word viewer program; empty unless the program knows one.
    virtual void GetWordViewPath(CString& out) { out.Empty(); }
    // The program's image strip of a bitmap as an image list the caller owns; none unless the
    // program has strips.
    virtual HIMAGELIST LoadImageList(UINT bitmapId, bool classic) {
        (void)bitmapId;
        (void)classic;
        return nullptr;
    }
    // Gives a toolbar its images the program's way; a null list leaves that one unset.
    virtual void SetToolbarImages(HWND toolbar, HIMAGELIST normal, HIMAGELIST hot, HIMAGELIST disabled) {
        if (normal) ::SendMessageA(toolbar, TB_SETIMAGELIST, 0, reinterpret_cast<LPARAM>(normal));
        if (hot) ::SendMessageA(toolbar, TB_SETHOTIMAGELIST, 0, reinterpret_cast<LPARAM>(hot));
        if (disabled) ::SendMessageA(toolbar, TB_SETDISABLEDIMAGELIST, 0, reinterpret_cast<LPARAM>(disabled));
    }

    void BeginWaitCursor() { DoWaitCursor(1); }
    void EndWaitCursor() { DoWaitCursor(-1); }

    // Profile under HKEY_CURRENT_USER\Software\<key>\<profile name>\<section>.
    void SetRegistryKey(const char* key);
    CString GetProfileString(const char* section, const char* entry, const char* defaultValue = "");
    int GetProfileInt(const char* section, const char* entry, int defaultValue);
    // A binary value's bytes; false when there is none.
    bool GetProfileBinary(const char* section, const char* entry, std::string& out);
    // Null bytes: the value is removed.
    bool WriteProfileBinary(const char* section, const char* entry, const std::string* bytes);
    bool WriteProfileString(const char* section, const char* entry, const char* value);
    bool WriteProfileInt(const char* section, const char* entry, int value);

    // Passes every word of the process's command line to info (skipping the test-mode switch).
    void ParseCommandLine(CCommandLineInfo& info);
    static void ParseCommandLine(CCommandLineInfo& info, int argc, char** argv);

  private:
    std::string ProfilePath(const char* section) const;
    int m_nWaitCount = 0;
    HCURSOR m_hcurSaved = nullptr;
};

CWinApp* AfxGetApp();
// The program's image list of the strip (the caller owns it), or none: no application, or one
// without strips.
inline HIMAGELIST AfxLoadImageList(UINT bitmapId) {
    CWinApp* app = AfxGetApp();
    return app ? app->LoadImageList(bitmapId, false) : nullptr;
}
// Module from which strings, dialogs, menus and accelerators are loaded.
HINSTANCE AfxGetResourceHandle();
void AfxSetResourceHandle(HINSTANCE module);
namespace fw {
// The path of the process's program file.
std::string ProgramPath();
} // namespace fw
int AfxMessageBox(const char* text, UINT type = MB_OK, UINT helpId = 0);
int AfxMessageBox(UINT stringId, UINT type = MB_OK, UINT helpId = 0);
// The WinMain of programs built on the framework.
int AfxWinMain(HINSTANCE instance, LPSTR cmdLine, int cmdShow);

// Wait cursor for the lifetime of the object.
class CWaitCursor {
  public:
    CWaitCursor() {
        if (AfxGetApp()) AfxGetApp()->BeginWaitCursor();
    }
    ~CWaitCursor() {
        if (AfxGetApp()) AfxGetApp()->EndWaitCursor();
    }
    CWaitCursor(const CWaitCursor&) = delete;
    CWaitCursor& operator=(const CWaitCursor&) = delete;
};
