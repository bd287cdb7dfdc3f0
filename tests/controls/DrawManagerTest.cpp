// The label drawer's pictures, lines, gradients and textures, read back from 32-bit surfaces.
#include "controls/DrawManager.h"
#include "framework/DibSection.h"
#include "tests/imaging/Surface.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

using imgtest::Surface;

namespace {

constexpr COLORREF kMagenta = RGB(255, 0, 255);
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kBlack = RGB(0, 0, 0);

uint32_t Rgb(COLORREF c) {
    return Surface::Rgb(c);
}

// A top-down 32-bit picture whose pixels (0xAARRGGBB) the function gives.
void MakeBitmap(CDibSection& bitmap, int width, int height, const std::function<uint32_t(int, int)>& pixel) {
    ASSERT_TRUE(bitmap.Create32(width, height));
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            bitmap.Row32(y)[x] = pixel(x, y);
}

// Every pixel of the surface outside the rectangle still has the fill colour.
bool UntouchedOutside(const Surface& s, int width, int height, const RECT& r, COLORREF fill) {
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x) {
            const POINT p{x, y};
            if (!PtInRect(&r, p) && s.At(x, y) != Rgb(fill)) return false;
        }
    return true;
}

} // namespace

TEST(DrawManager, ColourArithmeticTruncatesAndIgnoresFactorsOutOfRange) {
    struct Case {
        COLORREF got, want;
    } cases[] = {
        {CDrawManager::GrayMirrorColor(RGB(255, 0, 0)), RGB(76, 76, 76)},
        {CDrawManager::GrayMirrorColor(RGB(100, 100, 100)), RGB(100, 100, 100)},
        {CDrawManager::DarkenColor(RGB(200, 100, 0), 0.75), RGB(150, 75, 0)},
        {CDrawManager::DarkenColor(RGB(200, 100, 0), 1.0), RGB(200, 100, 0)},
        {CDrawManager::DarkenColor(RGB(200, 100, 0), -0.5), RGB(200, 100, 0)},
        {CDrawManager::LightenColor(RGB(200, 100, 0), 0.25), RGB(250, 125, 0)},
        {CDrawManager::LightenColor(RGB(240, 10, 10), 0.25), RGB(255, 12, 12)},
        {CDrawManager::LightenColor(RGB(240, 10, 10), 0.0), RGB(240, 10, 10)},
        {CDrawManager::LightenColor(RGB(240, 10, 10), 1.5), RGB(240, 10, 10)},
        {CDrawManager::InvertColor(RGB(0, 128, 255)), RGB(255, 127, 0)},
        {CDrawManager::PixelAlpha(RGB(255, 0, 100), 0.5, RGB(0, 255, 100), 0.5), RGB(127, 127, 100)},
        {CDrawManager::PixelAlpha(RGB(200, 200, 200), 1.0, RGB(200, 200, 200), 1.0), RGB(255, 255, 255)},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.got, c.want);
}

TEST(DrawManager, GradientOfSixtyFourPixelsHasOneBandPerPixelInBothDirections) {
    CDrawManager dm;
    for (bool horizontal : {true, false}) {
        Surface s(70, 70);
        dm.FillGradient(s.dc(), RECT{2, 3, 66, 67}, kBlack, kWhite, horizontal);
        for (int i = 0; i < 64; ++i) {
            const int grey = 255 * i / 64;
            const int x = horizontal ? 2 + i : 10, y = horizontal ? 10 : 3 + i;
            EXPECT_EQ(s.At(x, y), Rgb(RGB(grey, grey, grey))) << i << (horizontal ? " across" : " down");
        }
        EXPECT_TRUE(UntouchedOutside(s, 70, 70, RECT{2, 3, 66, 67}, kMagenta));
    }
}

TEST(DrawManager, FillEffectsSplitTheirGradientsAtTheMiddle) {
    CDrawManager dm;
    const RECT r{0, 0, 128, 8};
    const COLORREF red = RGB(255, 0, 0), green = RGB(0, 255, 0), blue = RGB(0, 0, 255);
    Surface s(128, 8);
    dm.FillEffect(s.dc(), CDrawManager::kFillHCGradient, r, red, green, blue, 5, 0);
    EXPECT_EQ(s.At(0, 4), Rgb(red));
    EXPECT_EQ(s.At(127, 4), Rgb(RGB(251, 0, 3))) << "the second half runs back to the start";
    EXPECT_GT(s.At(63, 4) & 0xFF, 240u) << "both halves meet near the end colour";
    EXPECT_GT(s.At(64, 4) & 0xFF, 240u);
    dm.FillEffect(s.dc(), CDrawManager::kFill3HGradient, r, red, green, blue, 5, 0);
    EXPECT_EQ(s.At(0, 4), Rgb(red));
    EXPECT_EQ(s.At(64, 4), Rgb(green)) << "the second half starts at the middle colour";
    for (int effect : {0, 99, -1}) {
        dm.FillEffect(s.dc(), effect, r, blue, green, red, 5, 0);
        EXPECT_EQ(s.At(100, 2), Rgb(blue)) << effect;
    }
}

TEST(DrawManager, LinesInEveryPenTypeAndNoneWithoutWidth) {
    CDrawManager dm;
    const COLORREF ink = RGB(0, 0, 128);
    for (int type : {0, 1, 2, 3, 4, 5, 6, 7}) {
        for (int width : {0, 1, 3}) {
            Surface s(120, 40, kWhite);
            dm.DrawLine(s.dc(), 10, 10, 110, 10, ink, type, width);
            int inked = 0;
            for (int x = 10; x < 110; ++x)
                inked += s.At(x, 10) == Rgb(ink);
            const bool draws = width > 0 && type >= 1 && type <= 6;
            if (!draws) {
                EXPECT_EQ(inked, 0) << type << "/" << width;
            } else if (type == 1 || type == 6) {
                EXPECT_EQ(inked, 100) << type << "/" << width;
            } else {
                EXPECT_GT(inked, 10) << type << "/" << width;
                EXPECT_LT(inked, 100) << "the gaps keep the background: " << type << "/" << width;
            }
            const bool second = s.At(50, 10 + 2 * std::max(width, 1)) == Rgb(ink);
            EXPECT_EQ(second, draws && type == 6) << "double line " << type << "/" << width;
        }
    }
    Surface v(40, 40, kWhite);
    dm.DrawLine(v.dc(), 10, 5, 10, 35, ink, CDrawManager::kPenDouble, 2);
    EXPECT_EQ(v.At(14, 20), Rgb(ink)) << "a vertical double line's second line lies to the right";
}

TEST(DrawManager, RectangleEdgesAreLightAboveDarkBelowAndStayInside) {
    CDrawManager dm;
    const COLORREF light = RGB(255, 255, 0), dark = RGB(0, 0, 255);
    for (int width : {1, 3}) {
        Surface s(60, 60, kWhite);
        const RECT r{10, 10, 50, 40};
        dm.DrawRectangle1(s.dc(), r, light, dark, CDrawManager::kPenSolid, width);
        EXPECT_EQ(s.At(10, 25), Rgb(light)) << width;
        EXPECT_EQ(s.At(30, 10), Rgb(light)) << width;
        EXPECT_EQ(s.At(49, 25), Rgb(dark)) << width;
        EXPECT_EQ(s.At(30, 39), Rgb(dark)) << width;
        EXPECT_EQ(s.At(10 + width - 1, 25), Rgb(light)) << width;
        EXPECT_EQ(s.At(10 + width, 25), Rgb(kWhite)) << width;
        EXPECT_TRUE(UntouchedOutside(s, 60, 60, r, kWhite)) << width;
    }
    Surface d(60, 60, kWhite);
    dm.DrawRectangle2(d.dc(), 10, 10, 50, 40, light, dark, CDrawManager::kPenDouble, 2);
    EXPECT_EQ(d.At(15, 25), Rgb(light)) << "inner rectangle twice the width inside";
    EXPECT_EQ(d.At(13, 25), Rgb(kWhite));
    EXPECT_EQ(d.At(44, 25), Rgb(dark));
}

TEST(DrawManager, MaskColourAndEffectsOfBitmaps) {
    CDrawManager dm;
    CDibSection allMagenta;
    MakeBitmap(allMagenta, 8, 8, [](int, int) { return 0x00FF00FF; });
    Surface s(40, 40, RGB(1, 2, 3));
    dm.DrawBitmap(s.dc(), 4, 4, 16, 16, allMagenta, true, kMagenta, 0, false, 0, 0, 0, 0, 0);
    EXPECT_TRUE(UntouchedOutside(s, 40, 40, RECT{0, 0, 0, 0}, RGB(1, 2, 3)));

    // Left half red, right half magenta.
    CDibSection half;
    MakeBitmap(half, 4, 4, [](int x, int) { return x < 2 ? 0x00FF0000u : 0x00FF00FFu; });
    struct Case {
        UINT effect;
        COLORREF want;
    } cases[] = {
        {0, RGB(255, 0, 0)},
        {CDrawManager::kEffectGray, RGB(76, 76, 76)},
        {CDrawManager::kEffectDarken, RGB(191, 0, 0)},
        {CDrawManager::kEffectFill, RGB(128, 128, 128)},
        {CDrawManager::kEffectInvert, RGB(0, 255, 255)},
    };
    for (const Case& c : cases) {
        Surface t(20, 20, kWhite);
        dm.DrawBitmap(t.dc(), 2, 2, 8, 8, half, true, kMagenta, c.effect, false, 0, 0, 0, 0, 0,
                      RGB(128, 128, 128));
        EXPECT_EQ(t.At(3, 5), Rgb(c.want)) << c.effect;
        EXPECT_EQ(t.At(5, 5), Rgb(c.want)) << "stretched to twice the size " << c.effect;
        EXPECT_EQ(t.At(8, 5), Rgb(kWhite)) << "the mask colour shows the background " << c.effect;
        EXPECT_FALSE(dm.HasAlpha());
    }
}

TEST(DrawManager, EffectImageKeepsAlphaAndClearsMaskedPixels) {
    CDrawManager dm;
    CDibSection source;
    MakeBitmap(source, 2, 1, [](int x, int) { return x == 0 ? 0x80C86400u : 0x00FF00FFu; });
    CDibSection effect;
    effect.Attach(dm.CreateImageEffect(source, 2, 1, CDrawManager::kEffectDarken, true, kMagenta, 0));
    ASSERT_TRUE(effect.m_hObject);
    EXPECT_TRUE(dm.HasAlpha());
    DIBSECTION ds{};
    ASSERT_EQ(GetObjectA(effect, sizeof ds, &ds), int(sizeof ds));
    const uint32_t* px = static_cast<const uint32_t*>(ds.dsBm.bmBits);
    EXPECT_EQ(px[0], 0x80964B00u) << "darkened to 75 %, alpha kept";
    EXPECT_EQ(px[1], 0u);
}

TEST(DrawManager, AlphaBlendsBySourceAlpha) {
    CDrawManager dm;
    CDibSection red;
    MakeBitmap(red, 4, 4, [](int, int) { return 0x80FF0000u; });
    Surface s(20, 20, kWhite);
    dm.DrawBitmap(s.dc(), 0, 0, 4, 4, red, false, kMagenta, 0, false, 0, 0, 0, 0, 0);
    EXPECT_TRUE(dm.HasAlpha());
    EXPECT_EQ(s.At(2, 2), Rgb(RGB(255, 127, 127)));
    EXPECT_EQ(s.At(5, 2), Rgb(kWhite));

    Surface target(20, 20, kBlack);
    CBitmapDC source(nullptr, red);
    dm.AlphaChannelBitBlt(target.dc(), 10, 10, 4, 4, source, 0, 0);
    EXPECT_EQ(target.At(11, 11), Rgb(RGB(128, 0, 0)));
    EXPECT_EQ(target.At(9, 9), Rgb(kBlack));
}

TEST(DrawManager, ShadowDarkensBesideThePictureOnly) {
    CDrawManager dm;
    CDibSection square;
    MakeBitmap(square, 10, 10, [](int, int) { return 0x000000FFu; });
    for (UINT kind : {UINT(CDrawManager::kEffectShadow), UINT(CDrawManager::kEffectGradientShadow)}) {
        Surface s(40, 40, kWhite);
        dm.DrawBitmap(s.dc(), 5, 5, 10, 10, square, true, kMagenta, kind, true, 4, 4, 7, 7,
                      RGB(128, 128, 128));
        EXPECT_EQ(s.At(10, 10), Rgb(RGB(0, 0, 255))) << "the picture lies above its shadow";
        const uint32_t beside = s.At(16, 14);
        EXPECT_LT(beside & 0xFF, 255u) << kind;
        EXPECT_EQ(beside & 0xFF, (beside >> 16) & 0xFF) << "grey " << kind;
        if (kind == CDrawManager::kEffectShadow) {
            EXPECT_EQ(beside, Rgb(RGB(128, 128, 128)));
        }
        EXPECT_EQ(s.At(30, 30), Rgb(kWhite)) << kind;
        EXPECT_EQ(s.At(2, 2), Rgb(kWhite)) << kind;
    }
    // Shadow on without a shadow flag moves the picture.
    Surface m(40, 40, kWhite);
    dm.DrawBitmap(m.dc(), 5, 5, 10, 10, square, true, kMagenta, 0, true, 4, 4, 7, 7, RGB(128, 128, 128));
    EXPECT_EQ(m.At(6, 6), Rgb(kWhite));
    EXPECT_EQ(m.At(18, 18), Rgb(RGB(0, 0, 255)));
}

TEST(DrawManager, BoxBlurByRunningSums) {
    const int64_t values[] = {1, 2, 3, 4, 5, 6};
    int64_t sums[6] = {};
    CDrawManager::GetPartialSums(values, 6, 3, 1, sums);
    EXPECT_EQ((std::vector<int64_t>(sums, sums + 4)), (std::vector<int64_t>{6, 9, 12, 15}));

    // One black pixel in white: a 3 x 3 box spreads it over its neighbours, white padding.
    std::vector<uint32_t> mask(25, 0xFFFFFF);
    mask[12] = 0;
    std::vector<double> f(25);
    CDrawManager::SmoothMaskImage(5, 5, mask.data(), 3, 3, f.data());
    EXPECT_DOUBLE_EQ(f[12], 8.0 / 9);
    EXPECT_DOUBLE_EQ(f[6], 8.0 / 9);
    EXPECT_DOUBLE_EQ(f[0], 1.0);
    EXPECT_DOUBLE_EQ(f[24], 1.0);
}

TEST(DrawManager, ImageStripDrawsTheIndexedCellAndNothingOutsideTheGrid) {
    CDrawManager dm;
    // Three columns and two rows of 4 x 4 images, image n in grey n * 40, top-left pixel magenta.
    CDibSection strip;
    MakeBitmap(strip, 12, 8, [](int x, int y) {
        if (x == 0 && y == 0) return 0x00FF00FFu;
        const uint32_t g = (y / 4 * 3 + x / 4) * 40;
        return (g << 16) | (g << 8) | g;
    });
    Surface s(20, 20, kWhite);
    dm.DrawImageList(s.dc(), 0, 0, 4, 4, strip, 4, 4, 4, true, 0, false, 0, 0, 0, 0, 0);
    EXPECT_EQ(s.At(2, 2), Rgb(RGB(160, 160, 160)));
    dm.DrawImageList(s.dc(), 8, 8, 4, 4, strip, 0, 4, 4, true, 0, false, 0, 0, 0, 0, 0);
    EXPECT_EQ(s.At(8, 8), Rgb(kWhite)) << "the strip's top-left colour is its mask";
    EXPECT_EQ(s.At(9, 9), Rgb(kBlack));
    Surface none(20, 20, kWhite);
    for (int index : {6, 100, -1})
        dm.DrawImageList(none.dc(), 0, 0, 4, 4, strip, index, 4, 4, true, 0, false, 0, 0, 0, 0, 0);
    dm.DrawImageList(none.dc(), 0, 0, 4, 4, strip, 0, 0, 4, true, 0, false, 0, 0, 0, 0, 0);
    EXPECT_TRUE(UntouchedOutside(none, 20, 20, RECT{0, 0, 0, 0}, kWhite));
}

TEST(DrawManager, IconsDrawThroughTheirMaskAtAnySize) {
    CDrawManager dm;
    CDibSection colour;
    MakeBitmap(colour, 16, 16, [](int, int) { return 0x0000FF00u; });
    // Left half transparent.
    std::vector<BYTE> bits(2 * 16, 0);
    for (int y = 0; y < 16; ++y)
        bits[y * 2] = 0xFF;
    CBitmap mask;
    mask.Attach(CreateBitmap(16, 16, 1, 1, bits.data()));
    CIcon icon(fw::CreateIconFromBitmaps(colour, mask));
    ASSERT_TRUE(icon);
    EXPECT_EQ(CDrawManager::GetSizeOfIcon(icon).cx, 16);
    CIcon big(dm.StretchIcon(icon, 32, 24));
    CIconInfo info;
    ASSERT_TRUE(info.Get(big));
    EXPECT_EQ(info.Size().cx, 32);
    EXPECT_EQ(info.Size().cy, 24);

    Surface s(40, 40, kWhite);
    dm.DrawIcon(s.dc(), 0, 0, 32, 32, icon, 0, false, 0, 0, 0, 0, 0);
    EXPECT_EQ(s.At(4, 10), Rgb(kWhite));
    EXPECT_EQ(s.At(28, 10), Rgb(RGB(0, 255, 0)));
    EXPECT_EQ(s.At(34, 10), Rgb(kWhite));
    EXPECT_EQ(CDrawManager::GetSizeOfBitmap(colour).cy, 16);
    EXPECT_EQ(CDrawManager::GetSizeOfBitmap(nullptr).cx, 0);
}

TEST(DrawManager, TexturesAreRepeatableWithAFixedSeedAndStayInTheirRectangle) {
    const RECT r{5, 6, 45, 36};
    for (int effect = CDrawManager::kFillNoise; effect <= CDrawManager::kFillMetal; ++effect) {
        Surface a(50, 40), b(50, 40);
        CDrawManager one, two;
        one.SetRandomSeed(42);
        two.SetRandomSeed(42);
        one.FillEffect(a.dc(), effect, r, kWhite, RGB(128, 128, 128), kBlack, 5, 0);
        two.FillEffect(b.dc(), effect, r, kWhite, RGB(128, 128, 128), kBlack, 5, 0);
        bool same = true, inked = true;
        for (int y = r.top; y < r.bottom; ++y)
            for (int x = r.left; x < r.right; ++x) {
                same = same && a.At(x, y) == b.At(x, y);
                inked = inked && a.At(x, y) != Rgb(kMagenta);
            }
        EXPECT_TRUE(same) << effect;
        EXPECT_TRUE(inked) << effect;
        EXPECT_TRUE(UntouchedOutside(a, 50, 40, r, kMagenta)) << effect;
    }
}

TEST(DrawManager, ShadeRunsFromEndColourAtTheTopToStartColourAtTheBottom) {
    CDrawManager dm;
    dm.SetRandomSeed(1);
    Surface s(10, 128);
    dm.FillEffect(s.dc(), CDrawManager::kFillHShade, RECT{0, 0, 10, 128}, kWhite, RGB(128, 128, 128), kBlack,
                  0, 0);
    EXPECT_LE(s.At(5, 0) & 0xFF, 2u);
    EXPECT_GE(s.At(5, 127) & 0xFF, 250u);
    EXPECT_LT(s.At(5, 30) & 0xFF, s.At(5, 90) & 0xFF);
    // The highlight blends every shade towards the start colour.
    dm.FillEffect(s.dc(), CDrawManager::kFillHShade, RECT{0, 0, 10, 128}, kWhite, RGB(128, 128, 128), kBlack,
                  0, 50);
    EXPECT_GE(s.At(5, 0) & 0xFF, 127u);
}

TEST(DrawManager, HugeAreasFailQuietlyOrDrawOnlyWhatShows) {
    CDrawManager dm;
    dm.SetRandomSeed(7);
    const RECT huge{10, 10, 100010, 30};
    for (int effect = 0; effect <= CDrawManager::kFillMetal; ++effect) {
        Surface s(64, 64);
        dm.FillEffect(s.dc(), effect, huge, RGB(0, 0, 200), RGB(0, 200, 0), RGB(200, 0, 0), 200, 300);
        EXPECT_TRUE(UntouchedOutside(s, 64, 64, huge, kMagenta)) << effect;
    }
    CDibSection small;
    MakeBitmap(small, 2, 2, [](int, int) { return 0x00123456u; });
    Surface s(64, 64);
    dm.DrawBitmap(s.dc(), 0, 0, 100000, 100000, small, false, 0, CDrawManager::kEffectGradientShadow, true, 4,
                  4, 7, 7, 0);
    dm.DrawImageList(s.dc(), 0, 0, 100000, 100, small, 0, 1, 1, false, 0, false, 0, 0, 0, 0, 0);
    dm.MultipleCopy(s.dc(), 0, 0, 100000, 100000, s.dc(), 0, 0, 1, 1);
    EXPECT_FALSE(dm.SetShade(RECT{0, 0, 100000, 100000}, CDrawManager::kFillNoise, 5, 0, 0, 0, 0));
    EXPECT_TRUE(UntouchedOutside(s, 64, 64, RECT{0, 0, 0, 0}, kMagenta));
}

TEST(DrawManager, TilesRepeatFromTheAreaOriginAndAreCutAtItsEdges) {
    CDrawManager dm;
    CDibSection tile;
    MakeBitmap(tile, 2, 2, [](int x, int y) { return (x + y) % 2 ? 0x00FFFFFFu : 0u; });
    CBitmapDC source(nullptr, tile);
    Surface s(20, 20);
    dm.MultipleCopy(s.dc(), 3, 3, 5, 5, source, 0, 0, 2, 2);
    EXPECT_EQ(s.At(3, 3), Rgb(kBlack));
    EXPECT_EQ(s.At(4, 3), Rgb(kWhite));
    EXPECT_EQ(s.At(7, 7), Rgb(kBlack)) << "the last, cut tile";
    EXPECT_TRUE(UntouchedOutside(s, 20, 20, RECT{3, 3, 8, 8}, kMagenta));
}

TEST(CeXDib, PaletteBlendPixelIndexesAndDrawing) {
    CCeXDib dib;
    EXPECT_FALSE(dib.Create(4, 4, 7));
    EXPECT_FALSE(dib.Create(0, 4, 8));
    EXPECT_FALSE(dib.Draw(nullptr, 0, 0));
    ASSERT_TRUE(dib.Create(5, 3, 8));
    EXPECT_EQ(dib.GetLineWidth(), 8);
    EXPECT_EQ(dib.GetPaletteSize(), 256);
    dib.SetPaletteEntry(1, 200, 100, 0);
    dib.SetPaletteEntry(256, 1, 1, 1); // ignored
    dib.BlendPalette(RGB(0, 0, 200), 50);
    const RGBQUAD e = dib.GetPaletteEntry(1);
    EXPECT_EQ(e.rgbRed, 100);
    EXPECT_EQ(e.rgbGreen, 50);
    EXPECT_EQ(e.rgbBlue, 100);
    dib.Clear(0);
    dib.SetPixelIndex(0, 0, 1);
    dib.SetPixelIndex(5, 0, 1); // outside
    EXPECT_EQ(dib.GetBits()[2 * 8], 1) << "row 0 is the top, stored last";
    EXPECT_EQ(dib.GetPixelIndex(0, 0), 1);

    Surface s(10, 10);
    ASSERT_TRUE(dib.Draw(s.dc(), 2, 2));
    EXPECT_EQ(s.At(2, 2), Rgb(RGB(100, 50, 100)));
    EXPECT_EQ(s.At(3, 2), Rgb(RGB(0, 0, 100)));
    EXPECT_EQ(s.At(7, 2), Rgb(kMagenta));
    // A later palette change reaches the section made by the first draw.
    dib.SetPaletteEntry(1, 0, 255, 0);
    ASSERT_TRUE(dib.Draw(s.dc(), 2, 2));
    EXPECT_EQ(s.At(2, 2), Rgb(RGB(0, 255, 0)));

    for (int bits : {1, 4}) {
        ASSERT_TRUE(dib.Create(9, 2, bits));
        EXPECT_EQ(dib.GetLineWidth(), (9 * bits + 31) / 32 * 4);
        dib.SetPixelIndex(8, 1, 1);
        dib.SetPixelIndex(7, 1, 0);
        EXPECT_EQ(dib.GetPixelIndex(8, 1), 1) << bits;
        EXPECT_EQ(dib.GetPixelIndex(7, 1), 0) << bits;
        EXPECT_EQ(dib.GetPixelIndex(8, 0), 0) << bits;
    }
}
