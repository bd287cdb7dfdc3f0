#pragma once
// The archive export of the record explorer: a copy of the explorer's tree with tick boxes;
// the ticked documents go to a chosen folder under "Archiv\", beside a launcher and its
// autorun file, so that the medium opens itself.

#include "framework/Dialog.h"

#include <commctrl.h>

#include <functional>
#include <string>

class CArchivExp : public CDialog {
  public:
    // The full path and the name of an explorer tree item's file; false when it has none.
    using FileNameFunction = std::function<bool(HTREEITEM item, std::string& path, std::string& name)>;

    CArchivExp(HWND explorerTree, FileNameFunction fileName, CWnd* parent = nullptr);

    bool OnInitDialog() override;
    void OnOK() override;

  private:
    HWND m_hExplorerTree;
    FileNameFunction m_fileName;
};
