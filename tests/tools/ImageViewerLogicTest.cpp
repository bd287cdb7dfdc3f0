// The picture viewer's arithmetic: fitted sizes, zoom bounds, zoom at the cursor, scrolling,
// thumbnail names and the picture dialog's caption.
#include "tools/ImageViewerLogic.h"

#include <gtest/gtest.h>

#include <string>

using namespace vorlan;

namespace {

ViewerRect Fit(int W, int H, int w, int h) {
    ViewerRect r;
    EXPECT_TRUE(FitPicture(W, H, w, h, r)) << W << "x" << H << " " << w << "x" << h;
    return r;
}

} // namespace

TEST(ViewerArithmetic, FittedSizesKeepTheAspectAndCentre) {
    // A picture larger than its thumbnail: whole-number H / h would be 0 and draw nothing.
    ViewerRect wide = Fit(100, 80, 1600, 1200);
    EXPECT_EQ(wide.width, 100);
    EXPECT_EQ(wide.height, 75);
    EXPECT_EQ(wide.left, 0);
    EXPECT_EQ(wide.top, 2);
    ViewerRect tall = Fit(100, 80, 300, 600);
    EXPECT_EQ(tall.width, 40);
    EXPECT_EQ(tall.height, 80);
    EXPECT_EQ(tall.left, 30);
    EXPECT_EQ(tall.top, 0);
    ViewerRect small = Fit(120, 120, 3, 2);
    EXPECT_EQ(small.width, 120) << "a small picture is enlarged to fit";
    EXPECT_EQ(small.height, 80);
    ViewerRect line = Fit(100, 100, 5000, 1);
    EXPECT_GE(line.height, 1) << "never 0 pixels high";

    ViewerRect none;
    EXPECT_FALSE(FitPicture(100, 80, 0, 50, none)) << "width 0 counts as no picture";
    EXPECT_FALSE(FitPicture(100, 80, 50, 0, none));
    EXPECT_FALSE(FitPicture(0, 80, 50, 50, none));
    EXPECT_EQ(none.width, 0);
}

TEST(ViewerArithmetic, ZoomStaysWithinOneThirtySecondAndThirtyTwo) {
    EXPECT_EQ(ClampZoom(64.0), 32.0);
    EXPECT_EQ(ClampZoom(1.0 / 64), 1.0 / 32);
    EXPECT_EQ(ClampZoom(0.0), 1.0 / 32);
    EXPECT_EQ(ClampZoom(2.0), 2.0);
    double zoom = 1.0;
    for (int i = 0; i < 40; ++i)
        zoom = ClampZoom(zoom * 2);
    EXPECT_EQ(zoom, 32.0);
    EXPECT_EQ(ZoomedExtent(60000, 1000.0), 60000 * 32) << "a scroll range that fits";
    EXPECT_EQ(ZoomedExtent(0, 2.0), 0);
}

TEST(ViewerArithmetic, ZoomAtTheCursorKeepsThePointUnderIt) {
    // A picture of 400 x 300 in a window of 200 x 100, scrolled to (50, 20).
    int client = 200, picture = 400, scroll = 50, cursor = 100;
    int scrolled = ZoomScrollPosition(scroll, cursor, client, picture, 1.0, 2.0);
    EXPECT_EQ(scrolled, (scroll + cursor) * 2 - cursor) << "the centre stays";
    double before = (scroll + cursor) / 1.0, after = (scrolled + cursor) / 2.0;
    EXPECT_DOUBLE_EQ(before, after);
    int back = ZoomScrollPosition(scrolled, cursor, client, picture, 2.0, 1.0);
    EXPECT_EQ(back, scroll) << "zooming out again returns";
    // A picture narrower than the window is drawn centred: the cursor is taken relative to it.
    // 100 wide in 200: drawn from 50; the cursor at 100 is picture point 50.
    int centred = ZoomScrollPosition(0, 100, 200, 100, 1.0, 4.0);
    EXPECT_EQ(centred, 50 * 4 - 100);
    EXPECT_EQ(ZoomScrollPosition(0, 100, 200, 100, 1.0, 1.5), 0) << "still narrower: no scrolling";
    EXPECT_EQ(ZoomScrollPosition(0, 0, 200, 0, 1.0, 2.0), 0) << "no picture";
}

TEST(ViewerArithmetic, ScrollMessagesMoveWithinTheZoomedPicture) {
    EXPECT_EQ(ScrollPosition(kScrollLineDown, 10, 0, 100, 400, 1.0), 11);
    EXPECT_EQ(ScrollPosition(kScrollLineUp, 0, 0, 100, 400, 1.0), 0);
    EXPECT_EQ(ScrollPosition(kScrollPageDown, 10, 0, 100, 400, 1.0), 110);
    EXPECT_EQ(ScrollPosition(kScrollPageUp, 10, 0, 100, 400, 1.0), 0);
    EXPECT_EQ(ScrollPosition(kScrollThumbTrack, 10, 333, 100, 400, 1.0), 333);
    EXPECT_EQ(ScrollPosition(kScrollThumbPosition, 10, 999, 100, 400, 1.0), 400);
    EXPECT_EQ(ScrollPosition(kScrollTop, 10, 0, 100, 400, 2.0), 0);
    EXPECT_EQ(ScrollPosition(kScrollBottom, 10, 0, 100, 400, 2.0), 400) << "right is the unscaled width";
    EXPECT_EQ(ScrollPosition(kScrollPageDown, 780, 0, 100, 400, 2.0), 800) << "within the zoomed extent";
    EXPECT_EQ(ScrollPosition(8, 37, 0, 100, 400, 1.0), 37) << "end of scrolling keeps it";
}

TEST(ViewerArithmetic, ThumbnailNamesTakeTheRectanglesRightAndBottom) {
    EXPECT_EQ(ThumbnailFolder("C:\\VORLAN\\Thumbs\\4711\\"), "C:\\VORLAN\\Thumbs\\4711\\Thumbs");
    EXPECT_EQ(ThumbnailPath("C:\\Akte\\", "foto.png", 110, 90), "C:\\Akte\\Thumbs\\foto.png(110x90).jpg");
    EXPECT_EQ(PicturePath("C:\\Akte\\Bilder\\", "foto.png"), "C:\\Akte\\Bilder\\foto.png");
    // 260 characters or more are refused, never cut.
    std::string folder = "C:\\" + std::string(220, 'a') + "\\";
    EXPECT_EQ(ThumbnailPath(folder, std::string(20, 'n'), 120, 120), "");
    EXPECT_EQ(PicturePath(folder, std::string(40, 'n')), "");
    std::string fits = PicturePath(folder, std::string(35, 'n'));
    EXPECT_EQ(fits.size(), 259u);
}

TEST(ViewerArithmetic, PreviewCaptionNamesTheFormatAndSize) {
    EXPECT_EQ(PreviewCaption(5, 640, 480), "\nJPEG Datei\r\n640 x 480");
    EXPECT_EQ(PreviewCaption(0, 1, 2), "\nUnbekanntes Bildformat\r\n1 x 2");
    EXPECT_EQ(PreviewCaption(14, 3, 4), "\nPhotoshop Datei\r\n3 x 4");
    EXPECT_EQ(PreviewCaption(-1, 640, 480), "\nKeine Vorschau m\xf6glich");
    EXPECT_EQ(PreviewCaption(15, 640, 480), "\nKeine Vorschau m\xf6glich");
    EXPECT_STREQ(PictureFormatName(9), "Enhanced Windows Meta Datei");
    EXPECT_STREQ(PictureFormatName(13), "Portierbare Pixeltabellen Datei");
}
