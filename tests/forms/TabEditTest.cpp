// Edit fields and the tab-edit field's drop button.
#include "tests/forms/FormFixture.h"

#include "controls/Global.h"
#include "theme/ThemeInterface.h"
#include "tests/harness/Pointer.h"

#include <uxtheme.h>

#include <string>
#include <vector>

namespace {

LONG_PTR State(HWND edit) {
    return GetWindowLongPtrA(edit, GWLP_USERDATA);
}

} // namespace

class TabEditTest : public FormTest {
  protected:
    HWND tab = nullptr;
    CRect client; // the tab edit's client area on the screen
    LPARAM OnButton() const { return MAKELPARAM(client.right + 2, client.top + 3); }

    void SetUp() override {
        FormTest::SetUp();
        tab = form.InsertTabEdit(0x1002, CRect(10, 60, 130, 84), WS_EX_CLIENTEDGE, 0, "");
        ASSERT_NE(tab, nullptr);
        GetClientRect(tab, &client);
        MapWindowPoints(tab, nullptr, reinterpret_cast<POINT*>(&client), 2);
    }
};

TEST_F(TabEditTest, TheDropButtonIsAScrollBarWideStripRightOfTheText) {
    HWND plain = form.InsertEdit(0x1001, CRect(10, 90, 130, 114), WS_EX_CLIENTEDGE, 0, "");
    RECT p, t;
    GetClientRect(plain, &p);
    GetClientRect(tab, &t);
    EXPECT_EQ(p.right - t.right, GetSystemMetrics(SM_CXVSCROLL));

    struct Case {
        const char* where;
        POINT at;
        LRESULT hit;
    } cases[] = {
        {"on the button", {client.right + 2, client.top + 3}, HTVSCROLL},
        {"under the button, on the frame", {client.right + 2, client.bottom}, HTBORDER},
        {"in the text", {client.left + 3, client.top + 3}, HTCLIENT},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SendMessageA(tab, WM_NCHITTEST, 0, MAKELPARAM(c.at.x, c.at.y)), c.hit) << c.where;
}

TEST_F(TabEditTest, F4DownAndUpSendTheFieldsCommandTwiceAndOtherKeysReachTheEdit) {
    SendMessageA(tab, WM_KEYDOWN, VK_F4, 0x003E0001);
    SendMessageA(tab, WM_KEYUP, VK_F4, 0xC03E0001);
    ASSERT_EQ(form.commands.size(), 2u);
    for (const auto& c : form.commands) {
        EXPECT_EQ(c.first, MAKEWPARAM(0x1002, 0));
        EXPECT_EQ(c.second, reinterpret_cast<LPARAM>(tab));
    }
    SendMessageA(tab, WM_KEYDOWN, VK_F5, 0x003F0001);
    SendMessageA(tab, WM_CHAR, 'x', 1);
    EXPECT_EQ(form.commands.size(), 2u);
    EXPECT_EQ(fw::WindowText(tab), "x");
}

TEST_F(TabEditTest, EveryFormEditTurnsCharacter29Into254AndKeepsOnePixelMargins) {
    HWND plain = form.InsertEdit(0x1001, CRect(10, 90, 130, 114), 0, 0, "");
    CFont other;
    other.CreatePointFont(120, "Tahoma");
    for (HWND edit : {plain, tab}) {
        SendMessageA(edit, WM_CHAR, 29, 1);
        SendMessageA(edit, WM_CHAR, 'a', 1);
        EXPECT_EQ(fw::WindowText(edit), "\xFE"
                                        "a");
        EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), MAKELONG(1, 1));
        SendMessageA(edit, WM_SETFONT, reinterpret_cast<WPARAM>(static_cast<HFONT>(other)), 0);
        EXPECT_EQ(SendMessageA(edit, EM_GETMARGINS, 0, 0), MAKELONG(1, 1)) << "after a new font too";
    }
}

TEST_F(TabEditTest, HotAndPressedBitsFollowTheMouseOverTheDropButton) {
    SendMessageA(tab, WM_NCMOUSEMOVE, HTVSCROLL, OnButton());
    EXPECT_EQ(State(tab), kTabEditHot);
    SendMessageA(tab, WM_NCMOUSEMOVE, HTBORDER, OnButton());
    EXPECT_EQ(State(tab), 0);

    SendMessageA(tab, WM_NCLBUTTONDOWN, HTVSCROLL, OnButton());
    EXPECT_EQ(State(tab), kTabEditHot | kTabEditPressed);
    EXPECT_EQ(GetCapture(), tab);
    EXPECT_EQ(GetFocus(), tab);
    ASSERT_EQ(form.commands.size(), 1u) << "pressing the button opens the field's list";
    EXPECT_EQ(form.commands[0].second, reinterpret_cast<LPARAM>(tab));

    SendMessageA(tab, WM_LBUTTONUP, 0, MAKELPARAM(client.Width() + 2, 3));
    EXPECT_EQ(State(tab), kTabEditHot);
    EXPECT_EQ(GetCapture(), nullptr);
    EXPECT_EQ(form.commands.size(), 1u);

    ASSERT_TRUE(harness::MovePointer(0, 0)); // far from the button
    SendMessageA(tab, WM_TIMER, 1, 0);
    EXPECT_EQ(State(tab), 0) << "the mouse has left";
}

namespace {

// A theme table whose drawing entry notes what it is asked and answers as told.
std::vector<ThemeDrawParams> g_drawn;
std::vector<RECT> g_drawnRects;
BOOL g_drawAnswer = TRUE;
BOOL WINAPI RecordDraw(ThemeDrawParams* p) {
    g_drawn.push_back(*p);
    g_drawnRects.push_back(*p->rect);
    return g_drawAnswer;
}
BOOL WINAPI Yes() {
    return TRUE;
}
ThemeInterface g_recording{&RecordDraw, nullptr, &Yes};

bool SamePixels(const imgtest::Surface& a, const imgtest::Surface& b, int width, int height) {
    for (int i = 0; i < width * height; ++i)
        if (a.At(i % width, i / width) != b.At(i % width, i / width)) return false;
    return true;
}

} // namespace

// The drop button in kind 4 with the real library or a recording table, and classic.
class TabEditButtonTest : public TabEditTest {
  protected:
    RECT button{}; // right of the client area, in window coordinates
    int width = 0, height = 0;

    void SetUp() override {
        TabEditTest::SetUp();
        RECT window;
        GetWindowRect(tab, &window);
        width = GetSystemMetrics(SM_CXVSCROLL);
        height = client.Height();
        button = RECT{client.right - window.left, client.top - window.top, 0, 0};
        button.right = button.left + width;
        button.bottom = button.top + height;
        g_drawAnswer = TRUE;
    }
    void TearDown() override {
        theApp.ProbeThemeLibrary(0);
        TabEditTest::TearDown();
    }
    void Use(bool library, bool recording) {
        theApp.ProbeThemeLibrary(library ? MAKELONG(0, 6) : 0);
        ASSERT_EQ(theApp.IsThemeActive(), library) << "Wine's default prefix draws with visual styles";
        if (recording) theApp.m_pThemeApi = &g_recording;
    }
    // Draws the button through the window's non-client paint, in that state.
    void Paint(LONG_PTR bits, bool enabled) {
        EnableWindow(tab, enabled ? TRUE : FALSE);
        SetWindowLongPtrA(tab, GWLP_USERDATA, bits);
        g_drawn.clear();
        g_drawnRects.clear();
        SendMessageA(tab, WM_NCPAINT, 1, 0);
    }
    bool ShowsClassic(UINT look) {
        imgtest::Surface shown(width, height), expected(width, height);
        HDC dc = GetWindowDC(tab);
        BitBlt(shown.dc(), 0, 0, width, height, dc, button.left, button.top, SRCCOPY);
        ReleaseDC(tab, dc);
        RECT r{0, 0, width, height};
        DrawFrameControl(expected.dc(), &r, DFC_SCROLL, DFCS_SCROLLCOMBOBOX | look);
        return SamePixels(shown, expected, width, height);
    }
};

TEST_F(TabEditButtonTest, ThemeIsAskedForAComboBoxButtonInTheFieldsState) {
    Use(true, true);
    struct Case {
        LONG_PTR bits;
        bool enabled;
        int state;
    } cases[] = {{0, true, 1},
                 {kTabEditHot, true, 2},
                 {kTabEditPressed, true, 3},
                 {kTabEditHot | kTabEditPressed, true, 3},
                 {kTabEditHot | kTabEditPressed, false, 4}};
    for (const auto& c : cases) {
        Paint(c.bits, c.enabled);
        ASSERT_EQ(g_drawn.size(), 1u) << c.state;
        const ThemeDrawParams& p = g_drawn[0];
        EXPECT_EQ(p.state, c.state);
        EXPECT_TRUE(p.flags == kThemeDrawBackground && p.window == tab && p.dc && p.part == 1 &&
                    !p.secondRect);
        EXPECT_EQ(std::wstring(p.classList), L"ComboBox");
        EXPECT_TRUE(EqualRect(&g_drawnRects[0], &button)) << c.state;
    }

    // With a device context and rectangle: its right-most scroll-bar width, neither hot nor pressed.
    imgtest::Surface s(100, 30);
    RECT given{5, 2, 95, 28}, right{95 - width, 2, 95, 28}, narrow{5, 2, 9, 28};
    for (bool enabled : {true, false}) {
        Paint(kTabEditHot | kTabEditPressed, enabled);
        CGlobal::TabEditDrawButton(tab, s.dc(), &given);
        EXPECT_EQ(g_drawn.back().dc, s.dc());
        EXPECT_EQ(g_drawn.back().state, enabled ? 1 : 4);
        EXPECT_TRUE(EqualRect(&g_drawnRects.back(), &right));
    }
    CGlobal::TabEditDrawButton(tab, s.dc(), &narrow);
    EXPECT_TRUE(EqualRect(&g_drawnRects.back(), &narrow)) << "never wider than the rectangle";
}

TEST_F(TabEditButtonTest, ClassicWithoutTheLibraryOrWhenTheThemeDrawsNothing) {
    struct Case {
        const char* what;
        bool recording; // answering 0
        LONG_PTR bits;
        bool enabled;
        UINT look;
    } cases[] = {
        {"hot", false, kTabEditHot, true, 0},
        {"pressed", false, kTabEditPressed | kTabEditHot, true, DFCS_PUSHED | DFCS_FLAT},
        {"disabled", false, kTabEditPressed, false, DFCS_INACTIVE},
        {"theme draws nothing, pressed", true, kTabEditPressed, true, DFCS_PUSHED | DFCS_FLAT},
        {"theme draws nothing, disabled", true, 0, false, DFCS_INACTIVE},
    };
    for (const auto& c : cases) {
        Use(c.recording, c.recording);
        g_drawAnswer = FALSE;
        Paint(c.bits, c.enabled);
        EXPECT_EQ(g_drawn.size(), c.recording ? 1u : 0u) << c.what;
        EXPECT_TRUE(ShowsClassic(c.look)) << c.what;
    }
}

TEST_F(TabEditButtonTest, ThemedPixelsComeFromTheLibrary) {
    Use(true, false);
    HTHEME theme = OpenThemeData(tab, L"ComboBox");
    RECT r{0, 0, width, height};
    for (int state : {1, 4}) {
        EnableWindow(tab, state == 1 ? TRUE : FALSE);
        imgtest::Surface drawn(width, height), expected(width, height);
        CGlobal::TabEditDrawButton(tab, drawn.dc(), &r);
        DrawThemeBackground(theme, expected.dc(), 1, state, &r, nullptr);
        EXPECT_TRUE(SamePixels(drawn, expected, width, height)) << state;
    }
    Paint(0, true);
    EXPECT_FALSE(ShowsClassic(0)) << "the field's own button is themed too";
    CloseThemeData(theme);
}
