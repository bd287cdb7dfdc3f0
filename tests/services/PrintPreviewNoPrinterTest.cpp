// Without any printer the preview says so and does not open; and its labels over themed bars.
#include "framework/App.h"
#include "framework/TestMode.h"
#include "resources/PrintIds.h"
#include "services/PrintPreview.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

namespace {

int g_calls = 0;

int Count(int, CDC*, CPrintInfo*, void*) {
    ++g_calls;
    return 1;
}

} // namespace

TEST(PrintPreviewWithoutPrinter, ShowsTheMessageAndNoPreview) {
    fw::TestMode::Enable("", "PrintPreviewNoPrinter");
    CWinApp app("PreviewTest");
    harness::LanguageLibrary language;
    ASSERT_NE(language.Handle(), nullptr);
    fw::TestMode::PushAnswer("dialog print printer:default");
    {
        CPrintPreview preview(nullptr, &Count, nullptr);
        EXPECT_EQ(preview.DoModal(), -1);
    }
    EXPECT_EQ(g_calls, 0) << "the painter never hears of a printer";
    char text[512] = {};
    ::LoadStringA(language.Handle(), IDP_NO_PRINTER, text, sizeof text);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, "print") << "the print dialog is offered when there is no default printer";
    EXPECT_EQ(shown[0].answer, IDCANCEL) << "even the script's choice finds no printer";
    EXPECT_EQ(shown[1].kind, "box");
    EXPECT_EQ(shown[1].text, text);
    EXPECT_TRUE(shown[1].id & MB_ICONEXCLAMATION);
    fw::TestMode::Disable();
}

namespace {

class ThemedApp : public CWinApp {
  public:
    explicit ThemedApp(bool themed) : CWinApp("PreviewTest"), m_themed(themed) {}
    bool IsThemeActive() const override { return m_themed; }

  private:
    bool m_themed;
};

// A bar whose background is red.
class RedParent : public CWnd {
  public:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg != WM_ERASEBKGND) return CWnd::WindowProc(msg, wParam, lParam);
        RECT r{-1000, -1000, 1000, 1000};
        HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
        ::FillRect(reinterpret_cast<HDC>(wParam), &r, red);
        ::DeleteObject(red);
        return 1;
    }
};

COLORREF LabelBackground(bool themed) {
    ThemedApp app(themed);
    RedParent parent;
    EXPECT_TRUE(parent.CreateEx(0, "STATIC", "", WS_POPUP, CRect(0, 0, 200, 40), nullptr, 0));
    CTransparentStatic label;
    EXPECT_TRUE(label.Create("Seite", parent, 80, 1));
    HDC screen = ::GetDC(nullptr);
    HDC dc = ::CreateCompatibleDC(screen);
    HBITMAP bitmap = ::CreateCompatibleBitmap(screen, 80, 20);
    ::ReleaseDC(nullptr, screen);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    RECT all{0, 0, 80, 20};
    ::FillRect(dc, &all, static_cast<HBRUSH>(::GetStockObject(WHITE_BRUSH)));
    label.SendMessage(WM_ERASEBKGND, reinterpret_cast<WPARAM>(dc));
    COLORREF pixel = ::GetPixel(dc, 10, 10);
    ::SelectObject(dc, old);
    ::DeleteObject(bitmap);
    ::DeleteDC(dc);
    parent.DestroyWindow();
    return pixel;
}

} // namespace

TEST(TransparentLabel, ShowsItsParentsBackgroundOnlyWhileThemesDraw) {
    EXPECT_EQ(LabelBackground(true), RGB(255, 0, 0));
    EXPECT_NE(LabelBackground(false), RGB(255, 0, 0)) << "a plain static paints its own background";
}
