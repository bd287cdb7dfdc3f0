#include "common/TextChars.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(TextChars, LettersOfCodePage1252) {
    for (unsigned char c : std::string("AZaz\xC4\xD6\xDC\xE4\xF6\xFC\xDF\xC0\xDE\xE0\xFE\xFF\x8A\x8C\x8E\x9A\x9C\x9E\x9F"))
        EXPECT_TRUE(IsTextLetter(c)) << int(c);
    for (unsigned char c : std::string("09 @[`{\xD7\xF7\xB5\xA7\x80\x8B\x9B\xBF\x7F"))
        EXPECT_FALSE(IsTextLetter(c)) << int(c);
    int letters = 0;
    for (int c = 0; c < 256; ++c) letters += IsTextLetter(static_cast<unsigned char>(c));
    EXPECT_EQ(letters, 52 + 64 - 2 + 7);
    EXPECT_TRUE(IsTextAlnum('7'));
    EXPECT_TRUE(IsTextAlnum(0xFC));
    EXPECT_FALSE(IsTextAlnum('.'));
}

TEST(TextChars, CaseConversion) {
    EXPECT_EQ(TextUpper("\xE4"), "\xC4");  // ä -> Ä
    EXPECT_EQ(TextUpper("m\xFCller stra\xDF" "e \xB5"), "M\xDCLLER STRA\xDF" "E \xB5");  // ß and µ stay
    EXPECT_EQ(TextUpper("\x9A\x9C\x9E\xFF"), "\x8A\x8C\x8E\x9F");
    EXPECT_EQ(TextLower("\x8A\x8C\x8E\x9F"), "\x9A\x9C\x9E\xFF");
    EXPECT_EQ(TextUpper("\xF7"), "\xF7");
    EXPECT_EQ(TextLower("\xD7"), "\xD7");
    for (int c = 0; c < 256; ++c) {
        char ch = static_cast<char>(c);
        if (TextUpper(ch) != ch) {
            EXPECT_EQ(TextLower(TextUpper(ch)), ch) << c;
            EXPECT_TRUE(IsTextLetter(static_cast<unsigned char>(c))) << c;
        }
    }
    EXPECT_TRUE(TextEqualsNoCase("\xC4rztin", "\xE4RZTIN"));
    EXPECT_FALSE(TextEqualsNoCase("\xC4", "A"));
}

TEST(TextChars, SpacesWithoutTheLocale) {
    for (unsigned char c : std::string(" \t\n\v\f\r")) EXPECT_TRUE(IsTextSpace(c));
    for (unsigned char c : std::string("a\xA0\x85\x00", 4)) EXPECT_FALSE(IsTextSpace(c));
}
