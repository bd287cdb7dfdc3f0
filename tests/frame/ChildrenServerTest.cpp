// The main frame's children without server forms against the demo application on the
// fixture's dbserver: the terminal through the VOREXT.DLL double beside this program, and the
// list of the job's print output.
#include "frame/ChildList.h"
#include "frame/ChildTerminal.h"
#include "framework/Clipboard.h"
#include "resources/ChildrenIds.h"
#include "tests/frame/ServerFrameFixture.h"

#include <cstdio>
#include <cstdlib>

using demotrace::CountOf;
using demotrace::Has;

namespace {

class ChildrenTest : public ServerFrameTest {
  protected:
    void SetUp() override {
        ServerFrameTest::SetUp();
        frame->SetViewer(MakeFrameViewer());
        vorlan::SetField(theApp.Settings().telnetPort, "2323");
        m_record = harness::ExeFolder() + "vorext-record.txt";
        std::remove(m_record.c_str());
        _putenv_s("VOREXT_RECORD", m_record.c_str());
    }
    void TearDown() override {
        for (HWND h : Frames())
            frame->MDIActivate(h), ::SendMessageA(h, WM_CLOSE, 0, 0);
        harness::Pump();
        ServerFrameTest::TearDown();
    }
    template <class T> std::vector<T*> Children() const {
        std::vector<T*> out;
        for (HWND h : Frames())
            if (auto* c = dynamic_cast<T*>(CWnd::FromHandlePermanent(h))) out.push_back(c);
        return out;
    }
    // Pumps until the condition holds (the terminal lives on a thread of its own).
    static bool PumpUntil(const std::function<bool()>& done) {
        return harness::PumpUntil([&] { return done(); }, 5000);
    }
    std::string Recorded() const { return harness::ReadTextFile(m_record); }
    // A key as the program's message loop hands it over: pre-translated first.
    static void Press(HWND target, WPARAM key) {
        MSG msg{target, WM_KEYDOWN, key, 0, 0, {0, 0}};
        if (!theApp.PreTranslateMessage(&msg)) ::SendMessageA(target, WM_KEYDOWN, key, 0);
        harness::Pump();
    }
    std::string MainTitle() const { return fw::WindowText(frame->m_hWnd); }
    std::string MemoText() const { return fw::WindowText(frame->GetMemoBox().m_hWnd); }

  private:
    std::string m_record;
};

// The rich edit's text with its paragraph marks as line feeds.
std::string ListText(CChildList* list) {
    std::string text = list->GetEdit().GetText().str();
    for (char& c : text)
        if (c == '\r') c = '\n';
    return text;
}

} // namespace

TEST_F(ChildrenTest, TheTerminalNeedsDeveloperRights) {
    LogIn();
    StartMemo("telnet:");
    EXPECT_TRUE(Frames().empty());
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes().back().text, "F\xFCr Telnetzugriff sind Entwicklungsrechte erforderlich!");
    EXPECT_EQ(Recorded(), "") << "the library is not called";
}

TEST_F(ChildrenTest, OneTerminalRunsTheLibraryAndShowsItsTitle) {
    LogIn("entw", "entw");
    StartMemo("telnet:");
    ASSERT_EQ(Children<CChildTerminal>().size(), 1u);
    CChildTerminal* terminal = Children<CChildTerminal>()[0];
    ASSERT_TRUE(PumpUntil([&] { return terminal->TerminalWindow() && terminal->GetWindowText() != ""; }));
    EXPECT_EQ(Recorded(), "-telnet 127.0.0.1 2323\n");
    EXPECT_EQ(terminal->GetWindowText(), "Terminal -telnet 127.0.0.1 2323");
    EXPECT_EQ(MainTitle(), "VORLAN experience - Terminal -telnet 127.0.0.1 2323");
    EXPECT_EQ(MemoText(), "Terminal -telnet 127.0.0.1 2323");
    CRect inner, client = terminal->GetClientRect();
    GetClientRect(terminal->TerminalWindow(), &inner);
    EXPECT_EQ(inner.Width(), client.Width()) << "the session fills the frame";
    EXPECT_EQ(inner.Height(), client.Height());

    StartMemo("ssh:");
    EXPECT_EQ(Children<CChildTerminal>().size(), 1u) << "the open terminal is activated";
    EXPECT_EQ(frame->MDIGetActive(), terminal->m_hWnd);
    EXPECT_EQ(Recorded(), "-telnet 127.0.0.1 2323\n");

    // The session ends: the frame closes and the main window gets its own title back.
    HWND window = terminal->m_hWnd;
    SendMessageA(terminal->TerminalWindow(), WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_EQ(MainTitle(), "VORLAN experience");
}

TEST_F(ChildrenTest, SshSessionsNameOnlyTheAddressAndEscapeClosesTheFrame) {
    LogIn("entw", "entw");
    StartMemo("SSH:");
    ASSERT_EQ(Children<CChildTerminal>().size(), 1u);
    CChildTerminal* terminal = Children<CChildTerminal>()[0];
    ASSERT_TRUE(PumpUntil([&] { return terminal->TerminalWindow() != nullptr; }));
    EXPECT_EQ(Recorded(), "-ssh 127.0.0.1\n");
    HWND window = terminal->m_hWnd;
    Press(terminal->TerminalWindow(), VK_ESCAPE);
    EXPECT_TRUE(PumpUntil([&] { return !IsWindow(window); }));
    EXPECT_TRUE(Frames().empty());
}

TEST_F(ChildrenTest, WithoutTheLibraryTheTerminalStaysEmpty) {
    std::string dll = harness::ExeFolder() + "VOREXT.DLL", away = harness::ExeFolder() + "VOREXT.off";
    ASSERT_TRUE(MoveFileA(dll.c_str(), away.c_str()));
    LogIn("entw", "entw");
    StartMemo("telnet:");
    Sleep(300);
    harness::Pump();
    MoveFileA(away.c_str(), dll.c_str());
    ASSERT_EQ(Children<CChildTerminal>().size(), 1u);
    EXPECT_EQ(Children<CChildTerminal>()[0]->TerminalWindow(), nullptr);
    EXPECT_EQ(Recorded(), "");
}

TEST_F(ChildrenTest, TheListShowsThePrintOutputWithBracesAsBrackets) {
    LogIn();
    StartMemo("PAT");
    Trace();
    CChildList* list = frame->ShowListOutput();
    ASSERT_NE(list, nullptr);
    EXPECT_TRUE(IsZoomed(list->m_hWnd));
    EXPECT_EQ(frame->MDIGetActive(), list->m_hWnd);
    EXPECT_EQ(list->GetWindowText(), "Druckausgabe (PAT)");
    EXPECT_EQ(ListText(list),
              "Druckausgabe der Praxis\n[Termine] am Vormittag\nSumme: 3 Termine\nEnde der Liste");
    Lines trace = Trace();
    for (int n = 1; n <= 5; ++n)
        EXPECT_EQ(CountOf(trace, "DRUCK^QCC(" + TheSession().Job().str() + "," + std::to_string(n) + ")"), 1)
            << n;
    EXPECT_FALSE(Has(trace, "DRUCK^QCC(" + TheSession().Job().str() + ",6)"));
    CCmdUI print(ID_CHILD_PRINT);
    frame->UpdateCmdUI(print);
    EXPECT_TRUE(print.m_bEnabled) << "the list printer prints it";

    // F12 copies everything; Escape closes the list and the form frame is active again.
    Press(list->GetEdit().m_hWnd, VK_F12);
    std::string copied;
    ASSERT_TRUE(fw::GetClipboardText(frame->m_hWnd, copied));
    EXPECT_NE(copied.find("[Termine] am Vormittag"), std::string::npos) << copied;
    EXPECT_NE(copied.find("Ende der Liste"), std::string::npos) << copied;
    HWND window = list->m_hWnd;
    Press(list->GetEdit().m_hWnd, VK_ESCAPE);
    EXPECT_FALSE(IsWindow(window));
    EXPECT_NE(Active(), nullptr);
}

TEST_F(ChildrenTest, TheEndMarkerCountsFromTheSecondLine) {
    LogIn();
    theApp.Execute("S ^ZDR($J,\"LISTE\",1)=$C(167),^ZDR($J,\"LISTE\",2)=\"{x}\"");
    CChildList* list = frame->ShowListOutput();
    theApp.Execute("K ^ZDR($J)");
    ASSERT_NE(list, nullptr);
    EXPECT_EQ(ListText(list), "\xA7\n[x]");
    EXPECT_EQ(list->GetWindowText(), "Druckausgabe");
}
