#pragma once
// Moving the pointer for a test that reads it back. SetCursorPos under Wine moves the X
// pointer, and the position the window system reports follows only once the events of the
// move have been handled, later on a busy machine: code that asks for the pointer right after
// the move may still find it where it was. Header-only, for test programs without the harness
// library.

#include <windows.h>

namespace harness {

// Moves the pointer to a screen point and waits, handling this thread's messages, until the
// window system reports it there twice in a row. False when it never does.
inline bool MovePointer(POINT screen, DWORD timeoutMs = 5000) {
    const DWORD start = ::GetTickCount();
    int steady = 0;
    while (::GetTickCount() - start < timeoutMs) {
        ::SetCursorPos(screen.x, screen.y);
        MSG m;
        while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            ::TranslateMessage(&m);
            ::DispatchMessageA(&m);
        }
        POINT now{};
        ::GetCursorPos(&now);
        steady = now.x == screen.x && now.y == screen.y ? steady + 1 : 0;
        if (steady == 2) return true;
        ::Sleep(10);
    }
    return false;
}

inline bool MovePointer(int x, int y, DWORD timeoutMs = 5000) { return MovePointer(POINT{x, y}, timeoutMs); }

} // namespace harness
