#include "common/TextChars.h"

namespace vorlan {

namespace {

// The letters of 128-159 that have a case partner, upper first.
struct Pair {
    unsigned char upper, lower;
};
constexpr Pair kLowPairs[] = {{0x8A, 0x9A}, {0x8C, 0x9C}, {0x8E, 0x9E}, {0x9F, 0xFF}};

bool IsUpperAccented(unsigned char c) { return c >= 0xC0 && c <= 0xDE && c != 0xD7; }
bool IsLowerAccented(unsigned char c) { return c >= 0xE0 && c <= 0xFE && c != 0xF7; }

}  // namespace

bool IsTextLetter(unsigned char c) {
    if ((c >= 'A' && c <= 'Z') || (c >= 'a' && c <= 'z')) return true;
    if (c >= 0xC0) return c != 0xD7 && c != 0xF7;
    for (const Pair& p : kLowPairs)
        if (c == p.upper || c == p.lower) return true;
    return false;
}

bool IsTextDigit(unsigned char c) { return c >= '0' && c <= '9'; }

bool IsTextAlnum(unsigned char c) { return IsTextLetter(c) || IsTextDigit(c); }

bool IsTextSpace(unsigned char c) { return c == ' ' || (c >= '\t' && c <= '\r'); }

char TextUpper(char ch) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 'a' && c <= 'z') return static_cast<char>(c - 0x20);
    if (IsLowerAccented(c)) return static_cast<char>(c - 0x20);
    for (const Pair& p : kLowPairs)
        if (c == p.lower) return static_cast<char>(p.upper);
    return ch;
}

char TextLower(char ch) {
    auto c = static_cast<unsigned char>(ch);
    if (c >= 'A' && c <= 'Z') return static_cast<char>(c + 0x20);
    if (IsUpperAccented(c)) return static_cast<char>(c + 0x20);
    for (const Pair& p : kLowPairs)
        if (c == p.upper) return static_cast<char>(p.lower);
    return ch;
}

std::string TextUpper(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = TextUpper(c);
    return out;
}

std::string TextLower(std::string_view text) {
    std::string out(text);
    for (char& c : out) c = TextLower(c);
    return out;
}

bool TextEqualsNoCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (TextUpper(a[i]) != TextUpper(b[i])) return false;
    return true;
}

}  // namespace vorlan
