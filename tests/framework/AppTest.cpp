#include "framework/App.h"
#include "framework/Registry.h"
#include "framework/TestMode.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

class AppTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fw::TestMode::Enable("", "AppTest");
        fw::TestMode::ClearScratchKey();
    }
    void TearDown() override {
        fw::TestMode::ClearScratchKey();
        fw::TestMode::Disable();
    }
};

struct Words : CCommandLineInfo {
    std::vector<std::string> seen;
    void ParseParam(const char* p, bool sw, bool last) override {
        seen.push_back(std::string(sw ? "/" : "") + p + (last ? "." : ""));
    }
};

} // namespace

TEST_F(AppTest, ProfileLivesUnderTheScratchKeyInTestMode) {
    CWinApp app("Produkt");
    app.SetRegistryKey("Hersteller");
    EXPECT_EQ(app.GetProfileString("Settings", "Missing", "dflt"), "dflt");
    EXPECT_EQ(app.GetProfileInt("Settings", "Missing", 17), 17);
    ASSERT_TRUE(app.WriteProfileString("Settings", "Name", "Wert"));
    ASSERT_TRUE(app.WriteProfileInt("Settings", "Zahl", 42));
    EXPECT_EQ(app.GetProfileString("Settings", "Name"), "Wert");
    EXPECT_EQ(app.GetProfileInt("Settings", "Zahl", 0), 42);
    HKEY key;
    std::string scratch = fw::TestMode::ScratchKey() + "\\HKCU\\Software\\Hersteller\\Produkt\\Settings";
    ASSERT_EQ(RegOpenKeyExA(HKEY_CURRENT_USER, scratch.c_str(), 0, KEY_READ, &key), ERROR_SUCCESS)
        << "written below the scratch key";
    RegCloseKey(key);
    EXPECT_NE(RegOpenKeyExA(HKEY_CURRENT_USER, "Software\\Hersteller", 0, KEY_READ, &key), ERROR_SUCCESS)
        << "and nowhere else";
    ASSERT_TRUE(app.WriteProfileString("Settings", "Name", nullptr));
    EXPECT_EQ(app.GetProfileString("Settings", "Name", "weg"), "weg");
}

TEST_F(AppTest, RegistryStringReadsOnlyStringValues) {
    ASSERT_TRUE(fw::RegWriteDword(HKEY_LOCAL_MACHINE, "Software\\X", "Zahl", 5));
    ASSERT_TRUE(fw::RegWriteString(HKEY_LOCAL_MACHINE, "Software\\X", "Text", "abc"));
    std::string s = "unverändert";
    EXPECT_FALSE(fw::RegReadString(HKEY_LOCAL_MACHINE, "Software\\X", "Zahl", s));
    EXPECT_EQ(s, "unverändert");
    EXPECT_TRUE(fw::RegReadString(HKEY_LOCAL_MACHINE, "Software\\X", "Text", s));
    EXPECT_EQ(s, "abc");
}

TEST_F(AppTest, MessageBoxesAreAnsweredFromTheScriptAndRecorded) {
    CWinApp app("Titel");
    fw::TestMode::PushAnswer("box IDNO");
    EXPECT_EQ(AfxMessageBox("Frage?", MB_YESNO), IDNO);
    EXPECT_EQ(AfxMessageBox("Ohne Antwort", MB_YESNOCANCEL | MB_DEFBUTTON3), IDCANCEL);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].text, "Frage?");
    EXPECT_EQ(shown[0].caption, "Titel");
    EXPECT_EQ(shown[0].answer, IDNO);
    EXPECT_EQ(shown[1].answer, IDCANCEL);
}

TEST(TestModeRecord, DefaultAnswersAndRecordLinesRoundTrip) {
    struct Case {
        UINT type;
        int want;
    } cases[] = {
        {MB_OK, IDOK},     {MB_OKCANCEL | MB_DEFBUTTON2, IDCANCEL},         {MB_YESNO | MB_DEFBUTTON2, IDNO},
        {MB_YESNO, IDYES}, {MB_ABORTRETRYIGNORE | MB_DEFBUTTON3, IDIGNORE}, {MB_OK | MB_DEFBUTTON3, IDOK}};
    for (const auto& c : cases)
        EXPECT_EQ(fw::DefaultMessageBoxAnswer(c.type), c.want) << c.type;
    std::string nasty = "a\tb\\n\nc\r";
    EXPECT_EQ(fw::UnescapeRecordField(fw::EscapeRecordField(nasty)), nasty);
    fw::ShownItem item;
    ASSERT_TRUE(fw::ParseShownLine("box\t48\tCap\t" + fw::EscapeRecordField(nasty) + "\t1", item));
    EXPECT_EQ(item.text, nasty);
    EXPECT_EQ(item.id, 48);
}

TEST(CommandLine, SwitchesAreStrippedAndTheTestSwitchSkipped) {
    char a0[] = "prog", a1[] = "start", a2[] = "-u", a3[] = "/TESTMODE", a4[] = "C:\\t", a5[] = "name";
    char* argv[] = {a0, a1, a2, a3, a4, a5};
    Words w;
    CWinApp::ParseCommandLine(w, 6, argv);
    EXPECT_EQ(w.seen, (std::vector<std::string>{"start", "/u", "name."}));
}

TEST(WaitCursor, NestsAndRestoresTheCursorOfTheFirstLevel) {
    CWinApp app("FwTest");
    HCURSOR arrow = LoadCursorA(nullptr, reinterpret_cast<LPCSTR>(IDC_ARROW));
    SetCursor(arrow);
    {
        CWaitCursor outer;
        { CWaitCursor inner; }
        EXPECT_NE(GetCursor(), arrow);
    }
    EXPECT_EQ(GetCursor(), arrow);
}
