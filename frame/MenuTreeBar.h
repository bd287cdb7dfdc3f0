#pragma once
// The menu tree: the server's menu as a tree in a bar of the main frame. A folder fills
// itself from the server when it is first opened; a leaf asks the main frame to open its
// screen (WM_STARTMEMO with its memo name). In menu edit mode the tree shows the whole menu,
// bold where the edited user may go, and a click switches an entry on the server.
//
// What the main frame does with the bar:
//   create it (Create: class "MenuBarView", child id 1), SetMemoBox, SetNotifyOwner,
//   SetControlFocusHandler; send WM_CREATEMENU after a log-in and WM_DESTROYMENU before a
//   log-out or change (both return 0); post WM_MENUSELECTED (wParam: the memo name, a text
//   that lives until the message is handled) when an entry was chosen elsewhere;
//   StartMenuEditMode(user) for its menu-edit command and, to stop,
//   WM_DESTROYMENU / SetMenuEditMode(false) / WM_CREATEMENU (clear the flag before the
//   WM_DESTROYMENU when the edits are not to be saved).
// What the bar sends: WM_STARTMEMO (memo name, 0) to the main frame; WM_CLOSE to the active
// MDI child (closing a preview); WM_NOTIFY (0, the tree's NMHDR) with NM_SETFOCUS and
// NM_KILLFOCUS to the notify owner.

#include "framework/FwString.h"
#include "framework/Gdi.h"
#include "framework/OleDragDrop.h"
#include "framework/TreeCtrl.h"
#include "framework/Wnd.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <set>

class CMenuTreeBar;

// Drop target on the tree: shows the drag image of a menu entry dragged over the tree;
// dropping there does nothing.
class CMenuDropTarget : public COleDropTarget {
  public:
    using COleDropTarget::Register;
    bool Register(CMenuTreeBar* bar, CWnd* watched);
    void Revoke() override;
    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) override;
    bool OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) override;
    void OnDragLeave(CWnd* wnd) override;
    DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) override;

    CMenuTreeBar* m_pBar = nullptr;
    bool m_bRegistered = false;
    CWnd* m_pWatched = nullptr;
};

class CMenuTreeBar : public CWnd {
  public:
    static constexpr const char* kClassName = "MenuBarView";

    CMenuTreeBar();
    ~CMenuTreeBar() override;

    using CWnd::Create;
    // Child, visible, clip-siblings and clip-children, no title.
    bool Create(HWND parent, UINT id = 1, const RECT& rect = CRect());

    // The memo box's combo box (letters typed in the tree go there); may be null.
    void SetMemoBox(HWND comboBox) { m_hMemoBox = comboBox; }
    // Receives the tree's focus notifications (the frame's rebar).
    void SetNotifyOwner(HWND owner) { m_hNotifyOwner = owner; }
    // Escape in the tree: the main frame gives the focus back to the active form.
    void SetControlFocusHandler(std::function<void()> handler) { m_fnControlFocus = std::move(handler); }

    void StartMenuEditMode(const char* user);
    bool IsMenuEditMode() const { return m_nMenuEditMode != 0; }
    void SetMenuEditMode(bool on) { m_nMenuEditMode = on ? 1 : 0; }
    const CString& GetEditedUser() const { return m_strEditUser; }

    CTreeCtrl& GetTreeCtrl() { return m_wndTree; }
    // The item's path: the stored indices from the top-level entry down, each followed by ",".
    CString GetItemIndex(HTREEITEM item) const;
    void SelectMemoPath(const char* path);

    // Edit mode: state -1 toggles (and fixes the ancestors), 0 or TVIS_BOLD sets as given.
    void ToggleItem(CTreeCtrl& tree, HTREEITEM item, int state);
    void ToggleChildrenItems(CTreeCtrl& tree, HTREEITEM item, int state);
    void SetUpParentItems(CTreeCtrl& tree, HTREEITEM item, int state);

    // Drag feedback over the tree (from CMenuDropTarget); points in the tree's coordinates.
    DROPEFFECT OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
    DROPEFFECT OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point);
    bool OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point);
    void OnDragLeave(CWnd* wnd);
    DROPEFFECT OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;

  private:
    void InitMenuTree();
    void UninitMenuTree();
    void FillItem(HTREEITEM item);
    void OpenItem(UINT command);
    void ToggleEditItem(HTREEITEM item);
    void ResyncSelection(const char* memo);
    bool IsFolderImage(HTREEITEM item) const;
    void SendSetMenu(CTreeCtrl& tree, HTREEITEM item, bool on);
    HWND MainFrame() const;
    HWND ActiveMdiChild() const;
    void TypeIntoMemoBox(char letter);
    DROPEFFECT DragFeedback(COleDataObject* data, DWORD keyState, CPoint point, bool entering);

    LRESULT OnCreate(CREATESTRUCTA* cs);
    void OnDestroy();
    void OnSize(int cx, int cy);
    void OnParentNotify(WPARAM wParam, LPARAM lParam);
    LRESULT OnCommand(WPARAM wParam);
    LRESULT OnNotify(NMHDR* header);
    LRESULT OnDblclkTreeview();
    LRESULT OnRClickTreeview();
    LRESULT OnKeydownTreeview();
    LRESULT OnFocusTreeview(NMHDR* header);
    LRESULT OnDeleteItemTreeview(NMTREEVIEWA* tree);
    LRESULT OnItemExpandingTreeview(NMTREEVIEWA* tree);
    LRESULT OnGetDispInfoTreeview(NMTVDISPINFOA* info);
    LRESULT OnSelChangingTreeview();
    LRESULT OnBegindrag(NMTREEVIEWA* tree);

    CTreeCtrl m_wndTree;
    HWND m_hMemoBox = nullptr;
    HWND m_hNotifyOwner = nullptr;
    HTREEITEM m_hHitItem = nullptr;
    int m_nMenuEditMode = 0;
    CImageList m_imageList;
    int m_nPreview = 0;
    CString m_strEditUser;
    CMenuDropTarget m_dropTarget;

    std::function<void()> m_fnControlFocus;
    CLIPFORMAT m_cfIcon = 0;
    bool m_bDragImageShown = false;
    bool m_bDragImageFlag = false;
    // Deleting the items moves the selection: no preview closing then.
    bool m_bTearingDown = false;
    // Folders the server had nothing for: they stay without children, and are not asked again
    // each time they are opened, until the tree is rebuilt.
    std::set<HTREEITEM> m_emptyFolders;
};
