// GRD printed from its preview onto the CUPS fixture's queue, read back through Ghostscript's
// text output: the server's headers and footer texts on every page, every row once. The demo
// makes 60 rows here instead of 2,000, so that every page can be printed and read.
#include "controls/GridCtrl.h"
#include "resources/MainFrameIds.h"
#include "tests/forms/FormServerFixture.h"
#include "tests/harness/PreviewPrinting.h"

#include <string>
#include <vector>

using harness::CountOf;
using harness::RowMark;

namespace {

constexpr int kRows = 60;

class GridPrintFormTest : public FormServerTestBase {
  protected:
    void SetUp() override {
        FormServerTestBase::SetUp();
        Once("S ^QGRD(\"ZEILEN\")=" + std::to_string(kRows));
    }
    void TearDown() override {
        Once("K ^QGRD(\"ZEILEN\"),^QGRD(\"FUSS\")");
        FormServerTestBase::TearDown();
    }
    CGridCtrl* OpenGrid() {
        LogIn();
        StartMemo("GRD");
        return Form() ? Form()->Grid() : nullptr;
    }
    // The form's print command, as the frame's print button sends it.
    void Open() { Form()->SendMessage(WM_COMMAND, ID_GRID_PRINT); }
    std::vector<std::string> Print(int pagesAcross, int first = 1, int last = 0) {
        std::vector<std::string> pages = harness::PrintPages([this] { Open(); }, pagesAcross, first, last);
        for (size_t i = 0; i < pages.size(); ++i)
            EXPECT_FALSE(pages[i].empty()) << "page " << first + i << " did not print alone";
        return pages;
    }
    static void HasHeaders(const std::string& page) {
        EXPECT_NE(page.find("Leistungen"), std::string::npos) << page;
        EXPECT_NE(page.find("Praxis Dr. Muster"), std::string::npos) << page;
        EXPECT_NE(page.find("Demo"), std::string::npos) << page;
        EXPECT_NE(page.find("Alle Preise in Euro"), std::string::npos) << "the extra footer line: " << page;
    }
};

} // namespace

TEST_F(GridPrintFormTest, EveryRowOnceUnderTheServersHeadersOnEveryPage) {
    CGridCtrl* grid = OpenGrid();
    ASSERT_NE(grid, nullptr);
    ASSERT_EQ(grid->GetRowCount(), kRows + 1);
    char folder[MAX_PATH];
    if (GetEnvironmentVariableA("VORLAN_ARTIFACTS", folder, sizeof folder)) {
        EXPECT_TRUE(harness::InPreview(
            [this] { Open(); }, 1,
            [&](HWND p) {
                // Drawn now, not when the loop gets round to it.
                RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
                CreateDirectoryA(folder, nullptr);
                // Best effort: other tests' desktops share the display.
                harness::SaveScreen(std::string(folder) + "\\grid-leistungen-preview.png");
                SendMessageA(p, WM_COMMAND, ID_PREVIEW_CLOSE, 0);
            }));
    }
    std::vector<std::string> pages = Print(1);
    ASSERT_GE(pages.size(), 2u) << "sixty rows do not fit one page";
    std::string all;
    for (size_t i = 0; i < pages.size(); ++i) {
        all += pages[i];
        HasHeaders(pages[i]);
        EXPECT_NE(pages[i].find(harness::PageNumbering(i + 1, pages.size(), 1)), std::string::npos)
            << pages[i];
        EXPECT_EQ(pages[i].find("Reihe"), std::string::npos) << "one page across has no band suffix";
    }
    for (int row = 1; row <= kRows; ++row)
        EXPECT_EQ(CountOf(all, RowMark(row)), 1u) << RowMark(row);
}

TEST_F(GridPrintFormTest, TwoPagesAcrossNumberTheRowBands) {
    ASSERT_NE(OpenGrid(), nullptr);
    std::vector<std::string> pages = Print(2);
    ASSERT_GE(pages.size(), 4u);
    ASSERT_EQ(pages.size() % 2, 0u);
    std::string all;
    for (size_t i = 0; i < pages.size(); ++i) {
        all += pages[i];
        HasHeaders(pages[i]);
        EXPECT_NE(pages[i].find(harness::PageNumbering(i + 1, pages.size(), 2)), std::string::npos)
            << pages[i];
    }
    for (int row = 1; row <= kRows; ++row)
        EXPECT_EQ(CountOf(all, RowMark(row)), 1u) << RowMark(row);
}

TEST_F(GridPrintFormTest, TheServersLeftFooterTextReplacesTheNumbering) {
    Once("S ^QGRD(\"FUSS\")=\"Praxis Muster intern\"");
    ASSERT_NE(OpenGrid(), nullptr);
    std::vector<std::string> pages = Print(1, 1, 1);
    ASSERT_EQ(pages.size(), 1u);
    EXPECT_NE(pages[0].find("Praxis Muster intern"), std::string::npos) << pages[0];
    EXPECT_EQ(pages[0].find("Seite"), std::string::npos) << pages[0];
    HasHeaders(pages[0]);
}
