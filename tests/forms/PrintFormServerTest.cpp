// The form printer against a real dbserver, the demo's letter template, the Word and viewer
// doubles, the launch logger (the shell's "open" and "print" of .rtf and .pdf) and the CUPS
// fixture's queues. Each job is set up by direct lines and the print routines of QPFT.
#include "app/VORLANApp.h"
#include "common/MQuote.h"
#include "forms/PrintForm.h"
#include "forms/PrintFormLogic.h"
#include "framework/Print.h"
#include "framework/Registry.h"
#include "framework/ShellFiles.h"
#include "framework/TestMode.h"
#include "tests/app/AppFixture.h"
#include "tests/com/ComDoubleClient.h"
#include "tests/com/LaunchLog.h"
#include "tests/harness/Harness.h"
#include "tests/harness/PrintedPages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <string>
#include <vector>

using vorlan::MQuote;
namespace pf = vorlan::printform;

namespace {

const char kOptions[] = "Software\\Microsoft\\Office\\8.0\\Word\\Options";

using harness::Exists;

class PrintFormTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_word = comdouble::ServerPath("Word.Application");
    }
    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0);
        ASSERT_FALSE(s_word.empty()) << "the fixture registered the Word double";
        ASSERT_FALSE(launchlog::LoggerPath().empty()) << "the fixture registered the logger";
        const char* forms = std::getenv("VORLAN_FORMS");
        ASSERT_TRUE(forms) << "the test names the demo's template folder";
        // The folder's separators come doubled through the test's environment.
        for (char c : std::string(forms))
            if (c != '\\' || m_forms.empty() || m_forms.back() != '\\') m_forms += c;
        apptest::PrepareApp("PrintFormTest", MakeClientLibraryTransport());
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        theApp.SetGeneralValue("WordViewPath", "(Not present)");
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", harness::DbServerPort(), "", "", "", false), 0);
        m_default = fw::DefaultPrinterName();
        NewJob();
    }
    // A fresh job: the letter into out\Brief.rtf from the demo's templates, the logs empty.
    void NewJob() {
        M("S %JOB=$J,%FORM=\"BRIEF\",%RTN=\"EIN^QPFT\" K ^ZDR(%JOB),%HOME,%MI,QPFTN");
        M("S ^ZDR(%JOB,\"LOAD\",\"DIR\")=" + MQuote(m_forms) + ",^ZDR(%JOB,\"LOAD\",\"SLEEP\")=3000");
        M("S ^ZDR(%JOB,\"SAVE\",\"DIR\")=" + MQuote(m_out) + ",^ZDR(%JOB,\"SAVE\",\"NAME\")=\"Brief\"");
        comdouble::ClearLog(s_word);
        comdouble::ScriptFailures(s_word, "");
        launchlog::Clear();
        comdouble::ClearLog(m_viewer);
        fw::TestMode::ClearShown();
    }
    void TearDown() override {
        EXPECT_TRUE(harness::WaitUntil([] { return !comdouble::ServerRunning(s_word); }, 20000))
            << "Word has been quit";
        EXPECT_EQ(fw::DefaultPrinterName(), m_default) << "the default printer is back";
        fw::SetDefaultPrinterName(m_default);
        M("K ^ZDR(%JOB),%RTN,QPFTN");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\AVM");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\VB and VBA Program Settings");
        ::RegDeleteTreeA(HKEY_CURRENT_USER, "Software\\Microsoft\\Office\\8.0");
        apptest::ReleaseApp();
    }
    std::string M(const std::string& line) { return theApp.Execute(line.c_str()).str(); }
    // The trace is shared with the tests running beside this one: this session's job's
    // entries after the mark, "|" after each, and its newest one.
    std::string OwnTraceSince(const std::string& mark) {
        return M("S n=" + MQuote(mark) + " F  S n=$O(^ZTRACE(n)) Q:n=\"\"  I $P(^ZTRACE(n),\" \")=$J "
                 "W $P(^ZTRACE(n),\" \",2,99),\"|\"");
    }
    std::string OwnLastTrace() {
        return M("S n=\"\" F  S n=$O(^ZTRACE(n),-1) Q:n=\"\"  I $P(^ZTRACE(n),\" \")=$J W $P(^ZTRACE(n),\" \",2,99) Q");
    }
    void Save(const char* node, const std::string& value) {
        M("S ^ZDR(%JOB,\"SAVE\"," + std::string(node) + ")=" + MQuote(value));
    }
    int Print(const std::string& command) {
        fw::CShellProcess launch;
        int result = vorlan::PrintForm(nullptr, command, launch);
        m_launched = launch.Handle() != nullptr;
        return result;
    }
    std::vector<std::string> Boxes() {
        std::vector<std::string> texts;
        for (const fw::ShownItem& item : fw::TestMode::Shown())
            if (item.kind == "box") texts.push_back(item.text);
        return texts;
    }
    std::vector<std::string> WordLog() { return comdouble::ReadLog(s_word); }
    std::vector<std::string> Printed() {
        std::vector<std::string> printed;
        for (const std::string& line : WordLog())
            if (line.rfind("  printed ", 0) == 0) printed.push_back(line.substr(10));
        return printed;
    }
    size_t Count(const std::vector<std::string>& lines, const std::string& start) {
        return static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.rfind(start, 0) == 0;
        }));
    }
    // Word not installed for the length of the job.
    int PrintWithoutWord(const std::string& command) {
        EXPECT_TRUE(comdouble::RunRegistration(s_word, "/UnregServer", "Word.Application"));
        int result = Print(command);
        EXPECT_TRUE(comdouble::RunRegistration(s_word, "/RegServer", "Word.Application"));
        return result;
    }
    void UseViewer() { theApp.SetGeneralValue("WordViewPath", m_viewer.c_str()); }

    static std::string s_word;
    std::string m_forms, m_default;
    std::string m_out = harness::NewFolder("printform");
    std::string m_viewer = harness::ExeFolder() + "WordViewerDouble.exe";
    bool m_launched = false;
};

std::string PrintFormTest::s_word;

} // namespace

TEST_F(PrintFormTest, OpenWritesTheLetterAndTheShellOpensIt) {
    EXPECT_EQ(Print("WB"), 1);
    std::vector<launchlog::Launch> launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].verb, "open");
    EXPECT_EQ(launches[0].file, m_out + "Brief.rtf");
    EXPECT_EQ(launches[0].show, SW_SHOWNORMAL);
    EXPECT_TRUE(m_launched) << "the launch's process goes to the caller";
    EXPECT_NE(harness::ReadTextFile(m_out + "Brief.rtf").find("Erika Mueller"), std::string::npos);
    EXPECT_EQ(M("W $D(^ZDR(%JOB))"), "0") << "the job's data goes with the generator";
    EXPECT_NE(OwnLastTrace().find("EIN^QPFT"), std::string::npos);
    EXPECT_TRUE(Boxes().empty());
    EXPECT_TRUE(WordLog().empty()) << "no Word for a form not delivered as PDF";
}

TEST_F(PrintFormTest, ViewOpensTheViewerWhenThereIsOne) {
    UseViewer();
    EXPECT_EQ(Print("WA"), 1);
    ASSERT_TRUE(harness::WaitUntil([&] { return !comdouble::ReadLog(m_viewer).empty(); }, 20000));
    EXPECT_EQ(comdouble::ReadLog(m_viewer)[0].rfind("start Brief.rtf show=" + std::to_string(SW_SHOW), 0), 0u)
        << comdouble::ReadLog(m_viewer)[0];
    EXPECT_TRUE(launchlog::Read().empty());
    HWND viewer = nullptr;
    EXPECT_TRUE(harness::WaitUntil([&] { return (viewer = ::FindWindowA("WrdVwrApp", nullptr)) != nullptr; }, 20000));
    if (viewer) ::SendMessageA(viewer, WM_CLOSE, 0, 0);
}

TEST_F(PrintFormTest, PdfHoldsTheMergedLetterAndIsOpened) {
    EXPECT_EQ(Print("WS"), 1);
    std::vector<launchlog::Launch> launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].verb, "open");
    EXPECT_EQ(launches[0].file, m_out + "Brief.pdf");
    std::string text = harness::PdfText(m_out + "Brief.pdf");
    EXPECT_NE(text.find("Erika Mueller"), std::string::npos) << text;
    EXPECT_NE(text.find("Position 3"), std::string::npos) << text;
    EXPECT_FALSE(m_launched) << "only viewing, opening, printing and faxing are handed back";

    // A form delivered as PDF goes that way for "open" too.
    ::DeleteFileA((m_out + "Brief.pdf").c_str());
    M("S ^ZFOPDF(\"PFT\",\"PDF\",\"BRIEF\")=\"\"");
    NewJob();
    M("S %RTN=\"PDF^QPFT\"");
    EXPECT_EQ(Print("WB"), 1);
    M("K ^ZFOPDF(\"PFT\")");
    launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].file, m_out + "Brief.pdf");

    // PRINT 0: Word does nothing with the document, and the job still succeeds.
    ::DeleteFileA((m_out + "Brief.pdf").c_str());
    NewJob();
    Save("\"PRINT\"", "0");
    EXPECT_EQ(Print("WS"), 1);
    ::Sleep(1000);
    EXPECT_FALSE(Exists(m_out + "Brief.pdf"));
    EXPECT_TRUE(launchlog::Read().empty());
    EXPECT_TRUE(Boxes().empty());
}

TEST_F(PrintFormTest, MergeOnlyRunsTheRoutineAndWritesNothing) {
    const std::string mark = M("W $O(^ZTRACE(\"\"),-1)");
    EXPECT_EQ(Print("WZ"), 1);
    EXPECT_NE(OwnTraceSince(mark).find("EIN^QPFT"), std::string::npos) << "the routine filled ^ZDR";
    EXPECT_EQ(M("W $D(^ZDR(%JOB))"), "0") << "and the job's data is gone again";
    EXPECT_FALSE(Exists(m_out + "Brief.rtf"));
}

TEST_F(PrintFormTest, RefusalsSayWhy) {
    EXPECT_EQ(Print("WE"), 0);
    EXPECT_EQ(Print("WF"), 0);
    Save("\"FAXDIR\"", "");
    EXPECT_EQ(Print("WF"), 0);
    EXPECT_EQ(Boxes(), (std::vector<std::string>{pf::text::kNotEnabled, pf::text::kFaxNotAllowed,
                                                 pf::text::kNoFaxFolder}));
    EXPECT_FALSE(Exists(m_out + "Brief.rtf"));
}

TEST_F(PrintFormTest, PrintGoesToTheJobsPrinterAndTheDefaultComesBack) {
    // Two documents; the first has a printer of its own.
    Save("\"MULTI\"", "1");
    M("K ^ZDR(%JOB,\"SAVE\",\"NAME\") S %RTN=\"ZWEI^QPFT\"");
    Save("\"PRINTER\",1", "VORLAN-FAX");
    harness::ClearPrintFile();
    EXPECT_EQ(Print("WD"), 1);
    // The second letter came out of the default queue.
    std::vector<std::string> pages = harness::PrintedPages(60000);
    ASSERT_FALSE(pages.empty());
    EXPECT_NE(pages[0].find("Hans Meier"), std::string::npos) << pages[0];
    EXPECT_EQ(Printed(), (std::vector<std::string>{
                             "printer=VORLAN-FAX Rufnummer=absent titles=",
                             "printer=" + m_default + " Rufnummer=absent titles="}));
    EXPECT_EQ(Count(WordLog(), "Documents.Open call BSTR:" + m_out + "Brief_0"), 2u);

    // The printer for every document wins.
    comdouble::ClearLog(s_word);
    NewJob();
    Save("\"MULTI\"", "1");
    M("K ^ZDR(%JOB,\"SAVE\",\"NAME\") S %RTN=\"ZWEI^QPFT\"");
    Save("\"PRINTER\",1", m_default);
    Save("\"PRINTER\"", "VORLAN-FAX");
    EXPECT_EQ(Print("WD"), 1);
    EXPECT_EQ(Printed(), (std::vector<std::string>(2, "printer=VORLAN-FAX Rufnummer=absent titles=")));
}

TEST_F(PrintFormTest, PrintThroughTheShellSeesTheJobsPrinter) {
    Save("\"PRINTER\"", "VORLAN-FAX");
    Save("\"PRINTWORD\"", "");
    // The launched program reads the default printer as it starts, which takes a while here.
    M("S ^ZDR(%JOB,\"LOAD\",\"SLEEP\")=10000");
    EXPECT_EQ(Print("WD"), 1);
    std::vector<launchlog::Launch> launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].verb, "print");
    EXPECT_EQ(launches[0].file, m_out + "Brief.rtf");
    EXPECT_EQ(launches[0].printer, "VORLAN-FAX");
    EXPECT_TRUE(WordLog().empty());
}

TEST_F(PrintFormTest, RoundsWaitForTheUserFromTheSecondOn) {
    Save("\"PRINT\"", "3");
    Save("\"WAIT\"", "1");
    EXPECT_EQ(Print("WD"), 1);
    EXPECT_EQ(Boxes(), (std::vector<std::string>(2, pf::text::kContinue)));
    EXPECT_EQ(Printed().size(), 3u);
}

TEST_F(PrintFormTest, AnUnknownPrinterIsReportedAndTheDocumentSkipped) {
    Save("\"PRINTER\"", "GIBT-ES-NICHT");
    EXPECT_EQ(Print("WD"), 1);
    EXPECT_EQ(Boxes(), std::vector<std::string>{pf::PrinterRefusedText("GIBT-ES-NICHT")});
    EXPECT_TRUE(Printed().empty());
}

TEST_F(PrintFormTest, WithoutWordTheViewerPrintsInTheForeground) {
    UseViewer();
    Save("\"PRINTER\"", "VORLAN-FAX");
    EXPECT_EQ(PrintWithoutWord("WD"), 1);
    std::vector<std::string> log;
    ASSERT_TRUE(harness::WaitUntil([&] { return (log = comdouble::ReadLog(m_viewer)).size() >= 3; }, 20000));
    EXPECT_EQ(log[0], "start " + m_out + "Brief.rtf show=" + std::to_string(SW_SHOWMINIMIZED));
    EXPECT_EQ(log[1], "command 88 BackgroundPrint=REG_SZ:0 printer=VORLAN-FAX Rufnummer=absent titles=");
    EXPECT_TRUE(Boxes().empty());
    EXPECT_FALSE(fw::RegSaveValue(HKEY_CURRENT_USER, kOptions, "BackgroundPrint").present)
        << "a value that was not there is removed again";
}

TEST_F(PrintFormTest, FaxHasTheNumberInPlaceWhilePrinting) {
    Save("\"FAXDIR\"", m_out + "fax");
    Save("\"FAXPRINTER\"", "VORLAN-FAX");
    Save("\"FAXNOCHECK\"", "1");
    Save("\"FAXWORD\"", "1");
    // The part names the document; a job's NAME would number the parts instead.
    M("S QPFTN=\"Brief_0301234567\" K ^ZDR(%JOB,\"SAVE\",\"NAME\")");
    EXPECT_EQ(Print("WF"), 1);
    ASSERT_TRUE(Exists(m_out + "fax\\Brief_0301234567.rtf")) << "the fax folder replaces the folder";
    EXPECT_EQ(Printed(), std::vector<std::string>{"printer=VORLAN-FAX Rufnummer=REG_SZ:0301234567 "
                                                  "titles=Microsoft Word - Brief_0301234567.rtf:0301234567"});

    // A name without a number is not faxed.
    comdouble::ClearLog(s_word);
    NewJob();
    Save("\"FAXDIR\"", m_out + "fax");
    Save("\"FAXPRINTER\"", "VORLAN-FAX");
    M("S QPFTN=\"Brief_ohne\" K ^ZDR(%JOB,\"SAVE\",\"NAME\")");
    EXPECT_EQ(Print("WF"), 1);
    EXPECT_EQ(Boxes(), std::vector<std::string>{pf::NoFaxNumberText(m_out + "fax\\Brief_ohne.rtf")});
    EXPECT_TRUE(Printed().empty());
}

TEST_F(PrintFormTest, AFirstDocumentHeldOpenIsNotOverwritten) {
    M("K ^ZDR(%JOB,\"SAVE\",\"NAME\")");
    char temp[MAX_PATH] = {};
    ::GetTempPathA(sizeof temp, temp);
    std::string first = pf::WithBackslash(temp) + "VORLAN-Beleg#1.rtf";
    HANDLE held = ::CreateFileA(first.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    ASSERT_NE(held, INVALID_HANDLE_VALUE);
    int result = Print("WB");
    ::CloseHandle(held);
    ::DeleteFileA(first.c_str());
    EXPECT_EQ(result, 1);
    std::vector<launchlog::Launch> launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].file, pf::WithBackslash(temp) + "VORLAN-Beleg#2.rtf");
}

TEST_F(PrintFormTest, FolderRulesForLocalAndRelativeNames) {
    // Local with a folder, for a single document: the program's folder.
    Save("\"LOCAL\"", "");
    EXPECT_EQ(Print("WB"), 1);
    std::vector<launchlog::Launch> launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].file, harness::ExeFolder() + "Brief.rtf");
    ::DeleteFileA((harness::ExeFolder() + "Brief.rtf").c_str());

    // No folder, a name and one document per part: the name lies beside the templates.
    NewJob();
    M("K ^ZDR(%JOB,\"SAVE\",\"DIR\")");
    Save("\"MULTI\"", "1");
    Save("\"NAME\"", "PrintFormTest");
    EXPECT_EQ(Print("WB"), 1);
    launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].file, pf::WithBackslash(m_forms) + "PrintFormTest_1.rtf");
    ::DeleteFileA(launches[0].file.c_str());

    // A relative folder is made where the document is written: beside the templates.
    NewJob();
    Save("\"DIR\"", "PrintFormRel");
    std::string folder = pf::WithBackslash(m_forms) + "PrintFormRel\\";
    EXPECT_EQ(Print("WB"), 1);
    EXPECT_TRUE(Boxes().empty());
    launches = launchlog::WaitFor(1);
    ASSERT_EQ(launches.size(), 1u);
    EXPECT_EQ(launches[0].file, folder + "Brief.rtf");
    EXPECT_TRUE(Exists(folder + "Brief.rtf"));
    ::DeleteFileA((folder + "Brief.rtf").c_str());
    ::RemoveDirectoryA(folder.c_str());
    ::RemoveDirectoryA("PrintFormRel");
}

TEST_F(PrintFormTest, APathTooLongIsRefused) {
    Save("\"NAME\"", std::string(250, 'x'));
    EXPECT_EQ(Print("WB"), 0);
    std::vector<std::string> boxes = Boxes();
    ASSERT_EQ(boxes.size(), 1u);
    EXPECT_EQ(boxes[0].rfind("Der Pfad ist zu lang:\n" + m_out, 0), 0u) << boxes[0];
    ::Sleep(500);
    EXPECT_TRUE(launchlog::Read().empty());
}

TEST_F(PrintFormTest, TheViewersBackgroundPrintComesBackWithItsType) {
    UseViewer();
    DWORD two = 2;
    ASSERT_TRUE(fw::RegPutValue(HKEY_CURRENT_USER, kOptions, "BackgroundPrint",
                                {true, REG_DWORD, std::string(reinterpret_cast<const char*>(&two), sizeof two)}));
    EXPECT_EQ(PrintWithoutWord("WD"), 1);
    std::vector<std::string> log;
    ASSERT_TRUE(harness::WaitUntil([&] { return (log = comdouble::ReadLog(m_viewer)).size() >= 2; }, 20000));
    EXPECT_EQ(log[1].rfind("command 88 BackgroundPrint=REG_SZ:0 printer=" + m_default, 0), 0u) << log[1];
    fw::RegSavedValue back = fw::RegSaveValue(HKEY_CURRENT_USER, kOptions, "BackgroundPrint");
    EXPECT_EQ(back.type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(back.data, std::string(reinterpret_cast<const char*>(&two), sizeof two));
}

TEST_F(PrintFormTest, AViewerThatShowsNoWindowIsReported) {
    // A program that starts and ends without the viewer's window.
    theApp.SetGeneralValue("WordViewPath", launchlog::LoggerPath().c_str());
    EXPECT_EQ(PrintWithoutWord("WD"), 1);
    EXPECT_EQ(Boxes(), std::vector<std::string>{pf::NoViewerWindowText(m_out + "Brief.rtf")});
    EXPECT_FALSE(fw::RegSaveValue(HKEY_CURRENT_USER, kOptions, "BackgroundPrint").present);
}
