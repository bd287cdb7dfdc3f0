// The session against a real dbserver, through the client library and over the application
// server's own protocol (dbserver's second listener).
#include "app/ProtocolLog.h"
#include "app/VORLANApp.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"
#include "tests/app/AppFixture.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>
#include <thread>

namespace {

// The transport kind of the settings block: 0 the client library, 1 the own protocol.
class ServerTest : public ::testing::TestWithParam<int> {
  protected:
    int port = 0;
    void SetUp() override {
        port = GetParam() == 1 ? harness::AppServerPort() : harness::DbServerPort();
        ASSERT_NE(port, 0) << "the dbserver fixture tells the port";
        apptest::PrepareApp("ServerTest", MakeClientLibraryTransport());
        theApp.Settings().apiType = GetParam();
        std::strcpy(theApp.Settings().address, "127.0.0.1");
        std::snprintf(theApp.Settings().apiPort, sizeof theApp.Settings().apiPort, "%d", port);
    }
    void TearDown() override { apptest::ReleaseApp(); }
    void LogIn(bool waitDialog, const char* uci = "") {
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", waitDialog ? 0 : 1);
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", port, "", uci, "", false), 0);
        ASSERT_FALSE(TheSession().Job().IsEmpty());
    }
};

using SocketServerTest = ServerTest;

} // namespace

TEST_P(ServerTest, LinesRunInTheUsersJob) {
    LogIn(false);
    EXPECT_EQ(theApp.Execute("W 6*7"), "42");
    EXPECT_EQ(theApp.Execute("S %DN=\"KARTEI\""), "");
    EXPECT_EQ(theApp.Execute("W %DN,$C(167),$J"), std::string("KARTEI\xa7") + TheSession().Job().c_str())
        << "locals persist in the job, bytes stay bytes";
    EXPECT_EQ(theApp.Execute(""), "");
}

TEST_P(ServerTest, ErrorAcceptedByTheServerArrivesIntactAndShowsNothing) {
    LogIn(false);
    theApp.Execute("S %ZERRACCEPT=1");
    EXPECT_EQ(theApp.Execute("S X=\"a\"\"b\" W ^ZNOTHERE(X,\"c\")"), "");
    EXPECT_TRUE(fw::TestMode::Shown().empty());
    CString noted = theApp.Execute("W $G(^%CONTROL($J,\"ERROR\",$G(^%CONTROL($J,\"ERROR\"))))");
    EXPECT_NE(noted.Find("ZNOTHERE"), -1) << "the server received the whole error text: " << noted.c_str();
    EXPECT_NE(noted.Find("\""), -1) << noted.c_str();
}

TEST_P(ServerTest, DeclinedErrorIsShownInTheErrorDialog) {
    LogIn(false);
    fw::TestMode::PushAnswer("dialog 195 cmd:1");
    EXPECT_EQ(theApp.Execute("W ^ZNOTHERE(\"x\")"), "");
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].id, 195);
    // The client library numbers the server's errors; the own protocol has one number for all.
    EXPECT_NE(shown[0].text.find(GetParam() == 1 ? "(#16777215)<UNDEF>" : "(#100"), std::string::npos)
        << shown[0].text;
    EXPECT_NE(shown[0].text.find("Line to execute: W ^ZNOTHERE(\"x\")"), std::string::npos) << shown[0].text;
    EXPECT_EQ(theApp.Execute("W 1"), "1") << "the session goes on";
}

TEST_P(ServerTest, WaitDialogShowsWhatTheServerSaysDuringALongLine) {
    CWnd::RegisterWindowClass("ServerTest.Main", 0, nullptr, nullptr, nullptr);
    CWnd main;
    ASSERT_TRUE(main.CreateEx(0, "ServerTest.Main", "Haupt", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                              CRect(0, 0, 300, 200), nullptr, 0));
    theApp.m_pMainWnd = &main;
    SetForegroundWindow(main.m_hWnd);
    LogIn(true);
    std::atomic<bool> done{false};
    std::string status;
    DWORD mainThread = GetCurrentThreadId();
    std::thread watcher([&] {
        SetThreadDesktop(GetThreadDesktop(mainThread)); // see our windows, not the first desktop's
        while (!done) {
            if (HWND dlg = FindWindowA("#32770", nullptr)) {
                char buf[256] = {};
                GetDlgItemTextA(dlg, 1170, buf, sizeof buf);
                if (*buf) status = buf;
            }
            Sleep(100);
        }
    });
    theApp.Execute("D BUSY^QCC(\"Rechnung wird erstellt\") H 3");
    done = true;
    watcher.join();
    EXPECT_EQ(status, "Rechnung wird erstellt") << "asked over the second connection while the job was busy";
    EXPECT_FALSE(TheSession().IsWaitDialogShown());
    theApp.m_pMainWnd = nullptr;
    main.DestroyWindow();
}

TEST_P(SocketServerTest, ModuleChangeKeepsTheJobAndLogoutEndsIt) {
    LogIn(false, "VOR");
    CString job = TheSession().Job();
    theApp.Execute("S %KEEP=\"bleibt\"");
    ASSERT_EQ(theApp.Login("127.0.0.1", port, "", "ABR", "", false), 1);
    EXPECT_EQ(TheSession().Job(), job) << "the change goes over the same connection";
    EXPECT_EQ(theApp.Execute("W $ZPARSE($ZGBLDIR,\"NAME\"),\" \",%KEEP"), "ABR bleibt");

    EXPECT_EQ(theApp.Login("127.0.0.1", port, "", "NIX", "", false), 0);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_NE(shown[0].text.find("Namensbereich \"NIX\""), std::string::npos) << shown[0].text;
    EXPECT_EQ(theApp.Execute("W $ZPARSE($ZGBLDIR,\"NAME\")"), "ABR") << "a refused change stays where it was";

    theApp.Disconnect();
    ASSERT_EQ(theApp.Login("127.0.0.1", port, "", "VOR", "", false), 1);
    CString alive;
    for (int i = 0; i < 50; ++i) {
        alive = theApp.Execute(CString("W $ZGETJPI(") + job + ",\"ISPROCALIVE\")");
        if (alive == "0") break;
        Sleep(100);
    }
    EXPECT_EQ(alive, "0") << "the log-out ended the first job";
}

INSTANTIATE_TEST_SUITE_P(Transports, ServerTest, ::testing::Values(0, 1),
                         [](const auto& info) { return info.param == 1 ? "OwnProtocol" : "ClientLibrary"; });
INSTANTIATE_TEST_SUITE_P(Transports, SocketServerTest, ::testing::Values(1),
                         [](const auto&) { return "OwnProtocol"; });
