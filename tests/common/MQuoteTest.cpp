#include "common/MQuote.h"
#include "tests/common/MLiteral.h"

#include <gtest/gtest.h>

using vorlan::MCellLiteralBody;
using vorlan::MQuote;
using vorlan::MSubscript;
using vorlan::test::EvalMLiteral;

TEST(MQuote, ProducesTheExpectedLiterals) {
    struct Case {
        std::string in, out;
    } cases[] = {
        {"", "\"\""},
        {"abc", "\"abc\""},
        {"a\"b", "\"a\"\"b\""},
        {"\"", "\"\"\"\""},
        {"a\tb", "\"a\"_$C(9)_\"b\""},
        {"\r\n", "$C(13,10)"},
        {"x\x7f", "\"x\"_$C(127)"},
        {std::string("a\0b", 3), "\"a\"_$C(0)_\"b\""},
        {"\xa7\xfa\xff", "\"\xa7\xfa\xff\""},  // M mode: high bytes are plain characters
    };
    for (const auto& c : cases) EXPECT_EQ(MQuote(c.in), c.out) << "input: " << c.in;
}

TEST(MQuote, EveryByteRoundTrips) {
    std::string all;
    for (int i = 0; i < 256; ++i) all += static_cast<char>(i);
    all += "\"\"end\"";
    auto back = EvalMLiteral(MQuote(all));
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, all);
}

TEST(MQuote, CharGroupsHoldAtMost255Codes) {
    std::string controls(600, '\x01');
    std::string quoted = MQuote(controls);
    EXPECT_EQ(quoted.substr(0, 3), "$C(");
    size_t groups = 0;
    for (size_t at = 0; (at = quoted.find("$C(", at)) != std::string::npos; ++at) ++groups;
    EXPECT_EQ(groups, 3u) << "255 + 255 + 90";
    auto back = EvalMLiteral(quoted);
    ASSERT_TRUE(back.has_value());
    EXPECT_EQ(*back, controls);
}

TEST(MQuote, PasswordWithQuoteStaysOneLiteral) {
    // A quote in a password must not end the literal and let the rest run as code.
    std::string evil = "x\" K ^ZTRACE W \"";
    std::string line = "W $$LOGIN^QCC(" + MQuote(evil) + ")";
    EXPECT_EQ(line, "W $$LOGIN^QCC(\"x\"\" K ^ZTRACE W \"\"\")");
}

// The grid's cell texts keep their own escaping: the server turns $C(255) back into the
// quote, and control characters are spliced into the literal as concatenations.
TEST(MCellLiteralBody, QuotesBecome255AndControlsAreSpliced) {
    EXPECT_EQ(MCellLiteralBody(""), "");
    EXPECT_EQ(MCellLiteralBody("say \"hi\""), "say \xFFhi\xFF");
    EXPECT_EQ(MCellLiteralBody("a\tb"), "a\"_$C(09)_\"b");
    EXPECT_EQ(MCellLiteralBody(std::string("\x00\x1F", 2)), "\"_$C(00)_\"\"_$C(31)_\"");
    EXPECT_EQ(MCellLiteralBody("\xA7\xE4"), "\xA7\xE4");
}

TEST(MCellLiteralBody, EveryTextGivesOneValidLiteral) {
    std::string all;
    for (int c = 0; c < 256; ++c)
        if (c != '"') all += static_cast<char>(c);
    auto value = vorlan::test::EvalMLiteral("\"" + MCellLiteralBody(all) + "\"");
    ASSERT_TRUE(value.has_value());
    EXPECT_EQ(*value, all);
}

TEST(MSubscript, OnlyCanonicalNumbersStayBare) {
    for (const char* bare : {"0", "12", "-7", "3.25", ".5", "-.5", "123456789012345678"})
        EXPECT_EQ(MSubscript(bare), bare) << bare;
    for (const char* text : {"", "-0", "012", "1.50", "1.", "0.5", "+1", "1e3", "1,2", "-", ".",
                             "1234567890123456789", "A", "1\"", "1 W 2"})
        EXPECT_EQ(MSubscript(text), MQuote(text)) << text;
}
