#pragma once
// Tree-view control wrapper: thin calls over the TVM_ messages.

#include "framework/FwString.h"
#include "framework/Wnd.h"

#include <windows.h>
#include <commctrl.h>

class CTreeCtrl : public CWnd {
  public:
    using CWnd::Create;
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id);
    // The menu keys (F10, Alt alone or with a letter) go to the system's default handling, which
    // turns them into the frame's menu command: Wine's tree control drops them.
    LRESULT DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    HTREEITEM InsertItem(const TVINSERTSTRUCTA& insert);
    // A last child of parent (null: top level) with its images, data and "has children" flag.
    HTREEITEM InsertItem(const char* text, int image, int selectedImage, LPARAM data, bool children,
                         HTREEITEM parent);
    bool DeleteItem(HTREEITEM item) { return TreeView_DeleteItem(m_hWnd, item) != FALSE; }
    bool DeleteAllItems() { return TreeView_DeleteAllItems(m_hWnd) != FALSE; }

    HTREEITEM GetRootItem() const { return TreeView_GetRoot(m_hWnd); }
    HTREEITEM GetChildItem(HTREEITEM item) const { return TreeView_GetChild(m_hWnd, item); }
    HTREEITEM GetNextSiblingItem(HTREEITEM item) const { return TreeView_GetNextSibling(m_hWnd, item); }
    HTREEITEM GetParentItem(HTREEITEM item) const { return TreeView_GetParent(m_hWnd, item); }
    HTREEITEM GetSelectedItem() const { return TreeView_GetSelection(m_hWnd); }
    HTREEITEM GetDropHilightItem() const { return TreeView_GetDropHilight(m_hWnd); }
    UINT GetCount() const { return TreeView_GetCount(m_hWnd); }

    // The item's "has children" flag (what draws its button), not whether children exist.
    bool ItemHasChildren(HTREEITEM item) const;
    LPARAM GetItemData(HTREEITEM item) const;
    UINT GetItemState(HTREEITEM item, UINT mask) const { return TreeView_GetItemState(m_hWnd, item, mask); }
    bool SetItemState(HTREEITEM item, UINT state, UINT mask);
    bool SetItemBold(HTREEITEM item, bool bold) {
        return SetItemState(item, bold ? TVIS_BOLD : 0, TVIS_BOLD);
    }
    // Sets what the item's button shows, whether or not children are there yet.
    bool SetItemHasChildren(HTREEITEM item, bool children);
    bool DeleteChildren(HTREEITEM item);
    CString GetItemText(HTREEITEM item) const;
    bool GetItemImage(HTREEITEM item, int& image, int& selectedImage) const;

    bool Expand(HTREEITEM item, UINT code) { return TreeView_Expand(m_hWnd, item, code) != FALSE; }
    bool SelectItem(HTREEITEM item) { return TreeView_SelectItem(m_hWnd, item) != FALSE; }
    bool EnsureVisible(HTREEITEM item) { return TreeView_EnsureVisible(m_hWnd, item) != FALSE; }
    // Hit-test in client coordinates; flags receives the TVHT_ bits.
    HTREEITEM HitTest(POINT point, UINT* flags = nullptr) const;
    bool GetItemRect(HTREEITEM item, RECT& rect, bool textOnly) const;

    HIMAGELIST SetImageList(HIMAGELIST list, int which) { return TreeView_SetImageList(m_hWnd, list, which); }
    // The caller owns the returned list.
    HIMAGELIST CreateDragImage(HTREEITEM item) { return TreeView_CreateDragImage(m_hWnd, item); }
};
