#pragma once
// The archive export of the record explorer: a copy of the explorer's tree with tick boxes;
// the ticked documents go to a chosen folder under "Archiv\", beside a launcher and its
// autorun file, so that the medium opens itself.

#include "framework/Dialog.h"

#include <commctrl.h>

#include <functional>
#include <memory>
#include <string>

class CStatusDialog;

class CArchivExp : public CDialog {
  public:
    // The full path and the name of an explorer tree item's file; false when it has none.
    using FileNameFunction = std::function<bool(HTREEITEM item, std::string& path, std::string& name)>;

    // The application's state images, whose slots 1 and 2 are the empty and the ticked box.
    static constexpr UINT kTickBitmap = 307;
    // Tick states of a document item (state image indexes).
    static constexpr UINT kUnticked = 1;
    static constexpr UINT kTicked = 2;

    CArchivExp(HWND explorerTree, FileNameFunction fileName, CWnd* parent = nullptr);
    ~CArchivExp() override;

    bool OnInitDialog() override;
    void OnOK() override;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

    // Copies the explorer's siblings from explorerItem on under dialogParent (null: top level).
    void SetContent(HTREEITEM explorerItem, HTREEITEM dialogParent);
    // Flips the tick of an item that has one.
    void ToggleState(HTREEITEM item);

    HWND Tree() const { return m_hTree; }
    // Files the last export could not copy (documents and launcher files).
    int FailedCopies() const { return m_nFailed; }

  private:
    void SaveContent(HTREEITEM item);
    // A file of the program's folder to the archive root, overwriting.
    void Copy(const char* name);
    void CopyDocument(HTREEITEM item, const std::string& folder, bool folderMade);
    // The destination folder of an explorer item's siblings; false when it cannot be made.
    bool DestinationFolder(HTREEITEM explorerItem, std::string& folder) const;
    void ShowProgress(const char* what);
    LRESULT OnNotify(NMHDR* header);
    void OnClick(bool doubleClick);
    UINT TickOf(HTREEITEM item) const;
    LPARAM ItemData(HTREEITEM item) const;

    HWND m_hExplorerTree;
    FileNameFunction m_fileName;
    HWND m_hTree = nullptr;
    HIMAGELIST m_hStateImages = nullptr;
    std::string m_strRoot;
    std::unique_ptr<CStatusDialog> m_pProgress;
    int m_nFailed = 0;
};
