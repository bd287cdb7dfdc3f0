// The help window's text (its stream is fuzzed) and the support request's dump lines.
#include "frame/FrameDialogsLogic.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorlan;

TEST(HelpText, EmptyHelpIsTheNoticeAsPlainTextAndAnyOtherIsRichText) {
    HelpText none = MakeHelpText("");
    EXPECT_EQ(none.text, "Zu diesem Dialog ist keine Direkthilfe vorhanden.");
    EXPECT_FALSE(none.rich);
    HelpText some = MakeHelpText("{\\rtf1 x}");
    EXPECT_EQ(some.text, "{\\rtf1 x}");
    EXPECT_TRUE(some.rich);
}

TEST(SupportDump, OnlyNodesOfTheNameWithLiteralSubscriptsArePastedBack) {
    struct Case {
        const char* node;
        const char* name;
        bool ok;
    } cases[] = {
        {"X", "X", true},
        {"%", "%", true},
        {"%(1)", "%", true},
        {"ARR(1,\"x\")", "ARR", true},
        {"A(-1.5,.5,1E3)", "A", true},
        {"A(\"say \"\"hi\"\"\")", "A", true},
        {"A(\"a\"_$C(9)_\"b\",$C(1,2))", "A", true},
        {"Y(1)", "X", false},
        {"XY", "X", false},
        {"X(1", "X", false},
        {"X()", "X", false},
        {"X(1)) W 1", "X", false},
        {"X(1) K ^Y", "X", false},
        {"X(A)", "X", false},
        {"X($$F^R())", "X", false},
        {"X(\"a)", "X", false},
        {"X(1,)", "X", false},
        {"", "", false},
        {"1A", "1A", false},
        {"X Y", "X Y", false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(IsNodeOf(c.node, c.name), c.ok) << c.node << " of " << c.name;
}

TEST(SupportDump, ValueLineWritesControlCharactersAsCharCallsAndNeverHidesTheDumpedName) {
    EXPECT_EQ(DumpHasValueLine("A(1)"), "W:($D(A(1))#10) 1");
    EXPECT_EQ(DumpNextNodeLine("A(1)"), "W $Q(A(1))");
    EXPECT_EQ(DumpNextNameLine("A"), "W $O(A)");
    EXPECT_EQ(DumpValueLine("A(1)"),
              "N % F %=1:1:$L(A(1)) W $S($A(A(1),%)<32:\"\"\"_$C(\"_$A(A(1),%)_\")_\"\"\",1:$E(A(1),%))");
    // NEW % would hide the local % itself.
    for (const char* node : {"%", "%(2,\"a\")"}) {
        std::string line = DumpValueLine(node);
        EXPECT_EQ(line.rfind("N %ZZD F %ZZD=1:1:$L(", 0), 0u) << line;
        EXPECT_EQ(line.find(",%)"), std::string::npos) << line;
    }
    EXPECT_EQ(DumpLine("T", "a\"_$C(9)_\"b"), "T=\"a\"_$C(9)_\"b\"\r\n");
}
