// The data explorer in the demo screen DEX against the fixture's dbserver: the tree of nodes
// with a HEADER, the table below the chosen node and its sorting, the load routine that runs
// once, what a selection reports in %FELD, the double click's function key and the focus
// moving between the panes.
#include "framework/ListView.h"
#include "framework/TestMode.h"
#include "framework/TreeCtrl.h"
#include "tests/forms/FormServerFixture.h"
#include "tools/DataExplorer.h"

#include <commctrl.h>

#include <string>
#include <vector>

using demotrace::CountOf;
using demotrace::Has;

namespace {

const std::string S = "\xA7";

// The form's commands while a test looks.
std::vector<WPARAM> g_commands;
HWND g_watched = nullptr;
LRESULT CALLBACK WatchCommands(int code, WPARAM wParam, LPARAM lParam) {
    auto* call = reinterpret_cast<CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && call->hwnd == g_watched && call->message == WM_COMMAND)
        g_commands.push_back(call->wParam);
    return CallNextHookEx(nullptr, code, wParam, lParam);
}

// Messages and timers for a while.
void PumpFor(DWORD ms) {
    harness::PumpUntil([] { return false; }, ms);
    harness::Pump();
}

class DataExplorerTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        Once("S ^ZDEX(\"RECHNUNG\",0,\"FKEY\")=5");
        // The screen opens at its own size, not where another test's program left it.
        Once("S w=\"\" F  S w=$O(^Z(\"WINPOS\",w)) Q:w=\"\"  K ^Z(\"WINPOS\",w,\"DEX\") S u=\"\" F  S "
             "u=$O(^Z(\"WINPOS\",w,u)) Q:u=\"\"  K ^Z(\"WINPOS\",w,u,\"DEX\")");
        LogIn();
        StartMemo("DEX");
        harness::Pump();
    }
    void TearDown() override {
        if (m_hook) UnhookWindowsHookEx(m_hook);
        FormServerTestBase::TearDown();
    }
    HWND Explorer() { return Field(1); }
    CTreeCtrl& Tree() {
        m_tree.m_hWnd = GetDlgItem(Explorer(), CDataExplorer::kTreeId);
        return m_tree;
    }
    CReportList& List() {
        m_list.m_hWnd = GetDlgItem(Explorer(), CDataExplorer::kListId);
        return m_list;
    }
    HTREEITEM Item(const std::string& text, HTREEITEM parent = nullptr) {
        for (HTREEITEM h = parent ? Tree().GetChildItem(parent) : Tree().GetRootItem(); h;
             h = Tree().GetNextSiblingItem(h))
            if (Tree().GetItemText(h) == text) return h;
        return nullptr;
    }
    std::vector<std::string> Texts(HTREEITEM parent) {
        std::vector<std::string> texts;
        for (HTREEITEM h = parent ? Tree().GetChildItem(parent) : Tree().GetRootItem(); h;
             h = Tree().GetNextSiblingItem(h))
            texts.push_back(Tree().GetItemText(h).str());
        return texts;
    }
    // A node chosen as a click does, and its table once the explorer shows it.
    void Choose(HTREEITEM item) {
        Notify(Tree(), NM_CLICK);
        Tree().SelectItem(item);
        PumpFor(100);
    }
    void Notify(HWND from, UINT code, int subItem = 0) {
        NMLISTVIEW n{};
        n.hdr.hwndFrom = from;
        n.hdr.idFrom = static_cast<UINT_PTR>(GetDlgCtrlID(from));
        n.hdr.code = code;
        n.iItem = -1;
        n.iSubItem = subItem;
        SendMessageA(Explorer(), WM_NOTIFY, n.hdr.idFrom, reinterpret_cast<LPARAM>(&n));
        harness::Pump();
    }
    std::vector<std::string> Column(int column) {
        std::vector<std::string> cells;
        for (int row = 0; row < List().GetItemCount(); ++row)
            cells.push_back(List().GetItemText(row, column).str());
        return cells;
    }
    std::string Title(int column) {
        char text[64] = {};
        LVCOLUMNA c{};
        c.mask = LVCF_TEXT;
        c.pszText = text;
        c.cchTextMax = sizeof text;
        List().SendMessage(LVM_GETCOLUMNA, static_cast<WPARAM>(column), reinterpret_cast<LPARAM>(&c));
        return text;
    }
    void WatchForm() {
        g_commands.clear();
        g_watched = Form()->m_hWnd;
        m_hook = SetWindowsHookExA(WH_CALLWNDPROC, WatchCommands, nullptr, GetCurrentThreadId());
    }
    // A key through the program's message loop, as a person's would go.
    void KeyIn(HWND window, WPARAM key, bool shift = false) {
        BYTE state[256] = {};
        if (shift) state[VK_SHIFT] = 0x80;
        SetKeyboardState(state);
        MSG m{window, WM_KEYDOWN, key, 0, 0, {}};
        if (!theApp.PreTranslateMessage(&m)) DispatchMessageA(&m);
        BYTE none[256] = {};
        SetKeyboardState(none);
        harness::Pump();
    }

    // With VORLAN_ARTIFACTS set, a picture of the screen goes there.
    void SavePicture(const std::string& file) {
        char folder[MAX_PATH];
        if (!GetEnvironmentVariableA("VORLAN_ARTIFACTS", folder, sizeof folder)) return;
        harness::Pump();
        CreateDirectoryA(folder, nullptr);
        EXPECT_TRUE(harness::SaveScreen(std::string(folder) + "\\" + file));
    }

    CTreeCtrl m_tree;
    CReportList m_list;
    HHOOK m_hook = nullptr;
};

} // namespace

TEST_F(DataExplorerTest, TreeShowsNodesWithHeaderAndOpensTheTopLevel) {
    ASSERT_NE(Form(), nullptr);
    ASSERT_NE(Explorer(), nullptr) << "field kind 11 is a data explorer";
    EXPECT_EQ(harness::ClassOf(Explorer()), "ExplorerArea");
    EXPECT_EQ(fw::WindowText(Explorer()), "^ZDEX(\"RECHNUNG\",");
    EXPECT_EQ(Texts(nullptr), (std::vector<std::string>{"Jahr 2020", "Jahr 2021", "Jahr 2023"}))
        << "2019 has rows but no HEADER";
    HTREEITEM year = Item("Jahr 2021");
    ASSERT_NE(year, nullptr);
    EXPECT_TRUE(Tree().GetItemState(year, TVIS_EXPANDED) & TVIS_EXPANDED);
    EXPECT_EQ(Texts(year), (std::vector<std::string>{"M\xFCller GmbH", "Nachtr\xE4ge"}));
    bool stretches = false;
    for (const auto& entry : Form()->m_stretch)
        stretches = stretches || entry.id == 0x1001;
    EXPECT_TRUE(stretches) << "a single explorer grows with the frame";
    // Nothing loaded the late node yet.
    EXPECT_FALSE(Has(Trace(), "LOAD^QDEX"));
}

TEST_F(DataExplorerTest, TheFieldShowsItsTipAsEveryField) {
    char text[128] = {};
    TOOLINFOA tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = Form()->m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(Explorer());
    tool.uFlags = TTF_IDISHWND;
    tool.lpszText = text;
    ASSERT_TRUE(SendMessageA(Form()->GetToolTip(), TTM_GETTOOLINFOA, 0, reinterpret_cast<LPARAM>(&tool)));
    SendMessageA(Form()->GetToolTip(), TTM_GETTEXTA, sizeof text, reinterpret_cast<LPARAM>(&tool));
    EXPECT_STREQ(text, "Rechnungen nach Jahren");
}

TEST_F(DataExplorerTest, TableSortsByTypeAndTheSameHeaderTwiceDescends) {
    Choose(Item("Jahr 2020"));
    ASSERT_EQ(List().GetColumnCount(), 5);
    EXPECT_EQ(Title(3), "Empf\xE4nger");
    EXPECT_EQ(Column(0), (std::vector<std::string>{"3", "7", "12"})) << "numbers, and FLAG 0 hides a row";
    EXPECT_EQ(List().GetSortArrow(0), 0);

    Notify(List(), LVN_COLUMNCLICK, 1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"01022020", "15062020", "31122020"}));
    EXPECT_EQ(List().GetSortArrow(0), -1) << "the old arrow goes";
    EXPECT_EQ(List().GetSortArrow(1), 0);
    Notify(List(), LVN_COLUMNCLICK, 1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"31122020", "15062020", "01022020"}));
    EXPECT_EQ(List().GetSortArrow(1), 1);
    SavePicture("dataexplorer.bmp");
    Notify(List(), LVN_COLUMNCLICK, 4);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"31122020", "15062020", "01022020"}))
        << "Notiz is not sorted";

    // Across the turn of the year; the new table keeps the date order.
    Choose(Item("Jahr 2021"));
    EXPECT_EQ(Column(1), (std::vector<std::string>{"15032021", "01012021", "31122020"}));
    Notify(List(), LVN_COLUMNCLICK, 1);
    EXPECT_EQ(Column(1), (std::vector<std::string>{"31122020", "01012021", "15032021"}));
    Notify(List(), LVN_COLUMNCLICK, 3);
    EXPECT_EQ(Column(3), (std::vector<std::string>{"Adler", "adler", "Zimmermann"})) << "text without case";

    Choose(Item("Jahr 2023"));
    EXPECT_EQ(List().GetColumnCount(), 0) << "a HEADER without titles";
    EXPECT_EQ(List().GetItemCount(), 0);
}

TEST_F(DataExplorerTest, LoadRoutineRunsOnceAndTheFormLooksAfterIt) {
    HTREEITEM late = Item("Nachtr\xE4ge", Item("Jahr 2021"));
    ASSERT_NE(late, nullptr);
    Trace();
    Tree().Expand(late, TVE_EXPAND);
    PumpFor(300);
    Lines t = Trace();
    EXPECT_EQ(CountOf(t, "LOAD^QDEX"), 1) << ::testing::PrintToString(t);
    EXPECT_EQ(Server("W $D(^ZDEX(\"RECHNUNG\",2021,\"NACHTRAG\",0,\"LOADRTN\"))"), "0");
    EXPECT_EQ(Column(0), (std::vector<std::string>{"901", "902", "903"})) << "the rows it loaded";
    Tree().Expand(late, TVE_COLLAPSE);
    Tree().Expand(late, TVE_EXPAND);
    harness::Pump();
    EXPECT_EQ(CountOf(Trace(), "LOAD^QDEX"), 0);
}

TEST_F(DataExplorerTest, SelectionReportsThePathInMFormAndTheDoubleClickItsKey) {
    HTREEITEM mueller = Item("M\xFCller GmbH", Item("Jahr 2021"));
    ASSERT_NE(mueller, nullptr);
    Choose(mueller);
    EXPECT_EQ(Server("W %FELD"), "^ZDEX(\"RECHNUNG\"," + S + "2021,\"M\xFCller\"" + S + "Kunde M\xFCller");
    EXPECT_TRUE(Tree().GetItemState(mueller, TVIS_BOLD) & TVIS_BOLD);
    EXPECT_EQ(List().GetItemCount(), 1);

    List().SelectItem(0);
    harness::Pump();
    EXPECT_EQ(Server("W %FELD"), "^ZDEX(\"RECHNUNG\"," + S + "2021,\"M\xFCller\",1" + S + "R2021-31");

    Trace();
    Notify(List(), NM_DBLCLK);
    Lines t = Trace();
    EXPECT_TRUE(Has(t, "FELD^QDEX ^ZDEX(\"RECHNUNG\"," + S + "2021,\"M\xFCller\",1" + S + "R2021-31"))
        << "FKEY 5 is F5: " << ::testing::PrintToString(t);

    // A key the form does not have posts nothing; the key is read with the next fill.
    Once("S ^ZDEX(\"RECHNUNG\",0,\"FKEY\")=13");
    Tree().Expand(Item("Jahr 2020"), TVE_COLLAPSE);
    ::SendMessageA(Explorer(), WM_SETTEXT, 0, reinterpret_cast<LPARAM>("^ZDEX(\"RECHNUNG\","));
    harness::Pump();
    Trace();
    Notify(Tree(), NM_DBLCLK);
    EXPECT_FALSE(Has(Trace(), "FELD^QDEX"));
    Once("S ^ZDEX(\"RECHNUNG\",0,\"FKEY\")=5");
}

TEST_F(DataExplorerTest, TabMovesBetweenThePanesAndEachTellsTheForm) {
    WatchForm();
    SetFocus(Explorer());
    harness::Pump();
    EXPECT_EQ(GetFocus(), Tree().m_hWnd) << "the tree first";
    KeyIn(Tree(), VK_TAB);
    EXPECT_EQ(GetFocus(), List().m_hWnd);
    KeyIn(List(), VK_TAB, true);
    EXPECT_EQ(GetFocus(), Tree().m_hWnd);
    KeyIn(Tree(), VK_TAB);
    SetFocus(Form()->m_hWnd);
    SetFocus(Explorer());
    harness::Pump();
    EXPECT_EQ(GetFocus(), List().m_hWnd) << "the pane that had it last";
    int focusCommands = 0;
    for (WPARAM w : g_commands)
        if (w == MAKEWPARAM(CDataExplorer::kFocusCommand, CDataExplorer::kFocusCode)) ++focusCommands;
    EXPECT_GE(focusCommands, 4);
}

// A screen of the test's own: a text field first, the explorer second.
TEST_F(DataExplorerTest, FocusInTheExplorerEntersItsOwnFieldAndKeepsItsArray) {
    const std::string d = "_$C(167)_";
    Once("S ^QME(\"MEMO\",\"DEXT\")=\"DEXT\",^QM(\"DEXT\")=\"Zweites Feld\",^QM(\"DEXT\",0,\"MAX\")=" +
         d.substr(1) + "\"0\"" + d + "\"0\"" + d + "\"0\"" + d + "\"J\"");
    Once("S ^QM(\"DEXT\",0,\"WQMD\")=\"S "
         "DEXTNAME=\"\"Text\"\",DEXREF=\"\"^ZDEX(\"\"\"\"RECHNUNG\"\"\"\",\"\"\"");
    Once("S ^QM(\"DEXT\",1)=\"14\"" + d + "\"1\"" + d + "\"20\"" + d + "\"Name\"" + d + "\"DEXTNAME\"" + d +
         "\"1\"" + d + "\"1\"" + d + "\"0\"");
    Once("S ^QM(\"DEXT\",2)=\"14\"" + d + "\"3\"" + d + "\"60\"" + d + "\"Daten\"" + d + "\"DEXREF\"" + d +
         "\"11\"" + d + "\"10\"" + d + "\"0\"");
    StartMemo("DEXT");
    ASSERT_NE(Form(), nullptr);
    ASSERT_EQ(Form()->GetFormName(), "DEXT");
    HWND explorer = Field(2);
    ASSERT_EQ(harness::ClassOf(explorer), "ExplorerArea");
    SetFocus(GetDlgItem(explorer, CDataExplorer::kListId));
    harness::Pump();
    SetFocus(GetDlgItem(explorer, CDataExplorer::kTreeId));
    harness::Pump();
    EXPECT_EQ(fw::WindowText(explorer), "^ZDEX(\"RECHNUNG\",") << "not field 1's value";
    EXPECT_EQ(fw::WindowText(Field(1)), "Text");
    EXPECT_NE(TreeView_GetRoot(GetDlgItem(explorer, CDataExplorer::kTreeId)), nullptr);
    Once("K ^QME(\"MEMO\",\"DEXT\"),^QM(\"DEXT\")");
}

TEST_F(DataExplorerTest, DividerDragsTheTreeWider) {
    HWND tree = Tree().m_hWnd, list = List().m_hWnd;
    RECT t, l, area;
    // Laid out again before any drag, as a form does when it stretches its fields, the
    // tree still takes half.
    RECT field;
    GetWindowRect(Explorer(), &field);
    for (int less : {120, 0}) {
        SetWindowPos(Explorer(), nullptr, 0, 0, field.right - field.left - less, field.bottom - field.top,
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
        GetWindowRect(tree, &t);
        GetClientRect(Explorer(), &area);
        EXPECT_EQ(t.right - t.left, area.right / 2) << "a field " << less << " narrower";
    }
    GetWindowRect(tree, &t);
    GetWindowRect(list, &l);
    GetClientRect(Explorer(), &area);
    EXPECT_NEAR(t.right - t.left, area.right / 2, 10) << "about half the width at first";
    EXPECT_EQ(l.left, t.right + 2);
    POINT gap{t.right, t.top + 10};
    ScreenToClient(Explorer(), &gap);
    SendMessageA(Explorer(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(gap.x, gap.y));
    SendMessageA(Explorer(), WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(gap.x + 40, gap.y));
    SendMessageA(Explorer(), WM_LBUTTONUP, 0, MAKELPARAM(gap.x + 40, gap.y));
    harness::Pump();
    RECT after;
    GetWindowRect(tree, &after);
    EXPECT_EQ(after.right - after.left, t.right - t.left + 40);
    GetWindowRect(list, &l);
    EXPECT_EQ(l.left, after.right + 2);
    RECT clip;
    GetClipCursor(&clip);
    EXPECT_GT(clip.right - clip.left, area.right) << "the pointer is free again";
    // Once dragged, the tree keeps its width as the field changes.
    SetWindowPos(Explorer(), nullptr, 0, 0, field.right - field.left - 120, field.bottom - field.top,
                 SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    GetWindowRect(tree, &t);
    EXPECT_EQ(t.right - t.left, after.right - after.left);
}
