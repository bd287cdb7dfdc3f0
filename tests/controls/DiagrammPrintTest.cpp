// The chart printed on one page through the test mode's print dialog onto the CUPS fixture's
// queue.
#include "controls/Diagramm.h"
#include "framework/App.h"
#include "framework/TestMode.h"
#include "tests/controls/ChartScript.h"
#include "tests/harness/Harness.h"
#include "tests/harness/PrintedPages.h"

#include <gtest/gtest.h>

namespace {

class DiagrammPrint : public ::testing::Test {
  protected:
    CWinApp app{"DiagrammPrintTest"};
    CWnd owner;
    ScriptedArray array;
    CDiagramm* chart = nullptr;

    void SetUp() override {
        fw::TestMode::Enable("", "DiagrammPrintTest");
        CWnd::RegisterWindowClass(CDiagramm::kClassName, CS_DBLCLKS, nullptr, nullptr, nullptr);
        ASSERT_TRUE(owner.CreateEx(0, "STATIC", "Formular", WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                                   CRect(0, 0, 600, 400), nullptr, 0));
    }
    void TearDown() override {
        if (chart) chart->DestroyWindow();
        CDiagramm::SetExecutor(nullptr);
        owner.DestroyWindow();
        fw::TestMode::Disable();
    }
    // A chart of 0 to 10 on both axes with the Y raster given: wider steps up make it landscape.
    void Load(int yRaster) {
        array.header = std::string("Druckdiagramm\xA7X\xA7Y\xA7") +
                       "0\xA7"
                       "0\xA7"
                       "10\xA7"
                       "10\xA7"
                       "1\xA7" +
                       std::to_string(yRaster) +
                       "\xA7"
                       "16\xA7"
                       "1\xA7"
                       "15";
        array.series = {{"2\xA7"
                         "1\xA7"
                         "1\xA7"
                         "Balken",
                         {"2\xA7"
                          "5",
                          "5\xA7"
                          "9"}}};
        CDiagramm::SetExecutor(array.Run());
        chart = new CDiagramm;
        ASSERT_TRUE(chart->Create(owner, CRect(0, 0, 500, 300), 1));
        chart->SetWindowText(array.name.c_str());
        ASSERT_TRUE(chart->Content().valid);
    }
    // The pages of one print through the dialog that the script answers.
    std::vector<std::string> Print(const std::string& dialog) {
        harness::ClearPrintFile();
        fw::TestMode::PushAnswer(dialog);
        chart->SendMessage(WM_COMMAND, CDiagramm::kPrintCommand);
        return harness::PrintedPages(90000);
    }
    // How the printer driver says the job's paper lies.
    static std::string Orientation() {
        std::string job = harness::ReadTextFile(harness::PrintFile());
        size_t at = job.find("%%Orientation: ");
        if (at == std::string::npos) return "(none)";
        size_t end = job.find_first_of("\r\n", at);
        return job.substr(at + 15, end == std::string::npos ? std::string::npos : end - at - 15);
    }
};

} // namespace

TEST_F(DiagrammPrint, OnePageArrivesInTheQueue) {
    Load(1);
    std::vector<std::string> pages = Print("dialog print printer:default");
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("Druckdiagramm"), std::string::npos) << pages[0];
    bool asked = false;
    for (const fw::ShownItem& item : fw::TestMode::Shown())
        if (item.kind == "print") asked = true;
    EXPECT_TRUE(asked) << "the print dialog went through the application";
}

// The chart's orientation is where the dialog starts; the paper the user turns there is the
// paper the chart is printed on.
TEST_F(DiagrammPrint, TheOrientationIsTheChartsUnlessTheUserTurnsThePaper) {
    Load(2);
    ASSERT_EQ(chart->Content().orientation, 2) << "fewer steps up than across";
    struct Case {
        const char* dialog;
        const char* orientation;
    } cases[] = {
        {"dialog print printer:default", "Landscape"},
        {"dialog print printer:default orientation:portrait", "Portrait"},
    };
    for (const Case& c : cases) {
        ASSERT_EQ(Print(c.dialog).size(), 1u) << c.dialog;
        EXPECT_EQ(Orientation(), c.orientation) << c.dialog;
    }
}
