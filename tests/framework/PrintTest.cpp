// Printers through the CUPS fixture's queue, the print dialogs in test mode, and the bars the
// print preview is made of.
#include "framework/App.h"
#include "framework/Controls.h"
#include "framework/Print.h"
#include "framework/SizableReBar.h"
#include "framework/TestMode.h"
#include "framework/ToolBarControls.h"
#include "tests/harness/Harness.h"
#include "tests/harness/PrintedPages.h"

#include <gtest/gtest.h>

namespace {

class PrintTest : public ::testing::Test {
  protected:
    void SetUp() override { fw::TestMode::Enable("", "PrintTest"); }
    void TearDown() override { fw::TestMode::Disable(); }
};

} // namespace

TEST_F(PrintTest, ScriptedDialogsChooseTheDefaultPrinterWithRangeOrSelection) {
    CWinApp app("FwTest");
    fw::TestMode::PushAnswer("dialog print printer:default pages:2-3");
    fw::TestMode::PushAnswer("dialog printsetup printer:default selection:1");
    CPrintDialog print(false, PD_RETURNDC, nullptr);
    ASSERT_EQ(print.DoModal(), IDOK);
    EXPECT_TRUE(print.PrintRange());
    EXPECT_FALSE(print.PrintSelection());
    EXPECT_EQ(print.m_pd.nFromPage, 2);
    EXPECT_EQ(print.m_pd.nToPage, 3);
    EXPECT_NE(print.m_pd.hDC, nullptr);
    EXPECT_EQ(fw::PrinterName(print.m_pd.hDevNames), "VORLAN-DRUCKER");

    CPrintDialog setup(true, PD_RETURNDC, nullptr);
    ASSERT_EQ(setup.DoModal(), IDOK);
    EXPECT_TRUE(setup.PrintSelection());
    HGLOBAL mode = nullptr, names = nullptr;
    setup.DetachBlocks(mode, names);
    EXPECT_EQ(fw::PrinterName(names), "VORLAN-DRUCKER");
    EXPECT_EQ(setup.m_pd.hDevNames, nullptr) << "the blocks are the caller's now";
    fw::FreePrinterBlocks(mode, names);
    EXPECT_EQ(mode, nullptr);

    CPrintDialog unanswered(false, PD_RETURNDC, nullptr);
    EXPECT_EQ(unanswered.DoModal(), IDCANCEL);
    EXPECT_EQ(unanswered.m_pd.hDC, nullptr);

    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 3u);
    EXPECT_EQ(shown[0].kind, "print");
    EXPECT_EQ(shown[0].text, "VORLAN-DRUCKER");
    EXPECT_EQ(shown[1].kind, "printsetup");
    EXPECT_EQ(shown[2].answer, IDCANCEL);
}

TEST_F(PrintTest, AScriptedPrinterNameChoosesThatQueue) {
    CWinApp app("FwTest");
    fw::TestMode::PushAnswer("dialog print printer:VORLAN-FAX");
    fw::TestMode::PushAnswer("dialog print printer:KEIN-DRUCKER");
    CPrintDialog fax(false, PD_RETURNDC, nullptr);
    ASSERT_EQ(fax.DoModal(), IDOK);
    EXPECT_NE(fax.m_pd.hDC, nullptr);
    EXPECT_EQ(fw::PrinterName(fax.m_pd.hDevNames), "VORLAN-FAX");
    ASSERT_NE(fax.m_pd.hDevMode, nullptr);
    auto* mode = static_cast<DEVMODEA*>(GlobalLock(fax.m_pd.hDevMode));
    EXPECT_STREQ(reinterpret_cast<const char*>(mode->dmDeviceName), "VORLAN-FAX");
    GlobalUnlock(fax.m_pd.hDevMode);

    CPrintDialog unknown(false, PD_RETURNDC, nullptr);
    EXPECT_EQ(unknown.DoModal(), IDCANCEL) << "a printer that is not there";
    EXPECT_EQ(unknown.m_pd.hDC, nullptr);

    // A preset device mode is the dialog's start; the printer chosen brings its own.
    fw::TestMode::PushAnswer("dialog print printer:default");
    CPrintDialog preset(false, PD_RETURNDC, nullptr);
    preset.PresetDevMode(1, true);
    auto* asked = static_cast<DEVMODEA*>(GlobalLock(preset.m_pd.hDevMode));
    ASSERT_NE(asked, nullptr);
    EXPECT_EQ(asked->dmCopies, 1);
    EXPECT_EQ(asked->dmColor, DMCOLOR_COLOR);
    EXPECT_EQ(asked->dmFields, static_cast<DWORD>(DM_COPIES | DM_COLOR));
    GlobalUnlock(preset.m_pd.hDevMode);
    ASSERT_EQ(preset.DoModal(), IDOK);
    auto* chosen = static_cast<DEVMODEA*>(GlobalLock(preset.m_pd.hDevMode));
    EXPECT_STREQ(reinterpret_cast<const char*>(chosen->dmDeviceName), "VORLAN-DRUCKER");
    GlobalUnlock(preset.m_pd.hDevMode);

    // A printer that refuses the document, for the callers' failure paths.
    fw::TestMode::PushAnswer("dialog print printer:default refuse:1");
    CPrintDialog refusing(false, PD_RETURNDC, nullptr);
    ASSERT_EQ(refusing.DoModal(), IDOK);
    CPrintJob job(refusing.m_pd.hDC, "VORLAN");
    EXPECT_FALSE(job.IsStarted());
    EXPECT_FALSE(job.StartPage());
}

// The preset orientation is where the dialog starts; what the user turns the paper to is
// what the printer context and the device mode then say.
TEST_F(PrintTest, ThePresetOrientationHoldsUntilTheUserTurnsThePaper) {
    CWinApp app("FwTest");
    struct Case {
        short preset;
        const char* script;
        short result;
    } cases[] = {
        {DMORIENT_LANDSCAPE, "dialog print printer:default", DMORIENT_LANDSCAPE},
        {DMORIENT_PORTRAIT, "dialog print printer:default", DMORIENT_PORTRAIT},
        {DMORIENT_LANDSCAPE, "dialog print printer:default orientation:portrait", DMORIENT_PORTRAIT},
        {DMORIENT_PORTRAIT, "dialog print printer:VORLAN-FAX orientation:landscape", DMORIENT_LANDSCAPE},
    };
    for (const Case& c : cases) {
        fw::TestMode::PushAnswer(c.script);
        CPrintDialog dialog(false, PD_RETURNDC, nullptr);
        dialog.PresetDevMode(1, true, c.preset);
        ASSERT_EQ(dialog.DoModal(), IDOK) << c.script;
        auto* mode = static_cast<DEVMODEA*>(GlobalLock(dialog.m_pd.hDevMode));
        ASSERT_NE(mode, nullptr);
        EXPECT_EQ(mode->dmOrientation, c.result) << c.script;
        EXPECT_EQ(mode->dmColor, DMCOLOR_COLOR) << c.script;
        GlobalUnlock(dialog.m_pd.hDevMode);
        ASSERT_NE(dialog.m_pd.hDC, nullptr);
        bool wide = GetDeviceCaps(dialog.m_pd.hDC, HORZRES) > GetDeviceCaps(dialog.m_pd.hDC, VERTRES);
        EXPECT_EQ(wide, c.result == DMORIENT_LANDSCAPE) << c.script;
    }
}

TEST_F(PrintTest, JobReachesTheQueuePageByPage) {
    harness::ClearPrintFile();
    PRINTDLGA pd{};
    ASSERT_TRUE(fw::GetDefaultPrinter(pd, true)) << "the fixture's queue is the default printer";
    CPrinterDC dc;
    dc.Attach(pd.hDC);
    {
        CPrintJob job(dc, "VORLAN");
        ASSERT_TRUE(job.IsStarted());
        for (const char* text : {"Erste Seite", "Zweite Seite"}) {
            ASSERT_TRUE(job.StartPage());
            ::TextOutA(dc, 300, 300, text, static_cast<int>(strlen(text)));
            ASSERT_TRUE(job.EndPage());
        }
        EXPECT_TRUE(job.End());
        EXPECT_FALSE(job.End()) << "a document ends once";
    }
    fw::FreePrinterBlocks(pd.hDevMode, pd.hDevNames);
    std::vector<std::string> pages = harness::PrintedPages(60000);
    ASSERT_EQ(pages.size(), 2u);
    EXPECT_NE(pages[0].find("Erste Seite"), std::string::npos) << pages[0];
    EXPECT_NE(pages[1].find("Zweite Seite"), std::string::npos) << pages[1];

    CPrintJob none(nullptr, "VORLAN");
    EXPECT_FALSE(none.IsStarted());
    EXPECT_FALSE(none.StartPage());
    EXPECT_FALSE(none.EndPage());
}

TEST(PrintBars, ControlsSitOverTheirSeparatorsAndTheBandFollowsTheParent) {
    static const char kHost[] = "FwPrintBarHost";
    ASSERT_TRUE(CWnd::RegisterWindowClass(kHost, 0, nullptr, nullptr, nullptr));
    CWnd host;
    ASSERT_TRUE(host.CreateEx(0, kHost, "Leiste", WS_OVERLAPPEDWINDOW | WS_CLIPCHILDREN,
                              CRect(0, 0, 400, 200), nullptr, 0));
    CSizableReBarTool rebar;
    ASSERT_TRUE(rebar.Create(host));
    EXPECT_FALSE(rebar.AddBar(nullptr));
    CToolBarCtrl bar;
    ASSERT_TRUE(bar.CreateEx(0, TBSTYLE_FLAT | CCS_NORESIZE | CCS_NODIVIDER | CCS_NOPARENTALIGN, 0,
                             CRect(0, 0, 300, 26), host, 2));
    TBBUTTON button{};
    button.iBitmap = I_IMAGENONE;
    button.idCommand = 100;
    button.fsState = TBSTATE_ENABLED;
    ASSERT_TRUE(bar.AddButtons(&button, 1));
    CWnd edit;
    ASSERT_TRUE(edit.CreateEx(0, "EDIT", "1", WS_CHILD | WS_VISIBLE, CRect(0, 0, 10, 18), bar, 7));
    ASSERT_EQ(fw::AddToolBarControl(bar, edit, 50, 0), 1);
    CRect place = bar.GetItemRect(1);
    RECT r{};
    ::GetWindowRect(edit, &r);
    ::MapWindowPoints(nullptr, bar, reinterpret_cast<POINT*>(&r), 2);
    EXPECT_EQ(r.left, place.left);
    EXPECT_EQ(r.right - r.left, 50);
    EXPECT_EQ(r.bottom - r.top, 18) << "the control keeps its height";

    ::SetParent(bar, rebar);
    ASSERT_TRUE(rebar.AddBar(bar));
    EXPECT_GT(rebar.GetHeight(), 0);
    host.SetWindowPos(nullptr, 0, 0, 520, 200, SWP_NOMOVE | SWP_NOZORDER);
    rebar.OnParentSize();
    EXPECT_EQ(rebar.GetWindowRect().Width(), host.GetClientRect().Width());
    host.DestroyWindow();
    CWnd::UnregisterWindowClass(kHost);
}

namespace {

void CALLBACK PressPrint(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dialog = ::GetActiveWindow();
    if (!dialog) dialog = ::FindWindowA("#32770", nullptr);
    if (!dialog) return;
    ::KillTimer(nullptr, id);
    ::PostMessageA(dialog, WM_COMMAND, IDOK, 0);
}

} // namespace

TEST(PrintReal, ThePrintDialogTakesAPresetDeviceMode) {
    CPrintDialog dialog(false, PD_RETURNDC | PD_NOSELECTION | PD_NOPAGENUMS | PD_USEDEVMODECOPIESANDCOLLATE,
                        nullptr);
    dialog.PresetDevMode(1, true, DMORIENT_LANDSCAPE);
    UINT_PTR timer = ::SetTimer(nullptr, 0, 300, PressPrint);
    int result = dialog.RunModal();
    ::KillTimer(nullptr, timer);
    EXPECT_EQ(result, IDOK);
    ASSERT_NE(dialog.m_pd.hDC, nullptr);
    EXPECT_EQ(fw::PrinterName(dialog.m_pd.hDevNames), "VORLAN-DRUCKER");
    EXPECT_GT(GetDeviceCaps(dialog.m_pd.hDC, HORZRES), GetDeviceCaps(dialog.m_pd.hDC, VERTRES))
        << "the preset orientation is the dialog's start";
}
