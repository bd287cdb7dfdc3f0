#include "controls/GridCtrl.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/OleDragDrop.h"
#include "framework/Registry.h"
#include "framework/ScrollBar.h"

#include <algorithm>
#include <climits>
#include <cstdio>
#include <cstdlib>
#include <new>

using vorlan::TraceFunction;

namespace {

const char* GridMessageName(UINT msg) {
    switch (msg) {
    case WM_PAINT: return "WM_PAINT";
    case WM_NCPAINT: return "WM_NCPAINT";
    case WM_ERASEBKGND: return "WM_ERASEBKGND";
    case WM_SIZE: return "WM_SIZE";
    case WM_HSCROLL: return "WM_HSCROLL";
    case WM_VSCROLL: return "WM_VSCROLL";
    case WM_LBUTTONDOWN: return "WM_LBUTTONDOWN";
    case WM_LBUTTONUP: return "WM_LBUTTONUP";
    case WM_LBUTTONDBLCLK: return "WM_LBUTTONDBLCLK";
    case WM_RBUTTONDOWN: return "WM_RBUTTONDOWN";
    case WM_RBUTTONUP: return "WM_RBUTTONUP";
    case WM_MBUTTONDOWN: return "WM_MBUTTONDOWN";
    case WM_MOUSEWHEEL: return "WM_MOUSEWHEEL";
    case WM_CAPTURECHANGED: return "WM_CAPTURECHANGED";
    case WM_CANCELMODE: return "WM_CANCELMODE";
    case WM_KEYDOWN: return "WM_KEYDOWN";
    case WM_CHAR: return "WM_CHAR";
    case WM_TIMER: return "WM_TIMER";
    case WM_SETFOCUS: return "WM_SETFOCUS";
    case WM_KILLFOCUS: return "WM_KILLFOCUS";
    case WM_ENABLE: return "WM_ENABLE";
    case WM_NCACTIVATE: return "WM_NCACTIVATE";
    case WM_SETFONT: return "WM_SETFONT";
    case WM_GETFONT: return "WM_GETFONT";
    case WM_SETTINGCHANGE: return "WM_SETTINGCHANGE";
    case WM_SYSCOLORCHANGE: return "WM_SYSCOLORCHANGE";
    case WM_COMMAND: return "WM_COMMAND";
    case WM_NOTIFY: return "WM_NOTIFY";
    case WM_DESTROY: return "WM_DESTROY";
    case WM_USER: return "WM_USER";
    default: return nullptr; // mouse moves, cursors and the like would flood the trace
    }
}

// Every 8 x 8 icon of the sort arrows, from the program's own resources.
void LoadSortArrows(CImageList& list) {
    if (!list.Create(8, 8, ILC_COLOR24 | ILC_MASK, 2, 0)) return;
    HINSTANCE program = ::GetModuleHandleA(nullptr);
    for (UINT id : {647u, 648u}) {
        HICON icon = static_cast<HICON>(::LoadImageA(program, MAKEINTRESOURCEA(id), IMAGE_ICON, 8, 8, 0));
        if (!icon) continue;
        ImageList_AddIcon(list, icon);
        ::DestroyIcon(icon);
    }
}

} // namespace

CGridCtrl::CGridCtrl(int dropButtonEdit, const char* fontName, int fontSize, int mode, int nCols, int nRows,
                     int nColsAgain, int defaultRowHeight, int nFixedCols, int nFixedRows)
    : m_strFontName(fontName && *fontName ? fontName : "Tahoma"), m_nFontSize(fontSize > 0 ? fontSize : 85),
      m_nDefRowHeight(defaultRowHeight > 0 ? defaultRowHeight : 30), m_bDropButtonEdit(dropButtonEdit != 0) {
    TraceFunction("CGridCtrl::CGridCtrl");
    (void)mode;
    m_nInitRows = nRows > 0 ? nRows : 0;
    m_nInitCols = nCols > nColsAgain ? nCols : nColsAgain;
    if (m_nInitCols < 0) m_nInitCols = 0;
    m_nFixedRows = nFixedRows > 0 ? nFixedRows : 0;
    m_nFixedCols = nFixedCols > 0 ? nFixedCols : 0;
    CWinApp* app = AfxGetApp();
    m_bStylesInUse = app && app->IsThemeActive();
    // One initialisation for the process, never undone: other grids' drop targets and later
    // automation still need it when this grid goes.
    if (!AfxOleInit())
        AfxMessageBox("OLE initialization failed. Make sure that the OLE libraries are the correct version");
    ReadSystemColours(false);
    m_crGridBkColour = m_crWindowColour;
    m_hGridPen = ::CreatePen(PS_SOLID, 1, RGB(0xC0, 0xC0, 0xC0));
    m_hGridBrush = ::CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
    m_hGridBrush2 = ::CreateSolidBrush(RGB(0xC0, 0xC0, 0xC0));
    m_nWheelLines = ReadWheelScrollLines();
    LoadSortArrows(m_SortImages);
}

CGridCtrl::~CGridCtrl() {
    TraceFunction("CGridCtrl::~CGridCtrl");
    if (m_hWnd && ::IsWindow(m_hWnd)) DestroyWindow();
    for (GridRow& row : m_RowData)
        FreeRow(row);
    m_RowData.clear();
    for (ColumnFonts& f : m_arColFonts) {
        if (f.normal) ::DeleteObject(f.normal);
        if (f.bold) ::DeleteObject(f.bold);
    }
    if (m_hGridPen) ::DeleteObject(m_hGridPen);
    if (m_hGridBrush) ::DeleteObject(m_hGridBrush);
    if (m_hGridBrush2) ::DeleteObject(m_hGridBrush2);
    if (m_hEditBrush) ::DeleteObject(m_hEditBrush);
}

int CGridCtrl::ReadWheelScrollLines() {
    std::string text;
    if (!fw::RegReadString(HKEY_CURRENT_USER, "Control Panel\\Desktop", "WheelScrollLines", text) ||
        text.empty())
        return 3;
    char* end = nullptr;
    long lines = std::strtol(text.c_str(), &end, 10);
    if (end == text.c_str()) return 3;
    return static_cast<int>(lines);
}

void CGridCtrl::ReadSystemColours(bool onlyUnchanged) {
    COLORREF text = ::GetSysColor(COLOR_WINDOWTEXT);
    COLORREF window = ::GetSysColor(COLOR_WINDOW);
    COLORREF face = ::GetSysColor(COLOR_BTNFACE);
    COLORREF shadow = ::GetSysColor(COLOR_BTNSHADOW);
    auto follow = [onlyUnchanged](COLORREF& colour, COLORREF was, COLORREF now) {
        if (!onlyUnchanged || colour == was) colour = now;
    };
    follow(m_crTextColour, m_crWindowText, text);
    follow(m_crFixedTextColour, m_crWindowText, text);
    follow(m_crTextBkColour, m_crWindowColour, window);
    follow(m_crGridBkColour, m_crWindowColour, window);
    follow(m_crFixedBkColour, m_cr3DFace, face);
    m_crWindowText = text;
    m_crWindowColour = window;
    m_cr3DFace = face;
    m_crShadow = shadow;
}

bool CGridCtrl::Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle) {
    TraceFunction("CGridCtrl::Create");
    static const bool registered =
        RegisterWindowClass(kGridClassName, CS_DBLCLKS, nullptr, ::LoadCursorA(nullptr, IDC_ARROW), nullptr);
    if (!registered) return false;
    style |= WS_CLIPCHILDREN | WS_VSCROLL | WS_HSCROLL;
    if (m_bStylesInUse && (exStyle & WS_EX_CLIENTEDGE)) {
        // Under visual styles the sunken edge is drawn by WM_NCPAINT around a plain border.
        exStyle &= ~static_cast<DWORD>(WS_EX_CLIENTEDGE);
        style |= WS_BORDER;
    }
    if (!CreateEx(exStyle, kGridClassName, "", style, rect, parent, id)) return false;
    RegisterDropTarget();
    CFont font;
    if (font.CreatePointFont(m_nFontSize, m_strFontName)) ApplyFont(static_cast<HFONT>(font.Detach()));
    int rows = m_nInitRows > m_nFixedRows ? m_nInitRows : m_nFixedRows;
    int cols = m_nInitCols > m_nFixedCols ? m_nInitCols : m_nFixedCols;
    int fixedRows = m_nFixedRows;
    int fixedCols = m_nFixedCols;
    m_nFixedRows = m_nFixedCols = m_nFixedRowsAsked = 0;
    bool sized = false;
    try {
        sized = SetRowCount(rows) && SetColumnCount(cols);
    } catch (const std::bad_alloc&) {
        sized = false;
    }
    if (!sized) {
        // Nothing half-made stays behind: no window, no rows, no columns.
        DestroyWindow();
        for (GridRow& row : m_RowData)
            FreeRow(row);
        m_RowData.clear();
        m_arRowHeights.clear();
        m_arRowFlags.clear();
        m_arColWidths.clear();
        m_arColFlags.clear();
        m_arColFonts.clear();
        return false;
    }
    m_nFixedRows = m_nFixedRowsAsked = fixedRows;
    m_nFixedCols = fixedCols;
    ResetScrollBars();
    return true;
}

void CGridCtrl::ApplyFont(HFONT font) {
    LOGFONTA lf{};
    if (!font || !::GetObjectA(font, sizeof lf, &lf)) return;
    m_Font.Attach(font);
    lf.lfWeight = FW_BOLD;
    m_BoldFont.Attach(::CreateFontIndirectA(&lf));
    CClientDC dc(m_hWnd);
    CSelectedObject sel(dc, m_Font);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    SIZE space{};
    ::GetTextExtentPoint32A(dc, " ", 1, &space);
    m_nMarginX = space.cx;
    m_nMarginY = space.cx;
    m_nFontHeight = tm.tmHeight;
    m_nCharWidth = tm.tmAveCharWidth > 0 ? tm.tmAveCharWidth : 7;
    m_nDefRowHeight = m_nFontHeight + 2 * m_nMarginY;
    m_nDefColWidth = 12 * tm.tmAveCharWidth + 2 * m_nMarginX;
}

void CGridCtrl::Release(CGridCtrl* grid) {
    if (!grid) return;
    if (grid->m_nBusy > 0) {
        if (grid->WindowAlive()) grid->DestroyWindow();
        grid->m_bDeletePending = true;
    } else {
        delete grid;
    }
}

LRESULT CGridCtrl::WindowProc(UINT msg, WPARAM w, LPARAM l) {
    BusyGuard guard(*this);
    return DispatchGridMessage(msg, w, l);
}

LRESULT CGridCtrl::DispatchGridMessage(UINT msg, WPARAM w, LPARAM l) {
    vorlan::TraceWindowMessage("CGridCtrl", GridMessageName(msg));
    switch (msg) {
    case WM_PAINT: return OnPaint(w, l);
    case WM_NCPAINT: return OnNcPaint(w, l);
    case WM_ERASEBKGND: return OnEraseBkgnd(w, l);
    case WM_SYSCOLORCHANGE: return OnSysColorChange(w, l);
    case WM_SETFONT: return OnSetFont(w, l);
    case WM_GETFONT: return OnGetFont(w, l);
    case WM_SIZE: return OnSize(w, l);
    case WM_USER: return OnUserSetFocus(w, l);
    case WM_DESTROY: return OnDestroy(w, l);
    case WM_HSCROLL: return OnHScroll(w, l);
    case WM_VSCROLL: return OnVScroll(w, l);
    case WM_LBUTTONDOWN: return OnLButtonDown(w, l);
    case WM_LBUTTONUP: return OnLButtonUp(w, l);
    case WM_LBUTTONDBLCLK: return OnLButtonDblClk(w, l);
    case WM_RBUTTONDOWN: return OnRButtonDown(w, l);
    case WM_RBUTTONUP: return OnRButtonUp(w, l);
    case WM_MBUTTONDOWN: return OnMButtonDown(w, l);
    case WM_MOUSEMOVE: return OnMouseMove(w, l);
    case WM_MOUSEWHEEL: return OnMouseWheel(w, l);
    case WM_SETCURSOR: return OnSetCursor(w, l);
    case WM_CAPTURECHANGED: return OnCaptureChanged(w, l);
    case WM_CANCELMODE: return OnCancelMode(w, l);
    case WM_KEYDOWN: return OnKeyDown(w, l);
    case WM_CHAR: return OnChar(w, l);
    case WM_GETDLGCODE: return OnGetDlgCode(w, l);
    case WM_TIMER: return OnTimer(w, l);
    case WM_SETFOCUS: return OnSetFocus(w, l);
    case WM_KILLFOCUS: return OnKillFocus(w, l);
    case WM_ENABLE: return OnEnable(w, l);
    case WM_NCACTIVATE: return OnNcActivate(w, l);
    case WM_CTLCOLOREDIT: return OnCtlColor(w, l);
    case WM_SETTINGCHANGE: return OnSettingChange(w, l);
    case WM_COMMAND: return OnCommand(w, l);
    case WM_NOTIFY: return OnNotify(w, l);
    default: return CWnd::WindowProc(msg, w, l);
    }
}

LRESULT CGridCtrl::OnSetFont(WPARAM w, LPARAM l) {
    TraceFunction("CGridCtrl::OnSetFont");
    LOGFONTA lf{};
    HFONT given = reinterpret_cast<HFONT>(w);
    if (!given || !::GetObjectA(given, sizeof lf, &lf)) return 0;
    // A copy: the sender keeps its own font.
    ApplyFont(::CreateFontIndirectA(&lf));
    if (LOWORD(l) && m_bAllowDraw) ::InvalidateRect(m_hWnd, nullptr, TRUE);
    return 0;
}

LRESULT CGridCtrl::OnGetFont(WPARAM, LPARAM) {
    return reinterpret_cast<LRESULT>(static_cast<HFONT>(m_Font));
}

LRESULT CGridCtrl::OnSize(WPARAM w, LPARAM l) {
    TraceFunction("CGridCtrl::OnSize");
    LRESULT r = CWnd::WindowProc(WM_SIZE, w, l);
    FitLastColumn();
    ResetScrollBars();
    return r;
}

LRESULT CGridCtrl::OnDestroy(WPARAM w, LPARAM l) {
    TraceFunction("CGridCtrl::OnDestroy");
    RevokeDropTarget();
    m_BackBuffer.Release();
    return CWnd::WindowProc(WM_DESTROY, w, l);
}

LRESULT CGridCtrl::SendNotify(UINT code, NM_GRIDVIEW& record) {
    HWND owner = m_hWnd ? ::GetWindow(m_hWnd, GW_OWNER) : nullptr;
    if (!owner && m_hWnd) owner = ::GetParent(m_hWnd);
    // Without an owner the grid goes on as if the form had allowed the step.
    if (!owner) return 1;
    BusyGuard guard(*this);
    record.hdr.hwndFrom = m_hWnd;
    record.hdr.idFrom = static_cast<UINT_PTR>(::GetDlgCtrlID(m_hWnd));
    record.hdr.code = code;
    return ::SendMessageA(owner, WM_NOTIFY, record.hdr.idFrom, reinterpret_cast<LPARAM>(&record));
}

LRESULT CGridCtrl::SendNotify(UINT code, int row, int col, INT_PTR value) {
    NM_GRIDVIEW record{};
    record.iRow = row;
    record.iColumn = col;
    record.iRow2 = -1;
    record.iColumn2 = -1;
    record.lValue = value;
    return SendNotify(code, record);
}

// ---- Focus ----

bool CGridCtrl::IsCellFocusable(int row, int col) const {
    if (!IsValid(row, col) || IsFixed(row, col)) return false;
    if (!(m_arRowFlags[static_cast<size_t>(row)] & GVRF_NORMAL)) return false;
    if (!(m_arColFlags[static_cast<size_t>(col)] & GVCF_ENABLED)) return false;
    return !(Cell(row, col)->m_nState & GVIS_SKIP);
}

int CGridCtrl::NextFocusableColumn(int row, int col, int step) const {
    if (row < 0 || row >= GetRowCount() || step == 0) return -1;
    if (col < m_nFixedCols) col = step > 0 ? m_nFixedCols : -1;
    for (int c = col; c >= m_nFixedCols && c < GetColumnCount(); c += step)
        if (IsCellFocusable(row, c)) return c;
    return -1;
}

bool CGridCtrl::NextFocusableRow(int row, int step, CCellID& found) const {
    if (step == 0) return false;
    if (row < m_nFixedRows) row = step > 0 ? m_nFixedRows : -1;
    for (int r = row; r >= m_nFixedRows && r < GetRowCount(); r += step) {
        int c = NextFocusableColumn(r, m_nFixedCols, 1);
        if (c >= 0) {
            found = CCellID(r, c);
            return true;
        }
    }
    return false;
}

int CGridCtrl::FirstNonFixedRow() const {
    return m_nFixedRows < GetRowCount() ? m_nFixedRows : -1;
}

void CGridCtrl::SetFocusCell(int row, int col) {
    TraceFunction("CGridCtrl::SetFocusCell");
    CCellID cell(row, col);
    int extentRows = 0;
    int extentCols = 0;
    if (!IsValid(row, col)) {
        cell = CCellID();
    } else {
        LRESULT confirmed = SendNotify(GVN_FOCUSCELL, row, col);
        if (!WindowAlive() || !IsValid(row, col)) return;
        m_idConfirmedCell = confirmed ? cell : CCellID();
        if (m_bListMode) {
            NM_GRIDVIEW nm{};
            nm.iRow = row;
            nm.iColumn = col;
            nm.iRow2 = row;
            nm.iColumn2 = col;
            if (!SendNotify(GVN_LISTFOCUS, nm)) return;
            if (!WindowAlive() || !IsValid(row, col)) return;
            int lastRow = nm.iRow2 < GetRowCount() ? nm.iRow2 : GetRowCount() - 1;
            int lastCol =
                nm.iColumn2 < 0 || nm.iColumn2 >= GetColumnCount() ? GetColumnCount() - 1 : nm.iColumn2;
            extentRows = lastRow > row ? lastRow - row : 0;
            extentCols = lastCol > col ? lastCol - col : 0;
        }
    }
    if (cell == m_idCurrentCell && extentRows == m_nFocusExtentRows && extentCols == m_nFocusExtentCols)
        return;
    bool window = WindowAlive();
    if (window && m_bFocusFrameShown) DrawFocusFrame();
    CCellID old = m_idCurrentCell;
    int oldRows = m_nFocusExtentRows;
    int oldCols = m_nFocusExtentCols;
    m_idCurrentCell = cell;
    m_nFocusExtentRows = extentRows;
    m_nFocusExtentCols = extentCols;
    if (!window) return;
    if (m_bFocusRow && m_bAllowDraw) {
        CClientDC dc(m_hWnd);
        for (int r : {old.row, cell.row}) {
            if (r < 0 || r >= GetRowCount()) continue;
            for (int c = m_nFixedCols; c < GetColumnCount(); ++c)
                RedrawCell(r, c, &dc);
        }
    }
    if (!m_bWholeRow) {
        RedrawFocusBlockHeaders(old, oldRows, oldCols);
        RedrawFocusBlockHeaders(cell, extentRows, extentCols);
    }
    DrawFocusFrame();
}

void CGridCtrl::RedrawFocusBlockHeaders(const CCellID& cell, int extentRows, int extentCols) {
    if (!IsValid(cell) || !m_bAllowDraw) return;
    int lastRow = cell.row + extentRows < GetRowCount() ? cell.row + extentRows : GetRowCount() - 1;
    int lastCol = cell.col + extentCols < GetColumnCount() ? cell.col + extentCols : GetColumnCount() - 1;
    for (int r = cell.row; r <= lastRow; ++r)
        for (int c = 0; c < m_nFixedCols; ++c)
            RedrawCell(r, c);
    for (int r = 0; r < m_nFixedRows; ++r)
        for (int c = cell.col; c <= lastCol; ++c)
            RedrawCell(r, c);
}

void CGridCtrl::GotoCell(int row, int col) {
    TraceFunction("CGridCtrl::GotoCell");
    if (col == -1) col = m_idCurrentCell.IsValid() ? m_idCurrentCell.col : m_idRemembered.col;
    if (m_idCurrentCell.IsValid() && WindowAlive())
        SetFocusCell(row, col);
    else
        m_idRemembered = CCellID(row, col);
}

void CGridCtrl::HideFocusCell() {
    TraceFunction("CGridCtrl::HideFocusCell");
    if (m_idCurrentCell.IsValid()) m_idRemembered = m_idCurrentCell;
    m_bFreshClick = true;
    SetFocusCell(-1, -1);
}

LRESULT CGridCtrl::OnUserSetFocus(WPARAM w, LPARAM l) {
    TraceFunction("CGridCtrl::OnUserSetFocus");
    UpdateWindow();
    int argRow = static_cast<int>(w);
    int argCol = static_cast<int>(l);
    CCellID cell;
    HWND focus = ::GetFocus();
    if (focus && ::IsChild(m_hWnd, focus)) {
        cell = m_idCurrentCell;
    } else {
        cell = IsValid(m_idRemembered) ? m_idRemembered : m_idCurrentCell;
        if (argRow != -1) cell.row = argRow;
        if (argCol != -1) cell.col = argCol;
        if (cell.row >= GetRowCount()) cell.row = GetRowCount() - 1;
        if (cell.row < m_nFixedRows) cell.row = FirstNonFixedRow();
        if (cell.col >= GetColumnCount()) cell.col = GetColumnCount() - 1;
        if (cell.row >= 0 && cell.col < m_nFixedCols)
            cell.col = NextFocusableColumn(cell.row, m_nFixedCols, 1);
        if (cell.row >= 0 && !IsCellFocusable(cell.row, cell.col)) {
            int c = cell.col >= 0 ? NextFocusableColumn(cell.row, cell.col, 1) : -1;
            if (c >= 0) {
                cell.col = c;
            } else {
                CCellID next;
                cell = NextFocusableRow(cell.row + 1, 1, next) ? next : CCellID();
            }
        }
        if (!IsCellFocusable(cell.row, cell.col)) cell = CCellID();
        if (argRow != -1 && argCol != -1) m_idRemembered = CCellID();
    }
    if (IsValid(cell)) EnsureVisible(cell.row, cell.col);
    SetFocusCell(cell.row, cell.col);
    if (!WindowAlive()) return 0;
    HWND now = ::GetFocus();
    if (now != m_hWnd && !(now && ::IsChild(m_hWnd, now))) ::SetFocus(m_hWnd);
    if (m_bAlwaysEdit && IsValid(m_idCurrentCell)) EditCellAt(m_idCurrentCell.row, m_idCurrentCell.col, 0);
    return 0;
}

void CGridCtrl::EndEditCell(int row, int col, const char* text, UINT key, int selection) {
    TraceFunction("CGridCtrl::EndEditCell");
    if (!IsValid(row, col)) return;
    SetItemTextHook(row, col, text ? text : "");
    RedrawCell(row, col);
    NM_GRIDVIEW nm{};
    nm.iRow = row;
    nm.iColumn = col;
    nm.iRow2 = -1;
    nm.iColumn2 = -1;
    nm.iExtra = selection;
    nm.lValue =
        (key & 0xFF) == VK_ESCAPE ? 0 : (m_nMouseMode == kMouseClick ? 255 : static_cast<INT_PTR>(key));
    LRESULT answer = SendNotify(GVN_ENDEDIT, nm);
    if (!WindowAlive()) return;
    if (!answer) {
        if (m_nMouseMode == kMouseClick) m_nMouseMode = kMouseNothing;
        return;
    }
    // The focus moves on as the key would (Enter as Tab); function keys and Escape stay. The
    // grid's key handler reads Ctrl and Shift from the keyboard itself.
    UINT vk = key & 0xFF;
    if (vk == VK_RETURN) vk = VK_TAB;
    switch (vk) {
    case VK_TAB:
    case VK_PRIOR:
    case VK_NEXT:
    case VK_END:
    case VK_HOME:
    case VK_LEFT:
    case VK_UP:
    case VK_RIGHT:
    case VK_DOWN: SendMessage(WM_KEYDOWN, vk, 0); break;
    case VK_ESCAPE:
        if (m_bAlwaysEdit) SendMessage(WM_KEYDOWN, vk, 0);
        break;
    default:
        if (vk >= VK_F4 && vk <= VK_F12) SendMessage(WM_KEYDOWN, vk, 0);
        break;
    }
}

void CGridCtrl::EndEditCell(UINT key) {
    // The form's list choice: the running in-place edit ends with the key, as if pressed there.
    if (m_hInPlaceEdit && ::IsWindow(m_hInPlaceEdit)) {
        ::SendMessageA(m_hInPlaceEdit, WM_KEYDOWN, key, 0);
        return;
    }
    if (IsValid(m_idCurrentCell))
        EndEditCell(m_idCurrentCell.row, m_idCurrentCell.col,
                    GetItemText(m_idCurrentCell.row, m_idCurrentCell.col), key);
}

// ---- Geometry and scrolling ----

int CGridCtrl::GetScrollPos32(int bar, bool track) const {
    return m_hWnd ? fw::GetScrollPos32(m_hWnd, bar, track) : 0;
}

bool CGridCtrl::SetScrollPos32(int bar, int pos, bool redraw) {
    if (!m_hWnd) return false;
    fw::SetScrollPos32(m_hWnd, bar, pos, redraw);
    return true;
}

void CGridCtrl::ResetScrollBars() {
    if (!WindowAlive() || !m_bAllowDraw) return;
    CRect client = GetClientRect();
    int fixedH = GetFixedRowHeight();
    int fixedW = GetFixedColumnWidth();
    int rowsH = GetVirtualHeight() - fixedH;
    int colsW = GetVirtualWidth() - fixedW;
    int pageH = client.Height() - fixedH;
    int pageW = client.Width() - fixedW;
    // One row (column) of slack beyond the end, so the last one never hides under the bar.
    int lastRow = GetRowCount() > m_nFixedRows ? GetRowHeight(GetRowCount() - 1) : 0;
    int lastCol = GetColumnCount() > m_nFixedCols ? GetColumnWidth(GetColumnCount() - 1) : 0;
    auto range = [](int size, int page, int slack) {
        return size > page
                   ? static_cast<int>(std::min<long long>(static_cast<long long>(size) + slack - 1, INT_MAX))
                   : -1;
    };
    fw::SetScrollRange32(m_hWnd, SB_VERT, range(rowsH, pageH, lastRow), pageH);
    fw::SetScrollRange32(m_hWnd, SB_HORZ, range(colsW, pageW, lastCol), pageW);
}

namespace {
// 100,000 rows of the largest height pass the int range: the sum stops at its end.
int SumOfSizes(const std::vector<int>& sizes, size_t count) {
    long long sum = 0;
    for (size_t i = 0; i < count && i < sizes.size(); ++i)
        sum += sizes[i];
    return static_cast<int>(std::min<long long>(sum, INT_MAX));
}
} // namespace

int CGridCtrl::GetFixedRowHeight() const {
    return SumOfSizes(m_arRowHeights, static_cast<size_t>(std::max(m_nFixedRows, 0)));
}

int CGridCtrl::GetFixedColumnWidth() const {
    return SumOfSizes(m_arColWidths, static_cast<size_t>(std::max(m_nFixedCols, 0)));
}

int CGridCtrl::GetVirtualHeight() const {
    return SumOfSizes(m_arRowHeights, m_arRowHeights.size());
}

int CGridCtrl::GetVirtualWidth() const {
    return SumOfSizes(m_arColWidths, m_arColWidths.size());
}

CCellID CGridCtrl::GetTopleftNonFixedCell() const {
    int vert = GetScrollPos32(SB_VERT);
    int horz = GetScrollPos32(SB_HORZ);
    int row = m_nFixedRows;
    for (int y = 0; row < GetRowCount() - 1 && y + m_arRowHeights[static_cast<size_t>(row)] <= vert; ++row)
        y += m_arRowHeights[static_cast<size_t>(row)];
    int col = m_nFixedCols;
    for (int x = 0; col < GetColumnCount() - 1 && x + m_arColWidths[static_cast<size_t>(col)] <= horz; ++col)
        x += m_arColWidths[static_cast<size_t>(col)];
    return CCellID(row, col);
}

bool CGridCtrl::GetCellOrigin(int row, int col, POINT* origin) const {
    if (!IsValid(row, col) || !origin) return false;
    int x = 0;
    int y = 0;
    for (int c = 0; c < col; ++c)
        x += m_arColWidths[static_cast<size_t>(c)];
    for (int r = 0; r < row; ++r)
        y += m_arRowHeights[static_cast<size_t>(r)];
    if (col >= m_nFixedCols) x -= GetScrollPos32(SB_HORZ);
    if (row >= m_nFixedRows) y -= GetScrollPos32(SB_VERT);
    origin->x = x;
    origin->y = y;
    return true;
}

bool CGridCtrl::GetCellRect(int row, int col, RECT* rect) const {
    POINT p{};
    if (!rect || !GetCellOrigin(row, col, &p)) return false;
    *rect = CRect(p.x, p.y, p.x + GetColumnWidth(col) - 1, p.y + GetRowHeight(row) - 1);
    if (!m_hWnd) return true;
    CRect client = GetClientRect();
    CRect on;
    return on.IntersectRect(CRect(rect->left, rect->top, rect->right + 1, rect->bottom + 1), client);
}

bool CGridCtrl::FocusCellRect(RECT* rect) const {
    // A popup of the cell activates itself, which hides the focus cell until the grid has the
    // focus back: the cell is then the remembered one.
    const CCellID cell = IsValid(m_idCurrentCell) ? m_idCurrentCell : m_idRemembered;
    if (!rect || !IsValid(cell) || !GetCellRect(cell.row, cell.col, rect)) return false;
    ++rect->right;
    ++rect->bottom;
    return true;
}

bool CGridCtrl::IsCellVisible(int row, int col) const {
    RECT r{};
    return GetCellRect(row, col, &r);
}

CCellID CGridCtrl::GetCellFromPt(CPoint point, bool allowFixed) const {
    int fixedW = GetFixedColumnWidth();
    int fixedH = GetFixedRowHeight();
    int col = -1;
    int row = -1;
    int x = point.x < fixedW ? point.x : point.x - fixedW + GetScrollPos32(SB_HORZ);
    for (int c = point.x < fixedW ? 0 : m_nFixedCols, edge = 0; c < GetColumnCount(); ++c) {
        edge += m_arColWidths[static_cast<size_t>(c)];
        if (x < edge) {
            col = c;
            break;
        }
    }
    int y = point.y < fixedH ? point.y : point.y - fixedH + GetScrollPos32(SB_VERT);
    for (int r = point.y < fixedH ? 0 : m_nFixedRows, edge = 0; r < GetRowCount(); ++r) {
        edge += m_arRowHeights[static_cast<size_t>(r)];
        if (y < edge) {
            row = r;
            break;
        }
    }
    if (point.x < 0 || point.y < 0 || row < 0 || col < 0) return CCellID();
    if (!allowFixed && IsFixed(row, col)) return CCellID();
    return CCellID(row, col);
}

CCellRange CGridCtrl::GetVisibleNonFixedCellRange(CRect* rect) const {
    CCellID topLeft = GetTopleftNonFixedCell();
    CRect client = m_hWnd ? GetClientRect() : CRect();
    int bottom = GetFixedRowHeight();
    int maxRow = topLeft.row - 1;
    for (int r = topLeft.row; r < GetRowCount() && bottom < client.bottom; ++r) {
        bottom += m_arRowHeights[static_cast<size_t>(r)];
        maxRow = r;
    }
    int right = GetFixedColumnWidth();
    int maxCol = topLeft.col - 1;
    for (int c = topLeft.col; c < GetColumnCount() && right < client.right; ++c) {
        right += m_arColWidths[static_cast<size_t>(c)];
        maxCol = c;
    }
    if (rect) *rect = CRect(0, 0, right, bottom);
    return CCellRange(topLeft.row, topLeft.col, maxRow, maxCol);
}

CCellRange CGridCtrl::GetCellRange() const {
    return CCellRange(0, 0, GetRowCount() - 1, GetColumnCount() - 1);
}

void CGridCtrl::Relayout() {
    if (!m_bAllowDraw || !WindowAlive()) return;
    ResetScrollBars();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

namespace {
// The position that shows [start, start + size) of the scrolled part within a page.
int PositionShowing(int start, int size, int page, int pos) {
    if (start < pos) return start;
    return start + size > pos + page ? start + size - page : pos;
}
} // namespace

void CGridCtrl::EnsureVisible(int row, int col) {
    if (!IsValid(row, col) || !WindowAlive()) return;
    CRect client = GetClientRect();
    bool moved = false;
    auto show = [&](int bar, const std::vector<int>& sizes, int fixed, int index, int page) {
        if (index < fixed) return;
        int start = 0;
        for (int i = fixed; i < index; ++i)
            start += sizes[static_cast<size_t>(i)];
        int pos = GetScrollPos32(bar);
        int want = PositionShowing(start, sizes[static_cast<size_t>(index)], page, pos);
        if (want == pos) return;
        SetScrollPos32(bar, want);
        moved = true;
    };
    show(SB_VERT, m_arRowHeights, m_nFixedRows, row, client.Height() - GetFixedRowHeight());
    show(SB_HORZ, m_arColWidths, m_nFixedCols, col, client.Width() - GetFixedColumnWidth());
    if (moved && m_bAllowDraw) ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

void CGridCtrl::SetRedraw(bool on, bool resetScrollBars) {
    TraceFunction("CGridCtrl::SetRedraw");
    m_bAllowDraw = on;
    if (!on || !WindowAlive()) return;
    if (resetScrollBars) ResetScrollBars();
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool CGridCtrl::RedrawCell(int row, int col, CDC* dc) {
    if (!m_bAllowDraw || !WindowAlive() || !IsValid(row, col)) return false;
    RECT rect{};
    if (!GetCellRect(row, col, &rect)) return false;
    CCellID anchor = GetAnchorCell(row, col);
    const CGridCell* cell = Cell(anchor.row, anchor.col);
    if (dc) {
        CRect r(rect);
        if (IsFixed(row, col))
            DrawFixedCell(dc, row, col, r, true);
        else
            DrawCell(dc, row, col, r, true);
        return true;
    }
    CRect r(rect);
    if (cell->m_nRowSpan || cell->m_nColSpan || anchor != CCellID(row, col)) r = SpannedCellRect(row, col, r);
    r.right += 1;
    r.bottom += 1;
    ::InvalidateRect(m_hWnd, &r, FALSE);
    return true;
}

bool CGridCtrl::RedrawRow(int row, int firstCol, int lastCol) {
    if (!m_bAllowDraw || !WindowAlive() || row < 0 || row >= GetRowCount()) return false;
    if (lastCol < 0 || lastCol >= GetColumnCount()) lastCol = GetColumnCount() - 1;
    if (firstCol < 0) firstCol = 0;
    if (firstCol > lastCol) return false;
    POINT a{};
    POINT b{};
    if (!GetCellOrigin(row, firstCol, &a) || !GetCellOrigin(row, lastCol, &b)) return false;
    CRect r(a.x, a.y, b.x + GetColumnWidth(lastCol), a.y + GetRowHeight(row));
    if (firstCol >= m_nFixedCols) {
        int fixedW = GetFixedColumnWidth();
        if (r.left < fixedW) r.left = fixedW;
    }
    ::InvalidateRect(m_hWnd, &r, FALSE);
    return true;
}
