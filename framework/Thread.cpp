#include "framework/Thread.h"
#include "framework/MessageHooks.h"
#include "framework/Wnd.h"

namespace fw {

HANDLE StartWorkerThread(DWORD(WINAPI* fn)(void*), void* param) {
    DWORD id = 0;
    return ::CreateThread(nullptr, 0, fn, param, 0, &id);
}

bool WaitServingSentMessages(HANDLE object, DWORD timeout) {
    return WaitServingSentMessages(&object, 1, timeout);
}

bool WaitServingSentMessages(const HANDLE* objects, DWORD count, DWORD timeout) {
    DWORD start = ::GetTickCount();
    for (;;) {
        // Peeking delivers the messages sent already and leaves everything posted queued. It
        // must come first: the wait below wakes only for messages that arrive after it began
        // or that no one has looked at yet.
        MSG msg;
        ::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        DWORD left = INFINITE;
        if (timeout != INFINITE) {
            DWORD spent = ::GetTickCount() - start;
            left = spent >= timeout ? 0 : timeout - spent;
        }
        DWORD r = ::MsgWaitForMultipleObjects(count, objects, FALSE, left, QS_SENDMESSAGE);
        if (r < WAIT_OBJECT_0 + count) return true;
        if (r != WAIT_OBJECT_0 + count) return false;
    }
}

bool WalkPreTranslateTree(HWND stop, MSG* msg) {
    for (HWND h = msg->hwnd; h; h = ::GetParent(h)) {
        CWnd* wnd = CWnd::FromHandlePermanent(h);
        if (wnd && wnd->PreTranslateMessage(msg)) return true;
        if (h == stop) break;
    }
    return false;
}

} // namespace fw

CWinThread::~CWinThread() {
    if (m_hThread) ::CloseHandle(m_hThread);
}

DWORD WINAPI CWinThread::ThreadProc(void* self) {
    auto* t = static_cast<CWinThread*>(self);
    int code = -1;
    try {
        code = t->InitInstance() ? t->Run() : t->ExitInstance();
    } catch (...) {
        code = -1;
    }
    t->m_nExitCode = code;
    return static_cast<DWORD>(code);
}

bool CWinThread::CreateThread() {
    if (m_hThread) return false;
    m_hThread = ::CreateThread(nullptr, 0, ThreadProc, this, 0, &m_nThreadID);
    return m_hThread != nullptr;
}

bool CWinThread::Wait(DWORD timeout) {
    return !m_hThread || ::WaitForSingleObject(m_hThread, timeout) == WAIT_OBJECT_0;
}

bool CWinThread::PreTranslateMessage(MSG* msg) {
    return fw::WalkPreTranslateTree(nullptr, msg);
}

bool CWinThread::OnIdle(long) {
    return false;
}

bool CWinThread::PumpMessage() {
    if (::GetMessageA(&m_msgCur, nullptr, 0, 0) <= 0) {
        m_nExitCode = static_cast<int>(m_msgCur.wParam);
        return false;
    }
    fw::CPumpedMessage pumped(&m_msgCur);
    if (fw::OfferToMessageHooks(&m_msgCur)) return true;
    if (!PreTranslateMessage(&m_msgCur)) {
        ::TranslateMessage(&m_msgCur);
        ::DispatchMessageA(&m_msgCur);
    }
    return true;
}

int CWinThread::Run() {
    long idleCount = 0;
    bool idle = true;
    for (;;) {
        MSG peek;
        while (idle && !::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE)) {
            if (!OnIdle(idleCount++)) idle = false;
        }
        do {
            if (!PumpMessage()) return ExitInstance();
            if (m_msgCur.message != WM_PAINT && m_msgCur.message != WM_TIMER) {
                idle = true;
                idleCount = 0;
            }
        } while (::PeekMessageA(&peek, nullptr, 0, 0, PM_NOREMOVE));
    }
}
