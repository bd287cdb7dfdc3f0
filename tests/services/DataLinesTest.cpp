// Values of any size into server variables, and the SQL service's lines.
#include "services/DataLines.h"
#include "services/SqlLines.h"
#include "tests/common/MLiteral.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorlan;
using vorlan::test::EvalMLiteral;

namespace {

// What the appending lines leave in the variable, evaluated as the server would.
std::string Assembled(const std::vector<std::string>& lines, const std::string& reference,
                      const std::string& tail = "") {
    std::string value;
    for (size_t i = 0; i < lines.size(); ++i) {
        std::string head = "S " + reference + "=" + (i ? reference + "_" : "");
        EXPECT_EQ(lines[i].compare(0, head.size(), head), 0) << lines[i];
        std::string expr = lines[i].substr(head.size());
        if (i + 1 == lines.size()) {
            EXPECT_EQ(expr.substr(expr.size() - tail.size()), tail);
            expr.resize(expr.size() - tail.size());
        }
        EXPECT_LE(lines[i].size(), 8000u) << "GT.M executes at most 8 KB";
        auto part = EvalMLiteral(expr);
        EXPECT_TRUE(part.has_value()) << expr;
        value += part.value_or("");
    }
    return value;
}

} // namespace

TEST(DataLines, CharCodesGroupAtMost255) {
    EXPECT_EQ(CharCodes(std::string("A\0<", 3)), "$C(65,0,60)");
    EXPECT_EQ(CharCodes(""), "\"\"");
    std::string bytes(600, 'x');
    std::string codes = CharCodes(bytes);
    EXPECT_EQ(codes.find(")_$C("), 255u * 4 + 2) << "first group: 255 codes of \"120,\"";
    EXPECT_EQ(EvalMLiteral(codes), bytes);
}

TEST(DataLines, LongValuesArriveWholeInAppendingSets) {
    std::string value;
    for (int i = 0; i < 20000; ++i)
        value += static_cast<char>(i % 256);
    for (bool codes : {false, true}) {
        auto lines = AppendingSetLines("^X(1)", ValueParts(value, codes), ",N=N+1");
        EXPECT_GT(lines.size(), 10u);
        EXPECT_EQ(Assembled(lines, "^X(1)", ",N=N+1"), value);
    }
    auto empty = AppendingSetLines("^X(1)", ValueParts(""));
    EXPECT_EQ(empty, std::vector<std::string>{"S ^X(1)=\"\""});
}

TEST(SqlLines, ValuesFullOfControlCharactersStayWithinTheLineLimit) {
    std::string value;
    for (int i = 0; i < 6000; ++i)
        value += i % 2 ? static_cast<char>(1 + i % 31) : 'a';
    auto lines = SqlValueLines(3, value);
    for (const auto& line : lines)
        EXPECT_LE(line.size(), 8192u);
    std::string back = Assembled(lines, "^TEMPSQL(%JOB,3,ROW,COLUMN)", ",COLUMN=COLUMN+1");
    EXPECT_EQ(back, value);
}

TEST(SqlLines, OnlyUpperCaseSelectAtTheStartReadsRows) {
    EXPECT_TRUE(IsSqlQuery("SELECT nr FROM kunden"));
    EXPECT_FALSE(IsSqlQuery("select count(*) from kunden"));
    EXPECT_FALSE(IsSqlQuery(" SELECT 1"));
    EXPECT_FALSE(IsSqlQuery("Select 1"));
    EXPECT_FALSE(IsSqlQuery("UPDATE kunden SET gelesen = 1"));
}

TEST(SqlLines, ValuesTurnQuotesIntoAcuteAndKeepControlsExact) {
    auto lines = SqlValueLines(2, std::string("O\"Neil\r\n\0x", 10));
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0], "S ^TEMPSQL(%JOB,2,ROW,COLUMN)=\"O\xB4Neil\"_$C(13,10,0)_\"x\",COLUMN=COLUMN+1");
    EXPECT_EQ(SqlValueLines(1, ""),
              std::vector<std::string>{"S ^TEMPSQL(%JOB,1,ROW,COLUMN)=\"\",COLUMN=COLUMN+1"})
        << "NULL and empty both arrive as an empty value";
    std::string big(9000, 'a');
    EXPECT_EQ(Assembled(SqlValueLines(1, big), "^TEMPSQL(%JOB,1,ROW,COLUMN)", ",COLUMN=COLUMN+1"), big);
}

TEST(SqlLines, StatementsAndTheFinalLine) {
    EXPECT_EQ(SqlStatementLine(3), "S ROW=0 W $G(^QTEMP(%JOB,\"%SQL\",\"SQL\",3))");
    EXPECT_EQ(kSqlStatementLimit, 4096u);
    EXPECT_EQ(SqlFinalLine("[SQLite]no such table: \"x\"", "ODBC;DSN=A", "DONE^ZSQL"),
              "S %F=\"[SQLite]no such table: \"\"x\"\"\",%ODBC=\"ODBC;DSN=A\" D DONE^ZSQL W $G(%F) K %F");
    EXPECT_EQ(SqlFinalLine("", "", ""), "S %F=\"\",%ODBC=\"\" W $G(%F) K %F") << "no bare D";
    EXPECT_EQ(SqlFailureText("DROP x§y"),
              "Folgende Anweisung konnte nicht ausgef\xFChrt werden:\n\nDROP x§y");
}
