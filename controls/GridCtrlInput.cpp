// Keys, mouse, wheel, scrolling, the tooltip and in-place editing of the grid. Every step that
// leaves a cell, edits one or acts on a row is offered to the form first; the form's answer
// may close the form or refill the grid, so after each notification the window and the cells
// are checked again.
#include "controls/GridCtrl.h"

#include "app/ProtocolLog.h"
#include "controls/FocusedControl.h"
#include "controls/GridDragDrop.h"
#include "controls/InPlaceEdit.h"
#include "framework/ScrollBar.h"

#include <windowsx.h>

#include <algorithm>
#include <cstdlib>
#include <string>

namespace {

constexpr UINT kCtrlFlag = 0x8000;
constexpr UINT kShiftFlag = 0x4000;
// Added to the scroll code of the wheel's posted scroll messages.
constexpr UINT kWheelScrollFlag = 0x1000;
// Above this many lines a wheel notch scrolls a page.
constexpr int kWheelPageLines = 100;
constexpr UINT kToolTipFirstDelay = 300;
constexpr UINT kToolTipFollowDelay = 25;
constexpr UINT kAutoScrollDelay = 20;
constexpr const char kToolTipClass[] = "VORLAN ToolTip";
// The key of a right click's end, which the grid reports as the click's key.
constexpr UINT kClickEndKey = 255;

bool IsDown(int key) {
    return ::GetKeyState(key) < 0;
}

bool IsArrow(UINT key) {
    return key >= VK_LEFT && key <= VK_DOWN;
}

bool ForwardedToForm(UINT key) {
    return key == VK_ESCAPE || key == VK_F1 || key == VK_F2 || key == VK_F5 ||
           (key >= VK_F8 && key <= VK_F12);
}

CPoint PointOf(LPARAM l) {
    return CPoint(GET_X_LPARAM(l), GET_Y_LPARAM(l));
}

} // namespace

HWND CGridCtrl::NotifyWindow() const {
    HWND owner = ::GetWindow(m_hWnd, GW_OWNER);
    return owner ? owner : ::GetParent(m_hWnd);
}

// ---- keys

LRESULT CGridCtrl::OnGetDlgCode(WPARAM, LPARAM) {
    return m_bEditable ? DLGC_WANTARROWS | DLGC_WANTTAB | DLGC_WANTCHARS : DLGC_WANTARROWS | DLGC_WANTCHARS;
}

LRESULT CGridCtrl::OnKeyDown(WPARAM w, LPARAM l) {
    vorlan::TraceFunction("CGridCtrl::OnKeyDown");
    UINT code = static_cast<UINT>(w) & 0xFF;
    if (IsDown(VK_CONTROL)) code += kCtrlFlag;
    if (IsDown(VK_SHIFT)) code += kShiftFlag;
    if (code == (kCtrlFlag | VK_RETURN) || code == (kCtrlFlag | VK_TAB)) {
        if (HWND form = NotifyWindow()) ::SendMessageA(form, WM_KEYDOWN, code, l);
        return 0;
    }
    HandleKey(code, l);
    return 0;
}

void CGridCtrl::HandleKey(UINT code, LPARAM keyData) {
    const UINT key = code & 0xFF;
    const bool shift = (code & kShiftFlag) != 0;
    if (ForwardedToForm(key)) {
        HWND form = NotifyWindow();
        LRESULT handled = form ? ::SendMessageA(form, WM_KEYDOWN, key, keyData) : 0;
        if (!WindowAlive()) return;
        if (!handled && m_bAlwaysEdit && IsValid(m_idCurrentCell))
            EditCellAt(m_idCurrentCell.row, m_idCurrentCell.col, 0);
        return;
    }
    const CCellID cur = m_idCurrentCell;
    if (!IsValid(cur)) return;
    CCellID target;
    switch (key) {
    case VK_BACK: EditCellAt(cur.row, cur.col, VK_BACK); return;
    case VK_TAB:
        if (shift) {
            target = NextCellBackward(cur);
            break;
        }
        target = NextCellForward(cur);
        if (!target.IsValid()) {
            // Beyond the last cell the form may add a row.
            if (!SendNotify(GVN_INSERTROW, cur.row, cur.col, key) || !WindowAlive()) return;
            if (!IsValid(m_idCurrentCell)) return;
            target = NextCellForward(m_idCurrentCell);
        }
        break;
    case VK_RIGHT: target = NextCellForward(cur); break;
    case VK_LEFT:
        target = NextCellBackward(cur);
        if (!target.IsValid()) ::SendMessageA(::GetParent(m_hWnd), WM_KEYDOWN, VK_UP, 0);
        break;
    case VK_RETURN:
    case VK_SPACE:
        m_nMouseMode = kMouseClick;
        SimulateClick(cur);
        return;
    case VK_PRIOR:
    case VK_NEXT: {
        bool up = key == VK_PRIOR;
        CCellRange visible = GetVisibleNonFixedCellRange();
        if (visible.IsValid() && (up ? cur.row <= visible.minRow : cur.row >= visible.maxRow)) {
            ScrollBy(SB_VERT, up ? SB_PAGEUP : SB_PAGEDOWN);
            visible = GetVisibleNonFixedCellRange();
        }
        if (!visible.IsValid()) return;
        int row = FocusableRowInColumn(up ? visible.minRow : visible.maxRow, cur.col, up ? -1 : 1);
        if (row < 0) row = FocusableRowInColumn(up ? visible.minRow : visible.maxRow, cur.col, up ? 1 : -1);
        if (row >= 0) target = CCellID(row, cur.col);
        break;
    }
    case VK_END: {
        int row = FocusableRowInColumn(GetRowCount() - 1, cur.col, -1);
        if (row >= 0) target = CCellID(row, cur.col);
        break;
    }
    case VK_HOME: {
        int row = FocusableRowInColumn(FirstNonFixedRow(), cur.col, 1);
        if (row >= 0) target = CCellID(row, cur.col);
        break;
    }
    case VK_UP: {
        int row = FocusableRowInColumn(cur.row - 1, cur.col, -1);
        if (row >= 0)
            target = CCellID(row, cur.col);
        else
            ::SendMessageA(::GetParent(m_hWnd), WM_KEYDOWN, VK_UP, 0);
        break;
    }
    case VK_DOWN: {
        int from = m_bListMode ? cur.row + m_nFocusExtentRows + 1 : cur.row + 1;
        int row = FocusableRowInColumn(from, cur.col, 1);
        if (row >= 0) target = CCellID(row, cur.col);
        break;
    }
    case VK_INSERT:
    case VK_F6:
        if (!m_bListMode) InsertRowKey(code);
        return;
    case VK_DELETE:
    case VK_F7:
        if (m_bListMode) return;
        if (!SendNotify(GVN_DELETEROW, cur.row, cur.col, key) || !WindowAlive()) return;
        ClampFocusRow(cur);
        return;
    case VK_F4: SendNotify(GVN_TABLE, cur.row, cur.col, key); return;
    default: return;
    }
    MoveFocus(PastFocusBlock(target), code);
}

void CGridCtrl::InsertRowKey(UINT code) {
    const CCellID cur = m_idCurrentCell;
    // Every cell of the row must be left in a state the form accepts before a row goes in.
    for (int col = m_nFixedCols; col < GetColumnCount() && IsValid(cur.row, col); ++col) {
        if (!IsCellFocusable(cur.row, col)) continue;
        LRESULT leave = SendNotify(GVN_LEAVECELL, cur.row, col, code & 0xFF);
        if (!WindowAlive()) return;
        if (!leave) {
            if (IsValid(cur.row, col)) {
                SetFocusCell(cur.row, col);
                if (WindowAlive()) EnsureVisible(cur.row, col);
            }
            return;
        }
    }
    if (!IsValid(m_idCurrentCell)) return;
    if (!SendNotify(GVN_INSERTROW, m_idCurrentCell.row, m_idCurrentCell.col, code & 0xFF) || !WindowAlive())
        return;
    ClampFocusRow(cur);
}

// After the form added or removed rows: the focus stays on its row, or on the last one when
// that row is gone.
void CGridCtrl::ClampFocusRow(const CCellID& before) {
    int last = GetRowCount() - 1;
    CCellID cell = IsValid(m_idCurrentCell) ? m_idCurrentCell : before;
    if (cell.row > last) cell.row = last;
    if (cell.row >= FirstNonFixedRow() && IsValid(cell) && cell != m_idCurrentCell)
        SetFocusCell(cell.row, cell.col);
    if (WindowAlive()) InvalidateGrid();
}

CCellID CGridCtrl::NextCellForward(const CCellID& from) const {
    int col = from.col + 1 < GetColumnCount() ? NextFocusableColumn(from.row, from.col + 1, 1) : -1;
    if (col >= 0) return CCellID(from.row, col);
    int row = m_bListMode ? from.row + m_nFocusExtentRows + 1 : from.row + 1;
    CCellID found;
    if (row < GetRowCount() && NextFocusableRow(row, 1, found)) return found;
    return CCellID();
}

CCellID CGridCtrl::NextCellBackward(const CCellID& from) const {
    int col = from.col - 1 >= m_nFixedCols ? NextFocusableColumn(from.row, from.col - 1, -1) : -1;
    if (col >= 0) return CCellID(from.row, col);
    CCellID found;
    if (from.row - 1 < FirstNonFixedRow() || !NextFocusableRow(from.row - 1, -1, found)) return CCellID();
    col = NextFocusableColumn(found.row, GetColumnCount() - 1, -1);
    return col >= 0 ? CCellID(found.row, col) : CCellID();
}

// The block is one unit of the list: landing inside it would split it.
CCellID CGridCtrl::PastFocusBlock(const CCellID& target) const {
    const CCellID& cur = m_idCurrentCell;
    int lastRow = cur.row + m_nFocusExtentRows;
    if (!m_bListMode || !target.IsValid() || target.row <= cur.row || target.row > lastRow) return target;
    int row = FocusableRowInColumn(lastRow + 1, target.col, 1);
    return row >= 0 ? CCellID(row, target.col) : CCellID();
}

int CGridCtrl::FocusableRowInColumn(int row, int col, int step) const {
    for (int r = std::max(row, FirstNonFixedRow()); r >= FirstNonFixedRow() && r < GetRowCount(); r += step)
        if (IsCellFocusable(r, col)) return r;
    return -1;
}

void CGridCtrl::MoveFocus(const CCellID& target, UINT code) {
    const CCellID cur = m_idCurrentCell;
    if (!target.IsValid() || target == cur) return;
    if (!m_bListMode) {
        UINT key = code & 0xFF;
        bool movesAnyway = (IsArrow(key) && !(code & (kCtrlFlag | kShiftFlag))) || key == VK_TAB;
        LRESULT leave = SendNotify(GVN_LEAVECELL, cur.row, cur.col, key);
        if (!WindowAlive()) return;
        if (!leave && !movesAnyway) return;
    }
    if (!IsValid(target)) return;
    SetFocusCell(target.row, target.col);
    if (!WindowAlive() || !IsValid(m_idCurrentCell)) return;
    EnsureVisible(m_idCurrentCell.row, m_idCurrentCell.col);
    if (m_bAlwaysEdit) EditCellAt(m_idCurrentCell.row, m_idCurrentCell.col, 0);
    if (WindowAlive()) UpdateWindow();
}

LRESULT CGridCtrl::OnChar(WPARAM w, LPARAM) {
    UINT ch = static_cast<UINT>(w);
    if (IsDown(VK_CONTROL) || m_nMouseMode != kMouseNothing || !m_bEditable || !m_bHandleTabKey) return 0;
    if (ch == VK_RETURN || ch == VK_TAB || ch == VK_SPACE) return 0;
    if (IsValid(m_idCurrentCell)) EditCellAt(m_idCurrentCell.row, m_idCurrentCell.col, ch);
    return 0;
}

bool CGridCtrl::PreTranslateMessage(MSG* msg) {
    if (msg->hwnd != m_hWnd) return false;
    UINT key = static_cast<UINT>(msg->wParam);
    if (msg->message == WM_KEYDOWN && key >= VK_F1 && key <= VK_F4) m_bKeyDownSeen[key - VK_F1] = true;
    if (msg->message == WM_KEYUP && key >= VK_F1 && key <= VK_F4) {
        // The frame's accelerators may take the key-down; the key-up then stands in for it,
        // but only then, or the key would act twice.
        bool seen = m_bKeyDownSeen[key - VK_F1];
        m_bKeyDownSeen[key - VK_F1] = false;
        if (seen) return false;
        msg->message = WM_KEYDOWN;
        if (key == VK_F4) {
            ::DispatchMessageA(msg);
            return true;
        }
        return false;
    }
    if (msg->message == WM_KEYDOWN && (key == VK_F4 || key == VK_F6 || key == VK_F7)) {
        ::TranslateMessage(msg);
        ::DispatchMessageA(msg);
        return true;
    }
    return false;
}

// ---- editing

bool CGridCtrl::EditCellAt(int row, int col, UINT initialChar, const CPoint* click, LONG selection) {
    vorlan::TraceFunction("CGridCtrl::EditCellAt");
    if (!IsValid(row, col) || IsFixed(row, col)) return false;
    if ((m_bListMode || m_bReadMode) && !(GetColumnFlags(col) & GVCF_EDITABLE)) return false;
    if (m_hInPlaceEdit && ::IsWindow(m_hInPlaceEdit)) return false;
    if (m_idCurrentCell != CCellID(row, col)) {
        SetFocusCell(row, col);
        if (!WindowAlive() || m_idCurrentCell != CCellID(row, col)) return false;
    }
    if (!m_bEditable || (GetItemState(row, col) & GVIS_READONLY)) return false;
    EnsureVisible(row, col);
    if (!IsCellVisible(row, col)) return false;
    if (!SendNotify(GVN_BEGINEDIT, row, col) || !WindowAlive() || !IsValid(row, col)) return false;

    DWORD style = 0;
    if (GetColumnFlags(col) & GVCF_RIGHTEDIT)
        style |= ES_RIGHT;
    else if (GetItemFormat(row, col) & DT_CENTER)
        style |= ES_CENTER;
    if (GetItemStyle(row, col) & GVSTYLE_MULTILINE) style |= ES_AUTOVSCROLL;
    bool dropButton = m_bDropButtonEdit && m_idConfirmedCell == CCellID(row, col);
    if (!dropButton && !m_bWholeRow) style |= WS_BORDER;

    CRect cellRect;
    if (!GetCellRect(row, col, &cellRect)) return false;
    CRect rect = SpannedCellRect(row, col, cellRect);
    HFONT font = CellFont(col, false);
    if (!font) font = m_Font;
    CPoint clickPoint;
    CInPlaceEdit::Start start;
    start.firstChar = initialChar;
    if (click) {
        clickPoint = *click;
        start.click = &clickPoint;
    }
    start.selection = selection;
    auto* edit = new CInPlaceEdit(!dropButton, this, rect, style, row, col, GetItemText(row, col).str(),
                                  start, font, std::max(0, m_nMarginX - 2), std::max(0, m_nMarginY - 2));
    if (!edit->GetSafeHwnd()) {
        delete edit;
        return false;
    }
    m_hInPlaceEdit = edit->m_hWnd;
    return true;
}

LRESULT CGridCtrl::OnNotify(WPARAM w, LPARAM l) {
    auto* header = reinterpret_cast<NMHDR*>(l);
    if (w != kInPlaceEditId || !header || header->code != GVN_ENDEDIT) return 0;
    auto* end = reinterpret_cast<InPlaceEditEnd*>(l);
    m_hInPlaceEdit = nullptr;
    // The form tells the server where the caret stood (16 bits each, as the record has them).
    auto at = [](int position) { return static_cast<DWORD>(std::clamp(position, 0, 0xFFFF)); };
    EndEditCell(end->row, end->column, end->text, end->key,
                static_cast<int>(at(end->selStart) | at(end->selEnd) << 16));
    return 0;
}

LRESULT CGridCtrl::OnCommand(WPARAM w, LPARAM) {
    // The plain edit's F4: a code of 0 from id 8 (the edit's own EN_ codes are not 0).
    if (LOWORD(w) == kInPlaceEditId && HIWORD(w) == 0 && IsValid(m_idCurrentCell))
        SendNotify(GVN_TABLE, m_idCurrentCell.row, m_idCurrentCell.col, VK_F4);
    return 0;
}

LRESULT CGridCtrl::OnCtlColor(WPARAM w, LPARAM l) {
    HDC dc = reinterpret_cast<HDC>(w);
    if (reinterpret_cast<HWND>(l) != m_hInPlaceEdit || !IsValid(m_idCurrentCell))
        return CWnd::DefWindowProc(WM_CTLCOLOREDIT, w, l);
    const CGridCell* cell = GetCell(m_idCurrentCell.row, m_idCurrentCell.col);
    COLORREF text = m_crTextColour, back = m_crTextBkColour;
    bool nonDefault = false;
    if (cell) GetCellColours(m_idCurrentCell.row, m_idCurrentCell.col, *cell, false, text, back, nonDefault);
    ::SetTextColor(dc, text);
    ::SetBkColor(dc, back);
    // The edit asks on every repaint: one brush per colour, not one per message.
    if (!m_hEditBrush || m_crEditBrush != back) {
        if (m_hEditBrush) ::DeleteObject(m_hEditBrush);
        m_hEditBrush = ::CreateSolidBrush(back);
        m_crEditBrush = back;
    }
    return reinterpret_cast<LRESULT>(m_hEditBrush);
}

// ---- mouse

CCellID CGridCtrl::FocusableNear(const CCellID& cell) const {
    if (!IsValid(cell)) return CCellID();
    if (IsCellFocusable(cell.row, cell.col)) return cell;
    int col = NextFocusableColumn(cell.row, cell.col, 1);
    if (col < 0) col = NextFocusableColumn(cell.row, cell.col, -1);
    return col >= 0 ? CCellID(cell.row, col) : CCellID();
}

void CGridCtrl::UpdateHoverMode(CPoint point) {
    m_nMouseMode = kMouseNothing;
    CCellID cell = GetCellFromPt(point);
    POINT origin{};
    if (IsValid(cell) && GetCellOrigin(cell.row, cell.col, &origin)) {
        int right = origin.x + GetColumnWidth(cell.col);
        int bottom = origin.y + GetRowHeight(cell.row);
        int zone = m_nResizeCaptureRange;
        if (m_bAllowColumnResize && cell.row < m_nFixedRows &&
            ((point.x - origin.x < zone && cell.col > 0) || right - point.x <= zone)) {
            m_nMouseMode = kMouseOverColDivide;
        } else if (m_bAllowRowResize && cell.col < m_nFixedCols &&
                   ((point.y - origin.y < zone && cell.row > 0) || bottom - point.y <= zone)) {
            m_nMouseMode = kMouseOverRowDivide;
        } else if (m_bListMode && m_nDragFlags && !IsFixed(cell.row, cell.col) &&
                   (GetItemStyle(cell.row, cell.col) & GVSTYLE_DRAGHANDLE)) {
            if ((m_nDragFlags & kGridDragColumns) && right - point.x <= m_nHandleZone) {
                m_nMouseMode = kMouseOverHandleRight;
                m_bHandleRightEdge = true;
            } else if ((m_nDragFlags & kGridDragRows) && bottom - point.y <= m_nHandleZone) {
                m_nMouseMode = kMouseOverHandleBottom;
                m_bHandleRightEdge = false;
            }
        }
    }
    LPCSTR cursor = IDC_ARROW;
    if (m_nMouseMode == kMouseOverColDivide || m_nMouseMode == kMouseOverHandleRight) cursor = IDC_SIZEWE;
    if (m_nMouseMode == kMouseOverRowDivide || m_nMouseMode == kMouseOverHandleBottom) cursor = IDC_SIZENS;
    ::SetCursor(::LoadCursorA(nullptr, cursor));

    if (cell != m_HoverCell) {
        KillToolTip();
        m_HoverCell = cell;
        if (IsValid(cell))
            m_nTooltipTimer = ::SetTimer(m_hWnd, kGridTooltipTimer, kToolTipFirstDelay, nullptr);
    }
}

LRESULT CGridCtrl::OnMouseMove(WPARAM w, LPARAM l) {
    CPoint point = PointOf(l);
    if (!(w & MK_LBUTTON)) {
        if (m_nMouseMode != kMouseDragging) UpdateHoverMode(point);
        m_ptLastMouse = point;
        return 0;
    }
    m_ptLastMouse = point;
    switch (m_nMouseMode) {
    case kMouseSizingCol: {
        if (m_nResizeIndex >= 0) {
            SetColumnWidth(m_nResizeIndex, std::max<int>(0, m_nResizeStartSize + point.x - m_ptPress.x));
            InvalidateGrid();
            UpdateWindow();
        }
        break;
    }
    case kMouseSizingRow: {
        if (m_nResizeIndex >= 0) {
            SetRowHeight(m_nResizeIndex, std::max<int>(0, m_nResizeStartSize + point.y - m_ptPress.y));
            InvalidateGrid();
            UpdateWindow();
        }
        break;
    }
    case kMouseClick:
    case kMouseListClick: {
        bool across = m_bListMode && std::abs(point.x - m_ptPress.x) >= ::GetSystemMetrics(SM_CXDRAG);
        bool down = std::abs(point.y - m_ptPress.y) >= ::GetSystemMetrics(SM_CYDRAG);
        if ((across || down) && !m_bDragRefused) StartDrag();
        break;
    }
    case kMouseHandlePressed: StartDrag(); break;
    default: break;
    }
    return 0;
}

void CGridCtrl::StartResize(CPoint point) {
    CCellID cell = GetCellFromPt(point);
    POINT origin{};
    if (!IsValid(cell) || !GetCellOrigin(cell.row, cell.col, &origin)) {
        m_nMouseMode = kMouseNothing;
        return;
    }
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    CRect confine = client;
    if (m_nMouseMode == kMouseOverColDivide) {
        // Near a left edge it is the column to the left that changes.
        m_nResizeIndex =
            (point.x - origin.x < m_nResizeCaptureRange && cell.col > 0) ? cell.col - 1 : cell.col;
        POINT start{};
        GetCellOrigin(0, m_nResizeIndex, &start);
        confine.left = std::max<LONG>(client.left, start.x);
        m_nResizeStartSize = GetColumnWidth(m_nResizeIndex);
        m_nMouseMode = kMouseSizingCol;
    } else {
        m_nResizeIndex =
            (point.y - origin.y < m_nResizeCaptureRange && cell.row > 0) ? cell.row - 1 : cell.row;
        POINT start{};
        GetCellOrigin(m_nResizeIndex, 0, &start);
        confine.top = std::max<LONG>(client.top, start.y);
        m_nResizeStartSize = GetRowHeight(m_nResizeIndex);
        m_nMouseMode = kMouseSizingRow;
    }
    m_rcResizeDrag = confine;
    ::MapWindowPoints(m_hWnd, nullptr, reinterpret_cast<POINT*>(&confine), 2);
    ::ClipCursor(&confine);
}

// A resize ends at the button-up, or when the capture or the mode is taken away; either way
// the cursor is free again.
void CGridCtrl::EndResize(bool apply) {
    bool sizing = m_nMouseMode == kMouseSizingCol || m_nMouseMode == kMouseSizingRow;
    ::ClipCursor(nullptr);
    if (!sizing) return;
    bool rows = m_nMouseMode == kMouseSizingRow;
    m_nMouseMode = kMouseNothing;
    if (!apply || m_nResizeIndex < 0) return;
    m_bSizesChanged = 1;
    if (!rows) FitLastColumn();
    ResetScrollBars();
    InvalidateGrid();
    if (IsValid(m_idCurrentCell)) EnsureVisible(m_idCurrentCell.row, m_idCurrentCell.col);
    m_nResizeIndex = -1;
}

LRESULT CGridCtrl::OnLButtonDown(WPARAM, LPARAM l) {
    CPoint point = PointOf(l);
    // A fresh click is the one that brings the focus back to a hidden focus cell; once the
    // grid holds the focus and shows its cell (entered by keys, moved by them), a click on
    // that cell is a click on the focus cell.
    if (::GetFocus() == m_hWnd && IsValid(m_idCurrentCell)) m_bFreshClick = false;
    ::SetFocus(m_hWnd);
    if (!WindowAlive()) return 0;
    KillToolTip();
    ::SetCapture(m_hWnd);
    m_ptPress = point;
    m_bDragRefused = false;
    m_LeftClickDownCell = GetCellFromPt(point);
    if (m_nMouseMode == kMouseOverColDivide || m_nMouseMode == kMouseOverRowDivide) {
        StartResize(point);
        return 0;
    }
    if (m_nMouseMode == kMouseOverHandleBottom || m_nMouseMode == kMouseOverHandleRight) {
        m_bHandleRightEdge = m_nMouseMode == kMouseOverHandleRight;
        m_nMouseMode = kMouseHandlePressed;
        return 0;
    }
    m_nMouseMode = kMouseNothing;
    CCellID cell = m_LeftClickDownCell;
    if (!IsValid(cell) || IsFixed(cell.row, cell.col)) return 0;
    cell = FocusableNear(cell);
    if (!cell.IsValid()) {
        ::SetCursor(::LoadCursorA(nullptr, IDC_NO));
        return 0;
    }
    m_LeftClickDownCell = cell;
    const CCellID cur = m_idCurrentCell;
    bool inFocusBlock = cell == cur;
    if (m_bListMode && IsValid(cur)) {
        int lastCol = m_nFocusExtentCols < 0 ? GetColumnCount() - 1 : cur.col + m_nFocusExtentCols;
        inFocusBlock =
            CCellRange(cur.row, cur.col, cur.row + m_nFocusExtentRows, lastCol).InRange(cell.row, cell.col);
    }
    if (inFocusBlock && !m_bFreshClick) {
        m_nMouseMode = kMouseClick;
        return 0;
    }
    m_bFreshClick = false;
    if (m_bListMode || m_bReadMode) {
        SetFocusCell(cell.row, cell.col);
        if (!WindowAlive()) return 0;
        m_nMouseMode = kMouseListClick;
        return 0;
    }
    if (IsValid(cur)) {
        LRESULT leave = SendNotify(GVN_LEAVECELL, cur.row, cur.col);
        if (!WindowAlive() || !leave) return 0;
    }
    if (IsValid(cell)) SetFocusCell(std::max(cell.row, FirstNonFixedRow()), std::max(cell.col, m_nFixedCols));
    return 0;
}

LRESULT CGridCtrl::OnLButtonUp(WPARAM, LPARAM l) {
    CPoint point = PointOf(l);
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (m_nMouseMode == kMouseSizingCol || m_nMouseMode == kMouseSizingRow) {
        EndResize(true);
        return 0;
    }
    ::ClipCursor(nullptr);
    int mode = m_nMouseMode;
    CCellID cell = GetCellFromPt(point);
    if (IsValid(cell)) {
        if (IsFixed(cell.row, cell.col)) {
            SendNotify(GVN_CLICK, cell.row, cell.col);
        } else if ((cell = FocusableNear(cell)).IsValid()) {
            LRESULT answer = SendNotify(GVN_CLICK, cell.row, cell.col);
            if (!WindowAlive()) return 0;
            if (IsValid(cell) &&
                ((!answer && (mode == kMouseClick || mode == kMouseListClick)) || m_bAlwaysEdit))
                EditCellAt(cell.row, cell.col, 0, &point);
        }
    }
    if (WindowAlive()) m_nMouseMode = kMouseNothing;
    return 0;
}

void CGridCtrl::SimulateClick(const CCellID& cell) {
    CRect rect;
    if (!GetCellRect(cell.row, cell.col, &rect)) {
        EnsureVisible(cell.row, cell.col);
        if (!GetCellRect(cell.row, cell.col, &rect)) return;
    }
    OnLButtonUp(0, MAKELPARAM(rect.left + rect.Width() / 2, rect.top + rect.Height() / 2));
}

LRESULT CGridCtrl::OnLButtonDblClk(WPARAM w, LPARAM l) {
    CPoint point = PointOf(l);
    CCellID cell = GetCellFromPt(point);
    if (!IsValid(cell)) return 0;
    if (cell.row < m_nFixedRows) {
        if (cell.col < m_nFixedCols)
            AutoSizeColumns();
        else
            AutoSizeColumn(cell.col);
        m_bSizesChanged = 1;
        ResetScrollBars();
        InvalidateGrid();
        return 0;
    }
    if (IsFixed(cell.row, cell.col) || !IsCellFocusable(cell.row, cell.col)) return 0;
    LRESULT handled = SendNotify(GVN_CELLKEY, cell.row, cell.col);
    if (!WindowAlive()) return 0;
    if (!handled) return OnLButtonDown(w, l);
    if (m_bReadMode && IsValid(cell)) EditCellAt(cell.row, cell.col, 0, &point);
    return 0;
}

LRESULT CGridCtrl::OnRButtonDown(WPARAM w, LPARAM l) {
    CPoint point = PointOf(l);
    KillToolTip();
    ::SetFocus(m_hWnd);
    if (!WindowAlive()) return 0;
    CCellID cell = GetCellFromPt(point);
    m_RightClickDownCell = IsValid(cell) && !IsFixed(cell.row, cell.col) ? FocusableNear(cell) : CCellID();
    if (!m_RightClickDownCell.IsValid()) return 0;
    m_strRightClickText =
        IsValid(m_idCurrentCell) ? GetItemText(m_idCurrentCell.row, m_idCurrentCell.col) : CString();
    OnLButtonDown(w, l);
    return 0;
}

LRESULT CGridCtrl::OnRButtonUp(WPARAM w, LPARAM l) {
    CPoint point = PointOf(l);
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    m_nMouseMode = kMouseNothing;
    CCellID pressed = m_RightClickDownCell;
    m_RightClickDownCell = CCellID();
    CCellID cell = GetCellFromPt(point);
    if (IsValid(cell) && !IsFixed(cell.row, cell.col)) cell = FocusableNear(cell);
    if (!pressed.IsValid() || cell != pressed || !IsValid(cell)) return 0;
    bool ctrl = (w & MK_CONTROL) != 0;
    if (m_bListMode) {
        SendNotify(GVN_RCLICK, cell.row, cell.col);
    } else if (!m_bContextMenu || ctrl) {
        m_nMouseMode = kMouseClick;
        CString text = m_strRightClickText;
        EndEditCell(cell.row, cell.col, text, kClickEndKey);
        if (WindowAlive()) m_nMouseMode = kMouseNothing;
    } else if (HWND form = NotifyWindow()) {
        POINT screen = point;
        ::ClientToScreen(m_hWnd, &screen);
        ::SendMessageA(form, WM_CONTEXTMENU, reinterpret_cast<WPARAM>(m_hWnd),
                       MAKELPARAM(screen.x, screen.y));
    }
    return 0;
}

LRESULT CGridCtrl::OnMButtonDown(WPARAM w, LPARAM l) {
    // A right click with Ctrl: the wheel button has no up of its own here.
    OnRButtonDown(w | MK_CONTROL, l);
    if (!WindowAlive()) return 0;
    return OnRButtonUp(w | MK_CONTROL, l);
}

LRESULT CGridCtrl::OnSetCursor(WPARAM w, LPARAM l) {
    if (LOWORD(l) != HTCLIENT) return CWnd::DefWindowProc(WM_SETCURSOR, w, l);
    switch (m_nMouseMode) {
    case kMouseOverRowDivide:
    case kMouseSizingRow:
    case kMouseOverHandleBottom: ::SetCursor(::LoadCursorA(nullptr, IDC_SIZENS)); break;
    case kMouseOverColDivide:
    case kMouseSizingCol:
    case kMouseOverHandleRight: ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE)); break;
    case kMouseDragging:
    case kMouseHandlePressed: break;
    default: ::SetCursor(::LoadCursorA(nullptr, IDC_ARROW)); break;
    }
    return TRUE;
}

LRESULT CGridCtrl::OnCaptureChanged(WPARAM, LPARAM l) {
    if (reinterpret_cast<HWND>(l) == m_hWnd) return 0;
    KillToolTip();
    ::KillTimer(m_hWnd, kGridAutoScrollTimer);
    m_nAutoScrollTimer = 0;
    EndResize(true);
    if (m_nMouseMode == kMouseDragging) m_nMouseMode = kMouseNothing;
    return 0;
}

LRESULT CGridCtrl::OnCancelMode(WPARAM, LPARAM) {
    EndResize(true);
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    if (m_nMouseMode != kMouseDragging) m_nMouseMode = kMouseNothing;
    return 0;
}

// ---- wheel and scrolling

LRESULT CGridCtrl::OnMouseWheel(WPARAM w, LPARAM) {
    int delta = GET_WHEEL_DELTA_WPARAM(w);
    if (m_nWheelLines < 0 || m_nWheelLines > kWheelPageLines) {
        for (int notches = std::abs(delta) / WHEEL_DELTA; notches > 0; --notches)
            PostMessage(WM_VSCROLL, delta > 0 ? SB_PAGEUP : SB_PAGEDOWN, 0);
        return 0;
    }
    int lines = m_nWheelLines * delta / WHEEL_DELTA;
    UINT code = (lines > 0 ? SB_LINEUP : SB_LINEDOWN) | kWheelScrollFlag;
    for (int n = std::abs(lines); n > 0; --n)
        PostMessage(WM_VSCROLL, code, 0);
    return 0;
}

LRESULT CGridCtrl::OnVScroll(WPARAM w, LPARAM) {
    ScrollBy(SB_VERT, LOWORD(w) & ~kWheelScrollFlag);
    return 0;
}

LRESULT CGridCtrl::OnHScroll(WPARAM w, LPARAM) {
    ScrollBy(SB_HORZ, LOWORD(w) & ~kWheelScrollFlag);
    return 0;
}

void CGridCtrl::ScrollBy(int bar, UINT code) {
    KillToolTip();
    if (m_nMouseMode != kMouseDragging) {
        NM_GRIDVIEW record{};
        record.iRow = record.iColumn = record.iRow2 = record.iColumn2 = -1;
        LRESULT activate = SendNotify(GVN_SCROLL, record);
        if (!WindowAlive()) return;
        if (activate && ::GetFocus() != m_hWnd) ::SetFocus(m_hWnd);
    }
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_ALL;
    if (!::GetScrollInfo(m_hWnd, bar, &info)) info = SCROLLINFO{};
    const int max = std::max<int>(0, info.nMax - std::max<int>(static_cast<int>(info.nPage) - 1, 0));
    const int pos = GetScrollPos32(bar);
    const bool vertical = bar == SB_VERT;
    const int fixedCount = vertical ? m_nFixedRows : m_nFixedCols;
    const int count = vertical ? GetRowCount() : GetColumnCount();
    auto size = [&](int i) { return vertical ? GetRowHeight(i) : GetColumnWidth(i); };
    CCellID topLeft = GetTopleftNonFixedCell();
    int first = vertical ? topLeft.row : topLeft.col;
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    int page = vertical ? client.Height() - GetFixedRowHeight() : client.Width() - GetFixedColumnWidth();
    int next = pos;
    switch (code) {
    case SB_LINEUP: {
        int i = first - 1;
        while (i >= fixedCount && size(i) <= 0)
            --i;
        if (i >= fixedCount) next = std::max(0, pos - size(i));
        break;
    }
    case SB_LINEDOWN: {
        if (pos >= max) break;
        int i = std::max(first, fixedCount);
        while (i < count && size(i) <= 0)
            ++i;
        if (i < count) next = std::min(max, pos + size(i));
        break;
    }
    case SB_PAGEUP: next = std::max(0, pos - std::max(page, 1)); break;
    case SB_PAGEDOWN: next = std::min(max, pos + std::max(page, 1)); break;
    case SB_TOP: next = 0; break;
    case SB_BOTTOM: next = max; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: next = std::min(max, std::max(0, GetScrollPos32(bar, true))); break;
    default: return;
    }
    if (next == pos) return;
    fw::MoveScrollPos32(m_hWnd, bar, next);
    InvalidateGrid();
    UpdateWindow();
}

// ---- tooltip

void CGridCtrl::KillToolTip() {
    if (m_hTooltip) {
        HWND tip = m_hTooltip;
        m_hTooltip = nullptr;
        ::DestroyWindow(tip);
    }
    if (m_nTooltipTimer) {
        ::KillTimer(m_hWnd, kGridTooltipTimer);
        m_nTooltipTimer = 0;
    }
}

LRESULT CGridCtrl::OnTimer(WPARAM w, LPARAM) {
    if (w == kGridTooltipTimer)
        OnToolTipTimer();
    else if (w == kGridAutoScrollTimer)
        OnAutoScrollTimer();
    return 0;
}

void CGridCtrl::OnToolTipTimer() {
    POINT screen{};
    ::GetCursorPos(&screen);
    CPoint point = screen;
    ::ScreenToClient(m_hWnd, &point);
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    bool inside = ::PtInRect(&client, point) && ::WindowFromPoint(screen) == m_hWnd;
    if (m_hTooltip) {
        if (!inside || GetCellFromPt(point) != m_HoverCell) KillToolTip();
        return;
    }
    // Only the window the user works in shows tooltips.
    HWND active = ::GetActiveWindow();
    bool ours = active && active == ::GetAncestor(m_hWnd, GA_ROOT);
    if (!ours || !inside || !(point == m_ptLastMouse) || GetCellFromPt(point) != m_HoverCell ||
        !IsValid(m_HoverCell)) {
        KillToolTip();
        return;
    }
    std::string buffer(kGridToolTipCapacity, '\0');
    NM_GRIDVIEW record{};
    record.iRow = m_HoverCell.row;
    record.iColumn = m_HoverCell.col;
    record.iRow2 = record.iColumn2 = -1;
    record.iExtra = kGridToolTipCapacity;
    record.lValue = reinterpret_cast<INT_PTR>(&buffer[0]);
    CCellID asked = m_HoverCell;
    LRESULT answer = SendNotify(GVN_TOOLTIP, record);
    if (!WindowAlive()) return;
    buffer[kGridToolTipCapacity - 1] = '\0';
    std::string text(buffer.c_str());
    while (!text.empty() && static_cast<unsigned char>(text.back()) < ' ')
        text.pop_back();
    if (!answer || text.empty() || asked != m_HoverCell) {
        KillToolTip();
        return;
    }
    CRect cell;
    if (!GetCellRect(asked.row, asked.col, &cell)) {
        KillToolTip();
        return;
    }
    POINT at{cell.right - 2, cell.top + 2};
    ::ClientToScreen(m_hWnd, &at);
    m_hTooltip = ::CreateWindowExA(WS_EX_TOPMOST, kToolTipClass, text.c_str(),
                                   WS_POPUP | WS_VISIBLE | WS_BORDER, at.x, at.y, 0, 0, m_hWnd, nullptr,
                                   ::GetModuleHandleA(nullptr), static_cast<HFONT>(m_Font));
    m_nTooltipTimer = ::SetTimer(m_hWnd, kGridTooltipTimer, kToolTipFollowDelay, nullptr);
}

// ---- focus and state

LRESULT CGridCtrl::OnSetFocus(WPARAM, LPARAM) {
    FocusedControlKind = kFocusKindGrid;
    if (!IsValid(m_idCurrentCell) && m_idRemembered.IsValid() && (m_bListMode || WindowAlive())) {
        CCellID remembered = m_idRemembered;
        m_idRemembered = CCellID();
        if (IsValid(remembered)) SetFocusCell(remembered.row, remembered.col);
    }
    return 0;
}

LRESULT CGridCtrl::OnKillFocus(WPARAM, LPARAM) {
    FocusedControlKind = kFocusKindNone;
    KillToolTip();
    return 0;
}

LRESULT CGridCtrl::OnNcActivate(WPARAM w, LPARAM l) {
    if (!w) {
        FocusedControlKind = kFocusKindNone;
        HideFocusCell();
    }
    return CWnd::DefWindowProc(WM_NCACTIVATE, w, l);
}

LRESULT CGridCtrl::OnEnable(WPARAM w, LPARAM) {
    if (!w) HideFocusCell();
    InvalidateGrid();
    return 0;
}

LRESULT CGridCtrl::OnSettingChange(WPARAM, LPARAM) {
    ReadSystemColours(true);
    m_nWheelLines = ReadWheelScrollLines();
    InvalidateGrid();
    return 0;
}

void CGridCtrl::InvalidateGrid() {
    if (m_bAllowDraw && m_hWnd) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}
