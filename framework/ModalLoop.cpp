#include "framework/ModalLoop.h"
#include "framework/App.h"
#include "framework/MessageHooks.h"
#include "framework/Thread.h"

int CModalLoop::Run() {
    m_bRunning = true;
    m_bEnded = false;
    m_nResult = -1;
    CWinApp* app = AfxGetApp();
    bool idle = true;
    while (!m_bEnded && m_wnd.IsWindow()) {
        MSG msg;
        if (!::PeekMessageA(&msg, nullptr, 0, 0, PM_NOREMOVE)) {
            if (idle) {
                // Let the window's bars catch up before waiting, as the main loop does.
                m_wnd.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
                idle = false;
                if (m_idleHook) m_idleHook();
                continue;
            }
            ::WaitMessage();
            continue;
        }
        if (::GetMessageA(&msg, nullptr, 0, 0) <= 0) {
            ::PostQuitMessage(static_cast<int>(msg.wParam));
            break;
        }
        fw::CPumpedMessage pumped(&msg);
        bool taken = fw::OfferToMessageHooks(&msg) ||
                     (app ? app->PreTranslateMessage(&msg) : fw::WalkPreTranslateTree(nullptr, &msg));
        if (!taken) {
            ::TranslateMessage(&msg);
            ::DispatchMessageA(&msg);
        }
        if (msg.message != WM_PAINT && msg.message != WM_TIMER) idle = true;
    }
    m_bRunning = false;
    return m_bEnded ? m_nResult : -1;
}

void CModalLoop::End(int code) {
    m_nResult = code;
    m_bEnded = true;
    // Wakes the loop should it be waiting.
    if (m_wnd.IsWindow()) m_wnd.PostMessage(WM_NULL);
}

CModalOwnerGuard::CModalOwnerGuard(HWND owner, std::function<void()> restore)
    : m_hOwner(owner), m_restore(std::move(restore)) {
    if (m_hOwner && ::IsWindowEnabled(m_hOwner)) {
        ::EnableWindow(m_hOwner, FALSE);
        m_bDisabled = true;
    }
}

CModalOwnerGuard::~CModalOwnerGuard() {
    if (m_bDisabled && ::IsWindow(m_hOwner)) ::EnableWindow(m_hOwner, TRUE);
    if (m_restore) {
        try {
            m_restore();
        } catch (...) {
        }
    }
}
