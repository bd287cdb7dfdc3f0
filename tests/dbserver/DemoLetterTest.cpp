// The demo's letter screen TXT through the fixture's dbserver, sent as the client sends it:
// the search table of each lead character, the text modules and placeholders the server
// puts into the letter, and the button that changes the picture.
#include "forms/TextBoxLogic.h"
#include "tests/dbserver/DemoLines.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorlan::dbserver::test {
namespace {

const std::string kRegards = "Mit freundlichen Gr\xFC\xDF"
                             "en";

class DemoLetterTest : public FixtureTest {
  protected:
    std::unique_ptr<TestClient> Letter() {
        auto c = Connect();
        EXPECT_EQ(c->Exec(LoginLine("demo", "demo", true)), "1");
        c->Exec(CreationKillLine(true, "", ""));
        c->Exec(DialogNamesLine("\"\"", "", "TXT"));
        EXPECT_EQ(c->Exec(PrgInitLine(c->Exec(ScreenInitLine("TXT")))), "!");
        c->Exec(InitScreenLine("TXT", "TXT"));
        return c;
    }
    // The form's search: "1" when the server refused it.
    static std::string Search(TestClient& c, const std::string& routine, const std::string& text, int line,
                              int column) {
        c.Exec(CaretLine(line, column));
        return c.Exec(SearchLine(text, c.Exec(routine)));
    }
};

} // namespace

TEST_F(DemoLetterTest, ScreenIsALeafOfTheExamples) {
    auto c = Connect();
    EXPECT_EQ(c->Exec("W $P($G(^QME(\"MNU\",\"^4,\",12)),$C(167),1,2)"), "TXT" + S + "Texte");
    EXPECT_EQ(c->Exec("W $G(^QME(\"MEMO\",\"TXT\")),\"|\",$G(^QME(\"NR\",22))"), "TXT|TXT");
}

TEST_F(DemoLetterTest, EachLeadCharacterHasItsTable) {
    auto c = Letter();
    std::string routine = c->Exec(kSearchTableLine);
    ASSERT_EQ(routine, "TAB^QTXT");
    EXPECT_EQ(c->Exec(SearchGlobalLine("#", routine)), "^QTXTB");
    EXPECT_EQ(c->Exec(SearchGlobalLine("*", routine)), "^QTXTK");
    EXPECT_EQ(c->Exec(SearchGlobalLine("+", routine)), "") << "no list for \"+\"";

    c->Exec(SearchGlobalLine("#", routine));
    std::vector<std::string> entries;
    c->Exec(kSearchFirstKeyLine);
    while (!c->Exec(kSearchNextKeyLine).empty() && entries.size() < 10)
        entries.push_back(c->Exec(kSearchEntryLine) + "\t" + c->Exec(kSearchSecondLine));
    EXPECT_EQ(entries, (std::vector<std::string>{"anl\tAnlagen", "mfg\t" + kRegards,
                                                 "sgdh\tSehr geehrte Damen und Herren,"}));
}

TEST_F(DemoLetterTest, ModulesAndPlaceholdersReplaceTheirWordAtTheCaret) {
    auto c = Letter();
    c->Exec("S BRIEF(2)=\"Gru\xDF: #mfg\"");
    EXPECT_EQ(Search(*c, line::kReplaceRoutine, "#mfg", 2, 11), "");
    EXPECT_EQ(c->Exec("W BRIEF(2)"), "Gru\xDF: " + kRegards);
    EXPECT_EQ(c->Exec(line::kTakeCaretRequest), "2" + S + std::to_string(7 + kRegards.size()));

    c->Exec("S BRIEF(2)=\"#mfg x\"");
    EXPECT_EQ(Search(*c, line::kReplaceRoutine, "#mfg", 2, 6), "1") << "the word is not before the caret";
    EXPECT_EQ(c->Exec("W BRIEF(2)"), "#mfg x");
    EXPECT_EQ(Search(*c, line::kReplaceRoutine, "#xyz", 2, 5), "1") << "no such module";
    EXPECT_EQ(Search(*c, line::kReplaceRoutine, "+Name", 1, 99), "1");

    EXPECT_EQ(Search(*c, line::kSearchRoutine, "Name", 1, 9), "");
    EXPECT_EQ(c->Exec("W BRIEF(1)"), "@Anrede M\xFCller,");
    EXPECT_EQ(Search(*c, line::kSearchRoutine, "Titel", 1, 1), "1") << "an unknown placeholder";
    EXPECT_EQ(Search(*c, line::kSearchRoutine, "Datum", 3, 25), "");
    EXPECT_EQ(c->Exec("W BRIEF(3)"), "anbei unser Angebot vom " + c->Exec("W $ZD($H,\"DD.MM.YEAR\")") + ".");
}

TEST_F(DemoLetterTest, ButtonSwitchesThePictureAndAsksForARefresh) {
    auto c = Letter();
    std::string first = c->Exec("W BILDTXT");
    EXPECT_EQ(first.substr(first.size() - 6), "-1.bmp");
    std::string answer = c->Exec(FieldSaveLine(0, -1, 5, "J"));
    EXPECT_EQ(PieceOf(answer, 8), "1") << answer;
    EXPECT_EQ(PieceOf(answer, 4), "4") << "on to the letter";
    std::string second = c->Exec("W BILDTXT");
    EXPECT_EQ(second.substr(second.size() - 6), "-2.bmp");
    c->Exec(FieldSaveLine(1, 1, 5, "N"));
    EXPECT_EQ(c->Exec("W BILDTXT"), second) << "leaving the button changes nothing";
    c->Exec(FieldSaveLine(0, -1, 5, "J"));
    EXPECT_EQ(c->Exec("W BILDTXT"), first);
}

} // namespace vorlan::dbserver::test
