#pragma once
// Report-style list view wrapper: what a list of rows and columns adds to the list control
// (columns, their widths and order, paging, selection, hover tracking).

#include "framework/Controls.h"

#include <windows.h>
#include <commctrl.h>

#include <vector>

class CReportList : public CListCtrl {
  public:
    // Always in report view.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id) {
        return CListCtrl::Create(style | LVS_REPORT, rect, parent, id);
    }

    // columns
    int GetColumnCount() const;
    int GetColumnWidth(int column) const;
    bool SetColumnWidth(int column, int width);
    // The column indexes from left to right as the user may have dragged them.
    std::vector<int> GetColumnOrder() const;

    // The column's header alignment and text format (LVCFMT_LEFT, _RIGHT, _CENTER).
    int InsertColumn(int index, const char* heading, int width, int format);
    using CListCtrl::InsertColumn;
    bool DeleteColumn(int column) { return SendMessage(LVM_DELETECOLUMN, static_cast<WPARAM>(column)) != 0; }
    // The header's image list (the caller keeps it) and the sort arrow: image shown at the
    // right of the column's title, -1 for none.
    void SetHeaderImageList(HIMAGELIST images);
    bool SetSortArrow(int column, int image);
    // The image the column's title shows, -1 for none.
    int GetSortArrow(int column) const;

    // items
    // A row at index with its first cell's text, image and data.
    int InsertItem(int index, const char* text, int image, LPARAM data);
    using CListCtrl::InsertItem;
    // Sorts the rows by compare(first row index, second row index) the way qsort expects.
    template <class Compare> bool SortItems(Compare compare) {
        return SendMessage(LVM_SORTITEMSEX, reinterpret_cast<WPARAM>(&compare),
                           reinterpret_cast<LPARAM>(&SortTrampoline<Compare>)) != 0;
    }
    // The first selected item, or -1.
    int GetSelectedItem() const { return GetNextItem(-1, LVNI_SELECTED); }
    bool SelectItem(int index);
    bool EnsureVisible(int index) {
        return SendMessage(LVM_ENSUREVISIBLE, static_cast<WPARAM>(index), FALSE) != 0;
    }

    // view
    DWORD SetExtendedStyle(DWORD style, DWORD mask);
    DWORD GetExtendedStyle() const { return static_cast<DWORD>(SendMessage(LVM_GETEXTENDEDLISTVIEWSTYLE)); }
    int GetTopIndex() const { return static_cast<int>(SendMessage(LVM_GETTOPINDEX)); }
    int GetCountPerPage() const { return static_cast<int>(SendMessage(LVM_GETCOUNTPERPAGE)); }
    bool Scroll(int dx, int dy) { return SendMessage(LVM_SCROLL, static_cast<WPARAM>(dx), dy) != 0; }
    // The height of one row in pixels, 0 without rows.
    int GetRowHeight() const;
    // The width of the text in the list's font.
    int GetStringWidth(const char* text) const;
    DWORD SetHoverTime(DWORD ms) { return static_cast<DWORD>(SendMessage(LVM_SETHOVERTIME, 0, ms)); }
    DWORD GetHoverTime() const { return static_cast<DWORD>(SendMessage(LVM_GETHOVERTIME)); }

  private:
    template <class Compare> static int CALLBACK SortTrampoline(LPARAM first, LPARAM second, LPARAM compare) {
        return (*reinterpret_cast<Compare*>(compare))(static_cast<int>(first), static_cast<int>(second));
    }
    HWND Header() const { return reinterpret_cast<HWND>(SendMessage(LVM_GETHEADER)); }
};
