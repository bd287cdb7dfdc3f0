// The main frame's timer, messages between users, memo groups and the changes of the
// session (module, language, menu edit mode) against the demo application.
#include "tests/forms/FormServerFixture.h"

#include "app/VORLANApp.h"
#include "frame/FrameSessionLogic.h"
#include "resources/SessionIds.h"
#include "resources/MainFrameIds.h"
#include "resources/resource.h"
#include "tests/forms/DuringModal.h"
#include "tests/frame/MenuDriver.h"
#include "tests/harness/Person.h"

#include <cstring>

using demotrace::CountOf;
using demotrace::Has;

namespace {

const std::string S = "\xA7";

class SessionServerTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        Once("K ^ZINFO,^ZTICK,^Z(\"TIMER\") S ^Z(\"PC\",\"demo\",12)=\"D\"");
    }
    void TearDown() override {
        // The log-out keeps the user's client and year: this test's must not reach the next.
        if (frame) frame->MDICloseAll();
        Once("K ^ZINFO,^ZTICK,^Z(\"TIMER\"),^%CONTROL(\"LAST\") S ^Z(\"PC\",\"demo\",12)=\"D\"");
        FormServerTestBase::TearDown();
    }
    // The frame's timer is driven by hand: the real one would tick along while tests wait.
    void LogInByHand(const char* user = "demo", const char* password = "demo") {
        LogIn(user, password);
        ASSERT_TRUE(frame->IsLoggedIn());
        ::KillTimer(frame->m_hWnd, 1);
    }
    void Tick(int seconds) {
        for (int n = 0; n < seconds; ++n)
            frame->SendMessage(WM_TIMER, 1);
        harness::Pump();
    }
    HMENU Popup(const char* text) const {
        HMENU bar = frame->GetFrameMenu();
        for (int i = 0; i < ::GetMenuItemCount(bar); ++i) {
            char name[64] = {};
            ::GetMenuStringA(bar, static_cast<UINT>(i), name, sizeof name, MF_BYPOSITION);
            if (std::string(name) == text) return ::GetSubMenu(bar, i);
        }
        return nullptr;
    }
    void OpenPopup(HMENU popup) { frame->SendMessage(WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(popup), 0); }
    static std::vector<std::string> Items(HMENU popup) {
        std::vector<std::string> out;
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i) {
            char text[160] = {};
            ::GetMenuStringA(popup, static_cast<UINT>(i), text, sizeof text, MF_BYPOSITION);
            out.push_back(text);
        }
        return out;
    }
    static HMENU Submenu(HMENU popup, const char* text) {
        for (int i = 0; i < ::GetMenuItemCount(popup); ++i)
            if (HMENU sub = ::GetSubMenu(popup, i))
                if (CMenu::ItemText(popup, i) == text) return sub;
        return nullptr;
    }
    std::vector<fw::ShownItem> BoxesWith(const std::string& part) const {
        std::vector<fw::ShownItem> out;
        for (const auto& b : Boxes())
            if (b.text.find(part) != std::string::npos) out.push_back(b);
        return out;
    }
};

} // namespace

TEST_F(SessionServerTest, ApplicationTimerRunsItsLineAndIntervalZeroIsOff) {
    Once("S ^Z(\"TIMER\")=\"2" + S + "D TICK^QCC\"");
    LogInByHand();
    Trace();
    Tick(4);
    EXPECT_EQ(CountOf(Trace(), "TICK^QCC"), 2) << "every 2 seconds";
    EXPECT_EQ(Once("W +$G(^ZTICK)"), "2");

    Once("S ^Z(\"TIMER\")=\"0" + S + "D TICK^QCC\"");
    LogInByHand();
    Trace();
    Tick(6);
    EXPECT_EQ(CountOf(Trace(), "TICK^QCC"), 0);
}

TEST_F(SessionServerTest, MessagesShowJoinedLinesOneAfterTheOtherWithTheHeartbeat) {
    LogInByHand();
    ASSERT_FALSE(frame->m_strUserRef.IsEmpty());
    Once("S ^ZINFO(0,\"demo\",1,\"SENDER\")=\"zitat" + S + "09.12.2026" + S + "10:15\"");
    Once("S ^ZINFO(0,\"demo\",1,\"TEXT\",1)=\"Guten \",^ZINFO(0,\"demo\",1,\"TEXT\",2)=\"Morgen\"");
    Once("S ^ZINFO(0,\"demo\",2,\"SENDER\")=\"admin" + S + "09.12.2026" + S + "10:16\"");
    Once("S ^ZINFO(0,\"demo\",2,\"TEXT\")=\"Zweite Nachricht\"");
    std::string job = theApp.Execute("W $J").str();
    Once("K ^%CONTROL(" + job + ")");
    Tick(4);
    EXPECT_TRUE(Boxes().empty()) << "the check waits 5 seconds";
    Tick(1);
    std::vector<fw::ShownItem> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 2u) << "both in one tick";
    EXPECT_EQ(boxes[0].text, "Guten Morgen");
    EXPECT_EQ(boxes[0].caption, "zitat - 10:15 am 09.12.2026");
    EXPECT_EQ(boxes[1].text, "Zweite Nachricht");
    EXPECT_EQ(Once("W $D(^ZINFO(0,\"demo\"))"), "0") << "shown messages are removed";
    EXPECT_EQ(Once("W $D(^%CONTROL(" + job + "))#2"), "1") << "the heartbeat";
    EXPECT_EQ(theApp.GetProfileString("Settings", "none", "").str(), "");
}

TEST_F(SessionServerTest, ADialogMessageOpensItsScreenOncePerTick) {
    LogInByHand();
    Once("S ^ZINFO(0,\"demo\",1,\"SENDER\")=\"zitat\",^ZINFO(0,\"demo\",1,\"DIALOG\")=\"KAS\"");
    Once("S ^ZINFO(0,\"demo\",2,\"SENDER\")=\"zitat\",^ZINFO(0,\"demo\",2,\"DIALOG\")=\"NIXDA\"");
    Once("S ^ZINFO(0,\"demo\",3,\"SENDER\")=\"zitat\",^ZINFO(0,\"demo\",3,\"TEXT\")=\"Danach\"");
    Trace();
    Tick(5);
    EXPECT_EQ(Frames().size(), 1u) << "KAS";
    EXPECT_EQ(CountOf(Trace(), "SEEN^QMIT(1)"), 1) << "the screen took its message";
    // NIXDA is no screen: the message stays, and is served once in every check.
    EXPECT_EQ(BoxesWith("keine Funktion").size(), 1u);
    EXPECT_EQ(BoxesWith("Danach").size(), 1u) << "the walk went on behind it";
    Tick(5);
    EXPECT_EQ(BoxesWith("keine Funktion").size(), 2u);
    EXPECT_EQ(Frames().size(), 1u);
    EXPECT_EQ(Once("W $D(^ZINFO(0,\"demo\",2))"), "10");
}

TEST_F(SessionServerTest, MitFilesAMessageForTheUserThatArrivesWithTheNextCheck) {
    LogInByHand();
    EXPECT_EQ(theApp.Execute("S MITAN=\"\",MITDLG=\"\" W $$TEXT^QMIT(\"Bitte \"\"Akte\"\" holen\")"), "");
    Tick(5);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Bitte \"Akte\" holen");
    EXPECT_EQ(Boxes()[0].caption.substr(0, 7), "demo - ");
}

TEST_F(SessionServerTest, TheScreenMitSendsAMessageThatOpensAScreen) {
    LogInByHand();
    StartMemo("MIT");
    ASSERT_NE(Form(), nullptr);
    Enter(1, "");
    Enter(2, "KAS");
    Enter(3, "Kassen ansehen");
    EXPECT_EQ(Once("W ^ZINFO(0,\"demo\",1,\"DIALOG\")"), "KAS");
    Trace();
    Tick(5);
    EXPECT_TRUE(Has(Trace(), "SELECTM^QCC(\"KAS\")"));
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(Active()->GetForm(1)->GetFormName(), "KAS");
    EXPECT_EQ(Once("W $D(^ZINFO(0,\"demo\"))"), "0") << "KAS took its message";
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SessionServerTest, MemoGroupsOneAndNineOpenTheirEntries) {
    LogInByHand();
    HMENU extras = Popup("&Extras");
    ASSERT_NE(extras, nullptr);
    OpenPopup(extras);
    OpenPopup(extras); // a second opening does not add the groups twice
    std::vector<std::string> items = Items(extras);
    ASSERT_GE(items.size(), 6u);
    EXPECT_EQ(items[3], "&1 H\xE4ufig");
    EXPECT_EQ(items[4], "&9 Extras");
    EXPECT_EQ(items[5], "") << "a separator closes the groups";
    EXPECT_EQ(CountOf(items, "&1 H\xE4ufig"), 1);

    HMENU often = ::GetSubMenu(extras, 3);
    OpenPopup(often);
    EXPECT_EQ(Items(often),
              (std::vector<std::string>{"&1 Kassen\t[KAS]", "&2 Patienten\t[PAT]", "&3 Termine\t[TER]"}));
    Trace();
    frame->SendMessage(WM_COMMAND, ::GetMenuItemID(often, 1));
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "SELECTM^QCC(\"PAT\")"));

    HMENU more = ::GetSubMenu(extras, 4);
    OpenPopup(more);
    EXPECT_EQ(Items(more), (std::vector<std::string>{"&1 Mitteilung\t[MIT]", "&2 Register\t[REG]"}));
    EXPECT_EQ(::GetMenuItemID(more, 0), vorlan::MemoEntryId(9, 1));
    frame->SendMessage(WM_COMMAND, ::GetMenuItemID(more, 0));
    harness::Pump();
    EXPECT_TRUE(Has(Trace(), "SELECTM^QCC(\"MIT\")"));
    EXPECT_EQ(Frames().size(), 2u);
}

TEST_F(SessionServerTest, ModuleChangeKeepsClientAndYearAndLogsInWithoutAClick) {
    LogInByHand();
    frame->SendMessage(WM_CHANGELOGIN, reinterpret_cast<WPARAM>("2 (MVZ Nord)"), 0);
    ASSERT_EQ(theApp.Execute("W %MI"), "2");
    CString year = theApp.Execute("W %WJ");
    Trace();
    frame->SendMessage(WM_COMMAND, ID_CHANGE_UCI_FIRST + 1);
    harness::Pump();
    EXPECT_TRUE(frame->IsLoggedIn());
    EXPECT_EQ(frame->m_nSelectedModule, 1);
    EXPECT_EQ(theApp.Execute("W $G(%MODUL)"), "T");
    EXPECT_EQ(theApp.Execute("W %MI"), "2");
    EXPECT_EQ(theApp.Execute("W %WJ"), year);
    EXPECT_TRUE(Has(Trace(), "LOGIN^QCC(\"demo\",\"...\")"));
    for (const auto& item : fw::TestMode::Shown())
        EXPECT_NE(item.kind, "box") << item.text;
}

TEST_F(SessionServerTest, LanguageSwitchToEnglishAndBack) {
    LogInByHand();
    HMENU view = Popup("&Ansicht");
    ASSERT_NE(view, nullptr);
    HMENU languages = ::GetSubMenu(view, ::GetMenuItemCount(view) - 1);
    OpenPopup(languages);
    EXPECT_EQ(Items(languages), (std::vector<std::string>{"&Deutsch", "&English"}));
    EXPECT_TRUE(::GetMenuState(languages, ID_LANGUAGE_FIRST, MF_BYCOMMAND) & MF_CHECKED);
    EXPECT_EQ(theApp.Execute("W %LAN"), "D") << "the list leaves the language as it was";

    frame->SendMessage(WM_COMMAND, ID_LANGUAGE_FIRST + 1);
    harness::Pump();
    EXPECT_EQ(theApp.Execute("W %LAN"), "E");
    EXPECT_EQ(Once("W ^Z(\"PC\",\"demo\",12)"), "E");
    EXPECT_EQ(theApp.LanguageLetter(), 'E');
    EXPECT_NE(Popup("&View"), nullptr) << "the menu of the English library";
    EXPECT_NE(FindItem("Stammdaten"), nullptr) << "the menu tree was built again";

    frame->SendMessage(WM_COMMAND, ID_LANGUAGE_FIRST);
    harness::Pump();
    EXPECT_EQ(theApp.Execute("W %LAN"), "D");
    EXPECT_EQ(theApp.LanguageLetter(), 'D');
    EXPECT_NE(Popup("&Ansicht"), nullptr);
    EXPECT_TRUE(BoxesWith("Sprach").empty());
}

TEST_F(SessionServerTest, MenuEditModeOnAndOff) {
    LogInByHand("admin", "admin");
    fw::TestMode::PushAnswer("dialog 186 cmd:1");
    Trace();
    frame->SendMessage(WM_COMMAND, ID_MENU_EDIT_ON);
    harness::Pump();
    EXPECT_TRUE(frame->GetMenuTree().IsMenuEditMode());
    EXPECT_FALSE(frame->IsLoggedIn());
    EXPECT_EQ(::GetMenuItemCount(frame->GetFrameMenu()), 3) << "the menu of menu edit mode";
    CString info;
    info.LoadString(IDS_MENU_EDIT_INFO);
    EXPECT_EQ(StatusPane(1), info.str());
    EXPECT_TRUE(Has(Trace(), "INI998^QCC(10)"));

    fw::TestMode::PushAnswer("box IDNO");
    frame->SendMessage(WM_COMMAND, ID_MENU_EDIT_OFF);
    harness::Pump();
    EXPECT_FALSE(frame->GetMenuTree().IsMenuEditMode());
    EXPECT_TRUE(frame->IsLoggedIn());
    EXPECT_NE(Popup("&Ansicht"), nullptr);
    Lines trace = Trace();
    EXPECT_FALSE(Has(trace, "SAV998^QCC(10)")) << "No keeps the menu as it was";
    EXPECT_TRUE(Has(trace, "EURO^QCC()"));
}

TEST_F(SessionServerTest, ClosingInMenuEditModeLogsOutAndStoresTheSideBarAsItWasBefore) {
    LogInByHand("admin", "admin");
    frame->SendMessage(WM_COMMAND, ID_AUTOHIDE_MENU);
    ASSERT_TRUE(frame->GetMenuReBar().IsAutohide(false));
    fw::TestMode::PushAnswer("dialog 186 cmd:1");
    frame->SendMessage(WM_COMMAND, ID_MENU_EDIT_ON);
    harness::Pump();
    ASSERT_TRUE(frame->GetMenuTree().IsMenuEditMode());
    EXPECT_FALSE(frame->GetMenuReBar().IsAutohide(false)) << "the tree stays out while it is edited";
    std::string paths = "^[\"SYS\"]Z(\"PATH\"," + theApp.Execute("W $J").str() + ")";
    ASSERT_NE(Once("W $D(" + paths + ")"), "0") << "the log-in told the server the job's paths";

    Trace();
    fw::TestMode::PushAnswer("box IDNO");
    frame->SendMessage(WM_CLOSE);
    harness::Pump();
    ASSERT_EQ(CMainFrame::Get(), nullptr);
    frame = nullptr;
    Lines trace = Trace();
    EXPECT_FALSE(Has(trace, "SAV998^QCC(10)")) << "No keeps the edited menu as it was";
    EXPECT_TRUE(Has(trace, "LOGOUT^QCC"));
    EXPECT_EQ(Once("W $D(" + paths + ")"), "0");
    std::string record;
    ASSERT_TRUE(theApp.GetProfileBinary("Settings\\Windows\\", "MenuBar", record));
    ASSERT_EQ(record.size(), 24u);
    std::int32_t flags = 0;
    std::memcpy(&flags, record.data() + 16, sizeof flags);
    EXPECT_EQ(flags & 1, 1) << "automatic hiding as before the edit mode";
}

TEST_F(SessionServerTest, TheModuleButtonAndTheModuleMenuLogInAgainKeepingClientAndYear) {
    LogInByHand("admin", "admin");
    ASSERT_EQ(frame->m_nModules, 3);
    frame->SendMessage(WM_CHANGELOGIN, reinterpret_cast<WPARAM>("2 (MVZ Nord)"), 0);
    ASSERT_EQ(theApp.Execute("W %MI"), "2");
    CString year = theApp.Execute("W %WJ");

    // The button on the main bar, which its customise list offers too.
    CToolBarExTool& bar = frame->GetButtonBar();
    int index = bar.CommandToIndex(ID_CHANGE_UCI);
    ASSERT_GE(index, 0) << "the module button is on the bar";
    CRect button = bar.GetItemRect(index);
    ::MapWindowPoints(bar.m_hWnd, nullptr, reinterpret_cast<POINT*>(&button), 2);
    bool offered = false;
    for (int row = 0;; ++row) {
        char text[128] = {};
        NMTOOLBARA info{};
        info.hdr = {bar.m_hWnd, ID_BUTTON_BAR, static_cast<UINT>(TBN_GETBUTTONINFOA)};
        info.iItem = row;
        info.pszText = text;
        info.cchText = sizeof text;
        if (!::SendMessageA(::GetParent(bar.m_hWnd), WM_NOTIFY, ID_BUTTON_BAR,
                            reinterpret_cast<LPARAM>(&info)))
            break;
        offered = offered || info.tbButton.idCommand == ID_CHANGE_UCI;
    }
    EXPECT_TRUE(offered);

    // Its drop-down: the modules below the button, the current one checked; Termine.
    std::vector<std::string> shown;
    bool checked = false;
    RECT at{};
    MenuDriver::Start(frame->m_hWnd, [&](const std::vector<HMENU>& open) -> UINT {
        if (open.empty()) return 0;
        if (shown.empty()) {
            for (int i = 0; i < ::GetMenuItemCount(open[0]); ++i)
                shown.push_back(MenuDriver::Text(open[0], i));
            checked = (::GetMenuState(open[0], 0, MF_BYPOSITION) & MF_CHECKED) != 0;
            ::GetWindowRect(::FindWindowA("#32768", nullptr), &at);
        }
        return MenuDriver::Choose(open[0], 1);
    });
    Trace();
    NMTOOLBARA drop{};
    drop.hdr = {bar.m_hWnd, ID_BUTTON_BAR, static_cast<UINT>(TBN_DROPDOWN)};
    drop.iItem = ID_CHANGE_UCI;
    ::SendMessageA(::GetParent(bar.m_hWnd), WM_NOTIFY, ID_BUTTON_BAR, reinterpret_cast<LPARAM>(&drop));
    MenuDriver::Stop();
    harness::Pump();
    EXPECT_FALSE(MenuDriver::TimedOut());
    EXPECT_EQ(shown, (std::vector<std::string>{"Praxis", "Termine", "Abrechnung"}));
    EXPECT_TRUE(checked) << "Praxis, the module of the log-in";
    EXPECT_EQ(at.left, button.left);
    EXPECT_EQ(at.top, button.bottom);
    EXPECT_TRUE(frame->IsLoggedIn());
    EXPECT_EQ(frame->m_nSelectedModule, 1);
    EXPECT_EQ(theApp.Execute("W $G(%MODUL)"), "T");
    EXPECT_EQ(theApp.Execute("W %MI"), "2");
    EXPECT_EQ(theApp.Execute("W %WJ"), year);
    EXPECT_TRUE(Has(Trace(), "LOGIN^QCC(\"admin\",\"...\")"));

    // The same modules in the menu "Datei", which leads back to Praxis.
    HMENU file = Popup("&Datei");
    ASSERT_NE(file, nullptr);
    HMENU modules = Submenu(file, "&Modul wechseln");
    ASSERT_NE(modules, nullptr);
    OpenPopup(modules);
    EXPECT_EQ(Items(modules), (std::vector<std::string>{"Praxis", "Termine", "Abrechnung"}));
    EXPECT_TRUE(::GetMenuState(modules, 1, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_FALSE(::GetMenuState(modules, 0, MF_BYPOSITION) & (MF_GRAYED | MF_DISABLED));
    Trace();
    frame->SendMessage(WM_COMMAND, ::GetMenuItemID(modules, 0));
    harness::Pump();
    EXPECT_TRUE(frame->IsLoggedIn());
    EXPECT_EQ(frame->m_nSelectedModule, 0);
    EXPECT_TRUE(Has(Trace(), "LOGIN^QCC(\"admin\",\"...\")"));
    EXPECT_EQ(theApp.Execute("W %MI,\"/\",%WJ"), "2/" + year.str());
    for (const auto& item : fw::TestMode::Shown())
        EXPECT_NE(item.kind, "box") << item.text;
}

TEST_F(SessionServerTest, ExcelAndWordTemplatesAreOfferedToAdministratorsOnly) {
    auto offered = [&](UINT id) {
        HMENU bar = frame->GetFrameMenu();
        for (int i = 0; i < ::GetMenuItemCount(bar); ++i) {
            HMENU popup = ::GetSubMenu(bar, i);
            if (CMenu::FindItem(popup, id) < 0) continue;
            OpenPopup(popup); // as when a person opens it
            return !(::GetMenuState(popup, id, MF_BYCOMMAND) & MF_GRAYED);
        }
        ADD_FAILURE() << "no menu item " << id;
        return false;
    };
    LogInByHand();
    EXPECT_FALSE(offered(ID_OPEN_EXCEL)) << "the command does nothing for a user";
    EXPECT_FALSE(offered(ID_OPEN_WORD));
    frame->MDICloseAll();
    LogInByHand("admin", "admin");
    EXPECT_TRUE(offered(ID_OPEN_EXCEL));
    EXPECT_TRUE(offered(ID_OPEN_WORD));
}

TEST_F(SessionServerTest, TheMenuLoopsStatusTextStandsWithoutBorders) {
    LogInByHand();
    HWND status = ::GetDlgItem(frame->m_hWnd, ID_STATUS_BAR);
    ASSERT_NE(status, nullptr);
    bool simple = false;
    LRESULT length = 0;
    DuringModal::Run({[&] {
        simple = ::SendMessageA(status, SB_ISSIMPLE, 0, 0) != 0;
        length = ::SendMessageA(status, SB_GETTEXTLENGTHA, 0, 0); // a simple bar's one part
        ::EndMenu();
    }});
    harness::Person person;
    person.Press("Alt+Space"); // the frame's system menu
    ASSERT_TRUE(DuringModal::Done()) << "the menu loop ran";
    EXPECT_TRUE(simple);
    EXPECT_EQ(HIWORD(length) & SBT_NOBORDERS, SBT_NOBORDERS);
    EXPECT_EQ(::SendMessageA(status, SB_ISSIMPLE, 0, 0), 0) << "the panes are back after the loop";
}

TEST_F(SessionServerTest, TheAboutBoxAsksTheFrameWhetherAUserIsLoggedIn) {
    theApp.LoadAccelerators(); // as the start-up does
    harness::Person person;
    auto about = [&] {
        ::SetForegroundWindow(frame->m_hWnd);
        fw::TestMode::ClearShown();
        fw::TestMode::PushAnswer("dialog 100 cmd:1");
        person.Press("Ctrl+Shift+I");
        for (const fw::ShownItem& item : fw::TestMode::Shown())
            if (item.id == IDD_ABOUTBOX) return item.text;
        ADD_FAILURE() << "no about box";
        return std::string();
    };
    LogInByHand();
    std::string release = Once("W $G(^QSYS(\"REL\"))");
    ASSERT_FALSE(release.empty());
    EXPECT_NE(about().find("1049=" + release + "|"), std::string::npos);
    // Logged out, with the connection still open: nobody to show the server's versions to.
    frame->MDICloseAll();
    ASSERT_FALSE(frame->IsLoggedIn());
    ASSERT_TRUE(TheSession().IsLoggedIn());
    EXPECT_NE(about().find("1049=...|"), std::string::npos);
}
