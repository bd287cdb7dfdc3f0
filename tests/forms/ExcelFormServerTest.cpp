// Excel from the forms against the fixture's dbserver and our Excel double (tests/com): the
// demo screen XLS hands the hub a cell list (F5) and leaves a template job that the save's
// Excel check fills, and the frame's command opens a workbook for administrators.
#include "framework/TestMode.h"
#include "resources/MainFrameIds.h"
#include "tests/com/ComDoubleClient.h"
#include "tests/forms/FormServerFixture.h"

#include <algorithm>
#include <string>
#include <vector>

using demotrace::Has;

namespace {

class ExcelFormTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        m_double = comdouble::ServerPath("Excel.Application");
        ASSERT_FALSE(m_double.empty()) << "the fixture registered the double";
        comdouble::ClearLog(m_double);
        theApp.WriteProfileString("Settings", "ExcelFormsFilePath", m_folder.c_str());
        fw::TestMode::ClearShown();
    }
    void TearDown() override {
        EXPECT_TRUE(comdouble::QuitServer(m_double, L"Excel.Application"));
        theApp.WriteProfileString("Settings", "ExcelFormsFilePath", "");
        FormServerTestBase::TearDown();
    }
    bool Logged(const std::string& line) {
        std::vector<std::string> log = comdouble::ReadLog(m_double);
        return std::find(log.begin(), log.end(), line) != log.end();
    }
    size_t Count(const std::string& begin) {
        std::vector<std::string> log = comdouble::ReadLog(m_double);
        return static_cast<size_t>(std::count_if(
            log.begin(), log.end(), [&](const std::string& l) { return l.rfind(begin, 0) == 0; }));
    }

    std::string m_double;
    std::string m_folder = harness::FreshFolder("excelform");
};

} // namespace

TEST_F(ExcelFormTest, F5HandsTheHubACellListForANewWorkbook) {
    LogIn();
    StartMemo("XLS");
    ASSERT_NE(Form(), nullptr);
    Trace();
    Key(VK_F5);
    Lines t = Trace();
    EXPECT_TRUE(Has(t, "CELLS^QXLS"));
    EXPECT_TRUE(Logged("Workbooks.Add call missing"));
    EXPECT_TRUE(Logged("Worksheet[Tabelle1].Name put BSTR:VORLAN - XLS"));
    EXPECT_TRUE(Logged("Range[VORLAN - XLS!A2].FormulaR1C1 put BSTR:Erika M\xFCller"));
    EXPECT_TRUE(Logged("Range[VORLAN - XLS!B2].FormulaR1C1 put R8:12.5")) << "flagged as a number";
    EXPECT_TRUE(Logged("Range[VORLAN - XLS!C2].FormulaR1C1 put BSTR:0815")) << "no flag: text";
    EXPECT_TRUE(Logged("Application.Visible put BOOL:true"));
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"EXCEL\"))"), "0");
}

TEST_F(ExcelFormTest, SavingFillsBothSheetsOfTheTemplate) {
    harness::WriteTextFile(m_folder + "Rechnung.xls",
                           "Rechnung!A1=B:2\r\nRechnung!A2=#1\r\nRechnung!B2=#2\r\n"
                           "Kopie!A1=A:2\r\nKopie!A2=<1\r\n");
    LogIn();
    StartMemo("XLS");
    ASSERT_NE(Form(), nullptr);
    Trace();
    Key(VK_RETURN, true);
    EXPECT_TRUE(Has(Trace(), "SAVE^QXLS"));
    EXPECT_TRUE(Logged("Range[Rechnung!A2].FormulaR1C1 put BSTR:Erika M\xFCller"))
        << "a text for a number marker";
    EXPECT_TRUE(Logged("Range[Rechnung!B2].FormulaR1C1 put R8:12.5"));
    EXPECT_TRUE(Logged("Range[Kopie!A2].FormulaR1C1 put BSTR:0815"));
    EXPECT_EQ(Count("Workbook[Rechnung.xls].SaveAs"), 1u) << "no SAVE: a temporary name, left open";
    EXPECT_TRUE(Logged("Application.Visible put BOOL:true"));
    EXPECT_EQ(Server("W $D(^QTEMP(%JOB,\"EXCEL\"))_$D(^FQS(%JOB))"), "00");
}

TEST_F(ExcelFormTest, FrameOpensAWorkbookForAdministrators) {
    harness::WriteTextFile(m_folder + "offen.xls", "T!A1=x\r\n");
    LogIn("admin", "admin");
    fw::TestMode::PushAnswer("dialog open path:" + m_folder + "offen.xls");
    frame->SendMessage(WM_COMMAND, ID_OPEN_EXCEL);
    harness::Pump();
    EXPECT_TRUE(Logged(
        "Workbooks.Open call BSTR:" + m_folder +
        "offen.xls, missing, BOOL:false, missing, missing, missing, missing, missing, missing, missing, "
        "missing, missing"));
    EXPECT_TRUE(Logged("Application.Visible put BOOL:true"));
    EXPECT_EQ(Count("Worksheet"), 0u) << "open-only reads no sheet";
}

TEST_F(ExcelFormTest, FrameCommandDoesNothingForOtherUsers) {
    LogIn();
    frame->SendMessage(WM_COMMAND, ID_OPEN_EXCEL);
    harness::Pump();
    EXPECT_EQ(Count("create"), 0u);
    for (const auto& item : fw::TestMode::Shown())
        EXPECT_NE(item.kind, "open") << "no workbook dialog";
}
