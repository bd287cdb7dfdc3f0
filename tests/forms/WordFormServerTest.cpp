// Word forms from the frame against the fixture's dbserver and the launch logger (tests/com),
// registered for .rtf: an administrator picks an RTF form in the scripted open dialog, the
// shell opens it shown normally in the forms folder, and the main window is minimised.
#include "common/MQuote.h"
#include "framework/TestMode.h"
#include "resources/MainFrameIds.h"
#include "resources/ServiceIds.h"
#include "tests/com/LaunchLog.h"
#include "tests/forms/FormServerFixture.h"

#include <string>
#include <vector>

namespace {

class WordFormTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        ASSERT_FALSE(launchlog::LoggerPath().empty()) << "the fixture registered the logger";
        launchlog::Clear();
        harness::WriteTextFile(m_server + "Brief.rtf", "{\\rtf1 Brief}");
        harness::WriteTextFile(m_profile + "Rezept.rtf", "{\\rtf1 Rezept}");
        theApp.WriteProfileString("Settings", "WordFormsFilePath", m_profile.c_str());
        fw::TestMode::ClearShown();
        // The demo's own folder comes back afterwards.
        m_demoFolder = Once("W $G(" + kAdminPath + ")");
        Once("K " + kAdminPath);
    }
    void TearDown() override {
        Once(m_demoFolder.empty() ? "K " + kAdminPath
                                  : "S " + kAdminPath + "=" + vorlan::MQuote(m_demoFolder));
        theApp.WriteProfileString("Settings", "WordFormsFilePath", "");
        frame->ShowWindow(SW_RESTORE);
        FormServerTestBase::TearDown();
    }
    std::vector<fw::ShownItem> OpenDialogs() {
        std::vector<fw::ShownItem> found;
        for (const auto& item : fw::TestMode::Shown())
            if (item.kind == "open") found.push_back(item);
        return found;
    }

    const std::string kAdminPath = "^[\"SYS\"]EXTRAS(\"admin\",\"WORDPATH\")";
    std::string m_demoFolder;
    std::string m_server = harness::NewFolder("wordform-server");
    std::string m_profile = harness::NewFolder("wordform-profile");
};

} // namespace

TEST_F(WordFormTest, AdministratorOpensTheChosenFormShownAndTheMainWindowGoesToTheTaskbar) {
    Once("S " + kAdminPath + "=" + vorlan::MQuote(m_server));
    LogIn("admin", "admin");
    ASSERT_FALSE(::IsIconic(frame->m_hWnd));
    fw::TestMode::PushAnswer("dialog open path:" + m_server + "Brief.rtf");
    frame->SendMessage(WM_COMMAND, ID_OPEN_WORD);
    harness::Pump();
    std::vector<fw::ShownItem> dialogs = OpenDialogs();
    ASSERT_EQ(dialogs.size(), 1u);
    EXPECT_EQ(dialogs[0].caption, harness::ResourceText(IDS_WORD_OPEN_TITLE));
    std::vector<launchlog::Launch> launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].verb, "open");
    EXPECT_EQ(launches[0].file, m_server + "Brief.rtf");
    EXPECT_EQ(launches[0].show, SW_SHOWNORMAL) << "a hidden form could not be closed";
    EXPECT_EQ(launches[0].folder + "\\", m_server) << "the server's forms folder";
    EXPECT_TRUE(::IsIconic(frame->m_hWnd));
}

TEST_F(WordFormTest, WithoutAServerFolderTheWorkstationsFolderIsUsed) {
    LogIn("admin", "admin");
    fw::TestMode::PushAnswer("dialog open path:" + m_profile + "Rezept.rtf");
    frame->SendMessage(WM_COMMAND, ID_OPEN_WORD);
    harness::Pump();
    std::vector<launchlog::Launch> launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].folder + "\\", m_profile);
}

TEST_F(WordFormTest, CancelOpensNothing) {
    LogIn("admin", "admin");
    frame->SendMessage(WM_COMMAND, ID_OPEN_WORD);
    harness::Pump();
    ASSERT_EQ(OpenDialogs().size(), 1u);
    EXPECT_EQ(OpenDialogs()[0].answer, IDCANCEL);
    ::Sleep(500);
    EXPECT_TRUE(launchlog::Read().empty());
    EXPECT_FALSE(::IsIconic(frame->m_hWnd));
}

TEST_F(WordFormTest, OtherUsersGetNoDialog) {
    LogIn();
    fw::TestMode::PushAnswer("dialog open path:" + m_profile + "Rezept.rtf");
    frame->SendMessage(WM_COMMAND, ID_OPEN_WORD);
    harness::Pump();
    EXPECT_TRUE(OpenDialogs().empty());
    EXPECT_FALSE(::IsIconic(frame->m_hWnd));
}
