// The demo application's side of the server-described forms, through the fixture's dbserver:
// the kill lines and variable sets of the form frames, the address screen ADR with its page
// and dialog, field steps, saving and keys, sent as the client sends them.
#include "forms/FormDecor.h"
#include "tests/dbserver/DemoLines.h"

#include <cstdio>

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorlan::dbserver::test {
namespace {

std::vector<std::string> Split(const std::string& text, char at) {
    std::vector<std::string> parts;
    size_t from = 0;
    for (size_t to; (to = text.find(at, from)) != std::string::npos; from = to + 1)
        parts.push_back(text.substr(from, to - from));
    parts.push_back(text.substr(from));
    return parts;
}

std::string Piece(const std::string& text, size_t n) {
    auto parts = Split(text, S[0]);
    return n <= parts.size() ? parts[n - 1] : std::string();
}

// A form of the screen as the client creates it: the previous variables killed, the
// form's name set, the frame's init code and the form's init run.
void OpenForm(TestClient& c, const std::string& screen) {
    c.Exec(CreationKillLine(true, "", ""));
    c.Exec(DialogNamesLine("\"\"", "", screen));
    EXPECT_EQ(c.Exec(PrgInitLine(c.Exec(ScreenInitLine(screen)))), "!");
    c.Exec(InitScreenLine(screen, screen));
}

std::unique_ptr<TestClient> LoggedIn() {
    auto c = Connect();
    EXPECT_EQ(c->Exec(LoginLine("demo", "demo", true)), "demo");
    return c;
}

std::unique_ptr<TestClient> AddressForm() {
    auto c = LoggedIn();
    OpenForm(*c, "ADR");
    return c;
}

// $$PR as the client sends a field's value.
std::string PrLine(int field, const std::string& value, bool keepFocus = false) {
    return FieldSaveLine(keepFocus ? 1 : 0, 1, field, QuotesAs255(value));
}

void FillAddress(TestClient& c) {
    for (auto [field, value] : std::vector<std::pair<int, std::string>>{
             {1, "Muster"}, {2, "Max"}, {3, "Bonn"}, {4, "29.02.2024"}, {5, "N"}})
        ASSERT_EQ(Piece(c.Exec(PrLine(field, value)), 2), "") << field;
}

// The client's save: the checks (the failing field or "0"), then the screen's routine for %SC.
std::string Save(TestClient& c, const std::string& screen, const std::string& sc = "F1") {
    c.Exec(line::kStartChecks);
    std::string failing = c.Exec(line::kCheck);
    if (failing != "0") return failing;
    c.Exec(line::kKillStepState);
    c.Exec(ClosingKeyLine(sc));
    std::string routine = c.Exec(ScreenNodeLine(screen, sc));
    if (!routine.empty()) c.Exec(CheckRunLine(routine));
    return failing;
}

// What an accepted dialog or key leaves the form: everything but %VL, %SC and the names
// handed back is dropped, the form's own set comes back and the names are laid over it.
void HandBack(TestClient& c, const std::string& form, const std::string& names) {
    c.Exec(line::kKillNewHandBack);
    std::string kill = c.Exec(line::kKillCommand);
    ASSERT_EQ(kill.back(), ')');
    c.Exec(KillKeeping(kill, names.empty() ? "%VL,%SC" : "%VL,%SC," + names));
    c.Exec(line::kSaveScratchVars);
    c.Exec(LoadVarsLine(form));
    if (!names.empty()) c.Exec(TextBoxKillLine(names));
    c.Exec(line::kLoadScratchVars);
}

std::vector<std::string> KeyTexts(TestClient& c, const std::string& screen) {
    return SplitKeys(c.Exec(KeysLine(screen)));
}

// A key whose action is M code, as the client runs it: false when the server refused (%F).
bool RunKey(TestClient& c, const std::string& form, int fkey) {
    std::string text = KeyTexts(c, form)[static_cast<size_t>(fkey - 5)];
    c.Exec(FunctionKeyLine(CommandOfKeyIndex(fkey - 5)));
    c.Exec(line::kSaveCurrentVars);
    c.Exec(DoLine(Piece(text, 2)));
    if (c.Exec(line::kTakeErrorFlag) == "1") {
        c.Exec(LoadVarsLine(form));
        return false;
    }
    HandBack(c, form, Piece(text, 4));
    return true;
}

// The client's store of a text box: its lines as the box holds them.
void StoreBox(TestClient& c, const std::string& name, const std::vector<std::string>& lines) {
    std::string text;
    for (size_t k = 0; k < lines.size(); ++k)
        text += (k ? "\r\n" : "") + lines[k];
    c.Exec(TextBoxKillLine(name));
    std::vector<std::string> stored = TextBoxLines(text);
    for (size_t k = 0; k < stored.size(); ++k)
        c.Exec(TextBoxStoreLine(name, static_cast<int>(k) + 1, stored[k]));
}

// The client's reading of a text box, line by line.
std::vector<std::string> ReadBox(TestClient& c, const std::string& name) {
    std::vector<std::string> lines;
    c.Exec(TextBoxFirstKeyLine());
    while (!c.Exec(TextBoxNextKeyLine(name)).empty() && lines.size() < 100)
        lines.push_back(UnescapeFromServer(c.Exec(TextBoxReadLine(name))));
    return lines;
}

class DemoFormTest : public FixtureTest {};

} // namespace

TEST_F(DemoFormTest, KillLinesKeepTheStandingVariables) {
    auto c = LoggedIn();
    EXPECT_EQ(c->Exec("W %LAN,\"|\",%UCI,\"|\",$D(%DN),\"|\",%NEW'=\"\""), "D|VOR|1|1");
    // What the log-in, the frame and the screens leave; then a form's own.
    c->Exec(
        "S %MI=1,%WJ=2024,%AP=\"EMPFANG\",(%WS,%WIN(\"WORKSTATION\"),%WORKSTATION)=\"PC1\",%HDD=\"Praxis\""
        ",%HOME=\"Praxis\",%MUMPS(\"VER\")=1,%MODUL=\"T\",%MEMO=\"ADR\",%MEMO(\"PATH\")=\"0,3,\""
        ",%NOKILL=1,%DN=\"ADR\"");
    const std::vector<std::string> standing = {"%DL",          "%JOB",   "%USER",  "%BG",    "%LAN",  "%UCI",
                                               "%WIN",         "%KILL",  "%NEW",   "%DN",    "%SYS",  "%MI",
                                               "%WJ",          "%AP",    "%WS",    "%HDD",   "%HOME", "%MEMO",
                                               "%WORKSTATION", "%MUMPS", "%MODUL", "%NOKILL"};
    auto defined = [&] {
        std::string line = "W ";
        for (const auto& name : standing)
            line += "$D(" + name + ")>0,";
        return c->Exec(line.substr(0, line.size() - 1));
    };
    const std::string all(standing.size(), '1');
    ASSERT_EQ(defined(), all);

    c->Exec("S A=1,B(2)=3,%F=\"x\",%VL=1");
    c->Exec("X %KILL");
    EXPECT_EQ(defined(), all);
    EXPECT_EQ(c->Exec("W $D(A),$D(B),$D(%F),$D(%VL)"), "0000");
    EXPECT_EQ(c->Exec("W $D(^[%SYS]Z(\"PATH\",%JOB))"), "0") << "system references still work";
    EXPECT_EQ(c->Exec("W %MEMO(\"PATH\"),%WIN(\"WORKSTATION\")"), "0,3,PC1") << "arrays whole";

    // The client's own keep list goes inside the closing parenthesis.
    std::string kill = c->Exec("W %KILL");
    ASSERT_FALSE(kill.empty());
    ASSERT_EQ(kill.back(), ')');
    c->Exec("S A=1,B=2,C(1)=3");
    c->Exec(KillKeeping(kill, "A,C"));
    EXPECT_EQ(c->Exec("W $D(A),$D(B),$D(C)"), "1010");
    EXPECT_EQ(defined(), all);

    // K @%NEW drops only the scratch of one step.
    c->Exec("S B=2,%QCC=1,%FKEY=\"F5\",%SC=\"F5\" K @%NEW");
    EXPECT_EQ(c->Exec("W $D(A),$D(B),$D(%QCC),$D(%FKEY),$D(%SC)"), "11001");
    EXPECT_EQ(defined(), all);
}

TEST_F(DemoFormTest, VariableSetsFollowTheCurrentForm) {
    auto c = LoggedIn();
    // ADR, then its page ADRKOM created while ADR's variables wait.
    c->Exec("S %DN=\"ADR\",ADRNR=5,NAME=\"Muster\",NOTIZ(1)=\"a\",NOTIZ(2)=\"\",BIG=$TR($J(\"\",50000),\" "
            "\",\"x\")");
    c->Exec("I $D(%DN) D VARSAVE^QCC(%DN)");
    c->Exec("X %KILL");
    c->Exec("S %DN=\"ADRKOM\",ADRTEL=\"030\",ADRNR=7");

    // ADR becomes active again and takes the tab variable ADRNR from the page.
    ASSERT_NE(c->Exec("W %DN"), "ADR");
    c->Exec("D VARSAVE^QCC(%DN)");
    c->Exec(KillKeeping(c->Exec(line::kKillCommand), "ADRNR"));
    c->Exec("K %DN D VARSAVE^QCC(\"TEMP\")");
    c->Exec("D VARLOAD^QCC(\"ADR\")");
    c->Exec("K ADRNR");
    c->Exec("D LOADVARS^QCC(\"TEMP\")");
    EXPECT_EQ(c->Exec("W %DN,\"|\",ADRNR,\"|\",NAME,\"|\",$D(NOTIZ(2)),\"|\",$L(BIG),\"|\",$D(ADRTEL)"),
              "ADR|7|Muster|1|50000|0");
    EXPECT_EQ(c->Exec("W %USER,$D(%KILL)"), "demo1") << "standing variables are no set's";

    c->Exec("D VARSAVE^QCC(%DN),VARLOAD^QCC(\"ADRKOM\")");
    EXPECT_EQ(c->Exec("W %DN,\"|\",ADRTEL,\"|\",$D(NAME)"), "ADRKOM|030|0") << "%DN comes with the set";

    // A sub-dialog accepted: its variables over its opener's, the opener's name stays.
    c->Exec("D VARLOAD^QCC(\"ADR\") D VARSAVE^QCC(%DN)");
    c->Exec("K @%NEW S %DN=\"ADRDET\",ADRTIT=\"Dr.\",NAME=\"Muster-Meier\"");
    c->Exec("K @%NEW");
    c->Exec("D VARSAVE^QCC(\"TEMP\"),VARLOAD^QCC(\"ADR\")");
    c->Exec("D LOADVARS^QCC(\"TEMP\")");
    EXPECT_EQ(c->Exec("W %DN,\"|\",ADRTIT,\"|\",NAME,\"|\",ADRNR"), "ADR|Dr.|Muster-Meier|7");

    // A page starting over keeps its frame's tab variables.
    c->Exec("D KILL^QCC(\"ADRNR\")");
    EXPECT_EQ(c->Exec("W $D(NAME),$D(ADRTIT),ADRNR,\"|\",%USER"), "007|demo");

    // A dropped set loads as nothing; %DN stays defined.
    c->Exec("D KILLVARS^QCC(\"ADRKOM\"),VARLOAD^QCC(\"ADRKOM\")");
    EXPECT_EQ(c->Exec("W $D(ADRTEL),$D(ADRNR),$D(%DN)"), "001");
    c->Exec("D DESTROY^QCC(\"ADR\"),DESTROY^QCC(\"ADR\"),DESTROY^QCC(\"\")");
    c->Exec("S NAME=1 D VARLOAD^QCC(\"ADR\")");
    EXPECT_EQ(c->Exec("W $D(NAME)"), "0") << "the destroyed form's set is gone";
}

TEST_F(DemoFormTest, SetsAndSubDialogsCrossNamespaces) {
    auto c = LoggedIn();
    c->Exec("S %DN=\"ADR\",NAME=\"Muster\" D VARSAVE^QCC(%DN)");
    c->Exec("S %UCI=\"ABR\" D SW^QUCI");
    EXPECT_EQ(c->Exec("W $$UCI1^QUCI(),\"|\",^QSYS(\"MI\",1)"), "ABR|Abrechnungsstelle");
    c->Exec("X %KILL S NAME=\"x\" D VARLOAD^QCC(\"ADR\")");
    EXPECT_EQ(c->Exec("W NAME"), "Muster");
    c->Exec("S %UCI=\"XYZ\" D SW^QUCI");
    EXPECT_EQ(c->Exec("W $$UCI1^QUCI()"), "ABR") << "an unknown namespace leaves the job where it is";
    c->Exec("S %UCI=\"VOR\" D SW^QUCI");
    EXPECT_EQ(c->Exec("W $$UCI1^QUCI()"), "VOR");
    // Switches to the same namespace in a row, the job moved back by other means between them.
    for (int i = 1; i <= 3; ++i) {
        SCOPED_TRACE(i);
        c->Exec("S $ZGBLDIR=$ZPARSE(\"VOR.gld\",\"\",$ZGBLDIR)");
        c->Exec("S %UCI=\"ABR\" D SW^QUCI");
        EXPECT_EQ(c->Exec("W $$UCI1^QUCI()"), "ABR");
    }
}

TEST_F(DemoFormTest, AddressScreenIsDescribedForTheClient) {
    auto c = LoggedIn();
    EXPECT_EQ(
        c->Exec("W $$DIALOG^QCC(\"ADR\"),$$EXIST^QCC(\"ADR\"),$$DIALOG^QCC(\"PAT\"),$$DIALOG^QCC(\"NIX\")"),
        "1110");
    EXPECT_EQ(c->Exec("W $$SELECTM^QCC(\"ADR\")"), "ADR");
    EXPECT_EQ(c->Exec("W $G(^QM(\"ADR\"))"), "Adresse");
    std::string tabs = c->Exec("W $G(^QM(\"ADR\",0,\"KARTEI\"))");
    EXPECT_EQ(Piece(tabs, 1), "ADRNR");
    EXPECT_EQ(Piece(tabs, 4), "Adressen");
    EXPECT_EQ(Piece(c->Exec("W $G(^QM(\"ADR\",0,\"KARTEI\",1))"), 1), "ADRKOM");
    EXPECT_EQ(c->Exec("W $G(^QM(\"ADRKOM\"))"), "Kommunikation");
    EXPECT_EQ(c->Exec("W $G(^QM(\"ADR\",0,7)),$D(^QM(\"ADR\",0,\"REPEAT\"))"), "J0");

    OpenForm(*c, "ADR");
    EXPECT_EQ(c->Exec("W $G(%NE)"), "1");
    std::string form = c->Exec("W $$MAX^QCC(\"ADR\")");
    EXPECT_EQ(Piece(form, 1), "7");
    EXPECT_EQ(Piece(form, 5), "J");

    // One record of 12 pieces per field, one field a line from row 5 on.
    const std::vector<std::pair<std::string, std::string>> fields = {
        {"Name", "1"},  {"Vorname", "1"}, {"Ort", "2"},        {"Geburtsdatum", "1"},
        {"Aktiv", "4"}, {"Notiz", "1"},   {"Details ...", "0"}};
    int lastRow = 4;
    for (size_t k = 1; k <= fields.size(); ++k) {
        SCOPED_TRACE(k);
        std::string rec = c->Exec("W $$EDIT^QCC(\"ADR\"," + std::to_string(k) + ")");
        EXPECT_EQ(Split(rec, S[0]).size(), 12u);
        EXPECT_EQ(Piece(rec, 4), fields[k - 1].first);
        EXPECT_EQ(Piece(rec, 6), fields[k - 1].second);
        EXPECT_GT(std::stoi(Piece(rec, 2)), lastRow);
        EXPECT_GT(std::stoi(Piece(rec, 3)), 0);
        lastRow = std::stoi(Piece(rec, 2)) + std::max(1, std::stoi(Piece(rec, 7))) - 1;
    }
    EXPECT_EQ(Piece(c->Exec("W $$EDIT^QCC(\"ADR\",5)"), 5), "J") << "a new address is active";
    EXPECT_EQ(Piece(c->Exec("W $$EDIT^QCC(\"ADR\",6)"), 7), "3");
    EXPECT_EQ(c->Exec("W $$EDIT^QCC(\"ADR\",8)"), "");

    EXPECT_EQ(c->Exec("W $$TEXT^QCC(\"ADR\",\"WZ\",1)"), S);
    EXPECT_EQ(c->Exec("W $$MODU^QCC(\"ADR\",1),$$INDI^QCC(\"ADR\",1)"), "");
}

TEST_F(DemoFormTest, KeysOfTheAddressScreen) {
    auto c = LoggedIn();
    std::string answer = c->Exec(KeysLine("ADR"));
    ASSERT_EQ(Split(answer, '\xff').size(), static_cast<size_t>(kKeyCount));
    auto keys = SplitKeys(answer);
    const std::vector<std::string> captions = {"Neu",      "Hinweis", "L\xf6schen", "Details",
                                               "Kopieren", "Ablage",  "Ordner",     "Excel"};
    for (size_t i = 0; i < keys.size(); ++i) {
        SCOPED_TRACE(i);
        if (i >= captions.size()) {
            EXPECT_EQ(keys[i], "");
            continue;
        }
        EXPECT_EQ(Piece(keys[i], 1), captions[i]);
        std::string action = Piece(keys[i], 2);
        // The client takes an action with a description node 2 or 6 for a dialog.
        bool dialog = c->Exec(DialogNodeExistsLine(action, 2)) != "0" ||
                      c->Exec(DialogNodeExistsLine(action, 6)) != "0";
        EXPECT_EQ(dialog, action == "ADRDET");
        if (!dialog) {
            EXPECT_NE(c->Exec("W $T(@" + MQuote(action) + ")"), "") << action;
        }
    }
    EXPECT_EQ(Piece(keys[0], 5), "J");
    EXPECT_EQ(Piece(keys[1], 4), "%MESSAGE");
    EXPECT_EQ(c->Exec(KeysLine("PAT")), std::string(kKeyCount - 1, '\xff')) << "a screen without keys";
}

TEST_F(DemoFormTest, FieldValuesAreCheckedAsTheyLeave) {
    auto c = AddressForm();
    struct Case {
        int field;
        std::string value;
        std::string refused, shown, next, back, list;
    } cases[] = {
        {1, "Muster", "", "Muster", "2", "1", ""},
        {1,
         " M\xfcller-L\xfc"
         "denscheid ",
         "",
         "M\xfcller-L\xfc"
         "denscheid",
         "2", "1", ""},
        {1, "", "1", "", "1", "1", ""},
        {1, "Mu5ter", "1", "Mu5ter", "1", "1", ""},
        {1, "O'Neil", "1", "O'Neil", "1", "1", ""},
        {2, "", "", "", "3", "1", ""},
        {3, "K\xf6ln", "", "K\xf6ln", "4", "2", ""},
        {3, "", "1", "", "3", "3", ""},
        {3, "B", "", "B", "4", "2", "ORTE"},
        {3, "ber", "", "ber", "4", "2", "ORTE"},
        {3, "Berlin", "", "Berlin", "4", "2", ""},
        {3, "Bre", "", "Bre", "4", "2", ""},
        {4, "29.02.2024", "", "29.02.2024", "5", "3", ""},
        {4, "1.3.2024", "", "01.03.2024", "5", "3", ""},
        {4, "31.02.2024", "1", "31.02.2024", "4", "4", ""},
        {4, "29.02.2023", "1", "29.02.2023", "4", "4", ""},
        {4, "abc", "1", "abc", "4", "4", ""},
        {4, "", "", "", "5", "3", ""},
        {5, "N", "", "N", "6", "4", ""},
        {7, "N", "", "", "0", "6", ""},
    };
    for (const auto& k : cases) {
        SCOPED_TRACE(std::to_string(k.field) + " " + k.value);
        std::string answer = c->Exec(PrLine(k.field, k.value));
        EXPECT_EQ(Split(answer, S[0]).size(), 10u);
        EXPECT_EQ(Piece(answer, 1), k.shown);
        EXPECT_EQ(Piece(answer, 2), k.refused);
        EXPECT_EQ(Piece(answer, 3).empty(), k.refused.empty()) << "a refusal says why";
        EXPECT_EQ(Piece(answer, 4), k.next);
        EXPECT_EQ(Piece(answer, 6), k.back);
        EXPECT_EQ(Piece(answer, 7), k.list);
        EXPECT_EQ(Piece(answer, 9), "");
        EXPECT_EQ(c->Exec(PrLine(k.field, k.value, true)), answer) << "asked again as the focus leaves";
    }
    EXPECT_EQ(c->Exec("W ADRGEB"), "") << "the last date given";

    // The button opens its dialog when pressed, not when the focus passes or comes back.
    EXPECT_EQ(Piece(c->Exec(PrLine(7, "J")), 9), "ADRDET");
    EXPECT_EQ(Piece(c->Exec(PrLine(7, "J", true)), 9), "ADRDET");
    c->Exec("S %VL=1");
    std::string back = c->Exec(FieldSaveAgainLine(7, "J"));
    EXPECT_EQ(Piece(back, 9), "");
    EXPECT_EQ(Piece(back, 4), "0");
    EXPECT_EQ(c->Exec("W $D(%VL)"), "0") << "the dialog's hand-back is done";

    // A check's own answer goes out whole, once; the value is taken as always.
    for (const char* raw : {"roh", ""}) {
        c->Exec("S %PRANS=" + MQuote(raw));
        EXPECT_EQ(c->Exec(PrLine(2, "Max")), raw);
        EXPECT_EQ(c->Exec("W $D(%PRANS),\"|\",ADRVORN"), "0|Max");
    }
}

TEST_F(DemoFormTest, PlacesOfTheListAreOfferedAndChosen) {
    auto c = AddressForm();
    ASSERT_EQ(Piece(c->Exec(PrLine(3, "bE")), 7), "ORTE");
    auto rows = [&] {
        return Loop(*c, "S %QCC=\"\"",
                    "S %QCC=$O(@%WGBL@(%QCC)) W:%QCC'=\"\" %QCC,\":\",$G(@%WGBL@(%QCC,1))");
    };
    EXPECT_EQ(rows(), (std::vector<std::string>{"0:Ort", "1:Berlin", "2:Bernau"}));
    c->Exec("D WTW^QCC(\"ORTE\")");
    EXPECT_EQ(rows(), (std::vector<std::string>{"0:Ort"})) << "no rows twice";
    c->Exec("S %ZZP=2 X:$G(%EXCR)'=\"\" %EXCR");
    EXPECT_EQ(c->Exec("W $$FO^QCC(3)"), "Bernau");

    // The drop button offers every place.
    EXPECT_EQ(c->Exec("W $P($$TABLE^QCC(3,\"Bernau\"),%DL,3)"), "ORTE");
    EXPECT_EQ(rows().size(), 7u);
    c->Exec("S %ZZP=6 X %EXCR");
    EXPECT_EQ(c->Exec("W ADRORT"), "M\xfcnchen");
    EXPECT_EQ(c->Exec("W $$TABLE^QCC(1,\"x\")"), "") << "a field without a list";
}

TEST_F(DemoFormTest, TextsAreEscapedBothWays) {
    auto c = AddressForm();
    // From the client: 255 the double quote, 254 "<", 253 ">", 250 TAB.
    std::string answer = c->Exec(PrLine(2, "Karl \"Kalle\" \xfe"
                                           "b\xfd\xfa"
                                           "c<d>"));
    EXPECT_EQ(c->Exec("W ADRVORN=(\"Karl \"\"Kalle\"\" <b>\"_$C(9)_\"c<d>\")"), "1");
    // To the client: the double quote 255, "<" 253, ">" 254, TAB 250.
    const std::string shown = "Karl \xff"
                              "Kalle\xff \xfd"
                              "b\xfe\xfa"
                              "c\xfd"
                              "d\xfe";
    EXPECT_EQ(Piece(answer, 1), shown);
    EXPECT_EQ(c->Exec("W $$FO^QCC(2)"), shown);
    EXPECT_EQ(Piece(c->Exec("W $$EDIT^QCC(\"ADR\",2)"), 5), shown);

    std::string big(60000, 'x');
    big[30000] = '"';
    answer = c->Exec(PrLine(2, big, true));
    EXPECT_EQ(Piece(answer, 1).size(), 60000u);
    EXPECT_EQ(Piece(answer, 1)[30000], '\xff');
    EXPECT_EQ(c->Exec("W $L(ADRVORN),$E(ADRVORN,30001)"), "60000\"");
}

TEST_F(DemoFormTest, NoteTextBoxRoundTrip) {
    auto c = AddressForm();
    EXPECT_EQ(c->Exec("W $$FO^QCC(6)"), "NOTIZ") << "the text box's array";
    const std::vector<std::string> note = {"Erste <Zeile>", "", "dritte \"x\"\tTab", "", "f\xfcnfte  "};
    StoreBox(*c, "NOTIZ", note);
    std::string answer = c->Exec(PrLine(6, ""));
    EXPECT_EQ(Piece(answer, 2), "");
    EXPECT_EQ(Piece(answer, 4), "7");
    EXPECT_EQ(ReadBox(*c, "NOTIZ"), note);
    c->Exec(PrLine(6, "", true));
    c->Exec(FieldSaveAgainLine(6, ""));
    EXPECT_EQ(ReadBox(*c, "NOTIZ"), note) << "asked again without a new store";
    StoreBox(*c, "NOTIZ", ReadBox(*c, "NOTIZ"));
    c->Exec(PrLine(6, ""));
    EXPECT_EQ(ReadBox(*c, "NOTIZ"), note) << "no blanks grow";

    FillAddress(*c);
    StoreBox(*c, "NOTIZ", note); // saved straight from the box, with no field step between
    ASSERT_EQ(Save(*c, "ADR"), "0");
    std::string nr = c->Exec("W ADRNR");
    c->Exec("K NOTIZ M NOTIZ=^ADR(" + nr + ",\"NOTIZ\")");
    EXPECT_EQ(ReadBox(*c, "NOTIZ"), note);
}

TEST_F(DemoFormTest, SavingChecksThenStoresTheAddressAndItsPage) {
    auto c = AddressForm();
    EXPECT_EQ(Save(*c, "ADR"), "1") << "no name";
    EXPECT_NE(c->Exec("W $G(%F)"), "");
    FillAddress(*c);
    c->Exec(PrLine(4, "31.02.2024"));
    EXPECT_EQ(Save(*c, "ADR"), "4") << "a refused date is not saved";
    c->Exec(PrLine(4, "29.02.2024"));

    ASSERT_EQ(Save(*c, "ADR"), "0");
    std::string nr = c->Exec("W ADRNR");
    ASSERT_NE(nr, "");
    EXPECT_EQ(c->Exec("W ^ADR(ADRNR)"), "Muster" + S + "Max" + S + "Bonn" + S + "29.02.2024" + S + "N");
    EXPECT_EQ(c->Exec("W $G(%INF)"), "Adresse " + nr + " gespeichert.");
    c->Exec(PrLine(2, "Moritz"));
    ASSERT_EQ(Save(*c, "ADR", "FSAVE"), "0");
    EXPECT_EQ(c->Exec("W ADRNR,\"|\",$P(^ADR(ADRNR),%DL,2)"), nr + "|Moritz") << "the same address";
    c->Exec("D PRGABL^QCC(1)"); // the FSAVE flag of other screens names no routine

    // The page ADRKOM of that address.
    c->Exec("D VARSAVE^QCC(%DN)");
    OpenForm(*c, "ADRKOM");
    c->Exec("S ADRNR=" + nr);
    std::string tab = Piece(c->Exec(TabNodeLine("ADR", 1)), 2);
    c->Exec(PrgInitLine(tab));
    EXPECT_EQ(c->Exec("W $$FO^QCC(1),\"|\",$$FO^QCC(2)"), "|");
    EXPECT_EQ(Piece(c->Exec(PrLine(1, "030 1234")), 2), "");
    std::string refused = c->Exec(PrLine(2, "max.muster.de"));
    EXPECT_EQ(Piece(refused, 2), "1");
    EXPECT_EQ(Piece(refused, 4), "2");
    EXPECT_EQ(Save(*c, "ADRKOM"), "2");
    std::string taken = c->Exec(PrLine(2, "max@muster.de"));
    EXPECT_EQ(Piece(taken, 2), "");
    EXPECT_EQ(Piece(taken, 4), "0") << "the last field: the client saves";
    ASSERT_EQ(Save(*c, "ADRKOM"), "0");
    EXPECT_EQ(c->Exec("W ^ADR(" + nr + ",\"KOM\")"), "030 1234" + S + "max@muster.de");
    // The page keeps what it shows for the same address and reads another one's afresh.
    c->Exec("S ADRTEL=\"0\" D PRGINIT^QCC(" + MQuote(tab) + ")");
    EXPECT_EQ(c->Exec("W ADRTEL"), "0");
    c->Exec("S ADRNR=$I(^ADR),^ADR(ADRNR,\"KOM\")=\"040\"_%DL_\"a@b.de\" D PRGINIT^QCC(" + MQuote(tab) + ")");
    EXPECT_EQ(c->Exec("W ADRTEL,\"|\",ADRMAIL"), "040|a@b.de");
    c->Exec("K ^ADR(ADRNR)");
    c->Exec("S ADRNR=\"\"");
    EXPECT_EQ(Save(*c, "ADRKOM"), "1") << "no address to add it to";
}

TEST_F(DemoFormTest, KeysLeaveTheirRequests) {
    auto c = AddressForm();
    FillAddress(*c);
    EXPECT_FALSE(RunKey(*c, "ADR", 7)) << "nothing saved to delete";
    EXPECT_FALSE(RunKey(*c, "ADR", 10)) << "nothing saved to file to";

    ASSERT_TRUE(RunKey(*c, "ADR", 6));
    EXPECT_EQ(c->Exec("W $D(^QTEMP(%JOB,\"%MESSAGE\"))>0"), "1");
    EXPECT_EQ(c->Exec("W %MESSAGE"), "Name: Muster\r\nVorname: Max\r\nOrt: Bonn");

    ASSERT_TRUE(RunKey(*c, "ADR", 9));
    EXPECT_EQ(c->Exec("S X=\"\" F  S X=$O(^QTEMP(%JOB,\"%CLIPBOARD\",X)) Q:X=\"\"  W ^(X)"),
              "Max Muster\r\nBonn\r\ngeb. 29.02.2024\r\n");

    ASSERT_TRUE(RunKey(*c, "ADR", 11));
    EXPECT_EQ(c->Exec("W %WIN(\"PRGEXEC\",\"PATH\")"), "%program%");

    ASSERT_EQ(Save(*c, "ADR"), "0");
    std::string nr = c->Exec("W ADRNR");
    ASSERT_TRUE(RunKey(*c, "ADR", 10));
    EXPECT_EQ(c->Exec("W ^QTEMP(%JOB,\"FILESORT\",\"SOURCE\"),\"|\",^(\"DESTINATION\")"),
              "C:\\TEMP|C:\\TEMP\\Ablage\\" + nr);
    c->Exec("D " + c->Exec("W ^QTEMP(%JOB,\"FILESORT\",\"RTN\")"));
    EXPECT_EQ(c->Exec("W $P($G(^ADR(" + nr + ",\"ABLAGE\")),%DL)"), "C:\\TEMP\\Ablage\\" + nr);

    ASSERT_TRUE(RunKey(*c, "ADR", 12));
    EXPECT_EQ(c->Exec("W $D(^QTEMP(%JOB,\"%EXCEL\"))>0,^QTEMP(%JOB,\"EXCEL\",\"A1\"),^(\"B1\")"), "1NrName");
    EXPECT_EQ(c->Exec("S X=\"\" F  S X=$O(^QTEMP(%JOB,\"EXCEL\",X)) Q:X=\"\"  I $E(X)=\"A\",^(X)=" + nr +
                      ",$G(^(X,\"F\")) W ^QTEMP(%JOB,\"EXCEL\",\"B\"_$E(X,2,9))"),
              "Muster")
        << "the saved address's row, its number a number";

    // The dialog of F8 works on the address's variables and hands back its fields.
    c->Exec("S ADRTIT=\"Dr.\"");
    std::string details = KeyTexts(*c, "ADR")[3];
    c->Exec(FunctionKeyLine(0x8023));
    c->Exec(SaveOpenFormLine());
    c->Exec(CreationKillLine(true, "", ""));
    c->Exec(DialogNamesLine(MQuote("ADR"), "", "ADRDET"));
    c->Exec(InitScreenLine("ADRDET", "ADRDET"));
    EXPECT_EQ(c->Exec("W $$FO^QCC(2)"), "Dr.");
    c->Exec(PrLine(2, "Prof."));
    ASSERT_EQ(Save(*c, "ADRDET"), "0");
    HandBack(*c, "ADR", Piece(details, 4));
    EXPECT_EQ(c->Exec("W %DN,\"|\",ADRTIT,\"|\",ADRNAME,\"|\",$G(%VL)"), "ADR|Prof.|Muster|1");

    // F7 asks; its yes deletes.
    ASSERT_TRUE(RunKey(*c, "ADR", 7));
    std::string question = c->Exec("W ^QTEMP(%JOB,\"KLICKBUTTON\")");
    EXPECT_NE(Piece(question, 1).find("l\xf6schen?"), std::string::npos);
    EXPECT_EQ(Piece(question, 4), "") << "yes and no only";
    c->Exec("K ^QTEMP(%JOB,\"KLICKBUTTON\") D " + Piece(question, 2));
    EXPECT_EQ(c->Exec("W $D(^ADR(" + nr + ")),\"|\",ADRNR"), "0|");

    // F5: a new address in the form's own variables.
    ASSERT_TRUE(RunKey(*c, "ADR", 5));
    EXPECT_EQ(c->Exec("W ADRNAME,ADRORT,ADRNR,ADRTIT,\"|\",ADRAKT,$D(NOTIZ),$G(%VL),%DN"), "|J01ADR");
}

TEST_F(DemoFormTest, EveryFormEntryLeavesItsTrace) {
    auto c = Connect();
    std::string job = c->Exec("W $J");
    c->Exec(LoginLine("demo", "demo", true));
    c->Exec("S %DN=\"ADR\"");
    for (const char* line : {"W $$DIALOG^QCC(\"ADR\")",
                             "W $$EXIST^QCC(\"ADR\")",
                             "W $$MAX^QCC(\"ADR\")",
                             "W $$EDIT^QCC(\"ADR\",3)",
                             "W $$GETKEYS^QCC(\"ADR\")",
                             "W $$TEXT^QCC(\"ADR\",\"WZ\",1)",
                             "W $$MODU^QCC(\"ADR\",2)",
                             "W $$INDI^QCC(\"ADR\",1)",
                             "D INIT^WQMD",
                             "W $$FO^QCC(1)",
                             "W $$PR^QCC(\"3\",\"B\")",
                             "W $$TABLE^QCC(3,\"B\")",
                             "D WTW^QCC(\"ORTE\")",
                             "W $$PRUEF^QCC",
                             "D PRGABL^QCC(\"NEU^QADR\")",
                             "D VARSAVE^QCC(\"TEMP\")",
                             "D LOADVARS^QCC(\"TEMP\")",
                             "D VARLOAD^QCC(\"ADR\")",
                             "D KILLVARS^QCC(\"TEMP\")",
                             "D KILL^QCC(\"ADRNR\")",
                             "D SW^QUCI",
                             "D DESTROY^QCC(\"ADR\")"})
        c->Exec(line);
    auto reader = Connect();
    auto trace = TraceOf(*reader, job);
    ASSERT_FALSE(trace.empty());
    trace.erase(trace.begin()); // the log-in
    EXPECT_EQ(trace, (std::vector<std::string>{"DIALOG^QCC(\"ADR\")",
                                               "EXIST^QCC(\"ADR\")",
                                               "MAX^QCC(\"ADR\")",
                                               "EDIT^QCC(\"ADR\",3)",
                                               "GETKEYS^QCC(\"ADR\")",
                                               "TEXT^QCC(\"ADR\",\"WZ\",1)",
                                               "MODU^QCC(\"ADR\",2)",
                                               "INDI^QCC(\"ADR\",1)",
                                               "INIT^WQMD",
                                               "FO^QCC(1)",
                                               "PR^QCC(3,\"B\")",
                                               "TABLE^QCC(3,\"B\")",
                                               "WTW^QCC(\"ORTE\")",
                                               "PRUEF^QCC",
                                               "PRGABL^QCC(\"NEU^QADR\")",
                                               "NEU^QADR",
                                               "VARSAVE^QCC(\"TEMP\")",
                                               "LOADVARS^QCC(\"TEMP\")",
                                               "VARLOAD^QCC(\"ADR\")",
                                               "KILLVARS^QCC(\"TEMP\")",
                                               "KILL^QCC(\"ADRNR\")",
                                               "SW^QUCI",
                                               "DESTROY^QCC(\"ADR\")"}));
}

} // namespace vorlan::dbserver::test

namespace vorlan::dbserver::test {

TEST_F(DemoFormTest, LabelsCommentsAndPicturesOfTheExampleScreens) {
    auto c = LoggedIn();
    // The comment group of LAY: boxes, an empty answer on the way, then the end mark.
    std::vector<std::string> texts;
    for (int n = 1; n <= 8; ++n)
        texts.push_back(Piece(c->Exec(TextLine("LAY", "WZ", n)), 4));
    EXPECT_EQ(texts, (std::vector<std::string>{"[1Innen", "[AStatus", "]1", "", "]A", "]5", "", ""}));
    EXPECT_EQ(c->Exec(TextLine("LAY", "WZ", 7)), S);
    EXPECT_EQ(c->Exec(TextLine("ADR", "WZ", 1)), S) << "other screens have none";
    EXPECT_EQ(c->Exec(ModuLine("ADR", 1)), "");
    EXPECT_EQ(c->Exec(ModuLine("VIEL", 100)).empty(), false);
    EXPECT_EQ(c->Exec(ModuLine("VIEL", 101)), "");

    // TIM's label runs a line that writes the server's time.
    std::string time = c->Exec(ModuLine("TIM", 1));
    EXPECT_EQ(c->Exec(Piece(time, 4)).rfind("Serverzeit ", 0), 0u) << time;

    // LAY's picture: the server writes a BMP and names it for the client's drive Z:.
    OpenForm(*c, "LAY");
    std::string picture = c->Exec(IndiLine("LAY", 2));
    ASSERT_TRUE(IsPictureRecord(picture));
    std::string path = c->Exec("W $G(BILDLAY)");
    ASSERT_EQ(path.rfind("Z:\\tmp\\vorlan-lay-", 0), 0u) << path;
    std::string unix = "/" + path.substr(3);
    for (char& ch : unix)
        if (ch == '\\') ch = '/';
    FILE* f = std::fopen(unix.c_str(), "rb");
    ASSERT_NE(f, nullptr) << unix;
    unsigned char head[30] = {};
    size_t got = std::fread(head, 1, sizeof head, f);
    std::fclose(f);
    std::remove(unix.c_str());
    ASSERT_EQ(got, sizeof head);
    EXPECT_EQ(head[0], 'B');
    EXPECT_EQ(head[1], 'M');
    EXPECT_EQ(head[18], 8) << "8 pixels wide";
    EXPECT_EQ(head[22], 6) << "6 rows";
    EXPECT_EQ(head[28], 24) << "24 bits a pixel";
}

} // namespace vorlan::dbserver::test
