#pragma once
// Hidden windows that only receive messages, say from a library that posts its events to a
// window handle: never shown, never among the top-level windows that others enumerate.

#include "framework/Wnd.h"

namespace fw {
// Creates wnd as such a window; its messages pass through wnd's WindowProc.
bool CreateMessageOnly(CWnd& wnd, const char* title = "");
} // namespace fw
