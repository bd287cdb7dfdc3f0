#pragma once
// Critical section (recursive: the owning thread may enter again), events, scoped lock.

#include <windows.h>

class CCriticalSection {
  public:
    CCriticalSection() { ::InitializeCriticalSection(&m_cs); }
    ~CCriticalSection() { ::DeleteCriticalSection(&m_cs); }
    CCriticalSection(const CCriticalSection&) = delete;
    CCriticalSection& operator=(const CCriticalSection&) = delete;
    void Lock() { ::EnterCriticalSection(&m_cs); }
    bool TryLock() { return ::TryEnterCriticalSection(&m_cs) != 0; }
    void Unlock() { ::LeaveCriticalSection(&m_cs); }

  private:
    CRITICAL_SECTION m_cs;
};

class CSingleLock {
  public:
    explicit CSingleLock(CCriticalSection& cs) : m_cs(cs) { m_cs.Lock(); }
    ~CSingleLock() { m_cs.Unlock(); }
    CSingleLock(const CSingleLock&) = delete;
    CSingleLock& operator=(const CSingleLock&) = delete;

  private:
    CCriticalSection& m_cs;
};

class CEvent {
  public:
    explicit CEvent(bool initiallySet = false, bool manualReset = false)
        : m_h(::CreateEventA(nullptr, manualReset, initiallySet, nullptr)) {}
    ~CEvent() {
        if (m_h) ::CloseHandle(m_h);
    }
    CEvent(const CEvent&) = delete;
    CEvent& operator=(const CEvent&) = delete;
    bool SetEvent() { return ::SetEvent(m_h) != 0; }
    bool ResetEvent() { return ::ResetEvent(m_h) != 0; }
    // True when signalled within the time-out (milliseconds or INFINITE).
    bool Lock(DWORD timeout = INFINITE) { return ::WaitForSingleObject(m_h, timeout) == WAIT_OBJECT_0; }
    HANDLE Handle() const { return m_h; }

  private:
    HANDLE m_h;
};
