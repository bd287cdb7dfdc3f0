// The grid's side of a form without windows: the records the server describes the grid and
// its rows with, the column-width texts, and the M lines its notifications send.
#include "forms/GridLogic.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorlan;

namespace {

const std::string S = "\xA7";
const std::string E = "\xFF";

std::string Cell(std::vector<std::string> pieces) {
    std::string out;
    for (size_t i = 0; i < pieces.size(); ++i)
        out += (i ? S : "") + pieces[i];
    return out;
}

} // namespace

TEST(GridRecords, ScrollRecordCountsHeadersAndNeverGoesNegative) {
    ScrollRecord r = ParseScrollRecord("6" + S + "2" + S + "1" + S + "4" + S + "3" + S + "17");
    EXPECT_EQ(r.columns, 6);
    EXPECT_EQ(r.fixedRows, 1);
    EXPECT_EQ(r.fixedColumns, 0);
    EXPECT_EQ(r.selectRow, 4);
    EXPECT_EQ(r.selectColumn, 3);
    EXPECT_EQ(r.scrollRow, 17);
    ScrollRecord empty = ParseScrollRecord("");
    EXPECT_EQ(empty.columns, 0);
    EXPECT_EQ(empty.fixedRows, 0);
    EXPECT_EQ(empty.fixedColumns, 0);
    EXPECT_EQ(ParseScrollRecord("-3" + S + "-5").columns, 0);
}

TEST(GridRecords, HeaderRowsComeFromTheLowestSubscript) {
    EXPECT_EQ(HeaderRowsFor("0"), 1);
    EXPECT_EQ(HeaderRowsFor("-2"), 3);
    EXPECT_EQ(HeaderRowsFor("2"), 3);
    EXPECT_EQ(HeaderRowsFor(""), 1);
    EXPECT_EQ(HeaderRowsFor("ABC"), 1);
    // a subscript far out of range must not make a grid of billions of header rows
    EXPECT_LE(HeaderRowsFor("-99999999999"), (1 << 20) + 1);
    EXPECT_EQ(ColumnWidthOf("Menge" + S + "12" + S), 12);
    EXPECT_EQ(ColumnWidthOf("Menge"), 0);
}

TEST(GridRecords, WidthInCellsFallsBackToTheColumns) {
    EXPECT_EQ(GridWidthInCells(40, 100, 60), 40);
    EXPECT_EQ(GridWidthInCells(0, 100, 60), 100);
    EXPECT_EQ(GridWidthInCells(0, 149, 60), 149);
    EXPECT_EQ(GridWidthInCells(0, 150, 60), 62);
    EXPECT_EQ(GridWidthInCells(0, 0, 60), 62);
    EXPECT_EQ(GridWidthInCells(0, -1, 60), 62);
}

TEST(GridRecords, RowSpanCountsFromTheSubscriptsWithoutOverflow) {
    EXPECT_EQ(GridRowSpan(0, 2000), 2001);
    EXPECT_EQ(GridRowSpan(1, 0), 0) << "an empty global";
    EXPECT_EQ(GridRowSpan(0, -5), 0);
    EXPECT_EQ(GridRowSpan(-1, 0x7FFFFFFF), 0x80000001LL) << "a stray subscript stays countable";
    EXPECT_GT(GridRowSpan(0, 0x7FFFFFFF), kMaxGridRows);
    EXPECT_EQ(GridRowSpan(-0x7FFFFFFF, 0x7FFFFFFF), 0xFFFFFFFFLL);
}

TEST(GridRecords, DragOptionsAndFontsFollowTheSwitches) {
    EXPECT_EQ(DragOptions(false, false, false), 3);
    EXPECT_EQ(DragOptions(true, false, false), 1);
    EXPECT_EQ(DragOptions(false, true, false), 2);
    EXPECT_EQ(DragOptions(false, false, true), 0);
    EXPECT_EQ(GridFontSetting(-1), 10);
    EXPECT_EQ(GridFontSetting(0), 0);
    EXPECT_EQ(GridFontSetting(2), 7);
    std::vector<int> w = ColumnWeights("700" + E + E + "400", 4);
    EXPECT_EQ(w, (std::vector<int>{700, 0, 400, 0}));
    EXPECT_EQ(ColumnWeights("700" + E + "700" + E + "700", 2).size(), 2u);
}

TEST(GridRecords, RowRecordSplitsAtEveryEndAndKeepsEmptyCells) {
    const std::string record = "a" + E + E + "c" + E;
    auto cells = SplitRowRecord(record);
    ASSERT_EQ(cells.size(), 3u);
    EXPECT_EQ(cells[0], "a");
    EXPECT_EQ(cells[1], "");
    EXPECT_EQ(cells[2], "c");
    EXPECT_EQ(SplitRowRecord("x").size(), 1u);
    EXPECT_TRUE(SplitRowRecord("").empty());
}

TEST(GridRecords, CellRecordFeedsEveryAttribute) {
    //                     1       2    3    4    5    6    7     8    9    10   11   12   13   14    15   16
    //                     17   18
    CellRecord c = ParseCellRecord(Cell(
        {"Text", "1", "3", "J", "5", "1", "42", "2", "5", "0", "3", "4", "9", "40", "1", "0", "7", "1"}));
    EXPECT_EQ(c.text, "Text");
    EXPECT_EQ(c.columnFlags, kColumnEnabled | 0x1000u | 0x4000u | 5u);
    EXPECT_FALSE(c.normalRow);
    EXPECT_EQ(c.data, 42);
    EXPECT_EQ(c.textColour, 2);
    EXPECT_EQ(c.backColour, 5);
    EXPECT_FALSE(c.skip);
    EXPECT_EQ(c.image, 2);
    EXPECT_EQ(c.shape, 4);
    EXPECT_EQ(c.rowLowByte, 9u);
    EXPECT_TRUE(c.hasHeight);
    EXPECT_EQ(c.height, 40);
    EXPECT_EQ(c.style, 0x8000u | 0x2000u);
    EXPECT_EQ(c.extra, 7);
}

TEST(GridRecords, CellRecordDefaultsOfShortRecords) {
    // a column is hidden only when piece 2 is not "2" and piece 3 is "0"
    EXPECT_EQ(ParseCellRecord(Cell({"x", "1", "0"})).columnFlags & kColumnEnabled, 0u);
    EXPECT_NE(ParseCellRecord(Cell({"x", "2", "0"})).columnFlags & kColumnEnabled, 0u);
    EXPECT_NE(ParseCellRecord(Cell({"x", "1", "1"})).columnFlags & kColumnEnabled, 0u);
    CellRecord text = ParseCellRecord("nur Text");
    EXPECT_EQ(text.text, "nur Text");
    EXPECT_TRUE(text.normalRow);
    EXPECT_EQ(text.image, -1);
    EXPECT_FALSE(text.hasHeight);
    EXPECT_EQ(text.style, 0u);
    CellRecord hidden =
        ParseCellRecord(Cell({"", "", "", "", "300", "", "", "", "", "0", "", "", "256", "0"}));
    EXPECT_EQ(hidden.columnFlags & 0xFF, 300u & 0xFF);
    EXPECT_EQ(hidden.rowLowByte, 0u);
    EXPECT_TRUE(hidden.hasHeight);
    EXPECT_EQ(hidden.height, 0);
}

TEST(GridWidths, ThreeHexDigitsAColumnAndFffLeavesIt) {
    EXPECT_EQ(ParseColumnWidths("064064FFF032", 4), (std::vector<int>{100, 100, -1, 50}));
    EXPECT_EQ(ParseColumnWidths("064064FFF032", 2), (std::vector<int>{100, 100}));
    // lower case and other characters count as 0; a short last group is read as it stands
    EXPECT_EQ(ParseColumnWidths("0x1fG", 2), (std::vector<int>{1, 0}));
    EXPECT_EQ(ParseColumnWidths("", 3), std::vector<int>{});
}

TEST(GridWidths, ChunksCloseAfter400CharactersAndRoundTrip) {
    std::vector<int> widths(200, 0x64);
    widths[3] = 5000;
    auto chunks = ColumnWidthChunks(widths);
    ASSERT_EQ(chunks.size(), 2u);
    EXPECT_EQ(chunks[0].size(), 402u);
    EXPECT_EQ(chunks[1].size(), 600u - 402u);
    auto back = ParseColumnWidths(chunks[0] + chunks[1], 200);
    EXPECT_EQ(back[0], 0x64);
    EXPECT_EQ(back[3], 0xFFE);
    EXPECT_TRUE(ColumnWidthChunks({}).empty());
}

TEST(GridLines, ValuesArriveQuotedOrEscaped) {
    EXPECT_EQ(ScrollRecordLine("GRD"), "W $$SCR^QCC(\"GRD\")");
    EXPECT_EQ(ScrollColumnLine("A\"B", 3), "W $$SCROLL^QCC(\"A\"\"B\",3)");
    EXPECT_EQ(GetRowLine("GRD", -2, 1, 6), "W $$GETROW^QCC(\"GRD\",-2,1,6)");
    EXPECT_EQ(GetCellLine("GRD", 17, 2), "W $$GETCELL^QCC(\"GRD\",17,2)");
    EXPECT_EQ(CellKeyLine("G\"R", "S3"), "W $G(^QM(\"G\"\"R\",0,\"FKT\",\"S3\"))");
    EXPECT_EQ(SaveWidthChunkLine("GRD", 1, "064"), "S ^Z(\"SCROLL\",$G(%USER),\"GRD\",1)=\"064\"");
    EXPECT_EQ(SavedWidthsLine("K\""),
              "S %QCD=\"\" F  S %QCD=$O(^Z(\"SCROLL\",$G(%USER),\"K\"\"\",%QCD)) Q:%QCD=\"\"  W $G(^(%QCD))");
}

TEST(GridLines, CellTextsCarryQuotesAs255AndTabsSpliced) {
    const std::string text = "2 \"St\"\tx";
    const std::string e = "2 \xFFSt\xFF\"_$C(09)_\"x";
    EXPECT_EQ(CellSaveLine(true, 3, 5, 7, 2, text),
              "K %CR S:1 %CR=\"\" S %PP(\"CHARPOS\")=\"3,5\" W $$PRS^QCC(7,2,\"" + e + "\")");
    EXPECT_EQ(CellSaveLine(false, 1, 1, 1, 1, ""),
              "K %CR S:0 %CR=\"\" S %PP(\"CHARPOS\")=\"1,1\" W $$PRS^QCC(1,1,\"\")");
    EXPECT_EQ(CellLeftLine(7, 2, text), "K %CR S %KFOCUS=\"\" W $$PRS^QCC(7,2,\"" + e + "\") K %KFOCUS");
    EXPECT_EQ(CellFocusLine(7, 2, text, false), "K %TAB,%DDN(\"FOCUS\") W $$FOS^QCC(7,2,\"" + e + "\")");
    EXPECT_EQ(CellFocusLine(7, 2, "", true),
              "S %DDN(\"FOCUS\")=\"\" K %TAB W $$FOS^QCC(7,2,\"\") K %DDN(\"FOCUS\")");
    // the table popup escapes its text like the other cell lines
    EXPECT_EQ(TablesLine(3, text), "W $P($$TABLES^QCC(3,\"" + e + "\"),%DL,3)");
}

TEST(GridLines, NotificationLinesNameColumnThenRow) {
    EXPECT_EQ(DragLine(2, 5), "W $$DRAG^QCD(2,5)");
    EXPECT_EQ(DropCellLine(2, 5), "W $$DROPN^QCD(2,5)");
    EXPECT_EQ(DropCellYesLine(5), "W $$DROPN^QCD(\"\",5)");
    EXPECT_EQ(EditClickLine(4), "W $$CLICK^QCD(4,\"EDIT\") K %INF");
    EXPECT_EQ(ClickLine(4, 1), "W $$CLICK^QCD(4,1) K %INF");
    EXPECT_EQ(RightClickLine(4, 1), "W $$RCLICK^QCD(4,1)");
    EXPECT_EQ(EnterLine(4, 1), "W $$ENTER^QCD(4,1)");
    EXPECT_EQ(InfoLine(4, 1), "W $$INF^QCD(4,1) K %INF");
    EXPECT_EQ(SizeLine(1, 9), "W $$SIZE^QCD(1,9)");
    EXPECT_EQ(InsertRowLine(9), "W $$ZEINF^QCC(9)");
    EXPECT_EQ(DeleteRowLine(9), "W $$ZLOE^QCC(9)");
    CursorPosition p = ParseCursorPosition("3" + S + "12" + S + "0" + S + "x");
    EXPECT_EQ(p.p[0], 3);
    EXPECT_EQ(p.p[1], 12);
    EXPECT_EQ(p.p[2], 0);
    EXPECT_EQ(p.p[3], 0);
}

TEST(GridLoading, ProgressChangesAFewHundredTimesWhateverTheRows) {
    for (int last : {0, 1, 7, 2000, 100000}) {
        int changes = 0, previous = -1;
        for (int i = 0; i <= last; ++i) {
            int step = LoadProgressStep(i, 0, last);
            EXPECT_GE(step, previous) << last;
            if (step != previous) ++changes;
            previous = step;
        }
        EXPECT_LE(changes, kLoadSteps + 1) << last;
        EXPECT_EQ(previous, kLoadSteps) << "ends full";
    }
    EXPECT_EQ(LoadProgressStep(-2, -2, 2000), 0) << "header rows below 0 start the bar";
    EXPECT_EQ(LoadProgressStep(5, 0, 0), kLoadSteps);
    EXPECT_EQ(LoadProgressStep(2147483647, -2147483647 - 1, 2147483647), kLoadSteps) << "no overflow";
}

TEST(GridRecords, AFailingCellIsReadOnlyWhereItMakesSense) {
    EXPECT_FALSE(ParseGridCheck("").failed);

    GridCheck cell = ParseGridCheck("3\xA7"
                                    "2\xA7"
                                    "Menge fehlt");
    EXPECT_TRUE(cell.failed);
    EXPECT_EQ(cell.row, 3);
    EXPECT_EQ(cell.column, 2);
    EXPECT_EQ(cell.message, "Menge fehlt");

    // Any answer refuses the save; a cell the grid cannot have moves nothing.
    for (const char* answer : {"x\xA7y\xA7Text", "0\xA7" "1\xA7Text", "4\xA7" "-1\xA7Text", "5"}) {
        GridCheck odd = ParseGridCheck(answer);
        EXPECT_TRUE(odd.failed) << answer;
        EXPECT_EQ(odd.row, 0) << answer;
        EXPECT_EQ(odd.column, 0) << answer;
    }
}
