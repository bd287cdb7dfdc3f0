// The request hub against a real dbserver: every request the hub serves, set up and read
// back through M. The routines that requests name are BUSY^QCC(text), which leaves its text
// in ^%CONTROL($J,"BUSY") of the job.
#include "app/ProtocolLog.h"
#include "app/VORLANApp.h"
#include "common/MQuote.h"
#include "framework/Clipboard.h"
#include "resources/ServiceIds.h"
#include "tests/common/MRecord.h"
#include "tests/app/AppFixture.h"
#include "tests/harness/Harness.h"
#include "tests/services/HubFixture.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using mrecord::Record;
using vorlan::MQuote;

namespace {

using harness::IsFolder;

class HubServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0) << "the dbserver fixture tells the port";
        apptest::PrepareApp("HubServerTest", MakeClientLibraryTransport());
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        theApp.Settings().protocolAll = 1;
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", harness::DbServerPort(), "", "", "", false), 0);
        M("S %JOB=$J K ^QTEMP(%JOB),^%CONTROL($J,\"BUSY\")");
    }
    void TearDown() override {
        M("K ^QTEMP(%JOB),^%CONTROL($J,\"BUSY\")");
        apptest::ReleaseApp();
    }
    std::string M(const std::string& line) { return theApp.Execute(line.c_str()).str(); }
    void Set(const std::string& reference, const std::string& value) {
        M("S " + reference + "=" + MQuote(value));
    }
    std::string Busy() { return M("W $G(^%CONTROL($J,\"BUSY\"))"); }
    bool Exists(const char* node) { return M("W $D(^QTEMP(%JOB," + MQuote(node) + "))") != "0"; }
    void Pass() { CRequestHub(TheSession(), m_form).Run(); }
    std::vector<fw::ShownItem> Shown() {
        auto shown = fw::TestMode::Shown();
        fw::TestMode::ClearShown();
        return shown;
    }
    std::string Protocol() { return m_protocol.Text(); }

    hubtest::FormDouble m_form;
    std::string m_folder = harness::NewFolder("hubserver");
    apptest::ProtocolInFolder m_protocol{m_folder};
};

} // namespace

TEST_F(HubServerTest, EveryOutsideRequestIsRemovedWithValidLines) {
    for (const char* node : {"POCKET", "KODIP", "%DRG", "QSMED", "QS-FILTER", "QR-CODE", "DATAMATRIX",
                             "USYS10", "SOUND", "COMPORT"})
        Set(std::string("^QTEMP(%JOB,") + MQuote(node) + ")", "x");
    Pass();
    EXPECT_EQ(M("W $D(^QTEMP(%JOB))"), "0");
    for (const auto& shown : Shown())
        EXPECT_EQ(shown.text.find("#"), std::string::npos) << "no server error: " << shown.text;
}

TEST_F(HubServerTest, ClipboardTakesTheValuesInTheServersOrder) {
    Set("^QTEMP(%JOB,\"%CLIPBOARD\",10)", "zehn");
    Set("^QTEMP(%JOB,\"%CLIPBOARD\",2)", "zwei\r\n");
    Set("^QTEMP(%JOB,\"%CLIPBOARD\",1)", "eins \"1\" \xa7\r\n");
    Pass();
    std::string text;
    ASSERT_TRUE(fw::GetClipboardText(m_form.HubWindow(), text));
    EXPECT_EQ(text, "eins \"1\" \xa7\r\nzwei\r\nzehn");
    EXPECT_FALSE(Exists("%CLIPBOARD"));
    EXPECT_TRUE(Shown().empty());
}

TEST_F(HubServerTest, QuestionRunsTheRoutineOfTheAnswer) {
    const std::string yesNo = Record({"Speichern?", "BUSY^QCC(\"ja\")", "BUSY^QCC(\"nein\")"});
    struct Case {
        std::string value;
        const char* answer;
        int type;
        const char* ran;
    } cases[] = {
        {yesNo, "IDYES", MB_YESNO | MB_ICONQUESTION, "ja"},
        {yesNo, "IDNO", MB_YESNO | MB_ICONQUESTION, "nein"},
        {Record({yesNo, "BUSY^QCC(\"abbrechen\")"}), "IDCANCEL", MB_YESNOCANCEL | MB_ICONQUESTION,
         "abbrechen"},
        {Record({"Speichern?", "BUSY^QCC(\"ja\")", "", "BUSY^QCC(\"abbrechen\")"}), "IDNO",
         MB_YESNOCANCEL | MB_ICONQUESTION, ""},
    };
    for (const Case& c : cases) {
        M("K ^%CONTROL($J,\"BUSY\")");
        Set("^QTEMP(%JOB,\"KLICKBUTTON\")", c.value);
        fw::TestMode::PushAnswer(std::string("box ") + c.answer);
        Pass();
        auto shown = Shown();
        ASSERT_EQ(shown.size(), 1u) << c.answer;
        EXPECT_EQ(shown[0].id, c.type) << c.answer;
        EXPECT_EQ(shown[0].text, "Speichern?");
        EXPECT_EQ(Busy(), c.ran) << c.answer << ": an empty routine runs nothing";
        EXPECT_FALSE(Exists("KLICKBUTTON"));
    }
}

TEST_F(HubServerTest, ReportShowsInfBeforeFAndKillsBoth) {
    struct Case {
        const char* set; // M code that leaves %INF and %F
        const char* text;
        int type;
    } cases[] = {
        {"S %INF=\"Info \xa7 1\",%F=\"Fehler \xa7 2\"", "Info \xa7 1", MB_ICONINFORMATION},
        {"S %INF=\"\",%F=\"Fehler \xa7 2\"", "Fehler \xa7 2", MB_ICONEXCLAMATION},
        {"K %INF S %F=\"Fehler\"", "Fehler", MB_ICONEXCLAMATION},
        {"S %INF=\"\",%F=\"\"", nullptr, 0},
        {"K %F S %INF=\"nur Info\"", nullptr, 0},
    };
    for (const Case& c : cases) {
        M(c.set);
        // The health-card request is served by discarding it, and it asks for the report.
        Set("^QTEMP(%JOB,\"EKV\")", "1");
        Pass();
        auto shown = Shown();
        if (c.text) {
            ASSERT_EQ(shown.size(), 1u) << c.set;
            EXPECT_EQ(shown[0].text, c.text);
            EXPECT_EQ(shown[0].id, c.type);
        } else {
            EXPECT_TRUE(shown.empty()) << c.set;
        }
        EXPECT_EQ(M("W $D(%F)+$D(%INF)"), "0") << c.set;
        EXPECT_FALSE(Exists("EKV"));
    }
    EXPECT_NE(Protocol().find("CChildDialog::EKV"), std::string::npos);

    M("S %INF=\"bleibt\"");
    Pass();
    EXPECT_EQ(M("W $G(%INF)"), "bleibt") << "without a request that reports, the texts stay";
}

TEST_F(HubServerTest, MessageShowsTheVariableOnlyWhenItHasText) {
    M("S %MESSAGE=\"Bitte \"\"Befund\"\" pr\xfc"
      "fen\"");
    Set("^QTEMP(%JOB,\"%MESSAGE\")", "");
    Pass();
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Bitte \"Befund\" pr\xfc"
                             "fen");
    EXPECT_EQ(shown[0].id, MB_ICONEXCLAMATION);
    EXPECT_EQ(M("W $D(%MESSAGE)"), "0");
    EXPECT_FALSE(Exists("%MESSAGE"));

    Set("^QTEMP(%JOB,\"%MESSAGE\")", "");
    Pass();
    EXPECT_TRUE(Shown().empty());
    EXPECT_FALSE(Exists("%MESSAGE"));
}

TEST_F(HubServerTest, PackingHandsTheLibrarysAnswerToTheServersRoutine) {
    std::string log = m_folder + "quantpacker.log";
    ::SetEnvironmentVariableA("QUANTPACKER_LOG", log.c_str());
    ::SetEnvironmentVariableA("QUANTPACKER_ANSWER", "2 Dateien \"gepackt\"");
    auto request = [&](const std::string& value, const std::string& target) {
        Set("^QTEMP(%JOB,\"%ZIP3DES\")", value);
        Set("^QTEMP(%JOB,\"%ZIP3DES\",\"DIR\")", "C:\\Daten");
        Set("^QTEMP(%JOB,\"%ZIP3DES\",\"SOURCE\")", "C:\\Daten\\a.txt");
        Set("^QTEMP(%JOB,\"%ZIP3DES\",\"TARGET\")", target);
        Set("^QTEMP(%JOB,\"%ZIP3DES\",\"PASS\")", "geheim\"1");
        Pass();
        EXPECT_FALSE(Exists("%ZIP3DES"));
    };

    request("BUSY^QCC(%F)\xa7"
            "0",
            "C:\\Daten\\a.zip");
    EXPECT_EQ(Busy(), "2 Dateien \"gepackt\"");
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u) << "what %F holds after the routine";
    EXPECT_EQ(shown[0].text, "2 Dateien \"gepackt\"");
    EXPECT_EQ(shown[0].id, MB_OK | MB_ICONEXCLAMATION)
        << "a plain box, with the icon the program gives those";

    std::string target = m_folder + "entpackt\\tief";
    request("BUSY^QCC(%F)\xa7"
            "1",
            target);
    EXPECT_TRUE(IsFolder(target)) << "the target folders are made before unpacking";
    EXPECT_EQ(harness::ReadTextFile(log), "Pack|C:\\Daten|C:\\Daten\\a.txt|C:\\Daten\\a.zip|geheim\"1\n"
                                          "UnPack|C:\\Daten\\a.txt|" +
                                              target + "|geheim\"1\n");
    Shown();

    const std::string dll = harness::ExeFolder() + "quantpacker.dll";
    ASSERT_TRUE(::MoveFileA(dll.c_str(), (dll + ".weg").c_str()));
    request("BUSY^QCC(%F)", "C:\\Daten\\b.zip");
    ::MoveFileA((dll + ".weg").c_str(), dll.c_str());
    EXPECT_EQ(Busy(), harness::ResourceText(IDS_PACKER_MISSING)) << "the routine runs and learns that the library is missing";
    shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, harness::ResourceText(IDS_PACKER_MISSING));
    ::SetEnvironmentVariableA("QUANTPACKER_LOG", nullptr);
    ::SetEnvironmentVariableA("QUANTPACKER_ANSWER", nullptr);
}

TEST_F(HubServerTest, FileSortRunsItsRoutineOnlyAfterFilesWereCopied) {
    std::string source = m_folder + "quelle", target = m_folder + "ziel";
    ::CreateDirectoryA(source.c_str(), nullptr);
    harness::WriteTextFile(source + "\\brief.txt", "Brief");
    auto request = [&](const std::string& destination) {
        Set("^QTEMP(%JOB,\"FILESORT\",\"SOURCE\")", source);
        Set("^QTEMP(%JOB,\"FILESORT\",\"DESTINATION\")", destination);
        Set("^QTEMP(%JOB,\"FILESORT\",\"TEXT\")", "Dokumente zur Akte");
        Set("^QTEMP(%JOB,\"FILESORT\",\"RTN\")", "BUSY^QCC(\"kopiert\")");
        Pass();
        EXPECT_FALSE(Exists("FILESORT"));
    };

    request("");
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].kind, "filecopy");
    EXPECT_EQ(shown[0].caption, harness::ResourceText(IDS_FILEVIEW_TITLE));
    EXPECT_EQ(shown[0].text, "1091=Dokumente zur Akte|1103=");
    EXPECT_EQ(Busy(), "") << "nothing was copied";

    fw::TestMode::PushAnswer("dialog filecopy drop:" + source + "\\brief.txt cmd:1105");
    request(target);
    shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].caption, harness::ResourceText(IDS_FILECOPY_TITLE));
    EXPECT_EQ(shown[0].text, "1085=Dokumente zur Akte|1103=" + source + "\\brief.txt");
    EXPECT_EQ(shown[0].answer, 1);
    EXPECT_NE(::GetFileAttributesA((target + "\\brief.txt").c_str()), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Busy(), "kopiert");
}
