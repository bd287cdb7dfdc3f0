#include "framework/ScrollBar.h"

#include <algorithm>
#include <iterator>

int fw::GetScrollPos32(HWND wnd, int bar, bool track) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = track ? SIF_TRACKPOS : SIF_POS;
    if (!::GetScrollInfo(wnd, bar, &si)) return 0;
    return track ? si.nTrackPos : si.nPos;
}

int fw::SetScrollPos32(HWND wnd, int bar, int pos, bool redraw) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_POS;
    si.nPos = pos < 0 ? 0 : pos;
    // The bar clamps the position to its range and reports what it took.
    return ::SetScrollInfo(wnd, bar, &si, redraw);
}

namespace {
bool BarInfo(HWND wnd, int bar, SCROLLBARINFO& info) {
    info = SCROLLBARINFO{};
    info.cbSize = sizeof info;
    LONG id = bar == SB_VERT ? OBJID_VSCROLL : bar == SB_HORZ ? OBJID_HSCROLL : OBJID_CLIENT;
    return ::GetScrollBarInfo(wnd, id, &info) != FALSE;
}

// The same thumb, track and arrows in the same states: the same pixels.
bool SamePicture(const SCROLLBARINFO& a, const SCROLLBARINFO& b) {
    return ::EqualRect(&a.rcScrollBar, &b.rcScrollBar) && a.dxyLineButton == b.dxyLineButton &&
           a.xyThumbTop == b.xyThumbTop && a.xyThumbBottom == b.xyThumbBottom &&
           std::equal(std::begin(a.rgstate), std::end(a.rgstate), std::begin(b.rgstate));
}
} // namespace

bool fw::MoveScrollPos32(HWND wnd, int bar, int pos) {
    SCROLLBARINFO before;
    int old = GetScrollPos32(wnd, bar);
    if (!BarInfo(wnd, bar, before)) {
        SetScrollPos32(wnd, bar, pos);
        return true;
    }
    SetScrollPos32(wnd, bar, pos, false);
    SCROLLBARINFO after;
    if (BarInfo(wnd, bar, after) && SamePicture(before, after)) return false;
    // The bar redraws when its position changes: back to the old one unseen, then on.
    int taken = GetScrollPos32(wnd, bar);
    SetScrollPos32(wnd, bar, old, false);
    SetScrollPos32(wnd, bar, taken);
    return true;
}

void fw::SetScrollRange32(HWND wnd, int bar, int maximum, int page, bool redraw) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    if (page < 0) page = 0;
    if (maximum < 0 || page > maximum) {
        // Everything fits: no bar and back to the start.
        si.fMask |= SIF_POS;
        maximum = 0;
        page = 1;
    }
    si.nMin = 0;
    si.nMax = maximum;
    si.nPage = static_cast<UINT>(page);
    // A page beyond the range hides the bar by itself.
    ::SetScrollInfo(wnd, bar, &si, redraw);
}

int fw::GetScrollLimit32(HWND wnd, int bar) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_RANGE | SIF_PAGE;
    if (!::GetScrollInfo(wnd, bar, &si)) return 0;
    int limit = si.nMax - static_cast<int>(si.nPage ? si.nPage : 1) + 1;
    return limit > si.nMin ? limit : si.nMin;
}
