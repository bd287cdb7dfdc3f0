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

TEST(FormFrameLogic, CustomerDisplayFrameIsTwentyFiveBytesFilledWithZeros) {
    auto shortText = CustomerDisplayFrame('A', "Hallo");
    EXPECT_EQ(std::string(shortText.data(), shortText.size()), std::string("\x1b"
                                                                           "FAHallo\r",
                                                                           9) +
                                                                   std::string(16, '\0'));
    // 21 characters fill the frame exactly; longer texts lose the CR and what follows.
    std::string exact(21, 'x');
    auto full = CustomerDisplayFrame('B', exact);
    EXPECT_EQ(std::string(full.data(), full.size()), "\x1b"
                                                     "FB" +
                                                         exact + "\r");
    auto cut = CustomerDisplayFrame('B', std::string(200, 'y'));
    EXPECT_EQ(std::string(cut.data(), cut.size()), "\x1b"
                                                   "FB" +
                                                       std::string(22, 'y'));
    auto empty = CustomerDisplayFrame('A', "");
    EXPECT_EQ(std::string(empty.data(), 4), std::string("\x1b"
                                                        "FA\r"));
}

TEST(FormFrameLogic, DisplayLinesAreReadAsBoundedTextAndPort) {
    EXPECT_EQ(DisplayLineLine('A'), "W $G(^QTEMP(%JOB,%DN,\"COMPORT\",\"DISPLAY\",\"A\"))");
    DisplayLine d = ReadDisplayLine("Summe\xA7"
                                    "COM1");
    EXPECT_EQ(d.text, "Summe");
    EXPECT_EQ(d.port, "COM1");
    DisplayLine longOne = ReadDisplayLine(std::string(40, 't') + "\xA7" + std::string(40, 'p'));
    EXPECT_EQ(longOne.text.size(), 25u);
    EXPECT_EQ(longOne.port.size(), 25u);
    DisplayLine none = ReadDisplayLine("");
    EXPECT_TRUE(none.text.empty());
    EXPECT_TRUE(none.port.empty());
}
