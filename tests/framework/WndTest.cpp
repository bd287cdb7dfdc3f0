#include "framework/App.h"
#include "framework/Controls.h"
#include "framework/Wnd.h"
#include "tests/harness/Pointer.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* kClass = "FwTest.Window";

struct Recorder : CWnd {
    std::vector<UINT> seen;
    bool* deleted = nullptr;
    DWORD extraStyle = 0;
    bool refuse = false;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        seen.push_back(msg);
        switch (msg) {
        case WM_CREATE:
            if (refuse) return -1;
            return CWnd::WindowProc(msg, w, l);
        case WM_USER + 1: return 4711;
        case WM_USER + 2: throw 1; // must not escape to the system
        default: return CWnd::WindowProc(msg, w, l);
        }
    }
    bool PreCreateWindow(CREATESTRUCTA& cs) override {
        cs.style |= static_cast<LONG>(extraStyle);
        return true;
    }
};

struct SelfDeleting : Recorder {
    void PostNcDestroy() override {
        *deleted = true;
        delete this;
    }
};

bool Saw(const std::vector<UINT>& v, UINT m) {
    for (UINT x : v)
        if (x == m) return true;
    return false;
}

class WndTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_TRUE(CWnd::RegisterWindowClass(kClass, CS_DBLCLKS, nullptr, nullptr, nullptr, 4));
    }
};

} // namespace

TEST_F(WndTest, CreatedWindowSeesItsMessagesFromTheStartAndIsMapped) {
    Recorder w;
    w.extraStyle = WS_BORDER;
    ASSERT_TRUE(w.CreateEx(0, kClass, "t", WS_POPUP, CRect(0, 0, 50, 50), nullptr, 0));
    EXPECT_TRUE(Saw(w.seen, WM_NCCREATE));
    EXPECT_TRUE(Saw(w.seen, WM_CREATE));
    EXPECT_EQ(CWnd::FromHandlePermanent(w.m_hWnd), &w);
    EXPECT_TRUE(GetWindowLongA(w.m_hWnd, GWL_STYLE) & WS_BORDER) << "PreCreateWindow's change applies";
    EXPECT_EQ(GetWindowLongPtrA(w.m_hWnd, GWLP_USERDATA), 0) << "the user data stays the program's";
    EXPECT_EQ(w.SendMessage(WM_USER + 1), 4711);
    EXPECT_EQ(w.SendMessage(WM_USER + 2), 0);
    HWND h = w.m_hWnd;
    w.DestroyWindow();
    EXPECT_EQ(w.m_hWnd, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(h), nullptr);
}

TEST_F(WndTest, PostNcDestroyMayDeleteTheObject) {
    bool deleted = false;
    auto* w = new SelfDeleting;
    w->deleted = &deleted;
    ASSERT_TRUE(w->CreateEx(0, kClass, "t", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    DestroyWindow(w->m_hWnd);
    EXPECT_TRUE(deleted);
}

TEST_F(WndTest, AWindowRefusedInCreationStaysItsCreatorsToDelete) {
    bool deleted = false;
    auto* w = new SelfDeleting;
    w->deleted = &deleted;
    w->refuse = true;
    EXPECT_FALSE(w->CreateEx(0, kClass, "t", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    EXPECT_FALSE(deleted) << "the creator deletes it, once";
    EXPECT_TRUE(Saw(w->seen, WM_NCDESTROY));
    EXPECT_EQ(w->m_hWnd, nullptr);
    delete w;
}

TEST_F(WndTest, SubclassingAForeignControlAndGivingItBack) {
    Recorder parent;
    ASSERT_TRUE(parent.CreateEx(0, kClass, "p", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    HWND edit =
        CreateWindowExA(0, "EDIT", "alt", WS_CHILD, 0, 0, 50, 20, parent.m_hWnd, nullptr, nullptr, nullptr);
    Recorder sub;
    ASSERT_TRUE(sub.SubclassWindow(edit));
    Recorder second;
    EXPECT_FALSE(second.SubclassWindow(edit)) << "one object per window";
    SetWindowTextA(edit, "neu");
    EXPECT_TRUE(Saw(sub.seen, WM_SETTEXT));
    EXPECT_EQ(sub.GetWindowText(), CString("neu")) << "the control's own procedure still runs";
    EXPECT_EQ(sub.UnsubclassWindow(), edit);
    sub.seen.clear();
    SetWindowTextA(edit, "x");
    EXPECT_TRUE(sub.seen.empty());
    parent.DestroyWindow();
}

TEST_F(WndTest, ObjectDestroyedBeforeItsWindowLeavesAWorkingWindow) {
    HWND h;
    {
        Recorder w;
        ASSERT_TRUE(w.CreateEx(0, "EDIT", "x", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
        h = w.m_hWnd;
    }
    EXPECT_TRUE(IsWindow(h));
    SetWindowTextA(h, "still here");
    char buf[32];
    GetWindowTextA(h, buf, sizeof buf);
    EXPECT_STREQ(buf, "still here");
    DestroyWindow(h);
}

namespace {
// Notes what its window looked like when the object met it, and which messages came before.
struct PreSubclassed : CStatic {
    int calls = 0;
    size_t messagesBefore = 0;
    std::string textThen;
    std::vector<UINT> seen;
    void PreSubclassWindow() override {
        ++calls;
        messagesBefore = seen.size();
        textThen = fw::WindowText(m_hWnd);
        ::SetWindowLongA(m_hWnd, GWL_STYLE, ::GetWindowLongA(m_hWnd, GWL_STYLE) | SS_NOTIFY);
    }
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        seen.push_back(msg);
        return CWnd::WindowProc(msg, w, l);
    }
};
} // namespace

TEST_F(WndTest, TheObjectMeetsItsStaticControlBeforeAnyMessageOfIt) {
    Recorder parent;
    ASSERT_TRUE(parent.CreateEx(0, kClass, "p", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    PreSubclassed created;
    ASSERT_TRUE(created.Create("Text", SS_RIGHT, CRect(0, 0, 50, 20), parent, 7));
    EXPECT_EQ(created.calls, 1);
    EXPECT_EQ(created.messagesBefore, 0u);
    ASSERT_FALSE(created.seen.empty());
    EXPECT_EQ(created.seen.front(), WM_NCCREATE);
    EXPECT_EQ(created.GetWindowText(), CString("Text"));
    EXPECT_EQ(GetWindowLongA(created, GWL_STYLE) & (SS_NOTIFY | SS_RIGHT | WS_CHILD),
              static_cast<LONG>(SS_NOTIFY | SS_RIGHT | WS_CHILD));
    // A notifying static takes the mouse; a plain one lets it through to its parent.
    EXPECT_EQ(created.SendMessage(WM_NCHITTEST, 0, 0), HTCLIENT);

    HWND foreign =
        CreateWindowExA(0, "Static", "alt", WS_CHILD, 0, 30, 50, 20, parent, nullptr, nullptr, nullptr);
    PreSubclassed adopted;
    ASSERT_TRUE(adopted.SubclassWindow(foreign));
    EXPECT_EQ(adopted.calls, 1);
    EXPECT_EQ(adopted.textThen, "alt") << "read through the control's own procedure";
    EXPECT_TRUE(adopted.seen.empty());
    parent.DestroyWindow();
}

TEST_F(WndTest, LeaveTrackingReportsWhenThePointerLeavesTheWindow) {
    Recorder w;
    ASSERT_TRUE(
        w.CreateEx(WS_EX_TOPMOST, kClass, "t", WS_POPUP | WS_VISIBLE, CRect(100, 100, 200, 200), nullptr, 0));
    ASSERT_TRUE(harness::MovePointer(150, 150));
    ASSERT_TRUE(fw::TrackMouseLeave(w));
    TRACKMOUSEEVENT query{sizeof query, TME_QUERY, nullptr, 0};
    ASSERT_TRUE(TrackMouseEvent(&query));
    EXPECT_EQ(query.hwndTrack, w.m_hWnd);
    EXPECT_TRUE(query.dwFlags & TME_LEAVE);

    ASSERT_TRUE(harness::MovePointer(300, 300));
    // The system tells it at its next look at the pointer.
    MSG m;
    bool left = false;
    for (DWORD start = GetTickCount(); !left && GetTickCount() - start < 5000;) {
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 50, QS_ALLINPUT);
        while (PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
            left = left || (m.message == WM_MOUSELEAVE && m.hwnd == w.m_hWnd);
            DispatchMessageA(&m);
        }
    }
    EXPECT_TRUE(left);
    EXPECT_FALSE(fw::TrackMouseLeave(nullptr));
}

namespace {
struct KeyEater : Recorder {
    int offered = 0;
    bool eat = false;
    bool PreTranslateMessage(MSG* m) override {
        if (m->message != WM_KEYDOWN) return false;
        ++offered;
        return eat;
    }
};
} // namespace

TEST_F(WndTest, PreTranslateRunsFromTheTargetUpToTheMainWindow) {
    CWinApp app("FwTest");
    KeyEater top, child;
    ASSERT_TRUE(top.CreateEx(0, kClass, "top", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    ASSERT_TRUE(child.Create(kClass, "child", WS_VISIBLE, CRect(0, 0, 50, 50), top.m_hWnd, 5));
    app.m_pMainWnd = &top;
    top.eat = true;
    PostMessageA(child.m_hWnd, WM_KEYDOWN, 'A', 0);
    PostMessageA(child.m_hWnd, WM_USER + 7, 0, 0);
    ASSERT_TRUE(app.PumpMessage());
    ASSERT_TRUE(app.PumpMessage());
    EXPECT_EQ(child.offered, 1);
    EXPECT_EQ(top.offered, 1);
    EXPECT_FALSE(Saw(child.seen, WM_KEYDOWN)) << "taken by the top window, never dispatched";
    EXPECT_TRUE(Saw(child.seen, WM_USER + 7));
    child.eat = true;
    PostMessageA(child.m_hWnd, WM_KEYDOWN, 'B', 0);
    ASSERT_TRUE(app.PumpMessage());
    EXPECT_EQ(child.offered, 2);
    EXPECT_EQ(top.offered, 1) << "the chain stops at the first taker";
    app.m_pMainWnd = nullptr;
    top.DestroyWindow();
}
