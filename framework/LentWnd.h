#pragma once
// The object of a window for a call that wants one: the window's own when it has one, else a
// lent object that lets the window go again on every way out.

#include "framework/Wnd.h"

class CLentWnd {
  public:
    explicit CLentWnd(HWND hwnd) : m_pWnd(hwnd ? CWnd::FromHandlePermanent(hwnd) : nullptr) {
        if (!m_pWnd && hwnd && m_lent.Attach(hwnd)) m_pWnd = &m_lent;
    }
    ~CLentWnd() {
        if (m_pWnd == &m_lent) m_lent.Detach();
    }
    CLentWnd(const CLentWnd&) = delete;
    CLentWnd& operator=(const CLentWnd&) = delete;

    CWnd* Get() const { return m_pWnd; }

  private:
    CWnd m_lent;
    CWnd* m_pWnd;
};
