#pragma once
// Menus from the resource module, and menu items drawn by the program in a font of its
// choice (owner-drawn), so that menus match the frame's font.

#include "framework/FwString.h"

#include <windows.h>

#include <deque>

class CMenu {
  public:
    CMenu() = default;
    ~CMenu() { DestroyMenu(); }
    CMenu(const CMenu&) = delete;
    CMenu& operator=(const CMenu&) = delete;

    HMENU m_hMenu = nullptr;
    operator HMENU() const { return m_hMenu; }

    // From the resource module (the language library).
    bool LoadMenu(UINT id);
    bool CreatePopupMenu();
    // Takes ownership of the handle.
    void Attach(HMENU menu);
    HMENU Detach();
    bool DestroyMenu();

    static int ItemCount(HMENU menu) { return ::GetMenuItemCount(menu); }
    // Position of the item with this command id, searched in this menu only; -1 when none.
    static int FindItem(HMENU menu, UINT id);
    // The popup that holds the command id, searched through every level; null when none.
    static HMENU FindPopupOf(HMENU menu, UINT id);
    // Text of the item at the position (owner-drawn items included).
    static CString ItemText(HMENU menu, int position);
};

// Switches the items of popups to owner-draw and measures and draws them: text and the
// accelerator after a tab in the given font, the check mark, grey when disabled.
class COwnerDrawMenus {
  public:
    void SetFont(HFONT font) { m_hFont = font; }
    // Converts every item of the popup (not of a menu bar) that is not yet converted.
    void Convert(HMENU popup);
    bool OnMeasureItem(HWND owner, MEASUREITEMSTRUCT* mis);
    bool OnDrawItem(DRAWITEMSTRUCT* dis);
    // The text kept for a converted item (its item data), or null for other items.
    const CString* TextOf(ULONG_PTR itemData) const;

    static constexpr ULONG_PTR kTag = 0x0D0D0000;

  private:
    HFONT m_hFont = nullptr;
    std::deque<CString> m_texts;
};
