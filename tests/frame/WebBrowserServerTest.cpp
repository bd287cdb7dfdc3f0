// The web-browser child against the demo application on the fixture's dbserver, with the
// browser control's double registered in the test prefix: its pages are scripts of the
// control's events (tests/frame/BrowserDouble.cpp), and it logs what the program asked of it.
#include "forms/ChildDialog.h"
#include "frame/ChildWebBrowser.h"
#include "resources/ChildrenIds.h"
#include "tests/frame/ServerFrameFixture.h"

#include <exdispid.h>

#include <algorithm>

namespace {

class WebTest : public ServerFrameTest {
  protected:
    void SetUp() override {
        ServerFrameTest::SetUp();
        frame->SetViewer(MakeFrameViewer());
        m_log = harness::ExeFolder() + "browser-log.txt";
        DeleteFileA(m_log.c_str());
        SetEnvironmentVariableA("BROWSER_DOUBLE_LOG", m_log.c_str());
        LogIn();
    }
    void TearDown() override {
        for (HWND h : Frames())
            ::SendMessageA(h, WM_CLOSE, 0, 0);
        harness::Pump();
        ServerFrameTest::TearDown();
    }
    // A page of the double: its lines are the events it fires after loading.
    std::string Page(const std::string& name, const std::string& lines) {
        std::string path = harness::ExeFolder() + name;
        harness::WriteTextFile(path, lines);
        return path;
    }
    std::vector<CChildWebBrowser*> Browsers() const {
        std::vector<CChildWebBrowser*> out;
        for (HWND h : Frames())
            if (auto* c = dynamic_cast<CChildWebBrowser*>(CWnd::FromHandlePermanent(h))) out.push_back(c);
        return out;
    }
    // What the program asked of the control since the last look.
    Lines Asked() {
        std::string text = harness::ReadTextFile(m_log);
        DeleteFileA(m_log.c_str());
        Lines out;
        size_t from = 0;
        for (size_t at; (at = text.find('\n', from)) != std::string::npos; from = at + 1)
            out.push_back(text.substr(from, at - from));
        return out;
    }
    static bool Contains(const Lines& lines, const std::string& line) {
        return std::find(lines.begin(), lines.end(), line) != lines.end();
    }
    bool Enabled(UINT id) {
        CCmdUI ui(id);
        frame->UpdateCmdUI(ui);
        return ui.m_bEnabled;
    }
    std::string MainTitle() const { return fw::WindowText(frame->m_hWnd); }
    std::string MemoText() const { return fw::WindowText(frame->GetMemoBox().m_hWnd); }

  private:
    std::string m_log;
};

// BeforeNavigate2 as the control fires it, with made-up arguments.
struct Navigation {
    VARIANT url, flags, target, post, headers;
    VARIANT args[7];
    VARIANT_BOOL cancel = VARIANT_FALSE;
    Navigation(const wchar_t* address, const wchar_t* frameName) {
        for (VARIANT* v : {&url, &flags, &target, &post, &headers})
            VariantInit(v);
        url.vt = VT_BSTR;
        url.bstrVal = SysAllocString(address);
        if (frameName) {
            target.vt = VT_BSTR;
            target.bstrVal = SysAllocString(frameName);
        }
        VARIANT* refs[5] = {&url, &flags, &target, &post, &headers};
        // In DISPPARAMS the last argument comes first.
        VariantInit(&args[6]);
        args[6].vt = VT_DISPATCH;
        for (int i = 0; i < 5; ++i) {
            VariantInit(&args[5 - i]);
            args[5 - i].vt = VT_BYREF | VT_VARIANT;
            args[5 - i].pvarVal = refs[i];
        }
        VariantInit(&args[0]);
        args[0].vt = VT_BYREF | VT_BOOL;
        args[0].pboolVal = &cancel;
    }
    ~Navigation() {
        VariantClear(&url);
        VariantClear(&target);
    }
    DISPPARAMS Params() { return DISPPARAMS{args, nullptr, 7, 0}; }
};

} // namespace

TEST_F(WebTest, ThePageEventsDriveTheChildAndItsCommands) {
    std::string first =
        Page("seite1.vls", "title \xDC"
                           "bersicht\nstatus Fertig\nprogress 30 100\ncommand 2 1\ncommand 1 0\nbusy 1\n");
    StartMemo(first.c_str());
    ASSERT_EQ(Browsers().size(), 1u);
    CChildWebBrowser* web = Browsers()[0];
    Lines asked = Asked();
    EXPECT_TRUE(Contains(asked, "UserMode -1")) << "the ambient user mode";
    EXPECT_TRUE(Contains(asked, "Navigate " + first));
    EXPECT_TRUE(web->IsWindowVisible());
    EXPECT_FALSE(IsZoomed(web->m_hWnd)) << "without a fixed title in normal size";
    EXPECT_EQ(frame->MDIGetActive(), web->m_hWnd);
    EXPECT_EQ(web->GetWindowText(), "\xDC"
                                    "bersicht");
    EXPECT_EQ(MainTitle(), "VORLAN experience - \xDC"
                           "bersicht");
    EXPECT_EQ(MemoText(), first) << "the address in the memo box";
    EXPECT_EQ(web->GetStatusBar().GetText(0), "Fertig");
    EXPECT_TRUE(web->GetProgress().IsWindowVisible());
    EXPECT_EQ(web->GetProgress().GetPos(), 30);
    EXPECT_EQ(web->GetStatusBar().GetPartCount(), 4);
    CRect pane = web->GetStatusBar().GetRect(1), bar = web->GetProgress().GetWindowRect();
    EXPECT_NEAR(pane.Width(), 80, 4);
    EXPECT_EQ(bar.Width(), pane.Width()) << "the progress fills its pane";

    EXPECT_TRUE(Enabled(ID_CHILD_BACK));
    EXPECT_FALSE(Enabled(ID_CHILD_FORWARD));
    EXPECT_TRUE(Enabled(ID_CHILD_STOP)) << "the control is busy";
    EXPECT_TRUE(Enabled(ID_CHILD_PRINT));
    for (UINT id : {ID_CHILD_BACK, ID_CHILD_FORWARD, ID_CHILD_STOP, ID_CHILD_PRINT})
        frame->SendMessage(WM_COMMAND, id);
    EXPECT_EQ(Asked(), (Lines{"GoBack", "Stop", "ExecWB 6 0"}));

    // Another address in the same window: the active browser without fixed title is reused.
    std::string second =
        Page("seite2.vls",
             "progress -1 100\nresizable 1\nleft 10\ntop -1\nwidth 300\nclienttohost 200 100\nquiet\n");
    CRect before = RectInClient(web->m_hWnd);
    StartMemo(second.c_str());
    ASSERT_EQ(Browsers().size(), 1u);
    EXPECT_FALSE(web->GetProgress().IsWindowVisible());
    EXPECT_EQ(web->GetStatusBar().GetPartCount(), 3);
    EXPECT_TRUE(GetWindowLongA(web->m_hWnd, GWL_STYLE) & WS_THICKFRAME);
    CRect after = RectInClient(web->m_hWnd);
    EXPECT_EQ(after.left, 10);
    EXPECT_EQ(after.top, before.top) << "a negative value leaves the coordinate";
    EXPECT_EQ(after.Width(), 300);
    RECT outer{0, 0, 200, 120};
    AdjustWindowRectEx(&outer, static_cast<DWORD>(GetWindowLongA(web->m_hWnd, GWL_STYLE)), FALSE,
                       static_cast<DWORD>(GetWindowLongA(web->m_hWnd, GWL_EXSTYLE)));
    EXPECT_TRUE(Contains(Asked(), "ClientToHost " + std::to_string(outer.right - outer.left) + " " +
                                      std::to_string(outer.bottom - outer.top)));
    EXPECT_EQ(web->GetWindowText(), "\xDC"
                                    "bersicht")
        << "events without a handler change nothing";
}

TEST_F(WebTest, AVorlanLinkCallsTheClientOnceAndTheChildCloses) {
    std::string page = Page("termin.vls", "title Termine\n"
                                          "link http://server/termin.htm?datum=09.12.2026 vorlan:TERMIN\n"
                                          "link http://server/anderes.htm vorlan:PAT\n"
                                          "title Sp\xE4ter\n");
    Trace();
    recorder->Take();
    StartMemo(page.c_str());
    harness::Pump();
    Lines asked = Asked();
    EXPECT_TRUE(Contains(asked, "Cancelled http://server/termin.htm?datum=09.12.2026"));
    EXPECT_TRUE(Contains(asked, "Followed http://server/anderes.htm")) << "later links are not the client's";
    EXPECT_TRUE(Browsers().empty()) << "the child closed itself";
    Lines lines = recorder->Take();
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), "S %WIN(\"WEB\")=\"datum=09.12.2026\"") != lines.end());
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(Active()->GetForm(1)->GetFormName(), "TER") << "^QSYS(\"WEB\",\"TERMIN\") names the screen";
    EXPECT_EQ(demotrace::CountOf(Trace(), "SELECTM^QCC(\"PAT\")"), 0) << "the second link called nothing";
}

TEST_F(WebTest, MadeUpNavigationsFollowTheLinkRules) {
    std::string page = Page("leer.vls", "");
    StartMemo(page.c_str());
    ASSERT_EQ(Browsers().size(), 1u);
    CChildWebBrowser* web = Browsers()[0];
    HWND window = web->m_hWnd;
    recorder->Take();

    // A URL that is not text is no call; the navigation goes on.
    Navigation plain(L"http://server/seite.htm", L"_self");
    VariantClear(&plain.url);
    plain.url.vt = VT_I4;
    DISPPARAMS params = plain.Params();
    web->OnBrowserEvent(DISPID_BEFORENAVIGATE2, &params);
    EXPECT_EQ(plain.cancel, VARIANT_FALSE);

    // "vorlan:" alone with a URL without "?": an empty key, which the frame leaves alone.
    Navigation call(L"http://server/ohne.htm", L"VORLAN:");
    params = call.Params();
    web->OnBrowserEvent(DISPID_BEFORENAVIGATE2, &params);
    EXPECT_EQ(call.cancel, VARIANT_TRUE);
    Navigation later(L"http://server/x.htm?a=1", L"vorlan:TERMIN");
    params = later.Params();
    web->OnBrowserEvent(DISPID_BEFORENAVIGATE2, &params);
    EXPECT_EQ(later.cancel, VARIANT_FALSE) << "ignored after the first call";
    for (const std::string& line : recorder->Take())
        EXPECT_EQ(line.find("WEB"), std::string::npos) << line;
    harness::Pump();
    EXPECT_FALSE(IsWindow(window));

    // A key and a URL without "?": the whole URL is the parameter.
    page = Page("link.vls", "link http://server/ganz.htm vorlan:pat\n");
    StartMemo(page.c_str());
    harness::Pump();
    Lines lines = recorder->Take();
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), "S %WIN(\"WEB\")=\"http://server/ganz.htm\"") !=
                lines.end());
    EXPECT_TRUE(std::find(lines.begin(), lines.end(), "W $G(^QSYS(\"WEB\",\"PAT\"))") != lines.end());
}

TEST_F(WebTest, AFixedTitleStaysAndItsWindowIsNeverReused) {
    frame->SendMessage(WM_COMMAND, ID_HELP_MANUAL);
    harness::Pump();
    ASSERT_EQ(Browsers().size(), 1u);
    CChildWebBrowser* manual = Browsers()[0];
    Lines asked = Asked();
    ASSERT_FALSE(asked.empty());
    EXPECT_EQ(asked.back().substr(asked.back().size() - 12), "handbuch.pdf");
    EXPECT_TRUE(IsZoomed(manual->m_hWnd)) << "a fixed title shows maximised";
    manual->Navigate(Page("titel.vls", "title Seitentitel\n").c_str());
    harness::Pump();
    EXPECT_EQ(manual->GetWindowText(), "VORLAN Anleitung");
    EXPECT_EQ(MainTitle(), "VORLAN experience - VORLAN Anleitung");

    StartMemo(Page("zwei.vls", "").c_str());
    EXPECT_EQ(Browsers().size(), 2u) << "the manual's window keeps its page";
}

TEST_F(WebTest, NewWindowsComeFromTheFrameUnlessAProductTitleIsSet) {
    HWND made = reinterpret_cast<HWND>(frame->SendMessage(WM_WEBBROWSER, 0, 0));
    ASSERT_NE(made, nullptr);
    EXPECT_FALSE(IsWindowVisible(made)) << "hidden until its first page";
    std::string other = Page("neu.vls", "title Neues Fenster\n");
    StartMemo(Page("opener.vls", "newwindow " + other + "\n").c_str());
    harness::Pump();
    EXPECT_TRUE(Contains(Asked(), "NewWindow 1"));
    ASSERT_EQ(Browsers().size(), 3u) << "WM_WEBBROWSER opens another window every time";
    int titled = 0;
    for (CChildWebBrowser* web : Browsers())
        titled += web->GetWindowText() == "Neues Fenster";
    EXPECT_EQ(titled, 1);

    theApp.SetAppTitle("Praxis Nord");
    EXPECT_EQ(frame->SendMessage(WM_WEBBROWSER, 0, 0), 0);
    EXPECT_EQ(frame->WebBrowser("http://server/", true, nullptr), nullptr);
    theApp.SetAppTitle("");
}

TEST_F(WebTest, ThePageClosesItsWindowAndDownloadsAreAnnounced) {
    StartMemo(Page("download.vls", "download\n").c_str());
    ASSERT_EQ(Browsers().size(), 1u);
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes().back().text, "Download!!!!");
    HWND first = Browsers()[0]->m_hWnd;
    StartMemo(Page("closing.vls", "closing\n").c_str());
    harness::Pump();
    EXPECT_FALSE(IsWindow(first));

    StartMemo(Page("esc.vls", "").c_str());
    ASSERT_EQ(Browsers().size(), 1u);
    HWND window = Browsers()[0]->m_hWnd;
    HWND control = GetFocus();
    ASSERT_TRUE(IsChild(window, control));
    MSG msg{control, WM_KEYDOWN, VK_ESCAPE, 0, 0, {0, 0}};
    EXPECT_TRUE(theApp.PreTranslateMessage(&msg));
    harness::Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(MainTitle(), "VORLAN experience");
}
