#pragma once
// The program's one MDI main window ("VORLAN.MainWindow"): the bars (menu, memo box, menu
// tree, status bar with extra text and progress), the icon desktop as MDI client, the
// log-in state, the 1-second timer, and the hub of the private window messages through
// which menu entries, function-key texts, memo names and form creation pass.

#include "forms/FormLogic.h"
#include "frame/FrameLogic.h"
#include "frame/FrameViewer.h"
#include "frame/MenuTreeBar.h"
#include "frame/ToolBarExMenu.h"
#include "frame/ToolBarExTool.h"
#include "frame/ToolbarMemo.h"
#include "framework/Controls.h"
#include "framework/Frame.h"
#include "framework/Gdi.h"
#include "framework/Menu.h"
#include "framework/SizableReBar.h"

#include <memory>

class CBaseModal;
class CHelpDlg;
class CChildList;
class CChildTerminal;
class CChildWebBrowser;
class CIconList;
class CLogin;
class CVORLANApp;

class CMainFrame : public CMDIFrameWnd {
  public:
    static constexpr const char* kClassName = "VORLAN.MainWindow";
    static constexpr int kModules = 32;

    CMainFrame();
    ~CMainFrame() override;
    // The application's main frame, or null before it exists.
    static CMainFrame* Get();
    bool LoadFrame(const char* title);

    // ---- used by the other windows
    void SetProgressStatus(const char* text, int position, int range);
    CRect GetMDIDefaultRect() const;
    // A null text applies the last text and icon again.
    void SetExtraText(const char* text, UINT icon);
    bool MDICloseAll();
    void SizeContents();
    // The active form frame's form gets the focus back.
    void SetControlFocus();
    bool CheckAdminRights();
    // A command's button on the visible button bar: its rectangle on the screen and the bar.
    bool FindCommandButton(UINT id, RECT& screen, HWND& bar) const;
    void SetStatusText(const char* text);
    void SetIdleText();
    // Developers see the screen name in the title.
    bool IsScreenNameShown() const { return m_bDeveloper; }
    bool IsLoggedIn() const { return m_bLoggedIn; }
    bool HasFormFrames() const;
    void SetServerTimers(const vorlan::ServerTimer& app, const vorlan::ServerTimer& sys);
    void ChangeLogin(const char* client, const char* year);
    void SetInfos();
    // ---- children without server forms (MainFrameChildren.cpp)
    // The terminal child (one at a time); null when none could be made.
    CChildTerminal* Telnet(bool ssh);
    // A web-browser child on the address (null: none yet) titled with the fixed text (null:
    // the page's title); null under a product title of its own or in menu edit mode.
    CChildWebBrowser* WebBrowser(const char* address, bool newWindow, const char* title);
    // The job's print output in a new list child, maximised at the default child position.
    CChildList* ShowListOutput();
    // Tests observe the help and web requests through their own viewer.
    void SetViewer(std::unique_ptr<IFrameViewer> viewer) { m_pViewer = std::move(viewer); }
    CIconList* GetIconList() const { return m_pIconList; }
    CMenuTreeBar& GetMenuTree() { return m_wndMenuTree; }
    // ---- the bars
    // The frame's menu: the menu bar's (the window has none of its own).
    HMENU GetFrameMenu() const { return m_wndMenuBar.GetMenu(); }
    // Menu edit mode swaps the menu through the menu bar (SetMenu) and keeps the menu rebar
    // out meanwhile (SaveStateAndShow, RestoreState).
    CToolBarExMenu& GetMenuBar() { return m_wndMenuBar; }
    CToolBarExTool& GetButtonBar() { return m_wndToolBar; }
    CSizableReBar& GetTopReBar() { return m_wndReBar; }
    CSizableReBar& GetMenuReBar() { return m_wndMenuReBar; }
    // The profile's layout of the frame and its bars (flag 0: the frame's and the menu
    // rebar's places too).
    void LoadDefaults(int flag);
    bool LoadState(const char* name);
    void SaveDefaults();
    void SaveState(const char* name);
    void SetBandInfos();
    // The icon desktop's look and icons on the server (also after its options dialog).
    void SaveInfos();
    // The icon desktop may open its options: logged in and not editing the menu.
    bool IsDesktopOptionsAllowed() const;
    // The icon desktop reports its sizes to the server.
    bool IsSizeReportWanted() const;
    // Where the frame may be placed; tests give screens that have lost a monitor.
    using ScreenLimitsSource = vorlan::ScreenLimits (*)();
    void SetScreenLimitsSource(ScreenLimitsSource source) { m_pfnScreenLimits = source; }
    CToolbarMemo& GetMemoBox() { return m_wndMemo; }
    HFONT GetFrameFont(int n) const;
    const CString& GetKeyText(int index) const;
    // The modal form window that runs now (the innermost one), or null.
    CBaseModal* GetRunningModal() const;
    void SetRunningModal(HWND modal) { m_hRunningModal = modal; }

    // ---- the one help window (F1 in a form frame)
    // Shows the current screen's help: reloads the open window, else opens it.
    void ShowHelpWindow();
    CHelpDlg* GetHelpWindow() const { return m_pHelpDlg; }
    // The help window goes.
    void ForgetHelpWindow(CHelpDlg* dialog) {
        if (m_pHelpDlg == dialog) m_pHelpDlg = nullptr;
    }

    // ---- filled by the log-in dialog
    CString m_strModules[kModules];
    int m_nModules = 0;
    int m_nSelectedModule = 0;
    bool m_bHadLogin = false;
    CString m_strUser, m_strPassword;
    CString m_strHeartbeat, m_strWorkplaceRef, m_strUserRef;
    struct ServerTimerState {
        int countdown = 0;
        int interval = 0;
        CString line;
    };
    ServerTimerState m_appTimer, m_sysTimer;
    int m_nMessageCountdown = 0;

    // ---- window
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    bool PreTranslateMessage(MSG* msg) override;
    void GetMessageString(UINT id, CString& out) const override;
    void SetMessageText(const char* text) override { SetStatusText(text); }
    void RecalcLayout() override;
    int OnCreate(CREATESTRUCTA* cs) override;
    bool OnCreateClient(CREATESTRUCTA* cs) override;
    bool OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) override;
    bool OnToolTipText(NMTTDISPINFOA* info) override;
    void PostNcDestroy() override {
        if (m_bAutoDelete) delete this;
    }

  protected:
    void OnInitMenuPopup(HMENU popup, UINT index, bool systemMenu) override;

  private:
    // The 1-second timer of the server countdowns and the message check.
    static constexpr UINT kFrameTimer = 1;

    // creation (MainFrame.cpp)
    void CreateFonts();
    void CreateToolbars();
    // bars and their state (MainFrameBars.cpp, MainFrameState.cpp)
    void ApplyDefaultBandLayout();
    void ApplyBandRecords(const std::vector<vorlan::BandRecord>& bands);
    void SetDesktopInfos();
    void OnIdleUpdateBars();
    LRESULT OnCustomizeToolbar(HWND toolbar);
    void OnEnterIdle(WPARAM kind, LPARAM window);
    void LayoutStatusBar();
    void SizeStatusProgress();

    // window messages (MainFrame.cpp)
    void OnClose();
    void OnDestroy();
    void OnTimer(UINT id);
    LRESULT OnActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnNcActivate(WPARAM wParam, LPARAM lParam);
    LRESULT OnSysCommand(WPARAM wParam, LPARAM lParam);
    void OnHelpInfo(const HELPINFO* info);
    LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);

    // private messages (MainFrameHub.cpp)
    LRESULT OnMenuSelected(WPARAM number);
    LRESULT OnStartMemo(const char* name, LPARAM flag);
    LRESULT OnCreateMDIDialog(const char* text, LPARAM record);
    LRESULT OnCreateOwnDialog(const char* text, LPARAM record);
    LRESULT OnCloseDialog();
    LRESULT OnSetMemo(const char* text, const char* detail);
    LRESULT OnSetFKey(WPARAM index, const char* text);
    LRESULT OnCallFromWeb(const char* key, const char* parameter);
    LRESULT OnCopyData(const COPYDATASTRUCT* data);
    LRESULT OnChangeLoginMessage(const char* client, const char* year);
    LRESULT OnNotify(NMHDR* header);
    LRESULT OnSetMessageString(WPARAM id, LPARAM text);
    void OnMenuLoop(bool entering);
    void OnSync();

    // children (MainFrameChildren.cpp)
    // The forms' list print opens the list child while the frame lives.
    void ConnectListWindow(bool on);
    // timer, messages and memo groups (MainFrameTimer.cpp)
    void CheckMessage(const CString& reference);
    void OnUpdateMenuEditOn(CCmdUI* ui);
    void UpdateMemoGroups(HMENU popup);
    int MemoGroupOfPopup(HMENU popup) const;
    void OnUpdateMemos(HMENU popup, int group);
    void OnMemoEntry(UINT id);

    // session changes (MainFrameChange.cpp)
    void OnBlockPC(UINT id);
    void OnChangeLoginDialog();
    void OnChangeUCI(UINT id);
    // The modules, the selected one checked, as the items of the popup.
    void FillModuleMenu(HMENU popup) const;
    void ShowModulePopup();
    void OnUpdateChangeUCI(CCmdUI* ui);
    void OnLanguage(UINT id);
    void OnUpdateLanguage(CCmdUI* ui);
    void OnMenuEditOn(UINT id);
    void OnMenuEditOff(UINT id);
    void OnUpdateMenuEditOff(CCmdUI* ui);
    void OnOptions(UINT id);

    // the menu the frame shows (MainFrameBars.cpp)
    void ShowFrameMenu(UINT menuId);

    // log-in (MainFrameSession.cpp)
    void OnFileNew(UINT id);
    bool CheckDatabaseSpace();
    void StopMenuEditMode();

    // commands (MainFrameCommands.cpp)
    void OnEdit(UINT id);
    void OnWindowArrange(UINT id);
    void OnWindowCascade(UINT id);
    void OnWindowTileHorz(UINT id);
    void OnWindowRestore(UINT id);
    void OnWindowCloseAll(UINT id);
    // WM_CLOSE to the active child until none is left or one refuses.
    void CloseActiveChildren();
    void OnNextWindow(UINT id);
    void OnMDICall(UINT id);
    void OnHelp(UINT id);
    void OnHelpUsing(UINT id);
    void OnHelpKey(UINT id);
    void OnInternet(UINT id);
    void OnWebBrowser(UINT id);
    void OnOpenExcel(UINT id);
    void OnOpenWord(UINT id);
    void OnViewMenuBar(UINT id);
    void OnViewStandard(UINT id);
    void OnViewDialog(UINT id);
    void OnSymbolFix(UINT id);
    void OnCustomizeTB(UINT id);
    void OnAutohideMenu(UINT id);
    void OnUpdateViewStandard(CCmdUI* ui);
    void OnUpdateSymbolFix(CCmdUI* ui);
    void OnUpdateAutohideMenu(CCmdUI* ui);
    void OnViewStatusBar(UINT id);
    void OnDefaultView(UINT id);
    void OnDocumentManagement(UINT id);
    void OnSendMail(UINT id);
    void OnMemos(UINT id);
    void OnFocusMemo(UINT id);
    void OnFocusMenu(UINT id);
    void OnAppExit(UINT id);
    void OnUpdateFileNew(CCmdUI* ui);
    void OnUpdateFileClose(CCmdUI* ui);
    void OnUpdateWindowLayout(CCmdUI* ui);
    void OnUpdateWindowRestore(CCmdUI* ui);
    void OnUpdateViewMenuBar(CCmdUI* ui);
    void OnUpdateViewDialog(CCmdUI* ui);
    void OnUpdateViewStatusBar(CCmdUI* ui);
    void OnUpdateLoggedIn(CCmdUI* ui);
    void OnUpdateAdministrator(CCmdUI* ui);
    void OnUpdateDisabled(CCmdUI* ui);
    void UpdateWindowMenu(HMENU popup);

    // dialogs (MainFrameDialogs.cpp)
    void OnWindowMore(UINT id);
    void OnSupportRequest(UINT id);

    CIconList* m_pIconList = nullptr;
    CFont m_fontNormal, m_fontBold, m_fontFixed;
    CToolBarExTool m_wndToolBar;
    CToolBarExMenu m_wndMenuBar;
    CToolbarMemo m_wndMemo;
    CMenuTreeBar m_wndMenuTree;
    CStatusBarCtrl m_wndStatusBar;
    CProgressCtrl m_wndProgress;
    COwnerDrawMenus m_menuDrawer;
    std::unique_ptr<IFrameViewer> m_pViewer;

    bool m_bLoggedIn = false;
    bool m_bDeveloper = false;
    HWND m_hSavedFocus = nullptr;
    // A handle, looked up before use: the window may have gone meanwhile.
    HWND m_hRunningModal = nullptr;
    CLogin* m_pLogin = nullptr;
    CString m_strKeys[vorlan::kKeyCount];
    short m_nLanguage = 1;
    CString m_strLastMemo;
    HWND m_hFocusOnDeactivate = nullptr;
    bool m_bFocusWasGrid = false;
    UINT m_nAddOnMessage = 0;
    CString m_strImagesPath;
    bool m_bInTimer = false;
    HMENU m_hMemoGroups[9] = {};
    // The toolbar whose customisation starts at the next idle of the customise dialog.
    HWND m_hCustomizeToolBar = nullptr;
    // The side bar with the menu tree and the top bar with menu bar, memo box and button bar.
    CSizableReBar m_wndMenuReBar;
    CSizableReBar m_wndReBar;
    ScreenLimitsSource m_pfnScreenLimits = nullptr;

    CString m_strExtraText;
    UINT m_nExtraIcon = 0;
    HICON m_hExtraIcon = nullptr;
    bool m_bProgressShown = false;
    CString m_strSavedPane0;
    bool m_bStatusVisible = true;
    CHelpDlg* m_pHelpDlg = nullptr;
    // Set once the window stands; a frame whose creation failed is deleted by its creator.
    bool m_bAutoDelete = false;
};

// Creates the main frame at the end of the start-up (the application's factory).
bool CreateVorlanMainFrame(CVORLANApp& app);
