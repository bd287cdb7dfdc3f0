#pragma once
// What a form asks of its grid (control 0x1800) beyond window messages. The grid's window
// object implements it; the form finds it through the window's permanent object.

#include <windows.h>

class IFormGrid {
  public:
    virtual ~IFormGrid() = default;
    virtual int GetFixedRowCount() const = 0;
    // Sum of the column widths in pixels.
    virtual int GetTotalColumnWidth() const = 0;
    virtual void SetFocusCell(int row, int column) = 0;
    // Ends the in-place edit as the key would (13: take the text).
    virtual void EndEditCell(UINT key) = 0;
    // The focus cell (or, while the focus is elsewhere, the cell it comes back to) in the
    // grid's client area, right and bottom outside it; false when there is none in view.
    virtual bool FocusCellRect(RECT* rect) const = 0;
};
