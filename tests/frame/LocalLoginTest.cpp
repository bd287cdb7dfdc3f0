// The main frame's log-in to a local database: the session reaches it through the automation
// object of the kvxole32.dll double beside the test, which forwards every line to the
// fixture's dbserver, where the demo's %kvv and %kvu trace the mount and namespace change.
#include "tests/frame/ServerFrameFixture.h"

#include "tests/frame/DemoTrace.h"

using demotrace::Has;

class LocalLoginTest : public ServerFrameTest {
  protected:
    void BeforeConnect() override {
        theApp.Settings().remote = 0;
        vorlan::SetField(theApp.Settings().dbName, "VORLAN");
        vorlan::SetField(theApp.Settings().uciAndVolume, "VOR,DBK");
        SetEnvironmentVariableA("VORLAN_KVXOLE_STATUS", nullptr);
        SetEnvironmentVariableA("VORLAN_KVXOLE_NOREGISTER", nullptr);
    }
};

TEST_F(LocalLoginTest, MountsAndChangesNamespaceThroughTheAutomationObject) {
    LogIn();
    ASSERT_TRUE(frame->IsLoggedIn());
    Lines trace = Trace();
    // The configured namespace and volume group first, then the module's namespace (no volume
    // group), each after unmounting what was mounted before.
    Lines expected = {"UNMOUNT^%kvv(DBK)", "MOUNT^%kvv(VORLAN)", "CHNGUCI^%kvu(VOR,DBK)", "UNMOUNT^%kvv(DBK)",
                      "UNMOUNT^%kvv()",    "MOUNT^%kvv(VORLAN)", "CHNGUCI^%kvu(VOR,)",    "INIMNU^QCC()"};
    size_t at = 0;
    for (const auto& entry : expected) {
        while (at < trace.size() && trace[at] != entry)
            ++at;
        ASSERT_LT(at, trace.size()) << entry << " in order";
        ++at;
    }
    EXPECT_TRUE(TheSession().MountedDatabase().IsEmpty()) << "the module's namespace has no volume group";
    EXPECT_TRUE(Boxes().empty());
}
