#pragma once
// The form's list field: a tree of up to three levels of a server array, with check boxes,
// radio groups, bold entries and editable "?" entries. Every change is written back to the
// array at once; the selection is also reported in %FELD.

#include "controls/ListFieldLogic.h"
#include "framework/TreeCtrl.h"
#include "framework/Wnd.h"

#include <windows.h>
#include <commctrl.h>

#include <functional>
#include <string>

// The tree inside the list field (id 1): passes Tab and Ctrl+Enter to its field and starts
// label editing on a typed letter or digit.
class CListFieldTree : public CTreeCtrl {
  public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  private:
    bool OnKeyDown(WPARAM key, LPARAM lParam);
};

class CListField : public CWnd {
  public:
    static constexpr UINT kTreeId = 1;
    static constexpr UINT kStateBitmap = 307;
    static constexpr UINT kFirstFunctionKeyCommand = 32795; // plus the key number: F5 is 32800

    // The road to the server, given by the application: one M line in, what it wrote out.
    using Executor = std::function<std::string(const std::string&)>;
    static void SetExecutor(Executor executor);
    // Where the state images come from (the application's image lists).

    CListField() = default;
    ~CListField() override;

    // A child of the form; the object deletes itself with its window. When creation fails the
    // object stays for the caller to delete.
    bool Create(HWND parent, const RECT& rect, UINT id);
    // Loads the array `name` into the tree (empty: an empty tree).
    void SetContent(const char* name);
    // Check box, radio choice or inactive radio of an entry: 0 when it has no state image.
    int ToggleState(HTREEITEM item);

    CListFieldTree& Tree() { return m_tree; }

    bool PreTranslateMessage(MSG* msg) override { return CWnd::PreTranslateMessage(msg); }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;

  protected:
    void PostNcDestroy() override;

  private:
    // Where an entry stands: its level (1 to 3, 0 the title) and its subscripts.
    struct Place {
        int level = 0;
        int x = 0, y = 0, z = 0;
    };

    LRESULT OnCreate();
    LRESULT OnNotify(NMHDR* header);
    void OnKeyDown(WPARAM key, LPARAM lParam);
    void OnNcPaint(WPARAM wParam, LPARAM lParam);
    void OnClick();
    void OnDoubleClick();
    void ReportSelection(bool run);
    void RunSelectCode();
    void OnGetInfoTip(NMTVGETINFOTIPA* tip);
    void OnExpanding(NMTREEVIEWA* view);
    bool OnBeginLabelEdit(NMTVDISPINFOA* info);
    bool OnEndLabelEdit(NMTVDISPINFOA* info);

    std::string Run(const std::string& line);
    HTREEITEM Insert(HTREEITEM parent, const std::string& text, const listfield::Look& look, unsigned param);
    void LoadSecondLevel(HTREEITEM first, const listfield::Record& firstRecord, bool dynamic);
    void LoadThirdLevel(HTREEITEM second, const listfield::Record& secondRecord, bool dynamic);
    int StateImage(HTREEITEM item) const;
    void SetStateImage(HTREEITEM item, int image);
    int Position(HTREEITEM item) const;
    int Level(HTREEITEM item) const;
    Place PlaceOf(HTREEITEM item) const;
    std::string NodeOf(const Place& place) const;
    void SetRadioChildrenActive(HTREEITEM item, bool active);

    int m_nReserved1 = 0, m_nReserved2 = 0;
    std::string m_strEditNode;
    std::string m_strSelect;
    int m_nFunctionKey = 0;
    HIMAGELIST m_hStateImages = nullptr;
    std::string m_strName;
    CListFieldTree m_tree;

    HTREEITEM m_hTitle = nullptr;
    bool m_bDynamic = false;
    bool m_bLoading = false;
};
