// Variants that the usual writers never make, built byte by byte: a GIF image with its own
// colour map, TGA colour maps that start late, an indexed PSD, a TIFF colour map of 8-bit values.
#include "tests/imaging/Bytes.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgMemBitmap.h"

#include <gtest/gtest.h>

#include <cstring>
#include <initializer_list>
#include <memory>
#include <string>
#include <vector>

namespace {

using imgtest::Bytes;

// Decodes from a heap block of exactly the file's size; the error text, empty on success.
std::string Decode(const std::vector<uint8_t>& file, ImgMemBitmap& bitmap, int32_t expectedType) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size()]);
    std::memcpy(exact.get(), file.data(), file.size());
    ImgAnyDecoder decoder;
    try {
        decoder.DecodeMemory(exact.get(), file.size(), &bitmap, 0);
    } catch (const ImgTextException& e) {
        return std::string("failed: ") + (e.GetText() ? e.GetText() : "");
    }
    if (decoder.GetDetectedType() != expectedType) return "read as another type";
    return "";
}

// 0xRRGGBBAA of a pixel through the palette or from the 32-bit line.
uint32_t Rgba(const ImgBitmap& b, int32_t x, int32_t y) {
    const uint8_t* line = b.GetLine(y);
    ImgColor c = b.GetBitsPerPixel() == 8
                     ? b.GetPalette()[line[x]]
                     : ImgColor{line[4 * x], line[4 * x + 1], line[4 * x + 2], line[4 * x + 3]};
    return uint32_t(c.red) << 24 | uint32_t(c.green) << 16 | uint32_t(c.blue) << 8 | c.alpha;
}

} // namespace

TEST(ImgPictureVariants, GifImageWithItsOwnColourMap) {
    // Screen 2x1 with a map of black and white; the image brings red and green.
    // LZW, code size 2: clear (4), 0, 1, end (5) in 3-bit codes: 0x0A44.
    auto gif = [](bool global) {
        Bytes f;
        f.text("GIF89a").u16(2).u16(1).u8({global ? 0x80 : 0x00, 0, 0});
        if (global) f.u8({0, 0, 0, 255, 255, 255});
        f.u8({0x2C}).u16(0).u16(0).u16(2).u16(1).u8({0x80});
        f.u8({255, 0, 0, 0, 255, 0});
        f.u8({2, 2, 0x44, 0x0A, 0, 0x3B});
        return f;
    };
    for (bool global : {true, false}) {
        SCOPED_TRACE(global ? "with a global map" : "without a global map");
        ImgMemBitmap b;
        ASSERT_EQ(Decode(gif(global).b, b, kImgTypeGIF), "");
        EXPECT_EQ(Rgba(b, 0, 0), 0xFF0000FFu);
        EXPECT_EQ(Rgba(b, 1, 0), 0x00FF00FFu);
    }
}

TEST(ImgPictureVariants, TgaColourMapsThatDoNotStartAtZero) {
    // 2x1 colour-mapped, top-down, 8-bit indices; the map's first entry and entry size vary.
    auto tga = [](int first, int length, int entryBits, const Bytes& map, std::initializer_list<int> pixels) {
        Bytes f;
        f.u8({0, 1, 1}).u16(first).u16(length).u8({entryBits}).zeros(4).u16(2).u16(1).u8({8, 0x20});
        f.b.insert(f.b.end(), map.b.begin(), map.b.end());
        return f.u8(pixels);
    };
    ImgMemBitmap b;
    {
        // 24-bit entries 3 and 4; below the map's start the palette stays black.
        Bytes map;
        map.u8({0x30, 0x20, 0x10, 0x33, 0x22, 0x11});
        ASSERT_EQ(Decode(tga(3, 2, 24, map, {4, 3}).b, b, kImgTypeTGA), "");
        EXPECT_EQ(Rgba(b, 0, 0), 0x112233FFu);
        EXPECT_EQ(Rgba(b, 1, 0), 0x102030FFu);
        EXPECT_EQ(b.GetPalette()[2].red | b.GetPalette()[2].green | b.GetPalette()[2].blue, 0);
    }
    {
        // 15-bit entries from 1: pure red and pure blue.
        Bytes map;
        map.u16(0x7C00).u16(0x001F);
        ASSERT_EQ(Decode(tga(1, 2, 15, map, {1, 2}).b, b, kImgTypeTGA), "");
        EXPECT_EQ(Rgba(b, 0, 0) >> 8, 0xF80000u);
        EXPECT_EQ(Rgba(b, 1, 0) >> 8, 0x0000F8u);
    }
    {
        // A map from 254 with four entries: the two beyond 255 no index can reach, and they
        // must not land on entries 0 and 1.
        Bytes map;
        map.u8({1, 1, 1, 2, 2, 2, 9, 9, 9, 9, 9, 9});
        ASSERT_EQ(Decode(tga(254, 4, 24, map, {255, 0}).b, b, kImgTypeTGA), "");
        EXPECT_EQ(Rgba(b, 0, 0) >> 8, 0x020202u);
        EXPECT_EQ(Rgba(b, 1, 0) >> 8, 0u) << "entry 256 wrapped onto entry 0";
        EXPECT_EQ(b.GetPalette()[1].red, 0) << "entry 257 wrapped onto entry 1";
    }
}

TEST(ImgPictureVariants, IndexedPsdTakesItsTableOpaque) {
    // 2x1, one channel of indices, packed rows of one literal run each.
    Bytes f;
    f.text("8BPS").be16(1).zeros(6).be16(1).be32(1).be32(2).be16(8).be16(2);
    f.be32(768);
    std::vector<uint8_t> table(768, 0);
    table[7] = 0xA0, table[256 + 7] = 0xB0, table[512 + 7] = 0xC0;
    table[9] = 0x01, table[256 + 9] = 0x02, table[512 + 9] = 0x03;
    f.b.insert(f.b.end(), table.begin(), table.end());
    f.be32(0).be32(0).be16(1).be16(3).u8({1, 7, 9});
    ImgMemBitmap b;
    ASSERT_EQ(Decode(f.b, b, kImgTypePSD), "");
    ASSERT_EQ(b.GetBitsPerPixel(), 8);
    EXPECT_EQ(Rgba(b, 0, 0), 0xA0B0C0FFu);
    EXPECT_EQ(Rgba(b, 1, 0), 0x010203FFu);
}

TEST(ImgPictureVariants, TiffColourMapOfEightOrSixteenBitValues) {
    // 2x1, 8 bits a pixel, uncompressed, one strip; the map of 3 x 256 values follows the IFD.
    auto tiff = [](bool wide) {
        const uint32_t mapAt = 8 + 2 + 10 * 12 + 4, pixelsAt = mapAt + 3 * 256 * 2;
        Bytes f;
        f.text("II").u16(42).u32(8).u16(10);
        auto entry = [&](int tag, int type, uint32_t count, uint32_t value) {
            f.u16(tag).u16(type).u32(count);
            if (type == 3 && count == 1)
                f.u16(value).u16(0);
            else
                f.u32(value);
        };
        entry(256, 3, 1, 2);
        entry(257, 3, 1, 1);
        entry(258, 3, 1, 8);
        entry(259, 3, 1, 1);
        entry(262, 3, 1, 3);
        entry(273, 4, 1, pixelsAt);
        entry(277, 3, 1, 1);
        entry(278, 3, 1, 1);
        entry(279, 4, 1, 2);
        entry(320, 3, 3 * 256, mapAt);
        f.u32(0);
        const int colours[3][3] = {{200, 10, 255}, {100, 20, 0}, {50, 30, 128}};
        for (int channel = 0; channel < 3; ++channel)
            for (int i = 0; i < 256; ++i) {
                int v = i >= 1 && i <= 3 ? colours[channel][i - 1] : 0;
                f.u16(wide ? v * 257 : v);
            }
        return f.u8({1, 2});
    };
    for (bool wide : {false, true}) {
        SCOPED_TRACE(wide ? "16-bit values" : "8-bit values");
        ImgMemBitmap b;
        ASSERT_EQ(Decode(tiff(wide).b, b, kImgTypeTIFF), "");
        EXPECT_EQ(Rgba(b, 0, 0), 0xC86432FFu);
        EXPECT_EQ(Rgba(b, 1, 0), 0x0A141EFFu);
    }
}
