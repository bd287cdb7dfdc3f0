// The session against a real dbserver through the client library.
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

class ServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0) << "the dbserver fixture tells the port";
        apptest::PrepareApp("ServerTest", MakeClientLibraryTransport());
        std::strcpy(theApp.Settings().address, "127.0.0.1");
        std::snprintf(theApp.Settings().apiPort, sizeof theApp.Settings().apiPort, "%d",
                      harness::DbServerPort());
    }
    void TearDown() override { apptest::ReleaseApp(); }
    void LogIn(bool waitDialog) {
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", waitDialog ? 0 : 1);
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", harness::DbServerPort(), "", "", "", false), 0);
        ASSERT_FALSE(TheSession().Job().IsEmpty());
    }
};

} // namespace

TEST_F(ServerTest, LinesRunInTheUsersJob) {
    LogIn(false);
    EXPECT_EQ(theApp.Execute("W 6*7"), "42");
    EXPECT_EQ(theApp.Execute("S %DN=\"KARTEI\""), "");
    EXPECT_EQ(theApp.Execute("W %DN,$C(167),$J"), std::string("KARTEI\xa7") + TheSession().Job().c_str())
        << "locals persist in the job, bytes stay bytes";
    EXPECT_EQ(theApp.Execute(""), "");
}

TEST_F(ServerTest, ErrorAcceptedByTheServerArrivesIntactAndShowsNothing) {
    LogIn(false);
    theApp.Execute("S %ZERRACCEPT=1");
    EXPECT_EQ(theApp.Execute("S X=\"a\"\"b\" W ^ZNOTHERE(X,\"c\")"), "");
    EXPECT_TRUE(fw::TestMode::Shown().empty());
    CString noted = theApp.Execute("W $G(^%CONTROL($J,\"ERROR\",$G(^%CONTROL($J,\"ERROR\"))))");
    EXPECT_NE(noted.Find("ZNOTHERE"), -1) << "the server received the whole error text: " << noted.c_str();
    EXPECT_NE(noted.Find("\""), -1) << noted.c_str();
}

TEST_F(ServerTest, DeclinedErrorIsShownInTheErrorDialog) {
    LogIn(false);
    fw::TestMode::PushAnswer("dialog 195 cmd:1");
    EXPECT_EQ(theApp.Execute("W ^ZNOTHERE(\"x\")"), "");
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].id, 195);
    EXPECT_NE(shown[0].text.find("(#100"), std::string::npos) << shown[0].text;
    EXPECT_NE(shown[0].text.find("Line to execute: W ^ZNOTHERE(\"x\")"), std::string::npos) << shown[0].text;
    EXPECT_EQ(theApp.Execute("W 1"), "1") << "the session goes on";
}

TEST_F(ServerTest, WaitDialogShowsWhatTheServerSaysDuringALongLine) {
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
