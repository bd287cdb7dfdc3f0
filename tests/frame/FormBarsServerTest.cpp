// The form menus and key bars of the demo's MOD against the fixture's dbserver: the title
// menu's menu bar, the function-key toolbar and the form's context menu carry the key
// texts, follow the server's %FUNK and run the key's routine; the modal toolbar on a plain
// window of its own.
#include "forms/BaseMDIMenu.h"
#include "forms/ChildDialog.h"
#include "forms/FormKeysLogic.h"
#include "tests/frame/MenuDriver.h"
#include "tests/frame/ServerFrameFixture.h"
#include "tests/harness/Pointer.h"

#include <algorithm>
#include <cstdint>

namespace {

bool Has(const Lines& lines, const std::string& entry) {
    return std::find(lines.begin(), lines.end(), entry) != lines.end();
}

// What a popup showed while it was tracked, and the keys pressed in it then.
struct Tracked {
    bool seen = false;
    HWND owner = nullptr;
    CBaseMDIMenu* menu = nullptr;
    std::vector<std::string> texts;
    std::vector<UINT> states;
    std::vector<UINT> keys;
};
Tracked g_tracked;

void CALLBACK LookAtMenu(HWND, UINT, UINT_PTR timer, DWORD) {
    ::KillTimer(nullptr, timer);
    fw::MenuTracking t = fw::ThreadMenuTracking();
    g_tracked.seen = t.menu != nullptr;
    g_tracked.owner = t.window;
    g_tracked.menu = dynamic_cast<CBaseMDIMenu*>(COwnerDrawnMenu::FromHandlePermanent(t.menu));
    for (int i = 0; t.menu && i < ::GetMenuItemCount(t.menu); ++i) {
        g_tracked.texts.push_back(CMenu::ItemText(t.menu, i).str());
        g_tracked.states.push_back(::GetMenuState(t.menu, static_cast<UINT>(i), MF_BYPOSITION));
    }
    // The keys go to the menu's loop through the thread's queue, as a user's would.
    for (UINT key : g_tracked.keys) {
        ::PostMessageA(t.window, WM_KEYDOWN, key, 0);
        ::PostMessageA(t.window, WM_KEYUP, key, 0xC0000000);
    }
    if (g_tracked.keys.empty()) ::EndMenu();
}

// Looks at the next popup shown, then presses the keys in it (none: closes it).
void WhenShown(std::vector<UINT> keys) {
    g_tracked = Tracked{};
    g_tracked.keys = std::move(keys);
    ::SetTimer(nullptr, 0, 200, LookAtMenu);
}

std::vector<std::string> Buttons(const CToolBarCtrl& bar) {
    std::vector<std::string> out;
    for (int i = 0; i < bar.GetButtonCount(); ++i) {
        TBBUTTON b;
        bar.GetButton(i, b);
        out.push_back(b.fsStyle & BTNS_SEP ? std::string("-")
                                           : std::to_string(b.idCommand) + " " +
                                                 bar.GetButtonText(static_cast<UINT>(b.idCommand)).str());
    }
    return out;
}

std::string Tip(HWND band, UINT id) {
    NMTTDISPINFOA info{};
    info.hdr.code = TTN_GETDISPINFOA;
    info.hdr.idFrom = id;
    SendMessageA(band, WM_NOTIFY, id, reinterpret_cast<LPARAM>(&info));
    return info.lpszText ? info.lpszText : "";
}

// A plain window to carry the modal toolbar: it keeps the commands it gets.
class CCommandSink : public CWnd {
  public:
    std::vector<UINT> commands;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_COMMAND) commands.push_back(LOWORD(wParam));
        return CWnd::WindowProc(msg, wParam, lParam);
    }
};

} // namespace

class FormBarsTest : public ServerFrameTest {
  protected:
    void SetUp() override {
        ServerFrameTest::SetUp();
        // The strips are the test program's own (FormBarsTest.rc).
        theApp.m_hImageResources = ::GetModuleHandleA(nullptr);
    }
    CBaseMDI* OpenMod() {
        LogIn();
        Trace();
        StartMemo("MOD");
        CBaseMDI* mod = Active();
        EXPECT_NE(mod, nullptr);
        if (!mod) {
            for (const auto& l : Trace())
                ADD_FAILURE() << l;
            for (const auto& b : Boxes())
                ADD_FAILURE() << b.text;
        }
        harness::Pump();
        return mod;
    }
};

TEST_F(FormBarsTest, TitleMenuToolbarAndTablesFollowTheKeysAndFunk) {
    CBaseMDI* mod = OpenMod();
    ASSERT_NE(mod, nullptr);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "FUNK^QMODK")) << "the init leaves %FUNK";
    EXPECT_TRUE(Has(trace, "M3^QMODK()")) << "M3's label is the server's";
    CFormBars& bars = mod->GetBars();
    ASSERT_TRUE(bars.HasTitleMenu());
    ASSERT_TRUE(bars.HasKeyTool());

    CBaseMDITitleMenu& title = bars.TitleMenu();
    ASSERT_EQ(title.GetCount(), 2);
    EXPECT_EQ(CMenu::ItemText(title, 0), "Bearbeiten");
    EXPECT_EQ(CMenu::ItemText(title, 1), "Ansicht");
    HMENU edit = title.GetPopup(0)->m_hMenu;
    ASSERT_EQ(GetMenuItemCount(edit), 3);
    EXPECT_EQ(CMenu::ItemText(edit, 0), "Kopieren");
    EXPECT_EQ(CMenu::ItemText(edit, 1), "Einf\xfcgen");
    EXPECT_EQ(CMenu::ItemText(edit, 2), "Markieren");
    EXPECT_EQ(GetMenuItemID(edit, 2), 2003u);
    EXPECT_TRUE(GetMenuState(edit, 0, MF_BYPOSITION) & MF_OWNERDRAW);
    EXPECT_EQ(CMenu::ItemText(title.GetPopup(1)->m_hMenu, 0), "Vergr\xf6\xdf"
                                                              "ern");
    EXPECT_EQ(Buttons(bars.MenuBar()), (std::vector<std::string>{"65520 Bearbeiten", "65521 Ansicht"}));
    EXPECT_EQ(bars.MenuBar().GetMenu(), title.m_hMenu) << "the menu bar shows the title menu";
    EXPECT_EQ(GetDlgCtrlID(bars.MenuBar().m_hWnd), 59392);

    CBaseMDITool& keys = bars.KeyTool();
    EXPECT_EQ(Buttons(keys),
              (std::vector<std::string>{"32800 Neu", "-", "32801 Suchen", "-", "32981 Extras"}));
    EXPECT_TRUE(keys.IsButtonEnabled(32800));
    EXPECT_FALSE(keys.IsButtonEnabled(32801)) << "%FUNK(\"F6\") disables F6";
    EXPECT_EQ(keys.GetCheck(40), 1) << "%FUNK(\"M1\") checks M1";
    EXPECT_EQ(mod->SendMessage(WM_TESTFKEY, 1), 0);
    EXPECT_NE(mod->SendMessage(WM_TESTFKEY, 0), 0);
    EXPECT_EQ(mod->SendMessage(WM_TESTFKEY, 35), 0) << "F40 is no X-key: X28 stays as it was";
    EXPECT_EQ(keys.GetCheck(35), 0);

    // The server changes its table; the frame answers WM_CHECKFKEY with the new one.
    TheSession().Execute("S %FUNK(\"F6\")=\"\",%FUNK(\"F5\")=\"1\"_$C(167)_\"1\"");
    EXPECT_NE(mod->SendMessage(WM_CHECKFKEY), 0);
    EXPECT_TRUE(keys.IsButtonEnabled(32801));
    EXPECT_FALSE(keys.IsButtonEnabled(32800));
    EXPECT_TRUE(keys.IsButtonChecked(32800));

    EXPECT_EQ(Tip(bars.GetBand(), 32981), "Extras") << "key tips are the main frame's";
    EXPECT_GT(bars.GetHeight(), 0);
    CChildDialog* form = mod->GetForm(1);
    ASSERT_NE(form, nullptr);
    CRect band;
    GetWindowRect(bars.GetBand(), &band);
    EXPECT_GE(form->GetWindowRect().top, band.bottom) << "the form lies below the bars";
    EXPECT_TRUE(IsChild(bars.GetBand(), keys.m_hWnd)) << "the key toolbar is a band of them";
}

TEST_F(FormBarsTest, TitleMenuChoiceAndToolbarRunTheKeysRoutine) {
    CBaseMDI* mod = OpenMod();
    ASSERT_NE(mod, nullptr);
    CFormBars& bars = mod->GetBars();
    Trace();
    WhenShown({VK_DOWN, VK_DOWN, VK_RETURN});
    bars.MenuBar().DropMenu(0, true);
    harness::Pump();
    ASSERT_TRUE(g_tracked.seen) << "the popup is the thread's tracked menu while shown";
    EXPECT_EQ(g_tracked.owner, mod->m_hWnd) << "its commands go to the frame";
    EXPECT_EQ(g_tracked.menu, bars.TitleMenu().GetPopup(0));
    ASSERT_EQ(g_tracked.states.size(), 3u);
    EXPECT_TRUE(g_tracked.states[0] & MF_CHECKED) << "M1 shows checked";
    EXPECT_FALSE(g_tracked.states[1] & MF_CHECKED);
    EXPECT_EQ(fw::ThreadMenuTracking().menu, nullptr) << "and the record is put back";
    harness::WaitUntil([&] { return Has(Trace(), "EINFUEG^QMODK"); }, 5000);
    Lines all = Trace();

    // Toolbar buttons reach the form through the strip; a disabled key is refused.
    SendMessageA(bars.GetBand(), WM_COMMAND, MAKEWPARAM(32981, BN_CLICKED),
                 reinterpret_cast<LPARAM>(bars.KeyTool().m_hWnd));
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "EXTRAS^QMODK"));
    mod->SendMessage(WM_COMMAND, 32801);
    harness::Pump();
    EXPECT_FALSE(Has(Trace(), "SUCHEN^QMODK")) << "F6 is disabled by %FUNK";
}

TEST_F(FormBarsTest, TheMenuKeyTheChevronAndTheOpenMenusKeysWorkTheTitleMenuBar) {
    // The pointer stays off the bars: the menu bar's hot item would follow it.
    ASSERT_TRUE(harness::MovePointer(GetSystemMetrics(SM_CXSCREEN) - 2, GetSystemMetrics(SM_CYSCREEN) - 2));
    CBaseMDI* mod = OpenMod();
    ASSERT_NE(mod, nullptr);
    CFormBars& bars = mod->GetBars();
    CToolBarExMenu& bar = bars.MenuBar();
    ASSERT_TRUE(bars.HasMenuBar());
    ASSERT_GT(bar.GetItemRect(1).right, bar.GetClientRect().right) << "MOD is too narrow for «Ansicht»";

    // The menu key alone: the main frame offers it to the active form frame first.
    EXPECT_EQ(frame->SendMessage(WM_SYSCOMMAND, SC_KEYMENU, 0), 1);
    EXPECT_TRUE(bar.IsTracking());
    EXPECT_FALSE(frame->GetMenuBar().IsTracking()) << "not the main frame's bar";
    // Left wraps onto «Ansicht», which does not fit: the chevron offers it, and its item runs.
    Trace();
    std::vector<std::string> offered;
    MenuDriver::Start(mod->m_hWnd, [&](const std::vector<HMENU>& open) -> UINT {
        if (open.empty()) return 0;
        if (offered.empty())
            for (int i = 0; i < GetMenuItemCount(open[0]); ++i)
                offered.push_back(MenuDriver::Text(open[0], i));
        if (open.size() == 1) return MenuDriver::Hilited(open[0]) == 0 ? VK_RIGHT : VK_DOWN;
        return MenuDriver::Choose(open[1], 0);
    });
    bar.SendMessage(WM_KEYDOWN, VK_LEFT, 0);
    MenuDriver::Stop();
    harness::Pump();
    EXPECT_FALSE(MenuDriver::TimedOut());
    EXPECT_EQ(offered, std::vector<std::string>{"Ansicht"});
    EXPECT_TRUE(harness::WaitUntil([&] { return Has(Trace(), "ZOOM^QMODK"); }, 5000));
    // Escape reaches the bar before a frame could take it for its close key.
    bar.SendMessage(CToolBarExMenu::kMenuShow);
    MSG escape{bar.m_hWnd, WM_KEYDOWN, VK_ESCAPE, 0, 0, {}};
    EXPECT_TRUE(bar.PreTranslateMessage(&escape));
    EXPECT_FALSE(bar.IsTracking());

    // Wide enough for both: with a menu open, Right opens the next one.
    CRect r = mod->GetWindowRect();
    mod->SetWindowPos(nullptr, 0, 0, 600, r.Height(), SWP_NOMOVE | SWP_NOZORDER);
    harness::Pump();
    ASSERT_LE(bar.GetItemRect(1).right, bar.GetClientRect().right) << "the band holds the whole bar";
    std::vector<std::string> opened;
    MenuDriver::Start(mod->m_hWnd, [&](const std::vector<HMENU>& open) -> UINT {
        if (open.empty()) return 0;
        HMENU menu = open.back();
        std::string first = MenuDriver::Text(menu, 0);
        if (opened.empty() || opened.back() != first) opened.push_back(first);
        if (first == "Kopieren") return MenuDriver::Hilited(menu) < 0 ? VK_DOWN : VK_RIGHT;
        return MenuDriver::Choose(menu, 0);
    });
    bar.DropMenu(0, true);
    MenuDriver::Stop();
    harness::Pump();
    EXPECT_FALSE(MenuDriver::TimedOut());
    EXPECT_EQ(opened, (std::vector<std::string>{"Kopieren", "Vergr\xf6\xdf"
                                                            "ern"}));
    EXPECT_TRUE(harness::WaitUntil([&] { return Has(Trace(), "ZOOM^QMODK"); }, 5000));
    EXPECT_FALSE(bar.IsTracking());

    // The chevron's menus are tracked with the band as owner; the frame still checks M1.
    HMENU edit = bars.TitleMenu().GetPopup(0)->m_hMenu;
    CheckMenuItem(edit, 2001, MF_BYCOMMAND | MF_UNCHECKED);
    SendMessageA(bars.GetBand(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(edit), 0);
    EXPECT_TRUE(GetMenuState(edit, 2001, MF_BYCOMMAND) & MF_CHECKED);
}

TEST_F(FormBarsTest, ContextMenuIsTheOwnerDrawnFormMenu) {
    CBaseMDI* mod = OpenMod();
    ASSERT_NE(mod, nullptr);
    CChildDialog* form = mod->GetForm(1);
    ASSERT_NE(form, nullptr);
    Trace();
    WhenShown({VK_UP, VK_RETURN});
    CRect r = form->GetWindowRect();
    form->SendMessage(WM_CONTEXTMENU, reinterpret_cast<WPARAM>(form->m_hWnd),
                      MAKELPARAM(r.left + 5, r.top + 5));
    harness::Pump();
    ASSERT_TRUE(g_tracked.seen);
    EXPECT_NE(g_tracked.menu, nullptr) << "the form's menu is a CBaseMDIMenu";
    EXPECT_EQ(g_tracked.owner, mod->m_hWnd);
    EXPECT_EQ(g_tracked.texts, (std::vector<std::string>{"Neu", "", "Suchen (Strg+F)", "", "Extras"}));
    ASSERT_EQ(g_tracked.states.size(), 5u);
    EXPECT_TRUE(g_tracked.states[2] & MF_GRAYED) << "F6 greyed by the frame's table";
    EXPECT_TRUE(g_tracked.states[1] & MF_SEPARATOR);
    harness::WaitUntil([&] { return Has(Trace(), "EXTRAS^QMODK"); }, 5000);

    // The frame's menu command opens it below a rectangle, without a clicked window.
    WhenShown({});
    mod->SendMessage(WM_COMMAND, 32799);
    harness::Pump();
    EXPECT_TRUE(g_tracked.seen);
    EXPECT_EQ(g_tracked.texts.size(), 5u);
}

TEST_F(FormBarsTest, ModalToolbarAndBarsOnAPlainWindow) {
    LogIn();
    std::vector<std::string> keys =
        vorlan::SplitKeys(TheSession().Execute("W $$GETKEYS^QCC(\"MODDLG\")").str());
    CCommandSink sink;
    ASSERT_TRUE(sink.CreateEx(0, "STATIC", "Modal", WS_POPUP | WS_VISIBLE, CRect(50, 50, 650, 350),
                              frame->m_hWnd, 0));
    CFormBars bars;
    ASSERT_TRUE(bars.CreateModal(sink.m_hWnd, keys, false));
    bars.Layout(600);
    CBaseModalTool& tool = bars.ModalTool();
    std::vector<std::string> buttons = Buttons(tool);
    ASSERT_EQ(buttons.size(), 6u);
    EXPECT_EQ(buttons[0].substr(0, 6), "32780 ");
    EXPECT_EQ(buttons[1].substr(0, 6), "32781 ");
    EXPECT_EQ(buttons[2].substr(0, 6), "32783 ");
    EXPECT_EQ(buttons[3], "-");
    EXPECT_EQ(buttons[4], "32778 Drucken");
    EXPECT_EQ(buttons[5], "32799 Funktionen");
    EXPECT_TRUE(tool.IsButtonEnabled(32780));
    EXPECT_FALSE(tool.IsButtonEnabled(32781));
    EXPECT_FALSE(tool.IsButtonEnabled(32778));
    EXPECT_FALSE(tool.IsButtonEnabled(32799)) << "the frame enables it by its keys";
    EXPECT_EQ(Buttons(bars.KeyTool()), (std::vector<std::string>{"32800 \xdc"
                                                                 "bernehmen",
                                                                 "-", "32981 Extras"}));
    ASSERT_EQ(bars.TitleMenu().GetCount(), 1);
    EXPECT_EQ(CMenu::ItemText(bars.TitleMenu(), 0), "Aktionen");
    EXPECT_EQ(CMenu::ItemText(bars.TitleMenu().GetPopup(0)->m_hMenu, 0), "Hilfe");
    EXPECT_EQ(Tip(bars.GetBand(), 32783), "Speichern (Strg+Eingabe)");

    // The drop-down button sends its command to the window.
    NMTOOLBARA drop{};
    drop.hdr.hwndFrom = tool.m_hWnd;
    drop.hdr.idFrom = CBaseModalTool::kId;
    drop.hdr.code = TBN_DROPDOWN;
    drop.iItem = 32799;
    SendMessageA(bars.GetBand(), WM_NOTIFY, CBaseModalTool::kId, reinterpret_cast<LPARAM>(&drop));
    EXPECT_EQ(sink.commands, std::vector<UINT>{32799});
    // A frame without command updates of its own brings popups and buttons in line by the tables.
    bars.SetKeyEnable(0, 0);
    EXPECT_FALSE(bars.KeyTool().IsButtonEnabled(32800));
    CBaseMDIMenu menu;
    menu.CreateFunctions(keys, 72, -1, 0);
    bars.UpdatePopup(menu);
    EXPECT_TRUE(GetMenuState(menu, 32800, MF_BYCOMMAND) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(menu, 2001, MF_BYCOMMAND) & MF_GRAYED);
    RECT button;
    EXPECT_TRUE(bars.GetButtonRect(32799, button));
    EXPECT_GT(button.right, button.left);

    // The no-window switch leaves close and OK disabled; the screen's node hides the toolbar.
    TheSession().Execute("S %DN=\"MODDLG\"");
    CFormBars quiet;
    ASSERT_TRUE(quiet.CreateModal(sink.m_hWnd, keys, true));
    EXPECT_FALSE(quiet.ModalTool().IsButtonEnabled(32780));
    EXPECT_FALSE(quiet.ModalTool().IsButtonEnabled(32783));
    EXPECT_TRUE(quiet.ModalTool().IsWindowVisible());
    TheSession().Execute("S ^QTEMP(%JOB,\"MODDLG\",\"NOWINDOW\")=1");
    CFormBars hidden;
    ASSERT_TRUE(hidden.CreateModal(sink.m_hWnd, keys, true));
    TheSession().Execute("K ^QTEMP(%JOB,\"MODDLG\",\"NOWINDOW\")");
    ASSERT_NE(hidden.ModalTool().m_hWnd, nullptr);
    EXPECT_FALSE(hidden.ModalTool().IsWindowVisible());
    EXPECT_TRUE(Boxes().empty()) << "no server error on the way";
    sink.DestroyWindow();
}

TEST_F(FormBarsTest, AGroupsBitmapNumberIsItsMenuButtonsImage) {
    const std::string gap(8, '\xa7');
    std::vector<std::string> keys(vorlan::kKeyCount);
    keys[40] = "Bild" + gap + "1/Bilder/3";
    keys[41] = "Text" + gap + "2/Texte/0";
    CCommandSink sink;
    ASSERT_TRUE(sink.CreateEx(0, "STATIC", "Bilder", WS_POPUP | WS_VISIBLE, CRect(50, 50, 650, 350),
                              frame->m_hWnd, 0));
    {
        CFormBars bars;
        ASSERT_TRUE(bars.Create(sink.m_hWnd, keys));
        ASSERT_TRUE(bars.HasMenuBar());
        ASSERT_EQ(bars.MenuBar().GetButtonCount(), 2);
        TBBUTTON b{};
        bars.MenuBar().GetButton(0, b);
        EXPECT_EQ(b.iBitmap, 3);
        bars.MenuBar().GetButton(1, b);
        EXPECT_EQ(b.iBitmap, I_IMAGENONE) << "0: no image";
    }
    sink.DestroyWindow();
}

TEST_F(FormBarsTest, AScreenWithoutKeysHasNoBarsAndAllKeysOpen) {
    LogIn();
    StartMemo("KAS");
    CBaseMDI* kas = Active();
    ASSERT_NE(kas, nullptr);
    CFormBars& bars = kas->GetBars();
    EXPECT_FALSE(bars.HasTitleMenu());
    EXPECT_FALSE(bars.HasKeyTool());
    EXPECT_EQ(bars.GetBand(), nullptr) << "no strip, nothing above the form";
    EXPECT_EQ(bars.GetHeight(), 0);
    CChildDialog* form = kas->GetForm(1);
    ASSERT_NE(form, nullptr);
    POINT origin{0, 0};
    MapWindowPoints(form->m_hWnd, kas->m_hWnd, &origin, 1);
    EXPECT_EQ(origin.y, 0);
    EXPECT_NE(kas->SendMessage(WM_CHECKFKEY), 0) << "answered also without a toolbar";
    EXPECT_NE(kas->SendMessage(WM_TESTFKEY, 71), 0) << "an M-entry no one disabled";
}

TEST_F(FormBarsTest, SmallIconsWithoutTextsByTheMainToolbarsRecord) {
    std::int32_t record[11] = {2, 0};
    std::string bytes(reinterpret_cast<const char*>(record), sizeof record);
    ASSERT_TRUE(theApp.WriteProfileBinary("Settings\\Windows\\", "ITBar", &bytes));
    std::string back;
    EXPECT_TRUE(theApp.GetProfileBinary("Settings\\Windows\\", "ITBar", back));
    EXPECT_EQ(back.size(), 44u);
    CBaseMDI* mod = OpenMod();
    theApp.WriteProfileBinary("Settings\\Windows\\", "ITBar", nullptr);
    ASSERT_NE(mod, nullptr);
    CBaseMDITool& keys = mod->GetBars().KeyTool();
    EXPECT_EQ(Buttons(keys), (std::vector<std::string>{"32800 ", "-", "32801 ", "-", "32981 "}));
    int cx = 0, cy = 0;
    auto images = reinterpret_cast<HIMAGELIST>(keys.SendMessage(TB_GETIMAGELIST));
    ASSERT_NE(images, nullptr);
    ImageList_GetIconSize(images, &cx, &cy);
    EXPECT_EQ(cx, 16) << "the small strip";
}

TEST_F(FormBarsTest, PagesOfAScreenWithTabsMoveBelowTheBars) {
    LogIn();
    StartMemo("ADR");
    CBaseMDI* adr = Active();
    ASSERT_NE(adr, nullptr);
    ASSERT_TRUE(adr->HasTabs());
    CFormBars& bars = adr->GetBars();
    ASSERT_GT(bars.GetHeight(), 0);
    EXPECT_EQ(CMenu::ItemText(bars.TitleMenu(), 0), "Adresse");
    CRect band, tabs, form;
    GetWindowRect(bars.GetBand(), &band);
    GetWindowRect(adr->GetDlgItem(IDC_FRAME_TABS), &tabs);
    GetWindowRect(adr->GetForm(1)->m_hWnd, &form);
    EXPECT_GE(tabs.top, band.bottom);
    EXPECT_GE(form.top, band.bottom);
    EXPECT_LE(form.bottom, adr->GetWindowRect().bottom) << "the frame grew to hold them";
}

TEST_F(FormBarsTest, ANarrowFrameKeepsOneRowAndTheChevronOffersTheHiddenKeys) {
    LogIn();
    StartMemo("ADR");
    CBaseMDI* adr = Active();
    ASSERT_NE(adr, nullptr);
    CFormBars& bars = adr->GetBars();
    const int oneRow = bars.GetHeight();
    ASSERT_GT(oneRow, 0);
    CSizableReBar& band = bars.Band();
    int keys = band.IdToIndex(static_cast<UINT>(GetDlgCtrlID(bars.KeyTool().m_hWnd)));
    ASSERT_GE(keys, 0);
    auto hiddenKeys = [&] {
        HMENU menu = band.CreateChevronMenu(keys);
        int n = menu ? GetMenuItemCount(menu) : 0;
        if (menu) CSizableReBar::ReleaseChevronMenu(menu);
        return n;
    };
    const int wide = hiddenKeys();

    CRect frame = adr->GetWindowRect();
    adr->SetWindowPos(nullptr, 0, 0, 220, frame.Height(), SWP_NOMOVE | SWP_NOZORDER);
    harness::Pump();
    CRect tabs;
    GetWindowRect(adr->GetDlgItem(IDC_FRAME_TABS), &tabs);
    EXPECT_EQ(bars.GetHeight(), oneRow);
    EXPECT_GE(tabs.top, band.GetWindowRect().bottom) << "the pages stay below the bars";
    EXPECT_GT(hiddenKeys(), wide) << "the chevron offers the keys that no longer fit";
    HMENU hidden = band.CreateChevronMenu(keys);
    ASSERT_NE(hidden, nullptr);
    EXPECT_TRUE(GetMenuState(hidden, 0, MF_BYPOSITION) & MF_OWNERDRAW) << "drawn with image and key";
    CSizableReBar::ReleaseChevronMenu(hidden);
    adr->SetWindowPos(nullptr, 0, 0, frame.Width(), frame.Height(), SWP_NOMOVE | SWP_NOZORDER);
}

TEST_F(FormBarsTest, TheBandAndItsRebarTakeTheFrameWidthAsTheFrameIsSized) {
    LogIn();
    StartMemo("ADR");
    CBaseMDI* adr = Active();
    ASSERT_NE(adr, nullptr);
    CFormBars& bars = adr->GetBars();
    const CRect frame = adr->GetWindowRect();
    // Narrower, wider and back: the band's rows are measured at each width and kept there.
    for (int width : {220, frame.Width() + 80, frame.Width()}) {
        adr->SetWindowPos(nullptr, 0, 0, width, frame.Height(), SWP_NOMOVE | SWP_NOZORDER);
        harness::Pump();
        CRect client = adr->GetClientRect(), band, rebar, tabs;
        GetWindowRect(bars.GetBand(), &band);
        GetWindowRect(bars.Band().GetReBar(), &rebar);
        GetWindowRect(adr->GetDlgItem(IDC_FRAME_TABS), &tabs);
        EXPECT_EQ(band.Width(), client.Width()) << "at " << width;
        EXPECT_EQ(rebar.Width(), client.Width()) << "at " << width;
        EXPECT_EQ(bars.GetHeight(client.Width()), band.Height()) << "the rows at " << width;
        EXPECT_GE(tabs.top, band.bottom) << "at " << width;
    }
}
