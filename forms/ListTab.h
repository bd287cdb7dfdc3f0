#pragma once
// CListTab: the popup list of a form. A modeless dialog with one report-style list whose
// rows come from the server global named in %WGBL, one batch at a time: the next batch is
// fetched (WTW^QCC) whenever the user scrolls near the end. Its size and column widths are
// kept per workstation on the server. The chosen row goes back to the owning form, posted.

#include "forms/ListTabLogic.h"
#include "framework/Dialog.h"
#include "framework/ListView.h"

#include <windows.h>

#include <string>

class CSession;

// Puts text into a cell of a list: column 0 inserts a new item at row - 1, the others set
// that item's sub-item.
class CTable {
  public:
    static void AddItem(CReportList& list, int column, int row, const char* text);
};

class CListTab : public CDialog {
  public:
    static constexpr UINT kTemplate = 0x94;
    static constexpr int kListId = 1015;
    // Window flags: the popup closes when it becomes inactive.
    static constexpr int kCloseWhenInactive = 0x8000;
    // The list asks its popup for more rows with this message.
    static constexpr UINT kScrollDown = 0x40A;

    explicit CListTab(CSession& session);
    ~CListTab() override;

    // Opens the popup for the server's list `name` (the rows are already in %WGBL). A font
    // size is in tenths of a point; flags become the window's user data. Returns 1 when the
    // list has rows; without rows the owner is asked to close it (and 0 is returned). Unless
    // it returns 1 the object may be gone: the window deletes it, and so does a failed Create.
    int Create(const std::string& name, HWND owner, CWnd* parent, const char* fontName, int fontSize,
               int flags, UINT templateId = kTemplate, const POINT* position = nullptr);
    // start 0: the column titles; n > 0: the next batch, from list row n on.
    void BuildNextIndex(int start);
    void ItemSelected();
    void SizeColumns();
    void TableScrolled();

    const std::string& GetTableName() const { return m_strName; }
    CReportList& List() { return m_list; }

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    void PostNcDestroy() override;

  private:
    static LRESULT CALLBACK WndSuperProcList(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam);

    void SetListFont(const char* fontName, int fontSize, int flags);
    void ApplySavedSize();
    void OnSizing(WPARAM edge, RECT* rect);
    bool OnListNotify(const NMHDR* header);
    void OnClose();
    void OnInactive();
    void OnAutoScroll();
    void WriteLayout();

    CSession& m_session;
    bool m_bArmed = true;
    std::string m_strName;
    vorlan::ListLayout m_layout;
    int m_nColumns = 0;
    HWND m_hOwner = nullptr;
    HFONT m_hFont = nullptr;
    bool m_bLoading = false;
    CReportList m_list;
    // The window can go while the popup's own code runs (its owner closes a list without
    // rows during Create, a server call lets messages through): the object then lives on
    // until the outermost of its calls has returned.
    class DepthGuard {
      public:
        explicit DepthGuard(CListTab& list) : m_list(list) { ++m_list.m_nDepth; }
        ~DepthGuard() {
            if (--m_list.m_nDepth == 0 && m_list.m_bGone) delete &m_list;
        }
        DepthGuard(const DepthGuard&) = delete;
        DepthGuard& operator=(const DepthGuard&) = delete;

      private:
        CListTab& m_list;
    };
    int m_nDepth = 0;
    bool m_bGone = false;
};
