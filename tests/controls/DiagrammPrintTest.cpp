// The chart printed on one page through the test mode's print dialog onto the CUPS fixture's
// queue.
#include "controls/Diagramm.h"
#include "framework/App.h"
#include "framework/TestMode.h"
#include "tests/controls/ChartScript.h"
#include "tests/harness/Harness.h"
#include "tests/harness/PrintedPages.h"

#include <gtest/gtest.h>

TEST(DiagrammPrint, OnePageArrivesInTheQueue) {
    CWinApp app{"DiagrammPrintTest"};
    fw::TestMode::Enable("", "DiagrammPrintTest");
    CWnd::RegisterWindowClass(CDiagramm::kClassName, CS_DBLCLKS, nullptr, nullptr, nullptr);
    CWnd owner;
    ASSERT_TRUE(owner.CreateEx(0, "STATIC", "Formular", WS_OVERLAPPEDWINDOW | WS_VISIBLE, CRect(0, 0, 600, 400),
                               nullptr, 0));
    ScriptedArray array;
    array.header = std::string("Druckdiagramm\xA7X\xA7Y\xA7") + "0\xA7" "0\xA7" "10\xA7" "10\xA7" "1\xA7" "1\xA7" "16\xA7" "1\xA7" "15";
    array.series = {{"2\xA7" "1\xA7" "1\xA7" "Balken", {"2\xA7" "5", "5\xA7" "9"}}};
    CDiagramm::SetExecutor(array.Run());
    auto* chart = new CDiagramm;
    ASSERT_TRUE(chart->Create(owner, CRect(0, 0, 500, 300), 1));
    chart->SetWindowText(array.name.c_str());
    ASSERT_TRUE(chart->Content().valid);

    harness::ClearPrintFile();
    fw::TestMode::PushAnswer("dialog print printer:default");
    chart->SendMessage(WM_COMMAND, CDiagramm::kPrintCommand);
    std::vector<std::string> pages = harness::PrintedPages(90000);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("Druckdiagramm"), std::string::npos) << pages[0];
    bool asked = false;
    for (const fw::ShownItem& item : fw::TestMode::Shown())
        if (item.kind == "print") asked = true;
    EXPECT_TRUE(asked) << "the print dialog went through the application";

    chart->DestroyWindow();
    CDiagramm::SetExecutor(nullptr);
    owner.DestroyWindow();
    fw::TestMode::Disable();
}
