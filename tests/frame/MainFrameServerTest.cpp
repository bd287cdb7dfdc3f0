// The main frame against the demo application on a real dbserver, through the client
// library: log-in, menu tree, form frames and log-out, as the server's trace shows them.
#include "tests/frame/ServerFrameFixture.h"

#include "forms/ChildDialog.h"
#include "resources/SessionIds.h"
#include "tests/frame/DemoTrace.h"
#include "tests/harness/Harness.h"

#include <cstdlib>

using demotrace::CountOf;
using demotrace::Has;

TEST_F(ServerFrameTest, CommandLineLogInFillsTheMenuAndLeavesNoMessages) {
    LogIn();
    ASSERT_TRUE(frame->IsLoggedIn());
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "LOGIN^QCC(\"demo\",\"...\")"));
    EXPECT_TRUE(Has(trace, "INIT^QCC()"));
    EXPECT_TRUE(Has(trace, "INIMNU^QCC()"));
    EXPECT_EQ(CountOf(trace, "GETMNU^QCC(\"\")"), 1) << "the first level, once";
    ASSERT_EQ(frame->m_nModules, 2) << "Abrechnung has no menu for group 10";
    EXPECT_EQ(frame->m_strModules[0], "Praxis");
    EXPECT_EQ(frame->m_strModules[1], "Termine");
    EXPECT_EQ(theApp.Execute("W %MI,\"/\",%WJ,\"/\",$G(%AP)"),
              CString("1/") + theApp.Execute("W $ZDATE($H,\"YEAR\")") + "/" + theApp.Execute("W $G(%WS)"));
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ServerFrameTest, DialogLogInAsksTheServerPerKeystrokeAndCancelLogsOut) {
    fw::TestMode::PushAnswer("dialog 161 set:1010=demo set:1009=dem set:1009=demo cmd:1");
    frame->SendMessage(WM_COMMAND, ID_LOGIN);
    harness::Pump();
    EXPECT_TRUE(frame->IsLoggedIn());
    EXPECT_GE(CountOf(Trace(), "LOGIN^QCC(\"demo\",\"...\")"), 3) << "the wrong password was asked too";

    fw::TestMode::PushAnswer("box IDYES");
    fw::TestMode::PushAnswer("dialog 161 set:1010=demo set:1009=falsch cmd:2");
    frame->SendMessage(WM_COMMAND, ID_LOGIN);
    harness::Pump();
    EXPECT_FALSE(frame->IsLoggedIn());
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "LOGOUT^QCC")) << "the old session and the cancelled dialog";
    EXPECT_FALSE(Has(trace, "INIT^QCC()")) << "a refused password fills nothing";
}

TEST_F(ServerFrameTest, ModuleChoiceRunsTheModulesLineAndAQuotedPasswordWorks) {
    vorlan::SetField(theApp.Settings().module, "Termine");
    LogIn("zitat", "zi\"tat");
    ASSERT_TRUE(frame->IsLoggedIn());
    EXPECT_EQ(frame->m_nSelectedModule, 1);
    EXPECT_EQ(theApp.Execute("W $G(%MODUL)"), "T") << "the module's own line ran";
    EXPECT_TRUE(Has(Trace(), "LOGIN^QCC(\"zitat\",\"...\")"));
    EXPECT_EQ(theApp.Execute("W %MI"), "2") << "zitat's own client";
}

TEST_F(ServerFrameTest, AnOldReleaseIsRefused) {
    Once("S ^QSYS(\"QREL\")=\"4.7\"");
    LogIn();
    Once("S ^QSYS(\"QREL\")=\"4.8\"");
    EXPECT_FALSE(frame->IsLoggedIn());
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].text.find("4.8"), std::string::npos);
    EXPECT_FALSE(Has(Trace(), "LOGIN^QCC(\"demo\",\"...\")"));
}

TEST_F(ServerFrameTest, FoldersFillOnceAndALeafOpensItsFrame) {
    LogIn();
    Trace();
    CTreeCtrl& tree = frame->GetMenuTree().GetTreeCtrl();
    HTREEITEM folder = FindItem("Stammdaten");
    ASSERT_NE(folder, nullptr);
    tree.Expand(folder, TVE_EXPAND);
    tree.Expand(folder, TVE_COLLAPSE);
    tree.Expand(folder, TVE_EXPAND);
    EXPECT_EQ(Trace(), Lines{"GETMNU^QCC(\"0,\")"});

    Open("Patienten [PAT]");
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "SELECTM^QCC(\"PAT\")"));
    EXPECT_TRUE(Has(trace, "PRGINIT^QCC(\"\")")) << "the init step runs also without init code";
    ASSERT_EQ(Frames().size(), 1u);
    CBaseMDI* pat = Active();
    ASSERT_NE(pat, nullptr);
    EXPECT_EQ(pat->GetWindowText(), "Patientenakte");
    EXPECT_EQ(frame->GetWindowText(), "VORLAN experience - Patientenakte");
    HWND tabs = pat->GetDlgItem(IDC_FRAME_TABS);
    ASSERT_NE(tabs, nullptr);
    EXPECT_EQ(SendMessageA(tabs, TCM_GETITEMCOUNT, 0, 0), 3) << "PATNOTIZ is hidden";
    EXPECT_NE(pat->GetDlgItem(ID_TAB_LEFT), nullptr) << "piece 5 of the tab node asks for the buttons";

    Open("Kassen [KAS]");
    ASSERT_EQ(Frames().size(), 2u);
    CRect a = RectInClient(pat->m_hWnd), b = RectInClient(Active()->m_hWnd);
    EXPECT_EQ(b.left - a.left, 18);
    EXPECT_EQ(b.top - a.top, 18);

    Open("Patienten [PAT]");
    EXPECT_EQ(Frames().size(), 2u) << "the open frame is activated, no second one";
    EXPECT_EQ(Active(), pat);
}

TEST_F(ServerFrameTest, NoKillKeepsTheFrameUntilTheServerAllowsIt) {
    LogIn();
    frame->GetMenuTree().GetTreeCtrl().Expand(FindItem("Vorg\xe4nge"), TVE_EXPAND);
    Open("Abschluss [NOK]");
    CBaseMDI* nok = Active();
    ASSERT_NE(nok, nullptr);
    HWND h = nok->m_hWnd;
    SendMessageA(h, WM_CLOSE, 0, 0);
    harness::Pump();
    EXPECT_TRUE(IsWindow(h));
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text.rfind("Der Abschluss ist noch offen.", 0), 0u);

    Open("Freigabe [FREI]");
    ASSERT_EQ(Boxes().size(), 2u) << "the release is told as it happens";
    EXPECT_EQ(Boxes()[1].text, "Freigabe erteilt.");
    EXPECT_EQ(Boxes()[1].id & MB_ICONMASK, MB_ICONINFORMATION);
    SendMessageA(Active()->m_hWnd, WM_CLOSE, 0, 0);
    SendMessageA(h, WM_CLOSE, 0, 0);
    harness::Pump();
    EXPECT_FALSE(IsWindow(h));
    EXPECT_TRUE(Frames().empty());
    EXPECT_EQ(frame->GetWindowText(), "VORLAN experience") << "the last frame gives the title back";

    Open("Freigabe [FREI]");
    EXPECT_EQ(Frames().size(), 1u);
    EXPECT_EQ(Boxes().size(), 2u) << "nothing to release, no box";
}

TEST_F(ServerFrameTest, ClosingTheMainFrameLogsOut) {
    LogIn();
    Open("Termine [TER]");
    Trace();
    fw::TestMode::PushAnswer("box IDYES");
    frame->SendMessage(WM_CLOSE);
    harness::Pump();
    EXPECT_EQ(CMainFrame::Get(), nullptr);
    frame = nullptr;
    EXPECT_TRUE(Has(Trace(), "LOGOUT^QCC"));
}

namespace {

// Every command item of a menu and its submenus, in menu order.
void CommandItems(HMENU menu, std::vector<std::pair<HMENU, UINT>>& out) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        if (HMENU sub = GetSubMenu(menu, i)) {
            CommandItems(sub, out);
            continue;
        }
        UINT id = GetMenuItemID(menu, i);
        if (id != 0 && id != static_cast<UINT>(-1)) out.emplace_back(menu, id);
    }
}

// The answer the command's record carries: 1 ran, 0 no handler took it, -1 not run at all.
int CommandRecord(UINT id) {
    int result = -1;
    for (const auto& item : fw::TestMode::Shown())
        if (item.kind == "command" && item.id == static_cast<int>(id)) result = item.answer;
    return result;
}

} // namespace

TEST_F(ServerFrameTest, EveryMenuItemAndAcceleratorRunsOrIsGreyed) {
    LogIn();
    StartMemo("PAT");
    ASSERT_EQ(Frames().size(), 1u);
    fw::TestMode::RecordCommands(true);
    // What ends the session or the program goes last; a change of module logs in anew.
    const UINT last[] = {ID_LOGIN, ID_APP_EXIT};
    auto isLast = [&](UINT id) {
        return id == last[0] || id == last[1] || (id >= ID_CHANGE_UCI && id <= ID_CHANGE_UCI_LAST);
    };

    std::vector<std::pair<HMENU, UINT>> items;
    HMENU bar = frame->GetFrameMenu();
    for (int i = 0; i < GetMenuItemCount(bar); ++i) {
        HMENU popup = GetSubMenu(bar, i);
        // The popup's update handlers run as when a person opens it.
        frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), i);
        CommandItems(popup, items);
    }
    ASSERT_GT(items.size(), 25u);
    int ran = 0;
    auto check = [&](HMENU popup, UINT id) {
        int at = CMenu::FindItem(popup, id);
        if (at >= 0 && (GetMenuState(popup, static_cast<UINT>(at), MF_BYPOSITION) & MF_GRAYED)) {
            // Greyed by an update handler, not for want of any handler.
            CCmdUI ui(id);
            EXPECT_TRUE(frame->OnCmdMsg(id, kUpdateCommandUI, &ui))
                << "menu command " << id << " has no handler";
            return;
        }
        fw::TestMode::ClearShown();
        frame->SendMessage(WM_COMMAND, id, 0);
        harness::Pump();
        EXPECT_EQ(CommandRecord(id), 1) << "menu command " << id << " is enabled but reaches no handler";
        ++ran;
    };
    for (const auto& [popup, id] : items)
        if (!isLast(id)) check(popup, id);
    EXPECT_GE(ran, 20) << "most commands are enabled for a logged-in user with a frame open";

    // The accelerators, as the application translates a key press.
    theApp.LoadAccelerators();
    HACCEL table = theApp.Accelerators();
    ASSERT_NE(table, nullptr);
    std::vector<ACCEL> keys(static_cast<size_t>(CopyAcceleratorTableA(table, nullptr, 0)));
    CopyAcceleratorTableA(table, keys.data(), static_cast<int>(keys.size()));
    ASSERT_GE(keys.size(), 6u);
    theApp.m_pMainWnd = frame;
    SetActiveWindow(frame->m_hWnd);
    for (const ACCEL& key : keys) {
        if (isLast(key.cmd)) continue;
        BYTE state[256] = {};
        if (key.fVirt & FCONTROL) state[VK_CONTROL] = 0x80;
        if (key.fVirt & FSHIFT) state[VK_SHIFT] = 0x80;
        SetKeyboardState(state);
        fw::TestMode::ClearShown();
        CCmdUI ui(key.cmd);
        frame->UpdateCmdUI(ui);
        MSG msg{frame->m_hWnd, WM_KEYDOWN, key.key, 0, 0, {0, 0}};
        EXPECT_TRUE(theApp.PreTranslateMessage(&msg)) << "key of command " << key.cmd;
        harness::Pump();
        if (ui.m_bEnabled) {
            EXPECT_EQ(CommandRecord(key.cmd), 1) << "accelerator of command " << key.cmd;
        }
        if (key.cmd == ID_APP_ABOUT) {
            EXPECT_EQ(DialogResult(IDD_ABOUTBOX), IDCANCEL) << "the about box shows";
        }
    }
    BYTE none[256] = {};
    SetKeyboardState(none);

    // The log-in asks before closing the open frames (the walk closed them all).
    StartMemo("PAT");
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("box IDNO");
    frame->SendMessage(WM_COMMAND, ID_LOGIN, 0);
    harness::Pump();
    EXPECT_EQ(CommandRecord(ID_LOGIN), 1);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_TRUE(frame->IsLoggedIn()) << "No keeps the session";
    // Quitting closes the frame after asking about the open frames.
    fw::TestMode::PushAnswer("box IDYES");
    frame->SendMessage(WM_COMMAND, ID_APP_EXIT, 0);
    harness::Pump();
    EXPECT_EQ(CommandRecord(ID_APP_EXIT), 1);
    EXPECT_EQ(CMainFrame::Get(), nullptr) << "the program ends";
    fw::TestMode::RecordCommands(false);
    frame = nullptr;
}
