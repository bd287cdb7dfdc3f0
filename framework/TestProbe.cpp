#include "framework/TestProbe.h"
#include "framework/App.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"

#include <string>

namespace fw {

namespace {

// Looks in a row that must find the queue empty: Wine reads the display's events (focus,
// exposure) only while a thread waits, and each may queue more.
constexpr int kQuietLooks = 3;
constexpr UINT_PTR kLookTimer = 1;

UINT RequestMessage() {
    static const UINT message = ::RegisterWindowMessageA(kTestProbeRequest);
    return message;
}

bool SomethingQueued() {
    DWORD status =
        ::GetQueueStatus(QS_KEY | QS_MOUSE | QS_POSTMESSAGE | QS_SENDMESSAGE | QS_HOTKEY | QS_PAINT);
    return HIWORD(status) != 0;
}

BOOL CALLBACK PaintNow(HWND window, LPARAM) {
    if (::IsWindowVisible(window)) ::RedrawWindow(window, nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    return TRUE;
}

struct ProbeState {
    WPARAM number = 0;
    int quiet = 0;
    bool refreshed = false;
};

// What the main loop does when it runs idle (the bars' command states), then every pending
// paint of the thread's windows.
void Refresh() {
    CWinApp* app = AfxGetApp();
    if (app && app->m_pMainWnd && app->m_pMainWnd->m_hWnd &&
        ::GetWindowThreadProcessId(app->m_pMainWnd->m_hWnd, nullptr) == ::GetCurrentThreadId())
        app->m_pMainWnd->SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    ::EnumThreadWindows(::GetCurrentThreadId(), PaintNow, 0);
}

// A request starts the looks. They come by timer: a timer message is taken only when no
// posted message, input or painting is waiting, so each look comes after all of them (a
// posted look would always be served before the input it waits for).
void OnRequest(HWND probe, ProbeState& state, WPARAM number) {
    state.number = number;
    state.quiet = 0;
    state.refreshed = false;
    ::SetTimer(probe, kLookTimer, 1, nullptr);
}

void OnLook(HWND probe, ProbeState& state) {
    if (SomethingQueued()) {
        state.quiet = 0;
        return;
    }
    if (++state.quiet < kQuietLooks) return;
    state.quiet = 0;
    if (!state.refreshed) {
        Refresh();
        state.refreshed = true;
        return;
    }
    ::KillTimer(probe, kLookTimer);
    ::SetPropA(probe, kTestProbeDone, reinterpret_cast<HANDLE>(state.number));
}

LRESULT CALLBACK ProbeProc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
    static ProbeState state;
    if (msg == RequestMessage() && msg != 0) {
        OnRequest(window, state, wParam);
        return 0;
    }
    if (msg == WM_TIMER && wParam == kLookTimer) {
        OnLook(window, state);
        return 0;
    }
    if (msg == WM_DESTROY) ::RemovePropA(window, kTestProbeDone);
    return ::DefWindowProcA(window, msg, wParam, lParam);
}

} // namespace

void StartTestProbe() {
    static HWND probe = nullptr;
    if (probe || !TestMode::IsOn()) return;
    WNDCLASSA wc{};
    wc.lpfnWndProc = ProbeProc;
    wc.hInstance = ::GetModuleHandleA(nullptr);
    wc.lpszClassName = kTestProbeClass;
    ::RegisterClassA(&wc);
    std::string title = std::to_string(::GetCurrentProcessId());
    probe = ::CreateWindowExA(0, kTestProbeClass, title.c_str(), 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              wc.hInstance, nullptr);
}

} // namespace fw
