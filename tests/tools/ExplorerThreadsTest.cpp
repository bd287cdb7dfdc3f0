// The record explorer's workers on a hidden owner window: the watch reports changes deep in a
// record folder (Wine's own subtree watch does not), coalesces bursts, stops and ends at once on
// a missing folder; the preview renders pictures through the cache and text pages through its
// rich edit, hands every thumbnail to the window's image list, and stops mid-queue.
#include "framework/App.h"
#include "framework/TestMode.h"
#include "tests/harness/Harness.h"
#include "tests/imaging/Surface.h"
#include "tools/ExplorerThreads.h"

#include <gtest/gtest.h>

#include <functional>
#include <map>
#include <memory>
#include <string>
#include <vector>

using imgtest::Surface;

namespace {

using harness::Exists;

bool Near(uint32_t rgb, uint32_t wanted, int tolerance = 40) {
    for (int shift = 0; shift < 24; shift += 8) {
        int a = static_cast<int>((rgb >> shift) & 0xFF), b = static_cast<int>((wanted >> shift) & 0xFF);
        if (std::abs(a - b) > tolerance) return false;
    }
    return true;
}

// A bitmap's pixels, read before it is handed on.
struct Pixels {
    int width = 0, height = 0;
    std::vector<uint32_t> rgb;
    uint32_t At(int x, int y) const { return rgb[static_cast<size_t>(y * width + x)]; }
    bool HasInk() const {
        for (uint32_t p : rgb)
            if (!Near(p, 0xFFFFFF, 60)) return true;
        return false;
    }
};

Pixels Read(HBITMAP bitmap) {
    Pixels out;
    BITMAP info{};
    if (!::GetObjectA(bitmap, sizeof info, &info)) return out;
    out.width = info.bmWidth;
    out.height = info.bmHeight;
    Surface copy(out.width, out.height);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, bitmap);
    ::BitBlt(copy.dc(), 0, 0, out.width, out.height, dc, 0, 0, SRCCOPY);
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    for (int y = 0; y < out.height; ++y)
        for (int x = 0; x < out.width; ++x)
            out.rgb.push_back(copy.At(x, y));
    return out;
}

class ExplorerThreadsTest : public ::testing::Test {
  protected:
    void SetUp() override {
        fw::TestMode::Enable("", "ExplorerThreadsTest");
        m_owner = ::CreateWindowExA(0, "STATIC", "Explorer", WS_POPUP, 0, 0, 200, 100, nullptr, nullptr,
                                    nullptr, nullptr);
        ASSERT_NE(m_owner, nullptr);
        folder = harness::NewFolder("explthreads");
    }
    void TearDown() override {
        block.reset(); // stops first: the owner must outlive the workers
        MSG msg;
        while (::PeekMessageA(&msg, m_owner, WM_EXPLORER_UPDATEWINDOW, WM_EXPLORER_UPDATEWINDOW, PM_REMOVE))
            ::DeleteObject(reinterpret_cast<HBITMAP>(msg.lParam));
        ::DestroyWindow(m_owner);
        fw::TestMode::Disable();
    }

    // Takes the owner's posts of msg until `done` holds (checked after each) or boundMs pass;
    // each goes to `take`. False when the bound was reached.
    bool Pump(UINT msgId, DWORD boundMs, const std::function<void(const MSG&)>& take,
              const std::function<bool()>& done) {
        DWORD start = ::GetTickCount();
        for (;;) {
            MSG msg;
            while (::PeekMessageA(&msg, m_owner, msgId, msgId, PM_REMOVE)) {
                take(msg);
                if (done()) return true;
            }
            if (done()) return true;
            if (::GetTickCount() - start > boundMs) return false;
            ::Sleep(20);
        }
    }
    // Counts the watch's posts until none came for quietMs (at most boundMs).
    int CountTreeUpdates(DWORD quietMs, DWORD boundMs) {
        int posts = 0;
        DWORD start = ::GetTickCount(), last = start;
        for (;;) {
            MSG msg;
            while (::PeekMessageA(&msg, m_owner, WM_EXPLORER_UPDATETREE, WM_EXPLORER_UPDATETREE, PM_REMOVE)) {
                EXPECT_EQ(msg.wParam, 0u);
                ++posts;
                last = ::GetTickCount();
            }
            DWORD now = ::GetTickCount();
            if (now - last >= quietMs || now - start > boundMs) return posts;
            ::Sleep(20);
        }
    }
    bool TreeUpdateWithin(DWORD boundMs) {
        bool got = false;
        return Pump(
            WM_EXPLORER_UPDATETREE, boundMs, [&](const MSG&) { got = true; }, [&] { return got; });
    }
    bool EndsWithin(DWORD ms) { return ::WaitForSingleObject(block->idleEvent, ms) == WAIT_OBJECT_0; }
    // The watch arms its handles on its own thread: a probe in the record folder, written again
    // until it is reported, shows that it watches; the probe's posts are drained.
    void LetTheWatchArm(const std::string& record) {
        bool seen = false;
        for (int i = 0; i < 10 && !seen; ++i) {
            harness::WriteTextFile(record + "\\Probe " + std::to_string(i) + ".txt", "Probe");
            seen = TreeUpdateWithin(1500);
        }
        ASSERT_TRUE(seen);
        CountTreeUpdates(800, 5000);
    }

    CWinApp m_app{"ExplorerThreadsTest"};
    HWND m_owner = nullptr;
    std::string folder;
    std::unique_ptr<ExplorerThreadBlock> block = std::make_unique<ExplorerThreadBlock>();
};

TEST_F(ExplorerThreadsTest, WatchReportsPagesInLevelTwoFoldersOnceABurstIsOver) {
    std::string record = folder + "Akte";
    std::string pictures = record + "\\Befunde\\Bilder\\";
    ASSERT_TRUE(::CreateDirectoryA(record.c_str(), nullptr));
    ::CreateDirectoryA((record + "\\Befunde").c_str(), nullptr);
    ::CreateDirectoryA(pictures.c_str(), nullptr);
    StartWatchThread(*block, m_owner, nullptr, record);
    EXPECT_TRUE(block->IsRunning());
    LetTheWatchArm(record);

    harness::WriteTextFile(pictures + "Bild 001.jpg", "Seite");
    EXPECT_TRUE(TreeUpdateWithin(10000)) << "a page two levels down";
    CountTreeUpdates(800, 5000);

    // A folder made under a watched one is watched after the refresh.
    ::CreateDirectoryA((pictures + "Neu").c_str(), nullptr);
    EXPECT_TRUE(TreeUpdateWithin(10000));
    CountTreeUpdates(800, 5000);
    harness::WriteTextFile(pictures + "Neu\\Bild 001.jpg", "Seite");
    EXPECT_TRUE(TreeUpdateWithin(10000)) << "a page three levels down, in a folder made while watching";
    CountTreeUpdates(800, 5000);

    for (int i = 2; i <= 21; ++i)
        harness::WriteTextFile(pictures + "Bild 0" + std::to_string(i) + ".jpg", "Seite");
    int posts = CountTreeUpdates(1500, 15000);
    EXPECT_GE(posts, 1);
    EXPECT_LE(posts, 3) << "twenty new pages are one refresh, not twenty";

    ASSERT_TRUE(block->IsRunning());
    block->Stop();
    EXPECT_FALSE(block->IsRunning());
    EXPECT_EQ(block->thread, nullptr);
}

TEST_F(ExplorerThreadsTest, WatchReachesFoldersBeyondTheHandlesOfOneWait) {
    std::string record = folder + "Gross";
    ASSERT_TRUE(::CreateDirectoryA(record.c_str(), nullptr));
    for (int i = 0; i < 70; ++i)
        ::CreateDirectoryA((record + "\\Ordner " + std::to_string(i)).c_str(), nullptr);
    // Surveyed after all 70 of level 1: no handle of its own, nor one of its parent's.
    std::string deep = record + "\\Ordner 7\\Tief\\Tiefer";
    ::CreateDirectoryA((record + "\\Ordner 7\\Tief").c_str(), nullptr);
    ::CreateDirectoryA(deep.c_str(), nullptr);
    StartWatchThread(*block, m_owner, nullptr, record + "\\");
    LetTheWatchArm(record);
    harness::WriteTextFile(deep + "\\Bild 001.jpg", "Seite");
    EXPECT_TRUE(TreeUpdateWithin(10000));
    block->Stop();
    EXPECT_FALSE(block->IsRunning());
}

TEST_F(ExplorerThreadsTest, WatchOnAMissingFolderEndsAtOnceAndTheNextStartWorks) {
    StartWatchThread(*block, m_owner, nullptr, folder + "Fehlt");
    EXPECT_TRUE(EndsWithin(5000));
    block->Stop();
    EXPECT_EQ(block->thread, nullptr);

    StartWatchThread(*block, m_owner, nullptr, folder.substr(0, folder.size() - 1));
    EXPECT_TRUE(block->IsRunning());
    LetTheWatchArm(folder.substr(0, folder.size() - 1));
    block->Stop();
    EXPECT_FALSE(block->IsRunning());
}

class PreviewTest : public ExplorerThreadsTest {
  protected:
    static constexpr int kWidth = 100, kHeight = 80;
    static constexpr COLORREF kPlaceholder = RGB(255, 0, 255);

    void SetUp() override {
        ExplorerThreadsTest::SetUp();
        job.listFolder = folder + "Akte\\";
        job.thumbsFolder = folder + "Cache\\";
        job.thumbnailSize = SIZE{kWidth, kHeight};
        ::CreateDirectoryA(job.listFolder.c_str(), nullptr);
    }
    void TearDown() override {
        ExplorerThreadsTest::TearDown();
        if (m_images) ImageList_Destroy(m_images);
    }
    ExplorerListItem& Entry(const std::string& name, int slot) {
        m_entries.push_back(std::make_unique<ExplorerListItem>());
        ExplorerListItem& entry = *m_entries.back();
        lstrcpynA(entry.fileName, name.c_str(), MAX_PATH);
        entry.image = slot;
        job.queue.push_back(&entry);
        return entry;
    }
    // The window's thumbnail list with `slots` placeholders.
    HIMAGELIST Images(int slots) {
        m_images = ImageList_Create(kWidth, kHeight, ILC_COLOR32 | ILC_MASK, slots, 4);
        Surface placeholder(kWidth, kHeight, kPlaceholder);
        HBITMAP bitmap = static_cast<HBITMAP>(::GetCurrentObject(placeholder.dc(), OBJ_BITMAP));
        HBITMAP copy = static_cast<HBITMAP>(::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0));
        for (int i = 0; i < slots; ++i)
            ImageList_Add(m_images, copy, nullptr);
        ::DeleteObject(copy);
        return m_images;
    }
    uint32_t SlotPixel(int slot, int x, int y) {
        Surface drawn(kWidth, kHeight, RGB(255, 255, 255));
        ImageList_Draw(m_images, slot, drawn.dc(), 0, 0, ILD_NORMAL);
        return drawn.At(x, y);
    }
    // Runs the preview to its end, taking every thumbnail: slot -> count and the last pixels.
    void RunToEnd(std::map<int, int>& taken, std::map<int, Pixels>* pixels = nullptr) {
        StartPreviewThread(*block, m_owner, nullptr, job);
        ASSERT_TRUE(EndsWithin(60000));
        Pump(
            WM_EXPLORER_UPDATEWINDOW, 0, [&](const MSG& msg) { Take(msg, taken, pixels); },
            [] { return false; });
    }
    void Take(const MSG& msg, std::map<int, int>& taken, std::map<int, Pixels>* pixels) {
        auto bitmap = reinterpret_cast<HBITMAP>(msg.lParam);
        if (pixels) (*pixels)[static_cast<int>(msg.wParam)] = Read(bitmap);
        EXPECT_TRUE(TakeThumbnail(m_images, msg.wParam, msg.lParam));
        ++taken[static_cast<int>(msg.wParam)];
    }

    ExplorerPreviewJob job;
    std::vector<std::unique_ptr<ExplorerListItem>> m_entries;
    HIMAGELIST m_images = nullptr;
};

TEST_F(PreviewTest, PicturesAndTextPagesBecomeThumbnailsOfTheListsSize) {
    std::string pictures = PICTURES;
    ASSERT_TRUE(harness::CopyInto(pictures + "bild.jpg", job.listFolder));
    ASSERT_TRUE(harness::CopyInto(pictures + "bild.png", job.listFolder));
    std::string lines;
    for (int i = 0; i < 60; ++i)
        lines += std::string(70, 'M') + "\r\n";
    harness::WriteTextFile(job.listFolder + "Brief.txt", lines);
    harness::WriteTextFile(
        job.listFolder + "Befund.rtf",
        "{\\rtf1\\ansi{\\fonttbl{\\f0 Arial;}}\\f0\\fs96\\b MMMMMMMM\\par MMMMMMMM\\par MMMMMMMM}");
    harness::WriteTextFile(job.listFolder + "Notiz.doc", "kein Bild");
    Images(8);
    Entry("bild.jpg", 2);
    Entry("bild.png", 3);
    Entry("Brief.txt", 4);
    Entry("Befund.rtf", 5);
    Entry("Notiz.doc", 6);
    ExplorerListItem& done = Entry("bild.jpg", 7);
    done.rendered = 1;

    std::map<int, int> taken;
    std::map<int, Pixels> pixels;
    RunToEnd(taken, &pixels);
    EXPECT_EQ(taken, (std::map<int, int>{{2, 1}, {3, 1}, {4, 1}, {5, 1}}))
        << "one per slot; nothing for what is no picture or was rendered before";
    for (auto& [slot, p] : pixels) {
        EXPECT_EQ(p.width, kWidth) << slot;
        EXPECT_EQ(p.height, kHeight) << slot;
        EXPECT_TRUE(p.HasInk()) << slot;
        uint32_t centre = p.At(kWidth / 2, kHeight / 2);
        if (!Near(centre, 0xFFFFFF, 8)) { // white is the page's mask colour
            EXPECT_TRUE(Near(SlotPixel(slot, kWidth / 2, kHeight / 2), centre, 8)) << "in its slot " << slot;
        }
        EXPECT_FALSE(Near(SlotPixel(slot, kWidth / 2, kHeight / 2), 0xFF00FF, 8)) << slot;
    }
    EXPECT_TRUE(Near(SlotPixel(7, 50, 40), 0xFF00FF, 8))
        << "the slot of an entry rendered before is left alone";
    for (auto& entry : m_entries)
        EXPECT_EQ(entry->rendered, 1) << entry->fileName;
    EXPECT_TRUE(Exists(job.thumbsFolder + "Thumbs\\bild.jpg(100x80).jpg"));
    EXPECT_TRUE(Exists(job.thumbsFolder + "Thumbs\\bild.png(100x80).jpg"));
    EXPECT_FALSE(Exists(job.thumbsFolder + "Thumbs\\Brief.txt(100x80).jpg"));
    EXPECT_FALSE(TakeThumbnailWriteFailure(*block));
    EXPECT_TRUE(fw::TestMode::Shown().empty());

    // A cache that cannot be written: the thumbnail all the same, the failure kept for the window.
    job.thumbsFolder = folder + "Gesperrt\\";
    ::CreateDirectoryA(job.thumbsFolder.c_str(), nullptr);
    harness::WriteTextFile(job.thumbsFolder + "Thumbs", "eine Datei, kein Ordner");
    for (auto& entry : m_entries)
        entry->rendered = 0;
    taken.clear();
    RunToEnd(taken);
    EXPECT_EQ(taken.size(), 5u);
    EXPECT_TRUE(TakeThumbnailWriteFailure(*block));
    EXPECT_FALSE(TakeThumbnailWriteFailure(*block)) << "once";
    EXPECT_TRUE(fw::TestMode::Shown().empty()) << "no box from the worker";
}

TEST_F(PreviewTest, StopMidQueueKeepsWhatWasTakenAndARestartRendersTheRest) {
    constexpr int kEntries = 200;
    std::string text;
    for (int i = 0; i < 80; ++i)
        text += "Seite mit etwas Text, damit das Setzen ein wenig dauert.\r\n";
    Images(kEntries);
    for (int i = 0; i < kEntries; ++i) {
        std::string name = "Seite " + std::to_string(i) + ".txt";
        harness::WriteTextFile(job.listFolder + name, text);
        Entry(name, i);
    }

    std::map<int, int> taken;
    StartPreviewThread(*block, m_owner, nullptr, job);
    ASSERT_TRUE(Pump(
        WM_EXPLORER_UPDATEWINDOW, 20000, [&](const MSG& msg) { Take(msg, taken, nullptr); },
        [&] { return !taken.empty(); }));
    block->Stop();
    EXPECT_FALSE(block->IsRunning());
    int rendered = 0;
    for (int i = 0; i < kEntries; ++i) {
        rendered += m_entries[static_cast<size_t>(i)]->rendered;
        EXPECT_EQ(m_entries[static_cast<size_t>(i)]->rendered != 0, taken.count(i) == 1)
            << "entry " << i << ": rendered exactly when its thumbnail reached the list";
    }
    EXPECT_LT(rendered, kEntries) << "stopped before the end";
    MSG left;
    EXPECT_FALSE(
        ::PeekMessageA(&left, m_owner, WM_EXPLORER_UPDATEWINDOW, WM_EXPLORER_UPDATEWINDOW, PM_NOREMOVE));

    std::map<int, int> again;
    RunToEnd(again);
    EXPECT_EQ(static_cast<int>(again.size()), kEntries - rendered);
    for (auto& [slot, count] : again) {
        EXPECT_EQ(taken.count(slot), 0u) << "slot " << slot << " rendered twice";
        EXPECT_EQ(count, 1);
    }
    for (auto& entry : m_entries)
        EXPECT_EQ(entry->rendered, 1);
}

} // namespace
