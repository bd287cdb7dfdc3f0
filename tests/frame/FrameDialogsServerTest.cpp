// F1's help window, the tabs of the register screen REG, the list of all windows and the
// support request, against the demo application on the fixture's dbserver.
#include "tests/frame/ServerFrameFixture.h"

#include "controls/HtmlDrawer.h"
#include "forms/ChildDialog.h"
#include "frame/DialogWindow.h"
#include "frame/DlgSupportRequest.h"
#include "frame/HelpDlg.h"
#include "tests/frame/DemoTrace.h"

#include <richedit.h>

#include <vector>

using demotrace::CountOf;
using demotrace::Has;

namespace {

std::string HelpShown(CHelpDlg* help) {
    return fw::WindowText(help->GetDlgItem(IDC_HELP_TEXT));
}

// WM_DIAGSETFOCUS as the forms of this thread receive it: the wParam of each.
std::vector<int>* g_focusSent = nullptr;
LRESULT CALLBACK RecordDiagSetFocus(int code, WPARAM wParam, LPARAM lParam) {
    const auto* call = reinterpret_cast<const CWPSTRUCT*>(lParam);
    if (code == HC_ACTION && g_focusSent && call->message == WM_DIAGSETFOCUS &&
        dynamic_cast<CChildDialog*>(CWnd::FromHandlePermanent(call->hwnd)))
        g_focusSent->push_back(static_cast<int>(call->wParam));
    return ::CallNextHookEx(nullptr, code, wParam, lParam);
}

class FocusRecorder {
  public:
    std::vector<int> sent;
    FocusRecorder()
        : m_hook(::SetWindowsHookExA(WH_CALLWNDPROC, RecordDiagSetFocus, nullptr, ::GetCurrentThreadId())) {
        g_focusSent = &sent;
    }
    ~FocusRecorder() {
        g_focusSent = nullptr;
        ::UnhookWindowsHookEx(m_hook);
    }

  private:
    HHOOK m_hook;
};

struct FakeShell : IHtmlShell {
    std::vector<std::string> opened, started;
    INT_PTR openResult = 33;
    INT_PTR Open(const char* target, int) override {
        opened.push_back(target);
        return openResult;
    }
    bool Start(const char* commandLine, int) override {
        started.push_back(commandLine);
        return true;
    }
};

// A key's default value for the test, put back afterwards (the prefix is shared).
class RegistryValue {
  public:
    RegistryValue(HKEY root, const std::string& path, const std::string& value) : m_root(root), m_path(path) {
        ::RegSetValueA(root, path.c_str(), REG_SZ, value.c_str(), static_cast<DWORD>(value.size()));
    }
    ~RegistryValue() { ::RegDeleteKeyA(m_root, m_path.c_str()); }

  private:
    HKEY m_root;
    std::string m_path;
};

} // namespace

class FrameDialogsTest : public ServerFrameTest {
  protected:
    void TearDown() override {
        Once("K ^QTEMP(\"HELP\") S ^QHELP(\"REG\",2)=\"Die Maske hat drei Karteikarten: {\\i Register}, {\\i "
             "Anschrift} und {\\i Notizen}.\\par\\par \"");
        ServerFrameTest::TearDown();
    }
    void PressF1() {
        frame->SendMessage(WM_COMMAND, ID_HELP_KEY);
        harness::Pump();
    }
    CTabCtrl* Tabs(CBaseMDI* f) {
        return dynamic_cast<CTabCtrl*>(CWnd::FromHandlePermanent(f->GetDlgItem(IDC_FRAME_TABS)));
    }
    // A click on a tab, as the tab control turns it into its notifications.
    void ClickTab(CTabCtrl* tabs, int index) {
        RECT r{};
        ASSERT_TRUE(
            tabs->SendMessage(TCM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&r)));
        LPARAM at = MAKELPARAM((r.left + r.right) / 2, (r.top + r.bottom) / 2);
        tabs->SendMessage(WM_LBUTTONDOWN, MK_LBUTTON, at);
        tabs->SendMessage(WM_LBUTTONUP, 0, at);
        harness::Pump();
    }
};

TEST_F(FrameDialogsTest, F1ShowsTheScreensRichTextAtTheRightAndASecondF1Reloads) {
    LogIn();
    StartMemo("REG");
    ASSERT_NE(Active(), nullptr);
    Trace();
    PressF1();
    CHelpDlg* help = frame->GetHelpWindow();
    ASSERT_NE(help, nullptr);
    EXPECT_TRUE(Has(Trace(), "LOAD^QHELPW"));
    std::string shown = HelpShown(help);
    EXPECT_NE(shown.find("Register"), std::string::npos) << shown;
    EXPECT_NE(shown.find("Karteikarten: Register, Anschrift und Notizen."), std::string::npos) << shown;
    EXPECT_NE(shown.find("w\xE4hlen"), std::string::npos) << "the chunks joined as rich text: " << shown;
    EXPECT_EQ(shown.find("\\rtf"), std::string::npos) << shown;
    CRect r = help->GetWindowRect();
    int quarter = GetSystemMetrics(SM_CXFULLSCREEN) / 4;
    EXPECT_EQ(r.left, 3 * quarter);
    EXPECT_EQ(r.Width(), quarter);
    EXPECT_EQ(r.top, 0);
    EXPECT_EQ(GetFocus(), help->GetDlgItem(IDC_HELP_TEXT));

    Once("S ^QHELP(\"REG\",2)=\"Neuer Text.\\par \"");
    HWND window = help->m_hWnd;
    PressF1();
    EXPECT_EQ(frame->GetHelpWindow(), help) << "one help window";
    EXPECT_TRUE(IsWindow(window));
    EXPECT_NE(HelpShown(help).find("Neuer Text."), std::string::npos) << HelpShown(help);
    EXPECT_EQ(CountOf(Trace(), "LOAD^QHELPW"), 1);

    help->SendMessage(WM_CLOSE);
    harness::Pump();
    EXPECT_FALSE(IsWindow(window));
    EXPECT_EQ(frame->GetHelpWindow(), nullptr) << "the frame forgets the window that went";
}

TEST_F(FrameDialogsTest, AScreenWithoutHelpShowsTheNoticeAsPlainText) {
    LogIn();
    StartMemo("PAT");
    ASSERT_NE(Active(), nullptr);
    PressF1();
    ASSERT_NE(frame->GetHelpWindow(), nullptr);
    EXPECT_EQ(HelpShown(frame->GetHelpWindow()), "Zu diesem Dialog ist keine Direkthilfe vorhanden.");
    EXPECT_EQ(Once("W $D(^QTEMP(\"HELP\"))"), "0");
}

TEST_F(FrameDialogsTest, AdministratorsF1OpensTheServersHelpScreenInstead) {
    LogIn("admin", "admin");
    StartMemo("ADR");
    ASSERT_NE(Active(), nullptr);
    Trace();
    PressF1();
    EXPECT_EQ(frame->GetHelpWindow(), nullptr);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "SELECTM^QCC(\"QHELP\")"));
    EXPECT_FALSE(Has(trace, "LOAD^QHELPW"));
    ASSERT_NE(Active(), nullptr);
    EXPECT_EQ(fw::WindowText(Active()->m_hWnd), "Hilfeverwaltung");
}

TEST_F(FrameDialogsTest, TheRegisterKeepsItsFirstPageAndFocusWhileTheServerRefusesTheSave) {
    LogIn();
    StartMemo("REG");
    CBaseMDI* reg = Active();
    ASSERT_NE(reg, nullptr);
    CTabCtrl* tabs = Tabs(reg);
    ASSERT_NE(tabs, nullptr);
    ASSERT_EQ(tabs->GetItemCount(), 3);
    CChildDialog* first = reg->GetForm(1);
    ASSERT_NE(first, nullptr);

    FocusRecorder focus;
    ClickTab(tabs, 1);
    EXPECT_EQ(tabs->GetCurSel(), 0) << "refused: the page stays";
    EXPECT_EQ(reg->GetTopForm(), first);
    EXPECT_TRUE(IsChild(first->m_hWnd, GetFocus())) << "the focus is back in the form";
    ASSERT_FALSE(Boxes().empty());
    EXPECT_EQ(Boxes().back().text, "Bitte einen Namen eingeben.");
    ASSERT_FALSE(focus.sent.empty());
    EXPECT_EQ(focus.sent.back(), -1);
    EXPECT_EQ(first->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FORM_OK, 0xFFFF)), 0)
        << "the page save answers 0 while the server refuses";
    EXPECT_EQ(tabs->GetItemParam(1), 32768 + 2) << "the page was never selected";

    HWND name = first->GetDlgItem(0x1001);
    ASSERT_NE(name, nullptr);
    SetFocus(name);
    SetWindowTextA(name, "Muster");
    focus.sent.clear();
    ClickTab(tabs, 1);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(reg->GetTopForm(), reg->GetForm(2));
    EXPECT_EQ(Once("W $G(^REG(\"NAME\"))"), "Muster");
    EXPECT_EQ(tabs->GetItemParam(1), 2) << "initialised";
    EXPECT_EQ(focus.sent, std::vector<int>{0}) << "a page's first selection";

    focus.sent.clear();
    ClickTab(tabs, 0);
    ClickTab(tabs, 1);
    EXPECT_EQ(tabs->GetCurSel(), 1);
    EXPECT_EQ(focus.sent, (std::vector<int>{-1, -1})) << "later selections";
}

TEST_F(FrameDialogsTest, TheTabControlPaintsThePagesBackgroundOnlyBehindTabs) {
    LogIn();
    StartMemo("REG");
    CBaseMDI* reg = Active();
    ASSERT_NE(reg, nullptr);
    HWND form = reg->GetForm(1)->m_hWnd;
    CRect tabs = Tabs(reg)->GetWindowRect();
    HDC screen = GetDC(nullptr);
    HDC dc = CreateCompatibleDC(screen);
    HBITMAP bitmap = CreateCompatibleBitmap(screen, tabs.Width(), tabs.Height());
    HGDIOBJ old = SelectObject(dc, bitmap);
    RECT all{0, 0, tabs.Width(), tabs.Height()};
    HBRUSH magenta = CreateSolidBrush(RGB(255, 0, 255));
    FillRect(dc, &all, magenta);
    EXPECT_EQ(
        reg->SendMessage(WM_TAB_ERASEBKGND, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(form)), 1);
    POINT origin{1, 1};
    GetWindowOrgEx(dc, &origin);
    EXPECT_EQ(origin.x, 0);
    EXPECT_EQ(origin.y, 0) << "the origin is put back";
    int painted = 0;
    for (int x = 0; x < tabs.Width(); x += 3)
        for (int y = 0; y < tabs.Height(); y += 3)
            if (GetPixel(dc, x, y) != RGB(255, 0, 255)) ++painted;
    EXPECT_GT(painted, 0) << "the tab control drew into the context";

    StartMemo("KAS");
    CBaseMDI* kas = Active();
    ASSERT_NE(kas, nullptr);
    EXPECT_EQ(kas->SendMessage(WM_TAB_ERASEBKGND, reinterpret_cast<WPARAM>(dc),
                               reinterpret_cast<LPARAM>(kas->GetForm(1)->m_hWnd)),
              0)
        << "no tabs: the form paints its own";
    SelectObject(dc, old);
    DeleteObject(bitmap);
    DeleteObject(magenta);
    DeleteDC(dc);
    ReleaseDC(nullptr, screen);
}

TEST_F(FrameDialogsTest, MoreWindowsListsEveryChildOnceInTheOrderOfItsId) {
    // More children than the window menu's ten.
    std::vector<HWND> children;
    for (int n = 1; n <= 12; ++n) {
        std::string title = "Fenster " + std::to_string(n);
        MDICREATESTRUCTA mcs{};
        mcs.szClass = "VORLAN MDI Window";
        mcs.szTitle = title.c_str();
        mcs.hOwner = GetModuleHandleA(nullptr);
        mcs.x = mcs.y = mcs.cx = mcs.cy = CW_USEDEFAULT;
        children.push_back(reinterpret_cast<HWND>(
            SendMessageA(frame->m_hWndMDIClient, WM_MDICREATE, 0, reinterpret_cast<LPARAM>(&mcs))));
        ASSERT_NE(children.back(), nullptr);
    }
    SendMessageA(frame->m_hWndMDIClient, WM_MDIACTIVATE, reinterpret_cast<WPARAM>(children[4]), 0);
    {
        CDialogWindow list(frame, frame->m_hWndMDIClient);
        ASSERT_TRUE(list.Create(IDD_WINDOW_LIST, frame));
        HWND box = list.GetDlgItem(IDC_WINDOW_LIST);
        ASSERT_EQ(SendMessageA(box, LB_GETCOUNT, 0, 0), 12);
        for (int i = 0; i < 12; ++i) {
            char text[64] = {};
            SendMessageA(box, LB_GETTEXT, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(text));
            char title[64] = {};
            GetWindowTextA(GetDlgItem(frame->m_hWndMDIClient, ID_MDI_FIRST + i), title, sizeof title);
            EXPECT_STREQ(text, title) << i;
        }
        list.DestroyWindow();
    }

    fw::TestMode::PushAnswer("dialog 329 cmd:1");
    frame->SendMessage(WM_COMMAND, ID_WINDOW_MORE);
    harness::Pump();
    EXPECT_EQ(DialogResult(IDD_WINDOW_LIST), IDCANCEL) << "OK without a choice cancels";
    EXPECT_EQ(frame->MDIGetActive(), children[4]);

    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog 329 sel:1024=11 cmd:1");
    frame->SendMessage(WM_COMMAND, ID_WINDOW_MORE);
    harness::Pump();
    EXPECT_EQ(DialogResult(IDD_WINDOW_LIST), IDOK);
    EXPECT_EQ(frame->MDIGetActive(), GetDlgItem(frame->m_hWndMDIClient, ID_MDI_FIRST + 11));
    for (HWND h : children)
        SendMessageA(frame->m_hWndMDIClient, WM_MDIDESTROY, reinterpret_cast<WPARAM>(h), 0);
}

TEST_F(FrameDialogsTest, SupportRequestDumpsEveryLocalAndMailsItThroughTheShell) {
    LogIn();
    theApp.Execute("S %=\"Prozent\",TABV=\"a\"_$C(9)_\"b\",ARR(1,\"x\")=2,ARR(2)=\"z\"\"q\"");
    FakeShell shell;
    CDlgSupportRequest request(frame, TheSession(), &shell);
    ASSERT_TRUE(request.Create(IDD_SUPPORT_REQUEST, frame));
    std::string shown = fw::WindowText(request.GetDlgItem(IDC_SUPPORT_REPORT));
    EXPECT_EQ(shown.rfind("Automatische Supportanfrage\r\n\r\nBenutzer: demo\r\nMemo:     ", 0), 0u) << shown;
    EXPECT_NE(shown.find("\r\nLokale Variablen:\r\n%=\"Prozent\"\r\n"), std::string::npos)
        << "the local % first: " << shown;
    EXPECT_NE(shown.find("\r\nTABV=\"a\"_$C(9)_\"b\"\r\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r\nARR(1,\"x\")=\"2\"\r\nARR(2)=\"z\"q\"\r\n"), std::string::npos) << shown;
    EXPECT_NE(shown.find("\r\n%USER=\"demo\"\r\n"), std::string::npos) << shown;
    EXPECT_NE(request.m_strReport.find("%0ATABV%3D%22a%22_%24C%289%29_%22b%22%0A"), std::string::npos)
        << request.m_strReport;
    EXPECT_EQ(request.m_strReport.find('\r'), std::string::npos);

    request.SetDlgItemText(IDC_SUPPORT_DESCRIPTION, "Es geht \"nicht\"\r\nmehr");
    {
        RegistryValue type(HKEY_CLASSES_ROOT, ".htm", "VorlanSupportTest");
        RegistryValue command(HKEY_CLASSES_ROOT, "VorlanSupportTest\\shell\\open\\command",
                              "\"C:\\Test Browser\\web.exe\" \"%1\"");
        shell.openResult = 2; // the shell knows no mail program
        request.SendMessage(WM_COMMAND, IDOK);
    }
    for (const char* key :
         {"VorlanSupportTest\\shell\\open", "VorlanSupportTest\\shell", "VorlanSupportTest"})
        RegDeleteKeyA(HKEY_CLASSES_ROOT, key);
    ASSERT_EQ(shell.opened.size(), 1u);
    const std::string& link = shell.opened[0];
    EXPECT_EQ(link.rfind("mailto:support@vorlan.example?subject=Automatische%20Supportanfrage&body="
                         "Es%20geht%20%22nicht%22%0Amehr%0A%0AAutomatische%20Supportanfrage%0A%0A"
                         "Benutzer%3A%20demo%0A",
                         0),
              0u)
        << link;
    ASSERT_EQ(shell.started.size(), 1u);
    EXPECT_EQ(shell.started[0], "\"C:\\Test Browser\\web.exe\" \"" + link + "\"") << "the URL quoted";
    EXPECT_FALSE(IsWindow(request.m_hWnd)) << "the request ends with OK";

    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("dialog 361 cmd:2");
    frame->SendMessage(WM_COMMAND, ID_SUPPORT_REQUEST);
    harness::Pump();
    auto shownItems = fw::TestMode::Shown();
    ASSERT_EQ(shownItems.size(), 1u);
    EXPECT_EQ(shownItems[0].id, IDD_SUPPORT_REQUEST);
    EXPECT_NE(shownItems[0].text.find("1110=Automatische Supportanfrage\r\n"), std::string::npos)
        << "the frame's command shows the report";
    EXPECT_EQ(shownItems[0].answer, IDCANCEL);
}
