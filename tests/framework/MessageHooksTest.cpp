// Message hooks see each message of every pump of the thread once: our modal loop (also when
// its pre-translation asks IsDialogMessage) and the system's dialog loop; a kept message is
// not dispatched; a removed hook sees nothing more.
#include "framework/MessageHooks.h"
#include "framework/ModalLoop.h"
#include "framework/Wnd.h"

#include <gtest/gtest.h>

#include <functional>

namespace {

constexpr UINT kProbe = WM_APP + 1; // wParam 1: a hook keeps it
constexpr UINT kDone = WM_APP + 2;

struct alignas(4) EmptyTemplate {
    DLGTEMPLATE dialog;
    WORD menu, windowClass, title;
};

EmptyTemplate MakeTemplate(DWORD style) {
    EmptyTemplate t{};
    t.dialog.style = style;
    t.dialog.cx = 60;
    t.dialog.cy = 30;
    return t;
}

// A child of a dialog that counts the probes dispatched to it; its pre-translation hands
// messages to the dialog's own handling, as a form's controls do.
class Probe : public CWnd {
  public:
    int dispatched = 0;
    std::function<void()> onDone;
    HWND dialog = nullptr;

    bool PreTranslateMessage(MSG* msg) override { return dialog && ::IsDialogMessageA(dialog, msg); }

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == kProbe) {
            ++dispatched;
            return 0;
        }
        if (msg == kDone && onDone) {
            onDone();
            return 0;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

INT_PTR CALLBACK EndAtOnce(HWND dialog, UINT msg, WPARAM, LPARAM) {
    if (msg == WM_INITDIALOG) {
        ::SetTimer(dialog, 1, 100, nullptr);
        return TRUE;
    }
    if (msg == WM_TIMER) ::EndDialog(dialog, 1);
    return FALSE;
}

} // namespace

TEST(MessageHooks, EachPumpOffersEveryMessageOnce) {
    // IsDialogMessage takes any window as the dialog.
    CWnd host;
    RECT r{0, 0, 10, 10};
    ASSERT_TRUE(host.CreateEx(0, "STATIC", "", WS_POPUP, r, nullptr, 0));
    HWND dialog = host.m_hWnd;
    Probe probe;
    ASSERT_TRUE(probe.CreateEx(0, "STATIC", "", WS_CHILD, r, dialog, 0));
    probe.dialog = dialog;
    int offered = 0;
    int cookie = fw::AddMessageHook([&](MSG* m) {
        if (m->message != kProbe) return false;
        ++offered;
        return m->wParam == 1;
    });

    CModalLoop loop(probe);
    probe.onDone = [&] { loop.End(0); };
    probe.PostMessage(kProbe, 1);
    probe.PostMessage(kProbe, 2);
    probe.PostMessage(kDone);
    loop.Run();
    EXPECT_EQ(offered, 2) << "our loop, once each although IsDialogMessage filters too";
    EXPECT_EQ(probe.dispatched, 1) << "the kept one is not dispatched";

    offered = probe.dispatched = 0;
    probe.PostMessage(kProbe, 1);
    probe.PostMessage(kProbe, 2);
    EmptyTemplate modal = MakeTemplate(WS_POPUP | WS_CAPTION);
    EXPECT_EQ(::DialogBoxIndirectParamA(nullptr, &modal.dialog, nullptr, EndAtOnce, 0), 1);
    EXPECT_EQ(offered, 2) << "the system's dialog loop";
    EXPECT_EQ(probe.dispatched, 1);

    fw::RemoveMessageHook(cookie);
    offered = probe.dispatched = 0;
    probe.PostMessage(kProbe, 1);
    probe.PostMessage(kDone);
    loop.Run();
    EXPECT_EQ(offered, 0);
    EXPECT_EQ(probe.dispatched, 1);
    probe.DestroyWindow();
    host.DestroyWindow();
}
