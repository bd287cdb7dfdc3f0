// The sizable rebars, the button bar and the menu bar, and the frame's layout in the profile.
#include "frame/BarLogic.h"
#include "frame/ToolBarExMenu.h"
#include "frame/ToolBarExTool.h"
#include "framework/SizableReBar.h"
#include "framework/ToolBarEx.h"
#include "controls/FocusedControl.h"
#include "resources/SessionIds.h"
#include "tests/frame/MainFrameFixture.h"
#include "tests/frame/MenuDriver.h"
#include "tests/harness/Pointer.h"

#include <windowsx.h>

namespace {

constexpr const char* kSection = "Settings\\Windows\\";

// A plain top-level window that keeps the notifications its bars send it.
class Host : public CWnd {
  public:
    std::vector<UINT> codes;
    std::vector<UINT> commands;
    // A frame passes its menus' selections on to its menu bar.
    CToolBarExMenu* menuBar = nullptr;
    bool Create(int width, int height) {
        static bool registered = CWnd::RegisterWindowClass("BarsTestHost", 0, nullptr, nullptr,
                                                           reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1));
        (void)registered;
        return CreateEx(0, "BarsTestHost", "Leisten", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN | WS_VISIBLE,
                        CRect(10, 10, 10 + width, 10 + height), nullptr, 0);
    }
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_NOTIFY && lParam) codes.push_back(reinterpret_cast<NMHDR*>(lParam)->code);
        if (msg == WM_COMMAND) commands.push_back(LOWORD(wParam));
        if (msg == WM_MENUSELECT && menuBar && menuBar->m_hWnd) menuBar->SendMessage(msg, wParam, lParam);
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

// A toolbar of n text buttons, 100 + id each, the second one disabled.
void AddTextButtons(CToolBarCtrl& bar, int n) {
    for (int i = 0; i < n; ++i) {
        std::string text = "Knopf " + std::to_string(i);
        text.push_back('\0');
        TBBUTTON b{};
        b.iBitmap = I_IMAGENONE;
        b.idCommand = 100 + i;
        b.fsState = i == 1 ? 0 : TBSTATE_ENABLED;
        b.fsStyle = BTNS_BUTTON | BTNS_AUTOSIZE;
        b.iString =
            static_cast<INT_PTR>(bar.SendMessage(TB_ADDSTRINGA, 0, reinterpret_cast<LPARAM>(text.c_str())));
        bar.AddButtons(&b, 1);
    }
}

// A side bar 180 wide at the host's left edge with a stand-in for the menu tree in its band.
void MakeSideBar(Host& host, CSizableReBar& side, CWnd& tree, int height) {
    ASSERT_TRUE(host.Create(600, 400));
    ASSERT_TRUE(side.Create(host, 7, CSizableReBar::kSideBar, false));
    side.SetWindowPos(nullptr, 0, 0, 180, height, SWP_NOZORDER);
    ASSERT_TRUE(tree.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 10), side.GetReBar(), 1));
    EXPECT_GT(side.AddBar(tree, 1, 180, 0, 180, nullptr, 0, 0), 0);
}

void WaitForSlide(const CSizableReBar& bar) {
    harness::PumpUntil([&] { return !bar.IsSliding(); }, 3000);
}

std::string Record(int mode, int large, int count, std::vector<int> rows, size_t size = 44) {
    vorlan::ToolBarRecord r;
    r.textMode = mode;
    r.largeIcons = large;
    for (int row : rows)
        r.rows.push_back(static_cast<std::uint8_t>(row));
    std::string bytes = vorlan::BuildToolBarRecord(r);
    bytes[8] = static_cast<char>(count);
    bytes.resize(size, '\0');
    return bytes;
}

const ToolButtonRow kRows[] = {
    {0, 0, TBSTATE_ENABLED, BTNS_SEP, 0},
    {0, ID_LOGIN, TBSTATE_ENABLED, BTNS_SHOWTEXT, IDS_BAR_LOGIN},
    {1, ID_BLOCK_PC, TBSTATE_ENABLED, BTNS_BUTTON, IDS_BAR_LOCK},
    {2, ID_EDIT_CUT, TBSTATE_ENABLED, BTNS_BUTTON, IDS_BAR_CUT},
    {3, ID_EDIT_COPY, TBSTATE_ENABLED, BTNS_BUTTON, IDS_CUSTOMIZE_TEXT_MODES}, // a long text
};
const UINT kImages[6] = {IDB_BAR_LARGE,  IDB_BAR_LARGE_HOT,  IDB_BAR_LARGE_DISABLED,
                         IDB_MODAL_TOOL, IDB_MODAL_TOOL_HOT, IDB_MODAL_TOOL_DISABLED};

std::vector<int> Rows(const CToolBarExTool& bar) {
    std::vector<int> out;
    for (auto r : bar.GetToolBar().rows)
        out.push_back(r);
    return out;
}

} // namespace

TEST(SizableReBar, SizeBandSlotsAndTheChevronsButtons) {
    Host host;
    ASSERT_TRUE(host.Create(600, 200));
    CSizableReBarTool rebar;
    ASSERT_TRUE(rebar.Create(host));
    CToolBarCtrl bar;
    ASSERT_TRUE(bar.CreateEx(
        0, TBSTYLE_FLAT | TBSTYLE_LIST | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN | CCS_ADJUSTABLE, 0,
        CRect(0, 0, 0, 0), rebar.GetReBar(), 2));
    AddTextButtons(bar, 8);

    EXPECT_EQ(rebar.AddSizeBand(10, 0, 0), 0) << "slot 10 does not exist";
    EXPECT_EQ(rebar.AddSizeBand(3, 0, 0), 0) << "slot 3 is empty";
    EXPECT_EQ(rebar.GetBandCount(), 0);
    CRect last = bar.GetItemRect(7);
    rebar.SetSizeBandInfo(3, bar, last.right, last.bottom, RBBS_USECHEVRON | RBBS_NOGRIPPER, 0, 1);
    EXPECT_EQ(rebar.AddSizeBand(3, 0, 0), 1);
    ASSERT_EQ(rebar.GetBandCount(), 1);
    rebar.OnParentSize();
    harness::Pump();
    EXPECT_GT(rebar.GetHeight(), 0);
    EXPECT_EQ(rebar.GetWindowRect().Width(), host.GetClientRect().Width()) << "the band follows the parent";
    EXPECT_EQ(rebar.CreateChevronMenu(0), nullptr) << "every button fits";

    host.SetWindowPos(nullptr, 0, 0, 190, 200, SWP_NOMOVE | SWP_NOZORDER);
    rebar.OnParentSize();
    harness::Pump();
    HMENU menu = rebar.CreateChevronMenu(0);
    ASSERT_NE(menu, nullptr);
    int items = GetMenuItemCount(menu);
    ASSERT_GE(items, 3);
    // The buttons that do not fit, then a separator and the customise item (command 0).
    UINT first = GetMenuItemID(menu, 0);
    EXPECT_GT(first, 100u);
    EXPECT_EQ(GetMenuItemID(menu, items - 1), 0u);
    EXPECT_TRUE(GetMenuState(menu, static_cast<UINT>(items - 2), MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_TRUE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_OWNERDRAW);
    for (int i = 0; i < items - 2; ++i) {
        UINT id = GetMenuItemID(menu, i);
        EXPECT_EQ((GetMenuState(menu, static_cast<UINT>(i), MF_BYPOSITION) & MF_GRAYED) != 0, id == 101u)
            << id;
    }
    CSizableReBar::ReleaseChevronMenu(menu);
    host.DestroyWindow();
}

TEST(SizableReBar, TheSideBarSlidesOnlyWithoutTheTreesFocus) {
    Host host;
    CSizableReBar side;
    CWnd tree;
    MakeSideBar(host, side, tree, 380);

    RECT r{0, 0, 600, 380};
    side.SetBarPos(r);
    EXPECT_EQ(r.right - r.left, 180 - GetSystemMetrics(SM_CXEDGE)) << "shown: the bar's width is reserved";

    EXPECT_TRUE(side.IsAutohide(true));
    EXPECT_TRUE(side.IsHidden());
    WaitForSlide(side);
    CRect at = side.GetWindowRect();
    MapWindowPoints(nullptr, host, reinterpret_cast<POINT*>(&at), 2);
    EXPECT_EQ(at.right, fw::kSlideStrip) << "slid in to its strip";
    r = RECT{0, 0, 600, 380};
    side.SetBarPos(r);
    EXPECT_EQ(r.right - r.left, fw::kSlideStrip - GetSystemMetrics(SM_CXEDGE));

    // The tree takes the focus: the bar comes out and stays while it has it.
    NMHDR gained{tree.m_hWnd, 1, static_cast<UINT>(NM_SETFOCUS)};
    side.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&gained));
    EXPECT_TRUE(side.IsFocusInside());
    EXPECT_FALSE(side.IsHidden());
    WaitForSlide(side);
    side.Minimize(true, false);
    EXPECT_FALSE(side.IsHidden()) << "hiding is refused while the tree has the focus";
    r = RECT{0, 0, 600, 380};
    side.SetBarPos(r);
    EXPECT_EQ(r.right - r.left, fw::kSlideStrip - GetSystemMetrics(SM_CXEDGE))
        << "auto-hide reserves the strip";

    NMHDR lost{tree.m_hWnd, 1, static_cast<UINT>(NM_KILLFOCUS)};
    side.SendMessage(WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&lost));
    EXPECT_TRUE(side.IsHidden()) << "losing the focus slides it in at once";
    WaitForSlide(side);

    // Switching automatic hiding off brings it out again.
    EXPECT_FALSE(side.IsAutohide(true));
    EXPECT_FALSE(side.IsHidden());
    WaitForSlide(side);
    host.DestroyWindow();
}

TEST(SizableReBar, DraggingTheSideBarsEdgeResizesIt) {
    Host host;
    CSizableReBar side;
    CWnd tree;
    MakeSideBar(host, side, tree, 300);
    harness::Pump();
    // The pointer on the strip right of the rebar: the dividing area.
    POINT edge{177, 150};
    POINT screen = edge;
    ClientToScreen(side, &screen);
    ASSERT_TRUE(harness::MovePointer(screen));
    host.codes.clear();
    side.SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(edge.x, edge.y));
    side.SendMessage(WM_MOUSEMOVE, MK_LBUTTON, MAKELPARAM(edge.x + 40, edge.y));
    side.SendMessage(WM_LBUTTONUP, 0, MAKELPARAM(edge.x + 40, edge.y));
    EXPECT_EQ(side.GetWindowRect().Width(), 220);
    EXPECT_NE(std::find(host.codes.begin(), host.codes.end(), static_cast<UINT>(RBN_HEIGHTCHANGE)),
              host.codes.end())
        << "the parent lays out again";
    host.DestroyWindow();
}

TEST(SizableReBar, AToolBarExBandAndAFailedCreate) {
    Host host;
    ASSERT_TRUE(host.Create(400, 200));
    CToolBarEx none;
    EXPECT_FALSE(none.Create(nullptr, 0, ID_MENU_TOOLBAR)) << "no parent: no toolbar, and false says so";
    EXPECT_EQ(none.m_hWnd, nullptr);
    CSizableReBarTool rebar;
    ASSERT_TRUE(rebar.Create(host));
    CToolBarEx bar;
    ASSERT_TRUE(bar.Create(rebar.GetReBar(), 0, ID_MENU_TOOLBAR));
    EXPECT_TRUE(GetWindowLongA(bar, GWL_STYLE) & TBSTYLE_FLAT);
    AddTextButtons(bar, 2);
    EXPECT_GT(rebar.AddToolBar(bar, ID_MENU_TOOLBAR), 0);
    EXPECT_GT(rebar.GetHeight(), 0);
    host.DestroyWindow();
}

// ---- the menu bar's own loop

// A frame of its own with a menu bar of three menus (commands 201-202, 211-212, 221-222) in a
// band holder across its top. The pointer stays off the bar: its hot item would follow it.
class MenuBarLoop : public ::testing::Test {
  protected:
    Host host;
    CSizableReBarTool rebar;
    CToolBarExMenu bar;

    void Make(int width, std::vector<std::string> titles) {
        ASSERT_TRUE(
            harness::MovePointer(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2));
        ASSERT_TRUE(host.Create(width, 200));
        host.menuBar = &bar;
        ASSERT_TRUE(rebar.Create(host));
        ASSERT_TRUE(bar.Create(host, rebar.GetReBar(), ID_MENU_TOOLBAR));
        HMENU menu = CreateMenu();
        for (UINT m = 0; m < titles.size(); ++m) {
            HMENU popup = CreatePopupMenu();
            for (UINT i = 0; i < 2; ++i)
                AppendMenuA(popup, MF_STRING, 201 + 10 * m + i,
                            (titles[m] + " " + std::to_string(i)).c_str());
            AppendMenuA(menu, MF_POPUP | MF_STRING, reinterpret_cast<UINT_PTR>(popup), titles[m].c_str());
        }
        ASSERT_TRUE(bar.SetMenu(menu));
        ASSERT_GT(rebar.AddToolBar(bar, ID_MENU_TOOLBAR, nullptr, 0, 0), 0);
        SetForegroundWindow(host);
        harness::Pump();
    }
    void TearDown() override {
        MenuDriver::Stop();
        if (host.m_hWnd) host.DestroyWindow();
        harness::Pump();
    }
};

TEST_F(MenuBarLoop, LeftAndRightWrapBetweenTheOpenMenusAndEscapeLeaves) {
    Make(500, {"Eins", "Zwei", "Drei"});
    std::vector<std::string> opened; // each menu's first item as it opens
    HMENU last = nullptr;
    int phase = 0;
    MenuDriver::Start(host, [&](const std::vector<HMENU>& open) -> UINT {
        if (open.empty()) return 0;
        HMENU menu = open.back();
        std::string first = MenuDriver::Text(menu, 0);
        if (menu != last) opened.push_back(first);
        last = menu;
        // Left and Right reach the bar from a selected item.
        if (MenuDriver::Hilited(menu) < 0) return VK_DOWN;
        switch (phase) {
        case 0: phase = 1; return VK_LEFT;
        case 1:
            if (first != "Drei 0") return 0;
            phase = 2;
            return VK_RIGHT;
        case 2:
            if (first != "Eins 0") return 0;
            phase = 3;
            return VK_ESCAPE;
        default: return 0;
        }
    });
    bar.DropMenu(0, true);
    MenuDriver::Stop();
    EXPECT_FALSE(MenuDriver::TimedOut());
    EXPECT_EQ(phase, 3);
    EXPECT_EQ(opened, (std::vector<std::string>{"Eins 0", "Drei 0", "Eins 0"}))
        << "Left from the first menu opens the last, Right from the last the first";
    EXPECT_FALSE(bar.IsTracking()) << "Escape closed the menu and left the bar";
    EXPECT_EQ(bar.OpenMenu(), -1);
    harness::Pump();
    EXPECT_TRUE(host.commands.empty()) << "Escape chose nothing";
}

TEST_F(MenuBarLoop, TheMenuKeyDownAndAChosenItemGiveTheFrameItsCommand) {
    Make(500, {"Eins", "Zwei", "Drei"});
    int menus = 0;
    HMENU seen = nullptr;
    MenuDriver::Start(host, [&](const std::vector<HMENU>& open) -> UINT {
        if (open.empty()) return 0;
        if (open.back() != seen) ++menus;
        seen = open.back();
        return MenuDriver::Choose(open.back(), 1);
    });
    // The menu key enters the bar; Right, then Down drops the menu as the keyboard would.
    EXPECT_EQ(bar.SendMessage(CToolBarExMenu::kMenuShow), 1);
    ASSERT_TRUE(bar.IsTracking());
    bar.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(bar.SendMessage(TB_GETHOTITEM), 1);
    bar.SendMessage(WM_KEYDOWN, VK_DOWN, 0);
    harness::Pump(); // the drop request runs the menu
    MenuDriver::Stop();
    harness::Pump();
    EXPECT_FALSE(MenuDriver::TimedOut());
    EXPECT_EQ(menus, 1);
    EXPECT_EQ(GetSubMenu(bar.GetMenu(), 1), seen) << "the menu of the hot button";
    EXPECT_EQ(host.commands, std::vector<UINT>{212});
    EXPECT_FALSE(bar.IsTracking());
}

TEST_F(MenuBarLoop, RightOntoAHiddenButtonOpensTheChevronWhoseMenusOfferTheirItems) {
    Make(190, {"Allererstes Menue", "Zweites langes Menue", "Drittes langes Menue"});
    CRect client = bar.GetClientRect();
    ASSERT_GT(bar.GetItemRect(1).right, client.right) << "the second menu does not fit";
    std::vector<std::string> offered;
    int ticksInFirst = 0;
    MenuDriver::Start(host, [&](const std::vector<HMENU>& open) -> UINT {
        if (open.empty()) return 0;
        HMENU outer = open.front();
        if (!GetSubMenu(outer, 0)) { // the bar's first menu
            ++ticksInFirst;
            return MenuDriver::Hilited(outer) < 0 ? VK_DOWN : VK_RIGHT;
        }
        // The chevron's menu: the menus of the buttons that do not fit, as submenus.
        if (offered.empty())
            for (int i = 0; i < GetMenuItemCount(outer); ++i)
                offered.push_back(MenuDriver::Text(outer, i));
        HMENU third = GetSubMenu(outer, 1);
        if (open.size() == 1) return MenuDriver::Hilited(outer) == 1 ? VK_RIGHT : VK_DOWN;
        if (open[1] != third) return VK_LEFT;
        return MenuDriver::Choose(third, 1);
    });
    bar.DropMenu(0, true);
    MenuDriver::Stop();
    harness::Pump();
    EXPECT_FALSE(MenuDriver::TimedOut());
    EXPECT_GT(ticksInFirst, 0);
    EXPECT_EQ(offered, (std::vector<std::string>{"Zweites langes Menue", "Drittes langes Menue"}));
    EXPECT_EQ(host.commands, std::vector<UINT>{222}) << "the chevron's choice reaches the frame";
    EXPECT_FALSE(bar.IsTracking());
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar.GetMenu(), 2)), 2) << "the menus stay the bar's";
}

// The frame against the demo double, its layout under a profile of its own.
class BarsFrameTest : public MainFrameTest {
  protected:
    void SetUp() override {
        profileName = "BarsTest";
        MainFrameTest::SetUp();
    }
};

// ---- the button bar

class ButtonBarTest : public BarsFrameTest {
  protected:
    Host host;
    CToolBarExTool bar;
    vorlan::ToolBarRecord defaults;

    void MakeBar(const char* entry) {
        ASSERT_TRUE(host.Create(700, 200));
        ASSERT_TRUE(bar.Create(host, 0, 3));
        defaults.textMode = 0;
        defaults.largeIcons = 1;
        defaults.rows = {1, 0, 2, 3};
        bar.LoadToolBar(kImages, 5, kRows, defaults, entry);
    }
    void TearDown() override {
        if (host.m_hWnd) host.DestroyWindow();
        BarsFrameTest::TearDown();
    }
};

TEST_F(ButtonBarTest, StoredRecordsThatDoNotFitTheTableGiveTheDefaults) {
    struct {
        std::string bytes;
        const char* why;
    } bad[] = {{Record(0, 1, 2, {2, 3}, 43), "43 bytes"},
               {Record(0, 1, 2, {2, 3}, 45), "45 bytes"},
               {Record(0, 1, 33, {2, 3}), "count 33"},
               {Record(0, 1, 2, {2, 5}), "row 5 of a table of 5"}};
    for (const auto& b : bad) {
        theApp.WriteProfileBinary(kSection, "TestBar", &b.bytes);
        CToolBarExTool one;
        ASSERT_TRUE(one.Create(frame->m_hWnd, 0, 4));
        one.LoadToolBar(kImages, 5, kRows, vorlan::ToolBarRecord{0, 1, {1, 0, 2, 3}}, "TestBar");
        EXPECT_EQ(Rows(one), (std::vector<int>{1, 0, 2, 3})) << b.why;
        one.DestroyWindow();
    }
    std::string good = Record(1, 0, 2, {4, 1});
    theApp.WriteProfileBinary(kSection, "TestBar", &good);
    MakeBar("TestBar");
    EXPECT_EQ(Rows(bar), (std::vector<int>{4, 1}));
    EXPECT_FALSE(bar.IsLargeIcons());
    EXPECT_EQ(bar.GetToolBar().textMode, 1);
}

TEST_F(ButtonBarTest, TextModesWidthLimitAndReset) {
    theApp.WriteProfileBinary(kSection, "TestBar", nullptr);
    MakeBar("TestBar");
    ASSERT_EQ(bar.GetButtonCount(), 4);
    for (int i = 0; i < bar.GetButtonCount(); ++i)
        EXPECT_LE(bar.GetItemRect(i).Width(), CToolBarExTool::kMaxButtonWidth) << i;

    bar.SetTextMode(2);
    EXPECT_EQ(bar.SendMessage(TB_GETTEXTROWS), 0);
    EXPECT_TRUE(GetWindowLongA(bar, GWL_STYLE) & TBSTYLE_LIST) << "mode 2 keeps the list style";
    EXPECT_EQ(bar.GetToolBar().textMode, 2);
    bar.SetTextMode(1);
    EXPECT_EQ(bar.GetToolBar().textMode, 1);
    bar.SetTextMode(0);
    EXPECT_FALSE(GetWindowLongA(bar, GWL_STYLE) & TBSTYLE_LIST);
    EXPECT_EQ(bar.GetToolBar().textMode, 0);

    // Short texts only: the buttons are narrower than the limit.
    CToolBarExTool small;
    ASSERT_TRUE(small.Create(host, 0, 5));
    small.LoadToolBar(kImages, 3, kRows, vorlan::ToolBarRecord{0, 0, {1, 2}}, "");
    EXPECT_LT(small.GetItemRect(0).Width(), CToolBarExTool::kMaxButtonWidth);

    // Reset from the customise dialog: the default record, saved.
    std::string other = Record(0, 0, 1, {3});
    vorlan::ToolBarRecord changed;
    ASSERT_TRUE(vorlan::ParseToolBarRecord(other, 5, changed));
    bar.DefaultView();
    while (bar.GetButtonCount())
        bar.DeleteButton(0);
    bar.AddButtons(&changed);
    EXPECT_EQ(Rows(bar), (std::vector<int>{3}));
    NMHDR reset{bar.m_hWnd, 3, static_cast<UINT>(TBN_RESET)};
    EXPECT_EQ(bar.SendMessage(kReflectBase + WM_NOTIFY, 3, reinterpret_cast<LPARAM>(&reset)), 1);
    EXPECT_EQ(Rows(bar), (std::vector<int>{1, 0, 2, 3}));
    std::string saved;
    ASSERT_TRUE(theApp.GetProfileBinary(kSection, "TestBar", saved));
    EXPECT_EQ(saved, vorlan::BuildToolBarRecord(bar.GetToolBar()));
}

TEST_F(ButtonBarTest, TheIconSizeChangesWhenTheCustomiseDialogCloses) {
    theApp.WriteProfileBinary(kSection, "TestBar", nullptr);
    MakeBar("TestBar");
    ASSERT_TRUE(bar.IsLargeIcons());
    CWnd customize;
    ASSERT_TRUE(customize.CreateEx(0, "BarsTestHost", "Anpassen", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   CRect(50, 50, 450, 300), nullptr, 0));
    CRect before = customize.GetWindowRect();
    bar.SendMessage(WM_CUSTOMIZE_TOOLBAR, 0, reinterpret_cast<LPARAM>(customize.m_hWnd));
    CToolBarCustomizeDlg* dlg = CToolBarCustomizeDlg::Current();
    ASSERT_NE(dlg, nullptr);
    EXPECT_GT(customize.GetWindowRect().Height(), before.Height()) << "room below for the choices";
    HWND text = dlg->GetDlgItem(CToolBarCustomizeDlg::kTextMode);
    HWND icons = dlg->GetDlgItem(CToolBarCustomizeDlg::kIconSize);
    EXPECT_EQ(SendMessageA(text, CB_GETCOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageA(icons, CB_GETCURSEL, 0, 0), 1);

    // Text right of the icons applies at once.
    SendMessageA(text, CB_SETCURSEL, 1, 0);
    dlg->SendMessage(WM_COMMAND, MAKEWPARAM(CToolBarCustomizeDlg::kTextMode, CBN_SELCHANGE),
                     reinterpret_cast<LPARAM>(text));
    EXPECT_EQ(bar.GetToolBar().textMode, 1);
    // Small icons wait for the close.
    SendMessageA(icons, CB_SETCURSEL, 0, 0);
    EXPECT_EQ(bar.SendMessage(CToolBarExTool::kGetLargeIcons), 1);
    customize.DestroyWindow();
    harness::Pump();
    EXPECT_EQ(CToolBarCustomizeDlg::Current(), nullptr);
    EXPECT_EQ(bar.SendMessage(CToolBarExTool::kGetLargeIcons), 0);
    EXPECT_EQ(Rows(bar), (std::vector<int>{1, 0, 2, 3})) << "the buttons stay";
}

// ---- the main frame's bars

TEST_F(BarsFrameTest, TheTopBarHoldsMenuBarMemoBoxAndButtonBar) {
    CSizableReBar& top = frame->GetTopReBar();
    ASSERT_EQ(top.GetBandCount(), 3);
    EXPECT_EQ(top.IdToIndex(0), 0);
    EXPECT_TRUE(IsChild(top.GetReBar(), frame->GetMenuBar().m_hWnd));
    EXPECT_TRUE(IsChild(top.GetReBar(), frame->GetMemoBox().m_hWnd));
    EXPECT_EQ(frame->GetMenuBar().GetButtonCount(), GetMenuItemCount(frame->GetFrameMenu()));
    EXPECT_EQ(frame->GetMenuBar().SendMessage(CToolBarExMenu::kGetMenu),
              reinterpret_cast<LRESULT>(frame->GetFrameMenu()));
    EXPECT_EQ(GetMenu(frame->m_hWnd), nullptr) << "the window has no menu of its own";
    EXPECT_TRUE(IsChild(frame->GetMenuReBar().GetReBar(), frame->GetMenuTree().m_hWnd));

    // The default buttons: log-in, module, lock, menu tree, separator, close, F2, save, print,
    // functions.
    std::vector<int> ids;
    for (int i = 0; i < frame->GetButtonBar().GetButtonCount(); ++i) {
        TBBUTTON b{};
        frame->GetButtonBar().GetButton(i, b);
        ids.push_back(b.idCommand);
    }
    EXPECT_EQ(ids, (std::vector<int>{ID_LOGIN, ID_CHANGE_UCI, ID_BLOCK_PC, ID_VIEW_MENUBAR, 0, ID_FORM_CLOSE,
                                     ID_FORM_F2, ID_FORM_OK, ID_GRID_PRINT, ID_FORM_MENU}));

    // The view commands switch the bands.
    EXPECT_TRUE(top.IsBandVisible(2, false));
    frame->SendMessage(WM_COMMAND, ID_VIEW_STANDARD);
    EXPECT_FALSE(top.IsBandVisible(2, false));
    frame->SendMessage(WM_COMMAND, ID_VIEW_DIALOG);
    EXPECT_FALSE(top.IsBandVisible(1, false));
    bool fixed = top.IsFixedSize(false);
    frame->SendMessage(WM_COMMAND, ID_SYMBOL_FIX);
    EXPECT_NE(top.IsFixedSize(false), fixed);
    frame->SendMessage(WM_COMMAND, ID_DEFAULT_VIEW);
    EXPECT_TRUE(top.IsBandVisible(1, false));
    EXPECT_TRUE(top.IsBandVisible(2, false));
    frame->SendMessage(WM_COMMAND, ID_AUTOHIDE_MENU);
    EXPECT_TRUE(frame->GetMenuReBar().IsAutohide(false));
    frame->SendMessage(WM_COMMAND, ID_AUTOHIDE_MENU);
    EXPECT_FALSE(frame->GetMenuReBar().IsAutohide(false));
}

TEST_F(BarsFrameTest, TheMenuBarWrapsWithLeftAndRightAndLeavesWithEscape) {
    CToolBarExMenu& bar = frame->GetMenuBar();
    int count = bar.GetButtonCount();
    ASSERT_GE(count, 3);
    EXPECT_EQ(frame->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 0), 1) << "the menu key reaches the menu bar";
    EXPECT_TRUE(bar.IsTracking());
    EXPECT_EQ(bar.SendMessage(TB_GETHOTITEM), 0);
    bar.SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    EXPECT_EQ(bar.SendMessage(TB_GETHOTITEM), count - 1) << "Left from the first goes to the last";
    bar.SendMessage(WM_KEYDOWN, VK_RIGHT, 0);
    EXPECT_EQ(bar.SendMessage(TB_GETHOTITEM), 0) << "Right from the last goes to the first";
    bar.SendMessage(WM_KEYDOWN, VK_ESCAPE, 0);
    EXPECT_FALSE(bar.IsTracking());
    EXPECT_EQ(CToolBarExMenu::NextButton(count - 1, count, true), 0);
    EXPECT_EQ(CToolBarExMenu::NextButton(0, count, false), count - 1);
}

TEST_F(BarsFrameTest, TheLayoutGoesIntoTheProfileAndComesBack) {
    // Band layout: a hidden memo box and the order kept; a band the frame lacks is skipped.
    CSizableReBar& top = frame->GetTopReBar();
    top.IsBandVisible(1, true);
    frame->SaveDefaults();
    std::string bytes;
    ASSERT_TRUE(theApp.GetProfileBinary(kSection, "BarSettings", bytes));
    EXPECT_EQ(bytes.size(), 36u);
    frame->SendMessage(WM_COMMAND, ID_DEFAULT_VIEW);
    EXPECT_TRUE(top.IsBandVisible(1, false));
    frame->LoadDefaults(1);
    EXPECT_FALSE(top.IsBandVisible(1, false));
    std::vector<vorlan::BandRecord> bands;
    ASSERT_TRUE(vorlan::ParseBandRecords(bytes, bands));
    bands.insert(bands.begin(), vorlan::BandRecord{9, 50, 0});
    std::string withStranger = vorlan::BuildBandRecords(bands);
    theApp.WriteProfileBinary(kSection, "BarSettings", &withStranger);
    frame->LoadDefaults(1);
    EXPECT_EQ(top.GetBandCount(), 3);

    // 25 bytes: the default layout (menu bar, button bar, memo box, the last two on rows of their own).
    std::string odd(25, '\1');
    theApp.WriteProfileBinary(kSection, "BarSettings", &odd);
    frame->LoadDefaults(1);
    ASSERT_EQ(top.GetBandCount(), 3);
    EXPECT_EQ(top.IdToIndex(0), 0);
    EXPECT_EQ(top.IdToIndex(2), 1);
    EXPECT_EQ(top.IdToIndex(1), 2);
    EXPECT_TRUE(top.IsBandVisible(1, false));

    // The menu rebar: automatic hiding and its width.
    frame->GetMenuReBar().IsAutohide(true);
    frame->SaveState("MenuBar");
    ASSERT_TRUE(theApp.GetProfileBinary(kSection, "MenuBar", bytes));
    vorlan::WindowRecord menuBar;
    ASSERT_TRUE(vorlan::ParseWindowRecord(bytes, menuBar));
    EXPECT_EQ(menuBar.state, vorlan::kMenuBarAutoHide | vorlan::kMenuBarShown);
    frame->GetMenuReBar().IsAutohide(true);
    ASSERT_TRUE(frame->LoadState("MenuBar"));
    EXPECT_TRUE(frame->GetMenuReBar().IsAutohide(false));
    frame->GetMenuReBar().IsAutohide(true);
    harness::Pump();

    // The frame's window: a size of its own is ignored; one on a monitor that is gone comes back.
    std::string shortRecord(23, '\0');
    theApp.WriteProfileBinary(kSection, "MainWindow", &shortRecord);
    EXPECT_FALSE(frame->LoadState("MainWindow"));
    frame->SetScreenLimitsSource([] { return vorlan::ScreenLimits{1024, 768, 1024, 768}; });
    std::string away = vorlan::BuildWindowRecord({1300, 40, 1900, 540, SW_SHOWNORMAL, 1});
    theApp.WriteProfileBinary(kSection, "MainWindow", &away);
    ASSERT_TRUE(frame->LoadState("MainWindow"));
    WINDOWPLACEMENT wp{};
    wp.length = sizeof wp;
    GetWindowPlacement(frame->m_hWnd, &wp);
    EXPECT_EQ(wp.rcNormalPosition.left, 1300 - 1024);
    EXPECT_EQ(wp.rcNormalPosition.right - wp.rcNormalPosition.left, 600);
    frame->SaveState("MainWindow");
    ASSERT_TRUE(theApp.GetProfileBinary(kSection, "MainWindow", bytes));
    vorlan::WindowRecord back;
    ASSERT_TRUE(vorlan::ParseWindowRecord(bytes, back));
    EXPECT_EQ(back.left, 276);
    EXPECT_EQ(back.extra, 1);
    theApp.WriteProfileBinary(kSection, "MainWindow", nullptr);
    theApp.WriteProfileBinary(kSection, "BarSettings", nullptr);
    theApp.WriteProfileBinary(kSection, "MenuBar", nullptr);
}

TEST_F(BarsFrameTest, EditCommandsGoToTheExplorersParentAndTipsToTheFrame) {
    Host explorer;
    ASSERT_TRUE(explorer.Create(300, 200));
    CWnd tree;
    ASSERT_TRUE(tree.CreateEx(0, "EDIT", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 100, 20), explorer, 1));
    SetFocus(tree);
    harness::Pump();
    explorer.commands.clear(); // the edit's own notifications
    FocusedControlKind = kFocusKindExplorer;
    for (UINT id : {ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_CLEAR, ID_EDIT_SELECT_ALL})
        frame->SendMessage(WM_COMMAND, id);
    FocusedControlKind = kFocusKindNone;
    EXPECT_EQ(explorer.commands, (std::vector<UINT>{ID_EDIT_CUT, ID_EDIT_COPY, ID_EDIT_PASTE, ID_EDIT_CLEAR}))
        << "select all stays with the focused control";
    explorer.DestroyWindow();

    // A button bar tip passes the top rebar on to the frame, which gives the command's text.
    NMTTDISPINFOA tip{};
    tip.hdr.hwndFrom = frame->GetButtonBar().m_hWnd;
    tip.hdr.idFrom = ID_VIEW_STANDARD;
    tip.hdr.code = TTN_GETDISPINFOA;
    frame->GetTopReBar().SendMessage(WM_NOTIFY, ID_VIEW_STANDARD, reinterpret_cast<LPARAM>(&tip));
    ASSERT_NE(tip.lpszText, nullptr);
    EXPECT_STREQ(tip.lpszText, "Symbolleiste");
}
