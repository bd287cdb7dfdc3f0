// The form's grid in the real main frame against the demo application on the fixture's
// dbserver: GRD and GRL loaded from the server, and the form's answers to what its grid
// reports, sent as the grid sends them.
#include "app/Session.h"
#include "common/MQuote.h"
#include "controls/GridCtrl.h"
#include "forms/FormDecor.h"
#include "forms/ListTab.h"
#include "framework/OleDragDrop.h"
#include "resources/MainFrameIds.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/frame/MenuDriver.h"
#include "tests/harness/Person.h"

#include <commctrl.h>

#include <atomic>
#include <cstring>
#include <string>
#include <thread>

using demotrace::CountOf;
using demotrace::Has;

namespace {

const std::string S = "\xA7";

class GridFormTest : public FormServerTestBase {
  protected:
    // Every entry since the last look: a grid's load leaves more than one reading carries.
    Lines Trace() {
        Lines all;
        for (Lines part; !(part = FormServerTestBase::Trace()).empty();)
            all.insert(all.end(), part.begin(), part.end());
        return all;
    }
    void TearDown() override {
        Once("K ^QGRD(\"KOPF\"),^QGRD(\"FOCUS\"),^QGRD(\"CLICK\"),^QM(\"GRD\",0,\"GRID\",\"TEST\")");
        Once("K ^QGRD(\"ZEILEN\"),^QGRD(\"LANGSAM\")");
        Once("K ^QM(\"GRL\",0,\"GRID\",\"TEST\"),^QM(\"GRL\",0,\"GRID\",\"QCD\",\"DROPA\")");
        FormServerTestBase::TearDown();
    }
    CGridCtrl* OpenGrid(const char* memo) {
        LogIn();
        Trace();
        StartMemo(memo);
        return Form() ? Form()->Grid() : nullptr;
    }
    // What the grid sends its form; returns the form's answer.
    LRESULT Notify(int code, int row, int column, int row2 = -1, int column2 = -1, LPARAM value = 0,
                   NM_GRIDVIEW* out = nullptr) {
        CGridCtrl* grid = Form()->Grid();
        NM_GRIDVIEW record{};
        record.hdr.hwndFrom = grid->m_hWnd;
        record.hdr.idFrom = 0x1800;
        record.hdr.code = static_cast<UINT>(code);
        record.iRow = row;
        record.iColumn = column;
        record.iRow2 = row2;
        record.iColumn2 = column2;
        record.lValue = value;
        LRESULT result = Form()->SendMessage(WM_NOTIFY, 0x1800, reinterpret_cast<LPARAM>(&record));
        harness::Pump();
        if (out) *out = record;
        return result;
    }
    // An edit of a cell ended with the key, the caret at position 1..2 of the text.
    LRESULT EndEdit(int row, int column, const char* text, int key) {
        Form()->Grid()->SetItemText(row, column, text);
        CGridCtrl* grid = Form()->Grid();
        NM_GRIDVIEW record{};
        record.hdr.hwndFrom = grid->m_hWnd;
        record.hdr.idFrom = 0x1800;
        record.hdr.code = 12;
        record.iRow = row;
        record.iColumn = column;
        record.iExtra = 1 | 2 << 16;
        record.lValue = key;
        LRESULT result = Form()->SendMessage(WM_NOTIFY, 0x1800, reinterpret_cast<LPARAM>(&record));
        harness::Pump();
        return result;
    }
    std::string Cell(int row, int column) { return Form()->Grid()->GetItemText(row, column).str(); }
    // The centre of a cell, in the grid's client coordinates.
    static LPARAM CellPoint(CGridCtrl* grid, int row, int column) {
        RECT r{};
        grid->GetCellRect(row, column, &r);
        return MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
    }
    // The screen as it is, among the build's artefacts (VORLAN_ARTIFACTS).
    static void SaveAsShown(const char* name) {
        char folder[MAX_PATH];
        if (!GetEnvironmentVariableA("VORLAN_ARTIFACTS", folder, sizeof folder)) return;
        CreateDirectoryA(folder, nullptr);
        EXPECT_TRUE(harness::SaveScreen(std::string(folder) + "\\" + name));
    }
    static POINT CellCentreOf(CGridCtrl* grid, int row, int column) {
        LPARAM at = CellPoint(grid, row, column);
        return POINT{LOWORD(at), HIWORD(at)};
    }
    // Escapes any menu that opens, so that a test never waits on one.
    static void CloseMenus(HWND owner) {
        MenuDriver::Start(
            owner, [](const std::vector<HMENU>& open) -> UINT { return open.empty() ? 0 : VK_ESCAPE; });
    }
};

// Whether the grid fetched row `row` of GRL, whole or by its cells.
bool Fetched(const Lines& trace, int row) {
    const std::string r = "\"GRL\"," + std::to_string(row) + ",";
    for (const std::string& entry : trace)
        if (entry.rfind("GETROW^QCC(" + r, 0) == 0 || entry.rfind("GETCELL^QCC(" + r, 0) == 0) return true;
    return false;
}

// Drags end here without dropping anywhere; the count tells whether one began.
int g_drags = 0;
DROPEFFECT NoDrop(IDataObject*, COleDropSource*, DROPEFFECT) {
    ++g_drags;
    return DROPEFFECT_NONE;
}

} // namespace

TEST_F(GridFormTest, LeistungenLoadsEveryRowOnceFromTheMenu) {
    LogIn();
    Trace();
    HTREEITEM examples = FindItem("Beispiele");
    ASSERT_NE(examples, nullptr);
    frame->GetMenuTree().GetTreeCtrl().Expand(examples, TVE_EXPAND);
    harness::Pump();
    Open("Leistungen [GRD]");
    ASSERT_NE(Form(), nullptr);
    CGridCtrl* grid = Form()->Grid();
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(GetDlgCtrlID(grid->m_hWnd), 0x1800);
    EXPECT_EQ(grid->GetRowCount(), 2001) << "one header row and 2,000 data rows";
    EXPECT_EQ(grid->GetColumnCount(), 6);
    EXPECT_EQ(grid->GetFixedRowCount(), 1);
    EXPECT_EQ(grid->GetFixedColumnCount(), 1);
    EXPECT_EQ(Cell(0, 2), "Menge");
    EXPECT_EQ(Cell(1, 0), "1");
    EXPECT_EQ(Cell(1, 1), "Hausbesuch");
    EXPECT_EQ(Cell(2000, 4), "offen");
    EXPECT_EQ(grid->GetColumnWidth(1), 20 * grid->m_nCharWidth) << "width of its column record";

    Lines trace = Trace();
    EXPECT_EQ(CountOf(trace, "SCR^QCC(\"GRD\")"), 1);
    int rows = 0;
    for (const std::string& entry : trace)
        if (entry.rfind("GETROW^QCC(\"GRD\",", 0) == 0) ++rows;
    EXPECT_EQ(rows, 2001) << "one call a row, no call a cell";
    EXPECT_TRUE(Has(trace, "GETROW^QCC(\"GRD\",0,1,6)"));
    EXPECT_TRUE(Has(trace, "GETROW^QCC(\"GRD\",2000,1,6)"));
    EXPECT_FALSE(Has(trace, "GETROW^QCC(\"GRD\",2001,1,6)"));
    for (const std::string& entry : trace)
        EXPECT_EQ(entry.find("GETCELL^QCC"), std::string::npos) << entry;

    char folder[MAX_PATH];
    if (GetEnvironmentVariableA("VORLAN_ARTIFACTS", folder, sizeof folder)) {
        CreateDirectoryA(folder, nullptr);
        harness::Pump();
        EXPECT_TRUE(harness::SaveScreen(std::string(folder) + "\\grid-leistungen.png"));
    }
}

TEST_F(GridFormTest, StartEntryAndHeaderRowsFromTheLowestSubscript) {
    Once("S ^QGRD(\"KOPF\")=3");
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetRowCount(), 2003) << "subscripts -2 to 2000";
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "GETROW^QCC(\"GRD\",-2,1,6)")) << "loading starts at the lowest subscript";
    EXPECT_FALSE(Has(trace, "GETROW^QCC(\"GRD\",-3,1,6)"));
    EXPECT_EQ(Cell(0, 1), "Kopf 1");
    EXPECT_EQ(Cell(2, 1), "Leistung");
    EXPECT_EQ(Cell(3, 1), "Hausbesuch") << "server row 1 is the first row after the headers";
}

TEST_F(GridFormTest, AStrayHighSubscriptIsRefusedWithAMessageInsteadOfLoaded) {
    Once("S ^QM(\"GRD\",0,\"GRID\",\"TEST\")=\"S ^QGRD($J,99999999999)=\"\"x\"\"\"");
    fw::TestMode::ClearShown();
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetRowCount(), 0);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Die Liste mit 2147483648 Zeilen kann nicht geladen werden.");
    for (const std::string& entry : Trace())
        EXPECT_EQ(entry.rfind("GETROW^QCC(", 0), std::string::npos) << entry;
}

TEST_F(GridFormTest, MostColumnsAndTheWidthFallback) {
    Once("S ^QM(\"GRD\",0,\"GRID\",\"TEST\")=\"S %SCRB(\"\"MCOL\"\")=3,%SCRB=150\"");
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "SCROLL^QCC(\"GRD\",3)"));
    EXPECT_FALSE(Has(trace, "SCROLL^QCC(\"GRD\",4)")) << "MCOL 3 reads at most three column records";
    EXPECT_EQ(CountOf(trace, "SCROLL^QCC(\"GRD\",1)"), 1) << "the widths read once serve as the defaults";
    // Width 0 in the form record and %SCRB 150: as wide as the three columns read plus 2 cells.
    vorlan::Position p = vorlan::GetPosition(2, 8, 5 + 20 + 6 + 2, 1, 1, 7, 20);
    CRect r;
    GetWindowRect(grid->m_hWnd, &r);
    EXPECT_EQ(r.Width(), p.rect.right - p.rect.left);
}

TEST_F(GridFormTest, CellSaveSendsTheCaretAndFetchesTheRowAgain) {
    ASSERT_NE(OpenGrid("GRD"), nullptr);
    Trace();
    EXPECT_EQ(EndEdit(3, 2, "12", 13), 1);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "PRS^QCC(3,3,12) CR 2,3")) << "%CR with Return and the caret as %PP(\"CHARPOS\")";
    EXPECT_TRUE(Has(trace, "GETROW^QCC(\"GRD\",3,1,6)")) << "the row is fetched again";
    EXPECT_EQ(Server("W $P(^QGRD($J,3),$C(167),2)"), "12");
    EXPECT_EQ(Cell(3, 2), "12");
    EXPECT_EQ(StatusPane(0), "Zeile 3 gespeichert.");

    // A tab ends without %CR; a quote and a TAB reach the server as the grid escapes them.
    EXPECT_EQ(EndEdit(4, 5, "5\" \tlang", VK_TAB), 1);
    trace = Trace();
    EXPECT_TRUE(Has(trace, "PRS^QCC(4,6,\"5\xFF \tlang\") 2,3")) << "the quote as $C(255), the TAB as itself";
    EXPECT_EQ(Server("W $P(^QGRD($J,4),$C(167),5)"), "5\" \tlang");
}

// Keys go through the program's own loop: its filter first, then translated to characters.
void PressKeys(std::initializer_list<UINT> keys) {
    for (UINT key : keys) {
        HWND focus = ::GetFocus();
        ASSERT_NE(focus, nullptr) << "no window takes key " << key;
        ::PostMessageA(focus, WM_KEYDOWN, key, 1);
        ::PostMessageA(focus, WM_KEYUP, key, 1 | 0xC0000000);
        for (int round = 0; round < 3; ++round) {
            MSG m;
            while (::PeekMessageA(&m, nullptr, 0, 0, PM_REMOVE)) {
                if (m.message == WM_QUIT) continue;
                if (AfxGetApp()->PreTranslateMessage(&m)) continue;
                ::TranslateMessage(&m);
                ::DispatchMessageA(&m);
            }
            harness::Pump();
        }
    }
}

TEST_F(GridFormTest, TypingIntoAFocusedCellSavesItWithReturn) {
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    grid->SendMessage(WM_USER, 5, 2);
    harness::Pump();
    ASSERT_EQ(::GetFocus(), grid->m_hWnd);
    ASSERT_EQ(grid->GetFocusCell(), CCellID(5, 2));
    EXPECT_EQ(vorlan::g_nFocusKind, 4) << "the frame's edit commands and F6/F7 see the grid";
    Trace();
    PressKeys({'4', '2'});
    HWND edit = ::GetFocus();
    ASSERT_NE(edit, grid->m_hWnd) << "typing opens the cell's in-place edit";
    EXPECT_EQ(::GetParent(edit), grid->m_hWnd);
    EXPECT_EQ(fw::WindowText(edit), "42");
    PressKeys({VK_RETURN});
    EXPECT_FALSE(::IsWindow(edit)) << "Return ends the edit";
    Lines trace = Trace();
    int saves = 0;
    for (const std::string& entry : trace)
        if (entry.rfind("PRS^QCC(5,3,42) CR", 0) == 0) ++saves;
    EXPECT_EQ(saves, 1) << "saved once, with %CR";
    EXPECT_TRUE(Has(trace, "GETROW^QCC(\"GRD\",5,1,6)")) << "the row is fetched again";
    EXPECT_EQ(Server("W $P(^QGRD($J,5),$C(167),2)"), "42");
    EXPECT_EQ(Cell(5, 2), "42");
}

TEST_F(GridFormTest, F4OnAServiceCellOpensItsListAndTheChoiceEndsTheEdit) {
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    grid->SendMessage(WM_USER, 3, 1);
    harness::Pump();
    Trace();
    PressKeys({VK_F4});
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "TABLES^QCC(2,\"" + Cell(3, 1) + "\")")) << ::testing::PrintToString(trace);
    HWND popup = Form()->KeptPopupList();
    ASSERT_NE(popup, nullptr) << "the service list opened";
    EXPECT_EQ(GetWindowLongPtrA(popup, GWLP_USERDATA), 0xC000) << "it serves the grid's focus cell";
    HWND rows = GetDlgItem(popup, CListTab::kListId);
    ASSERT_NE(rows, nullptr);
    LVITEMA item{};
    item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
    SendMessageA(rows, LVM_SETITEMSTATE, 2, reinterpret_cast<LPARAM>(&item));
    int errors = ServerErrors();
    SendMessageA(popup, WM_COMMAND, IDOK, 0);
    harness::Pump();
    trace = Trace();
    EXPECT_TRUE(Has(trace, "TABX^QCC(\"LEIST\",\"Labor\")")) << ::testing::PrintToString(trace);
    EXPECT_EQ(Server("W $G(%TABZ)"), "3") << "the chosen row";
    EXPECT_EQ(ServerErrors(), errors) << "no line failed on the server";
    EXPECT_EQ(Form()->KeptPopupList(), nullptr) << "the list closed after the choice";
}

TEST_F(GridFormTest, RefusedQuantityShowsTheServersMessage) {
    ASSERT_NE(OpenGrid("GRD"), nullptr);
    std::string before = Cell(6, 2);
    fw::TestMode::ClearShown();
    EXPECT_EQ(EndEdit(6, 2, "100", 13), 0);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Die Menge muss eine ganze Zahl von 1 bis 99 sein.");
    EXPECT_TRUE(boxes[0].id & MB_ICONEXCLAMATION);
    EXPECT_EQ(Cell(6, 2), before) << "the row comes back as the server keeps it";
    EXPECT_EQ(EndEdit(6, 2, "1,5", 0), 0) << "no whole number, refused without a word on leaving";

    // Leaving a cell asks with %KFOCUS: a refusal keeps the focus there.
    Form()->Grid()->SetItemText(6, 2, "200");
    Trace();
    EXPECT_EQ(Notify(7, 6, 2), 0);
    Form()->Grid()->SetItemText(6, 2, "20");
    EXPECT_EQ(Notify(7, 6, 2), 1);
    int asked = 0;
    for (const std::string& entry : Trace())
        if (entry.rfind("PRS^QCC(6,3,", 0) == 0 && entry.find("KFOCUS") != std::string::npos) ++asked;
    EXPECT_EQ(asked, 2);
}

TEST_F(GridFormTest, RowsInsertedAndDeletedWithinTheLimit) {
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    Trace();
    EXPECT_EQ(Notify(5, 2, 1, -1, -1, VK_F6), 1);
    EXPECT_TRUE(Has(Trace(), "ZEINF^QCC(2)"));
    EXPECT_EQ(grid->GetRowCount(), 2002);
    EXPECT_EQ(Cell(2, 1), "") << "the new row stands at row 2";
    EXPECT_EQ(Cell(3, 1), "Labor") << "the old row 2 moved down";

    EXPECT_EQ(Notify(6, 2, 1, -1, -1, VK_F7), 1);
    EXPECT_TRUE(Has(Trace(), "ZLOE^QCC(2)"));
    EXPECT_EQ(grid->GetRowCount(), 2001);
    EXPECT_EQ(Cell(2, 1), "Labor");

    Server("S %MAXZ=5");
    EXPECT_EQ(Notify(5, 5, 1, -1, -1, VK_F6), 0) << "row 5 of at most 5";
    EXPECT_FALSE(Has(Trace(), "ZEINF^QCC(5)")) << "refused without asking the server";
    EXPECT_EQ(Notify(5, 4, 1, -1, -1, VK_F6), 1);
    EXPECT_TRUE(Has(Trace(), "ZEINF^QCC(4)"));

    Server("K %ZEINN");
    EXPECT_EQ(Notify(5, 2, 1, -1, -1, VK_INSERT), 0) << "inserting not allowed";
    Server("K %ZELN");
    EXPECT_EQ(Notify(6, 2, 1, -1, -1, VK_DELETE), 0) << "row editing not allowed";
    EXPECT_EQ(Notify(21, 2, 1), 0);
    Server("S %ZELN=1");
    EXPECT_EQ(Notify(21, 2, 1), 1) << "codes above 19 only ask whether rows may be edited";
}

TEST_F(GridFormTest, DeletingTheLastRowAsksForAnEmptyOne) {
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    Server("N i F i=2:1:2000 K ^QGRD($J,i)");
    Form()->CreateScrollField(1, 0, 0, 0, 0);
    harness::Pump();
    ASSERT_EQ(grid->GetRowCount(), 2);
    Trace();
    EXPECT_EQ(Notify(6, 1, 1, -1, -1, VK_DELETE), 1);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "ZLOE^QCC(1)"));
    EXPECT_TRUE(Has(trace, "ZEINF^QCC(1)")) << "a grid without data rows gets a fresh one";
    EXPECT_EQ(grid->GetRowCount(), 2);
    EXPECT_EQ(Cell(1, 4), "offen");
}

TEST_F(GridFormTest, CellFocusRunsThePendingActionAndAsksAgain) {
    ASSERT_NE(OpenGrid("GRD"), nullptr);
    Trace();
    EXPECT_EQ(Notify(8, 2, 1), 1) << "the service column has a table";
    EXPECT_EQ(Notify(8, 2, 3), 0);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "FOS^QCC(2,2,\"Labor\")"));
    EXPECT_EQ(CountOf(trace, "FOS^QCC(2,4,\"35,00\")"), 1) << "asked once without a pending action";

    Once("S ^QGRD(\"FOCUS\")=\"GRDNIX\"");
    fw::TestMode::ClearShown();
    Notify(8, 2, 5);
    trace = Trace();
    EXPECT_TRUE(Has(trace, "FOS^QCC(2,6,\"\")"));
    EXPECT_TRUE(Has(trace, "FOS^QCC(2,6,\"\") FOCUS")) << "asked again with %DDN(\"FOCUS\") set";
}

TEST_F(GridFormTest, ClickAnswersToggleOrRebuildWithoutSaving) {
    ASSERT_NE(OpenGrid("GRD"), nullptr);
    ASSERT_EQ(Cell(4, 4), "offen");
    Trace();
    EXPECT_EQ(Notify(11, 4, 4), 1);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "CLICK^QCD(5,4)"));
    EXPECT_TRUE(Has(trace, "PRS^QCC(4,5,\"erledigt\") CR 1,1")) << "saved as if Return ended an edit";
    EXPECT_EQ(Cell(4, 4), "erledigt");
    EXPECT_EQ(Notify(11, 4, 1), 0) << "no answer for other columns";
    EXPECT_EQ(Notify(4, 4, 4), 0) << "the status column is not edited";
    EXPECT_EQ(Notify(4, 4, 2), 1);

    Once("S ^QGRD(\"CLICK\")=$C(167,167,167)");
    Trace();
    EXPECT_EQ(Notify(11, 4, 4), 0);
    trace = Trace();
    EXPECT_TRUE(Has(trace, "SCR^QCC(\"GRD\")")) << "the grid is rebuilt";
    for (const std::string& entry : trace)
        EXPECT_EQ(entry.rfind("PRS^QCC", 0), std::string::npos) << entry;
}

TEST_F(GridFormTest, InformationOnlyForTheServersCurrentForm) {
    ASSERT_NE(OpenGrid("GRD"), nullptr);
    char text[64] = "unchanged";
    NM_GRIDVIEW record{};
    record.hdr.hwndFrom = Form()->Grid()->m_hWnd;
    record.hdr.idFrom = 0x1800;
    record.hdr.code = 14;
    record.iRow = 3;
    record.iColumn = 2;
    record.lValue = reinterpret_cast<LPARAM>(text);
    record.iExtra = 12;
    const std::string current = Server("W %DN");
    Server("S %DN=\"ANDERS\"");
    Trace();
    EXPECT_EQ(Form()->SendMessage(WM_NOTIFY, 0x1800, reinterpret_cast<LPARAM>(&record)), 0);
    EXPECT_FALSE(Has(Trace(), "INF^QCD(3,3)"));
    EXPECT_STREQ(text, "unchanged");
    Server("S %DN=" + vorlan::MQuote(current));
    EXPECT_EQ(Form()->SendMessage(WM_NOTIFY, 0x1800, reinterpret_cast<LPARAM>(&record)), 1);
    EXPECT_TRUE(Has(Trace(), "INF^QCD(3,3)"));
    EXPECT_STREQ(text, "Zeile 3: R\xF6") << "cut to the buffer's capacity";
}

TEST_F(GridFormTest, ListModeDropQuestionAndRowDrag) {
    CGridCtrl* grid = OpenGrid("GRL");
    ASSERT_NE(grid, nullptr);
    EXPECT_EQ(grid->GetRowCount(), 201);
    fw::TestMode::ClearShown();
    Trace();
    EXPECT_EQ(Notify(2, 5, 1, 5, 1), 0);
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].text, "Die Position wird automatisch vergeben.");
    EXPECT_EQ(boxes[0].id & 0xF, static_cast<UINT>(MB_OK)) << "Q = 1: only an OK button";
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "DROPN^QCD(2,5)"));
    EXPECT_FALSE(Has(trace, "DROPN^QCD(\"\",5)")) << "the drop never goes ahead";

    fw::TestMode::PushAnswer("box IDYES");
    EXPECT_EQ(Notify(2, 7, 2, 7, 2), 1);
    trace = Trace();
    EXPECT_TRUE(Has(trace, "DROPN^QCD(\"\",7)"));
    EXPECT_TRUE(Has(trace, "ENTER^QCD(3,7)")) << "the drop cell becomes the focus block";

    NM_GRIDVIEW drag{};
    EXPECT_EQ(Notify(1, 5, 0, -1, -1, 0, &drag), 1);
    EXPECT_EQ(drag.iRow, 5);
    EXPECT_EQ(drag.iRow2, 5);
    EXPECT_EQ(drag.iColumn, 0);
    EXPECT_EQ(drag.iColumn2, 3) << "the whole row is dragged";
    EXPECT_EQ(Notify(16, 5, 0, 8, 3, 8), 1);
    trace = Trace();
    EXPECT_TRUE(Has(trace, "SIZE^QCD(4,8)"));
    EXPECT_EQ(Cell(8, 2), "Artikel 5") << "the moved rows are fetched again";
    EXPECT_EQ(Cell(5, 2), "Artikel 6");
    EXPECT_EQ(Cell(8, 1), "8");
}

TEST_F(GridFormTest, F6AndF7WithoutKeyTextsGoToTheFocusedGrid) {
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(Form()->GetKeyText(1), "") << "GRD gives F6 and F7 no texts";
    harness::Pump();
    SetFocus(grid->m_hWnd);
    grid->SendMessage(WM_USER, 3, 1);
    harness::Pump();
    ASSERT_EQ(GetFocus(), grid->m_hWnd) << harness::ClassOf(GetFocus()) << " " << GetDlgCtrlID(GetFocus());
    Trace();
    Form()->SendMessage(WM_COMMAND, 0x8021);
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "ZEINF^QCC(3)")) << "F6 inserts at the focus row";
    EXPECT_EQ(grid->GetRowCount(), 2002);
    SetFocus(grid->m_hWnd);
    grid->SendMessage(WM_USER, 3, 1);
    harness::Pump();
    Form()->SendMessage(WM_COMMAND, 0x8022);
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "ZLOE^QCC(3)")) << "F7 deletes it again";
    EXPECT_EQ(grid->GetRowCount(), 2001);
}

TEST_F(GridFormTest, ServerListedRowsCellsAndWidthsReachTheGrid) {
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    CChildDialog* form = Form();
    Trace();
    EXPECT_FALSE(form->TestZLN()) << "nothing listed";

    Server("S $P(^QGRD($J,5),$C(167),1)=\"Neu 5\",$P(^QGRD($J,7),$C(167),1)=\"Neu 7\"");
    Server("S %ZLN(0,5)=\"\",%ZLN(2,7)=\"\"");
    EXPECT_TRUE(form->TestZLN());
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "GETROW^QCC(\"GRD\",5,1,6)")) << "column 0 names whole rows";
    EXPECT_TRUE(Has(trace, "GETCELL^QCC(\"GRD\",7,2)")) << "other columns name cells";
    EXPECT_EQ(Cell(5, 1), "Neu 5");
    EXPECT_EQ(Cell(7, 1), "Neu 7");
    EXPECT_EQ(Server("W $D(%ZLN)"), "0");

    // Three rows deleted from row 2 on: the first row stays the place of the next.
    Server("S %WIN(\"ZEL\")=\"2\"_$C(167)_\"3\"_$C(167)_\"0\"");
    form->TestZLN();
    EXPECT_EQ(grid->GetRowCount(), 1998);
    EXPECT_EQ(Cell(2, 0), "5");

    // The timer's groups: rows 1-2 of columns 2-3, row by row.
    Trace();
    form->TimerUpdate(("1" + S + "2" + S + "2" + S + "3").c_str());
    trace = Trace();
    EXPECT_TRUE(Has(trace, "GETROW^QCC(\"GRD\",1,2,3)"));
    EXPECT_TRUE(Has(trace, "GETROW^QCC(\"GRD\",2,2,3)"));
    EXPECT_FALSE(Has(trace, "GETROW^QCC(\"GRD\",3,2,3)"));

    int third = grid->GetColumnWidth(2);
    Server("S %WIN(\"SCROLL\",\"WIDTH\",1)=\"064064FFF032\"");
    form->TestforEvent(8);
    EXPECT_EQ(grid->GetColumnWidth(0), 100);
    EXPECT_EQ(grid->GetColumnWidth(1), 100);
    EXPECT_EQ(grid->GetColumnWidth(2), third) << "FFF leaves the column";
    EXPECT_EQ(grid->GetColumnWidth(3), 50);

    // The user's widths are kept for the next opening of the screen.
    form->SaveScrollPos();
    std::string saved = Server("W $G(^Z(\"SCROLL\",%USER,\"GRD\",0))");
    EXPECT_EQ(saved.substr(0, 6), "064064");
    EXPECT_EQ(saved.substr(9, 3), "032");
    Server("K ^Z(\"SCROLL\",%USER,\"GRD\")");
}

TEST_F(GridFormTest, WidthUndoAndFitCommandsOfTheFrame) {
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    const int original = grid->GetColumnWidth(1);
    EXPECT_FALSE(Form()->GridSizesChanged());
    Form()->SendMessage(WM_COMMAND, ID_GRID_WIDTH_FIT);
    harness::Pump();
    EXPECT_TRUE(Form()->GridSizesChanged()) << "sized to the contents: the frame's undo is enabled";

    grid->SetColumnWidth(1, 300);
    Trace();
    EXPECT_EQ(Form()->SendMessage(WM_COMMAND, ID_GRID_WIDTH_UNDO), 1);
    harness::Pump();
    EXPECT_EQ(grid->GetColumnWidth(1), original) << "the description's widths again";
    EXPECT_FALSE(Form()->GridSizesChanged());
    EXPECT_TRUE(Has(Trace(), "SCROLL^QCC(\"GRD\",1)"));
}

TEST_F(GridFormTest, AnEndedDragActivatesTheFrameThatTookTheDropAndRefreshesTheBlock) {
    CGridCtrl* grid = OpenGrid("GRL");
    ASSERT_NE(grid, nullptr);
    CChildDialog* list = Form();
    CBaseMDI* listFrame = Active();
    StartMemo("GRD");
    CBaseMDI* other = Active();
    ASSERT_NE(other, listFrame);
    HWND client = GetParent(listFrame->m_hWnd);
    // Cell (5, 2) of the list's grid left by a drag: the form's answer and what it asked.
    auto dragEnded = [&](HWND header) {
        NM_GRIDVIEW ended{};
        ended.hdr.hwndFrom = header;
        ended.hdr.idFrom = 0x1800;
        ended.hdr.code = 3;
        ended.iRow = ended.iRow2 = 5;
        ended.iColumn = ended.iColumn2 = 2;
        Trace();
        EXPECT_EQ(list->SendMessage(WM_NOTIFY, 0x1800, reinterpret_cast<LPARAM>(&ended)), 1);
        harness::Pump();
        return Trace();
    };
    // The record names the form that took the drop; other notifications name the grid.
    for (HWND header : {grid->m_hWnd, list->m_hWnd}) {
        SendMessageA(client, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(other->m_hWnd), 0);
        harness::Pump();
        ASSERT_EQ(Active(), other);
        Lines trace = dragEnded(header);
        EXPECT_TRUE(Has(trace, "DROPA^QCD()"));
        EXPECT_TRUE(Fetched(trace, 5)) << "the block is fetched again";
        EXPECT_EQ(Active(), listFrame) << "the frame of the grid is active after the drop";
    }

    // An answer from the server keeps the block as it is.
    Once("S ^QM(\"GRL\",0,\"GRID\",\"QCD\",\"DROPA\")=\"CLICK^QGRD\",^QGRD(\"CLICK\")=\"nein\"");
    Lines trace = dragEnded(list->m_hWnd);
    EXPECT_TRUE(Has(trace, "DROPA^QCD()"));
    EXPECT_FALSE(Fetched(trace, 5));
}

TEST_F(GridFormTest, TheContextMenuOffersTheGridsCommands) {
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    ASSERT_FALSE(Form()->GridSizesChanged());
    std::vector<std::string> outer, inner;
    MenuDriver::Start(Active()->m_hWnd, [&](const std::vector<HMENU>& open) -> UINT {
        if (open.empty()) return 0;
        HMENU menu = open.back();
        const int last = GetMenuItemCount(menu) - 1;
        if (open.size() == 1) {
            outer.clear();
            for (int i = 0; i <= last; ++i)
                outer.push_back(MenuDriver::Text(menu, i));
            return MenuDriver::Hilited(menu) != last ? VK_UP : VK_RIGHT;
        }
        inner.clear();
        int fit = -1;
        for (int i = 0; i <= last; ++i) {
            inner.push_back(MenuDriver::Text(menu, i));
            if (GetMenuItemID(menu, i) == ID_GRID_WIDTH_FIT) fit = i;
        }
        return fit < 0 ? VK_ESCAPE : MenuDriver::Choose(menu, fit);
    });
    CRect r = Form()->GetWindowRect();
    Form()->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Form()->m_hWnd),
                        MAKELPARAM(r.left + 5, r.top + 5));
    MenuDriver::Stop();
    harness::Pump();
    EXPECT_FALSE(MenuDriver::TimedOut());
    ASSERT_FALSE(outer.empty()) << "a form with a grid has a menu";
    EXPECT_EQ(outer.back(), "Tabelle") << "the grid's popup ends it";
    // The print command takes the frame's text for it (neither saving nor printing: a table).
    EXPECT_EQ(inner, (std::vector<std::string>{"Tabelle drucken", "Als &Bild kopieren", "",
                                               "Spaltenbreiten &zur\xFC"
                                               "cksetzen",
                                               "Spaltenbreiten an den &Inhalt anpassen"}));
    EXPECT_TRUE(Form()->GridSizesChanged()) << "the chosen command reached the form";
}

TEST_F(GridFormTest, TheServerSwitchesRowDraggingAndTheRightClickCopy) {
    // GRL lets rows be dragged (%DRAG): a drag asks the server first.
    fw::DragLoop previous = fw::SetDragLoop(&NoDrop);
    struct Restore {
        fw::DragLoop loop;
        ~Restore() { fw::SetDragLoop(loop); }
    } restore{previous};
    LogIn();
    for (bool dragging : {true, false}) {
        if (!dragging) {
            Active()->SendMessage(WM_CLOSE);
            harness::Pump();
            Once("S ^QM(\"GRL\",0,\"GRID\",\"TEST\")=\"K %DRAG\"");
        }
        StartMemo("GRL");
        ASSERT_NE(Form(), nullptr);
        CGridCtrl* grid = Form()->Grid();
        ASSERT_NE(grid, nullptr);
        g_drags = 0;
        Trace();
        LPARAM at = CellPoint(grid, 4, 2);
        grid->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        grid->SendMessage(WM_MOUSEMOVE, MK_LBUTTON,
                          MAKELPARAM(LOWORD(at), HIWORD(at) + GetSystemMetrics(SM_CYDRAG) + 1));
        grid->SendMessage(WM_LBUTTONUP, 0, at);
        harness::Pump();
        EXPECT_EQ(Has(Trace(), "DRAG^QCD(3,4)"), dragging) << dragging;
        EXPECT_EQ(g_drags, dragging ? 1 : 0) << dragging;
    }

    // GRD copies with the right button (%WIN("RCOPY")): the focus cell's text into the cell.
    Active()->SendMessage(WM_CLOSE);
    harness::Pump();
    StartMemo("GRD");
    ASSERT_NE(Form(), nullptr);
    CGridCtrl* grid = Form()->Grid();
    ASSERT_NE(grid, nullptr);
    grid->SendMessage(WM_USER, 3, 2);
    harness::Pump();
    const std::string menge = Cell(3, 2);
    ASSERT_NE(menge, Cell(5, 2));
    CloseMenus(Active()->m_hWnd);
    LPARAM at = CellPoint(grid, 5, 2);
    grid->SendMessage(WM_RBUTTONDOWN, MK_RBUTTON, at);
    grid->SendMessage(WM_RBUTTONUP, 0, at);
    MenuDriver::Stop();
    harness::Pump();
    EXPECT_EQ(Cell(5, 2), menge);
    EXPECT_EQ(Server("W $P(^QGRD($J,5),$C(167),2)"), menge) << "saved as an edit of the cell";
}

TEST_F(GridFormTest, ACellEditedByAPersonSendsWhereTheCaretStood) {
    Once("S ^QGRD(\"ZEILEN\")=20");
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    harness::Person person;
    person.Click(grid->m_hWnd, CellCentreOf(grid, 3, 2));
    ASSERT_EQ(grid->GetFocusCell(), CCellID(3, 2));
    person.Type("5");
    HWND edit = person.Focus();
    ASSERT_EQ(GetParent(edit), grid->m_hWnd) << "typing opened the cell's edit";
    person.Press("Home");
    person.Type("1");
    EXPECT_EQ(harness::TextOf(edit), "15");
    Trace();
    person.Press("Return");
    EXPECT_FALSE(IsWindow(edit));
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "PRS^QCC(3,3,15) CR 2,2"))
        << "the caret after the 1 as %PP(\"CHARPOS\"): " << ::testing::PrintToString(trace);
}

TEST_F(GridFormTest, AServiceListOpensUnderTheFocusCell) {
    Once("S ^QGRD(\"ZEILEN\")=20");
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    harness::Person person;
    Trace();
    person.Click(grid->m_hWnd, CellCentreOf(grid, 3, 1));
    ASSERT_EQ(grid->GetFocusCell(), CCellID(3, 1)) << ::testing::PrintToString(Trace());
    person.Press("F4");
    HWND popup = Form()->KeptPopupList();
    ASSERT_NE(popup, nullptr) << "the service list opened";
    RECT cell{};
    ASSERT_TRUE(grid->GetCellRect(3, 1, &cell));
    POINT below{cell.left, cell.bottom + 1};
    ClientToScreen(grid->m_hWnd, &below);
    RECT list{};
    GetWindowRect(popup, &list);
    EXPECT_EQ(list.left, below.x) << "at the cell's left edge, not the grid's";
    EXPECT_EQ(list.top, below.y) << "right under the cell";
    SaveAsShown("grid-liste.bmp");
    Form()->SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
    SendMessageA(popup, WM_COMMAND, IDCANCEL, 0);
    harness::Pump();
}

TEST_F(GridFormTest, SizeAutoFitsTheColumnsToTheLoadedRows) {
    Once(
        "S ^QGRD(\"ZEILEN\")=20,^QM(\"GRD\",0,\"GRID\",\"TEST\")=\"S %WIN(\"\"SCR\"\",\"\"SIZEAUTO\"\")=1\"");
    CGridCtrl* grid = OpenGrid("GRD");
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->GetRowCount(), 21);
    HDC dc = GetDC(grid->m_hWnd);
    HGDIOBJ old = SelectObject(dc, grid->GetFont());
    auto textWidth = [dc](const char* text) {
        SIZE size{};
        GetTextExtentPoint32A(dc, text, static_cast<int>(strlen(text)), &size);
        return static_cast<int>(size.cx);
    };
    const int hausbesuch = textWidth("Hausbesuch"), bemerkung = textWidth("Bemerkung");
    SelectObject(dc, old);
    ReleaseDC(grid->m_hWnd, dc);
    EXPECT_GE(grid->GetColumnWidth(1), hausbesuch) << "the widest service of the rows";
    EXPECT_GE(grid->GetColumnWidth(5), bemerkung) << "the column's title";
    SaveArtefact("grid-sizeauto.bmp");
}

namespace {

// The frame with the wait thread running, as the program has it.
class GridWaitTest : public GridFormTest {
  protected:
    void BeforeConnect() override { theApp.WriteProfileInt("Settings", "DisableWaitDialog", 0); }
};

} // namespace

TEST_F(GridWaitTest, ALongLoadOfShortLinesShowsTheWaitDialogUntilTheRowsAreIn) {
    // Forty rows of 50 ms each: no line takes a second, the load does.
    Once("S ^QGRD(\"ZEILEN\")=40,^QGRD(\"LANGSAM\")=0.05");
    LogIn();
    ASSERT_TRUE(TheSession().IsWaitThreadRunning());
    SetForegroundWindow(frame->m_hWnd);
    ASSERT_EQ(GetForegroundWindow(), frame->m_hWnd);
    std::atomic<bool> loading{true}, seen{false};
    const DWORD mainThread = GetCurrentThreadId();
    const HWND owner = frame->m_hWnd;
    std::thread watcher([&] {
        SetThreadDesktop(GetThreadDesktop(mainThread)); // our windows, not the first desktop's
        while (loading) {
            HWND dlg = FindWindowA("#32770", "Bitte warten ...");
            if (dlg && IsWindowVisible(dlg) && GetWindow(dlg, GW_OWNER) == owner) seen = true;
            Sleep(20);
        }
    });
    StartMemo("GRD");
    loading = false;
    watcher.join();
    ASSERT_NE(Form(), nullptr);
    ASSERT_NE(Form()->Grid(), nullptr);
    EXPECT_EQ(Form()->Grid()->GetRowCount(), 41);
    EXPECT_TRUE(seen) << "the load counts as one long operation of the session";
    EXPECT_FALSE(TheSession().IsWaitDialogShown()) << "gone once the rows are in";
    EXPECT_EQ(FindWindowA("#32770", "Bitte warten ..."), nullptr);
}
