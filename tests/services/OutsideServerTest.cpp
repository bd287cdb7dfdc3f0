// The outside-component services through the request hub against a real dbserver, with the
// scriptable automation double registered in the prefix under every component's ProgID.
// Each test writes the double's script, runs a hub pass and compares what reached the
// server and the calls the double logged. The callbacks are the demo's (DRG^QEXT and
// KODIP^QEXT), which keep the results in ^ZEXT($J) before the hub removes the request.
#include "app/VORLANApp.h"
#include "common/MQuote.h"
#include "framework/App.h"
#include "resources/ServiceIds.h"
#include "services/DrgGrouper.h"
#include "services/QsMedDriver.h"
#include "tests/app/AppFixture.h"
#include "tests/com/ComDoubleClient.h"
#include "tests/common/MRecord.h"
#include "tests/harness/Harness.h"
#include "tests/services/HubFixture.h"

#include <gtest/gtest.h>

#include <fstream>
#include <string>
#include <vector>

using mrecord::Record;
using vorlan::MQuote;
using Lines = std::vector<std::string>;

namespace {

const char* const kAllProgIds[] = {
    "DRGscout.Grouper",    "Idgrouper.JKrgrouper",  "ARDRG_GE.GROUPER", "KODIP.Diagnose",      "KODIPp.OP",
    "KODIPclp.DiagnoseOP", "MmmHisFacadeCom.Start", "IDAuto.QRCode.1",  "IDAuto.Datamatrix.1", "QSMED",
    "QSFilter3M"};

class OutsideServerTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0) << "the dbserver fixture tells the port";
        m_program = comdouble::ServerPath("QSMED");
        ASSERT_FALSE(m_program.empty()) << "the automation double's fixture registers it";
        m_folder = m_program.substr(0, m_program.find_last_of('\\') + 1);
        apptest::PrepareApp("OutsideServerTest", MakeClientLibraryTransport());
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", harness::DbServerPort(), "", "", "", false), 0);
        M("S %JOB=$J K ^QTEMP(%JOB),^ZSYM,^TEMPQSF(%JOB),^ZEXT($J)");
        Script({});
        ::DeleteFileA((m_folder + "AutomationDouble.log").c_str());
    }
    void TearDown() override {
        M("K ^QTEMP(%JOB),^ZSYM,^TEMPQSF(%JOB),^ZEXT($J)");
        apptest::ReleaseApp();
        if (m_unregistered) comdouble::RunRegistration(m_program, "/RegServer", "");
    }
    std::string M(const std::string& line) { return theApp.Execute(line.c_str()).str(); }
    void Set(const std::string& reference, const std::string& value) {
        M("S " + reference + "=" + MQuote(value));
    }
    bool Exists(const char* node) { return M("W $D(^QTEMP(%JOB," + MQuote(node) + "))") != "0"; }
    void Pass() { CRequestHub(TheSession(), m_form).Run(); }
    std::vector<fw::ShownItem> Shown() {
        auto shown = fw::TestMode::Shown();
        fw::TestMode::ClearShown();
        return shown;
    }
    void Script(const Lines& lines) {
        std::ofstream out(m_folder + "AutomationDouble.script", std::ios::binary | std::ios::trunc);
        for (const std::string& line : lines)
            out << line << "\r\n";
    }
    // Only these components stay installed.
    void KeepOnly(const Lines& progIds) {
        for (const char* progId : kAllProgIds) {
            bool keep = false;
            for (const std::string& k : progIds)
                keep = keep || k == progId;
            if (!keep)
                ::RegDeleteTreeA(HKEY_LOCAL_MACHINE, (std::string("Software\\Classes\\") + progId).c_str());
        }
        m_unregistered = true;
    }
    // The double's log lines: calls, outputs and creations.
    Lines Calls() {
        Lines calls;
        std::ifstream in(m_folder + "AutomationDouble.log", std::ios::binary);
        for (std::string line; std::getline(in, line);) {
            if (!line.empty() && line.back() == '\r') line.pop_back();
            if (line.rfind("start pid", 0) == 0 || line == "end") continue;
            calls.push_back(line);
        }
        return calls;
    }
    // The calls of one component, each cut to kind, DISPID and argument types.
    Lines Shapes(const std::string& progId) {
        Lines shapes;
        for (const std::string& line : Calls()) {
            if (line.rfind(progId + " ", 0) != 0) continue;
            std::string rest = line.substr(progId.size() + 1), shape;
            size_t space = rest.find(' ', rest.find(' ') + 1);
            shape = rest.substr(0, space);
            for (size_t at = space; at != std::string::npos && at < rest.size();) {
                size_t colon = rest.find(':', at);
                if (colon == std::string::npos) break;
                shape += " " + rest.substr(at + 1, colon - at - 1);
                at = rest.find(", ", colon);
                if (at != std::string::npos) ++at;
            }
            shapes.push_back(shape);
        }
        return shapes;
    }
    bool Logged(const std::string& line) {
        for (const std::string& l : Calls())
            if (l == line) return true;
        return false;
    }
    // What the callback DRG^QEXT kept of the results (the hub removes the request after it).
    std::string Drg(const char* result) { return M("W $G(^ZEXT($J,\"DRG\"," + MQuote(result) + "))"); }

    // The demo's case: every field, the diagnoses in two parts, three procedures, two dates.
    void SetDrgCase(const std::string& request) {
        Set("^QTEMP(%JOB,\"%DRG\")", request);
        const char* fields[][2] = {
            {"ICDVER", "2025"},         {"OPSVER", "2025"},          {"GESCHLECHT", "1"},
            {"GEBDATUM", "01.02.1950"}, {"AUFNDATUM", "01.03.2025"}, {"ENTLDATUM", "10.03.2025"},
            {"ALTERJAHR", "75"},        {"ALTERTAG", "0"},           {"VWD", "9"},
            {"UNZULVWD", "0"},          {"BEURLAUBUNGSTAGE", "1"},   {"TAGESFALL", "0"},
            {"ENTLMODUS", "01"},        {"GEBGEWICHT", "3100"},      {"AUFNGEWICHT", "2900"},
            {"BEATMUNG", "12"},         {"BEHANDLUNG", "HA"},        {"AUFNANLASS", "E"},
            {"ABTTYP", "100"},          {"ICD", "I21.0;E11.9;"},     {"ENTLART", "01"},
            {"AUFNGRUND", "0101"},      {"NACHNAME", "M\xfcller"},   {"VORNAME", "Anna"},
            {"FALLNR", "F-7"}};
        for (auto& f : fields)
            Set("^QTEMP(%JOB,\"%DRG\",1," + MQuote(f[0]) + ")", f[1]);
        Set("^QTEMP(%JOB,\"%DRG\",1,\"ICD\",1)", "I21.0;");
        Set("^QTEMP(%JOB,\"%DRG\",1,\"ICD\",2)", "E11.9;");
        Set("^QTEMP(%JOB,\"%DRG\",1,\"OPS\",1)", "8-837.00;5-893.1;");
        Set("^QTEMP(%JOB,\"%DRG\",1,\"OPS\",2)", "1-275.0;");
        Set("^QTEMP(%JOB,\"%DRG\",1,\"OPSDATUM\",1)", "02.03.2025;03.03.2025;");
    }

    hubtest::FormDouble m_form;
    std::string m_program, m_folder;
    bool m_unregistered = false;
};

} // namespace

TEST_F(OutsideServerTest, BarcodeLinesGoToEachEntrysTarget) {
    Script({"IDAuto.QRCode.1 call 0x12 arg6=X", "IDAuto.QRCode.1 call 0x12 arg6=AB",
            "IDAuto.QRCode.1 call 0x12 arg6=L1\\r\\nL2 \"q\"\\r\\n",
            "IDAuto.QRCode.1 call 0x12 arg6=C1\\rC2\\r", "IDAuto.QRCode.1 call 0x12 arg6=M1\\r\\n\\r\\nM3"});
    for (int key = 1; key <= 6; ++key)
        Set("^QTEMP(%JOB,\"QR-CODE\"," + std::to_string(key) + ")",
            Record({"Text " + std::to_string(key), key == 6 ? "" : "^ZSYM(" + std::to_string(key) + ","}));
    Pass();
    EXPECT_EQ(M("W $D(^ZSYM(1))"), "0") << "one character stores nothing";
    EXPECT_EQ(M("W ^ZSYM(2,1),\"|\",$D(^ZSYM(2,2))"), "AB|0");
    EXPECT_EQ(M("W ^ZSYM(3,1),\"|\",^ZSYM(3,2),\"|\",$D(^ZSYM(3,3))"), "L1|L2 \"q\"|0");
    EXPECT_EQ(M("W ^ZSYM(4,1),\"|\",^ZSYM(4,2),\"|\",$D(^ZSYM(4,3))"), "C1|C2|0") << "CR only";
    EXPECT_EQ(M("W ^ZSYM(5,1),\"|\",$D(^ZSYM(5,2)),$D(^ZSYM(5,3))"), "M1|00") << "an empty line ends";
    EXPECT_FALSE(Exists("QR-CODE"));
    Lines calls = Calls();
    int creations = 0, made = 0;
    for (const std::string& line : calls) {
        creations += line == "create IDAuto.QRCode.1";
        made += line.rfind("IDAuto.QRCode.1 call 0x12 ", 0) == 0;
    }
    EXPECT_EQ(creations, 1) << "one component for every entry";
    EXPECT_EQ(made, 5) << "the entry without a target is skipped";
    EXPECT_TRUE(Logged("IDAuto.QRCode.1 call 0x12 BSTR:Text 1, I4:0, I4:0, I4:0, I4:0, BSTR&:"));
    EXPECT_TRUE(Shown().empty());
}

TEST_F(OutsideServerTest, DataMatrixOutOfProcessAndAMissingComponent) {
    Script({"IDAuto.Datamatrix.1 call 0x12 arg5=D1\\r\\nD2"});
    Set("^QTEMP(%JOB,\"DATAMATRIX\",\"a\")", Record({"gr\xfc\xdf"
                                                     "e",
                                                     "^ZSYM(\"dm\","}));
    Pass();
    EXPECT_EQ(M("W ^ZSYM(\"dm\",1),\"|\",^ZSYM(\"dm\",2)"), "D1|D2");
    EXPECT_TRUE(Logged("IDAuto.Datamatrix.1 call 0x12 BSTR:gr\xfc\xdf"
                       "e, I4:0, I4:0, I4:0, BSTR&:"));
    EXPECT_FALSE(Exists("DATAMATRIX"));

    KeepOnly({});
    M("K ^ZSYM");
    Set("^QTEMP(%JOB,\"QR-CODE\",1)", Record({"x", "^ZSYM(1,"}));
    Pass();
    EXPECT_EQ(M("W $D(^ZSYM)"), "0");
    EXPECT_FALSE(Exists("QR-CODE"));
    EXPECT_TRUE(Shown().empty()) << "a missing barcode component is not reported";
}

TEST_F(OutsideServerTest, DrgGrouperChoiceAndFallback) {
    SetDrgCase(Record({"", "DRG^QEXT", "1", "", ""}));
    Pass();
    EXPECT_TRUE(Logged("create Idgrouper.JKrgrouper"));
    EXPECT_FALSE(Logged("create DRGscout.Grouper"));
    EXPECT_EQ(Drg("VERSION"), "ID Grouper");
    EXPECT_FALSE(Exists("%DRG"));

    KeepOnly({"ARDRG_GE.GROUPER"});
    ::DeleteFileA((m_folder + "AutomationDouble.log").c_str());
    SetDrgCase(Record({"", "", "1", "", "1"}));
    Pass();
    EXPECT_TRUE(Logged("create ARDRG_GE.GROUPER")) << "the scout is missing: the fallback order";

    KeepOnly({});
    M("K ^ZEXT($J)");
    Shown();
    SetDrgCase(Record({"", "DRG^QEXT", "1", "", "2"}));
    Pass();
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, harness::ResourceText(IDS_GROUPER_MISSING));
    EXPECT_EQ(shown[0].id & MB_ICONMASK, MB_ICONEXCLAMATION);
    EXPECT_EQ(M("W $D(^ZEXT($J))"), "0") << "no callback";
}

TEST_F(OutsideServerTest, DrgCallsOfEachKindFollowTheirTables) {
    struct Kind {
        const char* grouper;
        const char* progId;
        Lines shapes;
    } kinds[] = {
        {"2", "Idgrouper.JKrgrouper", {"call 0x2F",      "put 0x33 BSTR",  "put 0x11 I4",    "put 0xF BSTR",
                                       "put 0xE BSTR",   "put 0x10 BSTR",  "put 0x14 I4",    "put 0x15 I4",
                                       "put 0x12 I4",    "put 0x17 I4",    "put 0x83 BSTR",  "put 0x3E I4",
                                       "put 0x9 BSTR",   "call 0x5C BSTR", "call 0x5D BSTR", "call 0x5D BSTR",
                                       "call 0x5D BSTR", "put 0x19 I4",    "put 0x82 BSTR",  "put 0x93 BSTR",
                                       "put 0x94 BSTR",  "put 0x92 BSTR",  "call 0x67",      "call 0x26 I4"}},
        {"1",
         "DRGscout.Grouper",
         {"call 0x60030058", "put 0x68030051 I2&", "put 0x6803002C BSTR&", "call 0x60030052 BSTR&",
          "call 0x60030052 BSTR&", "call 0x60030086 BSTR& BSTR&", "call 0x60030086 BSTR& BSTR&",
          "call 0x60030086 BSTR& BSTR&", "put 0x6803007A BSTR&", "put 0x68030003 BSTR&",
          "put 0x68030004 BSTR&", "put 0x68030005 BSTR&",
          "call 0x60030059 BSTR& BSTR& BSTR& BSTR& BSTR& BSTR& BSTR& BSTR&", "put 0x6803001B BSTR&",
          "put 0x6803001C I4&", "put 0x68030031 I2&", "call 0x60030055"}},
        {"3", "ARDRG_GE.GROUPER", {"call 0x9 I2",    "call 0x14 I2",  "call 0x34 I2",  "call 0x1",
                                   "call 0x3A I2",   "put 0x19 BSTR", "put 0x1A BSTR", "put 0x1B BSTR",
                                   "put 0x1C BSTR",  "put 0x8 I2",    "put 0x7 I2",    "put 0x1D I2",
                                   "put 0x4B I2",    "put 0x1E BSTR", "put 0x1F BSTR", "put 0x2F I2",
                                   "put 0x2F I2",    "put 0x20 I2",   "put 0x21 BSTR", "put 0x3C I2",
                                   "put 0x3E7 BSTR", "put 0x5 BSTR",  "put 0x54 BSTR", "call 0x3"}},
    };
    const Lines resultsA = {"get 0xA", "get 0xB",  "get 0xC",  "get 0xD",  "get 0xE", "get 0x2C",
                            "get 0xF", "get 0x10", "get 0x11", "get 0x40", "get 0x45"};
    const Lines resultsS = {"get 0x68030030", "get 0x68030041", "get 0x6803002F", "get 0x68030032",
                            "get 0x6803002E", "get 0x6803002E", "get 0x68030012", "get 0x68030040"};
    Lines resultsI;
    for (const char* id : {"0x29", "0x2A", "0x8", "0x27", "0x2D", "", "0x44", "", "", "0x52", "", ""}) {
        resultsI.push_back("get 0x52");
        resultsI.push_back("get 0x43");
        if (*id) resultsI.push_back(std::string("get ") + id);
    }
    for (Kind& k : kinds) {
        ::DeleteFileA((m_folder + "AutomationDouble.log").c_str());
        SetDrgCase(Record({"", "", "1", "id", k.grouper}));
        Pass();
        Lines expected = k.shapes;
        const Lines& results = k.grouper[0] == '2' ? resultsI : k.grouper[0] == '1' ? resultsS : resultsA;
        expected.insert(expected.end(), results.begin(), results.end());
        EXPECT_EQ(Shapes(k.progId), expected) << k.progId;
    }
}

TEST_F(OutsideServerTest, DrgValuesReachTheGroupersAndResultsComeBack) {
    Script({"Idgrouper.JKrgrouper get 0x29 result=F60Z", "Idgrouper.JKrgrouper get 0x2A result=Herz \"akut\"",
            "Idgrouper.JKrgrouper get 0x2D result=3", "Idgrouper.JKrgrouper get 0x44 result=7.5",
            "ARDRG_GE.GROUPER get 0xA result=A01", "ARDRG_GE.GROUPER get 0xB result=Erste",
            "ARDRG_GE.GROUPER get 0xC raise=Grouper abgest\xfcrzt"});
    SetDrgCase(Record({"", "DRG^QEXT", "1", "id", "2"}));
    Pass();
    EXPECT_TRUE(Logged("Idgrouper.JKrgrouper put 0x9 BSTR:I21.0"));
    EXPECT_TRUE(Logged("Idgrouper.JKrgrouper call 0x5C BSTR:E11.9"));
    EXPECT_TRUE(Logged("Idgrouper.JKrgrouper put 0x33 BSTR:id"));
    EXPECT_TRUE(Logged("Idgrouper.JKrgrouper put 0x93 BSTR:M\xfcller"));
    EXPECT_EQ(Drg("DRG"), "F60Z");
    EXPECT_EQ(Drg("DRGTEXT"), "Herz \"akut\"");
    EXPECT_EQ(Drg("PCCL"), "3.000000");
    EXPECT_EQ(Drg("DVWD"), "7.500000");
    EXPECT_EQ(Drg("PCCLTEXT"), "");

    ::DeleteFileA((m_folder + "AutomationDouble.log").c_str());
    SetDrgCase(Record({"1", "DRG^QEXT", "5", "", "1"}));
    Pass();
    EXPECT_TRUE(Logged("DRGscout.Grouper call 0x60030086 BSTR&:1-275.0, BSTR&:")) << "the third has no date";
    EXPECT_TRUE(Logged("DRGscout.Grouper call 0x60030086 BSTR&:8-837.00, BSTR&:02.03.2025"));
    EXPECT_TRUE(
        Logged("DRGscout.Grouper call 0x60030059 BSTR&:01.03.2025, BSTR&:10.03.2025, BSTR&:01.02.1950, "
               "BSTR&:1, BSTR&:01, BSTR&:12, BSTR&:2900, BSTR&:"));
    EXPECT_TRUE(Logged("DRGscout.Grouper put 0x68030031 I2&:5")) << "the variant";
    EXPECT_TRUE(Logged("DRGscout.Grouper put 0x6803001C I4&:100"));
    EXPECT_EQ(Drg("VERSION"), "KODIP DRG-Grouper");

    ::DeleteFileA((m_folder + "AutomationDouble.log").c_str());
    M("K ^ZEXT($J),^QTEMP(%JOB)");
    SetDrgCase(Record({"", "DRG^QEXT", "7", "", "3"}));
    Shown();
    // The service alone: the hub would remove what it kept.
    CRequestHub hub(TheSession(), m_form);
    vorlan::DRGGrouper(hub, nullptr);
    EXPECT_TRUE(Logged("ARDRG_GE.GROUPER put 0x2F I2:3100"));
    EXPECT_TRUE(Logged("ARDRG_GE.GROUPER put 0x2F I2:2900")) << "the admission weight comes last and stays";
    EXPECT_TRUE(Logged("ARDRG_GE.GROUPER put 0x3E7 BSTR:I21.0;E11.9;"));
    EXPECT_TRUE(Logged("ARDRG_GE.GROUPER put 0x5 BSTR:8-837.00;5-893.1;1-275.0;"));
    EXPECT_TRUE(Logged("ARDRG_GE.GROUPER call 0x3A I2:7"));
    EXPECT_EQ(M("W ^QTEMP(%JOB,\"%DRG\",1,\"DRG\")"), "A01");
    EXPECT_EQ(M("W ^QTEMP(%JOB,\"%DRG\",1,\"DRGTEXT\")"), "Erste") << "written before the exception: kept";
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"%DRG\",1,\"MDC\"))"), "0");
    EXPECT_EQ(M("W $D(^ZEXT($J))"), "0") << "no callback after an exception";
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Der externe DRG-Grouper wurde abgebrochen.");
}

TEST_F(OutsideServerTest, CodingOfATextWritesElevenFieldsPerResult) {
    Script({"KODIP.Diagnose get 0x68030061 result=3", "KODIP.Diagnose get 0x68030028 result=A00.0",
            "KODIP.Diagnose get 0x68030028 result=B01.1", "KODIP.Diagnose get 0x68030028 result=C02.\"2\"",
            "KODIP.Diagnose get 0x6803006A result=7"});
    Set("^QTEMP(%JOB,\"KODIP\")", Record({"1", "KODIP^QEXT"}));
    Set("^QTEMP(%JOB,\"KODIP\",\"EINGABETEXT\")", "Cholera");
    Pass();
    EXPECT_TRUE(Logged("KODIP.Diagnose put 0x68030030 BSTR&:Cholera"));
    EXPECT_TRUE(Logged("KODIP.Diagnose call 0x6003004C"));
    EXPECT_TRUE(Logged("KODIP.Diagnose put 0x68030060 I4&:3"));
    EXPECT_FALSE(Exists("KODIP")) << "the hub removes the results after the callback";
    M("S n=0,x=$NA(^ZEXT($J,\"KODIP\")) F  S x=$Q(@x) Q:x=\"\"!($QS(x,1)'=$J)!($QS(x,2)'=\"KODIP\")  S "
      "n=n+1");
    EXPECT_EQ(M("W n"), "33") << "11 fields x 3 results, the input text killed before";
    EXPECT_EQ(M("W ^ZEXT($J,\"KODIP\",3,\"ICD\"),\"|\",^ZEXT($J,\"KODIP\",1,\"FKODE1ID\")"), "C02.\"2\"|7");
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u) << "the callback's summary in the report step";
    EXPECT_EQ(shown[0].text, "Kodiert: A00.0, B01.1, C02.\"2\"");
}

TEST_F(OutsideServerTest, CodingOfACase) {
    // Nothing to code: the grouping and the dialog still run.
    Script({"KODIPclp.DiagnoseOP get 0x68030045 result=1", "KODIPclp.DiagnoseOP get 0x6803003F result=I21.0",
            "KODIPclp.DiagnoseOP get 0x68030043 result=1",
            "KODIPclp.DiagnoseOP get 0x68030038 result=1-275.0"});
    Set("^QTEMP(%JOB,\"KODIP\")", Record({"5", "KODIP^QEXT", "Fall 1"}));
    Pass();
    EXPECT_EQ(Shapes("KODIPclp.DiagnoseOP"),
              (Lines{"call 0x6003004C",
                     "put 0x6803003A BSTR&",
                     "put 0x68030055 BSTR&",
                     "put 0x68030052 BSTR&",
                     "put 0x68030051 BSTR&",
                     "put 0x68030053 BSTR&",
                     "put 0x68030057 BSTR&",
                     "call 0x6003005B BSTR& BSTR& BSTR& BSTR& BSTR& BSTR& BSTR& BSTR& BSTR& BSTR& BSTR&",
                     "put 0x68030050 BSTR&",
                     "put 0x68030046 BSTR&",
                     "call 0x6003004B",
                     "get 0x68030029",
                     "get 0x68030045",
                     "put 0x68030041 I4",
                     "get 0x6803003F",
                     "get 0x6803003E",
                     "get 0x6803002F",
                     "get 0x6803002C",
                     "get 0x6803002E",
                     "get 0x6803002D",
                     "get 0x6803002B",
                     "get 0x68030047",
                     "get 0x6803003D",
                     "get 0x68030043",
                     "put 0x6803003C I4",
                     "get 0x68030038",
                     "get 0x6803002E",
                     "get 0x68030030",
                     "get 0x68030047"}));
    EXPECT_EQ(M("W ^ZEXT($J,\"KODIP\",1,\"ICD10\"),\"|\",^ZEXT($J,\"KODIP\",\"OP\",1,\"OPS\")"),
              "I21.0|1-275.0");
    Shown();

    // Two diagnoses and a procedure go in; the user cancels.
    ::DeleteFileA((m_folder + "AutomationDouble.log").c_str());
    M("K ^ZEXT($J)");
    Script({"KODIPclp.DiagnoseOP get 0x68030029 result=1"});
    Set("^QTEMP(%JOB,\"KODIP\")", Record({"5", "KODIP^QEXT", "Fall 2"}));
    Set("^QTEMP(%JOB,\"KODIP\",1,\"TEXT\")", "Herzinfarkt");
    Set("^QTEMP(%JOB,\"KODIP\",1,\"ICD\")", "I21.0");
    Set("^QTEMP(%JOB,\"KODIP\",1,\"EXTERNID\")", "e1");
    Set("^QTEMP(%JOB,\"KODIP\",2,\"ICD\")", "E11.9");
    Set("^QTEMP(%JOB,\"KODIP\",\"OP\",1,\"OPS\")", "1-275.0");
    Set("^QTEMP(%JOB,\"KODIP\",\"OP\",1,\"HAUPTPROZKZ\")", "1");
    Pass();
    EXPECT_TRUE(
        Logged("KODIPclp.DiagnoseOP call 0x6003004D BSTR&:Herzinfarkt, BSTR&:, BSTR&:I21.0, BSTR&:, BSTR&:, "
               "BSTR&:, BSTR&:, BSTR&:, BSTR&:, BSTR&:, BSTR&:, BSTR&:, BSTR&:, BSTR&:, BSTR&:e1"));
    EXPECT_TRUE(
        Logged("KODIPclp.DiagnoseOP call 0x6003004E BSTR&:, BSTR&:1-275.0, BSTR&:1-275.0, BSTR&:, BSTR&:, "
               "BSTR&:, BSTR&:1, BSTR&:, BSTR&:"));
    EXPECT_FALSE(Logged("KODIPclp.DiagnoseOP get 0x68030045")) << "cancelled: no results read";
    EXPECT_EQ(M("W $D(^ZEXT($J))"), "0") << "no callback";
    EXPECT_TRUE(Shown().empty());
}

TEST_F(OutsideServerTest, FacadeTakesTheFirstCodeAttribute) {
    Script({"MmmHisFacadeCom.Start call 0x4 result=17",
            "MmmHisFacadeCom.Start call 0x8 result=<A ErrorCode=\"9\"><R Code=\"S42.3\"/><R "
            "Code=\"T01\"/></A>"});
    M("S %GBL=\"^ZEXT($J,\"\"FASSADE\"\")\",%ZZ=1,%PP=\"CODE\"");
    Set("^QTEMP(%JOB,\"KODIP\")", Record({"6", "KODIP^QEXT"}));
    Set("^QTEMP(%JOB,\"KODIP\",\"WJ\")", "2025");
    Set("^QTEMP(%JOB,\"KODIP\",\"ICDKEY\")", "Fraktur & \"Luxation\" <re>");
    Pass();
    EXPECT_TRUE(Logged("MmmHisFacadeCom.Start call 0x4 BSTR:KodipClient"));
    std::string coding;
    for (const std::string& line : Calls())
        if (line.rfind("MmmHisFacadeCom.Start call 0x8 ", 0) == 0) coding = line;
    EXPECT_EQ(coding.find("MmmHisFacadeCom.Start call 0x8 I4:17, BSTR:Coding, BSTR:<?xml version=\"1.0\" "
                          "encoding=\"utf-16\"?>"),
              0u)
        << coding;
    EXPECT_NE(
        coding.find("CodingCatVer=\"2025\" Mode =\"KD\" CodingText =\"Fraktur &amp; &quot;Luxation&quot; "
                    "&lt;re&gt;\""),
        std::string::npos)
        << coding;
    EXPECT_EQ(M("W ^ZEXT($J,\"FASSADE\",1,\"CODE\"),\"|\",^ZEXT($J,\"FASSADE\",1,\"CODE\",\"ICD\")"),
              "S42.3|S42.3");
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Kodiert: S42.3");
}

TEST_F(OutsideServerTest, CodingModesWithoutWork) {
    Set("^QTEMP(%JOB,\"KODIP\")", Record({"8", "KODIP^QEXT"}));
    Pass();
    EXPECT_TRUE(Calls().empty()) << "mode 8 creates nothing";
    EXPECT_TRUE(Shown().empty());

    KeepOnly({});
    Set("^QTEMP(%JOB,\"KODIP\")", Record({"3", "KODIP^QEXT"}));
    Pass();
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, harness::ResourceText(IDS_CODING_MISSING));
    EXPECT_EQ(M("W $D(^ZEXT($J))"), "0") << "no callback";
    EXPECT_FALSE(Exists("KODIP"));
}

TEST_F(OutsideServerTest, QualityFilterWritesThreeNodesPerResult) {
    Script({"QSFilter3M call 0x30 result=3", "QSFilter3M call 0x30 result=3", "QSFilter3M call 0x30 result=3",
            "QSFilter3M call 0x30 result=3", "QSFilter3M call 0x30 result=1", "QSFilter3M call 0x30 result=1",
            "QSFilter3M get 0x21 result=09/1", "QSFilter3M get 0x22 result=ja \"sofort\""});
    Set("^QTEMP(%JOB,\"QS-FILTER\",\"IKNRKH\")", "260123456");
    Set("^QTEMP(%JOB,\"QS-FILTER\",\"STATISTICSYEAR\")", "2025");
    Set("^QTEMP(%JOB,\"QS-FILTER\",\"PRUEFEFALL\")", "1");
    for (int c = 1; c <= 3; ++c) {
        std::string fall = "^QTEMP(%JOB,\"QS-FILTER\",\"FALL\"," + std::to_string(c) + ",";
        Set(fall + "\"AUFNNR\")", c == 3 ? "" : "A1");
        Set(fall + "\"ALTERJ\")", "70");
        Set("^QTEMP(%JOB,\"QS-FILTER\"," + std::to_string(c) + ",\"ENTGELT\",1)",
            "7001000" + std::to_string(c));
    }
    Pass();
    EXPECT_EQ(Shapes("QSFilter3M").front(), "call 0x5A I4");
    EXPECT_TRUE(Logged("QSFilter3M put 0x34 BSTR:260123456"));
    EXPECT_TRUE(Logged("QSFilter3M call 0x72 BSTR:2025"));
    EXPECT_TRUE(Logged("QSFilter3M put 0xC I4:70"));
    EXPECT_TRUE(Logged("QSFilter3M call 0x62 BSTR:70010002"));
    EXPECT_FALSE(Logged("QSFilter3M call 0x62 BSTR:70010003")) << "the case without AUFNNR is skipped";
    EXPECT_EQ(Shapes("QSFilter3M").back(), "call 0x5B I4");
    // The first case had three results, the second (same number) one: it overwrote index 1.
    EXPECT_EQ(M("W "
                "$D(^TEMPQSF($J,\"QS-FILTER\",\"A1\",3,\"BEZ\")),^TEMPQSF($J,\"QS-FILTER\",\"A1\",1,"
                "\"VERPFLICHTUNG\")"),
              "1ja \"sofort\"");
    EXPECT_EQ(M("W ^TEMPQSF($J,\"QS-FILTER\",\"A1\",2,\"MODUL\")"), "09/1");
    EXPECT_TRUE(Shown().empty());

    // No cases: opened, finished, closed; the results of before are gone.
    ::DeleteFileA((m_folder + "AutomationDouble.log").c_str());
    M("K ^QTEMP(%JOB)");
    Set("^QTEMP(%JOB,\"QS-FILTER\",\"IKNRKH\")", "1");
    Pass();
    EXPECT_EQ(Shapes("QSFilter3M"),
              (Lines{"call 0x5A I4", "put 0x34 BSTR", "call 0x72 BSTR", "call 0x36", "call 0x5B I4"}));
    EXPECT_EQ(M("W $D(^TEMPQSF($J))"), "0");

    KeepOnly({});
    Set("^TEMPQSF($J,\"alt\")", "1");
    Set("^QTEMP(%JOB,\"QS-FILTER\",\"IKNRKH\")", "1");
    Pass();
    auto shown = Shown();
    ASSERT_EQ(shown.size(), 1u) << "an empty result would read as nothing to document";
    EXPECT_EQ(shown[0].text, harness::ResourceText(IDS_QSFILTER_FAILED));
    EXPECT_EQ(M("W $D(^TEMPQSF($J))"), "0");
}

TEST_F(OutsideServerTest, QualityFormPassesItsFieldsAndWaitsUntilFinished) {
    Script(
        {"QSMED get 0x60020021 result=0", "QSMED get 0x60020021 result=0", "QSMED get 0x60020021 result=1"});
    auto request = [&](bool fields) {
        Set("^QTEMP(%JOB,\"QSMED\",\"USER\")", "demo");
        Set("^QTEMP(%JOB,\"QSMED\",\"PNAME\")", "M\xfcller");
        if (fields) {
            Set("^QTEMP(%JOB,\"QSMED\",\"FELD\",1,\"FELDNAME\")", "GEWICHT");
            Set("^QTEMP(%JOB,\"QSMED\",\"FELD\",1,\"FELDWERT\")", "2900");
            Set("^QTEMP(%JOB,\"QSMED\",\"FELD\",2,\"FELDNAME\")", "BEATMUNG");
            Set("^QTEMP(%JOB,\"QSMED\",\"FELD\",2,\"FELDWERT\")", "12");
        }
        Pass();
        EXPECT_FALSE(Exists("QSMED"));
    };
    request(false);
    EXPECT_EQ(Shapes("QSMED"),
              (Lines{"call 0x60020002 BSTR", "call 0x60020003 BSTR BSTR BSTR BSTR BSTR BSTR",
                     "call 0x60020004", "get 0x60020021", "get 0x60020021", "get 0x60020021",
                     "call 0x60020012", "call 0x6002001D", "call 0x6002000A", "call 0x6002000B"}))
        << "no field passed; the wait ends after the third answer";
    EXPECT_TRUE(Logged("QSMED call 0x60020002 BSTR:@@demo"));
    EXPECT_TRUE(Logged("QSMED call 0x60020003 BSTR:, BSTR:, BSTR:, BSTR:M\xfcller, BSTR:, BSTR:"));

    ::DeleteFileA((m_folder + "AutomationDouble.log").c_str());
    request(true);
    ::DeleteFileA((m_folder + "AutomationDouble.log").c_str());
    request(true);
    EXPECT_TRUE(Logged("QSMED call 0x60020008 BSTR:GEWICHT, BSTR:2900"))
        << "a second request passes its fields";
    EXPECT_TRUE(Logged("QSMED call 0x60020008 BSTR:BEATMUNG, BSTR:12"));
    EXPECT_EQ(M("W FIELD"), "3");
    EXPECT_TRUE(Shown().empty());
}

TEST_F(OutsideServerTest, TypedQualityDriverAnswersThroughItsSlots) {
    Script({"QSMED call 0x6002001C arg1=Version 3", "QSMED call 0x60020031 arg2=Bogen \"7\"",
            "QSMED call 0x60020037 raise=nicht angemeldet"});
    CComScope com;
    CQSMED qsmed;
    ASSERT_TRUE(qsmed.CreateDispatch("QSMED"));
    std::string text;
    EXPECT_EQ(qsmed.Get6002001C(text), S_OK);
    EXPECT_EQ(text, "Version 3");
    EXPECT_EQ(qsmed.Ask60020031(7, text), S_OK);
    EXPECT_EQ(text, "Bogen \"7\"");
    EXPECT_EQ(qsmed.Pass60020035("a", "b"), S_OK);
    EXPECT_NE(qsmed.Run60020037(), S_OK);
    qsmed.ReleaseDispatch();
    EXPECT_EQ(Shapes("QSMED"), (Lines{"call 0x6002001C BSTR&", "call 0x60020031 I4 BSTR&",
                                      "call 0x60020035 BSTR BSTR", "call 0x60020037"}));
}
