#pragma once
// A modal message loop for a window of our own (not a dialog template), and the guard that
// gives the owner back its input on every way out of it.

#include "framework/Wnd.h"

#include <functional>

class CModalLoop {
  public:
    explicit CModalLoop(CWnd& wnd) : m_wnd(wnd) {}
    // Pumps messages (through the application's pre-translation, or without an application
    // through the windows' own) until End is called or the window is gone; returns End's code
    // (-1 when the window went first). A WM_QUIT ends the loop and is posted again for the
    // outer loop.
    int Run();
    // Called each time the queue has run empty after a message other than painting or a timer.
    void SetIdleHook(std::function<void()> hook) { m_idleHook = std::move(hook); }
    void End(int code);
    bool IsRunning() const { return m_bRunning; }

  private:
    CWnd& m_wnd;
    bool m_bRunning = false;
    bool m_bEnded = false;
    int m_nResult = -1;
    std::function<void()> m_idleHook;
};

// Disables the owner (when it is enabled) for its lifetime; on destruction, also during
// stack unwinding, enables it again when it disabled it and then runs the restore step.
class CModalOwnerGuard {
  public:
    CModalOwnerGuard(HWND owner, std::function<void()> restore = {});
    ~CModalOwnerGuard();
    CModalOwnerGuard(const CModalOwnerGuard&) = delete;
    CModalOwnerGuard& operator=(const CModalOwnerGuard&) = delete;

  private:
    HWND m_hOwner;
    bool m_bDisabled = false;
    std::function<void()> m_restore;
};
