#pragma once
// The window-update lock for the lifetime of the object: one window at a time may hold it in
// the whole system, so a lock that could not be had is not given back either.

#include <windows.h>

namespace fw {

class WindowUpdateLock {
  public:
    explicit WindowUpdateLock(HWND window) : m_bLocked(window && ::LockWindowUpdate(window)) {}
    ~WindowUpdateLock() {
        if (m_bLocked) ::LockWindowUpdate(nullptr);
    }
    WindowUpdateLock(const WindowUpdateLock&) = delete;
    WindowUpdateLock& operator=(const WindowUpdateLock&) = delete;

  private:
    bool m_bLocked;
};

} // namespace fw
