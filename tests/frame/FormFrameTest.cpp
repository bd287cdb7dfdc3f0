// Menu choices open form frames; the frames' tabs, init answers and close rules.
#include "tests/frame/MainFrameFixture.h"

#include "forms/ChildDialog.h"
#include "forms/FormGlobals.h"
#include "framework/Menu.h"
#include "resources/MainFrameIds.h"

namespace {

// What Enter in the memo box's edit does: the box answers the end of editing.
void StartMemoTyped(CToolbarMemo& memo, const char* text) {
    NMCBEENDEDITA end{};
    end.hdr.hwndFrom = memo.m_hWnd;
    end.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(memo.m_hWnd));
    end.hdr.code = CBEN_ENDEDITA;
    end.iWhy = CBENF_RETURN;
    lstrcpynA(end.szText, text, sizeof end.szText);
    SendMessageA(GetParent(memo.m_hWnd), WM_NOTIFY, end.hdr.idFrom, reinterpret_cast<LPARAM>(&end));
}

} // namespace

TEST_F(MainFrameTest, ALeafOpensAFrameWithTheScreensTitle) {
    LogIn();
    StartMemo("pat");
    ASSERT_EQ(Frames().size(), 1u);
    CBaseMDI* pat = Active();
    ASSERT_NE(pat, nullptr);
    EXPECT_TRUE(demo.Saw("W $$SELECTM^QCC(\"PAT\")")) << "the name goes upper-cased";
    EXPECT_EQ(fw::WindowText(pat->m_hWnd), "Patientendaten");
    EXPECT_EQ(fw::WindowText(frame->m_hWnd), "VORLAN experience - Patientendaten");
    EXPECT_TRUE(IsWindowVisible(pat->m_hWnd));
    EXPECT_GE(GetDlgCtrlID(pat->m_hWnd), ID_MDI_FIRST);
    EXPECT_EQ(demo.dn, "PATIENT") << "the form tells the server which form it is";
    EXPECT_TRUE(demo.Saw("K %F,%INF D PRGINIT^QCC(\"\") W:$D(%F)&$D(%INF) \"!\" W $G(%F,\"!\")"));
    EXPECT_TRUE(IsWindowEnabled(pat->GetForm(1)->m_hWnd));
    EXPECT_EQ(fw::WindowText(frame->GetMemoBox().m_hWnd), "PAT (Patientendaten)");
}

TEST_F(MainFrameTest, NextFrameOpensEighteenPixelsFurtherAndAnOpenScreenIsReused) {
    LogIn();
    StartMemo("PAT");
    HWND first = Active()->m_hWnd;
    StartMemo("KART");
    HWND second = Active()->m_hWnd;
    ASSERT_NE(first, second);
    CRect a = RectInClient(first), b = RectInClient(second);
    EXPECT_EQ(b.left - a.left, 18);
    EXPECT_EQ(b.top - a.top, 18);
    CRect want = frame->GetMDIDefaultRect();
    EXPECT_EQ(want.left, b.left + 18);
    EXPECT_EQ(want.top, b.top + 18);

    StartMemo("PAT");
    EXPECT_EQ(Frames().size(), 2u) << "no second frame of the same screen";
    EXPECT_EQ(frame->MDIGetActive(), first);
}

TEST_F(MainFrameTest, MenuNumbersOpenTheFourthPieceAndRoutinesOpenNothing) {
    LogIn();
    frame->SendMessage(WM_MENUSELECTED, 8);
    harness::Pump();
    EXPECT_TRUE(Frames().empty()) << "an answer beginning with ^ opens nothing";
    frame->SendMessage(WM_MENUSELECTED, 7);
    harness::Pump();
    ASSERT_EQ(Frames().size(), 1u);
    EXPECT_EQ(fw::WindowText(Frames()[0]), "Patientendaten");
}

TEST_F(MainFrameTest, VisibleKarteiNodesBecomeTabsWithTheirOwnInit) {
    LogIn();
    StartMemo("KART");
    CBaseMDI* kart = Active();
    ASSERT_NE(kart, nullptr);
    HWND tabs = kart->GetDlgItem(IDC_FRAME_TABS);
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3) << "the hidden KLAB gets no tab";
    EXPECT_EQ(kart->GetFormCount(), 3);
    auto* view = dynamic_cast<CTabCtrl*>(CWnd::FromHandlePermanent(tabs));
    ASSERT_NE(view, nullptr);
    EXPECT_EQ(view->GetItemText(1), "Befunde");
    EXPECT_EQ(view->GetItemText(2), "Diagnosen");
    EXPECT_EQ(view->GetItemParam(0), 1);
    EXPECT_EQ(view->GetItemParam(1), 32768 + 2) << "not initialised yet";

    demo.lines.clear();
    kart->SendMessage(WM_DIAGSELECTED, static_cast<WPARAM>(view->GetItemParam(1)), 1);
    EXPECT_TRUE(demo.Saw("K %F,%INF D PRGINIT^QCC(\"S %QX=1\") W:$D(%F)&$D(%INF) \"!\" W $G(%F,\"!\")"))
        << "the tab's own init code, whole";
    EXPECT_EQ(view->GetItemParam(1), 2);
    EXPECT_EQ(kart->GetTopForm(), kart->GetForm(2));
    EXPECT_TRUE(IsWindowVisible(kart->GetForm(2)->m_hWnd));
    EXPECT_FALSE(IsWindowVisible(kart->GetForm(1)->m_hWnd));
}

TEST_F(MainFrameTest, AnInitAnswerOtherThanTheMarkRefusesTheForm) {
    demo.initCodes["PATIENT"] = "D NO";
    demo.refusingInit = "D NO";
    LogIn();
    StartMemo("PAT");
    CBaseMDI* pat = Active();
    ASSERT_NE(pat, nullptr);
    EXPECT_FALSE(IsWindowEnabled(pat->GetForm(1)->m_hWnd)) << "the form stays, disabled";
    EXPECT_TRUE(Boxes().empty()) << "what the init says is the form's to show";
    pat->ActivateWindow(1, 1);
    ASSERT_EQ(Boxes().size(), 1u) << "an activation that runs the init shows its answer";
    EXPECT_EQ(Boxes()[0].text, "Kein Zugriff auf diese Maske.");
}

TEST_F(MainFrameTest, NoKillRefusesClosingAndTheLastFrameRestoresTheMainTitle) {
    LogIn();
    StartMemo("SPERR");
    CBaseMDI* locked = Active();
    ASSERT_NE(locked, nullptr);
    HWND h = locked->m_hWnd;
    SendMessageA(h, WM_CLOSE, 0, 0);
    harness::Pump();
    EXPECT_TRUE(IsWindow(h)) << "%NOKILL keeps it open";
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes().back().text, "Bitte erst speichern.");

    demo.noKill.clear();
    SendMessageA(h, WM_CLOSE, 0, 0);
    harness::Pump();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_EQ(fw::WindowText(frame->m_hWnd), "VORLAN experience");
    EXPECT_EQ(fw::WindowText(frame->GetMemoBox().m_hWnd), "");
}

TEST_F(MainFrameTest, WindowMenuListsTheFramesAndChecksTheActiveOne) {
    LogIn();
    StartMemo("PAT");
    StartMemo("KART");
    HMENU popup = CMenu::FindPopupOf(frame->GetFrameMenu(), ID_WINDOW_CLOSE_ALL);
    ASSERT_NE(popup, nullptr);
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 4);
    int first = CMenu::FindItem(popup, ID_MDI_FIRST);
    ASSERT_GE(first, 0);
    EXPECT_EQ(CMenu::ItemText(popup, first), "&1 Patientendaten");
    EXPECT_EQ(CMenu::ItemText(popup, first + 1), "&2 Karteikarte");
    EXPECT_TRUE(GetMenuState(popup, ID_MDI_FIRST + 1, MF_BYCOMMAND) & MF_CHECKED);
    frame->SendMessage(WM_COMMAND, ID_MDI_FIRST);
    EXPECT_EQ(CWnd::FromHandlePermanent(frame->MDIGetActive())->GetWindowText(), "Patientendaten");
    frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 4);
    EXPECT_EQ(CMenu::FindItem(popup, ID_MDI_FIRST + 2), -1) << "rebuilt, not appended";
}

TEST_F(MainFrameTest, CascadeAndTileMoveTheFrames) {
    LogIn();
    StartMemo("PAT");
    StartMemo("KART");
    frame->SendMessage(WM_COMMAND, ID_WINDOW_TILE_HORZ);
    std::vector<HWND> frames = Frames();
    CRect active = RectInClient(frames[0]), behind = RectInClient(frames[1]);
    EXPECT_EQ(active.left, 0);
    EXPECT_EQ(behind.left, active.Width());
    EXPECT_EQ(behind.top, 0);
    frame->SendMessage(WM_COMMAND, ID_WINDOW_CASCADE);
    EXPECT_EQ(RectInClient(frames[1]).left, 0);
    EXPECT_EQ(RectInClient(frames[0]).left, 20) << "the active frame last";
}

TEST_F(MainFrameTest, ClosingTheMainFrameAsksOnceClosesFormsAndLogsOut) {
    LogIn();
    StartMemo("PAT");
    fw::TestMode::PushAnswer("box IDNO");
    frame->SendMessage(WM_CLOSE);
    harness::Pump();
    ASSERT_TRUE(frame->IsWindow()) << "No keeps everything";
    EXPECT_FALSE(demo.Saw("D LOGOUT^QCC"));

    // A close that arrives while a line runs (a message served during the call).
    bool keptDuringCall = false;
    auto answer = server.answer;
    server.answer = [&](const std::string& code, int handle) {
        if (code == "W 1") {
            frame->SendMessage(WM_CLOSE);
            keptDuringCall = frame->IsWindow();
        }
        return answer(code, handle);
    };
    TheSession().Execute("W 1");
    server.answer = answer;
    EXPECT_TRUE(keptDuringCall) << "no close while a server call runs";

    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("box IDYES");
    frame->SendMessage(WM_CLOSE);
    harness::Pump();
    frame = CMainFrame::Get();
    EXPECT_EQ(frame, nullptr);
    EXPECT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(demo.Saw("D LOGOUT^QCC"));
    EXPECT_TRUE(demo.Saw("K:$D(%SYS)&$D(%JOB) ^[%SYS]Z(\"PATH\",%JOB)"));
}

TEST_F(MainFrameTest, QuitSwitchEndsWithTheLastForm) {
    theApp.Settings().q = 1;
    LogIn();
    StartMemo("PAT");
    SendMessageA(Active()->m_hWnd, WM_CLOSE, 0, 0);
    harness::Pump();
    EXPECT_EQ(CMainFrame::Get(), nullptr);
    frame = nullptr;
    EXPECT_TRUE(demo.Saw("D LOGOUT^QCC"));
}

TEST_F(MainFrameTest, NamesWithoutAScreenFallBack) {
    LogIn();
    struct {
        const char* name;
        const char* viewed; // or null
        const char* box;    // or null
    } cases[] = {
        {"NIXDA", nullptr, "Zu diesem Namen gibt es keine Funktion."},
        {"telnet:", nullptr, "Für Telnetzugriff sind Entwicklungsrechte erforderlich!"},
        {"www.example.de", "web www.example.de", nullptr},
        {"QHELP", nullptr, nullptr},
    };
    for (const auto& c : cases) {
        fw::TestMode::ClearShown();
        viewed.clear();
        StartMemo(c.name);
        if (c.viewed) {
            ASSERT_EQ(viewed.size(), 1u) << c.name;
            EXPECT_EQ(viewed[0], c.viewed);
        } else {
            EXPECT_TRUE(viewed.empty()) << c.name;
        }
        if (c.box) {
            ASSERT_EQ(Boxes().size(), 1u) << c.name;
            EXPECT_EQ(Boxes()[0].text, c.box);
        } else {
            EXPECT_TRUE(Boxes().empty()) << c.name;
        }
    }
    EXPECT_TRUE(Frames().empty());
}

TEST_F(MainFrameTest, DevelopersGetTheTerminalAndSeeTheScreenName) {
    LogIn("chef", "chef");
    StartMemo("ssh:");
    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_EQ(viewed[0], "ssh");
    StartMemo("PAT");
    EXPECT_EQ(fw::WindowText(frame->m_hWnd), "VORLAN experience - Patientendaten [PATIENT]");
}

TEST_F(MainFrameTest, WebCallsOpenTheirEntryAndKillTheParameter) {
    demo.memos["PATWEB"] = "PATIENT";
    LogIn();
    demo.lines.clear();
    frame->SendMessage(WM_CALLFROMWEB, reinterpret_cast<WPARAM>("pat"), reinterpret_cast<LPARAM>("id=\"5\""));
    harness::Pump();
    std::vector<std::string> want = {"W $G(^QSYS(\"WEB\",\"PAT\"))", "S %WIN(\"WEB\")=\"id=\"\"5\"\"\"",
                                     "K %WIN(\"WEB\")"};
    std::vector<std::string> seen;
    for (const auto& l : demo.lines)
        if (l.find("WEB") != std::string::npos) seen.push_back(l);
    EXPECT_EQ(seen, want);
}

TEST_F(MainFrameTest, AWebCallOpensItsAddressAsTheServerWroteIt) {
    demo.webEntries["LINK"] = "www.example.de/Praxis?Name=M\xFCller";
    LogIn();
    viewed.clear();
    frame->SendMessage(WM_CALLFROMWEB, reinterpret_cast<WPARAM>("link"), 0);
    harness::Pump();
    ASSERT_EQ(viewed.size(), 1u);
    EXPECT_EQ(viewed[0], "web new www.example.de/Praxis?Name=M\xFCller");
}

TEST_F(MainFrameTest, HelpCommandsGoThroughTheViewer) {
    frame->SendMessage(WM_COMMAND, ID_HELP_USING);
    EXPECT_TRUE(viewed.empty()) << "help topics need a log-in";
    LogIn();
    StartMemo("PAT");
    frame->SendMessage(WM_COMMAND, ID_HELP_USING);
    frame->SendMessage(WM_COMMAND, ID_HELP_MANUAL);
    frame->SendMessage(WM_COMMAND, ID_WEBBROWSER);
    ASSERT_EQ(viewed.size(), 3u);
    EXPECT_EQ(viewed[2].rfind("web new https://", 0), 0u) << "always a window of its own";
    EXPECT_NE(viewed[0].find("vorhelp.chm::/"), std::string::npos);
    EXPECT_EQ(viewed[0].substr(viewed[0].find("::")), "::/PRAXIS.htm#PATIENT") << viewed[0];
    EXPECT_EQ(viewed[1].rfind("manual VORLAN Anleitung ", 0), 0u);
    EXPECT_EQ(viewed[1].substr(viewed[1].size() - 12), "handbuch.pdf");
}

TEST_F(MainFrameTest, FunctionKeysAreDisabledWithoutAFormAndTheirTextsAreBounded) {
    CCmdUI ui(ID_FKEY_FIRST);
    frame->UpdateCmdUI(ui);
    EXPECT_FALSE(ui.m_bEnabled);
    frame->SendMessage(WM_SETFKEY, 3,
                       reinterpret_cast<LPARAM>("Suchen\xA7"
                                                "F8"));
    EXPECT_EQ(frame->GetKeyText(3), "Suchen");
    EXPECT_EQ(frame->SendMessage(WM_SETFKEY, 500, reinterpret_cast<LPARAM>("x")), 0) << "index checked";
}

TEST_F(MainFrameTest, ScreensWithoutVisibleTabsGetNoTabControl) {
    LogIn();
    for (const char* memo : {"PAT", "VERS"}) {
        StartMemo(memo);
        ASSERT_NE(Active(), nullptr) << memo;
        EXPECT_EQ(Active()->GetDlgItem(IDC_FRAME_TABS), nullptr) << memo;
        EXPECT_EQ(Active()->GetFormCount(), 1) << memo;
    }
}

TEST_F(MainFrameTest, ToolTipsComeFromTheKeyTableAndServerCodeIsAskedEachTime) {
    auto tip = [&](UINT id) {
        NMTTDISPINFOA info{};
        info.hdr.hwndFrom = frame->m_hWnd;
        info.hdr.idFrom = id;
        info.hdr.code = TTN_GETDISPINFOA;
        frame->SendMessage(WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
        return std::string(info.lpszText ? info.lpszText : "");
    };
    LogIn();
    frame->SendMessage(WM_SETFKEY, 0, reinterpret_cast<LPARAM>("  Suchen [F5];Strg+F"));
    EXPECT_EQ(tip(32800), "Suchen");
    frame->SendMessage(WM_SETFKEY, 8, reinterpret_cast<LPARAM>("*W $$TIP^QCC(5)"));
    EXPECT_EQ(tip(32981), "Suchen nach Namen") << "the part after the line feed";
    tip(32981);
    EXPECT_EQ(demo.tipAsked, 2);
    EXPECT_EQ(tip(57600), "Anmelden") << "other commands: their string's tip";
}

TEST_F(MainFrameTest, ProgressTakesTheFirstPaneAndGivesItBack) {
    HWND bar = frame->GetDlgItem(ID_STATUS_BAR);
    HWND progress = GetWindow(bar, GW_CHILD);
    ASSERT_NE(progress, nullptr);
    frame->SetStatusText("Bereit");
    frame->SetProgressStatus("Drucke ...", 3, 10);
    EXPECT_TRUE(IsWindowVisible(progress));
    EXPECT_EQ(StatusPane(0), "Drucke ...");
    EXPECT_EQ(SendMessageA(progress, PBM_GETPOS, 0, 0), 3);
    frame->SetProgressStatus("weiter", 7, 10);
    EXPECT_EQ(SendMessageA(progress, PBM_GETPOS, 0, 0), 7);
    frame->SetProgressStatus(nullptr, -1, 0);
    EXPECT_FALSE(IsWindowVisible(progress));
    EXPECT_EQ(StatusPane(0), "Bereit") << "the text before the progress";
}

TEST_F(MainFrameTest, DatabaseSpaceIsCheckedAfterTheLogIn) {
    demo.spaceTest = "1";
    demo.initAnswer = ""; // no client and year message on the later log-ins
    struct {
        const char* space;
        bool loggedIn;
        UINT icon;
    } cases[] = {{"", true, 0}, {"1", true, MB_ICONEXCLAMATION}, {"2", false, MB_ICONSTOP}};
    for (const auto& c : cases) {
        demo.space = c.space;
        fw::TestMode::ClearShown();
        LogIn();
        EXPECT_EQ(frame->IsLoggedIn(), c.loggedIn) << c.space;
        if (c.icon) {
            ASSERT_EQ(Boxes().size(), 1u) << c.space;
            EXPECT_TRUE(Boxes()[0].id & c.icon);
        } else {
            EXPECT_TRUE(Boxes().empty());
        }
        frame->MDICloseAll();
    }
}

TEST_F(MainFrameTest, TheServersLanguageSwitchesTheLanguageLibrary) {
    demo.language = "E";
    LogIn();
    EXPECT_EQ(CMenu::ItemText(frame->GetFrameMenu(), 0), "&File");
    ASSERT_TRUE(theApp.LoadLanguageDll('D'));
}

TEST_F(MainFrameTest, CharacterCellsFollowTheFrameFont) {
    HDC dc = GetDC(frame->m_hWnd);
    HGDIOBJ old = SelectObject(dc, frame->GetFrameFont(0));
    TEXTMETRICA tm{};
    GetTextMetricsA(dc, &tm);
    SelectObject(dc, old);
    ReleaseDC(frame->m_hWnd, dc);
    EXPECT_EQ(vorlan::g_nCharWidthUnit, tm.tmAveCharWidth + 2);
    EXPECT_GE(vorlan::g_nRowHeightUnit, tm.tmHeight + 2 + 2 * GetSystemMetrics(SM_CYEDGE));
}

TEST_F(MainFrameTest, AFrameThatRefusesStopsTheCloseAndTheSessionStaysOpen) {
    LogIn();
    StartMemo("SPERR");
    HWND locked = Active()->m_hWnd;
    StartMemo("PAT");
    HWND pat = Active()->m_hWnd;
    fw::TestMode::PushAnswer("box IDYES");
    frame->SendMessage(WM_CLOSE);
    harness::Pump();
    ASSERT_NE(CMainFrame::Get(), nullptr) << "the refusing frame stops the close";
    EXPECT_TRUE(IsWindow(locked));
    EXPECT_TRUE(IsWindowVisible(locked)) << "shown again after the close-all";
    EXPECT_TRUE(IsWindowVisible(pat)) << "%NOKILL is the job's: it refuses for every frame";
    EXPECT_TRUE(frame->IsLoggedIn());
    EXPECT_FALSE(demo.Saw("D LOGOUT^QCC"));
}

TEST_F(MainFrameTest, NextWindowFromTheFramesSystemMenu) {
    LogIn();
    StartMemo("PAT");
    HWND first = Active()->m_hWnd;
    StartMemo("KART");
    SendMessageA(Active()->m_hWnd, WM_SYSCOMMAND, ID_NEXT_WINDOW, 0);
    EXPECT_EQ(frame->MDIGetActive(), first);
}

TEST_F(MainFrameTest, TheMemoBoxKeepsTwentyNamesPerUserOnTheServer) {
    demo.memoHistory = {"PAT (Patientendaten)", "KART (Karteikarte)"};
    LogIn();
    CToolbarMemo& memo = frame->GetMemoBox();
    ASSERT_EQ(memo.GetCount(), 2);
    EXPECT_EQ(memo.GetItemText(0), "PAT (Patientendaten)");

    memo.ShowMemo("KART (Karteikarte)");
    EXPECT_EQ(memo.GetItemText(0), "PAT (Patientendaten)") << "a known name does not move up";
    for (int i = 0; i < 25; ++i)
        memo.ShowMemo(("M" + std::to_string(i)).c_str());
    EXPECT_EQ(memo.GetCount(), 20);
    EXPECT_EQ(memo.GetItemText(0), "M24");
    memo.ShowMemo("ZI\"TAT");

    frame->MDICloseAll();
    EXPECT_EQ(memo.GetCount(), 0) << "emptied at the end of the session";
    ASSERT_GE(demo.memoHistory.size(), 20u);
    EXPECT_EQ(demo.memoHistory[0], "ZI'TAT") << "quotes are stored as single quotes";
    EXPECT_EQ(demo.memoHistory[1], "M24");

    demo.lines.clear();
    StartMemoTyped(memo, "pat mit Worten");
    EXPECT_TRUE(demo.Saw("W $$SELECTM^QCC(\"PAT\")")) << "the name up to the first blank";
}
