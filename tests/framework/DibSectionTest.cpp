// DIB sections read and written directly, icons taken apart and built, pens in dash styles.
#include "framework/DibSection.h"
#include "tests/imaging/Surface.h"

#include <gtest/gtest.h>

using imgtest::Surface;

TEST(DibSection, RowsCountFromTheTopWhicheverWayTheSectionIsStored) {
    CDibSection top;
    ASSERT_TRUE(top.Create32(3, 2));
    EXPECT_TRUE(top.IsTopDown());
    EXPECT_EQ(top.GetStride(), 12);
    EXPECT_EQ(top.Row(0), top.GetBits());
    EXPECT_EQ(top.Row(2), nullptr);

    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } info{};
    info.h = BITMAPINFOHEADER{sizeof(BITMAPINFOHEADER), 5, 2, 1, 8, BI_RGB, 0, 0, 0, 0, 0};
    info.colours[1] = RGBQUAD{0, 0, 255, 0};
    CDibSection bottom;
    ASSERT_TRUE(bottom.Create(reinterpret_cast<const BITMAPINFO&>(info)));
    EXPECT_FALSE(bottom.IsTopDown());
    EXPECT_EQ(bottom.GetStride(), 8);
    EXPECT_EQ(bottom.Row(1), bottom.GetBits()) << "the bottom row comes first in memory";
    bottom.Row(0)[0] = 1;
    Surface s(5, 2);
    {
        CBitmapDC dc(nullptr, bottom);
        BitBlt(s.dc(), 0, 0, 5, 2, dc, 0, 0, SRCCOPY);
    }
    EXPECT_EQ(s.At(0, 0), Surface::Rgb(RGB(255, 0, 0)));
    const RGBQUAD green{0, 255, 0, 0};
    ASSERT_TRUE(bottom.SetColorTable(1, 1, &green));
    {
        CBitmapDC dc(nullptr, bottom);
        BitBlt(s.dc(), 0, 0, 5, 2, dc, 0, 0, SRCCOPY);
    }
    EXPECT_EQ(s.At(0, 0), Surface::Rgb(RGB(0, 255, 0)));
    EXPECT_FALSE(top.SetColorTable(0, 1, &green)) << "no table above 8 bits";

    CDibSection none;
    EXPECT_FALSE(none.Create32(0, 5));
    EXPECT_FALSE(none.Create32(100000, 100000));
    EXPECT_EQ(none.GetBits(), nullptr);
}

TEST(DibSection, IconsComeApartIntoTheBitmapsTheyWereBuiltFrom) {
    CDibSection colour;
    ASSERT_TRUE(colour.Create32(16, 12));
    CBitmap mask;
    mask.Attach(CreateBitmap(16, 12, 1, 1, nullptr));
    CIcon icon(fw::CreateIconFromBitmaps(colour, mask));
    ASSERT_TRUE(icon);
    EXPECT_EQ(fw::CreateIconFromBitmaps(colour, nullptr), nullptr);
    CIconInfo info;
    ASSERT_TRUE(info.Get(icon));
    EXPECT_TRUE(info.IsIcon());
    EXPECT_EQ(info.Size().cx, 16);
    EXPECT_EQ(info.Size().cy, 12);
    EXPECT_NE(info.Colour(), nullptr);

    // Monochrome: the mask holds both halves.
    CBitmap both;
    both.Attach(CreateBitmap(16, 24, 1, 1, nullptr));
    CIcon mono(fw::CreateIconFromBitmaps(nullptr, both));
    ASSERT_TRUE(mono);
    ASSERT_TRUE(info.Get(mono));
    EXPECT_EQ(info.Colour(), nullptr);
    EXPECT_EQ(info.Size().cy, 12);
    EXPECT_FALSE(info.Get(nullptr));
}

TEST(DibSection, WideDashedPensKeepTheirGaps) {
    for (int width : {1, 4}) {
        Surface s(200, 20, RGB(255, 255, 255));
        CPen pen;
        pen.Attach(fw::CreateStylePen(PS_DASH, width, RGB(0, 0, 0)));
        ASSERT_TRUE(pen.m_hObject);
        CSelectedObject selected(s.dc(), pen);
        SetBkMode(s.dc(), TRANSPARENT);
        MoveToEx(s.dc(), 0, 10, nullptr);
        LineTo(s.dc(), 200, 10);
        int inked = 0;
        for (int x = 0; x < 200; ++x)
            inked += s.At(x, 10) == 0;
        EXPECT_GT(inked, 40) << width;
        EXPECT_LT(inked, 190) << width;
    }
}
