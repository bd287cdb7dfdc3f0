#pragma once
// A web page in a child of the main frame: the browser control with back, forward, stop and
// print, a status bar with progress, and the link protocol by which a page calls the client
// (a target frame name that begins with "vorlan:").

#include "frame/ChildBase.h"
#include "frame/WebBrowser.h"
#include "framework/Controls.h"

class CChildWebBrowser : public CChildBase, public CWebBrowserEvents {
  public:
    // Creates the child, hidden until its first page goes on; null when the control is missing.
    static CChildWebBrowser* Open(CMDIFrameWnd* frame, const RECT& rect);

    void Navigate(const char* url) { m_wndBrowser.Navigate(url); }
    // The fixed window text, set before the first navigation; empty: the page's title.
    void SetStaticWindowText(const char* text) { m_strStaticText = text ? text : ""; }
    const CString& GetStaticWindowText() const { return m_strStaticText; }
    CWebBrowser& GetBrowser() { return m_wndBrowser; }
    CStatusBarCtrl& GetStatusBar() { return m_wndStatusBar; }
    CProgressCtrl& GetProgress() { return m_wndProgress; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    bool OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) override;
    int OnCreate(CREATESTRUCTA* cs) override;
    void OnBrowserEvent(DISPID id, DISPPARAMS* params) override;

  private:
    void CreateStatusBar();
    void SetStatusPanes(bool withProgress);
    void SizeContents();
    void SetMainTitle(const CString& text);
    void OnMDIActivate(bool active);

    // the control's events
    void OnBeforeNavigate2(DISPPARAMS* params);
    void OnNewWindow2(DISPPARAMS* params);
    void OnNavigateComplete2(DISPPARAMS* params);
    void OnTitleChange(DISPPARAMS* params);
    void OnCommandStateChange(DISPPARAMS* params);
    void OnProgressChange(DISPPARAMS* params);
    void OnWindowSetResizable(DISPPARAMS* params);
    void OnWindowSetPlace(DISPID id, DISPPARAMS* params);
    void OnClientToHostWindow(DISPPARAMS* params);

    // commands
    void OnPrint(UINT id);
    void OnStop(UINT id);
    void OnBack(UINT id);
    void OnForward(UINT id);
    void OnUpdatePrint(CCmdUI* ui);
    void OnUpdateStop(CCmdUI* ui);
    void OnUpdateBack(CCmdUI* ui);
    void OnUpdateForward(CCmdUI* ui);

    CString m_strStaticText;
    CStatusBarCtrl m_wndStatusBar;
    CProgressCtrl m_wndProgress;
    bool m_bNavigationDone = false;
    bool m_bBackEnabled = false;
    bool m_bForwardEnabled = false;
    CWebBrowser m_wndBrowser;
};
