// The Excel export against a real dbserver and our Excel double (tests/com): templates
// filled from the server's values, saved or left open, the cell list of the hub's "%EXCEL"
// request, the workbook the user opens, the ProgID order and Excel missing. The double keeps
// its workbooks as text files ("sheet!cell=formula") and logs every call.
#include "app/VORLANApp.h"
#include "common/MQuote.h"
#include "framework/TestMode.h"
#include "resources/ServiceIds.h"
#include "services/ExcelExport.h"
#include "services/RequestHub.h"
#include "tests/app/AppFixture.h"
#include "tests/com/ComDoubleClient.h"
#include "tests/harness/Harness.h"
#include "tests/services/HubFixture.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

using vorlan::MQuote;

namespace {

std::string Formatted(UINT id, const std::string& a, const std::string& b) {
    CString s;
    s.FormatId(id, a.c_str(), b.c_str());
    return s.str();
}

class ExcelExportTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() {
        s_double = comdouble::ServerPath("Excel.Application");
        ASSERT_FALSE(s_double.empty()) << "the fixture registered the double";
    }
    void SetUp() override {
        ASSERT_NE(harness::DbServerPort(), 0);
        apptest::PrepareApp("ExcelExportTest", MakeClientLibraryTransport());
        theApp.WriteProfileInt("Settings", "DisableWaitDialog", 1);
        theApp.WriteProfileString("Settings", "ExcelFormsFilePath", m_folder.c_str());
        ASSERT_TRUE(theApp.Connect());
        ASSERT_NE(theApp.Login("127.0.0.1", harness::DbServerPort(), "", "", "", false), 0);
        M("S %JOB=$J,FSA=\"F\" K ^QTEMP(%JOB),^FQS(%JOB),^FQM(%JOB),^ZXLS");
        comdouble::ClearLog(s_double);
        comdouble::ScriptFailures(s_double, "");
        fw::TestMode::ClearShown();
    }
    void TearDown() override {
        if (!m_leftVisible) {
            EXPECT_TRUE(Log().empty() || WaitForEnd()) << "Excel stays only when it was shown";
        }
        EXPECT_TRUE(comdouble::QuitServer(s_double, L"Excel.Application"));
        M("K ^QTEMP(%JOB),^FQS(%JOB),^FQM(%JOB),^ZXLS");
        theApp.WriteProfileString("Settings", "ExcelFormsFilePath", "");
        apptest::ReleaseApp();
    }

    std::string M(const std::string& line) { return theApp.Execute(line.c_str()).str(); }
    void Job(int n, const std::string& name, const std::string& save,
             const std::string& sheet = std::string()) {
        std::string node = "^QTEMP(%JOB,\"EXCEL\"," + std::to_string(n);
        M("S " + node + ")=1," + node + ",\"NAME\")=" + MQuote(name) + "," + node +
          ",\"SAVE\")=" + MQuote(save) + "," + node + ",\"MAPPE\")=" + MQuote(sheet));
    }
    void Value(int job, const std::string& subscript, const std::string& value, const char* global = "^FQS") {
        M(std::string("S ") + global + "(%JOB," + std::to_string(job) + ",\"F\"," + MQuote(subscript) +
          ")=" + MQuote(value));
    }
    int Fill() {
        vorlan::ExcelRequest request;
        request.execute = [this](const std::string& line) { return M(line); };
        return vorlan::SendToExcel(request, false, false);
    }
    std::string Path(const std::string& name) { return m_folder + name; }
    void Workbook(const std::string& name, const std::string& lines) {
        harness::WriteTextFile(Path(name), lines);
    }
    std::vector<std::string> Log() { return comdouble::ReadLog(s_double); }
    // The log lines that begin with the text, in order.
    std::vector<std::string> Calls(const std::string& begin) {
        std::vector<std::string> found;
        for (const std::string& line : Log())
            if (line.rfind(begin, 0) == 0) found.push_back(line);
        return found;
    }
    bool Logged(const std::string& line) {
        std::vector<std::string> log = Log();
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    bool WaitForEnd() {
        return harness::WaitUntil([this] { return !Log().empty() && Log().back() == "end"; }, 10000);
    }
    bool Shown(const std::string& text) {
        for (const auto& item : fw::TestMode::Shown())
            if (item.text == text) return true;
        return false;
    }

    static std::string s_double;
    std::string m_folder = harness::FreshFolder("excel");
    bool m_leftVisible = false;
};
std::string ExcelExportTest::s_double;

} // namespace

TEST_F(ExcelExportTest, TemplateMarkersAreFilledColumnByColumnAndACopySaved) {
    Workbook("vorlage.xls", "Blatt!A1=C:2\r\nBlatt!A2=#-12\r\nBlatt!B1=#13\r\nBlatt!B2=>14\r\n"
                            "Blatt!C1=$^ZXLS(\"a\",1)\r\nBlatt!C2=$X) K ^ZXLS W (1\r\nBlatt!D1=#13\r\n");
    Job(1, "vorlage.xls", Path("ergebnis.xls"), "Blatt");
    Value(1, "U12", "3.5");
    Value(1, "U13", "$0815");
    Value(1, "V14", "");
    M("S ^ZXLS(\"a\",1)=\"Wert\"");
    EXPECT_EQ(Fill(), 1);

    EXPECT_EQ(
        harness::ReadTextFile(Path("ergebnis.xls")),
        "Blatt!A2=-3.5\r\nBlatt!B1=0815\r\nBlatt!C1=Wert\r\nBlatt!C2=$X) K ^ZXLS W (1\r\nBlatt!D1=#13\r\n")
        << "B2 emptied, A1 cleared, D1 outside the area";
    EXPECT_TRUE(Logged("Workbooks.Open call BSTR:" + Path("vorlage.xls") +
                       ", missing, BOOL:true, missing, missing, missing, missing, missing, missing, missing, "
                       "missing, missing"))
        << "read-only: the copy goes elsewhere";
    EXPECT_EQ(Calls("Range[Blatt!"),
              (std::vector<std::string>{
                  "Range[Blatt!A1].FormulaR1C1 get", "Range[Blatt!A1].ClearContents call",
                  "Range[Blatt!A1].FormulaR1C1 get", "Range[Blatt!A2].FormulaR1C1 get",
                  "Range[Blatt!A2].FormulaR1C1 put R8:-3.5", "Range[Blatt!B1].FormulaR1C1 get",
                  "Range[Blatt!B1].FormulaR1C1 put BSTR:0815", "Range[Blatt!B2].FormulaR1C1 get",
                  "Range[Blatt!B2].FormulaR1C1 put BSTR:", "Range[Blatt!C1].FormulaR1C1 get",
                  "Range[Blatt!C1].FormulaR1C1 put BSTR:Wert", "Range[Blatt!C2].FormulaR1C1 get"}))
        << "six cells; the cell with M code is left alone";
    EXPECT_EQ(M("W $D(^ZXLS)"), "10") << "the code in the cell never ran";
    EXPECT_TRUE(Logged("Workbook[vorlage.xls].SaveCopyAs call BSTR:" + Path("ergebnis.xls")));
    EXPECT_TRUE(Logged("Workbook[vorlage.xls].Close call BOOL:false, missing, missing"));
    EXPECT_TRUE(Logged("Application.Quit call"));
    EXPECT_TRUE(WaitForEnd()) << "Excel ends after Quit";
    EXPECT_EQ(harness::ReadTextFile(Path("vorlage.xls")).substr(0, 13), "Blatt!A1=C:2\r")
        << "the template stays";
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"EXCEL\"))_$D(^FQS(%JOB))"), "00");
}

TEST_F(ExcelExportTest, SaveNamingTheTemplateSavesItInPlace) {
    Workbook("selbst.xls", "T!A1=A:1\r\n");
    Job(1, "selbst.xls", Path("SELBST.XLS"));
    EXPECT_EQ(Fill(), 1);
    EXPECT_EQ(Calls("Workbooks.Open").size(), 1u);
    EXPECT_NE(Calls("Workbooks.Open")[0].find("missing, BOOL:false,"), std::string::npos) << "writable";
    EXPECT_TRUE(Logged("Workbook[selbst.xls].Save call"));
    EXPECT_EQ(harness::ReadTextFile(Path("selbst.xls")), "T!\r\n") << "A1 cleared and saved";
}

TEST_F(ExcelExportTest, WithoutSaveTwoWorkbooksGoToNumberedTemporaryNamesAndStayOpen) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    for (const char* n : {"~# 1 mappe.xls", "~# 2 mappe.xls"})
        DeleteFileA((std::string(temp) + n).c_str());
    Workbook("mappe.xls", "T!A1=A:1\r\n");
    Job(1, "mappe.xls", "");
    Job(2, "mappe.xls", "");
    EXPECT_EQ(Fill(), 1);
    std::vector<std::string> saved = Calls("Workbook[mappe.xls].SaveAs");
    ASSERT_EQ(saved.size(), 2u);
    EXPECT_EQ(saved[0].substr(0, saved[0].find(',')),
              "Workbook[mappe.xls].SaveAs call BSTR:" + std::string(temp) + "~# 1 mappe.xls");
    EXPECT_EQ(saved[1].substr(0, saved[1].find(',')),
              "Workbook[mappe.xls].SaveAs call BSTR:" + std::string(temp) + "~# 2 mappe.xls");
    EXPECT_NE(saved[0].find("I4:0"), std::string::npos) << "access mode 0";
    EXPECT_TRUE(Calls("Workbook[~# 1 mappe.xls].Close").empty()) << "both stay open";
    EXPECT_TRUE(Calls("Application.Quit").empty());
    EXPECT_TRUE(Logged("Application.Visible put BOOL:true"));
    EXPECT_TRUE(Logged("Application.UserControl put BOOL:true"));
    m_leftVisible = true;
}

TEST_F(ExcelExportTest, ARefusedWorkbookSkipsItsJobAndACancelLeavesAnOpenOneVisible) {
    char temp[MAX_PATH];
    GetTempPathA(sizeof temp, temp);
    harness::WriteTextFile(std::string(temp) + "~# 1 offen.xls", "belegt");
    DeleteFileA((std::string(temp) + "~# 2 offen.xls").c_str());
    Workbook("offen.xls", "T!A1=A:1\r\n");
    Job(1, "fehlt.xls", Path("nie.xls"));
    Job(2, "offen.xls", "");
    Job(3, "", Path("nie.xls"));
    EXPECT_EQ(Fill(), 0) << "the third job's dialog was cancelled";
    EXPECT_TRUE(Shown("Die Datei " + Path("fehlt.xls") + " wurde nicht gefunden.")) << "Excel's own reason";
    std::vector<std::string> saved = Calls("Workbook[offen.xls].SaveAs");
    ASSERT_EQ(saved.size(), 1u) << "the next job went on";
    EXPECT_NE(saved[0].find("~# 2 offen.xls"), std::string::npos) << "number 1 is taken: " << saved[0];
    EXPECT_EQ(harness::ReadTextFile(std::string(temp) + "~# 1 offen.xls"), "belegt");
    EXPECT_TRUE(Logged("Application.Visible put BOOL:true"))
        << "the open workbook is not lost in a hidden Excel";
    EXPECT_TRUE(Calls("Application.Quit").empty());
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"EXCEL\"))"), "10") << "a cancelled run leaves the data";
    m_leftVisible = true;
}

TEST_F(ExcelExportTest, ScriptedFailureOfAddIsShownAndTheListIsLeft) {
    comdouble::ScriptFailures(s_double, "Workbooks.Add=Zu viele Mappen ge\xF6"
                                        "ffnet.\r\n");
    M("S ^QTEMP(%JOB,\"EXCEL\",\"A1\")=1");
    vorlan::ExcelRequest request;
    request.execute = [this](const std::string& line) { return M(line); };
    EXPECT_EQ(vorlan::SendToExcel(request, false, true), 1);
    EXPECT_TRUE(Shown("Zu viele Mappen ge\xF6"
                      "ffnet."));
    EXPECT_TRUE(Calls("Range").empty());
    comdouble::ScriptFailures(s_double, "");
    m_leftVisible = true;
}

TEST_F(ExcelExportTest, SheetListIsFilledInServerOrderAndSavedOnce) {
    Workbook("drei.xls", "Eins!A1=A:1\r\nZwei!A1=A:1\r\nDrei!A1=A:1\r\n");
    Job(1, "drei.xls", Path("drei-aus.xls"));
    M("S ^QTEMP(%JOB,\"EXCEL\",1,\"MAPPE\",\"a\")=\"Drei\",^(\"b\")=\"Eins\",^(\"c\")=\"Zwei\"");
    EXPECT_EQ(Fill(), 1);
    EXPECT_EQ(Calls("Worksheets.Item"),
              (std::vector<std::string>{"Worksheets.Item get BSTR:Drei", "Worksheets.Item get BSTR:Eins",
                                        "Worksheets.Item get BSTR:Zwei"}));
    EXPECT_EQ(Calls("Workbook[drei.xls].SaveCopyAs").size(), 1u);
    EXPECT_EQ(harness::ReadTextFile(Path("drei-aus.xls")), "Eins!\r\nZwei!\r\nDrei!\r\n");
}

TEST_F(ExcelExportTest, MissingSheetAndBadAreaAreReportedWithFileAndSheet) {
    Workbook("fehler.xls", "T!A1=1:1\r\n");
    Job(1, "fehler.xls", Path("fehler-aus.xls"), "Fehlt");
    Job(2, "fehler.xls", Path("fehler-aus.xls"), "T");
    EXPECT_EQ(Fill(), 1);
    EXPECT_TRUE(Shown(Formatted(IDS_EXCEL_NO_SHEET, Path("fehler.xls"), "Fehlt")));
    EXPECT_TRUE(Logged("Workbook[fehler.xls].Close call BOOL:false, missing, missing"));
    EXPECT_TRUE(Shown(Formatted(IDS_EXCEL_BAD_AREA, Path("fehler.xls"), "T")));
    EXPECT_EQ(Calls("Range[T!A1].ClearContents").size(), 0u) << "the sheet is not filled";
    EXPECT_EQ(harness::ReadTextFile(Path("fehler-aus.xls")), "T!A1=1:1\r\n") << "the job goes on to saving";
}

TEST_F(ExcelExportTest, CellListOfTheHubGoesIntoANewVisibleWorkbook) {
    M("S %MEMO=\"XLS\",^QTEMP(%JOB,\"%EXCEL\")=1,^QTEMP(%JOB,\"EXCEL\",\"A1\")=\" Nr \",^(\"B1\")=\"Name\"");
    M("S ^QTEMP(%JOB,\"EXCEL\",\"A2\")=42,^(\"A2\",\"F\")=1,^QTEMP(%JOB,\"EXCEL\",\"B2\")=\"0815\"");
    M("S ^QTEMP(%JOB,\"EXCEL\",\"ZZZ0\")=\"nicht\",%RTN=\"BUSY^QCC(\"\"Liste\"\")\" K "
      "^%CONTROL($J,\"BUSY\")");
    hubtest::FormDouble form;
    CRequestHub(TheSession(), form).Run();
    EXPECT_EQ(M("W $G(^%CONTROL($J,\"BUSY\"))"), "Liste") << "the print routine ran";
    EXPECT_TRUE(Logged("Workbooks.Add call missing"));
    EXPECT_TRUE(Logged("Worksheet[Tabelle1].Name put BSTR:VORLAN - XLS"));
    EXPECT_TRUE(Logged("Range[VORLAN - XLS!A1].FormulaR1C1 put BSTR:Nr")) << "trimmed";
    EXPECT_TRUE(Logged("Range[VORLAN - XLS!A2].FormulaR1C1 put R8:42"));
    EXPECT_TRUE(Logged("Range[VORLAN - XLS!B2].FormulaR1C1 put BSTR:0815")) << "no flag: text";
    EXPECT_TRUE(Logged("Application.Visible put BOOL:true"));
    EXPECT_TRUE(Logged("Application.UserControl put BOOL:true"));
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"%EXCEL\"))_$D(^QTEMP(%JOB,\"EXCEL\"))"), "00") << "the hub removed both";
    m_leftVisible = true;
}

TEST_F(ExcelExportTest, ASheetNameExcelRefusesKeepsTheCells) {
    M("S %MEMO=\"XLS/2026\",^QTEMP(%JOB,\"%EXCEL\")=1,^QTEMP(%JOB,\"EXCEL\",\"A1\")=\"Nr\"");
    M("S ^QTEMP(%JOB,\"EXCEL\",\"B2\")=7,^(\"B2\",\"F\")=1,%RTN=\"BUSY^QCC(\"\"Liste\"\")\"");
    hubtest::FormDouble form;
    CRequestHub(TheSession(), form).Run();
    EXPECT_TRUE(Logged("Worksheet[Tabelle1].Name put BSTR:VORLAN - XLS/2026"));
    EXPECT_TRUE(Logged("  raises Der eingegebene Blattname ist ung\xFCltig.")) << "Excel refused it";
    EXPECT_TRUE(Logged("Range[Tabelle1!A1].FormulaR1C1 put BSTR:Nr"));
    EXPECT_TRUE(Logged("Range[Tabelle1!B2].FormulaR1C1 put R8:7"));
    EXPECT_TRUE(Logged("Application.Visible put BOOL:true"));
    m_leftVisible = true;
}

TEST_F(ExcelExportTest, OpenOnlyShowsTheChosenWorkbook) {
    Workbook("offen.xls", "T!A1=x\r\n");
    fw::TestMode::PushAnswer("dialog open path:" + Path("offen.xls"));
    vorlan::ExcelRequest request;
    request.execute = [this](const std::string& line) { return M(line); };
    EXPECT_EQ(vorlan::SendToExcel(request, true, false), 1);
    EXPECT_NE(Calls("Workbooks.Open")[0].find("missing, BOOL:false,"), std::string::npos);
    EXPECT_TRUE(Logged("Application.Visible put BOOL:true"));
    m_leftVisible = true;

    fw::TestMode::ClearShown();
    EXPECT_EQ(vorlan::SendToExcel(request, true, false), 0) << "cancelled";
}

TEST_F(ExcelExportTest, ProgIdsAreTriedNewestFirstAndNoneMeansExcelIsMissing) {
    ASSERT_TRUE(
        comdouble::RunRegistration(s_double, "/UnregServer", "Excel.Application.8 Excel.Application.5"));
    ASSERT_TRUE(comdouble::RunRegistration(s_double, "/RegServer", "Excel.Application.5"));
    Workbook("p.xls", "T!A1=A:1\r\n");
    Job(1, "p.xls", Path("p-aus.xls"));
    EXPECT_EQ(Fill(), 1);
    EXPECT_TRUE(Logged("create Excel.Application.5"));
    ASSERT_TRUE(comdouble::RunRegistration(s_double, "/RegServer", "Excel.Application.8"));
    WaitForEnd();
    comdouble::ClearLog(s_double);
    Job(1, "p.xls", Path("p-aus.xls"));
    EXPECT_EQ(Fill(), 1);
    EXPECT_TRUE(Logged("create Excel.Application.8"));
    WaitForEnd();

    ASSERT_TRUE(comdouble::RunRegistration(s_double, "/UnregServer", ""));
    Job(1, "p.xls", Path("p-aus.xls"));
    EXPECT_EQ(Fill(), 0);
    EXPECT_TRUE(Shown(harness::ResourceText(IDS_EXCEL_NOT_INSTALLED)));
    EXPECT_EQ(M("W $D(^QTEMP(%JOB,\"EXCEL\"))"), "10") << "the data stays";
    EXPECT_TRUE(comdouble::RunRegistration(s_double, "/RegServer", "Excel.Application"));
}
