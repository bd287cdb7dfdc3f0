// The grid's data model and the form's operations, against a scripted owner.
#include "tests/controls/GridFixture.h"

#include "app/ProtocolLog.h"
#include "app/SettingsBlock.h"
#include "controls/FormColours.h"
#include "framework/App.h"

#include <gmock/gmock.h>
#include <ole2.h>

#include <cstdio>
#include <cstring>
#include <fstream>
#include <iterator>
#include <string>

using ::testing::ElementsAre;

TEST_F(GridTest, CreationSizesEveryRowAndColumnToTheDefaults) {
    EXPECT_EQ(grid->GetRowCount(), 10);
    EXPECT_EQ(grid->GetColumnCount(), 4);
    EXPECT_EQ(grid->GetFixedRowCount(), 1);
    EXPECT_EQ(grid->GetFixedColumnCount(), 1);
    EXPECT_EQ(std::string(kGridClassName), "VORLAN.GridCtrl");
    char cls[64];
    GetClassNameA(grid->m_hWnd, cls, sizeof cls);
    EXPECT_STREQ(cls, "VORLAN.GridCtrl");
    EXPECT_TRUE(GetWindowLongA(grid->m_hWnd, GWL_STYLE) & WS_CLIPCHILDREN);
    // The font measured: the default row height is one text line and two margins.
    EXPECT_GT(grid->GetMarginX(), 0);
    for (int r = 0; r < 10; ++r) {
        EXPECT_EQ(grid->GetRowHeight(r), grid->GetDefaultRowHeight());
        EXPECT_EQ(grid->GetRowFlags(r), GVRF_NORMAL);
    }
    for (int c = 0; c < 4; ++c) EXPECT_EQ(grid->GetColumnFlags(c), GVCF_ENABLED);
    EXPECT_EQ(reinterpret_cast<HFONT>(grid->SendMessage(WM_GETFONT)), grid->GetFont());
}

TEST_F(GridTest, InsertRowAppendsAtTheCountAndRefusesBeyondIt) {
    grid->ModifyItemFormat(0, 2, DT_RIGHT | 1, 0);
    EXPECT_EQ(grid->InsertRow(10), 10);
    EXPECT_EQ(grid->GetRowCount(), 11);
    // The new row borrows the first row's format without bit 0.
    EXPECT_EQ(grid->GetItemFormat(10, 2), static_cast<UINT>(DT_RIGHT));
    EXPECT_EQ(grid->InsertRow(12), -1);
    EXPECT_EQ(grid->GetRowCount(), 11);
    EXPECT_EQ(grid->InsertRow(-1), 11);
    EXPECT_EQ(grid->InsertRow(-2), -1);
}

TEST_F(GridTest, InsertRowIntoAnEmptyGridMakesAColumnAndCopiesNoFormat) {
    Make(0, 0, 0, 0);
    EXPECT_EQ(grid->InsertRow(), 0);
    EXPECT_EQ(grid->GetColumnCount(), 1);
    EXPECT_EQ(grid->GetItemFormat(0, 0), 0u);
}

TEST_F(GridTest, InsertAndDeleteMoveTheSelectionAndTheFocusWithTheirRows) {
    grid->SetItemState(5, 2, GVIS_SELECTED);
    grid->SetFocusCell(6, 2);
    grid->InsertRow(3);
    EXPECT_EQ(grid->GetItemState(6, 2), static_cast<UINT>(GVIS_SELECTED));
    EXPECT_TRUE(grid->IsCellSelected(6, 2));
    EXPECT_FALSE(grid->IsCellSelected(5, 2));
    EXPECT_EQ(grid->GetFocusCell(), CCellID(7, 2));
    grid->DeleteRow(6);
    EXPECT_EQ(grid->GetSelectedCount(), 0u);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(6, 2));
    grid->DeleteRow(6);
    EXPECT_FALSE(grid->GetFocusCell().IsValid());
}

TEST_F(GridTest, EmptyRowClearsToTheLastColumnResetsTheFlagAndKeepsTheHeight) {
    for (int c = 0; c < 4; ++c) grid->SetItemText(3, c, "x");
    int r = 3, c = 2;
    grid->SetItemColors(r, c, 2, 5, 1);
    grid->SetRowHeight(3, 44);
    grid->ModifyRowFlags(3, 0xFFFF, 0x2005);
    EXPECT_TRUE(grid->EmptyRow(3, 1, -1));
    EXPECT_EQ(grid->GetItemText(3, 0), "x");
    for (int col = 1; col < 4; ++col) EXPECT_EQ(grid->GetItemText(3, col), "") << col;
    EXPECT_EQ(grid->GetCell(3, 2)->m_crBkClr, kDefaultColour);
    EXPECT_EQ(grid->GetRowHeight(3), 44);
    EXPECT_EQ(grid->GetRowFlags(3), GVRF_NORMAL);
    EXPECT_FALSE(grid->EmptyRow(10));
}

TEST_F(GridTest, EmptyRowInListModeKeepsTheCellsButDropsTheirSpans) {
    grid->SetListMode(true);
    grid->SetItemText(2, 1, "bleibt");
    grid->SetItemColSpan(2, 1, 2);
    grid->EmptyRow(2);
    EXPECT_EQ(grid->GetItemText(2, 1), "bleibt");
    EXPECT_EQ(grid->GetCell(2, 1)->m_nColSpan, 0);
    EXPECT_EQ(grid->GetCell(2, 2)->m_nColSpan, 0);
    EXPECT_EQ(grid->GetAnchorCell(2, 3), CCellID(2, 3));
}

TEST_F(GridTest, ColoursComeFromTheFormTableAndZeroOrTooLargeMeansDefault) {
    int r = 2, c = 1;
    EXPECT_TRUE(grid->SetItemColors(r, c, 12, 5, 4));
    const CGridCell* cell = grid->GetCell(2, 1);
    EXPECT_EQ(cell->m_crFgClr, 0xFF0000u);
    EXPECT_EQ(cell->m_crBkClr, 0x80FFFFu);
    EXPECT_EQ(cell->m_nShape, 4);
    grid->SetItemColors(r, c, 0, 200, 0);
    EXPECT_EQ(cell->m_crFgClr, kDefaultColour);
    EXPECT_EQ(cell->m_crBkClr, kDefaultColour);
    r = 10;
    EXPECT_FALSE(grid->SetItemColors(r, c, 1, 1, 0));
}

TEST_F(GridTest, OutOfRangeCellsChangeNothingAndReadAsZero) {
    EXPECT_FALSE(grid->SetItemText(10, 0, "x"));
    EXPECT_FALSE(grid->SetItemText(0, 4, "x"));
    EXPECT_FALSE(grid->SetItemText(-1, 0, "x"));
    EXPECT_FALSE(grid->SetItemState(0, -1, GVIS_SELECTED));
    EXPECT_FALSE(grid->ModifyRowFlags(10, 0, 1));
    EXPECT_FALSE(grid->ModifyColumnFlags(4, 0, 1));
    EXPECT_FALSE(grid->SetColumnWidth(4, 10));
    EXPECT_EQ(grid->GetItemText(10, 0), "");
    EXPECT_EQ(grid->GetItemState(10, 0), 0u);
    EXPECT_EQ(grid->GetRowHeight(10), -1);
    EXPECT_EQ(grid->GetColumnWidth(-1), -1);
    EXPECT_EQ(grid->GetSelectedCount(), 0u);
}

TEST_F(GridTest, SpansAreClampedToTheLastColumnAndOverlapsGiveUpTheirCells) {
    EXPECT_TRUE(grid->SetItemColSpan(2, 2, 5));
    EXPECT_EQ(grid->GetCell(2, 2)->m_nColSpan, 1);
    EXPECT_EQ(grid->GetAnchorCell(2, 3), CCellID(2, 2));
    // A new span over that anchor's cells frees them from it first.
    EXPECT_TRUE(grid->SetItemColSpan(2, 1, 1));
    EXPECT_EQ(grid->GetCell(2, 1)->m_nColSpan, 1);
    EXPECT_EQ(grid->GetAnchorCell(2, 2), CCellID(2, 1));
    EXPECT_EQ(grid->GetAnchorCell(2, 3), CCellID(2, 3));
    EXPECT_EQ(grid->GetCell(2, 3)->m_nColSpan, 0);
    // A row span below the last row grows the rows.
    EXPECT_TRUE(grid->SetItemRowSpan(8, 1, 3));
    EXPECT_EQ(grid->GetRowCount(), 12);
    EXPECT_EQ(grid->GetAnchorCell(11, 1), CCellID(8, 1));
    EXPECT_EQ(grid->GetCell(11, 1)->m_nRowSpan, -3);
    EXPECT_EQ(grid->GetCell(11, 1)->m_nColSpan, 0);
    EXPECT_EQ(grid->GetAnchorCell(11, 2), CCellID(11, 2));
}

TEST_F(GridTest, FixedCountsGrowTheGridAndAFixedFocusColumnLosesTheFocus) {
    EXPECT_TRUE(grid->SetFixedRowCount(12));
    EXPECT_EQ(grid->GetRowCount(), 12);
    grid->SetFixedRowCount(1);
    grid->SetFocusCell(3, 1);
    ASSERT_TRUE(grid->GetFocusCell().IsValid());
    EXPECT_TRUE(grid->SetFixedColumnCount(2));
    EXPECT_FALSE(grid->GetFocusCell().IsValid());
    EXPECT_TRUE(grid->SetFixedColumnCount(6));
    EXPECT_EQ(grid->GetColumnCount(), 6);
}

TEST_F(GridTest, ALoadOfFewerRowsThanHeadersKeepsTheHeaderCountForTheNextLoad) {
    Make(10, 4, 2, 1);
    ASSERT_TRUE(grid->SetRowCount(1));
    EXPECT_EQ(grid->GetFixedRowCount(), 1) << "never more header rows than rows";
    ASSERT_TRUE(grid->SetRowCount(0));
    EXPECT_EQ(grid->GetFixedRowCount(), 0);
    ASSERT_TRUE(grid->SetRowCount(8));
    EXPECT_EQ(grid->GetFixedRowCount(), 2) << "the rows are back: so are both header rows";
    ASSERT_TRUE(grid->SetFixedRowCount(1));
    ASSERT_TRUE(grid->SetRowCount(0));
    ASSERT_TRUE(grid->SetRowCount(5));
    EXPECT_EQ(grid->GetFixedRowCount(), 1) << "the count last asked for";
}

TEST_F(GridTest, RowHeightsCountInDefaultsAndFixedHeightRowsKeepTheirs) {
    int def = grid->GetDefaultRowHeight();
    grid->SetRowHeight(2, -3);
    EXPECT_EQ(grid->GetRowHeight(2), 3 * def);
    grid->SetRowHeight(3, 50);
    grid->ModifyRowFlags(3, 0, GVRF_FIXEDHEIGHT);
    EXPECT_FALSE(grid->SetRowHeight(3, 0, true));
    EXPECT_EQ(grid->GetRowHeight(3), 50);
    EXPECT_TRUE(grid->SetRowHeight(2, 0, true));
    EXPECT_EQ(grid->GetRowHeight(2), def);
    EXPECT_EQ(grid->GetVirtualHeight(), 9 * def + 50);
}

TEST_F(GridTest, ServerSizesAreClampedAndTheirTotalsStopAtTheIntRange) {
    grid->SetRowHeight(2, 0x7FFFFFFF);
    EXPECT_EQ(grid->GetRowHeight(2), CGridCtrl::kMaxCellSize);
    grid->SetRowHeight(2, -0x7FFFFFFF);
    EXPECT_EQ(grid->GetRowHeight(2), CGridCtrl::kMaxCellSize) << "a huge multiple of the default";
    grid->SetColumnWidth(1, -5);
    EXPECT_EQ(grid->GetColumnWidth(1), 0);
    grid->SetColumnWidth(1, 1 << 30);
    EXPECT_EQ(grid->GetColumnWidth(1), CGridCtrl::kMaxCellSize);

    // 70,000 rows of the largest height are more pixels than an int holds.
    grid->SetRedraw(false);
    ASSERT_TRUE(grid->SetRowCount(70000));
    for (int r = 0; r < 70000; ++r) grid->SetRowHeight(r, 40000);
    EXPECT_EQ(grid->GetVirtualHeight(), 0x7FFFFFFF);
    EXPECT_EQ(grid->GetFixedRowHeight(), CGridCtrl::kMaxCellSize);
}

TEST_F(GridTest, TheFillSwitchWidensTheLastColumnToTheClientWidth) {
    grid->SetFillLastColumn(true);
    grid->SetColumnWidth(0, 50);
    CRect client = grid->GetClientRect();
    EXPECT_EQ(grid->GetVirtualWidth(), client.Width());
}

TEST_F(GridTest, AutoSizingFitsTheWidestTextAndMarksTheSizesAsChanged) {
    grid->SetItemText(4, 2, "Ein recht langer Zelltext");
    grid->SetColumnWidth(2, 10);
    EXPECT_EQ(grid->m_bSizesChanged, 0);
    grid->AutoSizeColumn(2);
    int wide = grid->GetColumnWidth(2);
    EXPECT_GT(wide, 100);
    EXPECT_EQ(grid->m_bSizesChanged, 1);
    grid->SetItemText(4, 2, "kurz");
    grid->AutoSizeColumn(2, true);
    EXPECT_EQ(grid->GetColumnWidth(2), wide);
    // A multi-line cell makes its row as tall as its lines and keeps it so.
    grid->SetItemText(5, 1, "eins\r\nzwei\r\ndrei");
    grid->ModifyItemStyle(5, 1, GVSTYLE_MULTILINE, 0);
    grid->AutoSizeRow(5);
    EXPECT_GT(grid->GetRowHeight(5), 2 * grid->GetDefaultRowHeight());
    EXPECT_TRUE(grid->GetRowFlags(5) & GVRF_FIXEDHEIGHT);
    grid->SetRowHeight(6, 0);
    grid->AutoSizeRow(6);
    EXPECT_EQ(grid->GetRowHeight(6), 0);
}

TEST_F(GridTest, AutoSizingCountsTheLinesOfAMultiLineCell) {
    grid->SetItemText(3, 2, "x");
    grid->SetItemText(4, 2, "Erste Zeile\r\nzweite, etwas l\xE4ngere Zeile");
    grid->ModifyItemStyle(4, 2, GVSTYLE_MULTILINE, 0);
    grid->SetColumnWidth(2, 400);
    grid->AutoSizeColumn(2);
    HDC dc = GetDC(grid->m_hWnd);
    HGDIOBJ old = SelectObject(dc, grid->GetFont());
    SIZE line{};
    const char* longest = "zweite, etwas l\xE4ngere Zeile";
    GetTextExtentPoint32A(dc, longest, static_cast<int>(strlen(longest)), &line);
    SelectObject(dc, old);
    ReleaseDC(grid->m_hWnd, dc);
    EXPECT_GE(grid->GetColumnWidth(2), line.cx) << "the column keeps room for the longest line";
    EXPECT_GT(grid->GetRowHeight(4), grid->GetDefaultRowHeight()) << "and the row for both lines";
}

TEST_F(GridTest, SelectedRangeSelectsInsideAndUnselectsOutside) {
    grid->SetSelectedRange(1, 1, 2, 2);
    EXPECT_EQ(grid->GetSelectedCount(), 4u);
    grid->SetSelectedRange(2, 2, 3, 3);
    EXPECT_EQ(grid->GetSelectedCount(), 4u);
    EXPECT_FALSE(grid->GetItemState(1, 1) & GVIS_SELECTED);
    EXPECT_TRUE(grid->GetItemState(3, 3) & GVIS_SELECTED);
    grid->ResetSelectedRange();
    EXPECT_EQ(grid->GetSelectedCount(), 0u);
    grid->SetSelectionAllowed(false);
    grid->SetSelectedRange(1, 1, 1, 1);
    EXPECT_EQ(grid->GetSelectedCount(), 0u);
}

TEST_F(GridTest, SelectionOfRowsSixtyFiveThousandFiveHundredThirtySixApartStaysApart) {
    Make(65538, 1, 0, 0);
    grid->SetItemState(1, 0, GVIS_SELECTED);
    grid->SetItemState(65537, 0, GVIS_SELECTED);
    grid->SetItemState(1, 0, 0);
    EXPECT_EQ(grid->GetSelectedCount(), 1u);
    EXPECT_TRUE(grid->IsCellSelected(65537, 0));
}

TEST_F(GridTest, FocusChangeAsksTheFormAndListModeTakesTheBlockItAnswers) {
    grid->SetFocusCell(2, 1);
    EXPECT_THAT(owner.Codes(), ElementsAre(GVN_FOCUSCELL));
    EXPECT_EQ(owner.notes[0].record.hdr.idFrom, kGridControlId);
    EXPECT_EQ(owner.notes[0].record.hdr.hwndFrom, grid->m_hWnd);
    grid->SetListMode(true);
    owner.notes.clear();
    owner.answer = [](NM_GRIDVIEW& nm) {
        if (nm.hdr.code == GVN_LISTFOCUS) {
            nm.iRow2 = nm.iRow + 1;
            nm.iColumn2 = -1; // to the last column
        }
        return 1;
    };
    grid->SetFocusCell(4, 1);
    EXPECT_THAT(owner.Codes(), ElementsAre(GVN_FOCUSCELL, GVN_LISTFOCUS));
    EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 1));
    // A refusal of code 10 leaves the focus where it was.
    owner.answer = [](NM_GRIDVIEW& nm) { return nm.hdr.code == GVN_LISTFOCUS ? 0 : 1; };
    grid->SetFocusCell(6, 2);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 1));
}

TEST_F(GridTest, WmUserClampsIntoTheCellsAndPassesOverWhatCannotTakeTheFocus) {
    struct Case {
        const char* what;
        int row, col;
        CCellID expected;
    } cases[] = {
        {"a fixed row becomes the first non-fixed one", 0, 2, {1, 2}},
        {"a fixed column becomes the first focusable one", 3, 0, {3, 1}},
        {"beyond the grid is clamped to the last cell", 50, 50, {9, 3}},
        {"a skipped cell passes to the next column", 4, 2, {4, 3}},
        {"a spacer row passes to the next row", 6, 2, {7, 1}},
    };
    grid->SetItemState(4, 2, GVIS_SKIP);
    grid->ModifyRowFlags(6, GVRF_NORMAL, 0);
    for (const auto& c : cases) {
        grid->SendMessage(WM_USER, static_cast<WPARAM>(c.row), c.col);
        EXPECT_EQ(grid->GetFocusCell(), c.expected) << c.what;
    }
    // Nothing focusable: no focus cell, and the search ends.
    for (int c = 1; c < 4; ++c) grid->ModifyColumnFlags(c, GVCF_ENABLED, 0);
    grid->SendMessage(WM_USER, 3, 2);
    EXPECT_FALSE(grid->GetFocusCell().IsValid());
}

TEST_F(GridTest, WmUserWithoutArgumentsTakesTheRememberedPositionOnce) {
    grid->SetFocusCell(3, 2);
    grid->HideFocusCell();
    EXPECT_FALSE(grid->GetFocusCell().IsValid());
    EXPECT_EQ(grid->m_idRemembered, CCellID(3, 2));
    grid->SendMessage(WM_USER, static_cast<WPARAM>(-1), -1);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(3, 2));
    // Both given: the remembered position is forgotten.
    grid->SendMessage(WM_USER, 5, 3);
    EXPECT_FALSE(grid->m_idRemembered.IsValid());
}

TEST_F(GridTest, WmUserWhileAChildHasTheFocusKeepsTheFocusCell) {
    grid->SetFocusCell(2, 2);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD | WS_VISIBLE, 0, 0, 50, 20, grid->m_hWnd,
                                reinterpret_cast<HMENU>(kInPlaceEditId), nullptr, nullptr);
    SetFocus(edit);
    grid->SendMessage(WM_USER, static_cast<WPARAM>(-1), -1);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 2));
    grid->SendMessage(WM_USER, 5, 3);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(2, 2));
    DestroyWindow(edit);
}

TEST_F(GridTest, GotoCellOnlyRemembersWhileThereIsNoFocusCell) {
    grid->GotoCell(5, 2);
    EXPECT_FALSE(grid->GetFocusCell().IsValid());
    EXPECT_EQ(grid->m_idRemembered, CCellID(5, 2));
    grid->SetFocusCell(1, 1);
    grid->GotoCell(4, -1);
    EXPECT_EQ(grid->GetFocusCell(), CCellID(4, 1));
}

TEST_F(GridTest, EndEditCellStoresTheTextAndReportsTheKey) {
    grid->EndEditCell(3, 2, "neu", VK_TAB);
    EXPECT_EQ(grid->GetItemText(3, 2), "neu");
    ASSERT_FALSE(owner.notes.empty());
    EXPECT_EQ(owner.notes[0].code, GVN_ENDEDIT);
    EXPECT_EQ(owner.notes[0].record.iRow, 3);
    EXPECT_EQ(owner.notes[0].record.iColumn, 2);
    EXPECT_EQ(owner.notes[0].record.lValue, VK_TAB);
    owner.notes.clear();
    grid->EndEditCell(3, 2, "alt", VK_ESCAPE);
    EXPECT_EQ(owner.notes.at(0).record.lValue, 0);
}

TEST_F(GridTest, AnOwnerThatDestroysTheGridInsideTheNotificationLeavesNothingDangling) {
    grid->SetFocusCell(2, 2);
    owner.answer = [this](NM_GRIDVIEW&) {
        DestroyWindow(grid->m_hWnd);
        return 1;
    };
    grid->EndEditCell(2, 2, "weg", VK_RETURN);
    EXPECT_FALSE(IsWindow(grid->m_hWnd));
    Make();
    owner.answer = [this](NM_GRIDVIEW&) {
        DestroyWindow(grid->m_hWnd);
        return 1;
    };
    grid->SetFocusCell(3, 3);
    EXPECT_FALSE(grid->GetFocusCell().IsValid());
}

TEST_F(GridTest, ScrollBarsAppearOnlyWhenTheRowsDoNotFit) {
    EXPECT_FALSE(GetWindowLongA(grid->m_hWnd, GWL_STYLE) & WS_VSCROLL);
    grid->SetRowCount(200);
    EXPECT_TRUE(GetWindowLongA(grid->m_hWnd, GWL_STYLE) & WS_VSCROLL);
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    GetScrollInfo(grid->m_hWnd, SB_VERT, &si);
    int rows = grid->GetVirtualHeight() - grid->GetFixedRowHeight();
    EXPECT_EQ(si.nMax, rows + grid->GetRowHeight(199) - 1); // one row of slack
    EXPECT_EQ(static_cast<int>(si.nPage), grid->GetClientRect().Height() - grid->GetFixedRowHeight());
    // Positions beyond 65535 survive.
    grid->SetRowCount(5000);
    grid->SetScrollPos32(SB_VERT, 70000);
    EXPECT_EQ(grid->GetScrollPos32(SB_VERT), 70000);
    grid->EnsureVisible(4999, 1);
    EXPECT_TRUE(grid->IsCellVisible(4999, 1));
    EXPECT_EQ(grid->GetCellFromPt(CPoint(100, grid->GetFixedRowHeight())), grid->GetTopleftNonFixedCell());
}

TEST_F(GridTest, WithRedrawOffNothingIsInvalidatedAndSwitchingOnRepaints) {
    UpdateWindow(grid->m_hWnd);
    grid->SetRedraw(false);
    for (int r = 0; r < 100; ++r) {
        int row = grid->InsertRow();
        grid->SetItemText(row, 1, "x");
        grid->SetRowHeight(row, 30);
    }
    RECT dirty{};
    EXPECT_FALSE(GetUpdateRect(grid->m_hWnd, &dirty, FALSE));
    grid->SetRedraw(true, true);
    EXPECT_TRUE(GetUpdateRect(grid->m_hWnd, &dirty, FALSE));
}

TEST_F(GridTest, WithoutAnOwnerTheGridGoesOnAsIfAllowed) {
    CGridCtrl lone;
    ASSERT_TRUE(lone.Create(WS_POPUP, CRect(0, 0, 200, 100), nullptr, 0));
    lone.SetRowCount(3);
    lone.SetColumnCount(2);
    lone.SetListMode(true);
    lone.SetFocusCell(1, 1);
    EXPECT_EQ(lone.GetFocusCell(), CCellID(1, 1));
}

TEST_F(GridTest, UnderVisualStylesAClientEdgeBecomesABorder) {
    CGridCtrl themed;
    themed.SetVisualStyles(true);
    ASSERT_TRUE(themed.Create(WS_CHILD, CRect(0, 0, 100, 100), owner.m_hWnd, 7, WS_EX_CLIENTEDGE));
    EXPECT_TRUE(GetWindowLongA(themed.m_hWnd, GWL_STYLE) & WS_BORDER);
    EXPECT_FALSE(GetWindowLongA(themed.m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
    CGridCtrl plain;
    ASSERT_TRUE(plain.Create(WS_CHILD, CRect(0, 0, 100, 100), owner.m_hWnd, 8, WS_EX_CLIENTEDGE));
    EXPECT_TRUE(GetWindowLongA(plain.m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

namespace {

class ThemedApp : public CWinApp {
  public:
    ThemedApp() : CWinApp("GridThemeTest") {}
    bool IsThemeActive() const override { return true; }
};

} // namespace

TEST_F(GridTest, AProgramThatDrawsWithVisualStylesGivesItsGridsTheBorder) {
    ThemedApp app;
    CGridCtrl themed;
    ASSERT_TRUE(themed.Create(WS_CHILD, CRect(0, 0, 100, 100), owner.m_hWnd, 7, WS_EX_CLIENTEDGE));
    EXPECT_TRUE(GetWindowLongA(themed.m_hWnd, GWL_STYLE) & WS_BORDER);
    EXPECT_FALSE(GetWindowLongA(themed.m_hWnd, GWL_EXSTYLE) & WS_EX_CLIENTEDGE);
}

TEST_F(GridTest, DestroyingAGridLeavesOleInitialisedForEveryoneElse) {
    grid.reset();
    HRESULT again = OleInitialize(nullptr);
    EXPECT_EQ(again, S_FALSE); // still initialised on this thread
    OleUninitialize();
}

TEST_F(GridTest, RowsInsertedDeletedOrEmptiedInsideASpanEndItInsteadOfShiftingIt) {
    grid->SetItemRowSpan(2, 1, 2); // rows 2-4
    grid->InsertRow(3);
    EXPECT_EQ(grid->GetCell(2, 1)->m_nRowSpan, 0);
    EXPECT_EQ(grid->GetAnchorCell(4, 1), CCellID(4, 1));
    EXPECT_EQ(grid->GetAnchorCell(5, 1), CCellID(5, 1));
    grid->SetItemColSpan(6, 1, 2);
    grid->DeleteRow(6);
    for (int c = 1; c < 4; ++c) EXPECT_EQ(grid->GetAnchorCell(6, c), CCellID(6, c)) << c;
    grid->SetItemColSpan(7, 1, 2);
    grid->EmptyRow(7, 3, 3); // only a covered cell
    EXPECT_EQ(grid->GetCell(7, 1)->m_nColSpan, 0);
    EXPECT_EQ(grid->GetAnchorCell(7, 2), CCellID(7, 2));
}

TEST_F(GridTest, InsertAndEmptyRowWriteTheirTraceLinesWithTheFunctionTrace) {
    vorlan::SettingsBlock settings{};
    settings.protocolAll = 1;
    vorlan::SetProtocolSettings(&settings);
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    vorlan::SetProtocolFolder(temp);
    vorlan::WriteProtocol("gridtrace", vorlan::kLogName);
    std::string path = vorlan::ProtocolFileName();
    std::remove(path.c_str());
    grid->InsertRow();
    grid->EmptyRow(3);
    vorlan::SetProtocolSettings(nullptr);
    vorlan::ResetProtocol();
    std::ifstream in(path, std::ios::binary);
    std::string log((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    in.close();
    std::remove(path.c_str());
    EXPECT_NE(log.find("CGridCtrl::InsertRow"), std::string::npos);
    EXPECT_NE(log.find("CGridCtrl::EmptyRow - before - 3 < 11"), std::string::npos);
    EXPECT_NE(log.find("CGridCtrl::EmptyRow - after"), std::string::npos);
}
