#pragma once
// Records that forms and their frames hand each other with the private window messages.

#include "resources/resource.h"

#include <windows.h>

#include <commctrl.h>

namespace vorlan {

// WM_CHILDMESSAGE: lParam points to one.
struct ChildMessageRecord {
    int code;
    HWND window;
    LPARAM value;
};
#ifndef _WIN64
static_assert(sizeof(ChildMessageRecord) == 12, "the 32-bit layout: code, window, value");
#endif

enum ChildMessageCode {
    kChildRegister = 1, // a form registers with its frame and gets the next control id
    kChildClose = 2,    // a form or popup list asks to be closed
    kChildFit = 5,      // fit the frame to the form
    kChildTitle = 12,   // title text (value: the text) from form to frame
};

// A popup list's choice travels by value, posted: wParam the chosen row + 1, lParam the
// popup. A form that gets it after the popup has gone ignores it.
inline bool PostListChoice(HWND owner, HWND popup, int index) {
    return ::PostMessageA(owner, WM_CHILDMESSAGE, static_cast<WPARAM>(index) + 1,
                          reinterpret_cast<LPARAM>(popup)) != 0;
}

// WM_TIMEREVENT: lParam points to one; the form owns the texts.
struct TimerEventRecord {
    const char* list;   // the event's name, "§" and its value
    const char* answer; // its ROWCOL
    const char* value;  // its VARS
    int create;
    int run;
    int command;
    int stick;
};

// WM_DIALOGINIT's tab index when a form's timer update asks for the init again.
constexpr int kInitFromTimer = 0xFFFF;

// WM_CREATEOWNDIALOG: lParam points to one; the main frame creates a modal form window
// (CBaseModal) for it and answers the code that ended the window.
struct OwnDialogRecord {
    HWND owner;   // disabled while the modal window runs
    HWND window;  // receives the modal window (null when none was made)
    int dialogId; // 16-bit; -1 for a form's sub-dialog
    int value;    // handed to the modal form
    int docked;   // non-zero: the window sits at the screen's bottom left, the main window minimised
};
#ifndef _WIN64
static_assert(sizeof(OwnDialogRecord) == 20, "the 32-bit layout: owner, window, dialog id, value, docked");
#endif

// The first extra word of a form frame's window holds the frame it was opened from, which
// closes it when it goes; a window handle, so pointer-sized.
constexpr int kFrameExtraBytes = sizeof(LONG_PTR);
inline void SetOpener(HWND window, HWND opener) {
    ::SetWindowLongPtrA(window, 0, reinterpret_cast<LONG_PTR>(opener));
}
inline HWND OpenerOf(HWND window) {
    return reinterpret_cast<HWND>(::GetWindowLongPtrA(window, 0));
}

// The tab control of a frame with pages. Each item's value is its page's control id, plus
// kTabUninitialised while the page has not been initialised. Ids are never given twice, so a
// page that could not be made leaves a gap: the item of a page is found by its value, never
// counted from its id.
constexpr int kTabControlId = 0xC000;
constexpr UINT kTabUninitialised = 32768;

inline LPARAM TabItemValue(HWND tabs, int index) {
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    if (!tabs ||
        !::SendMessageA(tabs, TCM_GETITEMA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)))
        return 0;
    return item.lParam;
}

inline int TabCount(HWND tabs) {
    return tabs ? static_cast<int>(::SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0)) : 0;
}

// The index of the page's item, or -1 when the page has none.
inline int TabItemOfPage(HWND tabs, UINT pageId) {
    if (!tabs || pageId == 0) return -1;
    const int n = TabCount(tabs);
    for (int i = 0; i < n; ++i) {
        LPARAM value = TabItemValue(tabs, i);
        if (value == static_cast<LPARAM>(pageId) || value == static_cast<LPARAM>(kTabUninitialised + pageId))
            return i;
    }
    return -1;
}

} // namespace vorlan
