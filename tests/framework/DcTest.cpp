// The off-screen drawing context and the 32-bit scroll-bar helpers.
#include "framework/Gdi.h"
#include "framework/MemDC.h"
#include "framework/ScrollBar.h"
#include "framework/Wnd.h"
#include "tests/imaging/Surface.h"

#include <gtest/gtest.h>

using imgtest::Surface;

TEST(MemDC, DrawsOffScreenAndCopiesOnlyItsClipBoxWhenItEnds) {
    Surface s(100, 100);
    uint32_t magenta = Surface::Rgb(RGB(255, 0, 255));
    CDC target(s.dc());
    IntersectClipRect(s.dc(), 10, 10, 50, 50);
    {
        CMemDC mem(&target);
        ASSERT_TRUE(mem.IsOffScreen());
        EXPECT_EQ(mem.Rect(), CRect(10, 10, 50, 50));
        mem.FillSolidRect(CRect(0, 0, 100, 100), RGB(255, 0, 0));
        EXPECT_EQ(s.At(20, 20), magenta); // nothing on the target yet
    }
    EXPECT_EQ(s.At(20, 20), Surface::Rgb(RGB(255, 0, 0)));
    EXPECT_EQ(s.At(49, 49), Surface::Rgb(RGB(255, 0, 0)));
    EXPECT_EQ(s.At(5, 5), magenta);
    EXPECT_EQ(s.At(50, 20), magenta);
}

TEST(MemDC, OffsetsMoveTheDrawingAsTheCallersOriginWould) {
    Surface s(100, 100);
    CDC target(s.dc());
    {
        CMemDC mem(&target, 5, 3);
        mem.FillSolidRect(CRect(0, 0, 100, 100), RGB(0, 0, 255));
        mem.FillSolidRect(CRect(20, 20, 21, 21), RGB(0, 255, 0));
    }
    EXPECT_EQ(s.At(15, 17), Surface::Rgb(RGB(0, 255, 0)));
    EXPECT_EQ(s.At(20, 20), Surface::Rgb(RGB(0, 0, 255)));
}

TEST(MemDC, PrintersAndMetafilesGetTheDrawingDirectly) {
    Surface s(20, 20);
    CDC printer(s.dc());
    printer.m_bPrinting = true;
    {
        CMemDC mem(&printer);
        EXPECT_FALSE(mem.IsOffScreen());
        EXPECT_TRUE(mem.IsPrinting());
        EXPECT_EQ(mem.m_hDC, s.dc());
    }
    HDC meta = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    CDC metaDc(meta);
    {
        CMemDC mem(&metaDc);
        EXPECT_FALSE(mem.IsOffScreen());
    }
    DeleteEnhMetaFile(CloseEnhMetaFile(meta));
}

TEST(ScrollBar, PositionsBeyondSixteenBitsAreKeptAndClampedToTheRange) {
    ASSERT_TRUE(CWnd::RegisterWindowClass("DcTestScroll", 0, nullptr, nullptr, nullptr));
    HWND wnd = CreateWindowExA(0, "DcTestScroll", "", WS_OVERLAPPEDWINDOW | WS_VSCROLL, 0, 0, 200, 200, nullptr,
                               nullptr, nullptr, nullptr);
    ASSERT_TRUE(wnd);
    fw::SetScrollRange32(wnd, SB_VERT, 199999, 100);
    EXPECT_EQ(fw::GetScrollLimit32(wnd, SB_VERT), 199900);
    EXPECT_EQ(fw::SetScrollPos32(wnd, SB_VERT, 150000), 150000);
    EXPECT_EQ(fw::GetScrollPos32(wnd, SB_VERT), 150000);
    EXPECT_EQ(fw::SetScrollPos32(wnd, SB_VERT, 250000), 199900);
    EXPECT_EQ(fw::SetScrollPos32(wnd, SB_VERT, -5), 0);
    // Everything fits: no range, back at the start.
    fw::SetScrollPos32(wnd, SB_VERT, 500);
    fw::SetScrollRange32(wnd, SB_VERT, -1, 100);
    EXPECT_EQ(fw::GetScrollPos32(wnd, SB_VERT), 0);
    EXPECT_EQ(fw::GetScrollLimit32(wnd, SB_VERT), 0);
    DestroyWindow(wnd);
}

TEST(EnhMetaFileDC, ClosingHandsOutThePictureItRecorded) {
    HENHMETAFILE picture = nullptr;
    {
        CEnhMetaFileDC meta(nullptr, nullptr, "Test\0Bild\0");
        ASSERT_TRUE(meta.m_hDC);
        CDC* dc = &meta;
        dc->FillSolidRect(CRect(0, 0, 10, 10), RGB(0, 128, 0));
        picture = meta.Close();
        EXPECT_EQ(meta.m_hDC, nullptr);
    }
    ASSERT_TRUE(picture);
    Surface s(10, 10);
    RECT all{0, 0, 10, 10};
    PlayEnhMetaFile(s.dc(), picture, &all);
    DeleteEnhMetaFile(picture);
    EXPECT_EQ(s.At(5, 5), Surface::Rgb(RGB(0, 128, 0)));
}
