// Scanning through Wine's TWAIN manager with the test source in place of its first source:
// the whole native transfer, pages of every depth saved as JPEG files and read back, cancel,
// a failing transfer, the unsigned count retry, the picture field's path, the source's
// events inside a system modal loop and the barcode library's absence.
#include "resources/ScanIds.h"
#include "tests/tools/ScanHarness.h"

#include <memory>

using scantest::Exists;
using scantest::PatternPSNR;

namespace {

// Runs a dialog box of the system's own (its loop, not ours) until `done` or the time is up;
// 1 when done.
INT_PTR RunSystemDialogUntil(const std::function<bool()>& done, DWORD timeoutMs) {
    struct Wait {
        std::function<bool()> done;
        DWORD start, timeout;
    } wait{done, ::GetTickCount(), timeoutMs};
    struct alignas(4) Template {
        DLGTEMPLATE dialog;
        WORD menu, windowClass, title;
    } tpl{};
    tpl.dialog.style = WS_POPUP | WS_CAPTION | DS_MODALFRAME;
    tpl.dialog.cx = 100;
    tpl.dialog.cy = 40;
    return ::DialogBoxIndirectParamA(
        nullptr, &tpl.dialog, nullptr,
        [](HWND dialog, UINT msg, WPARAM, LPARAM lParam) -> INT_PTR {
            if (msg == WM_INITDIALOG) {
                ::SetWindowLongPtrA(dialog, DWLP_USER, lParam);
                ::SetTimer(dialog, 1, 50, nullptr);
                return TRUE;
            }
            if (msg == WM_TIMER) {
                auto* w = reinterpret_cast<Wait*>(::GetWindowLongPtrA(dialog, DWLP_USER));
                if (w->done())
                    ::EndDialog(dialog, 1);
                else if (::GetTickCount() - w->start > w->timeout)
                    ::EndDialog(dialog, 0);
                return TRUE;
            }
            return FALSE;
        },
        reinterpret_cast<LPARAM>(&wait));
}

class ScanTest : public scantest::ScanFixture {
  protected:
    void SetUp() override {
        fw::TestMode::Enable("", "ScanTest");
        ASSERT_NE(m_language.Handle(), nullptr);
        ScanFixture::SetUp();
    }
    void TearDown() override {
        ScanFixture::TearDown();
        fw::TestMode::Disable();
    }

    CWinApp m_app{"ScanTest"};
    harness::LanguageLibrary m_language;
};

} // namespace

TEST_F(ScanTest, PagesOfEveryDepthBecomeNumberedJPEGsOfThePattern) {
    Scenario("pages=1,4,8,24,32\n");
    std::string pages = m_folder + "Akte\\Bilder";
    m_window.target.folder = pages;
    ::CreateDirectoryA((m_folder + "Akte").c_str(), nullptr);
    ::CreateDirectoryA(pages.c_str(), nullptr);
    for (int n = 1; n <= 9; ++n)
        harness::WriteTextFile(pages + "\\Bild 00" + std::to_string(n) + ".jpg", "");
    Scan();
    ASSERT_EQ(m_window.saved.size(), 5u);
    const int depths[5] = {1, 4, 8, 24, 32};
    for (int i = 0; i < 5; ++i) {
        std::string want = pages + "\\Bild 0" + std::to_string(10 + i) + ".jpg";
        EXPECT_EQ(m_window.saved[i], want);
        EXPECT_GT(PatternPSNR(want, depths[i]), 30.0) << depths[i] << " bits";
    }
    EXPECT_TRUE(fw::TestMode::Shown().empty());
    std::vector<std::string> t = Triplets();
    const char* order[] = {"DAT_IDENTITY|MSG_OPENDS",         "DAT_CAPABILITY|MSG_SET|INT16",
                           "DAT_USERINTERFACE|MSG_ENABLEDS",  "DAT_EVENT|MSG_PROCESSEVENT|XFERREADY",
                           "DAT_IMAGEINFO|MSG_GET",           "DAT_IMAGENATIVEXFER|MSG_GET|rc=6",
                           "DAT_PENDINGXFERS|MSG_ENDXFER",    "DAT_EVENT|MSG_PROCESSEVENT|CLOSEDSREQ",
                           "DAT_USERINTERFACE|MSG_DISABLEDS", "DAT_IDENTITY|MSG_CLOSEDS"};
    size_t at = 0;
    for (const char* step : order) {
        while (at < t.size() && t[at].find(step) == std::string::npos)
            ++at;
        EXPECT_LT(at, t.size()) << "missing or out of order: " << step;
    }
}

TEST_F(ScanTest, CancelBeforeAnyTransferLeavesNoFile) {
    Scenario("pages=24,24\ncancel=1\n");
    m_window.target.folder = m_folder + "leer";
    Scan();
    EXPECT_TRUE(m_window.saved.empty());
    EXPECT_FALSE(Exists(m_folder + "leer\\Bild 001.jpg"));
    std::vector<std::string> t = Triplets();
    EXPECT_TRUE(Has(t, "CLOSEDSREQ"));
    EXPECT_FALSE(Has(t, "DAT_IMAGEINFO"));
}

TEST_F(ScanTest, AFailingTransferResetsThePendingPages) {
    Scenario("pages=24,24,24\nfailxfer=2\n");
    m_window.target.folder = m_folder + "teil";
    Scan();
    ASSERT_EQ(m_window.saved.size(), 1u);
    EXPECT_TRUE(Exists(m_folder + "teil\\Bild 001.jpg"));
    EXPECT_FALSE(Exists(m_folder + "teil\\Bild 002.jpg"));
    std::vector<std::string> t = Triplets();
    EXPECT_TRUE(Has(t, "DAT_IMAGENATIVEXFER|MSG_GET|rc=1"));
    EXPECT_TRUE(Has(t, "DAT_PENDINGXFERS|MSG_RESET"));
    EXPECT_TRUE(Has(t, "DAT_STATUS|MSG_GET")) << "the status is asked after the failure";
}

TEST_F(ScanTest, ACheckStatusAnswerRetriesTheCountUnsigned) {
    Scenario("pages=8\ncheckstatus=1\n");
    m_window.target.folder = m_folder + "zahl";
    Scan();
    EXPECT_EQ(m_window.saved.size(), 1u);
    std::vector<std::string> t = Triplets();
    auto find = [&](const std::string& s) {
        for (size_t i = 0; i < t.size(); ++i)
            if (t[i].find(s) != std::string::npos) return i;
        return t.size();
    };
    size_t signedSet = find("DAT_CAPABILITY|MSG_SET|INT16|rc=2"), get = find("DAT_CAPABILITY|MSG_GET"),
           unsignedSet = find("DAT_CAPABILITY|MSG_SET|UINT16");
    ASSERT_LT(unsignedSet, t.size());
    EXPECT_LT(signedSet, get);
    EXPECT_LT(get, unsignedSet);
    EXPECT_EQ(m_window.GetImageCount(), -1);
}

TEST_F(ScanTest, ThePictureFieldsPageGoesToItsWindowText) {
    Scenario("pages=24\n");
    CWnd field;
    RECT r{0, 0, 50, 20};
    ASSERT_TRUE(field.CreateEx(0, "STATIC", "", WS_OVERLAPPEDWINDOW, r, nullptr, 0));
    std::string path = m_folder + "feld\\unten\\4711.jpg";
    ::SetWindowTextA(field.m_hWnd, path.c_str());
    m_window.target.targetWindow = field.m_hWnd;
    m_window.target.windowTextPath = true;
    Scan();
    ASSERT_EQ(m_window.saved.size(), 1u);
    EXPECT_EQ(m_window.saved[0], path);
    EXPECT_GT(PatternPSNR(path, 24), 30.0);
    field.DestroyWindow();
}

TEST_F(ScanTest, CancelInTheSourceDialogSelectsNothing) {
    Scenario("pages=24\n");
    ASSERT_TRUE(m_window.InitTwain(m_window.m_hWnd));
    scantest::DialogPresser press(::GetCurrentThreadId(), IDCANCEL);
    EXPECT_FALSE(m_window.SelectSource());
    EXPECT_TRUE(press.Pressed());
}

TEST_F(ScanTest, WithoutTheBarcodeLibraryThePageIsDropped) {
    Scenario("pages=24\nbarcode=4711-\"A\"\n");
    m_window.target.folder = m_folder + "code";
    m_window.target.barcode = true;
    Scan();
    ASSERT_EQ(m_window.saved.size(), 1u);
    EXPECT_TRUE(m_window.saved[0].empty());
    auto shown = fw::TestMode::Shown();
    ASSERT_EQ(shown.size(), 1u);
    EXPECT_EQ(shown[0].text, "Die Barcodelibrary konnte nicht geladen werden!");
}

TEST_F(ScanTest, TheSourceIsServedInsideTheSystemsModalLoops) {
    Scenario("pages=24,8\n");
    m_window.target.folder = m_folder + "modal";
    ASSERT_NO_FATAL_FAILURE(Select());
    ASSERT_TRUE(m_window.Acquire(-1));
    EXPECT_EQ(RunSystemDialogUntil([&] { return !m_window.IsSourceOpen(); }, 20000), 1);
    EXPECT_EQ(m_window.saved.size(), 2u);
    EXPECT_TRUE(Exists(m_folder + "modal\\Bild 002.jpg"));
}

// The manager is one per process: a second window joins the session the first opened, and
// each scans with its own source in turn, also after the opener has gone.
TEST_F(ScanTest, TwoWindowsShareTheManagerAndEachScans) {
    Scenario("pages=24\n");
    m_window.target.folder = m_folder + "first";
    auto other = std::make_unique<scantest::CScanWindow>();
    ASSERT_TRUE(other->Make());
    other->target.folder = m_folder + "second";
    ASSERT_TRUE(m_window.InitTwain(m_window.m_hWnd));
    ASSERT_TRUE(other->InitTwain(other->m_hWnd)) << "condition " << other->GetStatus().ConditionCode;

    auto scanWith = [](scantest::CScanWindow& window) {
        scantest::DialogPresser press(::GetCurrentThreadId(), IDOK);
        ASSERT_TRUE(window.SelectSource()) << "condition " << window.GetStatus().ConditionCode;
        EXPECT_TRUE(press.Pressed());
        ASSERT_TRUE(window.Acquire(-1)) << "condition " << window.GetStatus().ConditionCode;
        EXPECT_TRUE(window.RunUntilClosed(20000));
    };
    ASSERT_NO_FATAL_FAILURE(scanWith(*other));
    ASSERT_NO_FATAL_FAILURE(scanWith(m_window));
    EXPECT_TRUE(Exists(m_folder + "second\\Bild 001.jpg"));
    EXPECT_TRUE(Exists(m_folder + "first\\Bild 001.jpg"));

    // The opener leaves with its window; the other still picks and scans.
    m_window.ReleaseTwain();
    m_window.DestroyWindow();
    ASSERT_NO_FATAL_FAILURE(scanWith(*other));
    EXPECT_TRUE(Exists(m_folder + "second\\Bild 002.jpg"));

    // The last one out closes the manager: a new window opens it again.
    other->ReleaseTwain();
    ASSERT_TRUE(m_window.Make());
    ASSERT_TRUE(m_window.InitTwain(m_window.m_hWnd));
    ASSERT_NO_FATAL_FAILURE(scanWith(m_window));
    EXPECT_TRUE(Exists(m_folder + "first\\Bild 002.jpg"));
    other->DestroyWindow();
}
