// The server-described form in the real main frame against the demo application on the
// fixture's dbserver: the address screen ADR from its opening to its saving, and the
// requests the server leaves after each step.
#include "common/MQuote.h"
#include "tests/forms/FormServerFixture.h"

#include <commctrl.h>

#include <string>

using demotrace::CountOf;
using demotrace::Has;

namespace {

CRect RectIn(HWND parent, HWND child) {
    CRect r;
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, parent, reinterpret_cast<POINT*>(&r), 2);
    return r;
}

class FormServerTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        Once("K ^ADR");
    }
    CChildDialog* OpenAddress() {
        LogIn();
        StartMemo("ADR");
        return Form();
    }
};

} // namespace

TEST_F(FormServerTest, AddressOpensWithItsFieldsLabelsKeysAndTitles) {
    CChildDialog* form = OpenAddress();
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetTitle(), "Adresse");
    EXPECT_EQ(Active()->GetWindowText(), "Adressen") << "the frame shows the screen's caption";
    EXPECT_TRUE(Boxes().empty()) << "a new address opens without a word";

    struct {
        int n;
        const char* cls;
        DWORD style;
    } fields[] = {{1, "Edit", ES_AUTOHSCROLL},
                  {2, "Edit", ES_AUTOHSCROLL},
                  {3, "Edit", ES_AUTOHSCROLL},
                  {4, "Edit", ES_AUTOHSCROLL},
                  {5, "Button", BS_AUTOCHECKBOX | BS_LEFTTEXT},
                  {6, "Edit", ES_MULTILINE | WS_VSCROLL | ES_WANTRETURN},
                  {7, "Button", BS_NOTIFY}};
    for (const auto& f : fields) {
        HWND control = Field(f.n);
        ASSERT_NE(control, nullptr) << f.n;
        EXPECT_EQ(harness::ClassOf(control), f.cls) << f.n;
        EXPECT_EQ(static_cast<DWORD>(GetWindowLongPtrA(control, GWL_STYLE)) & f.style, f.style) << f.n;
    }
    EXPECT_TRUE(GetWindowLongPtrA(Field(1), GWL_EXSTYLE) & WS_EX_CLIENTEDGE);

    // Field 1: column 14, row 5, 30 cells; the label ends 5 pixels left of it.
    CRect r = RectIn(form->m_hWnd, Field(1));
    EXPECT_EQ(r.left, 14 * 7);
    EXPECT_EQ(r.Width(), 31 * 7);
    EXPECT_EQ(r.top, 8);
    EXPECT_EQ(r.Height(), 19);
    HWND label = GetWindow(Field(1), GW_HWNDPREV);
    ASSERT_NE(label, nullptr);
    EXPECT_EQ(GetDlgCtrlID(label), 0xFFFF);
    EXPECT_EQ(fw::WindowText(label), "Name");
    EXPECT_EQ(RectIn(form->m_hWnd, label).right, r.left - 5);
    EXPECT_EQ(RectIn(form->m_hWnd, Field(4)).top, 3 * 20 + 8);
    EXPECT_EQ(RectIn(form->m_hWnd, Field(6)).Height(), 3 * 20 - 1) << "three lines high";
    EXPECT_EQ(fw::WindowText(Field(5)), "Aktiv") << "a check box carries its own label";

    HWND tips = form->GetToolTip();
    ASSERT_TRUE(IsWindow(tips));
    EXPECT_EQ(harness::ClassOf(tips), TOOLTIPS_CLASSA);
    EXPECT_EQ(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0), 6) << "every field but the text box";

    EXPECT_EQ(frame->GetKeyText(0), "Neu");
    EXPECT_EQ(frame->GetKeyText(7), "Excel");
    EXPECT_EQ(FocusedField(), 1) << "the server's start field";
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "DIALOG^QCC(\"ADR\")"));
    EXPECT_TRUE(Has(trace, "MAX^QCC(\"ADR\")"));
    EXPECT_EQ(CountOf(trace, "GETKEYS^QCC(\"ADR\")"), 1);
    EXPECT_EQ(CountOf(trace, "GETKEYS^QCC(\"ADRKOM\")"), 1) << "the page is made with the address";
}

TEST_F(FormServerTest, FieldExitsAreCheckedAndFormattedByTheServer) {
    ASSERT_NE(OpenAddress(), nullptr);
    Enter(1, "Meier");
    EXPECT_EQ(FocusedField(), 2);
    EXPECT_EQ(Server("W ADRNAME"), "Meier");
    Key(VK_UP);
    EXPECT_EQ(FocusedField(), 1) << "up goes back";
    Key(VK_DOWN);
    Enter(2, "O\"Neil <Jr>\tII");
    EXPECT_EQ(Server("W ADRVORN"), "O\"Neil <Jr>\tII") << "quotes travel as 255 and come back";
    EXPECT_EQ(fw::WindowText(Field(2)), "O\"Neil <Jr>\tII");
    EXPECT_EQ(FocusedField(), 3);

    fw::TestMode::ClearShown();
    Enter(4, "31.02.2024");
    ASSERT_EQ(Boxes().size(), 1u) << "a date that does not exist is refused with a message";
    EXPECT_EQ(FocusedField(), 4);
    EXPECT_EQ(fw::WindowText(Field(4)), "31.02.2024") << "what was typed stays";
    Enter(4, "29.2.2024");
    EXPECT_EQ(fw::WindowText(Field(4)), "29.02.2024") << "taken and formatted";
    EXPECT_EQ(FocusedField(), 5);

    fw::TestMode::ClearShown();
    SetFocus(Field(4));
    harness::Pump();
    SetWindowTextA(Field(4), "kein Datum");
    Key(VK_UP);
    EXPECT_TRUE(Boxes().empty()) << "leaving backward shows no refusal";

    Enter(2, std::string(60000, 'x'));
    EXPECT_EQ(Server("W $L(ADRVORN)"), "60000");
}

TEST_F(FormServerTest, TextBoxTravelsWholeAsItsArray) {
    ASSERT_NE(OpenAddress(), nullptr);
    std::string line(700, 'a');
    std::string text;
    for (int i = 0; i < 100; ++i)
        text += line + (i % 10 == 0 ? "\t\"<x>\"" : "") + "\r\n" + (i % 7 ? "" : "\r\n");
    text += "Ende";
    ASSERT_GT(text.size(), 70000u);
    HWND box = Field(6);
    SetFocus(box);
    harness::Pump();
    SetWindowTextA(box, text.c_str());
    SendMessageA(box, EM_SETMODIFY, TRUE, 0); // as typing marks it: only an edited box goes back
    SetFocus(Field(1));
    harness::Pump();
    EXPECT_EQ(Server("W $O(NOTIZ(\"\"),-1)"), "116") << "one node a line, blank lines too";
    EXPECT_EQ(Server("W NOTIZ(1)"), line + "\t\"<x>\"");
    EXPECT_EQ(Server("W NOTIZ(116)"), "Ende");
    // Back into the box and out again: the same text, no blanks grown at line ends.
    SetFocus(box);
    harness::Pump();
    EXPECT_EQ(fw::WindowText(box), text);
    SetFocus(Field(1));
    harness::Pump();
    SetFocus(box);
    harness::Pump();
    EXPECT_EQ(fw::WindowText(box), text);
}

TEST_F(FormServerTest, KeysRunTheServersCodeAndItsRequests) {
    ASSERT_NE(OpenAddress(), nullptr);
    Enter(1, "Meier");
    Enter(2, "Anna");
    Enter(3, "Bonn");
    fw::TestMode::ClearShown();
    Key(VK_F6);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].text.find("Meier"), std::string::npos) << Boxes()[0].text;
    EXPECT_NE(Boxes()[0].text.find("Bonn"), std::string::npos);

    Key(VK_F9);
    std::string clip;
    if (OpenClipboard(nullptr)) {
        if (HANDLE h = GetClipboardData(CF_TEXT)) {
            clip = static_cast<const char*>(GlobalLock(h));
            GlobalUnlock(h);
        }
        CloseClipboard();
    }
    EXPECT_NE(clip.find("Meier"), std::string::npos) << clip;

    fw::TestMode::ClearShown();
    Key(VK_F7);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_NE(Boxes()[0].text.find("nicht gespeichert"), std::string::npos)
        << "an unsaved address is not deleted";

    Key(VK_F5);
    EXPECT_EQ(fw::WindowText(Field(1)), "") << "a new address empties the form";
    EXPECT_EQ(Server("W $D(ADRNAME)"), "1") << "handed back to the form";
    EXPECT_TRUE(Has(Trace(), "FO^QCC(1)")) << "and the focus went back to the first field";
}

TEST_F(FormServerTest, SavingChecksThenStoresAndMovesToThePage) {
    ASSERT_NE(OpenAddress(), nullptr);
    fw::TestMode::ClearShown();
    Key(VK_RETURN, true);
    ASSERT_EQ(Boxes().size(), 1u) << "the name is missing";
    EXPECT_EQ(FocusedField(), 1);
    EXPECT_EQ(Server("W $D(^ADR)"), "0");

    Enter(1, "Meier");
    Enter(2, "Anna");
    Enter(3, "Bonn");
    Enter(4, "01.05.1970");
    fw::TestMode::ClearShown();
    Key(VK_RETURN, true);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_EQ(Once("W ^ADR(1)"), "Meier\xA7"
                                 "Anna\xA7"
                                 "Bonn\xA7"
                                 "01.05.1970\xA7J");
    Lines saved = Trace();
    EXPECT_TRUE(Has(saved, "PRGABL^QCC(\"SAVE^QADR\")"));
    EXPECT_TRUE(Has(saved, "VARSAVE^QCC(\"ADR\")")) << "the page switch saved the address's variables";
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetDescriptionName(), "ADRKOM") << "the frame moves on to the page";

    fw::TestMode::ClearShown();
    Enter(2, "kein.at.zeichen");
    EXPECT_EQ(Boxes().size(), 1u) << "an e-mail address needs its @";
}

TEST_F(FormServerTest, ClosingAsksAndCancelKeepsTheForm) {
    ASSERT_NE(OpenAddress(), nullptr);
    fw::TestMode::PushAnswer("box IDCANCEL");
    Key(VK_ESCAPE);
    ASSERT_EQ(Frames().size(), 1u) << "cancel keeps the screen";
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].id & MB_TYPEMASK, static_cast<int>(MB_YESNOCANCEL));
    EXPECT_NE(Boxes()[0].text.find("Adressen"), std::string::npos) << Boxes()[0].text;

    fw::TestMode::PushAnswer("box IDNO");
    Key(VK_ESCAPE);
    EXPECT_EQ(Frames().size(), 0u) << "no closes without saving";
    Lines trace = Trace();
    EXPECT_EQ(CountOf(trace, "DESTROY^QCC(\"ADR\")"), 1);
    EXPECT_EQ(CountOf(trace, "DESTROY^QCC(\"ADRKOM\")"), 1);
    EXPECT_FALSE(Has(trace, "PRGABL^QCC(\"SAVE^QADR\")"));
}

TEST_F(FormServerTest, AHostileQuestionTextPlacesOnlyTheTitle) {
    ASSERT_NE(OpenAddress(), nullptr);
    // The question comes from the test's own strings (HostileTexts.rc) for this one close.
    struct LanguageSwap {
        HINSTANCE language = AfxGetResourceHandle();
        LanguageSwap() { AfxSetResourceHandle(GetModuleHandleA(nullptr)); }
        ~LanguageSwap() { AfxSetResourceHandle(language); }
    };
    {
        LanguageSwap hostile;
        fw::TestMode::PushAnswer("box IDCANCEL");
        Key(VK_ESCAPE);
    }
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Speichern: \"Adressen\" %x %d %");
    EXPECT_EQ(Frames().size(), 1u);
}

TEST_F(FormServerTest, RefusedFormsAreReportedOnceAndLeaveNoFrame) {
    LogIn();
    Once("S ^QM(\"TSTFF\")=\"Kaputt\",^QM(\"TSTFF\",0,\"INIT\")=" + vorlan::MQuote("S %FF=\"Geht nicht.\""));
    Once(
        "S ^QM(\"TSTDDN\")=\"Kette\",^QM(\"TSTDDN\",0,\"INIT\")=" +
        // The F3 action lives in the form's own variables, which a refused sub-dialog brings back.
        vorlan::MQuote("S %ABL(\"F3\")=\"TR^QCC(\"\"F3\"\")\" D VARSAVE^QCC(\"TSTDDN\") S %DDN=\"KEINDLG\""));
    Trace();
    for (const char* screen : {"NOPE", "TSTFF", "TSTDDN"})
        frame->SendMessage(WM_CREATEMDIDIALOG, reinterpret_cast<WPARAM>(screen), 0);
    harness::Pump();
    EXPECT_TRUE(Frames().empty());
    Lines trace = Trace();
    EXPECT_EQ(CountOf(trace, "DESTROY^QCC(\"NOPE\")"), 1);
    EXPECT_EQ(CountOf(trace, "DESTROY^QCC(\"TSTFF\")"), 1) << "reported once, not again with the window";
    EXPECT_EQ(CountOf(trace, "DESTROY^QCC(\"TSTDDN\")"), 1);
    EXPECT_TRUE(Has(trace, "F3")) << "the F3 action of the broken chain ran";
    bool fatalShown = false;
    for (const auto& box : Boxes())
        fatalShown |= box.text == "Geht nicht.";
    EXPECT_TRUE(fatalShown);
    Once("K ^QM(\"TSTFF\"),^QM(\"TSTDDN\")");
}

TEST_F(FormServerTest, AnIdleStepSendsOnlyTheRequestTests) {
    CChildDialog* form = OpenAddress();
    ASSERT_NE(form, nullptr);
    recorder->Take();
    form->TestAbl();
    std::vector<std::string> lines = recorder->Take();
    for (const auto& line : lines)
        EXPECT_TRUE(line.rfind("W:$D(^QTEMP(%JOB,", 0) == 0 ||
                    line.rfind("W $G(%WIN(\"%EDITPASTE\"))", 0) == 0 || line == "W $G(%DDN) K %DDN")
            << line;
    EXPECT_GE(lines.size(), 20u);
}
