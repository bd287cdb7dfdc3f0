#include "framework/Gdi.h"

#include <gtest/gtest.h>

TEST(Gdi, PointFontTakesItsSizeFromTheScreen) {
    CFont font;
    ASSERT_TRUE(font.CreatePointFont(70, "Tahoma", nullptr, true));
    LOGFONTA lf;
    ASSERT_TRUE(font.GetLogFont(lf));
    HDC dc = GetDC(nullptr);
    int want = -MulDiv(70, GetDeviceCaps(dc, LOGPIXELSY), 720);
    ReleaseDC(nullptr, dc);
    EXPECT_EQ(lf.lfHeight, want);
    EXPECT_EQ(lf.lfWeight, FW_BOLD);
    EXPECT_STREQ(lf.lfFaceName, "Tahoma");
}

TEST(Gdi, BitmapLoadsAsDibAndFillsAnImageList) {
    CBitmap bmp;
    EXPECT_FALSE(bmp.LoadDIB(GetModuleHandleA(nullptr), 999u));
    ASSERT_TRUE(bmp.LoadDIB(GetModuleHandleA(nullptr), 200u));
    BITMAP bm;
    ASSERT_TRUE(bmp.GetBitmap(bm));
    EXPECT_EQ(bm.bmWidth, 16);
    EXPECT_EQ(bm.bmHeight, 8);
    EXPECT_EQ(bm.bmBitsPixel, 24);
    EXPECT_NE(bm.bmBits, nullptr) << "a DIB section";
    CImageList list;
    ASSERT_TRUE(list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 2, 2));
    EXPECT_EQ(list.AddMasked(bmp, RGB(255, 0, 255)), 0);
    EXPECT_EQ(list.GetImageCount(), 2) << "a strip of square images";
    IMAGEINFO info;
    ASSERT_TRUE(ImageList_GetImageInfo(list, 0, &info));
    EXPECT_NE(info.hbmMask, nullptr);
}
