// Without any printer the preview says so and does not open.
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
    HMODULE language =
        ::LoadLibraryExA((harness::ExeFolder() + "VORLAND.DLL").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(language, nullptr);
    AfxSetResourceHandle(language);
    fw::TestMode::PushAnswer("dialog print printer:default");
    {
        CPrintPreview preview(nullptr, &Count, nullptr);
        EXPECT_EQ(preview.DoModal(), -1);
    }
    EXPECT_EQ(g_calls, 0) << "the painter never hears of a printer";
    char text[512] = {};
    ::LoadStringA(language, IDP_NO_PRINTER, text, sizeof text);
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0].kind, "print") << "the print dialog is offered when there is no default printer";
    EXPECT_EQ(shown[0].answer, IDCANCEL) << "even the script's choice finds no printer";
    EXPECT_EQ(shown[1].kind, "box");
    EXPECT_EQ(shown[1].text, text);
    EXPECT_TRUE(shown[1].id & MB_ICONEXCLAMATION);
    AfxSetResourceHandle(nullptr);
    ::FreeLibrary(language);
    fw::TestMode::Disable();
}
