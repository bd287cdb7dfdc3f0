// Reducing true colour to 256 colours: the palettes of every mode, the mapping and dithering,
// checked by colour value.
#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgQuantizeFilter.h"

#include <gtest/gtest.h>

#include <functional>
#include <set>

namespace {

uint32_t Rgb(const ImgColor& c) {
    return uint32_t(c.red) << 16 | uint32_t(c.green) << 8 | c.blue;
}

// A 32-bpp picture, colours as 0xRRGGBB.
void Fill(ImgMemBitmap& b, int width, int height, const std::function<uint32_t(int, int)>& colour) {
    b.Create(width, height, 32);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            uint32_t c = colour(x, y);
            uint8_t* p = b.GetLine(y) + 4 * x;
            p[0] = static_cast<uint8_t>(c);
            p[1] = static_cast<uint8_t>(c >> 8);
            p[2] = static_cast<uint8_t>(c >> 16);
            p[3] = 255;
        }
}

uint32_t At(const ImgBitmap& b, int x, int y) {
    return Rgb(b.GetPalette()[b.GetLine(y)[x]]);
}

void Quantize(ImgBitmap& source, ImgMemBitmap& out, int32_t quantize, int32_t dither,
              const ImgColor* user = nullptr) {
    ImgQuantizeFilter filter(quantize, dither);
    filter.SetUserPalette(user);
    filter.Apply(&source, &out);
}

} // namespace

TEST(ImgQuantizeFilter, FixedPaletteHoldsTheSystemColoursCubeAndGrays) {
    const ImgColor* p = ImgQuantizeFilter::FixedPalette();
    struct {
        int entry;
        uint32_t rgb;
    } expected[] = {
        {0, 0x000000},   {1, 0xBF0000},   {4, 0x0000BF},   {7, 0xC0C0C0},   {9, 0xA6CAF0}, // sky blue
        {10, 0x800000},  {15, 0x008080},  {16, 0x005100},  {21, 0x0051FF},  {22, 0x008500},
        {224, 0xFFFFD9}, {225, 0xC4C4C4}, {244, 0xFDFDFD}, {245, 0x9BCFCF}, {246, 0xFFFBF0},
        {248, 0x808080}, {249, 0xFF0000}, {250, 0x00FF00}, {252, 0x0000FF}, {255, 0xFFFFFF},
    };
    for (const auto& e : expected)
        EXPECT_EQ(Rgb(p[e.entry]), e.rgb) << e.entry;
    for (int i = 0; i < 256; ++i)
        EXPECT_EQ(p[i].alpha, 0) << i;
}

TEST(ImgQuantizeFilter, DefaultCopyToEightBitsMapsPureRedToTheSystemRed) {
    ImgMemBitmap source;
    Fill(source, 3, 1, [](int x, int) { return x == 0 ? 0xFF0000u : x == 1 ? 0xA6CAF0u : 0x010101u; });
    source.SetResolution(96, 120);
    ImgMemBitmap target;
    target.CreateCopy(source, 8);
    ASSERT_EQ(target.GetBitsPerPixel(), 8);
    // The cube holds pure red before the system entry 249: what counts is the colour.
    EXPECT_EQ(At(target, 0, 0), 0xFF0000u);
    EXPECT_EQ(target.GetLine(0)[1], 9);
    EXPECT_EQ(target.GetLine(0)[2], 0);
    EXPECT_EQ(target.GetXResolution(), 96);
    EXPECT_EQ(target.GetYResolution(), 120);
    EXPECT_FALSE(target.HasAlpha());
}

TEST(ImgQuantizeFilter, PopularityKeepsFewColoursExactly) {
    // 200 distinct 15-bit colours, each at the value its slot scales to.
    auto colour = [](int x, int y) {
        int i = y * 20 + x;
        int r = i % 32, g = (i / 32) % 32, b = 31 - i % 7;
        return uint32_t(r * 255 / 31) << 16 | uint32_t(g * 255 / 31) << 8 | uint32_t(b * 255 / 31);
    };
    ImgMemBitmap source;
    Fill(source, 20, 10, colour);
    ImgMemBitmap out;
    Quantize(source, out, kImgQuantizePopularity, kImgDitherNone);
    for (int y = 0; y < 10; ++y)
        for (int x = 0; x < 20; ++x)
            ASSERT_EQ(At(out, x, y), colour(x, y)) << x << "," << y;
    EXPECT_EQ(Rgb(out.GetPalette()[1]), 0xFF0000u); // the corners come first
    EXPECT_EQ(Rgb(out.GetPalette()[7]), 0xFFFFFFu);
}

TEST(ImgQuantizeFilter, PopularityOrdersByCount) {
    ImgMemBitmap source;
    Fill(source, 6, 1, [](int x, int) { return x < 3 ? 0x102030u : x < 5 ? 0x405060u : 0x708090u; });
    ImgMemBitmap out;
    Quantize(source, out, kImgQuantizePopularity, kImgDitherNone);
    const ImgColor* p = out.GetPalette();
    EXPECT_EQ(Rgb(p[8]), uint32_t(2 * 255 / 31) << 16 | uint32_t(4 * 255 / 31) << 8 | uint32_t(6 * 255 / 31));
    EXPECT_EQ(out.GetLine(0)[0], 8);
    EXPECT_EQ(out.GetLine(0)[3], 9);
    EXPECT_EQ(out.GetLine(0)[5], 10);
    EXPECT_EQ(Rgb(p[11]), 0u);
}

TEST(ImgQuantizeFilter, MedianCutOfOneColourLeavesTheRestBlack) {
    ImgMemBitmap source;
    Fill(source, 4, 4, [](int, int) { return 0x4080C0u; });
    ImgMemBitmap out;
    Quantize(source, out, kImgQuantizeMedianCut, kImgDitherNone);
    const ImgColor* p = out.GetPalette();
    EXPECT_EQ(Rgb(p[1]), 0xFF0000u);
    EXPECT_EQ(Rgb(p[8]),
              uint32_t(8 * 255 / 31) << 16 | uint32_t(16 * 255 / 31) << 8 | uint32_t(24 * 255 / 31));
    for (int i = 9; i < 256; ++i)
        ASSERT_EQ(Rgb(p[i]), 0u) << i;
    EXPECT_EQ(out.GetLine(3)[3], 8);
}

TEST(ImgQuantizeFilter, MedianCutSplitsKeepColoursOnBothSides) {
    // Two colours one step apart with very different counts: a cut at a rounded mean would
    // leave one half empty. Each must get its own entry.
    ImgMemBitmap source;
    Fill(source, 100, 1, [](int x, int) { return x == 0 ? 0x181818u : 0x202020u; });
    ImgMemBitmap out;
    Quantize(source, out, kImgQuantizeMedianCut, kImgDitherNone);
    EXPECT_NE(out.GetLine(0)[0], out.GetLine(0)[1]);
    EXPECT_EQ(At(out, 0, 0), (3 * 255 / 31) * 0x010101u);
    EXPECT_EQ(At(out, 1, 0), (4 * 255 / 31) * 0x010101u);

    // Many colours: every pixel lands on an entry of its own slot's colour or near it, and up
    // to 248 entries are used.
    ImgMemBitmap ramp;
    Fill(ramp, 64, 64, [](int x, int y) { return uint32_t(x * 4) << 16 | uint32_t(y * 4) << 8 | 0x40u; });
    Quantize(ramp, out, kImgQuantizeMedianCut, kImgDitherNone);
    std::set<int> used;
    for (int y = 0; y < 64; ++y)
        for (int x = 0; x < 64; ++x) {
            used.insert(out.GetLine(y)[x]);
            uint32_t c = At(out, x, y);
            EXPECT_NEAR(int(c >> 16), x * 4, 24);
            EXPECT_NEAR(int(c >> 8 & 0xFF), y * 4, 24);
        }
    EXPECT_GT(used.size(), 200u);
}

TEST(ImgQuantizeFilter, NearestIsDecidedOncePerSlot) {
    ImgColor user[256] = {};
    user[0] = ImgColor{0, 0, 0, 0};
    user[1] = ImgColor{7, 7, 7, 0};
    for (int i = 2; i < 256; ++i)
        user[i] = ImgColor{200, 200, 200, 0};
    ImgMemBitmap source;
    // (7,7,7) and (0,0,0) share a slot: the first pixel decides for both.
    Fill(source, 2, 1, [](int x, int) { return x == 0 ? 0x070707u : 0u; });
    ImgMemBitmap out;
    Quantize(source, out, kImgQuantizeUserPalette, kImgDitherNone, user);
    EXPECT_EQ(out.GetLine(0)[0], 1);
    EXPECT_EQ(out.GetLine(0)[1], 1);
    EXPECT_EQ(Rgb(out.GetPalette()[2]), 0xC8C8C8u);

    // Without a user palette the fixed one is used.
    Quantize(source, out, kImgQuantizeUserPalette, kImgDitherNone);
    EXPECT_EQ(Rgb(out.GetPalette()[249]), 0xFF0000u);
}

TEST(ImgQuantizeFilter, DitherModesMixBlackAndWhiteForMiddleGray) {
    ImgColor user[256] = {};
    for (int i = 1; i < 256; ++i)
        user[i] = ImgColor{255, 255, 255, 0};
    ImgMemBitmap source;
    Fill(source, 16, 16, [](int, int) { return 0x808080u; });
    auto whites = [&source, &user](int32_t quantize, int32_t dither) {
        ImgMemBitmap b;
        Quantize(source, b, quantize, dither, user);
        int n = 0;
        for (int y = 0; y < 16; ++y)
            for (int x = 0; x < 16; ++x)
                n += b.GetLine(y)[x] != 0;
        return n;
    };
    EXPECT_EQ(whites(kImgQuantizeUserPalette, kImgDitherNone), 256);
    int ordered = whites(kImgQuantizeUserPalette, kImgDitherOrdered);
    EXPECT_GT(ordered, 64);
    EXPECT_LT(ordered, 192);
    int diffused = whites(kImgQuantizeUserPalette, kImgDitherErrorDiffusion);
    EXPECT_NEAR(diffused, 128, 16);
}

TEST(ImgQuantizeFilter, DiffusionStaysInsideNarrowAndFlatPictures) {
    // One column and one row: every share meant for a neighbour falls outside the picture.
    for (auto size : {std::pair<int, int>{1, 9}, {9, 1}, {1, 1}, {2, 3}}) {
        ImgMemBitmap source;
        Fill(source, size.first, size.second,
             [](int x, int y) { return (x + y) % 2 ? 0xFFFFFFu : 0x7F3F1Fu; });
        for (int32_t mode : {kImgQuantizeMedianCut, kImgQuantizePopularity, kImgQuantizeFixedPalette}) {
            ImgMemBitmap out;
            Quantize(source, out, mode, kImgDitherErrorDiffusion);
            EXPECT_EQ(out.GetWidth(), size.first);
            EXPECT_NE(At(out, 0, 0), 0xFFFFFFu);
        }
    }
}

TEST(ImgQuantizeFilter, InPlaceAndFromOtherDepths) {
    ImgMemBitmap bitmap;
    Fill(bitmap, 2, 2, [](int x, int) { return x ? 0x0000FFu : 0x00FF00u; });
    ImgQuantizeFilter filter(kImgQuantizeFixedPalette, kImgDitherNone);
    filter.ApplyInPlace(&bitmap);
    ASSERT_EQ(bitmap.GetBitsPerPixel(), 8);
    EXPECT_EQ(At(bitmap, 0, 1), 0x00FF00u);
    EXPECT_EQ(At(bitmap, 1, 1), 0x0000FFu);

    // An 8-bpp source is taken through its palette.
    ImgMemBitmap out;
    filter.Apply(&bitmap, &out);
    EXPECT_EQ(At(out, 1, 0), 0x0000FFu);
}

TEST(ImgFilter, ApplyCopiesThenWorksInPlace) {
    // A filter that only works in place still applies from one bitmap to another.
    class Darken : public ImgFilter {
      public:
        void ApplyInPlace(ImgBitmap* bitmap) override {
            for (int y = 0; y < bitmap->GetHeight(); ++y)
                bitmap->GetLine(y)[0] = 0;
        }
    };
    ImgMemBitmap source, target;
    Fill(source, 2, 2, [](int, int) { return 0xFFFFFFu; });
    Darken().Apply(&source, &target);
    EXPECT_EQ(target.GetBitsPerPixel(), 32);
    EXPECT_EQ(target.GetLine(1)[0], 0);
    EXPECT_EQ(target.GetLine(1)[1], 255);
    EXPECT_EQ(source.GetLine(1)[0], 255);
}
