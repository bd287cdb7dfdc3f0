#include "controls/GridPrintLayout.h"

#include <gtest/gtest.h>

using namespace gridprint;

namespace {

// Ten body rows of 20 under a 30-high fixed row on a body of 100: pages across 1 repeat the
// fixed row (three rows a page after the first), pages across 2 carry it on the first band only.
std::vector<int> Rows(int n, int h) {
    return std::vector<int>(static_cast<size_t>(n), h);
}

} // namespace

TEST(GridPrintLayout, FixedRowsRepeatOnEveryBandWithOnePageAcross) {
    Pagination p(Rows(10, 20), 30, 100, 1);
    // 30 + 3 x 20 = 90 fits, the fourth row would end at 110.
    ASSERT_EQ(p.BandCount(), 4);
    EXPECT_EQ(p.PageCount(), 4);
    for (int band = 1; band <= 3; ++band) {
        EXPECT_EQ(p.BandFirstRow(band), (band - 1) * 3) << band;
        EXPECT_EQ(p.BandEndRow(band), band * 3) << band;
        EXPECT_TRUE(p.BandHasFixedRows(band));
    }
    EXPECT_EQ(p.BandEndRow(4), 10);
    EXPECT_EQ(PageNumbering(2, 4, 1), "Seite 2 von 4");
}

TEST(GridPrintLayout, TwoPagesAcrossWithThreeBandsMakeSixPages) {
    // Band 1: fixed 30 + 3 rows; later bands hold 5 rows without the fixed row.
    Pagination p(Rows(13, 20), 30, 100, 2);
    ASSERT_EQ(p.BandCount(), 3);
    EXPECT_EQ(p.PageCount(), 6);
    EXPECT_EQ(p.BandFirstRow(2), 3);
    EXPECT_EQ(p.BandFirstRow(3), 8);
    EXPECT_EQ(p.BandEndRow(3), 13);
    EXPECT_TRUE(p.BandHasFixedRows(1));
    EXPECT_FALSE(p.BandHasFixedRows(2));

    PagePlace fourth = PlaceOfPage(4, 2);
    EXPECT_EQ(fourth.band, 2);
    EXPECT_EQ(fourth.slice, 1);
    EXPECT_EQ(PageNumbering(4, 6, 2), "Seite 4 von 6 (Reihe 2/3)");
    EXPECT_EQ(PageNumbering(1, 6, 2), "Seite 1 von 6 (Reihe 1/3)");
    EXPECT_EQ(PlaceOfPage(6, 2).band, 3);
    EXPECT_EQ(PlaceOfPage(5, 2).slice, 0);
}

TEST(GridPrintLayout, RowTallerThanTheBodyGetsAPageOfItsOwn) {
    // Rows 20, 500, 20 on a body of 100: the tall row would otherwise end every page it is on
    // and never print.
    Pagination p({20, 500, 20}, 30, 100, 1);
    ASSERT_EQ(p.BandCount(), 3);
    EXPECT_EQ(p.BandFirstRow(2), 1);
    EXPECT_EQ(p.BandEndRow(2), 2);
    EXPECT_EQ(p.BandFirstRow(3), 2);
    EXPECT_EQ(p.BandEndRow(3), 3);

    // As the very first row it does not leave an empty first page.
    Pagination first({500, 20}, 30, 100, 1);
    ASSERT_EQ(first.BandCount(), 2);
    EXPECT_EQ(first.BandEndRow(1), 1);
}

TEST(GridPrintLayout, PagesAcrossBelowOneCountAsOne) {
    EXPECT_EQ(PagesAcross(0), 1);
    EXPECT_EQ(PagesAcross(-3), 1);
    Pagination p(Rows(10, 20), 30, 100, 0);
    EXPECT_EQ(p.PageCount(), p.BandCount());
    EXPECT_TRUE(p.BandHasFixedRows(3));
    EXPECT_EQ(PlaceOfPage(3, 0).band, 3);
    EXPECT_EQ(PlaceOfPage(3, 0).slice, 0);
    EXPECT_EQ(BandSuffix(3, 4, 0), "");
}

TEST(GridPrintLayout, NoBodyRowsStillMakeOnePage) {
    Pagination p({}, 30, 100, 2);
    EXPECT_EQ(p.BandCount(), 1);
    EXPECT_EQ(p.PageCount(), 2);
    EXPECT_EQ(p.BandFirstRow(1), 0);
    EXPECT_EQ(p.BandEndRow(1), 0);
    // Bands out of range give empty row ranges rather than reading past the table.
    EXPECT_EQ(p.BandFirstRow(7), 0);
    EXPECT_EQ(p.BandEndRow(0), 0);
}

TEST(GridPrintLayout, HeaderLinesCountCarriageReturns) {
    EXPECT_EQ(HeaderLineCount("", "", ""), 0);
    EXPECT_EQ(HeaderLineCount("Links", "", ""), 1);
    EXPECT_EQ(HeaderLineCount("a\r\nb\r\n", "c\r\n", ""), 3);
    EXPECT_EQ(HeaderLineCount("", "", "\r"), 1);
}

TEST(GridPrintLayout, FooterCentreNamesTheWindowAndTheMemo) {
    EXPECT_EQ(FooterCentre("VORLAN", "Leistungen", ""), "VORLAN - Leistungen");
    EXPECT_EQ(FooterCentre("VORLAN", "Leistungen", "GRD"), "VORLAN - Leistungen [GRD]");
}
