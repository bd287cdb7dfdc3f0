// Scanning through Wine's TWAIN manager with the test source in place of its first source:
// the whole native transfer, pages of every depth saved as JPEG files and read back, cancel,
// a failing transfer, the unsigned count retry, the picture field's path and the barcode
// library's absence.
#include "framework/App.h"
#include "framework/ModalLoop.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgDataSource.h"
#include "imaging/ImgMemBitmap.h"
#include "resources/ScanIds.h"
#include "tests/harness/Harness.h"
#include "tests/tools/ScanPattern.h"
#include "tools/ScanPage.h"
#include "tools/Twain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace {

bool Exists(const std::string& path) {
    return ::GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

// A window that scans: its pages go where the target says.
class CScanWindow : public CWnd, public CTwain {
  public:
    ScanPageTarget target;
    std::vector<std::string> saved;
    std::vector<int> depths;

    bool Make() {
        RECT r{0, 0, 200, 100};
        return CreateEx(0, "STATIC", "Scan", WS_OVERLAPPEDWINDOW, r, nullptr, 0);
    }
    void OnScanImage(HANDLE dib, const TW_IMAGEINFO& info) override {
        depths.push_back(info.BitsPerPixel);
        saved.push_back(SaveScannedPage(dib, target));
    }
    // Runs a pump of ours until the source is closed or the time is up.
    bool RunUntilClosed(DWORD timeoutMs) {
        CModalLoop loop(*this);
        DWORD start = ::GetTickCount();
        ::SetTimer(m_hWnd, 1, 50, nullptr);
        m_onTimer = [&] {
            if (!IsSourceOpen() || ::GetTickCount() - start > timeoutMs) loop.End(0);
        };
        loop.Run();
        ::KillTimer(m_hWnd, 1);
        m_onTimer = nullptr;
        return !IsSourceOpen();
    }

  protected:
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        if (msg == WM_TIMER && wParam == 1 && m_onTimer) {
            m_onTimer();
            return 0;
        }
        return CWnd::WindowProc(msg, wParam, lParam);
    }

  private:
    std::function<void()> m_onTimer;
};

// Presses a button of Wine's source dialog once it shows on the given thread.
class DialogPresser {
  public:
    DialogPresser(DWORD thread, int button) {
        m_worker = std::thread([this, thread, button] {
            // Wine starts threads on the process's first desktop; the dialog is on the test's.
            ::SetThreadDesktop(::GetThreadDesktop(thread));
            for (int i = 0; i < 200 && !m_stop; ++i, ::Sleep(50)) {
                HWND dialog = nullptr;
                ::EnumThreadWindows(
                    thread,
                    [](HWND w, LPARAM out) -> BOOL {
                        char cls[32] = {};
                        ::GetClassNameA(w, cls, sizeof cls);
                        if (std::string(cls) != "#32770" || !::IsWindowVisible(w)) return TRUE;
                        *reinterpret_cast<HWND*>(out) = w;
                        return FALSE;
                    },
                    reinterpret_cast<LPARAM>(&dialog));
                if (!dialog) continue;
                if (HWND list = harness::FindDescendant(dialog, "ListBox")) {
                    LRESULT at = ::SendMessageA(list, LB_FINDSTRING, static_cast<WPARAM>(-1),
                                                reinterpret_cast<LPARAM>("VORLAN Testscanner"));
                    if (at != LB_ERR) ::SendMessageA(list, LB_SETCURSEL, static_cast<WPARAM>(at), 0);
                }
                ::PostMessageA(dialog, WM_COMMAND, MAKEWPARAM(button, BN_CLICKED),
                               reinterpret_cast<LPARAM>(::GetDlgItem(dialog, button)));
                m_pressed = true;
                return;
            }
        });
    }
    ~DialogPresser() {
        m_stop = true;
        m_worker.join();
    }
    bool Pressed() const { return m_pressed; }

  private:
    std::thread m_worker;
    std::atomic<bool> m_stop{false};
    std::atomic<bool> m_pressed{false};
};

// Peak signal-to-noise ratio of a decoded page against the source's pattern, in dB.
double PatternPSNR(const std::string& path, int bits) {
    ImgFileSource source;
    if (source.Open(path.c_str()) != 0) return 0;
    ImgMemBitmap bitmap;
    ImgAnyDecoder decoder;
    try {
        decoder.DecodeToBitmap(&source, &bitmap, 32);
    } catch (const ImgTextException&) {
        return 0;
    }
    if (bitmap.GetWidth() != scanpattern::kWidth || bitmap.GetHeight() != scanpattern::kHeight) return 0;
    double sum = 0;
    for (int y = 0; y < scanpattern::kHeight; ++y) {
        const uint8_t* line = bitmap.GetLine(y);
        for (int x = 0; x < scanpattern::kWidth; ++x) {
            uint32_t want = scanpattern::PatternColor(bits, x, y);
            for (int c = 0; c < 3; ++c) {
                double d = double(line[4 * x + c]) - double((want >> (8 * c)) & 0xFF);
                sum += d * d;
            }
        }
    }
    double mse = sum / (3.0 * scanpattern::kWidth * scanpattern::kHeight);
    return mse == 0 ? 99 : 10 * std::log10(255.0 * 255.0 / mse);
}

class ScanTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fw::TestMode::Enable("", "ScanTest");
        m_language = ::LoadLibraryExA((harness::ExeFolder() + "VORLAND.DLL").c_str(), nullptr,
                                      LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(m_language, nullptr);
        AfxSetResourceHandle(m_language);
        m_folder = harness::NewFolder("scan");
        m_log = m_folder + "twain.log";
        ::SetEnvironmentVariableA("VORLAN_TWAIN_LOG", m_log.c_str());
        ASSERT_TRUE(m_window.Make());
    }
    void TearDown() override {
        m_window.ReleaseTwain();
        m_window.DestroyWindow();
        AfxSetResourceHandle(nullptr);
        ::FreeLibrary(m_language);
        fw::TestMode::Disable();
    }
    void Scenario(const std::string& text) {
        harness::WriteTextFile(m_folder + "scenario.txt", text);
        ::SetEnvironmentVariableA("VORLAN_TWAIN_SCENARIO", (m_folder + "scenario.txt").c_str());
    }
    // Opens the manager, lets the user take the test source and scans until it is closed.
    void Scan() {
        ASSERT_TRUE(m_window.InitTwain(m_window.m_hWnd));
        {
            DialogPresser press(::GetCurrentThreadId(), IDOK);
            ASSERT_TRUE(m_window.SelectSource()) << "condition " << m_window.GetStatus().ConditionCode;
            EXPECT_TRUE(press.Pressed()) << "the manager shows its source dialog";
        }
        EXPECT_STREQ(m_window.GetSource().ProductName, "VORLAN Testscanner");
        ASSERT_TRUE(m_window.Acquire(-1));
        EXPECT_TRUE(m_window.RunUntilClosed(20000)) << "the source asks to be closed";
    }
    // The log's lines that came with our identity, as "DG|DAT|MSG[|extra]".
    std::vector<std::string> Triplets() {
        std::vector<std::string> out;
        std::istringstream in(harness::ReadTextFile(m_log));
        for (std::string line; std::getline(in, line);) {
            if (line.compare(0, 18, "VORLAN experience|") != 0) continue;
            out.push_back(line.substr(18));
        }
        return out;
    }
    static bool Has(const std::vector<std::string>& lines, const std::string& part) {
        for (const auto& l : lines)
            if (l.find(part) != std::string::npos) return true;
        return false;
    }

    CWinApp m_app{"ScanTest"};
    HMODULE m_language = nullptr;
    std::string m_folder, m_log;
    CScanWindow m_window;
};

} // namespace

TEST_F(ScanTest, PagesOfEveryDepthBecomeNumberedJPEGsOfThePattern) {
    Scenario("pages=1,4,8,24,32\n");
    std::string pages = m_folder + "Akte\\Bilder";
    m_window.target.folder = pages;
    ::CreateDirectoryA((m_folder + "Akte").c_str(), nullptr);
    ::CreateDirectoryA(pages.c_str(), nullptr);
    for (int n = 1; n <= 9; ++n) harness::WriteTextFile(pages + "\\Bild 00" + std::to_string(n) + ".jpg", "");
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
    const char* order[] = {"DAT_IDENTITY|MSG_OPENDS",      "DAT_CAPABILITY|MSG_SET|INT16", "DAT_USERINTERFACE|MSG_ENABLEDS",
                           "DAT_EVENT|MSG_PROCESSEVENT|XFERREADY", "DAT_IMAGEINFO|MSG_GET", "DAT_IMAGENATIVEXFER|MSG_GET|rc=6",
                           "DAT_PENDINGXFERS|MSG_ENDXFER", "DAT_EVENT|MSG_PROCESSEVENT|CLOSEDSREQ",
                           "DAT_USERINTERFACE|MSG_DISABLEDS", "DAT_IDENTITY|MSG_CLOSEDS"};
    size_t at = 0;
    for (const char* step : order) {
        while (at < t.size() && t[at].find(step) == std::string::npos) ++at;
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
    DialogPresser press(::GetCurrentThreadId(), IDCANCEL);
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
