#pragma once
// The common toolbar of the program's own control bars (the rich-text field's format bar
// derives from it): flat, transparent, with tool tips.

#include "framework/Controls.h"

// The framework's control bar: a toolbar control that a window carries as one of its bars.
class CToolBar : public CToolBarCtrl {};

class CToolBarEx : public CToolBar {
  public:
    // The standard id of a window's first toolbar.
    static constexpr UINT kStandardId = 0xE800;
    // The toolbar resource type: a version word, the button width and height, the count, and
    // one command id per button (0 a separator).
    static constexpr UINT kToolBarResourceType = 241;

    // False when the window could not be made; the second argument is not used.
    virtual bool Create(HWND parent, DWORD style, UINT id);
    // Adds the buttons of the toolbar resource `id` with the pictures of the bitmap of the same
    // id (magenta shows the bar); false when either is missing or malformed.
    bool LoadToolBar(HINSTANCE module, UINT id);
};
