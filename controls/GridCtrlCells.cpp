// The grid's rows, columns and cells: counts, spans, sizes and the selection.
#include "controls/GridCtrl.h"

#include "app/ProtocolLog.h"
#include "controls/FormColours.h"

#include <algorithm>
#include <cstdio>
#include <new>

using vorlan::TraceFunction;

CGridCell* CGridCtrl::NewCell() {
    return new CGridCell();
}

void CGridCtrl::FreeCell(CGridCell* cell) {
    delete cell;
}

CGridCtrl::GridRow CGridCtrl::MakeRow(int formatFrom) {
    GridRow row;
    row.reserve(static_cast<size_t>(GetColumnCount()));
    try {
        for (int c = 0; c < GetColumnCount(); ++c) {
            CGridCell* cell = NewCell();
            if (formatFrom >= 0) cell->m_nFormat = Cell(formatFrom, c)->m_nFormat & ~1u;
            row.push_back(cell);
        }
    } catch (const std::bad_alloc&) {
        FreeRow(row);
        throw;
    }
    return row;
}

void CGridCtrl::FreeRow(GridRow& row) {
    for (CGridCell* cell : row)
        FreeCell(cell);
    row.clear();
}

CGridCell* CGridCtrl::Cell(int row, int col) const {
    return m_RowData[static_cast<size_t>(row)][static_cast<size_t>(col)];
}

const CGridCell* CGridCtrl::GetCell(int row, int col) const {
    return IsValid(row, col) ? Cell(row, col) : nullptr;
}

// ---- Counts ----

bool CGridCtrl::SetRowCount(int rows) {
    TraceFunction("CGridCtrl::SetRowCount");
    if (rows < 0) return false;
    int old = GetRowCount();
    if (rows < old) {
        for (int r = rows; r < old; ++r) {
            for (int c = 0; c < GetColumnCount(); ++c)
                m_SelectedCells.Remove(r, c);
            FreeRow(m_RowData[static_cast<size_t>(r)]);
        }
        m_RowData.resize(static_cast<size_t>(rows));
        m_arRowHeights.resize(static_cast<size_t>(rows));
        m_arRowFlags.resize(static_cast<size_t>(rows));
        if (m_nFixedRows > rows) m_nFixedRows = rows;
        if (m_idCurrentCell.row >= rows) SetFocusCell(-1, -1);
    } else {
        try {
            m_RowData.reserve(static_cast<size_t>(rows));
            m_arRowHeights.reserve(static_cast<size_t>(rows));
            m_arRowFlags.reserve(static_cast<size_t>(rows));
            // Only the new row may fail; the arrays stay of one length.
            for (int r = old; r < rows; ++r) {
                m_RowData.push_back(MakeRow(-1));
                m_arRowHeights.push_back(m_nDefRowHeight);
                m_arRowFlags.push_back(GVRF_NORMAL);
            }
        } catch (const std::bad_alloc&) {
            vorlan::WriteProtocol("CGridCtrl::SetRowCount - no memory for %d rows", vorlan::kLogNote, rows);
            SetRowCount(old);
            return false;
        }
    }
    m_nFixedRows = std::min(m_nFixedRowsAsked, rows);
    if (m_idCurrentCell.IsValid() && m_idCurrentCell.row < m_nFixedRows) SetFocusCell(-1, -1);
    Relayout();
    return true;
}

bool CGridCtrl::SetColumnCount(int cols) {
    TraceFunction("CGridCtrl::SetColumnCount");
    if (cols < 0) return false;
    int old = GetColumnCount();
    if (cols < old) {
        for (int r = 0; r < GetRowCount(); ++r) {
            GridRow& row = m_RowData[static_cast<size_t>(r)];
            for (int c = cols; c < old; ++c) {
                m_SelectedCells.Remove(r, c);
                FreeCell(row[static_cast<size_t>(c)]);
            }
            row.resize(static_cast<size_t>(cols));
        }
        for (int c = cols; c < old; ++c) {
            ColumnFonts& f = m_arColFonts[static_cast<size_t>(c)];
            if (f.normal) ::DeleteObject(f.normal);
            if (f.bold) ::DeleteObject(f.bold);
        }
        m_arColWidths.resize(static_cast<size_t>(cols));
        m_arColFlags.resize(static_cast<size_t>(cols));
        m_arColFonts.resize(static_cast<size_t>(cols));
        if (m_nFixedCols > cols) m_nFixedCols = cols;
        if (m_idCurrentCell.col >= cols) SetFocusCell(-1, -1);
    } else {
        for (GridRow& row : m_RowData)
            for (int c = old; c < cols; ++c)
                row.push_back(NewCell());
        m_arColWidths.resize(static_cast<size_t>(cols), m_nDefColWidth);
        m_arColFlags.resize(static_cast<size_t>(cols), GVCF_ENABLED);
        m_arColFonts.resize(static_cast<size_t>(cols));
    }
    Relayout();
    return true;
}

bool CGridCtrl::SetFixedRowCount(int n) {
    TraceFunction("CGridCtrl::SetFixedRowCount");
    if (n < 0) return false;
    // More header rows than rows: the rows grow, so every count stays within the arrays.
    if (n > GetRowCount() && !SetRowCount(n)) return false;
    m_nFixedRows = m_nFixedRowsAsked = n;
    if (m_idCurrentCell.IsValid() && m_idCurrentCell.row < n) SetFocusCell(-1, -1);
    Relayout();
    return true;
}

bool CGridCtrl::SetFixedColumnCount(int n) {
    TraceFunction("CGridCtrl::SetFixedColumnCount");
    if (n < 0) return false;
    if (n > GetColumnCount() && !SetColumnCount(n)) return false;
    m_nFixedCols = n;
    if (m_idCurrentCell.IsValid() && m_idCurrentCell.col < n) SetFocusCell(-1, -1);
    Relayout();
    return true;
}

// ---- Rows ----

namespace {
// Moves every selected cell at or below `from` by `delta` rows (cells of a deleted row are
// gone already).
void ShiftSelection(CGridSelection& sel, int from, int delta) {
    if (sel.IsEmpty()) return;
    std::vector<CCellID> moved;
    sel.ForEach([&](const CCellID& id) {
        if (id.row >= from) moved.push_back(id);
    });
    for (const CCellID& id : moved)
        sel.Remove(id.row, id.col);
    for (const CCellID& id : moved)
        sel.Add(id.row + delta, id.col);
}
} // namespace

int CGridCtrl::InsertRow(int position) {
    TraceFunction("CGridCtrl::InsertRow");
    int count = GetRowCount();
    if (position == -1) position = count;
    if (position < 0 || position > count) return -1;
    if (GetColumnCount() < 1 && !SetColumnCount(1)) return -1;
    // A span reaching across the new row would cover the wrong cells: it ends here.
    if (position < count) ClearSpansThrough(position, true);
    // The first row lends its formats; a grid without rows has none to lend.
    try {
        m_RowData.reserve(m_RowData.size() + 1);
        m_arRowHeights.reserve(m_arRowHeights.size() + 1);
        m_arRowFlags.reserve(m_arRowFlags.size() + 1);
        GridRow row = MakeRow(count > 0 ? 0 : -1);
        m_RowData.insert(m_RowData.begin() + position, std::move(row));
    } catch (const std::bad_alloc&) {
        vorlan::WriteProtocol("CGridCtrl::InsertRow - no memory for row %d", vorlan::kLogNote, position);
        return -1;
    }
    m_arRowHeights.insert(m_arRowHeights.begin() + position, m_nDefRowHeight);
    m_arRowFlags.insert(m_arRowFlags.begin() + position, GVRF_NORMAL);
    if (position < count) {
        ShiftSelection(m_SelectedCells, position, 1);
        if (m_idCurrentCell.row >= position) ++m_idCurrentCell.row;
    }
    Relayout();
    return position;
}

bool CGridCtrl::EmptyRow(int row, int firstCol, int lastCol) {
    char line[96];
    std::snprintf(line, sizeof line, "CGridCtrl::EmptyRow - before - %d < %d", row, GetRowCount());
    TraceFunction(line);
    if (row < 0 || row >= GetRowCount()) return false;
    if (lastCol < 0 || lastCol >= GetColumnCount()) lastCol = GetColumnCount() - 1;
    if (firstCol < 0) firstCol = 0;
    for (int c = firstCol; c <= lastCol; ++c) {
        CGridCell* cell = Cell(row, c);
        if (cell->m_nRowSpan != 0 || cell->m_nColSpan != 0) {
            CCellID anchor = GetAnchorCell(row, c);
            ClearSpanRegion(anchor.row, anchor.col);
        }
        if (m_bListMode && !IsFixed(row, c)) {
            cell->m_nRowSpan = 0;
            cell->m_nColSpan = 0;
            continue;
        }
        if (cell->m_nState & GVIS_SELECTED) m_SelectedCells.Remove(row, c);
        cell->Reset();
    }
    m_arRowFlags[static_cast<size_t>(row)] = GVRF_NORMAL;
    TraceFunction("CGridCtrl::EmptyRow - after");
    return true;
}

bool CGridCtrl::DeleteRow(int row) {
    TraceFunction("CGridCtrl::DeleteRow");
    if (row < 0 || row >= GetRowCount()) return false;
    ClearSpansThrough(row, false);
    for (int c = 0; c < GetColumnCount(); ++c)
        m_SelectedCells.Remove(row, c);
    FreeRow(m_RowData[static_cast<size_t>(row)]);
    m_RowData.erase(m_RowData.begin() + row);
    m_arRowHeights.erase(m_arRowHeights.begin() + row);
    m_arRowFlags.erase(m_arRowFlags.begin() + row);
    ShiftSelection(m_SelectedCells, row + 1, -1);
    if (m_nFixedRows > GetRowCount()) m_nFixedRows = GetRowCount();
    if (m_idCurrentCell.row == row) {
        m_bFocusFrameShown = false;
        m_idCurrentCell = CCellID();
        m_nFocusExtentRows = m_nFocusExtentCols = 0;
    } else if (m_idCurrentCell.row > row) {
        --m_idCurrentCell.row;
    }
    Relayout();
    return true;
}

// ---- Cells ----

CString CGridCtrl::GetItemText(int row, int col) const {
    return IsValid(row, col) ? Cell(row, col)->m_strText : CString();
}

bool CGridCtrl::SetItemText(int row, int col, const char* text) {
    if (!IsValid(row, col)) return false;
    Cell(row, col)->m_strText = text ? text : "";
    return true;
}

bool CGridCtrl::SetItemTextHook(int row, int col, const char* text) {
    TraceFunction("CGridCtrl::SetItemTextHook");
    return SetItemText(row, col, text);
}

void CGridCtrl::ClearCell(int row, int col) {
    TraceFunction("CGridCtrl::ClearCell");
    if (IsValid(row, col)) Cell(row, col)->m_strText.Empty();
}

void CGridCtrl::ClearSelectedCells() {
    TraceFunction("CGridCtrl::ClearSelectedCells");
    if (!m_bEditable) return;
    std::vector<CCellID> cells;
    m_SelectedCells.ForEach([&](const CCellID& id) { cells.push_back(id); });
    for (const CCellID& id : cells)
        if (IsValid(id) && !(Cell(id.row, id.col)->m_nState & GVIS_READONLY)) ClearCell(id.row, id.col);
    if (m_bAllowDraw && WindowAlive()) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool CGridCtrl::GetItem(GV_ITEM* item) const {
    if (!item || !IsValid(item->row, item->col)) return false;
    const CGridCell& cell = *Cell(item->row, item->col);
    if (item->mask & GVIF_TEXT) item->strText = cell.m_strText;
    if (item->mask & GVIF_IMAGE) item->iImage = cell.m_nImage;
    if (item->mask & GVIF_PARAM) item->lParam = cell.m_lParam;
    if (item->mask & GVIF_STATE) item->state = cell.m_nState;
    if (item->mask & GVIF_BKCLR) item->crBkClr = cell.m_crBkClr;
    if (item->mask & GVIF_FGCLR) item->crFgClr = cell.m_crFgClr;
    if (item->mask & GVIF_FORMAT) item->nFormat = cell.m_nFormat;
    if (item->mask & GVIF_SPAN) {
        item->rowSpan = cell.m_nRowSpan;
        item->colSpan = cell.m_nColSpan;
    }
    if (item->mask & GVIF_SHAPE) item->nShape = cell.m_nShape;
    if (item->mask & GVIF_STYLE) item->wStyle = cell.m_wStyle;
    return true;
}

bool CGridCtrl::SetItemImage(int row, int col, int image) {
    if (!IsValid(row, col)) return false;
    Cell(row, col)->m_nImage = image;
    return true;
}

int CGridCtrl::GetItemImage(int row, int col) const {
    return IsValid(row, col) ? Cell(row, col)->m_nImage : -1;
}

bool CGridCtrl::SetItemColors(int& row, int& col, int textColour, int bkColour, int shape) {
    if (!IsValid(row, col)) return false;
    CGridCell* cell = Cell(row, col);
    cell->m_crFgClr = FormColour(textColour);
    cell->m_crBkClr = FormColour(bkColour);
    cell->m_nShape = shape & 0xFF;
    return true;
}

bool CGridCtrl::ModifyItemStyle(int row, int col, WORD set, WORD clear) {
    if (!IsValid(row, col)) return false;
    CGridCell* cell = Cell(row, col);
    cell->m_wStyle = static_cast<WORD>((cell->m_wStyle & ~clear) | set);
    return true;
}

WORD CGridCtrl::GetItemStyle(int row, int col) const {
    return IsValid(row, col) ? Cell(row, col)->m_wStyle : 0;
}

bool CGridCtrl::ModifyItemFormat(int row, int col, UINT set, UINT keep) {
    if (!IsValid(row, col)) return false;
    CGridCell* cell = Cell(row, col);
    cell->m_nFormat = set | (cell->m_nFormat & keep);
    return true;
}

UINT CGridCtrl::GetItemFormat(int row, int col) const {
    return IsValid(row, col) ? Cell(row, col)->m_nFormat : 0;
}

bool CGridCtrl::SetItemState(int row, int col, UINT state) {
    if (!IsValid(row, col)) return false;
    Cell(row, col)->m_nState = state;
    if (state & GVIS_SELECTED)
        m_SelectedCells.Add(row, col);
    else
        m_SelectedCells.Remove(row, col);
    return true;
}

UINT CGridCtrl::GetItemState(int row, int col) const {
    return IsValid(row, col) ? Cell(row, col)->m_nState : 0;
}

bool CGridCtrl::SetItemData(int row, int col, int data) {
    if (!IsValid(row, col)) return false;
    Cell(row, col)->m_lParam = data;
    return true;
}

int CGridCtrl::GetItemData(int row, int col) const {
    return IsValid(row, col) ? Cell(row, col)->m_lParam : 0;
}

bool CGridCtrl::SetItemExtra(int row, int col, int extra) {
    if (!IsValid(row, col)) return false;
    Cell(row, col)->m_lExtra = extra;
    return true;
}

int CGridCtrl::GetItemExtra(int row, int col) const {
    return IsValid(row, col) ? Cell(row, col)->m_lExtra : 0;
}

// ---- Spans ----

CCellID CGridCtrl::GetAnchorCell(int row, int col) const {
    if (!IsValid(row, col)) return CCellID(row, col);
    const CGridCell* cell = Cell(row, col);
    CCellID anchor(row + (cell->m_nRowSpan < 0 ? cell->m_nRowSpan : 0),
                   col + (cell->m_nColSpan < 0 ? cell->m_nColSpan : 0));
    return IsValid(anchor) ? anchor : CCellID(row, col);
}

void CGridCtrl::ClearSpanRegion(int row, int col) {
    CGridCell* anchor = Cell(row, col);
    int lastRow = std::min(row + std::max(anchor->m_nRowSpan, 0), GetRowCount() - 1);
    int lastCol = std::min(col + std::max(anchor->m_nColSpan, 0), GetColumnCount() - 1);
    for (int r = row; r <= lastRow; ++r)
        for (int c = col; c <= lastCol; ++c) {
            CGridCell* cell = Cell(r, c);
            if (r == row && c == col) continue;
            // Only cells that still point at this anchor belong to it.
            if (GetAnchorCell(r, c) == CCellID(row, col)) cell->m_nRowSpan = cell->m_nColSpan = 0;
        }
    anchor->m_nRowSpan = 0;
    anchor->m_nColSpan = 0;
}

void CGridCtrl::ClearSpansThrough(int row, bool onlyFromAbove) {
    for (int c = 0; c < GetColumnCount(); ++c) {
        const CGridCell* cell = Cell(row, c);
        bool spans = onlyFromAbove ? cell->m_nRowSpan < 0 : (cell->m_nRowSpan != 0 || cell->m_nColSpan != 0);
        if (!spans) continue;
        CCellID anchor = GetAnchorCell(row, c);
        ClearSpanRegion(anchor.row, anchor.col);
    }
}

bool CGridCtrl::SetItemSpan(int row, int col, int rowSpan, int colSpan) {
    if (!IsValid(row, col) || rowSpan < 0 || colSpan < 0) return false;
    CGridCell* anchor = Cell(row, col);
    // A covered cell cannot anchor a span of its own: free it from the span that covers it.
    CCellID owner = GetAnchorCell(row, col);
    if (owner != CCellID(row, col)) ClearSpanRegion(owner.row, owner.col);
    ClearSpanRegion(row, col);
    // Columns end at the last one; rows grow to hold the span.
    if (col + colSpan >= GetColumnCount()) colSpan = GetColumnCount() - 1 - col;
    if (row + rowSpan >= GetRowCount() && !SetRowCount(row + rowSpan + 1)) return false;
    anchor = Cell(row, col);
    // Spans the new region overlaps give up their cells.
    for (int r = row; r <= row + rowSpan; ++r)
        for (int c = col; c <= col + colSpan; ++c) {
            if (r == row && c == col) continue;
            CCellID other = GetAnchorCell(r, c);
            if (other != CCellID(r, c) || Cell(r, c)->m_nRowSpan > 0 || Cell(r, c)->m_nColSpan > 0)
                ClearSpanRegion(other.row, other.col);
        }
    for (int r = row; r <= row + rowSpan; ++r)
        for (int c = col; c <= col + colSpan; ++c) {
            if (r == row && c == col) continue;
            CGridCell* cell = Cell(r, c);
            cell->m_nRowSpan = row - r;
            cell->m_nColSpan = col - c;
        }
    anchor->m_nRowSpan = rowSpan;
    anchor->m_nColSpan = colSpan;
    if (m_bAllowDraw && WindowAlive()) ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return true;
}

bool CGridCtrl::SetItemColSpan(int row, int col, int further) {
    if (!IsValid(row, col) || further < 0) return false;
    CGridCell* cell = Cell(row, col);
    return SetItemSpan(row, col, cell->m_nRowSpan > 0 ? cell->m_nRowSpan : 0, further);
}

bool CGridCtrl::SetItemRowSpan(int row, int col, int further) {
    if (!IsValid(row, col) || further < 0) return false;
    CGridCell* cell = Cell(row, col);
    return SetItemSpan(row, col, further, cell->m_nColSpan > 0 ? cell->m_nColSpan : 0);
}

// ---- Flags and sizes ----

bool CGridCtrl::ModifyRowFlags(int row, WORD clear, WORD set) {
    if (row < 0 || row >= GetRowCount()) return false;
    WORD& f = m_arRowFlags[static_cast<size_t>(row)];
    f = static_cast<WORD>((f & ~clear) | set);
    return true;
}

bool CGridCtrl::ModifyColumnFlags(int col, WORD clear, WORD set) {
    if (col < 0 || col >= GetColumnCount()) return false;
    WORD& f = m_arColFlags[static_cast<size_t>(col)];
    f = static_cast<WORD>((f & ~clear) | set);
    return true;
}

WORD CGridCtrl::GetRowFlags(int row) const {
    return row >= 0 && row < GetRowCount() ? m_arRowFlags[static_cast<size_t>(row)] : 0;
}

WORD CGridCtrl::GetColumnFlags(int col) const {
    return col >= 0 && col < GetColumnCount() ? m_arColFlags[static_cast<size_t>(col)] : 0;
}

int CGridCtrl::CellSize(long long pixels) {
    return static_cast<int>(std::clamp<long long>(pixels, 0, kMaxCellSize));
}

bool CGridCtrl::SetRowHeight(int row, int height, bool useDefault) {
    if (row < 0 || row >= GetRowCount()) return false;
    long long pixels = height;
    if (useDefault) {
        if (m_arRowFlags[static_cast<size_t>(row)] & GVRF_FIXEDHEIGHT) return false;
        pixels = m_nDefRowHeight;
    } else if (height < 0) {
        pixels = -pixels * m_nDefRowHeight;
    }
    m_arRowHeights[static_cast<size_t>(row)] = CellSize(pixels);
    Relayout();
    return true;
}

bool CGridCtrl::SetColumnWidth(int col, int width, bool autoSizeRows) {
    if (col < 0 || col >= GetColumnCount()) return false;
    m_arColWidths[static_cast<size_t>(col)] = CellSize(width);
    if (col != GetColumnCount() - 1) FitLastColumn();
    if (autoSizeRows) AutoSizeRows();
    Relayout();
    return true;
}

void CGridCtrl::FitLastColumn() {
    if (!m_bFillLastColumn || GetColumnCount() < 1 || !WindowAlive()) return;
    int total = GetVirtualWidth();
    int client = GetClientRect().Width();
    if (total < client)
        m_arColWidths.back() = CellSize(static_cast<long long>(m_arColWidths.back()) + client - total);
}

bool CGridCtrl::SetColumnFont(int col, HFONT font) {
    if (col < 0 || col >= GetColumnCount()) return false;
    ColumnFonts& f = m_arColFonts[static_cast<size_t>(col)];
    if (f.normal) ::DeleteObject(f.normal);
    if (f.bold) ::DeleteObject(f.bold);
    f = ColumnFonts();
    LOGFONTA lf{};
    if (font && ::GetObjectA(font, sizeof lf, &lf)) {
        f.normal = font;
        lf.lfWeight = FW_BOLD;
        f.bold = ::CreateFontIndirectA(&lf);
    }
    return true;
}

int CGridCtrl::GetRowHeight(int row) const {
    return row >= 0 && row < GetRowCount() ? m_arRowHeights[static_cast<size_t>(row)] : -1;
}

int CGridCtrl::GetColumnWidth(int col) const {
    return col >= 0 && col < GetColumnCount() ? m_arColWidths[static_cast<size_t>(col)] : -1;
}

HFONT CGridCtrl::CellFont(int col, bool bold) const {
    if (col >= 0 && col < GetColumnCount()) {
        const ColumnFonts& f = m_arColFonts[static_cast<size_t>(col)];
        HFONT own = bold && f.bold ? f.bold : f.normal;
        if (own) return own;
    }
    return bold ? static_cast<HFONT>(m_BoldFont) : static_cast<HFONT>(m_Font);
}

CSize CGridCtrl::GetCellExtent(int row, int col, CDC* dc, bool bold, bool multiLine) {
    if (!IsValid(row, col) || !dc) return CSize(0, 0);
    const CGridCell* cell = Cell(row, col);
    bool useBold = bold || (cell->m_nFormat & kGridFormatBold);
    CSelectedObject sel(*dc, CellFont(col, useBold));
    CString text = GetItemText(row, col);
    if (text.IsEmpty()) text = " ";
    CRect r;
    UINT flags = DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS;
    if (multiLine) {
        int width = 0;
        int span = cell->m_nColSpan > 0 ? cell->m_nColSpan : 0;
        for (int c = col; c <= col + span && c < GetColumnCount(); ++c)
            width += GetColumnWidth(c);
        r.right = std::max(width - 2 * m_nMarginX, 1);
        flags |= DT_WORDBREAK;
    } else {
        flags |= DT_SINGLELINE;
    }
    dc->DrawText(text, text.GetLength(), &r, flags);
    CSize size(r.Width() + 2 * m_nMarginX + 2, r.Height() + 2 * m_nMarginY + 2);
    if (m_hCellImages && cell->m_nImage >= 0) {
        int cx = 0;
        int cy = 0;
        if (ImageList_GetIconSize(m_hCellImages, &cx, &cy)) size.cx += cx + m_nMarginX;
    }
    return size;
}

bool CGridCtrl::AutoSizeColumn(int col, bool growOnly) {
    TraceFunction("CGridCtrl::AutoSizeColumn");
    if (col < 0 || col >= GetColumnCount() || !WindowAlive()) return false;
    CClientDC dc(m_hWnd);
    int width = 0;
    for (int r = 0; r < GetRowCount(); ++r) {
        const CGridCell* cell = Cell(r, col);
        if (cell->m_nRowSpan != 0 || (cell->m_wStyle & GVSTYLE_DRAGHANDLE)) continue;
        bool multi = (cell->m_wStyle & GVSTYLE_MULTILINE) != 0;
        CSize extent = GetCellExtent(r, col, &dc, r < m_nFixedRows, multi);
        // A multi-line cell is measured within the column: its lines keep the room they need.
        width = std::max(width, static_cast<int>(extent.cx));
        if (multi && m_arRowHeights[static_cast<size_t>(r)] > 0 &&
            extent.cy > m_arRowHeights[static_cast<size_t>(r)])
            m_arRowHeights[static_cast<size_t>(r)] = extent.cy;
    }
    if (width > 0 && !(growOnly && width < m_arColWidths[static_cast<size_t>(col)]))
        m_arColWidths[static_cast<size_t>(col)] = width;
    m_bSizesChanged = 1;
    Relayout();
    return true;
}

void CGridCtrl::AutoSizeColumns() {
    TraceFunction("CGridCtrl::AutoSizeColumns");
    for (int c = 0; c < GetColumnCount(); ++c)
        AutoSizeColumn(c);
    AutoSizeRows();
}

bool CGridCtrl::AutoSizeRow(int row) {
    if (row < 0 || row >= GetRowCount() || !WindowAlive()) return false;
    int& height = m_arRowHeights[static_cast<size_t>(row)];
    // A hidden row stays hidden.
    if (height == 0) return true;
    WORD& flags = m_arRowFlags[static_cast<size_t>(row)];
    flags = static_cast<WORD>(flags & ~GVRF_FIXEDHEIGHT);
    CClientDC dc(m_hWnd);
    int tallest = 0;
    bool multi = false;
    for (int c = 0; c < GetColumnCount(); ++c) {
        if (!(Cell(row, c)->m_wStyle & GVSTYLE_MULTILINE)) continue;
        multi = true;
        tallest = std::max(tallest, static_cast<int>(GetCellExtent(row, c, &dc, false, true).cy));
    }
    if (multi) {
        flags |= GVRF_FIXEDHEIGHT;
        height = tallest;
    }
    m_bSizesChanged = 1;
    return true;
}

void CGridCtrl::AutoSizeRows() {
    for (int r = 0; r < GetRowCount(); ++r)
        AutoSizeRow(r);
    Relayout();
}

void CGridCtrl::SetSortColumn(int col, int direction) {
    m_nSortColumn = col;
    m_nSortDirection = direction;
    if (m_bAllowDraw && WindowAlive() && m_nFixedRows > 0) {
        CRect r = GetClientRect();
        r.bottom = GetFixedRowHeight();
        ::InvalidateRect(m_hWnd, &r, FALSE);
    }
}

// ---- Selection ----

void CGridCtrl::SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool drawNow) {
    TraceFunction("CGridCtrl::SetSelectedRange");
    if (!m_bEnableSelection) return;
    CCellRange range(minRow, minCol, std::min(maxRow, GetRowCount() - 1),
                     std::min(maxCol, GetColumnCount() - 1));
    std::vector<CCellID> changed;
    std::vector<CCellID> leaving;
    m_SelectedCells.ForEach([&](const CCellID& id) {
        if (!range.InRange(id.row, id.col)) leaving.push_back(id);
    });
    for (const CCellID& id : leaving) {
        if (IsValid(id)) Cell(id.row, id.col)->m_nState &= ~static_cast<UINT>(GVIS_SELECTED);
        m_SelectedCells.Remove(id.row, id.col);
        changed.push_back(id);
    }
    if (range.IsValid()) {
        for (int r = range.minRow; r <= range.maxRow; ++r)
            for (int c = range.minCol; c <= range.maxCol; ++c) {
                CGridCell* cell = Cell(r, c);
                if (cell->m_nState & GVIS_SELECTED) continue;
                cell->m_nState |= GVIS_SELECTED;
                m_SelectedCells.Add(r, c);
                changed.push_back(CCellID(r, c));
            }
    }
    m_SelectedRange = range.IsValid() ? range : CCellRange();
    if (!m_bAllowDraw || !WindowAlive() || changed.empty()) return;
    // A whole repaint costs no more than finding each changed cell on a long grid.
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    if (drawNow) UpdateWindow();
}
