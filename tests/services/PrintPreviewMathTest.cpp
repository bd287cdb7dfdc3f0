#include "services/PrintPreviewMath.h"

#include <gtest/gtest.h>

using namespace preview;

TEST(PrintPreviewMath, ZoomStepsStopAtTheLimits) {
    EXPECT_EQ(SteppedZoom(990, 1), 1000);
    EXPECT_EQ(SteppedZoom(20, -1), 5);
    EXPECT_EQ(SteppedZoom(100, 2), 166);
    EXPECT_EQ(SteppedZoom(100, -1), 67);
    EXPECT_EQ(SteppedZoom(1000, 1000000000), 1000);
    EXPECT_EQ(SteppedZoom(5, -1000000000), 5);
}

TEST(PrintPreviewMath, TypedZoomMustBeANumberInRange) {
    EXPECT_EQ(ParseZoomText("150"), 150);
    EXPECT_EQ(ParseZoomText("75%"), 75);
    EXPECT_EQ(ParseZoomText(" 5 % "), 5);
    EXPECT_EQ(ParseZoomText("1000"), 1000);
    EXPECT_FALSE(ParseZoomText("4"));
    EXPECT_FALSE(ParseZoomText("1001"));
    EXPECT_FALSE(ParseZoomText("99999999999999999999"));
    EXPECT_FALSE(ParseZoomText("Seitenbreite"));
    EXPECT_FALSE(ParseZoomText("12a"));
    EXPECT_FALSE(ParseZoomText(""));
}

TEST(PrintPreviewMath, PageAndUserValueAreClamped) {
    EXPECT_EQ(ClampUserValue(ParseNumber("0")), 1);
    EXPECT_EQ(ClampUserValue(ParseNumber("120")), 99);
    EXPECT_EQ(ClampUserValue(ParseNumber("")), 1);
    EXPECT_EQ(ClampUserValue(ParseNumber("-5")), 1);
    EXPECT_EQ(ClampUserValue(ParseNumber("99999999999")), 99);
    EXPECT_EQ(ClampPage(ParseNumber("17"), 1, 6), 6);
    EXPECT_EQ(ClampPage(0, 1, 6), 1);
    // A painter that reports no pages leaves page 1.
    EXPECT_EQ(ClampPage(3, 1, 0), 1);
}

TEST(PrintPreviewMath, GeometryFromPrinterDots) {
    // A4 at 300 dpi with quarter-inch margins, shown at 96 dpi.
    PrinterMetrics a4{2480, 3508, 75, 75, 2330, 3358, 300, 300};
    PaperGeometry g = ComputeGeometry(a4, 96, 96);
    EXPECT_EQ(g.width, 793);
    EXPECT_EQ(g.height, 1122);
    EXPECT_EQ(MarginFromRatio(g.width, g.left), 23);
    EXPECT_EQ(MarginFromRatio(g.width, g.right), 23);
    // No unprintable rest counts as one dot, never as a division by zero.
    PrinterMetrics edge{2480, 3508, 0, 0, 2480, 3508, 300, 300};
    PaperGeometry e = ComputeGeometry(edge, 96, 96);
    EXPECT_EQ(e.left, 2480000);
    EXPECT_EQ(MarginFromRatio(e.width, e.left), 0);
    EXPECT_EQ(MarginFromRatio(100, 0), 0);
    PaperGeometry none = ComputeGeometry(PrinterMetrics{}, 96, 96);
    EXPECT_EQ(none.width, 0);
}

TEST(PrintPreviewMath, LayoutFitsHeightThenWidth) {
    // Whole page in a tall client: the height decides.
    PageLayout tall = LayoutPage(kZoomWholePage, 832, 432, 800, 1000);
    EXPECT_EQ(tall.zoom, 40);
    EXPECT_EQ(tall.height, 400);
    // Whole page in a narrow client: the page would be too wide, so the width decides.
    PageLayout narrow = LayoutPage(kZoomWholePage, 232, 2032, 800, 1000);
    EXPECT_EQ(narrow.zoom, 25);
    EXPECT_EQ(LayoutPage(kZoomFitWidth, 432, 100, 800, 1000).zoom, 50);
    EXPECT_EQ(LayoutPage(150, 100, 100, 800, 1000).width, 1200);
    // A client smaller than its margins gives the least zoom, not a negative one.
    EXPECT_EQ(LayoutPage(kZoomFitWidth, 10, 10, 800, 1000).zoom, 5);
    EXPECT_EQ(PageOrigin(1000, 400, 0), 300);
    EXPECT_EQ(PageOrigin(300, 400, 50), -34);
}

TEST(PrintPreviewMath, PrintRangeFollowsTheDialogChoice) {
    PageRange all = PagesToPrint(false, false, 0, 0, 3, 1, 6);
    EXPECT_EQ(all.first, 1);
    EXPECT_EQ(all.last, 6);
    PageRange current = PagesToPrint(true, false, 0, 0, 3, 1, 6);
    EXPECT_EQ(current.first, 3);
    EXPECT_EQ(current.last, 3);
    PageRange range = PagesToPrint(false, true, 2, 9, 3, 1, 6);
    EXPECT_EQ(range.first, 2);
    EXPECT_EQ(range.last, 6);
    PageRange reversed = PagesToPrint(false, true, 5, 2, 3, 1, 6);
    EXPECT_EQ(reversed.first, 5);
    EXPECT_EQ(reversed.last, 5);
}
