#pragma once
// Base of every MDI child of the program: the maximised geometry, the main window's title
// while the child is active, the system-menu entry for the next window and the forwarding
// of menu mnemonics to the main frame.

#include "framework/Frame.h"

class CVORLANMDIChild : public CMDIChildWnd {
  public:
    static constexpr const char* kClassName = "VORLAN MDI Window";

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    virtual LRESULT OnMenuChar(WPARAM wParam, LPARAM lParam);

  protected:
    // The screen name shown in square brackets after the title for developers; none here.
    virtual CString TitleScreenName() const { return CString(); }
    // Application title, " - ", the child's window text (and " [screen]" for developers).
    void SetMainWindowTitle() const;
    void RebuildSystemMenu();
    void FocusFirstChild() const;
};
