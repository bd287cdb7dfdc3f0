#include "app/OnlineDebugger.h"
#include "app/ProtocolLog.h"
#include "app/VORLANApp.h"
#include "common/MQuote.h"
#include "framework/TestMode.h"
#include "tests/app/AppFixture.h"
#include "tests/app/FakeTransport.h"
#include "tests/app/FramePeer.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace {

class SessionTest : public ::testing::Test {
  protected:
    FakeServer server;
    void SetUp() override {
        apptest::PrepareApp("SessionTest", std::make_unique<FakeTransport>(server));
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1); // the wait thread has its own tests
    }
    void TearDown() override { apptest::ReleaseApp(); }
    void LogIn() {
        server.answer = [](const std::string& code, int) {
            return std::make_pair(0, std::string(code == "W $JOB" ? "4711" : ""));
        };
        ASSERT_TRUE(theApp.Connect());
        ASSERT_EQ(theApp.Login("127.0.0.1", 1972, "pw", "VOR", "", true), 7);
    }
};

// The session owns and frees the console; what it wrote stays with the test.
struct ScriptedConsole : IDebugConsole {
    std::deque<std::string> input;
    std::string* output;
    explicit ScriptedConsole(std::string* out) : output(out) {}
    void Write(const std::string& text, unsigned short) override { *output += text; }
    bool ReadLine(std::string& line, size_t) override {
        if (input.empty()) return false;
        line = input.front();
        input.pop_front();
        return true;
    }
};

} // namespace

TEST_F(SessionTest, LoginSetsTimeoutPartitionAndJobNumber) {
    LogIn();
    auto calls = server.Calls();
    ASSERT_GE(calls.size(), 5u);
    EXPECT_EQ(calls[0], "init");
    EXPECT_EQ(calls[1], "login 127.0.0.1:1972 VOR  pw");
    EXPECT_EQ(calls[2], "timeout 7 32767");
    EXPECT_EQ(calls[3], "partsize 7 1024");
    EXPECT_EQ(calls[4], "x 7 W $JOB");
    EXPECT_EQ(TheSession().Job(), "4711");
}

TEST_F(SessionTest, LoginFailuresShowTheirMessages) {
    ASSERT_TRUE(theApp.Connect());
    server.loginResult = 10001;
    EXPECT_EQ(theApp.Login("h", 1, "", "VOR", "", false), 0);
    server.loginResult = 10030;
    EXPECT_EQ(theApp.Login("h", 1, "", "XYZ", "", false), 0);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text.rfind("VORLAN konnte keine Verbindung mit dem Server herstellen.", 0), 0u);
    EXPECT_EQ(shown[0].caption, "VORLAN experience");
    EXPECT_NE(shown[1].text.find("10030"), std::string::npos) << shown[1].text;
    EXPECT_FALSE(TheSession().IsLoggedIn());
}

TEST_F(SessionTest, EmptyLineReachesNoServerAndOutputComesBack) {
    LogIn();
    size_t before = server.Calls().size();
    EXPECT_EQ(theApp.Execute(""), "");
    EXPECT_EQ(theApp.Execute(nullptr), "");
    EXPECT_EQ(server.Calls().size(), before);
    server.answer = [](const std::string& code, int) { return std::make_pair(0, "out:" + code); };
    EXPECT_EQ(theApp.Execute("W 1+1"), "out:W 1+1");
}

TEST_F(SessionTest, ServerErrorIsOfferedToTheServerQuotedFirst) {
    LogIn();
    const std::string error = "<UNDEFINED>ZERR+3^QX *X(\"a\")";
    std::string errorLine;
    int busyDuringNestedCall = 0;
    server.answer = [&](const std::string& code, int) {
        if (code.rfind("W $$ERROR^QCC(", 0) == 0) {
            errorLine = code;
            busyDuringNestedCall = TheSession().BusyDepth();
            return std::make_pair(0, std::string("1"));
        }
        return std::make_pair(10035, error);
    };
    EXPECT_EQ(theApp.Execute("W X(\"a\")"), "");
    EXPECT_EQ(errorLine, "W $$ERROR^QCC(" + vorlan::MQuote(error) + ")");
    EXPECT_EQ(busyDuringNestedCall, 2) << "the nested call must not clear the outer one";
    EXPECT_FALSE(TheSession().IsBusy());
    EXPECT_TRUE(fw::TestMode::Shown().empty()) << "the server handled it";
}

TEST_F(SessionTest, DeclinedErrorShowsTheErrorDialog) {
    LogIn();
    server.answer = [](const std::string& code, int) {
        if (code.rfind("W $$ERROR^QCC(", 0) == 0) return std::make_pair(0, std::string("0"));
        return std::make_pair(10035, std::string("<SYNTAX>"));
    };
    fw::TestMode::PushAnswer("dialog 195 cmd:1048 cmd:1");
    EXPECT_EQ(theApp.Execute("W ^BAD("), "");
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, "dialog");
    EXPECT_EQ(shown[0].id, 195);
    EXPECT_NE(shown[0].text.find("(#10035)<SYNTAX>\r\nLine to execute: W ^BAD("), std::string::npos)
        << shown[0].text;
    EXPECT_EQ(shown[0].answer, IDOK);
}

TEST_F(SessionTest, SilentCallsReturnNothingReportTheErrorApartAndShowNothing) {
    LogIn();
    server.answer = [](const std::string&, int) { return std::make_pair(10006, std::string("lost")); };
    EXPECT_EQ(theApp.Execute("W 1", 1), "") << "an error text is no answer";
    EXPECT_EQ(TheSession().LastError(), 10006) << "and 10006 in a silent call does not end the program";
    EXPECT_EQ(TheSession().LastErrorText(), "lost");
    EXPECT_TRUE(fw::TestMode::Shown().empty());
    server.answer = [](const std::string&, int) { return std::make_pair(0, std::string("1")); };
    EXPECT_EQ(theApp.Execute("W 1", 1), "1");
    EXPECT_EQ(TheSession().LastError(), 0) << "each line reports its own";
}

TEST_F(SessionTest, ModeAndDiskErrorsShowTheirMessages) {
    LogIn();
    int rc = 0;
    server.answer = [&](const std::string&, int) { return std::make_pair(rc, std::string("<X>")); };
    CString mode, disk;
    mode.LoadString(62012);
    disk.LoadString(62013);
    ASSERT_FALSE(mode.IsEmpty());
    rc = 10070;
    EXPECT_EQ(theApp.Execute("S ^A=1"), "");
    rc = 10067;
    EXPECT_EQ(theApp.Execute("S ^A=1"), "");
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, mode.str());
    EXPECT_EQ(shown[1].text, disk.str());
    EXPECT_TRUE(shown[0].id & MB_ICONEXCLAMATION) << "a box without icon gets the exclamation";
    EXPECT_FALSE(server.Saw("x 7 W $$ERROR^QCC(\"<X>\")")) << "these never reach $$ERROR^QCC";
}

TEST_F(SessionTest, DebugFlagOpensTheDebuggerInsteadOfTheDialog) {
    LogIn();
    theApp.Settings().debug = 1;
    std::string out;
    TheSession().SetConsoleFactory([&](const char*) {
        auto console = std::make_unique<ScriptedConsole>(&out);
        console->input = {"W 6*7", "q"};
        return std::unique_ptr<IDebugConsole>(std::move(console));
    });
    bool openDuringDebugger = false;
    server.answer = [&](const std::string& code, int) {
        if (code == "W ^FAIL") return std::make_pair(10035, std::string("<UNDEF>"));
        if (code.rfind("W $$ERROR^QCC(", 0) == 0) return std::make_pair(0, std::string("0"));
        if (code == "W $ZV") return std::make_pair(0, std::string("GT.M V7.0-005 Linux x86_64"));
        if (code.rfind("W $ZPARSE(", 0) == 0) return std::make_pair(0, std::string("vorlan (GT.M)"));
        if (code == "W 6*7") {
            openDuringDebugger = TheSession().IsConsoleOpen();
            return std::make_pair(0, std::string("42"));
        }
        return std::make_pair(0, std::string());
    };
    EXPECT_EQ(theApp.Execute("W ^FAIL"), "");
    EXPECT_NE(out.find("VORLAN Onlinedebugger"), std::string::npos);
    EXPECT_NE(out.find("You are in this UCI: vorlan (GT.M)"), std::string::npos) << out;
    EXPECT_NE(out.find("Stopped by error:\n   <UNDEF>"), std::string::npos);
    EXPECT_NE(out.find("Caused by line:\n   W ^FAIL"), std::string::npos);
    EXPECT_NE(out.find(">42\n>"), std::string::npos) << out;
    EXPECT_TRUE(openDuringDebugger);
    EXPECT_FALSE(TheSession().IsConsoleOpen());
    EXPECT_TRUE(fw::TestMode::Shown().empty());
}

TEST_F(SessionTest, ProtocolLogNamedByTheJobHoldsCodeAndOutput) {
    theApp.Settings().protocol = 1;
    vorlan::ResetProtocol();
    std::remove("C:\\TEMP\\protocol(4711).log");
    LogIn();
    server.answer = [](const std::string&, int) { return std::make_pair(0, std::string("drei")); };
    theApp.Execute("W 3");
    std::string log = harness::ReadTextFile("C:\\TEMP\\protocol(4711).log");
    EXPECT_EQ(log, "----- 4711 -----\r\n\r\nW 3\r\ndrei\r\n\r\n");
    std::remove("C:\\TEMP\\protocol(4711).log");
}

TEST_F(SessionTest, SecondConnectionIsShortLivedAndQuick) {
    LogIn();
    std::strcpy(theApp.Settings().address, "10.9.8.7");
    std::strcpy(theApp.Settings().apiPort, "1972");
    std::strcpy(theApp.Settings().apiPassword, "geheim");
    server.answer = [](const std::string& code, int h) {
        if (h == 7) return std::make_pair(0, std::string("main"));
        return std::make_pair(code == "W 2" ? 0 : 10035, std::string("second"));
    };
    char buf[32];
    ASSERT_TRUE(theApp.ExecuteOnce("W 2", buf, sizeof buf));
    EXPECT_STREQ(buf, "second");
    EXPECT_TRUE(server.Saw("login 10.9.8.7:1972 VOR  geheim"));
    EXPECT_TRUE(server.Saw("timeout 100 5")) << "a short time-out, not the main connection's";
    EXPECT_TRUE(server.Saw("logout 100"));
    EXPECT_FALSE(theApp.ExecuteOnce("W ^BAD", buf, sizeof buf));
    EXPECT_STREQ(buf, "");
    server.loginResult = 10001;
    std::strcpy(buf, "keep");
    EXPECT_FALSE(theApp.ExecuteOnce("W 2", buf, sizeof buf));
    EXPECT_STREQ(buf, "keep");
}

TEST_F(SessionTest, SocketTransportLogsInExecutesAndLogsOut) {
    apptest::FramePeer peer(apptest::Serve([](const std::string& frame) {
        if (frame == "XW $JOB") return apptest::ExecuteReply("4711", "1");
        if (frame == "XW 1+1") return apptest::ExecuteReply("\f2", "1");
        if (frame == "XW ^FEHLT") return apptest::ExecuteReply("", "0<UNDEFINED>");
        if (frame[0] == 'X') return apptest::ExecuteReply("", "1");
        return apptest::Line("1");
    }));
    theApp.Settings().apiType = 1;
    std::strcpy(theApp.Settings().address, "127.0.0.1");
    std::strcpy(theApp.Settings().apiPort, std::to_string(peer.Port()).c_str());
    ASSERT_TRUE(theApp.Connect());
    ASSERT_EQ(theApp.Login("127.0.0.1", peer.Port(), "", "VOR", "VOL", true), 1);
    EXPECT_EQ(TheSession().Job(), "4711");
    EXPECT_EQ(theApp.Execute("W 1+1"), "2");
    EXPECT_EQ(theApp.Execute("W ^FEHLT", 1), "");
    EXPECT_EQ(TheSession().LastError(), 0xFFFFFF);
    EXPECT_EQ(TheSession().LastErrorText(), "<UNDEFINED>");
    char buf[32];
    EXPECT_TRUE(theApp.ExecuteOnce("W 1+1", buf, sizeof buf)) << "on a connection of its own";
    EXPECT_STREQ(buf, "2");
    EXPECT_EQ(theApp.Login("127.0.0.1", peer.Port(), "", "MGR", "", false), 1) << "a change, no new log-in";
    theApp.Disconnect();
    EXPECT_FALSE(TheSession().IsLoggedIn());
    std::vector<std::string> expected = {"/VOR,VOL", "XW $JOB", "XW 1+1", "XW ^FEHLT", "/VOR,VOL",
                                         "XW 1+1",   "L",       "CMGR",   "XW $JOB",   "L"};
    auto frames = peer.Frames();
    EXPECT_EQ(frames, expected);
    EXPECT_TRUE(fw::TestMode::Shown().empty());
    EXPECT_TRUE(server.Calls().empty()) << "the client library stays out of it";
}

TEST_F(SessionTest, SocketLogInFailuresShowTheirMessages) {
    theApp.Settings().apiType = 1;
    ASSERT_TRUE(theApp.Connect());
    int port;
    {
        apptest::FramePeer gone(apptest::Serve([](const std::string&) { return std::string(); }));
        port = gone.Port();
    }
    EXPECT_EQ(theApp.Login("127.0.0.1", port, "", "VOR", "", false), 0);
    apptest::FramePeer peer(apptest::Serve([](const std::string&) { return apptest::Line("0,3"); }));
    EXPECT_EQ(theApp.Login("127.0.0.1", peer.Port(), "", "VOR", "", false), 0);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text.rfind("VORLAN konnte keine Verbindung mit dem Server herstellen.", 0), 0u);
    EXPECT_EQ(shown[1].text, "VORLAN konnte sich nicht am Server anmelden.\n\n"
                             "  Bitte stellen Sie sicher, dass die Einstellungen korrekt sind.");
    EXPECT_FALSE(TheSession().IsLoggedIn());
    EXPECT_EQ(theApp.Execute("W 1"), "") << "no connection, no line";

    apptest::FramePeer strict(apptest::Serve([](const std::string& frame) {
        if (frame[0] == 'C') return apptest::Line("0");
        return frame[0] == 'X' ? apptest::ExecuteReply("4711", "1") : apptest::Line("1");
    }));
    ASSERT_EQ(theApp.Login("127.0.0.1", strict.Port(), "", "VOR", "", false), 1);
    EXPECT_EQ(theApp.Login("127.0.0.1", strict.Port(), "", "XYZ", "", false), 0) << "a refused change";
    EXPECT_TRUE(TheSession().IsLoggedIn()) << "still in the old UCI";
    shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_NE(shown[2].text.find("\"XYZ\""), std::string::npos) << shown[2].text;
    theApp.Disconnect();
}

TEST_F(SessionTest, SocketLostInASilentLineReportsItAndDisconnectsCleanly) {
    apptest::FramePeer peer(apptest::Serve([](const std::string& frame) {
        if (frame == "XW ^WEG") return std::string(); // the server goes away mid-line
        return frame[0] == 'X' ? apptest::ExecuteReply("4711", "1") : apptest::Line("1");
    }));
    theApp.Settings().apiType = 1;
    ASSERT_TRUE(theApp.Connect());
    ASSERT_EQ(theApp.Login("127.0.0.1", peer.Port(), "", "VOR", "", false), 1);
    EXPECT_EQ(theApp.Execute("W ^WEG", 1), "");
    EXPECT_EQ(TheSession().LastError(), 10006);
    theApp.Disconnect();
    EXPECT_FALSE(TheSession().IsLoggedIn());
    EXPECT_TRUE(fw::TestMode::Shown().empty());
}

TEST_F(SessionTest, SocketLineLongerThanTheResultBufferComesBackCut) {
    const std::string longOutput = std::string(70000, 'a') + "b";
    apptest::FramePeer peer(apptest::Serve([&](const std::string& frame) {
        if (frame == "XLANG") return apptest::ExecuteReply(longOutput, "1");
        if (frame == "XLANGFEHLER") return apptest::ExecuteReply(longOutput, "0<UNDEFINED>");
        if (frame == "XW 1") return apptest::ExecuteReply("1", "1");
        return frame[0] == 'X' ? apptest::ExecuteReply("4711", "1") : apptest::Line("1");
    }));
    theApp.Settings().apiType = 1;
    ASSERT_TRUE(theApp.Connect());
    ASSERT_EQ(theApp.Login("127.0.0.1", peer.Port(), "", "VOR", "", false), 1);
    // Silent first: a lost connection would end the test's process otherwise.
    CString result = theApp.Execute("LANG", 1);
    ASSERT_EQ(TheSession().LastError(), 0);
    EXPECT_EQ(result.GetLength(), 65535);
    EXPECT_TRUE(result.str() == longOutput.substr(0, 65535));
    result = theApp.Execute("LANG");
    EXPECT_TRUE(result.str() == longOutput.substr(0, 65535)) << result.GetLength();
    EXPECT_EQ(theApp.Execute("W 1"), "1") << "the session goes on";
    EXPECT_EQ(theApp.Execute("LANGFEHLER", 1), "");
    EXPECT_EQ(TheSession().LastError(), 0xFFFFFF);
    EXPECT_EQ(TheSession().LastErrorText(), "<UNDEFINED>");
    EXPECT_EQ(theApp.Execute("W 1"), "1");
    EXPECT_TRUE(fw::TestMode::Shown().empty());
    theApp.Disconnect();
}

TEST(ThemeProbe, TableFromTheThemeLibraryOrClassicDrawing) {
    // The test double sits beside this program as Glossery.dll and notes the calls it gets.
    std::string log = harness::FreshFolder("ThemeProbe") + "glossery.log";
    SetEnvironmentVariableA("GLOSSERY_DOUBLE_LOG", log.c_str());
    SetEnvironmentVariableA("GLOSSERY_DOUBLE_REFUSE", "1");
    theApp.ProbeThemeLibrary(MAKELONG(0, 6));
    EXPECT_EQ(theApp.OSKind(), 4);
    EXPECT_EQ(theApp.m_pThemeApi, nullptr) << "a refused table frees the library";
    EXPECT_EQ(theApp.ThemeLibrary(), nullptr);
    EXPECT_EQ(GetModuleHandleA("Glossery.dll"), nullptr);
    EXPECT_FALSE(theApp.IsThemeActive());
    EXPECT_EQ(harness::ReadTextFile(log), "InitInterface\n") << "a refused table is not asked";
    SetEnvironmentVariableA("GLOSSERY_DOUBLE_REFUSE", nullptr);
    DeleteFileA(log.c_str());
    theApp.ProbeThemeLibrary(MAKELONG(0, 6));
    ASSERT_NE(theApp.m_pThemeApi, nullptr);
    EXPECT_TRUE(theApp.IsThemeActive());
    EXPECT_EQ(harness::ReadTextFile(log), "InitInterface\nCanUseTheme\n") << "asked once";
    EXPECT_TRUE(theApp.IsThemed());
    EXPECT_TRUE(theApp.IsWin2000OrLater());
    EXPECT_EQ(theApp.IsWin98OrLater(), 1);
    theApp.ProbeThemeLibrary(0);
    SetEnvironmentVariableA("GLOSSERY_DOUBLE_LOG", nullptr);
    EXPECT_EQ(theApp.m_pThemeApi, nullptr) << "classic again";
    EXPECT_FALSE(theApp.IsThemed());
    EXPECT_FALSE(theApp.IsThemeActive());
}

// The child half of the test below: only runs when the parent starts it.
TEST(ConnectionLossChild, LostConnectionEndsTheProcess) {
    char dir[MAX_PATH];
    if (!GetEnvironmentVariableA("VORLAN_LOSS_CHILD", dir, sizeof dir))
        GTEST_SKIP() << "started by the parent only";
    fw::TestMode::Enable(dir, "");
    FakeServer server;
    server.answer = [](const std::string& code, int) {
        return std::make_pair(code == "W $JOB" ? 0 : 10006, std::string("<connection lost>"));
    };
    theApp.Settings().remote = 1;
    theApp.Session().SetTransport(std::make_unique<FakeTransport>(server));
    theApp.Connect();
    theApp.Login("h", 1, "", "VOR", "", false);
    theApp.Execute("W 1");
    ADD_FAILURE() << "still running";
}

TEST(ConnectionLoss, EndsTheProcessAfterSayingSo) {
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    std::string dir = harness::FreshFolder("loss");
    dir.pop_back();
    SetEnvironmentVariableA("VORLAN_LOSS_CHILD", dir.c_str());
    harness::Process child;
    ASSERT_TRUE(child.Start(std::string("\"") + self + "\" --gtest_filter=ConnectionLossChild.*"));
    int code = child.Wait(30000);
    SetEnvironmentVariableA("VORLAN_LOSS_CHILD", nullptr);
    EXPECT_EQ(code, -1);
    auto shown = harness::ReadShown(dir + "\\");
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Verbindung zur Datenbank wurde unterbrochen.\nVORLAN wird beendet.");
}

TEST_F(SessionTest, TimingLinesMeasureElapsedTicks) {
    theApp.Settings().protocolTime = 1;
    vorlan::ResetProtocol();
    std::remove("C:\\TEMP\\protocol(4711).log");
    LogIn();
    server.answer = [](const std::string&, int) {
        Sleep(1100); // over a second: the millisecond fields alone would be wrong
        return std::make_pair(0, std::string("fertig"));
    };
    theApp.Execute("H 1");
    std::string log = harness::ReadTextFile("C:\\TEMP\\protocol(4711).log");
    EXPECT_EQ(log.find("-----"), std::string::npos) << "no framing with the time switch alone";
    EXPECT_NE(log.find("\r\nH 1\r\nThe time is "), std::string::npos) << log;
    size_t ms = log.find("Millisekunden: ");
    ASSERT_NE(ms, std::string::npos) << log;
    int elapsed = std::atoi(log.c_str() + ms + 15);
    EXPECT_GE(elapsed, 1000);
    EXPECT_LT(elapsed, 5000);
    EXPECT_NE(log.find("fertig\r\n"), std::string::npos);
    std::remove("C:\\TEMP\\protocol(4711).log");
}
