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

    // items
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
};
