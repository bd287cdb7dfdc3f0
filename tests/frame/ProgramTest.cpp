// VORLAN.exe itself against the demo application on dbserver: a person's road from the
// command line or the log-in dialog to an open screen frame and out again. Saves pictures
// of the logged-in main window with an open frame, and with F1's help window beside it, as
// build artefacts.
#include "app/SessionTransport.h"
#include "framework/Wnd.h"
#include "tests/frame/DemoTrace.h"
#include "tests/frame/ProgramFixture.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <commctrl.h>

#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

using demotrace::Has;

bool WaitForTitle(HWND window, const std::string& title, DWORD timeoutMs) {
    return harness::WaitUntil([&] { return fw::WindowText(window) == title; }, timeoutMs);
}

// The menu tree has its entries and the program has had time to paint them.
void WaitForMenuTree(HWND main) {
    if (HWND tree = harness::FindDescendant(main, WC_TREEVIEWA))
        harness::WaitUntil([&] { return SendMessageA(tree, TVM_GETCOUNT, 0, 0) >= 2; }, 10000);
    Sleep(700);
}

class ProgramTest : public ProgramFixture {
  protected:
    HWND Client(HWND main) const { return GetDlgItem(main, 0xE900); }
    int Frames(HWND main) const {
        int n = 0;
        for (HWND h = GetWindow(Client(main), GW_CHILD); h; h = GetWindow(h, GW_HWNDNEXT))
            if (GetDlgCtrlID(h) >= 0xFF00) ++n;
        return n;
    }
};

} // namespace

TEST_F(ProgramTest, CommandLineLogsInOpensTheStartEntryAndClosingLogsOut) {
    demotrace::TraceReader trace(harness::DbServerPort());
    harness::Process program;
    ASSERT_TRUE(program.Start(Command("PAT -u demo -p demo")));
    HWND main = harness::WaitForWindow(program.Id(), "VORLAN.MainWindow", 30000);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForTitle(main, "VORLAN experience - Patientenakte", 30000)) << fw::WindowText(main);
    EXPECT_EQ(Frames(main), 1);

    SavePicture("mainframe.bmp", [&] { WaitForMenuTree(main); });

    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Wait(30000), 0);
    auto entries = trace.All();
    EXPECT_TRUE(Has(entries, "LOGIN^QCC(\"demo\",\"...\")"));
    EXPECT_TRUE(Has(entries, "SELECTM^QCC(\"PAT\")"));
    EXPECT_TRUE(Has(entries, "LOGOUT^QCC"));
    auto shown = harness::ReadShown(dir);
    ASSERT_EQ(shown.size(), 2u) << "the log-in dialog and the question about the open frame";
    EXPECT_EQ(shown[0].kind, "dialog");
    EXPECT_EQ(shown[0].answer, IDOK);
    EXPECT_EQ(shown[1].kind, "box");
    EXPECT_EQ(shown[1].answer, IDYES);
}

TEST_F(ProgramTest, TheAddressFormOpensFromTheCommandLine) {
    // Quitting with the form open: yes to closing everything, no to saving the address.
    harness::WriteTextFile(dir + "script.txt", "box IDYES\nbox IDNO\n");
    harness::Process program;
    ASSERT_TRUE(program.Start(Command("ADR -u demo -p demo")));
    HWND main = harness::WaitForWindow(program.Id(), "VORLAN.MainWindow", 30000);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForTitle(main, "VORLAN experience - Adressen", 30000)) << fw::WindowText(main);
    SavePicture("address.bmp", [&] { WaitForMenuTree(main); });
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Wait(30000), 0);
    auto shown = harness::ReadShown(dir);
    ASSERT_EQ(shown.size(), 3u) << "the log-in, closing everything, saving the address";
    EXPECT_EQ(shown[2].answer, IDNO);
}

TEST_F(ProgramTest, APersonLogsInOpensMenuEntriesAndQuits) {
    harness::WriteTextFile(dir + "script.txt", "dialog 161 set:1010=demo set:1009=demo cmd:1\n");
    demotrace::TraceReader trace(harness::DbServerPort());
    harness::Process program;
    ASSERT_TRUE(program.Start(Command("")));
    HWND main = harness::WaitForWindow(program.Id(), "VORLAN.MainWindow", 30000);
    ASSERT_NE(main, nullptr);
    harness::WaitUntil([&] { return Has(trace.All(), "INIMNU^QCC()"); }, 30000);
    // Menu entries by number, as the menu tree sends them.
    PostMessageA(main, 0x403 /* WM_MENUSELECTED */, 2, 0);
    ASSERT_TRUE(WaitForTitle(main, "VORLAN experience - Kassen", 30000)) << fw::WindowText(main);
    PostMessageA(main, 0x403, 1, 0);
    ASSERT_TRUE(WaitForTitle(main, "VORLAN experience - Patientenakte", 30000)) << fw::WindowText(main);
    EXPECT_EQ(Frames(main), 2);
    PostMessageA(main, WM_COMMAND, 32896 /* close all */, 0);
    ASSERT_TRUE(WaitForTitle(main, "VORLAN experience", 30000));
    // The last form gives the frame its title back while its own frame is still being
    // destroyed.
    EXPECT_TRUE(harness::WaitUntil([&] { return Frames(main) == 0; }, 30000))
        << Frames(main) << " frames left";
    PostMessageA(main, WM_COMMAND, 57665 /* exit */, 0);
    EXPECT_EQ(program.Wait(30000), 0);
    EXPECT_TRUE(Has(trace.All(), "LOGOUT^QCC"));
}

TEST_F(ProgramTest, TheGridScreenOpensFromTheCommandLine) {
    harness::WriteTextFile(dir + "script.txt", "box IDYES\nbox IDNO\n");
    demotrace::TraceReader trace(harness::DbServerPort());
    harness::Process program;
    ASSERT_TRUE(program.Start(Command("GRD -u demo -p demo")));
    HWND main = harness::WaitForWindow(program.Id(), "VORLAN.MainWindow", 30000);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForTitle(main, "VORLAN experience - Leistungen", 60000)) << fw::WindowText(main);
    EXPECT_TRUE(Has(trace.All(), "SCR^QCC(\"GRD\")")) << "the start entry's form builds its grid";
    SavePicture("grid.bmp", [&] { WaitForMenuTree(main); });
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Wait(30000), 0);
}

TEST_F(ProgramTest, F1OpensTheHelpWindowAtTheRightOfTheScreen) {
    harness::WriteTextFile(dir + "script.txt", "box IDYES\n");
    demotrace::TraceReader trace(harness::DbServerPort());
    harness::Process program;
    ASSERT_TRUE(program.Start(Command("REG -u demo -p demo")));
    HWND main = harness::WaitForWindow(program.Id(), "VORLAN.MainWindow", 30000);
    ASSERT_NE(main, nullptr);
    ASSERT_TRUE(WaitForTitle(main, "VORLAN experience - Register", 30000)) << fw::WindowText(main);
    PostMessageA(main, WM_COMMAND, 57670 /* F1 */, 0);
    HWND help = harness::WaitForWindow(program.Id(), "#32770", 30000);
    ASSERT_NE(help, nullptr);
    EXPECT_EQ(fw::WindowText(help), "Hilfe");
    // The dialog shows before its text is asked for.
    EXPECT_TRUE(harness::WaitUntil([&] { return Has(trace.All(), "LOAD^QHELPW"); }, 10000));
    SavePicture("help.bmp", [&] { WaitForMenuTree(main); });
    PostMessageA(main, WM_CLOSE, 0, 0);
    EXPECT_EQ(program.Wait(30000), 0);
}
