// The record explorer's tree: the fill from the server, the expansion logic that keeps the
// disk entries in step with the share, the paths of entries and label editing.
#include "tools/Explorer.h"

#include "app/ProtocolLog.h"
#include "controls/FocusedControl.h"
#include "framework/App.h"
#include "framework/FolderFiles.h"
#include "framework/Gdi.h"
#include "framework/PathParts.h"
#include "tools/ExplorerFiles.h"
#include "tools/ExplorerLogic.h"
#include "tools/FolderPaths.h"
#include "tools/FileDropTarget.h"

#include <shellapi.h>

#include <cstring>
#include <set>

namespace rec = vorlan::record;

namespace {

constexpr int kMaxWalk = 100000; // a server that never ends a $O walk
constexpr UINT kSmallImages = 514;
constexpr int kStateSlots = 8;

bool IsShown(DWORD attributes) {
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & kSkippedAttributes);
}

// The window that closes the form: the frame around the explorer's parent.
HWND ParentFrameOf(HWND form) {
    HWND w = form ? ::GetParent(form) : nullptr;
    while (w && (::GetWindowLongA(w, GWL_STYLE) & WS_CHILD) &&
           !(::GetWindowLongA(w, GWL_EXSTYLE) & WS_EX_MDICHILD))
        w = ::GetParent(w);
    return w;
}

int CALLBACK CompareSiblingRecords(LPARAM first, LPARAM second, LPARAM) {
    auto* a = reinterpret_cast<const ExplorerItem*>(first);
    auto* b = reinterpret_cast<const ExplorerItem*>(second);
    if (!a || !b) return a ? 1 : b ? -1 : 0;
    return rec::CompareSiblings(a->kind, a->name, b->kind, b->name);
}

} // namespace

// ---- the fill

void CExplorer::BeginEdit() {
    vorlan::TraceFunction("CExplorer::BeginEdit");
    if (!m_tree.m_hWnd) return;
    m_preview.Stop();
    m_bFilling = true;
    ClearList();
    m_hLastListed = nullptr;
    m_nLastListMode = -1;
    m_tree.DeleteAllItems();
    ShowPane(nullptr);

    char translated[MAX_PATH] = "";
    std::string source = Execute(rec::SourceLine());
    if (!CFileDropTarget::TranslateDirectory(source.c_str(), translated)) {
        m_bFilling = false;
        TellPathTooLong();
        return;
    }
    m_source = translated;
    if (!CFileDropTarget::MakeDirectory(m_source.c_str())) {
        DWORD attributes = ::GetFileAttributesA(m_source.c_str());
        if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
            m_bFilling = false;
            AfxMessageBox("Sie besitzen keine Schreib-/Leserechte auf den Netzwerkpfad der Akte.\n"
                          "Bitte benachrichtigen Sie Ihren zuständigen Netzwerkadministrator!",
                          MB_OK | MB_ICONSTOP);
            if (HWND frame = ParentFrameOf(::GetParent(m_hWnd))) ::PostMessageA(frame, WM_CLOSE, 0, 0);
            return;
        }
    }
    std::string thumbs = Execute(rec::ThumbsLine());
    m_thumbs.clear();
    if (!thumbs.empty() && CFileDropTarget::TranslateDirectory(thumbs.c_str(), translated))
        m_thumbs = fw::WithoutTrailingBackslash(translated);
    m_source = fw::WithoutTrailingBackslash(m_source);

    if (rec::Number(Execute(rec::SortLine())) != 0) m_bSorted = true;
    m_tool.CheckButton(kSwap, m_bSorted);
    const bool swapped = m_bSorted;

    auto* rootRecord = new ExplorerItem;
    TVINSERTSTRUCTA insert{};
    insert.hParent = TVI_ROOT;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    std::string rootText = Execute(rec::RootTextLine());
    insert.item.pszText = const_cast<char*>(rootText.c_str());
    insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = I_CHILDRENCALLBACK;
    insert.item.lParam = reinterpret_cast<LPARAM>(rootRecord);
    HTREEITEM root = m_tree.InsertItem(insert);
    if (!root) {
        delete rootRecord;
        m_bFilling = false;
        return;
    }
    Execute(rec::kResetWalk);
    for (int guard = 0; guard < kMaxWalk; ++guard) {
        std::string key = Execute(rec::NextLevel1Line(swapped));
        if (key.empty()) break;
        if (!swapped && !Execute(rec::HiddenLine(1)).empty()) continue;
        std::string value = Execute(rec::Level1ValueLine(swapped));
        HTREEITEM level1 = InsertServerItem(root, kExplorerKindLevel1, key, value, false);
        if (level1) FillLevel2(level1, swapped);
    }
    SortTreeChildren(root);
    m_tree.Expand(root, TVE_EXPAND);
    HTREEITEM only = m_tree.GetChildItem(root);
    if (only && !m_tree.GetNextSiblingItem(only)) m_tree.Expand(only, TVE_EXPAND);
    RefreshDirectory(root);
    m_bFilling = false;
    StartUpdateThread();
}

bool CExplorer::FillLevel2(HTREEITEM level1, bool swapped) {
    for (int guard = 0; guard < kMaxWalk; ++guard) {
        std::string key = Execute(rec::NextLevel2Line(swapped));
        if (key.empty()) break;
        if (swapped && !Execute(rec::HiddenLine(2)).empty()) continue;
        std::string value = Execute(rec::Level2ValueLine(swapped));
        bool first = rec::ParseEntry(key, value).first;
        HTREEITEM level2 = InsertServerItem(level1, first ? kExplorerKindLevel2First : kExplorerKindLevel2,
                                            key, value, first);
        if (!level2) continue;
        for (int docs = 0; docs < kMaxWalk; ++docs) {
            std::string document = Execute(rec::NextDocumentLine(swapped));
            if (document.empty()) break;
            if (!Execute(rec::DocumentHiddenLine(swapped)).empty()) continue;
            if (InsertServerItem(level2, kExplorerKindDocument, document,
                                 Execute(rec::DocumentValueLine(swapped)), false))
                Record(m_tree, level2)->kind |= kExplorerDocument;
        }
        SortTreeChildren(level1);
    }
    return true;
}

HTREEITEM CExplorer::InsertServerItem(HTREEITEM parent, int kind, const std::string& key,
                                      const std::string& value, bool onTop) {
    rec::ServerEntry entry = rec::ParseEntry(key, value);
    auto* record = new ExplorerItem;
    record->kind = kind;
    record->permissions = entry.permissions;
    record->text = entry.serverText;
    record->name = entry.name;
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = onTop ? TVI_FIRST : TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    const std::string& text = entry.text.empty() ? entry.name : entry.text;
    insert.item.pszText = const_cast<char*>(text.c_str());
    insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
    insert.item.cChildren = I_CHILDRENCALLBACK;
    insert.item.lParam = reinterpret_cast<LPARAM>(record);
    if (entry.stateImage > 0 && entry.stateImage < kStateSlots) {
        insert.item.mask |= TVIF_STATE;
        insert.item.state = INDEXTOSTATEIMAGEMASK(static_cast<UINT>(entry.stateImage));
        insert.item.stateMask = TVIS_STATEIMAGEMASK;
    }
    HTREEITEM item = m_tree.InsertItem(insert);
    if (!item) delete record;
    return item;
}

HTREEITEM CExplorer::InsertFileItem(HTREEITEM parent, const std::string& name, bool folder,
                                    const std::string& path) {
    auto* record = new ExplorerItem;
    record->kind = folder ? kExplorerFolder : kExplorerFile;
    record->extension = folder ? -1 : rec::ExtensionPosition(name);
    record->name = name;
    std::string text = folder ? name : rec::DisplayName(name, record->extension);
    TVINSERTSTRUCTA insert{};
    insert.hParent = parent;
    insert.hInsertAfter = TVI_LAST;
    insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_CHILDREN | TVIF_PARAM;
    insert.item.pszText = const_cast<char*>(text.c_str());
    if (folder) {
        insert.item.iImage = insert.item.iSelectedImage = I_IMAGECALLBACK;
        insert.item.cChildren = I_CHILDRENCALLBACK;
    } else {
        SHFILEINFOA info{};
        ::SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_SYSICONINDEX | SHGFI_SMALLICON);
        insert.item.iImage = insert.item.iSelectedImage = info.iIcon;
        insert.item.cChildren = 0;
    }
    insert.item.lParam = reinterpret_cast<LPARAM>(record);
    HTREEITEM item = m_tree.InsertItem(insert);
    if (!item) delete record;
    return item;
}

void CExplorer::BuildStateImages() {
    std::vector<int> indexes = rec::StateImageIndexes(Execute(rec::BitmapLine()));
    if (indexes.empty()) return;
    CWinApp* app = AfxGetApp();
    HIMAGELIST source = app ? app->LoadImageList(kSmallImages, false) : nullptr;
    if (!source) return;
    int cx = 16, cy = 16;
    ImageList_GetIconSize(source, &cx, &cy);
    m_hStateImages = ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, kStateSlots, 0);
    // Slot 0 is "no state image"; the slots past the given ones stay empty as well.
    HBITMAP blank = FilledBitmap(cx, cy, RGB(255, 0, 255));
    for (int slot = 0; slot < kStateSlots; ++slot) {
        int index = slot >= 1 && static_cast<size_t>(slot) <= indexes.size() ? indexes[slot - 1] - 1 : -1;
        HICON icon = index >= 0 ? ImageList_GetIcon(source, index, ILD_NORMAL) : nullptr;
        if (icon) {
            ImageList_ReplaceIcon(m_hStateImages, -1, icon);
            ::DestroyIcon(icon);
        } else {
            ImageList_AddMasked(m_hStateImages, blank, RGB(255, 0, 255));
        }
    }
    ::DeleteObject(blank);
    ImageList_Destroy(source);
    m_tree.SetImageList(m_hStateImages, TVSIL_STATE);
}

// ---- kinds and paths

bool CExplorer::IsFolderItem(HTREEITEM item) const {
    const ExplorerItem* r = Record(m_tree, item);
    if (!r) return false;
    if ((r->kind & kExplorerLevel2) || (r->kind & kExplorerFolder) == kExplorerFolder) {
        // A server document names a folder or a file of the record: the disk decides.
        if ((r->kind & kExplorerKindDocument) == kExplorerKindDocument) return !IsFileItem(item);
        return true;
    }
    return false;
}

bool CExplorer::IsFileItem(HTREEITEM item) const {
    const ExplorerItem* r = Record(m_tree, item);
    if (!r) return false;
    if (r->kind & kExplorerFile) return true;
    if ((r->kind & kExplorerKindDocument) != kExplorerKindDocument) return false;
    std::string path, name;
    if (!GetFileName(item, path, name)) return false;
    DWORD attributes = ::GetFileAttributesA(path.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

bool CExplorer::GetFileName(HTREEITEM item, std::string& path, std::string& name,
                            const std::string* replacementSource) const {
    std::vector<rec::PathNode> chain;
    for (HTREEITEM at = item; at; at = m_tree.GetParentItem(at)) {
        const ExplorerItem* r = Record(m_tree, at);
        if (!r) return false;
        chain.push_back({r->kind, r->name});
    }
    return rec::BuildFileName(chain, m_bSorted, replacementSource ? *replacementSource : m_source, path,
                              name) == rec::PathResult::Ok;
}

HTREEITEM CExplorer::FindChild(HTREEITEM parent, const std::string& name) const {
    for (HTREEITEM c = m_tree.GetChildItem(parent); c; c = m_tree.GetNextSiblingItem(c)) {
        const ExplorerItem* r = Record(m_tree, c);
        if (r && r->name == name) return c;
    }
    return nullptr;
}

// ---- expansion

bool CExplorer::Probe(HTREEITEM item) {
    const ExplorerItem* r = Record(m_tree, item);
    if (!r || (r->kind & kExplorerFile)) return false;
    if (m_tree.GetChildItem(item)) return true;
    std::string path, name;
    if (!GetFileName(item, path, name)) return false;
    std::string pattern = vorlan::JoinPath(path, "*.*");
    if (pattern.empty()) return false;
    bool any = false;
    fw::ForEachInFolder(pattern, [&](const fw::FolderEntry& entry) {
        any = !(entry.attributes & kSkippedAttributes);
        return !any; // the first one shown is enough
    });
    return any;
}

bool CExplorer::OnItemexpandingTree(HTREEITEM item, int action) {
    if (action != 2 && action != 4 && action != 5 && action != 6) return false;
    ExplorerItem* r = Record(m_tree, item);
    if (!r || (r->kind & kExplorerFile)) return false;
    if (action == 4) return Probe(item);
    bool hasChildren = m_tree.GetChildItem(item) != nullptr;
    if (action == 6 && m_bExpanding) return hasChildren;
    // The root and level-1 entries have no folder of their own.
    if (!(r->kind & (kExplorerLevel2 | kExplorerFolder))) return hasChildren;
    if ((action == 2 || action == 6) && hasChildren) return true;

    struct Running {
        bool& flag;
        bool old;
        explicit Running(bool& f) : flag(f), old(f) { flag = true; }
        ~Running() { flag = old; }
    } running(m_bExpanding);

    std::string folder, name;
    DWORD attributes =
        GetFileName(item, folder, name) ? ::GetFileAttributesA(folder.c_str()) : INVALID_FILE_ATTRIBUTES;
    if (attributes == INVALID_FILE_ATTRIBUTES || !(attributes & FILE_ATTRIBUTE_DIRECTORY)) {
        for (HTREEITEM c = m_tree.GetChildItem(item); c;) {
            HTREEITEM next = m_tree.GetNextSiblingItem(c);
            const ExplorerItem* cr = Record(m_tree, c);
            if (!cr || !(cr->kind & kExplorerDocument)) m_tree.DeleteItem(c);
            c = next;
        }
        if (!(r->kind & kExplorerServer) && !(r->kind & kExplorerDocument)) {
            m_tree.DeleteItem(item);
            m_bItemDeleted = true;
            return false;
        }
        return m_tree.GetChildItem(item) != nullptr;
    }

    std::set<std::string> present;
    HTREEITEM editChild = nullptr, expandChild = nullptr;
    for (HTREEITEM c = m_tree.GetChildItem(item); c;) {
        HTREEITEM next = m_tree.GetNextSiblingItem(c);
        ExplorerItem* cr = Record(m_tree, c);
        if (cr && (cr->kind & kExplorerDocument)) {
            present.insert(cr->name);
        } else if (!cr || !IsShown(::GetFileAttributesA(vorlan::JoinPath(folder, cr->name).c_str()))) {
            m_tree.DeleteItem(c);
        } else {
            present.insert(cr->name);
            if (cr->pending & kExplorerPendingEdit) editChild = c;
            if (cr->pending & kExplorerPendingExpand) expandChild = c;
            cr->pending = 0;
        }
        c = next;
    }

    std::string pattern = vorlan::JoinPath(folder, "*.*");
    if (!pattern.empty()) {
        fw::ForEachInFolder(pattern, [&](const fw::FolderEntry& entry) {
            if ((entry.attributes & kSkippedAttributes) || present.count(entry.name)) return true;
            // A name that would make a path of 260 characters or more is left out, never cut.
            std::string path = vorlan::JoinPath(folder, entry.name);
            if (!path.empty()) InsertFileItem(item, entry.name, entry.folder, path);
            return true;
        });
    }
    SortTreeChildren(item);
    if (editChild) ::PostMessageA(m_tree.m_hWnd, TVM_EDITLABELA, 0, reinterpret_cast<LPARAM>(editChild));
    if (expandChild) m_tree.Expand(expandChild, TVE_EXPAND);
    hasChildren = m_tree.GetChildItem(item) != nullptr;
    if ((r->kind & kExplorerFirst) && hasChildren) MarkBold(item);
    return hasChildren;
}

void CExplorer::SortTreeChildren(HTREEITEM item) {
    TVSORTCB sort{};
    sort.hParent = item;
    sort.lpfnCompare = CompareSiblingRecords;
    TreeView_SortChildrenCB(m_tree.m_hWnd, &sort, 0);
}

void CExplorer::MarkBold(HTREEITEM item) {
    for (HTREEITEM at = item; at; at = m_tree.GetParentItem(at))
        m_tree.SetItemBold(at, true);
}

void CExplorer::RefreshDirectory(HTREEITEM item) {
    if (!item) return;
    vorlan::TraceFunction("CExplorer::RefreshDirectory");
    const ExplorerItem* r = Record(m_tree, item);
    if (r && (r->kind & (kExplorerLevel2 | kExplorerFolder)) &&
        ((r->kind & kExplorerLevel2) || (m_tree.GetItemState(item, TVIS_EXPANDEDONCE) & TVIS_EXPANDEDONCE))) {
        m_bItemDeleted = false;
        OnItemexpandingTree(item, 5);
        if (m_bItemDeleted) {
            m_bItemDeleted = false;
            return;
        }
    }
    for (HTREEITEM c = m_tree.GetChildItem(item); c;) {
        HTREEITEM next = m_tree.GetNextSiblingItem(c);
        RefreshDirectory(c);
        c = next;
    }
}

// ---- notifications

LRESULT CExplorer::OnTreeNotify(NMHDR* hdr) {
    switch (hdr->code) {
    case TVN_GETDISPINFOA: OnGetDispInfo(reinterpret_cast<NMTVDISPINFOA*>(hdr)); return 0;
    case TVN_ITEMEXPANDINGA: {
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
        if ((nm->action & 0x3) == TVE_EXPAND) OnItemexpandingTree(nm->itemNew.hItem, 2);
        return FALSE;
    }
    case TVN_SELCHANGEDA:
        if (!m_bFilling) OnSelChangedTree(reinterpret_cast<NMTREEVIEWA*>(hdr)->itemNew.hItem);
        return 0;
    case TVN_DELETEITEMA: {
        auto* nm = reinterpret_cast<NMTREEVIEWA*>(hdr);
        if (nm->itemOld.hItem == m_hLastListed) m_hLastListed = nullptr;
        for (int i = 0; i < m_list.GetItemCount(); ++i)
            if (ExplorerListItem* entry = ListEntry(i); entry && entry->treeItem == nm->itemOld.hItem)
                entry->treeItem = nullptr;
        delete reinterpret_cast<ExplorerItem*>(nm->itemOld.lParam);
        return 0;
    }
    case TVN_BEGINLABELEDITA: return OnBeginLabelEdit(reinterpret_cast<NMTVDISPINFOA*>(hdr)) ? FALSE : TRUE;
    case TVN_ENDLABELEDITA: return OnEndLabelEdit(reinterpret_cast<NMTVDISPINFOA*>(hdr)) ? TRUE : FALSE;
    case TVN_KEYDOWN: {
        auto* nm = reinterpret_cast<NMTVKEYDOWN*>(hdr);
        int image = 0, selected = 0;
        if (nm->wVKey == VK_DELETE && m_tree.GetItemImage(m_tree.GetSelectedItem(), image, selected) &&
            image > 3)
            ::PostMessageA(m_hWnd, WM_COMMAND, kDelete, 0);
        return 0;
    }
    case NM_DBLCLK: {
        POINT p;
        ::GetCursorPos(&p);
        ::ScreenToClient(m_tree.m_hWnd, &p);
        HTREEITEM item = m_tree.HitTest(p);
        if (item && IsFileItem(item)) {
            OnDoubleClick(item);
            return TRUE;
        }
        return 0;
    }
    case NM_RCLICK: {
        POINT screen;
        ::GetCursorPos(&screen);
        POINT p = screen;
        ::ScreenToClient(m_tree.m_hWnd, &p);
        HTREEITEM item = m_tree.HitTest(p);
        if (item) {
            // The menu's commands act on the tree's selection from now on.
            ::SetFocus(m_tree.m_hWnd);
            m_tree.SelectItem(item);
            ShowContextMenu(item, screen);
        }
        return TRUE;
    }
    case NM_SETFOCUS: FocusedControlKind = kFocusKindExplorer; return 0;
    case NM_KILLFOCUS: FocusedControlKind = kFocusKindNone; return 0;
    default: return 0;
    }
}

void CExplorer::OnGetDispInfo(NMTVDISPINFOA* info) {
    TVITEMA& item = info->item;
    if (item.mask & (TVIF_IMAGE | TVIF_SELECTEDIMAGE)) {
        bool open = (m_tree.GetItemState(item.hItem, TVIS_EXPANDED) & TVIS_EXPANDED) != 0;
        item.iImage = open ? m_nFolderOpenImage : m_nFolderImage;
        item.iSelectedImage = item.iImage;
    }
    if (item.mask & TVIF_CHILDREN) item.cChildren = OnItemexpandingTree(item.hItem, 4) ? 1 : 0;
}

bool CExplorer::OnBeginLabelEdit(const NMTVDISPINFOA* info) {
    return MayRename(info->item.hItem);
}

bool CExplorer::OnEndLabelEdit(const NMTVDISPINFOA* info) {
    if (!info->item.pszText || !OnBeginLabelEdit(info)) return false;
    ExplorerItem* r = Record(m_tree, info->item.hItem);
    std::string path, name;
    if (!GetFileName(info->item.hItem, path, name)) {
        TellPathTooLong();
        return false;
    }
    std::string renamed = RenameFile(m_hWnd, path, info->item.pszText);
    if (renamed.empty()) return false;
    r->name = fw::FileNameOf(renamed);
    r->extension = (r->kind & kExplorerFile) ? rec::ExtensionPosition(r->name) : -1;
    return true;
}
