// What the grid paints, read back from a 32-bit surface.
#include "tests/controls/GridFixture.h"
#include "tests/imaging/Surface.h"

#include "framework/DC.h"

#include <vector>

using imgtest::Surface;

class GridDrawTest : public GridTest {
  protected:
    void SetUp() override {
        GridTest::SetUp();
        for (int c = 0; c < 4; ++c) grid->SetColumnWidth(c, 80);
        for (int r = 0; r < 10; ++r) grid->SetRowHeight(r, 24);
    }
    // Paints the whole client area as a repaint would.
    void Paint(Surface& s) {
        CDC dc(s.dc());
        grid->OnDraw(&dc, true);
    }
    // The top-left corner of a cell's pixels.
    static POINT Origin(int row, int col) { return {col * 80, row * 24}; }
    static uint32_t Rgb(COLORREF c) { return Surface::Rgb(c); }
};

TEST_F(GridDrawTest, RowColourPaintsCellsWithoutTheirOwnAndDisabledColumnsAreGrey) {
    grid->ModifyRowFlags(3, 0, 5);
    grid->ModifyColumnFlags(2, GVCF_ENABLED, 0);
    int r = 3, c = 3;
    grid->SetItemColors(r, c, 0, 2, 0);
    Surface s(600, 400);
    Paint(s);
    POINT a = Origin(3, 1);
    EXPECT_EQ(s.At(a.x + 5, a.y + 3), Rgb(0x80FFFF));
    // The row's colour comes before the column's grey; the cell's own before both.
    EXPECT_EQ(s.At(Origin(3, 2).x + 5, a.y + 3), Rgb(0x80FFFF));
    EXPECT_EQ(s.At(Origin(3, 3).x + 5, a.y + 3), Rgb(0x0000FF));
    POINT d = Origin(5, 2);
    EXPECT_EQ(s.At(d.x + 5, d.y + 3), Rgb(0xD0D0D0));
    // A plain cell has the window colour.
    POINT p = Origin(5, 1);
    EXPECT_EQ(s.At(p.x + 5, p.y + 3), Rgb(GetSysColor(COLOR_WINDOW)));
}

TEST_F(GridDrawTest, GridLinesRunAlongEveryRightAndBottomEdgeAsTheModeSays) {
    Surface s(600, 400);
    Paint(s);
    POINT a = Origin(4, 2);
    EXPECT_EQ(s.At(a.x + 79, a.y + 10), Rgb(0xC0C0C0));
    EXPECT_EQ(s.At(a.x + 10, a.y + 23), Rgb(0xC0C0C0));
    EXPECT_NE(s.At(a.x + 78, a.y + 10), Rgb(0xC0C0C0));
    grid->SetGridLines(1);
    Surface h(600, 400);
    Paint(h);
    EXPECT_NE(h.At(a.x + 79, a.y + 10), Rgb(0xC0C0C0));
    EXPECT_EQ(h.At(a.x + 10, a.y + 23), Rgb(0xC0C0C0));
    // Beyond the last row the grid's outside colour.
    EXPECT_EQ(h.At(300, 10 * 24 + 20), Rgb(GetSysColor(COLOR_WINDOW)));
}

TEST_F(GridDrawTest, ShapeFourIsAnUpwardTriangleOfTheColourOnWhite) {
    int r = 2, c = 1;
    grid->SetItemColors(r, c, 0, 9, 4); // 0x00FF00
    Surface s(600, 400);
    Paint(s);
    POINT a = Origin(2, 1);
    EXPECT_EQ(s.At(a.x + 1, a.y + 1), Rgb(0xFFFFFF));   // top left: outside the triangle
    EXPECT_EQ(s.At(a.x + 77, a.y + 1), Rgb(0xFFFFFF));  // top right
    EXPECT_EQ(s.At(a.x + 39, a.y + 2), Rgb(0x00FF00));  // apex
    EXPECT_EQ(s.At(a.x + 3, a.y + 21), Rgb(0x00FF00));  // base
    EXPECT_EQ(s.At(a.x + 75, a.y + 21), Rgb(0x00FF00));
}

TEST_F(GridDrawTest, CornerTriangleIsRedAndWhiteOnRed) {
    grid->ModifyItemStyle(2, 1, GVSTYLE_CORNER, 0);
    grid->ModifyItemStyle(2, 2, GVSTYLE_CORNER, 0);
    int r = 2, c = 2;
    grid->SetItemColors(r, c, 0, 2, 0); // pure red
    Surface s(600, 400);
    Paint(s);
    POINT a = Origin(2, 1);
    int right = a.x + 78; // the last pixel before the grid line
    EXPECT_EQ(s.At(right, a.y), Rgb(0x0000FF));
    EXPECT_EQ(s.At(right - 3, a.y), Rgb(0x0000FF));
    EXPECT_NE(s.At(right - 4, a.y), Rgb(0x0000FF));
    EXPECT_EQ(s.At(right, a.y + 3), Rgb(0x0000FF));
    EXPECT_NE(s.At(right - 1, a.y + 3), Rgb(0x0000FF));
    EXPECT_NE(s.At(right, a.y + 4), Rgb(0x0000FF));
    POINT b = Origin(2, 2);
    EXPECT_EQ(s.At(b.x + 78, b.y), Rgb(0xFFFFFF));
}

TEST_F(GridDrawTest, FocusFrameDrawnTwiceGivesEveryPixelBack) {
    grid->SetFocusCell(3, 2);
    grid->DrawFocusFrame(); // hidden, so the surface gets none
    Surface s(600, 400);
    Paint(s);
    POINT a = Origin(3, 2);
    std::vector<uint32_t> before;
    for (int y = a.y - 2; y < a.y + 26; ++y)
        for (int x = a.x - 2; x < a.x + 82; ++x) before.push_back(s.At(x, y));
    CDC dc(s.dc());
    grid->DrawFocusFrame(&dc);
    EXPECT_NE(s.At(a.x + 1, a.y + 1), before[(3 * 84) + 3]);
    EXPECT_EQ(s.At(a.x + 10, a.y + 10), before[(12 * 84) + 12]); // inside the cell: untouched
    grid->DrawFocusFrame(&dc);
    std::vector<uint32_t> after;
    for (int y = a.y - 2; y < a.y + 26; ++y)
        for (int x = a.x - 2; x < a.x + 82; ++x) after.push_back(s.At(x, y));
    EXPECT_EQ(after, before);
}

TEST_F(GridDrawTest, RepaintDrawsTheFrameOnlyWhileItIsShown) {
    grid->SetFocusCell(3, 2);
    POINT a = Origin(3, 2);
    Surface shown(600, 400);
    Paint(shown);
    Surface again(600, 400);
    Paint(again);
    // Painting twice does not toggle it.
    EXPECT_EQ(shown.At(a.x + 1, a.y + 1), again.At(a.x + 1, a.y + 1));
    grid->DrawFocusFrame();
    Surface hidden(600, 400);
    Paint(hidden);
    EXPECT_NE(shown.At(a.x + 1, a.y + 1), hidden.At(a.x + 1, a.y + 1));
}

TEST_F(GridDrawTest, ASpanOfTwoColumnsDrawsItsTextOnceAcrossBoth) {
    grid->SetItemText(2, 1, "WWWWWWWWWWWWWWWWWWWWWWWWWW");
    grid->SetItemColSpan(2, 1, 1);
    grid->SetItemText(2, 2, "versteckt");
    Surface s(600, 400);
    Paint(s);
    POINT a = Origin(2, 1);
    uint32_t back = Rgb(GetSysColor(COLOR_WINDOW));
    // No grid line between the two columns, text reaching into the second.
    int y = a.y + 12;
    EXPECT_EQ(s.At(a.x + 79, a.y + 3), back);
    bool textInSecond = false;
    for (int x = a.x + 85; x < a.x + 150; ++x) textInSecond |= s.At(x, y) != back;
    EXPECT_TRUE(textInSecond);
    // The span's right edge keeps its line.
    EXPECT_EQ(s.At(a.x + 159, a.y + 3), Rgb(0xC0C0C0));
}

TEST_F(GridDrawTest, ACoveredCellScrolledIntoViewAloneDrawsItsAnchorsContent) {
    grid->SetItemText(2, 1, "Anker");
    grid->SetItemColSpan(2, 1, 2);
    int r = 2, c = 1;
    grid->SetItemColors(r, c, 0, 9, 0);
    // Only the second covered cell meets the clip box.
    Surface s(600, 400);
    CDC dc(s.dc());
    POINT b = Origin(2, 3);
    IntersectClipRect(s.dc(), b.x, b.y, b.x + 80, b.y + 24);
    grid->OnDraw(&dc, true);
    EXPECT_EQ(s.At(b.x + 10, b.y + 3), Rgb(0x00FF00));
}

TEST_F(GridDrawTest, FixedCellsHaveTheFaceColourAndAShadowEdge) {
    Surface s(600, 400);
    Paint(s);
    EXPECT_EQ(s.At(5, 5), Rgb(GetSysColor(COLOR_BTNFACE)));
    EXPECT_EQ(s.At(79, 5), Rgb(GetSysColor(COLOR_BTNSHADOW)));
    EXPECT_EQ(s.At(5, 23), Rgb(GetSysColor(COLOR_BTNSHADOW)));
}

TEST_F(GridDrawTest, RedrawOffPaintsNoCells) {
    int r = 2, c = 1;
    grid->SetItemColors(r, c, 0, 9, 0);
    grid->SetRedraw(false);
    Surface s(600, 400);
    Paint(s);
    POINT a = Origin(2, 1);
    EXPECT_NE(s.At(a.x + 5, a.y + 5), Rgb(0x00FF00));
}

TEST_F(GridDrawTest, TheWindowPaintsThroughItsMemoryBitmapsWithoutErasing) {
    EXPECT_EQ(grid->SendMessage(WM_ERASEBKGND, 0, 0), 1);
    int r = 4, c = 2;
    grid->SetItemColors(r, c, 0, 6, 0); // 0x00FFFF
    InvalidateRect(grid->m_hWnd, nullptr, FALSE);
    UpdateWindow(grid->m_hWnd);
    RECT cell{};
    ASSERT_TRUE(grid->GetCellRect(4, 2, &cell));
    HDC screen = GetDC(grid->m_hWnd);
    COLORREF seen = GetPixel(screen, cell.left + 5, cell.top + 5);
    ReleaseDC(grid->m_hWnd, screen);
    EXPECT_EQ(seen, static_cast<COLORREF>(0x00FFFF));
}

TEST_F(GridDrawTest, AWindowGrownAfterItsFirstPaintGetsItsNewPartPaintedToo) {
    UpdateWindow(grid->m_hWnd);
    grid->SetColumnWidth(3, 400);
    int r = 9, c = 3;
    grid->SetItemColors(r, c, 0, 9, 0); // green
    ::MoveWindow(grid->m_hWnd, 0, 0, 680, 480, TRUE);
    UpdateWindow(grid->m_hWnd);
    RECT cell{};
    ASSERT_TRUE(grid->GetCellRect(9, 3, &cell));
    ASSERT_GT(cell.right, 600);
    HDC screen = GetDC(grid->m_hWnd);
    COLORREF seen = GetPixel(screen, cell.right - 5, cell.top + 5);
    ReleaseDC(grid->m_hWnd, screen);
    EXPECT_EQ(seen, static_cast<COLORREF>(0x00FF00));
}

TEST_F(GridDrawTest, TheSortArrowSitsAtTheRightOfTheLastHeaderRowOfTheSortColumn) {
    Surface plain(600, 400);
    Paint(plain);
    grid->SetSortColumn(2, 1);
    Surface sorted(600, 400);
    Paint(sorted);
    POINT a = Origin(0, 2);
    int changed = 0;
    for (int x = a.x + 60; x < a.x + 79; ++x)
        for (int y = a.y; y < a.y + 23; ++y) changed += plain.At(x, y) != sorted.At(x, y);
    EXPECT_GT(changed, 4);
    // Nothing beside the sort column changes.
    for (int x = Origin(0, 1).x; x < a.x; ++x) ASSERT_EQ(plain.At(x, 10), sorted.At(x, 10));
}

TEST_F(GridDrawTest, AMetafileGetsTheWholeGridUnscrolledAndNoFocusFrame) {
    grid->SetRowCount(40);
    for (int r = 0; r < 40; ++r) grid->SetRowHeight(r, 24);
    int r = 35, c = 3;
    grid->SetItemColors(r, c, 0, 9, 0);
    grid->SetScrollPos32(SB_VERT, 200);
    grid->SetFocusCell(2, 2);
    HDC meta = CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr);
    {
        CDC dc(meta);
        grid->OnDraw(&dc, true);
    }
    HENHMETAFILE picture = CloseEnhMetaFile(meta);
    ASSERT_TRUE(picture);
    Surface s(320, 960);
    RECT all{0, 0, 320, 960};
    PlayEnhMetaFile(s.dc(), picture, &all);
    DeleteEnhMetaFile(picture);
    // Played back at its own size (the grid's pixels): row 35 where the unscrolled grid has it.
    POINT a = Origin(35, 3);
    EXPECT_EQ(s.At(a.x + 5, a.y + 5), Rgb(0x00FF00));
    POINT f = Origin(2, 2);
    EXPECT_EQ(s.At(f.x + 1, f.y + 1), Rgb(GetSysColor(COLOR_WINDOW)));
}

TEST_F(GridDrawTest, HandlesAreFramedAndSelectedCellsKeepTheirBackground) {
    grid->ModifyItemStyle(2, 1, GVSTYLE_DRAGHANDLE, 0);
    int r = 3, c = 1;
    grid->SetItemColors(r, c, 0, 9, 0);
    grid->SetItemState(3, 1, GVIS_SELECTED);
    grid->SetItemText(3, 1, "WWWW");
    Surface s(600, 400);
    Paint(s);
    POINT h = Origin(2, 1);
    EXPECT_EQ(s.At(h.x, h.y + 10), Rgb(0x606060));
    EXPECT_EQ(s.At(h.x + 79, h.y + 10), Rgb(0x606060)); // over the grid line
    EXPECT_EQ(s.At(h.x + 10, h.y + 23), Rgb(0x606060));
    POINT sel = Origin(3, 1);
    EXPECT_EQ(s.At(sel.x + 60, sel.y + 2), Rgb(0x00FF00));
}

TEST_F(GridDrawTest, HeaderCellsOfTheFocusBlockGetADarkerEdge) {
    grid->SetFocusCell(4, 2);
    Surface s(600, 400);
    Paint(s);
    COLORREF face = GetSysColor(COLOR_BTNFACE);
    auto dark = [](int v) {
        if (v >= 33) v -= 32;
        if (v >= 65) v -= 64;
        return v;
    };
    COLORREF darker = RGB(dark(GetRValue(face)), dark(GetGValue(face)), dark(GetBValue(face)));
    POINT head = Origin(0, 2);
    EXPECT_EQ(s.At(head.x + 79, head.y + 10), Rgb(darker));
    POINT other = Origin(0, 3);
    EXPECT_EQ(s.At(other.x + 79, other.y + 10), Rgb(GetSysColor(COLOR_BTNSHADOW)));
    grid->SetWholeRow(true);
    Surface whole(600, 400);
    Paint(whole);
    EXPECT_EQ(whole.At(head.x + 79, head.y + 10), Rgb(GetSysColor(COLOR_BTNSHADOW)));
}

namespace {
// Counts the cells the painters are asked for.
struct CountingGrid : CGridCtrl {
    using CGridCtrl::CGridCtrl;
    int cells = 0;
    int fixedCells = 0;
    bool DrawCell(CDC* dc, int row, int col, CRect rect, bool erase) override {
        ++cells;
        return CGridCtrl::DrawCell(dc, row, col, rect, erase);
    }
    bool DrawFixedCell(CDC* dc, int row, int col, CRect rect, bool erase) override {
        ++fixedCells;
        return CGridCtrl::DrawFixedCell(dc, row, col, rect, erase);
    }
};
} // namespace

TEST_F(GridDrawTest, OnlyCellsMeetingTheClipBoxAreVisitedEvenFarDownALongGrid) {
    CountingGrid counting(1, nullptr, 85, 2, 4, 20000, 4, 20, 1, 1);
    ASSERT_TRUE(counting.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 600, 400), owner.m_hWnd, 9));
    for (int c = 0; c < 4; ++c) counting.SetColumnWidth(c, 80);
    counting.EnsureVisible(19999, 1);
    Surface s(600, 400);
    CDC dc(s.dc());
    RECT cell{};
    ASSERT_TRUE(counting.GetCellRect(19990, 2, &cell));
    IntersectClipRect(s.dc(), cell.left + 2, cell.top + 2, cell.left + 4, cell.top + 4);
    counting.OnDraw(&dc, true);
    EXPECT_EQ(counting.cells, 1);
    EXPECT_EQ(counting.fixedCells, 0);
}

TEST_F(GridDrawTest, EveryRectangleOfTheUpdateRegionReachesTheScreen) {
    int r = 2, c = 1;
    grid->SetItemColors(r, c, 0, 9, 0); // green
    r = 7, c = 3;
    grid->SetItemColors(r, c, 0, 12, 0); // blue
    UpdateWindow(grid->m_hWnd);
    grid->RedrawCell(2, 1);
    grid->RedrawCell(7, 3);
    UpdateWindow(grid->m_hWnd);
    RECT a{}, b{};
    ASSERT_TRUE(grid->GetCellRect(2, 1, &a));
    ASSERT_TRUE(grid->GetCellRect(7, 3, &b));
    HDC screen = GetDC(grid->m_hWnd);
    COLORREF first = GetPixel(screen, a.left + 5, a.top + 5);
    COLORREF second = GetPixel(screen, b.left + 5, b.top + 5);
    ReleaseDC(grid->m_hWnd, screen);
    EXPECT_EQ(first, static_cast<COLORREF>(0x00FF00));
    EXPECT_EQ(second, static_cast<COLORREF>(0xFF0000));
}

TEST_F(GridDrawTest, UnderVisualStylesTheFrameGetsASunkenInnerEdge) {
    CGridCtrl themed;
    themed.SetVisualStyles(true);
    ASSERT_TRUE(themed.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 200, 100), owner.m_hWnd, 11, WS_EX_CLIENTEDGE));
    SetWindowPos(themed.m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    RedrawWindow(themed.m_hWnd, nullptr, nullptr, RDW_FRAME | RDW_INVALIDATE | RDW_UPDATENOW);
    HDC dc = GetWindowDC(themed.m_hWnd);
    COLORREF left = GetPixel(dc, 0, 50);
    COLORREF right = GetPixel(dc, 199, 50);
    ReleaseDC(themed.m_hWnd, dc);
    EXPECT_EQ(left, GetSysColor(COLOR_3DDKSHADOW));
    EXPECT_EQ(right, GetSysColor(COLOR_3DLIGHT));
}
