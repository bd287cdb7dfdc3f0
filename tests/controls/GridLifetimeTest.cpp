// The grid's life against its owner: released inside a notification, and the handles it
// makes for the in-place edit.

#include "tests/controls/GridInputFixture.h"

#include "controls/FormColours.h"

namespace {

// Tells when it is really gone.
class WatchedGrid : public CGridCtrl {
  public:
    using CGridCtrl::CGridCtrl;
    bool* gone = nullptr;
    ~WatchedGrid() override {
        if (gone) *gone = true;
    }
};

} // namespace

TEST_F(GridTest, AGridReleasedInsideItsNotificationLivesUntilTheMessageReturns) {
    grid.DestroyWindow();
    bool gone = false;
    auto* other = new WatchedGrid(1, nullptr, 85, 2, kCols, kRows, kCols, 20, 1, 1);
    other->gone = &gone;
    ASSERT_TRUE(other->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 480, 300), owner, kGridControlId));
    Fill(*other, kRows, kCols);
    other->SetFocusCell(2, 2);
    HWND window = other->m_hWnd;

    // The form closing inside F6's question: the object must outlast the grid's own checks.
    bool aliveInside = false;
    owner.steps[GVN_INSERTROW] = [&](NM_GRIDVIEW&) {
        CGridCtrl::Release(other);
        aliveInside = !gone;
    };
    ::SendMessageA(window, WM_KEYDOWN, VK_F6, 0);
    EXPECT_TRUE(aliveInside);
    EXPECT_TRUE(gone) << "freed once the key had been handled";
    EXPECT_FALSE(::IsWindow(window));
    EXPECT_EQ(owner.Count(GVN_INSERTROW), 1u);

    // Outside any message it goes at once; no grid at all is no fault.
    gone = false;
    auto* idle = new WatchedGrid(1, nullptr, 85, 2, kCols, kRows, kCols, 20, 1, 1);
    idle->gone = &gone;
    ASSERT_TRUE(idle->Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 480, 300), owner, kGridControlId));
    window = idle->m_hWnd;
    CGridCtrl::Release(idle);
    EXPECT_TRUE(gone);
    EXPECT_FALSE(::IsWindow(window));
    CGridCtrl::Release(nullptr);
}

TEST_F(GridTest, TheEditKeepsOneBrushPerColour) {
    grid.SetFocusCell(2, 2);
    grid.SendMessage(WM_CHAR, 'x', 0);
    ASSERT_NE(grid.m_hInPlaceEdit, nullptr);
    HDC dc = ::GetDC(grid.m_hInPlaceEdit);
    auto brush = [&] {
        return grid.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                reinterpret_cast<LPARAM>(grid.m_hInPlaceEdit));
    };
    LRESULT first = brush();
    EXPECT_NE(first, 0);
    EXPECT_EQ(brush(), first) << "a repaint makes no new brush";
    int row = 2, col = 2;
    ASSERT_TRUE(grid.SetItemColors(row, col, 0, 4, 0));
    LRESULT coloured = brush();
    LOGBRUSH lb{};
    ASSERT_NE(::GetObjectA(reinterpret_cast<HBRUSH>(coloured), sizeof lb, &lb), 0);
    EXPECT_EQ(lb.lbColor, FormColour(4));
    EXPECT_EQ(::GetObjectA(reinterpret_cast<HBRUSH>(first), sizeof lb, &lb), 0) << "the old brush is deleted";
    ::ReleaseDC(grid.m_hInPlaceEdit, dc);
}
