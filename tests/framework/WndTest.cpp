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

TEST_F(WndTest, WindowsOfTheFrameworksClassesMeetTheirObjectsThroughTheirClass) {
    // A sizable top-level window is first asked for its sizes, a child first gets WM_NCCREATE:
    // either way its object has the message, and the window keeps its class's procedure.
    Recorder top, child;
    ASSERT_TRUE(top.CreateEx(0, kClass, "top", WS_POPUP | WS_THICKFRAME, CRect(0, 0, 100, 100), nullptr, 0));
    ASSERT_TRUE(child.Create(kClass, "child", 0, CRect(0, 0, 50, 50), top.m_hWnd, 3));
    struct {
        Recorder* w;
        UINT first;
    } cases[] = {{&top, WM_GETMINMAXINFO}, {&child, WM_NCCREATE}};
    for (const auto& c : cases) {
        ASSERT_FALSE(c.w->seen.empty());
        EXPECT_EQ(c.w->seen.front(), c.first);
        EXPECT_TRUE(Saw(c.w->seen, WM_NCCREATE));
        EXPECT_TRUE(Saw(c.w->seen, WM_CREATE));
        EXPECT_EQ(CWnd::FromHandlePermanent(c.w->m_hWnd), c.w);
        EXPECT_EQ(GetWindowLongPtrA(c.w->m_hWnd, GWLP_WNDPROC), reinterpret_cast<LONG_PTR>(&FwClassProc))
            << "no procedure put in front of the class's";
        EXPECT_EQ(c.w->SendMessage(WM_USER + 1), 4711);
    }
    EXPECT_EQ(GetParent(child.m_hWnd), top.m_hWnd);
    EXPECT_EQ(child.GetWindowText(), CString("child"));
    top.DestroyWindow();
    EXPECT_EQ(child.m_hWnd, nullptr);
}

TEST_F(WndTest, AWindowOfAFrameworkClassWithoutItsObjectIsServedAsByDefault) {
    HWND raw = CreateWindowExA(0, kClass, "roh", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    ASSERT_NE(raw, nullptr);
    EXPECT_EQ(CWnd::FromHandlePermanent(raw), nullptr);
    auto text = [&raw] { return fw::WindowText(raw); };
    EXPECT_EQ(text(), "roh");

    Recorder lent;
    ASSERT_TRUE(lent.Attach(raw));
    SetWindowTextA(raw, "geliehen");
    EXPECT_TRUE(lent.seen.empty()) << "an object that only lends its handle gets none of its messages";
    EXPECT_EQ(text(), "geliehen");
    lent.Detach();

    Recorder sub;
    ASSERT_TRUE(sub.SubclassWindow(raw));
    SetWindowTextA(raw, "neu");
    EXPECT_TRUE(Saw(sub.seen, WM_SETTEXT));
    EXPECT_EQ(text(), "neu") << "the class's own procedure still runs behind the object";
    EXPECT_EQ(sub.UnsubclassWindow(), raw);
    sub.seen.clear();
    SetWindowTextA(raw, "wieder");
    EXPECT_TRUE(sub.seen.empty());
    EXPECT_EQ(text(), "wieder");

    {
        Recorder created;
        ASSERT_TRUE(created.CreateEx(0, kClass, "t", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
        raw = created.m_hWnd;
    }
    SetWindowTextA(raw, "ohne Objekt");
    EXPECT_EQ(text(), "ohne Objekt") << "the object's window lives on without it";
    DestroyWindow(raw);
}

namespace {
// An object that needs none of its window's creation messages.
struct MadeFirst : Recorder {
    std::string textThen;
    size_t messagesBefore = 0;
    bool SubclassesAfterCreation() const override { return true; }
    void PreSubclassWindow() override {
        messagesBefore = seen.size();
        textThen = fw::WindowText(m_hWnd);
    }
};
} // namespace

TEST_F(WndTest, AnObjectThatNeedsNoCreationMessagesMeetsItsWindowOnceItStands) {
    Recorder parent;
    ASSERT_TRUE(parent.CreateEx(0, kClass, "p", WS_POPUP, CRect(0, 0, 100, 100), nullptr, 0));
    MadeFirst label;
    ASSERT_TRUE(label.CreateEx(0, "Static", "Fertig", WS_CHILD, CRect(0, 0, 50, 20), parent, 4));
    EXPECT_EQ(label.messagesBefore, 0u);
    EXPECT_EQ(label.textThen, "Fertig") << "the text it was made with";
    EXPECT_FALSE(Saw(label.seen, WM_NCCREATE));
    EXPECT_EQ(CWnd::FromHandlePermanent(label.m_hWnd), &label);
    SetWindowTextA(label, "neu");
    EXPECT_TRUE(Saw(label.seen, WM_SETTEXT));
    EXPECT_EQ(label.GetWindowText(), CString("neu"));
    EXPECT_EQ(GetDlgCtrlID(label), 4);

    // On a class of the framework's it sees its window's first message all the same.
    MadeFirst own;
    ASSERT_TRUE(own.CreateEx(0, kClass, "eigen", WS_CHILD, CRect(0, 0, 50, 20), parent, 5));
    EXPECT_TRUE(Saw(own.seen, WM_NCCREATE));
    EXPECT_EQ(own.textThen, "");

    MadeFirst refused;
    EXPECT_FALSE(refused.CreateEx(0, "NoSuchClass", "x", WS_CHILD, CRect(0, 0, 5, 5), parent, 6));
    EXPECT_EQ(refused.m_hWnd, nullptr);
    parent.DestroyWindow();
}

TEST_F(WndTest, WindowTextReadsAsMuchAsItIsAskedFor) {
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_POPUP, 0, 0, 50, 20, nullptr, nullptr, nullptr, nullptr);
    ASSERT_NE(edit, nullptr);
    SendMessageA(edit, EM_LIMITTEXT, 0, 0);
    std::string text;
    for (int i = 0; i < 1500; ++i)
        text += static_cast<char>('a' + i % 26);
    SetWindowTextA(edit, text.c_str());
    struct {
        int limit;
        size_t length;
    } cases[] = {{-1, 1500},   {0, 0},       {1, 1},       {127, 127},  {1023, 1023},
                 {1024, 1024}, {1025, 1025}, {1500, 1500}, {4000, 1500}};
    for (const auto& c : cases)
        EXPECT_EQ(fw::WindowText(edit, c.limit), text.substr(0, c.length)) << c.limit;
    SetWindowTextA(edit, "");
    EXPECT_EQ(fw::WindowText(edit, 127), "");
    DestroyWindow(edit);
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
