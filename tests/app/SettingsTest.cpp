#include "app/AboutDlg.h"
#include "app/VORLANApp.h"
#include "framework/Registry.h"
#include "framework/TestMode.h"
#include "tests/app/AppFixture.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

class SettingsTest : public ::testing::Test {
  protected:
    void SetUp() override { apptest::PrepareApp("SettingsTest", nullptr); }
    void TearDown() override { apptest::ReleaseApp(); }
};

} // namespace

TEST_F(SettingsTest, GeneralValuesFillTheBlock) {
    theApp.ReadConnectionSettings();
    EXPECT_EQ(theApp.Settings().remote, 1) << "a missing key gives every default";
    EXPECT_STREQ(theApp.Settings().apiPort, "1666");
    ASSERT_TRUE(theApp.SetGeneralValue("IPaddress", "192.0.2.5"));
    ASSERT_TRUE(theApp.SetGeneralValue("APIport", "1972"));
    ASSERT_TRUE(theApp.SetGeneralValue("RemoteConnection", "0"));
    ASSERT_TRUE(theApp.SetGeneralValue("APIType", "5"));
    ASSERT_TRUE(fw::RegWriteDword(HKEY_LOCAL_MACHINE, "Software\\Tarvell\\VORLAN\\General", "DBname", 7));
    theApp.ReadConnectionSettings();
    EXPECT_STREQ(theApp.Settings().address, "192.0.2.5");
    EXPECT_STREQ(theApp.Settings().apiPort, "1972");
    EXPECT_EQ(theApp.Settings().remote, 0);
    EXPECT_EQ(theApp.Settings().apiType, 0);
    EXPECT_STREQ(theApp.Settings().dbName, "") << "a value that is not text counts as missing";
    ASSERT_TRUE(theApp.SetGeneralValue("IPaddress", ""));
    EXPECT_EQ(theApp.GetGeneralValue("IPaddress", "weg"), "weg") << "an empty value deletes the entry";
}

TEST_F(SettingsTest, FontSettingsByLetter) {
    FontSetting none = theApp.GetFontSetting(1);
    EXPECT_EQ(none.scaledSize, 0);
    FontSetting f;
    f.name = "Verdana";
    f.points = 9;
    theApp.SetFontSetting(1, f);
    EXPECT_EQ(theApp.GetProfileString("Settings", "FontNameB"), "Verdana");
    FontSetting back = theApp.GetFontSetting(1);
    EXPECT_EQ(back.name, "Verdana");
    EXPECT_EQ(back.points, 9);
    EXPECT_EQ(back.scaledSize, 95);
}

TEST_F(SettingsTest, MessageBoxesGetTheCaptionAndAnIcon) {
    AfxMessageBox("ohne", MB_YESNO);
    AfxMessageBox("mit", MB_OK | MB_ICONSTOP);
    AfxMessageBox("abbrechen", MB_RETRYCANCEL);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(static_cast<UINT>(shown[0].id), static_cast<UINT>(MB_YESNO | MB_ICONEXCLAMATION));
    EXPECT_EQ(static_cast<UINT>(shown[1].id), static_cast<UINT>(MB_OK | MB_ICONSTOP));
    EXPECT_EQ(static_cast<UINT>(shown[2].id), static_cast<UINT>(MB_RETRYCANCEL))
        << "only the four button sets";
    EXPECT_EQ(shown[0].caption, "VORLAN experience");
}

TEST_F(SettingsTest, UpdateIsOfferedOnlyForANewerKnownProgram) {
    std::string folder = harness::FreshFolder("update");
    theApp.SetAutoInstallPath(folder.c_str());
    CString installer;
    bool quiet = true;
    EXPECT_FALSE(theApp.IsNewerVersionAvailable(installer, quiet)) << "no install.inf";
    harness::WriteTextFile(folder + "install.inf",
                           "[Setup]\r\nInstall=1\r\nQuiet=0\r\nExecute=setup.exe\r\n");
    // A candidate without version information (our test program has none) is never offered.
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    ASSERT_TRUE(CopyFileA(self, (folder + "VORLAN.EXE").c_str(), FALSE));
    EXPECT_FALSE(theApp.IsNewerVersionAvailable(installer, quiet));
    EXPECT_EQ(installer, CString((folder + "setup.exe").c_str()));
    EXPECT_FALSE(quiet);
    harness::WriteTextFile(folder + "install.inf", "[Setup]\r\nInstall=0\r\n");
    EXPECT_FALSE(theApp.IsNewerVersionAvailable(installer, quiet));
    EXPECT_FALSE(theApp.CheckForUpdate());
    EXPECT_TRUE(fw::TestMode::Shown().empty());
    theApp.SetAutoInstallPath("");
}

TEST_F(SettingsTest, AboutBoxShowsPlaceholdersWithoutASession) {
    fw::TestMode::PushAnswer("dialog 100 cmd:1000 cmd:1");
    theApp.OnAppAbout();
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].id, 32000) << "the info button opens its dialog";
    EXPECT_EQ(shown[1].id, 100);
    EXPECT_NE(shown[1].text.find("1049=...|"), std::string::npos) << shown[1].text;
    EXPECT_NE(shown[1].text.find("1034=VORLAN experience Version 0 (Build 0)"), std::string::npos)
        << shown[1].text;
    EXPECT_EQ(shown[1].answer, IDOK);
}
