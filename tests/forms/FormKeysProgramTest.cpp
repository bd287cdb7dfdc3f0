// VORLAN.exe with SUB against the demo application on dbserver: the receipt reaches LPT1
// only when the program starts with -lpt, the display, drawer and port request reach their
// COM ports only with -com. The ports lead to files (VORLAN_PORT_FILES), COM12 through a pty pair.
#include "framework/Wnd.h"
#include "tests/forms/PortFiles.h"
#include "tests/frame/DemoTrace.h"
#include "tests/frame/ProgramFixture.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

using demotrace::Has;
using portfiles::ReadPort;

class FormKeysProgramTest : public ProgramFixture {
  protected:
    HWND main = nullptr;
    harness::Process program;

    void SetUp() override {
        ProgramFixture::SetUp();
        portfiles::ClearPorts();
    }
    void StartWithSub(const std::string& switches) {
        harness::WriteTextFile(dir + "script.txt", "box IDYES\n");
        ASSERT_TRUE(program.Start(Command("SUB -u demo -p demo " + switches)));
        main = harness::WaitForWindow(program.Id(), "VORLAN.MainWindow", 30000);
        ASSERT_NE(main, nullptr);
        ASSERT_TRUE(harness::WaitUntil(
            [&] { return fw::WindowText(main) == "VORLAN experience - Unterdialoge"; }, 30000))
            << fw::WindowText(main);
    }
    void Click(int n) {
        HWND frame = GetWindow(GetDlgItem(main, 0xE900), GW_CHILD);
        HWND button = GetDlgItem(GetDlgItem(frame, 1), 0x1000 | n);
        ASSERT_NE(button, nullptr);
        PostMessageA(button, BM_CLICK, 0, 0);
    }
    void Quit() {
        PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(program.Wait(30000), 0);
    }
};

} // namespace

TEST_F(FormKeysProgramTest, WithLptTheReceiptIsPrintedOnLPT1) {
    demotrace::TraceReader trace(harness::DbServerPort());
    StartWithSub("-lpt");
    Click(2);
    EXPECT_TRUE(harness::WaitUntil([] { return !ReadPort("lpt1").empty(); }, 30000));
    EXPECT_EQ(ReadPort("lpt1"), "Quittung 4711\r\nBetrag 12,50 EUR\r\n");
    Quit();
    EXPECT_TRUE(Has(trace.All(), "QUITT^QSUB"));
}

TEST_F(FormKeysProgramTest, WithComTheDisplayTheDrawerAndThePortRequestAreWritten) {
    demotrace::TraceReader server(harness::DbServerPort());
    server.Run("S ^QM(\"SUB\",0,\"PORT\",\"A\")=\"COM3\",^(\"B\")=\"COM4\",^(\"LADE\")=\"COM5\"");
    server.Run("S ^QM(\"SUB\",0,\"PORT\",\"LEITUNG\")=\"COM6\",^(\"KASSE\")=\"COM2\"");
    StartWithSub("-com");
    Click(4);
    // The display lines come with the focus step, after the port request.
    bool written = harness::WaitUntil([] { return !ReadPort("com5").empty(); }, 30000);
    // Without -lpt the receipt stays unprinted.
    Click(2);
    Quit();
    server.Run("K ^QM(\"SUB\",0,\"PORT\")");
    ASSERT_TRUE(written);
    EXPECT_EQ(ReadPort("com3"), std::string("\x1b"
                                            "FAWillkommen\r") +
                                    std::string(11, '\0'));
    EXPECT_EQ(ReadPort("com4").substr(0, 19), "\x1b"
                                              "FBSumme 12,50 EUR\r");
    EXPECT_EQ(ReadPort("com5").substr(0, 7), "\x1b"
                                             "FLade\r");
    EXPECT_EQ(ReadPort("com6"), "\x0c"
                                "Danke\r");
    EXPECT_EQ(ReadPort("com2").size(), 25u);
    EXPECT_EQ(ReadPort("lpt1"), "");
    auto entries = server.All();
    EXPECT_TRUE(Has(entries, "ANZEIGE^QSUB"));
    EXPECT_TRUE(Has(entries, "QUITT^QSUB"));
}

// COM12 is one end of a pty pair (forms.keys.pty.open); forms.keys.pty.check reads the line
// settings back from that end afterwards. A pty keeps baud, stop bits and the parity check
// of its input, but always runs 8 bits without parity: those two stay with the host test of
// the DCB.
TEST_F(FormKeysProgramTest, WithComTheDisplayLineRunsThroughAPtyWithItsSettings) {
    demotrace::TraceReader server(harness::DbServerPort());
    server.Run("S ^QM(\"SUB\",0,\"PORT\",\"LEITUNG\")=\"COM12\"");
    server.Run("S ^QM(\"SUB\",0,\"LINIE\")=\"4800\"_$C(167)_\"2\"_$C(167)_\"7\"_$C(167)_\"2\"");
    harness::WriteTextFile(portfiles::PortFile("com12"), "");
    StartWithSub("-com");
    Click(4);
    const std::string expected = "\x0c"
                                 "Danke\r";
    bool written = harness::WaitUntil([&] { return ReadPort("com12") == expected; }, 30000);
    Quit();
    server.Run("K ^QM(\"SUB\",0,\"PORT\"),^QM(\"SUB\",0,\"LINIE\")");
    EXPECT_TRUE(written) << ReadPort("com12");
    EXPECT_TRUE(Has(server.All(), "ANZEIGE^QSUB"));
}
