// The Windows side of the layer: bitmaps from and to GDI and the clipboard, resources, and the
// codes of files that cannot be opened.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgWinBitmap.h"
#include "tests/harness/Harness.h"
#include "tests/imaging/BmpBytes.h"
#include "tests/imaging/Surface.h"

#include "tests/imaging/ImgTestCode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <thread>

using imgtest::MakeBmp;
using imgtest::Surface;

using imgtest::CodeOf;

namespace {

// A 2 x 2 picture: red, green / blue, white (0xRRGGBB).
const uint32_t kQuad[2][2] = {{0xFF0000, 0x00FF00}, {0x0000FF, 0xFFFFFF}};

void FillQuad(ImgWinBitmap& b) {
    b.Create(2, 2, 32);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            std::memcpy(b.GetLine(y) + 4 * x, &kQuad[y][x], 4);
}

// A DIB section of the depth holding the quad (by palette where it has one).
HBITMAP QuadSection(int bpp) {
    struct {
        BITMAPINFOHEADER h;
        RGBQUAD colours[256];
    } info{};
    info.h.biSize = sizeof info.h;
    info.h.biWidth = 2;
    info.h.biHeight = -2;
    info.h.biPlanes = 1;
    info.h.biBitCount = static_cast<WORD>(bpp);
    const RGBQUAD palette[4] = {{0, 0, 255, 0}, {0, 255, 0, 0}, {255, 0, 0, 0}, {255, 255, 255, 0}};
    for (int i = 0; i < 4 && bpp <= 8; ++i)
        info.colours[i] = palette[i];
    if (bpp == 1) { // two colours only: red and white on the diagonal
        info.colours[1] = palette[3];
    }
    void* bits = nullptr;
    HBITMAP section =
        ::CreateDIBSection(nullptr, reinterpret_cast<BITMAPINFO*>(&info), DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = ::CreateCompatibleDC(nullptr);
    HGDIOBJ old = ::SelectObject(dc, section);
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x) {
            uint32_t c = bpp == 1 ? (x == y ? 0xFF0000 : 0xFFFFFF) : kQuad[y][x];
            ::SetPixel(dc, x, y, RGB(c >> 16, (c >> 8) & 0xFF, c & 0xFF));
        }
    ::SelectObject(dc, old);
    ::DeleteDC(dc);
    return section;
}

} // namespace

TEST(ImgWinBitmap, CreateFromHBitmapOfEveryDepth) {
    struct Case {
        int depth;
        uint16_t bpp;
    } cases[] = {{1, 1}, {4, 8}, {8, 8}, {16, 32}, {24, 32}, {32, 32}};
    for (const auto& c : cases) {
        HBITMAP section = QuadSection(c.depth);
        ImgWinBitmap b;
        b.CreateFromHBitmap(section);
        ::DeleteObject(section);
        EXPECT_EQ(b.GetBitsPerPixel(), c.bpp) << c.depth;
        EXPECT_EQ(b.GetWidth(), 2);
        EXPECT_EQ(b.GetHeight(), 2);
        Surface s(2, 2);
        b.Draw(s.dc(), 0, 0, SRCCOPY);
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 2; ++x) {
                uint32_t want = c.depth == 1 ? (x == y ? 0xFF0000 : 0xFFFFFF) : kQuad[y][x];
                if (c.depth == 16) want &= 0xF8F8F8;
                EXPECT_EQ(s.At(x, y) & (c.depth == 16 ? 0xF8F8F8 : 0xFFFFFF), want)
                    << c.depth << " " << x << "," << y;
            }
    }
}

TEST(ImgWinBitmap, DrawStretchAndExtractPixelByPixel) {
    ImgWinBitmap b;
    FillQuad(b);
    Surface s(8, 8, RGB(0, 0, 0));
    b.Draw(s.dc(), 1, 1, SRCCOPY);
    EXPECT_EQ(s.At(0, 0), 0x000000u);
    EXPECT_EQ(s.At(1, 1), kQuad[0][0]);
    EXPECT_EQ(s.At(2, 1), kQuad[0][1]);
    EXPECT_EQ(s.At(1, 2), kQuad[1][0]);
    EXPECT_EQ(s.At(2, 2), kQuad[1][1]);
    EXPECT_EQ(s.At(3, 3), 0x000000u);

    Surface big(8, 8, RGB(0, 0, 0));
    b.StretchDrawRect(big.dc(), 0, 0, 8, 4, SRCCOPY);
    for (int y = 0; y < 4; ++y)
        for (int x = 0; x < 8; ++x)
            EXPECT_EQ(big.At(x, y), kQuad[y / 2][x / 4]) << x << "," << y;
    EXPECT_EQ(big.At(0, 4), 0x000000u);

    Surface half(8, 8, RGB(0, 0, 0));
    b.StretchDraw(half.dc(), 0, 0, 1.5, SRCCOPY); // 3 x 3
    EXPECT_EQ(half.At(0, 0), kQuad[0][0]);
    EXPECT_EQ(half.At(2, 2), kQuad[1][1]);
    EXPECT_EQ(half.At(3, 0), 0x000000u);
    EXPECT_EQ(half.At(0, 3), 0x000000u);

    Surface part(4, 4, RGB(0, 0, 0));
    RECT lowerRight{1, 1, 2, 2};
    b.DrawExtract(part.dc(), 2, 2, lowerRight);
    EXPECT_EQ(part.At(2, 2), kQuad[1][1]);
    EXPECT_EQ(part.At(1, 1), 0x000000u);
    EXPECT_EQ(part.At(3, 3), 0x000000u);
}

TEST(ImgWinBitmap, DibFromAGlobalBlockTakesThePalettesColours) {
    // A 2 x 1 DIB at 8 bits with a 2-colour table, in a movable block.
    const size_t size = 40 + 2 * 4 + 4;
    HGLOBAL block = ::GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, size);
    auto* h = static_cast<BITMAPINFOHEADER*>(::GlobalLock(block));
    h->biSize = 40;
    h->biWidth = 2;
    h->biHeight = 1;
    h->biPlanes = 1;
    h->biBitCount = 8;
    h->biClrUsed = 2;
    auto* bits = reinterpret_cast<uint8_t*>(h) + 40 + 8;
    bits[1] = 1;
    ::GlobalUnlock(block);

    struct {
        WORD version, count;
        PALETTEENTRY entries[2];
    } log{0x300, 2, {{10, 20, 30, 0}, {200, 100, 50, 0}}};
    HPALETTE palette = ::CreatePalette(reinterpret_cast<LOGPALETTE*>(&log));
    ImgWinBitmap b;
    b.CreateFromDIB(block, palette);
    ::DeleteObject(palette);
    EXPECT_EQ(b.GetBitsPerPixel(), 8);
    EXPECT_EQ(b.GetLine(0)[1], 1);
    const ImgColor& second = b.GetPalette()[1];
    EXPECT_EQ(second.red, 200);
    EXPECT_EQ(second.green, 100);
    EXPECT_EQ(second.blue, 50);
    EXPECT_EQ(second.alpha, 0);

    // The block's own size bounds it: header and colours without the pixels (a size the
    // system does not round up).
    HGLOBAL cut = ::GlobalAlloc(GMEM_MOVEABLE, 48);
    std::memcpy(::GlobalLock(cut), ::GlobalLock(block), 48);
    ::GlobalUnlock(cut);
    ::GlobalUnlock(block);
    EXPECT_EQ(CodeOf([&] { b.CreateFromDIB(cut, nullptr); }), kImgBadData);
    ::GlobalFree(cut);
    ::GlobalFree(block);
}

TEST(ImgWinBitmap, ClipboardGetsTheWholeDib) {
    ImgWinBitmap b;
    FillQuad(b);
    ASSERT_TRUE(b.CopyToClipboard());
    ASSERT_TRUE(::OpenClipboard(nullptr));
    HGLOBAL data = ::GetClipboardData(CF_DIB);
    ASSERT_NE(data, nullptr);
    ASSERT_GE(::GlobalSize(data), b.GetBlockSize());
    const auto* block = static_cast<const uint8_t*>(::GlobalLock(data));
    EXPECT_EQ(std::memcmp(block, b.GetHeader(), 40), 0);
    EXPECT_EQ(std::memcmp(block + 40, b.GetBits(), b.GetBlockSize() - 40), 0);
    ::GlobalUnlock(data);
    ::CloseClipboard();

    // Held by another thread: nothing is put and 0 comes back.
    HANDLE opened = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HANDLE done = ::CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread holder([&] {
        HWND window =
            ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
        ::OpenClipboard(window);
        ::SetEvent(opened);
        ::WaitForSingleObject(done, 10000);
        ::CloseClipboard();
        ::DestroyWindow(window);
    });
    ::WaitForSingleObject(opened, 10000);
    ImgWinBitmap other;
    other.Create(3, 3, 8);
    EXPECT_FALSE(other.CopyToClipboard());
    ::SetEvent(done);
    holder.join();
    ::CloseHandle(opened);
    ::CloseHandle(done);
    ASSERT_TRUE(::OpenClipboard(nullptr));
    data = ::GetClipboardData(CF_DIB);
    ASSERT_NE(data, nullptr);
    EXPECT_EQ(static_cast<const BITMAPINFOHEADER*>(::GlobalLock(data))->biWidth, 2);
    ::GlobalUnlock(data);
    ::CloseClipboard();
}

TEST(ImgAnyDecoder, BmpOfEveryDepthAndLineOrderDrawsTopLeftFirst) {
    struct Case {
        int bpp;
        bool topDown;
    } cases[] = {{24, false}, {24, true}, {8, false}, {8, true}};
    for (const auto& c : cases) {
        auto bytes = MakeBmp(
            6, 4, c.bpp, [](int x, int y) { return imgtest::Quarters(x, y, 6, 4); }, c.topDown);
        ImgWinBitmap bitmap;
        ImgAnyDecoder().DecodeMemory(bytes.data(), bytes.size(), &bitmap);
        EXPECT_EQ(bitmap.GetWidth(), 6);
        EXPECT_EQ(bitmap.GetHeight(), 4);
        Surface s(6, 4);
        bitmap.Draw(s.dc(), 0, 0, SRCCOPY);
        EXPECT_EQ(s.At(0, 0), 0xFF0000u) << c.bpp << (c.topDown ? " top-down" : "");
        EXPECT_EQ(s.At(5, 0), 0x00FF00u) << c.bpp << (c.topDown ? " top-down" : "");
        EXPECT_EQ(s.At(5, 3), 0xFFFF00u) << c.bpp << (c.topDown ? " top-down" : "");
    }
}

TEST(ImgWinBitmap, ResourcesAsBitmapAndAsDialogBackground) {
    HMODULE self = ::GetModuleHandleA(nullptr);
    ImgWinBitmap asBitmap, asPicture, fromFile;
    asBitmap.LoadBitmapResource(self, 200);
    ImgAnyDecoder decoder;
    decoder.DecodeResource(self, 100, &asPicture, 0, "DIALOGBACK");
    EXPECT_EQ(decoder.GetDetectedType(), kImgTypeBMP);
    decoder.DecodeFile(VORLAN_DIALOGBACK_FILE, &fromFile);
    ASSERT_EQ(asPicture.GetWidth(), fromFile.GetWidth());
    ASSERT_EQ(asBitmap.GetWidth(), fromFile.GetWidth());
    ASSERT_EQ(asBitmap.GetHeight(), fromFile.GetHeight());
    const int w = fromFile.GetWidth(), h = fromFile.GetHeight();
    Surface a(w, h), p(w, h), f(w, h);
    asBitmap.Draw(a.dc(), 0, 0, SRCCOPY);
    asPicture.Draw(p.dc(), 0, 0, SRCCOPY);
    fromFile.Draw(f.dc(), 0, 0, SRCCOPY);
    int differing = 0;
    for (int y = 0; y < h; ++y)
        for (int x = 0; x < w; ++x)
            differing += (a.At(x, y) != f.At(x, y)) + (p.At(x, y) != f.At(x, y));
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(CodeOf([&] { asBitmap.LoadBitmapResource(self, 201); }), kImgCannotOpen);
    EXPECT_EQ(CodeOf([&] { decoder.DecodeResource(self, 200, &asPicture); }),
              kImgCannotOpen); // not RT_RCDATA
}

TEST(ImgPictureDecoder, OpenCodesOfMissingDeniedAndLockedFiles) {
    std::string folder = harness::FreshFolder("ImgOpenCodes");
    std::string path = folder + "gesperrt.bmp";
    harness::WriteTextFile(path, "BM");
    ImgWinBitmap b;
    ImgAnyDecoder decoder;
    EXPECT_EQ(CodeOf([&] { decoder.DecodeFile((folder + "fehlt\\a.bmp").c_str(), &b); }), kImgPathNotFound);
    EXPECT_EQ(CodeOf([&] { decoder.DecodeFile((folder + "fehlt.bmp").c_str(), &b); }), kImgCannotOpen);
    EXPECT_EQ(CodeOf([&] { decoder.DecodeFile(folder.c_str(), &b); }), kImgAccessDenied);
    harness::WriteTextFile(folder + "leer.bmp", "");
    EXPECT_EQ(CodeOf([&] { decoder.DecodeFile((folder + "leer.bmp").c_str(), &b); }), kImgEndOfData);

    std::string tag = "ImgLockHolder" + std::to_string(::GetCurrentProcessId());
    HANDLE held = ::CreateEventA(nullptr, TRUE, FALSE, (tag + ".held").c_str());
    HANDLE release = ::CreateEventA(nullptr, TRUE, FALSE, (tag + ".release").c_str());
    std::string command = harness::QuoteArgument(harness::ExeFolder() + "img_lock_holder.exe") + " " +
                          harness::QuoteArgument(path) + " " + tag;
    STARTUPINFOA startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    ASSERT_TRUE(::CreateProcessA(nullptr, &command[0], nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                                 &process));
    HANDLE waits[2] = {held, process.hProcess};
    ASSERT_EQ(::WaitForMultipleObjects(2, waits, FALSE, 30000), WAIT_OBJECT_0) << "the holder did not lock";
    EXPECT_EQ(CodeOf([&] { decoder.DecodeFile(path.c_str(), &b); }), kImgAccessDenied);
    ::SetEvent(release);
    ::WaitForSingleObject(process.hProcess, 30000);
    ::CloseHandle(process.hProcess);
    ::CloseHandle(process.hThread);
    ::CloseHandle(held);
    ::CloseHandle(release);
    // Let go, the file opens again (and is too short to be a picture).
    EXPECT_EQ(CodeOf([&] { decoder.DecodeFile(path.c_str(), &b); }), kImgEndOfData);
}
