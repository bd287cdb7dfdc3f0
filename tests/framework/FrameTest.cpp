#include "framework/App.h"
#include "framework/Controls.h"
#include "framework/Frame.h"
#include "framework/MDIClient.h"
#include "framework/Menu.h"
#include "framework/ModalLoop.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

const char* kFrameClass = "FwTest.Frame";
const char* kChildClass = "FwTest.Child";

std::vector<std::string> g_log;

struct RoutingApp : CWinApp {
    bool OnCmdMsg(UINT id, int code, CCmdUI* ui) override {
        static const CommandEntry<RoutingApp> table[] = {{300, 300, &RoutingApp::OnAppCommand, nullptr}};
        return fw::RouteCommand(this, table, id, code, ui);
    }
    void OnAppCommand(UINT id) { g_log.push_back("app " + std::to_string(id)); }
};

struct TestFrame : CMDIFrameWnd {
    bool checked = false;
    bool OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) override {
        static const CommandEntry<TestFrame> table[] = {
            {100, 101, &TestFrame::OnFrameCommand, nullptr},
            {200, 200, &TestFrame::OnFrameCommand, &TestFrame::OnUpdateChecked},
            {250, 250, nullptr, &TestFrame::OnUpdateOff},
        };
        return fw::RouteCommand(this, table, id, code, ui);
    }
    void OnFrameCommand(UINT id) { g_log.push_back("frame " + std::to_string(id)); }
    void OnUpdateChecked(CCmdUI* ui) { ui->SetCheck(checked ? 1 : 0); }
    void OnUpdateOff(CCmdUI* ui) { ui->Enable(false); }
};

struct TestChild : CMDIChildWnd {
    std::string name;
    std::vector<std::pair<HWND, HWND>> activations; // (deactivated, activated) as seen here
    std::vector<bool> ncActive;
    bool OnOwnCmdMsg(UINT id, int code, CCmdUI* ui) override {
        static const CommandEntry<TestChild> table[] = {{101, 101, &TestChild::OnChildCommand, nullptr}};
        return fw::RouteCommand(this, table, id, code, ui);
    }
    void OnChildCommand(UINT id) { g_log.push_back(name + " " + std::to_string(id)); }
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_MDIACTIVATE)
            activations.emplace_back(reinterpret_cast<HWND>(w), reinterpret_cast<HWND>(l));
        if (msg == WM_NCACTIVATE) ncActive.push_back(w != 0);
        return CMDIChildWnd::WindowProc(msg, w, l);
    }
    void PostNcDestroy() override { g_log.push_back(name + " gone"); }
};

class FrameTest : public ::testing::Test {
  protected:
    RoutingApp* app = nullptr;
    TestFrame frame;
    void SetUp() override {
        g_log.clear();
        ASSERT_TRUE(CWnd::RegisterWindowClass(kFrameClass, 0, nullptr, nullptr, nullptr));
        ASSERT_TRUE(CWnd::RegisterWindowClass("FwMDIClient", 0, nullptr, nullptr, nullptr));
        ASSERT_TRUE(CWnd::RegisterWindowClass(kChildClass, 0, nullptr, nullptr,
                                              reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1)));
        app = new RoutingApp;
        ASSERT_TRUE(frame.CreateEx(0, kFrameClass, "Rahmen", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   CRect(0, 0, 600, 400), nullptr, 0));
        ASSERT_NE(frame.m_hWndMDIClient, nullptr);
    }
    void TearDown() override {
        if (frame.IsWindow()) frame.DestroyWindow();
        delete app;
    }
    TestChild* NewChild(const char* name, bool visible = true) {
        auto* c = new TestChild;
        c->name = name;
        EXPECT_TRUE(c->Create(kChildClass, name, visible ? WS_VISIBLE : 0, CRect(10, 10, 210, 160), &frame));
        return c;
    }
    void Command(UINT id) { frame.SendMessage(WM_COMMAND, id, 0); }
};

} // namespace

TEST_F(FrameTest, CommandsGoToTheActiveChildThenTheFrameThenTheApplication) {
    Command(101);
    Command(300);
    TestChild* a = NewChild("A");
    Command(101);
    Command(100);
    Command(999); // nobody: nothing happens
    std::vector<std::string> want = {"frame 101", "app 300", "A 101", "frame 100"};
    EXPECT_EQ(g_log, want);
    a->MDIDestroy();
    delete a;
}

TEST_F(FrameTest, MenuItemsFollowTheirUpdateHandlersOrAreDisabledWithoutAHandler) {
    HMENU popup = CreatePopupMenu();
    for (UINT id : {100u, 200u, 250u, 300u, 999u})
        AppendMenuA(popup, MF_STRING, id, ("Eintrag " + std::to_string(id)).c_str());
    frame.checked = true;
    frame.SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0);
    auto state = [&](UINT id) { return GetMenuState(popup, id, MF_BYCOMMAND); };
    EXPECT_FALSE(state(100) & MF_GRAYED);
    EXPECT_TRUE(state(200) & MF_CHECKED);
    EXPECT_TRUE(state(250) & MF_GRAYED) << "update handler says off";
    EXPECT_FALSE(state(300) & MF_GRAYED) << "the application handles it";
    EXPECT_TRUE(state(999) & MF_GRAYED) << "no handler anywhere";
    // A disabled command does not run from a menu or accelerator.
    Command(250);
    EXPECT_TRUE(g_log.empty());
    DestroyMenu(popup);
}

TEST_F(FrameTest, ToolbarButtonsAreUpdatedWhenIdle) {
    CToolBarCtrl bar;
    ASSERT_TRUE(bar.Create(WS_VISIBLE | TBSTYLE_FLAT, CRect(0, 0, 200, 30), frame.m_hWnd, 1));
    TBBUTTON buttons[3] = {};
    UINT ids[3] = {100, 200, 999};
    for (int i = 0; i < 3; ++i) {
        buttons[i].idCommand = static_cast<int>(ids[i]);
        buttons[i].fsState = TBSTATE_ENABLED;
        buttons[i].fsStyle = BTNS_CHECK;
        buttons[i].iString = -1;
    }
    ASSERT_TRUE(bar.AddButtons(buttons, 3));
    frame.AddUpdateBar(bar.m_hWnd);
    frame.checked = true;
    frame.SendMessage(WM_IDLEUPDATECMDUI, TRUE);
    EXPECT_TRUE(bar.IsButtonEnabled(100));
    EXPECT_TRUE(bar.IsButtonChecked(200));
    EXPECT_FALSE(bar.IsButtonEnabled(999));
    frame.RemoveUpdateBar(bar.m_hWnd);
}

TEST_F(FrameTest, TheClientNumbersActivatesAndWalksItsChildren) {
    TestChild* a = NewChild("A");
    TestChild* b = NewChild("B");
    TestChild* c = NewChild("C", false);
    EXPECT_EQ(GetDlgCtrlID(a->m_hWnd), 0xFF00);
    EXPECT_EQ(GetDlgCtrlID(b->m_hWnd), 0xFF01);
    EXPECT_EQ(GetDlgCtrlID(c->m_hWnd), 0xFF02);
    EXPECT_EQ(frame.MDIGetActive(), b->m_hWnd) << "a hidden new child is not activated";
    ASSERT_FALSE(b->activations.empty());
    EXPECT_EQ(b->activations.back(), std::make_pair(a->m_hWnd, b->m_hWnd));
    EXPECT_EQ(a->activations.back(), std::make_pair(a->m_hWnd, b->m_hWnd)) << "both sides hear of it";
    EXPECT_FALSE(a->ncActive.back()) << "the old caption is drawn inactive";

    frame.MDINext();
    EXPECT_EQ(frame.MDIGetActive(), c->m_hWnd);
    frame.MDINext();
    EXPECT_EQ(frame.MDIGetActive(), a->m_hWnd) << "wraps to the first id";
    frame.MDINext(true);
    EXPECT_EQ(frame.MDIGetActive(), c->m_hWnd) << "and backwards";

    // A click inside an inactive child activates it.
    b->SendMessage(WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(frame.m_hWnd),
                   MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
    EXPECT_EQ(frame.MDIGetActive(), b->m_hWnd);
    EXPECT_EQ(frame.MDIChildren().front(), b->m_hWnd) << "and raises it";

    // Destroying the active child activates the one below it and renumbers the rest.
    b->MDIDestroy();
    EXPECT_EQ(frame.MDIGetActive(), c->m_hWnd);
    EXPECT_EQ(GetDlgCtrlID(a->m_hWnd), 0xFF00);
    EXPECT_EQ(GetDlgCtrlID(c->m_hWnd), 0xFF01);
    // A child that destroys itself is no longer active afterwards either.
    c->DestroyWindow();
    EXPECT_EQ(frame.MDIGetActive(), a->m_hWnd);
    a->MDIDestroy();
    EXPECT_EQ(frame.MDIGetActive(), nullptr);
    std::vector<std::string> gone = {"B gone", "C gone", "A gone"};
    EXPECT_EQ(g_log, gone);
    delete a;
    delete b;
    delete c;
}

TEST_F(FrameTest, MaximisedChildFillsTheClient) {
    TestChild* a = NewChild("A");
    frame.MDIMaximize(a->m_hWnd);
    BOOL maximized = FALSE;
    EXPECT_EQ(frame.MDIGetActive(&maximized), a->m_hWnd);
    EXPECT_TRUE(maximized);
    frame.MDIRestore(a->m_hWnd);
    EXPECT_FALSE(IsZoomed(a->m_hWnd));
    a->MDIDestroy();
    delete a;
}

namespace {

struct LoopWindow : CWnd {
    CModalLoop loop{*this};
    LRESULT WindowProc(UINT msg, WPARAM w, LPARAM l) override {
        if (msg == WM_USER) {
            loop.End(static_cast<int>(w));
            return 0;
        }
        if (msg == WM_USER + 1) DestroyWindow();
        return CWnd::WindowProc(msg, w, l);
    }
};

} // namespace

TEST_F(FrameTest, ModalLoopEndsWithItsCodeOrWhenTheWindowGoes) {
    LoopWindow w;
    ASSERT_TRUE(w.CreateEx(0, kFrameClass, "modal", WS_POPUP, CRect(0, 0, 50, 50), frame.m_hWnd, 0));
    w.PostMessage(WM_USER, 32783);
    EXPECT_EQ(w.loop.Run(), 32783);
    w.PostMessage(WM_USER + 1);
    EXPECT_EQ(w.loop.Run(), -1);
}

TEST_F(FrameTest, OwnerGuardGivesTheOwnerBackOnEveryExit) {
    bool restored = false;
    try {
        CModalOwnerGuard guard(frame.m_hWnd, [&] { restored = true; });
        EXPECT_FALSE(IsWindowEnabled(frame.m_hWnd));
        throw 1;
    } catch (int) {
    }
    EXPECT_TRUE(IsWindowEnabled(frame.m_hWnd));
    EXPECT_TRUE(restored);
    EnableWindow(frame.m_hWnd, FALSE);
    { CModalOwnerGuard guard(frame.m_hWnd); }
    EXPECT_FALSE(IsWindowEnabled(frame.m_hWnd)) << "an owner that was disabled before stays so";
    EnableWindow(frame.m_hWnd, TRUE);
}

TEST_F(FrameTest, OwnerDrawnMenuKeepsTextsMeasuresAndDraws) {
    HMENU popup = CreatePopupMenu();
    AppendMenuA(popup, MF_STRING, 100, "&Anmelden\tStrg+N");
    AppendMenuA(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuA(popup, MF_STRING | MF_CHECKED, 200, "Statusleiste");
    COwnerDrawMenus drawer;
    HFONT font = static_cast<HFONT>(GetStockObject(DEFAULT_GUI_FONT));
    drawer.SetFont(font);
    drawer.Convert(popup);
    drawer.Convert(popup); // twice changes nothing
    EXPECT_EQ(CMenu::ItemText(popup, 0), "&Anmelden\tStrg+N");
    MENUITEMINFOA mii{};
    mii.cbSize = sizeof mii;
    mii.fMask = MIIM_FTYPE | MIIM_DATA;
    ASSERT_TRUE(GetMenuItemInfoA(popup, 0, TRUE, &mii));
    EXPECT_TRUE(mii.fType & MFT_OWNERDRAW);
    ASSERT_NE(drawer.TextOf(mii.dwItemData), nullptr);
    EXPECT_EQ(*drawer.TextOf(mii.dwItemData), "&Anmelden\tStrg+N");
    GetMenuItemInfoA(popup, 1, TRUE, &mii);
    EXPECT_FALSE(mii.fType & MFT_OWNERDRAW) << "separators stay as they are";

    GetMenuItemInfoA(popup, 0, TRUE, &mii);
    MEASUREITEMSTRUCT mis{};
    mis.CtlType = ODT_MENU;
    mis.itemData = mii.dwItemData;
    ASSERT_TRUE(drawer.OnMeasureItem(frame.m_hWnd, &mis));
    EXPECT_GT(mis.itemWidth, 40u);
    EXPECT_GT(mis.itemHeight, 8u);

    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bmp = CreateCompatibleBitmap(screen, 200, 30);
    ReleaseDC(nullptr, screen);
    HGDIOBJ old = SelectObject(dc, bmp);
    DRAWITEMSTRUCT dis{};
    dis.CtlType = ODT_MENU;
    dis.hDC = dc;
    dis.rcItem = RECT{0, 0, 200, 30};
    dis.itemData = mii.dwItemData;
    ASSERT_TRUE(drawer.OnDrawItem(&dis));
    int inked = 0;
    COLORREF back = GetPixel(dc, 1, 1);
    for (int x = 0; x < 200; ++x)
        for (int y = 0; y < 30; ++y)
            if (GetPixel(dc, x, y) != back) ++inked;
    EXPECT_GT(inked, 20) << "the text was drawn";
    SelectObject(dc, old);
    DeleteObject(bmp);
    DeleteDC(dc);
    DestroyMenu(popup);
}

TEST(ControlsTest, ComboFindsByPrefixAndTabsKeepTheirValues) {
    ASSERT_TRUE(CWnd::RegisterWindowClass(kFrameClass, 0, nullptr, nullptr, nullptr));
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, kFrameClass, "p", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    CComboBox combo;
    ASSERT_TRUE(combo.Create(CBS_DROPDOWNLIST | WS_VSCROLL, CRect(0, 0, 150, 200), parent.m_hWnd, 1011));
    combo.AddString("10 (Klinik Nord)");
    combo.AddString("101 (Standardmandant)");
    combo.AddString("2 (Praxis)");
    EXPECT_EQ(combo.FindString(-1, "101 ("), 1);
    EXPECT_EQ(combo.FindString(-1, "10"), 0) << "a bare prefix takes the first that fits";
    EXPECT_EQ(combo.FindString(-1, "7"), CB_ERR);
    EXPECT_EQ(combo.GetLBText(2), "2 (Praxis)");
    EXPECT_EQ(combo.GetLBText(5), "");

    CTabCtrl tabs;
    ASSERT_TRUE(tabs.Create(0, CRect(0, 0, 300, 200), parent.m_hWnd, 49152));
    tabs.InsertItem(0, "Stammdaten", 1);
    tabs.InsertItem(1, "Befunde", 32770);
    EXPECT_EQ(tabs.GetItemParam(1), 32770);
    tabs.SetItemParam(1, 2);
    tabs.SetItemText(1, "Befunde (neu)");
    EXPECT_EQ(tabs.GetItemParam(1), 2);
    EXPECT_EQ(tabs.GetItemText(1), "Befunde (neu)");
    parent.DestroyWindow();
}

TEST_F(FrameTest, AttachLeavesAWindowWithItsObject) {
    TestChild* a = NewChild("A");
    CWnd other;
    EXPECT_FALSE(other.Attach(a->m_hWnd)) << "its messages keep going through its own object";
    EXPECT_EQ(CWnd::FromHandlePermanent(a->m_hWnd), a);
    a->MDIDestroy();
    delete a;
}

TEST(ControlsTest, EditCommandsReachTheEditControl) {
    ASSERT_TRUE(CWnd::RegisterWindowClass(kFrameClass, 0, nullptr, nullptr, nullptr));
    CWnd parent;
    ASSERT_TRUE(parent.CreateEx(0, kFrameClass, "p", WS_POPUP, CRect(0, 0, 300, 200), nullptr, 0));
    HWND edit =
        CreateWindowExA(0, "EDIT", "Wert", WS_CHILD, 0, 0, 100, 20, parent.m_hWnd, nullptr, nullptr, nullptr);
    ASSERT_TRUE(SendEditCommand(edit, kEditSelectAll));
    ASSERT_TRUE(SendEditCommand(edit, kEditClear));
    char text[16] = {};
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "");
    ASSERT_TRUE(SendEditCommand(edit, kEditUndo));
    GetWindowTextA(edit, text, sizeof text);
    EXPECT_STREQ(text, "Wert");
    EXPECT_FALSE(SendEditCommand(edit, 57600)) << "not an edit command";
    parent.DestroyWindow();
}
