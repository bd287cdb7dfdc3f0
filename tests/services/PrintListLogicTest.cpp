#include "services/PrintListLogic.h"

#include <gtest/gtest.h>

#include <vector>

using namespace vorlan;

namespace {

// Every line from 1 to n once, page after page, as drawing them by the starts does.
std::vector<int> Drawn(const std::vector<int>& starts, int lines) {
    std::vector<int> drawn;
    for (size_t page = 0; page < starts.size(); ++page)
        for (int n = starts[page]; n <= PageEnd(starts, page, lines); ++n)
            drawn.push_back(n);
    return drawn;
}

} // namespace

TEST(PrintList, PagesHoldBodyHeightOverLineHeightLines) {
    const int h = 12, b = 12 * 50 + 7; // 50 lines fit
    EXPECT_EQ(PageStarts(50, h, b), (std::vector<int>{1})) << "exactly B/H lines fit one page";
    EXPECT_EQ(PageStarts(51, h, b), (std::vector<int>{1, 51})) << "one more goes on a second page";
    EXPECT_EQ(PageStarts(0, h, b), (std::vector<int>{1})) << "no lines: one page";
    EXPECT_EQ(PageStarts(101, h, b), (std::vector<int>{1, 51, 101}));
    EXPECT_EQ(PageStarts(100, h, 12 * 50), (std::vector<int>{1, 51})) << "a body of exactly 50 lines";
    // A line higher than the body still gets a page of its own, never an empty one.
    EXPECT_EQ(PageStarts(3, 20, 10), (std::vector<int>{1, 2, 3}));
}

TEST(PrintList, EveryLineIsDrawnOnceInOrder) {
    for (int lines : {0, 1, 49, 50, 51, 137}) {
        std::vector<int> starts = PageStarts(lines, 10, 500);
        std::vector<int> expected;
        for (int n = 1; n <= lines; ++n)
            expected.push_back(n);
        EXPECT_EQ(Drawn(starts, lines), expected) << lines;
    }
}

TEST(PrintList, ThePageHasThePapersProportionsAndCharsPerLine) {
    ListLayout a4 = MeasureListLayout(80, 7, 14, 4960, 7016);
    EXPECT_TRUE(a4.valid);
    EXPECT_EQ(a4.pageWidth, 560);
    EXPECT_EQ(a4.pageHeight, 560 * 7016 / 4960);
    EXPECT_EQ(a4.bodyHeight, a4.pageHeight - 70);
    EXPECT_EQ(a4.linesPerPage, a4.bodyHeight / 14);

    EXPECT_FALSE(MeasureListLayout(80, 7, 0, 4960, 7016).valid) << "no line height";
    EXPECT_FALSE(MeasureListLayout(0, 7, 14, 4960, 7016).valid) << "no characters per line";
    EXPECT_FALSE(MeasureListLayout(-5, 7, 14, 4960, 7016).valid);
    EXPECT_FALSE(MeasureListLayout(2, 7, 14, 4960, 7016).valid) << "a page without room for a line";
}

TEST(PrintList, CountsAreTheAnswersLeadingDigits) {
    EXPECT_EQ(CountOf("80"), 80);
    EXPECT_EQ(CountOf("120 Zeilen"), 120);
    EXPECT_EQ(CountOf(""), 0);
    EXPECT_EQ(CountOf("abc"), 0);
    EXPECT_EQ(CountOf("-3"), 0);
    EXPECT_EQ(CountOf("99999999999999"), 2147483647);
}

TEST(PrintList, LinesAndHeader) {
    EXPECT_EQ(ReportLinesLine(57), "W $$DRUCKS^QCC(57)");
    EXPECT_EQ(PrintOutputLine(3), "W $$DRUCK^QCC(%JOB,3)");
    EXPECT_EQ(ListHeaderText("DRK"), "VORLAN - [DRK]");
}
