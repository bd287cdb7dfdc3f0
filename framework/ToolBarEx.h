#pragma once
// The common toolbar of the program's own control bars (the rich-text field's format bar
// derives from it): flat, transparent, with tool tips.

#include "framework/Controls.h"

// The framework's control bar: a toolbar control that a window carries as one of its bars.
class CToolBar : public CToolBarCtrl {};

class CToolBarEx : public CToolBar {
  public:
    // False when the window could not be made; the second argument is not used.
    virtual bool Create(HWND parent, DWORD style, UINT id);
};
