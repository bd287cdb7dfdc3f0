#pragma once
// A handle of the CreateFile kind (INVALID_HANDLE_VALUE when there is none), closed on every
// way out.

#include <windows.h>

class CFileHandle {
  public:
    CFileHandle() = default;
    explicit CFileHandle(HANDLE h) : m_h(h) {}
    ~CFileHandle() { Close(); }
    CFileHandle(const CFileHandle&) = delete;
    CFileHandle& operator=(const CFileHandle&) = delete;

    void Attach(HANDLE h) {
        Close();
        m_h = h;
    }
    void Close() {
        if (IsOpen()) ::CloseHandle(m_h);
        m_h = INVALID_HANDLE_VALUE;
    }
    bool IsOpen() const { return m_h != INVALID_HANDLE_VALUE; }
    operator HANDLE() const { return m_h; }

  private:
    HANDLE m_h = INVALID_HANDLE_VALUE;
};
