#pragma once
// The band holder of windows with a toolbar at the top: a rebar over the parent's width with
// one band per bar. Its parent passes its WM_SIZE on (OnParentSize) so the bands follow.

#include "framework/Wnd.h"

class CSizableReBarTool : public CWnd {
  public:
    bool Create(HWND parent, UINT id);
    // A visible band without a break before it, as wide and high as the bar needs.
    bool AddBar(HWND bar);
    int GetHeight() const;
    void OnParentSize() { SendMessage(WM_SIZE); }
};
