// A person in the demo's grids: in GRD a cell typed into and ended with Return, the focus cell
// moved with the arrows and Tab, a cell opened by a click where the caret lands; in GRL a row
// dragged by its handle to another place.
//
// Cells are found by the grid's own geometry: the in-place editor lies over the cell it edits,
// and the rows below the header share the header's height.
#include "tests/frame/JourneyFixture.h"

#include <vector>

using demotrace::Has;
using demotrace::Joined;

namespace {

LONG Height(const RECT& r) {
    return r.bottom - r.top;
}

} // namespace

class JourneyGrid : public JourneyFixture {
  protected:
    HWND grid = nullptr;

    // The visible grid of the active frame.
    HWND FindGrid() const {
        struct Find {
            HWND found;
        } find{nullptr};
        HWND frame = ActiveFrame();
        if (!frame) return nullptr;
        EnumChildWindows(
            frame,
            [](HWND h, LPARAM p) -> BOOL {
                if (GetDlgCtrlID(h) != 0x1800 || !IsWindowVisible(h)) return TRUE;
                reinterpret_cast<Find*>(p)->found = h;
                return FALSE;
            },
            reinterpret_cast<LPARAM>(&find));
        return find.found;
    }
    void OpenByMemo(const std::string& memo, const std::string& title) {
        person->Press("Ctrl+M");
        person->Type(memo + "\n");
        ASSERT_TRUE(WaitForTitle("VORLAN experience - " + title)) << fw::WindowText(main);
        person->Settle();
        grid = FindGrid();
        ASSERT_NE(grid, nullptr) << "the screen has its grid";
    }
    // The grid's in-place editor, while a cell is edited.
    HWND Editor() const {
        HWND edit = GetDlgItem(grid, 8);
        return edit && IsWindowVisible(edit) ? edit : nullptr;
    }
    // The editor's rectangle in the grid's client coordinates: that of the cell it edits (a
    // drop-button editor keeps a pixel free all round; typing may widen it to the right).
    RECT EditorRect() const {
        RECT r{};
        HWND edit = Editor();
        if (!edit) return r;
        GetWindowRect(edit, &r);
        MapWindowPoints(nullptr, grid, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }
    static DWORD Caret(HWND edit) { return HIWORD(SendMessageA(edit, EM_GETSEL, 0, 0)); }
    // Piece n of the server's row r of GRD (1 «Leistung», 2 «Menge», 3 «Preis»).
    std::string Stored(int row, int piece) {
        return Server("W $P($G(^QGRD(" + Job() + "," + std::to_string(row) + ")),$C(167)," +
                      std::to_string(piece) + ")");
    }
    // The M line of a saved cell as the demo traces it: row, column, text, Return, caret.
    static std::string Saved(int row, int column, const std::string& text, DWORD caret) {
        std::string at = std::to_string(caret + 1);
        return "PRS^QCC(" + std::to_string(row) + "," + std::to_string(column) + ",\"" + text + "\") CR " +
               at + "," + at;
    }
};

// GRD: Tab from the fields into the grid, typing opens the focus cell, Return hands the text
// and the caret to the server and moves on; the arrows and Tab move the focus cell, Return
// opens the cell there, a click on the focus cell opens it with the caret where it was
// clicked. GRL: a row taken by its handle's lower edge and dropped lower down moves there.
TEST_F(JourneyGrid, CellsAreTypedIntoAndOpenedAndARowIsDragged) {
    harness::WriteTextFile(dir + "script.txt", "");
    Start("GRD -u demo -p demo", "VORLAN experience - Leistungen");
    grid = FindGrid();
    ASSERT_NE(grid, nullptr) << "the screen has its grid";
    ASSERT_EQ(Stored(1, 1), "Hausbesuch");

    // «Kunde», «Datum», then the grid, whose focus cell is «Leistung» of the first row.
    ASSERT_EQ(FocusedField(), 1);
    person->Press("Tab");
    person->Press("Tab");
    ASSERT_EQ(person->Focus(), grid) << "Tab went into the grid";
    Trace();
    person->Type("Labor");
    HWND edit = Editor();
    ASSERT_NE(edit, nullptr) << "typing opened the cell";
    const std::string typed = harness::TextOf(edit);
    EXPECT_EQ(typed, "Labor") << "what was typed replaced the cell's text";
    const DWORD caret = Caret(edit);
    EXPECT_EQ(caret, 5u) << "the caret behind what was typed";
    // The drop-button editor of «Leistung» keeps a pixel free all round.
    RECT leistung = EditorRect();
    InflateRect(&leistung, 1, 1);
    person->Press("Return");
    EXPECT_EQ(Editor(), nullptr) << "Return ended the edit";
    std::vector<std::string> lines = Trace();
    EXPECT_TRUE(Has(lines, Saved(1, 2, typed, caret))) << Joined(lines);
    EXPECT_EQ(Stored(1, 1), typed) << "the server stored the text";

    // Return moved on to «Menge»; Down to the second row, Tab to «Preis», whose editor shows
    // the height of a row.
    person->Press("Down");
    person->Press("Tab");
    person->Press("Return");
    edit = Editor();
    ASSERT_NE(edit, nullptr) << "Return opened the focus cell";
    EXPECT_EQ(harness::TextOf(edit), "35,00") << "«Preis» of the second row";
    const RECT preis = EditorRect();
    // From one row's top to the next: a row and its grid line.
    const LONG row = preis.top - leistung.top;
    EXPECT_GT(row, Height(preis) / 2) << "a row further down";
    EXPECT_LE(row, Height(preis) + 1) << "a row further down";
    EXPECT_EQ(Height(leistung), Height(preis));
    EXPECT_GT(preis.left, leistung.right) << "two columns to the right";
    EXPECT_EQ(leistung.top, row) << "below a header row of the same height";
    person->Press("Esc");
    EXPECT_EQ(Editor(), nullptr);
    EXPECT_EQ(Stored(2, 3), "35,00");

    person->Press("Left");
    person->Press("Up");
    person->Press("Return");
    edit = Editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(harness::TextOf(edit), "2") << "«Menge» of the first row";
    RECT menge = EditorRect();
    EXPECT_EQ(menge.top, leistung.top) << "back in the first row";
    EXPECT_GE(menge.left, leistung.right - 1) << "right of «Leistung»";
    EXPECT_LE(menge.right, preis.left + 1) << "left of «Preis»";
    person->Press("Esc");

    // Down twice and Left to «Leistung» of the third row, then a click into its text: the
    // caret stands inside the word, where the click was, and goes to the server from there.
    person->Press("Down");
    person->Press("Down");
    person->Press("Left");
    ASSERT_EQ(Editor(), nullptr);
    ASSERT_EQ(Stored(3, 1), "R\xF6ntgen");
    Trace();
    person->Click(grid, POINT{leistung.left + 20, leistung.top + 2 * row + row / 2});
    edit = Editor();
    ASSERT_NE(edit, nullptr) << "a click on the focus cell opened it" << Joined(Trace());
    ASSERT_EQ(harness::TextOf(edit), "R\xF6ntgen");
    const DWORD clicked = Caret(edit);
    EXPECT_GT(clicked, 0u) << "inside the word";
    EXPECT_LT(clicked, 7u) << "inside the word";
    person->Type("x");
    const std::string changed = harness::TextOf(edit);
    EXPECT_EQ(changed, std::string("R\xF6ntgen").insert(clicked, "x"));
    EXPECT_EQ(Caret(edit), clicked + 1);
    person->Press("Return");
    lines = Trace();
    EXPECT_TRUE(Has(lines, Saved(3, 2, changed, clicked + 1))) << Joined(lines);
    EXPECT_EQ(Stored(3, 1), changed);
    EXPECT_EQ(harness::TextOf(Field(1)), "") << "the keys stayed in the grid";

    // GRL, a list: a click on a row's handle makes it the focus row; the handle's lower edge
    // takes the row, which dropped on the sixth row moves there.
    const size_t shown = Shown().size();
    OpenByMemo("GRL", "Reihenfolge");
    if (HasFatalFailure()) return;
    auto listed = [&](int r) {
        return Server("W $P($G(^QGRL(" + Job() + "," + std::to_string(r) + ")),$C(167),2)");
    };
    ASSERT_EQ(listed(3), "Artikel 3");
    Trace();
    person->Click(grid, POINT{3, 3 * row + row / 2});
    lines = Trace();
    EXPECT_TRUE(Has(lines, "ENTER^QCD(1,3)")) << "the third row's handle" << Joined(lines);
    person->Drag(grid, POINT{3, 4 * row - 2}, POINT{3, 6 * row + row / 2});
    lines = Trace();
    EXPECT_TRUE(Has(lines, "DRAG^QCD(1,3)")) << Joined(lines);
    EXPECT_TRUE(Has(lines, "SIZE^QCD(4,6)")) << "the rows' last column, the row dropped on" << Joined(lines);
    EXPECT_EQ(listed(6), "Artikel 3") << "the row moved";
    EXPECT_EQ(listed(3), "Artikel 4") << "the rows below it moved up";
    EXPECT_EQ(Server("W $P($G(^QGRL(" + Job() + ",6)),$C(167),1)"), "6") << "renumbered";
    std::vector<fw::ShownItem> boxes = Shown();
    for (size_t i = shown; i < boxes.size(); ++i)
        ADD_FAILURE() << "unexpected " << boxes[i].kind << " " << boxes[i].caption << ": " << boxes[i].text;
}
