// The demo screens AWL «Auswahl» and AWD «Auswahl dynamisch» in the real main frame against the
// fixture's dbserver: a list field over an array whose name carries subscripts, every change
// seen in the server array, the selection in the trace.
#include "controls/ListField.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/harness/Person.h"
#include "tests/harness/Pointer.h"

#include <cstring>
#include <string>

using demotrace::Has;

namespace {

constexpr char kDl = '\xA7';

class ListFieldServerTest : public FormServerTestBase {
  protected:
    // The entries the tests change, as the demo delivers them.
    void ResetArray() {
        Once("S ^ZDEMO(\"AWL\",1)=\"Befund erhoben\"_$C(167)_1_$C(167,167,167)_\"Haken setzen oder "
             "entfernen\"");
        Once("S $P(^ZDEMO(\"AWL\",3),$C(167),3)=2,$P(^ZDEMO(\"AWL\",3,4),$C(167),4)=\"Bemerkung\"");
        Once("S $P(^ZDEMO(\"AWL\",4,1),$C(167),2,3)=0_$C(167)_2,$P(^ZDEMO(\"AWL\",4,1,3),$C(167),2)=128");
        Once("S ^ZDEMO(\"AWL\",2)=\"Nur ein Eintrag\"_$C(167)_2_$C(167,167,167)_\"Ein Eintrag ohne "
             "K\"_$C(228)_\"stchen\"");
    }
    CListField* OpenField(const char* memo) {
        LogIn();
        StartMemo(memo);
        if (!Form()) return nullptr;
        return dynamic_cast<CListField*>(CWnd::FromHandlePermanent(Field(1)));
    }
    static HTREEITEM Find(CTreeCtrl& tree, const std::string& text, HTREEITEM from = nullptr) {
        for (HTREEITEM h = from ? tree.GetChildItem(from) : tree.GetRootItem(); h;
             h = tree.GetNextSiblingItem(h)) {
            if (tree.GetItemText(h).str() == text) return h;
            if (HTREEITEM deeper = Find(tree, text, h)) return deeper;
        }
        return nullptr;
    }
    static int Image(CTreeCtrl& tree, HTREEITEM item) {
        return static_cast<int>(tree.GetItemState(item, TVIS_STATEIMAGEMASK) >> 12);
    }
    static bool Bold(CTreeCtrl& tree, HTREEITEM item) { return tree.GetItemState(item, TVIS_BOLD) != 0; }
    std::string Piece(const std::string& node, int n) {
        return Once("W $P(^ZDEMO(\"AWL\"," + node + "),$C(167)," + std::to_string(n) + ")");
    }
};

} // namespace

TEST_F(ListFieldServerTest, AwlShowsTheArrayWithItsStatesFromTheMemo) {
    ResetArray();
    CListField* field = OpenField("AWL");
    ASSERT_NE(field, nullptr) << "field 1 is the list field";
    EXPECT_TRUE(Has(Trace(), "INIT^QAWL(\"AWL\")"));
    CTreeCtrl& tree = field->Tree();
    HTREEITEM title = tree.GetRootItem();
    ASSERT_NE(title, nullptr);
    EXPECT_EQ(tree.GetItemText(title).str(), "Leistungen");
    EXPECT_EQ(tree.GetNextSiblingItem(title), nullptr) << "the first level hangs below the title";

    struct Expect {
        const char* text;
        int image;
        bool bold;
    } expected[] = {
        {"Befund erhoben", 2, false}, {"Nur ein Eintrag", 0, false}, {"Untersuchungen", 0, true},
        {"Labor", 2, false},          {"Blutbild", 6, false},        {"Urin", 5, false},
        {"R\xF6ntgen", 6, true},      {"Ultraschall", 5, false},     {"Sonstiges: Bemerkung", 5, true},
        {"Allergien", 1, false},      {"Pollen", 7, false},          {"Nahrung", 8, false},
        {"Per Post", 1, false},       {"Per Mail", 2, false},
    };
    for (const auto& e : expected) {
        HTREEITEM item = Find(tree, e.text);
        ASSERT_NE(item, nullptr) << e.text;
        EXPECT_EQ(Image(tree, item), e.image) << e.text;
        EXPECT_EQ(Bold(tree, item), e.bold) << e.text;
    }
    COLORREF back = TreeView_GetBkColor(tree.m_hWnd);
    EXPECT_EQ(back, 0xD1EEEEu) << "BGCOLOR 25";
    SaveArtefact("auswahl.bmp");
}

TEST_F(ListFieldServerTest, ChecksRadiosAndThirdLevelBoxesAreWrittenToTheArrayAtOnce) {
    ResetArray();
    CListField* field = OpenField("AWL");
    ASSERT_NE(field, nullptr);
    CTreeCtrl& tree = field->Tree();

    EXPECT_EQ(field->ToggleState(Find(tree, "Befund erhoben")), 1);
    EXPECT_EQ(Piece("1", 2), "0");
    EXPECT_EQ(field->ToggleState(Find(tree, "Nur ein Eintrag")), 0) << "no state image: nothing";

    // The third radio of the group under (3): its position into piece 3 of (3).
    EXPECT_EQ(field->ToggleState(Find(tree, "Ultraschall")), 1);
    EXPECT_EQ(Piece("3", 3), "3");
    EXPECT_EQ(Image(tree, Find(tree, "R\xF6ntgen")), 5);
    EXPECT_EQ(Image(tree, Find(tree, "Ultraschall")), 6);

    // A third-level box under an unchecked parent checks the parent first.
    HTREEITEM other = Find(tree, "Sonstige");
    EXPECT_EQ(field->ToggleState(other), 1);
    EXPECT_EQ(Piece("4,1", 2), "1");
    EXPECT_EQ(Piece("4,1,3", 2), "129");
    EXPECT_EQ(Image(tree, Find(tree, "Pollen")), 5) << "the parent's radios turned active";
    EXPECT_EQ(Image(tree, Find(tree, "Nahrung")), 6);

    // Unchecking the parent makes them inactive again; an inactive radio turns it back on.
    field->ToggleState(Find(tree, "Allergien"));
    EXPECT_EQ(Piece("4,1", 2), "0");
    EXPECT_EQ(Image(tree, Find(tree, "Pollen")), 7);
    field->ToggleState(Find(tree, "Pollen"));
    EXPECT_EQ(Piece("4,1", 2), "1");
    EXPECT_EQ(Piece("4,1", 3), "1");
    EXPECT_EQ(Image(tree, Find(tree, "Pollen")), 6);
}

TEST_F(ListFieldServerTest, EditedLabelsKeepQuotesAndTurnTheDelimiterIntoABlank) {
    ResetArray();
    CListField* field = OpenField("AWL");
    ASSERT_NE(field, nullptr);
    CTreeCtrl& tree = field->Tree();

    HTREEITEM editable = Find(tree, "Sonstiges: Bemerkung");
    ASSERT_NE(editable, nullptr);
    tree.SelectItem(editable);
    HWND edit = TreeView_EditLabel(tree.m_hWnd, editable);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(fw::WindowText(edit), "Bemerkung") << "the editor starts with piece 4";
    SetWindowTextA(edit, "\"neu\" a\xA7z");
    TreeView_EndEditLabelNow(tree.m_hWnd, FALSE);
    harness::Pump();
    EXPECT_EQ(Piece("3,4", 4), "\"neu\" a z");
    EXPECT_EQ(Piece("3,4", 1), "Sonstiges: ?") << "the text keeps its mark";
    EXPECT_EQ(tree.GetItemText(editable).str(), "Sonstiges: \"neu\" a z");

    // A plain entry cannot be edited.
    EXPECT_EQ(TreeView_EditLabel(tree.m_hWnd, Find(tree, "Nur ein Eintrag")), nullptr);
    // A letter typed on the editable entry opens the editor with piece 4 and the letter.
    tree.SelectItem(editable);
    tree.SendMessage(WM_KEYDOWN, 'X', 0);
    harness::Pump();
    edit = TreeView_GetEditControl(tree.m_hWnd);
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(fw::WindowText(edit), "\"neu\" a zx");
    TreeView_EndEditLabelNow(tree.m_hWnd, TRUE);
}

TEST_F(ListFieldServerTest, TheSelectionReachesPercentFeldAndTheSelectCodeAfterTheChange) {
    ResetArray();
    CListField* field = OpenField("AWL");
    ASSERT_NE(field, nullptr);
    CTreeCtrl& tree = field->Tree();
    Trace();
    tree.SelectItem(Find(tree, "Urin"));
    harness::Pump();
    std::string feld = std::string("SEL^QAWL(\"^ZDEMO(\"\"AWL\"\")") + kDl + "3" + kDl + "1" + kDl + "2\")";
    EXPECT_TRUE(Has(Trace(), feld)) << feld;
    EXPECT_EQ(Server("W $P(%FELD,%DL,2,4)"), std::string("3") + kDl + "1" + kDl + "2");
}

TEST_F(ListFieldServerTest, ADoubleClickWithFunctionKeyEightPressesFEight) {
    ResetArray();
    CListField* field = OpenField("AWL");
    ASSERT_NE(field, nullptr);
    CTreeCtrl& tree = field->Tree();
    HTREEITEM plain = Find(tree, "Nur ein Eintrag");
    RECT r;
    ASSERT_TRUE(tree.GetItemRect(plain, r, true));
    POINT p{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    ClientToScreen(tree.m_hWnd, &p);
    ASSERT_TRUE(harness::MovePointer(p));
    Trace();
    NMHDR click{tree.m_hWnd, CListField::kTreeId, static_cast<UINT>(NM_DBLCLK)};
    field->SendMessage(WM_NOTIFY, CListField::kTreeId, reinterpret_cast<LPARAM>(&click));
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "F8^QAWL"));
    EXPECT_EQ(Piece("2", 2), "2") << "with a function key nothing is toggled";
}

TEST_F(ListFieldServerTest, AwdLoadsChildrenOnFirstExpansionOnly) {
    CListField* field = OpenField("AWD");
    ASSERT_NE(field, nullptr);
    CTreeCtrl& tree = field->Tree();
    HTREEITEM inner = Find(tree, "Innere Medizin");
    ASSERT_NE(inner, nullptr);
    EXPECT_EQ(tree.GetChildItem(inner), nullptr) << "collapsed, children not loaded";
    EXPECT_TRUE(tree.ItemHasChildren(inner)) << "with its button";
    tree.Expand(inner, TVE_EXPAND);
    harness::Pump();
    HTREEITEM first = tree.GetChildItem(inner);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(tree.GetItemText(first).str(), "Kardiologie");
    EXPECT_EQ(Image(tree, first), 6) << "piece 3 of (1) chose the first";
    HTREEITEM lab = Find(tree, "Labor", inner);
    ASSERT_NE(lab, nullptr);
    EXPECT_NE(Find(tree,
                   "Gro\xDF"
                   "es Blutbild",
                   lab),
              nullptr)
        << "the third level came with it";
    tree.Expand(inner, TVE_COLLAPSE);
    tree.Expand(inner, TVE_EXPAND);
    int count = 0;
    for (HTREEITEM h = tree.GetChildItem(inner); h; h = tree.GetNextSiblingItem(h))
        ++count;
    EXPECT_EQ(count, 3) << "loaded once";
}

TEST_F(ListFieldServerTest, AnArrayWithoutBackgroundColourShowsTheWindowColour) {
    CListField* field = OpenField("AWD");
    ASSERT_NE(field, nullptr);
    CTreeCtrl& tree = field->Tree();
    RECT client{};
    GetClientRect(tree.m_hWnd, &client);
    HTREEITEM last = Find(tree, "Chirurgie");
    ASSERT_NE(last, nullptr);
    RECT item{};
    ASSERT_TRUE(tree.GetItemRect(last, item, false));
    ASSERT_LT(item.bottom + 10, client.bottom) << "room below the entries";
    SetForegroundWindow(frame->m_hWnd);
    RedrawWindow(tree.m_hWnd, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_UPDATENOW);
    harness::Person(0).Settle();
    EXPECT_EQ(harness::ColourAt(tree.m_hWnd, POINT{client.right / 2, (item.bottom + client.bottom) / 2}),
              GetSysColor(COLOR_WINDOW))
        << "the tree's own background, not black";
    SaveArtefact("auswahl-dynamisch.bmp");
}

TEST_F(ListFieldServerTest, TheInfoTipIsPieceFiveCutToTheTreesBuffer) {
    ResetArray();
    CListField* field = OpenField("AWL");
    ASSERT_NE(field, nullptr);
    CTreeCtrl& tree = field->Tree();
    char buffer[16];
    std::memset(buffer, 'x', sizeof buffer);
    NMTVGETINFOTIPA tip{};
    tip.hdr = NMHDR{tree.m_hWnd, CListField::kTreeId, static_cast<UINT>(TVN_GETINFOTIPA)};
    tip.pszText = buffer;
    tip.cchTextMax = 8;
    tip.hItem = Find(tree, "Befund erhoben");
    field->SendMessage(WM_NOTIFY, CListField::kTreeId, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(buffer, "Haken s");
    EXPECT_EQ(buffer[8], 'x') << "nothing written past the buffer";
    tip.cchTextMax = sizeof buffer;
    tip.hItem = Find(tree, "Urin");
    field->SendMessage(WM_NOTIFY, CListField::kTreeId, reinterpret_cast<LPARAM>(&tip));
    EXPECT_STREQ(buffer, "") << "an entry without a tooltip";
}
