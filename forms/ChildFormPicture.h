#pragma once
// The picture field's state, kept in its window's user data from WM_CREATE to WM_DESTROY,
// and the request its loader thread works on.

#include "framework/FwString.h"

#include <windows.h>

class CAviSurface;

namespace vorlan {

struct PictureLoadRequest {
    CString path;         // the thread's own copy
    HWND window;          // receives the picture with WM_SETICON (lParam: this request)
    volatile LONG cancel; // set by the window: the picture is no longer wanted
};

struct PictureFieldData {
    HFONT font = nullptr;
    HBITMAP bitmap = nullptr; // owned
    bool zoomed = false;
    bool loading = false;
    // The load whose picture is wanted; the thread owns and frees it.
    PictureLoadRequest* request = nullptr;
    HANDLE thread = nullptr;
    HWND parentBeforeZoom = nullptr;
    RECT rectBeforeZoom{}; // screen coordinates
    CAviSurface* video = nullptr; // while a video plays
    CString videoPath;     // the picture path with ".avi" when that file is there
    bool videoStarting = false;
    // The hidden record explorer that scans into this field, made on first use; it goes with
    // the field (or with the main window, its parent, when that goes first).
    HWND scanner = nullptr;
};

inline PictureFieldData* PictureData(HWND picture) {
    return reinterpret_cast<PictureFieldData*>(::GetWindowLongPtrA(picture, GWLP_USERDATA));
}

} // namespace vorlan
