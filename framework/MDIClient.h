#pragma once
// A window that takes the place of the system's MDI client and answers the MDI messages
// itself (WM_MDICREATE, WM_MDIDESTROY, WM_MDIACTIVATE, WM_MDIGETACTIVE, WM_MDINEXT,
// WM_MDIMAXIMIZE, WM_MDIRESTORE, WM_MDICASCADE, WM_MDITILE, WM_MDIICONARRANGE,
// WM_MDISETMENU). Its children are ordinary child windows with a caption; it keeps which one
// is active, draws their captions accordingly and numbers them from the first child id.
// Any control can serve: a subclass creates the window of its own class (a list view, say)
// and unhandled messages reach that class as usual.

#include "framework/Wnd.h"

#include <vector>

class CMDIClientWnd : public CWnd {
  public:
    // The first child id of the class library's MDI children.
    static constexpr UINT kFirstChildId = 0xFF00;
    static constexpr UINT kMaxChildren = 0x100;

    bool CreateClient(DWORD exStyle, const char* className, DWORD style, const RECT& rect, HWND frame,
                      UINT id, UINT firstChildId = kFirstChildId);
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override {
        if (m_bAutoDelete) delete this;
    }

    HWND GetActive() const { return m_hActive; }
    // The MDI children in z-order, topmost first.
    std::vector<HWND> Children() const;
    bool IsMDIChild(HWND hwnd) const;
    UINT FirstChildId() const { return m_nFirstChildId; }

    bool m_bAutoDelete = false;

  protected:
    virtual HWND OnMDICreate(const MDICREATESTRUCTA* mcs);
    virtual void OnMDIDestroy(HWND child);
    virtual void OnMDIActivate(HWND child);
    virtual HWND OnMDINext(HWND from, bool previous);
    virtual void OnMDICascade();
    virtual void OnMDITile(UINT how);
    // The next child to activate when `leaving` goes: the one below it in z-order.
    HWND SuccessorOf(HWND leaving) const;
    // Gives the children the ids first, first + 1, ... in the order of their current ids.
    void Renumber();

    UINT m_nFirstChildId = kFirstChildId;
    HWND m_hActive = nullptr;
};
