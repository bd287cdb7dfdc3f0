#pragma once
// A telnet or ssh session to the server in a child of the main frame. The outside terminal
// library (VOREXT.DLL) makes the session's window inside this frame from a thread of its own
// and tells the frame of its creation, title and end through WM_PARENTNOTIFY.

#include "frame/ChildBase.h"

#include <windows.h>

class CChildTerminal : public CChildBase {
  public:
    // The command line: "-ssh <address>" or "-telnet <address> <port>", cut to 127 characters.
    static CString CommandLine(bool ssh, const char* address, const char* port);
    // Creates the child and starts the library's thread on it; null when the child failed.
    static CChildTerminal* Open(CMDIFrameWnd* frame, const RECT& rect, const CString& commandLine);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreCreateWindow(CREATESTRUCTA& cs) override;
    bool OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) override;
    int OnCreate(CREATESTRUCTA* cs) override;
    // The session's window: the frame's first child.
    HWND TerminalWindow() const { return ::GetWindow(m_hWnd, GW_CHILD); }
    // The main window's title and the memo box show this window's text.
    void SetMainTitle();

  private:
    void OnParentNotify(WPARAM wParam, LPARAM lParam);
    void OnPrint(UINT id);
    void OnUpdatePrint(CCmdUI* ui);

    bool m_bInSizeMove = false;
};

// What the terminal thread gets: allocated by the frame, freed by the thread.
struct TerminalRecord {
    HWND child = nullptr;
    char commandLine[128] = {};
};

// Loads VOREXT.DLL and runs its StartTerminal until the session ends; a missing library or
// entry does nothing (the child stays empty).
DWORD WINAPI ThreadTerminal(void* record);
