#pragma once
// Menus from the resource module, and menu items drawn by the program in a font of its
// choice (owner-drawn), so that menus match the frame's font.

#include "framework/FwString.h"

#include <windows.h>

#include <deque>

class CMenu {
  public:
    CMenu() = default;
    virtual ~CMenu() { DestroyMenu(); }
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

    // Shows the popup; while it is shown it is the thread's tracked menu (fw::MenuTracking)
    // and its commands go to the owner. exclude: the rectangle the popup must not cover.
    BOOL TrackPopupMenu(UINT flags, int x, int y, HWND owner, const RECT* exclude = nullptr) const;
};

// A menu that measures and draws its owner-drawn items itself: the window that receives
// WM_MEASUREITEM or WM_DRAWITEM finds it by its handle (fw::DispatchMenuItemMessage).
class COwnerDrawnMenu : public CMenu {
  public:
    COwnerDrawnMenu() = default;
    ~COwnerDrawnMenu() override;

    bool CreatePopupMenu();
    bool DestroyMenu();
    // Leaves the handle to its new owner (a menu bar that destroys it with itself).
    HMENU Detach();
    static COwnerDrawnMenu* FromHandlePermanent(HMENU menu);

    virtual void MeasureItem(MEASUREITEMSTRUCT* mis) = 0;
    virtual void DrawItem(DRAWITEMSTRUCT* dis) = 0;

  private:
    void Forget();
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
    // Position of the item whose mnemonic ("&x") is the key (any case), or -1.
    static int FindMnemonic(HMENU menu, char key);
    // The text kept for a converted item (its item data), or null for other items.
    const CString* TextOf(ULONG_PTR itemData) const;

    static constexpr ULONG_PTR kTag = 0x0D0D0000;

  private:
    HFONT m_hFont = nullptr;
    std::deque<CString> m_texts;
};

namespace fw {

// The popup this thread shows now and the window that owns it (null when none).
struct MenuTracking {
    HWND window = nullptr;
    HMENU menu = nullptr;
};
MenuTracking& ThreadMenuTracking();

// Makes a popup the thread's tracked menu for its lifetime and puts the previous back.
class MenuTrackingScope {
  public:
    MenuTrackingScope(HWND window, HMENU menu);
    ~MenuTrackingScope();
    MenuTrackingScope(const MenuTrackingScope&) = delete;
    MenuTrackingScope& operator=(const MenuTrackingScope&) = delete;

  private:
    MenuTracking m_previous;
};

// WM_MEASUREITEM and WM_DRAWITEM of an item of a COwnerDrawnMenu, served by that menu: true
// when it took the message. Measuring names no menu: the item is looked for in the tracked
// popup of the receiving window first, then in every such menu by its command and data.
bool DispatchMenuItemMessage(HWND window, UINT msg, LPARAM lParam);

} // namespace fw
