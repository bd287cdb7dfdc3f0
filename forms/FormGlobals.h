#pragma once
// Process-wide state of the forms that the frames set and the forms read.

#include "controls/FocusedControl.h"
#include "framework/FwString.h"

namespace vorlan {

// One character cell of a server description in pixels; the main frame computes both from
// its font when it creates its client area.
extern int g_nCharWidthUnit;
extern int g_nRowHeightUnit;

// The dialog that opens the next form (an M string literal) and the memo text of the chosen
// menu entry, both sent to the server when the next form is created.
extern CString g_strDialogName;
extern CString g_strDialogMemo;

// Set while a form's sub-dialog or the grid runs a loop of its own: frames skip their timers.
extern bool g_bNestedLoop;
// Set while a form's modal window is being destroyed: every form passes its messages on.
extern bool g_bNestedModal;
// The kind of control with the keyboard focus: 0 none, 1 form field, 2 chart, 3 explorer
// tree, 4 grid; and the kind kept while a field's popup list has the focus. The controls
// set the same program-wide value, so the forms only name it.
inline int& g_nFocusKind = ::FocusedControlKind;
extern int g_nSavedFocusKind;
// The main frame's progress display (text, position, range; position -1 hides it); set by
// the main frame, absent before it is made.
using ProgressDisplay = void (*)(const char* text, int position, int range);
extern ProgressDisplay g_pfnShowProgress;
// Forms created and not yet gone.
extern int g_nOpenForms;

} // namespace vorlan
