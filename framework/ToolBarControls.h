#pragma once
// Edits, combo boxes and labels on a toolbar: each sits over a separator of its width.

#include "framework/Controls.h"

namespace fw {
// Adds a separator `width` wide with the command id at the end of the bar and moves the
// child (a window whose parent is the bar) over it, centred in the bar's height; returns the
// separator's index, -1 when it could not be added.
int AddToolBarControl(CToolBarCtrl& bar, HWND child, int width, UINT id);
} // namespace fw
