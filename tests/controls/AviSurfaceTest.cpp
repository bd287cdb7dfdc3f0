// The video surface over files made by ffmpeg at test time (VORLAN_VIDEOS): which files open,
// the period, frames that stop at the last one, and playing and stopping in quick turns.
#include "controls/AviSurface.h"
#include "framework/Wnd.h"
#include "tests/harness/Harness.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>
#include <vector>

namespace {

std::string Video(const char* name) {
    const char* folder = std::getenv("VORLAN_VIDEOS");
    return std::string(folder ? folder : ".") + "\\" + name;
}

class AviSurfaceTest : public ::testing::Test {
  protected:
    CWnd window;
    void SetUp() override {
        ASSERT_TRUE(window.CreateEx(WS_EX_TOPMOST, "STATIC", "Video", WS_POPUP | WS_VISIBLE, CRect(40, 40, 140, 120),
                                    nullptr, 0));
        harness::Pump();
    }
    void TearDown() override { window.DestroyWindow(); }
    // The frame's pixels as the window shows them.
    std::vector<COLORREF> Sample() {
        std::vector<COLORREF> pixels;
        HDC dc = ::GetDC(window);
        for (int y = 0; y < 48; ++y)
            for (int x = 0; x < 64; ++x)
                pixels.push_back(::GetPixel(dc, x, y));
        ::ReleaseDC(window, dc);
        return pixels;
    }
    static int Differences(const std::vector<COLORREF>& a, const std::vector<COLORREF>& b) {
        int n = 0;
        for (size_t i = 0; i < a.size() && i < b.size(); ++i)
            if (a[i] != b[i]) ++n;
        return n;
    }
};

} // namespace

TEST_F(AviSurfaceTest, CinepakAndMsVideo1OpenWithTheirSizeAndPeriod) {
    for (const char* name : {"cinepak.avi", "msvideo1.avi"}) {
        CAviSurface surface;
        ASSERT_EQ(surface.OpenFile(Video(name).c_str(), window, 1, 24), 1) << name;
        int w = 0, h = 0;
        surface.GetFrameSize(w, h);
        EXPECT_EQ(w, 64) << name;
        EXPECT_EQ(h, 48) << name;
        EXPECT_EQ(surface.Period(), 40u) << name << ": 25 frames a second";
        EXPECT_EQ(surface.FrameCount(), 10) << name;
    }
}

TEST_F(AviSurfaceTest, FilesWithoutADecodableVideoDoNotOpen) {
    for (const char* name : {"ffv1.avi", "sound.avi", "rate0.avi", "missing.avi"}) {
        CAviSurface surface;
        EXPECT_EQ(surface.OpenFile(Video(name).c_str(), window, 1, 24), 0) << name;
        int w = -1, h = -1;
        surface.GetFrameSize(w, h);
        EXPECT_EQ(w, 0) << name;
        EXPECT_EQ(surface.Play(), 0) << name;
    }
    CAviSurface other;
    EXPECT_EQ(other.OpenFile(Video("cinepak.avi").c_str(), window, 1, 16), 0) << "the section is 24-bit only";
}

TEST_F(AviSurfaceTest, WithoutTheLoopFlagTheLastFrameStaysWhileTheTimerTicks) {
    CAviSurface surface;
    ASSERT_EQ(surface.OpenFile(Video("cinepak.avi").c_str(), window, 1, 24), 1);
    surface.m_bLoop = false;
    ASSERT_EQ(surface.Play(), 1);
    ::Sleep(80);
    std::vector<COLORREF> early = Sample();
    EXPECT_TRUE(harness::WaitUntil([&] { return surface.CurrentFrame() >= 10; }, 3000));
    ::Sleep(100);
    std::vector<COLORREF> last = Sample();
    ::Sleep(300);
    std::vector<COLORREF> later = Sample();
    EXPECT_TRUE(surface.IsPlaying()) << "the timer still ticks";
    EXPECT_GT(Differences(early, last), 20) << "the frames changed while playing";
    EXPECT_EQ(Differences(last, later), 0) << "and not after the last one";
    int background = 0;
    for (COLORREF c : later)
        if (c == ::GetSysColor(COLOR_BTNFACE)) ++background;
    EXPECT_LT(background, static_cast<int>(later.size()) / 2) << "the frame is drawn";
    EXPECT_EQ(surface.Stop(), 1);
}

TEST_F(AviSurfaceTest, WithTheLoopFlagPlaybackGoesOnFromFrameZero) {
    CAviSurface surface;
    ASSERT_EQ(surface.OpenFile(Video("cinepak.avi").c_str(), window, 1, 24), 1);
    ASSERT_EQ(surface.Play(), 1);
    ::Sleep(600);
    EXPECT_LT(surface.CurrentFrame(), 10);
    surface.Stop();
}

TEST_F(AviSurfaceTest, PlayStopAndDeleteAHundredTimes) {
    for (int i = 0; i < 100; ++i) {
        auto* surface = new CAviSurface;
        ASSERT_EQ(surface->OpenFile(Video("cinepak.avi").c_str(), window, 1, 24), 1) << i;
        ASSERT_EQ(surface->Play(), 1) << i;
        if (i % 3 == 0) ::Sleep(45);
        if (i % 2 == 0) surface->Stop();
        delete surface;
    }
}
