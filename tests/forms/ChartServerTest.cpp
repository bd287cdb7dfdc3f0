// The demo screen DIA «Statistik» against the fixture's dbserver: two charts read from arrays
// whose names carry subscripts, one of them with a Y range above 200,000.
#include "controls/Diagramm.h"
#include "tests/forms/FormServerFixture.h"

using demotrace::Has;


class ChartServerTest : public FormServerTestBase {};

TEST_F(ChartServerTest, DiaShowsBothChartsWithTheirSeriesLabelsAndNoMessage) {
    LogIn();
    StartMemo("DIA");
    ASSERT_NE(Form(), nullptr);
    EXPECT_TRUE(Has(Trace(), "INIT^QDIA"));
    auto* stat = dynamic_cast<CDiagramm*>(CWnd::FromHandlePermanent(Field(1)));
    auto* turnover = dynamic_cast<CDiagramm*>(CWnd::FromHandlePermanent(Field(2)));
    ASSERT_NE(stat, nullptr);
    ASSERT_NE(turnover, nullptr);
    const chart::Content& a = stat->Content();
    ASSERT_TRUE(a.valid);
    EXPECT_EQ(a.title, "Patienten 2026");
    EXPECT_EQ(a.labelsX.size(), 12u);
    EXPECT_EQ(a.labelsX[2], "M\xE4r");
    ASSERT_EQ(a.series.size(), 3u);
    EXPECT_EQ(a.series[0].kind, 0);
    EXPECT_EQ(a.series[1].kind, 1);
    EXPECT_EQ(a.series[2].kind, 2);
    EXPECT_EQ(a.series[0].points[0].text, "Jan Neuaufnahmen: 42");
    const chart::Content& b = turnover->Content();
    ASSERT_TRUE(b.valid);
    ASSERT_EQ(b.series.size(), 2u);
    // 238,000 of 0-250,000 lands where 64-bit arithmetic puts it.
    EXPECT_EQ(b.series[0].points[3].y, static_cast<int>(238000LL * chart::kUnits / 250000));
    EXPECT_EQ(b.rasterY, static_cast<int>(50000LL * chart::kUnits / 250000));
    SaveArtefact("statistik.bmp");
}
