// The record explorer's menus and commands: the server's entries with the menu of the item's
// kind, what is allowed where, and the commands handed to the file, archive and scan parts.
#include "tools/Explorer.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/Menu.h"
#include "framework/PathParts.h"
#include "resources/resource.h"
#include "tools/ArchivExp.h"
#include "tools/DlgBigImage.h"
#include "tools/ExplorerFiles.h"
#include "tools/ExplorerLogic.h"
#include "tools/FolderPaths.h"

#include <algorithm>

namespace rec = vorlan::record;

namespace {

bool ShiftHeld() {
    return (::GetKeyState(VK_SHIFT) & 0x8000) != 0;
}

// The items of a menu resource's first popup, appended (texts, ids, separators).
void AppendMenuResource(HMENU popup, UINT id) {
    CMenu menu;
    if (!menu.LoadMenu(id)) return;
    HMENU source = ::GetSubMenu(menu, 0);
    if (!source) return;
    for (int i = 0; i < CMenu::ItemCount(source); ++i) {
        if (::GetMenuState(source, static_cast<UINT>(i), MF_BYPOSITION) & MF_SEPARATOR)
            ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        else
            ::AppendMenuA(popup, MF_STRING, ::GetMenuItemID(source, i), CMenu::ItemText(source, i));
    }
}

} // namespace

// ---- menus

HMENU CExplorer::BuildContextMenu(HTREEITEM item, char source) {
    vorlan::TraceFunction("CExplorer::BuildContextMenu");
    UINT resource = 0;
    if (source == 'F') {
        const ExplorerItem* r = Record(m_tree, item);
        if (!r) return nullptr;
        if (IsFileItem(item))
            resource = kFileMenu;
        else if (r->kind & kExplorerLevel2)
            resource = kServerFolderMenu;
        else if (r->kind & kExplorerFolder)
            resource = kDiskFolderMenu;
        else
            return nullptr; // the root and level-1 entries have no folder
    }
    HMENU popup = ::CreatePopupMenu();
    if (!popup) return nullptr;
    int added = 0;
    for (int n = 1; n <= rec::kMenuEntries; ++n) {
        rec::MenuItemReply reply = rec::ParseMenuItem(Execute(rec::MenuEntryLine(source, n)));
        if (reply.kind == rec::MenuItemReply::Entry)
            ::AppendMenuA(popup, MF_STRING, rec::kFirstMenuCommand - 1 + static_cast<unsigned>(n),
                          reply.text.c_str());
        else if (reply.kind == rec::MenuItemReply::Separator)
            ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
        if (reply.kind != rec::MenuItemReply::None) ++added;
    }
    if (source != 'F') return popup;
    if (added) ::AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuResource(popup, resource);
    if (!InitTwain(m_hWnd)) ::EnableMenuItem(popup, kScan, MF_BYCOMMAND | MF_GRAYED);
    for (UINT id : {kCopy, kCut, kPaste, kDelete, kRename, kPasteClipboard})
        if (!OnIsCommandEnabled(id)) ::EnableMenuItem(popup, id, MF_BYCOMMAND | MF_GRAYED);
    return popup;
}

void CExplorer::ShowContextMenu(HTREEITEM item, POINT screen) {
    HMENU popup = BuildContextMenu(item, 'F');
    if (!popup) return;
    m_cMenuSource = 'F';
    CMenu menu;
    menu.Attach(popup);
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_RIGHTBUTTON, screen.x, screen.y, m_hWnd);
}

void CExplorer::ShowServerDropDown() {
    HMENU popup = BuildContextMenu(nullptr, 'X');
    if (!popup) return;
    m_cMenuSource = 'X';
    RECT button{};
    m_tool.SendMessage(TB_GETRECT, kServerMenu, reinterpret_cast<LPARAM>(&button));
    ::MapWindowPoints(m_tool.m_hWnd, nullptr, reinterpret_cast<POINT*>(&button), 2);
    m_tool.SendMessage(TB_PRESSBUTTON, kServerMenu, MAKELPARAM(TRUE, 0));
    CMenu menu;
    menu.Attach(popup);
    menu.TrackPopupMenu(TPM_LEFTALIGN | TPM_TOPALIGN, button.left, button.bottom, m_hWnd, &button);
    m_tool.SendMessage(TB_PRESSBUTTON, kServerMenu, MAKELPARAM(FALSE, 0));
}

void CExplorer::OnServerMenuEntry(int n) {
    CallDialog(Execute(rec::MenuEntryLine(m_cMenuSource, n)));
}

void CExplorer::CallDialog(const std::string& reply) {
    vorlan::TraceFunction("CExplorer::CallDialog");
    rec::MenuReply r = rec::ParseMenuReply(reply);
    Execute(rec::SetRetLine(r.value));
    if (r.kind == "0") {
        CWinApp* app = AfxGetApp();
        if (app && app->m_pMainWnd)
            app->m_pMainWnd->SendMessage(WM_STARTMEMO, reinterpret_cast<WPARAM>(r.name.c_str()));
    } else if (r.kind == "1") {
        HWND self = m_hWnd;
        if (m_subDialog) m_subDialog(r.name.c_str());
        if (::IsWindow(self)) ::SetFocus(self);
    }
}

void CExplorer::SetCustom(HTREEITEM item) {
    vorlan::TraceFunction("CExplorer::SetCustom");
    for (HTREEITEM at = item; at; at = m_tree.GetParentItem(at)) {
        const ExplorerItem* r = Record(m_tree, at);
        if (r && !r->text.empty()) {
            Execute(rec::SetExplorerLine(r->text));
            return;
        }
    }
}

bool CExplorer::OnIsCommandEnabled(UINT id) const {
    if (id == kPasteClipboard) return CanPasteClipboard();
    // Files are pasted into the tree's folder; the other commands act on what is selected,
    // which in the list may be documents with rules of their own.
    std::vector<HTREEITEM> items =
        id == kPaste ? std::vector<HTREEITEM>{m_tree.GetSelectedItem()} : SelectedItems();
    return !items.empty() &&
           std::all_of(items.begin(), items.end(), [&](HTREEITEM item) { return ItemAllows(item, id); });
}

bool CExplorer::ItemAllows(HTREEITEM item, UINT id) const {
    if (!item) return false;
    std::vector<int> permissions;
    for (HTREEITEM at = item; at; at = m_tree.GetParentItem(at))
        if (const ExplorerItem* r = Record(m_tree, at)) permissions.push_back(r->permissions);
    return rec::CommandAllowed(id, permissions, m_tree.GetParentItem(item) == nullptr,
                               CExplorerFiles::StoredCommand());
}

bool CExplorer::MayRename(HTREEITEM item) const {
    const ExplorerItem* r = Record(m_tree, item);
    return r && (r->kind & (kExplorerFolder | kExplorerFile)) &&
           !(r->kind & (kExplorerServer | kExplorerDocument)) && ItemAllows(item, kRename);
}

bool CExplorer::SelectionInList() const {
    return ::GetFocus() != m_tree.m_hWnd && ::IsWindowVisible(m_list.m_hWnd);
}

std::vector<HTREEITEM> CExplorer::SelectedItems() const {
    std::vector<HTREEITEM> items;
    if (!SelectionInList()) {
        if (HTREEITEM item = m_tree.GetSelectedItem()) items.push_back(item);
        return items;
    }
    for (int i = m_list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = m_list.GetNextItem(i, LVNI_SELECTED)) {
        const ExplorerListItem* entry = ListEntry(i);
        items.push_back(entry ? entry->treeItem : nullptr);
    }
    return items;
}

// ---- commands

bool CExplorer::OnCommand(UINT id) {
    vorlan::TraceFunction("CExplorer::OnCommand");
    if (id >= rec::kFirstMenuCommand && id < rec::kFirstMenuCommand + rec::kMenuEntries) {
        OnServerMenuEntry(static_cast<int>(id - rec::kFirstMenuCommand + 1));
        return true;
    }
    if (m_bHiddenScan) return false;
    switch (id) {
    case kDelete: OnDeleteFiles(); return true;
    case kRename: OnRenameCommand(); return true;
    case kArchive: OnArchive(); return true;
    case kImport: OnImport(); return true;
    case kNewFolder:
    case kNewText:
    case kNewWord: OnNewEntry(id); return true;
    case kScan: OnStartScan(false); return true;
    case kBarcodeScan: OnStartScan(true); return true;
    case kPasteClipboard: OnPasteClipboard(); return true;
    case kCopy:
    case kCut: OnCopyCut(id); return true;
    case kPaste: OnPasteFiles(); return true;
    case kSwap: OnSwap(); return true;
    case kServerMenu: ShowServerDropDown(); return true;
    case kStretch: OnStretch(); return true;
    case kFit: OnFit(); return true;
    default: return false;
    }
}

HTREEITEM CExplorer::TargetFolder(std::string& path) const {
    HTREEITEM item = m_tree.GetSelectedItem();
    if (item && IsFileItem(item)) item = m_tree.GetParentItem(item);
    if (!item || !IsFolderItem(item)) return nullptr;
    std::string name;
    if (!GetFileName(item, path, name)) {
        TellPathTooLong();
        return nullptr;
    }
    return item;
}

void CExplorer::RefreshAndExpand(HTREEITEM folder) {
    OnItemexpandingTree(folder, 5);
    m_tree.Expand(folder, TVE_EXPAND);
    OnSelChangedTree(m_tree.GetSelectedItem());
}

void CExplorer::OnNewEntry(UINT command) {
    std::string folder;
    HTREEITEM target = TargetFolder(folder);
    if (!target) return;
    std::string made = CreateNewEntry(m_hWnd, folder, command);
    if (made.empty()) return;
    OnItemexpandingTree(target, 5);
    m_tree.Expand(target, TVE_EXPAND);
    HTREEITEM item = FindChild(target, fw::FileNameOf(made));
    if (!item) return;
    m_tree.SelectItem(item);
    ::SetFocus(m_tree.m_hWnd);
    TreeView_EditLabel(m_tree.m_hWnd, item);
}

void CExplorer::OnImport() {
    std::string folder;
    HTREEITEM target = TargetFolder(folder);
    if (target && ImportFiles(m_hWnd, folder)) RefreshAndExpand(target);
}

void CExplorer::OnPasteClipboard() {
    std::string folder;
    HTREEITEM target = TargetFolder(folder);
    if (target && !PasteClipboardAsFile(m_hWnd, folder).empty()) RefreshAndExpand(target);
}

void CExplorer::OnCopyCut(UINT command) {
    if (!OnIsCommandEnabled(command)) return;
    std::string block = GetFileNamesFromSelection();
    if (!block.empty()) CExplorerFiles::Store(m_hWnd, block, static_cast<int>(command));
}

void CExplorer::OnPasteFiles() {
    HTREEITEM item = m_tree.GetSelectedItem();
    if (!item || !IsFolderItem(item) || !OnIsCommandEnabled(kPaste)) return;
    std::string folder, name;
    if (!GetFileName(item, folder, name) || folder.size() >= 259) {
        TellPathTooLong();
        return;
    }
    if (!CExplorerFiles::PasteStored(m_hWnd, folder)) return;
    if (ExplorerItem* r = Record(m_tree, item)) r->pending |= kExplorerPendingExpand;
    HTREEITEM parent = m_tree.GetParentItem(item);
    if (parent) OnItemexpandingTree(parent, 5);
    RefreshAndExpand(item);
}

void CExplorer::OnDeleteFiles() {
    if (!OnIsCommandEnabled(kDelete)) return;
    std::string block = GetFileNamesFromSelection();
    if (block.empty()) return;
    if (RecycleFiles(m_hWnd, block, !ShiftHeld())) OnUpdateTree();
}

void CExplorer::OnRenameCommand() {
    if (!OnIsCommandEnabled(kRename)) return;
    int index = m_list.GetNextItem(-1, LVNI_SELECTED);
    if (index >= 0 && ::IsWindowVisible(m_list.m_hWnd)) {
        ::SetFocus(m_list.m_hWnd);
        ListView_EditLabel(m_list.m_hWnd, index);
        return;
    }
    if (HTREEITEM item = m_tree.GetSelectedItem()) {
        ::SetFocus(m_tree.m_hWnd);
        TreeView_EditLabel(m_tree.m_hWnd, item);
    }
}

void CExplorer::OnArchive() {
    vorlan::TraceFunction("CExplorer::OnArchive");
    CArchivExp dialog(
        m_tree.m_hWnd,
        [this](HTREEITEM item, std::string& path, std::string& name) {
            return GetFileName(item, path, name);
        },
        this);
    dialog.DoModal();
}

void CExplorer::OnStartScan(bool barcode) {
    if (barcode && !InitTwain(m_hWnd)) return;
    if (!IsValidDriver()) return;
    m_bBarcode = barcode;
    SelectSource();
    Acquire(-1);
}

void CExplorer::OnSwap() {
    m_bSorted = !m_bSorted;
    m_tool.CheckButton(kSwap, m_bSorted);
    BeginEdit();
}

void CExplorer::OnStretch() {
    m_viewer.SetStretch(!m_viewer.IsStretch());
    m_tool.CheckButton(kStretch, m_viewer.IsStretch());
}

void CExplorer::OnFit() {
    if (::IsWindowVisible(m_viewer.m_hWnd)) {
        m_viewer.SetFitToWindow(!m_viewer.IsFitToWindow());
        m_tool.CheckButton(kFit, m_viewer.IsFitToWindow());
        return;
    }
    m_bLargeThumbs = !m_bLargeThumbs;
    m_tool.CheckButton(kFit, m_bLargeThumbs);
    OnSelChangedTree(m_tree.GetSelectedItem());
}

void CExplorer::OnDoubleClick(HTREEITEM item) {
    if (!item || !IsFileItem(item)) return;
    std::string path, name;
    if (!GetFileName(item, path, name)) {
        TellPathTooLong();
        return;
    }
    CDlgBigImage dialog(this);
    dialog.m_strPath = path;
    if (dialog.DoModal() == CDlgBigImage::kNotShown) OpenWithShell(m_hWnd, path);
}

std::string CExplorer::GetFileNamesFromSelection() const {
    vorlan::TraceFunction("CExplorer::GetFileNamesFromSelection");
    std::string block;
    if (!SelectionInList()) {
        std::string path, name;
        HTREEITEM item = m_tree.GetSelectedItem();
        if (item && GetFileName(item, path, name)) AppendToFileBlock(block, path);
        return block;
    }
    for (int i = m_list.GetNextItem(-1, LVNI_SELECTED); i >= 0; i = m_list.GetNextItem(i, LVNI_SELECTED)) {
        const ExplorerListItem* entry = ListEntry(i);
        if (!entry) continue;
        std::string path = vorlan::JoinPath(m_previewJob.listFolder, entry->fileName);
        if (!path.empty()) AppendToFileBlock(block, path);
    }
    return block;
}
