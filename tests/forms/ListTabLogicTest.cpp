// The popup list's rules without windows: saved layouts, column sizing, the batch rule and
// the lines it sends (the list's name always quoted).
#include "forms/ListTabLogic.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorlan;

namespace {

const std::string S = "\xA7";

} // namespace

TEST(ListTabLayout, SavedColumnWidthsAreMadePositiveAndCapped) {
    ListLayout l =
        ParseListLayout("300" + S + "200" + S + "-250" + S + "5000" + S + "80" + S + "" + S + "x7");
    EXPECT_TRUE(l.saved);
    EXPECT_EQ(l.width, 300);
    EXPECT_EQ(l.height, 200);
    EXPECT_EQ(l.ColumnWidth(0), 250);
    EXPECT_EQ(l.ColumnWidth(1), 1000);
    EXPECT_EQ(l.ColumnWidth(2), 80);
    EXPECT_EQ(l.ColumnWidth(3), -1) << "an empty piece is measured, not hidden";
    EXPECT_EQ(l.ColumnWidth(4), -1) << "letters are no width";
    EXPECT_EQ(l.ColumnWidth(5), -1) << "a column the record does not know";
    EXPECT_EQ(l.ColumnWidth(-1), -1);
}

TEST(ListTabLayout, MalformedRecordsKeepWhatCanBeRead) {
    ListLayout none = ParseListLayout("");
    EXPECT_FALSE(none.saved);
    EXPECT_TRUE(none.columns.empty());

    ListLayout onlyWidth = ParseListLayout("320");
    EXPECT_TRUE(onlyWidth.saved) << "a record is there, so columns are not widened by their rows";
    EXPECT_EQ(onlyWidth.width, 320);
    EXPECT_EQ(onlyWidth.height, 0);

    ListLayout letters = ParseListLayout("breit" + S + "-90" + S + "99999999999999");
    EXPECT_EQ(letters.width, 0);
    EXPECT_EQ(letters.height, 90);
    EXPECT_EQ(letters.ColumnWidth(0), 1000);

    std::string many = "1" + S + "1";
    for (int i = 0; i < 1000; ++i)
        many += S + "5";
    EXPECT_LE(ParseListLayout(many).columns.size(), 255u);

    EXPECT_EQ(ParseColumnCount("2"), 2);
    for (const char* bad : {"", "Stadt", "-3", "2a", "12345678901"})
        EXPECT_EQ(ParseColumnCount(bad), 0) << bad;
    EXPECT_EQ(ParseColumnCount("9999"), 255);
}

TEST(ListTabLayout, LinesQuoteTheNameAndNameTheWorkstation) {
    EXPECT_EQ(ListLayoutReadLine("STAEDTE"), "S:$G(%WIN(\"WORKSTATION\"))=\"\" %WIN(\"WORKSTATION\")=\"ALL\" "
                                             "W $G(^Z(\"TAB\",%WIN(\"WORKSTATION\"),"
                                             "\"STAEDTE\"))");
    EXPECT_EQ(ListLayoutReadLine("A\")) K ^Z W (\""),
              "S:$G(%WIN(\"WORKSTATION\"))=\"\" %WIN(\"WORKSTATION\")=\"ALL\" W "
              "$G(^Z(\"TAB\",%WIN(\"WORKSTATION\"),"
              "\"A\"\")) K ^Z W (\"\"\"))");
    EXPECT_EQ(ListLayoutWriteLine("ORTE", 300, 200, {120, 60, 98}),
              "S ^Z(\"TAB\",%WIN(\"WORKSTATION\"),\"ORTE\")=\"300" + S + "200" + S + "120" + S + "60" + S +
                  "98\"");
    EXPECT_EQ(NextBatchLine("ST\"A\nE"), "D WTW^QCC(\"ST\"\"A\"_$C(10)_\"E\")");
}

TEST(ListTabLayout, TheLayoutLineStaysOneServerLine) {
    std::vector<int> widths(400, 123);
    std::string line = ListLayoutWriteLine("L", 300, 200, widths);
    EXPECT_LE(line.size(), 1023u);
    EXPECT_GT(line.size(), 1000u) << "only the columns that do not fit are dropped";
    EXPECT_EQ(line.back(), '"');
    EXPECT_EQ(ListLayoutWriteLine(std::string(1100, 'N'), 300, 200, {1}), "")
        << "nothing rather than a cut line";
}

TEST(ListTabColumns, TheLastColumnFillsTheList) {
    EXPECT_EQ(FillingLastColumn({100, 50}, 300), 200);
    EXPECT_EQ(FillingLastColumn({100, 250}, 300), 200) << "it shrinks as well";
    EXPECT_EQ(FillingLastColumn({300, 50}, 300), -1) << "never to nothing";
    EXPECT_EQ(FillingLastColumn({}, 300), -1);
    std::vector<int> many(40, 10);
    EXPECT_EQ(FillingLastColumn(many, 400), 10 + 400 - 310) << "31 columns are counted, the 31st stretched";
}

TEST(ListTabColumns, TheNextBatchIsDueWithinTwoPagesOfTheEnd) {
    struct Case {
        int count, top, perPage;
        bool due;
    } cases[] = {
        {20, 0, 10, false},                    // exactly two pages below the top
        {19, 0, 10, true},  {20, 1, 10, true}, // Down on the last visible row
        {54, 35, 10, true}, {55, 35, 10, false}, {0, 0, 0, false}, {0, 0, 1, true},
    };
    for (const Case& c : cases)
        EXPECT_EQ(NeedsNextBatch(c.count, c.top, c.perPage), c.due)
            << c.count << "/" << c.top << "/" << c.perPage;
}
