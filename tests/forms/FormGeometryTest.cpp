// Where the form's own controls put themselves and how they read their texts.
#include "forms/FormGeometry.h"

#include <gtest/gtest.h>

using vorlan::PixelRect;
using vorlan::PixelSize;

TEST(FormGeometry, PicturesFillTheWidthUnlessTooHighAndAreCentred) {
    struct Case {
        PixelSize picture, client;
        PixelRect fit;
    } cases[] = {
        {{200, 100}, {100, 100}, {0, 25, 100, 75}},  // wide: full width, centred vertically
        {{100, 200}, {100, 100}, {25, 0, 75, 100}},  // tall: reduced to the height, centred across
        {{10, 10}, {100, 50}, {25, 0, 75, 50}},      // small pictures grow
        {{40, 30}, {40, 30}, {0, 0, 40, 30}},        // natural size when it fits exactly
        {{0, 30}, {40, 30}, {0, 0, 0, 0}},           // nothing to draw
        {{30000, 1}, {300, 200}, {0, 100, 300, 100}} // extreme ratios stay inside
    };
    for (const auto& c : cases) {
        PixelRect r = vorlan::FitPicture(c.picture, c.client);
        EXPECT_EQ(r, c.fit) << c.picture.cx << "x" << c.picture.cy << " in " << c.client.cx << "x"
                            << c.client.cy << ": " << r.left << "," << r.top << "," << r.right << ","
                            << r.bottom;
    }
}

TEST(FormGeometry, ZoomedPicturesStayOnTheirScreen) {
    PixelRect screen{0, 0, 800, 600};
    EXPECT_EQ(vorlan::PlaceZoomed(100, 50, {200, 100}, screen), (PixelRect{100, 50, 300, 150}));
    EXPECT_EQ(vorlan::PlaceZoomed(700, 550, {200, 100}, screen), (PixelRect{600, 500, 800, 600}))
        << "moved left and up";
    EXPECT_EQ(vorlan::PlaceZoomed(300, 200, {2000, 900}, screen), (PixelRect{0, 0, 800, 600}))
        << "no larger than the screen";
    PixelRect left{-1024, 0, 0, 768}; // a screen left of the main one
    EXPECT_EQ(vorlan::PlaceZoomed(-100, 10, {300, 100}, left), (PixelRect{-300, 10, 0, 110}));
}

TEST(FormGeometry, TooltipsGoAboveOnRequestAndNeverLeaveTheVirtualScreen) {
    PixelRect screen{0, 0, 800, 600};
    EXPECT_EQ(vorlan::PlaceToolTip(100, 100, {50, 20}, false, screen), (PixelRect{100, 100, 150, 120}));
    EXPECT_EQ(vorlan::PlaceToolTip(100, 100, {50, 20}, true, screen), (PixelRect{100, 80, 150, 100}));
    EXPECT_EQ(vorlan::PlaceToolTip(780, 590, {50, 20}, false, screen), (PixelRect{750, 580, 800, 600}));
    EXPECT_EQ(vorlan::PlaceToolTip(10, 5, {50, 20}, true, screen), (PixelRect{10, 0, 60, 20}))
        << "not above the top";
    PixelRect twoScreens{-1280, -200, 1024, 768};
    EXPECT_EQ(vorlan::PlaceToolTip(-600, -190, {50, 20}, true, twoScreens),
              (PixelRect{-600, -200, -550, -180}))
        << "a screen left of and above the main one is screen too";
}

TEST(FormGeometry, TooltipLinesBreakAtControlCharactersButKeepTabs) {
    using Lines = std::vector<std::string>;
    EXPECT_EQ(vorlan::SplitToolTipLines("Name\tWert"), (Lines{"Name\tWert"}));
    EXPECT_EQ(vorlan::SplitToolTipLines("eins\r\nzwei"), (Lines{"eins", "zwei"}));
    EXPECT_EQ(vorlan::SplitToolTipLines("eins\n\nzwei"), (Lines{"eins", "", "zwei"}));
    EXPECT_EQ(vorlan::SplitToolTipLines("a\x01"
                                        "b\rc"),
              (Lines{"a", "b", "c"}));
    EXPECT_EQ(vorlan::SplitToolTipLines(""), (Lines{""}));
    EXPECT_EQ(vorlan::SplitToolTipLines(nullptr), (Lines{""}));
}

TEST(FormGeometry, OnlyAWholeNumberNamesABackgroundResource) {
    struct Case {
        const char* text;
        int number;
    } cases[] = {{"1", 1},  {"12", 12}, {"0", 0},   {"", 0},           {"2.bmp", 0}, {"C:\\Bilder\\1.bmp", 0},
                 {"-3", 0}, {" 4", 0},  {"007", 7}, {"99999999999", 0}};
    for (const auto& c : cases)
        EXPECT_EQ(vorlan::PictureNumber(c.text), c.number) << "\"" << c.text << "\"";
    EXPECT_EQ(vorlan::PictureNumber(nullptr), 0);
}

TEST(FormGeometry, OnlyWhatTouchesTheLayoutsEdgeStretchesAndTheGridFollowsPieceEight) {
    const int right = 400, bottom = 300;
    const PixelRect inside{10, 10, 200, 100}, atRight{10, 10, 400, 100}, atBottom{10, 10, 200, 300};
    struct {
        bool grid;
        int piece8;
        PixelRect rect;
        bool keeps;
    } cases[] = {
        {false, 0, inside, false}, {false, 0, atRight, true},  {false, 0, atBottom, true},
        {false, 1, inside, false}, {false, -1, atRight, true}, {true, 0, inside, false},
        {true, 0, atBottom, true}, {true, -1, atRight, false}, {true, 1, inside, true},
        {true, 2, inside, false},  {true, 2, atRight, true},   {true, -5, inside, false},
        {true, 7, atBottom, true},
    };
    for (const auto& c : cases)
        EXPECT_EQ(vorlan::KeepsStretching(c.grid, c.piece8, c.rect, right, bottom), c.keeps)
            << c.grid << " " << c.piece8 << " " << c.rect.right << "," << c.rect.bottom;
}
