// Popup lists in the real main frame against the demo screens LST, FLD and ADR on the
// fixture's dbserver: lists named by a field step and by a drop button, batches fetched
// while scrolling, the choice handed to the server, the layout kept per workstation, and a
// list with titles only.
#include "forms/FormMessages.h"
#include "forms/ListTab.h"
#include "tests/forms/FormServerFixture.h"

#include <commctrl.h>

#include <string>

using demotrace::CountOf;
using demotrace::Has;

namespace {

const std::string S = "\xA7";

class ListTabTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        Once("K ^Z(\"TAB\"),^LST");
    }
    CChildDialog* OpenScreen(const char* memo) {
        LogIn();
        StartMemo(memo);
        Trace();
        return Form();
    }
    HWND Popup() { return Form() ? Form()->KeptPopupList() : nullptr; }
    HWND Rows() { return Popup() ? GetDlgItem(Popup(), CListTab::kListId) : nullptr; }
    int RowCount() { return static_cast<int>(SendMessageA(Rows(), LVM_GETITEMCOUNT, 0, 0)); }
    std::string Cell(int row, int column) {
        char text[256] = {};
        LVITEMA item{};
        item.iSubItem = column;
        item.pszText = text;
        item.cchTextMax = sizeof text;
        SendMessageA(Rows(), LVM_GETITEMTEXTA, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        return text;
    }
    std::string Title(int column) {
        char text[64] = {};
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT;
        c.pszText = text;
        c.cchTextMax = sizeof text;
        SendMessageA(Rows(), LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
        return text;
    }
    void Choose(int row) {
        LVITEMA item{};
        item.stateMask = item.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageA(Rows(), LVM_SETITEMSTATE, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item));
        SendMessageA(Popup(), WM_COMMAND, IDOK, 0);
        harness::Pump();
    }
    void DropButton(int n) {
        SetFocus(Field(n));
        harness::Pump();
        Form()->SendMessage(WM_COMMAND, MAKEWPARAM(0x1000 | n, 0), reinterpret_cast<LPARAM>(Field(n)));
        harness::Pump();
    }
    // LST with the list of its field 2's drop button open.
    CChildDialog* OpenTownList() {
        CChildDialog* form = OpenScreen("LST");
        if (!form) return nullptr;
        form->SendMessage(WM_ENABLEEDITS, 2);
        DropButton(2);
        return form;
    }
    // A key in a window of the popup, through the program's message loop.
    void Key(HWND window, WPARAM key) {
        MSG m{window, WM_KEYDOWN, key, 0, 0, {}};
        if (!theApp.PreTranslateMessage(&m)) DispatchMessageA(&m);
        harness::Pump();
    }
    using FormServerTestBase::Key;
    std::string FontFace() {
        LOGFONTA font{};
        HGDIOBJ handle = reinterpret_cast<HGDIOBJ>(SendMessageA(Rows(), WM_GETFONT, 0, 0));
        if (!handle || !GetObjectA(handle, sizeof font, &font)) return std::string();
        return font.lfFaceName;
    }
    std::string SavedLayout() { return Server("W $G(^Z(\"TAB\",%WIN(\"WORKSTATION\"),\"STAEDTE\"))"); }
    // With VORLAN_ARTIFACTS set, a picture of the screen goes there.
    void SavePicture(const std::string& file) {
        char folder[MAX_PATH];
        if (!GetEnvironmentVariableA("VORLAN_ARTIFACTS", folder, sizeof folder)) return;
        harness::Pump();
        CreateDirectoryA(folder, nullptr);
        EXPECT_TRUE(harness::SaveScreen(std::string(folder) + "\\" + file));
    }
};

} // namespace

TEST_F(ListTabTest, AmbiguousInputOpensTheServersListAndTheChoiceServesTheField) {
    CChildDialog* form = OpenScreen("LST");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetTitle(), "Listen");
    Enter(1, "B");
    Lines t = Trace();
    EXPECT_TRUE(Has(t, "PR^QLST(1,\"B\")")) << ::testing::PrintToString(t);
    EXPECT_TRUE(Has(t, "FILL^QLST"));
    ASSERT_NE(Popup(), nullptr) << "piece 7 opened the list";
    EXPECT_EQ(GetWindowLongPtrA(Popup(), GWLP_USERDATA), 0xFFFF) << "it serves the current field";
    EXPECT_TRUE(IsWindowVisible(Popup()));
    EXPECT_EQ(GetFocus(), Rows());
    EXPECT_EQ(Title(0), "Stadt");
    EXPECT_EQ(Title(1), "PLZ");
    EXPECT_EQ(Cell(0, 0), "Berlin");
    EXPECT_EQ(Cell(0, 1), "10115");
    EXPECT_GE(RowCount(), 20);
    // Below the field, on the screen.
    RECT field, popup;
    GetWindowRect(Field(1), &field);
    GetWindowRect(Popup(), &popup);
    EXPECT_GE(popup.top, field.bottom);
    SavePicture("lists.bmp");

    int errors = ServerErrors();
    Choose(2);
    t = Trace();
    EXPECT_EQ(Server("W $G(%TABZ)"), "3") << "the chosen row";
    EXPECT_EQ(ServerErrors(), errors) << "no line failed on the server";
    EXPECT_TRUE(Has(t, "TABX^QCC(\"STAEDTE\",\"M\xFCnchen\")")) << ::testing::PrintToString(t);
    EXPECT_TRUE(Has(t, "WAHL^QLST(\"M\xFCnchen\")"));
    EXPECT_TRUE(Has(t, "PR^QCC(1,\"M\xFCnchen\")")) << "the chosen text is saved with Return";
    EXPECT_EQ(Server("W ^LST(\"WAHL\")"), "M\xFCnchen");
    EXPECT_EQ(fw::WindowText(Field(1)), "M\xFCnchen");
    EXPECT_EQ(Popup(), nullptr) << "the list closed after the choice";
    EXPECT_EQ(FocusedField(), 2);
}

TEST_F(ListTabTest, DropButtonListGrowsWhileScrollingUntilTheLastTown) {
    CChildDialog* form = OpenTownList();
    ASSERT_NE(form, nullptr);
    Lines t = Trace();
    EXPECT_TRUE(Has(t, "TABLE^QCC(2,\"\")")) << ::testing::PrintToString(t);
    EXPECT_EQ(CountOf(t, "FILL^QLST"), 1);
    ASSERT_NE(Popup(), nullptr);
    EXPECT_EQ(GetWindowLongPtrA(Popup(), GWLP_USERDATA), 0x8002);
    int first = RowCount();
    EXPECT_EQ(first % 20, 0) << "whole batches";
    int perPage = static_cast<int>(SendMessageA(Rows(), LVM_GETCOUNTPERPAGE, 0, 0));
    ASSERT_GT(perPage, 0);

    // Paging down: within two pages of the end the next batch comes, once per request.
    int wtw = 0;
    for (int i = 0; i < 40 && RowCount() < 60; ++i) {
        SendMessageA(Rows(), WM_KEYDOWN, VK_NEXT, 0);
        harness::Pump();
        wtw += CountOf(Trace(), "WTW^QCC(\"STAEDTE\")");
    }
    EXPECT_EQ(RowCount(), 60);
    EXPECT_EQ(wtw, (60 - first) / 20) << "one call per batch while rows were due";
    EXPECT_EQ(Cell(59, 0), "W\xFCrzburg");
    EXPECT_EQ(Cell(20, 0), "Mannheim") << "the batches follow each other";

    // Past the last town the server gives nothing more.
    SendMessageA(Rows(), WM_VSCROLL, SB_THUMBPOSITION, 0);
    SendMessageA(Rows(), WM_KEYDOWN, VK_END, 0);
    SendMessageA(Rows(), WM_KEYDOWN, VK_DOWN, 0);
    harness::Pump();
    EXPECT_EQ(RowCount(), 60);

    // A scroll up asks for nothing, a turn of the wheel towards the user does.
    Trace();
    SendMessageA(Rows(), WM_VSCROLL, SB_LINEUP, 0);
    SendMessageA(Rows(), WM_MOUSEWHEEL, MAKEWPARAM(0, WHEEL_DELTA), 0);
    harness::Pump();
    EXPECT_FALSE(Has(Trace(), "WTW^QCC(\"STAEDTE\")"));
    SendMessageA(Rows(), WM_MOUSEWHEEL, MAKEWPARAM(0, -WHEEL_DELTA), 0);
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "WTW^QCC(\"STAEDTE\")")) << "at the end, still asked";

    Choose(44);
    t = Trace();
    EXPECT_TRUE(Has(t, "TABX^QCC(\"STAEDTE\",\"Ludwigshafen\")")) << ::testing::PrintToString(t);
    EXPECT_TRUE(Has(t, "PR^QLST(2,\"Ludwigshafen\")")) << "the field takes a town of the list";
    EXPECT_EQ(Server("W LSTSTADT"), "Ludwigshafen");
    // The choice in the last field saves the screen, and the save offers its follow-up list
    // in place of the chosen one.
    EXPECT_TRUE(Has(t, "SAVE^QLST"));
    EXPECT_TRUE(Has(t, "FOLGE^QLST"));
    EXPECT_EQ(Server("W ^LST(\"STADT\")"), "Ludwigshafen");
    ASSERT_NE(Popup(), nullptr) << ::testing::PrintToString(t);
    EXPECT_EQ(GetWindowLongPtrA(Popup(), GWLP_USERDATA), 0xFFFF) << "not the drop button's list";
    EXPECT_EQ(RowCount(), 20) << "a fresh first batch";
    EXPECT_EQ(Cell(0, 0), "Berlin");
}

TEST_F(ListTabTest, LayoutIsWrittenOnCloseAndUsedAtTheNextOpening) {
    CChildDialog* form = OpenScreen("LST");
    ASSERT_NE(form, nullptr);
    form->SendMessage(WM_ENABLEEDITS, 2);
    Server("S %WIN(\"WORKSTATION\")=\"\"");
    DropButton(2);
    ASSERT_NE(Popup(), nullptr);
    EXPECT_EQ(Server("W %WIN(\"WORKSTATION\")"), "ALL") << "an empty workstation is ALL";
    EXPECT_EQ(SavedLayout(), "") << "nothing saved yet";
    SetWindowPos(Popup(), nullptr, 0, 0, 330, 240, SWP_NOMOVE | SWP_NOZORDER);
    SendMessageA(Rows(), LVM_SETCOLUMNWIDTH, 0, MAKELPARAM(150, 0));
    int plz = static_cast<int>(SendMessageA(Rows(), LVM_GETCOLUMNWIDTH, 1, 0));

    // The form's close command closes only its list.
    form->SendMessage(WM_COMMAND, ID_FORM_CLOSE, 0);
    harness::Pump();
    EXPECT_EQ(Popup(), nullptr);
    ASSERT_EQ(Form(), form) << "the form stays";
    EXPECT_EQ(SavedLayout(), "330" + S + "240" + S + "150" + S + std::to_string(plz));
    EXPECT_EQ(Server("W $D(^Z(\"TAB\",\"ALL\",\"STAEDTE\"))"), "1");

    // Saved widths outside the bounds are taken as far as they make sense.
    Server("S ^Z(\"TAB\",%WIN(\"WORKSTATION\"),\"STAEDTE\")=\"330" + S + "240" + S + "-90" + S + "5000\"");
    DropButton(2);
    ASSERT_NE(Popup(), nullptr);
    RECT r;
    GetWindowRect(Popup(), &r);
    EXPECT_EQ(r.right - r.left, 330);
    EXPECT_EQ(r.bottom - r.top, 240);
    EXPECT_EQ(SendMessageA(Rows(), LVM_GETCOLUMNWIDTH, 0, 0), 90);
    RECT client;
    GetClientRect(Rows(), &client);
    EXPECT_EQ(SendMessageA(Rows(), LVM_GETCOLUMNWIDTH, 1, 0), client.right - 90)
        << "the last column fills the list";
    // Never smaller than 200 x 100 by the user's hand.
    RECT small{r.left, r.top, r.left + 50, r.top + 30};
    SendMessageA(Popup(), WM_SIZING, WMSZ_BOTTOMRIGHT, reinterpret_cast<LPARAM>(&small));
    EXPECT_EQ(small.right - small.left, 200);
    EXPECT_EQ(small.bottom - small.top, 100);
    RECT fromTopLeft{r.left, r.top, r.left + 50, r.top + 30};
    SendMessageA(Popup(), WM_SIZING, WMSZ_TOPLEFT, reinterpret_cast<LPARAM>(&fromTopLeft));
    EXPECT_EQ(fromTopLeft.left, r.left + 50 - 200) << "the edge the user holds moves";
    EXPECT_EQ(fromTopLeft.top, r.top + 30 - 100);
    EXPECT_EQ(SendMessageA(Popup(), 0x036D, 0x40, 0), 1) << "WM_FLOATSTATUS is answered";

    Key(Rows(), VK_ESCAPE);
    EXPECT_EQ(Popup(), nullptr) << "Escape closes it";
    EXPECT_EQ(Form(), form);

    // A list of a drop button closes when it is no longer active.
    DropButton(2);
    ASSERT_NE(Popup(), nullptr);
    SendMessageA(Popup(), WM_NCACTIVATE, FALSE, 0);
    harness::Pump();
    EXPECT_EQ(Popup(), nullptr);
    EXPECT_EQ(Form(), form);
}

TEST_F(ListTabTest, ClosingTheFrameWhileAListIsOpenClosesOnlyTheList) {
    CChildDialog* form = OpenScreen("LST");
    ASSERT_NE(form, nullptr);
    form->SendMessage(WM_ENABLEEDITS, 2);
    DropButton(2);
    ASSERT_NE(Popup(), nullptr);
    // As the frame's close box gives it: the frame asks %NOKILL and hands the form WM_CLOSE.
    Active()->SendMessage(WM_CLOSE);
    harness::Pump();
    EXPECT_EQ(Popup(), nullptr);
    EXPECT_EQ(Form(), form) << "the form stays";
    EXPECT_EQ(Frames().size(), 1u);
}

TEST_F(ListTabTest, ListWithTitlesOnlyClosesAtOnceAndTheFieldStaysEditable) {
    CChildDialog* form = OpenScreen("LST");
    ASSERT_NE(form, nullptr);
    Enter(1, "X");
    Lines t = Trace();
    EXPECT_TRUE(Has(t, "LEER^QLST")) << ::testing::PrintToString(t);
    EXPECT_EQ(Popup(), nullptr) << "a list without rows asks to be closed";
    EXPECT_EQ(SavedLayout(), "");
    EXPECT_EQ(FocusedField(), 1);

    // Leaving the field saves it as usual again.
    Enter(1, "Suche");
    EXPECT_TRUE(Has(Trace(), "PR^QLST(1,\"Suche\")"));
    EXPECT_EQ(FocusedField(), 2);

    // "Stadt" takes only a town of the list.
    Enter(2, "Atlantis");
    EXPECT_EQ(Server("W LSTSTADT"), "");
    EXPECT_EQ(FocusedField(), 2);
}

TEST_F(ListTabTest, ChoiceOfAListThatWentIsIgnored) {
    CChildDialog* form = OpenTownList();
    ASSERT_NE(form, nullptr);
    HWND popup = Popup();
    ASSERT_NE(popup, nullptr);
    vorlan::PostListChoice(form->m_hWnd, popup, 3);
    DestroyWindow(popup);
    harness::Pump();
    EXPECT_FALSE(Has(Trace(), "TABX^QCC(\"STAEDTE\",\"K\xF6ln\")"));
    EXPECT_EQ(fw::WindowText(Field(2)), "");

    // After a save the screen offers its follow-up list.
    EXPECT_EQ(Server("D FOLGE^QLST W $$TAB^QCC()"), "STAEDTE");
    EXPECT_EQ(form->OpenPopupList("STAEDTE", 0x8002), 1);
    EXPECT_EQ(Cell(0, 0), "Berlin");
    EXPECT_NE(FontFace(), "MS LineDraw");

    // The list of a list field without a font of its own draws line characters.
    Server("D FOLGE^QLST");
    EXPECT_EQ(form->OpenPopupList("STAEDTE", 2), 1);
    EXPECT_EQ(FontFace(), "MS LineDraw");
    EXPECT_EQ(form->OpenPopupList("", 2), 0) << "no name, no list";
    EXPECT_NE(Popup(), nullptr) << "the open list stays";
}

TEST_F(ListTabTest, ListsOfEarlierScreensOpen) {
    CChildDialog* form = OpenScreen("FLD");
    ASSERT_NE(form, nullptr);
    form->SendMessage(WM_ENABLEEDITS, 2);
    DropButton(2);
    ASSERT_NE(Popup(), nullptr) << "ANREDE";
    EXPECT_EQ(Title(0), "Anrede");
    EXPECT_EQ(RowCount(), 3);
    EXPECT_EQ(Cell(1, 0), "Frau");
    int errors = ServerErrors();
    Choose(1);
    EXPECT_TRUE(Has(Trace(), "TABX^QCC(\"ANREDE\",\"Frau\")"));
    EXPECT_EQ(Server("W $G(%TABZ)"), "2") << "the drop button's list";
    EXPECT_EQ(ServerErrors(), errors);
    EXPECT_EQ(fw::WindowText(Field(2)), "Frau");

    form = OpenScreen("ADR");
    ASSERT_NE(form, nullptr);
    form->SendMessage(WM_ENABLEEDITS, 3);
    Enter(3, "B");
    ASSERT_NE(Popup(), nullptr) << "ORTE from piece 7";
    EXPECT_EQ(Title(0), "Ort");
    EXPECT_EQ(RowCount(), 4);
    EXPECT_EQ(Cell(3, 0), "Bremen");
    // The keyboard: Down, then Return as the message loop hands them over.
    Key(Rows(), VK_DOWN);
    Key(Rows(), VK_RETURN);
    EXPECT_EQ(fw::WindowText(Field(3)), "Bernau");
    EXPECT_EQ(Server("W ADRORT"), "Bernau");
}
