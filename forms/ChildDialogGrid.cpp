// The form's grid: its set-up from the server's description, loading its rows, refreshing
// rows, columns and cells the server names, and its column widths.
#include "forms/ChildDialog.h"

#include "app/FontSetting.h"
#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "controls/GridCtrl.h"
#include "forms/BaseMDIMenu.h"
#include "forms/FormDecor.h"
#include "forms/FormGlobals.h"
#include "forms/GridFill.h"
#include "forms/GridLogic.h"
#include "forms/PrintRoadLogic.h"
#include "framework/App.h"
#include "resources/PrintIds.h"
#include "resources/resource.h"

#include <algorithm>

namespace gridline = vorlan::gridline;

namespace {

constexpr UINT kGridId = 0x1800;
constexpr UINT kGridImages = 514;

// Shows the frame's progress only when what it shows changes.
class LoadProgress {
  public:
    LoadProgress(const char* text, int first, int last) : m_text(text), m_first(first), m_last(last) {}
    ~LoadProgress() {
        if (vorlan::g_pfnShowProgress && m_shown) vorlan::g_pfnShowProgress(nullptr, -1, 0);
    }
    void Show(int i) {
        if (!vorlan::g_pfnShowProgress) return;
        int step = vorlan::LoadProgressStep(i, m_first, m_last);
        if (m_shown && step == m_step) return;
        m_step = step;
        m_shown = true;
        vorlan::g_pfnShowProgress(m_text, std::max(i, 0), std::max(m_last, 1));
    }

  private:
    const char* m_text;
    int m_first, m_last;
    int m_step = -1;
    bool m_shown = false;
};

// The grid's font at another weight, for a column of its own.
HFONT WeightedFont(HFONT base, int weight) {
    LOGFONTA lf{};
    if (!base || !::GetObjectA(base, sizeof lf, &lf)) return nullptr;
    lf.lfWeight = weight;
    return ::CreateFontIndirectA(&lf);
}

} // namespace

namespace vorlan {

void ApplyCellRecord(CGridCtrl& grid, int row, int column, const CellRecord& c, bool buildColumn) {
    grid.SetItemText(row, column, c.text.c_str());
    if (buildColumn)
        grid.ModifyColumnFlags(column, static_cast<WORD>(kColumnFlagMask), static_cast<WORD>(c.columnFlags));
    grid.ModifyRowFlags(row, 0xFF, static_cast<WORD>(c.rowLowByte));
    grid.ModifyRowFlags(row, 0x8000, c.normalRow ? 0x8000 : 0);
    int r = row, col = column;
    grid.SetItemColors(r, col, c.textColour, c.backColour, c.shape);
    UINT state = grid.GetItemState(row, column);
    grid.SetItemState(row, column, c.skip ? state | kCellSkip : state & ~kCellSkip);
    grid.SetItemImage(row, column, c.image);
    if (c.hasHeight) {
        if (c.height > 0)
            grid.SetRowHeight(row, c.height);
        else if (buildColumn)
            grid.SetRowHeight(row, 0);
    }
    grid.ModifyItemStyle(row, column, static_cast<WORD>(c.style),
                         static_cast<WORD>(kCellStyleMask & ~c.style));
    grid.SetItemData(row, column, c.data);
    grid.SetItemExtra(row, column, c.extra);
}

void FillGridRow(CGridCtrl& grid, int row, int first, int last, std::string_view record) {
    grid.EmptyRow(row, first, last);
    std::vector<std::string_view> cells = SplitRowRecord(record);
    for (size_t k = 0; k < cells.size() && first + static_cast<int>(k) <= last; ++k)
        if (!cells[k].empty())
            ApplyCellRecord(grid, row, first + static_cast<int>(k), ParseCellRecord(cells[k]), false);
}

} // namespace vorlan

CGridCtrl* CChildDialog::Grid() const {
    HWND grid = GetDlgItem(kGridId);
    return grid ? dynamic_cast<CGridCtrl*>(CWnd::FromHandlePermanent(grid)) : nullptr;
}

std::vector<int> CChildDialog::GetScrollColumns(int* sum) {
    int most = vorlan::NumberOf(m_session.Execute(gridline::kMaxColumns).str());
    std::vector<int> widths;
    long long total = 0;
    const std::string description = m_strDescription.str();
    for (int n = 1; most <= 0 || n <= most; ++n) {
        std::string record = m_session.Execute(vorlan::ScrollColumnLine(description, n)).str();
        if (record.empty()) break;
        widths.push_back(vorlan::ColumnWidthOf(record));
        total += widths.back();
    }
    // Stray widths must not wrap the form's width round.
    if (sum) *sum = CGridCtrl::CellSize(total);
    return widths;
}

int CChildDialog::CreateScrollField(int rebuild, int firstLine, int lastLine, int leftColumn, int width) {
    vorlan::TraceFunction("CChildDialog::CreateScrollField");
    CGridCtrl* grid = Grid();
    if (rebuild && !grid) return 0;
    CWaitCursor wait;
    CString status;
    status.LoadString(IDS_GRID_LOADING);
    ShowStatus(status);

    const std::string description = m_strDescription.str();
    vorlan::ScrollRecord scroll =
        vorlan::ParseScrollRecord(m_session.Execute(vorlan::ScrollRecordLine(description)).str());
    bool haveGlobal = m_session.Execute(gridline::kGlobalExists) == "1";
    int maxColumns = 0;
    if (haveGlobal) {
        m_nGridHeaderRows = vorlan::HeaderRowsFor(m_session.Execute(gridline::kLowestSubscript).str());
        maxColumns = vorlan::NumberOf(m_session.Execute(gridline::kMaxColumns).str());
        if (!rebuild) {
            int sum = 0;
            std::vector<int> widths = GetScrollColumns(&sum);
            int cells = vorlan::GridWidthInCells(
                width, vorlan::NumberOf(m_session.Execute(gridline::kWidth).str()), sum);
            vorlan::Position p = vorlan::GetPosition(leftColumn ? leftColumn : 2, firstLine + 1, cells, 1, 1,
                                                     vorlan::g_nCharWidthUnit, vorlan::g_nRowHeightUnit);
            CRect r(p.rect.left, p.rect.top, p.rect.right, p.rect.bottom);
            r.bottom += (lastLine - firstLine - 1) * vorlan::g_nRowHeightUnit;
            RaiseLayout(r.right, r.bottom);

            bool click = AfxGetApp()->GetProfileInt("Settings", "DisableClickField", 0) == 0;
            int fontIndex = vorlan::NumberOf(m_session.Execute(gridline::kTakeFont).str());
            FontSetting font = ReadFontSetting(vorlan::GridFontSetting(fontIndex));
            if (fontIndex == -1 && font.name.IsEmpty()) {
                font.name = "Courier New";
                font.scaledSize = 90;
            }
            grid = new CGridCtrl(click ? 1 : 0, font.name.IsEmpty() ? nullptr : font.name.c_str(),
                                 font.scaledSize, 2, scroll.columns, m_nGridHeaderRows, scroll.columns,
                                 vorlan::g_nRowHeightUnit, scroll.fixedColumns, scroll.fixedRows);
            if (!grid->Create(WS_CHILD | WS_VISIBLE | WS_TABSTOP, r, m_hWnd, kGridId)) {
                delete grid;
                ShowStatus("");
                vorlan::WriteProtocol("CChildDialog::CreateScrollField - grid of %s not created",
                                      vorlan::kLogNote, description.c_str());
                return 0;
            }
            if (!m_pGridImages) m_pGridImages = new CBaseMDIMenu(kGridImages);
            grid->SetImageList(m_pGridImages->GetImageList());
            // Printing asks the server for the footer's texts through this form's session.
            grid->SetServerReader([this](const char* line) { return m_session.Execute(line).str(); });
            CGridCtrl::Release(m_pGrid);
            m_pGrid = grid;
            m_stretch.push_back(StretchEntry{kGridId, r});
            SetGridWidth(grid, &widths, static_cast<int>(widths.size()));

            ApplyGridSwitches(grid);
            m_session.Execute(gridline::kKillDragWord);
            std::vector<int> weights =
                vorlan::ColumnWeights(m_session.Execute(gridline::kTakeColumnFonts).str(), scroll.columns);
            for (size_t i = 0; i < weights.size(); ++i)
                if (weights[i])
                    grid->SetColumnFont(static_cast<int>(i), WeightedFont(grid->GetFont(), weights[i]));
        }
    }
    // A new grid needs the server's global to be set up at all.
    if (!grid) {
        ShowStatus("");
        return 0;
    }
    bool drag5 = m_session.Execute(gridline::kDrag5) == "1";
    bool drag6 = m_session.Execute(gridline::kDrag6) == "1";
    grid->SetDragFlags(vorlan::DragOptions(drag5, drag6, m_session.Execute(gridline::kDragSize) == "1"));
    if (rebuild && haveGlobal && maxColumns != 0 && maxColumns != grid->GetColumnCount()) {
        grid->SetColumnCount(maxColumns);
        SetGridWidth(grid, nullptr, maxColumns);
    }
    // Asked for now, before the switches go; sized once the rows are there to size by.
    const bool sizeAuto = m_session.Execute(gridline::kSizeAuto) == "1";
    m_session.Execute(gridline::kKillSwitches);

    // Without the global there is nothing to load: asking for its subscripts would only
    // raise a server error.
    int last = haveGlobal ? vorlan::NumberOf(m_session.Execute(gridline::kHighestSubscript).str())
                          : -m_nGridHeaderRows;
    int first = 1 - m_nGridHeaderRows;
    grid->SetRedraw(false);
    const long long rows = vorlan::GridRowSpan(first, last);
    if (rows > vorlan::kMaxGridRows || !grid->SetRowCount(static_cast<int>(rows))) {
        // A stray subscript would cost memory and a round trip per row: the list stays empty.
        const std::string count = std::to_string(rows);
        vorlan::WriteProtocol("CChildDialog::CreateScrollField - %s rows of %s not loaded", vorlan::kLogNote,
                              count.c_str(), description.c_str());
        grid->SetRowCount(0);
        grid->SetRedraw(true, true);
        ShowStatus("");
        AfxMessageBox(("Die Liste mit " + count + " Zeilen kann nicht geladen werden.").c_str(),
                      MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    {
        // One line a row, each short: the wait dialog times the whole load.
        CLongOperation loading(m_session);
        LoadProgress progress(status.c_str(), first, last);
        for (int i = first; i <= last && ::IsWindow(grid->m_hWnd); ++i) {
            progress.Show(i);
            UpdateScrollRow(grid, i - 1 + m_nGridHeaderRows, 0, -1, false, false);
        }
    }
    if (!::IsWindow(grid->m_hWnd)) return 0;
    if (sizeAuto) grid->AutoSizeColumns();
    grid->SetRedraw(true, true);

    // Remembered, not focused: the grid takes it with the focus, without a server step now.
    if (scroll.selectRow > 0)
        grid->GotoCell(scroll.selectRow - 1 + grid->GetFixedRowCount(), scroll.selectColumn - 1);
    if (scroll.scrollRow > 0) grid->EnsureVisible(scroll.scrollRow - 1 + grid->GetFixedRowCount(), 0);
    ShowStatus("");
    return 1;
}

void CChildDialog::UpdateScrollRow(CGridCtrl* grid, int row, int firstColumn, int lastColumn, bool resize,
                                   bool redraw) {
    if (!grid || row < 0 || row >= grid->GetRowCount()) return;
    int columns = grid->GetColumnCount();
    int last = lastColumn < 0 || lastColumn >= columns ? columns - 1 : lastColumn;
    if (firstColumn < 0 || firstColumn > last) return;
    int heightBefore = grid->GetRowHeight(row);
    std::string record = m_session
                             .Execute(vorlan::GetRowLine(m_strDescription.str(), row + 1 - m_nGridHeaderRows,
                                                         firstColumn + 1, last + 1))
                             .str();
    vorlan::FillGridRow(*grid, row, firstColumn, last, record);
    if (resize) {
        grid->AutoSizeRow(row);
        if (grid->GetRowHeight(row) != heightBefore) {
            ::InvalidateRect(grid->m_hWnd, nullptr, TRUE);
            return;
        }
    }
    if (redraw || resize) grid->RedrawRow(row, firstColumn, last);
}

void CChildDialog::UpdateScrollCell(CGridCtrl* grid, int row, int column, bool buildColumn, bool redraw,
                                    const std::string_view* record) {
    if (!grid) return;
    std::string fetched;
    if (!record) {
        fetched =
            m_session
                .Execute(vorlan::GetCellLine(m_strDescription.str(), row + 1 - m_nGridHeaderRows, column + 1))
                .str();
    }
    vorlan::ApplyCellRecord(*grid, row, column,
                            vorlan::ParseCellRecord(record ? *record : std::string_view(fetched)),
                            buildColumn);
    if (redraw) grid->RedrawCell(row, column);
}

void CChildDialog::UpdateScrollCol(CGridCtrl* grid, int column, int firstRow, int lastRow) {
    if (!grid) return;
    int last = std::min(lastRow, grid->GetRowCount() - 1);
    for (int row = std::max(firstRow, 0); row <= last; ++row)
        UpdateScrollCell(grid, row, column, true, true);
}

void CChildDialog::UpdateScroll(CGridCtrl* grid, int firstColumn, int lastColumn, int firstRow, int lastRow) {
    if (!grid) return;
    if (lastColumn - firstColumn < lastRow - firstRow) {
        for (int column = firstColumn; column <= lastColumn; ++column)
            UpdateScrollCol(grid, column, firstRow, lastRow);
    } else {
        for (int row = firstRow; row <= lastRow; ++row)
            UpdateScrollRow(grid, row, firstColumn, lastColumn, false, true);
    }
}

void CChildDialog::OnGridWidthUndo() {
    CGridCtrl* grid = Grid();
    if (!grid) return;
    grid->SetRedraw(false);
    int sum = 0;
    std::vector<int> widths = GetScrollColumns(&sum);
    for (size_t i = 0; i < widths.size() && static_cast<int>(i) < grid->GetColumnCount(); ++i)
        grid->SetColumnWidth(static_cast<int>(i),
                            CGridCtrl::CellSize(static_cast<long long>(widths[i]) * grid->m_nCharWidth));
    grid->m_bPendingLayout = false;
    grid->m_bSizesChanged = 0;
    grid->ResetScrollBars();
    grid->SetRedraw(true, true);
    SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
}

int CChildDialog::SetColumnWidths(const std::string& text, CGridCtrl* grid) {
    if (!grid) grid = Grid();
    if (!grid) return 0;
    std::vector<int> widths = vorlan::ParseColumnWidths(text, grid->GetColumnCount());
    for (size_t i = 0; i < widths.size(); ++i)
        if (widths[i] >= 0) grid->SetColumnWidth(static_cast<int>(i), widths[i]);
    return grid->GetColumnCount();
}

int CChildDialog::SetGridWidth(CGridCtrl* grid, const std::vector<int>* defaults, int count) {
    if (!grid) return 0;
    std::vector<int> own;
    if (!defaults) {
        own = GetScrollColumns(nullptr);
        defaults = &own;
        count = static_cast<int>(own.size());
    }
    std::string saved = m_session.Execute(vorlan::SavedWidthsLine(m_strDescription.str())).str();
    int result = 0;
    if (saved.empty()) {
        for (int i = 0; i < count && i < static_cast<int>(defaults->size()) && i < grid->GetColumnCount();
             ++i)
            grid->SetColumnWidth(
                i, CGridCtrl::CellSize(static_cast<long long>((*defaults)[static_cast<size_t>(i)]) * grid->m_nCharWidth));
        result = 1;
    } else {
        SetColumnWidths(saved, grid);
    }
    grid->m_bPendingLayout = false;
    return result;
}

bool CChildDialog::TestZLN() {
    CGridCtrl* grid = Grid();
    if (!grid) return false;
    std::string edits = m_session.Execute(gridline::kTakeRowEdits).str();
    grid->SetRedraw(false);
    if (!edits.empty()) {
        int first = vorlan::NumberOf(vorlan::PieceOf(edits, 1).substr(0, 31));
        int count = vorlan::NumberOf(vorlan::PieceOf(edits, 2).substr(0, 31));
        bool insert = vorlan::NumberOf(vorlan::PieceOf(edits, 3).substr(0, 31)) != 0;
        // a count beyond the rows there are deletes only what exists
        for (int k = 0; k < count && ::IsWindow(grid->m_hWnd); ++k) {
            int row = grid->GetFixedRowCount() + first - 1;
            if (insert) {
                if (grid->InsertRow(row) < 0) break;
                UpdateScrollRow(grid, row, 0, -1, true, false);
                ++first;
            } else {
                if (row < grid->GetFixedRowCount() || row >= grid->GetRowCount()) break;
                grid->DeleteRow(row);
            }
        }
    }
    if (m_session.Execute(gridline::kChangedCells) != "1") {
        grid->SetRedraw(true, true);
        return false;
    }
    for (;;) {
        std::string column = m_session.Execute(gridline::kNextChangedColumn).str();
        if (column.empty()) break;
        int k = vorlan::NumberOf(column);
        if (m_session.Execute(gridline::kChangedColumnKind) == "1") {
            if (k > 0) UpdateScrollCol(grid, k - 1, grid->GetFixedRowCount(), grid->GetRowCount() - 1);
            continue;
        }
        for (;;) {
            std::string row = m_session.Execute(gridline::kNextChangedRow).str();
            if (row.empty()) break;
            int gridRow = vorlan::NumberOf(row) - 1 + grid->GetFixedRowCount();
            if (k == 0)
                UpdateScrollRow(grid, gridRow, 0, -1, true, true);
            else
                UpdateScrollCell(grid, gridRow, k - 1, false, true);
        }
    }
    m_session.Execute(gridline::kKillChanged);
    grid->SetRedraw(true, true);
    return true;
}

void CChildDialog::RefreshGridGroups(const char* text) {
    CGridCtrl* grid = Grid();
    if (!grid) return;
    std::string list = text;
    const int fixed = grid->GetFixedRowCount();
    for (int g = 0;; ++g) {
        auto piece = [&](int n) { return vorlan::NumberOf(vorlan::PieceOf(list, g * 4 + n).substr(0, 127)); };
        if (vorlan::PieceOf(list, g * 4 + 1).empty() && vorlan::PieceOf(list, g * 4 + 3).empty()) break;
        int row1 = piece(1) - 1 + fixed, row2 = piece(2) - 1 + fixed;
        int col1 = piece(3) - 1, col2 = piece(4) - 1;
        if (col1 < 0 || row1 < 0) break;
        UpdateScroll(grid, col1, std::min(col2, grid->GetColumnCount() - 1), row1,
                     std::min(row2, grid->GetRowCount() - 1));
    }
    grid->UpdateWindow();
}

void CChildDialog::ApplyServerWidths() {
    CGridCtrl* grid = Grid();
    if (!grid) return;
    std::string widths = m_session.Execute(gridline::kNewWidths).str();
    if (!widths.empty()) {
        grid->SetRedraw(false);
        SetColumnWidths(widths, grid);
        grid->AutoSizeRows();
        grid->SetRedraw(true, true);
    }
    if (m_session.Execute(gridline::kTakeAutoSize) == "1") grid->AutoSizeColumns();
}

void CChildDialog::SaveScrollPos() {
    CGridCtrl* grid = Grid();
    if (!grid) return;
    const std::string key = m_strDescription.str();
    m_session.Execute(vorlan::KillSavedWidthsLine(key));
    std::vector<int> widths;
    for (int i = 0; i < grid->GetColumnCount(); ++i)
        widths.push_back(grid->GetColumnWidth(i));
    std::vector<std::string> chunks = vorlan::ColumnWidthChunks(widths);
    for (size_t k = 0; k < chunks.size(); ++k)
        m_session.Execute(vorlan::SaveWidthChunkLine(key, static_cast<int>(k), chunks[k]));
}

void CChildDialog::DestroyGridObjects() {
    CGridCtrl::Release(m_pGrid);
    m_pGrid = nullptr;
    delete m_pGridImages;
    m_pGridImages = nullptr;
}

void CChildDialog::ResetGridSelection() {
    if (CGridCtrl* grid = Grid()) grid->m_idRemembered = CCellID(-1, -1);
}

bool CChildDialog::GridSizesChanged() const {
    CGridCtrl* grid = Grid();
    return grid && grid->m_bSizesChanged != 0;
}

void CChildDialog::ApplyGridSwitches(CGridCtrl* grid) {
    grid->SetDragAndDrop(m_session.Execute(gridline::kDragAndDrop) == "1");
    grid->SetListMode(m_session.Execute(gridline::kListMode) == "1");
    grid->SetContextMenu(m_session.Execute(gridline::kRightClickCopy) != "1");
    int marks = vorlan::NumberOf(m_session.Execute(gridline::kMarkSelection).str());
    grid->SetFocusRowMode((marks & 1) != 0);
    grid->SetWholeRow((marks & 2) != 0);
    grid->SetEditable(m_session.Execute(gridline::kEdit) == "1");
    grid->SetFillLastColumn(m_session.Execute(gridline::kAutoSize) == "1");
    std::string lines = m_session.Execute(gridline::kGridLines).str();
    if (!lines.empty()) {
        int mode = vorlan::NumberOf(lines);
        grid->SetGridLines(mode < 0 ? 0 : std::min(mode, 3));
    }
}

bool CChildDialog::CheckGridCells() {
    CGridCtrl* grid = Grid();
    if (!grid) return true;
    vorlan::GridCheck check = vorlan::ParseGridCheck(m_session.Execute(gridline::kCheckCells).str());
    if (!check.failed) {
        m_session.Execute(gridline::kKillHeaderRow);
        return true;
    }
    ::LockWindowUpdate(nullptr);
    if (check.row > 0)
        grid->SendMessage(WM_USER, static_cast<WPARAM>(check.row - 1 + grid->GetFixedRowCount()),
                          check.column - 1);
    if (!check.message.empty()) AfxMessageBox(check.message.c_str(), MB_OK | MB_ICONEXCLAMATION);
    return false;
}
