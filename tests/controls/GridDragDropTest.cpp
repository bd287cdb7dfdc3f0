// Drags between grids through their drop targets, with the system's drag loop replaced by one
// that drops at a chosen cell; text and stale tokens from outside; the clipboard picture.
#include "tests/controls/GridInputFixture.h"

#include "controls/GridDragDrop.h"
#include "framework/Clipboard.h"
#include "framework/OleDragDrop.h"
#include "tests/harness/Person.h"
#include "tests/harness/Pointer.h"

#include <cstring>

namespace {

// Where the replaced drag loop drops: which grid, at which screen point, with which keys.
struct DropPlan {
    TestGrid* target = nullptr;
    POINT at{};
    DWORD keys = 0;
    DROPEFFECT effect = DROPEFFECT_NONE;
    bool ran = false;
};
DropPlan g_plan;

DROPEFFECT PlannedLoop(IDataObject* data, COleDropSource*, DROPEFFECT allowed) {
    g_plan.ran = true;
    g_plan.effect = fw::DropInProcess(*g_plan.target->m_pDropTarget, data, g_plan.at, allowed, g_plan.keys);
    return g_plan.effect;
}

HGLOBAL Bytes(const void* data, size_t size) {
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE, size);
    std::memcpy(::GlobalLock(block), data, size);
    ::GlobalUnlock(block);
    return block;
}

} // namespace

class GridDragTest : public GridTest {
  protected:
    ScriptedOwner otherOwner;
    TestGrid other;
    fw::DragLoop previous = nullptr;

    void SetUp() override {
        GridTest::SetUp();
        ASSERT_TRUE(otherOwner.CreateEx(0, "GridTest.Owner", "Ziel", WS_POPUP | WS_VISIBLE,
                                        CRect(540, 20, 1000, 320), nullptr, 0));
        ASSERT_TRUE(other.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 440, 300), otherOwner, kGridControlId));
        Fill(other, kRows, kCols);
        for (CGridCtrl* g : {static_cast<CGridCtrl*>(&grid), static_cast<CGridCtrl*>(&other)}) {
            g->SetListMode(true);
            g->SetDragFlags(kGridDragRows | kGridDragColumns);
        }
        previous = fw::SetDragLoop(&PlannedLoop);
        g_plan = DropPlan();
    }
    void TearDown() override {
        fw::SetDragLoop(previous);
        if (other.IsWindow()) other.DestroyWindow();
        if (otherOwner.IsWindow()) otherOwner.DestroyWindow();
        GridTest::TearDown();
    }
    void PlanDrop(TestGrid& target, int row, int col, DWORD keys = 0) {
        RECT r{};
        ASSERT_TRUE(target.GetCellRect(row, col, &r));
        POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ::ClientToScreen(target, &p);
        g_plan.target = &target;
        g_plan.at = p;
        g_plan.keys = keys;
    }
    // Presses on the cell and moves down far enough to start a drag.
    void DragFrom(int row, int col) {
        CPoint p = CellCentre(row, col);
        grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        grid.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(p.x, p.y + ::GetSystemMetrics(SM_CYDRAG) + 1));
    }
    DROPEFFECT DropData(TestGrid& target, int row, int col, IDataObject* data, DWORD keys = 0) {
        PlanDrop(target, row, col, keys);
        return fw::DropInProcess(*target.m_pDropTarget, data, g_plan.at, DROPEFFECT_COPY | DROPEFFECT_MOVE,
                                 keys);
    }
};

TEST_F(GridDragTest, ACellBlockDropsOntoAnotherGridAndTheSourceHearsWhoTookIt) {
    owner.steps[GVN_BEGINDRAG] = [](NM_GRIDVIEW& nm) {
        EXPECT_EQ(nm.iExtra, 1) << "a cell-block drag";
        nm.iRow2 = nm.iRow + 1; // a 2 x 2 block from the pressed cell
        nm.iColumn2 = nm.iColumn + 1;
    };
    PlanDrop(other, 5, 3);
    DragFrom(2, 2);
    ASSERT_TRUE(g_plan.ran);
    EXPECT_EQ(g_plan.effect, static_cast<DWORD>(DROPEFFECT_MOVE));
    const Notified* dropped = otherOwner.Last(GVN_DROPCELLS);
    ASSERT_NE(dropped, nullptr);
    EXPECT_EQ(dropped->row, 5);
    EXPECT_EQ(dropped->col, 3);
    EXPECT_EQ(dropped->row2, 6);
    EXPECT_EQ(dropped->col2, 4);
    EXPECT_EQ(other.GetFocusCell(), CCellID(5, 3)) << "the focus follows the drop";
    const Notified* ended = owner.Last(GVN_DRAGENDED);
    ASSERT_NE(ended, nullptr);
    EXPECT_EQ(ended->from, otherOwner.m_hWnd) << "the form that accepted the drop";
    EXPECT_EQ(ended->row, 2) << "the source block, for the source form's refresh";
    EXPECT_EQ(ended->col, 2);
    EXPECT_EQ(ended->row2, 3);
    EXPECT_EQ(ended->col2, 3);
    EXPECT_FALSE(TheGridDrag().running);
    EXPECT_EQ(grid.GetMouseMode(), kMouseNothing);
}

TEST_F(GridDragTest, CtrlCopiesAndTheFormStillHearsTheSameDrop) {
    PlanDrop(other, 4, 2, MK_CONTROL);
    DragFrom(3, 1);
    EXPECT_EQ(g_plan.effect, static_cast<DWORD>(DROPEFFECT_COPY));
    EXPECT_EQ(otherOwner.Count(GVN_DROPCELLS), 1u);
}

TEST_F(GridDragTest, RowsMoveOnlyWithinTheirOwnGrid) {
    HoldKeys(true, false);
    PlanDrop(other, 6, 2);
    DragFrom(2, 2);
    ReleaseKeys();
    ASSERT_TRUE(g_plan.ran);
    EXPECT_EQ(g_plan.effect, static_cast<DWORD>(DROPEFFECT_NONE)) << "rows onto a second grid";
    EXPECT_EQ(otherOwner.Count(GVN_DROPROWS), 0u);
    ASSERT_NE(owner.Last(GVN_BEGINDRAG), nullptr);
    EXPECT_EQ(owner.Last(GVN_BEGINDRAG)->extra, 0);
    EXPECT_EQ(owner.Count(GVN_DRAGENDED), 0u) << "only cell blocks report their end";

    g_plan = DropPlan();
    HoldKeys(true, false);
    PlanDrop(grid, 7, 2);
    DragFrom(3, 2);
    ReleaseKeys();
    const Notified* rows = owner.Last(GVN_DROPROWS);
    ASSERT_NE(rows, nullptr);
    EXPECT_EQ(rows->row, 3);
    EXPECT_EQ(rows->row2, 7) << "the larger of the drop row and the block's end";
    EXPECT_EQ(rows->value, 7);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 2)) << "the focus goes back to the pressed cell";
}

TEST_F(GridDragTest, NoDragOutsideListModeOrWhenTheFormSaysNo) {
    owner.answers[GVN_BEGINDRAG] = 0;
    DragFrom(2, 2);
    EXPECT_FALSE(g_plan.ran);
    owner.answers[GVN_BEGINDRAG] = 1;
    grid.SetListMode(false);
    DragFrom(2, 2);
    EXPECT_FALSE(g_plan.ran);
    EXPECT_EQ(owner.Count(GVN_BEGINDRAG), 1u);
}

TEST_F(GridDragTest, OutsideTextLandsOnEditableCellsOnly) {
    COleDataSource text;
    text.CacheGlobalData(CF_TEXT, fw::MakeGlobalText("von draussen"));
    other.SetItemState(4, 2, GVIS_READONLY);
    EXPECT_EQ(DropData(other, 4, 2, text.GetInterface()), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_EQ(otherOwner.Count(GVN_DROPTEXT), 0u);

    other.SetListMode(false); // text is taken in every mode
    EXPECT_EQ(DropData(other, 4, 3, text.GetInterface()), static_cast<DWORD>(DROPEFFECT_COPY));
    const Notified* dropped = otherOwner.Last(GVN_DROPTEXT);
    ASSERT_NE(dropped, nullptr);
    EXPECT_EQ(dropped->text, "von draussen");
    EXPECT_EQ(other.GetFocusCell(), CCellID(4, 3));
}

TEST_F(GridDragTest, AGridTokenWithoutARunningDragIsStale) {
    COleDataSource stale;
    stale.CacheGlobalData(static_cast<CLIPFORMAT>(other.m_cfGridData),
                          Bytes(kGridDataToken, sizeof kGridDataToken));
    ASSERT_FALSE(TheGridDrag().running);
    EXPECT_EQ(DropData(other, 3, 2, stale.GetInterface()), static_cast<DWORD>(DROPEFFECT_NONE));
    EXPECT_TRUE(otherOwner.notes.empty());

    COleDataSource foreign;
    UINT format = ::RegisterClipboardFormatA("GridTest.Other");
    foreign.CacheGlobalData(static_cast<CLIPFORMAT>(format), Bytes("x", 1));
    EXPECT_EQ(DropData(other, 3, 2, foreign.GetInterface()), static_cast<DWORD>(DROPEFFECT_NONE));
}

TEST_F(GridDragTest, CopyAndPasteCarryOnlyTheToken) {
    ::SetFocus(grid);
    grid.SetFocusCell(2, 2);
    grid.OnEditCopy();
    COleDataObject data;
    ASSERT_TRUE(data.AttachClipboard());
    HGLOBAL block = data.GetGlobalData(static_cast<CLIPFORMAT>(grid.m_cfGridData));
    ASSERT_NE(block, nullptr);
    EXPECT_EQ(::GlobalSize(block), sizeof kGridDataToken);
    EXPECT_EQ(std::memcmp(::GlobalLock(block), "VORLAN", 6), 0);
    ::GlobalUnlock(block);
    ::GlobalFree(block);
    EXPECT_TRUE(grid.PasteData(2, 2, &data));
    EXPECT_EQ(std::string(grid.GetItemText(2, 2)), "2/2") << "pasting changes no cell";
    grid.SetEditable(false);
    EXPECT_FALSE(grid.PasteData(2, 2, &data));
    data.Release();
    ::OleSetClipboard(nullptr);

    grid.OnEditSelectAll();
    EXPECT_EQ(grid.GetSelectedCount(), static_cast<size_t>((kRows - 1) * (kCols - 1)));
}

TEST_F(GridDragTest, TheDragImageIsTheFocusCell) {
    CSize size;
    grid.HideFocusCell();
    EXPECT_EQ(grid.CreateDragImage(&size), nullptr);
    grid.SetFocusCell(2, 2);
    HIMAGELIST image = grid.CreateDragImage(&size);
    ASSERT_NE(image, nullptr);
    EXPECT_EQ(ImageList_GetImageCount(image), 1);
    EXPECT_GT(size.cx, 0);
    EXPECT_GT(size.cy, 0);
    ImageList_Destroy(image);
}

namespace {

// The pixels of a painting of width x height into a fresh 24-bit bitmap, white first.
template <class Paint> std::vector<COLORREF> Pixels(int width, int height, Paint paint) {
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof info.bmiHeader;
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    void* bits = nullptr;
    HBITMAP bitmap = ::CreateDIBSection(screen, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::PatBlt(dc, 0, 0, width, height, WHITENESS);
    paint(dc);
    ::GdiFlush();
    std::vector<COLORREF> pixels(static_cast<const COLORREF*>(bits),
                                 static_cast<const COLORREF*>(bits) + static_cast<size_t>(width) * height);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    return pixels;
}

} // namespace

TEST_F(GridTest, TheClipboardPictureIsTheGridAsDrawnWithoutTheFocusFrame) {
    Fill(grid, 6, 4);
    int row = 2, col = 2;
    grid.SetItemColors(row, col, 3, 6, kShapeUp);
    grid.SetFocusCell(2, 2);
    const int width = grid.GetVirtualWidth(), height = grid.GetVirtualHeight();
    grid.CopyMetafileToClipboard();
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HENHMETAFILE picture =
        ::CopyEnhMetaFileA(static_cast<HENHMETAFILE>(::GetClipboardData(CF_ENHMETAFILE)), nullptr);
    ::CloseClipboard();
    ASSERT_NE(picture, nullptr);
    char description[128] = {};
    UINT length = ::GetEnhMetaFileDescriptionA(picture, sizeof description, description);
    EXPECT_EQ(std::string(description, 6), "VORLAN");
    EXPECT_EQ(std::string(description + 7), "Gitter") << "the parent window's title";
    EXPECT_GT(length, 0u);

    auto played = Pixels(width, height, [&](HDC dc) {
        RECT whole{0, 0, width, height};
        ::PlayEnhMetaFile(dc, picture, &whole);
    });
    // The same painting with the focus cell kept, its frame not shown.
    ASSERT_TRUE(grid.m_bFocusFrameShown);
    grid.m_bFocusFrameShown = false;
    auto drawn = Pixels(width, height, [&](HDC dc) {
        CDC target(dc);
        target.IntersectClipRect(CRect(0, 0, width, height));
        grid.OnDraw(&target, true);
    });
    grid.m_bFocusFrameShown = true;
    auto framed = Pixels(width, height, [&](HDC dc) {
        CDC target(dc);
        target.IntersectClipRect(CRect(0, 0, width, height));
        grid.OnDraw(&target, true);
    });
    EXPECT_NE(framed, drawn) << "the frame shows when drawn on screen";
    ::DeleteEnhMetaFile(picture);
    size_t differing = 0;
    for (size_t i = 0; i < drawn.size(); ++i)
        differing += (played[i] & 0xFFFFFF) != (drawn[i] & 0xFFFFFF);
    EXPECT_EQ(differing, 0u) << "of " << drawn.size();
}

TEST_F(GridDragTest, DraggingNearTheBottomScrollsUntilTheDragLeaves) {
    Fill(other, 400, kCols);
    other.ResetScrollBars();
    COleDataSource text;
    text.CacheGlobalData(CF_TEXT, fw::MakeGlobalText("t"));
    RECT client;
    ::GetClientRect(other, &client);
    POINT nearBottom{client.right / 2, client.bottom - 2};
    ::ClientToScreen(other, &nearBottom);
    ASSERT_TRUE(harness::MovePointer(nearBottom)); // where a real drag's cursor would be
    IDropTarget* drop = other.m_pDropTarget->GetInterface();
    DWORD effect = DROPEFFECT_COPY;
    drop->DragEnter(text.GetInterface(), MK_LBUTTON, POINTL{nearBottom.x, nearBottom.y}, &effect);
    effect = DROPEFFECT_COPY;
    drop->DragOver(MK_LBUTTON, POINTL{nearBottom.x, nearBottom.y}, &effect);
    EXPECT_TRUE(effect & DROPEFFECT_SCROLL);
    int first = other.GetScrollPos32(SB_VERT);
    EXPECT_GT(first, 0);
    EXPECT_EQ(otherOwner.Count(GVN_SCROLL), 0u) << "no scroll notice while dragging";
    ASSERT_TRUE(PumpUntil([&] { return other.GetScrollPos32(SB_VERT) > first; })) << "the timer repeats it";
    drop->DragLeave();
    Pump();
    int stopped = other.GetScrollPos32(SB_VERT);
    ::Sleep(60);
    Pump();
    EXPECT_EQ(other.GetScrollPos32(SB_VERT), stopped);
}

TEST_F(GridDragTest, ADragHandlesEdgesMoveRowsOrColumns) {
    grid.ModifyItemStyle(3, 1, GVSTYLE_DRAGHANDLE, 0);
    RECT cell{};
    ASSERT_TRUE(grid.GetCellRect(3, 1, &cell));
    int midX = (cell.left + cell.right) / 2, midY = (cell.top + cell.bottom) / 2;

    grid.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(midX, cell.bottom - 1));
    EXPECT_EQ(grid.GetMouseMode(), kMouseOverHandleBottom);
    PlanDrop(grid, 8, 2);
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(midX, cell.bottom - 1));
    EXPECT_EQ(grid.GetMouseMode(), kMouseHandlePressed);
    grid.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(midX, cell.bottom));
    const Notified* rows = owner.Last(GVN_DROPROWS);
    ASSERT_NE(rows, nullptr) << "the bottom edge drags rows";
    EXPECT_EQ(rows->value, 8);

    g_plan = DropPlan();
    grid.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(cell.right - 1, midY));
    EXPECT_EQ(grid.GetMouseMode(), kMouseOverHandleRight);
    PlanDrop(grid, 3, 3);
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(cell.right - 1, midY));
    grid.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(cell.right, midY));
    const Notified* cols = owner.Last(GVN_DROPCOLUMNS);
    ASSERT_NE(cols, nullptr) << "the right edge drags columns";
    EXPECT_EQ(cols->value, 3);
    EXPECT_EQ(cols->col2, 3);

    grid.SetDragFlags(0);
    grid.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(midX, cell.bottom - 1));
    EXPECT_EQ(grid.GetMouseMode(), kMouseNothing) << "no handle without drag flags";
}

TEST_F(GridDragTest, ACtrlDragMovesColumnsAfterAHandlesRightEdgeWasLastUnderThePointer) {
    grid.ModifyItemStyle(3, 1, GVSTYLE_DRAGHANDLE, 0);
    RECT handle{};
    ASSERT_TRUE(grid.GetCellRect(3, 1, &handle));
    // A click on the right edge of the handle: the edge is the last one the pointer was on.
    harness::Person person;
    person.Click(grid, POINT{handle.right - 1, (handle.top + handle.bottom) / 2});
    ASSERT_FALSE(g_plan.ran);
    // Wine takes a Ctrl of the input queue back at the next pointer event: the key is held as
    // the grid reads it.
    HoldKeys(true, false);
    PlanDrop(grid, 5, 4, MK_CONTROL);
    DragFrom(5, 2);
    ReleaseKeys();
    ASSERT_TRUE(g_plan.ran);
    ASSERT_NE(owner.Last(GVN_BEGINDRAG), nullptr);
    EXPECT_EQ(owner.Last(GVN_BEGINDRAG)->extra, 0) << "Ctrl drags a block of rows or columns";
    EXPECT_EQ(owner.Count(GVN_DROPROWS), 0u);
    const Notified* cols = owner.Last(GVN_DROPCOLUMNS);
    ASSERT_NE(cols, nullptr) << "columns, as the edge last hovered says";
    EXPECT_EQ(cols->value, 4);
}
