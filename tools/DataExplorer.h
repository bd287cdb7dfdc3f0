#pragma once
// The data explorer: a form's child window that browses a server array, the nodes with a
// HEADER as a tree on the left, the rows below the selected node as a sortable table on the
// right. Setting its window text sets the array; selections go to the server in %FELD.

#include "framework/ListView.h"
#include "framework/TreeCtrl.h"
#include "tools/DataExplorerLogic.h"
#include "tools/PaneDivider.h"

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

class CDataExplorer;

// Registers "ExplorerArea", the class both explorers are made of, the first time it is asked.
bool RegisterExplorerArea();

// The panes hand Tab (tree) and Shift+Tab (list) to the explorer before the form takes it.
class CExplorerTree : public CTreeCtrl {
  public:
    bool PreTranslateMessage(MSG* msg) override;
};
class CExplorerList : public CReportList {
  public:
    bool PreTranslateMessage(MSG* msg) override;
};

class CDataExplorer : public CWnd {
  public:
    enum : UINT { kTreeId = 1, kListId = 2, kTimerShow = 1 };
    // What a pane getting the focus sends its parent, as an edit control would.
    enum : UINT { kFocusCommand = 4097, kFocusCode = 256 };
    // The double click's command: this plus the array's FKEY.
    enum : UINT { kFkeyCommandBase = 32795 };
    // Images of a node without its own: closed and open folder.
    enum : int { kFolderImage = 31, kFolderOpenImage = 30 };


    // A visible child of class "ExplorerArea". Once it stands, the object goes with its window.
    bool Create(HWND parent, const RECT& rect, UINT id);

    // Fills the item's level (null: everything from the top) from the server.
    void SetTreeContent(HTREEITEM item);
    // Reports the tree's (pane 1) or the list's (pane 2) selection in %FELD.
    void ReportSelection(int pane);
    // Builds the table of the selected node.
    void ShowSelection();
    // The header click on a column.
    void SortList(int column);
    // Tab from the tree, Shift+Tab from the list.
    void SwitchPane();

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    void PostNcDestroy() override;

  private:
    int OnCreate();
    void OnSetText(const char* text);
    void OnSize();
    void OnSetFocus();
    void OnTimer(UINT_PTR id);
    LRESULT OnNotify(NMHDR* hdr);
    LRESULT OnTreeNotify(NMHDR* hdr);
    LRESULT OnListNotify(NMHDR* hdr);
    void OnPaneFocus(int pane);
    void OnDoubleClick();
    void OpenNode(HTREEITEM item);
    bool HasChildrenOnServer(const std::string& path);
    void SortRows();
    void DeleteTable();

    static const std::string& PathOf(LPARAM data);
    std::string Execute(const std::string& line);

    std::string m_array;
    CExplorerList m_list;
    CExplorerTree m_tree;
    HIMAGELIST m_images = nullptr;
    HIMAGELIST m_headerImages = nullptr;
    std::vector<int> m_columnTypes;
    vorlan::SortState m_sort;
    int m_focusPane = kTreeId;
    int m_fkey = 0;
    HTREEITEM m_reported = nullptr;
    bool m_quick = false;
    CPaneDivider m_divider;
};
