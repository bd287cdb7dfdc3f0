#include "app/VORLANApp.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"
#include "tests/app/AppFixture.h"
#include "tests/app/FakeTransport.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cstring>

namespace {

const char* kWaitTitle = "Auswertung läuft";

class WaitThreadTest : public ::testing::Test {
  protected:
    FakeServer server;
    CWnd mainWnd, otherWnd;
    std::atomic<bool> dialogSeen{false};

    void SetUp() override {
        apptest::PrepareApp("WaitThreadTest", std::make_unique<FakeTransport>(server));
        CWnd::RegisterWindowClass("WaitTest.Main", 0, nullptr, nullptr, nullptr);
        ASSERT_TRUE(mainWnd.CreateEx(0, "WaitTest.Main", "Haupt", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                     CRect(10, 10, 400, 300), nullptr, 0));
        ASSERT_TRUE(otherWnd.CreateEx(0, "WaitTest.Main", "Andere", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                      CRect(420, 10, 700, 300), nullptr, 0));
        theApp.m_pMainWnd = &mainWnd;
        server.answer = [this](const std::string& code, int handle) {
            if (code == "W $JOB") return std::make_pair(0, std::string("815"));
            if (code.rfind("W $$WAITING^QCC(", 0) == 0) {
                std::string reply =
                    std::string("Bitte warten\xa7") + kWaitTitle + "\xa7" + "1\xa7Schritt 1\r\n";
                return std::make_pair(handle != 7 ? 0 : 10035, reply);
            }
            if (code.rfind("H ", 0) == 0) {
                DWORD ms = static_cast<DWORD>(std::atof(code.c_str() + 2) * 1000);
                DWORD start = GetTickCount();
                while (GetTickCount() - start < ms) {
                    if (FindWindowA(nullptr, kWaitTitle)) dialogSeen = true;
                    Sleep(50);
                }
            }
            return std::make_pair(0, std::string());
        };
    }
    void TearDown() override {
        apptest::ReleaseApp();
        mainWnd.DestroyWindow();
        otherWnd.DestroyWindow();
    }
    void Start() {
        ASSERT_TRUE(theApp.Connect());
        ASSERT_EQ(theApp.Login("127.0.0.1", 1972, "", "VOR", "", false), 7);
    }
    int WaitingCalls() {
        int n = 0;
        for (const auto& c : server.Calls())
            if (c.find("$$WAITING^QCC(\"815\")") != std::string::npos) ++n;
        return n;
    }
};

} // namespace

TEST_F(WaitThreadTest, LongCallShowsTheDialogWhichAsksTheServerOverASecondConnection) {
    Start();
    ASSERT_TRUE(TheSession().IsWaitThreadRunning());
    SetForegroundWindow(mainWnd.m_hWnd);
    ASSERT_EQ(GetForegroundWindow(), mainWnd.m_hWnd);
    theApp.Execute("H 2.5");
    EXPECT_TRUE(dialogSeen) << "the server's title became the dialog's";
    EXPECT_GE(WaitingCalls(), 1);
    int onMainConnection = 0;
    for (const auto& c : server.Calls())
        if (c.rfind("x 7 W $$WAITING", 0) == 0) ++onMainConnection;
    EXPECT_EQ(onMainConnection, 0);
    EXPECT_FALSE(TheSession().IsWaitDialogShown()) << "gone before the reply is used";
    EXPECT_EQ(FindWindowA(nullptr, kWaitTitle), nullptr);
}

TEST_F(WaitThreadTest, ShortCallsAndOtherActiveWindowsShowNothing) {
    Start();
    SetForegroundWindow(mainWnd.m_hWnd);
    theApp.Execute("H 0.4");
    SetForegroundWindow(otherWnd.m_hWnd);
    theApp.Execute("H 1.6");
    EXPECT_FALSE(dialogSeen);
    EXPECT_EQ(WaitingCalls(), 0);
}

TEST_F(WaitThreadTest, DisabledDialogStartsNoThread) {
    theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
    Start();
    EXPECT_FALSE(TheSession().IsWaitThreadRunning());
    SetForegroundWindow(mainWnd.m_hWnd);
    theApp.Execute("H 1.3");
    EXPECT_FALSE(dialogSeen);
}
