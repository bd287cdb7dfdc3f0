#pragma once
// A thread with its own message loop. The main thread's application object is one too.

#include <windows.h>

class CWinThread {
  public:
    CWinThread() = default;
    virtual ~CWinThread();
    CWinThread(const CWinThread&) = delete;
    CWinThread& operator=(const CWinThread&) = delete;

    // Starts a new thread that calls InitInstance, then Run, then ExitInstance.
    bool CreateThread();
    // Waits for the thread to end (milliseconds or INFINITE); true when it has ended.
    bool Wait(DWORD timeout = INFINITE);
    bool PostThreadMessage(UINT msg, WPARAM w = 0, LPARAM l = 0) const {
        return ::PostThreadMessageA(m_nThreadID, msg, w, l) != 0;
    }

    virtual bool InitInstance() { return true; }
    // The message loop: idle processing while the queue is empty, until WM_QUIT.
    virtual int Run();
    virtual int ExitInstance() { return m_nExitCode; }
    // Offers the message to the windows from its target up to the top, then to the thread.
    virtual bool PreTranslateMessage(MSG* msg);
    // Called while the queue is empty, with a count from 0; return true for more calls.
    virtual bool OnIdle(long count);
    // Gets one message and dispatches it; false on WM_QUIT.
    bool PumpMessage();

    HANDLE m_hThread = nullptr;
    DWORD m_nThreadID = 0;
    int m_nExitCode = 0;

  protected:
    MSG m_msgCur{};

  private:
    static DWORD WINAPI ThreadProc(void* self);
};

namespace fw {
// A worker thread running fn(param); the caller owns the handle (null when it could not start).
HANDLE StartWorkerThread(DWORD(WINAPI* fn)(void*), void* param);
// Waits for the object (a thread, say) while serving the messages other threads send to
// this thread's windows: a worker that sends to us while we wait for it cannot deadlock.
// Posted messages stay queued. True when the object was signalled within the time-out.
bool WaitServingSentMessages(HANDLE object, DWORD timeout = INFINITE);
// The same for several objects: true when any one of them was signalled.
bool WaitServingSentMessages(const HANDLE* objects, DWORD count, DWORD timeout = INFINITE);

// Offers msg to the CWnd objects from its window up through the parents; true when taken.
bool WalkPreTranslateTree(HWND stop, MSG* msg);
} // namespace fw
