#pragma once
// A list box whose entries are columns split by TAB, seen through its handle. The wrapper
// owns nothing and subclasses nothing: whoever created the window keeps its procedure.

#include <windows.h>

#include <string>

class CTabListBox {
  public:
    CTabListBox() = default;
    explicit CTabListBox(HWND list) : m_hWnd(list) {}

    // A "LISTBOX" window; owner is its parent or, for a popup, its owner.
    bool Create(DWORD exStyle, DWORD style, const RECT& rect, HWND owner);

    int AddString(const char* text);
    int GetCount() const;
    // The entry's whole text, columns and TABs included; empty for a bad index.
    std::string GetText(int index) const;
    int GetCurSel() const;
    bool SetCurSel(int index);
    // Selects the first entry beginning with prefix (case ignored); its index, or -1.
    int SelectPrefix(const char* prefix);

    // Pixels of the widest text before a TAB, in the list's font.
    int WidestFirstColumn() const;
    // The list's horizontal dialog units of a pixel width (rounded up), in its font.
    int PixelsToUnits(int pixels) const;
    // The second column starts `gap` dialog units right of the widest first column.
    bool SetTabStopAfterFirstColumn(int gap);

    HWND m_hWnd = nullptr;
};
