// What the server leaves a form after a step, served end to end against scratch screens of
// the test's own: title, program start, web page, close flag and events, card reading without
// a reader, the field steps that end or refresh a form, the form commands, and server
// answers that are not what a form expects.
#include "app/ProtocolLog.h"
#include "resources/CardIds.h"
#include "tests/forms/FormRequestsFixture.h"
#include "tests/harness/Harness.h"

#include <commctrl.h>

#include <algorithm>
#include <string>
#include <vector>

using demotrace::CountOf;
using demotrace::Has;
using formrequests::CountStarting;
using formrequests::EditRecord;
using formrequests::FrameSpy;
using formrequests::Record;

namespace {

class FormRequestsTest : public FormRequestsTestBase {
  protected:
    // Every entry these tests look for comes from the session's job.
    Lines Trace() { return SessionTrace(); }
};

// The protocol of the session's job, switched on while it lives, in a folder of its own.
class JobProtocol : public apptest::ProtocolInFolder {
  public:
    JobProtocol() : ProtocolInFolder(harness::NewFolder("formrequests")) {
        theApp.Settings().protocol = 1;
        // As the log-in names it with the switch on.
        vorlan::WriteProtocol(TheSession().Job().c_str(), vorlan::kLogName);
    }
    ~JobProtocol() { theApp.Settings().protocol = 0; }
};

} // namespace

TEST_F(FormRequestsTest, TitleAndWebPageFollowTheStep) {
    RequestScreen();
    CChildDialog* form = Open("TSTRQ");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(form->GetTitle(), "Anfragen");

    Step("S %TITLE=\"Akte 4711\"");
    EXPECT_EQ(form->GetTitle(), "Akte 4711") << "a frame's own form takes %TITLE as it is";
    EXPECT_EQ(form->GetWindowText(), "Akte 4711");
    EXPECT_EQ(Active()->GetWindowText(), "Akte 4711");
    Step("K %TITLE");
    EXPECT_EQ(form->GetTitle(), "") << "also when there is none";

    Step("S %WIN(\"INET\",\"ADR\")=\"https://example.invalid/akte?nr=4711\",%WIN(\"INET\",\"NEU\")=1");
    EXPECT_EQ(viewed, Lines{"web new https://example.invalid/akte?nr=4711"}) << "a browser window of its own";
    EXPECT_EQ(Server("W $D(%WIN(\"INET\"))"), "0");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FormRequestsTest, StartedProgramsHandTheirExitCodeToTheRoutine) {
    RequestScreen();
    ASSERT_NE(Open("TSTRQ"), nullptr);
    const std::string batch = harness::ExeFolder() + "TSTREQ7.cmd";
    harness::WriteTextFile(batch, "@exit 7\r\n");
    struct Case {
        std::string path, parameters, exitCode;
    } cases[] = {
        {"cmd.exe", "/c exit 3", "<3>"},
        {"C:\\nirgends\\fehlt.exe", "", "<>"},
        {"%program%\\TSTREQ7.cmd", "", "<7>"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.path);
        Once("K ^TSTREQ(\"EXIT\"),^TSTREQ(\"LEFT\")");
        fw::TestMode::ClearShown();
        Step("S %WIN(\"PRGEXEC\",\"PATH\")=" + Q(c.path) + ",%WIN(\"PRGEXEC\",\"PARAM\")=" + Q(c.parameters) +
             ",%WIN(\"PRGEXEC\",\"ROUT\")=\"EXIT^TSTREQ\"");
        EXPECT_EQ(Saw("\"EXIT\""), c.exitCode) << "the routine ran with the program's exit code";
        EXPECT_EQ(Saw("\"LEFT\""), "000") << "the request was gone before the routine ran";
        EXPECT_EQ(Server("W $D(%WIN(\"PRGEXEC\"))"), "0");
        std::vector<fw::ShownItem> boxes = Boxes();
        if (c.exitCode == "<>") {
            ASSERT_EQ(boxes.size(), 1u) << "the program's own box says why, not the shell's";
            EXPECT_EQ(boxes[0].text.rfind(c.path, 0), 0u) << boxes[0].text;
            EXPECT_EQ(boxes[0].id & MB_ICONMASK, static_cast<int>(MB_ICONSTOP));
        } else {
            EXPECT_TRUE(boxes.empty());
        }
    }
    DeleteFileA(batch.c_str());
    EXPECT_EQ(Frames().size(), 1u);
}

TEST_F(FormRequestsTest, EventsReachTheFrameLastFirstAndAreAllTaken) {
    RequestScreen();
    CChildDialog* form = Open("TSTRQ");
    ASSERT_NE(form, nullptr);
    FrameSpy spy(Active()->m_hWnd);
    Server("S %WIN(\"EV\",\"A\")=\"eins\",%WIN(\"EV\",\"A\",\"TIMER\")=5,%WIN(\"EV\",\"A\",\"STICK\")=\"\""
           ",%WIN(\"EV\",\"B\")=\"zwei\",%WIN(\"EV\",\"B\",\"TIMER\")=5,%WIN(\"EV\",\"B\",\"EVENT\")=1"
           ",%WIN(\"EV\",\"C\")=\"drei\",%WIN(\"EV\",\"C\",\"ROWCOL\")=\"2\xA7"
           "3\",%WIN(\"EV\",\"C\",\"VARS\")=\"NR=7\",%WIN(\"EV\",\"C\",\"CLOSE\")=\"X3\"");
    Trace();
    form->SendMessage(WM_TESTFOREVENT);
    harness::Pump();
    ASSERT_EQ(spy.events.size(), 3u);
    const FrameSpy::Event& c = spy.events[0];
    EXPECT_EQ(c.list, "C\xA7"
                      "drei");
    EXPECT_EQ(c.answer, "2\xA7"
                        "3");
    EXPECT_EQ(c.value, "NR=7");
    EXPECT_EQ(c.command, 3);
    EXPECT_EQ(std::make_pair(c.create, c.run), std::make_pair(1, 0)) << "neither timer nor event";
    EXPECT_EQ(spy.events[1].list, "B\xA7zwei");
    EXPECT_EQ(std::make_pair(spy.events[1].create, spy.events[1].run), std::make_pair(1, 1))
        << "timer and event";
    EXPECT_EQ(spy.events[2].list, "A\xA7"
                                  "eins");
    EXPECT_EQ(std::make_pair(spy.events[2].create, spy.events[2].run), std::make_pair(0, 1))
        << "a timer alone";
    EXPECT_EQ(spy.events[2].answer, "");
    EXPECT_EQ(spy.events[2].stick, 0);
    EXPECT_EQ(Server("W $D(%WIN(\"EV\"))"), "0");
    EXPECT_EQ(Trace(), (Lines{"VARSAVE^QCC(\"TSTRQ\")", "VARLOAD^QCC(\"TSTRQ\")"}))
        << "the form's variables wait while the frame serves the events, and come back";

    spy.events.clear();
    Server("F %QCC=1:1:130 S %WIN(\"EV\",\"E\"_$E(1000+%QCC,2,4))=%QCC");
    recorder->Take();
    form->SendMessage(WM_TESTFOREVENT);
    harness::Pump();
    std::vector<std::string> lines = recorder->Take();
    ASSERT_EQ(spy.events.size(), 128u);
    EXPECT_EQ(spy.events.front().list, "E128\xA7"
                                       "128");
    EXPECT_EQ(spy.events.back().list, "E001\xA7"
                                      "1");
    EXPECT_EQ(CountStarting(lines, "W $O(%WIN(\"EV\","), 128u) << "no entry beyond the 128th is read";
    EXPECT_EQ(CountStarting(lines, "W $G(%WIN(\"EV\",\"E129\""), 0u);
    EXPECT_EQ(Server("W $D(%WIN(\"EV\"))"), "0") << "all 130 are taken";
}

TEST_F(FormRequestsTest, CloseFlagClosesTheFrameAfterTheEvents) {
    RequestScreen();
    ASSERT_NE(Open("TSTRQ"), nullptr);
    FrameSpy spy(Active()->m_hWnd);
    Trace();
    Step("S %WIN(\"EV\",\"NACHHER\")=1,%WIN(\"CLOSE\")=1");
    EXPECT_TRUE(Frames().empty());
    EXPECT_EQ(spy.events.size(), 1u) << "the events went first";
    EXPECT_EQ(CountOf(Trace(), "DESTROY^QCC(\"TSTRQ\")"), 1);
    EXPECT_EQ(Server("W $D(%WIN(\"CLOSE\")),$D(%WIN(\"EV\"))"), "00");
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FormRequestsTest, CloseFlagOfAFirstStepEndsTheFrameBeingMade) {
    // The screen's init, and the init of a page, ask to close before the frame stands.
    Screen("TSTRQC", "Gleich zu", {EditRecord(5, "Eins", "TSTA")});
    Node("TSTRQC", "0,\"INIT\"", "S %WIN(\"CLOSE\")=1");
    Screen("TSTRQT", "Karte", {EditRecord(5, "Eins", "TSTA")});
    Node("TSTRQT", "0,\"KARTEI\",1", Record({"TSTRQP", "S %WIN(\"CLOSE\")=1"}));
    Screen("TSTRQP", "Seite", {EditRecord(5, "Zwei", "TSTP")});
    for (std::string screen : {"TSTRQC", "TSTRQT"}) {
        SCOPED_TRACE(screen);
        Trace();
        recorder->Take();
        Open(screen.c_str());
        EXPECT_TRUE(Frames().empty());
        EXPECT_EQ(vorlan::g_nOpenForms, 0) << "every form that was made is gone";
        std::vector<std::string> lines = recorder->Take();
        auto destroyed = std::find_if(lines.rbegin(), lines.rend(),
                                      [](const std::string& l) { return l.rfind("D DESTROY^QCC(", 0) == 0; });
        ASSERT_NE(destroyed, lines.rend());
        EXPECT_TRUE(std::none_of(lines.rbegin(), destroyed, [](const std::string& l) {
            return l.find("TSTRQ") != std::string::npos;
        })) << "the frame that went asks nothing more about its screens";
        EXPECT_EQ(CountOf(Trace(), "DESTROY^QCC(\"" + screen + "\")"), 1);
        EXPECT_EQ(Server("W $D(%WIN(\"CLOSE\"))"), "0");
        EXPECT_TRUE(Boxes().empty());
    }
    RequestScreen();
    EXPECT_NE(Open("TSTRQ"), nullptr) << "the next screen opens as ever";
    EXPECT_EQ(Frames().size(), 1u);
}

TEST_F(FormRequestsTest, CardRequestsWithoutAReaderStillRunTheirRoutine) {
    RequestScreen();
    ASSERT_NE(Open("TSTRQ"), nullptr);
    JobProtocol protocol;
    for (int kind : {0, 1, 2, 3, 4, 5, 6, 7, 9}) {
        SCOPED_TRACE(kind);
        Once("K ^TSTREQ(\"CARD\")");
        fw::TestMode::ClearShown();
        recorder->Take();
        Step("S %WIN(\"READCARD\")=3,%WIN(\"READCARD\",\"ART\")=" + std::to_string(kind) +
             ",%WIN(\"READCARD\",\"RTN\")=\"CARD^TSTREQ\"");
        EXPECT_EQ(Saw("\"CARD\""), "1") << "the routine ran once";
        EXPECT_EQ(Once("W $D(^TSTREQ(\"CARD\",1))"), "0");
        EXPECT_EQ(CountStarting(recorder->Take(), "S %WIN(\"READCARD\","), 0u) << "no result lines";
        EXPECT_EQ(Server("W $D(%WIN(\"READCARD\"))"), "0");
        std::vector<fw::ShownItem> boxes = Boxes();
        if (kind == 9) {
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text, "Bitte stellen Sie ein Kartenlesegerät über [ZOZE] ein!");
            EXPECT_EQ(boxes[0].id & MB_ICONMASK, static_cast<int>(MB_ICONEXCLAMATION));
        } else if (kind <= 1) {
            EXPECT_TRUE(boxes.empty());
            EXPECT_EQ(DialogResult(IDD_READCARD), IDCANCEL) << "the reading dialog, unattended";
        } else {
            // No terminal library lies beside this program: each kind says so in its words.
            const char* missing = kind == 2   ? "DLL kann nicht eingebunden werden"
                                  : kind == 6 ? "Fehler - keine CTCPSC31.dll"
                                              : "Die Datei ct_api_usb.dll konnte nicht geladen werden.";
            ASSERT_EQ(boxes.size(), 1u);
            EXPECT_EQ(boxes[0].text.rfind(missing, 0), 0u) << boxes[0].text;
        }
    }
    EXPECT_EQ(Frames().size(), 1u);
}

TEST_F(FormRequestsTest, LeaveRequestOfAFieldCheckSavesTheForm) {
    Set({Screen("TSTRQF", "Schritte", {EditRecord(5, "Eins", "TSTA"), EditRecord(6, "Zwei", "TSTB")}),
         Node("TSTRQF", "1,\"PR\"", "LEAVE^TSTREQ"), Node("TSTRQF", "0,\"F1\"", "SAVE^TSTREQ")});
    ASSERT_NE(Open("TSTRQF"), nullptr);
    FrameSpy spy(Active()->m_hWnd);
    Enter(1, "fertig");
    EXPECT_EQ(std::count(spy.commands.begin(), spy.commands.end(), static_cast<UINT>(ID_FORM_OK)), 1)
        << "%SC \"F1\" posts the save to the frame";
    EXPECT_EQ(Saw("\"SAVED\""), "1");
    EXPECT_TRUE(Frames().empty()) << "the save ended the screen";
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FormRequestsTest, RefreshPieceOfTheAnswerUpdatesTheOtherFields) {
    Set({Screen("TSTRQF", "Schritte", {EditRecord(5, "Eins", "TSTA"), EditRecord(6, "Zwei", "TSTB")}),
         Node("TSTRQF", "1,\"PR\"", "OTHER^TSTREQ")});
    ASSERT_NE(Open("TSTRQF"), nullptr);
    Enter(1, "eins", VK_UP);
    ASSERT_EQ(Server("W TSTB"), "zu eins");
    EXPECT_EQ(fw::WindowText(Field(2)), "") << "without the refresh piece the other field stays";

    Set({Node("TSTRQF", "1,\"PR\"", "UPDATE^TSTREQ")});
    Enter(1, "zwei", VK_UP);
    EXPECT_EQ(fw::WindowText(Field(2)), "zu zwei");
    EXPECT_EQ(fw::WindowText(Field(1)), "zwei");
    EXPECT_EQ(FocusedField(), 1);
}

TEST_F(FormRequestsTest, FieldsFarDownTheScreenGoToTheServer) {
    Once("S ^QM(\"TSTRQ200\")=\"Viele\",^QM(\"TSTRQ200\",0,\"MAX\")=" + Q(Record({"", "0", "0", "0", "J"})) +
         " F k=1:1:200 S ^QM(\"TSTRQ200\",k)=((k-1)#4*25+14)_$C(167)_((k-1)\\4+5)_$C(167)_10_$C(167)_\"F\"_k_"
         "$C(167)_\"TSTF\"_k_$C(167)_1_$C(167)_1_$C(167)_0_$C(167,167,167)_10_$C(167)");
    ASSERT_NE(Open("TSTRQ200"), nullptr);
    ASSERT_NE(Field(200), nullptr);
    HWND field = Field(150);
    ASSERT_NE(field, nullptr);
    EXPECT_EQ(GetDlgCtrlID(field), 0x1096);
    Trace();
    Enter(150, "hundertfuenfzig");
    EXPECT_EQ(Server("W $G(TSTF150)"), "hundertfuenfzig");
    EXPECT_TRUE(Has(Trace(), "PR^QCC(150,\"hundertfuenfzig\")"));
    EXPECT_EQ(FocusedField(), 151);
}

TEST_F(FormRequestsTest, SaveRefusedByItsRoutineKeepsTheFormAndYesOnClosingSaves) {
    Set({Screen("TSTRQS", "Sichern", {EditRecord(5, "Eins", "TSTA")}), Node("TSTRQS", "0,7", "J"),
         Node("TSTRQS", "0,\"F1\"", "REFUSE^TSTREQ")});
    ASSERT_NE(Open("TSTRQS"), nullptr);
    fw::TestMode::ClearShown();
    Key(VK_RETURN, true);
    ASSERT_EQ(Frames().size(), 1u) << "the form stays";
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].text, "Gesperrt: nicht gespeichert.");
    EXPECT_EQ(Boxes()[0].id & MB_ICONMASK, static_cast<int>(MB_ICONEXCLAMATION));
    EXPECT_EQ(Server("W $D(%FF)"), "0") << "taken";
    EXPECT_EQ(FocusedField(), 1);

    Set({Node("TSTRQS", "0,\"F1\"", "SAVE^TSTREQ")});
    Trace();
    fw::TestMode::ClearShown();
    fw::TestMode::PushAnswer("box IDYES");
    Key(VK_ESCAPE);
    ASSERT_EQ(Boxes().size(), 1u);
    EXPECT_EQ(Boxes()[0].id & MB_TYPEMASK, static_cast<int>(MB_YESNOCANCEL)) << "closing asks first";
    EXPECT_TRUE(Frames().empty());
    EXPECT_EQ(Saw("\"SAVED\""), "1");
    Lines trace = Trace();
    EXPECT_EQ(CountOf(trace, "PRGABL^QCC(\"SAVE^TSTREQ\")"), 1);
    EXPECT_EQ(CountOf(trace, "DESTROY^QCC(\"TSTRQS\")"), 1);
}

TEST_F(FormRequestsTest, APagesInitIsReadFromTheTabListTheFrameWasBuiltFrom) {
    // Opened under a form name of its own: the frame's tab list is the one under that name,
    // and so is each page's init code.
    Set({Screen("TSTRQN", "Karte", {EditRecord(5, "Eins", "TSTA")}),
         Node("TSTRQO", "0,\"KARTEI\",1", Record({"TSTRQP", "S ^TSTREQ(\"PAGEINIT\")=1"})),
         Screen("TSTRQP", "Seite", {EditRecord(5, "Zwei", "TSTP")})});
    Once("K ^TSTREQ(\"PAGEINIT\")");
    ASSERT_NE(Open("TSTRQO\xA7TSTRQN"), nullptr);
    CBaseMDI* f = Active();
    ASSERT_NE(f->GetForm(2), nullptr) << "the page of the tab list";
    EXPECT_EQ(Saw("\"PAGEINIT\""), "1");
}

TEST_F(FormRequestsTest, PageSaveAskedByTheTabChangeRunsTheSaveAndAnswersOne) {
    Set({Screen("TSTRQT", "Karte", {EditRecord(5, "Eins", "TSTA")}),
         Node("TSTRQT", "0,\"KARTEI\",1", Record({"TSTRQP", ""})),
         Screen("TSTRQP", "Seite", {EditRecord(5, "Zwei", "TSTP")}),
         Node("TSTRQP", "0,\"F1\"", "PSAVE^TSTREQ")});
    ASSERT_NE(Open("TSTRQT"), nullptr);
    CBaseMDI* f = Active();
    CChildDialog* page = f->GetForm(2);
    ASSERT_NE(page, nullptr);
    // The page becomes the current form as a click on its tab makes it.
    HWND tabs = f->GetDlgItem(0xC000);
    ASSERT_NE(tabs, nullptr);
    TCITEMA item{};
    item.mask = TCIF_PARAM;
    ASSERT_TRUE(SendMessageA(tabs, TCM_GETITEMA, 1, reinterpret_cast<LPARAM>(&item)));
    f->SendMessage(WM_DIAGSELECTED, static_cast<WPARAM>(item.lParam), MAKELPARAM(1, 0));
    harness::Pump();
    ASSERT_EQ(Form(), page);
    Trace();

    EXPECT_EQ(page->SendMessage(WM_COMMAND, MAKEWPARAM(ID_FORM_OK, 0xFFFF), 0), 1);
    harness::Pump();
    EXPECT_EQ(Saw("\"PAGE\""), "1");
    EXPECT_TRUE(Has(Trace(), "PRGABL^QCC(\"PSAVE^TSTREQ\")"));
    EXPECT_EQ(Frames().size(), 1u) << "the tab change goes on: the frame stays";
    EXPECT_EQ(Form(), page);
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(FormRequestsTest, GarbageFieldRecordsLeaveTheGoodFieldsWorking) {
    const std::string huge = "99999999999999999999";
    Set({Screen("TSTRQG", "Kaputt",
                {EditRecord(5, "Eins", "TSTA"), EditRecord(6, "Zwei", "TSTB"),
                 Record({"abc", "def", "ghi", "Buchstaben", "TSTC", "jkl", "mno", "pqr"}),
                 Record({"14", "9"}),
                 Record({huge, huge, huge, "Riesig", "TSTE", "1", huge, huge, "",
                         huge + "/" + huge + "/" + huge, huge, huge}),
                 Record({"14", "11", "10", "Unbekannt", "TSTF", "77", "1"}),
                 Record({"-14", "-11", "-10", "Negativ", "TSTG", "-3", "-1"}),
                 Record({"14", "13", "10", "Knopf?", "TSTH", "x1"}), ""})});
    CChildDialog* form = Open("TSTRQG");
    ASSERT_NE(form, nullptr);
    EXPECT_EQ(Frames().size(), 1u);
    EXPECT_EQ(form->GetFieldCount(), 9);
    ASSERT_NE(Field(1), nullptr);
    ASSERT_NE(Field(2), nullptr);

    Enter(1, "gut");
    EXPECT_EQ(Server("W TSTA"), "gut");
    EXPECT_EQ(FocusedField(), 2);
    Enter(2, "auch", VK_UP);
    EXPECT_EQ(Server("W TSTB"), "auch");
    EXPECT_EQ(FocusedField(), 1);
    EXPECT_EQ(Frames().size(), 1u);
}

TEST_F(FormRequestsTest, CheckAnswersThatAreNoAnswersKeepWhatWasTyped) {
    Set({Screen("TSTRQF", "Schritte", {EditRecord(5, "Eins", "TSTA"), EditRecord(6, "Zwei", "TSTB")}),
         Node("TSTRQF", "1,\"PR\"", "RAW^TSTREQ")});
    ASSERT_NE(Open("TSTRQF"), nullptr);
    for (const char* raw : {"", "Unsinn"}) {
        SCOPED_TRACE(raw);
        Once("S ^TSTREQ(\"RAW\")=" + Q(raw));
        Enter(1, std::string("getippt ") + raw);
        EXPECT_EQ(fw::WindowText(Field(1)), std::string("getippt ") + raw);
        EXPECT_EQ(FocusedField(), 1) << "nothing answered, nothing moves";
        EXPECT_EQ(Frames().size(), 1u);
    }
    // A check that fails on the server answers nothing either (the server takes its error:
    // no error dialog comes between).
    Once("K ^TSTREQ(\"RAW\")");
    Enter(1, "Fehler im Server");
    EXPECT_EQ(fw::WindowText(Field(1)), "Fehler im Server");
    EXPECT_EQ(FocusedField(), 1);
    ASSERT_EQ(Frames().size(), 1u);
    EXPECT_EQ(Server("W $G(TSTA)"), "getippt Unsinn") << "the failed check took nothing";
    EXPECT_EQ(DialogResult(195), -1);

    Once("K ^QM(\"TSTRQF\",1,\"PR\")");
    Enter(1, "gut");
    EXPECT_EQ(Server("W TSTA"), "gut");
    EXPECT_EQ(FocusedField(), 2) << "the form goes on with the next answer";
}
