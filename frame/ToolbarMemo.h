#pragma once
// The memo box: a combo box in the main frame's top bar where the user types or picks the
// memo name of a screen to open. It shows the memo name of the screen last opened, keeps a
// history of up to 20 names and stores it per user on the server between sessions.

#include "framework/Controls.h"

#include <functional>

class CToolbarMemo : public CComboBoxEx {
  public:
    static constexpr int kHistory = 20;

    bool Create(HWND parent, UINT id);
    void SetMenuBarHandle(HWND tree) { m_hMenuTree = tree; }
    // Escape in the box: the main frame gives the focus back to the active form.
    void SetControlFocusHandler(std::function<void()> handler) { m_fnControlFocus = std::move(handler); }
    // Loads the user's history from the server.
    void StartSession();
    // Stores the history on the server and empties the box.
    void EndSession();
    // Sends the main frame WM_STARTMEMO with the text up to its first blank.
    LRESULT StartMemo(const char* text);
    // WM_SETMEMO: shows the text (null: the current text) and puts it first in the history.
    void ShowMemo(const char* text);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;

  private:
    // Notifications of the box, reflected by the bar that holds it.
    LRESULT OnReflectedCommand(WPARAM wParam);
    LRESULT OnReflectedNotify(NMHDR* header);
    HWND MainFrame() const { return ::GetAncestor(m_hWnd, GA_ROOT); }
    bool HoldsFocus(HWND window) const;
    void OnFocusAfterMemo();
    // Posted to itself after Return started a screen.
    static constexpr UINT kFocusAfterMemo = WM_APP + 1;
    HWND m_hMenuTree = nullptr;
    HWND m_hFocusAfterMemo = nullptr;
    std::function<void()> m_fnControlFocus;
};
