// The demo application through the fixture's dbserver: the sequences of M lines that the
// client's log-in, menu tree and screen frames send, as the client sends them.
#include "tests/dbserver/DemoLines.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <ctime>
#include <memory>
#include <string>
#include <vector>

namespace vorlan::dbserver::test {
namespace {

int ThisYear() {
    std::time_t now = std::time(nullptr);
    return std::localtime(&now)->tm_year + 1900;
}

class DemoTest : public FixtureTest {};

} // namespace

TEST_F(DemoTest, LogInChecksUserAndPasswordAndSetsTheGroup) {
    auto c = Connect();
    struct Case {
        const char* user;
        const char* password;
        const char* answer;
        const char* group;
    } cases[] = {
        // The answer is the user's name (the lock compares it with the locked user).
        {"demo", "demo", "demo", "10"},    {"entw", "entw", "entw", "999"},
        {"admin", "admin", "admin", "998"}, {"zitat", "zi\"tat", "zitat", "10"},
        {"zitat", "zi tat", "", ""},    {"demo", "", "", ""},
        {"demo", "DEMO", "", ""},       {"", "", "", ""},
        {"niemand", "x", "", ""},
    };
    for (const auto& k : cases) {
        c->Exec("K %BG,%USER");
        EXPECT_EQ(c->Exec(LoginLine(k.user, k.password, false)), k.answer) << k.user << " / " << k.password;
        EXPECT_EQ(c->Exec("W $G(%BG)"), k.group) << k.user;
    }
    EXPECT_EQ(c->Exec(LoginLine("demo", "demo", true) + " W \"|\",%USER,\"|\",%JOB=$J,\"|\",$A(%DL)"),
              "demo|demo|1|167");
}

TEST_F(DemoTest, ModulesAreOfferedByTheGroupsMenus) {
    auto c = Connect();
    EXPECT_NE(c->Exec(kModulesExistLine), "0");
    auto records = Loop(*c, kListStartLine, kNextModuleLine);
    ASSERT_EQ(records.size(), 3u);
    EXPECT_EQ(records[0], "Praxis" + S + "VOR" + S);
    EXPECT_EQ(records[2], "Abrechnung" + S + "ABR" + S);

    auto offered = [&](const std::string& user) {
        c->Exec(LoginLine(user, user, true));
        std::vector<std::string> names;
        for (const auto& r : records) {
            std::string ns = r.substr(r.find(S) + 1);
            ns = ns.substr(0, ns.find(S));
            if (!c->Exec(ModuleMenuCheckLine(ns)).empty()) names.push_back(r.substr(0, r.find(S)));
        }
        return names;
    };
    EXPECT_EQ(offered("demo"), (std::vector<std::string>{"Praxis", "Termine"}));
    EXPECT_EQ(offered("admin"), (std::vector<std::string>{"Praxis", "Termine", "Abrechnung"}));
    c->Exec(LoginLine("demo", "demo", true));
    EXPECT_EQ(c->Exec(kModuleIndexLine), "0") << "the demo user's module is the first";
}

TEST_F(DemoTest, InitGivesTheUsersClientAndTheYearsToChooseFrom) {
    auto c = Connect();
    ASSERT_EQ(c->Exec(LoginLine("demo", "demo", true)), "demo");
    std::string year = std::to_string(ThisYear());
    EXPECT_EQ(c->Exec(kInitLine), "1" + S + year);
    EXPECT_EQ(c->Exec(kCurrentYearLine), year);

    auto names = Loop(*c, kListStartLine, kNextClientLine);
    EXPECT_EQ(names, (std::vector<std::string>{"Praxis Dr. Muster", "MVZ Nord"}));
    auto years = Loop(*c, kListStartLine, YearListLine("2"));
    ASSERT_FALSE(years.empty());
    EXPECT_EQ(years.back(), year) << "the client selects the last year";

    // Another namespace has its own clients; a user's client it lacks falls back to the first.
    auto abr = Connect("ABR");
    EXPECT_EQ(abr->Exec(kQRelLine), "4.8");
    ASSERT_EQ(abr->Exec(LoginLine("zitat", "zi\"tat", true)), "zitat");
    EXPECT_EQ(abr->Exec(kInitLine), "1" + S + year);
}

TEST_F(DemoTest, MenuFoldersAnswerGroupsOfFour) {
    auto c = Connect();
    ASSERT_EQ(c->Exec(LoginLine("demo", "demo", true)), "demo");
    EXPECT_EQ(c->Exec(MenuInitLine()), "Hauptmen\xfc");
    EXPECT_EQ(c->Exec(MenuGetLine("", nullptr)),
              "1" + S + S + "Stammdaten" + S + S + "2" + S + S + "Vorg\xe4nge" + S + S + "-3" + S + "TER" +
                  S + "Termine" + S + "12" + S + "-4" + S + S + "Info" + S + S + "5" + S + S + "Beispiele" + S + S);
    EXPECT_EQ(c->Exec(MenuGetLine("0,2,", nullptr)), "-1" + S + "AP" + S + "Arbeitspl\xe4tze" + S + "9" + S);
    EXPECT_EQ(c->Exec(MenuGetLine("3,", nullptr)), "") << "a leaf has no entries";

    // A user's switched-off entry is missing, its number stays with the next.
    ASSERT_EQ(c->Exec(LoginLine("zitat", "zi\"tat", true)), "zitat");
    std::string top = c->Exec(MenuGetLine("", nullptr));
    EXPECT_EQ(top.find("Vorg"), std::string::npos);
    EXPECT_NE(top.find(S + "-3" + S + "TER"), std::string::npos);
}

TEST_F(DemoTest, GridScreensHaveTheirLeavesInBeispiele) {
    auto c = Connect();
    ASSERT_EQ(c->Exec(LoginLine("demo", "demo", true)), "demo");
    std::string leaves = c->Exec(MenuGetLine("4,", nullptr));
    for (const char* leaf : {"GRD" , "GRL", "GRX"})
        EXPECT_NE(leaves.find(S + leaf + S), std::string::npos) << leaf;
}

TEST_F(DemoTest, MenuEditSwitchesAnotherUsersEntries) {
    auto c = Connect();
    ASSERT_EQ(c->Exec(LoginLine("admin", "admin", true)), "admin");
    const std::string demoUser = "demo";
    c->Exec(MenuEndLine());
    c->Exec(MenuEditInitLine("demo"));
    EXPECT_EQ(c->Exec(MenuGetLine("0,", &demoUser)), "-1" + S + "PAT" + S + "Patienten" + S + "1" + S + "-2" +
                                                         S + "KAS" + S + "Kassen" + S + "1" + S + "3" + S +
                                                         S + "Einstellungen" + S + "1" + S + "-4" + S +
                                                         "ADR" + S + "Adressen" + S + "1" + S);
    c->Exec(MenuSetLine("0,1", false));
    EXPECT_NE(c->Exec(MenuGetLine("0,", &demoUser)).find("Kassen" + S + S), std::string::npos);
    c->Exec(MenuEditSaveLine("demo"));
    c->Exec(MenuEndLine());

    auto demo = Connect();
    ASSERT_EQ(demo->Exec(LoginLine("demo", "demo", true)), "demo");
    EXPECT_EQ(demo->Exec(MenuGetLine("0,", nullptr)).find("KAS"), std::string::npos) << "saved";

    c->Exec(MenuEditInitLine("demo"));
    c->Exec(MenuSetLine("0,1", true));
    c->Exec(MenuEditSaveLine("demo"));
    c->Exec(MenuEndLine());
    EXPECT_NE(demo->Exec(MenuGetLine("0,", nullptr)).find("KAS"), std::string::npos) << "on again";
}

TEST_F(DemoTest, SelectByNameSetsThePathTheTreeSelects) {
    auto c = Connect();
    ASSERT_EQ(c->Exec(LoginLine("demo", "demo", true)), "demo");
    EXPECT_EQ(c->Exec(SelectByNameLine("AP")), "AP") << "one piece only";
    EXPECT_EQ(c->Exec("W %MEMO,\"|\",%MEMO(\"PATH\")"), "AP|0,2,0,");
    EXPECT_EQ(c->Exec(MenuResyncLine("FREI")), "1,1,");
    EXPECT_EQ(c->Exec(SelectByNameLine("QDOC")), "") << "no such entry";

    EXPECT_EQ(PieceOf(c->Exec(SelectByNumberLine(2)), 4), "KAS");
    EXPECT_EQ(c->Exec("W $G(%MEMO)"), "KAS");
    EXPECT_EQ(PieceOf(c->Exec(SelectByNumberLine(9)), 4).substr(0, 1), "^");
    EXPECT_EQ(c->Exec(SelectByNumberLine(77)), "");
}

TEST_F(DemoTest, ScreenInitAndClosingRules) {
    auto c = Connect();
    ASSERT_EQ(c->Exec(LoginLine("demo", "demo", true)), "demo");
    auto init = [&](const std::string& screen) {
        return c->Exec(PrgInitLine(c->Exec(ScreenInitLine(screen))));
    };
    // What the opening form then shows: %INF in a box, but only when %F is defined.
    auto shown = [&] { return c->Exec("W $G(%INF)_%DL_$D(%F)_%DL_$G(%F) K %F,%INF"); };
    EXPECT_EQ(init("KAS"), "!");
    EXPECT_EQ(init("PAT"), "!");
    EXPECT_EQ(shown(), S + "0" + S);
    EXPECT_EQ(init("NOK"), "!");
    EXPECT_NE(c->Exec("W $G(%NOKILL)"), "") << "closing is refused";
    EXPECT_EQ(shown(), S + "0" + S);
    EXPECT_EQ(init("FREI"), "!");
    EXPECT_EQ(c->Exec("W $G(%NOKILL)"), "");
    EXPECT_EQ(shown(), "Freigabe erteilt." + S + "1" + S) << "the release is told as it happens";
    EXPECT_EQ(init("FREI"), "!");
    EXPECT_EQ(shown(), S + "0" + S) << "no box on every opening";

    // The tabs of PAT: three, the third hidden.
    std::vector<std::string> tabs;
    for (int n = 1;; ++n) {
        std::string t = c->Exec(TabNodeLine("PAT", n));
        if (t.empty()) break;
        tabs.push_back(t.substr(0, t.find(S)));
    }
    ASSERT_EQ(tabs, (std::vector<std::string>{"PATVERS", "PATHIST", "PATNOTIZ"}));
    EXPECT_EQ(c->Exec(TabHiddenLine("PAT", "PATNOTIZ")), "1");
    EXPECT_EQ(c->Exec(TabHiddenLine("PAT", "PATHIST")), "0");
    EXPECT_EQ(c->Exec(TabButtonsLine("PAT")), "J");
}

TEST_F(DemoTest, EveryCallLeavesItsTraceWhicheverTheNamespace) {
    auto abr = Connect("ABR");
    std::string job = abr->Exec("W $J");
    abr->Exec(LoginLine("admin", "admin", true));
    abr->Exec("W $$INIT^QCC()");
    abr->Exec("W $$INIMNU^QCC()");
    abr->Exec("K BGTEST W $$GETMNU^QCC(\"\")");
    abr->Exec("D SETMNU^QCC(\"0,3\",1)");
    abr->Exec("W $$SELECTM^QCC(\"RE\")");
    abr->Exec("D PRGINIT^QCC(\"S X=\"\"a\"\"\")");
    abr->Exec("D LOGOUT^QCC");

    auto reader = Connect(); // no namespace given: the default one
    EXPECT_EQ(TraceOf(*reader, job),
              (std::vector<std::string>{"LOGIN^QCC(\"admin\",\"...\")", "INIT^QCC()", "INIMNU^QCC()",
                                        "GETMNU^QCC(\"\")", "SETMNU^QCC(\"0,3\",1)", "SELECTM^QCC(\"RE\")",
                                        "PRGINIT^QCC(\"S X=\"\"a\"\"\")", "LOGOUT^QCC"}));
    std::string first = reader->Exec("W $O(^ZTRACE(\"\"))");
    EXPECT_EQ(first, "1") << "numbered from 1";
}

TEST_F(DemoTest, SubDialogScreensHaveTheirLeafAndTheirDialogsTheirNamespaces) {
    auto c = Connect();
    ASSERT_EQ(c->Exec(LoginLine("demo", "demo", true)), "demo");
    EXPECT_NE(c->Exec(MenuGetLine("4,", nullptr)).find(S + "SUB" + S + "Unterdialoge" + S), std::string::npos);
    EXPECT_EQ(c->Exec("W ^QME(\"NR\",20)"), "SUB");
    // A key's action opens only a screen with node 2 or 6; SUBABR is ABR's alone.
    EXPECT_EQ(c->Exec("W $D(^QM(\"SUBDLG\",2))_$D(^QM(\"SUBABR\"))"), "10");
    auto abr = Connect("ABR");
    EXPECT_EQ(abr->Exec("W $D(^QM(\"SUBABR\",2))_$D(^QM(\"SUB\"))"), "10");
}

TEST_F(DemoTest, AdministratorsWordFormsAreTheTemplateFolderAsWineNamesIt) {
    const char* state = std::getenv("VORLAN_STATE_DIR");
    ASSERT_NE(state, nullptr);
    char real[4096];
    ASSERT_NE(realpath((std::string(state) + "/dbserver-db").c_str(), real), nullptr);
    std::string forms = "Z:" + std::string(real) + "/formulare/";
    for (char& ch : forms)
        if (ch == '/') ch = '\\';
    auto c = Connect();
    c->Exec(LoginLine("admin", "admin", true));
    EXPECT_EQ(c->Exec("W $G(^[%SYS]EXTRAS(%USER,\"WORDPATH\"))"), forms);
    c->Exec(LoginLine("demo", "demo", true));
    EXPECT_EQ(c->Exec("W $G(^[%SYS]EXTRAS(%USER,\"WORDPATH\"))"), "")
        << "only the administrator opens Word forms";
}

// The icon desktop's catalogue, parameters and stored icons, read as the desktop reads them.
TEST_F(DemoTest, DesktopCatalogueParametersAndStoredIcons) {
    auto c = Connect();
    ASSERT_EQ(c->Exec(LoginLine("demo", "demo", true)), "demo");
    auto entries = WalkMenuCatalogue([&](const std::string& key) { return c->Exec(MenuNextLine(key)); });
    ASSERT_GE(entries.size(), 5u);
    EXPECT_EQ(entries[0].substr(0, 4), "ADR ");
    for (size_t i = 1; i < entries.size(); ++i) EXPECT_LT(MenuNextKey(entries[i - 1]), MenuNextKey(entries[i]));
    EXPECT_NE(std::find(entries.begin(), entries.end(), "PAT Patienten"), entries.end());
    EXPECT_EQ(c->Exec(MenuNextLine(MenuNextKey(entries.back()))), "") << "the end of the catalogue";

    EXPECT_EQ(c->Exec(MenuInfoLine("AKT")),
              "J" + S + "4711" + S + "Erika Mustermann" + S + "4712" + S + "Max Mustermann");
    EXPECT_EQ(c->Exec(MenuInfoLine("BLD")).substr(0, 2), "J" + S);
    EXPECT_EQ(c->Exec(MenuInfoLine("PAT")), "N");

    StoredIcon icon;
    ASSERT_TRUE(ParseStoredIcon(c->Exec(StoredIconLine(2)), icon));
    EXPECT_EQ(icon.text, "Die \"Kasse\"");
    EXPECT_EQ(icon.memo, "KAS");
    EXPECT_EQ(icon.image, 4) << "the menu entry's picture 5 less one";
    EXPECT_EQ(icon.y, 110);
    EXPECT_EQ(icon.next, "3");
    ASSERT_TRUE(ParseStoredIcon(c->Exec(StoredIconLine(3)), icon));
    EXPECT_EQ(icon.memo, "BLD");
    EXPECT_EQ(icon.parameter, "4711");
    EXPECT_EQ(icon.next, "4");
    ASSERT_TRUE(ParseStoredIcon(c->Exec(StoredIconLine(4)), icon));
    EXPECT_EQ(icon.memo, "AKT");
    EXPECT_EQ(icon.parameter, "4711");
    EXPECT_EQ(icon.next, "");
}

// A fax names the letter's part after the number; a job name would number the parts instead.
TEST_F(DemoTest, TheFaxDeviceNamesTheLettersPartWithTheNumber) {
    auto c = Connect();
    ASSERT_EQ(c->Exec(LoginLine("demo", "demo", true)), "demo");
    c->Exec("S %DEV=\"WF\" D SET^WQDA,DRUCK^QDRK");
    EXPECT_EQ(c->Exec("W $G(^ZDR(%JOB,\"BRIEF\",1,\"NAME\"))"), "Brief_0301234567");
    EXPECT_EQ(c->Exec("W $D(^ZDR(%JOB,\"SAVE\",\"NAME\"))"), "0");
    EXPECT_EQ(c->Exec("W $G(^ZDR(%JOB,\"SAVE\",\"FAXPRINTER\"))"), "VORLAN-FAX");
    c->Exec("S %DEV=\"WB\" D SET^WQDA,DRUCK^QDRK");
    EXPECT_EQ(c->Exec("W $D(^ZDR(%JOB,\"BRIEF\",1,\"NAME\"))"), "0");
    EXPECT_EQ(c->Exec("W $G(^ZDR(%JOB,\"SAVE\",\"NAME\"))"), "Brief");
    c->Exec("K ^ZDR(%JOB)");
}

} // namespace vorlan::dbserver::test
