// The real program started as a child on this test's desktop, in test mode.
#include "app/SettingsBlock.h"
#include "framework/Wnd.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <fstream>

using harness::BinFolder;

namespace {

const char* const kSettingsKey = "Software\\Tarvell\\VORLAN\\Settings";

class StartupTest : public ::testing::Test {
  protected:
    std::string dir; // test-mode folder of the child: script and record
    void SetUp() override {
        const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
        dir = harness::FreshFolder(info->name());
        harness::ClearTestModeSettings(dir);
    }
    void TearDown() override { harness::ClearTestModeSettings(dir); }
    std::string Command(const std::string& program, const std::string& args) const {
        return harness::TestModeCommand(program, dir, args);
    }
    void SetMachineValue(const char* key, const char* name, const char* value) {
        ASSERT_TRUE(harness::SetTestModeValue(dir, HKEY_LOCAL_MACHINE,
                                              std::string("Software\\Tarvell\\VORLAN\\") + key, name, value));
    }
    std::string ProfileValue(const char* name) {
        return harness::TestModeValue(dir, HKEY_CURRENT_USER, kSettingsKey, name);
    }
    // Starts the program, waits for its main window and closes it again.
    std::string RunToMainWindow(const std::string& program, const std::string& args = "") {
        harness::Process p;
        EXPECT_TRUE(p.Start(Command(program, args)));
        HWND main = harness::WaitForWindow(p.Id(), "VORLAN.MainWindow", 20000);
        std::string title = main ? fw::WindowText(main) : "(no main window)";
        if (main) PostMessageA(main, WM_CLOSE, 0, 0);
        EXPECT_EQ(p.Wait(20000), 0);
        return title;
    }
};

// Receives what a second start hands over.
struct RunningCopy : CWnd {
    std::string handedUser;
    ULONG_PTR kind = 0;
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_COPYDATA) {
            auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(l);
            kind = cds->dwData;
            if (cds->cbData == sizeof(vorlan::SettingsBlock))
                handedUser = static_cast<const vorlan::SettingsBlock*>(cds->lpData)->user;
            return TRUE;
        }
        return CWnd::WindowProc(msg, w, l);
    }
};

} // namespace

TEST_F(StartupTest, StartsToTheMainWindowWithTheTitleFromTheRegistry) {
    SetMachineValue("Setup", "AppTitle", "Praxis Süd");
    EXPECT_EQ(RunToMainWindow(BinFolder() + "VORLAN.exe"), "Praxis Süd");
    EXPECT_EQ(ProfileValue("StandardLanguage"), "D") << "the letter is written back";
    // Nothing but the log-in the main frame starts (without a server it fails).
    for (const auto& item : harness::ReadShown(dir))
        EXPECT_TRUE(item.id == 161 || item.text.find("Verbindung") != std::string::npos) << item.text;
}

TEST_F(StartupTest, DefaultTitleWhenTheRegistryHasNone) {
    EXPECT_EQ(RunToMainWindow(BinFolder() + "VORLAN.exe", "-r"), "VORLAN experience");
}

TEST_F(StartupTest, HelpSwitchShowsTheHelpAndEnds) {
    harness::Process p;
    ASSERT_TRUE(p.Start(Command(BinFolder() + "VORLAN.exe", "-?")));
    EXPECT_EQ(p.Wait(20000), 0);
    auto shown = harness::ReadShown(dir);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, "VORLAN experience");
    EXPECT_NE(shown[0].text.find("-protocol-time"), std::string::npos) << shown[0].text;
}

TEST_F(StartupTest, MissingLanguageLibraryEndsTheStartWithItsName) {
    std::string folder = harness::FreshFolder("nolang");
    ASSERT_TRUE(harness::CopyInto(BinFolder() + "VORLAN.exe", folder));
    ASSERT_TRUE(harness::CopyInto(BinFolder() + "KVXAPI32.dll", folder));
    harness::Process p;
    ASSERT_TRUE(p.Start(Command(folder + "VORLAN.exe", "")));
    EXPECT_NE(p.Wait(20000), 0);
    auto shown = harness::ReadShown(dir);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "VORLAND.DLL is required to start this program. (Error #126)");
    EXPECT_TRUE(shown[0].id & MB_ICONSTOP);
}

TEST_F(StartupTest, OtherLanguageFromTheProfileIsLoadedOrReported) {
    ASSERT_TRUE(harness::SetTestModeValue(dir, HKEY_CURRENT_USER, kSettingsKey, "StandardLanguage", "X"));
    harness::Process p;
    ASSERT_TRUE(p.Start(Command(BinFolder() + "VORLAN.exe", "")));
    EXPECT_NE(p.Wait(20000), 0);
    auto shown = harness::ReadShown(dir);
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text.rfind("VORLANX.DLL is required", 0), 0u);
}

TEST_F(StartupTest, SecondStartHandsOverOnlyForALocalDatabase) {
    CWnd::RegisterWindowClass("VORLAN.MainWindow", 0, nullptr, nullptr, nullptr);
    RunningCopy running;
    ASSERT_TRUE(
        running.CreateEx(0, "VORLAN.MainWindow", "laufend", WS_POPUP, CRect(0, 0, 10, 10), nullptr, 0));
    harness::Process local;
    ASSERT_TRUE(local.Start(Command(BinFolder() + "VORLAN.exe", "-l -u ANNA")));
    ASSERT_TRUE(local.EndedWhilePumping(20000)) << "the new start ends";
    EXPECT_NE(local.Wait(0), 0);
    EXPECT_EQ(running.kind, 0x415u);
    EXPECT_EQ(running.handedUser, "ANNA");

    running.handedUser.clear();
    std::string title = RunToMainWindow(BinFolder() + "VORLAN.exe", "-r -u BERT");
    EXPECT_EQ(title, "VORLAN experience") << "a remote database starts a second full copy";
    EXPECT_EQ(running.handedUser, "");
    running.DestroyWindow();
}

TEST_F(StartupTest, StartsWithTheThemeLibraryBesideItAndWithoutIt) {
    for (bool beside : {true, false}) {
        std::string folder = harness::FreshFolder(beside ? "with-theme" : "without-theme");
        for (const char* f : {"VORLAN.exe", "KVXAPI32.dll", "VORLAND.DLL"})
            ASSERT_TRUE(harness::CopyInto(BinFolder() + f, folder));
        if (beside) {
            ASSERT_TRUE(harness::CopyInto(BinFolder() + "Glossery.dll", folder));
        }
        EXPECT_EQ(RunToMainWindow(folder + "VORLAN.exe", "-r"), "VORLAN experience") << beside;
    }
}

TEST_F(StartupTest, ThemeLibraryIsLeftAloneBelowCommonControlsSix) {
    // Wine's common controls answer 5.81 even to a program that asks for 6.0: classic drawing.
    std::string folder = harness::FreshFolder("themed");
    for (const char* f : {"VORLAN.exe", "KVXAPI32.dll", "VORLAND.DLL"})
        ASSERT_TRUE(harness::CopyInto(BinFolder() + f, folder));
    ASSERT_TRUE(CopyFileA(GLOSSERY_DOUBLE, (folder + "Glossery.dll").c_str(), FALSE));
    std::string log = folder + "glossery.log";
    SetEnvironmentVariableA("GLOSSERY_DOUBLE_LOG", log.c_str());
    EXPECT_EQ(RunToMainWindow(folder + "VORLAN.exe"), "VORLAN experience");
    SetEnvironmentVariableA("GLOSSERY_DOUBLE_LOG", nullptr);
    std::ifstream in(log);
    EXPECT_FALSE(in.good()) << "the theme library was not even asked";
}
