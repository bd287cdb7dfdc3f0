// How the grid paints: off-screen per update rectangle, only what meets the clip box.
#include "controls/GridCtrl.h"

#include "app/ProtocolLog.h"
#include "controls/FormColours.h"

#include <algorithm>
#include <cstring>
#include <vector>

using vorlan::TraceFunction;

namespace {

constexpr COLORREF kRed = RGB(0xFF, 0, 0);
constexpr COLORREF kWhite = RGB(0xFF, 0xFF, 0xFF);
constexpr COLORREF kHandleFrame = RGB(0x60, 0x60, 0x60);
constexpr COLORREF kDisabledBack = RGB(0xD0, 0xD0, 0xD0);

bool IsMetafile(const CDC* dc) {
    DWORD kind = ::GetObjectType(dc->m_hDC);
    return kind == OBJ_ENHMETADC || kind == OBJ_METADC;
}

// A 1-pixel line in a pen of that colour from the first point up to the second, inclusive.
void Line(CDC* dc, COLORREF colour, int x1, int y1, int x2, int y2) {
    CPen pen(PS_SOLID, 1, colour);
    CSelectedObject sel(*dc, pen);
    dc->MoveTo(x1, y1);
    dc->LineTo(x2 + (y1 == y2 ? 1 : 0), y2 + (x1 == x2 ? 1 : 0));
}

// The red corner mark at the top right: 4, 3, 2 and 1 pixels on the first four pixel rows.
void DrawCornerTriangle(CDC* dc, const CRect& fill, COLORREF back) {
    COLORREF colour = back == kRed ? kWhite : kRed;
    int right = fill.right - 1;
    for (int i = 0; i < 4 && fill.top + i < fill.bottom; ++i) {
        int left = std::max(right - (3 - i), static_cast<int>(fill.left));
        dc->FillSolidRect(CRect(left, fill.top + i, right + 1, fill.top + i + 1), colour);
    }
}

void FillShape(CDC* dc, const CRect& fill, int shape, COLORREF colour) {
    if (shape < kShapeLeft || shape > kShapeDown) {
        dc->FillSolidRect(fill, colour);
        return;
    }
    dc->FillSolidRect(fill, kWhite);
    int l = fill.left;
    int t = fill.top;
    int r = fill.right - 1;
    int b = fill.bottom - 1;
    int midX = l + fill.Width() / 2 - 1;
    int midY = t + fill.Height() / 2;
    POINT p[4];
    int n = 3;
    switch (shape) {
    case kShapeLeft: p[0] = {l, midY}, p[1] = {r, t}, p[2] = {r, b}; break;
    case kShapeRight: p[0] = {r, midY}, p[1] = {l, t}, p[2] = {l, b}; break;
    case kShapeDiamond:
        p[0] = {l, midY}, p[1] = {midX, t}, p[2] = {r - 2, midY}, p[3] = {midX, b - 2};
        n = 4;
        break;
    case kShapeUp: p[0] = {midX, t}, p[1] = {l, b}, p[2] = {r, b}; break;
    default: p[0] = {midX, b}, p[1] = {l, t}, p[2] = {r, t}; break;
    }
    CPen pen(PS_SOLID, 1, colour);
    CBrush brush(colour);
    CSelectedObject selPen(*dc, pen);
    CSelectedObject selBrush(*dc, brush);
    dc->Polygon(p, n);
}

// Each channel loses 32 when it has 33 or more, then 64 more when it still has 65 or more.
COLORREF Darken(COLORREF c) {
    auto channel = [](int v) {
        if (v >= 33) v -= 32;
        if (v >= 65) v -= 64;
        return v;
    };
    return RGB(channel(GetRValue(c)), channel(GetGValue(c)), channel(GetBValue(c)));
}

HBRUSH CreateHalftoneBrush() {
    static const WORD pattern[8] = {0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA, 0x55, 0xAA};
    CBitmap bits;
    bits.Attach(::CreateBitmap(8, 8, 1, 1, pattern));
    return bits.m_hObject ? ::CreatePatternBrush(bits) : nullptr;
}

} // namespace

// ---- Window messages ----

LRESULT CGridCtrl::OnPaint(WPARAM, LPARAM) {
    TraceFunction("CGridCtrl::OnPaint");
    CRgn update(CRect(0, 0, 0, 0));
    int kind = update.m_hObject ? ::GetUpdateRgn(m_hWnd, update, FALSE) : ERROR;
    CPaintDC target(m_hWnd);
    HDC hdc = target;
    if (!hdc || kind == ERROR || kind == NULLREGION) return 0;
    DWORD size = ::GetRegionData(update, 0, nullptr);
    std::vector<char> buffer(size);
    auto* data = reinterpret_cast<RGNDATA*>(buffer.data());
    if (!size || !::GetRegionData(update, size, data)) return 0;
    const RECT* rects = reinterpret_cast<const RECT*>(data->Buffer);
    const CRect box = data->rdh.rcBound;
    // The kept bitmap holds the window at its own coordinates: each part of the update region
    // is drawn into it under its own clip, then all go to the screen in one copy.
    HDC mem = box.right > 0 && box.bottom > 0 ? m_BackBuffer.Get(hdc, box.right, box.bottom) : nullptr;
    if (!mem) {
        for (DWORD i = 0; i < data->rdh.nCount; ++i) {
            ::SelectClipRgn(hdc, CRgn(rects[i]));
            OnDraw(&target, true);
        }
        return 0;
    }
    CDC off(mem);
    const int saved = off.SaveDC();
    off.SetViewportOrg(-m_nDrawOffsetX, -m_nDrawOffsetY);
    for (DWORD i = 0; i < data->rdh.nCount; ++i) {
        off.SelectClipRgn(CRgn(rects[i]));
        OnDraw(&off, true);
    }
    off.RestoreDC(saved);
    ::SelectClipRgn(hdc, update);
    ::BitBlt(hdc, box.left, box.top, box.Width(), box.Height(), mem, box.left, box.top, SRCCOPY);
    return 0;
}

LRESULT CGridCtrl::OnEraseBkgnd(WPARAM, LPARAM) {
    return 1;
}

LRESULT CGridCtrl::OnNcPaint(WPARAM w, LPARAM l) {
    LRESULT r = CWnd::WindowProc(WM_NCPAINT, w, l);
    if (m_bStylesInUse) {
        CClientDC dc(m_hWnd, true);
        CRect whole = GetWindowRect();
        CRect edge(0, 0, whole.Width(), whole.Height());
        ::DrawEdge(dc, &edge, BDR_SUNKENINNER, BF_RECT);
    }
    return r;
}

LRESULT CGridCtrl::OnSysColorChange(WPARAM w, LPARAM l) {
    TraceFunction("CGridCtrl::OnSysColorChange");
    ReadSystemColours(true);
    if (m_bAllowDraw) ::InvalidateRect(m_hWnd, nullptr, FALSE);
    return CWnd::WindowProc(WM_SYSCOLORCHANGE, w, l);
}

// ---- Painting ----

void CGridCtrl::OnDraw(CDC* dc, bool erase) {
    TraceFunction("CGridCtrl::OnDraw");
    if (!dc) return;
    // The painters keep their font and modes selected from cell to cell; all come back here.
    CSaveDC keep(*dc);
    m_bInOnDraw = true;
    dc->SelectObject(m_Font);
    dc->SetBkMode(TRANSPARENT);
    // A metafile is a picture of the whole grid, unscrolled; elsewhere what meets the clip box.
    const bool wholeGrid = IsMetafile(dc);
    CRect clip;
    if (wholeGrid)
        clip = CRect(0, 0, GetVirtualWidth(), GetVirtualHeight());
    else
        dc->GetClipBox(&clip);
    const int rows = GetRowCount();
    const int cols = GetColumnCount();
    const int fixedRows = std::min(m_nFixedRows, rows);
    const int fixedCols = std::min(m_nFixedCols, cols);
    const int fixedH = GetFixedRowHeight();
    const int fixedW = GetFixedColumnWidth();

    // The first non-fixed row and column that meet the clip box, and their top and left.
    int r0 = fixedRows;
    int y0 = fixedH - (wholeGrid ? 0 : GetScrollPos32(SB_VERT));
    const int top = std::max(static_cast<int>(clip.top), fixedH);
    while (r0 < rows && y0 + m_arRowHeights[static_cast<size_t>(r0)] <= top)
        y0 += m_arRowHeights[static_cast<size_t>(r0++)];
    int c0 = fixedCols;
    int x0 = fixedW - (wholeGrid ? 0 : GetScrollPos32(SB_HORZ));
    const int left = std::max(static_cast<int>(clip.left), fixedW);
    while (c0 < cols && x0 + m_arColWidths[static_cast<size_t>(c0)] <= left)
        x0 += m_arColWidths[static_cast<size_t>(c0++)];
    // And the last ones, with where the cells end.
    int r1 = r0 - 1;
    int bottom = y0;
    while (r1 + 1 < rows && bottom < clip.bottom)
        bottom += m_arRowHeights[static_cast<size_t>(++r1)];
    int c1 = c0 - 1;
    int right = x0;
    while (c1 + 1 < cols && right < clip.right)
        right += m_arColWidths[static_cast<size_t>(++c1)];
    if (r1 < r0) bottom = std::max(fixedH, std::min(y0, static_cast<int>(clip.bottom)));
    if (c1 < c0) right = std::max(fixedW, std::min(x0, static_cast<int>(clip.right)));
    // The fixed rows and columns meeting the clip box.
    int fr0 = 0;
    int fy0 = 0;
    while (fr0 < fixedRows && fy0 + m_arRowHeights[static_cast<size_t>(fr0)] <= clip.top)
        fy0 += m_arRowHeights[static_cast<size_t>(fr0++)];
    int fr1 = fr0 - 1;
    for (int y = fy0; fr1 + 1 < fixedRows && y < clip.bottom;)
        y += m_arRowHeights[static_cast<size_t>(++fr1)];
    int fc0 = 0;
    int fx0 = 0;
    while (fc0 < fixedCols && fx0 + m_arColWidths[static_cast<size_t>(fc0)] <= clip.left)
        fx0 += m_arColWidths[static_cast<size_t>(fc0++)];
    int fc1 = fc0 - 1;
    for (int x = fx0; fc1 + 1 < fixedCols && x < clip.right;)
        x += m_arColWidths[static_cast<size_t>(++fc1)];

    if (erase) {
        dc->FillSolidRect(CRect(0, 0, fixedW, bottom), m_crFixedBkColour);
        dc->FillSolidRect(CRect(fixedW, 0, right, fixedH), m_crFixedBkColour);
        dc->FillSolidRect(CRect(fixedW, fixedH, right, bottom), m_crTextBkColour);
        if (right < clip.right)
            dc->FillSolidRect(CRect(right, clip.top, clip.right, clip.bottom), m_crGridBkColour);
        if (bottom < clip.bottom)
            dc->FillSolidRect(CRect(clip.left, bottom, right, clip.bottom), m_crGridBkColour);
        HGDIOBJ old = ::SelectObject(*dc, m_hGridBrush);
        if (m_nGridLines == 3 || m_nGridLines == 2)
            for (int c = c0, x = x0; c <= c1; ++c) {
                x += m_arColWidths[static_cast<size_t>(c)];
                dc->PatBlt(x - 1, fixedH, 1, bottom - fixedH, PATCOPY);
            }
        if (m_nGridLines == 3 || m_nGridLines == 1)
            for (int r = r0, y = y0; r <= r1; ++r) {
                y += m_arRowHeights[static_cast<size_t>(r)];
                dc->PatBlt(fixedW, y - 1, right - fixedW, 1, PATCOPY);
            }
        ::SelectObject(*dc, old);

        auto fixedCell = [&](int r, int c, int x, int y, int rFirst, int cFirst) {
            CCellID a = GetAnchorCell(r, c);
            if (r != std::max(a.row, rFirst) || c != std::max(a.col, cFirst)) return;
            DrawFixedCell(dc, r, c,
                          CRect(x, y, x + m_arColWidths[static_cast<size_t>(c)] - 1,
                                y + m_arRowHeights[static_cast<size_t>(r)] - 1));
        };
        for (int r = fr0, y = fy0; r <= fr1; y += m_arRowHeights[static_cast<size_t>(r++)])
            for (int c = fc0, x = fx0; c <= fc1; x += m_arColWidths[static_cast<size_t>(c++)])
                fixedCell(r, c, x, y, fr0, fc0);
        for (int r = r0, y = y0; r <= r1; y += m_arRowHeights[static_cast<size_t>(r++)])
            for (int c = fc0, x = fx0; c <= fc1; x += m_arColWidths[static_cast<size_t>(c++)])
                fixedCell(r, c, x, y, r0, fc0);
        for (int r = fr0, y = fy0; r <= fr1; y += m_arRowHeights[static_cast<size_t>(r++)])
            for (int c = c0, x = x0; c <= c1; x += m_arColWidths[static_cast<size_t>(c++)])
                fixedCell(r, c, x, y, fr0, c0);
    }

    for (int r = r0, y = y0; r <= r1; y += m_arRowHeights[static_cast<size_t>(r++)]) {
        if (m_arRowHeights[static_cast<size_t>(r)] <= 0) continue;
        for (int c = c0, x = x0; c <= c1; x += m_arColWidths[static_cast<size_t>(c++)]) {
            const CGridCell* cell = Cell(r, c);
            if (cell->m_nRowSpan < 0 || cell->m_nColSpan < 0) {
                // A span is drawn once: by its anchor, or by its first cell in view.
                CCellID a = GetAnchorCell(r, c);
                if (r != std::max(a.row, r0) || c != std::max(a.col, c0)) continue;
            }
            // A span covers the grid lines between its cells.
            bool spanned = cell->m_nRowSpan != 0 || cell->m_nColSpan != 0;
            DrawCell(dc, r, c,
                     CRect(x, y, x + m_arColWidths[static_cast<size_t>(c)] - 1,
                           y + m_arRowHeights[static_cast<size_t>(r)] - 1),
                     spanned);
        }
    }

    m_bInOnDraw = false;
    if (wholeGrid) return;
    // Painted only as the frame's state says: a repaint must not toggle it.
    if (m_bFocusFrameShown) InvertFocusFrame(dc, false);
    if (m_bDragFrameShown) InvertFocusFrame(dc, true);
}

void CGridCtrl::GetCellColours(int row, int col, const CGridCell& cell, bool onScreen, COLORREF& text,
                               COLORREF& back, bool& nonDefault) const {
    nonDefault = true;
    text = cell.m_crFgClr != kDefaultColour ? cell.m_crFgClr : m_crTextColour;
    if (onScreen && m_bFocusRow && row == m_idCurrentCell.row &&
        (m_bWholeRow || col != m_idCurrentCell.col)) {
        text = ::GetSysColor(COLOR_HIGHLIGHTTEXT);
        back = ::GetSysColor(COLOR_HIGHLIGHT);
        return;
    }
    if (cell.m_crBkClr != kDefaultColour) {
        back = cell.m_crBkClr;
        return;
    }
    uint32_t rowColour = FormColour(m_arRowFlags[static_cast<size_t>(row)] & 0xFF);
    if (rowColour != kDefaultColour) {
        back = rowColour;
        return;
    }
    WORD colFlags = m_arColFlags[static_cast<size_t>(col)];
    uint32_t colColour = FormColour(colFlags & 0xFF);
    if (colColour != kDefaultColour) {
        back = colColour;
        return;
    }
    if (!(colFlags & GVCF_ENABLED)) {
        back = kDisabledBack;
        return;
    }
    back = m_crTextBkColour;
    nonDefault = false;
}

CRect CGridCtrl::SpannedCellRect(int row, int col, const CRect& rect) const {
    CRect r = rect;
    CCellID a = GetAnchorCell(row, col);
    for (int c = a.col; c < col; ++c)
        r.left -= m_arColWidths[static_cast<size_t>(c)];
    for (int rr = a.row; rr < row; ++rr)
        r.top -= m_arRowHeights[static_cast<size_t>(rr)];
    const CGridCell* anchor = Cell(a.row, a.col);
    int lastCol = std::min(a.col + std::max(anchor->m_nColSpan, 0), GetColumnCount() - 1);
    int lastRow = std::min(a.row + std::max(anchor->m_nRowSpan, 0), GetRowCount() - 1);
    r.right = r.left - 1;
    for (int c = a.col; c <= lastCol; ++c)
        r.right += m_arColWidths[static_cast<size_t>(c)];
    r.bottom = r.top - 1;
    for (int rr = a.row; rr <= lastRow; ++rr)
        r.bottom += m_arRowHeights[static_cast<size_t>(rr)];
    return r;
}

// The font of a cell's text and how far to move it down so its baseline meets the grid font's.
namespace {
int AscentShift(CDC* dc, HFONT gridFont, HFONT own) {
    TEXTMETRICA grid{};
    TEXTMETRICA mine{};
    {
        CSelectedObject sel(*dc, gridFont);
        dc->GetTextMetrics(&grid);
    }
    CSelectedObject sel(*dc, own);
    dc->GetTextMetrics(&mine);
    return grid.tmAscent - mine.tmAscent;
}
} // namespace

void CGridCtrl::DrawCellContent(CDC* dc, int row, int col, const CGridCell& cell, CRect area, bool fixedCell,
                                bool onScreen) {
    bool bold = (cell.m_nFormat & kGridFormatBold) != 0 || (fixedCell && !onScreen);
    HFONT font = CellFont(col, bold);
    const ColumnFonts& own = m_arColFonts[static_cast<size_t>(col)];
    int shift = own.normal ? AscentShift(dc, bold ? m_BoldFont : m_Font, font) : 0;
    if (m_hCellImages && cell.m_nImage >= 0) {
        int cx = 16;
        int cy = 16;
        ImageList_GetIconSize(m_hCellImages, &cx, &cy);
        cx = std::min({cx, 16, static_cast<int>(area.Width())});
        cy = std::min({cy, 16, static_cast<int>(area.Height())});
        if (cx > 0 && cy > 0)
            ImageList_DrawEx(m_hCellImages, cell.m_nImage, *dc, area.left, area.top, cx, cy, CLR_NONE,
                             CLR_NONE, ILD_TRANSPARENT);
        area.left += cx + m_nMarginX + 1;
    }
    // Texts are read through GetItemText, so a derived grid may supply its own.
    const CString text = GetItemText(row, col);
    if (text.IsEmpty()) return;
    area.OffsetRect(0, shift);
    bool multi = (cell.m_wStyle & GVSTYLE_MULTILINE) || cell.m_nRowSpan > 0;
    UINT format = (cell.m_nFormat & ~kGridFormatBold) | DT_NOPREFIX | DT_EXPANDTABS;
    if (fixedCell) {
        multi = multi || std::strchr(text, '\r') != nullptr;
        // A centred header line narrower than its room sits in the middle; a wider one
        // starts at the left, so its beginning stays readable.
        if ((format & DT_CENTER) && !multi) {
            CSelectedObject sel(*dc, font);
            CRect need = area;
            dc->DrawText(text, text.GetLength(), &need,
                         DT_CALCRECT | DT_END_ELLIPSIS | DT_NOPREFIX | DT_EXTERNALLEADING | DT_EXPANDTABS |
                             DT_SINGLELINE);
            format &= ~static_cast<UINT>(DT_CENTER);
            if (need.Width() < area.Width()) {
                area.left += (area.Width() - need.Width()) / 2;
                area.right = area.left + need.Width();
            }
        }
    }
    format |= multi ? DT_WORDBREAK : DT_SINGLELINE;
    HGDIOBJ previous = ::GetCurrentObject(*dc, OBJ_FONT) == font ? nullptr : dc->SelectObject(font);
    dc->DrawText(text, text.GetLength(), &area, format);
    if (previous && !m_bInOnDraw) dc->SelectObject(previous);
}

bool CGridCtrl::DrawCell(CDC* dc, int row, int col, CRect rect, bool erase) {
    if (!m_bAllowDraw || !dc || rect.right < rect.left || rect.bottom < rect.top) return false;
    if (!IsValid(row, col)) return false;
    const bool onScreen = !dc->IsPrinting() && !m_bPrinting;
    CCellID a = GetAnchorCell(row, col);
    const CGridCell& cell = *Cell(a.row, a.col);
    CRect r = SpannedCellRect(row, col, rect);
    CRect fill(r.left, r.top, r.right + 1, r.bottom + 1);
    if (m_nGridLines == 3 || m_nGridLines == 2) --fill.right;
    if (m_nGridLines == 3 || m_nGridLines == 1) --fill.bottom;
    if (fill.IsRectEmpty()) return false;

    COLORREF text = 0;
    COLORREF back = 0;
    bool nonDefault = false;
    GetCellColours(a.row, a.col, cell, onScreen, text, back, nonDefault);
    if (nonDefault || erase) FillShape(dc, fill, cell.m_nShape, back);
    dc->SetBkMode(TRANSPARENT);
    if (cell.m_wStyle & GVSTYLE_DRAGHANDLE) {
        dc->FrameRect(CRect(r.left, r.top, r.right + 1, r.bottom + 1), CBrush(kHandleFrame));
    }
    if (onScreen && (cell.m_nState & GVIS_SELECTED)) {
        dc->FillSolidRect(fill, back);
        dc->SetBkMode(TRANSPARENT);
        text = m_crShadow;
    }
    if (onScreen && (cell.m_nState & GVIS_DROPHILITED)) {
        CPen dotted(PS_DOT, 1, RGB(0, 0, 0));
        CSelectedObject selPen(*dc, dotted);
        CSelectedObject selBrush(*dc, ::GetStockObject(NULL_BRUSH));
        ::Rectangle(*dc, fill.left, fill.top, fill.right, fill.bottom);
    }
    if (onScreen && (cell.m_wStyle & GVSTYLE_CORNER)) DrawCornerTriangle(dc, fill, back);

    CRect area(fill.left + m_nMarginX, fill.top, fill.right - m_nMarginX, fill.bottom);
    if ((m_arRowFlags[static_cast<size_t>(a.row)] & GVRF_FIXEDHEIGHT) || cell.m_nRowSpan > 0) {
        area.top += m_nMarginY;
        area.bottom -= m_nMarginY;
    } else {
        area.top = fill.top + (fill.Height() - m_nFontHeight) / 2;
        area.bottom = area.top + m_nFontHeight;
    }
    dc->SetTextColor(text);
    DrawCellContent(dc, a.row, a.col, cell, area, false, onScreen);
    return true;
}

bool CGridCtrl::DrawFixedCell(CDC* dc, int row, int col, CRect rect, bool erase) {
    if (!dc || !IsValid(row, col)) return false;
    if (!(m_arRowFlags[static_cast<size_t>(row)] & GVRF_NORMAL)) return DrawCell(dc, row, col, rect, erase);
    if (!m_bAllowDraw || rect.right < rect.left || rect.bottom < rect.top) return false;
    const bool onScreen = !dc->IsPrinting() && !m_bPrinting;
    CCellID a = GetAnchorCell(row, col);
    const CGridCell& cell = *Cell(a.row, a.col);
    CRect r = SpannedCellRect(row, col, rect);
    CRect fill(r.left, r.top, r.right, r.bottom);
    if (fill.IsRectEmpty()) return false;
    COLORREF back = cell.m_crBkClr != kDefaultColour ? cell.m_crBkClr : m_crFixedBkColour;
    COLORREF text = cell.m_crFgClr != kDefaultColour ? cell.m_crFgClr : m_crFixedTextColour;
    if (onScreen) dc->FillSolidRect(fill, back);

    COLORREF edge = ::GetSysColor(COLOR_BTNSHADOW);
    if (onScreen && !m_bWholeRow && IsValid(m_idCurrentCell)) {
        bool inRows = a.row >= m_idCurrentCell.row && a.row <= m_idCurrentCell.row + m_nFocusExtentRows;
        bool inCols = a.col >= m_idCurrentCell.col && a.col <= m_idCurrentCell.col + m_nFocusExtentCols;
        if (inRows || inCols) edge = Darken(back);
    }
    if (onScreen) {
        dc->FillSolidRect(CRect(r.right, r.top, r.right + 1, r.bottom + 1), edge);
        dc->FillSolidRect(CRect(r.left, r.bottom, r.right + 1, r.bottom + 1), edge);
    } else {
        Line(dc, edge, r.right, r.top, r.right, r.bottom);
        Line(dc, edge, r.left, r.bottom, r.right, r.bottom);
    }
    if (onScreen && (cell.m_wStyle & GVSTYLE_CORNER)) DrawCornerTriangle(dc, fill, back);

    dc->SetBkMode(TRANSPARENT);
    dc->SetTextColor(text);
    CRect area(fill.left + m_nMarginX, fill.top, fill.right - m_nMarginX, fill.bottom);
    if (onScreen && row == m_nFixedRows - 1 && a.col == m_nSortColumn && m_SortImages.GetImageCount() > 0) {
        int image = m_nSortDirection == 1 ? 0 : std::min(1, m_SortImages.GetImageCount() - 1);
        int middle = (fill.top + fill.bottom) / 2;
        ImageList_Draw(m_SortImages, image, *dc, fill.right - 8, middle - 4, ILD_TRANSPARENT);
        area.right -= 8;
    }
    int lines = 1;
    const CString label = GetItemText(a.row, a.col);
    for (const char* p = label; *p; ++p)
        if (*p == '\r') ++lines;
    int block = lines * m_nFontHeight;
    if (m_arRowFlags[static_cast<size_t>(a.row)] & GVRF_FIXEDHEIGHT) {
        area.top += m_nMarginY;
    } else {
        area.top = fill.top + (fill.Height() - block) / 2;
        area.bottom = area.top + block;
    }
    DrawCellContent(dc, a.row, a.col, cell, area, true, onScreen);
    return true;
}

// ---- Focus frame ----

CRect CGridCtrl::BlockRect(const CCellRange& block) const {
    POINT first{};
    POINT last{};
    if (!GetCellOrigin(block.minRow, block.minCol, &first) ||
        !GetCellOrigin(block.maxRow, block.maxCol, &last))
        return CRect();
    CRect end = SpannedCellRect(block.maxRow, block.maxCol,
                                CRect(last.x, last.y, last.x + GetColumnWidth(block.maxCol) - 1,
                                      last.y + GetRowHeight(block.maxRow) - 1));
    return CRect(first.x, first.y, end.right + 1, end.bottom + 1);
}

void CGridCtrl::InvertFocusFrame(CDC* dc, bool drag) {
    CCellRange block;
    if (drag) {
        block = m_DragFrameBlock;
    } else if (IsValid(m_idCurrentCell)) {
        block = CCellRange(m_idCurrentCell.row, m_idCurrentCell.col,
                           std::min(m_idCurrentCell.row + m_nFocusExtentRows, GetRowCount() - 1),
                           std::min(m_idCurrentCell.col + m_nFocusExtentCols, GetColumnCount() - 1));
    }
    if (!block.IsValid() || block.maxRow >= GetRowCount() || block.maxCol >= GetColumnCount()) return;
    CRect frame = BlockRect(block);
    if (frame.IsRectEmpty()) return;
    CRect client = GetClientRect();
    int saved = dc->SaveDC();
    dc->IntersectClipRect(CRect(GetFixedColumnWidth(), GetFixedRowHeight(), client.right, client.bottom));
    CBrush halftone;
    if (drag) halftone.Attach(CreateHalftoneBrush());
    HGDIOBJ old = dc->SelectObject(drag ? halftone.m_hObject : ::GetStockObject(WHITE_BRUSH));
    const int t = std::min({3, static_cast<int>(frame.Width()) / 2, static_cast<int>(frame.Height()) / 2});
    // Four bands that never overlap, so a second call gives every pixel back.
    dc->PatBlt(frame.left, frame.top, frame.Width(), t, PATINVERT);
    dc->PatBlt(frame.left, frame.bottom - t, frame.Width(), t, PATINVERT);
    dc->PatBlt(frame.left, frame.top + t, t, frame.Height() - 2 * t, PATINVERT);
    dc->PatBlt(frame.right - t, frame.top + t, t, frame.Height() - 2 * t, PATINVERT);
    dc->SelectObject(old);
    dc->RestoreDC(saved);
}

void CGridCtrl::DrawFocusFrame(CDC* dc, bool drag) {
    if (m_bWholeRow || !WindowAlive()) return;
    bool& shown = drag ? m_bDragFrameShown : m_bFocusFrameShown;
    if (!m_bAllowDraw) {
        // Nothing reaches the screen now; the next paint shows the frame as the state says.
        shown = !shown;
        return;
    }
    if (dc) {
        InvertFocusFrame(dc, drag);
    } else {
        CClientDC window(m_hWnd);
        InvertFocusFrame(&window, drag);
    }
    shown = !shown;
}
