#include "controls/GridDragDrop.h"

#include "controls/GridCtrl.h"

#include "app/ProtocolLog.h"
#include "framework/Clipboard.h"

#include <algorithm>
#include <cstring>
#include <string>

namespace {

constexpr UINT kAutoScrollDelay = 20;

bool IsDown(int key) {
    return ::GetKeyState(key) < 0;
}

} // namespace

GridDragState& TheGridDrag() {
    static GridDragState state;
    return state;
}

// ---- CGridDropTarget

CLIPFORMAT CGridDropTarget::Register(CGridCtrl* grid) {
    if (m_bRegistered || !grid) return 0;
    if (!COleDropTarget::Register(grid)) return 0;
    m_pGridCtrl = grid;
    m_bRegistered = true;
    return static_cast<CLIPFORMAT>(::RegisterClipboardFormatA(kGridDataFormat));
}

void CGridDropTarget::Revoke() {
    COleDropTarget::Revoke();
    m_bRegistered = false;
    m_pGridCtrl = nullptr;
}

bool CGridDropTarget::Serves(CWnd* wnd) const {
    return m_pGridCtrl && wnd == m_pGridCtrl && m_pGridCtrl->IsWindow();
}

DROPEFFECT CGridDropTarget::OnDragEnter(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    return Serves(wnd) ? m_pGridCtrl->OnDragEnter(data, keyState, point) : DROPEFFECT_NONE;
}

DROPEFFECT CGridDropTarget::OnDragOver(CWnd* wnd, COleDataObject* data, DWORD keyState, CPoint point) {
    return Serves(wnd) ? m_pGridCtrl->OnDragOver(data, keyState, point) : DROPEFFECT_NONE;
}

bool CGridDropTarget::OnDrop(CWnd* wnd, COleDataObject* data, DROPEFFECT effect, CPoint point) {
    if (!Serves(wnd)) return false;
    CGridCtrl::BusyGuard guard(*m_pGridCtrl);
    return m_pGridCtrl->OnDrop(data, effect, point);
}

void CGridDropTarget::OnDragLeave(CWnd* wnd) {
    if (Serves(wnd)) m_pGridCtrl->OnDragLeave();
}

DROPEFFECT CGridDropTarget::OnDragScroll(CWnd* wnd, DWORD keyState, CPoint point) {
    return Serves(wnd) ? m_pGridCtrl->OnDragScroll(keyState, point) : DROPEFFECT_NONE;
}

// ---- CGridDropSource

SCODE CGridDropSource::GiveFeedback(DROPEFFECT effect) {
    // Rows and columns move along one axis, which the sizing cursors tell better than the
    // default drag cursors.
    if (m_nDragKind == kDragRows && effect != DROPEFFECT_NONE) {
        ::SetCursor(::LoadCursorA(nullptr, IDC_SIZENS));
        return S_OK;
    }
    if (m_nDragKind == kDragColumns && effect != DROPEFFECT_NONE) {
        ::SetCursor(::LoadCursorA(nullptr, IDC_SIZEWE));
        return S_OK;
    }
    return COleDropSource::GiveFeedback(effect);
}

// ---- the grid's side

bool CGridCtrl::RegisterDropTarget() {
    if (m_pDropTarget) return true;
    auto* target = new CGridDropTarget;
    CLIPFORMAT format = target->Register(this);
    if (!format) {
        delete target;
        return false;
    }
    m_pDropTarget = target;
    m_cfGridData = format;
    return true;
}

void CGridCtrl::RevokeDropTarget() {
    if (!m_pDropTarget) return;
    m_pDropTarget->Revoke();
    delete m_pDropTarget;
    m_pDropTarget = nullptr;
    GridDragState& drag = TheGridDrag();
    if (drag.source == this) drag.source = nullptr;
}

COleDataSource* CGridCtrl::CreateDragData() {
    auto* source = new COleDataSource;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_SHARE | GMEM_ZEROINIT, sizeof kGridDataToken);
    if (block) {
        if (void* p = ::GlobalLock(block)) {
            std::memcpy(p, kGridDataToken, sizeof kGridDataToken);
            ::GlobalUnlock(block);
        }
        source->CacheGlobalData(static_cast<CLIPFORMAT>(m_cfGridData), block);
    }
    return source;
}

bool CGridCtrl::PasteData(int, int, COleDataObject* data) {
    if (!m_bEditable || !data || !m_cfGridData) return false;
    HGLOBAL block = data->GetGlobalData(static_cast<CLIPFORMAT>(m_cfGridData));
    if (!block) return false;
    ::GlobalFree(block);
    return true;
}

void CGridCtrl::OnEditCopy() {
    COleDataSource* source = CreateDragData();
    source->SetClipboard();
    delete source;
}

void CGridCtrl::OnEditCut() {
    OnEditCopy();
    ClearSelectedCells();
}

void CGridCtrl::OnEditPaste() {
    CCellID cell = IsValid(m_idCurrentCell) ? m_idCurrentCell : GetTopleftNonFixedCell();
    COleDataObject data;
    if (IsValid(cell) && data.AttachClipboard()) PasteData(cell.row, cell.col, &data);
}

void CGridCtrl::OnEditSelectAll() {
    SetSelectedRange(m_nFixedRows, m_nFixedCols, GetRowCount() - 1, GetColumnCount() - 1, true);
}

void CGridCtrl::StartDrag() {
    vorlan::TraceFunction("CGridCtrl::StartDrag");
    const CCellID pressed = m_LeftClickDownCell;
    const int pressMode = m_nMouseMode;
    const bool handle = pressMode == kMouseHandlePressed;
    const bool block = IsDown(VK_CONTROL) || handle; // rows or columns
    // Nothing starts a second drag while the form decides (its answer may show a box).
    m_nMouseMode = kMouseNothing;
    // A refused drag leaves a click what it was while the button is still down (on the focus
    // cell it still edits at the button-up), and is not asked for again until it comes up.
    auto refuse = [&] {
        if (!handle && ::GetCapture() == m_hWnd) m_nMouseMode = pressMode;
        m_bDragRefused = true;
    };
    if (!m_bListMode || !m_bDragAndDrop || !IsValid(pressed) || !(GetRowFlags(pressed.row) & GVRF_NORMAL) ||
        (GetItemState(pressed.row, pressed.col) & GVIS_SKIP) ||
        (GetColumnFlags(pressed.col) & GVCF_EDITABLE) || (block && !m_nDragFlags)) {
        refuse();
        return;
    }
    NM_GRIDVIEW record{};
    record.iRow = record.iRow2 = pressed.row;
    record.iColumn = record.iColumn2 = pressed.col;
    record.iExtra = block ? 0 : 1;
    LRESULT allowed = SendNotify(GVN_BEGINDRAG, record);
    if (!WindowAlive()) return;
    if (!allowed) {
        refuse();
        return;
    }

    GridDragState& drag = TheGridDrag();
    drag = GridDragState();
    // With Ctrl as with the handle: the handle's edge the pointer was on last says which.
    drag.kind = !block ? kDragCells : (m_bHandleRightEdge ? kDragColumns : kDragRows);
    drag.source = this;
    drag.anchorRow = record.iRow;
    drag.anchorColumn = record.iColumn;
    drag.endRow = record.iRow2;
    drag.endColumn = record.iColumn2;
    drag.offsetRow = record.iRow - pressed.row;
    drag.offsetColumn = record.iColumn - pressed.col;
    drag.running = true;
    const int kind = drag.kind;
    if (::GetCapture() == m_hWnd) ::ReleaseCapture();
    m_nMouseMode = kMouseDragging;

    HWND self = m_hWnd;
    COleDataSource* source = CreateDragData();
    CGridDropSource feedback(kind);
    DROPEFFECT effect = source->DoDragDrop(DROPEFFECT_COPY | DROPEFFECT_MOVE, &feedback);
    delete source;
    drag.running = false;
    // The drop's answer may have closed the form.
    if (!::IsWindow(self)) {
        if (drag.source == this) drag.source = nullptr;
        return;
    }
    m_nMouseMode = kMouseNothing;
    if (effect != DROPEFFECT_NONE) {
        if (kind != kDragCells && IsValid(pressed)) SetFocusCell(pressed.row, pressed.col);
    } else {
        ::SetFocus(m_hWnd);
    }
    if (!WindowAlive()) return;
    if (kind == kDragCells) {
        NM_GRIDVIEW ended{};
        ended.hdr.hwndFrom = drag.acceptedBy;
        ended.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
        ended.hdr.code = GVN_DRAGENDED;
        // The block that left: the form refreshes it from the server after a move.
        ended.iRow = std::min(drag.anchorRow, drag.endRow);
        ended.iRow2 = std::max(drag.anchorRow, drag.endRow);
        ended.iColumn = std::min(drag.anchorColumn, drag.endColumn);
        ended.iColumn2 = std::max(drag.anchorColumn, drag.endColumn);
        if (HWND form = NotifyWindow())
            ::SendMessageA(form, WM_NOTIFY, ended.hdr.idFrom, reinterpret_cast<LPARAM>(&ended));
        if (!WindowAlive()) return;
    }
    drag.source = nullptr;
    SetDropCell(CCellID());
    ::KillTimer(m_hWnd, kGridAutoScrollTimer);
    m_nAutoScrollTimer = 0;
}

void CGridCtrl::SetDropCell(const CCellID& cell) {
    if (cell == m_DropCell) return;
    CCellID old = m_DropCell;
    m_DropCell = cell;
    if (IsValid(old)) {
        SetItemState(old.row, old.col, GetItemState(old.row, old.col) & ~GVIS_DROPHILITED);
        RedrawCell(old.row, old.col);
    }
    if (IsValid(cell)) {
        SetItemState(cell.row, cell.col, GetItemState(cell.row, cell.col) | GVIS_DROPHILITED);
        RedrawCell(cell.row, cell.col);
    }
}

DWORD CGridCtrl::OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point) {
    m_bExternalText = false;
    GridDragState& drag = TheGridDrag();
    if (data->IsDataAvailable(CF_TEXT)) {
        if (!drag.running) drag = GridDragState();
        m_bExternalText = true;
    }
    m_nMouseMode = kMouseDragging;
    return OnDragOver(data, keyState, point);
}

DWORD CGridCtrl::OnDragOver(COleDataObject* data, DWORD keyState, CPoint point) {
    // A token without a drag of this process behind it is stale: it carries no block.
    bool ours = m_bListMode && m_bEditable && m_bDragAndDrop && m_cfGridData &&
                data->IsDataAvailable(static_cast<CLIPFORMAT>(m_cfGridData)) && TheGridDrag().running;
    if (!m_bExternalText && !ours) {
        OnDragLeave();
        return DROPEFFECT_NONE;
    }
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    point.x = std::min<LONG>(std::max(point.x, static_cast<LONG>(GetFixedColumnWidth())), client.right - 1);
    point.y = std::min<LONG>(std::max(point.y, static_cast<LONG>(GetFixedRowHeight())), client.bottom - 1);
    CCellID cell = GetCellFromPt(point, false);
    if (!IsValid(cell) || IsFixed(cell.row, cell.col) || (GetItemState(cell.row, cell.col) & GVIS_READONLY) ||
        !(GetColumnFlags(cell.col) & GVCF_ENABLED) || (GetColumnFlags(cell.col) & GVCF_EDITABLE) ||
        (GetItemState(cell.row, cell.col) & GVIS_SKIP)) {
        SetDropCell(CCellID());
        return DROPEFFECT_NONE;
    }
    SetDropCell(cell);
    return ((keyState & MK_CONTROL) || m_bExternalText) ? DROPEFFECT_COPY : DROPEFFECT_MOVE;
}

void CGridCtrl::OnDragLeave() {
    SetDropCell(CCellID());
    ::KillTimer(m_hWnd, kGridAutoScrollTimer);
    m_nAutoScrollTimer = 0;
    m_bExternalText = false;
    if (m_nMouseMode == kMouseDragging && TheGridDrag().source != this) m_nMouseMode = kMouseNothing;
}

bool CGridCtrl::OnDrop(COleDataObject* data, DWORD, CPoint) {
    vorlan::TraceFunction("CGridCtrl::OnDrop");
    const CCellID drop = m_DropCell;
    HWND self = m_hWnd;
    if (m_bExternalText) {
        HGLOBAL block = data->GetGlobalData(CF_TEXT);
        std::string text = fw::ReadGlobalText(block);
        if (block) ::GlobalFree(block);
        OnDragLeave();
        if (!IsValid(drop)) return false;
        SetFocusCell(drop.row, drop.col);
        if (!WindowAlive()) return true;
        SendNotify(GVN_DROPTEXT, drop.row, drop.col, reinterpret_cast<INT_PTR>(text.c_str()));
        return true;
    }
    GridDragState& drag = TheGridDrag();
    bool allowed = m_bListMode && m_bEditable && m_bDragAndDrop && m_cfGridData &&
                   data->IsDataAvailable(static_cast<CLIPFORMAT>(m_cfGridData)) && drag.running &&
                   IsValid(drop) && !(GetItemState(drop.row, drop.col) & GVIS_READONLY) &&
                   (drag.kind == kDragCells || drag.source == this);
    OnDragLeave();
    if (!allowed) return false;
    NM_GRIDVIEW record{};
    UINT code = GVN_DROPCELLS;
    record.iRow = drag.anchorRow;
    record.iColumn = drag.anchorColumn;
    if (drag.kind == kDragRows) {
        code = GVN_DROPROWS;
        record.iRow2 = std::max(drop.row, drag.endRow);
        record.iColumn2 = drag.endColumn;
        record.lValue = drop.row;
    } else if (drag.kind == kDragColumns) {
        code = GVN_DROPCOLUMNS;
        record.iRow2 = drag.endRow;
        record.iColumn2 = std::max(drop.col, drag.endColumn);
        record.lValue = drop.col;
    } else {
        // Placed so that the pressed cell lies under the drop cell.
        record.iRow = drop.row + drag.offsetRow;
        record.iColumn = drop.col + drag.offsetColumn;
        record.iRow2 = drag.endRow + (record.iRow - drag.anchorRow);
        record.iColumn2 = drag.endColumn + (record.iColumn - drag.anchorColumn);
        record.lValue = 0;
    }
    LRESULT answer = SendNotify(code, record);
    if (!::IsWindow(self)) return answer != 0;
    if (!answer) return false;
    drag.acceptedBy = NotifyWindow();
    if (code == GVN_DROPCELLS && IsValid(drop)) SetFocusCell(drop.row, drop.col);
    return true;
}

bool CGridCtrl::AutoScrollAt(CPoint point) {
    CRect client;
    ::GetClientRect(m_hWnd, &client);
    CCellRange visible = GetVisibleNonFixedCellRange();
    if (!visible.IsValid()) return false;
    int halfRow = std::max(1, GetRowHeight(visible.minRow) / 2);
    int halfCol = std::max(1, GetColumnWidth(visible.minCol) / 2);
    bool scrolled = false;
    int top = GetFixedRowHeight(), left = GetFixedColumnWidth();
    if (point.y < top + halfRow && GetScrollPos32(SB_VERT) > 0) {
        ScrollBy(SB_VERT, SB_LINEUP);
        scrolled = true;
    } else if (point.y > client.bottom - halfRow) {
        int before = GetScrollPos32(SB_VERT);
        ScrollBy(SB_VERT, SB_LINEDOWN);
        scrolled = GetScrollPos32(SB_VERT) != before;
    }
    if (point.x < left + halfCol && GetScrollPos32(SB_HORZ) > 0) {
        ScrollBy(SB_HORZ, SB_LINEUP);
        scrolled = true;
    } else if (point.x > client.right - halfCol) {
        int before = GetScrollPos32(SB_HORZ);
        ScrollBy(SB_HORZ, SB_LINEDOWN);
        scrolled = scrolled || GetScrollPos32(SB_HORZ) != before;
    }
    return scrolled;
}

DWORD CGridCtrl::OnDragScroll(DWORD keyState, CPoint point) {
    if (!AutoScrollAt(point)) {
        ::KillTimer(m_hWnd, kGridAutoScrollTimer);
        m_nAutoScrollTimer = 0;
        return DROPEFFECT_NONE;
    }
    if (!m_nAutoScrollTimer)
        m_nAutoScrollTimer = ::SetTimer(m_hWnd, kGridAutoScrollTimer, kAutoScrollDelay, nullptr);
    DWORD effect = IsValid(m_DropCell)
                       ? (((keyState & MK_CONTROL) || m_bExternalText) ? DROPEFFECT_COPY : DROPEFFECT_MOVE)
                       : DROPEFFECT_NONE;
    return DROPEFFECT_SCROLL | effect;
}

void CGridCtrl::OnAutoScrollTimer() {
    POINT p{};
    ::GetCursorPos(&p);
    ::ScreenToClient(m_hWnd, &p);
    if (m_nMouseMode != kMouseDragging || !AutoScrollAt(CPoint(p))) {
        ::KillTimer(m_hWnd, kGridAutoScrollTimer);
        m_nAutoScrollTimer = 0;
    }
}

HIMAGELIST CGridCtrl::CreateDragImage(CSize* size) {
    if (!IsValid(m_idCurrentCell)) return nullptr;
    CRect cell;
    if (!GetCellRect(m_idCurrentCell.row, m_idCurrentCell.col, &cell)) return nullptr;
    int cx = std::max(1, cell.Width()), cy = std::max(1, cell.Height());
    HDC screen = ::GetDC(m_hWnd);
    HDC memory = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, cx, cy);
    ::ReleaseDC(m_hWnd, screen);
    HIMAGELIST images = nullptr;
    if (memory && bitmap) {
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        {
            CDC dc(memory);
            dc.FillSolidRect(CRect(0, 0, cx, cy), m_crTextBkColour);
            DrawCell(&dc, m_idCurrentCell.row, m_idCurrentCell.col, CRect(0, 0, cx, cy), true);
        }
        ::SelectObject(memory, old);
        images = ImageList_Create(cx, cy, ILC_COLOR24 | ILC_MASK, 1, 1);
        if (images) ImageList_AddMasked(images, bitmap, m_crTextBkColour);
    }
    if (bitmap) ::DeleteObject(bitmap);
    if (memory) ::DeleteDC(memory);
    if (size) *size = CSize(cx, cy);
    return images;
}

void CGridCtrl::CopyMetafileToClipboard() {
    vorlan::TraceFunction("CGridCtrl::CopyMetafileToClipboard");
    const int width = GetVirtualWidth(), height = GetVirtualHeight();
    HDC reference = ::GetDC(m_hWnd);
    // The frame in 0.01 mm, from the screen's size in millimetres and in pixels.
    auto hundredths = [reference](int pixels, int sizeIndex, int resIndex) {
        int res = std::max(1, ::GetDeviceCaps(reference, resIndex));
        return ::MulDiv(pixels, ::GetDeviceCaps(reference, sizeIndex) * 100, res);
    };
    RECT frame{0, 0, hundredths(width, HORZSIZE, HORZRES), hundredths(height, VERTSIZE, VERTRES)};
    std::string title = fw::WindowText(::GetParent(m_hWnd), 100);
    std::string description = std::string("VORLAN") + '\0' + title + '\0' + '\0';
    HDC metafile = ::CreateEnhMetaFileA(reference, nullptr, &frame, description.c_str());
    ::ReleaseDC(m_hWnd, reference);
    if (!metafile) return;

    {
        // Into a metafile the painting covers every row and column, unscrolled, without frames.
        CDC dc(metafile);
        OnDraw(&dc, true);
    }
    HENHMETAFILE picture = ::CloseEnhMetaFile(metafile);
    fw::SetClipboardEnhMetaFile(::GetParent(m_hWnd), picture);
}
