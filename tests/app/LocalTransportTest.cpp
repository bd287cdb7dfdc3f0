// The session over the local database's automation object, through the kvxole32.dll double
// beside the test (it forwards every line to the fixture's dbserver).
#include "app/MCommandDriver.h"
#include "app/VORLANApp.h"
#include "framework/LoadedLibrary.h"
#include "framework/TestMode.h"
#include "resources/resource.h"
#include "tests/app/AppFixture.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <string>

namespace {

class LocalTransportTest : public ::testing::Test {
  protected:
    std::string log;

    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0) << "the double forwards to the dbserver fixture";
        apptest::PrepareApp("LocalTransportTest", nullptr);
        theApp.Settings().remote = 0;
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        char temp[MAX_PATH];
        GetTempPathA(MAX_PATH, temp);
        log = std::string(temp) + "kvxole-double.log";
        DeleteFileA(log.c_str());
        SetEnvironmentVariableA("VORLAN_KVXOLE_LOG", log.c_str());
        SetEnvironmentVariableA("VORLAN_KVXOLE_STATUS", nullptr);
        SetEnvironmentVariableA("VORLAN_KVXOLE_NOREGISTER", nullptr);
        SetEnvironmentVariableA("VORLAN_KVXOLE_STUCK", nullptr);
        Unregister(); // the program's own regsvr32 call must do it
    }
    void TearDown() override { apptest::ReleaseApp(); }

    static void Unregister() {
        CLoadedLibrary lib("kvxole32.dll");
        auto unregister = lib.Entry<HRESULT(STDAPICALLTYPE*)()>("DllUnregisterServer");
        ASSERT_NE(unregister, nullptr);
        unregister();
    }
    std::string Log() const { return harness::ReadTextFile(log); }
    // The demo's trace lines of this job since `from`.
    std::string TraceSince(const std::string& from) {
        std::string line = "N n,t S t=\"\",n=" + from +
                           " F  S n=$O(^ZTRACE(n)) W:n=\"\" t Q:n=\"\"  S:$P(^ZTRACE(n),\" \")=$J "
                           "t=t_$P(^ZTRACE(n),\" \",2,9)_\"|\"";
        return theApp.Execute(line.c_str()).str();
    }
};

TEST_F(LocalTransportTest, RegistersOpensAndRunsLinesThroughTheAutomationObject) {
    ASSERT_TRUE(theApp.Connect());
    std::string calls = Log();
    size_t at = 0;
    for (const char* step : {"register", "put 102 ", "\\VORLANSERVER.EXE", "put 101 LOCALOLE", "get 115",
                             "call 3", "call 2 U $P:(::::4096)"}) {
        size_t found = calls.find(step, at);
        ASSERT_NE(found, std::string::npos) << step << " in order in:\n" << calls;
        at = found;
    }
    EXPECT_EQ(theApp.Execute("W 6*7"), "42");
    EXPECT_TRUE(TheSession().IsLoggedIn()) << "the local database is open";
    EXPECT_TRUE(fw::TestMode::Shown().empty());
}

TEST_F(LocalTransportTest, LocalLogInLinesMountAndChangeNamespace) {
    ASSERT_TRUE(theApp.Connect());
    std::string from = theApp.Execute("W +$G(^ZTRACE)").str();
    theApp.Execute("K IN S IN(\"DBNAME\")=\"VORLAN\"");
    EXPECT_EQ(theApp.Execute("W $$MOUNT^%kvv(.IN,\"\")"), "0");
    EXPECT_EQ(theApp.Execute("W $$CHNGUCI^%kvu(\"ABR\",\"DBK\")"), "0");
    EXPECT_EQ(theApp.Execute("W $ZPARSE($ZGBLDIR,\"NAME\")"), "ABR");
    EXPECT_EQ(theApp.Execute("W $$CHNGUCI^%kvu(\"NIX\",\"\")"), "-1");
    EXPECT_EQ(theApp.Execute("W $$CHNGUCI^%kvu(\"VOR\",\"\")"), "0");
    theApp.Execute("K IN S IN(\"DBNAME\")=\"FEHLT\"");
    EXPECT_EQ(theApp.Execute("W $$MOUNT^%kvv(.IN,\"\")"), "-1");
    EXPECT_EQ(TraceSince(from),
              "MOUNT^%kvv(VORLAN)|CHNGUCI^%kvu(ABR,DBK)|CHNGUCI^%kvu(NIX,)|CHNGUCI^%kvu(VOR,)|"
              "MOUNT^%kvv(FEHLT)|");
}

TEST_F(LocalTransportTest, MErrorsGoToTheErrorDialogOrStayApartWhenSilent) {
    ASSERT_TRUE(theApp.Connect());
    fw::TestMode::PushAnswer("dialog 195 cmd:1");
    EXPECT_EQ(theApp.Execute("W ^ZNOTHERE(1)"), "");
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].id, 195);
    EXPECT_NE(shown[0].text.find("<UNDEF>"), std::string::npos) << shown[0].text;
    EXPECT_NE(shown[0].text.find("W ^ZNOTHERE(1)"), std::string::npos) << shown[0].text;
    fw::TestMode::ClearShown();

    EXPECT_EQ(theApp.Execute("W ^ZNOTHERE(2)", 1), "");
    EXPECT_NE(TheSession().LastErrorText().Find("<UNDEF>"), -1) << TheSession().LastErrorText().c_str();
    EXPECT_NE(TheSession().LastError(), 0);
    EXPECT_TRUE(fw::TestMode::Shown().empty());
    EXPECT_EQ(theApp.Execute("W 1"), "1");
    EXPECT_EQ(TheSession().LastError(), 0);
}

TEST_F(LocalTransportTest, CloseUnmountsClosesAndWaitsForTheState) {
    ASSERT_TRUE(theApp.Connect());
    TheSession().SetMountedDatabase("DBK");
    DeleteFileA(log.c_str());
    theApp.Disconnect();
    EXPECT_TRUE(TheSession().MountedDatabase().IsEmpty());
    EXPECT_FALSE(TheSession().IsLoggedIn());
    std::string calls = Log();
    size_t unmount = calls.find("call 2 W $$UNMOUNT^%kvv(\"DBK\")");
    size_t close = calls.find("call 4");
    size_t state = calls.rfind("get 115");
    ASSERT_NE(unmount, std::string::npos) << calls;
    ASSERT_NE(close, std::string::npos) << calls;
    ASSERT_NE(state, std::string::npos) << calls;
    EXPECT_LT(unmount, close);
    EXPECT_LT(close, state);
    EXPECT_EQ(theApp.Execute("W 1"), "") << "nothing is sent after the close";
}

TEST_F(LocalTransportTest, CloseGivesUpOnAnEngineThatNeverReportsIt) {
    ASSERT_TRUE(theApp.Connect());
    SetEnvironmentVariableA("VORLAN_KVXOLE_STUCK", "1");
    DWORD start = GetTickCount();
    theApp.Disconnect();
    DWORD took = GetTickCount() - start;
    EXPECT_GE(took, CMCommandDriver::kCloseWait - 100);
    EXPECT_LT(took, 3 * CMCommandDriver::kCloseWait) << "the close returns";
    EXPECT_NE(Log().find("call 4"), std::string::npos);
}

TEST_F(LocalTransportTest, RefusedOpenAndMissingClassShowTheirMessages) {
    SetEnvironmentVariableA("VORLAN_KVXOLE_STATUS", "600");
    EXPECT_FALSE(theApp.Connect());
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, harness::ResourceText(IDS_OLE_OPEN_FAILED));
    EXPECT_EQ(shown[0].id & MB_ICONMASK, MB_ICONSTOP);
    fw::TestMode::ClearShown();

    SetEnvironmentVariableA("VORLAN_KVXOLE_STATUS", nullptr);
    Unregister();
    SetEnvironmentVariableA("VORLAN_KVXOLE_NOREGISTER", "1");
    EXPECT_FALSE(theApp.Connect());
    shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, harness::ResourceText(IDS_OLE_CREATE_FAILED));
    EXPECT_NE(Log().find("register"), std::string::npos) << "regsvr32 ran the library";
}

} // namespace
