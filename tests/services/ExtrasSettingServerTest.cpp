// The user's Word forms folder read from the server: the current user's WORDPATH entry only,
// nothing without a user, and user names pasted as M strings.
#include "app/VORLANApp.h"
#include "services/ExtrasSetting.h"
#include "tests/app/AppFixture.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

namespace {

class ExtrasSettingTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0);
        apptest::PrepareApp("ExtrasSettingTest", MakeClientLibraryTransport());
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        theApp.Settings().protocolAll = 1;
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", harness::DbServerPort(), "", "", "", false), 0);
        M("K ^[%SYS]EXTRAS(\"zi\"\"tat\"),^[%SYS]EXTRAS(\"extras-test\")");
    }
    void TearDown() override {
        M("K ^[%SYS]EXTRAS(\"zi\"\"tat\"),^[%SYS]EXTRAS(\"extras-test\")");
        apptest::ReleaseApp();
    }
    std::string M(const std::string& line) { return theApp.Execute(line.c_str()).str(); }
    apptest::ProtocolInFolder m_protocol{harness::NewFolder("extras")};
};

} // namespace

TEST_F(ExtrasSettingTest, ReadsTheCurrentUsersWordPathWhateverTheName) {
    M("S %USER=\"extras-test\",^[%SYS]EXTRAS(\"extras-test\",\"WORDPATH\")=\"Z:\\Formulare\","
      "^[%SYS]EXTRAS(\"extras-test\",\"EXCELPATH\")=\"Z:\\Mappen\"");
    EXPECT_EQ(getExtrasSetting("WORDPATH").str(), "Z:\\Formulare");
    EXPECT_EQ(getExtrasSetting("EXCELPATH").str(), "Z:\\Formulare") << "the folder is the only such setting";
    M("K ^[%SYS]EXTRAS(\"extras-test\",\"WORDPATH\")");
    EXPECT_EQ(getExtrasSetting("WORDPATH").str(), "");
}

TEST_F(ExtrasSettingTest, UserWithAQuoteReadsItsOwnEntry) {
    M("S %USER=\"zi\"\"tat\",^[%SYS]EXTRAS(\"zi\"\"tat\",\"WORDPATH\")=\"C:\\Vor\"\"lagen\"");
    EXPECT_EQ(getExtrasSetting("WORDPATH").str(), "C:\\Vor\"lagen");
}

TEST_F(ExtrasSettingTest, TheFunctionTraceNamesIt) {
    M("S %USER=\"extras-test\"");
    getExtrasSetting("WORDPATH");
    EXPECT_NE(m_protocol.Text().find("----- getExtrasSetting -----"), std::string::npos);
}

TEST_F(ExtrasSettingTest, EmptyUserGivesNothing) {
    M("S %USER=\"\"");
    EXPECT_EQ(getExtrasSetting("WORDPATH").str(), "");
    M("K %USER");
    EXPECT_EQ(getExtrasSetting("WORDPATH").str(), "");
}
