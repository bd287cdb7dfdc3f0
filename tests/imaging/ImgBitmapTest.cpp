// Bitmap layouts and the depth conversions every decoder and caller relies on.
#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgWinBitmap.h"

#include "tests/imaging/ImgTestCode.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using imgtest::CodeOf;

namespace {

void SetPixel32(ImgBitmap& b, int32_t x, int32_t y, uint8_t red, uint8_t green, uint8_t blue,
                uint8_t alpha = 255) {
    uint8_t* p = b.GetLine(y) + 4 * x;
    p[0] = blue;
    p[1] = green;
    p[2] = red;
    p[3] = alpha;
}

int Bit(const ImgBitmap& b, int32_t x, int32_t y) {
    return (b.GetLine(y)[x / 8] >> (7 - x % 8)) & 1;
}

} // namespace

TEST(ImgBitmap, LineLengthsOfBothKinds) {
    struct Case {
        int32_t width;
        uint16_t bpp;
        size_t win, mem;
    } cases[] = {
        {9, 1, 4, 2}, {8, 1, 4, 1}, {33, 1, 8, 5},  {3, 2, 4, 1},  {5, 4, 4, 3},
        {3, 8, 4, 3}, {4, 8, 4, 4}, {3, 24, 12, 9}, {1, 32, 4, 4}, {3, 16, 8, 6},
    };
    for (const auto& c : cases) {
        ImgWinBitmap win;
        ImgMemBitmap mem;
        win.Create(c.width, 2, c.bpp);
        mem.Create(c.width, 2, c.bpp);
        EXPECT_EQ(win.GetBytesPerLine(), c.win) << c.width << "x" << c.bpp;
        EXPECT_EQ(mem.GetBytesPerLine(), c.mem) << c.width << "x" << c.bpp;
        // The block is a packed DIB: header, palette, lines, bottom line first.
        size_t palette = c.bpp <= 8 ? (size_t(4) << c.bpp) : 0;
        EXPECT_EQ(win.GetBlockSize(), 40 + palette + 2 * c.win);
        EXPECT_EQ(win.GetLine(1), win.GetBits());
        EXPECT_EQ(win.GetLine(0), win.GetBits() + c.win);
        EXPECT_EQ(mem.GetLine(1), mem.GetLine(0) + c.mem);
    }
}

TEST(ImgBitmap, NewBitmapsStartZeroedWithAGrayRamp) {
    ImgWinBitmap first;
    EXPECT_EQ(first.GetWidth(), 16);
    EXPECT_EQ(first.GetHeight(), 16);
    EXPECT_EQ(first.GetBitsPerPixel(), 8);
    EXPECT_EQ(first.GetHeader()->size, 40u);
    EXPECT_EQ(first.GetHeader()->planes, 1);

    ImgMemBitmap gray;
    gray.Create(3, 3, 8);
    for (int i = 0; i < 256; ++i) {
        EXPECT_EQ(gray.GetPalette()[i].red, i);
        EXPECT_EQ(gray.GetPalette()[i].blue, i);
        EXPECT_EQ(gray.GetPalette()[i].alpha, 255);
    }
    ImgWinBitmap two;
    two.Create(3, 3, 1);
    EXPECT_EQ(two.GetPalette()[0].green, 0);
    EXPECT_EQ(two.GetPalette()[1].green, 255);
    two.Create(3, 3, 4);
    EXPECT_EQ(two.GetPalette()[1].red, 17);
    EXPECT_EQ(two.GetPalette()[15].red, 255);
    two.Create(3, 3, 32);
    EXPECT_EQ(two.GetPalette(), nullptr);
    for (int32_t y = 0; y < 3; ++y)
        for (size_t i = 0; i < two.GetBytesPerLine(); ++i)
            EXPECT_EQ(two.GetLine(y)[i], 0);
}

TEST(ImgBitmap, SizesBeyondTheCapOrWithoutPixelsAreRefused) {
    ImgMemBitmap b;
    EXPECT_EQ(CodeOf([&] { b.Create(0, 5, 8); }), kImgOutOfMemory);
    EXPECT_EQ(CodeOf([&] { b.Create(5, -1, 8); }), kImgOutOfMemory);
    EXPECT_EQ(CodeOf([&] { b.Create(1 << 15, 1 << 14, 32); }), kImgOutOfMemory);
    EXPECT_EQ(CodeOf([&] { b.Create(INT32_MAX, 1, 1); }), kImgOutOfMemory);
    EXPECT_EQ(CodeOf([&] { b.Create(4, 4, 12); }), kImgNotSupported);
    ImgWinBitmap w;
    EXPECT_EQ(CodeOf([&] { w.Create(65536, 65536, 32); }), kImgOutOfMemory);
    EXPECT_EQ(CodeOf([&] { ImgBitmap::CheckSize(1, int64_t(1) << 28, 4); }), kImgOutOfMemory);
}

TEST(ImgBitmap, LockAndUnlockOnlyCount) {
    ImgMemBitmap b;
    b.Lock(true, false);
    b.Lock(false, true);
    b.Unlock();
    EXPECT_EQ(b.GetLockCount(), 1);
}

TEST(ImgBitmap, CopyAtTheSameDepthTakesPixelsPaletteAlphaAndResolution) {
    ImgWinBitmap source;
    source.Create(5, 2, 8, false, 300, 200);
    source.GetLine(0)[4] = 7;
    source.GetPalette()[7] = ImgColor{1, 2, 3, 4};
    ImgMemBitmap copy;
    copy.CreateCopy(source, 0);
    EXPECT_EQ(copy.GetBitsPerPixel(), 8);
    EXPECT_EQ(copy.GetLine(0)[4], 7);
    EXPECT_EQ(copy.GetPalette()[7].red, 3);
    EXPECT_EQ(copy.GetXResolution(), 300);
    EXPECT_EQ(copy.GetYResolution(), 200);

    ImgMemBitmap alpha;
    alpha.Create(1, 1, 32, true);
    ImgWinBitmap back;
    back.CreateCopy(alpha, 32);
    EXPECT_TRUE(back.HasAlpha());
    back.CreateCopy(back, 0); // onto itself: nothing changes
    EXPECT_TRUE(back.HasAlpha());
}

TEST(ImgBitmap, OneBitThresholdIsBelow128InEveryChannel) {
    ImgMemBitmap source;
    source.Create(5, 1, 32);
    SetPixel32(source, 0, 0, 127, 127, 127);
    SetPixel32(source, 1, 0, 128, 0, 0);
    SetPixel32(source, 2, 0, 0, 0, 128);
    SetPixel32(source, 3, 0, 0, 0, 0);
    SetPixel32(source, 4, 0, 255, 255, 255);
    ImgWinBitmap mono;
    mono.CreateCopy(source, 1);
    EXPECT_EQ(mono.GetBitsPerPixel(), 1);
    EXPECT_EQ(mono.GetPalette()[0].red, 255); // white
    EXPECT_EQ(mono.GetPalette()[1].red, 0);   // black
    int expected[] = {1, 0, 0, 1, 0};
    for (int x = 0; x < 5; ++x)
        EXPECT_EQ(Bit(mono, x, 0), expected[x]) << x;

    // From 8 bits through the palette.
    ImgMemBitmap indexed;
    indexed.Create(2, 1, 8);
    indexed.GetLine(0)[0] = 127;
    indexed.GetLine(0)[1] = 128;
    mono.CreateCopy(indexed, 1);
    EXPECT_EQ(Bit(mono, 0, 0), 1);
    EXPECT_EQ(Bit(mono, 1, 0), 0);
}

TEST(ImgBitmap, UpConversionsResolveThePalette) {
    ImgMemBitmap mono;
    mono.Create(10, 1, 1);
    mono.GetLine(0)[0] = 0x80; // pixel 0 set
    mono.GetLine(0)[1] = 0x40; // pixel 9 set
    mono.GetPalette()[0] = ImgColor{10, 20, 30, 40};
    mono.GetPalette()[1] = ImgColor{50, 60, 70, 80};

    ImgMemBitmap eight;
    eight.CreateCopy(mono, 8);
    EXPECT_EQ(eight.GetLine(0)[0], 1);
    EXPECT_EQ(eight.GetLine(0)[1], 0);
    EXPECT_EQ(eight.GetLine(0)[9], 1);
    EXPECT_EQ(eight.GetPalette()[1].red, 70);

    ImgMemBitmap wide;
    wide.CreateCopy(mono, 32);
    const uint8_t* p = wide.GetLine(0);
    EXPECT_EQ(p[0], 50);
    EXPECT_EQ(p[2], 70);
    EXPECT_EQ(p[3], 80); // the entry's fourth byte
    EXPECT_EQ(p[4], 10);
    EXPECT_FALSE(wide.HasAlpha());

    ImgMemBitmap three;
    three.CreateCopy(eight, 24);
    EXPECT_EQ(three.GetBytesPerLine(), 30u);
    EXPECT_EQ(three.GetLine(0)[2], 70);
    EXPECT_EQ(three.GetLine(0)[5], 30);

    ImgMemBitmap four;
    four.CreateCopy(three, 32);
    EXPECT_EQ(four.GetLine(0)[3], 255); // alpha of 24-bit pixels
    EXPECT_EQ(four.GetLine(0)[2], 70);

    SetPixel32(four, 0, 0, 1, 2, 3, 4);
    three.CreateCopy(four, 24);
    EXPECT_EQ(three.GetLine(0)[0], 3);
    EXPECT_EQ(three.GetLine(0)[2], 1);
}

TEST(ImgBitmap, ConvertingInPlaceKeepsThePicture) {
    ImgMemBitmap b;
    b.Create(3, 2, 8);
    b.GetLine(1)[2] = 200;
    b.CreateCopy(b, 32);
    EXPECT_EQ(b.GetBitsPerPixel(), 32);
    EXPECT_EQ(b.GetLine(1)[8], 200);
}

TEST(ImgWinBitmap, PackedDibsAreBoundedByTheirBlock) {
    // A 3x2 8-bit DIB with two colours used, stored top-down.
    std::vector<uint8_t> dib(40 + 8 + 8, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&dib[at], &v, 4); };
    put32(0, 40);
    put32(4, 3);
    put32(8, static_cast<uint32_t>(-2));
    dib[12] = 1;
    dib[14] = 8;
    put32(32, 2);
    put32(40, 0x00FF0000); // entry 0 red
    put32(44, 0x000000FF); // entry 1 blue
    dib[48] = 1;           // top line: blue, red, red
    ImgWinBitmap b;
    b.CreateFromBitmapInfo(dib.data(), dib.size());
    EXPECT_EQ(b.GetHeight(), 2);
    EXPECT_EQ(b.GetPalette()[0].red, 255);
    EXPECT_EQ(b.GetPalette()[1].blue, 255);
    EXPECT_EQ(b.GetLine(0)[0], 1);
    EXPECT_EQ(b.GetHeader()->height, 2); // stored bottom-up again

    EXPECT_EQ(CodeOf([&] { b.CreateFromBitmapInfo(dib.data(), dib.size() - 1); }), kImgBadData);
    EXPECT_EQ(CodeOf([&] { b.CreateFromBitmapInfo(dib.data(), 20); }), kImgBadData);
    put32(16, 1); // RLE8
    EXPECT_EQ(CodeOf([&] { b.CreateFromBitmapInfo(dib.data(), dib.size()); }), kImgNotSupported);
    put32(16, 0);
    for (uint32_t width : {0u, static_cast<uint32_t>(-3)}) {
        put32(4, width);
        EXPECT_EQ(CodeOf([&] { b.CreateFromBitmapInfo(dib.data(), dib.size()); }), kImgBadData) << int32_t(width);
    }
}

TEST(ImgWinBitmap, BitFieldDibsBecomeTrueColour) {
    // 1x1 16-bit 5-6-5 with masks after the header: pure green.
    std::vector<uint8_t> dib(40 + 12 + 4, 0);
    auto put32 = [&](size_t at, uint32_t v) { std::memcpy(&dib[at], &v, 4); };
    put32(0, 40);
    put32(4, 1);
    put32(8, 1);
    dib[12] = 1;
    dib[14] = 16;
    put32(16, 3);
    put32(40, 0xF800);
    put32(44, 0x07E0);
    put32(48, 0x001F);
    put32(52, 0x07E0);
    ImgWinBitmap b;
    b.CreateFromBitmapInfo(dib.data(), dib.size());
    EXPECT_EQ(b.GetBitsPerPixel(), 32);
    EXPECT_EQ(b.GetLine(0)[1], 255);
    EXPECT_EQ(b.GetLine(0)[2], 0);
}
