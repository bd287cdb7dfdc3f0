#include "framework/TreeCtrl.h"

bool CTreeCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
    return CWnd::CreateEx(0, WC_TREEVIEWA, "", style | WS_CHILD, rect, parent, id);
}

HTREEITEM CTreeCtrl::InsertItem(const TVINSERTSTRUCTA& insert) {
    return reinterpret_cast<HTREEITEM>(
        ::SendMessageA(m_hWnd, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
}

HTREEITEM CTreeCtrl::InsertItem(const char* text, int image, int selectedImage, LPARAM data, bool children,
                                HTREEITEM parent) {
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent ? parent : TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_CHILDREN;
    insert.item.pszText = const_cast<char*>(text);
    insert.item.iImage = image;
    insert.item.iSelectedImage = selectedImage;
    insert.item.lParam = data;
    insert.item.cChildren = children ? 1 : 0;
    return InsertItem(insert);
}

bool CTreeCtrl::SetItemHasChildren(HTREEITEM item, bool children) {
    TVITEMA tv{};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = item;
    tv.cChildren = children ? 1 : 0;
    return ::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) != 0;
}

bool CTreeCtrl::DeleteChildren(HTREEITEM item) {
    bool all = true;
    for (HTREEITEM child = GetChildItem(item); child;) {
        HTREEITEM next = GetNextSiblingItem(child);
        all = DeleteItem(child) && all;
        child = next;
    }
    return all;
}

bool CTreeCtrl::ItemHasChildren(HTREEITEM item) const {
    TVITEMA tv{};
    tv.mask = TVIF_CHILDREN | TVIF_HANDLE;
    tv.hItem = item;
    if (!::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return false;
    return tv.cChildren != 0;
}

LPARAM CTreeCtrl::GetItemData(HTREEITEM item) const {
    TVITEMA tv{};
    tv.mask = TVIF_PARAM | TVIF_HANDLE;
    tv.hItem = item;
    if (!::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return 0;
    return tv.lParam;
}

bool CTreeCtrl::SetItemState(HTREEITEM item, UINT state, UINT mask) {
    TVITEMA tv{};
    tv.mask = TVIF_STATE | TVIF_HANDLE;
    tv.hItem = item;
    tv.state = state;
    tv.stateMask = mask;
    return ::SendMessageA(m_hWnd, TVM_SETITEMA, 0, reinterpret_cast<LPARAM>(&tv)) != 0;
}

CString CTreeCtrl::GetItemText(HTREEITEM item) const {
    char buffer[1024] = "";
    TVITEMA tv{};
    tv.mask = TVIF_TEXT | TVIF_HANDLE;
    tv.hItem = item;
    tv.pszText = buffer;
    tv.cchTextMax = sizeof buffer;
    if (!::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return CString();
    // The control may answer with a pointer of its own instead of filling the buffer.
    return CString(tv.pszText ? tv.pszText : "");
}

bool CTreeCtrl::GetItemImage(HTREEITEM item, int& image, int& selectedImage) const {
    TVITEMA tv{};
    tv.mask = TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_HANDLE;
    tv.hItem = item;
    if (!::SendMessageA(m_hWnd, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&tv))) return false;
    image = tv.iImage;
    selectedImage = tv.iSelectedImage;
    return true;
}

HTREEITEM CTreeCtrl::HitTest(POINT point, UINT* flags) const {
    TVHITTESTINFO info{};
    info.pt = point;
    HTREEITEM item = TreeView_HitTest(m_hWnd, &info);
    if (flags) *flags = info.flags;
    return item;
}

bool CTreeCtrl::GetItemRect(HTREEITEM item, RECT& rect, bool textOnly) const {
    return TreeView_GetItemRect(m_hWnd, item, &rect, textOnly) != FALSE;
}

LRESULT CTreeCtrl::DefWindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_SYSKEYDOWN || msg == WM_SYSKEYUP || msg == WM_SYSCHAR)
        return ::DefWindowProcA(m_hWnd, msg, wParam, lParam);
    return CWnd::DefWindowProc(msg, wParam, lParam);
}
