// Edit fields and the tab-edit field's drop button.
#include "tests/forms/FormFixture.h"

#include "controls/Global.h"

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

    SetCursorPos(0, 0); // far from the button
    SendMessageA(tab, WM_TIMER, 1, 0);
    EXPECT_EQ(State(tab), 0) << "the mouse has left";
}
