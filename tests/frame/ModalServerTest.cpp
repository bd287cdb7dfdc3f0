// Modal form windows in the real main frame against the demo application on the fixture's
// dbserver: MOD's buttons open MODDLG as a modal window that holds its owner until it ends,
// without caption, docked, with the customer display, and with a timer of its own.
#include "common/MQuote.h"
#include "forms/FormMessages.h"
#include "frame/BaseModal.h"
#include "tests/forms/DuringModal.h"
#include "tests/forms/FormServerFixture.h"

#include <commctrl.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

using demotrace::CountOf;
using demotrace::Has;

namespace {

class ModalServerTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        LogIn();
        StartMemo("MOD");
        ASSERT_NE(Form(), nullptr);
        ASSERT_EQ(Form()->GetFormName(), "MOD");
        Trace();
    }
    void TearDown() override {
        theApp.Settings().noWin = 0;
        theApp.Settings().com = 0;
        FormServerTestBase::TearDown();
    }
    static CBaseModal* Modal() { return CMainFrame::Get()->GetRunningModal(); }
    // Esc as the keyboard brings it: posted to the focus, through the modal loop.
    static void PressEscape() {
        HWND target = GetFocus() ? GetFocus() : Modal()->m_hWnd;
        PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    // A click on a button of MOD; returns when the modal window it opens has ended, and
    // every step given to DuringModal must have run by then.
    void Click(int n) {
        HWND button = Field(n);
        ASSERT_NE(button, nullptr) << n;
        SendMessageA(button, BM_CLICK, 0, 0);
        harness::Pump();
        EXPECT_TRUE(DuringModal::Done()) << "button " << n << " ran no modal loop for the steps";
    }
    // The window style of the modal window that button n opens, read inside it.
    LONG_PTR StyleOfModal(int n) {
        LONG_PTR style = 0;
        DuringModal::Run({[&] {
            ASSERT_NE(Modal(), nullptr);
            style = GetWindowLongPtrA(Modal()->m_hWnd, GWL_STYLE);
            PressEscape();
        }});
        Click(n);
        return style;
    }
};

} // namespace

TEST_F(ModalServerTest, ADialogButtonHoldsItsOwnerUntilEscEndsItAndNoKillRefuses) {
    HWND main = frame->m_hWnd;
    bool ran = false;
    DuringModal::Run({
        [&] {
            ASSERT_NE(Modal(), nullptr) << "the sub-dialog runs as a modal window";
            HWND modal = Modal()->m_hWnd;
            EXPECT_EQ(harness::ClassOf(modal), "VORLAN MDI Window");
            EXPECT_EQ(GetWindow(modal, GW_OWNER), main);
            EXPECT_TRUE(GetWindowLongPtrA(modal, GWL_STYLE) & WS_CAPTION);
            EXPECT_EQ(fw::WindowText(modal), "Modaler Dialog");
            EXPECT_FALSE(IsWindowEnabled(main)) << "the owner is held";
            EXPECT_TRUE(IsWindowVisible(modal));
            // Its own toolbar stands in the band above the dialog's key bars.
            CFormBars& bars = Modal()->GetBars();
            ASSERT_NE(bars.ModalTool().m_hWnd, nullptr);
            EXPECT_TRUE(IsWindowVisible(bars.ModalTool().m_hWnd));
            EXPECT_GE(bars.ModalTool().CommandToIndex(ID_FORM_CLOSE), 0);
            EXPECT_TRUE(bars.HasKeyTool());
            // Centred over the main window that owns it.
            CRect m, o;
            GetWindowRect(modal, &m);
            GetWindowRect(main, &o);
            EXPECT_LE(std::abs((m.left + m.right) - (o.left + o.right)), 2);
            EXPECT_LE(std::abs((m.top + m.bottom) - (o.top + o.bottom)), 2);
            // The tip of a command of its own comes from the command's string.
            NMTTDISPINFOA tip{};
            tip.hdr.hwndFrom = nullptr; // a tooltip control of the system
            tip.hdr.idFrom = ID_FORM_CLOSE;
            tip.hdr.code = TTN_GETDISPINFOA;
            SendMessageA(modal, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&tip));
            EXPECT_STREQ(tip.lpszText, "Schlie\xdf"
                                       "en (Esc)");
            Server("S %NOKILL=\"Bitte erst speichern\"");
            PressEscape();
        },
        [&] {
            ASSERT_NE(Modal(), nullptr) << "%NOKILL refused the end";
            Server("S %NOKILL=1");
            SendMessageA(Modal()->m_hWnd, WM_CLOSE, 0, 0);
        },
        [&] {
            ASSERT_NE(Modal(), nullptr) << "%NOKILL 1 refuses without a word";
            Server("K %NOKILL");
            ran = true;
            PressEscape();
        },
    });
    Click(1);
    ASSERT_TRUE(ran);
    EXPECT_EQ(Modal(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(main)) << "the owner has its input back";
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Bitte erst speichern");
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "PR^QCC(1,\"J\")"));
    EXPECT_TRUE(Has(trace, "DIALOG^QCC(\"MODDLG\")"));
    EXPECT_TRUE(Has(trace, "PRGINIT^QCC(\"S %TIMER=1\")"));
    EXPECT_EQ(CountOf(trace, "DESTROY^QCC(\"MODDLG\")"), 1);
    EXPECT_TRUE(Has(trace, "VARLOAD^QCC(\"MOD\")")) << "a cancelled dialog gives MOD its variables back";
    EXPECT_FALSE(Has(trace, "LOADVARS^QCC(\"TEMP\")")) << "and lays none of its own over them";
    EXPECT_EQ(Server("W $G(%DN)"), "MOD");
    EXPECT_EQ(Server("W $D(MODBEM)"), "0") << "none of the dialog's variables stayed";
    EXPECT_NE(Form(), nullptr) << "MOD stays";
}

TEST_F(ModalServerTest, CtrlReturnAcceptsAndLaysTheDialogsVariablesOver) {
    ASSERT_EQ(Server("W $D(MODBEM)"), "0");
    DuringModal::Run({[&] {
        ASSERT_NE(Modal(), nullptr);
        HWND box = Modal()->GetTopForm()->GetDlgItem(0x1001);
        ASSERT_NE(box, nullptr);
        SetFocus(box);
        BYTE state[256] = {};
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
        PostMessageA(box, WM_KEYDOWN, VK_RETURN, 0);
    }});
    Click(1);
    BYTE none[256] = {};
    SetKeyboardState(none);
    EXPECT_EQ(Modal(), nullptr);
    EXPECT_TRUE(Has(Trace(), "LOADVARS^QCC(\"TEMP\")"));
    EXPECT_NE(Server("W $D(MODBEM)"), "0") << "the dialog's text box variable reached MOD";
    EXPECT_EQ(Server("W $G(%DN)"), "MOD");
}

TEST_F(ModalServerTest, OnlyTheStoredSizeIsUsedNeverThePlace) {
    Server("S:$G(%WIN(\"WORKSTATION\"))=\"\" %WIN(\"WORKSTATION\")=\"ALL\"");
    Server("S "
           "^Z(\"WINPOS\",%WIN(\"WORKSTATION\"),%USER,\"MODDLG\")=\"3\"_%DL_\"4\"_%DL_\"520\"_%DL_\"260\"_%"
           "DL_\"0\"");
    CRect shown;
    bool sizable = false;
    DuringModal::Run({[&] {
        ASSERT_NE(Modal(), nullptr);
        GetWindowRect(Modal()->m_hWnd, &shown);
        sizable = (GetWindowLongPtrA(Modal()->m_hWnd, GWL_STYLE) & WS_THICKFRAME) != 0;
        PressEscape();
    }});
    Click(1);
    Server("K ^Z(\"WINPOS\",%WIN(\"WORKSTATION\"),%USER,\"MODDLG\")");
    ASSERT_TRUE(sizable) << "the field at the form's edges stretches";
    EXPECT_EQ(shown.Width(), 520);
    EXPECT_EQ(shown.Height(), 260);
    EXPECT_NE(shown.left, 3) << "the stored place is not a modal window's";
}

TEST_F(ModalServerTest, WithoutCaptionOnlyWithTheNoWindowSwitchAndTheRequestEndsWithTheDialog) {
    EXPECT_TRUE(StyleOfModal(2) & WS_CAPTION) << "the switch is off";

    theApp.Settings().noWin = 1;
    LONG_PTR style = StyleOfModal(2);
    ASSERT_NE(style, 0);
    EXPECT_FALSE(style & WS_CAPTION);
    EXPECT_FALSE(style & WS_SYSMENU);
    Lines trace = Trace();
    EXPECT_EQ(CountOf(trace, "NOWIN^MOD"), 2);
    EXPECT_EQ(CountOf(trace, "FREI^MOD"), 2) << "the code after the dialog ran each time";
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"MOD\"))"), "0");

    // Without the request the switch changes nothing.
    EXPECT_TRUE(StyleOfModal(1) & WS_CAPTION);
}

TEST_F(ModalServerTest, ADockedWindowMinimisesTheMainWindowAndRestoresIt) {
    HWND main = frame->m_hWnd;
    vorlan::OwnDialogRecord record{main, nullptr, 7, 0, 1};
    bool iconic = false;
    CRect shown;
    LONG_PTR exStyle = 0;
    DuringModal::Run({[&] {
        ASSERT_NE(Modal(), nullptr);
        iconic = IsIconic(main) != 0;
        GetWindowRect(Modal()->m_hWnd, &shown);
        exStyle = GetWindowLongPtrA(Modal()->m_hWnd, GWL_EXSTYLE);
        PressEscape();
    }});
    LRESULT end = frame->SendMessage(WM_CREATEOWNDIALOG, reinterpret_cast<WPARAM>("MODDLG"),
                                     reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(end, ID_FORM_CLOSE);
    EXPECT_TRUE(iconic);
    EXPECT_FALSE(IsIconic(main)) << "the main window is back";
    EXPECT_TRUE(IsWindowEnabled(main));
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(shown.left, work.left);
    EXPECT_EQ(shown.bottom, work.bottom);
    EXPECT_TRUE(exStyle & WS_EX_TOPMOST);
    ASSERT_NE(record.window, nullptr) << "the caller gets the window to destroy";
    EXPECT_FALSE(IsWindowVisible(record.window));
    DestroyWindow(record.window);
    EXPECT_TRUE(Has(Trace(), "DESTROY^QCC(\"MODDLG\")"));
}

TEST_F(ModalServerTest, F1InAModalWindowHandsItsScreenOnAndOpensNoWindowBehindIt) {
    std::string byKey, byHelp, undefined;
    DuringModal::Run({[&] {
        ASSERT_NE(Modal(), nullptr);
        HWND modal = Modal()->m_hWnd;
        Server("K %AP");
        // F1 as the accelerator table brings it, and as the system's help request.
        SendMessageA(modal, WM_COMMAND, ID_HELP_KEY, 0);
        byKey = Server("W $G(%AP(1))");
        Server("K %AP");
        HELPINFO info{};
        info.cbSize = sizeof info;
        info.iContextType = HELPINFO_WINDOW;
        info.hItemHandle = GetFocus();
        EXPECT_EQ(SendMessageA(modal, WM_HELP, 0, reinterpret_cast<LPARAM>(&info)), TRUE);
        byHelp = Server("W $G(%AP(1))");
        // Without a screen name the value is emptied, not left over from before.
        Server("S %AP(1)=\"ALT\",%KEEPDN=%DN K %DN");
        SendMessageA(modal, WM_COMMAND, ID_HELP_KEY, 0);
        undefined = Server("W $D(%AP(1)),\"/\",$G(%AP(1))");
        Server("S %DN=%KEEPDN K %KEEPDN");
        PressEscape();
    }});
    Click(1);
    EXPECT_EQ(byKey, "MODDLG");
    EXPECT_EQ(byHelp, "MODDLG");
    EXPECT_EQ(undefined, "1/");
    EXPECT_TRUE(viewed.empty()) << "not the main frame's manual";
    EXPECT_EQ(frame->GetHelpWindow(), nullptr);
    Lines trace = Trace();
    EXPECT_FALSE(Has(trace, "SELECTM^QCC(\"QHELP\")"));
    EXPECT_FALSE(Has(trace, "LOAD^QHELPW"));
    EXPECT_TRUE(Boxes().empty());
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "MOD") << "nothing opened beside MOD";
}

TEST_F(ModalServerTest, ADialogThatCannotOpenEndsAsCancelled) {
    vorlan::OwnDialogRecord record{frame->m_hWnd, nullptr, -1, 0, 0};
    LRESULT end = frame->SendMessage(WM_CREATEOWNDIALOG, reinterpret_cast<WPARAM>("KEINDLG"),
                                     reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(end, ID_FORM_CLOSE);
    EXPECT_EQ(record.window, nullptr);
    EXPECT_TRUE(IsWindowEnabled(frame->m_hWnd));
    EXPECT_EQ(Modal(), nullptr);
    EXPECT_TRUE(Has(Trace(), "DESTROY^QCC(\"KEINDLG\")"));
}

TEST_F(ModalServerTest, TheCustomerDisplayGetsTwentyFiveBytesALineOnlyOnDevicePorts) {
    // The test's ports COM7 and COM8 lead to files (links in the Wine prefix's dosdevices).
    char ports[MAX_PATH] = {};
    ASSERT_TRUE(GetEnvironmentVariableA("VORLAN_PORT_FILES", ports, sizeof ports)) << "the ports fixture";
    std::string fileA = std::string(ports) + "com7.bin", fileB = std::string(ports) + "com8.bin";
    std::string fileC = harness::NewFolder("modaldisplay") + "c.bin";
    for (const std::string& f : {fileA, fileB})
        harness::WriteTextFile(f, "");
    theApp.Settings().com = 1;
    Server("S ^QTEMP(%JOB,\"MOD\",\"COMPORT\")=\"\"");
    Server("S ^QTEMP(%JOB,\"MOD\",\"COMPORT\",\"DISPLAY\",\"A\")=\"Guten Tag\"_%DL_\"COM7\"");
    Server("S ^QTEMP(%JOB,\"MOD\",\"COMPORT\",\"DISPLAY\",\"B\")=\"Eine Zeile, die viel zu lang "
           "ist\"_%DL_\"\\\\.\\COM8\"");
    DuringModal::Run({[&] { PressEscape(); }});
    Click(1);
    EXPECT_EQ(harness::ReadTextFile(fileA), std::string("\x1b"
                                                        "FAGuten Tag\r",
                                                        13) +
                                                std::string(12, '\0'));
    EXPECT_EQ(harness::ReadTextFile(fileB), std::string("\x1b"
                                                        "FBEine Zeile, die viel z",
                                                        25))
        << "cut, without its CR";

    // A name that is no port is never opened, not even as a file.
    harness::WriteTextFile(fileC, "");
    Server("S ^QTEMP(%JOB,\"MOD\",\"COMPORT\",\"DISPLAY\",\"A\")=\"Datei\"_%DL_" + vorlan::MQuote(fileC));
    Server("K ^QTEMP(%JOB,\"MOD\",\"COMPORT\",\"DISPLAY\",\"B\")");
    DuringModal::Run({[&] { PressEscape(); }});
    Click(1);
    EXPECT_EQ(harness::ReadTextFile(fileC), "");
    Server("K ^QTEMP(%JOB,\"MOD\")");

    // The demo's own button sets its lines first and clears them after the dialog.
    theApp.Settings().com = 0;
    DuringModal::Run({[&] {
        EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"MOD\",\"COMPORT\",\"DISPLAY\",\"A\"))"), "1");
        PressEscape();
    }});
    Click(3);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "ANZEIGE^MOD"));
    EXPECT_TRUE(Has(trace, "FREI^MOD"));
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"MOD\"))"), "0");
}

TEST_F(ModalServerTest, ItsTimerRunsOnlyItsOwnFormsEntries) {
    Once("S ^QM(\"MODDLG\",0,\"TIMER\")=\"MOD\"_$C(167)_\"MODDLG\"");
    DuringModal::Run({[] {}, [] {}, [] {}, [] {}, [&] { PressEscape(); }}, 700);
    Click(1);
    Once("S ^QM(\"MODDLG\",0,\"TIMER\")=\"MODDLG\"");
    Lines trace = Trace();
    EXPECT_GE(CountOf(trace, "TIMER^MODDLG()"), 2) << "a tick a second";
    EXPECT_FALSE(Has(trace, "TIMER^MOD()")) << "the opener's entry is not the modal window's";
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(ModalServerTest, ASubDialogInANamespaceHoldsTheFramesTimersAndSwitchesBackOnEveryWayOut) {
    std::string home = Server("W $$UCI1^QUCI()");
    bool nestedDuring = false;
    Once("S ^QM(\"MOD\",1,\"DIALOG\")=" + vorlan::MQuote("MODDLG[" + home + "]D TR^QCC(\"DANACH\")"));
    DuringModal::Run({[&] {
        ASSERT_NE(Modal(), nullptr);
        nestedDuring = vorlan::g_bNestedLoop;
        PressEscape();
    }});
    Click(1);
    EXPECT_TRUE(nestedDuring);
    EXPECT_FALSE(vorlan::g_bNestedLoop);
    Lines trace = Trace();
    EXPECT_EQ(CountOf(trace, "SW^QUCI"), 2) << "there and back";
    EXPECT_TRUE(Has(trace, "DANACH")) << "the code after the dialog";

    // A namespace without the dialog: nothing opens, and everything comes back all the same.
    Once("S ^QM(\"MOD\",1,\"DIALOG\")=\"MODDLG[ABR]\"");
    Click(1);
    Once("S ^QM(\"MOD\",1,\"DIALOG\")=\"MODDLG\"");
    EXPECT_FALSE(vorlan::g_bNestedLoop);
    EXPECT_EQ(Server("W $$UCI1^QUCI()"), home);
    EXPECT_EQ(Modal(), nullptr);
    EXPECT_EQ(CountOf(Trace(), "SW^QUCI"), 2);
}

TEST_F(ModalServerTest, ADdnAtCreationRunsTheModalBeforeTheScreenOpens) {
    Once("S ^QM(\"MODDDN\")=\"Mit Vorlauf\",^QM(\"MODDDN\",0,\"INIT\")=\"S %DDN=\"\"MODDLG\"\"\"");
    Once("S ^QM(\"MODDDN\",1)=" + vorlan::MQuote("2\xA7"
                                                 "5\xA7"
                                                 "10\xA7"
                                                 "Feld\xA7"
                                                 "MODF\xA7"
                                                 "1\xA7"
                                                 "1\xA7"
                                                 "0\xA7"));
    bool ran = false;
    DuringModal::Run({[&] {
        ASSERT_NE(Modal(), nullptr);
        EXPECT_EQ(Modal()->GetTopForm()->GetFormName(), "MODDLG");
        ran = true;
        Modal()->SendMessage(WM_COMMAND, ID_FORM_OK);
    }});
    frame->SendMessage(WM_CREATEMDIDIALOG, reinterpret_cast<WPARAM>("MODDDN"), 0);
    harness::Pump();
    Once("K ^QM(\"MODDDN\")");
    EXPECT_TRUE(ran);
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "MODDDN") << "the accepted dialog lets the screen open";
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "DIALOG^QCC(\"MODDLG\")"));
    EXPECT_TRUE(Has(trace, "LOADVARS^QCC(\"TEMP\")"));
}

TEST_F(ModalServerTest, ARefusedInitLeavesTheFormDisabledAndEscStillEndsTheWindow) {
    Once("S ^QM(\"MODDLG\",0,\"INIT\")=\"S %F=\"\"Heute nicht\"\"\"");
    bool formEnabled = true;
    DuringModal::Run({[&] {
        ASSERT_NE(Modal(), nullptr);
        formEnabled = IsWindowEnabled(Modal()->GetTopForm()->m_hWnd) != 0;
        PressEscape();
    }});
    Click(1);
    Once("S ^QM(\"MODDLG\",0,\"INIT\")=\"S %TIMER=1\"");
    EXPECT_FALSE(formEnabled);
    EXPECT_EQ(Modal(), nullptr);
    bool said = false;
    for (const auto& box : Boxes())
        said |= box.text == "Heute nicht";
    EXPECT_TRUE(said);
}

TEST_F(ModalServerTest, AScreenWithTabsRunsAsAModalWindowWithItsPages) {
    Once("K ^ADR");
    vorlan::OwnDialogRecord record{frame->m_hWnd, nullptr, 3, 1, 0};
    bool tabs = false;
    int forms = 0;
    std::string top;
    DuringModal::Run({[&] {
        ASSERT_NE(Modal(), nullptr);
        tabs = GetDlgItem(Modal()->m_hWnd, 49152) != nullptr;
        forms = Modal()->GetFormCount();
        top = Modal()->GetTopForm()->GetFormName().str();
        fw::TestMode::PushAnswer("box IDNO"); // closing without saving
        PressEscape();
    }});
    LRESULT end = frame->SendMessage(WM_CREATEOWNDIALOG, reinterpret_cast<WPARAM>("ADR"),
                                     reinterpret_cast<LPARAM>(&record));
    EXPECT_EQ(end, ID_FORM_CLOSE);
    EXPECT_TRUE(tabs);
    EXPECT_EQ(forms, 2) << "the address and its page Kommunikation";
    EXPECT_EQ(top, "ADR");
    if (record.window) DestroyWindow(record.window);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "DESTROY^QCC(\"ADR\")"));
    EXPECT_TRUE(Has(trace, "DESTROY^QCC(\"ADRKOM\")"));
}

TEST_F(ModalServerTest, ModalWindowsNestAndTheMainFrameKnowsTheInnermost) {
    HWND outer = nullptr, inner = nullptr;
    bool outerHeld = false, outerBack = false, runningBack = false;
    LRESULT innerEnd = 0;
    DuringModal::Run({
        [&] {
            ASSERT_NE(Modal(), nullptr);
            outer = Modal()->m_hWnd;
            vorlan::OwnDialogRecord record{outer, nullptr, -1, 0, 0};
            // The next step runs inside the inner window's loop.
            innerEnd = frame->SendMessage(WM_CREATEOWNDIALOG, reinterpret_cast<WPARAM>("MODDLG"),
                                          reinterpret_cast<LPARAM>(&record));
            runningBack = Modal() && Modal()->m_hWnd == outer;
            outerBack = IsWindowEnabled(outer) != 0;
            if (record.window) DestroyWindow(record.window);
        },
        [&] {
            ASSERT_NE(Modal(), nullptr);
            inner = Modal()->m_hWnd;
            outerHeld = !IsWindowEnabled(outer);
            EXPECT_EQ(GetWindow(inner, GW_OWNER), outer);
            PressEscape();
        },
        [&] { PressEscape(); },
    });
    Click(1);
    EXPECT_NE(inner, outer);
    EXPECT_TRUE(outerHeld);
    EXPECT_EQ(innerEnd, ID_FORM_CLOSE);
    EXPECT_TRUE(runningBack) << "the outer window runs again";
    EXPECT_TRUE(outerBack);
    EXPECT_EQ(Modal(), nullptr);
    EXPECT_TRUE(IsWindowEnabled(frame->m_hWnd));
}
