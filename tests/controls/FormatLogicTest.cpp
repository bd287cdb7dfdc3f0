// The rich-text field's decisions without a window: default font, sizes, the Tab jump to
// placeholders and the format a text goes in with.
#include "controls/FormatLogic.h"

#include <gtest/gtest.h>

#include <string>

using namespace richtext;

TEST(FormatDefaults, TheServersFontOrTimesNewRoman12) {
    EXPECT_EQ(DefaultFontLine(), "W $G(^ZM(%DN,0,\"RTF-FORMAT\",\"FONT\"))");
    EXPECT_EQ(DefaultSizeLine(), "W $G(^ZM(%DN,0,\"RTF-FORMAT\",\"SIZE\"))");
    struct Case {
        const char* face;
        const char* size;
        const char* wantFace;
        long wantTwips;
    } cases[] = {
        {"Arial", "11", "Arial", 220},
        {"", "", "Times New Roman", 240},
        {"Courier New", "0", "Courier New", 240},
        {"Arial", "abc", "Arial", 240},
        {"Arial", "10.5", "Arial", 200},
    };
    for (const Case& c : cases) {
        DefaultFont font = DefaultFontOf(c.face, c.size);
        EXPECT_EQ(font.face, c.wantFace) << c.face;
        EXPECT_EQ(font.height, c.wantTwips) << c.size;
    }
}

TEST(FormatDefaults, SizeTextsReadAsTheirLeadingNumber) {
    EXPECT_EQ(SizeTextToTwips("12"), 240);
    EXPECT_EQ(SizeTextToTwips(" 9pt"), 180);
    EXPECT_EQ(SizeTextToTwips("0"), 0); // a typed 0 is height 0
    EXPECT_EQ(SizeTextToTwips(""), 0);
    EXPECT_GT(SizeTextToTwips("99999999999999999999"), 0); // bounded: no overflow
    EXPECT_EQ(sizeof kFontSizes / sizeof kFontSizes[0], 19u);
    EXPECT_EQ(kFontSizes[0], 6);
    EXPECT_EQ(kFontSizes[18], 72);
}

TEST(FormatPlaceholders, TabSelectsTheNextAtSignAndTellsTheFormOfAWord) {
    const std::string text = "Sehr @Name,\rwir danken @";
    TabJump first = NextPlaceholder(text, 0);
    EXPECT_EQ(first.kind, TabJump::Select);
    EXPECT_EQ(first.at, 5);
    EXPECT_TRUE(first.notify);
    // From behind the selected "@": the last one, with nothing after it.
    TabJump second = NextPlaceholder(text, first.at + 1);
    EXPECT_EQ(second.kind, TabJump::Select);
    EXPECT_EQ(second.at, static_cast<long>(text.size() - 1));
    EXPECT_FALSE(second.notify);
    EXPECT_EQ(NextPlaceholder(text, static_cast<long>(text.size())).kind, TabJump::PassOn);
    EXPECT_EQ(NextPlaceholder("", 0).kind, TabJump::Swallow);
    EXPECT_EQ(NextPlaceholder("kein Platzhalter", 3).kind, TabJump::PassOn);
    EXPECT_FALSE(NextPlaceholder("@ frei", 0).notify);
}

TEST(FormatPlaceholders, UmlautsAndSharpSAreLetters) {
    for (int c : {0xE4, 0xF6, 0xFC, 0xDF, 0xC4, 0xD6, 0xDC, 0x61, 0x5A, 0x37})
        EXPECT_TRUE(IsWordChar(static_cast<unsigned char>(c))) << c;
    for (int c : {0x20, 0x40, 0x2C, 0x0D, 0xD7, 0xF7, 0xA7, 0x80})
        EXPECT_FALSE(IsWordChar(static_cast<unsigned char>(c))) << c;
    EXPECT_TRUE(NextPlaceholder("@\xFC"
                                "ber",
                                0)
                    .notify);
}

TEST(FormatStreams, PlainTextOfferedAsRtfGoesInAsText) {
    constexpr int kRtf = 2, kText = 1, kSelection = 0x8000;
    EXPECT_EQ(StreamInFormat(kRtf, "{\\rtf1 x}"), kRtf);
    EXPECT_EQ(StreamInFormat(kRtf | kSelection, "Eingef\xFCgt"), kText | kSelection);
    EXPECT_EQ(StreamInFormat(kRtf, ""), kText);
    EXPECT_EQ(StreamInFormat(kText, "{\\rtf1 x}"), kText); // text mode stays text
}
