#pragma once
// The MDI frame's print button for a form with a grid, on the frame's strip, until the
// function-key toolbar shows the grid's print command itself.

#include "framework/Controls.h"

class CGridPrintBar : public CToolBarCtrl {
  public:
    static constexpr UINT kId = 0xE820;
    // One text button with the grid's print command (32778).
    bool Create(HWND parent);
};
