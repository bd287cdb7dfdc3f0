#include "app/DlgWaitExecute.h"
#include "app/ProtocolLog.h"
#include "app/Session.h"
#include "framework/App.h"
#include "framework/Thread.h"
#include "framework/Wnd.h"
#include "resources/resource.h"

namespace {

constexpr DWORD kShowAfter = 1000; // ms a call runs before the dialog appears

} // namespace

void CSession::InitWaitThread() {
    vorlan::TraceFunction("CSession::InitWaitThread");
    CWinApp* app = AfxGetApp();
    if (!app || app->GetProfileInt("Settings", "DisableWaitDialog", 0) != 0) {
        UninitWaitThread();
        return;
    }
    if (!m_hWaitEvent) m_hWaitEvent = ::CreateEventA(nullptr, FALSE, FALSE, nullptr);
    if (!m_hWaitThread) {
        m_bStopWait = 0;
        m_hWaitThread = fw::StartWorkerThread(ThreadWaitExecute, this);
    }
}

void CSession::UninitWaitThread() {
    vorlan::TraceFunction("CSession::UninitWaitThread");
    m_bStopWait = 1;
    if (m_hWaitThread) {
        // The wait dialog's owner lives on this thread, and the wait thread may be sending to it.
        fw::WaitServingSentMessages(m_hWaitThread);
        ::CloseHandle(m_hWaitThread);
        m_hWaitThread = nullptr;
    }
    if (m_hWaitEvent) ::CloseHandle(m_hWaitEvent);
    m_hWaitEvent = nullptr;
    m_nExecuting = 0;
    m_nLongOperations = 0;
    m_dwStartTick = 0;
    m_pWaitDlg = nullptr;
    m_bStopWait = 0;
}

void CSession::BeginLongOperation() {
    if (::InterlockedIncrement(&m_nLongOperations) == 1) m_dwStartTick = ::GetTickCount();
}

void CSession::EndLongOperation() {
    if (::InterlockedDecrement(&m_nLongOperations) <= 0) {
        m_nLongOperations = 0;
        if (m_nExecuting == 0 && m_pWaitDlg) WaitForWaitDialog();
    }
}

DWORD WINAPI CSession::ThreadWaitExecute(void* param) {
    auto* session = static_cast<CSession*>(param);
    // Watch the desktop the main thread shows its windows on (Wine starts new threads on the
    // process's first desktop).
    if (CWinApp* app = AfxGetApp()) ::SetThreadDesktop(::GetThreadDesktop(app->m_nThreadID));
    session->WaitThreadLoop();
    return 0;
}

void CSession::WaitThreadLoop() {
    CDlgWaitExecute* dlg = nullptr;
    auto removeDialog = [&] {
        if (!dlg) return;
        dlg->ShowWindow(SW_HIDE);
        dlg->DestroyWindow();
        delete dlg;
        dlg = nullptr;
        m_pWaitDlg = nullptr;
        if (m_hWaitEvent) ::SetEvent(m_hWaitEvent);
    };
    try {
        while (!m_bStopWait) {
            MSG msg;
            // Everything waiting, not one message per pass: the dialog must stay responsive.
            while (::PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
                if (msg.message == WM_QUIT) {
                    m_nExecuting = 0;
                    m_bStopWait = 1;
                    break;
                }
                if (!dlg || !::IsDialogMessageA(dlg->m_hWnd, &msg)) {
                    ::TranslateMessage(&msg);
                    ::DispatchMessageA(&msg);
                }
            }
            if (m_bStopWait) break;
            ::Sleep(100);
            bool busy = m_nExecuting > 0 || m_nLongOperations > 0;
            if (busy) {
                if (::GetTickCount() - m_dwStartTick <= kShowAfter) continue;
                CWnd* mainWnd = AfxGetApp() ? AfxGetApp()->m_pMainWnd : nullptr;
                HWND main = mainWnd ? mainWnd->m_hWnd : nullptr;
                if (!main || ::GetForegroundWindow() != main) continue;
                if (dlg) {
                    dlg->SendMessage(WM_TIMER, 0, 0);
                } else {
                    if (m_hWaitEvent) ::ResetEvent(m_hWaitEvent);
                    dlg = new CDlgWaitExecute(*this);
                    if (!dlg->Create(IDD_WAIT_EXECUTE, mainWnd)) {
                        delete dlg;
                        dlg = nullptr;
                        continue;
                    }
                    m_pWaitDlg = dlg;
                    dlg->ShowWindow(SW_SHOWNA);
                    dlg->UpdateWindow();
                }
            } else if (dlg) {
                removeDialog();
                ::Sleep(50);
            }
        }
    } catch (...) {
    }
    removeDialog(); // the main thread must never wait for a dialog that no one will remove
}

void CSession::WaitForWaitDialog() {
    // Bounded, and ends when the thread itself ends.
    HANDLE handles[2] = {m_hWaitEvent, m_hWaitThread};
    if (!handles[0]) return;
    fw::WaitServingSentMessages(handles, handles[1] ? 2 : 1, m_dwWaitDialogLimit);
}
