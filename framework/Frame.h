#pragma once
// Frame windows: command routing through tables, enabling of menu items and toolbar
// buttons, the MDI main frame and its child frames. The MDI client is a window of our own
// (CMDIClientWnd) that answers the MDI messages itself, so any control can take its place.

#include "framework/CmdUI.h"
#include "framework/Wnd.h"

#include <commctrl.h>

#include <vector>

constexpr UINT WM_SETMESSAGESTRING = 0x0362;
// The idle prompt of the status line.
constexpr UINT kIdleMessageId = 0xE001;

class CFrameWnd : public CWnd {
  public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The routing chain: the frame's own tables, then the application.
    bool OnCmdMsg(UINT id, int code, CCmdUI* ui) override;
    // The frame's own command tables only.
    virtual bool OnOwnCmdMsg(UINT id, int code, CCmdUI* ui);

    // WM_COMMAND from a menu, an accelerator or a button; false for other notifications.
    virtual bool OnCommand(WPARAM wParam, LPARAM lParam);
    virtual int OnCreate(CREATESTRUCTA* cs);
    // Status line prompt of a command: its resource string up to the first line feed.
    virtual void GetMessageString(UINT id, CString& out) const;
    virtual void SetMessageText(const char* text) { (void)text; }
    virtual void RecalcLayout() {}
    // Tooltip of a toolbar button; the default is the text after the prompt's line feed.
    virtual bool OnToolTipText(NMTTDISPINFOA* info);

    // Runs the update handler of the item; items that no table handles are disabled.
    void UpdateCmdUI(CCmdUI& ui);
    void UpdateMenu(HMENU popup);
    // Toolbars whose buttons are brought up to date while the program is idle.
    void AddUpdateBar(HWND toolbar);
    void RemoveUpdateBar(HWND toolbar);
    virtual void OnIdleUpdateCmdUI();

    bool m_bAutoMenuEnable = true;

  protected:
    virtual void OnInitMenuPopup(HMENU popup, UINT index, bool systemMenu);
    std::vector<HWND> m_updateBars;
};

class CMDIChildWnd;

class CMDIFrameWnd : public CFrameWnd {
  public:
    HWND m_hWndMDIClient = nullptr;

    // Creates the MDI client; the default is a plain CMDIClientWnd.
    virtual bool OnCreateClient(CREATESTRUCTA* cs);
    int OnCreate(CREATESTRUCTA* cs) override;
    bool OnCmdMsg(UINT id, int code, CCmdUI* ui) override;
    void OnIdleUpdateCmdUI() override;
    void RecalcLayout() override;

    HWND MDIGetActive(BOOL* maximized = nullptr) const;
    CMDIChildWnd* MDIGetActiveFrame() const;
    void MDIActivate(HWND child) const;
    void MDINext(bool previous = false) const;
    void MDIMaximize(HWND child) const;
    void MDIRestore(HWND child) const;
    void MDICascade() const;
    void MDITile(UINT how) const;
    void MDIIconArrange() const;
    // The MDI children in z-order, topmost first.
    std::vector<HWND> MDIChildren() const;
};

class CMDIChildWnd : public CFrameWnd {
  public:
    // Created by the frame's MDI client; the object is attached to the new window from its
    // first message on. param reaches the window as the MDI creation record's lParam.
    bool Create(const char* className, const char* title, DWORD style, const RECT& rect, CMDIFrameWnd* frame,
                LPARAM param = 0);
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    CMDIFrameWnd* GetMDIFrame() const { return m_pMDIFrame; }
    HWND GetMDIClient() const { return m_hWnd ? ::GetParent(m_hWnd) : nullptr; }
    bool IsActiveChild() const;
    void MDIActivate() const;
    void MDIDestroy() const;
    void MDIMaximize() const;
    void MDIRestore() const;

  protected:
    CMDIFrameWnd* m_pMDIFrame = nullptr;
};
