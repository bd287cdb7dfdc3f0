#pragma once
// The record explorer: a form's child window ("ExplorerArea") that shows the document folder
// of one case. On the left a tree mixes the server's entries with the folders and files on
// the share; on the right a thumbnail list of the selected folder, or a preview of the
// selected file (picture viewer or text); a toolbar on top. The preview and watch workers
// post back to it; scanned pages arrive through its TWAIN part.
//
// Created without WS_VISIBLE it is only a scanner for a picture field: it creates no panes
// and writes each page to the path its target window's text names.

#include "framework/Controls.h"
#include "framework/RichEdit.h"
#include "framework/SizableReBar.h"
#include "framework/TreeCtrl.h"
#include "tools/ExplorerItems.h"
#include "tools/ExplorerThreads.h"
#include "tools/ImageViewer.h"
#include "tools/PaneDivider.h"
#include "tools/Twain.h"

#include <functional>
#include <string>
#include <vector>

class CExplorerTool : public CToolBarCtrl {
  public:
    enum : UINT { kSwap = 65020, kBarcodeScan = 33046, kServerMenu = 65021, kStretch = 65033, kFit = 65034 };
    // Flat, transparent, with tooltips and the buttons' texts; images 555-557 through the
    // application object.
    ~CExplorerTool() override;
    bool Create(HWND parent, UINT id);
    // Where the drop-down button's press goes (as WM_COMMAND kServerMenu).
    void SetOwner(HWND owner) { m_hOwner = owner; }

  protected:
    LRESULT OnDropDown(const NMTOOLBARA* info) override;

  private:
    HWND m_hOwner = nullptr;
    HIMAGELIST m_hImages[3] = {}; // normal, hot, disabled; the toolbar only shows them
};

class CExplorer : public CWnd, public CTwain {
  public:
    enum : UINT { kTreeId = 1, kListId = 2, kViewerId = 3, kTextId = 4, kToolId = 5 };
    // The commands of the window.
    enum : UINT {
        kDelete = 156,
        kRename = 157,
        kArchive = 33014,
        kImport = 33034,
        kNewFolder = 33039,
        kNewText = 33040,
        kNewWord = 33041,
        kScan = 33045,
        kBarcodeScan = 33046,
        kPasteClipboard = 33062,
        kCopy = 57634,
        kCut = 57635,
        kPaste = 57637,
        kSwap = 65020,
        kServerMenu = 65021,
        kStretch = 65033,
        kFit = 65034,
    };
    // Menus of the language library: a file, a server folder, a disk folder.
    enum : UINT { kFileMenu = 258, kServerFolderMenu = 614, kDiskFolderMenu = 631 };

    // Opens a form's sub-dialog by name; the form sets it (the explorer knows no forms).
    using SubDialogCall = std::function<int(const char* name)>;
    // Hands a file to its associated program; replaced by tests (null: the shell again).
    using ShellOpener = bool (*)(HWND owner, const std::string& path);

    // targetWindow: the picture field a hidden scanner writes into; null when embedded.
    explicit CExplorer(HWND targetWindow = nullptr);
    ~CExplorer() override;

    // Class "ExplorerArea"; without WS_VISIBLE the hidden scanner.
    bool Create(HWND parent, const RECT& rect, UINT id, DWORD style);

    // (Re)fills the tree from the server.
    void BeginEdit();
    // The full path and (for a file) the name of a tree item; replacementSource stands for the
    // record folder (the thumbnail cache's). False above level 2 and for a path of 260
    // characters or more.
    bool GetFileName(HTREEITEM item, std::string& path, std::string& name,
                     const std::string* replacementSource = nullptr) const;
    // The selected list entries' paths, or the selected tree item's when the tree has the
    // focus, as a block of NUL-ended paths ending in an empty one; empty when none.
    std::string GetFileNamesFromSelection() const;
    // %EXPLORER = the server text of the item or its nearest ancestor with one.
    void SetCustom(HTREEITEM item);
    // A chosen server menu entry's reply: kind, name and value.
    void CallDialog(const std::string& reply);
    bool OnIsCommandEnabled(UINT id) const;
    // The popup of a tree item: the server's entries of source 'F' or 'X', then (for 'F') the
    // menu of the item's kind. Null when the item has none. The caller destroys it.
    HMENU BuildContextMenu(HTREEITEM item, char source);

    void StartPreviewThread();
    void StartUpdateThread();

    void SetSubDialogCall(SubDialogCall call) { m_subDialog = std::move(call); }
    static void SetShellOpener(ShellOpener opener);
    static bool OpenWithShell(HWND owner, const std::string& path);

    // The TWAIN part: pages are always taken; a close request is followed.
    int ShouldTransfer(const TW_IMAGEINFO&) override { return 0; }
    bool ShouldContinue() override { return true; }
    void OnScanImage(HANDLE dib, const TW_IMAGEINFO& info) override;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    bool PreTranslateMessage(MSG* msg) override;

    CTreeCtrl& Tree() { return m_tree; }
    CListCtrl& List() { return m_list; }
    CImageViewer& Viewer() { return m_viewer; }
    CRichEditCtrl& TextPreview() { return m_text; }
    CExplorerTool& Tool() { return m_tool; }
    const std::string& SourceFolder() const { return m_source; }
    const std::string& ThumbsBase() const { return m_thumbs; }
    bool IsSwapped() const { return m_bSorted; }
    bool IsHiddenScan() const { return m_bHiddenScan; }
    HWND TargetWindow() const { return m_hTarget; }
    static ExplorerItem* Record(const CTreeCtrl& tree, HTREEITEM item);

  protected:
    void PostNcDestroy() override;

  private:
    // ---- window (Explorer.cpp)
    int OnCreate(const CREATESTRUCTA* cs);
    void OnDestroy();
    void OnSize();
    void OnSetFocus();
    LRESULT OnNotify(NMHDR* hdr);
    bool OnCommand(UINT id);
    void LayoutPanes();
    void UpdateButtonState();
    void ShowPane(HWND pane);
    // A key that ends the label edit of the tree or the list.
    bool IsLabelEditEnd(const MSG& msg) const;
    std::string Execute(const std::string& line) const;
    void TellPathTooLong() const;
    // A screen-compatible bitmap filled with the colour; the caller deletes it.
    static HBITMAP FilledBitmap(int cx, int cy, COLORREF colour);

    // ---- tree (ExplorerTree.cpp)
    HTREEITEM InsertServerItem(HTREEITEM parent, int kind, const std::string& key, const std::string& value,
                               bool onTop);
    HTREEITEM InsertFileItem(HTREEITEM parent, const std::string& name, bool folder, const std::string& path);
    bool FillLevel2(HTREEITEM level1, bool swapped);
    // The expansion logic: 2 expand, 4 probe, 5 refresh, 6 expand unless running.
    bool OnItemexpandingTree(HTREEITEM item, int action);
    bool Probe(HTREEITEM item);
    void SortTreeChildren(HTREEITEM item);
    void RefreshDirectory(HTREEITEM item);
    void MarkBold(HTREEITEM item);
    LRESULT OnTreeNotify(NMHDR* hdr);
    void OnGetDispInfo(NMTVDISPINFOA* info);
    bool OnBeginLabelEdit(const NMTVDISPINFOA* info);
    bool OnEndLabelEdit(const NMTVDISPINFOA* info);
    bool IsFolderItem(HTREEITEM item) const;
    bool IsFileItem(HTREEITEM item) const;
    HTREEITEM FindChild(HTREEITEM parent, const std::string& name) const;
    void BuildStateImages();

    // ---- list and previews (ExplorerList.cpp)
    void OnSelChangedTree(HTREEITEM item);
    bool RefreshList();
    void AddListEntries(HTREEITEM folder);
    int AddFileIcon(const std::string& path);
    void SortList();
    void ShowFilePreview(HTREEITEM item);
    void OnUpdateTree();
    void OnUpdateWindow(WPARAM slot, LPARAM bitmap);
    LRESULT OnListNotify(NMHDR* hdr);
    bool OnListBeginLabelEdit(const NMLVDISPINFOA* info) const;
    bool OnListEndLabelEdit(const NMLVDISPINFOA* info);
    void ClearList();
    ExplorerListItem* ListEntry(int index) const;

    // ---- menus and commands (ExplorerCommands.cpp)
    void ShowContextMenu(HTREEITEM item, POINT screen);
    void ShowServerDropDown();
    void OnServerMenuEntry(int n);
    void OnDoubleClick(HTREEITEM item);
    void OnNewEntry(UINT command);
    void OnImport();
    void OnPasteClipboard();
    void OnCopyCut(UINT command);
    void OnPasteFiles();
    void OnDeleteFiles();
    void OnRenameCommand();
    void OnArchive();
    void OnStartScan(bool barcode);
    void OnSwap();
    void OnStretch();
    void OnFit();
    // The folder item a command works in: the selected folder, or the folder of the selected
    // file. Null when there is none.
    HTREEITEM TargetFolder(std::string& path) const;
    // Whether the commands of the selection act on the list's selected entries rather than on
    // the tree's selected item.
    bool SelectionInList() const;
    // The tree items of what the commands of the selection act on; null for a list entry
    // whose item is gone.
    std::vector<HTREEITEM> SelectedItems() const;
    // Whether the item and all its ancestors allow the command.
    bool ItemAllows(HTREEITEM item, UINT id) const;
    // Only entries of the disk take a new name (the server finds its own by theirs), and only
    // where the item and its ancestors allow renaming.
    bool MayRename(HTREEITEM item) const;
    void RefreshAndExpand(HTREEITEM folder);

    HWND m_hTarget;
    CSizableReBarTool m_band;
    CExplorerTool m_tool;
    CTreeCtrl m_tree;
    CListCtrl m_list;
    CImageViewer m_viewer;
    CRichEditCtrl m_text;
    HFONT m_hTextFont = nullptr;

    ExplorerThreadBlock m_preview;
    ExplorerThreadBlock m_watch;
    // The listed folder, its thumbnail folder, the thumbnail size and the preview queue: what
    // the preview thread is handed.
    ExplorerPreviewJob m_previewJob;
    bool m_bWriteFailureTold = false;

    std::string m_source;
    std::string m_thumbs;
    HIMAGELIST m_hStateImages = nullptr;
    HIMAGELIST m_hThumbImages = nullptr;
    HIMAGELIST m_hSystemImages = nullptr; // the system's, never destroyed
    int m_nFolderImage = 0;
    int m_nFolderOpenImage = 0;
    CPaneDivider m_divider;
    bool m_bLargeThumbs = false;
    int m_nLastListMode = -1;
    HTREEITEM m_hLastListed = nullptr;
    bool m_bSorted = false;
    char m_cMenuSource = 'F';
    bool m_bBarcode = false;
    bool m_bHiddenScan = false;
    bool m_bExpanding = false;
    bool m_bFilling = false;
    bool m_bItemDeleted = false; // the refresh of an item deleted the item itself
    SubDialogCall m_subDialog;
};
