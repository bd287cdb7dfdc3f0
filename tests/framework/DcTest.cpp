// The off-screen drawing context and the 32-bit scroll-bar helpers.
#include "framework/Gdi.h"
#include "framework/MemDC.h"
#include "framework/ScrollBar.h"
#include "framework/Wnd.h"
#include "tests/imaging/Surface.h"

#include <gtest/gtest.h>

#include <vector>

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

TEST(BackBuffer, KeepsItsBitmapWhileItIsLargeEnoughAndGrowsToTheLargerRequest) {
    Surface s(10, 10);
    CBackBuffer buffer;
    EXPECT_EQ(buffer.Get(s.dc(), 0, 5), nullptr);
    HDC first = buffer.Get(s.dc(), 100, 40);
    ASSERT_TRUE(first);
    HGDIOBJ bitmap = GetCurrentObject(first, OBJ_BITMAP);
    EXPECT_EQ(buffer.Get(s.dc(), 60, 40), first);
    EXPECT_EQ(GetCurrentObject(first, OBJ_BITMAP), bitmap);
    ASSERT_TRUE(buffer.Get(s.dc(), 80, 70));
    EXPECT_EQ(buffer.Size(), CSize(100, 70)) << "a window resized back and forth settles";
    buffer.Release();
    EXPECT_EQ(buffer.Size(), CSize(0, 0));
}

namespace {
// The bar's pixels as they stand in the window.
std::vector<uint32_t> BarPixels(HWND wnd) {
    SCROLLBARINFO info{};
    info.cbSize = sizeof info;
    GetScrollBarInfo(wnd, OBJID_VSCROLL, &info);
    RECT window{};
    GetWindowRect(wnd, &window);
    CRect bar(info.rcScrollBar);
    bar.OffsetRect(-window.left, -window.top);
    Surface copy(bar.Width(), bar.Height());
    HDC dc = GetWindowDC(wnd);
    BitBlt(copy.dc(), 0, 0, bar.Width(), bar.Height(), dc, bar.left, bar.top, SRCCOPY);
    ReleaseDC(wnd, dc);
    std::vector<uint32_t> pixels;
    for (int y = 0; y < bar.Height(); ++y)
        for (int x = 0; x < bar.Width(); ++x)
            pixels.push_back(copy.At(x, y));
    return pixels;
}
} // namespace

TEST(ScrollBar, AMoveRedrawsTheBarOnlyForANewPictureAndTheBarAlwaysShowsThePosition) {
    ASSERT_TRUE(CWnd::RegisterWindowClass("DcTestMove", 0, nullptr, nullptr, nullptr));
    HWND wnd = CreateWindowExA(0, "DcTestMove", "", WS_OVERLAPPEDWINDOW | WS_VSCROLL | WS_VISIBLE, 0, 0, 200, 300,
                               nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(wnd);
    UpdateWindow(wnd);
    fw::SetScrollRange32(wnd, SB_VERT, 1999999, 100);
    // Steps of a thousandth of the range: most leave the thumb where it is, some move it.
    int drawn = 0;
    for (int pos = 2000; pos <= 60000; pos += 2000)
        drawn += fw::MoveScrollPos32(wnd, SB_VERT, pos) ? 1 : 0;
    EXPECT_EQ(fw::GetScrollPos32(wnd, SB_VERT), 60000);
    EXPECT_GT(drawn, 0);
    EXPECT_LT(drawn, 30);
    std::vector<uint32_t> moved = BarPixels(wnd);
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(moved == BarPixels(wnd)) << "as a whole redraw paints it";
    EXPECT_TRUE(fw::MoveScrollPos32(wnd, SB_VERT, 5000000)) << "to the end: the thumb moves";
    EXPECT_EQ(fw::GetScrollPos32(wnd, SB_VERT), fw::GetScrollLimit32(wnd, SB_VERT));
    std::vector<uint32_t> end = BarPixels(wnd);
    RedrawWindow(wnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    EXPECT_TRUE(end == BarPixels(wnd));
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
