// VORLAN.exe with modal form windows against the demo application on dbserver: MOD from the
// command line, its buttons open MODDLG as a popup that holds the main window until Esc, with
// -noWin without caption. Saves a picture of MOD with its modal dialog as a build artefact.
#include "framework/Wnd.h"
#include "tests/frame/DemoTrace.h"
#include "tests/frame/ProgramFixture.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <string>

namespace {

using demotrace::Has;

class ModalProgramTest : public ProgramFixture {
  protected:
    HWND main = nullptr;
    harness::Process program;

    // The program logged in with MOD open.
    void StartWithMod(const std::string& switches) {
        // Quitting with MOD open: yes, close everything.
        harness::WriteTextFile(dir + "script.txt", "box IDYES\n");
        ASSERT_TRUE(program.Start(Command("MOD -u demo -p demo " + switches)));
        main = harness::WaitForWindow(program.Id(), "VORLAN.MainWindow", 30000);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(harness::WaitUntil(
            [&] { return fw::WindowText(main) == "VORLAN experience - Modale Fenster"; }, 30000))
            << fw::WindowText(main);
    }
    // Clicks MOD's button n; the modal window it opens, shown, owned by the main window and
    // holding it (null, with a failure, when none opened).
    HWND Click(int n) {
        HWND frame = GetWindow(GetDlgItem(main, 0xE900), GW_CHILD);
        HWND button = GetDlgItem(GetDlgItem(frame, 1), 0x1000 | n);
        EXPECT_NE(button, nullptr);
        PostMessageA(button, BM_CLICK, 0, 0);
        HWND modal = harness::WaitForWindow(program.Id(), "VORLAN MDI Window", 30000);
        // Its loop runs once it is shown.
        bool shown = harness::WaitUntil([&] { return modal && IsWindowVisible(modal); }, 10000);
        if (!shown || GetWindow(modal, GW_OWNER) != main) {
            ADD_FAILURE() << "button " << n << " opened no modal window over the main window";
            return nullptr;
        }
        EXPECT_FALSE(IsWindowEnabled(main)) << "the owner is held";
        return modal;
    }
    // Esc ends the modal window, and the main window takes input again.
    void Escape(HWND modal) {
        PostMessageA(modal, WM_KEYDOWN, VK_ESCAPE, 0);
        EXPECT_TRUE(harness::WaitUntil([&] { return !IsWindow(modal); }, 30000));
        EXPECT_TRUE(harness::WaitUntil([&] { return IsWindowEnabled(main) != 0; }, 5000));
    }
    void Quit() {
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.Wait(30000), 0);
    }
};

} // namespace

TEST_F(ModalProgramTest, MODOpensItsDialogAsAModalWindowThatEscEnds) {
    demotrace::TraceReader trace(harness::DbServerPort());
    StartWithMod("");
    HWND modal = Click(1);
    ASSERT_NE(modal, nullptr);
    EXPECT_EQ(fw::WindowText(modal), "Modaler Dialog");
    EXPECT_TRUE(GetWindowLongPtrA(modal, GWL_STYLE) & WS_CAPTION);

    SavePicture("modal.bmp", [] { Sleep(700); });
    Escape(modal);
    Quit();
    auto entries = trace.All();
    EXPECT_TRUE(Has(entries, "DIALOG^QCC(\"MODDLG\")"));
    EXPECT_TRUE(Has(entries, "DESTROY^QCC(\"MODDLG\")"));
}

TEST_F(ModalProgramTest, WithTheNoWindowSwitchTheDialogHasNoCaption) {
    demotrace::TraceReader trace(harness::DbServerPort());
    StartWithMod("-noWin");
    HWND modal = Click(2);
    ASSERT_NE(modal, nullptr);
    EXPECT_EQ(fw::WindowText(modal), "Modaler Dialog") << "the title stays, unshown";
    EXPECT_FALSE(GetWindowLongPtrA(modal, GWL_STYLE) & WS_CAPTION);
    Escape(modal);
    Quit();
    auto entries = trace.All();
    EXPECT_TRUE(Has(entries, "NOWIN^MOD"));
    EXPECT_TRUE(Has(entries, "FREI^MOD"));
}

TEST_F(ModalProgramTest, WithTheDisplaySwitchTheDemoWritesItsLinesToThePort) {
    char ports[MAX_PATH] = {};
    ASSERT_TRUE(GetEnvironmentVariableA("VORLAN_PORT_FILES", ports, sizeof ports)) << "the ports fixture";
    std::string file = std::string(ports) + "com9.bin";
    harness::WriteTextFile(file, "");
    demotrace::TraceReader server(harness::DbServerPort());
    server.Run("S ^QM(\"MOD\",0,\"PORT\")=\"COM9\"");
    StartWithMod("-com");
    HWND modal = Click(3);
    ASSERT_NE(modal, nullptr);
    Escape(modal);
    Quit();
    server.Run("K ^QM(\"MOD\",0,\"PORT\")");
    // Each line opens the port afresh: the file, unlike a display, keeps the last one.
    std::string bytes;
    if (FILE* f = std::fopen(file.c_str(), "rb")) {
        char buffer[64];
        bytes.assign(buffer, std::fread(buffer, 1, sizeof buffer, f));
        std::fclose(f);
    }
    EXPECT_EQ(bytes, std::string("\x1b"
                                 "FBSumme 12,50 EUR\r",
                                 19) +
                         std::string(6, '\0'));
}
