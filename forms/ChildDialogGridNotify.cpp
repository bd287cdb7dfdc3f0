// What the form's grid reports: each notification becomes a call of the server's grid
// routines, and the answer drives the grid, the form and the frame. Also the grid's commands
// of the frame (print preview, picture copy, widths).
#include "forms/ChildDialog.h"

#include "app/ProtocolLog.h"
#include "app/ReplyFields.h"
#include "app/Session.h"
#include "controls/GridCtrl.h"
#include "forms/FormGlobals.h"
#include "forms/GridLogic.h"
#include "framework/App.h"
#include "framework/Frame.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"

#include <commctrl.h>

#include <cstring>

namespace line = vorlan::line;
namespace gridline = vorlan::gridline;

namespace {

constexpr UINT kGridId = 0x1800;
constexpr int kGridListField = 0xC000; // the list belongs to the grid's focus cell
constexpr int kF6Index = 1, kF7Index = 2;

// The form commands a cell save's %SC closes the step with, by its second character.
UINT ClosingCommand(const std::string& sc) {
    if (sc.size() < 2) return 0;
    switch (sc[1]) {
    case '0': return 0x800E;
    case '1': return 0x800F;
    case '2': return 0x800D;
    case '3': return 0x800C;
    default: return 0;
    }
}

// The MDI child frame that holds the window (the window itself or one of its parents), or
// none (a modal frame's form).
HWND MdiChildOf(HWND window) {
    HWND desktop = ::GetDesktopWindow();
    for (HWND w = window; w && w != desktop && ::IsWindow(w); w = ::GetAncestor(w, GA_PARENT))
        if (dynamic_cast<CMDIChildWnd*>(CWnd::FromHandlePermanent(w))) return w;
    return nullptr;
}

// The cell range an answer of $$DRAG^QCD or $$ENTER^QCD names, into the record.
void WriteRange(NM_GRIDVIEW* record, const std::string& answer, int fixedRows) {
    record->iRow = vorlan::NumberOf(vorlan::PieceOf(answer, 1)) - 1 + fixedRows;
    record->iRow2 = vorlan::NumberOf(vorlan::PieceOf(answer, 2)) - 1 + fixedRows;
    record->iColumn = vorlan::NumberOf(vorlan::PieceOf(answer, 3)) - 1;
    record->iColumn2 = vorlan::NumberOf(vorlan::PieceOf(answer, 4)) - 1;
}

} // namespace

LRESULT CChildDialog::OnNotify(WPARAM wParam, LPARAM lParam) {
    auto* header = reinterpret_cast<NMHDR*>(lParam);
    if (!header) return 0;
    if (m_hToolTip && header->hwndFrom == m_hToolTip) {
        if (header->code == TTN_GETDISPINFOA) {
            ::SendMessageA(m_hToolTip, TTM_SETMAXTIPWIDTH, 0, 300);
            auto* info = reinterpret_cast<NMTTDISPINFOA*>(lParam);
            info->szText[0] = '\0';
            info->lpszText = info->szText;
        }
        return 0;
    }
    if (header->idFrom != kGridId) return CChildForm::WindowProc(WM_NOTIFY, wParam, lParam);
    return OnGridNotify(reinterpret_cast<NM_GRIDVIEW*>(lParam));
}

std::string CChildDialog::GridCellText(int row, int column) {
    CGridCtrl* grid = Grid();
    return grid ? grid->GetItemText(row, column).str() : std::string();
}

LRESULT CChildDialog::OnGridNotify(NM_GRIDVIEW* record) {
    CGridCtrl* grid = Grid();
    if (!grid) return 0;
    m_nCurrentField = m_nFields + 1;
    const int fixedRows = grid->GetFixedRowCount();
    const int code = static_cast<int>(record->hdr.code);
    int c = record->iColumn + 1;
    int r = record->iRow - fixedRows + 1;
    if (code == 15) {
        c = static_cast<int>(record->lValue) + 1;
        r = record->iRow2 - fixedRows + 1;
    } else if (code == 16) {
        c = record->iColumn2 + 1;
        r = static_cast<int>(record->lValue) - fixedRows + 1;
    }
    if (code > 19 || code == 5 || code == 6) return OnGridRows(record, r);

    switch (code) {
    case 1: return OnGridDrag(record, c, r);
    case 2: return OnGridDropCell(record, c, r);
    case 3: return OnGridDropped(record);
    case 4: return m_session.Execute(vorlan::EditClickLine(c)).IsEmpty() ? 1 : 0;
    case 7: {
        std::string a =
            m_session.Execute(vorlan::CellLeftLine(r, c, GridCellText(record->iRow, record->iColumn))).str();
        if (vorlan::PieceOf(a, 3) == "1") return 0;
        ShowStatus(vorlan::PieceOf(a, 2).c_str());
        if (vorlan::PieceOf(a, 4) == "1") {
            UpdateContents();
            TestZLN();
        }
        return 1;
    }
    case 8: return OnGridCellFocus(record, c, r);
    case 9: {
        std::string a =
            m_session.Execute(vorlan::TablesLine(c, GridCellText(record->iRow, record->iColumn))).str();
        if (a.empty()) {
            SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
        } else {
            OpenPopupList(a, kGridListField);
        }
        return 1;
    }
    case 10: {
        std::string a = m_session.Execute(vorlan::EnterLine(c, r)).str();
        if (a.empty()) return 0;
        WriteRange(record, a, fixedRows);
        return 1;
    }
    case 11:
    case 18: {
        std::string a =
            m_session.Execute(code == 11 ? vorlan::ClickLine(c, r) : vorlan::RightClickLine(c, r)).str();
        if (a.empty()) return code == 11 ? 0 : 1;
        return OnGridClickAnswer(record, a, c, r);
    }
    case 12: return OnGridCellSave(record, c, r);
    case 13: return OnGridCellKey(c, r);
    case 14: return OnGridInfo(record, c, r);
    case 15:
    case 16: {
        bool done = !m_session.Execute(vorlan::SizeLine(c, r)).IsEmpty();
        return AfterGridChange(record, done, false);
    }
    case 17: return 1;
    case 19: return m_nFormId > 0xC000 || IsActiveFrame() ? 1 : 0;
    default: return 0;
    }
}

LRESULT CChildDialog::OnGridDrag(NM_GRIDVIEW* record, int c, int r) {
    std::string a = m_session.Execute(vorlan::DragLine(c, r)).str();
    if (a.empty()) return 0;
    std::string message = vorlan::PieceOf(a, 5);
    if (!message.empty()) {
        AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
        return 0;
    }
    CGridCtrl* grid = Grid();
    WriteRange(record, a, grid ? grid->GetFixedRowCount() : 0);
    return 1;
}

bool CChildDialog::ActivateForDrop() {
    if (m_session.Execute(line::kCurrentDialog) == m_strFormName) return false;
    HWND frame = Frame();
    ::SendMessageA(frame, WM_ACTIVATE, reinterpret_cast<WPARAM>(::GetTopWindow(frame)), 0);
    return true;
}

LRESULT CChildDialog::OnGridDropCell(NM_GRIDVIEW* record, int c, int r) {
    bool activated = ActivateForDrop();
    std::string a = m_session.Execute(vorlan::DropCellLine(c, r)).str();
    if (!a.empty()) {
        int q = vorlan::NumberOf(vorlan::PieceOf(a, 2));
        if (q == 0) return AfterGridChange(record, false, activated);
        std::string question = vorlan::PieceOf(a, 1);
        int answer =
            AfxMessageBox(question.c_str(), q == 1 ? MB_OK | MB_ICONINFORMATION : MB_YESNO | MB_ICONQUESTION);
        if (q == 1 || answer != IDYES) return AfterGridChange(record, false, activated);
        m_session.Execute(vorlan::DropCellYesLine(r));
    }
    CGridCtrl* grid = Grid();
    if (!grid) return 0;
    NM_GRIDVIEW enter = *record;
    enter.hdr.code = 10;
    enter.iRow = vorlan::NumberOf(m_session.Execute(gridline::kDropRow).str()) - 1 + grid->GetFixedRowCount();
    enter.iColumn = vorlan::NumberOf(m_session.Execute(gridline::kDropColumn).str()) - 1;
    SendMessage(WM_NOTIFY, kGridId, reinterpret_cast<LPARAM>(&enter));
    if (!m_hWnd) return 0;
    return AfterGridChange(&enter, true, activated);
}

void CChildDialog::RefreshGridRange(const NM_GRIDVIEW* record) {
    CGridCtrl* grid = Grid();
    if (!grid || record->iRow < 0) return;
    int firstColumn = record->iColumn < 0 ? grid->GetFixedColumnCount() : record->iColumn;
    int lastColumn = record->iColumn2 < 0 ? grid->GetColumnCount() - 1 : record->iColumn2;
    int lastRow = std::max(record->iRow, record->iRow2);
    UpdateScroll(grid, firstColumn, std::min(lastColumn, grid->GetColumnCount() - 1), record->iRow,
                 std::min(lastRow, grid->GetRowCount() - 1));
}

LRESULT CChildDialog::OnGridDropped(NM_GRIDVIEW* record) {
    ActivateForDrop();
    std::string a = m_session.Execute(gridline::kDropAnswer).str();
    if (record->iRow >= 0 && a.empty()) RefreshGridRange(record);
    if (CGridCtrl* grid = Grid()) ::InvalidateRect(grid->m_hWnd, nullptr, TRUE);
    TestforEvent(0xFFFF);
    // The header names the form that took the drop (or, as in other notifications, a grid):
    // its frame comes to the front, which the drag itself never activated.
    if (HWND frame = MdiChildOf(record->hdr.hwndFrom))
        ::SendMessageA(::GetParent(frame), WM_MDIACTIVATE, reinterpret_cast<WPARAM>(frame), 0);
    return 1;
}

LRESULT CChildDialog::AfterGridChange(NM_GRIDVIEW* record, bool done, bool activated) {
    if (done) {
        if (m_session.Execute(line::kTakeRebuild) == "1")
            CreateControls(1);
        else
            RefreshGridRange(record);
    }
    if (!m_hWnd) return 0;
    if (activated)
        if (CGridCtrl* grid = Grid()) ::InvalidateRect(grid->m_hWnd, nullptr, TRUE);
    TestforEvent(0xFFFF);
    return done ? 1 : 0;
}

LRESULT CChildDialog::OnGridCellKey(int c, int r) {
    const std::string screen = m_strDescription.str();
    std::string key = m_session.Execute(vorlan::CellKeyLine(screen, "SZ")).str();
    if (key.empty()) key = m_session.Execute(vorlan::CellKeyLine(screen, "S" + std::to_string(c))).str();
    if (key.empty()) key = m_session.Execute(vorlan::CellKeyLine(screen, "Z" + std::to_string(r))).str();
    if (key.empty()) return 0;
    HandleFKey(key, static_cast<UINT>(c - 1), 1);
    if (!m_hWnd) return 1;
    TestforEvent(0xFFFF);
    return 1;
}

LRESULT CChildDialog::OnGridCellFocus(NM_GRIDVIEW* record, int c, int r) {
    const std::string text = GridCellText(record->iRow, record->iColumn);
    std::string a = m_session.Execute(vorlan::CellFocusLine(r, c, text, false)).str();
    std::string pending = m_session.Execute(line::kTakeFocusAction).str();
    if (!pending.empty()) {
        ExecuteDDN(pending.c_str());
        if (!m_hWnd) return 0;
        if (CGridCtrl* grid = Grid()) ::SetFocus(grid->m_hWnd);
        a = m_session.Execute(vorlan::CellFocusLine(r, c, text, true)).str();
    }
    TestforEvent(1);
    if (!m_hWnd) return 0;
    CGridCtrl* grid = Grid();
    if (grid && a != GridCellText(record->iRow, record->iColumn)) {
        grid->SetItemText(record->iRow, record->iColumn, a.c_str());
        grid->RedrawCell(record->iRow, record->iColumn);
    }
    if (m_session.Execute(line::kTakeRebuild) == "1") {
        UpdateContents();
        TestZLN();
    }
    return m_session.Execute(gridline::kTable).IsEmpty() ? 0 : 1;
}

LRESULT CChildDialog::OnGridClickAnswer(NM_GRIDVIEW* record, const std::string& answer, int c, int r) {
    if (answer == "\xA7" || answer == "\xA7\xA7\xA7") {
        CreateScrollField(1, 0, 0, 0, 0);
        if (!m_hWnd || answer.size() == 3) return 0;
    } else if (CGridCtrl* grid = Grid()) {
        grid->SetItemText(record->iRow, record->iColumn, answer.c_str());
        grid->RedrawCell(record->iRow, record->iColumn);
    }
    record->lValue = 13;
    return OnGridCellSave(record, c, r);
}

LRESULT CChildDialog::OnGridCellSave(NM_GRIDVIEW* record, int c, int r) {
    const int key = static_cast<int>(record->lValue);
    const int row = record->iRow, column = record->iColumn;
    int p1 = (record->iExtra & 0xFFFF) + 1;
    int p2 = (record->iExtra >> 16 & 0xFFFF) ? (record->iExtra >> 16 & 0xFFFF) + 1 : p1;
    std::string a =
        m_session.Execute(vorlan::CellSaveLine(key == 13, p1, p2, r, c, GridCellText(row, column))).str();
    UpdateScrollRow(Grid(), row, 0, -1, false, true);
    const bool refused = vorlan::PieceOf(a, 3) == "1";
    if (!refused && !TestforEvent(0xFFFF)) return 0;
    if (!m_hWnd) return 0;
    if (key == 0) return refused ? 0 : 1;

    std::string subDialog = vorlan::PieceOf(a, 6), list = vorlan::PieceOf(a, 5);
    if ((key == VK_DOWN || key == VK_RIGHT || key == 13) && (!subDialog.empty() || !list.empty())) {
        if (subDialog.empty()) {
            OpenPopupList(list, kGridListField);
            return 0;
        }
        while (!subDialog.empty()) {
            if (CallSubDialog(subDialog.c_str(), 0, 0) == 0x800F) {
                if (!m_session.Execute(line::kAction).IsEmpty()) m_session.Execute(line::kRunAction);
                if (m_session.Execute(line::kTakeRebuild) == "1") CreateControls(1);
            } else {
                TestABLF3();
                if (m_hWnd)
                    ::SetWindowPos(Frame(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
                m_session.Execute(line::kKillSubDialog);
            }
            if (!m_hWnd) return 0;
            CGridCtrl* grid = Grid();
            if (m_session.Execute(gridline::kTakeCellsOnly) == "1") {
                for (int k = 0; grid && k < grid->GetColumnCount(); ++k)
                    UpdateScrollCell(grid, row, k, false, true);
            } else {
                UpdateScrollRow(grid, row, 0, -1, false, true);
            }
            subDialog = m_session.Execute(line::kTakeSubDialog).str();
        }
        SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
    } else {
        if (!vorlan::PieceOf(a, 4).empty() && !TestZLN()) CreateControls(1);
        if (!m_hWnd) return 0;
        if (refused) {
            std::string message = vorlan::PieceOf(a, 2);
            if (!message.empty()) AfxMessageBox(message.c_str(), MB_OK | MB_ICONEXCLAMATION);
            SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
        } else {
            std::string info = vorlan::PieceOf(a, 7);
            if (!info.empty())
                AfxMessageBox(info.c_str(), MB_OK | MB_ICONINFORMATION);
            else
                ShowStatus(vorlan::PieceOf(a, 2).c_str());
        }
    }
    if (!m_hWnd) return 0;
    if (key & 0xC000) SendMessage(WM_KEYDOWN, static_cast<WPARAM>(key), 0);
    if (!m_hWnd) return 0;
    if (m_session.Execute(gridline::kLeaveExists) == "1") {
        if (UINT command = ClosingCommand(m_session.Execute(line::kClosingKey).str()))
            ::PostMessageA(Frame(), WM_COMMAND, command, 0);
    }
    ApplyCursorPosition(m_session.Execute(line::kTakeCaretRequest).str());
    return refused ? 0 : 1;
}

void CChildDialog::ApplyCursorPosition(const std::string& answer) {
    CGridCtrl* grid = Grid();
    if (answer.empty() || !grid) return;
    vorlan::CursorPosition p = vorlan::ParseCursorPosition(answer);
    if (p.p[2] != 0) grid->SetFocusCell(p.p[2] - 1, p.p[3] - 1);
    m_nCurrentField = EnableEdits(m_nFields + 1);
    grid->SendMessage(WM_USER, static_cast<WPARAM>(p.p[1]), p.p[0]);
}

LRESULT CChildDialog::OnGridRows(NM_GRIDVIEW* record, int r) {
    const int code = static_cast<int>(record->hdr.code);
    if (m_session.Execute(gridline::kRowEditing) != "1") return 0;
    if (code != 5 && code != 6) return 1;
    const LPARAM key = record->lValue;
    if (code == 6) {
        if (m_session.Execute(gridline::kRowDeleting) != "1") return 0;
        if (key == VK_F7 && !m_keys[kF7Index].empty()) return 0;
        if (!m_session.Execute(vorlan::DeleteRowLine(r)).IsEmpty()) return 1;
        TestZLN();
        CGridCtrl* grid = Grid();
        if (grid && grid->GetRowCount() == grid->GetFixedRowCount()) {
            m_session.Execute(vorlan::InsertRowLine(r));
            TestZLN();
        }
    } else {
        if (m_session.Execute(gridline::kRowInserting) != "1") return 0;
        if (key == VK_F6 && !m_keys[kF6Index].empty()) return 0;
        int most = vorlan::NumberOf(m_session.Execute(gridline::kMaxRows).str());
        if (most != 0 && r >= most) return 0;
        if (!m_session.Execute(vorlan::InsertRowLine(r)).IsEmpty()) return 0;
        TestZLN();
    }
    if (m_hWnd) SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
    return 1;
}

LRESULT CChildDialog::OnGridInfo(NM_GRIDVIEW* record, int c, int r) {
    if (m_session.Execute(line::kCurrentDialog) != m_strFormName) return 0;
    std::string a = m_session.Execute(vorlan::InfoLine(c, r)).str();
    auto* buffer = reinterpret_cast<char*>(record->lValue);
    size_t capacity = record->iExtra > 0 ? static_cast<size_t>(record->iExtra) : 0;
    if (!buffer || capacity == 0) return 1;
    size_t n = std::min(a.size(), capacity - 1);
    std::memcpy(buffer, a.data(), n);
    buffer[n] = '\0';
    return 1;
}

LRESULT CChildDialog::OnGridCommand(UINT id) {
    CGridCtrl* grid = Grid();
    if (!grid) return 0;
    switch (id) {
    case ID_GRID_PRINT: {
        std::string right = m_session.Execute(gridline::kTitleRight).str();
        std::string centre = m_session.Execute(gridline::kTitleCentre).str();
        std::string left = m_session.Execute(gridline::kTitleLeft).str();
        grid->PrintPreview(left.c_str(), centre.c_str(), right.c_str());
        break;
    }
    case ID_GRID_COPY: grid->CopyMetafileToClipboard(); break;
    case ID_GRID_WIDTH_UNDO: OnGridWidthUndo(); break;
    case ID_GRID_WIDTH_FIT: grid->AutoSizeColumns(); break;
    default: break;
    }
    return 1;
}
