#include "frame/FormFrameLogic.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(FormFrameLogic, TabAndScreenLinesQuoteTheirValues) {
    struct {
        std::string line;
        const char* want;
    } cases[] = {
        {TabNodeLine("KART", 3), "W $G(^QM(\"KART\",0,\"KARTEI\",3))"},
        {TabNodeLine("", 1), "W $G(^QM(\"\",0,\"KARTEI\",1))"},
        {TabHiddenLine("KART", "T\"1"), "W $D(^ZM(\"KART\",0,\"KARTEI\",\"T\"\"1\"))"},
        {TabHiddenByJobLine("KART", "T1"), "W $D(%WIN(\"KARTEI\",\"KART\",\"T1\"))"},
        {TabHiddenByJobLine("K\x7f", ""), "W $D(%WIN(\"KARTEI\",\"K\"_$C(127),\"\"))"},
        {TabButtonsLine("A\"B"), "W $P($G(^QM(\"A\"\"B\",0,\"KARTEI\")),%DL,5)"},
        {PrgInitLine("D X^Y(\"1\")"),
         "K %F,%INF D PRGINIT^QCC(\"D X^Y(\"\"1\"\")\") W:$D(%F)&$D(%INF) \"!\" W $G(%F,\"!\")"},
        {PrgInitLine(""), "K %F,%INF D PRGINIT^QCC(\"\") W:$D(%F)&$D(%INF) \"!\" W $G(%F,\"!\")"},
        {PrgInitLine("S A=1\nS B=2"),
         "K %F,%INF D PRGINIT^QCC(\"S A=1\"_$C(10)_\"S B=2\") W:$D(%F)&$D(%INF) \"!\" W $G(%F,\"!\")"},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.line, c.want);
}

TEST(FormFrameLogic, InitAnswerAcceptsOnlyWithTheMark) {
    struct {
        const char* answer;
        bool accepted;
        const char* text;
    } cases[] = {{"!", true, ""},
                 {"!Daten geladen", true, "Daten geladen"},
                 {"Kein Zugriff", false, "Kein Zugriff"},
                 {"", false, ""},
                 {" !", false, " !"}};
    for (const auto& c : cases) {
        InitAnswer a = ReadInitAnswer(c.answer);
        EXPECT_EQ(a.accepted, c.accepted) << c.answer;
        EXPECT_EQ(a.text, c.text) << c.answer;
    }
}
