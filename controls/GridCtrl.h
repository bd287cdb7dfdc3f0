#pragma once
// The form's scroll field: a table of cells that the form fills row by row from the server
// and that reports every user step to its owner by WM_NOTIFY, so that the server decides.
//
// Where the members live: the data model and the form's operations in GridCtrl.cpp and
// GridCtrlCells.cpp, drawing in GridCtrlDraw.cpp, keys, mouse, scrolling, tooltip and
// in-place editing in GridCtrlInput.cpp, drag and drop and the clipboard (with
// CopyMetafileToClipboard) in GridDragDrop.cpp, printing in GridCtrlPrint.cpp.

#include "controls/FormGrid.h"
#include "controls/GridPrintLayout.h"
#include "controls/GridSelection.h"
#include "framework/DC.h"
#include "framework/FwString.h"
#include "framework/Gdi.h"
#include "framework/Geometry.h"
#include "framework/MemDC.h"
#include "framework/PrintInfo.h"
#include "framework/Wnd.h"

#include <windows.h>
#include <commctrl.h>

#include <cstddef>
#include <functional>
#include <memory>
#include <string>
#include <vector>

class COleDataObject;
class COleDataSource;
class CGridDropTarget;
class CGridDropSource;
class CInPlaceEdit;

// The window class of every grid.
constexpr const char kGridClassName[] = "VORLAN.GridCtrl";
// The form's grid control id.
constexpr UINT kGridControlId = 0x1800;
// The in-place edit's control id.
constexpr UINT kInPlaceEditId = 8;

// Notification codes (the header's code field).
enum : UINT {
    GVN_BEGINDRAG = 1,    // a drag is about to start: 0 = no drag; the form may write the block
    GVN_DROPCELLS = 2,    // a cell block dropped on this grid: nonzero = accepted
    GVN_DRAGENDED = 3,    // a cell-block drag from here ended; hdr.hwndFrom = accepting form or null
    GVN_BEGINEDIT = 4,    // in-place editing is about to start: 0 = do not edit
    GVN_INSERTROW = 5,    // Insert/F6, or Tab beyond the last cell; value = key
    GVN_DELETEROW = 6,    // Delete/F7; value = key
    GVN_LEAVECELL = 7,    // the focus is about to leave the cell: 0 = stay
    GVN_FOCUSCELL = 8,    // the focus cell is about to change: nonzero = confirmed cell
    GVN_TABLE = 9,        // F4
    GVN_LISTFOCUS = 10,   // list mode: the focus moved; the form writes the block's end
    GVN_CLICK = 11,       // left button up on a cell
    GVN_ENDEDIT = 12,     // in-place editing ended; value = the key that ended it
    GVN_CELLKEY = 13,     // double click on a focusable cell: 0 = handle as a press
    GVN_TOOLTIP = 14,     // the mouse rests on a cell; value = text buffer
    GVN_DROPCOLUMNS = 15, // a column block dropped; value = drop column
    GVN_DROPROWS = 16,    // a row block dropped; value = drop row
    GVN_DROPTEXT = 17,    // text dropped from outside; value = the text
    GVN_RCLICK = 18,      // list mode: right button up on the cell where it went down
    GVN_SCROLL = 19,      // a scroll action begins: nonzero = the grid takes the focus
};

// The record of every grid notification. Rows and columns are grid indexes, fixed ones
// included; -1 is none.
struct NM_GRIDVIEW {
    NMHDR hdr;
    int iRow;
    int iColumn;
    int iRow2;
    int iColumn2;
    // Code 1: 1 for a cell-block drag. Code 12: selection start (low 16 bits) and end (high).
    // Code 14: the capacity of the text buffer in bytes, terminator included.
    int iExtra;
    // A key code, or the address of a text (codes 14 and 17): wide enough for a pointer.
    INT_PTR lValue;
};
#ifdef _WIN64
static_assert(sizeof(NM_GRIDVIEW) == 56, "notification record layout");
#else
static_assert(sizeof(NM_GRIDVIEW) == 36, "notification record layout");
#endif

// The tooltip request's buffer (code 14); the grid terminates whatever the form wrote.
constexpr int kGridToolTipCapacity = 4096;

// Cell state bits.
enum : UINT {
    GVIS_SELECTED = 0x02,
    GVIS_DROPHILITED = 0x04,
    GVIS_READONLY = 0x08,
    GVIS_SKIP = 0x10,
};
// Cell style bits.
enum : WORD {
    GVSTYLE_DRAGHANDLE = 0x2000,
    GVSTYLE_MULTILINE = 0x4000,
    GVSTYLE_CORNER = 0x8000,
};
// Row flag word: low byte = background colour number.
enum : WORD {
    GVRF_NORMAL = 0x8000,
    GVRF_FIXEDHEIGHT = 0x2000,
};
// Column flag word: low byte = background colour number.
enum : WORD {
    GVCF_ENABLED = 0x8000,
    GVCF_RIGHTEDIT = 0x4000,
    GVCF_EDITABLE = 0x1000,
};
// Format bit 31: bold text.
constexpr UINT kGridFormatBold = 0x80000000u;
// Background shapes.
enum : int {
    kShapeFill = 0,
    kShapeLeft = 1,
    kShapeRight = 2,
    kShapeDiamond = 3,
    kShapeUp = 4,
    kShapeDown = 5,
};
// Mouse modes.
enum : int {
    kMouseNothing = 0,
    kMouseOverRowDivide = 6,
    kMouseSizingRow = 7,
    kMouseOverColDivide = 8,
    kMouseSizingCol = 9,
    kMouseClick = 10,
    kMouseListClick = 11,
    kMouseDragging = 12,
    kMouseOverHandleBottom = 13,
    kMouseOverHandleRight = 14,
    kMouseHandlePressed = 15,
};
// Drag flags of list mode.
enum : int {
    kGridDragRows = 1,
    kGridDragColumns = 2,
};
// Timers.
enum : UINT_PTR {
    kGridTooltipTimer = 1,
    kGridAutoScrollTimer = 2,
};

class CGridCell {
  public:
    CGridCell() = default;
    // Back to the state of a new cell.
    void Reset() { *this = CGridCell(); }

    int m_nRowSpan = 0; // further rows covered; in a covered cell: negative offset to the anchor
    int m_nColSpan = 0;
    UINT m_nState = 0;
    UINT m_nFormat = 0; // DT_ flags; bit 31 bold
    CString m_strText;
    int m_nImage = -1;
    COLORREF m_crBkClr = 0xFF000000;
    COLORREF m_crFgClr = 0xFF000000;
    int m_lParam = 0;
    int m_lExtra = 0;
    int m_nShape = kShapeFill;
    WORD m_wStyle = 0;
};

// The fields of a cell as the painters and GetItem see them; mask says which are wanted.
enum : UINT {
    GVIF_TEXT = 0x01,
    GVIF_IMAGE = 0x02,
    GVIF_PARAM = 0x04,
    GVIF_STATE = 0x08,
    GVIF_BKCLR = 0x10,
    GVIF_FGCLR = 0x20,
    GVIF_FORMAT = 0x40,
    GVIF_SPAN = 0x80,
    GVIF_SHAPE = 0x100,
    GVIF_STYLE = 0x200,
    GVIF_ALL = 0x3FF,
};
struct GV_ITEM {
    int row = -1;
    int col = -1;
    int rowSpan = 0;
    int colSpan = 0;
    UINT mask = GVIF_ALL;
    UINT state = 0;
    UINT nFormat = 0;
    CString strText;
    int iImage = -1;
    COLORREF crBkClr = 0xFF000000;
    COLORREF crFgClr = 0xFF000000;
    int lParam = 0;
    int nShape = 0;
    WORD wStyle = 0;
};

class CGridCtrl : public CWnd, public IFormGrid {
    // The grid's own helpers of input and drag and drop work on its state.
    friend class CInPlaceEdit;
    friend class CGridDropTarget;
    friend class CGridDropSource;

  public:
    // The form's one constructor call. dropButtonEdit: confirmed cells edit with a drop
    // button; font name and size in tenths of a point (none: "Tahoma" 8.5 points); mode has no
    // effect; the column count (the larger of the two given), the rows to start with, the
    // default row height until the font is applied, fixed columns and fixed rows. The arrays
    // are sized by Create.
    explicit CGridCtrl(int dropButtonEdit = 1, const char* fontName = nullptr, int fontSize = 85,
                       int mode = 2, int nCols = 0, int nRows = 0, int nColsAgain = 0,
                       int defaultRowHeight = 30, int nFixedCols = 0, int nFixedRows = 0);
    ~CGridCtrl() override;

    // The owner's way to be rid of a grid: while the grid is inside one of its messages or
    // notifications (the server's answer may close the form there) the object lives on until
    // the outermost of them has returned, so its own checks never read freed memory.
    static void Release(CGridCtrl* grid);

    // Creates the window (0x2300000 added to the style) and sizes the arrays; on failure the
    // window is gone again and the counts are 0. A client edge (WS_EX_CLIENTEDGE) becomes
    // WS_BORDER under visual styles.
    bool Create(DWORD style, const RECT& rect, HWND parent, UINT id, DWORD exStyle = 0);

    // Dimensions.
    int GetRowCount() const { return static_cast<int>(m_arRowHeights.size()); }
    int GetColumnCount() const { return static_cast<int>(m_arColWidths.size()); }
    int GetFixedRowCount() const override { return m_nFixedRows; }
    int GetFixedColumnCount() const { return m_nFixedCols; }
    bool SetRowCount(int rows);
    bool SetColumnCount(int cols);
    // Above the row count the rows grow to match.
    bool SetFixedRowCount(int n);
    bool SetFixedColumnCount(int n);

    // Rows.
    int InsertRow(int position = -1);
    bool EmptyRow(int row, int firstCol = 0, int lastCol = -1);
    bool DeleteRow(int row);

    // Cells.
    bool IsValid(int row, int col) const {
        return row >= 0 && row < GetRowCount() && col >= 0 && col < GetColumnCount();
    }
    bool IsValid(const CCellID& cell) const { return IsValid(cell.row, cell.col); }
    const CGridCell* GetCell(int row, int col) const;
    bool GetItem(GV_ITEM* item) const;
    bool SetItemText(int row, int col, const char* text);
    bool SetItemImage(int row, int col, int image);
    int GetItemImage(int row, int col) const;
    // Colour numbers of the form colour table (0 = default) and the background shape.
    bool SetItemColors(int& row, int& col, int textColour, int bkColour, int shape);
    bool ModifyItemStyle(int row, int col, WORD set, WORD clear);
    WORD GetItemStyle(int row, int col) const;
    // format = set | (format & keep).
    bool ModifyItemFormat(int row, int col, UINT set, UINT keep);
    UINT GetItemFormat(int row, int col) const;
    bool SetItemState(int row, int col, UINT state);
    UINT GetItemState(int row, int col) const;
    bool SetItemData(int row, int col, int data);
    int GetItemData(int row, int col) const;
    bool SetItemExtra(int row, int col, int extra);
    int GetItemExtra(int row, int col) const;
    bool SetItemColSpan(int row, int col, int further);
    bool SetItemRowSpan(int row, int col, int further);
    // The anchor of a covered cell, else the cell itself.
    CCellID GetAnchorCell(int row, int col) const;

    // Flag words.
    bool ModifyRowFlags(int row, WORD clear, WORD set);
    bool ModifyColumnFlags(int col, WORD clear, WORD set);
    WORD GetRowFlags(int row) const;
    WORD GetColumnFlags(int col) const;

    // Sizes. A row or column is 0 to kMaxCellSize pixels high or wide, whatever the server
    // asks; totals beyond the int range stop at its end.
    static constexpr int kMaxCellSize = 32767;
    static int CellSize(long long pixels);
    bool SetRowHeight(int row, int height, bool useDefault = false);
    bool SetColumnWidth(int col, int width, bool autoSizeRows = false);
    // The grid owns the font from now on and makes its bold variant; null removes both.
    bool SetColumnFont(int col, HFONT font);
    int GetRowHeight(int row) const;
    int GetColumnWidth(int col) const;
    int GetVirtualHeight() const;
    int GetVirtualWidth() const;
    int GetTotalColumnWidth() const override { return GetVirtualWidth(); }
    int GetFixedRowHeight() const;
    int GetFixedColumnWidth() const;
    int GetDefaultRowHeight() const { return m_nDefRowHeight; }
    int GetDefaultColumnWidth() const { return m_nDefColWidth; }
    bool GetCellRect(int row, int col, RECT* rect) const;
    // Top-left of the cell in client coordinates (fixed cells stay, others scroll).
    bool GetCellOrigin(int row, int col, POINT* origin) const;
    void AutoSizeColumns();
    bool AutoSizeColumn(int col, bool growOnly = false);
    bool AutoSizeRow(int row);
    void AutoSizeRows();
    // Widens the last column to the client width when the fill switch is on.
    void FitLastColumn();

    // Sort arrow.
    void SetSortColumn(int col, int direction);
    int GetSortColumn() const { return m_nSortColumn; }
    int GetSortDirection() const { return m_nSortDirection; }

    // Selection.
    void SetSelectedRange(int minRow, int minCol, int maxRow, int maxCol, bool drawNow = false);
    void ResetSelectedRange() { SetSelectedRange(-1, -1, -1, -1); }
    size_t GetSelectedCount() const { return m_SelectedCells.Count(); }
    bool IsCellSelected(int row, int col) const { return m_SelectedCells.Contains(row, col); }

    // Redraw.
    void SetRedraw(bool on, bool resetScrollBars = false);
    bool GetRedraw() const { return m_bAllowDraw; }
    bool RedrawCell(int row, int col, CDC* dc = nullptr);
    bool RedrawRow(int row, int firstCol = 0, int lastCol = -1);

    // Focus.
    CCellID GetFocusCell() const { return m_idCurrentCell; }
    // The set-focus algorithm (notifications 8 and 10, frames and headers redrawn).
    void SetFocusCell(int row, int col) override;
    void GotoCell(int row, int col);
    void HideFocusCell();
    bool IsCellFocusable(int row, int col) const;
    // The next focusable column of the row from col on (backwards with step -1); -1 if none.
    int NextFocusableColumn(int row, int col, int step = 1) const;
    // The nearest focusable row from row on in that direction, and its column; false if none.
    bool NextFocusableRow(int row, int step, CCellID& found) const;
    void EnsureVisible(int row, int col);
    bool IsCellVisible(int row, int col) const;
    // The cell under a client point; -1/-1 outside the cells.
    CCellID GetCellFromPt(CPoint point, bool allowFixed = true) const;
    CCellID GetTopleftNonFixedCell() const;
    CCellRange GetVisibleNonFixedCellRange(CRect* rect = nullptr) const;
    CCellRange GetCellRange() const;

    // The form's editing steps.
    // selection: where the edit's selection began (low 16 bits) and ended (high 16 bits).
    void EndEditCell(int row, int col, const char* text, UINT key, int selection = 0);
    void EndEditCell(UINT key) override;
    bool FocusCellRect(RECT* rect) const override;

    void CopyMetafileToClipboard();
    void PrintPreview(const char* left, const char* centre, const char* right);
    // The page painter handed to the print preview; user = the grid.
    static int PrintPageCallback(int code, CDC* dc, CPrintInfo* info, void* user);

    // Scroll bars (32-bit positions).
    int GetScrollPos32(int bar, bool track = false) const;
    bool SetScrollPos32(int bar, int pos, bool redraw = true);
    void ResetScrollBars();

    // Switches.
    void SetEditable(bool on) { m_bEditable = on; }
    bool IsEditable() const { return m_bEditable; }
    void SetListMode(bool on) { m_bListMode = on; }
    bool GetListMode() const { return m_bListMode; }
    void SetReadMode(bool on) { m_bReadMode = on; }
    bool GetReadMode() const { return m_bReadMode; }
    void SetAlwaysEdit(bool on) { m_bAlwaysEdit = on; }
    bool GetAlwaysEdit() const { return m_bAlwaysEdit; }
    void SetTypingEdits(bool on) { m_bHandleTabKey = on; }
    void SetFocusRowMode(bool on) { m_bFocusRow = on; }
    bool GetFocusRowMode() const { return m_bFocusRow; }
    // 3 both, 1 horizontal, 2 vertical, 0 none.
    void SetGridLines(int mode) { m_nGridLines = mode; }
    int GetGridLines() const { return m_nGridLines; }
    void SetColumnResize(bool on) { m_bAllowColumnResize = on; }
    void SetRowResize(bool on) { m_bAllowRowResize = on; }
    // Off: a right click copies the focus cell's text into the clicked cell instead.
    void SetContextMenu(bool on) { m_bContextMenu = on; }
    // Off: no drag starts here and no other grid's drag lands here (text from outside still does).
    void SetDragAndDrop(bool on) { m_bDragAndDrop = on; }
    bool GetDragAndDrop() const { return m_bDragAndDrop; }
    void SetDropButtonEdit(bool on) { m_bDropButtonEdit = on; }
    void SetWholeRow(bool on) { m_bWholeRow = on; }
    bool GetWholeRow() const { return m_bWholeRow; }
    void SetSelectionAllowed(bool on) { m_bEnableSelection = on; }
    void SetFillLastColumn(bool on) { m_bFillLastColumn = on; }
    void SetDragFlags(int flags) { m_nDragFlags = flags; }
    int GetDragFlags() const { return m_nDragFlags; }
    // The cell images (the form's list; the grid does not own it).
    void SetImageList(HIMAGELIST images) { m_hCellImages = images; }
    HIMAGELIST GetImageList() const { return m_hCellImages; }
    // Whether the program draws with visual styles (client edge and border); the program's
    // own answer by default.
    void SetVisualStyles(bool on) { m_bStylesInUse = on; }
    HFONT GetFont() const { return m_Font; }
    int GetMarginX() const { return m_nMarginX; }
    int GetMarginY() const { return m_nMarginY; }
    int GetMouseMode() const { return m_nMouseMode; }

    // Touched by the form frames: the remembered focus position (both -1: forget it), the
    // sizes-changed-by-the-user value (enables the frame's undo), and by the form the
    // pending-layout flag and the character-width unit (7 until the font is measured).
    CCellID m_idRemembered;
    int m_bSizesChanged = 0;
    bool m_bPendingLayout = false;
    int m_nCharWidth = 7;

    // The grid's own virtual operations, in slot order.
    virtual CString GetItemText(int row, int col) const;            // 1
    virtual void ClearSelectedCells();                              // 2
    virtual COleDataSource* CreateDragData();                       // 3
    virtual bool PasteData(int row, int col, COleDataObject* data); // 4
    virtual void OnEditCut();                                       // 5
    virtual void OnEditCopy();                                      // 6
    virtual void OnEditPaste();                                     // 7
    virtual void OnEditSelectAll();                                 // 8
    virtual void OnBeginPrinting(CDC* dc, CPrintInfo* info);        // 9
    virtual void OnPrintPage(CDC* dc, CPrintInfo* info);            // 10
    virtual void OnEndPrinting(CDC* dc, CPrintInfo* info);          // 11
    virtual void PrintFixedRows(CDC* dc, CPrintInfo* info);         // 12
    virtual void PrintHeader(CDC* dc, CPrintInfo* info);            // 13
    virtual void PrintFooter(CDC* dc, CPrintInfo* info);            // 14
    // An image list of one masked image of the focus cell (the caller destroys it) and the
    // cell's size; null without a focus cell.
    virtual HIMAGELIST CreateDragImage(CSize* size); // 15
    // Open slots for a derived grid; the grid itself never calls them.
    virtual void OnOpenHook1() {} // 16
    virtual void OnOpenHook2() {} // 17
    virtual CSize GetCellExtent(int row, int col, CDC* dc, bool bold = false,
                                bool multiLine = false); // 18
    // Stores a cell's text after an edit.
    virtual bool SetItemTextHook(int row, int col, const char* text); // 19
    // selection: start in the low word, end in the high word; -1 = none given.
    virtual bool EditCellAt(int row, int col, UINT initialChar, const CPoint* click = nullptr,
                            LONG selection = -1);                                          // 20
    virtual void OnDraw(CDC* dc, bool erase);                                              // 21
    virtual bool DrawFixedCell(CDC* dc, int row, int col, CRect rect, bool erase = false); // 22
    virtual bool DrawCell(CDC* dc, int row, int col, CRect rect, bool erase = false);      // 23
    virtual void ClearCell(int row, int col);                                              // 24

    // Toggles the focus frame (with drag: the landing block of a drag over this grid). A null
    // DC draws into the window.
    void DrawFocusFrame(CDC* dc = nullptr, bool drag = false);

    // Sends a notification to the owner (else the parent) and returns its answer; without
    // one, 1 as if the form had allowed the step. The record's header is filled here.
    LRESULT SendNotify(UINT code, NM_GRIDVIEW& record);
    LRESULT SendNotify(UINT code, int row, int col, INT_PTR value = 0);
    // After a notification: is the window still there (the answer may have closed the form)?
    bool WindowAlive() const { return m_hWnd && ::IsWindow(m_hWnd); }
    class BusyGuard {
      public:
        explicit BusyGuard(CGridCtrl& grid) : m_grid(grid) { ++m_grid.m_nBusy; }
        ~BusyGuard() {
            if (--m_grid.m_nBusy == 0 && m_grid.m_bDeletePending) delete &m_grid;
        }
        BusyGuard(const BusyGuard&) = delete;
        BusyGuard& operator=(const BusyGuard&) = delete;

      private:
        CGridCtrl& m_grid;
    };
    LRESULT DispatchGridMessage(UINT msg, WPARAM wParam, LPARAM lParam);

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override;
    // The key filter ahead of accelerators (GridCtrlInput.cpp).
    bool PreTranslateMessage(MSG* msg) override;

  protected:
    // Handlers of the data model and drawing.
    LRESULT OnPaint(WPARAM w, LPARAM l);
    LRESULT OnEraseBkgnd(WPARAM w, LPARAM l);
    LRESULT OnNcPaint(WPARAM w, LPARAM l);
    LRESULT OnSysColorChange(WPARAM w, LPARAM l);
    LRESULT OnSetFont(WPARAM w, LPARAM l);
    LRESULT OnGetFont(WPARAM w, LPARAM l);
    LRESULT OnSize(WPARAM w, LPARAM l);
    LRESULT OnUserSetFocus(WPARAM w, LPARAM l);
    LRESULT OnDestroy(WPARAM w, LPARAM l);

    // Handlers of input (GridCtrlInput.cpp).
    LRESULT OnHScroll(WPARAM w, LPARAM l);
    LRESULT OnVScroll(WPARAM w, LPARAM l);
    LRESULT OnLButtonDown(WPARAM w, LPARAM l);
    LRESULT OnLButtonUp(WPARAM w, LPARAM l);
    LRESULT OnLButtonDblClk(WPARAM w, LPARAM l);
    LRESULT OnRButtonDown(WPARAM w, LPARAM l);
    LRESULT OnRButtonUp(WPARAM w, LPARAM l);
    LRESULT OnMButtonDown(WPARAM w, LPARAM l);
    LRESULT OnMouseMove(WPARAM w, LPARAM l);
    LRESULT OnMouseWheel(WPARAM w, LPARAM l);
    LRESULT OnSetCursor(WPARAM w, LPARAM l);
    LRESULT OnCaptureChanged(WPARAM w, LPARAM l);
    LRESULT OnCancelMode(WPARAM w, LPARAM l);
    LRESULT OnKeyDown(WPARAM w, LPARAM l);
    LRESULT OnChar(WPARAM w, LPARAM l);
    LRESULT OnGetDlgCode(WPARAM w, LPARAM l);
    LRESULT OnTimer(WPARAM w, LPARAM l);
    LRESULT OnSetFocus(WPARAM w, LPARAM l);
    LRESULT OnKillFocus(WPARAM w, LPARAM l);
    LRESULT OnEnable(WPARAM w, LPARAM l);
    LRESULT OnNcActivate(WPARAM w, LPARAM l);
    LRESULT OnCtlColor(WPARAM w, LPARAM l);
    LRESULT OnSettingChange(WPARAM w, LPARAM l);
    LRESULT OnCommand(WPARAM w, LPARAM l);
    LRESULT OnNotify(WPARAM w, LPARAM l);

    // Drop target (GridDragDrop.cpp): registered by Create, revoked when the window goes.
    bool RegisterDropTarget();
    void RevokeDropTarget();

    // Colour resolution of a non-fixed cell for the painters.
    void GetCellColours(int row, int col, const CGridCell& cell, bool onScreen, COLORREF& text,
                        COLORREF& back, bool& nonDefault) const;
    // The cell's rectangle with spans resolved (a covered cell yields its anchor's).
    CRect SpannedCellRect(int row, int col, const CRect& rect) const;
    HFONT CellFont(int col, bool bold) const;
    // Image and text of a cell into its text area.
    void DrawCellContent(CDC* dc, int row, int col, const CGridCell& cell, CRect area, bool fixedCell,
                         bool onScreen);
    // The pixels of a block of cells in client coordinates (right and bottom excluded).
    CRect BlockRect(const CCellRange& block) const;
    // The XOR frame itself, without changing whether it counts as shown.
    void InvertFocusFrame(CDC* dc, bool drag);
    // "WheelScrollLines" of the user's desktop settings: 3 when unreadable, -1 page-wise.
    static int ReadWheelScrollLines();
    void ReadSystemColours(bool onlyUnchanged);
    // After a change of sizes or counts: scroll bars reset and the window repainted (not
    // while redraw is off).
    void Relayout();
    void ApplyFont(HFONT font);
    void RedrawFocusBlockHeaders(const CCellID& cell, int extentRows, int extentCols);
    bool IsFixed(int row, int col) const { return row < m_nFixedRows || col < m_nFixedCols; }
    int FirstNonFixedRow() const;
    CGridCell* Cell(int row, int col) const;
    // Anchors a span (further rows and columns); spans it overlaps give up their cells.
    bool SetItemSpan(int row, int col, int rowSpan, int colSpan);
    void ClearSpanRegion(int row, int col);
    // Ends the spans that reach into the row (with onlyFromAbove those from rows above it).
    void ClearSpansThrough(int row, bool onlyFromAbove);

    // Dimensions and storage.
    int m_nFixedRows = 0;
    // The header rows asked for: a load of fewer rows has fewer, the next load has them again.
    int m_nFixedRowsAsked = 0;
    int m_nFixedCols = 0;
    std::vector<int> m_arRowHeights;
    std::vector<WORD> m_arRowFlags;
    std::vector<int> m_arColWidths;
    std::vector<WORD> m_arColFlags;
    struct ColumnFonts {
        HFONT normal = nullptr;
        HFONT bold = nullptr;
    };
    std::vector<ColumnFonts> m_arColFonts;
    using GridRow = std::vector<CGridCell*>;
    std::vector<GridRow> m_RowData;
    // Sizes the constructor was given, applied by Create.
    int m_nInitRows = 0;
    int m_nInitCols = 0;

    CGridSelection m_SelectedCells;
    CCellRange m_SelectedRange;

    // Focus.
    CCellID m_idCurrentCell;
    CCellID m_idConfirmedCell;
    int m_nFocusExtentRows = 0;
    int m_nFocusExtentCols = 0;
    bool m_bFocusFrameShown = false;
    // The block where dragged cells would land, framed while a drag is over this grid.
    CCellRange m_DragFrameBlock;
    bool m_bDragFrameShown = false;
    bool m_bFreshClick = false;

    // Sort arrow.
    int m_nSortColumn = -1;
    int m_nSortDirection = 0;

    // Colours: the system colours they came from, and what the painters use.
    COLORREF m_crWindowText = 0;
    COLORREF m_crWindowColour = 0;
    COLORREF m_cr3DFace = 0;
    COLORREF m_crShadow = 0;
    COLORREF m_crTextColour = 0;
    COLORREF m_crTextBkColour = 0;
    COLORREF m_crFixedTextColour = 0;
    COLORREF m_crFixedBkColour = 0;
    COLORREF m_crGridBkColour = 0;
    HPEN m_hGridPen = nullptr;
    HBRUSH m_hGridBrush = nullptr;
    HBRUSH m_hGridBrush2 = nullptr;

    // Fonts and measures.
    CString m_strFontName;
    int m_nFontSize = 85;
    CFont m_Font;
    CFont m_BoldFont;
    CFont m_PrinterFont;
    int m_nMarginX = -1;
    int m_nMarginY = -1;
    int m_nFontHeight = 0;
    int m_nDefRowHeight = 30;
    int m_nDefColWidth = 0;
    int m_nDrawOffsetX = 0;
    int m_nDrawOffsetY = 0;
    // The off-screen bitmap of the paints, kept while the window lives.
    CBackBuffer m_BackBuffer;

    CImageList m_SortImages;
    HIMAGELIST m_hCellImages = nullptr;

    // Switches.
    bool m_bAllowDraw = true;
    bool m_bEditable = true;
    bool m_bListMode = false;
    bool m_bReadMode = false;
    bool m_bAlwaysEdit = false;
    bool m_bHandleTabKey = true;
    bool m_bFocusRow = false;
    int m_nGridLines = 3;
    bool m_bAllowColumnResize = true;
    bool m_bAllowRowResize = false;
    int m_nResizeCaptureRange = 3;
    bool m_bContextMenu = true;
    bool m_bDragAndDrop = true;
    bool m_bDropButtonEdit = true;
    bool m_bWholeRow = false;
    bool m_bEnableSelection = true;
    bool m_bFillLastColumn = false;
    bool m_bStylesInUse = false;
    int m_nDragFlags = 0;

    // Input (GridCtrlInput.cpp).
    int m_nMouseMode = kMouseNothing;
    CPoint m_ptPress;
    CPoint m_ptLastMouse;
    CCellID m_LeftClickDownCell;
    CCellID m_RightClickDownCell;
    CString m_strRightClickText;
    CCellID m_HoverCell;
    UINT_PTR m_nTooltipTimer = 0;
    HWND m_hTooltip = nullptr;
    int m_nHandleZone = 5;
    int m_nWheelLines = 3;
    int m_nResizeIndex = -1;
    CRect m_rcResizeDrag;
    bool m_bHandleRightEdge = false;
    // The press's drag was refused: it stays a click until the button comes up.
    bool m_bDragRefused = false;
    // The running in-place edit, while there is one (EndEditCell(key) ends it through it).
    HWND m_hInPlaceEdit = nullptr;

    // Drag and drop (GridDragDrop.cpp).
    UINT m_cfGridData = 0; // "VORLAN.GridData"
    CGridDropTarget* m_pDropTarget = nullptr;
    CCellID m_DropCell;
    bool m_bExternalText = false;
    UINT_PTR m_nAutoScrollTimer = 0;

    // Printing (GridCtrlPrint.cpp).
    CString m_strHeaderLeft;
    CString m_strHeaderCentre;
    CString m_strHeaderRight;
    int m_nHeaderLines = 0;
    int m_nPrintCharWidth = 0;
    int m_nPrintLineHeight = 0;
    int m_nPrintXFactor = 1000;
    int m_nPrintYFactor = 1000;
    int m_nPrintableWidth = 0;
    int m_nPrintableHeight = 0;
    int m_nPageWidth = 0;
    int m_nPageHeight = 0;
    int m_nBodyHeight = 0;
    // Built once when printing begins; every page reads it until printing ends.
    std::unique_ptr<gridprint::Pagination> m_pPrintPages;
    bool m_bPrinting = false;
    // Set while OnDraw runs: the painters leave the font they chose selected for the next cell.
    bool m_bInOnDraw = false;

  private:
    CGridCell* NewCell();
    void FreeCell(CGridCell* cell);
    GridRow MakeRow(int formatFrom);
    void FreeRow(GridRow& row);
    void UnselectCell(int row, int col);

    // Input and drag-and-drop helpers (GridCtrlInput.cpp, GridDragDrop.cpp).
  public:
    // The drop target's calls, in client coordinates.
    DWORD OnDragEnter(COleDataObject* data, DWORD keyState, CPoint point);
    DWORD OnDragOver(COleDataObject* data, DWORD keyState, CPoint point);
    bool OnDrop(COleDataObject* data, DWORD effect, CPoint point);
    void OnDragLeave();
    DWORD OnDragScroll(DWORD keyState, CPoint point);
    // The key handling of WM_KEYDOWN for a code with 0x8000 (Ctrl) and 0x4000 (Shift) added.
    void HandleKey(UINT code, LPARAM keyData = 0);

  protected:
    HWND NotifyWindow() const;
    void MoveFocus(const CCellID& target, UINT code);
    CCellID NextCellForward(const CCellID& from) const;
    CCellID NextCellBackward(const CCellID& from) const;
    int FocusableRowInColumn(int row, int col, int step) const;
    // In list mode a key's target inside the focus block moves on past it (none when nothing
    // follows); any other target stays.
    CCellID PastFocusBlock(const CCellID& target) const;
    void InsertRowKey(UINT code);
    void ClampFocusRow(const CCellID& before);
    void SimulateClick(const CCellID& cell);
    void UpdateHoverMode(CPoint point);
    void StartResize(CPoint point);
    void EndResize(bool apply);
    void ScrollBy(int bar, UINT code);
    void KillToolTip();
    void OnToolTipTimer();
    void OnAutoScrollTimer();
    bool AutoScrollAt(CPoint point);
    CCellID FocusableNear(const CCellID& cell) const;
    void StartDrag();
    void SetDropCell(const CCellID& cell);
    // The whole client area, unless redraw is off.
    void InvalidateGrid();
    HBRUSH m_hEditBrush = nullptr;
    COLORREF m_crEditBrush = 0;
    int m_nBusy = 0;
    bool m_bDeletePending = false;
    int m_nResizeStartSize = 0;
    bool m_bKeyDownSeen[4] = {false, false, false, false}; // F1 to F4 reached the grid down
    // Printing's reach to the server: the form hands the grid a reader of `W ...` lines for
    // the footer texts it may replace; without one the default footer stays.
  public:
    using ServerReader = std::function<std::string(const char* line)>;
    void SetServerReader(ServerReader reader) { m_serverReader = std::move(reader); }

  private:
    ServerReader m_serverReader;
    std::string ServerText(const char* line) const;
    int PrintRow(CDC* dc, int row, int top, bool fixed);
    void PrintGridLines(CDC* dc, int row, int col, const CRect& rect);
};
