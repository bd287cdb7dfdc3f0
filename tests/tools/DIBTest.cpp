// Packed bitmaps as scanners hand them over: the checks against the block and the 32-bit
// copies of every depth.
#include "tools/DIB.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

namespace {

// A packed bitmap: header, `masks` (bit fields), palette, then `rows` bytes as given.
std::vector<uint8_t> Packed(int32_t width, int32_t height, uint16_t bits, std::vector<uint32_t> palette,
                            std::vector<uint8_t> pixels, uint32_t compression = 0,
                            std::vector<uint32_t> masks = {}) {
    DibInfoHeader h{};
    h.biSize = 40;
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bits;
    h.biCompression = compression;
    h.biClrUsed = static_cast<uint32_t>(palette.size());
    std::vector<uint8_t> out(sizeof h);
    std::memcpy(out.data(), &h, sizeof h);
    for (uint32_t v : masks)
        out.insert(out.end(), reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 4);
    for (uint32_t v : palette)
        out.insert(out.end(), reinterpret_cast<uint8_t*>(&v), reinterpret_cast<uint8_t*>(&v) + 4);
    out.insert(out.end(), pixels.begin(), pixels.end());
    return out;
}

uint32_t Pixel(const CDIB& dib, int x, int y) {
    uint32_t v;
    std::memcpy(&v, dib.GetRow(y) + 4 * x, 4);
    return v;
}

CDIB To32(const std::vector<uint8_t>& packed) {
    CDIB dib, out;
    EXPECT_TRUE(dib.CreateFromPacked(packed.data(), packed.size()));
    EXPECT_TRUE(dib.ConvertTo32(out));
    return out;
}

} // namespace

TEST(DIB, EveryDepthBecomes32BitsInOrder) {
    // 1 bit, 10 pixels wide, two rows bottom-up: the top row is the second stored.
    // Top row 1010000011 (stored second), bottom row 0000000001.
    CDIB one = To32(Packed(10, 2, 1, {0x000000, 0xFFFFFF}, {0x00, 0x40, 0, 0, 0xA0, 0xC0, 0, 0}));
    ASSERT_EQ(one.GetWidth(), 10);
    const uint32_t w = 0xFFFFFF, b = 0;
    const uint32_t top[10] = {w, b, w, b, b, b, b, b, w, w};
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(Pixel(one, x, 0), top[x]) << "top row, x " << x;
    for (int x = 0; x < 10; ++x)
        EXPECT_EQ(Pixel(one, x, 1), x == 9 ? w : b) << "bottom row, x " << x;

    // 4 bits: the high nibble is the left pixel.
    CDIB four = To32(Packed(3, 1, 4, {0x112233, 0x445566, 0x778899}, {0x12, 0x00, 0, 0}));
    EXPECT_EQ(Pixel(four, 0, 0), 0x445566u);
    EXPECT_EQ(Pixel(four, 1, 0), 0x778899u);
    EXPECT_EQ(Pixel(four, 2, 0), 0x112233u);

    CDIB eight = To32(Packed(2, 1, 8, {0x0000FF, 0x00FF00, 0xFF0000}, {2, 1, 0, 0}));
    EXPECT_EQ(Pixel(eight, 0, 0), 0xFF0000u);
    EXPECT_EQ(Pixel(eight, 1, 0), 0x00FF00u);

    // 24 bits, blue green red; a negative height stores the top row first.
    CDIB rgb = To32(Packed(1, -2, 24, {}, {1, 2, 3, 0, 4, 5, 6, 0}));
    EXPECT_EQ(Pixel(rgb, 0, 0), 0x030201u);
    EXPECT_EQ(Pixel(rgb, 0, 1), 0x060504u);

    // 32 bits plain and with the standard bit fields; the fourth byte comes out 0.
    CDIB plain = To32(Packed(1, 1, 32, {}, {9, 8, 7, 0xEE}));
    EXPECT_EQ(Pixel(plain, 0, 0), 0x070809u);
    CDIB fields = To32(Packed(1, 1, 32, {}, {9, 8, 7, 6}, 3, {0xFF0000, 0xFF00, 0xFF}));
    EXPECT_EQ(Pixel(fields, 0, 0), 0x070809u);

    std::vector<uint8_t> back = fields.GetPacked();
    DibLayout layout;
    ASSERT_TRUE(CheckPackedDib(back.data(), back.size(), layout));
    EXPECT_EQ(layout.bitCount, 32);
    EXPECT_EQ(layout.bitsOffset, 40u);
}

TEST(DIB, BlocksThatDoNotHoldWhatTheyClaimAreRefused) {
    DibLayout l;
    auto ok = [&](const std::vector<uint8_t>& p) { return CheckPackedDib(p.data(), p.size(), l); };
    std::vector<uint8_t> good = Packed(4, 2, 8, {1, 2}, std::vector<uint8_t>(8));
    ASSERT_TRUE(ok(good));
    EXPECT_EQ(l.paletteEntries, 2u) << "the palette by biClrUsed";

    std::vector<uint8_t> shortRows(good.begin(), good.end() - 1);
    EXPECT_FALSE(ok(shortRows)) << "one byte short";
    EXPECT_FALSE(CheckPackedDib(good.data(), 39, l)) << "not even a header";
    EXPECT_FALSE(CheckPackedDib(nullptr, 100, l));

    std::vector<uint8_t> bigHeader = good;
    uint32_t size = 0x7FFFFFFF;
    std::memcpy(bigHeader.data(), &size, 4);
    EXPECT_FALSE(ok(bigHeader)) << "header larger than the block";

    std::vector<uint8_t> hugePalette = good;
    uint32_t used = 0xFFFFFFF0u;
    std::memcpy(hugePalette.data() + 32, &used, 4);
    EXPECT_FALSE(ok(hugePalette)) << "biClrUsed beyond 2^bits";
    used = 200; // allowed for 8 bits, but not in the block
    std::memcpy(hugePalette.data() + 32, &used, 4);
    EXPECT_FALSE(ok(hugePalette));

    // A negative height counts its rows like a positive one; the most negative has none.
    EXPECT_TRUE(ok(Packed(4, -2, 8, {1}, std::vector<uint8_t>(8))));
    EXPECT_FALSE(ok(Packed(4, -3, 8, {1}, std::vector<uint8_t>(8))));
    EXPECT_FALSE(ok(Packed(4, INT32_MIN, 8, {1}, std::vector<uint8_t>(8))));
    EXPECT_FALSE(ok(Packed(0x40000000, 0x40000000, 32, {}, std::vector<uint8_t>(64)))) << "sizes do not wrap";

    // Compressed pictures, 15/16 bits and bit fields other than the standard ones stay empty.
    EXPECT_FALSE(ok(Packed(2, 1, 8, {1}, std::vector<uint8_t>(8), 1)));
    EXPECT_FALSE(ok(Packed(2, 1, 16, {}, std::vector<uint8_t>(8))));
    EXPECT_FALSE(ok(Packed(1, 1, 32, {}, {1, 2, 3, 4}, 3, {0xFF, 0xFF00, 0xFF0000})));
    EXPECT_FALSE(ok(Packed(1, 1, 32, {}, {}, 3, {0xFF0000, 0xFF00}))) << "masks cut off";
    std::vector<uint8_t> partHeader = Packed(1, 1, 32, {}, {0, 0}, 3, {0xFF0000});
    uint32_t size42 = 42;
    std::memcpy(partHeader.data(), &size42, 4);
    EXPECT_FALSE(ok(partHeader)) << "a header that holds only part of the masks";

    CDIB dib;
    EXPECT_FALSE(dib.CreateFromPacked(shortRows.data(), shortRows.size()));
    EXPECT_TRUE(dib.IsEmpty());
    CDIB out;
    EXPECT_FALSE(dib.ConvertTo32(out));
}
