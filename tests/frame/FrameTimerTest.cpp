// The form frames' timer road, stored positions and sticking against the demo's timer screen
// TIM and its neighbours TIMB, TIMC and TIMD on the fixture's dbserver.
#include "common/MQuote.h"
#include "forms/FormMessages.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/harness/Person.h"

#include <string>

using demotrace::CountOf;
using demotrace::Has;

namespace {

const std::string S = "\xA7";

class FrameTimerTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        Once("K ^Z(\"WINPOS\")");
        LogIn();
        m_workstation = Server("W %WIN(\"WORKSTATION\")");
    }
    void TearDown() override {
        Once("S ^QM(\"TIM\",0,\"TIMER\")=\"TIM\"");
        vorlan::g_bNestedLoop = false;
        FormServerTestBase::TearDown();
    }

    // The open frame whose first form shows the screen, or null.
    CBaseMDI* FrameOf(const char* screen) const {
        for (HWND h : Frames())
            if (auto* f = dynamic_cast<CBaseMDI*>(CWnd::FromHandlePermanent(h)))
                if (f->GetForm(1) && f->GetForm(1)->GetFormName() == screen) return f;
        return nullptr;
    }
    CBaseMDI* OpenTim() {
        StartMemo("TIM");
        return FrameOf("TIM");
    }
    // A click on push button n of the screen's frame, once the user has brought it forward.
    void Press(CBaseMDI* f, int n) {
        frame->MDIActivate(f->m_hWnd);
        harness::Pump();
        CChildDialog* form = f->GetForm(1);
        HWND button = form->GetDlgItem(0x1000 | n);
        ASSERT_NE(button, nullptr) << n;
        form->SendMessage(WM_COMMAND, MAKEWPARAM(0x1000 | n, BN_CLICKED), reinterpret_cast<LPARAM>(button));
        harness::Pump();
    }
    // Waits for the server's trace, serving the frames' timers meanwhile.
    bool TracedWithin(const std::string& entry, DWORD ms, Lines* seen = nullptr) {
        Lines all;
        bool found = harness::WaitUntil(
            [&] {
                harness::Pump();
                for (auto& l : Trace())
                    all.push_back(l);
                return Has(all, entry);
            },
            ms);
        if (seen) *seen = all;
        return found;
    }
    std::string PositionNode(const std::string& user) const {
        return "^Z(\"WINPOS\"," + vorlan::MQuote(m_workstation) + "," +
               (user.empty() ? "" : "\"" + user + "\",") + "\"TIM\")";
    }
    CSize ClientSize() const {
        CRect r;
        ::GetClientRect(frame->m_hWndMDIClient, &r);
        return r.Size();
    }

    std::string m_workstation;
};

} // namespace

TEST_F(FrameTimerTest, TimTicksThroughItsRoutineAndRefreshesOnEveryTenthCall) {
    HTREEITEM examples = FindItem("Beispiele");
    ASSERT_NE(examples, nullptr);
    frame->GetMenuTree().GetTreeCtrl().Expand(examples, TVE_EXPAND);
    harness::Pump();
    Open("Zeitgeber [TIM]");
    CBaseMDI* tim = FrameOf("TIM");
    ASSERT_NE(tim, nullptr);
    EXPECT_EQ(tim->GetWindowText(), "Zeitgeber");
    EXPECT_TRUE(TracedWithin("TIMER^TIM()", 5000)) << "timer 1 runs the screen's timer list";

    // The tenth call answers "§": the whole form is refreshed, its init runs again.
    Server("S ^QTEMP(%JOB,\"TIM\")=" +
           Server("W $G(^QTEMP(%JOB,\"TIM\"))+(9-($G(^QTEMP(%JOB,\"TIM\"))#10))"));
    Trace();
    tim->SendMessage(WM_TIMER, 1);
    Lines seen = Trace();
    EXPECT_TRUE(Has(seen, "TIMER^TIM()"));
    EXPECT_TRUE(Has(seen, "PRGINIT^QCC(\"S %TIMER=1\")")) << "refreshed through the init";

    // While a sub-dialog or the grid runs its own loop, no tick reaches the server.
    vorlan::g_bNestedLoop = true;
    Trace();
    tim->SendMessage(WM_TIMER, 1);
    EXPECT_FALSE(TracedWithin("TIMER^TIM()", 2500));
    vorlan::g_bNestedLoop = false;
    EXPECT_TRUE(TracedWithin("TIMER^TIM()", 5000));

    // F5 "Jetzt" refreshes the form at once by the same road.
    Key(VK_F5);
    EXPECT_TRUE(TracedWithin("PRGINIT^QCC(\"S %TIMER=1\")", 3000, &seen));
    EXPECT_TRUE(Has(seen, "JETZT^TIM"));
    EXPECT_EQ(tim->SendMessage(WM_TIMEREVENT, 0, 0), 0) << "an event without record";
}

namespace {

// Sends the frame's timer tick again from inside the form's refresh, as a message loop of a
// box shown meanwhile would.
struct NestedTick {
    static inline WNDPROC old = nullptr;
    static inline HWND frame = nullptr;
    static LRESULT CALLBACK Proc(HWND window, UINT msg, WPARAM wParam, LPARAM lParam) {
        if (msg == WM_UPDATEDIALOG) ::SendMessageA(frame, WM_TIMER, 1, 0);
        return ::CallWindowProcA(old, window, msg, wParam, lParam);
    }
};

} // namespace

TEST_F(FrameTimerTest, ATickWhileTheLastOneRunsIsSkipped) {
    CBaseMDI* tim = OpenTim();
    ASSERT_NE(tim, nullptr);
    HWND form = tim->GetForm(1)->m_hWnd;
    NestedTick::frame = tim->m_hWnd;
    NestedTick::old = reinterpret_cast<WNDPROC>(
        SetWindowLongPtrA(form, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&NestedTick::Proc)));
    Server("S ^QTEMP(%JOB,\"TIM\")=" +
           Server("W $G(^QTEMP(%JOB,\"TIM\"))+(9-($G(^QTEMP(%JOB,\"TIM\"))#10))"));
    Trace();
    tim->SendMessage(WM_TIMER, 1);
    Lines seen = Trace();
    SetWindowLongPtrA(form, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(NestedTick::old));
    EXPECT_TRUE(Has(seen, "PRGINIT^QCC(\"S %TIMER=1\")")) << "the refresh ran";
    EXPECT_EQ(CountOf(seen, "TIMER^TIM()"), 1) << "the tick inside it was skipped";
}

TEST_F(FrameTimerTest, PositionsAreRestoredSavedByCommandAndFormAndWrapped) {
    HMENU menu = frame->GetFrameMenu();
    ASSERT_NE(menu, nullptr);
    char text[64] = {};
    EXPECT_GT(::GetMenuStringA(menu, ID_WINDOW_SAVE_POS, text, sizeof text, MF_BYCOMMAND), 0);
    EXPECT_STREQ(text, "&Position speichern");

    // The record shared by all users serves while the user has none of its own.
    Once("S " + PositionNode("") + "=\"70\"_$C(167)_\"50\"");
    CBaseMDI* tim = OpenTim();
    ASSERT_NE(tim, nullptr);
    EXPECT_EQ(RectInClient(tim->m_hWnd).TopLeft(), CPoint(70, 50));
    Once("S " + PositionNode("demo") + "=\"120\"_$C(167)_\"90\"_$C(167)_\"0\"_$C(167)_\"0\"_$C(167)_\"0\"");
    tim->SendMessage(WM_SETWINPOS);
    CRect r = RectInClient(tim->m_hWnd);
    EXPECT_EQ(r.TopLeft(), CPoint(120, 90));

    // 32888 keeps the place of the active frame; closing the form keeps its size.
    tim->SetWindowPos(nullptr, 33, 44, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    frame->SendMessage(WM_COMMAND, ID_WINDOW_SAVE_POS);
    EXPECT_EQ(Once("W $P($G(" + PositionNode("demo") + "),$C(167),1,2)"), "33" + S + "44");
    tim->SendMessage(WM_COMMAND, ID_FORM_CLOSE);
    harness::Pump();
    ASSERT_EQ(FrameOf("TIM"), nullptr);
    EXPECT_EQ(Once("W $G(" + PositionNode("demo") + ")"),
              "33" + S + "44" + S + std::to_string(r.Width()) + S + std::to_string(r.Height()) + S + "0");

    // A place left on a larger screen comes back by one client size.
    CSize client = ClientSize();
    Once("S " + PositionNode("demo") + "=" +
         vorlan::MQuote(std::to_string(client.cx + 25) + S + std::to_string(client.cy + 15) + S + "200" + S +
                        "100"));
    tim = OpenTim();
    ASSERT_NE(tim, nullptr);
    EXPECT_EQ(RectInClient(tim->m_hWnd).TopLeft(), CPoint(25, 15));
    Once("S " + PositionNode("demo") + "=" + vorlan::MQuote("-300" + S + "-200" + S + "250" + S + "150"));
    tim->SendMessage(WM_SETWINPOS);
    EXPECT_EQ(RectInClient(tim->m_hWnd).TopLeft(), CPoint(client.cx - 300, client.cy - 200));
    EXPECT_EQ(RectInClient(tim->m_hWnd).Size(), r.Size()) << "a form that does not stretch keeps its size";

    // Piece 5 shows the frame maximised.
    tim->SendMessage(WM_COMMAND, ID_FORM_CLOSE);
    harness::Pump();
    Once("S " + PositionNode("demo") + "=" + vorlan::MQuote("40" + S + "40" + S + "0" + S + "0" + S + "1"));
    tim = OpenTim();
    ASSERT_NE(tim, nullptr);
    EXPECT_TRUE(IsZoomed(tim->m_hWnd));
}

TEST_F(FrameTimerTest, AFrameWithPagesKeepsItsPlaceUnderItsFirstScreen) {
    Once("K ^REP");
    const std::string node = "^Z(\"WINPOS\"," + vorlan::MQuote(m_workstation) + ",\"demo\",";
    StartMemo("REP");
    CBaseMDI* rep = Active();
    ASSERT_NE(rep, nullptr);
    harness::Person person;
    person.Press("Ctrl+Return");
    ASSERT_NE(rep->GetTopForm(), nullptr);
    ASSERT_EQ(rep->GetTopForm()->GetFormName(), "REP2") << "the second page is on top";

    rep->SetWindowPos(nullptr, 37, 29, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    frame->SendMessage(WM_COMMAND, ID_WINDOW_SAVE_POS);
    EXPECT_EQ(Once("W $P($G(" + node + "\"REP1\")),$C(167),1,2)"), "37" + S + "29");
    CRect r = RectInClient(rep->m_hWnd);
    // Escape on the last page closes the screen; its size goes into the first page's record.
    person.Press("Esc");
    EXPECT_EQ(Once("W $G(" + node + "\"REP1\"))"),
              "37" + S + "29" + S + std::to_string(r.Width()) + S + std::to_string(r.Height()) + S + "0")
        << "the size in the same record";
    EXPECT_EQ(Once("W $D(" + node + "\"REP2\"))"), "0");
    ASSERT_TRUE(Frames().empty()) << "Escape closed the screen";

    StartMemo("REP");
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(RectInClient(Active()->m_hWnd).TopLeft(), CPoint(37, 29));
    Once("K ^REP");
}

TEST_F(FrameTimerTest, TimerListRunsOtherFramesAndGivesTheFormBackToTheActiveOne) {
    // One list serves a group of frames; an entry with code runs it in place of the routine.
    Once("S ^QM(\"TIM\",0,\"TIMER\")=\"TIMB*$C(167)\"");
    CBaseMDI* tim = OpenTim();
    ASSERT_NE(tim, nullptr);
    tim->SendMessage(WM_TIMER, 1);
    EXPECT_EQ(Frames().size(), 1u) << "a tick opens no frame";
    Press(tim, 1);
    CBaseMDI* timb = FrameOf("TIMB");
    ASSERT_NE(timb, nullptr);
    EXPECT_EQ(Active(), timb);
    ASSERT_EQ(Server("W %DN"), "TIMB");
    Trace();
    tim->SendMessage(WM_TIMER, 1);
    Lines seen = Trace();
    EXPECT_FALSE(Has(seen, "TIMER^TIM()")) << "TIM itself is not in its list";
    EXPECT_GE(CountOf(seen, "OPEN^TIM(\"TIMB\")"), 1) << "TIMB's code answered \"§\": refreshed";
    EXPECT_EQ(Server("W %DN"), "TIMB") << "the active frame's form is the current one again";
    EXPECT_EQ(Active(), timb);
}

TEST_F(FrameTimerTest, EventsStickStackCascadeRefreshAndCloseNeighbours) {
    CBaseMDI* tim = OpenTim();
    ASSERT_NE(tim, nullptr);
    tim->SetWindowPos(nullptr, 10, 10, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    Trace();

    Press(tim, 1);
    CBaseMDI* timb = FrameOf("TIMB");
    ASSERT_NE(timb, nullptr) << "the event opened the neighbour";
    Lines seen = Trace();
    EXPECT_TRUE(Has(seen, "NEBEN^TIM"));
    EXPECT_TRUE(Has(seen, "OPEN^TIM(\"TIMB\")"));
    CRect host = RectInClient(tim->m_hWnd);
    EXPECT_EQ(RectInClient(timb->m_hWnd).TopLeft(), CPoint(host.right, host.top)) << "stuck to the right";
    EXPECT_EQ(timb->SendMessage(WM_GETSTICKEDWINDOW), reinterpret_cast<LRESULT>(tim->m_hWnd));
    EXPECT_EQ(vorlan::OpenerOf(timb->m_hWnd), tim->m_hWnd);
    EXPECT_TRUE(GetWindowLongPtrA(timb->m_hWnd, GWL_EXSTYLE) & WS_EX_TOOLWINDOW);
    ASSERT_EQ(tim->GetStickTable().Entries().size(), 1u);

    // Asked again, the open neighbour is brought forward, not opened twice.
    Press(tim, 1);
    EXPECT_EQ(FrameOf("TIMB"), timb);
    EXPECT_EQ(Frames().size(), 2u);
    EXPECT_EQ(tim->GetStickTable().Entries().size(), 1u);

    // The host moves: its neighbour follows.
    tim->SetWindowPos(nullptr, 40, 30, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    host = RectInClient(tim->m_hWnd);
    EXPECT_EQ(RectInClient(timb->m_hWnd).TopLeft(), CPoint(host.right, host.top));
    // The user drags the neighbour (a click has made it the active frame): the host goes along
    // by as much.
    frame->MDIActivate(timb->m_hWnd);
    harness::Pump();
    EXPECT_EQ(RectInClient(timb->m_hWnd).TopLeft(), CPoint(host.right, host.top));
    timb->SendMessage(WM_MOVING);
    CRect b = RectInClient(timb->m_hWnd);
    timb->SetWindowPos(nullptr, b.left + 30, b.top + 20, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    timb->SendMessage(WM_EXITSIZEMOVE);
    EXPECT_EQ(RectInClient(tim->m_hWnd).TopLeft(), CPoint(host.left + 30, host.top + 20));
    host = RectInClient(tim->m_hWnd);
    EXPECT_EQ(RectInClient(timb->m_hWnd).TopLeft(), CPoint(host.right, host.top));
    // Moved by anything else, a stuck frame goes back to its place.
    timb->SetWindowPos(nullptr, 300, 300, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(RectInClient(timb->m_hWnd).TopLeft(), CPoint(host.right, host.top));

    // A host minimised hides its neighbours, restored it shows them again.
    tim->ShowWindow(SW_MINIMIZE);
    harness::Pump();
    EXPECT_FALSE(IsWindowVisible(timb->m_hWnd));
    tim->ShowWindow(SW_RESTORE);
    harness::Pump();
    EXPECT_TRUE(IsWindowVisible(timb->m_hWnd));
    EXPECT_EQ(RectInClient(timb->m_hWnd).TopLeft(), CPoint(host.right, host.top));

    // Two below: stacked side by side, the last event first.
    Press(tim, 2);
    CBaseMDI* timc = FrameOf("TIMC");
    CBaseMDI* timd = FrameOf("TIMD");
    ASSERT_NE(timc, nullptr);
    ASSERT_NE(timd, nullptr);
    EXPECT_TRUE(Has(Trace(), "UNTEN^TIM(4)"));
    CRect d = RectInClient(timd->m_hWnd);
    EXPECT_EQ(d.TopLeft(), CPoint(host.left, host.bottom));
    EXPECT_EQ(RectInClient(timc->m_hWnd).TopLeft(), CPoint(host.left + d.Width(), host.bottom));
    EXPECT_EQ(tim->GetStickTable().Entries().size(), 3u);

    // The same two cascading: the entries are updated, not added.
    Press(tim, 3);
    EXPECT_EQ(tim->GetStickTable().Entries().size(), 3u);
    CRect first = RectInClient(timd->m_hWnd), second = RectInClient(timc->m_hWnd);
    EXPECT_EQ(first.TopLeft(), CPoint(host.left, host.bottom));
    EXPECT_EQ(second.TopLeft(), CPoint(host.left + 20, host.bottom + 20));

    // The run flag refreshes the open neighbour through its timer update.
    Trace();
    Press(tim, 4);
    seen = Trace();
    EXPECT_TRUE(Has(seen, "AUF^TIM"));
    EXPECT_EQ(CountOf(seen, "OPEN^TIM(\"TIMB\")"), 1) << "TIMB's init ran again";
    EXPECT_EQ(FrameOf("TIMB"), timb) << "refreshed, not opened again";

    // "F3": the neighbour closes, and its host forgets it.
    Press(tim, 5);
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "ZU^TIM"));
    EXPECT_EQ(FrameOf("TIMB"), nullptr);
    EXPECT_EQ(tim->GetStickTable().Entries().size(), 2u) << "the removal was served";
    for (const auto& e : tim->GetStickTable().Entries())
        EXPECT_NE(e.flags & vorlan::kStickSideMask, 2u);
    // Refreshing a neighbour that is not open opens nothing.
    Press(tim, 4);
    EXPECT_EQ(FrameOf("TIMB"), nullptr);

    // The frames opened from TIM go with it.
    tim->SendMessage(WM_COMMAND, ID_FORM_CLOSE);
    harness::Pump();
    harness::Pump();
    EXPECT_EQ(FrameOf("TIM"), nullptr);
    EXPECT_EQ(FrameOf("TIMC"), nullptr);
    EXPECT_EQ(FrameOf("TIMD"), nullptr);
}
