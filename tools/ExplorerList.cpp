// The record explorer's right pane: the thumbnail list of the selected folder with its
// preview queue, the preview of a selected file, and the workers' updates.
#include "tools/Explorer.h"

#include "app/ProtocolLog.h"
#include "controls/FocusedControl.h"
#include "framework/App.h"
#include "framework/Gdi.h"
#include "framework/PathParts.h"
#include "tools/ExplorerFiles.h"
#include "tools/ExplorerLogic.h"
#include "tools/FolderPaths.h"

#include <richedit.h>
#include <shellapi.h>

#include <cstring>
#include <set>

namespace rec = vorlan::record;

namespace {

int CALLBACK CompareListRecords(LPARAM first, LPARAM second, LPARAM) {
    auto* a = reinterpret_cast<const ExplorerListItem*>(first);
    auto* b = reinterpret_cast<const ExplorerListItem*>(second);
    if (!a || !b) return a ? 1 : b ? -1 : 0;
    return rec::CompareListEntries(a->folder, a->fileName, b->folder, b->fileName);
}

} // namespace

ExplorerListItem* CExplorer::ListEntry(int index) const {
    return reinterpret_cast<ExplorerListItem*>(m_list.GetItemData(index));
}

void CExplorer::ClearList() {
    m_previewJob.queue.clear();
    if (m_list.m_hWnd) m_list.DeleteAllItems();
}

void CExplorer::OnSelChangedTree(HTREEITEM item) {
    vorlan::TraceFunction("CExplorer::OnSelChangedTree");
    m_preview.Stop();
    const int size = m_bLargeThumbs ? 240 : 120;
    const int mode = m_bLargeThumbs ? 1 : 0;
    if (item && item == m_hLastListed && mode == m_nLastListMode && ::IsWindowVisible(m_list.m_hWnd)) {
        // The same folder again: only what changed on the disk.
        RefreshList();
        AddListEntries(item);
        SortList();
        StartPreviewThread();
        UpdateButtonState();
        return;
    }
    ClearList();
    m_hLastListed = nullptr;
    ListView_SetImageList(m_list.m_hWnd, nullptr, LVSIL_NORMAL);
    if (m_hThumbImages) ImageList_Destroy(m_hThumbImages);
    m_hThumbImages = ImageList_Create(size, size, ILC_COLOR24 | ILC_MASK, 16, 16);
    ListView_SetIconSpacing(m_list.m_hWnd, size + 20, size + 40);
    m_previewJob.thumbnailSize = SIZE{size, size};

    if (!item) {
        ShowPane(nullptr);
        return;
    }
    OnItemexpandingTree(item, 6);
    // A folder gone from the disk takes its item along, and the tree has selected another.
    if (m_tree.GetSelectedItem() != item) return;
    SetCustom(item);
    ShowPane(nullptr);
    if (IsFolderItem(item)) {
        std::string path, name;
        if (!GetFileName(item, path, name)) return;
        m_previewJob.listFolder = path + "\\";
        m_previewJob.thumbsFolder.clear();
        std::string thumbs;
        if (!m_thumbs.empty() && GetFileName(item, thumbs, name, &m_thumbs))
            m_previewJob.thumbsFolder = thumbs + "\\";
        AddListEntries(item);
        m_hLastListed = item;
        m_nLastListMode = mode;
        SortList();
        ListView_SetImageList(m_list.m_hWnd, m_hThumbImages, LVSIL_NORMAL);
        ShowPane(m_list.m_hWnd);
        StartPreviewThread();
        m_tool.EnableButton(kFit, true);
        m_tool.CheckButton(kFit, m_bLargeThumbs);
    } else if (IsFileItem(item)) {
        ShowFilePreview(item);
    }
}

bool CExplorer::RefreshList() {
    m_previewJob.queue.clear();
    for (int i = m_list.GetItemCount() - 1; i >= 0; --i) {
        ExplorerListItem* entry = ListEntry(i);
        DWORD attributes =
            entry ? ::GetFileAttributesA((m_previewJob.listFolder + entry->fileName).c_str()) : 0;
        if (!entry || attributes == INVALID_FILE_ATTRIBUTES || (attributes & kSkippedAttributes)) {
            m_list.DeleteItem(i);
            continue;
        }
    }
    for (int i = 0; i < m_list.GetItemCount(); ++i) {
        ExplorerListItem* entry = ListEntry(i);
        if (entry && !entry->rendered) m_previewJob.queue.push_back(entry);
    }
    return true;
}

void CExplorer::AddListEntries(HTREEITEM folder) {
    std::set<std::string> listed;
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        if (const ExplorerListItem* entry = ListEntry(i)) listed.insert(entry->fileName);
    for (HTREEITEM child = m_tree.GetChildItem(folder); child; child = m_tree.GetNextSiblingItem(child)) {
        const ExplorerItem* r = Record(m_tree, child);
        std::string path, name;
        if (!r || listed.count(r->name) || !GetFileName(child, path, name)) continue;
        auto* entry = new ExplorerListItem;
        entry->folder = IsFolderItem(child);
        entry->treeItem = child;
        lstrcpynA(entry->fileName, r->name.c_str(), MAX_PATH);
        entry->image = AddFileIcon(path);
        CString text = m_tree.GetItemText(child);
        LVITEMA lv{};
        lv.mask = LVIF_TEXT | LVIF_IMAGE | LVIF_PARAM;
        lv.iItem = m_list.GetItemCount();
        lv.pszText = const_cast<char*>(static_cast<const char*>(text));
        lv.iImage = entry->image;
        lv.lParam = reinterpret_cast<LPARAM>(entry);
        int index = static_cast<int>(m_list.SendMessage(LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&lv)));
        if (index < 0) {
            delete entry;
            continue;
        }
        entry->listIndex = index;
        listed.insert(r->name);
        m_previewJob.queue.push_back(entry);
    }
}

int CExplorer::AddFileIcon(const std::string& path) {
    if (!m_hThumbImages) return -1;
    HBITMAP tile =
        FilledBitmap(m_previewJob.thumbnailSize.cx, m_previewJob.thumbnailSize.cy, RGB(255, 255, 255));
    if (!tile) return -1;
    SHFILEINFOA info{};
    if (::SHGetFileInfoA(path.c_str(), 0, &info, sizeof info, SHGFI_ICON | SHGFI_LARGEICON) && info.hIcon) {
        CMemoryDC dc;
        CSelectedObject selected(dc, tile);
        int cx = ::GetSystemMetrics(SM_CXICON), cy = ::GetSystemMetrics(SM_CYICON);
        ::DrawIconEx(dc, (m_previewJob.thumbnailSize.cx - cx) / 2, (m_previewJob.thumbnailSize.cy - cy) / 2,
                     info.hIcon, cx, cy, 0, nullptr, DI_NORMAL);
        ::DestroyIcon(info.hIcon);
    }
    int index = ImageList_Add(m_hThumbImages, tile, nullptr);
    ::DeleteObject(tile);
    return index;
}

void CExplorer::SortList() {
    ListView_SortItems(m_list.m_hWnd, CompareListRecords, 0);
    for (int i = 0; i < m_list.GetItemCount(); ++i)
        if (ExplorerListItem* entry = ListEntry(i)) entry->listIndex = i;
}

void CExplorer::ShowFilePreview(HTREEITEM item) {
    std::string path, name;
    if (!GetFileName(item, path, name)) return;
    if (name.empty()) name = fw::FileNameOf(path);
    if (rec::IsTextPreview(name)) {
        if (m_text.StreamInFile(path, rec::IsRichTextPreview(name))) ShowPane(m_text.m_hWnd);
        return;
    }
    if (m_viewer.LoadImage(path.c_str()) == 1) {
        ShowPane(m_viewer.m_hWnd);
        m_tool.CheckButton(kFit, m_viewer.IsFitToWindow());
    }
}

// ---- the workers' messages

void CExplorer::OnUpdateTree() {
    vorlan::TraceFunction("CExplorer::OnUpdateTree");
    if (!m_tree.m_hWnd) return;
    // A selected item that the refresh deletes moves the selection: that is listed once, below.
    m_bFilling = true;
    RefreshDirectory(m_tree.GetRootItem());
    m_bFilling = false;
    OnSelChangedTree(m_tree.GetSelectedItem());
}

void CExplorer::OnUpdateWindow(WPARAM slot, LPARAM bitmap) {
    vorlan::TraceFunction("CExplorer::OnUpdateWindow");
    if (TakeThumbnail(m_hThumbImages, slot, bitmap)) {
        for (int i = 0; i < m_list.GetItemCount(); ++i) {
            const ExplorerListItem* entry = ListEntry(i);
            if (entry && entry->image == static_cast<int>(slot)) ListView_RedrawItems(m_list.m_hWnd, i, i);
        }
    }
    if (!m_bWriteFailureTold && TakeThumbnailWriteFailure(m_preview)) {
        m_bWriteFailureTold = true;
        AfxMessageBox("Die Vorschaubilder konnten nicht im Zwischenspeicher abgelegt werden.",
                      MB_OK | MB_ICONEXCLAMATION);
    }
}

// ---- list notifications

LRESULT CExplorer::OnListNotify(NMHDR* hdr) {
    switch (hdr->code) {
    case LVN_DELETEALLITEMS: return FALSE; // one LVN_DELETEITEM each, which frees the records
    case LVN_DELETEITEM:
        delete reinterpret_cast<ExplorerListItem*>(reinterpret_cast<NMLISTVIEW*>(hdr)->lParam);
        return 0;
    case LVN_BEGINLABELEDITA:
        return OnListBeginLabelEdit(reinterpret_cast<NMLVDISPINFOA*>(hdr)) ? FALSE : TRUE;
    case LVN_ENDLABELEDITA: return OnListEndLabelEdit(reinterpret_cast<NMLVDISPINFOA*>(hdr)) ? TRUE : FALSE;
    case NM_DBLCLK: {
        int index = m_list.GetNextItem(-1, LVNI_SELECTED);
        const ExplorerListItem* entry = index >= 0 ? ListEntry(index) : nullptr;
        if (!entry || !entry->treeItem) return 0;
        HTREEITEM item = entry->treeItem;
        m_tree.SelectItem(item);
        OnDoubleClick(item);
        return 0;
    }
    case NM_RCLICK: {
        int index = m_list.GetNextItem(-1, LVNI_SELECTED);
        const ExplorerListItem* entry = index >= 0 ? ListEntry(index) : nullptr;
        if (!entry || !entry->treeItem) return TRUE;
        // The menu's commands act on the list's selection.
        ::SetFocus(m_list.m_hWnd);
        POINT screen;
        ::GetCursorPos(&screen);
        ShowContextMenu(entry->treeItem, screen);
        return TRUE;
    }
    case NM_SETFOCUS: FocusedControlKind = kFocusKindExplorer; return 0;
    case NM_KILLFOCUS: FocusedControlKind = kFocusKindNone; return 0;
    default: return 0;
    }
}

bool CExplorer::OnListBeginLabelEdit(const NMLVDISPINFOA* info) const {
    const ExplorerListItem* entry = ListEntry(info->item.iItem);
    return entry && MayRename(entry->treeItem);
}

bool CExplorer::OnListEndLabelEdit(const NMLVDISPINFOA* info) {
    if (!info->item.pszText || !OnListBeginLabelEdit(info)) return false;
    ExplorerListItem* entry = ListEntry(info->item.iItem);
    if (!entry) return false;
    std::string path = vorlan::JoinPath(m_previewJob.listFolder, entry->fileName);
    if (path.empty()) return false;
    std::string renamed = RenameFile(m_hWnd, path, info->item.pszText);
    if (renamed.empty()) return false;
    // The preview thread reads the entries' names.
    m_preview.Stop();
    lstrcpynA(entry->fileName, fw::FileNameOf(renamed).c_str(), MAX_PATH);
    // The tree follows the disk; the list's entry keeps its place.
    if (m_hLastListed) OnItemexpandingTree(m_hLastListed, 5);
    for (HTREEITEM c = m_hLastListed ? m_tree.GetChildItem(m_hLastListed) : nullptr; c;
         c = m_tree.GetNextSiblingItem(c)) {
        const ExplorerItem* r = Record(m_tree, c);
        if (r && r->name == entry->fileName) entry->treeItem = c;
    }
    StartPreviewThread();
    return true;
}
