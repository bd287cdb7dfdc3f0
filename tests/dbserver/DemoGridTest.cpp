// The demo application's grids through the fixture's dbserver, asked with the form's own
// lines: rows as the form reads them, and the answers the grid's steps depend on.
#include "forms/GridLogic.h"
#include "tests/dbserver/DemoLines.h"

#include <gtest/gtest.h>

#include <memory>
#include <string>

namespace vorlan::dbserver::test {
namespace {

const std::string E = "\xFF";

class DemoGridTest : public FixtureTest {
  protected:
    // A job with the screen's rows, as the form's init makes them.
    std::unique_ptr<TestClient> Opened(const std::string& screen) {
        auto c = Connect();
        EXPECT_EQ(c->Exec(LoginLine("demo", "demo", true)), "demo");
        c->Exec("S %DN=" + MQuote(screen) + " D INIT^WQMD");
        return c;
    }
};

} // namespace

TEST_F(DemoGridTest, RowRecordsKeepTheFormsScratchAndCarryNoQuotes) {
    auto c = Opened("GRD");
    EXPECT_EQ(c->Exec(ScrollRecordLine("GRD")), "6" + S + "2" + S + "2" + S + "1" + S + "2" + S + "0");
    c->Exec("S %QCC=\"a\",%QCD=\"b\"");
    std::string row = c->Exec(GetRowLine("GRD", 3, 1, 6));
    EXPECT_EQ(c->Exec("W %QCC_%QCD"), "ab") << "the form's own scratch variables stay";
    ASSERT_EQ(SplitRowRecord(row).size(), 6u);
    EXPECT_EQ(ParseCellRecord(SplitRowRecord(row)[1]).text, "R\xF6ntgen");

    // A quote saved into a cell comes back without it: the form reads $C(255) as a cell's end.
    c->Exec("S %DN=\"GRD\"");
    EXPECT_EQ(PieceOf(c->Exec(CellSaveLine(true, 1, 1, 3, 6, "ein \"Zitat\"")), 3), "");
    EXPECT_EQ(c->Exec("W $P(^QGRD($J,3),$C(167),5)"), "ein \"Zitat\"");
    row = c->Exec(GetRowLine("GRD", 3, 1, 6));
    EXPECT_EQ(row.find('"'), std::string::npos);
    ASSERT_EQ(SplitRowRecord(row).size(), 6u);
    EXPECT_EQ(ParseCellRecord(SplitRowRecord(row)[5]).text, "ein Zitat");
    EXPECT_EQ(c->Exec(GetCellLine("GRD", 3, 6)).find(E), std::string::npos);
}

TEST_F(DemoGridTest, QuantitiesAreWholeNumbersFromOneTo99) {
    auto c = Opened("GRD");
    for (const char* bad : {"0", "100", "1,5", "", "x"})
        EXPECT_EQ(PieceOf(c->Exec(CellSaveLine(true, 1, 1, 2, 3, bad)), 3), "1") << bad;
    EXPECT_EQ(PieceOf(c->Exec(CellSaveLine(true, 1, 1, 2, 3, "99")), 3), "");
    EXPECT_EQ(c->Exec("W $P(^QGRD($J,2),$C(167),2)"), "99");
}

TEST_F(DemoGridTest, RowsMoveWithInsertDeleteAndDrag) {
    auto c = Opened("GRD");
    EXPECT_EQ(c->Exec(InsertRowLine(1)), "");
    EXPECT_EQ(c->Exec("W %WIN(\"ZEL\")"), "1" + S + "1" + S + "1");
    EXPECT_EQ(c->Exec("W $O(^QGRD($J,\"\"),-1)"), "2001");
    EXPECT_EQ(c->Exec(DeleteRowLine(1)), "");
    EXPECT_EQ(c->Exec("W %WIN(\"ZEL\")"), "1" + S + "1" + S + "0");
    EXPECT_NE(c->Exec(DeleteRowLine(5000)), "") << "a row that is not there";

    auto l = Opened("GRL");
    EXPECT_EQ(l->Exec(DragLine(1, 2)), "2" + S + "2" + S + "1" + S + "4");
    EXPECT_EQ(l->Exec(SizeLine(4, 200)), "1");
    EXPECT_EQ(l->Exec("W $P(^QGRL($J,200),$C(167),2)"), "Artikel 2");
    EXPECT_EQ(l->Exec("W ^QGRL($J,200)"), "200" + S + "Artikel 2" + S + "3");
    EXPECT_EQ(l->Exec(SizeLine(4, 3)), "") << "without a drag nothing moves";
}

TEST_F(DemoGridTest, EveryGridLabelAnswersSafelyWithoutAnEntry) {
    auto c = Opened("GRX");
    EXPECT_EQ(c->Exec("W $O(^QGRX($J,\"\"),-1)"), "100000");
    EXPECT_EQ(SplitRowRecord(c->Exec(GetRowLine("GRX", 100000, 1, 5))).size(), 5u);
    for (const std::string& line :
         {DragLine(1, 1), DropCellLine(1, 1), EnterLine(1, 1), ClickLine(1, 1), RightClickLine(1, 1),
          InfoLine(1, 1), SizeLine(1, 1), EditClickLine(1), InsertRowLine(1), DeleteRowLine(1),
          TablesLine(1, "x"), std::string(gridline::kDropAnswer), std::string(gridline::kCheckCells)})
        EXPECT_EQ(c->Exec(line), "") << line;
    EXPECT_EQ(c->Exec(GetRowLine("GRX", 100001, 1, 5)), E + E + E + E + E)
        << "past the last row: empty cells";
}

} // namespace vorlan::dbserver::test
