#pragma once
// Scroll bars with 32-bit positions: the 16-bit position of WM_VSCROLL and GetScrollPos's
// old limits do not reach the end of a long list.

#include <windows.h>

namespace fw {

// The position, or with track the thumb's position while it is dragged.
int GetScrollPos32(HWND wnd, int bar, bool track = false);
// Clamped to the range; returns the position taken.
int SetScrollPos32(HWND wnd, int bar, int pos, bool redraw = true);
// As SetScrollPos32, but the bar is drawn again only when the new position changes its picture:
// on a long list a page moves the thumb by less than a pixel, and drawing a themed bar costs
// more than the page itself. Returns whether the bar was drawn.
bool MoveScrollPos32(HWND wnd, int bar, int pos);
// Range 0..maximum with the page; a page at least the range hides the bar (position 0).
void SetScrollRange32(HWND wnd, int bar, int maximum, int page, bool redraw = true);
// The highest position the thumb can take (maximum - page + 1, at least 0).
int GetScrollLimit32(HWND wnd, int bar);

} // namespace fw
