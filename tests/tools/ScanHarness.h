#pragma once
// What the scanning tests share: a window that scans through Wine's TWAIN manager into
// pages, a presser for the manager's source dialog, the read-back of a page, and the
// fixture that points the test source at a scenario and a log.

#include "framework/App.h"
#include "framework/ModalLoop.h"
#include "framework/TestMode.h"
#include "framework/Wnd.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgDataSource.h"
#include "imaging/ImgMemBitmap.h"
#include "tests/harness/Harness.h"
#include "tests/tools/ScanPattern.h"
#include "tools/ScanPage.h"
#include "tools/Twain.h"

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <functional>
#include <sstream>
#include <string>
#include <thread>
#include <vector>

namespace scantest {

using harness::Exists;

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
inline double PatternPSNR(const std::string& path, int bits) {
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

// Points the test source at a scenario and a log in a fresh folder, and gives the test a
// scanning window. The language library comes from the test's folder.
class ScanFixture : public ::testing::Test {
  protected:
    void SetUp() override {
        m_folder = harness::NewFolder(FolderName());
        m_log = m_folder + "twain.log";
        ::SetEnvironmentVariableA("VORLAN_TWAIN_LOG", m_log.c_str());
        ASSERT_TRUE(m_window.Make());
    }
    void TearDown() override {
        m_window.ReleaseTwain();
        m_window.DestroyWindow();
    }
    virtual const char* FolderName() const { return "scan"; }
    void Scenario(const std::string& text) {
        harness::WriteTextFile(m_folder + "scenario.txt", text);
        ::SetEnvironmentVariableA("VORLAN_TWAIN_SCENARIO", (m_folder + "scenario.txt").c_str());
    }
    // Opens the manager and lets the user take the test source.
    void Select() {
        ASSERT_TRUE(m_window.InitTwain(m_window.m_hWnd));
        DialogPresser press(::GetCurrentThreadId(), IDOK);
        ASSERT_TRUE(m_window.SelectSource()) << "condition " << m_window.GetStatus().ConditionCode;
        EXPECT_TRUE(press.Pressed()) << "the manager shows its source dialog";
        EXPECT_STREQ(m_window.GetSource().ProductName, "VORLAN Testscanner");
    }
    // Selects the source and scans until it is closed.
    void Scan() {
        ASSERT_NO_FATAL_FAILURE(Select());
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

    std::string m_folder, m_log;
    CScanWindow m_window;
};

} // namespace scantest
