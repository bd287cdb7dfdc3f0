// The demo application's side of the server-described forms, through the fixture's dbserver:
// the kill lines and variable sets of the form frames, sent as the client sends them.
#include "tests/dbserver/DemoLines.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

namespace vorlan::dbserver::test {
namespace {

std::unique_ptr<TestClient> LoggedIn() {
    auto c = Connect();
    EXPECT_EQ(c->Exec(LoginLine("demo", "demo")), "1");
    return c;
}

class DemoFormTest : public DemoFixture {};

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
    c->Exec(kill.substr(0, kill.size() - 1) + ",A,C)");
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
    std::string kill = c->Exec("W %KILL");
    c->Exec(kill.substr(0, kill.size() - 1) + ",ADRNR)");
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
}

} // namespace vorlan::dbserver::test
