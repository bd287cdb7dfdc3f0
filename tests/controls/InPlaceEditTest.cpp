// The in-place edit over a stand-in grid window that records what the edit reports.
#include "controls/FocusedControl.h"
#include "controls/InPlaceEdit.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

struct Report {
    int row, column;
    std::string text;
    UINT key;
};

class StandInGrid : public CWnd {
  public:
    std::vector<Report> reports;
    std::vector<UINT> commands;
    bool destroyOnReport = false;

    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_NOTIFY && wParam == kInPlaceEditId) {
            auto* end = reinterpret_cast<InPlaceEditEnd*>(lParam);
            if (end->hdr.code == kInPlaceEditEnded)
                reports.push_back({end->row, end->column, end->text, end->key});
            if (destroyOnReport) DestroyWindow();
            return 0;
        }
        // The edit's own EN_ notifications carry a code; its F4 request carries none.
        if (msg == WM_COMMAND && HIWORD(wParam) == 0) commands.push_back(LOWORD(wParam));
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

std::vector<UINT> g_offered;
bool g_takeNcCalcSize = false;
bool RecordingTabEdit(HWND, UINT msg, WPARAM, LPARAM, LRESULT* result, WNDPROC oldProc) {
    g_offered.push_back(msg);
    *result = 0;
    return msg == WM_NCCALCSIZE && g_takeNcCalcSize && oldProc != nullptr;
}

class InPlaceEditTest : public ::testing::Test {
  protected:
    StandInGrid grid;
    HFONT font = static_cast<HFONT>(::GetStockObject(DEFAULT_GUI_FONT));

    void SetUp() override {
        ASSERT_TRUE(CWnd::RegisterWindowClass("GridTest.StandIn", CS_DBLCLKS, nullptr, nullptr, nullptr));
        ASSERT_TRUE(grid.CreateEx(0, "GridTest.StandIn", "", WS_POPUP | WS_VISIBLE, CRect(40, 40, 440, 240),
                                  nullptr, 0));
        ::SetForegroundWindow(grid);
        ::SetFocus(grid);
    }
    void TearDown() override {
        if (grid.IsWindow()) grid.DestroyWindow();
        CInPlaceEdit::SetTabEditProc(nullptr);
    }
    HWND Open(const char* text, UINT firstChar = 0, bool plain = true, DWORD style = 0) {
        CInPlaceEdit::Start start;
        start.firstChar = firstChar;
        auto* edit =
            new CInPlaceEdit(plain, &grid, CRect(10, 10, 110, 30), style, 3, 2, text, start, font, 2, 1);
        if (edit->GetSafeHwnd()) return edit->m_hWnd;
        delete edit;
        return nullptr;
    }
    static std::string Text(HWND edit) {
        char buf[256] = {};
        ::GetWindowTextA(edit, buf, sizeof buf);
        return buf;
    }
};

} // namespace

TEST_F(InPlaceEditTest, OpensFocusedOverTheCellAndTypingReplacesTheText) {
    HWND edit = Open("alt", 'n');
    ASSERT_NE(edit, nullptr);
    EXPECT_EQ(::GetFocus(), edit);
    EXPECT_EQ(FocusedControlKind, kFocusKindGrid);
    EXPECT_EQ(Text(edit), "n");
    ::SendMessageA(edit, WM_CHAR, 'e', 0);
    EXPECT_EQ(Text(edit), "ne");
    ::SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    ::SendMessageA(edit, WM_CHAR, VK_RETURN, 0);
    ASSERT_EQ(grid.reports.size(), 1u);
    EXPECT_EQ(grid.reports[0].text, "ne");
    EXPECT_EQ(grid.reports[0].key, static_cast<UINT>(VK_RETURN));
    EXPECT_EQ(grid.reports[0].row, 3);
    EXPECT_EQ(grid.reports[0].column, 2);
    EXPECT_FALSE(::IsWindow(edit)) << "the edit goes once it has reported";
    EXPECT_EQ(::GetFocus(), grid.m_hWnd);
    EXPECT_EQ(FocusedControlKind, kFocusKindNone);
}

TEST_F(InPlaceEditTest, BackspaceExtendsFromTheEndAndEnterStartKeepsTheText) {
    HWND edit = Open("abc", VK_BACK);
    EXPECT_EQ(Text(edit), "ab");
    ::SetFocus(grid);
    edit = Open("abc", VK_RETURN);
    EXPECT_EQ(Text(edit), "abc");
    ::SetFocus(grid);
    ASSERT_EQ(grid.reports.size(), 2u);
    EXPECT_EQ(grid.reports[1].key, 0u) << "losing the focus ends without a key";
}

TEST_F(InPlaceEditTest, EscapeRestoresTheTextAndReportsOnce) {
    HWND edit = Open("vorher", 'x');
    EXPECT_EQ(Text(edit), "x");
    ::SendMessageA(edit, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_EQ(grid.reports.size(), 1u);
    EXPECT_EQ(grid.reports[0].text, "vorher");
    EXPECT_EQ(grid.reports[0].key, static_cast<UINT>(VK_ESCAPE));
    ::SetFocus(nullptr);
    EXPECT_EQ(grid.reports.size(), 1u);
}

TEST_F(InPlaceEditTest, WhichKeysEndTheEdit) {
    struct Case {
        const char* what;
        UINT firstChar;
        DWORD style;
        UINT key;
        bool ends;
    } cases[] = {
        {"arrows end an edit started by typing", 'a', 0, VK_LEFT, true},
        {"arrows move the caret in an edit opened by click", 0, 0, VK_LEFT, false},
        {"up and down always leave one line", 0, 0, VK_DOWN, true},
        {"plain Tab leaves one line", 0, 0, VK_TAB, true},
        {"a function key leaves", 0, 0, VK_F9, true},
        {"a letter key stays", 0, 0, 'Q', false},
        {"plain Tab stays in several lines", 0, ES_AUTOVSCROLL, VK_TAB, false},
    };
    for (const Case& c : cases) {
        grid.reports.clear();
        HWND edit = Open("zwei\r\nZeilen", c.firstChar, true, c.style);
        ASSERT_NE(edit, nullptr) << c.what;
        ::SendMessageA(edit, WM_KEYDOWN, c.key, 0);
        EXPECT_EQ(grid.reports.size(), c.ends ? 1u : 0u) << c.what;
        if (c.ends && !grid.reports.empty()) {
            EXPECT_EQ(grid.reports[0].key, c.key) << c.what;
        }
        ::SetFocus(grid);
    }
}

TEST_F(InPlaceEditTest, F4InAPlainEditAsksTheGridAndFunctionKeyUpEnds) {
    HWND edit = Open("x");
    ::SendMessageA(edit, WM_KEYDOWN, VK_F4, 0);
    ASSERT_EQ(grid.commands.size(), 1u);
    EXPECT_EQ(grid.commands[0], kInPlaceEditId);
    EXPECT_TRUE(grid.reports.empty());
    ::SendMessageA(edit, WM_KEYUP, VK_F2, 0);
    ASSERT_EQ(grid.reports.size(), 1u);
    EXPECT_EQ(grid.reports[0].key, static_cast<UINT>(VK_F2));
}

TEST_F(InPlaceEditTest, AGridDestroyedInsideTheReportTakesTheEditWithIt) {
    grid.destroyOnReport = true;
    HWND edit = Open("x");
    ::SendMessageA(edit, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_FALSE(grid.IsWindow());
    EXPECT_FALSE(::IsWindow(edit));
    EXPECT_EQ(grid.reports.size(), 1u);
}

TEST_F(InPlaceEditTest, TheDropButtonEditOffersEveryMessageToTheTabEditFirst) {
    CInPlaceEdit::SetTabEditProc(&RecordingTabEdit);
    g_offered.clear();
    g_takeNcCalcSize = true;
    HWND plain = Open("p", 0, true);
    EXPECT_TRUE(g_offered.empty()) << "a plain edit keeps to itself";
    ::SetFocus(grid);
    HWND button = Open("b", 0, false);
    ASSERT_NE(button, nullptr);
    (void)plain;
    EXPECT_NE(std::find(g_offered.begin(), g_offered.end(), static_cast<UINT>(WM_NCCALCSIZE)),
              g_offered.end());
    g_offered.clear();
    ::SendMessageA(button, WM_KEYDOWN, VK_RETURN, 0);
    EXPECT_NE(std::find(g_offered.begin(), g_offered.end(), static_cast<UINT>(WM_KEYDOWN)), g_offered.end());
    EXPECT_EQ(grid.reports.back().key, static_cast<UINT>(VK_RETURN))
        << "unhandled there, the edit's own keys";
    g_takeNcCalcSize = false;
}

TEST_F(InPlaceEditTest, TheEditGrowsWithItsTextWithinTheGrid) {
    HWND edit = Open("", 0);
    RECT before;
    ::GetWindowRect(edit, &before);
    for (int i = 0; i < 200; ++i)
        ::SendMessageA(edit, WM_CHAR, 'W', 0);
    RECT after, client;
    ::GetWindowRect(edit, &after);
    ::GetClientRect(grid, &client);
    EXPECT_GT(after.right - after.left, before.right - before.left);
    POINT right{after.right, after.bottom};
    ::ScreenToClient(grid, &right);
    EXPECT_LE(right.x, client.right);
}

TEST_F(InPlaceEditTest, TheCaretFollowsTheClickOrTheGivenSelection) {
    CInPlaceEdit::Start start;
    POINT farRight{105, 20}; // right of the text, in grid coordinates
    start.click = &farRight;
    auto* edit = new CInPlaceEdit(true, &grid, CRect(10, 10, 110, 30), 0, 1, 1, "abcd", start, font, 2, 1);
    ASSERT_NE(edit->GetSafeHwnd(), nullptr);
    DWORD sel = static_cast<DWORD>(::SendMessageA(edit->m_hWnd, EM_GETSEL, 0, 0));
    EXPECT_EQ(LOWORD(sel), 4);
    EXPECT_EQ(HIWORD(sel), 4);
    ::SetFocus(grid);

    CInPlaceEdit::Start given;
    given.selection = MAKELONG(1, 3);
    edit = new CInPlaceEdit(true, &grid, CRect(10, 10, 110, 30), 0, 1, 1, "abcd", given, font, 2, 1);
    ASSERT_NE(edit->GetSafeHwnd(), nullptr);
    sel = static_cast<DWORD>(::SendMessageA(edit->m_hWnd, EM_GETSEL, 0, 0));
    EXPECT_EQ(LOWORD(sel), 1);
    EXPECT_EQ(HIWORD(sel), 3);
}
