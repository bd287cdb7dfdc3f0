#include "frame/MenuTreeBar.h"

#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "app/VORLANApp.h"
#include "frame/MenuTreeLogic.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tools/IconDropSource.h"

#include <windowsx.h>

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

// One per tree item below the root; freed when the tree deletes the item.
struct MenuItemData {
    int index = 0;
    CString memo;
};

int g_nBarInstances = 0;

MenuItemData* DataOf(const CTreeCtrl& tree, HTREEITEM item) {
    return item ? reinterpret_cast<MenuItemData*>(tree.GetItemData(item)) : nullptr;
}

// The stored indices from the top-level entry down to the item (the root has none).
std::vector<int> ItemIndices(const CTreeCtrl& tree, HTREEITEM item) {
    std::vector<int> indices;
    for (HTREEITEM h = item; h; h = tree.GetParentItem(h))
        if (MenuItemData* data = DataOf(tree, h)) indices.push_back(data->index);
    std::reverse(indices.begin(), indices.end());
    return indices;
}

bool IsLetter(WPARAM c) {
    return (c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z');
}

void KeyEvent(BYTE key, bool up) {
    ::keybd_event(key, static_cast<BYTE>(::MapVirtualKeyA(key, 0)), up ? KEYEVENTF_KEYUP : 0, 0);
}

} // namespace

// ---- CMenuDropTarget

bool CMenuDropTarget::Register(CMenuTreeBar* bar, CWnd* watched) {
    m_pBar = bar;
    m_pWatched = watched;
    m_bRegistered = COleDropTarget::Register(watched);
    return m_bRegistered;
}

void CMenuDropTarget::Revoke() {
    m_bRegistered = false;
    COleDropTarget::Revoke();
}

DROPEFFECT CMenuDropTarget::OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    if (wnd != m_pWatched || !m_pBar) return DROPEFFECT_NONE;
    return m_pBar->OnDragEnter(wnd, data, keyState, point);
}

DROPEFFECT CMenuDropTarget::OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    if (wnd != m_pWatched || !m_pBar) return DROPEFFECT_NONE;
    return m_pBar->OnDragOver(wnd, data, keyState, point);
}

bool CMenuDropTarget::OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) {
    if (wnd != m_pWatched || !m_pBar) return false;
    return m_pBar->OnDrop(wnd, data, effect, point);
}

void CMenuDropTarget::OnDragLeave(CWnd* wnd) {
    if (wnd == m_pWatched && m_pBar) m_pBar->OnDragLeave(wnd);
}

DROPEFFECT CMenuDropTarget::OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) {
    if (wnd != m_pWatched || !m_pBar) return DROPEFFECT_NONE;
    return m_pBar->OnDragScroll(wnd, keyState, point);
}

// ---- CMenuTreeBar: life

CMenuTreeBar::CMenuTreeBar() {
    if (g_nBarInstances++ == 0)
        RegisterWindowClass(kClassName, CS_DBLCLKS, nullptr,
                            ::LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW)), nullptr);
}

CMenuTreeBar::~CMenuTreeBar() {
    if (IsWindow()) DestroyWindow();
    if (--g_nBarInstances == 0) UnregisterWindowClass(kClassName);
}

bool CMenuTreeBar::Create(HWND parent, UINT id, const RECT& rect) {
    return CreateEx(0, kClassName, "", WS_CHILD | WS_VISIBLE | WS_CLIPSIBLINGS | WS_CLIPCHILDREN, rect,
                    parent, id);
}

LRESULT CMenuTreeBar::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    // Only the messages the bar handles itself are traced.
    auto trace = [](const char* name) { vorlan::TraceWindowMessage("CMenuTreeBar", name); };
    switch (msg) {
    case WM_CREATE: trace("WM_CREATE"); return OnCreate(reinterpret_cast<CREATESTRUCTA*>(lParam));
    case WM_DESTROY:
        trace("WM_DESTROY");
        OnDestroy();
        break;
    case WM_SIZE:
        trace("WM_SIZE");
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_SETFOCUS:
        trace("WM_SETFOCUS");
        if (m_wndTree.IsWindow()) ::SetFocus(m_wndTree);
        return 0;
    case WM_PARENTNOTIFY: OnParentNotify(wParam, lParam); break;
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_COMMAND:
        if (wParam != 1 && wParam != 255) break;
        trace("WM_COMMAND");
        return OnCommand(wParam);
    case WM_CONTEXTMENU:
        if (!IsMenuEditMode()) break;
        trace("WM_CONTEXTMENU");
        return 1;
    case WM_CREATEMENU:
        trace("WM_CREATEMENU");
        InitMenuTree();
        m_wndTree.EnableWindow(true);
        return 0;
    case WM_DESTROYMENU:
        trace("WM_DESTROYMENU");
        m_wndTree.EnableWindow(false);
        UninitMenuTree();
        return 0;
    case WM_MENUSELECTED:
        trace("WM_MENUSELECTED");
        ResyncSelection(reinterpret_cast<const char*>(wParam));
        return 0;
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

LRESULT CMenuTreeBar::OnCreate(CREATESTRUCTA* cs) {
    if (CWnd::WindowProc(WM_CREATE, 0, reinterpret_cast<LPARAM>(cs)) == -1) return -1;
    AfxOleInit();
    m_imageList.Destroy();
    m_imageList.m_hImageList = theApp.LoadImageList(IDB_MENUTREE, false);
    DWORD style = WS_CHILD | WS_VISIBLE | WS_DISABLED | WS_CLIPSIBLINGS | WS_CLIPCHILDREN | TVS_HASBUTTONS |
                  TVS_HASLINES | TVS_SHOWSELALWAYS | TVS_NONEVENHEIGHT;
    if (!m_wndTree.Create(style, CRect(0, 0, 0, 0), m_hWnd, IDC_MENUTREE)) return -1;
    return 0;
}

void CMenuTreeBar::OnDestroy() {
    // Without the server: the session may be gone already.
    m_bTearingDown = true;
    if (m_wndTree.IsWindow()) m_wndTree.DeleteAllItems();
    m_dropTarget.Revoke();
    m_bTearingDown = false;
}

void CMenuTreeBar::OnSize(int cx, int cy) {
    if (m_wndTree.IsWindow()) m_wndTree.MoveWindow(CRect(0, 0, cx, cy), true);
}

void CMenuTreeBar::OnParentNotify(WPARAM wParam, LPARAM lParam) {
    if (LOWORD(wParam) != WM_LBUTTONDOWN || !m_wndTree.IsWindow()) return;
    POINT pt{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)};
    ::MapWindowPoints(m_hWnd, m_wndTree, &pt, 1);
    UINT flags = 0;
    HTREEITEM item = m_wndTree.HitTest(pt, &flags);
    m_hHitItem = (flags & TVHT_ONITEM) ? item : nullptr;
}

LRESULT CMenuTreeBar::OnCommand(WPARAM wParam) {
    OpenItem(static_cast<UINT>(wParam));
    return 1;
}

// ---- build and tear down

void CMenuTreeBar::InitMenuTree() {
    vorlan::TraceFunction("CMenuTreeBar::InitMenuTree");
    if (!m_dropTarget.m_bRegistered) m_dropTarget.Register(this, &m_wndTree);
    m_cfIcon = static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(vorlan::kIconClipboardFormat));
    m_wndTree.SetImageList(m_imageList, TVSIL_NORMAL);
    if (IsMenuEditMode()) TheSession().Execute(vorlan::MenuEditInitLine(m_strEditUser.str()).c_str());
    CString rootText = TheSession().Execute(vorlan::MenuInitLine().c_str());

    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(rootText.c_str());
    insert.item.state = TVIS_BOLD;
    insert.item.stateMask = TVIS_BOLD;
    insert.item.iImage = I_IMAGECALLBACK;
    insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = 1;
    insert.item.lParam = 0;
    HTREEITEM root = m_wndTree.InsertItem(insert);
    if (root) m_wndTree.Expand(root, TVE_EXPAND);
}

void CMenuTreeBar::UninitMenuTree() {
    vorlan::TraceFunction("CMenuTreeBar::UninitMenuTree");
    m_bTearingDown = true;
    m_wndTree.DeleteAllItems();
    m_emptyFolders.clear();
    m_bTearingDown = false;
    m_dropTarget.Revoke();
    if (IsMenuEditMode()) TheSession().Execute(vorlan::MenuEditSaveLine(m_strEditUser.str()).c_str());
    TheSession().Execute(vorlan::MenuEndLine().c_str());
}

void CMenuTreeBar::StartMenuEditMode(const char* user) {
    vorlan::TraceFunction("CMenuTreeBar::StartMenuEditMode");
    m_nPreview = 0;
    SendMessage(WM_DESTROYMENU);
    m_strEditUser = user ? user : "";
    m_nMenuEditMode = 1;
    SendMessage(WM_CREATEMENU);
    ::SetFocus(m_hWnd);
}

CString CMenuTreeBar::GetItemIndex(HTREEITEM item) const {
    return CString(vorlan::FormatMenuPath(ItemIndices(m_wndTree, item), true));
}

void CMenuTreeBar::FillItem(HTREEITEM item) {
    vorlan::TraceFunction("CMenuTreeBar::FillItem");
    std::vector<int> indices = ItemIndices(m_wndTree, item);
    // A server that nests without end must not take the tree (or the stack) with it.
    if (indices.size() >= static_cast<size_t>(vorlan::kMaxMenuDepth)) return;
    std::string path = vorlan::FormatMenuPath(indices, true);
    std::string user = m_strEditUser.str();
    bool edit = IsMenuEditMode();
    CString reply = TheSession().Execute(vorlan::MenuGetLine(path, edit ? &user : nullptr).c_str());
    int imageCount = m_imageList.GetImageCount();

    for (const vorlan::MenuEntry& entry : vorlan::ParseMenuReply(reply.str())) {
        auto* data = new MenuItemData;
        data->index = entry.Index();
        data->memo = entry.memo.c_str();
        std::string text = entry.ShownText();

        TVINSERTSTRUCTA insert{};
        insert.hParent = item;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask =
            TVIF_TEXT | TVIF_STATE | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
        insert.item.pszText = const_cast<char*>(text.c_str());
        insert.item.stateMask = TVIS_BOLD;
        insert.item.state = edit && entry.FlagNumber() != 0 ? TVIS_BOLD : 0;
        insert.item.lParam = reinterpret_cast<LPARAM>(data);
        if (entry.IsLeaf()) {
            int image = entry.LeafImage(edit, imageCount);
            insert.item.iImage = image;
            insert.item.iSelectedImage = image;
            insert.item.cChildren = 0;
        } else {
            insert.item.iImage = I_IMAGECALLBACK;
            insert.item.iSelectedImage = I_IMAGECALLBACK;
            insert.item.cChildren = 1;
        }
        HTREEITEM added = m_wndTree.InsertItem(insert);
        if (!added) {
            delete data;
            continue;
        }
        if (edit && !entry.IsLeaf()) m_wndTree.Expand(added, TVE_EXPAND);
    }
}

// ---- opening and switching

HWND CMenuTreeBar::MainFrame() const {
    return ::GetAncestor(m_hWnd, GA_ROOT);
}

HWND CMenuTreeBar::ActiveMdiChild() const {
    HWND client = ::GetDlgItem(MainFrame(), ID_MDI_CLIENT);
    return client ? reinterpret_cast<HWND>(::SendMessageA(client, WM_MDIGETACTIVE, 0, 0)) : nullptr;
}

void CMenuTreeBar::OpenItem(UINT command) {
    vorlan::TraceFunction("CMenuTreeBar::OpenItem");
    HTREEITEM item = m_wndTree.GetSelectedItem();
    if (!item) return;
    if (command == 255 && m_nPreview) {
        if (HWND child = ActiveMdiChild()) ::SendMessageA(child, WM_CLOSE, 0, 0);
        m_nPreview = !m_nPreview;
        return;
    }
    if ((command == 1 && !IsMenuEditMode()) || command == 255) {
        if (m_wndTree.ItemHasChildren(item)) {
            m_wndTree.Expand(item, TVE_TOGGLE);
        } else {
            MenuItemData* data = DataOf(m_wndTree, item);
            // A copy: the frame may rebuild the tree (and free the item) while it opens the entry.
            CString memo = data ? data->memo : CString();
            if (!memo.IsEmpty())
                ::SendMessageA(MainFrame(), WM_STARTMEMO, reinterpret_cast<WPARAM>(memo.c_str()), 0);
        }
        m_nPreview = !m_nPreview;
        return;
    }
    if (command == 1 && DataOf(m_wndTree, item)) ToggleEditItem(item);
}

void CMenuTreeBar::ToggleEditItem(HTREEITEM item) {
    vorlan::TraceFunction("CMenuTreeBar::ToggleEditItem");
    if (m_wndTree.ItemHasChildren(item)) {
        bool bold = (m_wndTree.GetItemState(item, TVIS_BOLD) & TVIS_BOLD) != 0;
        ToggleChildrenItems(m_wndTree, item, bold ? 0 : TVIS_BOLD);
    }
    ToggleItem(m_wndTree, item, -1);
}

void CMenuTreeBar::ToggleItem(CTreeCtrl& tree, HTREEITEM item, int state) {
    vorlan::TraceFunction("CMenuTreeBar::ToggleItem");
    int newState = state;
    if (state == -1) newState = (tree.GetItemState(item, TVIS_BOLD) & TVIS_BOLD) ? 0 : TVIS_BOLD;
    tree.SetItemState(item, static_cast<UINT>(newState), TVIS_BOLD);
    SendSetMenu(tree, item, newState != 0);
    if (state == -1) SetUpParentItems(tree, item, newState);
}

void CMenuTreeBar::ToggleChildrenItems(CTreeCtrl& tree, HTREEITEM item, int state) {
    vorlan::TraceFunction("CMenuTreeBar::ToggleChildrenItems");
    for (HTREEITEM child = tree.GetChildItem(item); child; child = tree.GetNextSiblingItem(child)) {
        ToggleChildrenItems(tree, child, state);
        ToggleItem(tree, child, state);
    }
}

void CMenuTreeBar::SetUpParentItems(CTreeCtrl& tree, HTREEITEM item, int state) {
    vorlan::TraceFunction("CMenuTreeBar::SetUpParentItems");
    // The root carries no item data: the walks stop below it.
    if (state) {
        for (HTREEITEM h = item; h && DataOf(tree, h); h = tree.GetParentItem(h))
            ToggleItem(tree, h, TVIS_BOLD);
        return;
    }
    for (HTREEITEM h = tree.GetParentItem(item); h && DataOf(tree, h); h = tree.GetParentItem(h)) {
        for (HTREEITEM child = tree.GetChildItem(h); child; child = tree.GetNextSiblingItem(child))
            if (tree.GetItemState(child, TVIS_BOLD) & TVIS_BOLD) return;
        ToggleItem(tree, h, 0);
    }
}

void CMenuTreeBar::SendSetMenu(CTreeCtrl& tree, HTREEITEM item, bool on) {
    std::string path = vorlan::FormatMenuPath(ItemIndices(tree, item), false);
    TheSession().Execute(vorlan::MenuSetLine(path, on).c_str());
}

// ---- re-synchronising the selection

void CMenuTreeBar::ResyncSelection(const char* memo) {
    vorlan::TraceFunction("CMenuTreeBar::ResyncSelection");
    if (!memo || !*memo) return;
    if (!AfxGetApp() || AfxGetApp()->GetProfileInt("Settings", "AutomaticMenuUpdate", 1) == 0) return;
    CString path = TheSession().Execute(vorlan::MenuResyncLine(memo).c_str());
    SelectMemoPath(path);
}

void CMenuTreeBar::SelectMemoPath(const char* path) {
    vorlan::TraceFunction("CMenuTreeBar::SelectMemoPath");
    HTREEITEM current = m_wndTree.GetRootItem();
    if (!current) return;
    for (int number : vorlan::ParseMenuPath(path ? path : "")) {
        m_wndTree.Expand(current, TVE_EXPAND);
        HTREEITEM found = nullptr;
        for (HTREEITEM child = m_wndTree.GetChildItem(current); child && !found;
             child = m_wndTree.GetNextSiblingItem(child)) {
            MenuItemData* data = DataOf(m_wndTree, child);
            if (data && data->index == number) found = child;
        }
        if (!found) return;
        current = found;
    }
    m_wndTree.SelectItem(current);
}

// ---- notifications of the tree

LRESULT CMenuTreeBar::OnNotify(NMHDR* header) {
    if (!header || header->idFrom != IDC_MENUTREE || header->hwndFrom != m_wndTree.m_hWnd)
        return CWnd::WindowProc(WM_NOTIFY, header ? header->idFrom : 0, reinterpret_cast<LPARAM>(header));
    auto* tree = reinterpret_cast<NMTREEVIEWA*>(header);
    switch (header->code) {
    case NM_DBLCLK: return OnDblclkTreeview();
    case NM_RCLICK: return OnRClickTreeview();
    case NM_RETURN: return OnKeydownTreeview();
    case NM_SETFOCUS:
    case NM_KILLFOCUS: return OnFocusTreeview(header);
    case TVN_DELETEITEMA:
    case TVN_DELETEITEMW: return OnDeleteItemTreeview(tree);
    case TVN_ITEMEXPANDINGA:
    case TVN_ITEMEXPANDINGW: return OnItemExpandingTreeview(tree);
    case TVN_GETDISPINFOA:
    case TVN_GETDISPINFOW: return OnGetDispInfoTreeview(reinterpret_cast<NMTVDISPINFOA*>(header));
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW: return OnSelChangingTreeview();
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW: return OnBegindrag(tree);
    default: return CWnd::WindowProc(WM_NOTIFY, header->idFrom, reinterpret_cast<LPARAM>(header));
    }
}

LRESULT CMenuTreeBar::OnDblclkTreeview() {
    if (!m_hHitItem) return 1;
    // The entry under the pointer is the one opened, even when the tree has not yet moved its
    // selection there (the clicks came faster than the tree took the first).
    if (m_wndTree.GetSelectedItem() != m_hHitItem) m_wndTree.SelectItem(m_hHitItem);
    PostMessage(WM_COMMAND, 1, 0);
    return 1;
}

LRESULT CMenuTreeBar::OnRClickTreeview() {
    if (!IsMenuEditMode()) return 0;
    HTREEITEM item = m_wndTree.GetDropHilightItem();
    if (!item) {
        // Not every tree marks the item under a right click: take it from the cursor then.
        DWORD pos = ::GetMessagePos();
        POINT pt{GET_X_LPARAM(pos), GET_Y_LPARAM(pos)};
        ::ScreenToClient(m_wndTree, &pt);
        UINT flags = 0;
        HTREEITEM hit = m_wndTree.HitTest(pt, &flags);
        if (flags & TVHT_ONITEM) item = hit;
    }
    if (item && item != m_wndTree.GetSelectedItem()) m_wndTree.SelectItem(item);
    SendMessage(WM_COMMAND, 255, 0);
    return 0;
}

LRESULT CMenuTreeBar::OnKeydownTreeview() {
    SendMessage(WM_COMMAND, 1, 0);
    return 0;
}

LRESULT CMenuTreeBar::OnFocusTreeview(NMHDR* header) {
    if (m_hNotifyOwner) ::SendMessageA(m_hNotifyOwner, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(header));
    return 0;
}

LRESULT CMenuTreeBar::OnDeleteItemTreeview(NMTREEVIEWA* tree) {
    delete reinterpret_cast<MenuItemData*>(tree->itemOld.lParam);
    m_emptyFolders.erase(tree->itemOld.hItem);
    return 0;
}

LRESULT CMenuTreeBar::OnItemExpandingTreeview(NMTREEVIEWA* tree) {
    HTREEITEM item = tree->itemNew.hItem;
    if ((tree->action & TVE_EXPAND) && !(tree->action & TVE_COLLAPSE) && item &&
        m_wndTree.ItemHasChildren(item) && !m_wndTree.GetChildItem(item) && !m_emptyFolders.count(item)) {
        FillItem(item);
        if (!m_wndTree.GetChildItem(item)) m_emptyFolders.insert(item);
    }
    return 0;
}

LRESULT CMenuTreeBar::OnGetDispInfoTreeview(NMTVDISPINFOA* info) {
    if (info->item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) {
        bool expanded = (m_wndTree.GetItemState(info->item.hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
        int image = expanded ? vorlan::kImageFolderOpen : vorlan::kImageFolderClosed;
        info->item.iImage = image;
        info->item.iSelectedImage = image;
    }
    return 0;
}

LRESULT CMenuTreeBar::OnSelChangingTreeview() {
    if (!m_bTearingDown && IsMenuEditMode() && m_nPreview) SendMessage(WM_COMMAND, 255, 0);
    return 0;
}

// ---- dragging a leaf

bool CMenuTreeBar::IsFolderImage(HTREEITEM item) const {
    int image = -1, selected = -1;
    if (!m_wndTree.GetItemImage(item, image, selected)) return true;
    return image == vorlan::kImageFolderOpen || image == vorlan::kImageFolderClosed;
}

LRESULT CMenuTreeBar::OnBegindrag(NMTREEVIEWA* tree) {
    vorlan::TraceFunction("CMenuTreeBar::OnBegindrag");
    HTREEITEM item = tree->itemNew.hItem;
    if (!item || IsFolderImage(item)) return 0;
    MenuItemData* data = DataOf(m_wndTree, item);
    HIMAGELIST dragImage = m_wndTree.CreateDragImage(item);
    vorlan::MenuDragRecord record;
    if (!vorlan::BuildMenuDragRecord(m_wndTree.GetItemText(item).str(), data ? data->memo.str() : "",
                                     dragImage != nullptr, record)) {
        if (dragImage) ::ImageList_Destroy(dragImage);
        return 0;
    }
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, sizeof record);
    void* bytes = block ? ::GlobalLock(block) : nullptr;
    if (!bytes) {
        if (block) ::GlobalFree(block);
        if (dragImage) ::ImageList_Destroy(dragImage);
        return 0;
    }
    std::memcpy(bytes, &record, sizeof record);
    ::GlobalUnlock(block);

    if (dragImage) ::ImageList_BeginDrag(dragImage, 0, 2, 2);
    {
        COleDataSource source;
        source.CacheGlobalData(m_cfIcon, block);
        CIconDropSource dropSource;
        UpdateWindow();
        source.DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, &dropSource);
    }
    if (dragImage) {
        ::ImageList_EndDrag();
        ::ImageList_Destroy(dragImage);
    }
    return 0;
}

DROPEFFECT CMenuTreeBar::DragFeedback(COleDataObject* data, DWORD keyState, CPoint point, bool entering) {
    if (!data || !m_cfIcon || !data->IsDataAvailable(m_cfIcon)) return DROPEFFECT_NONE;
    if (HGLOBAL block = data->GetGlobalData(m_cfIcon)) {
        std::int32_t kind = 0;
        bool flag = false;
        const void* bytes = ::GlobalLock(block);
        bool read = vorlan::PeekIconRecord(bytes, ::GlobalSize(block), kind, flag);
        if (bytes) ::GlobalUnlock(block);
        ::GlobalFree(block);
        if (read) {
            m_bDragImageFlag = flag;
            if (kind != vorlan::kMenuDragKind) return DROPEFFECT_NONE;
        }
    }
    POINT pt = point;
    ::MapWindowPoints(m_wndTree, m_hWnd, &pt, 1);
    if (entering) {
        if (m_bDragImageFlag && !m_bDragImageShown)
            m_bDragImageShown = ::ImageList_DragEnter(m_hWnd, pt.x, pt.y);
    } else if (m_bDragImageShown) {
        ::ImageList_DragMove(pt.x, pt.y);
    }
    return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

DROPEFFECT CMenuTreeBar::OnDragEnter(CWnd*, COleDataObject* data, DWORD keyState, CPoint point) {
    return DragFeedback(data, keyState, point, true);
}

DROPEFFECT CMenuTreeBar::OnDragOver(CWnd*, COleDataObject* data, DWORD keyState, CPoint point) {
    return DragFeedback(data, keyState, point, false);
}

bool CMenuTreeBar::OnDrop(CWnd*, COleDataObject*, DROPEFFECT, CPoint) {
    return false;
}

void CMenuTreeBar::OnDragLeave(CWnd*) {
    if (m_bDragImageShown) ::ImageList_DragLeave(m_hWnd);
    m_bDragImageShown = false;
}

DROPEFFECT CMenuTreeBar::OnDragScroll(CWnd*, DWORD keyState, CPoint) {
    return (keyState & MK_CONTROL) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

// ---- keyboard

void CMenuTreeBar::TypeIntoMemoBox(char letter) {
    ::SetFocus(m_hMemoBox);
    if (letter >= 'A' && letter <= 'Z') {
        KeyEvent(VK_SHIFT, false);
        KeyEvent(static_cast<BYTE>(letter), false);
        KeyEvent(VK_SHIFT, true);
    } else {
        KeyEvent(static_cast<BYTE>(letter - 'a' + 'A'), false);
        KeyEvent(VK_SHIFT, true);
    }
}

bool CMenuTreeBar::PreTranslateMessage(MSG* msg) {
    if (m_hMemoBox && ::IsWindow(m_hMemoBox) && ::IsWindowVisible(m_hMemoBox)) {
        if (msg->message == WM_CHAR && IsLetter(msg->wParam)) {
            TypeIntoMemoBox(static_cast<char>(msg->wParam));
            return true;
        }
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_TAB) {
            ::SetFocus(m_hMemoBox);
            return true;
        }
        if (msg->message == WM_KEYDOWN && msg->wParam == VK_ESCAPE) {
            if (m_fnControlFocus) m_fnControlFocus();
            return true;
        }
    }
    return CWnd::PreTranslateMessage(msg);
}
