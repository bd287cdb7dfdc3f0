// A grid in a test window printed through the preview onto the CUPS fixture's queue, read back
// through Ghostscript's text output.
#include "controls/GridCtrl.h"
#include "framework/App.h"
#include "framework/TestMode.h"
#include "resources/PrintIds.h"
#include "services/PrintPreview.h"
#include "tests/harness/Harness.h"
#include "tests/harness/PreviewPrinting.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <map>
#include <string>
#include <vector>

namespace {

constexpr int kRows = 60;

using harness::CountOf;
using harness::RowMark;

class GridPrintTest : public ::testing::Test {
  protected:
    CWinApp app{"GridPrintTest"};
    harness::LanguageLibrary language;
    CWnd owner;
    CGridCtrl grid{1, "Tahoma", 85, 2, 4, kRows + 1, 4, 20, 0, 1};
    std::map<std::string, std::string> server;
    std::vector<std::string> asked;

    void SetUp() override {
        fw::TestMode::Enable("", "GridPrintTest");
        ASSERT_NE(language.Handle(), nullptr);
        ASSERT_TRUE(owner.CreateEx(0, "STATIC", "Leistungen",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 800, 600),
                                   nullptr, 0));
        app.m_pMainWnd = &owner;
        ASSERT_TRUE(grid.Create(WS_CHILD | WS_VISIBLE, CRect(0, 0, 700, 500), owner, kGridControlId));
        const char* heads[] = {"Nummer", "Leistung", "Menge", "Preis"};
        for (int col = 0; col < 4; ++col) {
            grid.SetColumnWidth(col, 120);
            grid.SetItemText(0, col, heads[col]);
        }
        for (int row = 1; row <= kRows; ++row) {
            grid.SetItemText(row, 0, RowMark(row).c_str());
            grid.SetItemText(row, 1, "Beratung");
            grid.SetItemText(row, 2, "1");
            grid.SetItemText(row, 3, "Rechts");
        }
        grid.SetServerReader([this](const char* line) {
            asked.push_back(line);
            auto found = server.find(line);
            return found == server.end() ? std::string() : found->second;
        });
    }
    void TearDown() override {
        grid.DestroyWindow();
        app.m_pMainWnd = nullptr;
        owner.DestroyWindow();
        fw::TestMode::Disable();
    }

    void Open() { grid.PrintPreview("Links oben", "Leistungsliste", "Rechts oben"); }
    void InPreview(int pagesAcross, std::function<void(HWND)> then) {
        EXPECT_TRUE(harness::InPreview([this] { Open(); }, pagesAcross, std::move(then)));
    }
    std::vector<std::string> PrintAll(int pagesAcross) {
        std::vector<std::string> pages = harness::PrintPages([this] { Open(); }, pagesAcross);
        for (size_t i = 0; i < pages.size(); ++i)
            EXPECT_FALSE(pages[i].empty()) << "page " << i + 1 << " did not print alone";
        return pages;
    }
};

} // namespace

TEST_F(GridPrintTest, EveryRowPrintsOnceUnderTheHeadersOfEveryPage) {
    char folder[MAX_PATH];
    if (::GetEnvironmentVariableA("VORLAN_ARTIFACTS", folder, sizeof folder)) {
        InPreview(1, [&](HWND p) {
            // Drawn now, not when the loop gets round to it.
            ::RedrawWindow(p, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ALLCHILDREN);
            ::CreateDirectoryA(folder, nullptr);
            // Best effort: other tests' desktops share the display.
            harness::SaveScreen(std::string(folder) + "\\grid-preview.bmp");
            ::SendMessageA(p, WM_COMMAND, ID_PREVIEW_CLOSE, 0);
        });
    }
    std::vector<std::string> pages = PrintAll(1);
    ASSERT_GE(pages.size(), 2u) << "sixty rows do not fit one page";
    std::string all;
    for (size_t i = 0; i < pages.size(); ++i) {
        const std::string& page = pages[i];
        all += page;
        EXPECT_NE(page.find("Links oben"), std::string::npos) << page;
        EXPECT_NE(page.find("Leistungsliste"), std::string::npos) << page;
        EXPECT_NE(page.find("Rechts oben"), std::string::npos) << page;
        EXPECT_NE(page.find("Nummer"), std::string::npos) << "the fixed row repeats: " << page;
        EXPECT_NE(page.find(harness::PageNumbering(i + 1, pages.size(), 1)), std::string::npos) << page;
        EXPECT_EQ(page.find("Reihe"), std::string::npos) << "one page across has no band suffix";
        EXPECT_NE(page.find("GridPrintTest - Leistungen"), std::string::npos) << page;
    }
    for (int row = 1; row <= kRows; ++row)
        EXPECT_EQ(CountOf(all, RowMark(row)), 1u) << RowMark(row);
    EXPECT_NE(std::find(asked.begin(), asked.end(), "W $G(%WIN(\"SCRFOOT\",\"L\"))"), asked.end());
}

TEST_F(GridPrintTest, TwoPagesAcrossNumberTheRowBands) {
    std::vector<std::string> pages = PrintAll(2);
    ASSERT_GE(pages.size(), 4u);
    ASSERT_EQ(pages.size() % 2, 0u);
    std::string all;
    for (size_t i = 0; i < pages.size(); ++i) {
        all += pages[i];
        EXPECT_NE(pages[i].find(harness::PageNumbering(i + 1, pages.size(), 2)), std::string::npos)
            << pages[i];
        EXPECT_NE(pages[i].find("Leistungsliste"), std::string::npos) << "headers on every slice";
    }
    // The first column's texts print on the left slices only, each once.
    for (int row = 1; row <= kRows; ++row)
        EXPECT_EQ(CountOf(all, RowMark(row)), 1u) << RowMark(row);
    EXPECT_EQ(CountOf(pages[0], "Nummer"), 1u);
    EXPECT_EQ(CountOf(pages[2], "Nummer"), 0u) << "fixed rows only on the first band with pages across";
}

TEST_F(GridPrintTest, ServerFooterTextsReplaceTheDefaults) {
    server["W $G(%WIN(\"SCRFOOT\",\"L\"))"] = "Praxis Muster";
    server["W $G(%WIN(\"SCRFOOT\",\"C-EXTRA\"))"] = "Vertraulich";
    server["W $G(%MEMO)"] = "GRD";
    std::vector<std::string> pages = PrintAll(1);
    ASSERT_GE(pages.size(), 2u);
    for (const std::string& page : pages) {
        EXPECT_NE(page.find("Praxis Muster"), std::string::npos) << page;
        EXPECT_EQ(page.find("Seite"), std::string::npos) << "the server's text replaces the numbering";
        EXPECT_NE(page.find("Vertraulich"), std::string::npos) << page;
        EXPECT_NE(page.find("Leistungen [GRD]"), std::string::npos) << page;
    }
}
