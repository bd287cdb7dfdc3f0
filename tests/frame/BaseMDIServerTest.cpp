// The MDI form frame against the demo application: what its grid does when the frame loses
// the activation or a form comes back, and the text and place of its print and menu commands.
#include "controls/GridCtrl.h"
#include "forms/ChildDialog.h"
#include "resources/PrintIds.h"
#include "tests/frame/MenuDriver.h"
#include "tests/frame/ServerFrameFixture.h"

namespace {

class BaseMDIServerTest : public ServerFrameTest {
  protected:
    void TearDown() override {
        if (frame) frame->MDICloseAll();
        Once("K ^QM(\"KAS\",0,\"FDRUCK\"),^QM(\"GRL\",0,\"INIT\")");
        ServerFrameTest::TearDown();
    }
    static CGridCtrl* GridOf(CBaseMDI* frame) {
        CChildDialog* form = frame ? frame->GetTopForm() : nullptr;
        return form ? form->Grid() : nullptr;
    }
};

} // namespace

TEST_F(BaseMDIServerTest, ADeactivatedFrameTakesTheFocusCellFromItsGrid) {
    LogIn();
    StartMemo("GRL");
    CBaseMDI* list = Active();
    CGridCtrl* grid = GridOf(list);
    ASSERT_NE(grid, nullptr);
    grid->SetFocusCell(2, 1);
    CCellID focus = grid->GetFocusCell();
    ASSERT_TRUE(focus.IsValid());

    StartMemo("KAS");
    ASSERT_NE(Active(), list);
    EXPECT_FALSE(grid->GetFocusCell().IsValid()) << "the grid looks inactive with its frame";
    EXPECT_EQ(grid->m_idRemembered, focus) << "and keeps the cell for its return";
}

TEST_F(BaseMDIServerTest, ThePrintCommandIsNamedByTheScreensSaveAndPrintNodes) {
    LogIn();
    Once("S ^QM(\"KAS\",0,\"FDRUCK\")=\"D ^QDRS\"");
    struct {
        const char* memo;
        UINT text;
    } cases[] = {
        {"GRL", IDS_PRINT_TABLE},  // a grid, neither node
        {"PAT", IDS_PRINT_SAVED},  // "FSAVE"
        {"KAS", IDS_PRINT_OUTPUT}, // "FDRUCK"
    };
    for (const auto& c : cases) {
        StartMemo(c.memo);
        CBaseMDI* screen = Active();
        ASSERT_NE(screen, nullptr) << c.memo;
        CMenu menu;
        menu.m_hMenu = ::CreatePopupMenu();
        ::AppendMenuA(menu.m_hMenu, MF_STRING, ID_GRID_PRINT, "?");
        CCmdUI ui = CCmdUI::ForMenuItem(menu.m_hMenu, 0);
        screen->UpdateCmdUI(ui);
        CString expected;
        expected.LoadString(c.text);
        EXPECT_FALSE(expected.IsEmpty()) << c.text;
        EXPECT_EQ(CMenu::ItemText(menu.m_hMenu, 0), expected) << c.memo;
        EXPECT_TRUE(ui.m_bEnabled) << c.memo;
    }
}

TEST_F(BaseMDIServerTest, TheFormMenuOpensBelowTheMainButtonBarsButton) {
    LogIn();
    StartMemo("MOD");
    CBaseMDI* mod = Active();
    ASSERT_NE(mod, nullptr);
    CToolBarExTool& bar = frame->GetButtonBar();
    int index = bar.CommandToIndex(ID_FORM_MENU);
    ASSERT_GE(index, 0);
    CRect button = bar.GetItemRect(index);
    ::MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&button), 2);

    RECT shown{};
    bool seen = false;
    MenuDriver::Start(frame->m_hWnd, [&](const std::vector<HMENU>& open) -> UINT {
        if (open.empty()) return 0;
        seen = ::GetWindowRect(::FindWindowA("#32768", nullptr), &shown) != 0;
        return VK_ESCAPE;
    });
    mod->SendMessage(WM_COMMAND, ID_FORM_MENU);
    MenuDriver::Stop();
    harness::Pump();
    ASSERT_TRUE(seen);
    EXPECT_EQ(shown.left, button.left);
    EXPECT_EQ(shown.top, button.bottom);
}

TEST_F(BaseMDIServerTest, AFormComingBackForgetsItsGridSelectionOnlyEnabledAndWithoutAFieldToFocus) {
    LogIn();
    StartMemo("GRL");
    CBaseMDI* list = Active();
    ASSERT_NE(list, nullptr);
    CChildDialog* form = list->GetTopForm();
    CGridCtrl* grid = GridOf(list);
    ASSERT_NE(grid, nullptr);
    struct {
        bool focusField; // %NE names a field
        bool refused;    // the init refuses: the form stays disabled
        bool forgotten;
    } cases[] = {
        {false, false, true},
        {true, false, false},
        {false, true, false},
        {true, true, false},
    };
    for (const auto& c : cases) {
        Once(c.refused ? "S ^QM(\"GRL\",0,\"INIT\")=\"S %F=\"\"Gesperrt\"\"\"" : "K ^QM(\"GRL\",0,\"INIT\")");
        fw::TestMode::PushAnswer("box IDOK");
        theApp.Execute(c.focusField ? "S %NE=1" : "K %NE");
        grid->m_idRemembered = CCellID(3, 1);
        form->m_bGridReset = true;
        list->ActivateWindow(1, 129);
        harness::Pump();
        EXPECT_EQ(::IsWindowEnabled(form->m_hWnd) != 0, !c.refused);
        EXPECT_EQ(!grid->m_idRemembered.IsValid(), c.forgotten)
            << "field " << c.focusField << ", refused " << c.refused;
        EXPECT_FALSE(form->m_bGridReset);
    }
}
