// The screen SUB against the demo application on the fixture's dbserver: a key's dialog
// handing a value back, a chain of dialogs whose last one is closed, a sub-dialog in
// another namespace, and the devices served between fields. The ports COM2 to COM6 and LPT1
// of the test's Wine prefix lead to files (VORLAN_PORT_FILES).
#include "common/MQuote.h"
#include "forms/FormGlobals.h"
#include "frame/BaseModal.h"
#include "framework/CmdUI.h"
#include "resources/MainFrameIds.h"
#include "tests/common/MRoutine.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/forms/PortFiles.h"
#include "tests/forms/DuringModal.h"

#include <string>

using demotrace::CountOf;
using demotrace::Has;
using portfiles::ClearPorts;
using portfiles::PortFile;
using portfiles::ReadPort;

namespace {

class FormKeysServerTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        BeforeOpening();
        LogIn();
        StartMemo("SUB");
        ASSERT_NE(Form(), nullptr);
        ASSERT_EQ(Form()->GetFormName(), "SUB");
        Trace();
    }
    virtual void BeforeOpening() {}
    void TearDown() override {
        theApp.Settings().lpt = 0;
        theApp.Settings().com = 0;
        theApp.Settings().ring = 0;
        FormServerTestBase::TearDown();
    }
    static CBaseModal* Modal() { return CMainFrame::Get()->GetRunningModal(); }
    static std::string ModalForm() {
        return Modal() && Modal()->GetTopForm() ? Modal()->GetTopForm()->GetFormName().str() : std::string();
    }
    static std::string ModalField(int n) {
        HWND field =
            Modal() && Modal()->GetTopForm() ? Modal()->GetTopForm()->GetDlgItem(0x1000 | n) : nullptr;
        return field ? fw::WindowText(field) : std::string("(none)");
    }
    // Ctrl+Return in the modal window's first field: it saves and ends accepted.
    static void Accept() {
        HWND field = Modal()->GetTopForm()->GetDlgItem(0x1001);
        SetFocus(field);
        BYTE state[256] = {};
        state[VK_CONTROL] = 0x80;
        SetKeyboardState(state);
        PostMessageA(field, WM_KEYDOWN, VK_RETURN, 0);
    }
    static void Escape() {
        HWND target = GetFocus() ? GetFocus() : Modal()->m_hWnd;
        PostMessageA(target, WM_KEYDOWN, VK_ESCAPE, 0);
    }
    // A function key as the keyboard routing hands it to the form; returns when every
    // modal step has run.
    void PressKey(WPARAM key) {
        Key(key);
        harness::PumpUntil([] { return DuringModal::Done(); }, 5000);
        BYTE none[256] = {};
        SetKeyboardState(none);
        harness::Pump();
    }
    void Click(int n) {
        HWND button = Field(n);
        ASSERT_NE(button, nullptr) << n;
        SendMessageA(button, BM_CLICK, 0, 0);
        harness::Pump();
        BYTE none[256] = {};
        SetKeyboardState(none);
    }
};

} // namespace

TEST_F(FormKeysServerTest, F8HandsThePlaceBackAndTheScreenLaysItselfOut) {
    EXPECT_EQ(fw::WindowText(Field(1)), "Berlin");
    // Closed without saving: the screen keeps its own place.
    DuringModal::Run({[&] { Escape(); }});
    PressKey(VK_F8);
    EXPECT_EQ(Modal(), nullptr);
    EXPECT_EQ(Server("W $G(ORT)"), "Berlin");
    EXPECT_EQ(fw::WindowText(Field(1)), "Berlin");
    EXPECT_FALSE(Has(Trace(), "UEB^QSUB"));

    std::string opened, offered;
    DuringModal::Run({[&] {
        opened = ModalForm();
        offered = ModalField(1);
        Accept();
    }});
    PressKey(VK_F8);
    EXPECT_EQ(opened, "SUBDLG");
    EXPECT_EQ(offered, "Hamburg");
    EXPECT_EQ(Modal(), nullptr) << "the modal window is gone";
    EXPECT_EQ(fw::WindowText(Field(1)), "Hamburg") << "laid out again with the place handed back";
    EXPECT_EQ(Server("W $G(ORT)"), "Hamburg");
    EXPECT_EQ(Server("W $D(SUBORT)"), "0") << "only the names of piece 4 come back";
    EXPECT_EQ(Server("W $D(%VL)"), "0");
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "UEB^QSUB"));
    EXPECT_TRUE(Has(trace, "LOADVARS^QCC(\"TEMP\")"));
    EXPECT_TRUE(Has(trace, "VARLOAD^QCC(\"SUB\")"));
}

TEST_F(FormKeysServerTest, F9RunsTheChainAndTheClosedDialogRunsItsF3Action) {
    std::string first, second;
    DuringModal::Run({[&] {
                          first = ModalForm();
                          Accept();
                      },
                      [&] {
                          // SAVDLG: closed without saving.
                          second = ModalForm();
                          if (Modal()) Escape();
                      }});
    PressKey(VK_F9);
    EXPECT_EQ(first, "SUBDLG");
    EXPECT_EQ(Modal(), nullptr);
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "KETTE^QSUB"));
    EXPECT_TRUE(Has(trace, "UEB^QSUB"));
    EXPECT_TRUE(Has(trace, "WEITER^QSUB")) << "%ABL after the first dialog";
    EXPECT_EQ(second, "SAVDLG");
    EXPECT_EQ(CountOf(trace, "ABBR^QSUB"), 1) << "%ABL(\"F3\") after the second";
    EXPECT_EQ(Server("W $D(%ABL)_$D(%DDN)"), "00");
    EXPECT_EQ(Server("W $G(ORT)"), "Hamburg") << "the first dialog's place stands";
    EXPECT_EQ(Server("W $D(^%QVARS($J,\"SUB\",\"%ABL\"))"), "0") << "the screen's F3 action is spent";
}

// F6 of SUB runs a chain whose action after the first dialog leaves %F set but empty.
class EmptyErrorChainTest : public FormKeysServerTest {
  protected:
    void BeforeOpening() override {
        Once(mroutine::RoutineLine("TSTKET", {"TSTKET ; a chain stopped by an empty %F",
                                              "K S %ABL=\"F^TSTKET\",%DDN=\"SUBDLG\" D VARSAVE^QCC(%DN) Q",
                                              "F D TR^QCC(\"F^TSTKET\") S %F=\"\",%DDN=\"SAVDLG\" Q"}));
        Once("S ^QM(\"SUB\",0,\"TASTE\",\"F6\")=\"Leer\"_$C(167)_\"K^TSTKET\"");
    }
    void TearDown() override {
        Once("K ^QM(\"SUB\",0,\"TASTE\",\"F6\")");
        FormKeysServerTest::TearDown();
    }
};

TEST_F(EmptyErrorChainTest, StopsTheChainWithoutAnEmptyBox) {
    fw::TestMode::ClearShown();
    DuringModal::Run({[&] { Accept(); }});
    PressKey(VK_F6);
    EXPECT_EQ(Modal(), nullptr);
    EXPECT_EQ(Boxes().size(), 0u) << "nothing to tell";
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "UEB^QSUB"));
    EXPECT_TRUE(Has(trace, "F^TSTKET"));
    EXPECT_FALSE(Has(trace, "DIALOG^QCC(\"SAVDLG\")")) << "the chain stopped";
    EXPECT_EQ(Server("W $D(%F)"), "0");
    EXPECT_NE(Form(), nullptr) << "the screen stays";
}

TEST_F(FormKeysServerTest, TheSubDialogRunsInNamespaceABRAndComesBackOnEveryWayOut) {
    std::string home = Server("W $$UCI1^QUCI()");
    ASSERT_NE(home, "ABR");
    std::string opened, shown;
    bool nestedDuring = false;
    DuringModal::Run({[&] {
        opened = ModalForm();
        shown = ModalField(1);
        nestedDuring = vorlan::g_bNestedLoop;
        Accept();
    }});
    Click(3);
    harness::PumpUntil([] { return DuringModal::Done(); }, 5000);
    EXPECT_EQ(opened, "SUBABR");
    EXPECT_EQ(shown, "ABR") << "the dialog's description and init are ABR's";
    EXPECT_TRUE(nestedDuring);
    EXPECT_FALSE(vorlan::g_bNestedLoop);
    EXPECT_EQ(Server("W $$UCI1^QUCI()"), home);
    Lines trace = Trace();
    EXPECT_EQ(CountOf(trace, "SW^QUCI"), 2) << "there and back";
    EXPECT_TRUE(Has(trace, "ABRSAVE^QSUB ABR"));
    EXPECT_TRUE(Has(trace, "ZURUECK^QSUB " + home)) << "the code after the dialog runs at home";

    // A dialog that cannot open: nothing opens, and the namespace and flag come back.
    Once("S ^QM(\"SUB\",3,\"DIALOG\")=\"KEINDLG[ABR]D ZURUECK^QSUB\"");
    Click(3);
    Once("S ^QM(\"SUB\",3,\"DIALOG\")=\"SUBABR[ABR]D ZURUECK^QSUB\"");
    EXPECT_EQ(Modal(), nullptr);
    EXPECT_FALSE(vorlan::g_bNestedLoop);
    EXPECT_EQ(Server("W $$UCI1^QUCI()"), home);
    trace = Trace();
    EXPECT_EQ(CountOf(trace, "SW^QUCI"), 2);
    EXPECT_TRUE(Has(trace, "ZURUECK^QSUB " + home));
}

TEST_F(FormKeysServerTest, TheReceiptGoesToLPT1OnlyWithItsSwitch) {
    ClearPorts();
    Click(2);
    EXPECT_EQ(ReadPort("lpt1"), "") << "without -lpt";
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"SUB\",\"LPT1\"))"), "10") << "the request stays unserved";
    EXPECT_TRUE(Has(Trace(), "QUITT^QSUB"));

    theApp.Settings().lpt = 1;
    theApp.Settings().ring = 1;
    Click(2);
    EXPECT_EQ(ReadPort("lpt1"), "Quittung 4711\r\nBetrag 12,50 EUR\r\n");
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"SUB\",\"LPT1\"))"), "0") << "served once, then killed";
    Server("K ^QTEMP(%JOB,\"SUB\",\"RING\")");

    // A printer that cannot be reached loses the text, and the request is killed all the same.
    Server("S ^QTEMP(%JOB,\"SUB\",\"LPT1\",1)=\"weg\"");
    DeleteFileA(PortFile("lpt1").c_str());
    Form()->GotoControl(0xFFFF, 0);
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"SUB\",\"LPT1\"))"), "0");
    harness::WriteTextFile(PortFile("lpt1"), "");
}

TEST_F(FormKeysServerTest, TheDisplayTheDrawerAndThePortRequestGetTheirBytes) {
    ClearPorts();
    Once("S ^QM(\"SUB\",0,\"PORT\",\"A\")=\"COM3\",^(\"B\")=\"\\\\.\\COM4\",^(\"LADE\")=\"COM5\"");
    Once("S ^QM(\"SUB\",0,\"PORT\",\"LEITUNG\")=\"COM6\",^(\"KASSE\")=\"COM2\"");
    // Without -com the display and the drawer stay dark; the job's port request is served
    // all the same.
    Click(4);
    EXPECT_EQ(ReadPort("com3") + ReadPort("com4") + ReadPort("com5"), "");
    EXPECT_EQ(ReadPort("com6"), "\x0c"
                                "Danke\r");
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"SUB\",\"COMPORT\",\"CASHDRAWER\"))"), "1") << "not served";
    ClearPorts();

    theApp.Settings().com = 1;
    Click(4);
    Once("K ^QM(\"SUB\",0,\"PORT\")");
    EXPECT_EQ(ReadPort("com3"), std::string("\x1b"
                                            "FAWillkommen\r") +
                                    std::string(11, '\0'));
    EXPECT_EQ(ReadPort("com4"), std::string("\x1b"
                                            "FBSumme 12,50 EUR\r") +
                                    std::string(6, '\0'));
    EXPECT_EQ(ReadPort("com5"), std::string("\x1b"
                                            "FLade\r") +
                                    std::string(18, '\0'));
    EXPECT_EQ(ReadPort("com6"), "\x0c"
                                "Danke\r")
        << "the port request's messages, each with its own length";
    EXPECT_EQ(ReadPort("com2"), std::string("\x1bp0\x19\xc8") + std::string(20, '\0'));
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"SUB\",\"COMPORT\",\"CASHDRAWER\"))"), "0")
        << "the drawer opens once";
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"COMPORT\"))"), "0") << "the hub removed the port request";
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"SUB\",\"COMPORT\",\"DISPLAY\"))"), "10")
        << "the display keeps its lines";
    EXPECT_TRUE(Has(Trace(), "ANZEIGE^QSUB"));
}

TEST_F(FormKeysServerTest, UndoServesTheFieldsOfTheForm) {
    HWND field = Field(1);
    SetFocus(field);
    harness::Pump();
    SendMessageA(field, EM_SETSEL, 0, -1);
    SendMessageA(field, EM_REPLACESEL, TRUE, reinterpret_cast<LPARAM>("Bremen"));
    EXPECT_EQ(fw::WindowText(field), "Bremen");
    CCmdUI ui(ID_EDIT_UNDO);
    Form()->OnUpdateEditUndo(&ui);
    EXPECT_TRUE(ui.m_bEnabled);
    Active()->SendMessage(WM_COMMAND, ID_EDIT_UNDO);
    EXPECT_EQ(fw::WindowText(field), "Berlin") << "through the frame's undo command";

    // A button is no text field; a control outside the fields is not the form's.
    SetFocus(Field(2));
    harness::Pump();
    CCmdUI button(ID_EDIT_UNDO);
    Form()->OnUpdateEditUndo(&button);
    EXPECT_FALSE(button.m_bEnabled);
}
