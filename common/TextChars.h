#pragma once
// Character classes of the text the user types and the server sends: code page 1252, one byte
// per character. Independent of the C library's locale, which knows only ASCII.

#include <string>
#include <string_view>

namespace vorlan {

// A-Z, a-z and the accented letters of cp1252 (192-255 but the multiplication and division
// signs, and the S, OE, Z and Y letters in 128-159).
bool IsTextLetter(unsigned char c);
bool IsTextDigit(unsigned char c);
bool IsTextAlnum(unsigned char c);
// Blank, tab, line feed, vertical tab, form feed and carriage return.
bool IsTextSpace(unsigned char c);

// Case conversion of one letter; everything without a counterpart (sharp s, micro sign, signs)
// stays as it is.
char TextUpper(char c);
char TextLower(char c);
std::string TextUpper(std::string_view text);
std::string TextLower(std::string_view text);

// Equal but for case, in the sense of TextUpper.
bool TextEqualsNoCase(std::string_view a, std::string_view b);

}  // namespace vorlan
