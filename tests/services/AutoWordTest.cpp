// Word through automation against our Word double (tests/com), registered in the prefix by
// its fixture: the PDF that SaveAs writes is read back with pdftotext, the print comes out
// of the CUPS fixture's queue, and the double's log shows every call with its arguments.
#include "services/AutoWord.h"
#include "tests/com/ComDoubleClient.h"
#include "tests/harness/Harness.h"
#include "tests/harness/PrintedPages.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

namespace {

const char kLetter[] =
    "{\\rtf1\\ansi\\ansicpg1252{\\fonttbl{\\f0 Arial;}}{\\colortbl;\\red255\\green0\\blue0;}"
    "\\f0 Sehr geehrte Frau M\\'fcller,\\par Rechnung \\{2026\\} \\\\ Teil 1\\par}";

// The lines written to the debugger meanwhile: OutputDebugString raises an exception that
// a vectored handler sees before the system's own handler takes it.
class DebuggerLines {
  public:
    DebuggerLines() {
        s_lines.clear();
        m_handler = ::AddVectoredExceptionHandler(1, &DebuggerLines::Handler);
    }
    ~DebuggerLines() { ::RemoveVectoredExceptionHandler(m_handler); }
    DebuggerLines(const DebuggerLines&) = delete;
    DebuggerLines& operator=(const DebuggerLines&) = delete;
    bool Has(const std::string& line) const {
        return std::find(s_lines.begin(), s_lines.end(), line) != s_lines.end();
    }

  private:
    static LONG CALLBACK Handler(EXCEPTION_POINTERS* e) {
        const EXCEPTION_RECORD* r = e->ExceptionRecord;
        if (r->ExceptionCode == DBG_PRINTEXCEPTION_C && r->NumberParameters >= 2)
            s_lines.emplace_back(reinterpret_cast<const char*>(r->ExceptionInformation[1]));
        return EXCEPTION_CONTINUE_SEARCH;
    }
    static inline std::vector<std::string> s_lines;
    void* m_handler;
};

class AutoWordTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_double = comdouble::ServerPath("Word.Application");
        ASSERT_FALSE(s_double.empty()) << "the fixture registered the double";
    }
    void SetUp() override {
        comdouble::ClearLog(s_double);
        comdouble::ScriptFailures(s_double, "");
        harness::WriteTextFile(m_folder + "Brief.rtf", kLetter);
    }
    void TearDown() override {
        EXPECT_TRUE(harness::WaitUntil([] { return !comdouble::ServerRunning(s_double); }, 20000))
            << "Word has been quit";
        comdouble::ScriptFailures(s_double, "");
    }
    std::vector<std::string> Log() { return comdouble::ReadLog(s_double); }
    bool Logged(const std::string& line) {
        std::vector<std::string> log = Log();
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    bool QuitLogged() { return Logged("Application.Quit call"); }

    static std::string s_double;
    std::string m_folder = harness::FreshFolder("autoword");
};

std::string AutoWordTest::s_double;

} // namespace

TEST_F(AutoWordTest, NotInstalledStartsNothing) {
    ASSERT_TRUE(comdouble::RunRegistration(s_double, "/UnregServer", "Word.Application"));
    DebuggerLines debugger;
    {
        CAutoWord word;
        EXPECT_EQ(word.StartWord(), -1);
    }
    EXPECT_TRUE(debugger.Has("Error in creating Word application instance\n"));
    EXPECT_TRUE(comdouble::RunRegistration(s_double, "/RegServer", "Word.Application"));
    EXPECT_TRUE(Log().empty()) << "no Word process was started";
}

TEST_F(AutoWordTest, SaveAsWritesThePdfWithEveryArgumentInOrder) {
    std::string pdf = m_folder + "Brief.pdf";
    {
        CAutoWord word;
        ASSERT_EQ(word.StartWord(), 0);
        EXPECT_EQ(word.SaveDocumentAs((m_folder + "Brief.rtf").c_str(), pdf.c_str()), 0);
        EXPECT_FALSE(QuitLogged()) << "Word stays for the next document until the end";
    }
    EXPECT_TRUE(Logged("Application.Documents get"));
    EXPECT_TRUE(Logged("Documents.Open call BSTR:" + m_folder + "Brief.rtf"));
    EXPECT_TRUE(Logged("Document[Brief.rtf].SaveAs call BSTR:" + pdf +
                       ", I4:17, BOOL:false, BSTR:, BOOL:true, BSTR:, BOOL:false, BOOL:false, BOOL:false, "
                       "BOOL:false, BOOL:false"));
    EXPECT_TRUE(Logged("Document[Brief.rtf].Close call"));
    EXPECT_TRUE(QuitLogged()) << "quit by the destructor";
    std::string text = harness::PdfText(pdf);
    EXPECT_NE(text.find("Sehr geehrte Frau M\xFCller,"), std::string::npos) << text;
    EXPECT_NE(text.find("Rechnung {2026} \\ Teil 1"), std::string::npos) << text;
}

TEST_F(AutoWordTest, PrintOutPrintsInTheForegroundOnTheDefaultPrinter) {
    harness::ClearPrintFile();
    {
        CAutoWord word;
        ASSERT_EQ(word.StartWord(), 0);
        EXPECT_EQ(word.PrintDocument((m_folder + "Brief.rtf").c_str()), 0);
        EXPECT_EQ(word.PrintDocument((m_folder + "Brief.rtf").c_str()), 0) << "one Word for several rounds";
    }
    std::vector<std::string> log = Log();
    EXPECT_EQ(std::count(log.begin(), log.end(), "Document[Brief.rtf].PrintOut call BOOL:false"), 2);
    EXPECT_EQ(std::count(log.begin(), log.end(), "create Word.Application"), 1);
    EXPECT_TRUE(std::any_of(log.begin(), log.end(), [](const std::string& l) {
        return l.rfind("  printed printer=VORLAN-DRUCKER", 0) == 0;
    }));
    std::vector<std::string> pages = harness::PrintedPages(60000);
    ASSERT_FALSE(pages.empty());
    EXPECT_NE(pages[0].find("Sehr geehrte Frau M\xFCller,"), std::string::npos) << pages[0];
}

TEST_F(AutoWordTest, DocumentWordCannotOpenGivesMinusOneAndQuitsWord) {
    DebuggerLines debugger;
    CAutoWord word;
    ASSERT_EQ(word.StartWord(), 0);
    EXPECT_EQ(word.PrintDocument((m_folder + "fehlt.rtf").c_str()), -1);
    EXPECT_TRUE(QuitLogged());
    EXPECT_TRUE(debugger.Has("Error opening the document\n"));
    EXPECT_EQ(word.SaveDocumentAs((m_folder + "fehlt.rtf").c_str(), (m_folder + "x.pdf").c_str()), -1)
        << "Word is gone: nothing more is done";
}

TEST_F(AutoWordTest, SaveToAFolderThatIsNotThereGivesMinusTwoAndQuitsWord) {
    DebuggerLines debugger;
    CAutoWord word;
    ASSERT_EQ(word.StartWord(), 0);
    EXPECT_EQ(word.SaveDocumentAs((m_folder + "Brief.rtf").c_str(), (m_folder + "fehlt\\Brief.pdf").c_str()),
              -2);
    EXPECT_TRUE(QuitLogged());
    EXPECT_TRUE(debugger.Has("The document could not be saved\n"));
    EXPECT_FALSE(Logged("Document[Brief.rtf].Close call"));
}

TEST_F(AutoWordTest, FailedPrintOutGivesMinusTwoAndQuitsWord) {
    comdouble::ScriptFailures(s_double, "Document.PrintOut=Drucker nicht bereit\r\n");
    DebuggerLines debugger;
    CAutoWord word;
    ASSERT_EQ(word.StartWord(), 0);
    EXPECT_EQ(word.PrintDocument((m_folder + "Brief.rtf").c_str()), -2);
    EXPECT_TRUE(QuitLogged());
    EXPECT_TRUE(debugger.Has("The document could not be printed\n"));
}

TEST_F(AutoWordTest, MissingDocumentsMemberIsAFailedStart) {
    comdouble::ScriptFailures(s_double, "Application.Documents=kaputt\r\n");
    CAutoWord word;
    EXPECT_EQ(word.StartWord(), -1);
    EXPECT_TRUE(QuitLogged()) << "what was started is quit";
}

TEST_F(AutoWordTest, FailedQuitIsOnlyReported) {
    comdouble::ScriptFailures(s_double, "Application.Quit=besch\xE4"
                                        "ftigt\r\n");
    DebuggerLines debugger;
    {
        CAutoWord word;
        ASSERT_EQ(word.StartWord(), 0);
    }
    EXPECT_TRUE(debugger.Has("Error in quitting WinWord.exe\n"));
}

// COM belongs to whoever initialised it first: the helper ends only its own.
TEST_F(AutoWordTest, LeavesAThreadsOwnComAlone) {
    ASSERT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_OK);
    {
        CAutoWord word;
        ASSERT_EQ(word.StartWord(), 0);
    }
    EXPECT_EQ(::CoInitializeEx(nullptr, COINIT_MULTITHREADED), S_FALSE) << "still initialised";
    ::CoUninitialize();
    ::CoUninitialize();
}
