// Texts of the language library filled in with values: the values the caller supplies are
// all that is ever read, whatever directives a translated text holds.
#include "framework/TextFill.h"

#include <gtest/gtest.h>

#include <string>

using fw::FillText;

TEST(TextFill, TheLanguageLibrarysTextsFillAsPrintfWould) {
    struct Case {
        std::string text, expected;
    } cases[] = {
        {FillText("Schacht %d", {3}), "Schacht 3"},
        {FillText("Verbinde mit %s:%s (%s %s) ...", {"host", "1666", "VOR", "1"}),
         "Verbinde mit host:1666 (VOR 1) ..."},
        {FillText("Seite %d von %d wird gedruckt ...", {2, 7}), "Seite 2 von 7 wird gedruckt ..."},
        {FillText("%5d|%-4s|%05.1d|%x|%X|%o|%u", {42, "ab", 7, 255, 255, 8, 3}),
         "   42|ab  |    7|ff|FF|10|3"},
        {FillText("%.3s", {"abcdef"}), "abc"},
        {FillText("100%% von %s", {"allem"}), "100% von allem"},
        {FillText("kein Wert", {1, "zwei"}), "kein Wert"},
        {FillText("Port %s", {1666}), "Port 1666"},
        {FillText("%d", {-5}), "-5"},
        {FillText("[%6s|%-6s]", {std::string("rechts"), "x"}), "[rechts|x     ]"},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.text, c.expected);
}

TEST(TextFill, AHostileTextNeverReadsMoreOrOtherThanTheValues) {
    // Each directive uses up one place; one that does not fit stands as it is written.
    struct Case {
        const char* text;
        std::string expected;
    } cases[] = {
        {"\"%s\" %s %s %n %x", "\"Adressen\" %s %s %n %x"},
        {"%d", "%d"},                                 // a number's conversion for a text
        {"%ls %hs %lld %zu", "%ls %hs %lld %zu"},     // lengths of their own
        {"%*d %.*s", "%*d %.*s"},                     // widths read from the values
        {"%2$s %1$s", "%2$s %1$s"},                   // positions
        {"%f %e %g %p %c", "%f %e %g %p %c"},         // conversions no value fills
        {"%99999999d %.5000s", "%99999999d %.5000s"}, // widths beyond three digits
        {"%n %s", "%n %s"},                           // %n took the one value's place
        {"%s am Ende %", "Adressen am Ende %"},
        {"%-", "%-"}, // cut off after its flags
    };
    for (const Case& c : cases)
        EXPECT_EQ(FillText(c.text, {"Adressen"}), c.expected) << c.text;
}
