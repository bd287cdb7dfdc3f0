#pragma once
// Drawing helpers the form controls share.

#include <windows.h>

struct ThemeInterface;

class CGlobal {
  public:
    // Draws the drop button of a tab-edit field. Without a device context it draws into the
    // field's window (non-client area included) just right of the client area, as wide as a
    // vertical scroll bar, with the hot (1) and pressed (2) bits of the field's user data;
    // with one, into the right-most scroll-bar width of the rectangle, neither hot nor pressed.
    // Themed as a combo box's drop button while the theme source names a table and its
    // drawing succeeds, else classic.
    static void TabEditDrawButton(HWND edit, HDC dc = nullptr, const RECT* rect = nullptr);

    // Answers the theme library's table while the program draws with visual styles, else null.
    // The application sets it; without one the controls draw the classic way.
    using ThemeSource = const ThemeInterface* (*)();
    static void SetThemeSource(ThemeSource source);
};

// The tab-edit field's state bits in its window user data.
constexpr LONG_PTR kTabEditHot = 1;
constexpr LONG_PTR kTabEditPressed = 2;
