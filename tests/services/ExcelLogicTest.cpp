#include "services/ExcelLogic.h"

#include <gtest/gtest.h>

using namespace vorlan;

TEST(ExcelLogic, FillAreaIsLettersColonRowWithinTheBounds) {
    auto area = ParseFillArea("C:2");
    ASSERT_TRUE(area);
    EXPECT_EQ(area->columns, 3);
    EXPECT_EQ(area->rows, 2);
    area = ParseFillArea("ZZ:10");
    ASSERT_TRUE(area);
    EXPECT_EQ(area->columns, 702);
    EXPECT_EQ(ParseFillArea("k:40")->columns, 11);
    for (const char* bad :
         {"", "C", ":2", "C:", "C:0", "3:2", "C:2x", "AAA:1", "C:-2", "ZZ:143", "A:100001", " C:2"})
        EXPECT_FALSE(ParseFillArea(bad)) << bad;
    EXPECT_TRUE(ParseFillArea("ZZ:142")) << "99,684 cells";
}

TEST(ExcelLogic, CellNamesRunFromAToZZ) {
    EXPECT_EQ(CellName(1, 1), "A1");
    EXPECT_EQ(CellName(26, 7), "Z7");
    EXPECT_EQ(CellName(27, 1), "AA1");
    EXPECT_EQ(CellName(52, 3), "AZ3");
    EXPECT_EQ(CellName(53, 3), "BA3");
    EXPECT_EQ(CellName(702, 10), "ZZ10");
    EXPECT_EQ(CellName(703, 1), "");
    EXPECT_EQ(CellName(0, 1), "");
}

TEST(ExcelLogic, MarkersNameTheirGlobalAndQuoteTheKey) {
    auto m = ParseMarker("#-12");
    ASSERT_TRUE(m);
    EXPECT_TRUE(m->negate);
    EXPECT_EQ(MarkerLine(*m), "W $G(^FQS(%JOB,AUSW,FSA,\"U12\"))");
    EXPECT_EQ(MarkerLine(*ParseMarker(">a\"b")), "W $G(^FQS(%JOB,AUSW,FSA,\"Va\"\"b\"))");
    EXPECT_EQ(MarkerLine(*ParseMarker("*k")), "W $G(^FQM(%JOB,AUSW,FSA,\"Uk\"))");
    EXPECT_EQ(MarkerLine(*ParseMarker("<k")), "W $G(^FQM(%JOB,AUSW,FSA,\"Vk\"))");
    EXPECT_EQ(MarkerLine(*ParseMarker("$^ZX(1,\"a\",B)")), "W $G(^ZX(1,\"a\",B))");
    EXPECT_EQ(MarkerLine(*ParseMarker("$X) K ^ZX W (1")), "") << "code in a cell runs nowhere";
    EXPECT_FALSE(ParseMarker("#"));
    EXPECT_FALSE(ParseMarker("#-"));
    EXPECT_FALSE(ParseMarker("Text"));
    EXPECT_FALSE(ParseMarker(""));
}

TEST(ExcelLogic, DollarMarkersReadOnlyVariables) {
    for (const char* good :
         {"X", "%MEMO", "^ZX", "^ZX(1)", "A(\"a,b\")", "A(\"x\"\")\")", "A(-1.5,B,\"\")", "%W(\"K\")"})
        EXPECT_TRUE(IsVariableReference(good)) << good;
    for (const char* bad : {"", "^", "1X", "X(", "X()", "X(1", "X(1))", "$H", "@X", "X_Y", "X(A(1))",
                            "X(\"a)", "X K ^Y", "X(1)W", "X(,1)", "^|\"G\"|X"})
        EXPECT_FALSE(IsVariableReference(bad)) << bad;
    EXPECT_TRUE(IsVariableReference("^" + std::string(31, 'Z') + "(" + std::string(31, 'A') + ")"));
    EXPECT_FALSE(IsVariableReference(std::string(32, 'Z'))) << "longer than any M name";
    EXPECT_FALSE(IsVariableReference("Z(" + std::string(60000, 'A') + ")"));
}

TEST(ExcelLogic, ValueRules) {
    Marker number{'#', true, "12"};
    CellValue v = MarkerValue(number, "3.5");
    EXPECT_TRUE(v.number);
    EXPECT_DOUBLE_EQ(v.value, -3.5);
    v = MarkerValue(Marker{'#', false, "12"}, "-3.5");
    EXPECT_DOUBLE_EQ(v.value, -3.5);
    v = MarkerValue(number, "$0815");
    EXPECT_FALSE(v.number);
    EXPECT_EQ(v.text, "0815") << "the leading zero stays";
    v = MarkerValue(number, "");
    EXPECT_FALSE(v.number);
    EXPECT_EQ(v.text, "");
    v = MarkerValue(number, "abc");
    EXPECT_FALSE(v.number) << "no number: the text";
    EXPECT_EQ(v.text, "abc");
    v = MarkerValue(Marker{'$', false, "X"}, "42");
    EXPECT_FALSE(v.number) << "a variable's value is text";

    v = ListValue(" 12.5 ", "1");
    EXPECT_TRUE(v.number);
    EXPECT_DOUBLE_EQ(v.value, 12.5);
    v = ListValue("0815", "");
    EXPECT_FALSE(v.number);
    EXPECT_EQ(v.text, "0815");
    EXPECT_FALSE(ListValue("1,5", "1").number);
}

TEST(ExcelLogic, NamesOfFiles) {
    EXPECT_EQ(ResolveAgainst("C:\\Vorlagen", "a.xls"), "C:\\Vorlagen\\a.xls");
    EXPECT_EQ(ResolveAgainst("C:\\Vorlagen\\", "sub\\a.xls"), "C:\\Vorlagen\\sub\\a.xls");
    EXPECT_EQ(ResolveAgainst("C:\\Vorlagen", "D:\\a.xls"), "D:\\a.xls");
    EXPECT_EQ(ResolveAgainst("C:\\Vorlagen", "\\\\srv\\a.xls"), "\\\\srv\\a.xls");
    EXPECT_EQ(ResolveAgainst("", "a.xls"), "a.xls");
    EXPECT_EQ(ResolveAgainst("Z:\\f\\", "aus\\"), "Z:\\f\\aus\\");
    EXPECT_EQ(ResolveAgainst("Z:\\f", "/tmp/a.rtf"), "/tmp/a.rtf");
    EXPECT_EQ(ResolveAgainst("Z:\\f\\", ""), "") << "the generator's own part folders";
    EXPECT_EQ(TemporaryWorkbookName("C:\\TEMP\\", 1, "Mappe1"), "C:\\TEMP\\~# 1 Mappe1");
    EXPECT_EQ(TemporaryWorkbookName("C:\\TEMP\\", 12, "a.xls"), "C:\\TEMP\\~#12 a.xls");
}

TEST(ExcelLogic, CellListLinesQuoteTheCellName) {
    EXPECT_EQ(excel::CellValueLine("A1"), "W $G(^QTEMP(%JOB,\"EXCEL\",\"A1\"))");
    EXPECT_EQ(excel::CellFlagLine("B\"7"), "W $G(^QTEMP(%JOB,\"EXCEL\",\"B\"\"7\",\"F\"))");
}
