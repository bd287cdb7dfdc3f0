#include "forms/TextPaging.h"

#include <gtest/gtest.h>

using namespace vorlan;

namespace {

// Every character is 1 wide.
int Chars(std::string_view text) {
    return static_cast<int>(text.size());
}

} // namespace

TEST(TextPaging, LinesWrapAtBlanksAndCutLongWords) {
    TextPages pages = PageText("eins zwei drei\r\nvier\n\rfuenf sechsundzwanzig", 9, 100, Chars);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_EQ(pages[0],
              (std::vector<std::string>{"eins zwei", "drei", "vier", "", "fuenf", "sechsundz", "wanzig"}));
}

TEST(TextPaging, PagesHoldWholeLinesAndNoTextIsOneEmptyPage) {
    std::string text;
    for (int i = 1; i <= 25; ++i)
        text += "Zeile " + std::to_string(i) + "\r\n";
    TextPages pages = PageText(text, 80, 10, Chars);
    ASSERT_EQ(pages.size(), 3u);
    EXPECT_EQ(pages[0].front(), "Zeile 1");
    EXPECT_EQ(pages[1].front(), "Zeile 11");
    EXPECT_EQ(pages[2].back(), "Zeile 25");
    EXPECT_EQ(pages[2].size(), 5u);

    TextPages none = PageText("", 80, 10, Chars);
    ASSERT_EQ(none.size(), 1u);
    EXPECT_TRUE(none[0].empty());
    EXPECT_EQ(PageText("x", 0, 0, Chars).size(), 1u) << "no room still makes progress";
}
