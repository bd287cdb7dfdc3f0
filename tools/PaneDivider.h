#pragma once
// The divider between an explorer's tree on the left and its right pane: dragged with the
// mouse (captured, the cursor kept inside the window), the tree's width follows it.

#include <windows.h>

class CPaneDivider {
  public:
    // Pixels between the tree and the right pane.
    static constexpr int kGap = 2;
    // The tree's width once the divider was dragged; -1 before.
    int split = -1;

    // The tree's width in a client of this width: half of it until the divider is dragged,
    // so that a pane laid out again after its creation still starts halved.
    int LeftWidth(int clientWidth) const;

    // Over the gap right of the left pane (a point in the owner's client coordinates).
    bool IsOver(HWND owner, HWND left, POINT point) const;
    // WM_SETCURSOR over the owner's client area: true when it set the west-east cursor.
    bool SetCursor(HWND owner, HWND left) const;
    // Offered every message of the owner first: true when the divider took it (result set);
    // moved when the split changed and the panes must be laid out again.
    bool OnMessage(HWND owner, HWND left, UINT msg, WPARAM wParam, LPARAM lParam, LRESULT& result,
                   bool& moved);

  private:
    void ButtonDown(HWND owner, HWND left, POINT point);
    bool MouseMove(POINT point);
    void CaptureLost();

    bool m_bDragging = false;
    int m_nOffset = 0;
};
