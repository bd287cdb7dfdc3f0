// The end of a form's step in the real main frame against the demo application on the
// fixture's dbserver: SAV saves through its sub-dialog SAVDLG, prints by the device the save
// left and starts over; REP's pages save one after another and the first starts over.
#include "forms/FormMessages.h"
#include "frame/BaseModal.h"
#include "resources/MainFrameIds.h"
#include "tests/common/MRoutine.h"
#include "tests/forms/DuringModal.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/harness/Person.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

using demotrace::CountOf;
using demotrace::Has;

namespace {

// Where an entry stands in the trace (its end when missing).
size_t At(const Lines& trace, const std::string& entry) {
    return static_cast<size_t>(std::find(trace.begin(), trace.end(), entry) - trace.begin());
}

bool ShownWith(const std::string& part) {
    for (const auto& item : fw::TestMode::Shown())
        if (item.text.find(part) != std::string::npos || item.caption.find(part) != std::string::npos)
            return true;
    return false;
}

class FormSaveTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        Once("K ^SAV,^REP");
        LogIn();
    }
    void TearDown() override {
        Once("K ^SAV,^REP,^QM(\"REPX\"),^QM(\"REP3\"),^QM(\"REP1\",0,\"KARTEI\",2),^(3)");
        Once("S ^QM(\"REP1\",0,\"KARTEI\",1)=\"REP2\"_$C(167,167)");
        FormServerTestBase::TearDown();
    }
    static CBaseModal* Modal() { return CMainFrame::Get()->GetRunningModal(); }
    void OpenSave() {
        StartMemo("SAV");
        ASSERT_NE(Form(), nullptr);
        ASSERT_EQ(Form()->GetFormName(), "SAV");
        Trace();
        fw::TestMode::ClearShown();
    }
    // Types into a field and stays there (Tab past the last field would save the form).
    void Type(int n, const std::string& text) {
        HWND field = Field(n);
        ASSERT_NE(field, nullptr) << n;
        SetFocus(field);
        harness::Pump();
        SetWindowTextA(field, text.c_str());
    }
    // Ctrl+Return in SAV with name and amount; the note that follows is ticked and accepted.
    void Save(const std::string& name, const std::string& amount) {
        Enter(1, name);
        Type(2, amount);
        m_noteForm.clear();
        DuringModal::Run({[this] {
            ASSERT_NE(Modal(), nullptr) << "the save's sub-dialog runs as a modal window";
            CChildDialog* note = Modal()->GetTopForm();
            ASSERT_NE(note, nullptr);
            m_noteForm = note->GetFormName().str();
            SendMessageA(note->GetDlgItem(0x1001), BM_SETCHECK, BST_CHECKED, 0);
            PostMessageA(Modal()->m_hWnd, WM_COMMAND, ID_FORM_OK, 0);
        }});
        Key(VK_RETURN, true);
        EXPECT_TRUE(DuringModal::Done()) << "no sub-dialog ran";
    }
    std::string m_noteForm;
};

} // namespace

TEST_F(FormSaveTest, SavingRunsTheNoteThenPrintsAndStartsOverEmpty) {
    OpenSave();
    Key(VK_RETURN, true);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Bitte einen Namen eingeben.");
    EXPECT_EQ(FocusedField(), 1);
    EXPECT_EQ(Once("W $D(^SAV)"), "0");

    Save("Meier", "12,50");
    EXPECT_EQ(m_noteForm, "SAVDLG");
    EXPECT_EQ(Once("W ^SAV(1)"), "Meier\xA7"
                                 "12,50");
    EXPECT_EQ(Once("W ^SAV(0,\"GELESEN\")"), "J") << "the note's own save ran";
    Lines trace = Trace();
    size_t saved = At(trace, "PRGABL^QCC(\"SAVE^SAV\")");
    size_t noted = At(trace, "GELESEN^SAV");
    size_t device = At(trace, "SET^WQDA(3)");
    size_t printed = At(trace, "DRUCK^SAV");
    ASSERT_LT(printed, trace.size()) << "the saved device prints without a choice";
    EXPECT_LT(saved, noted);
    EXPECT_LT(noted, device);
    EXPECT_LT(device, printed);
    EXPECT_FALSE(Has(trace, "QDRS")) << "without %BJ the screen's own routine prints";
    EXPECT_FALSE(ShownWith("nicht verfügbar"));

    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Frames().size(), 1u) << "the screen repeats";
    EXPECT_EQ(fw::WindowText(Field(1)), "");
    EXPECT_EQ(fw::WindowText(Field(2)), "");
    EXPECT_EQ(Server("W $D(SAVNAME)"), "0");
}

TEST_F(FormSaveTest, AFatalAnswerKeepsTheFormAndItsValues) {
    OpenSave();
    Enter(1, "Meier");
    Type(2, "-5");
    Key(VK_RETURN, true);
    EXPECT_EQ(Modal(), nullptr);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Ein negativer Betrag wird nicht gespeichert.");
    EXPECT_EQ(Boxes()[0].id & MB_ICONMASK, static_cast<int>(MB_ICONEXCLAMATION));
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(fw::WindowText(Field(1)), "Meier") << "the form stays as it was";
    EXPECT_EQ(Once("W $D(^SAV)"), "0");
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "PRGABL^QCC(\"SAVE^SAV\")"));
    EXPECT_FALSE(Has(trace, "DIALOG^QCC(\"SAVDLG\")"));
    EXPECT_FALSE(Has(trace, "DRUCK^SAV"));
}

TEST_F(FormSaveTest, AnErrorLeftByTheSaveSuppressesThePrintAndEndsTheScreen) {
    Once(mroutine::RoutineLine(
        "TSTSAV", {"TSTSAV ; a save that leaves %F and no sub-dialog", "F D SAVE^SAV K %DDN S %F=\"\" Q"}));
    Once("S ^QM(\"SAV\",0,\"F1\")=\"F^TSTSAV\"");
    OpenSave();
    Enter(1, "Meier");
    Type(2, "1");
    Key(VK_RETURN, true);
    Once("S ^QM(\"SAV\",0,\"F1\")=\"SAVE^SAV\"");
    EXPECT_EQ(Once("W ^SAV(1)"), "Meier\xA7"
                                 "1");
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Gespeichert.") << "the information goes before the empty error";
    EXPECT_EQ(Boxes()[0].id & MB_ICONMASK, static_cast<int>(MB_ICONINFORMATION));
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "SAVE^SAV"));
    EXPECT_FALSE(Has(trace, "DRUCK^SAV"));
    EXPECT_FALSE(Has(trace, "SET^WQDA(3)"));
    EXPECT_TRUE(Frames().empty()) << "without print the saved screen ends";
}

TEST_F(FormSaveTest, AKeyLeavingWithF3ClosesTheScreenUnsaved) {
    OpenSave();
    Enter(1, "Meier");
    Key(VK_F7);
    EXPECT_TRUE(Frames().empty());
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "ABBRUCH^SAV"));
    EXPECT_EQ(CountOf(trace, "DESTROY^QCC(\"SAV\")"), 1);
    EXPECT_FALSE(Has(trace, "PRGABL^QCC(\"SAVE^SAV\")"));
    EXPECT_EQ(Once("W $D(^SAV)"), "0");
}

TEST_F(FormSaveTest, ABreakSkipsThePrintAndAChoiceGoesToItsService) {
    OpenSave();
    Server("S ^ZDR(%JOB,\"SAVE\",\"BREAK\")=1");
    Save("Erster", "1");
    Lines trace = Trace();
    EXPECT_TRUE(Has(trace, "GELESEN^SAV"));
    EXPECT_FALSE(Has(trace, "SET^WQDA(3)")) << "no device is chosen after a break";
    EXPECT_FALSE(Has(trace, "DRUCK^SAV"));
    EXPECT_EQ(Server("W $D(^ZDR(%JOB))"), "0") << "the break and the saved device are gone";

    // Without a saved device the printer choice asks: a list printer, the list print, Cancel.
    Once("S ^SAV(0,\"GERAET\")=\"\"");
    // The demo's fifth device is the list printer, whose print dialog is left unanswered.
    fw::TestMode::PushAnswer("dialog 170 sel:1024=4 cmd:1");
    Save("Zweiter", "2");
    trace = Trace();
    EXPECT_TRUE(Has(trace, "SET^WQDA(\"A\")"));
    EXPECT_FALSE(Has(trace, "DRUCK^SAV"));
    bool printDialog = false;
    for (const auto& item : fw::TestMode::Shown())
        printDialog |= item.kind == "print" && item.answer == IDCANCEL;
    EXPECT_TRUE(printDialog) << "the list printer asks for its printer";

    fw::TestMode::ClearShown();
    // The screen's own list print, a device the demo's chain gets for this test.
    Once("S ^Z(\"DRL\",99)=\"0\",^Z(\"DR\",\"0\")=\"Liste\"");
    fw::TestMode::PushAnswer("dialog 170 sel:1024=7 cmd:1");
    Save("Dritter", "3");
    Once("K ^Z(\"DRL\",99),^Z(\"DR\",\"0\")");
    trace = Trace();
    EXPECT_TRUE(Has(trace, "DRUCKS^QCC(65535)")) << "without %WIN(\"DRUCK\") the text goes to a list window";
    EXPECT_TRUE(Has(trace, "DRUCK^QCC(" + Server("W $J") + ",1)")) << "the list window reads the output";
    EXPECT_FALSE(ShownWith("Das Listenfenster ist"));
    ASSERT_EQ(Frames().size(), 2u);
    for (HWND h : Frames())
        if (!dynamic_cast<CBaseMDI*>(CWnd::FromHandlePermanent(h))) SendMessageA(h, WM_CLOSE, 0, 0);
    harness::Pump();
    ASSERT_NE(Active(), nullptr) << "the screen is active again";

    fw::TestMode::ClearShown();
    Save("Vierter", "4");
    trace = Trace();
    EXPECT_FALSE(Has(trace, "SET^WQDA(\"\")"));
    EXPECT_FALSE(Has(trace, "DRUCK^SAV")) << "an unanswered choice is cancelled";
    EXPECT_FALSE(ShownWith("nicht verfügbar"));
    bool asked = false;
    for (const auto& item : fw::TestMode::Shown())
        asked |= item.kind == "dialog" && item.id == 170 && item.answer == IDCANCEL;
    EXPECT_TRUE(asked);
    EXPECT_EQ(Once("W $O(^SAV(\"\"),-1)"), "4") << "every save stored its row";
}

TEST_F(FormSaveTest, TheFormPrintRunsInitAndPrintRoutineAndKeepsTheForm) {
    OpenSave();
    Enter(1, "Meier");
    Form()->SendMessage(WM_COMMAND, ID_FORM_PRINT);
    harness::Pump();
    Lines trace = Trace();
    size_t init = At(trace, "FDINIT^SAV");
    size_t device = At(trace, "SET^WQDA(3)");
    size_t printed = At(trace, "FDRUCK^SAV");
    ASSERT_LT(printed, trace.size());
    EXPECT_LT(init, device);
    EXPECT_LT(device, printed);
    EXPECT_FALSE(Has(trace, "PRUEF^QCC")) << "the form print checks and saves nothing";
    EXPECT_FALSE(Has(trace, "DRUCK^SAV"));
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(fw::WindowText(Field(1)), "Meier");
}

TEST_F(FormSaveTest, PagesSaveInTurnAndTheFirstStartsOverAfterTheLast) {
    StartMemo("REP");
    ASSERT_NE(Form(), nullptr);
    ASSERT_EQ(Form()->GetFormName(), "REP1");
    Trace();
    // A screen without print routine starts Excel when the server left export data.
    Server("S ^QTEMP(%JOB,\"EXCEL\",1)=\"Erste\"");
    fw::TestMode::ClearShown();
    Type(1, "Erste");
    Key(VK_RETURN, true);
    EXPECT_EQ(Once("W $G(^REP(1))"), "1");
    // Excel is asked for: missing here, or (with the double registered) for a workbook.
    bool workbook = false;
    for (const auto& item : fw::TestMode::Shown())
        workbook |= item.kind == "open";
    EXPECT_TRUE(ShownWith("Excel ist auf diesem Arbeitsplatz nicht installiert.") || workbook);
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"EXCEL\"))"), "0") << "the export data go after the check";
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "REP2") << "the next page";

    Type(1, "Notiz");
    Key(VK_RETURN, true);
    EXPECT_EQ(Once("W $G(^REP(2))"), "1");
    Lines trace = Trace();
    EXPECT_LT(At(trace, "SAVE2^REP"), At(trace, "ENDE^REP"));
    EXPECT_EQ(CountOf(trace, "ENDE^REP"), 1);
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "REP1") << "the first page starts over";
    EXPECT_EQ(fw::WindowText(Field(1)), "");

    // Ctrl+Shift+Return saves a page and selects the page before; on the first it is the F2
    // step, which saves nothing and starts the first page over.
    harness::Person person;
    Type(1, "Zweite");
    person.Press("Ctrl+Shift+Return");
    EXPECT_EQ(Once("W $G(^REP(1))"), "1") << "the first page's F2 step saves nothing";
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "REP1");
    person.Press("Ctrl+Return");
    EXPECT_EQ(Once("W $G(^REP(1))"), "2");
    ASSERT_NE(Form(), nullptr);
    ASSERT_EQ(Form()->GetFormName(), "REP2");
    person.Press("Ctrl+Shift+Return");
    EXPECT_EQ(Once("W $G(^REP(2))"), "2") << "the page is saved";
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "REP1") << "the page before";
    EXPECT_EQ(Frames().size(), 1u);
}

TEST_F(FormSaveTest, APageThatCouldNotBeMadeLeavesNoGapOnTheWayThroughThePages) {
    // The first tab's init refuses its page: the later pages keep ids that no longer follow
    // their tabs.
    Once("M ^QM(\"REPX\")=^QM(\"REP2\"),^QM(\"REP3\")=^QM(\"REP2\")");
    Once("S ^QM(\"REP1\",0,\"KARTEI\",1)=\"REPX\"_$C(167)_\"S %FF=\"\"Gesperrt\"\"\"");
    Once("S ^QM(\"REP1\",0,\"KARTEI\",2)=\"REP2\",^(3)=\"REP3\"");
    StartMemo("REP");
    ASSERT_NE(Form(), nullptr);
    ASSERT_EQ(Form()->GetFormName(), "REP1");
    HWND tabs = GetDlgItem(Active()->m_hWnd, 0xC000);
    ASSERT_EQ(TabCtrl_GetItemCount(tabs), 3) << "no tab for the refused page";
    harness::Person person;
    person.Press("Ctrl+Return");
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "REP2");
    Trace();
    person.Press("Ctrl+Return");
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "REP3") << "the next page, not the end";
    EXPECT_EQ(TabCtrl_GetCurSel(tabs), 2);
    EXPECT_FALSE(Has(Trace(), "ENDE^REP"));
    person.Press("Ctrl+Shift+Return");
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "REP2") << "the page before";
    EXPECT_EQ(TabCtrl_GetCurSel(tabs), 1);
    EXPECT_EQ(Once("W $G(^REP(2))"), "2");
    person.Press("Ctrl+Return");
    person.Press("Ctrl+Return");
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "REP1") << "after the last page the first starts over";
    EXPECT_EQ(CountOf(Trace(), "ENDE^REP"), 1);
}

TEST_F(FormSaveTest, ClosingAllPagesAsksEachOnceAndALastPageWithoutRepeatCloses) {
    StartMemo("REP");
    ASSERT_NE(Form(), nullptr);
    Trace();
    Form()->RepeatDialog(1, 1, 1);
    harness::Pump();
    EXPECT_EQ(Once("W $G(^REP(1))_\",\"_$G(^REP(2))"), "1,1");
    EXPECT_EQ(CountOf(Trace(), "ENDE^REP"), 1);

    Once("S $P(^QM(\"REP1\",0,\"KARTEI\"),$C(167),2)=\"N\"");
    Key(VK_RETURN, true);
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "REP2");
    Key(VK_RETURN, true);
    Once("S $P(^QM(\"REP1\",0,\"KARTEI\"),$C(167),2)=\"J\"");
    EXPECT_TRUE(Frames().empty()) << "the frame closes after its last page";
    Lines trace = Trace();
    EXPECT_EQ(CountOf(trace, "ENDE^REP"), 1) << "the end routine runs also when nothing repeats";
    EXPECT_EQ(CountOf(trace, "DESTROY^QCC(\"REP1\")"), 1);
}

TEST_F(FormSaveTest, APageWhoseTabNodeSaysRepeatStartsItselfOver) {
    Once("S $P(^QM(\"REP1\",0,\"KARTEI\",1),$C(167),3)=\"J\"");
    StartMemo("REP");
    ASSERT_NE(Form(), nullptr);
    Key(VK_RETURN, true);
    ASSERT_NE(Form(), nullptr);
    ASSERT_EQ(Form()->GetFormName(), "REP2");
    Trace();
    Type(1, "Notiz");
    Key(VK_RETURN, true);
    Once("S $P(^QM(\"REP1\",0,\"KARTEI\",1),$C(167),3)=\"\"");
    EXPECT_EQ(Once("W $G(^REP(2))"), "1");
    ASSERT_NE(Form(), nullptr);
    EXPECT_EQ(Form()->GetFormName(), "REP2") << "the page itself starts over";
    EXPECT_EQ(fw::WindowText(Field(1)), "");
    EXPECT_FALSE(Has(Trace(), "ENDE^REP")) << "the frame's end is not reached";
}

TEST_F(FormSaveTest, AWordDeviceReachesTheFormPrinter) {
    // "E" is a kind the form printer refuses with its message.
    Once("S ^SAV(0,\"GERAET\")=\"WE\"");
    OpenSave();
    Save("Erster", "1");
    EXPECT_TRUE(ShownWith("Zum aktuellen Zeitpunkt sind diese beiden Optionen noch nicht freigeschaltet!"));
    Once("K ^SAV(0,\"GERAET\")");
}
