// The session dialogs (user group, lock, client and year) and the options sheet against the
// demo application.
#include "tests/frame/ServerFrameFixture.h"

#include "app/OptionsPages.h"
#include "app/OptionsSheet.h"
#include "app/VORLANApp.h"
#include "frame/SessionDialogs.h"
#include "resources/SessionIds.h"

using demotrace::Has;

namespace {

class SessionDialogsTest : public ServerFrameTest {
  protected:
    void TearDown() override {
        // The log-out keeps the user's client and year: this test's must not reach the next.
        frame->MDICloseAll();
        Once("K ^[\"SYS\"]EXTRAS,^%CONTROL(\"LAST\")");
        ServerFrameTest::TearDown();
    }
    static void Type(CDialog& dialog, int box, const char* text) {
        ::SetDlgItemTextA(dialog.m_hWnd, box, text);
        dialog.SendMessage(WM_COMMAND, MAKEWPARAM(box, CBN_EDITCHANGE),
                           reinterpret_cast<LPARAM>(dialog.GetDlgItem(box)));
    }
    static bool Enabled(const CWnd& w, int id) { return ::IsWindowEnabled(w.GetDlgItem(id)) != 0; }
    static int DefaultId(const CWnd& w) { return LOWORD(w.SendMessage(DM_GETDEFID)); }
    std::vector<std::string> Texts(const char* part) const {
        std::vector<std::string> out;
        for (const auto& b : Boxes())
            if (b.text.find(part) != std::string::npos) out.push_back(b.text);
        return out;
    }
};

std::vector<std::string> BoxEntries(HWND box) {
    std::vector<std::string> out;
    int n = static_cast<int>(::SendMessageA(box, CB_GETCOUNT, 0, 0));
    for (int i = 0; i < n; ++i) {
        char text[64] = {};
        ::SendMessageA(box, CB_GETLBTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
        out.push_back(text);
    }
    return out;
}

} // namespace

TEST_F(SessionDialogsTest, GroupDialogOffersNoAdminGroupsAndFollowsTheTyping) {
    LogIn("admin", "admin");
    CBenutzerDialog dialog("998", frame);
    ASSERT_TRUE(dialog.Create(IDD_USER_GROUP, frame));
    EXPECT_EQ(BoxEntries(dialog.GetDlgItem(IDC_GROUP_BOX)), (std::vector<std::string>{"10", "20"}));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_GROUP_DESCRIPTION), "Praxis");
    EXPECT_TRUE(Enabled(dialog, IDOK));
    EXPECT_FALSE(Enabled(dialog, IDC_GROUP_NEW));

    Type(dialog, IDC_GROUP_BOX, "999");
    EXPECT_FALSE(Enabled(dialog, IDOK));
    EXPECT_FALSE(Enabled(dialog, IDC_GROUP_NEW));
    EXPECT_EQ(DefaultId(dialog), IDCANCEL);
    EXPECT_FALSE(Enabled(dialog, IDC_GROUP_DESCRIPTION)) << "no description for the administrators";

    Type(dialog, IDC_GROUP_BOX, "20");
    EXPECT_TRUE(Enabled(dialog, IDOK));
    EXPECT_EQ(dialog.GetDlgItemText(IDC_GROUP_DESCRIPTION), "Labor");
    EXPECT_EQ(DefaultId(dialog), IDOK);

    Type(dialog, IDC_GROUP_BOX, "3\"0");
    // The log-in's own dialog is all that was shown: no box, no error dialog.
    for (const auto& item : fw::TestMode::Shown())
        EXPECT_TRUE(item.kind == "dialog" && item.id == 161)
            << item.kind << " " << item.id << " " << item.text;
    EXPECT_EQ(dialog.GetDlgItemText(IDC_GROUP_DESCRIPTION), "");

    Type(dialog, IDC_GROUP_BOX, "30");
    EXPECT_FALSE(Enabled(dialog, IDOK));
    EXPECT_TRUE(Enabled(dialog, IDC_GROUP_NEW));
    EXPECT_TRUE(Enabled(dialog, IDC_GROUP_TEMPLATE));
    EXPECT_EQ(DefaultId(dialog), IDC_GROUP_NEW);

    // Letters are refused for an administrator, upper-cased for a developer.
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GROUP_BOX, CBN_SETFOCUS));
    HWND edit = ::GetWindow(dialog.GetDlgItem(IDC_GROUP_BOX), GW_CHILD);
    MSG key{edit, WM_CHAR, 'a', 0, 0, {}};
    EXPECT_TRUE(dialog.PreTranslateMessage(&key));
    dialog.DestroyWindow();

    CBenutzerDialog developer("999", frame);
    ASSERT_TRUE(developer.Create(IDD_USER_GROUP, frame));
    developer.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GROUP_BOX, CBN_SETFOCUS));
    edit = ::GetWindow(developer.GetDlgItem(IDC_GROUP_BOX), GW_CHILD);
    MSG letter{edit, WM_CHAR, 'q', 0, 0, {}};
    developer.PreTranslateMessage(&letter);
    EXPECT_EQ(letter.wParam, static_cast<WPARAM>('Q'));
    developer.DestroyWindow();
}

TEST_F(SessionDialogsTest, NewGroupSendsDescriptionAndTemplateQuoted) {
    LogIn("admin", "admin");
    CBenutzerDialog dialog("998", frame);
    ASSERT_TRUE(dialog.Create(IDD_USER_GROUP, frame));
    Type(dialog, IDC_GROUP_BOX, "30");
    ::SendMessageA(dialog.GetDlgItem(IDC_GROUP_TEMPLATE), CB_SETCURSEL, 2, 0); // "20"
    dialog.SetDlgItemText(IDC_GROUP_DESCRIPTION, "Empfang \"vorne\"");
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_GROUP_NEW, BN_CLICKED));
    EXPECT_EQ(dialog.GetGroup(), "30");
    EXPECT_EQ(theApp.Execute("W %BDESC"), "Empfang \"vorne\"");
    EXPECT_EQ(theApp.Execute("W %BGA"), "20");
}

TEST_F(SessionDialogsTest, LockOpensOnlyForTheUserWhoLocked) {
    LogIn();
    fw::TestMode::PushAnswer("dialog 348 set:1010=zitat set:1009=zi\"tat cmd:1 set:1010=demo set:1009=falsch "
                             "cmd:1 set:1010=admin set:1009=admin cmd:1 set:1010=demo set:1009=demo cmd:1");
    frame->SendMessage(WM_COMMAND, ID_BLOCK_PC);
    harness::Pump();
    EXPECT_EQ(DialogResult(IDD_BLOCK_PC), IDOK);
    CString other, wrong;
    other.LoadString(IDS_BLOCK_OTHER_USER);
    wrong.LoadString(IDS_BLOCK_WRONG_LOGIN);
    std::vector<fw::ShownItem> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 3u);
    EXPECT_EQ(boxes[0].text, other.str()) << "zitat is another user of the same group";
    EXPECT_EQ(boxes[1].text, wrong.str());
    EXPECT_EQ(boxes[2].text, wrong.str()) << "admin's group differs";
    EXPECT_EQ(theApp.Execute("W %USER,\"/\",%BG"), "demo/10");
}

TEST_F(SessionDialogsTest, ARefusedUnlockRestoresTheLockedUserAndAQuotedPasswordUnlocks) {
    LogIn("zitat", "zi\"tat");
    fw::TestMode::PushAnswer("dialog 348 set:1010=demo set:1009=demo cmd:1");
    frame->SendMessage(WM_COMMAND, ID_BLOCK_PC);
    harness::Pump();
    EXPECT_EQ(DialogResult(IDD_BLOCK_PC), IDCANCEL) << "still locked";
    EXPECT_EQ(theApp.Execute("W %USER,\"/\",%BG"), "zitat/10");
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog 348 set:1010=zitat set:1009=zi\"tat cmd:1");
    frame->SendMessage(WM_COMMAND, ID_BLOCK_PC);
    harness::Pump();
    EXPECT_EQ(DialogResult(IDD_BLOCK_PC), IDOK);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(SessionDialogsTest, EveryRefusedUnlockLeavesTheLockedUserAndGroupOnTheServer) {
    LogIn();
    // The job's entry among the server's active users, as an application server keeps it.
    theApp.Execute(
        "S ^%QSERVER(\"ACTIVE\",$J,\"IP\")=\"127.0.0.1\",^%QSERVER(\"ACTIVE\",$J,\"USER\")=\"demo\"");
    CBlockPC dialog(frame);
    ASSERT_TRUE(dialog.Create(IDD_BLOCK_PC, frame));
    struct {
        const char* user;
        const char* password;
        const char* why;
    } refused[] = {
        {"admin", "admin", "the administrator, another group"},
        {"zitat", "zi\"tat", "another user of the group"},
        {"demo", "falsch", "a wrong password"},
        {"", "", "no user"},
        {"entw", "entw", "the developer, another group"},
    };
    for (const auto& r : refused) {
        dialog.SetDlgItemText(IDC_BLOCK_USER, r.user);
        dialog.SetDlgItemText(IDC_BLOCK_PASSWORD, r.password);
        dialog.SendMessage(WM_COMMAND, IDOK);
        EXPECT_TRUE(dialog.m_hWnd && ::IsWindow(dialog.m_hWnd)) << r.why << ": still locked";
        EXPECT_EQ(theApp.Execute("W %USER,\"/\",%BG"), "demo/10") << r.why;
        EXPECT_EQ(theApp.Execute("W ^%QSERVER(\"ACTIVE\",$J,\"USER\")"), "demo") << r.why;
    }
    EXPECT_EQ(Boxes().size(), std::size(refused)) << "each refusal says why";
    dialog.SetDlgItemText(IDC_BLOCK_USER, "demo");
    dialog.SetDlgItemText(IDC_BLOCK_PASSWORD, "demo");
    dialog.SendMessage(WM_COMMAND, IDOK);
    EXPECT_FALSE(dialog.m_hWnd && ::IsWindow(dialog.m_hWnd)) << "the same user unlocks";
    EXPECT_EQ(theApp.Execute("W %USER,\"/\",%BG"), "demo/10");
    theApp.Execute("K ^%QSERVER(\"ACTIVE\",$J)");
}

TEST_F(SessionDialogsTest, TheConnectionPageTakesAnAbsentValueForTheServerAndKeepsAStoredOne) {
    struct {
        const char* stored; // null: absent
        bool remote;
        const char* written;
    } cases[] = {{nullptr, true, "1"}, {"1", true, "1"}, {"0", false, "0"}};
    for (const auto& c : cases) {
        theApp.SetGeneralValue("RemoteConnection", c.stored ? c.stored : "");
        ASSERT_EQ(theApp.GetGeneralValue("RemoteConnection", "none"), c.stored ? c.stored : "none");
        CMySheet sheet(IDS_OPTIONS_CAPTION, frame);
        CServerOptions page;
        sheet.AddPage(&page);
        ASSERT_NE(sheet.CreateModeless(), nullptr);
        ASSERT_NE(page.m_hWnd, nullptr);
        EXPECT_EQ(::IsDlgButtonChecked(page.m_hWnd, IDC_SRV_REMOTE) == BST_CHECKED, c.remote) << c.written;
        EXPECT_EQ(::IsDlgButtonChecked(page.m_hWnd, IDC_SRV_LOCAL) == BST_CHECKED, !c.remote) << c.written;
        EXPECT_EQ(::IsWindowEnabled(page.GetDlgItem(IDC_SRV_ADDRESS)) != 0, c.remote) << c.written;
        fw::TestMode::PushAnswer("box IDOK");
        ::SendMessageA(sheet.m_hWnd, WM_COMMAND, IDOK, 0);
        harness::Pump();
        EXPECT_TRUE(sheet.IsEnded());
        EXPECT_EQ(theApp.GetGeneralValue("RemoteConnection", "none"), c.written);
        sheet.DestroyWindow();
    }
    CString changed;
    changed.LoadString(IDS_SERVER_OPTIONS_CHANGED);
    for (const auto& b : Boxes())
        EXPECT_NE(b.text, changed.str()) << "showing the stored values changes nothing";
}

TEST_F(SessionDialogsTest, ChangeOfClientAndYearClosesTheForms) {
    LogIn();
    StartMemo("KAS");
    ASSERT_EQ(Frames().size(), 1u);
    CChangeLogin dialog(frame);
    ASSERT_TRUE(dialog.Create(IDD_CHANGE_LOGIN, frame));
    EXPECT_EQ(BoxEntries(dialog.GetDlgItem(IDC_CHANGE_CLIENT)),
              (std::vector<std::string>{"1 (Praxis Dr. Muster)", "2 (MVZ Nord)"}));
    std::vector<std::string> years = BoxEntries(dialog.GetDlgItem(IDC_CHANGE_YEAR));
    ASSERT_EQ(years.size(), 3u);
    ::SendMessageA(dialog.GetDlgItem(IDC_CHANGE_CLIENT), CB_SETCURSEL, 1, 0);
    dialog.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_CHANGE_CLIENT, CBN_SELCHANGE));
    ::SendMessageA(dialog.GetDlgItem(IDC_CHANGE_YEAR), CB_SETCURSEL, 0, 0);
    fw::TestMode::PushAnswer("box IDYES");
    dialog.SendMessage(WM_COMMAND, IDOK);
    harness::Pump();
    EXPECT_TRUE(Frames().empty());
    EXPECT_EQ(theApp.Execute("W %MI,\"/\",%WJ"), "2/" + years[0]);
    EXPECT_NE(StatusPane(1).find(years[0] + " - 2 - "), std::string::npos);
}

TEST_F(SessionDialogsTest, AClickOnTheStatusBarChangesClientAndYear) {
    LogIn();
    fw::TestMode::PushAnswer("dialog 567 cmd:1");
    Trace();
    NMHDR click{frame->GetDlgItem(ID_STATUS_BAR), ID_STATUS_BAR, static_cast<UINT>(NM_CLICK)};
    frame->SendMessage(WM_NOTIFY, ID_STATUS_BAR, reinterpret_cast<LPARAM>(&click));
    harness::Pump();
    EXPECT_EQ(DialogResult(IDD_CHANGE_LOGIN), IDOK);
    EXPECT_TRUE(Has(Trace(), "EURO^QCC()")) << "the change ran";
    EXPECT_EQ(theApp.Execute("W %MI"), "1");
}

TEST_F(SessionDialogsTest, RefusingTheQuestionKeepsFormsAndClient) {
    LogIn();
    StartMemo("KAS");
    fw::TestMode::PushAnswer("box IDNO");
    EXPECT_EQ(frame->SendMessage(WM_CHANGELOGIN, reinterpret_cast<WPARAM>("2 (MVZ Nord)"), 0), 0);
    EXPECT_EQ(Frames().size(), 1u);
    EXPECT_EQ(theApp.Execute("W %MI"), "1");
}

TEST_F(SessionDialogsTest, GeneralPageKeepsTheWordFolderOnTheServerAndTheViewerOff) {
    LogIn();
    // The program itself stands in for an installed viewer.
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    theApp.SetGeneralValue("WordViewPath", self);
    fw::TestMode::PushAnswer("dialog sheet set:1071=C:\\Vor\"lagen cmd:1075 cmd:1");
    frame->SendMessage(WM_COMMAND, ID_OPTIONS);
    harness::Pump();
    EXPECT_EQ(Once("W ^[\"SYS\"]EXTRAS(\"demo\",\"WORDPATH\")"), "C:\\Vor\"lagen");
    EXPECT_EQ(theApp.GetProfileString("Settings", "WordFormsFilePath", ""), "C:\\Vor\"lagen");
    EXPECT_EQ(theApp.GetGeneralValue("WordViewPath", ""), "(Not present)");
    EXPECT_EQ(theApp.GetGeneralValue("RemoteConnection", ""), "1")
        << "the connection page applied too, and an absent value means the server";
}

TEST_F(SessionDialogsTest, CancelInTheViewerChoiceKeepsTheViewer) {
    char self[MAX_PATH] = {};
    ::GetModuleFileNameA(nullptr, self, sizeof self);
    theApp.SetGeneralValue("WordViewPath", self);
    fw::TestMode::PushAnswer("dialog sheet cmd:1073 cmd:1");
    frame->SendMessage(WM_COMMAND, ID_OPTIONS);
    harness::Pump();
    EXPECT_EQ(theApp.GetGeneralValue("WordViewPath", ""), self);
    bool asked = false;
    for (const auto& item : fw::TestMode::Shown())
        asked = asked || item.kind == "save";
    EXPECT_TRUE(asked) << "the file dialog was offered";
}

TEST_F(SessionDialogsTest, WithoutAUserTheWordFolderGoesOnlyToTheProfile) {
    // Not logged in: the job knows no user.
    theApp.SetGeneralValue("APIType", "7");
    fw::TestMode::PushAnswer("box IDOK");
    fw::TestMode::PushAnswer("dialog sheet set:1071=C:\\Formulare page:2 set:1061=VOR cmd:1");
    frame->SendMessage(WM_COMMAND, ID_OPTIONS);
    harness::Pump();
    EXPECT_EQ(Once("W $D(^[\"SYS\"]EXTRAS)"), "0");
    EXPECT_EQ(theApp.GetProfileString("Settings", "WordFormsFilePath", ""), "C:\\Formulare");
    EXPECT_EQ(theApp.GetGeneralValue("APIType", ""), "0");
    EXPECT_EQ(theApp.GetGeneralValue("UCIandVG", ""), "VOR");
    CString changed;
    changed.LoadString(IDS_SERVER_OPTIONS_CHANGED);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, changed.str());
}

TEST_F(SessionDialogsTest, FontPageSizeRulesAndTheStandardFont) {
    theApp.WriteProfileString("Settings", "FontNameA", "");
    theApp.WriteProfileInt("Settings", "FontSizeA", 0);
    theApp.WriteProfileString("Settings", "FontNameB", "Tahoma");
    theApp.WriteProfileInt("Settings", "FontSizeB", 9);
    CMySheet sheet(IDS_OPTIONS_CAPTION, frame);
    CFontOptions fonts;
    sheet.AddPage(&fonts);
    ASSERT_NE(sheet.CreateModeless(), nullptr);
    HWND page = fonts.m_hWnd;
    ASSERT_NE(page, nullptr);
    HWND size = ::GetDlgItem(page, IDC_FONT_SIZE);
    EXPECT_EQ(fonts.GetDlgItemText(IDC_FONT_NAME), "<Standard>");
    EXPECT_FALSE(::IsWindowEnabled(size)) << "the standard font has no size";

    ::SendDlgItemMessageA(page, IDC_FONT_SLOTS, LB_SETCURSEL, 1, 0);
    fonts.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FONT_SLOTS, LBN_SELCHANGE));
    EXPECT_EQ(fonts.GetDlgItemText(IDC_FONT_NAME), "Tahoma");
    EXPECT_TRUE(::IsWindowEnabled(size));
    auto type = [&](const char* text) {
        ::SetWindowTextA(size, text);
        fonts.SendMessage(WM_COMMAND, MAKEWPARAM(IDC_FONT_SIZE, CBN_EDITCHANGE),
                          reinterpret_cast<LPARAM>(size));
        return fonts.GetDlgItemText(IDC_FONT_SIZE).str();
    };
    EXPECT_EQ(type("99"), "64");
    EXPECT_EQ(type("x"), "8");
    EXPECT_EQ(type(""), "");
    EXPECT_EQ(type("11"), "11");
    ::SendMessageA(sheet.m_hWnd, WM_COMMAND, IDOK, 0);
    harness::Pump();
    EXPECT_TRUE(sheet.IsEnded());
    EXPECT_EQ(theApp.GetProfileString("Settings", "FontNameA", "x"), "") << "the standard font stays empty";
    EXPECT_EQ(theApp.GetProfileInt("Settings", "FontSizeB", 0), 11);
    sheet.DestroyWindow();
}

TEST(ChangeDialogFontTest, AMetricOfZeroLeavesTheLayout) {
    DialogScale broken{0, 7, 13, 15};
    EXPECT_FALSE(broken.Valid());
    DialogScale scale{6, 7, 13, 15};
    ASSERT_TRUE(scale.Valid());
    EXPECT_EQ(scale.X(60), 70);
    EXPECT_EQ(scale.Y(26), 30);
}
