// A person in the grid of GRD: a cell edited by typing and ended with Return, the focus cell
// moved with the arrows and Tab.
#include "tests/frame/JourneyFixture.h"

#include <vector>

using demotrace::Has;

namespace {

std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += "\n  " + l;
    return out;
}

// The pixels of a window's client area as the screen shows them.
class Pixels {
  public:
    explicit Pixels(HWND window) {
        RECT r{};
        GetClientRect(window, &r);
        POINT origin{0, 0};
        ClientToScreen(window, &origin);
        m_width = r.right;
        m_height = r.bottom;
        m_bits.resize(static_cast<size_t>(m_width) * m_height);
        HDC screen = GetDC(nullptr);
        HDC memory = CreateCompatibleDC(screen);
        HBITMAP bitmap = CreateCompatibleBitmap(screen, m_width, m_height);
        HGDIOBJ old = SelectObject(memory, bitmap);
        BitBlt(memory, 0, 0, m_width, m_height, screen, origin.x, origin.y, SRCCOPY);
        SelectObject(memory, old);
        BITMAPINFO info{};
        info.bmiHeader.biSize = sizeof info.bmiHeader;
        info.bmiHeader.biWidth = m_width;
        info.bmiHeader.biHeight = -m_height;
        info.bmiHeader.biPlanes = 1;
        info.bmiHeader.biBitCount = 32;
        info.bmiHeader.biCompression = BI_RGB;
        GetDIBits(memory, bitmap, 0, static_cast<UINT>(m_height), m_bits.data(), &info, DIB_RGB_COLORS);
        DeleteObject(bitmap);
        DeleteDC(memory);
        ReleaseDC(nullptr, screen);
    }
    DWORD At(int x, int y) const {
        return x < 0 || y < 0 || x >= m_width || y >= m_height ? 0 : m_bits[static_cast<size_t>(y) * m_width + x] & 0xFFFFFF;
    }
    int Width() const { return m_width; }
    int Height() const { return m_height; }
    // The places along a column of pixels where the colour of its first pixel gives way to
    // another: the edges drawn between the fixed cells (a bevel's lines count once).
    std::vector<int> EdgesDown(int x) const {
        std::vector<int> edges;
        for (int y = 1; y < m_height; ++y)
            if (At(x, y) != At(x, 0) && At(x, y - 1) == At(x, 0) && (edges.empty() || y - edges.back() > 3))
                edges.push_back(y);
        return edges;
    }
    std::vector<int> EdgesAcross(int y) const {
        std::vector<int> edges;
        for (int x = 1; x < m_width; ++x)
            if (At(x, y) != At(0, y) && At(x - 1, y) == At(0, y) && (edges.empty() || x - edges.back() > 3))
                edges.push_back(x);
        return edges;
    }

  private:
    int m_width = 0;
    int m_height = 0;
    std::vector<DWORD> m_bits;
};

} // namespace

class JourneyGrid : public JourneyFixture {
  protected:
    // The visible grid among the frame's windows (a screen without fields has no top form).
    static HWND GridOf(HWND frame) {
        struct Find {
            HWND found;
        } find{nullptr};
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

    HWND grid = nullptr;
    // Bottom edges of the rows (index 0: the header) and right edges of the columns, as the
    // fixed cells show them.
    std::vector<int> rowEdges, columnEdges;

    void OpenGrid(const std::string& memo, const std::string& title) {
        Start(memo + " -u demo -p demo", "VORLAN experience - " + title);
        HWND frame = ActiveFrame();
        ASSERT_NE(frame, nullptr);
        grid = GridOf(frame);
        ASSERT_NE(grid, nullptr) << "the screen has its grid";
        Measure();
    }
    void Measure() {
        person->Settle();
        Pixels pixels(grid);
        rowEdges = pixels.EdgesDown(3);
        columnEdges = pixels.EdgesAcross(3);
        ASSERT_GE(rowEdges.size(), 4u) << "the rows can be seen";
        ASSERT_GE(columnEdges.size(), 3u) << "the columns can be seen";
    }
    // The middle of a cell: row 1 is the first data row, column 0 the fixed one.
    POINT CellPoint(int row, int column) const {
        int top = rowEdges[row - 1], bottom = rowEdges[row];
        int left = column == 0 ? 0 : columnEdges[column - 1], right = columnEdges[column];
        return POINT{(left + right) / 2, (top + bottom) / 2};
    }
    // The grid's editor over its focus cell, while a cell is edited.
    HWND Editor() const {
        HWND edit = GetDlgItem(grid, 8);
        return edit && IsWindowVisible(edit) ? edit : nullptr;
    }
    static LONG TopOf(HWND window) {
        RECT r{};
        GetWindowRect(window, &r);
        return r.top;
    }
    // The cell the editor covers: row and column of the rectangle that holds its middle.
    std::pair<int, int> EditedCell() const {
        HWND edit = Editor();
        if (!edit) return {-1, -1};
        RECT r{};
        GetWindowRect(edit, &r);
        POINT top{r.left + 2, (r.top + r.bottom) / 2};
        ScreenToClient(grid, &top);
        int row = -1, column = -1;
        for (size_t i = 1; i < rowEdges.size(); ++i)
            if (top.y > rowEdges[i - 1] && top.y <= rowEdges[i]) row = static_cast<int>(i);
        for (size_t i = 0; i < columnEdges.size(); ++i)
            if (top.x <= columnEdges[i] && (i == 0 || top.x > columnEdges[i - 1])) column = static_cast<int>(i);
        return {row, column};
    }
};

// GRD: a click gives a cell the focus, typing edits it, Return hands the text and the caret to
// the server and moves on; the arrows and Tab move the focus cell, Return opens the cell there.
TEST_F(JourneyGrid, ACellIsTypedIntoAndTheFocusCellMovesWithTheKeys) {
    harness::WriteTextFile(dir + "script.txt", "");
    OpenGrid("GRD", "Leistungen");
    if (HasFatalFailure()) return;
    ASSERT_EQ(Server("W $P($G(^QGRD(" + Job() + ",1)),$C(167),1)"), "Hausbesuch");

    // «Leistung» of the first row: clicked, then typed into.
    person->Click(grid, CellPoint(1, 1));
    EXPECT_EQ(person->Focus(), grid);
    Trace();
    person->Type("Labor");
    HWND edit = Editor();
    ASSERT_NE(edit, nullptr) << "typing opened the cell";
    EXPECT_EQ(EditedCell().second, 1) << "over «Leistung»";
    LONG firstRow = TopOf(edit);
    std::string typed = harness::TextOf(edit);
    EXPECT_EQ(typed.substr(0, 5), "Labor") << typed;
    DWORD caret = HIWORD(SendMessageA(edit, EM_GETSEL, 0, 0));
    EXPECT_EQ(caret, 5u) << "the caret behind what was typed";
    person->Press("Return");
    EXPECT_EQ(Editor(), nullptr) << "Return ended the edit";
    std::vector<std::string> lines = Trace();
    std::string pos = std::to_string(caret + 1);
    EXPECT_TRUE(Has(lines, "PRS^QCC(1,2,\"" + typed + "\") CR " + pos + "," + pos)) << Joined(lines);
    EXPECT_EQ(Server("W $P($G(^QGRD(" + Job() + ",1)),$C(167),1)"), typed) << "the server stored the text";

    // Return moved on to «Menge»; Down to the second row, Tab to «Preis»; Return there opens
    // the cell with its text.
    person->Press("Down");
    person->Press("Tab");
    person->Press("Return");
    edit = Editor();
    ASSERT_NE(edit, nullptr) << "Return opened the focus cell";
    EXPECT_EQ(EditedCell().second, 3) << "over «Preis»";
    EXPECT_GT(TopOf(edit), firstRow) << "a row further down";
    EXPECT_EQ(harness::TextOf(edit), "35,00") << "«Preis» of the second row";
    person->Press("Esc");
    EXPECT_EQ(Editor(), nullptr);
    person->Press("Left");
    person->Press("Up");
    person->Press("Return");
    edit = Editor();
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(EditedCell().second, 2) << "over «Menge»";
    // The editor a key starts has a border of its own: a pixel of difference.
    EXPECT_NEAR(TopOf(edit), firstRow, 2) << "back in the first row";
    EXPECT_EQ(harness::TextOf(edit), "2") << "«Menge» of the first row";
    person->Press("Esc");
    EXPECT_EQ(harness::TextOf(Field(1)), "") << "the keys stayed in the grid";
}
