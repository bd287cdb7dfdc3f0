// The chart in a test window over a scripted array: what it draws, its messages, its tooltip,
// its enlarged copy and its metafile on the clipboard.
#include "controls/Diagramm.h"
#include "framework/App.h"
#include "framework/TestMode.h"
#include "tests/controls/ChartScript.h"
#include "tests/harness/Harness.h"
#include "tests/harness/Pointer.h"

#include <gtest/gtest.h>

#include <string>

namespace {

constexpr char D = '\xA7';
constexpr COLORREF kRed = 0x0000FF, kGreen = 0x00FF00, kBlue = 0xFF0000;

std::string Rec(std::initializer_list<std::string> pieces) {
    std::string out;
    for (const std::string& p : pieces) {
        if (!out.empty() || &p != pieces.begin()) out += D;
        out += p;
    }
    return out;
}

// Title, captions, min X 10, min Y 0, max X 20, max Y 100, rasters 5 and 50, axis black,
// background white, raster colour number `raster`.
std::string Header(int raster) {
    return Rec(
        {"Titel", "X", "Y", "10", "0", "20", "100", "5", "50", "16", "1", std::to_string(raster), "0"});
}

LRESULT CALLBACK StandInTip(HWND h, UINT m, WPARAM w, LPARAM l) {
    return ::DefWindowProcA(h, m, w, l);
}

class DiagrammTest : public ::testing::Test {
  protected:
    CWinApp app{"DiagrammTest"};
    harness::LanguageLibrary language;
    CWnd owner;
    CDiagramm* chart = nullptr;
    ScriptedArray array;

    void SetUp() override {
        fw::TestMode::Enable("", "DiagrammTest");
        ASSERT_NE(language.Handle(), nullptr);
        // The form registers both classes; the tooltip's own procedure is the form's.
        CWnd::RegisterWindowClass(CDiagramm::kClassName, CS_DBLCLKS, nullptr, nullptr, nullptr);
        CWnd::RegisterWindowClass(CDiagramm::kToolTipClass, 0, nullptr, nullptr, nullptr, 0, StandInTip);
        ASSERT_TRUE(owner.CreateEx(0, "STATIC", "Formular",
                                   WS_OVERLAPPEDWINDOW | WS_VISIBLE | WS_CLIPCHILDREN, CRect(0, 0, 640, 480),
                                   nullptr, 0));
        app.m_pMainWnd = &owner;
        CDiagramm::SetExecutor(array.Run());
        chart = new CDiagramm;
        ASSERT_TRUE(chart->Create(owner, CRect(10, 10, 510, 410), 0x1001));
    }
    void TearDown() override {
        if (chart && chart->m_hWnd) chart->DestroyWindow();
        CDiagramm::SetExecutor(nullptr);
        app.m_pMainWnd = nullptr;
        owner.DestroyWindow();
        fw::TestMode::Disable();
    }
    void Load() { chart->SetWindowText(array.name.c_str()); }
    // The chart drawn into a memory bitmap of its client size; counts pixels of a colour.
    struct Picture {
        int width = 0, height = 0;
        std::vector<COLORREF> pixels;
        int Count(COLORREF c, int fromX = 0, int toX = 1 << 30) const {
            int n = 0;
            for (int y = 0; y < height; ++y)
                for (int x = std::max(0, fromX); x < std::min(width, toX); ++x)
                    if (pixels[static_cast<size_t>(y * width + x)] == c) ++n;
            return n;
        }
    };
    Picture Draw() {
        CRect client = chart->GetClientRect();
        Picture p;
        p.width = client.Width();
        p.height = client.Height();
        HDC screen = ::GetDC(nullptr);
        HDC memory = ::CreateCompatibleDC(screen);
        HBITMAP bitmap = ::CreateCompatibleBitmap(screen, p.width, p.height);
        HGDIOBJ old = ::SelectObject(memory, bitmap);
        chart->Draw(memory, client, false);
        for (int y = 0; y < p.height; ++y)
            for (int x = 0; x < p.width; ++x)
                p.pixels.push_back(::GetPixel(memory, x, y));
        ::SelectObject(memory, old);
        ::DeleteObject(bitmap);
        ::DeleteDC(memory);
        ::ReleaseDC(nullptr, screen);
        return p;
    }
};

} // namespace

TEST_F(DiagrammTest, AnInvalidHeaderShowsTheLastFailedRuleAndLeavesTheChartEmpty) {
    array.header = Rec({"T", "X", "Y", "0", "0", "0", "10", "0", "1"});
    fw::TestMode::ClearShown();
    Load();
    ASSERT_EQ(fw::TestMode::Shown().size(), 1u);
    EXPECT_EQ(fw::TestMode::Shown()[0].text,
              "Diagramm kann nicht dargestellt werden:\nMaximalwerte müssen größer Null sein!");
    EXPECT_FALSE(chart->Content().valid);
    Picture p = Draw();
    EXPECT_EQ(p.Count(::GetSysColor(COLOR_BTNFACE)), p.width * p.height) << "button face while empty";
}

TEST_F(DiagrammTest, TheRasterIsDrawnOnlyWithARasterColour) {
    array.header = Header(2); // red
    Load();
    ASSERT_TRUE(chart->Content().valid);
    EXPECT_GT(Draw().Count(kRed), 100);
    array.header = Header(0);
    Load();
    EXPECT_EQ(Draw().Count(kRed), 0);
}

TEST_F(DiagrammTest, KindThreeIsLoadedButNotDrawnAndXFifteenOfTenToTwentyIsMidAxis) {
    array.header = Header(0);
    array.series = {{Rec({"9", "3", "10", ""}), {Rec({"10", "0"}), Rec({"20", "100"})}},
                    {Rec({"12", "1", "5", ""}), {Rec({"15", "100", "Mitte"})}}};
    Load();
    ASSERT_EQ(chart->Content().series.size(), 2u);
    Picture p = Draw();
    EXPECT_EQ(p.Count(kGreen), 0) << "kind 3 draws nothing (without a legend text not even a row)";
    ASSERT_GT(p.Count(kBlue), 0);
    // The bar stands at the middle of the axis: as many blue pixels left as right of it.
    CRect client = chart->GetClientRect();
    int middle = chart::MapClient(client.Width(), client.Height(), false, 0).ToDeviceX(chart::kUnits / 2);
    int left = p.Count(kBlue, 0, middle), right = p.Count(kBlue, middle + 1);
    int first = p.width, last = -1;
    for (int y = 0; y < p.height; ++y)
        for (int x = 0; x < p.width; ++x)
            if (p.pixels[static_cast<size_t>(y * p.width + x)] == kBlue) {
                first = std::min(first, x);
                last = std::max(last, x);
            }
    EXPECT_LE(std::abs((first + last) / 2 - middle), 1)
        << first << ".." << last << " around " << middle << " " << left << " " << right;
}

TEST_F(DiagrammTest, TheTooltipShowsThePointTextAndPutsItsSeriesOnTop) {
    array.header = Header(0);
    array.series = {{Rec({"2", "2", "10", "erste"}), {Rec({"10", "0", "unten"})}},
                    {Rec({"9", "0", "10", "zweite"}), {Rec({"15", "50", "Punkt 15"})}}};
    Load();
    ::SetForegroundWindow(owner);
    ::SetActiveWindow(owner);
    harness::Pump();
    CRect client = chart->GetClientRect();
    chart::Mapping m = chart::MapClient(client.Width(), client.Height(), false, chart->LegendHeight());
    POINT at{m.ToDeviceX(chart::kUnits / 2), m.ToDeviceY(chart::kUnits / 2)};
    POINT screen = at;
    ::ClientToScreen(chart->m_hWnd, &screen);
    ASSERT_TRUE(harness::MovePointer(screen));
    chart->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(at.x, at.y));
    chart->SendMessage(WM_TIMER, CDiagramm::kTipTimer);
    chart->SendMessage(WM_TIMER, CDiagramm::kTipTimer);
    HWND tip = chart->ToolTipWindow();
    ASSERT_NE(tip, nullptr);
    EXPECT_EQ(harness::ClassOf(tip), CDiagramm::kToolTipClass);
    EXPECT_EQ(fw::WindowText(tip), "Punkt 15");
    EXPECT_EQ(chart->Content().series[0].text, "zweite") << "the hovered series moved to slot 0";
    // Off the point the tip goes.
    chart->SendMessage(WM_MOUSEMOVE, 0, MAKELPARAM(2, 2));
    EXPECT_EQ(chart->ToolTipWindow(), nullptr);
}

TEST_F(DiagrammTest, ADoubleClickOpensAnEnlargedCopyThatDeletesItselfWhenClosed) {
    array.header = Header(0);
    array.series = {{Rec({"9", "2", "10", "Reihe"}), {Rec({"10", "0", "a"}), Rec({"20", "100", "b"})}}};
    Load();
    chart->SendMessage(WM_LBUTTONDBLCLK, 0, MAKELPARAM(5, 5));
    HWND copy = ::FindWindowA(CDiagramm::kClassName, "Diagramm: Titel");
    ASSERT_NE(copy, nullptr);
    auto* enlarged = static_cast<CDiagramm*>(CWnd::FromHandlePermanent(copy));
    ASSERT_NE(enlarged, nullptr);
    EXPECT_FALSE(enlarged->IsEmbedded());
    EXPECT_EQ(enlarged->Content().series.size(), 1u);
    EXPECT_EQ(::GetParent(copy), nullptr);
    ::SendMessageA(copy, WM_CLOSE, 0, 0);
    harness::Pump();
    EXPECT_FALSE(::IsWindow(copy));
    EXPECT_EQ(CWnd::FromHandlePermanent(copy), nullptr);
}

TEST_F(DiagrammTest, ACopyPutsAMetafileDescribedAsVorlanAndTheArrayOnTheClipboard) {
    array.header = Header(2);
    Load();
    ::OpenClipboard(owner);
    ::EmptyClipboard();
    ::CloseClipboard();
    chart->SendMessage(WM_COPY);
    ASSERT_TRUE(::OpenClipboard(owner));
    auto picture = static_cast<HENHMETAFILE>(::GetClipboardData(CF_ENHMETAFILE));
    ASSERT_NE(picture, nullptr);
    char description[256] = {};
    UINT n = ::GetEnhMetaFileDescriptionA(picture, sizeof description, description);
    ::CloseClipboard();
    ASSERT_GT(n, 7u);
    EXPECT_STREQ(description, "VORLAN");
    EXPECT_STREQ(description + 7, array.name.c_str());
    // The command of the edit menu does the same.
    ::OpenClipboard(owner);
    ::EmptyClipboard();
    ::CloseClipboard();
    chart->SendMessage(WM_COMMAND, CDiagramm::kCopyCommand);
    EXPECT_TRUE(::IsClipboardFormatAvailable(CF_ENHMETAFILE));
}
