// Keys, mouse, scrolling, the tooltip and in-place editing of the grid against a scripted form.
#include "tests/controls/GridInputFixture.h"

#include "controls/FocusedControl.h"
#include "controls/InPlaceEdit.h"
#include "tests/harness/Person.h"
#include "tests/harness/Pointer.h"

namespace {

LRESULT CALLBACK StandInToolTip(HWND tip, UINT msg, WPARAM wParam, LPARAM lParam) {
    if (msg == WM_CREATE) {
        auto* cs = reinterpret_cast<const CREATESTRUCTA*>(lParam);
        if (cs->style & WS_VISIBLE) ::ShowWindow(tip, SW_SHOWNA);
        return 0;
    }
    if (msg == WM_NCHITTEST) return HTTRANSPARENT;
    return ::DefWindowProcA(tip, msg, wParam, lParam);
}

} // namespace

TEST_F(GridTest, TabAndArrowsPassOverSkippedCellsAndRowsWithoutTheNormalFlag) {
    grid.SetItemState(1, 2, GVIS_SKIP);
    grid.ModifyRowFlags(2, GVRF_NORMAL, 0);
    grid.SetFocusCell(1, 1);
    Key(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 3)) << "the skipped cell is passed over";
    Key(VK_TAB);
    Key(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 1)) << "on to the next row, past the one without the flag";
    Key(VK_UP);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1));
    HoldKeys(false, true);
    Key(VK_TAB);
    ReleaseKeys();
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1)) << "Shift+Tab before the first cell stays";
    owner.keys.clear();
    Key(VK_LEFT);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1));
    EXPECT_EQ(owner.keys, std::vector<WPARAM>{VK_UP}) << "Left with nowhere to go asks the form for Up";
    Key(VK_END);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(kRows - 1, 1));
    Key(VK_DOWN);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(kRows - 1, 1)) << "Down on the last row stays";
    Key(VK_HOME);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 1));
}

TEST_F(GridTest, TabBeyondTheLastCellAsksForARow) {
    grid.SetFocusCell(kRows - 1, kCols - 1);
    owner.answers[GVN_INSERTROW] = 0;
    Key(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(kRows - 1, kCols - 1)) << "refused: the focus stays";
    ASSERT_NE(owner.Last(GVN_INSERTROW), nullptr);
    EXPECT_EQ(owner.Last(GVN_INSERTROW)->value, VK_TAB);

    owner.answers[GVN_INSERTROW] = 1;
    owner.steps[GVN_INSERTROW] = [this](NM_GRIDVIEW&) { grid.InsertRow(); };
    Key(VK_TAB);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(kRows, 1)) << "the first focusable cell of the new row";
}

TEST_F(GridTest, LeavingACellIsTheFormsChoiceExceptForPlainArrowsAndTab) {
    grid.SetFocusCell(3, 2);
    owner.answers[GVN_LEAVECELL] = 0;
    Key(VK_HOME);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 2));
    Key(VK_DOWN);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 2)) << "arrows move anyway";
    HoldKeys(false, true);
    Key(VK_DOWN);
    ReleaseKeys();
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 2)) << "not with a modifier";
    EXPECT_EQ(owner.Count(GVN_LEAVECELL), 3u);
}

TEST_F(GridTest, InsertAsksEveryCellOfTheRowFirstAndDeleteClampsTheFocus) {
    grid.SetFocusCell(kRows - 1, 1);
    owner.steps[GVN_LEAVECELL] = [this](NM_GRIDVIEW& nm) {
        owner.answers[GVN_LEAVECELL] = nm.iColumn == 3 ? 0 : 1;
    };
    Key(VK_F6);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(kRows - 1, 3)) << "the cell the form would not leave";
    EXPECT_EQ(owner.Count(GVN_INSERTROW), 0u);
    owner.steps.erase(GVN_LEAVECELL);
    owner.answers[GVN_LEAVECELL] = 1;
    Key(VK_INSERT);
    EXPECT_EQ(owner.Count(GVN_INSERTROW), 1u);

    owner.steps[GVN_DELETEROW] = [this](NM_GRIDVIEW& nm) { grid.DeleteRow(nm.iRow); };
    Key(VK_F7);
    ASSERT_NE(owner.Last(GVN_DELETEROW), nullptr);
    EXPECT_EQ(owner.Last(GVN_DELETEROW)->value, VK_F7);
    EXPECT_EQ(grid.GetFocusCell().row, kRows - 2) << "clamped to the new last row";

    grid.SetListMode(true);
    size_t before = owner.notes.size();
    Key(VK_DELETE);
    Key(VK_INSERT);
    EXPECT_EQ(owner.notes.size(), before) << "list mode has no row keys";
}

TEST_F(GridTest, KeysTheGridDoesNotOwnGoToTheForm) {
    grid.SetFocusCell(2, 2);
    HoldKeys(true, false);
    Key(VK_RETURN);
    ReleaseKeys();
    Key(VK_F9);
    Key(VK_ESCAPE);
    EXPECT_EQ(owner.keys, (std::vector<WPARAM>{0x8000 | VK_RETURN, VK_F9, VK_ESCAPE}));
    Key(VK_F4);
    ASSERT_NE(owner.Last(GVN_TABLE), nullptr);
    EXPECT_EQ(owner.Last(GVN_TABLE)->row, 2);
}

TEST_F(GridTest, TypingOpensTheEditExceptOnAReadOnlyCell) {
    grid.SetFocusCell(2, 2);
    grid.SetItemState(2, 2, GVIS_READONLY);
    grid.SendMessage(WM_CHAR, 'x', 0);
    EXPECT_EQ(grid.m_hInPlaceEdit, nullptr);
    EXPECT_EQ(owner.Count(GVN_BEGINEDIT), 0u);

    grid.SetItemState(2, 2, 0);
    owner.answers[GVN_BEGINEDIT] = 0;
    grid.SendMessage(WM_CHAR, 'x', 0);
    EXPECT_EQ(grid.m_hInPlaceEdit, nullptr) << "the form said no";

    owner.answers[GVN_BEGINEDIT] = 1;
    grid.SendMessage(WM_CHAR, 'x', 0);
    ASSERT_NE(grid.m_hInPlaceEdit, nullptr);
    EXPECT_EQ(FocusedControlKind, kFocusKindGrid);
    EXPECT_EQ(fw::WindowText(grid.m_hInPlaceEdit), "x");
    ::SendMessageA(grid.m_hInPlaceEdit, WM_KEYDOWN, VK_RETURN, 0);
    const Notified* end = owner.Last(GVN_ENDEDIT);
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->value, VK_RETURN);
    EXPECT_EQ(std::string(grid.GetItemText(2, 2)), "x");
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 3)) << "Enter moves on as Tab";
}

TEST_F(GridTest, EscapeRestoresTheTextAndReportsKeyZero) {
    grid.SetFocusCell(3, 1);
    grid.SendMessage(WM_CHAR, 'q', 0);
    ASSERT_NE(grid.m_hInPlaceEdit, nullptr);
    ::SendMessageA(grid.m_hInPlaceEdit, WM_KEYDOWN, VK_ESCAPE, 0);
    const Notified* end = owner.Last(GVN_ENDEDIT);
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->value, 0);
    EXPECT_EQ(std::string(grid.GetItemText(3, 1)), "3/1");
    EXPECT_EQ(grid.GetFocusCell(), CCellID(3, 1));
    EXPECT_EQ(owner.Count(GVN_ENDEDIT), 1u) << "the edit ends once";
}

TEST_F(GridTest, AFormThatDestroysTheGridInsideTheEditsEndIsSurvived) {
    grid.SetFocusCell(2, 1);
    grid.SendMessage(WM_CHAR, 'z', 0);
    HWND edit = grid.m_hInPlaceEdit;
    ASSERT_NE(edit, nullptr);
    owner.steps[GVN_ENDEDIT] = [this](NM_GRIDVIEW&) { grid.DestroyWindow(); };
    ::SendMessageA(edit, WM_KEYDOWN, VK_TAB, 0);
    EXPECT_FALSE(grid.IsWindow());
    EXPECT_FALSE(::IsWindow(edit));
    EXPECT_EQ(owner.Count(GVN_ENDEDIT), 1u);
}

TEST_F(GridTest, AConfirmedCellEditsWithTheDropButton) {
    owner.answers[GVN_FOCUSCELL] = 1;
    grid.SetFocusCell(4, 2);
    EXPECT_EQ(grid.m_idConfirmedCell, CCellID(4, 2));
    grid.SendMessage(WM_CHAR, 'd', 0);
    ASSERT_NE(grid.m_hInPlaceEdit, nullptr);
    auto* edit = dynamic_cast<CInPlaceEdit*>(CWnd::FromHandlePermanent(grid.m_hInPlaceEdit));
    ASSERT_NE(edit, nullptr);
    EXPECT_FALSE(edit->IsPlain());
    ::SetFocus(grid);
    owner.answers[GVN_FOCUSCELL] = 0;
    grid.SetFocusCell(5, 2);
    grid.SendMessage(WM_CHAR, 'p', 0);
    ASSERT_NE(grid.m_hInPlaceEdit, nullptr);
    edit = dynamic_cast<CInPlaceEdit*>(CWnd::FromHandlePermanent(grid.m_hInPlaceEdit));
    ASSERT_NE(edit, nullptr);
    EXPECT_TRUE(edit->IsPlain()) << "the confirmation is forgotten at the next focus change";
}

TEST_F(GridTest, ClickOnTheFocusCellEditsAndRightClickCopiesTheFocusText) {
    grid.SetFocusCell(2, 2);
    CPoint p = CellCentre(2, 2);
    owner.answers[GVN_CLICK] = 0;
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(grid.GetMouseMode(), kMouseClick);
    grid.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    ASSERT_NE(grid.m_hInPlaceEdit, nullptr) << "a click on the focus cell edits it";
    EXPECT_EQ(grid.GetMouseMode(), kMouseNothing);
    ::SetFocus(grid);

    grid.SetContextMenu(false);
    CPoint q = CellCentre(3, 3);
    grid.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(q.x, q.y));
    grid.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(q.x, q.y));
    const Notified* end = owner.Last(GVN_ENDEDIT);
    ASSERT_NE(end, nullptr);
    EXPECT_EQ(end->value, 255);
    EXPECT_EQ(end->row, 3);
    EXPECT_EQ(std::string(grid.GetItemText(3, 3)), std::string(grid.GetItemText(2, 2)));

    grid.SetContextMenu(true);
    grid.SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(q.x, q.y));
    grid.SendMessage(WM_RBUTTONUP, 0, MAKELPARAM(q.x, q.y));
    EXPECT_EQ(owner.contextMenus, 1);
}

// Back from a field of the form, the click that brings the focus back only shows the cell it
// remembered; once the form has put the focus into the grid and keys moved it on, a click on
// the focus cell edits it.
TEST_F(GridTest, AClickThatBringsTheFocusBackDoesNotEditButOneAfterTheKeysDoes) {
    grid.SetFocusCell(2, 2);
    owner.answers[GVN_CLICK] = 0;
    auto click = [&](int row, int col) {
        CPoint p = CellCentre(row, col);
        grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(p.x, p.y));
        grid.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(p.x, p.y));
    };
    ::SetFocus(owner);
    grid.HideFocusCell();
    click(2, 2);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(2, 2)) << "the remembered cell again";
    EXPECT_EQ(grid.m_hInPlaceEdit, nullptr) << "a fresh click does not edit";

    ::SetFocus(owner);
    grid.HideFocusCell();
    grid.SendMessage(WM_USER, static_cast<WPARAM>(-1), -1);
    Key(VK_DOWN);
    ASSERT_EQ(grid.GetFocusCell(), CCellID(3, 2));
    owner.notes.clear();
    click(3, 2);
    ASSERT_NE(grid.m_hInPlaceEdit, nullptr) << "a click on the focus cell the keys moved to edits it";
    EXPECT_EQ(owner.Count(GVN_LEAVECELL), 0u) << "the cell was not left";
    ::SetFocus(grid);
}

TEST_F(GridTest, AClickOnTheFocusCellThatMovesALittleStillEdits) {
    // Outside list mode no drag begins: the press stays a click on the focus cell.
    grid.SetFocusCell(2, 2);
    owner.answers[GVN_CLICK] = 0;
    CPoint p = CellCentre(2, 2);
    RECT cell{};
    ASSERT_TRUE(grid.GetCellRect(2, 2, &cell));
    const int slip = ::GetSystemMetrics(SM_CYDRAG) + 1;
    ASSERT_LT(p.y + slip, cell.bottom) << "the pointer stays on the cell";
    harness::Person person;
    person.Drag(grid, POINT{p.x, p.y}, POINT{p.x, p.y + slip});
    EXPECT_EQ(owner.Count(GVN_BEGINDRAG), 0u);
    ASSERT_NE(grid.m_hInPlaceEdit, nullptr) << "the click's edit opened";
    EXPECT_EQ(::GetParent(person.Focus()), grid.m_hWnd);
    person.Press("Esc");
}

TEST_F(GridTest, AResizeAtAHeadersLeftEdgeSizesTheColumnToTheLeftAndCaptureLossFreesTheCursor) {
    RECT header{};
    ASSERT_TRUE(grid.GetCellRect(0, 2, &header));
    int before = grid.GetColumnWidth(1), second = grid.GetColumnWidth(2);
    int y = (header.top + header.bottom) / 2;
    grid.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(header.left + 1, y));
    EXPECT_EQ(grid.GetMouseMode(), kMouseOverColDivide);
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(header.left + 1, y));
    EXPECT_EQ(grid.GetMouseMode(), kMouseSizingCol);
    grid.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(header.left + 21, y));
    EXPECT_EQ(grid.GetColumnWidth(1), before + 20);
    EXPECT_EQ(grid.GetColumnWidth(2), second);

    // Another window takes the capture mid-resize: the resize ends, the cursor is free.
    ::SetCapture(owner);
    ::ReleaseCapture();
    EXPECT_EQ(grid.GetMouseMode(), kMouseNothing);
    RECT clip{};
    ::GetClipCursor(&clip);
    RECT screen{0, 0, ::GetSystemMetrics(SM_CXSCREEN), ::GetSystemMetrics(SM_CYSCREEN)};
    EXPECT_TRUE(::EqualRect(&clip, &screen));
    EXPECT_EQ(grid.m_bSizesChanged, 1);
    grid.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(header.left + 61, y));
    EXPECT_EQ(grid.GetColumnWidth(1), before + 20) << "the mouse no longer sizes";

    grid.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(header.left + 1, y));
    grid.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(header.left + 1, y));
    grid.SendMessage(WM_CANCELMODE, 0, 0);
    EXPECT_EQ(grid.GetMouseMode(), kMouseNothing);
    EXPECT_NE(::GetCapture(), grid.m_hWnd);
    ::GetClipCursor(&clip);
    EXPECT_TRUE(::EqualRect(&clip, &screen));
}

TEST_F(GridTest, ScrollPositionsBeyondSixteenBitsAndTheWheel) {
    Fill(grid, 100001, 3);
    grid.ResetScrollBars();
    grid.SendMessage(WM_VSCROLL, SB_BOTTOM, 0);
    int bottom = grid.GetScrollPos32(SB_VERT);
    EXPECT_GT(bottom, 65535);
    EXPECT_EQ(owner.Count(GVN_SCROLL), 1u) << "every scroll action is announced";

    grid.m_nWheelLines = 3;
    grid.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    Pump();
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), bottom - 3 * grid.GetRowHeight(5));

    grid.m_nWheelLines = 500; // more than a hundred lines is a page a notch
    int at = grid.GetScrollPos32(SB_VERT);
    grid.SendMessage(WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    Pump();
    RECT client;
    ::GetClientRect(grid, &client);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), at - (client.bottom - grid.GetFixedRowHeight()));

    grid.SendMessage(WM_VSCROLL, SB_TOP, 0);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 0);
    grid.SendMessage(WM_VSCROLL, SB_LINEUP, 0);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 0) << "not below the top";
}

TEST_F(GridTest, TheFormsScrollAnswerGivesTheGridTheFocus) {
    ::SetFocus(owner);
    owner.answers[GVN_SCROLL] = 0;
    grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_NE(::GetFocus(), grid.m_hWnd);
    owner.answers[GVN_SCROLL] = 1;
    grid.SendMessage(WM_VSCROLL, SB_LINEDOWN, 0);
    EXPECT_EQ(::GetFocus(), grid.m_hWnd);
    EXPECT_EQ(FocusedControlKind, kFocusKindGrid);
    ::SetFocus(owner);
    EXPECT_EQ(FocusedControlKind, kFocusKindNone);
}

TEST_F(GridTest, ATooltipAppearsOverARestingCursor) {
    // The form registers the tooltip's class; a stand-in that, like the form's, shows itself
    // without taking the activation serves here.
    CWnd::RegisterWindowClass("VORLAN ToolTip", 0, nullptr, nullptr, nullptr, 0, &StandInToolTip);
    owner.steps[GVN_TOOLTIP] = [](NM_GRIDVIEW& nm) {
        ASSERT_EQ(nm.iExtra, kGridToolTipCapacity);
        strcpy(reinterpret_cast<char*>(nm.lValue), "Hinweis\r\n");
    };
    CPoint p = CellCentre(3, 2);
    POINT screen = p;
    ::ClientToScreen(grid, &screen);
    // Tooltips show only in the active window under the cursor: windows of tests running
    // beside this one may take the activation or cover the cell, so each try first takes
    // them back. Pointer events from before the cursor was placed may still arrive and move
    // the hover cell away; the cursor then rests again.
    auto takeWindowBack = [&] {
        ::SetWindowPos(owner, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_SHOWWINDOW);
        ::SetForegroundWindow(owner);
        ::SetActiveWindow(owner);
        return PumpUntil(
            [&] { return ::GetActiveWindow() == owner.m_hWnd && ::WindowFromPoint(screen) == grid.m_hWnd; });
    };
    bool shown = false;
    for (int attempt = 0; attempt < 10 && !shown; ++attempt) {
        if (!takeWindowBack()) continue;
        if (!harness::MovePointer(screen)) continue;
        Pump();
        grid.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(p.x, p.y));
        shown = PumpUntil(
                    [this] { return grid.m_hTooltip != nullptr || !(grid.m_HoverCell == CCellID(3, 2)); }) &&
                grid.m_hTooltip != nullptr;
    }
    POINT at{};
    ::GetCursorPos(&at);
    ASSERT_TRUE(shown) << "active " << ::GetActiveWindow() << " fg " << ::GetForegroundWindow() << " owner "
                       << owner.m_hWnd << " under " << ::WindowFromPoint(screen) << " grid " << grid.m_hWnd
                       << " cursor " << at.x << "," << at.y << " want " << screen.x << "," << screen.y;
    const Notified* asked = owner.Last(GVN_TOOLTIP);
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->row, 3);
    EXPECT_EQ(asked->col, 2);
    EXPECT_EQ(fw::WindowText(grid.m_hTooltip), "Hinweis") << "trailing line ends cut";
    EXPECT_TRUE(::GetWindowLongA(grid.m_hTooltip, GWL_EXSTYLE) & WS_EX_TOPMOST);

    CPoint away = CellCentre(5, 3);
    POINT distant = away;
    ::ClientToScreen(grid, &distant);
    ASSERT_TRUE(harness::MovePointer(distant));
    EXPECT_TRUE(PumpUntil([this] { return grid.m_hTooltip == nullptr; })) << "gone once the cursor leaves";
}

TEST_F(GridTest, TheKeyFilterRunsRowKeysAheadOfAcceleratorsAndStandsInForEatenKeyDowns) {
    grid.SetFocusCell(3, 1);
    MSG msg{grid.m_hWnd, WM_KEYDOWN, VK_F7, 0, 0, {0, 0}};
    EXPECT_TRUE(grid.PreTranslateMessage(&msg)) << "handled at once";
    EXPECT_EQ(owner.Count(GVN_DELETEROW), 1u);

    owner.keys.clear();
    MSG up{grid.m_hWnd, WM_KEYUP, VK_F2, 0, 0, {0, 0}};
    EXPECT_FALSE(grid.PreTranslateMessage(&up));
    EXPECT_EQ(up.message, static_cast<UINT>(WM_KEYDOWN))
        << "a key-up whose key-down never came stands in for it";

    MSG down{grid.m_hWnd, WM_KEYDOWN, VK_F2, 0, 0, {0, 0}};
    EXPECT_FALSE(grid.PreTranslateMessage(&down));
    MSG upAgain{grid.m_hWnd, WM_KEYUP, VK_F2, 0, 0, {0, 0}};
    EXPECT_FALSE(grid.PreTranslateMessage(&upAgain));
    EXPECT_EQ(upAgain.message, static_cast<UINT>(WM_KEYUP)) << "not when the key-down reached the grid";

    MSG other{owner.m_hWnd, WM_KEYDOWN, VK_F7, 0, 0, {0, 0}};
    EXPECT_FALSE(grid.PreTranslateMessage(&other)) << "only the grid's own keys";
}

TEST_F(GridTest, DoubleClicksSizeHeadersAndAskTheFormOnCells) {
    grid.SetItemText(0, 2, "eine sehr lange Spaltenueberschrift");
    RECT header{};
    ASSERT_TRUE(grid.GetCellRect(0, 2, &header));
    int before = grid.GetColumnWidth(2);
    int x = (header.left + header.right) / 2, y = (header.top + header.bottom) / 2;
    grid.SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(x, y));
    grid.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(x, y));
    EXPECT_GT(grid.GetColumnWidth(2), before);
    EXPECT_EQ(grid.m_bSizesChanged, 1);

    CPoint p = CellCentre(4, 3);
    grid.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    const Notified* key = owner.Last(GVN_CELLKEY);
    ASSERT_NE(key, nullptr);
    EXPECT_EQ(key->row, 4);
    EXPECT_EQ(key->col, 3);
    owner.answers[GVN_CELLKEY] = 0;
    grid.SendMessage(WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(p.x, p.y));
    EXPECT_EQ(grid.GetFocusCell(), CCellID(4, 3)) << "unhandled, it is a press";
}

TEST_F(GridTest, PageKeysGoToTheVisibleEdgeFirstAndThenScroll) {
    Fill(grid, 200, kCols);
    grid.ResetScrollBars();
    grid.SetFocusCell(1, 2);
    CCellRange visible = grid.GetVisibleNonFixedCellRange();
    ASSERT_TRUE(visible.IsValid());
    Key(VK_NEXT);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(visible.maxRow, 2)) << "first to the last visible row";
    EXPECT_LT(grid.GetScrollPos32(SB_VERT), grid.GetRowHeight(visible.maxRow))
        << "at most brought fully in view";
    Key(VK_NEXT);
    EXPECT_GT(grid.GetScrollPos32(SB_VERT), 0) << "then a page further";
    EXPECT_GT(grid.GetFocusCell().row, visible.maxRow);
    EXPECT_TRUE(grid.IsCellVisible(grid.GetFocusCell().row, 2));
    grid.SetItemState(grid.GetVisibleNonFixedCellRange().minRow, 2, GVIS_SKIP);
    Key(VK_PRIOR);
    Key(VK_PRIOR);
    EXPECT_EQ(grid.GetScrollPos32(SB_VERT), 0);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(1, 2));
}

TEST_F(GridTest, TheEditTakesTheCellsColours) {
    int row = 2, col = 2;
    grid.SetItemColors(row, col, 3, 6, kShapeFill);
    grid.SetFocusCell(2, 2);
    grid.SendMessage(WM_CHAR, 'f', 0);
    ASSERT_NE(grid.m_hInPlaceEdit, nullptr);
    HDC dc = ::GetDC(grid.m_hInPlaceEdit);
    LRESULT brush = grid.SendMessage(WM_CTLCOLOREDIT, reinterpret_cast<WPARAM>(dc),
                                     reinterpret_cast<LPARAM>(grid.m_hInPlaceEdit));
    EXPECT_NE(brush, 0);
    EXPECT_EQ(::GetBkColor(dc), static_cast<COLORREF>(0x00FFFF));
    EXPECT_EQ(::GetTextColor(dc), static_cast<COLORREF>(0x8080FF));
    ::ReleaseDC(grid.m_hInPlaceEdit, dc);
}

// In list mode the focus unit is the block the form answers for the focus cell: a movement
// key never lands inside it, but on the next row outside it in its direction, or stays.
TEST_F(GridTest, ListModeKeysLandOnTheNextRowOutsideTheFocusBlock) {
    grid.SetListMode(true);
    owner.steps[GVN_LISTFOCUS] = [](NM_GRIDVIEW& nm) {
        nm.iRow2 = nm.iRow + 2; // three rows, every column
        nm.iColumn2 = -1;
    };
    CCellRange visible = grid.GetVisibleNonFixedCellRange();
    ASSERT_EQ(visible.maxRow, kRows - 1) << "every row in view";
    const int last = kRows - 1, lastCol = kCols - 1;
    struct Case {
        int row, col;
        UINT key;
        bool ctrl, shift;
        int toRow, toCol;
    } cases[] = {
        {2, 1, VK_DOWN, false, false, 5, 1},
        {2, lastCol, VK_TAB, false, false, 5, 1},
        {2, lastCol, VK_RIGHT, false, false, 5, 1},
        {2, 1, VK_RIGHT, false, false, 2, 2}, // along its row first
        {5, 1, VK_UP, false, false, 4, 1},
        {5, 1, VK_TAB, false, true, 4, lastCol},
        {5, 1, VK_LEFT, false, false, 4, lastCol},
        {5, 2, VK_HOME, false, false, 1, 2},
        {5, 2, VK_HOME, true, false, 1, 2},
        {5, 2, VK_PRIOR, false, false, 1, 2},
        {2, 2, VK_END, false, false, last, 2},
        {2, 2, VK_NEXT, false, false, last, 2},
        // A block that holds the last row: nothing lies after it.
        {last - 2, 1, VK_DOWN, false, false, last - 2, 1},
        {last - 2, 1, VK_END, false, false, last - 2, 1},
        {last - 2, 1, VK_END, true, false, last - 2, 1},
        {last - 2, 1, VK_NEXT, false, false, last - 2, 1},
        {last - 2, lastCol, VK_TAB, false, false, last - 2, lastCol},
    };
    owner.answers[GVN_INSERTROW] = 0;
    for (const Case& c : cases) {
        grid.SetFocusCell(c.row, c.col);
        ASSERT_EQ(grid.GetFocusCell(), CCellID(c.row, c.col));
        HoldKeys(c.ctrl, c.shift);
        Key(c.key);
        ReleaseKeys();
        EXPECT_EQ(grid.GetFocusCell(), CCellID(c.toRow, c.toCol))
            << "key " << c.key << (c.ctrl ? " with Ctrl" : "") << (c.shift ? " with Shift" : "") << " from "
            << c.row << "/" << c.col;
    }
}

TEST_F(GridTest, ListModePageDownPassesABlockThatReachesBeyondTheView) {
    Fill(grid, 200, kCols);
    grid.ResetScrollBars();
    grid.SetListMode(true);
    int blockRows = 3;
    owner.steps[GVN_LISTFOCUS] = [&blockRows](NM_GRIDVIEW& nm) {
        nm.iRow2 = nm.iRow + blockRows - 1;
        nm.iColumn2 = -1;
    };
    CCellRange visible = grid.GetVisibleNonFixedCellRange();
    ASSERT_TRUE(visible.IsValid());
    ASSERT_LT(visible.maxRow, 40);
    int from = visible.maxRow - 1; // the block runs out of view
    grid.SetFocusCell(from, 2);
    Key(VK_NEXT);
    EXPECT_GT(grid.GetFocusCell().row, from + blockRows - 1);
    EXPECT_TRUE(grid.IsCellVisible(grid.GetFocusCell().row, 2));

    grid.SendMessage(WM_VSCROLL, SB_TOP, 0);
    blockRows = 40; // longer than a page
    grid.SetFocusCell(1, 2);
    Key(VK_NEXT);
    EXPECT_EQ(grid.GetFocusCell(), CCellID(41, 2));
    EXPECT_TRUE(grid.IsCellVisible(41, 2));
}
