// The form generator against a real dbserver: the demo's letter template, which "dbserver
// init" put into formulare/, merged with the letter's data into a document that the rich
// edit reads back; the display's font measuring pages it; the job's data goes with the
// generator; failures are one box under the generator's caption.
#include "app/VORLANApp.h"
#include "common/MQuote.h"
#include "framework/RichEdit.h"
#include "framework/TestMode.h"
#include "resources/PrintIds.h"
#include "resources/ServiceIds.h"
#include "services/FormularGen.h"
#include "tests/app/AppFixture.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

using vorlan::MQuote;

namespace {

size_t Count(const std::string& text, const std::string& part) {
    size_t n = 0;
    for (size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + part.size()))
        ++n;
    return n;
}

// The status dialog of this thread, by its status line's text.
bool StatusShows(const std::string& text) {
    struct Search {
        std::string text;
        bool found = false;
    } search{text};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) -> BOOL {
            auto* s = reinterpret_cast<Search*>(param);
            char buffer[256] = {};
            if (HWND line = ::GetDlgItem(window, IDC_PRINT_STATUS_TEXT))
                ::GetWindowTextA(line, buffer, sizeof buffer);
            if (s->text == buffer) s->found = true;
            return !s->found;
        },
        reinterpret_cast<LPARAM>(&search));
    return search.found;
}

class FormularGenTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0);
        const char* forms = std::getenv("VORLAN_FORMS");
        ASSERT_TRUE(forms) << "the test names the demo's template folder";
        m_forms = forms;
        apptest::PrepareApp("FormularGenTest", MakeClientLibraryTransport());
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", harness::DbServerPort(), "", "", "", false), 0);
        M("S %JOB=$J,%FORM=\"BRIEF\" K ^ZDR(%JOB),%HOME,%MI");
        fw::TestMode::ClearShown();
    }
    void TearDown() override {
        M("K ^ZDR(%JOB)");
        apptest::ReleaseApp();
    }
    std::string M(const std::string& line) { return theApp.Execute(line.c_str()).str(); }
    void Field(int line, const char* code, const char* token, const std::string& value) {
        M("S ^ZDR(%JOB,%FORM,1,\"Z\"," + std::to_string(line) + "," + MQuote(code) + "," + MQuote(token) +
          ")=" + MQuote(value));
    }
    // The letter's data as the print routine leaves it; the part names a template that is
    // not there, so the form's default one serves.
    void Letter() {
        M("S ^ZDR(%JOB,%FORM,1)=\"1_Brief\"");
        Field(1, "A1", "@EMPFAENGER", "Erika M\xfcller");
        Field(1, "A1", "@ANSCHRIFT",
              "Hauptstra\xdf"
              "e 1\r10115 Berlin");
        Field(1, "A1", "@BETREFF", "Rechnung {2026} \\ Teil 1");
        for (int i = 1; i <= 120; ++i)
            Field(1 + i, "B1", "@TEXT", "Position " + std::to_string(i));
        Field(122, "C1", "@GRUSS",
              "rtf:{\\b Mit freundlichen Gr\xfc\xdf"
              "en}");
    }
    std::string ReadBack(const std::string& rtf) {
        HWND parent =
            ::CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 400, 300, nullptr, nullptr, nullptr, nullptr);
        CRichEditCtrl edit;
        RECT rect{0, 0, 400, 300};
        EXPECT_TRUE(edit.Create(ES_MULTILINE, rect, parent, 1));
        edit.LimitText(10 << 20);
        size_t at = 0;
        edit.StreamIn(SF_RTF, [&](char* out, size_t room) {
            size_t n = std::min(room, rtf.size() - at);
            std::copy(rtf.begin() + static_cast<long>(at), rtf.begin() + static_cast<long>(at + n), out);
            at += n;
            return n;
        });
        std::string text = edit.GetText().str();
        edit.DestroyWindow();
        ::DestroyWindow(parent);
        return text;
    }

    std::string m_forms;
    std::string m_out = harness::FreshFolder("formular");
};

} // namespace

TEST_F(FormularGenTest, DemoLetterIsMergedPagedAndReadBack) {
    Letter();
    std::vector<std::string> names;
    std::string rtf;
    {
        CFormularGen gen(nullptr, 0, "");
        EXPECT_TRUE(StatusShows(harness::ResourceText(IDS_FORMULAR_STARTING)));
        ASSERT_EQ(gen.Generate("BRIEF_", 1, m_forms.c_str(), 0, names), 0);
        EXPECT_EQ(M("W QCC"), "BRIEF_D_0") << "the scan pass names each template it reads";
        ASSERT_EQ(gen.Generate("BRIEF_", 0, (m_out + "Brief.rtf").c_str(), 0, names), 0);
        EXPECT_TRUE(StatusShows(harness::ResourceText(IDS_FORMULAR_DONE)));
        ASSERT_EQ(names, std::vector<std::string>{m_out + "Brief.rtf"});
        rtf = harness::ReadTextFile(names[0]);
        EXPECT_EQ(M("W $D(^ZDR(%JOB))"), "10");
    }
    EXPECT_EQ(M("W $D(^ZDR(%JOB))"), "0") << "the job's data goes with the generator";
    EXPECT_TRUE(fw::TestMode::Shown().empty()) << fw::TestMode::Shown().front().text;

    // 120 lines of 12 points do not fit on one A4 page: the footer numbers every page, the
    // letterhead is on the first page only.
    size_t breaks = Count(rtf, "\\sbkpage\\sect ");
    EXPECT_GE(breaks, 1u);
    EXPECT_LE(breaks, 4u);
    for (size_t page = 1; page <= breaks + 1; ++page)
        EXPECT_EQ(Count(rtf, "Seite " + std::to_string(page) + "\\par"), 1u) << page;
    // Each page is its own section with the header chosen for it: no title-page flag has a
    // reader choose again.
    EXPECT_EQ(Count(rtf, "Demo-Praxis VORLAN"), 1u);
    EXPECT_LT(rtf.find("Demo-Praxis VORLAN"), rtf.find("\\sbkpage"));
    EXPECT_EQ(Count(rtf, "\\titlepg"), 0u);
    EXPECT_EQ(Count(rtf, "{\\headerf "), 0u);

    std::string text = ReadBack(rtf);
    EXPECT_NE(text.find("Erika M\xfcller"), std::string::npos) << text.substr(0, 400);
    EXPECT_NE(text.find("Hauptstra\xdf"
                        "e 1"),
              std::string::npos);
    EXPECT_NE(text.find("10115 Berlin"), std::string::npos);
    EXPECT_NE(text.find("Betreff: Rechnung {2026} \\ Teil 1"), std::string::npos);
    EXPECT_NE(text.find("Mit freundlichen Gr\xfc\xdf"
                        "en"),
              std::string::npos);
    EXPECT_EQ(text.find("rtf:"), std::string::npos);
    size_t last = 0;
    for (int i = 1; i <= 120; ++i) {
        std::string line = "Position " + std::to_string(i) + "\r";
        size_t at = text.find(line);
        ASSERT_NE(at, std::string::npos) << line;
        EXPECT_GT(at, last) << "the lines keep their order";
        last = at;
    }
    EXPECT_LT(text.find("Betreff"), text.find("Position 1\r"));
    EXPECT_GT(text.find("Mit freundlichen"), last);
}

TEST_F(FormularGenTest, FailuresAreOneBoxUnderTheGeneratorsCaption) {
    std::vector<std::string> names;
    M("S %LAN=\"D\",%VER=\"7\"");
    {
        CFormularGen gen(nullptr, 0, "");
        EXPECT_EQ(gen.Generate("RECHNUNG_", 1, m_forms.c_str(), 0, names), 11);
    }
    ASSERT_EQ(fw::TestMode::Shown().size(), 1u);
    fw::ShownItem box = fw::TestMode::Shown().front();
    EXPECT_EQ(box.caption, "VORLAN Formularagent");
    CString expected;
    expected.FormatId(IDS_FORMULAR_NO_TEMPLATE, m_forms.c_str(), "RECHNUNG_", "D", "7");
    EXPECT_EQ(box.text, expected.str());
    EXPECT_EQ(static_cast<UINT>(box.id) & MB_ICONMASK, static_cast<UINT>(MB_ICONEXCLAMATION));
    EXPECT_NE(theApp.m_pszAppName.str(), "VORLAN Formularagent") << "the program's caption is back";

    // An output file that cannot be created.
    fw::TestMode::ClearShown();
    Letter();
    {
        CFormularGen gen(nullptr, 0, "");
        ASSERT_EQ(gen.Generate("BRIEF_", 1, m_forms.c_str(), 0, names), 0);
        std::string bad = m_out + "fehlt\\Brief.rtf";
        EXPECT_EQ(gen.Generate("BRIEF_", 0, bad.c_str(), 0, names), 12);
        ASSERT_EQ(fw::TestMode::Shown().size(), 1u);
        CString text;
        text.FormatId(IDS_FORMULAR_CANNOT_CREATE, bad.c_str());
        EXPECT_EQ(fw::TestMode::Shown().front().text, text.str());
    }
}

TEST_F(FormularGenTest, APartsOwnFolderIsCreated) {
    Letter();
    std::string folder = m_out + "neu\\" + std::to_string(::GetTickCount()) + "\\";
    M("S ^ZDR(%JOB,%FORM,1,\"DIR\")=" + MQuote(folder.substr(0, folder.size() - 1)) +
      ",^ZDR(%JOB,%FORM,1,\"NAME\")=\"Brief\"");
    std::vector<std::string> names;
    CFormularGen gen(nullptr, 0, "");
    ASSERT_EQ(gen.Generate("BRIEF_", 1, m_forms.c_str(), 0, names), 0);
    ASSERT_EQ(gen.Generate("BRIEF_", 0, "", 1, names), 0);
    ASSERT_EQ(names, std::vector<std::string>{folder + "Brief.rtf"});
    EXPECT_NE(harness::ReadTextFile(names[0]).find("Erika"), std::string::npos);
}
