#include "tools/ArchivExp.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/PathParts.h"
#include "framework/StatusDialog.h"
#include "resources/PrintIds.h"
#include "resources/ToolsIds.h"
#include "tools/ArchivExpLogic.h"
#include "tools/ExplorerItems.h"
#include "tools/FileDropTarget.h"
#include "tools/FolderPaths.h"
#include "tools/FolderDialog.h"

#include <deque>
#include <utility>
#include <vector>

namespace {

// What the dialog takes over of an explorer item.
struct ExplorerEntry {
    std::string text;
    int image = 0;
    int selectedImage = 0;
    LPARAM data = 0;
};

// Text and images the explorer gives on demand are asked of it as its tree would ask.
void AskExplorer(HWND tree, HTREEITEM item, TVITEMA& asked, char* text, int size) {
    UINT mask = 0;
    if (asked.pszText == LPSTR_TEXTCALLBACKA) mask |= TVIF_TEXT;
    if (asked.iImage == I_IMAGECALLBACK) mask |= TVIF_IMAGE;
    if (asked.iSelectedImage == I_IMAGECALLBACK) mask |= TVIF_SELECTEDIMAGE;
    if (!mask) return;
    NMTVDISPINFOA info{};
    info.hdr.hwndFrom = tree;
    info.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(tree));
    info.hdr.code = TVN_GETDISPINFOA;
    info.item.mask = mask;
    info.item.hItem = item;
    info.item.lParam = asked.lParam;
    info.item.pszText = text;
    info.item.cchTextMax = size;
    text[0] = 0;
    ::SendMessageA(::GetParent(tree), WM_NOTIFY, info.hdr.idFrom, reinterpret_cast<LPARAM>(&info));
    if (mask & TVIF_TEXT) asked.pszText = info.item.pszText ? info.item.pszText : text;
    if (mask & TVIF_IMAGE) asked.iImage = info.item.iImage;
    if (mask & TVIF_SELECTEDIMAGE) asked.iSelectedImage = info.item.iSelectedImage;
}

ExplorerEntry ReadExplorerItem(HWND tree, HTREEITEM item) {
    char text[MAX_PATH] = {};
    TVITEMA asked{};
    asked.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM;
    asked.hItem = item;
    asked.pszText = text;
    asked.cchTextMax = MAX_PATH;
    ExplorerEntry entry;
    if (!TreeView_GetItem(tree, &asked)) return entry;
    char given[MAX_PATH] = {};
    AskExplorer(tree, item, asked, given, MAX_PATH);
    entry.text = asked.pszText && asked.pszText != LPSTR_TEXTCALLBACKA ? asked.pszText : "";
    entry.image = asked.iImage;
    entry.selectedImage = asked.iSelectedImage;
    entry.data = asked.lParam;
    return entry;
}

// A file on disk or a server document: what can be ticked and copied.
bool IsDocument(LPARAM data) {
    const auto* record = reinterpret_cast<const ExplorerItem*>(data);
    if (!record) return false;
    return (record->kind & kExplorerFile) != 0 ||
           (record->kind & kExplorerKindDocument) == kExplorerKindDocument;
}

bool FolderThere(const std::string& folder) {
    DWORD attributes = ::GetFileAttributesA(folder.c_str());
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

CArchivExp::CArchivExp(HWND explorerTree, FileNameFunction fileName, CWnd* parent)
    : CDialog(IDD_ARCHIV_EXPORT, parent), m_hExplorerTree(explorerTree), m_fileName(std::move(fileName)) {}

CArchivExp::~CArchivExp() {
    m_pProgress.reset();
    if (m_hWnd) DestroyWindow();
    if (m_hStateImages) ImageList_Destroy(m_hStateImages);
}

bool CArchivExp::OnInitDialog() {
    vorlan::TraceFunction("CArchivExp::OnInitDialog");
    m_hTree = GetDlgItem(IDC_ARCHIV_TREE);
    if (!m_hStateImages) m_hStateImages = AfxLoadImageList(kTickBitmap);
    if (m_hStateImages) TreeView_SetImageList(m_hTree, m_hStateImages, TVSIL_STATE);
    // The explorer's tree keeps the list; a tree view never frees its lists.
    TreeView_SetImageList(m_hTree, TreeView_GetImageList(m_hExplorerTree, TVSIL_NORMAL), TVSIL_NORMAL);
    if (m_hExplorerTree) SetContent(TreeView_GetRoot(m_hExplorerTree), nullptr);
    return true;
}

void CArchivExp::SetContent(HTREEITEM explorerItem, HTREEITEM dialogParent) {
    vorlan::TraceFunction("CArchivExp::SetContent");
    for (HTREEITEM item = explorerItem; item; item = TreeView_GetNextSibling(m_hExplorerTree, item)) {
        ExplorerEntry entry = ReadExplorerItem(m_hExplorerTree, item);
        bool document = IsDocument(entry.data);
        HTREEITEM child = nullptr;
        if (!document) {
            // The explorer fills a folder when it expands.
            TreeView_Expand(m_hExplorerTree, item, TVE_EXPAND);
            child = TreeView_GetChild(m_hExplorerTree, item);
            if (!child) continue; // an empty folder has nothing to export
            if (entry.image == 1) entry.image = 0;
            if (entry.selectedImage == 1) entry.selectedImage = 0;
        }
        TVINSERTSTRUCTA insert{};
        insert.hParent = dialogParent ? dialogParent : TVI_ROOT;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_IMAGE | TVIF_SELECTEDIMAGE | TVIF_PARAM | TVIF_STATE;
        insert.item.pszText = const_cast<char*>(entry.text.c_str());
        insert.item.iImage = entry.image;
        insert.item.iSelectedImage = entry.selectedImage;
        insert.item.lParam = document ? reinterpret_cast<LPARAM>(item) : 0;
        insert.item.state = document ? INDEXTOSTATEIMAGEMASK(kUnticked) : 0;
        insert.item.stateMask = TVIS_STATEIMAGEMASK;
        HTREEITEM added = TreeView_InsertItem(m_hTree, &insert);
        if (!added || document) continue;
        SetContent(child, added);
        if (!TreeView_GetChild(m_hTree, added))
            TreeView_DeleteItem(m_hTree, added); // only empty folders below it
        else
            TreeView_Expand(m_hTree, added, TVE_EXPAND);
    }
}

UINT CArchivExp::TickOf(HTREEITEM item) const {
    return (TreeView_GetItemState(m_hTree, item, TVIS_STATEIMAGEMASK) & TVIS_STATEIMAGEMASK) >> 12;
}

void CArchivExp::ToggleState(HTREEITEM item) {
    UINT tick = item ? TickOf(item) : 0;
    if (tick != kUnticked && tick != kTicked) return;
    UINT flipped = tick == kTicked ? kUnticked : kTicked;
    TreeView_SetItemState(m_hTree, item, INDEXTOSTATEIMAGEMASK(flipped), TVIS_STATEIMAGEMASK);
}

LRESULT CArchivExp::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_NOTIFY: return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    default: return CDialog::WindowProc(msg, wParam, lParam);
    }
}

LRESULT CArchivExp::OnNotify(NMHDR* header) {
    if (!header || header->hwndFrom != m_hTree) return 0;
    switch (header->code) {
    case NM_CLICK: OnClick(false); return 0;
    case NM_DBLCLK: OnClick(true); return 0;
    default: return 0;
    }
}

void CArchivExp::OnClick(bool doubleClick) {
    DWORD pos = ::GetMessagePos();
    TVHITTESTINFO hit{};
    hit.pt.x = static_cast<short>(LOWORD(pos));
    hit.pt.y = static_cast<short>(HIWORD(pos));
    ::ScreenToClient(m_hTree, &hit.pt);
    HTREEITEM item = TreeView_HitTest(m_hTree, &hit);
    if (!item) return;
    // A double click on the tick icon follows its first click, which toggled already.
    bool onTick = (hit.flags & TVHT_ONITEMSTATEICON) != 0;
    if (onTick != doubleClick) ToggleState(item);
}

void CArchivExp::OnOK() {
    vorlan::TraceFunction("CArchivExp::OnOK");
    CFolderDialog chooser("A:\\", 0, m_hWnd, IDS_ARCHIV_TARGET);
    if (chooser.DoModal() != 1 || chooser.GetFolderPath().IsEmpty()) return;
    m_nFailed = 0;
    m_strRoot = fw::WithTrailingBackslash(chooser.GetFolderPath().str());
    Copy(vorlan::kArchiveLauncher);
    Copy(vorlan::kArchiveAutorun);
    m_strRoot += vorlan::kArchiveDocuments;
    {
        CWaitCursor wait;
        m_pProgress = std::make_unique<CStatusDialog>(IDD_PRINT_STATUS, m_hWnd);
        ShowProgress("Vorbereitung");
        SaveContent(TreeView_GetRoot(m_hTree));
        m_pProgress.reset();
    }
    // A medium that lacks files must not pass for a complete archive.
    if (m_nFailed > 0) {
        CString text;
        text.Format("%d Datei(en) konnten nicht in das Archiv kopiert werden.\nDas Archiv ist unvollständig.",
                    m_nFailed);
        AfxMessageBox(text, MB_OK | MB_ICONEXCLAMATION);
    }
    EndDialog(IDOK);
}

void CArchivExp::Copy(const char* name) {
    vorlan::TraceFunction("CArchivExp::Copy");
    std::string source = vorlan::JoinPath(fw::FolderOf(fw::ProgramPath()), name);
    std::string target = vorlan::JoinPath(m_strRoot, name);
    bool copied = !source.empty() && !target.empty() && ::CopyFileA(source.c_str(), target.c_str(), FALSE);
    if (!copied) ++m_nFailed;
}

void CArchivExp::SaveContent(HTREEITEM item) {
    vorlan::TraceFunction("CArchivExp::SaveContent");
    std::string folder;
    bool folderTried = false, folderMade = false;
    for (; item; item = TreeView_GetNextSibling(m_hTree, item)) {
        if (HTREEITEM child = TreeView_GetChild(m_hTree, item)) {
            SaveContent(child);
            continue;
        }
        if (TickOf(item) != kTicked) continue;
        if (!folderTried) {
            folderTried = true;
            folderMade = DestinationFolder(reinterpret_cast<HTREEITEM>(ItemData(item)), folder);
        }
        CopyDocument(item, folder, folderMade);
    }
}

LPARAM CArchivExp::ItemData(HTREEITEM item) const {
    TVITEMA asked{};
    asked.mask = TVIF_PARAM;
    asked.hItem = item;
    return TreeView_GetItem(m_hTree, &asked) ? asked.lParam : 0;
}

void CArchivExp::CopyDocument(HTREEITEM item, const std::string& folder, bool folderMade) {
    auto explorerItem = reinterpret_cast<HTREEITEM>(ItemData(item));
    std::string source, name, target;
    if (!explorerItem || !m_fileName || !m_fileName(explorerItem, source, name)) {
        ++m_nFailed;
        return;
    }
    if (m_pProgress) m_pProgress->SetText(IDC_PRINT_STATUS_TEXT, "Kopieren...");
    ShowProgress(name.c_str());
    if (folderMade && vorlan::PathFits(source) && vorlan::IsPlainName(name)) target = vorlan::JoinPath(folder, name);
    bool copied = !target.empty() && ::CopyFileA(source.c_str(), target.c_str(), FALSE);
    if (!copied) ++m_nFailed;
}

bool CArchivExp::DestinationFolder(HTREEITEM explorerItem, std::string& folder) const {
    std::deque<std::string> chain;
    for (HTREEITEM up = explorerItem ? TreeView_GetParent(m_hExplorerTree, explorerItem) : nullptr;
         up && TreeView_GetParent(m_hExplorerTree, up); up = TreeView_GetParent(m_hExplorerTree, up))
        chain.push_front(ReadExplorerItem(m_hExplorerTree, up).text);
    std::vector<std::string> levels(chain.begin(), chain.end());
    if (!vorlan::ArchiveFolder(m_strRoot, levels, folder)) return false;
    return CFileDropTarget::MakeDirectory(folder.c_str()) != 0 || FolderThere(folder);
}

void CArchivExp::ShowProgress(const char* what) {
    if (!m_pProgress) return;
    CString line;
    line.FormatId(IDS_ARCHIV_STATUS, what);
    m_pProgress->SetText(IDC_PRINT_STATUS_TEXT, line.IsEmpty() ? what : line.c_str());
}
