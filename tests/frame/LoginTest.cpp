// The log-in dialog and the frame's "new" command against the demo double.
#include "tests/frame/MainFrameFixture.h"

#include "resources/MainFrameIds.h"

#include <cstring>

TEST_F(MainFrameTest, CommandLineLogInNeedsNoClick) {
    LogIn();

    EXPECT_TRUE(frame->IsLoggedIn());
    EXPECT_EQ(DialogResult(IDD_LOGIN), IDOK);
    EXPECT_TRUE(demo.Saw("W $$LOGIN^QCC(\"demo\",\"demo\") S:$G(%BG)=\"\" %BG=998"));
    EXPECT_TRUE(demo.Saw(
        "S %MI=\"101\",%WJ=\"2024\",^[%SYS]Z(\"IP\",%JOB)=\"127.0.0.1\",^[%SYS]Z(\"PORT\",%JOB)=\"1972\""));
    EXPECT_TRUE(demo.Saw("W $$INIMNU^QCC()")) << "the menu tree is built";
    EXPECT_TRUE(server.Saw("login 127.0.0.1:1972 SYS DBK ")) << "the configured namespace first";
    EXPECT_NE(StatusPane(1).find("Mandant"), std::string::npos) << StatusPane(1);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(MainFrameTest, ModulesWithoutAMenuForTheUserAreNotOffered) {
    LogIn();
    ASSERT_EQ(frame->m_nModules, 2);
    EXPECT_EQ(frame->m_strModules[0], "Praxis");
    EXPECT_EQ(frame->m_strModules[1], "Klinik");
    EXPECT_FALSE(frame->IsScreenNameShown());
    frame->SendMessage(WM_CLOSE);
    harness::Pump();

    NewFrame();
    LogIn("chef", "chef");
    EXPECT_EQ(frame->m_nModules, 3) << "developers see every module";
    EXPECT_TRUE(frame->IsScreenNameShown());
}

TEST_F(MainFrameTest, ModuleFromTheCommandLineLogsInAgainInItsNamespace) {
    vorlan::SetField(theApp.Settings().module, "Kli");
    LogIn();
    EXPECT_EQ(frame->m_nSelectedModule, 1);
    EXPECT_TRUE(demo.Saw("S ^MV(%USER,\"MP\")=1"));
    EXPECT_TRUE(server.Saw("login 127.0.0.1:1972 KLINIK  ")) << "the module's namespace, no volume group";
    EXPECT_STREQ(theApp.Settings().module, "") << "the setting is used once";
}

TEST_F(MainFrameTest, StoredModuleBeyondTheListSelectsTheFirst) {
    demo.storedModule = "7";
    LogIn();
    EXPECT_EQ(frame->m_nSelectedModule, 0);
    EXPECT_TRUE(demo.Saw("S ^MV(%USER,\"MP\")=0"));
}

TEST_F(MainFrameTest, EveryKeystrokeAsksTheServerAndOnlyAnAcceptedUserMayLogIn) {
    fw::TestMode::PushAnswer("dialog 161 set:1010=demo set:1009=de set:1009=demo cmd:1");
    frame->SendMessage(WM_COMMAND, ID_LOGIN);
    harness::Pump();
    EXPECT_EQ(demo.Count("W $$LOGIN^QCC(\"demo\",\"de\")"), 1);
    EXPECT_TRUE(frame->IsLoggedIn());

    frame->SendMessage(WM_CLOSE);
    harness::Pump();
    NewFrame();
    demo.lines.clear();
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog 161 set:1010=demo set:1009=falsch cmd:2");
    frame->SendMessage(WM_COMMAND, ID_LOGIN);
    harness::Pump();
    EXPECT_FALSE(frame->IsLoggedIn());
    EXPECT_EQ(DialogResult(IDD_LOGIN), IDCANCEL);
    EXPECT_TRUE(demo.Saw("I $T(LOGOUT^QCC)'=\"\" D LOGOUT^QCC")) << "Cancel logs out on the server";
    EXPECT_EQ(demo.Count("W $$INIT^QCC()"), 0) << "a refused password fills nothing";
}

TEST_F(MainFrameTest, PasswordWithAQuoteIsQuotedAndLogsIn) {
    LogIn("anna", "ge\"heim");
    EXPECT_TRUE(frame->IsLoggedIn());
    EXPECT_TRUE(demo.Saw("W $$LOGIN^QCC(\"anna\",\"ge\"\"heim\") S:$G(%BG)=\"\" %BG=998"));
    EXPECT_EQ(frame->m_strPassword, "ge\"heim");
}

TEST_F(MainFrameTest, ReleaseBeforeFourEightIsRefused) {
    struct {
        const char* release;
        bool accepted;
    } cases[] = {{"4.7", false}, {"5.0", true}};
    for (const auto& c : cases) {
        demo.release = c.release;
        fw::TestMode::ClearShown();
        LogIn();
        EXPECT_EQ(frame->IsLoggedIn(), c.accepted) << c.release;
        if (!c.accepted) {
            ASSERT_EQ(Boxes().size(), 1u);
            EXPECT_NE(Boxes()[0].text.find("4.8"), std::string::npos) << Boxes()[0].text;
            EXPECT_TRUE(Boxes()[0].id & MB_ICONSTOP);
            EXPECT_EQ(DialogResult(IDD_LOGIN), IDCANCEL);
        }
    }
}

TEST_F(MainFrameTest, ClientAndYearComeFromTheInitAnswerOrTheFirstEntry) {
    struct {
        const char* init;
        const char* line;
    } cases[] = {
        {"102\xA7"
         "2024",
         "S %MI=\"102\",%WJ=\"2024\""},
        {"", "S %MI=\"101\",%WJ=\"2024\""}, // first client, its last year
    };
    for (const auto& c : cases) {
        demo.initAnswer = c.init;
        demo.lines.clear();
        LogIn();
        bool found = false;
        for (const auto& l : demo.lines)
            if (l.rfind(c.line, 0) == 0) found = true;
        EXPECT_TRUE(found) << c.init;
        frame->MDICloseAll();
    }
}

TEST_F(MainFrameTest, ALaterLogInShowsClientAndYearWhenTheyDiffer) {
    LogIn();
    EXPECT_TRUE(Boxes().empty()) << "nothing on the first log-in";
    EXPECT_TRUE(frame->m_bHadLogin);
    demo.initAnswer = "102\xA7"
                      "2023";
    LogIn();
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes().back().text, "Mandant: 102\nWirtschaftsjahr: 2023");
}

TEST_F(MainFrameTest, SecondStartHandsOverItsSettingsAndLogsIn) {
    vorlan::SettingsBlock block{};
    vorlan::SetField(block.user, "demo");
    vorlan::SetField(block.password, "demo");
    vorlan::SetField(block.address, "127.0.0.1");
    vorlan::SetField(block.apiPort, "1972");
    vorlan::SetField(block.uciAndVolume, "SYS,DBK");
    block.remote = 1;
    COPYDATASTRUCT cds{WM_INITAPP, sizeof block, &block};
    EXPECT_EQ(frame->SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), TRUE);
    harness::Pump();
    EXPECT_TRUE(frame->IsLoggedIn());
    COPYDATASTRUCT wrong{WM_INITAPP, 12, &block};
    EXPECT_EQ(frame->SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&wrong)), FALSE)
        << "only a whole block";
}

TEST_F(MainFrameTest, AHandedOverBlockWithFullUnterminatedFieldsIsCutWithinEachField) {
    vorlan::SettingsBlock block{};
    struct Field {
        char* at;
        size_t width;
        char fill;
    } fields[] = {{block.a, sizeof block.a, 'a'},
                  {block.user, sizeof block.user, 'u'},
                  {block.password, sizeof block.password, 'p'},
                  {block.module, sizeof block.module, 'm'},
                  {block.client, sizeof block.client, 'c'},
                  {block.year, sizeof block.year, 'y'},
                  {block.startEntry, sizeof block.startEntry, 's'},
                  {block.address, sizeof block.address, 'i'},
                  {block.apiPort, sizeof block.apiPort, 'o'},
                  {block.telnetPort, sizeof block.telnetPort, 't'},
                  {block.apiPassword, sizeof block.apiPassword, 'w'},
                  {block.dbName, sizeof block.dbName, 'd'},
                  {block.uciAndVolume, sizeof block.uciAndVolume, 'v'},
                  {block.afterLogin, sizeof block.afterLogin, 'l'}};
    for (const Field& f : fields)
        std::memset(f.at, f.fill, f.width);
    block.remote = 1;
    COPYDATASTRUCT cds{WM_INITAPP, sizeof block, &block};
    EXPECT_EQ(frame->SendMessage(WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)), TRUE);
    // Each field as the program reads it ends inside the field, one short of its width.
    const vorlan::SettingsBlock& taken = theApp.Settings();
    const char* base = reinterpret_cast<const char*>(&block);
    for (const Field& f : fields) {
        const char* field = reinterpret_cast<const char*>(&taken) + (f.at - base);
        EXPECT_EQ(strnlen(field, f.width), f.width - 1) << f.fill;
        EXPECT_EQ(std::string(field, strnlen(field, f.width)), std::string(f.width - 1, f.fill)) << f.fill;
    }
    // The log-in it starts finds no such server and is cancelled.
    harness::Pump();
    EXPECT_EQ(CMainFrame::Get(), frame);
    EXPECT_FALSE(frame->IsLoggedIn());
}

TEST_F(MainFrameTest, AModuleWhoseNamespaceCheckFailsIsNotOfferedAndNothingIsShown) {
    server.answer = [this](const std::string& code, int) {
        if (code.find("^[\"KLINIK\"]") != std::string::npos) {
            demo.lines.push_back(code);
            return std::make_pair(10053, std::string("<NOUCI>"));
        }
        return std::make_pair(0, demo.Answer(code));
    };
    LogIn("chef", "chef");
    ASSERT_TRUE(frame->IsLoggedIn());
    EXPECT_EQ(frame->m_nModules, 2) << "an error text is no answer";
    EXPECT_EQ(frame->m_strModules[1], "Verwaltung");
    EXPECT_TRUE(fw::TestMode::Shown().size() == 1u) << "only the log-in dialog: the check is silent";
}

TEST_F(MainFrameTest, AFailedAttachIsNotTakenForASuccessOnTheNextKeystroke) {
    size_t failedAt = 0;
    server.answer = [&](const std::string& code, int) {
        if (code == "W $$INIT^QCC()") server.loginResult = 10001; // the server goes away
        return std::make_pair(0, demo.Answer(code));
    };
    fw::TestMode::PushAnswer("box IDOK");
    fw::TestMode::PushAnswer("dialog 161 set:1010=demo set:1009=demo set:1009=dem set:1009=demo cmd:2");
    frame->SendMessage(WM_COMMAND, ID_LOGIN);
    harness::Pump();
    for (size_t i = 0; i < demo.lines.size(); ++i)
        if (demo.lines[i] == "W $$INIT^QCC()") failedAt = i;
    ASSERT_GT(failedAt, 0u);
    int loginsAfter = 0;
    for (size_t i = failedAt + 1; i < demo.lines.size(); ++i)
        if (demo.lines[i].rfind("W $$LOGIN^QCC(", 0) == 0) ++loginsAfter;
    EXPECT_EQ(loginsAfter, 0) << "no user check on a connection that could not be made";
    int attaches = 0;
    for (const auto& call : server.Calls())
        if (call.rfind("login ", 0) == 0) ++attaches;
    EXPECT_EQ(attaches, 3)
        << "the configured namespace, the module's, and one try back: not one per keystroke";
    EXPECT_FALSE(frame->IsLoggedIn());
}

TEST_F(MainFrameTest, ChangeOfClientAndYearClosesTheFormsAndSendsTheClientNumber) {
    LogIn();
    StartMemo("PAT");
    ASSERT_EQ(Frames().size(), 1u);
    demo.lines.clear();
    fw::TestMode::PushAnswer("box IDYES");
    EXPECT_EQ(frame->SendMessage(WM_CHANGELOGIN, reinterpret_cast<WPARAM>("102 (Filiale)"),
                                 reinterpret_cast<LPARAM>("2023")),
              1);
    harness::Pump();
    EXPECT_TRUE(Frames().empty());
    EXPECT_TRUE(demo.Saw("S %WJ=\"2023\""));
    EXPECT_TRUE(demo.Saw("S %MI=\"102\"")) << "the number alone, not the name";

    demo.lines.clear();
    frame->SendMessage(WM_CHANGELOGIN, reinterpret_cast<WPARAM>("ohneNummer"), 0);
    EXPECT_TRUE(demo.Saw("S %MI=\"\"")) << "a text without a blank names no client";
    EXPECT_EQ(demo.Count("S %WJ=\""), 0) << "no year given, none set";
}
