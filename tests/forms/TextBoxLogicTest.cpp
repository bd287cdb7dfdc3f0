// The editing rules of a form's text box: the word after a lead character, the next "@"
// placeholder, the indentation Enter carries, line lengths and the search list's lines.
#include "forms/TextBoxLogic.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorlan;

namespace {
constexpr size_t npos = std::string::npos;
}

TEST(TextBoxLogic, CharacterClasses) {
    for (unsigned char c : {'#', '*', '+', '\''}) {
        EXPECT_TRUE(IsLeadChar(c)) << c;
        EXPECT_FALSE(EndsWord(c)) << "a lead character starts a word, it does not end one";
    }
    EXPECT_FALSE(IsLeadChar('@'));
    for (int c : {int('a'), int('Z'), int('0'), int('.'), 0xE4}) {
        EXPECT_TRUE(IsWordChar(c)) << int(c);
        EXPECT_FALSE(EndsWord(c)) << int(c);
    }
    for (unsigned char c : {' ', ',', '!', '-', '\r', '@'})
        EXPECT_TRUE(EndsWord(c)) << int(c);
    for (int c : {int('\n'), int('\t'), int('\b'), 29})
        EXPECT_FALSE(EndsWord(c)) << "control characters other than CR: " << int(c);
    EXPECT_FALSE(DropsEndingChar('#')) << "a text module keeps the blank that ended it";
    EXPECT_TRUE(DropsEndingChar('*'));
    EXPECT_TRUE(DropsEndingChar('+'));
    EXPECT_TRUE(DropsEndingChar('\''));
}

TEST(TextBoxLogic, LeadWordNeedsALeadAndAtLeastOneCharacter) {
    struct Case {
        const char* text;
        size_t caret;
        size_t start;
    } cases[] = {
        {"+abc", 4, 0},        {"Gru\xDF +abc", 9, 5},
        {"abc", 3, npos},      // no lead character: nothing to offer
        {"+", 1, npos},        // the lead alone
        {"x +ab cd", 8, npos}, // the blank ends the scan first
        {"#mfg", 2, 0},        // the caret counts, not the text after it
        {"a#b.c\xE4", 6, 1},   // dots and characters from 128 are part of the word
        {"#ab-cd", 6, npos},   // another character ends it without result
        {"x\r\n'Dr", 6, 3},    {"'", 0, npos},
        {"", 0, npos},         {"*ab", 99, 0}, // a caret beyond the text stops at its end
        {"##a", 3, 1},
    };
    for (const Case& c : cases)
        EXPECT_EQ(LeadWordStart(c.text, c.caret), c.start) << c.text << " at " << c.caret;
}

TEST(TextBoxLogic, TabFindsTheNextPlaceholder) {
    Placeholder p = NextPlaceholder("Sehr geehrte @Anrede @Name,", 0);
    EXPECT_EQ(p.start, 13u);
    EXPECT_EQ(p.end, 14u);
    EXPECT_TRUE(p.search);
    p = NextPlaceholder("Sehr geehrte @Anrede @Name,", 14);
    EXPECT_EQ(p.start, 21u) << "from the caret on";
    p = NextPlaceholder("Sehr geehrte @Anrede @Name,", 13);
    EXPECT_EQ(p.start, 13u) << "an \"@\" right at the caret is the next";
    p = NextPlaceholder("mail @ home", 0);
    EXPECT_EQ(p.start, 5u);
    EXPECT_FALSE(p.search) << "a blank after the \"@\"";
    p = NextPlaceholder("Sehr geehrte @\xC4rztin,", 0);
    EXPECT_TRUE(p.search) << "an umlaut starts a word";
    p = NextPlaceholder("Preis @\xF7", 0);
    EXPECT_FALSE(p.search) << "the division sign does not";
    p = NextPlaceholder("am Ende @", 0);
    EXPECT_FALSE(p.search);
    p = NextPlaceholder("kein Platzhalter", 3);
    EXPECT_EQ(p.start, 15u) << "none follows: the last character";
    EXPECT_EQ(p.end, 16u);
    EXPECT_FALSE(p.search);
    p = NextPlaceholder("@a", 2);
    EXPECT_EQ(p.start, 1u) << "a caret at the end finds none";
    p = NextPlaceholder("", 0);
    EXPECT_EQ(p.end, 0u);
}

TEST(TextBoxLogic, EnterKeepsTheLinesIndentation) {
    Indentation i = IndentationAt("Brief\r\n  \tPunkt", 15);
    EXPECT_EQ(i.indent, "  \t");
    EXPECT_EQ(i.caret, 15u);
    i = IndentationAt("Brief\r\n    Punkt", 8);
    EXPECT_EQ(i.indent, "    ");
    EXPECT_EQ(i.caret, 11u) << "from inside the indentation the caret goes behind it";
    i = IndentationAt("Brief\r\nPunkt", 9);
    EXPECT_EQ(i.indent, "");
    EXPECT_EQ(i.caret, 9u);
    i = IndentationAt("  a\r\n", 5);
    EXPECT_EQ(i.indent, "") << "a new empty line has none";
    i = IndentationAt("   ", 1);
    EXPECT_EQ(i.indent, "   ");
    EXPECT_EQ(i.caret, 3u);
}

TEST(TextBoxLogic, LineLengthIsTheCaretsLine) {
    std::string text = "kurz\r\n" + std::string(81, 'x') + "\r\nende";
    EXPECT_EQ(LineLengthAt(text, 2), 4u);
    EXPECT_EQ(LineLengthAt(text, 6), 81u);
    EXPECT_EQ(LineLengthAt(text, 6 + 81), 81u) << "the caret before the break";
    EXPECT_EQ(LineLengthAt(text, text.size()), 4u);
    EXPECT_EQ(LineLengthAt("", 0), 0u);
    EXPECT_GT(LineLengthAt(text, 10), kLongLine);
}

TEST(TextBoxLogic, SearchListLines) {
    EXPECT_EQ(EntryHead("mfg\tMit freundlichen Gr\xFC\xDF"
                        "en"),
              "mfg");
    EXPECT_EQ(EntryHead("ohne"), "ohne");
    EXPECT_EQ(EntryHead("\tnur zweite"), "");
    EXPECT_EQ(SearchGlobalLine("#", "TAB^QTXT"), "S TEXT=\"#\" D TAB^QTXT W $G(GLOB)");
    EXPECT_EQ(SearchGlobalLine("'", "TAB^QTXT"), "S TEXT=\"'\" D TAB^QTXT W $G(GLOB)");
}
