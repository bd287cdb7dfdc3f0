// The form's field refresh, labels, comments and pictures, its field commands and private
// messages, in the real main frame against the demo screens FLD and LAY on the fixture's
// dbserver. Popup lists and the grid come with later work: windows stand in for them.
#include "common/MQuote.h"
#include "controls/FormGrid.h"
#include "controls/GridCtrl.h"
#include "forms/FormMessages.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/harness/Person.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

using demotrace::CountOf;
using demotrace::Has;

namespace {

const std::string S = "\xA7";

CRect RectIn(HWND parent, HWND child) {
    CRect r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

// Stands in for the form's grid: remembers what the form asked of it.
class GridStandIn : public CWnd, public IFormGrid {
  public:
    std::vector<std::pair<WPARAM, LPARAM>> moves;
    std::vector<std::pair<int, int>> focusCells;
    std::vector<UINT> endEdits;
    int GetFixedRowCount() const override { return 1; }
    int GetTotalColumnWidth() const override { return 120; }
    void SetFocusCell(int row, int column) override { focusCells.push_back({row, column}); }
    void EndEditCell(UINT key) override { endEdits.push_back(key); }
    bool FocusCellRect(RECT*) const override { return false; }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_USER) moves.push_back({wParam, lParam});
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

bool Contains(const Lines& lines, const std::string& part) {
    return std::any_of(lines.begin(), lines.end(),
                       [&](const std::string& l) { return l.find(part) != std::string::npos; });
}

class FormFieldsTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        Once("K ^FLD,^QM(\"FLD\",0,\"KARTEI\")");
    }
    void TearDown() override {
        Once("K ^QM(\"FLD\",0,\"KARTEI\")");
        FormServerTestBase::TearDown();
    }
    CChildDialog* OpenScreen(const char* memo) {
        LogIn();
        StartMemo(memo);
        Trace();
        recorder->Take();
        return Form();
    }
    // A window standing in for a popup list: its user data names the field it serves.
    HWND PopupStandIn(int field, const std::vector<const char*>& rows = {}) {
        HWND w = CreateWindowExA(WS_EX_NOACTIVATE, "STATIC", "", WS_POPUP, 0, 0, 200, 150, Form()->m_hWnd,
                                 nullptr, nullptr, nullptr);
        ShowWindow(w, SW_SHOWNA);
        SetWindowLongPtrA(w, GWLP_USERDATA, field);
        if (!rows.empty()) {
            HWND list = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 150, w,
                                        reinterpret_cast<HMENU>(1015), nullptr, nullptr);
            for (const char* row : rows)
                SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(row));
        }
        return w;
    }
    void Child(int code, HWND window, LPARAM value) {
        vorlan::ChildMessageRecord record{code, window, value};
        Form()->SendMessage(WM_CHILDMESSAGE, 0, reinterpret_cast<LPARAM>(&record));
        harness::Pump();
    }
    void Click(int n) {
        Form()->SendMessage(WM_COMMAND, MAKEWPARAM(0x1000 | n, BN_CLICKED),
                            reinterpret_cast<LPARAM>(Field(n)));
        harness::Pump();
    }
};

} // namespace

TEST_F(FormFieldsTest, FieldsShowComputedLabelsAndLockWithTheirLabels) {
    CChildDialog* form = OpenScreen("FLD");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetTitle(), "Felder");
    HWND label1 = form->GetDlgItem(0x2001), label3 = form->GetDlgItem(0x2003);
    ASSERT_NE(label1, nullptr);
    ASSERT_NE(label3, nullptr);
    EXPECT_EQ(fw::WindowText(label1), "0 Zeichen");
    EXPECT_EQ(fw::WindowText(form->GetDlgItem(0x2002)), "aus Liste");
    EXPECT_EQ(fw::WindowText(label3), "inaktiv");
    EXPECT_EQ(form->GetDlgItem(0x2004), nullptr) << "no label where the server answers nothing";
    EXPECT_NE(SendMessageA(label3, WM_GETFONT, 0, 0), SendMessageA(label1, WM_GETFONT, 0, 0))
        << "\"F\": the alternative font";
    EXPECT_EQ(RectIn(form->m_hWnd, label1).left, 46 * 7);

    // Fields are open up to the current one.
    EXPECT_TRUE(IsWindowEnabled(Field(1)));
    EXPECT_FALSE(IsWindowEnabled(Field(2)));

    form->SendMessage(WM_ENABLEEDITS, 6);
    for (int n = 1; n <= 6; ++n)
        EXPECT_TRUE(IsWindowEnabled(Field(n))) << n;
    Trace();
    Click(5);
    Lines t = Trace();
    EXPECT_TRUE(Has(t, "SPERREN^QFLD")) << ::testing::PrintToString(t);
    EXPECT_TRUE(Has(t, "EDIT^QCC(\"FLD\",1)"));
    EXPECT_TRUE(Has(t, "EDIT^QCC(\"FLD\",2)"));
    EXPECT_FALSE(Has(t, "EDIT^QCC(\"FLD\",3)")) << "%MAK1 names fields 1 and 2 only";
    EXPECT_TRUE(Has(t, "MODU^QCC(\"FLD\",6)")) << "the labels are refreshed for every field";
    EXPECT_EQ(fw::WindowText(label1), "gesperrt");
    for (int n : {1, 2}) {
        EXPECT_FALSE(IsWindowEnabled(Field(n))) << n;
        EXPECT_FALSE(IsWindowEnabled(GetWindow(Field(n), GW_HWNDPREV))) << "its prompt " << n;
        EXPECT_FALSE(IsWindowEnabled(form->GetDlgItem(0x2000 | n))) << "its label " << n;
    }
    EXPECT_TRUE(IsWindowEnabled(Field(3)));
    EXPECT_TRUE(IsWindowEnabled(label3));

    form->SendMessage(WM_ENABLEEDITS, 6);
    Click(5);
    EXPECT_TRUE(IsWindowEnabled(Field(1))) << "the second press unlocks";
    EXPECT_TRUE(IsWindowEnabled(form->GetDlgItem(0x2001)));
    EXPECT_EQ(Server("W $D(%MAK1)"), "0") << "the client took %MAK1";

    // "Neu aufbauen": the next entry of Name rebuilds the form.
    form->SendMessage(WM_ENABLEEDITS, 6);
    Trace();
    Click(6);
    t = Trace();
    EXPECT_TRUE(Has(t, "NEU^QFLD")) << ::testing::PrintToString(t);
    auto rebuilt = std::find(t.begin(), t.end(), "AUFBAU^QFLD");
    ASSERT_NE(rebuilt, t.end());
    EXPECT_NE(std::find(rebuilt, t.end(), "EDIT^QCC(\"FLD\",4)"), t.end()) << "every field refreshed";
    EXPECT_EQ(FocusedField(), 1);
}

TEST_F(FormFieldsTest, DropButtonAsksForItsTableAndKeepsTheFocusKindForItsList) {
    CChildDialog* form = OpenScreen("FLD");
    ASSERT_NE(form, nullptr);
    form->SendMessage(WM_ENABLEEDITS, 2);
    SetFocus(Field(2));
    harness::Pump();
    EXPECT_EQ(vorlan::g_nFocusKind, 1);
    SetWindowTextA(Field(2), "Herr \"Dr.\"");
    Trace();
    recorder->Take();
    form->SendMessage(WM_COMMAND, MAKEWPARAM(0x1002, 0), reinterpret_cast<LPARAM>(Field(2)));
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "TABLE^QCC(2,\"Herr \xFF"
                             "Dr.\xFF\")"));
    EXPECT_TRUE(Contains(recorder->Take(), "W $P($$TABLE^QCC(2,\"Herr \xFF"
                                           "Dr.\xFF\"),%DL,3)"));

    // Into the list and back: the field is not saved and its focus kind comes back.
    HWND list = form->KeptPopupList();
    ASSERT_NE(list, nullptr) << "the drop button opened the list";
    EXPECT_EQ(GetWindowLongPtrA(list, GWLP_USERDATA), 0x8002);
    EXPECT_EQ(vorlan::g_nFocusKind, 0) << "the focus is in the list";
    SetFocus(Field(2));
    harness::Pump();
    EXPECT_EQ(vorlan::g_nFocusKind, 1);
    Lines t = Trace();
    EXPECT_FALSE(Contains(t, "PR^QCC(")) << ::testing::PrintToString(t);
    EXPECT_FALSE(Contains(t, "FO^QCC(")) << "coming back is no new entry";

    // The form forgets its list when the list's window goes.
    if (IsWindow(list)) DestroyWindow(list);
    EXPECT_EQ(form->KeptPopupList(), nullptr);

    // The second list taking the focus ends the open list: leaving the field saves it again.
    form->SendMessage(WM_COMMAND, MAKEWPARAM(0x1002, 0), reinterpret_cast<LPARAM>(Field(2)));
    SetFocus(Field(2));
    harness::Pump();
    form->SendMessage(WM_COMMAND, MAKEWPARAM(0x1801, 0x100), 0);
    Trace();
    HWND other = PopupStandIn(0);
    SetFocus(other);
    harness::Pump();
    EXPECT_TRUE(Contains(Trace(), "PR^QCC(2,")) << "saved on leaving";
    DestroyWindow(other);
}

TEST_F(FormFieldsTest, ChosenRowsReachTheServerQuotedAndCloseTheirList) {
    CChildDialog* form = OpenScreen("FLD");
    ASSERT_NE(form, nullptr);
    form->SendMessage(WM_ENABLEEDITS, 2);

    // A list field's row: %ZZP, then the screen's routine for it; no next list closes it.
    HWND listField = PopupStandIn(2);
    Child(12, listField, 0);
    Lines t = Trace();
    EXPECT_TRUE(Has(t, "SCR^QFLD")) << ::testing::PrintToString(t);
    EXPECT_TRUE(Has(t, "TAB^QCC()"));
    EXPECT_FALSE(IsWindow(listField)) << "closed with code 2";

    // A table field's row: TABX^QCC with the whole text quoted, into the field, saved.
    SetFocus(Field(2));
    harness::Pump();
    form->SendMessage(WM_COMMAND, MAKEWPARAM(0x1002, 0), reinterpret_cast<LPARAM>(Field(2)));
    HWND popup = PopupStandIn(0x8002, {"Herr", "Frau \"X\""});
    form->KeepPopupList(popup, "AN\"REDE");
    int errors = ServerErrors();
    Child(12, popup, 1);
    t = Trace();
    EXPECT_TRUE(Has(t, "TABX^QCC(\"AN\"\"REDE\",\"Frau \"\"X\"\"\")")) << ::testing::PrintToString(t);
    EXPECT_EQ(Server("W $G(%TABZ)"), "2") << "the chosen row";
    EXPECT_EQ(ServerErrors(), errors) << "no line failed on the server";
    EXPECT_FALSE(IsWindow(popup));
    EXPECT_EQ(form->KeptPopupList(), nullptr);
    EXPECT_EQ(fw::WindowText(Field(2)), "Frau \"X\"");
    EXPECT_TRUE(Contains(t, "PR^QCC(2,\"Frau \xFFX\xFF\")"))
        << "Return saved the field" << ::testing::PrintToString(t);

    // The grid's own field ends the grid's edit.
    auto* grid = new GridStandIn;
    ASSERT_TRUE(
        grid->Create("STATIC", "", WS_CHILD | WS_VISIBLE, CRect(0, 300, 100, 340), form->m_hWnd, 0x1800));
    HWND cell = PopupStandIn(0xC000, {"eins"});
    form->KeepPopupList(cell, "T");
    errors = ServerErrors();
    Child(12, cell, 0);
    EXPECT_TRUE(Has(Trace(), "TABX^QCC(\"T\",\"eins\")"));
    EXPECT_EQ(Server("W $G(%TABZ)"), "1");
    EXPECT_EQ(ServerErrors(), errors);
    EXPECT_EQ(grid->endEdits, std::vector<UINT>{VK_RETURN});
    EXPECT_FALSE(IsWindow(cell));
    grid->DestroyWindow();
    delete grid;

    // Field 1's list closing runs the screen's F1 line.
    HWND first = PopupStandIn(1);
    form->KeepPopupList(first, "X");
    Child(2, first, 1);
    EXPECT_TRUE(Has(Trace(), "F1^QFLD"));
    EXPECT_FALSE(IsWindow(first));

    // Placement: below the field, on the screen.
    HWND placed = PopupStandIn(2);
    Child(1, placed, 0);
    CRect field, list;
    GetWindowRect(Field(2), &field);
    GetWindowRect(placed, &list);
    EXPECT_EQ(list.left, field.left);
    EXPECT_EQ(list.top, field.bottom);
    DestroyWindow(placed);
}

TEST_F(FormFieldsTest, DiagSetFocusServesFieldGridAndSecondList) {
    CChildDialog* form = OpenScreen("FLD");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->SendMessage(WM_DIAGSETFOCUS, 0, 0), 1);
    EXPECT_EQ(FocusedField(), 1);

    Server("S %DN=\"ANDERS\"");
    EXPECT_EQ(form->SendMessage(WM_DIAGSETFOCUS, 0, 0), 0) << "not the server's current form";
    Server("S %DN=\"FLD\"");

    // Without a visible field the grid takes the focus where the server says.
    ShowWindow(Field(1), SW_HIDE);
    auto* grid = new GridStandIn;
    ASSERT_TRUE(grid->Create("STATIC", "", WS_CHILD | WS_VISIBLE | WS_DISABLED, CRect(0, 300, 300, 340),
                             form->m_hWnd, 0x1800));
    Server("S %PP=3,%ZZ=2");
    EXPECT_EQ(form->SendMessage(WM_DIAGSETFOCUS, 0, 0), 0);
    EXPECT_TRUE(IsWindowEnabled(grid->m_hWnd));
    ASSERT_EQ(grid->moves.size(), 1u);
    EXPECT_EQ(grid->moves[0], (std::pair<WPARAM, LPARAM>(2, 2))) << "row 2 - 1 + 1 fixed, column 3 - 1";
    Server("S %WIN(\"CURPOS\")=\"4" + S + "5" + S + "2" + S + "3\"");
    form->SendMessage(WM_DIAGSETFOCUS, static_cast<WPARAM>(-1), 0);
    ASSERT_EQ(grid->moves.size(), 2u);
    EXPECT_EQ(grid->moves[1], (std::pair<WPARAM, LPARAM>(5, 4)));
    EXPECT_EQ(grid->focusCells, (std::vector<std::pair<int, int>>{{1, 2}}));
    EXPECT_EQ(Server("W $D(%WIN(\"CURPOS\"))"), "0");
    form->SendMessage(WM_DIAGSETFOCUS, 7, 0);
    EXPECT_EQ(grid->moves.back(), (std::pair<WPARAM, LPARAM>(7, 7)));
    CRect narrow(0, 0, 600, 400);
    EXPECT_TRUE(form->ChangingSize(narrow)) << "the grid needs less than its client width";
    grid->DestroyWindow();
    delete grid;

    HWND second = CreateWindowExA(0, "LISTBOX", "", WS_CHILD | WS_VISIBLE, 0, 300, 100, 40, form->m_hWnd,
                                  reinterpret_cast<HMENU>(0x1801), nullptr, nullptr);
    EXPECT_EQ(form->SendMessage(WM_DIAGSETFOCUS, 0, 0), 0);
    EXPECT_EQ(GetFocus(), second);
    DestroyWindow(second);
    ShowWindow(Field(1), SW_SHOW);
}

// A refused value still shows the server's information and takes the caret it left, at once:
// a caret left over would move a later grid or text box entry.
TEST_F(FormFieldsTest, ARefusedFieldShowsItsInformationAndTakesItsCaret) {
    LogIn();
    StartMemo("GRD");
    ASSERT_NE(Form(), nullptr);
    CGridCtrl* grid = Form()->Grid();
    ASSERT_NE(grid, nullptr);
    harness::Person person;
    ::SetFocus(Field(1));
    person.Settle();
    ASSERT_EQ(FocusedField(), 1);
    person.Press("End");
    person.Type("X");
    Server("S %PRANS=\"Kunde X" + S + "1" + S + "Unbekannter Kunde." + S + "1" + S + S + "1" + S + S + S + S +
           "Bitte in der Tabelle weiter.\"");
    Server("S %WIN(\"CURPOS\")=\"2" + S + "3\"");
    fw::TestMode::ClearShown();
    person.Press("Tab");
    auto boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u);
    EXPECT_EQ(boxes[0].text, "Unbekannter Kunde.");
    EXPECT_TRUE(boxes[0].id & MB_ICONEXCLAMATION);
    EXPECT_EQ(boxes[1].text, "Bitte in der Tabelle weiter.");
    EXPECT_TRUE(boxes[1].id & MB_ICONINFORMATION);
    EXPECT_EQ(Server("W $D(%WIN(\"CURPOS\"))"), "0") << "nothing is left for a later entry";
    EXPECT_TRUE(harness::HoldsFocus(grid->m_hWnd, person.Focus())) << "the caret goes into the grid";
    EXPECT_EQ(grid->GetFocusCell().row, 3);
    EXPECT_EQ(grid->GetFocusCell().col, 2);
}

// Stands in for the record explorer: counts its reloads.
class ExplorerStandIn : public CWnd {
  public:
    int reloads = 0;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_INITDIALOG) ++reloads;
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

TEST_F(FormFieldsTest, ExplorerReloadsWithTheFieldsAndEmptiesWhenAFieldHasTheFocus) {
    CChildDialog* form = OpenScreen("FLD");
    ASSERT_NE(form, nullptr);
    auto* explorer = new ExplorerStandIn;
    ASSERT_TRUE(
        explorer->Create("STATIC", "", WS_CHILD | WS_VISIBLE, CRect(0, 300, 200, 400), form->m_hWnd, 0x1801));
    HWND tree = CreateWindowExA(0, WC_TREEVIEWA, "", WS_CHILD | WS_VISIBLE, 0, 0, 200, 100, explorer->m_hWnd,
                                reinterpret_cast<HMENU>(1), nullptr, nullptr);
    TVINSERTSTRUCTA item{};
    item.hInsertAfter = TVI_LAST;
    item.item.mask = TVIF_TEXT;
    item.item.pszText = const_cast<char*>("Eintrag");
    SendMessageA(tree, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&item));
    form->UpdateEdits(1, form->GetFieldCount());
    EXPECT_EQ(explorer->reloads, 1);
    form->SendMessage(WM_ENABLEEDITS, 1);
    EXPECT_FALSE(IsWindowEnabled(explorer->m_hWnd)) << "field 1 has a control: the explorer waits";
    EXPECT_EQ(SendMessageA(tree, TVM_GETCOUNT, 0, 0), 0);
    explorer->DestroyWindow();
    delete explorer;
}

TEST_F(FormFieldsTest, RepeatDialogKillsByTabTextAndInitialisesAgain) {
    CChildDialog* form = OpenScreen("FLD");
    ASSERT_NE(form, nullptr);
    struct {
        const char* tab;
        const char* killLine;
    } cases[] = {{"", "X %KILL"}, {"*", "K @%NEW"}, {"FLD\"X", "D KILL^QCC(\"FLD\"\"X\")"}};
    for (const auto& c : cases) {
        Once("S ^QM(\"FLD\",0,\"KARTEI\")=" + vorlan::MQuote(c.tab));
        recorder->Take();
        Trace();
        EXPECT_EQ(form->SendMessage(WM_REPEATDIALOG, 0, 1), 1);
        harness::Pump();
        Lines lines = recorder->Take();
        EXPECT_TRUE(Contains(lines, c.killLine)) << c.tab << ::testing::PrintToString(lines);
        EXPECT_TRUE(Contains(lines, "S %DN=\"FLD\" D INIT^WQMD S %DN=\"FLD\"")) << c.tab;
        Lines t = Trace();
        EXPECT_TRUE(Has(t, "INIT^WQMD")) << c.tab;
        EXPECT_TRUE(Has(t, "EDIT^QCC(\"FLD\",4)")) << "the fields refreshed";
        EXPECT_EQ(FocusedField(), 1) << "%NE";
    }
}

TEST_F(FormFieldsTest, SearchAndReplaceHandTheirTextQuoted) {
    CChildDialog* form = OpenScreen("FLD");
    ASSERT_NE(form, nullptr);
    char text[] = "Hallo Welt";
    int caret = 6;
    EXPECT_EQ(
        form->SendMessage(EN_SEARCHSTRING, reinterpret_cast<WPARAM>(text), reinterpret_cast<LPARAM>(&caret)),
        1);
    EXPECT_EQ(caret, 5);
    EXPECT_TRUE(Has(Trace(), "SUCH^QFLD(Welt)"));
    EXPECT_TRUE(Contains(recorder->Take(), "S TEXT=\"Welt\" K %F D SUCH^QFLD W:$D(%F) 1 K %F"));

    caret = 5;
    EXPECT_EQ(
        form->SendMessage(EN_SEARCHSTRING, reinterpret_cast<WPARAM>(text), reinterpret_cast<LPARAM>(&caret)),
        0);
    EXPECT_FALSE(Contains(Trace(), "SUCH^QFLD")) << "an empty word sends nothing";

    char refused[] = "fehler";
    caret = 0;
    EXPECT_EQ(form->SendMessage(EN_SEARCHSTRING, reinterpret_cast<WPARAM>(refused),
                                reinterpret_cast<LPARAM>(&caret)),
              0)
        << "the server set %F";

    char replace[] = "a\"b";
    EXPECT_EQ(form->SendMessage(EN_SEARCHSTRING, reinterpret_cast<WPARAM>(replace), 0), 1);
    EXPECT_TRUE(Has(Trace(), "ERS^QFLD(a\"b)"));
    EXPECT_TRUE(Contains(recorder->Take(), "S TEXT=\"a\"\"b\" K %F D ERS^QFLD"));

    Server("S %WIN(\"SEARCHRTN\")=\"SUCH^QFLD K ^FLD\"");
    caret = 0;
    EXPECT_EQ(
        form->SendMessage(EN_SEARCHSTRING, reinterpret_cast<WPARAM>(text), reinterpret_cast<LPARAM>(&caret)),
        0)
        << "only a routine is run";
}

TEST_F(FormFieldsTest, LayoutPlacesCommentsBoxesLabelsAndPicture) {
    CChildDialog* form = OpenScreen("LAY");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetTitle(), "Anordnung");
    std::vector<HWND> boxes;
    std::vector<std::string> comments;
    for (HWND c = GetWindow(form->m_hWnd, GW_CHILD); c; c = GetWindow(c, GW_HWNDNEXT)) {
        if (GetDlgCtrlID(c) != 0xFFFF) continue;
        if (harness::ClassOf(c) == "Button" && (GetWindowLongPtrA(c, GWL_STYLE) & 0xF) == BS_GROUPBOX)
            boxes.push_back(c);
        else
            comments.push_back(fw::WindowText(c));
    }
    ASSERT_EQ(boxes.size(), 2u) << "\"]5\" opened nothing";
    EXPECT_EQ(fw::WindowText(boxes[0]), "Innen");
    EXPECT_EQ(fw::WindowText(boxes[1]), "Status");
    CRect box = RectIn(form->m_hWnd, boxes[0]);
    EXPECT_EQ(box.left, 7);
    EXPECT_EQ(box.top, 5 * 20 + 8 + 2);
    EXPECT_EQ(box.right, 40 * 7 + 6);
    EXPECT_EQ(box.bottom, 9 * 20 + 8 + 12);
    EXPECT_NE(std::find(comments.begin(), comments.end(),
                        "Rand w\xE4"
                        "chst mit"),
              comments.end());
    EXPECT_NE(std::find(comments.begin(), comments.end(), "Ende der Anordnung"), comments.end());

    EXPECT_EQ(fw::WindowText(form->GetDlgItem(0x2002)), "Fett: Rand");
    EXPECT_TRUE(fw::WindowText(form->GetDlgItem(0x3001)).rfind("Stand ", 0) == 0);
    HWND picture = form->GetDlgItem(0x3002);
    ASSERT_NE(picture, nullptr);
    EXPECT_EQ(harness::ClassOf(picture), CChildForm::kPictureClass);
    std::string job = Server("W $J");
    EXPECT_EQ(fw::WindowText(picture), "Z:\\tmp\\vorlan-lay-" + job + ".bmp");
    EXPECT_EQ(RectIn(form->m_hWnd, picture).left, 48 * 7);

    // The long label widens the form at the next refresh.
    int before = form->GetClientRect().Width();
    form->UpdateContents();
    EXPECT_GT(form->GetClientRect().Width(), before);
}

TEST_F(FormFieldsTest, LayoutStretchesTheFieldAtTheEdgeOnly) {
    CChildDialog* form = OpenScreen("LAY");
    ASSERT_NE(form, nullptr);
    CBaseMDI* frame = Active();
    ASSERT_TRUE(GetWindowLongPtrA(frame->m_hWnd, GWL_STYLE) & WS_THICKFRAME) << "sizable";
    CRect edge = RectIn(form->m_hWnd, Field(3)), inner = RectIn(form->m_hWnd, Field(2));
    CRect r = frame->GetWindowRect();
    frame->SetWindowPos(nullptr, 0, 0, r.Width() + 120, r.Height() + 80, SWP_NOMOVE | SWP_NOZORDER);
    harness::Pump();
    CRect grown = RectIn(form->m_hWnd, Field(3));
    EXPECT_EQ(grown.left, edge.left) << "keeps its own left edge";
    EXPECT_EQ(grown.top, edge.top);
    EXPECT_GT(grown.right, edge.right);
    EXPECT_GT(grown.bottom, edge.bottom);
    EXPECT_EQ(RectIn(form->m_hWnd, Field(2)), inner) << "the field inside stays";

    CSize min = form->GetMinSize();
    EXPECT_LT(min.cy, edge.bottom) << "the stretching field counts with its top only";
    MINMAXINFO info{};
    frame->SendMessage(WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_GT(info.ptMinTrackSize.x, min.cx) << "the frame adds its borders";
}
