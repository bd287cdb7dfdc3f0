#include "tools/DataExplorerLogic.h"

#include <gtest/gtest.h>

using namespace vorlan;

namespace {
const std::string kDl = "\xA7";
}

// A subscript pasted back must name the same node: numbers the server keeps as numbers stay
// bare, everything else (strings, numbers in a form the server never gives back) is quoted.
TEST(DataExplorerLogic, PathsKeepSubscriptsInMForm) {
    struct Case {
        const char* subscript;
        const char* literal;
    } cases[] = {
        {"2020", "2020"},
        {"-5", "-5"},
        {".5", ".5"},
        {"12.25", "12.25"},
        {"0", "0"},
        {"M\xFCller", "\"M\xFCller\""},
        {"a\"b", "\"a\"\"b\""},
        {"007", "\"007\""},
        {"1.50", "\"1.50\""},
        {"0.5", "\"0.5\""},
        {"-0", "\"-0\""},
        {"1.", "\"1.\""},
        {"", "\"\""},
        {"1E3", "\"1E3\""},
        {"1234567890123456789", "\"1234567890123456789\""},
        {"x\ty", "\"x\"_$C(9)_\"y\""},
    };
    for (const Case& c : cases)
        EXPECT_EQ(SubscriptLiteral(c.subscript), c.literal) << c.subscript;
    EXPECT_EQ(ChildPath("", "2021"), "2021");
    EXPECT_EQ(ChildPath("2021", "M\xFCller"), "2021,\"M\xFCller\"");
    EXPECT_EQ(PathPrefix(""), "");
    EXPECT_EQ(PathPrefix("2021,\"A\""), "2021,\"A\",");
}

TEST(DataExplorerLogic, LinesAddressTheArrayBelowItsReference) {
    namespace x = explorer;
    const std::string a = "^ZDEX(\"R\",";
    EXPECT_EQ(x::FkeyLine(a), "W $G(^ZDEX(\"R\",0,\"FKEY\"))");
    EXPECT_EQ(x::NextLine(a, ""), "S Q=$O(^ZDEX(\"R\",Q)) W Q");
    EXPECT_EQ(x::NextLine(a, "2021,"), "S Q=$O(^ZDEX(\"R\",2021,Q)) W Q");
    EXPECT_EQ(x::HeaderOfQLine(a, "2021,"), "W $G(^ZDEX(\"R\",2021,Q,0,\"HEADER\"))");
    EXPECT_EQ(x::FlagOfQLine(a, ""), "W $G(^ZDEX(\"R\",Q,0,\"FLAG\"))");
    EXPECT_EQ(x::TextOfQLine(a, ""), "W $P($G(^ZDEX(\"R\",Q)),%DL)");
    EXPECT_EQ(x::HasChildrenLine(a, "2021"), "W:$O(^ZDEX(\"R\",2021,0))'=\"\" 1");
    EXPECT_EQ(x::LoadRoutineLine(a, "2021"),
              "S Q=$G(^ZDEX(\"R\",2021,0,\"LOADRTN\")) K ^ZDEX(\"R\",2021,0,\"LOADRTN\") W Q D:Q'=\"\" @Q");
    EXPECT_EQ(x::HeaderLine(a, "2021"), "W $G(^ZDEX(\"R\",2021,0,\"HEADER\"))");
    EXPECT_EQ(x::ColumnLine(a, "2021"), "S Q=Q+1 W $G(^ZDEX(\"R\",2021,0,\"HEADER\",Q))");
    EXPECT_EQ(x::RowFlagLine(a, "2021"), "W $G(^ZDEX(\"R\",2021,Q,0,\"FLAG\"))");
    EXPECT_EQ(x::RowLine(a, "2021"), "W $G(^ZDEX(\"R\",2021,Q))");
    EXPECT_EQ(x::FeldLine(a, "2021,1"), "W $G(^ZDEX(\"R\",2021,1,0,\"FELD\"))");
    // The report carries the path with its quotes and whatever FELD holds as values.
    EXPECT_EQ(x::ReportLine(a, "2021,\"M\xFCller\"", "a\"b"),
              "S %FELD=\"^ZDEX(\"\"R\"\",\"_%DL_\"2021,\"\"M\xFCller\"\"\"_%DL_\"a\"\"b\"");
}

TEST(DataExplorerLogic, HeaderRowsAndFlags) {
    EXPECT_EQ(HeaderTitles("Nr" + kDl + "Datum" + kDl + kDl + "Rest"),
              (std::vector<std::string>{"Nr", "Datum"}));
    EXPECT_TRUE(HeaderTitles(kDl).empty()) << "a HEADER without titles gives no columns";
    EXPECT_TRUE(HeaderTitles("").empty());
    ColumnAttributes right = ParseColumnAttributes("1" + kDl + "2");
    EXPECT_EQ(right.align, 1);
    EXPECT_EQ(right.type, 2);
    EXPECT_EQ(ParseColumnAttributes("2").align, 2);
    EXPECT_EQ(ParseColumnAttributes("x" + kDl + "3").align, 0);
    EXPECT_EQ(ParseColumnAttributes("").type, 0);
    EXPECT_EQ(RowCells("  7" + kDl + " a b" + kDl), (std::vector<std::string>{"7", "a b", ""}));
    EXPECT_EQ(FirstPieceNumber("3" + kDl + "x"), 3);
    EXPECT_EQ(FirstPieceNumber(""), 0);
    EXPECT_EQ(FirstPieceNumber("-1"), -1);
}

TEST(DataExplorerLogic, CompareRowsByColumnType) {
    // type 0: text without case
    EXPECT_LT(CompareRows("adler", "Becker", kTypeText, false), 0);
    EXPECT_EQ(CompareRows("Adler", "adler", kTypeText, false), 0);
    // type 1: digits and minus as a number
    EXPECT_LT(CompareRows("9", "10", kTypeNumber, false), 0);
    EXPECT_LT(CompareRows("-5", "3", kTypeNumber, false), 0);
    EXPECT_GT(CompareRows("1.200,00", "80,50", kTypeNumber, false), 0);
    // type 2: DDMMYYYY read as a date, across the turn of the year
    EXPECT_LT(CompareRows("31122020", "01012021", kTypeDate, false), 0);
    EXPECT_LT(CompareRows("31.12.2020", "01.02.2021", kTypeDate, false), 0) << "dots are dropped";
    EXPECT_GT(CompareRows("15032021", "01012021", kTypeDate, false), 0);
    // other types: the digits as text
    EXPECT_GT(CompareRows("9", "10", 4, false), 0);
    // descending turns every result round
    EXPECT_GT(CompareRows("31122020", "01012021", kTypeDate, true), 0);
    EXPECT_GT(CompareRows("a", "b", kTypeText, true), 0);
    // only the first 127 characters count
    EXPECT_EQ(CompareRows(std::string(127, 'a') + "x", std::string(127, 'a') + "y", kTypeText, false), 0);
}

TEST(DataExplorerLogic, HeaderClicksSortAndFlip) {
    SortState sort;
    sort.Reset(3);
    EXPECT_EQ(sort.column, 0);
    EXPECT_FALSE(sort.descending);
    EXPECT_TRUE(sort.Click(2, kTypeDate));
    EXPECT_EQ(sort.column, 2);
    EXPECT_FALSE(sort.descending);
    EXPECT_TRUE(sort.Click(2, kTypeDate));
    EXPECT_TRUE(sort.descending) << "the same header twice sorts descending";
    EXPECT_FALSE(sort.Click(1, kTypeUnsorted));
    EXPECT_EQ(sort.column, 2);
    sort.Reset(5);
    EXPECT_EQ(sort.column, 2) << "a table with the column keeps its order";
    EXPECT_TRUE(sort.descending);
    sort.Reset(2);
    EXPECT_EQ(sort.column, 0);
    EXPECT_FALSE(sort.descending);
    sort.Reset(0);
    EXPECT_EQ(sort.column, -1) << "no columns: no sorting";
}
