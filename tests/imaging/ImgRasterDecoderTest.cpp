// The decoders of BMP, TGA, PCX, PGM and PPM on files made here byte by byte, most of them
// damaged or unusual in one way.
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

struct Result {
    int32_t code = 0;
    std::string text;
    int32_t type = 0;
};

// Decodes from a heap block of exactly the file's size, so the sanitizer sees any read past it.
Result Decode(const std::vector<uint8_t>& file, ImgMemBitmap& bitmap, int bpp = 0) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[file.size() + !file.size()]);
    if (!file.empty()) std::memcpy(exact.get(), file.data(), file.size());
    ImgAnyDecoder decoder;
    Result r;
    try {
        decoder.DecodeMemory(exact.get(), file.size(), &bitmap, bpp);
    } catch (const ImgTextException& e) {
        r.code = e.GetCode();
        r.text = e.GetText();
    }
    r.type = decoder.GetDetectedType();
    return r;
}

// Red, green, blue and alpha of a pixel whatever the depth.
uint32_t Rgba(const ImgBitmap& b, int32_t x, int32_t y) {
    const uint8_t* line = b.GetLine(y);
    ImgColor c;
    if (b.GetBitsPerPixel() == 8)
        c = b.GetPalette()[line[x]];
    else
        c = ImgColor{line[4 * x], line[4 * x + 1], line[4 * x + 2], line[4 * x + 3]};
    return uint32_t(c.red) << 24 | uint32_t(c.green) << 16 | uint32_t(c.blue) << 8 | c.alpha;
}

// A BMP with a 40-byte (or larger) header; pixels follow header, masks and palette.
Bytes BmpHeader(int32_t width, int32_t height, int bitCount, uint32_t compression, uint32_t coloursUsed,
                size_t paletteBytes, size_t pixelBytes, uint32_t headerSize = 40, uint32_t pelsPerMeter = 0) {
    uint32_t offset = 14 + headerSize + static_cast<uint32_t>(paletteBytes);
    Bytes f;
    f.text("BM").u32(offset + static_cast<uint32_t>(pixelBytes)).u32(0).u32(offset);
    f.u32(headerSize)
        .u32(static_cast<uint32_t>(width))
        .u32(static_cast<uint32_t>(height))
        .u16(1)
        .u16(bitCount);
    f.u32(compression).u32(0).u32(pelsPerMeter).u32(pelsPerMeter).u32(coloursUsed).u32(0);
    f.zeros(headerSize - 40);
    return f;
}

} // namespace

TEST(ImgBMPDecoder, PalettesTakeOnlyTheColoursThereAre) {
    // 1 bit, two colours used of a claimed 300: a third entry would eat the pixels.
    Bytes f = BmpHeader(3, 1, 1, 0, 300, 8, 4);
    f.u32(0x0000FF).u32(0xFF0000).u8({0x40, 0, 0, 0});
    ImgMemBitmap b;
    Result r = Decode(f.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(r.type, kImgTypeBMP);
    EXPECT_EQ(b.GetBitsPerPixel(), 8);
    EXPECT_EQ(Rgba(b, 0, 0), 0x0000FFFFu);
    EXPECT_EQ(Rgba(b, 1, 0), 0xFF0000FFu);

    // 4 bits becomes 8 with the 16 colours; 2835 pixels a metre is 72 dpi, none is 150.
    Bytes four = BmpHeader(3, 1, 4, 0, 0, 64, 4, 40, 2835);
    four.zeros(15 * 4).u32(0x00FF00).u8({0xF0, 0x0F, 0, 0});
    r = Decode(four.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 0, 0), 0x00FF00FFu);
    EXPECT_EQ(Rgba(b, 1, 0), 0x000000FFu);
    EXPECT_EQ(Rgba(b, 2, 0), 0x000000FFu);
    EXPECT_EQ(b.GetXResolution(), 72);
    Decode(f.b, b);
    EXPECT_EQ(b.GetXResolution(), 150);
}

TEST(ImgBMPDecoder, HeightsAndOffsets) {
    // Negative height: the first row is the top one.
    Bytes top = BmpHeader(1, -2, 24, 0, 0, 0, 8);
    top.u8({0, 0, 255, 0, 255, 0, 0, 0});
    ImgMemBitmap b;
    ASSERT_EQ(Decode(top.b, b).code, 0);
    EXPECT_EQ(b.GetHeight(), 2);
    EXPECT_EQ(Rgba(b, 0, 0), 0xFF0000FFu);
    EXPECT_EQ(Rgba(b, 0, 1), 0x0000FFFFu);

    // A gap after the header: pixels start at the file's offset.
    Bytes gap = BmpHeader(1, 1, 24, 0, 0, 0, 4);
    gap.b[10] += 6;
    gap.zeros(6).u8({255, 0, 0, 0});
    ASSERT_EQ(Decode(gap.b, b).code, 0);
    EXPECT_EQ(Rgba(b, 0, 0), 0x0000FFFFu);

    // An offset inside the header is refused, not read backwards.
    Bytes back = BmpHeader(1, 1, 24, 0, 0, 0, 4);
    back.b[10] = 20;
    back.u8({255, 0, 0, 0});
    EXPECT_EQ(Decode(back.b, b).code, kImgBadData);

    Bytes none = BmpHeader(0, 1, 24, 0, 0, 0, 0);
    EXPECT_EQ(Decode(none.b, b).code, kImgBadData);
    Bytes huge = BmpHeader(1 << 20, 1 << 20, 24, 0, 0, 0, 0);
    EXPECT_EQ(Decode(huge.b, b).code, kImgOutOfMemory);
    Bytes cut = BmpHeader(4, 4, 24, 0, 0, 0, 48);
    cut.zeros(40);
    EXPECT_EQ(Decode(cut.b, b).code, kImgEndOfData);
}

TEST(ImgBMPDecoder, BitmapArraysAndOs2Headers) {
    // "BA" array header, then an OS/2 1.x bitmap of 1x1 at 8 bits with a 3-byte palette.
    Bytes f;
    f.text("BA").u32(0).u32(0).u32(0);
    uint32_t offset = 14 + 14 + 12 + 256 * 3;
    f.text("BM").u32(0).u32(0).u32(offset);
    f.u32(12).u16(1).u16(1).u16(1).u16(8);
    f.u8({1, 2, 3, 0xFF, 0x80, 0x00}).zeros(254 * 3);
    f.u8({1, 0, 0, 0});
    ImgMemBitmap b;
    Result r = Decode(f.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 0, 0), 0x0080FFFFu);
}

TEST(ImgBMPDecoder, LaterHeadersCarryPaletteAndMasks) {
    // V5 header, 8 bits, 4-byte palette entries, a 3-byte gap before the pixels.
    Bytes f = BmpHeader(2, 1, 8, 0, 2, 8, 4, 124);
    f.b[10] += 3;
    f.u32(0x123456).u32(0xABCDEF).zeros(3).u8({1, 0, 0, 0});
    ImgMemBitmap b;
    Result r = Decode(f.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 0, 0), 0xABCDEFFFu);
    EXPECT_EQ(Rgba(b, 1, 0), 0x123456FFu);

    // V5, 32 bits with alpha in the standard masks: kept as stored, alpha flag on.
    Bytes a = BmpHeader(1, 1, 32, 3, 0, 0, 4, 124);
    const uint32_t standard[] = {0xFF0000, 0xFF00, 0xFF, 0xFF000000u};
    std::memcpy(&a.b[14 + 40], standard, sizeof standard);
    a.u8({10, 20, 30, 40});
    r = Decode(a.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_TRUE(b.HasAlpha());
    EXPECT_EQ(Rgba(b, 0, 0), 0x1E140A28u);

    // 16 bits 5-6-5 through masks after a 40-byte header.
    Bytes g = BmpHeader(2, 1, 16, 3, 0, 12, 4);
    g.u32(0xF800).u32(0x07E0).u32(0x001F).u16(0xF800).u16(0x07E0);
    r = Decode(g.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 0, 0), 0xF80000FFu);
    EXPECT_EQ(Rgba(b, 1, 0), 0x00F800FFu); // green keeps five bits
    EXPECT_FALSE(b.HasAlpha());

    // 16 bits without bit fields are 5-5-5 whatever masks a later header carries.
    Bytes plain = BmpHeader(1, 1, 16, 0, 0, 0, 4, 124);
    plain.u16(0x7C00).u16(0);
    r = Decode(plain.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 0, 0), 0xF80000FFu);
}

TEST(ImgBMPDecoder, RunLengthStaysInsideLinesAndPicture) {
    // 3x2 RLE8: a run of 5 on a 3-pixel line drops the excess; end of line; a literal of 4
    // clipped likewise; then data after the last line is never looked at.
    Bytes f = BmpHeader(3, 2, 8, 1, 2, 8, 0);
    f.u32(0x0000FF).u32(0x00FF00);
    f.u8({5, 1, 0, 0, 0, 4, 0, 1, 1, 0, 0, 0, 7, 1});
    ImgMemBitmap b;
    Result r = Decode(f.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 2, 1), 0x00FF00FFu); // bottom line from the run
    EXPECT_EQ(Rgba(b, 0, 0), 0x0000FFFFu); // top line from the literal 0 1 1
    EXPECT_EQ(Rgba(b, 1, 0), 0x00FF00FFu);

    // RLE4: nibbles alternate; end of picture.
    Bytes four = BmpHeader(4, 1, 4, 2, 2, 8, 0);
    four.u32(0x0000FF).u32(0x00FF00);
    four.u8({3, 0x10, 0, 1});
    r = Decode(four.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 0, 0), 0x00FF00FFu);
    EXPECT_EQ(Rgba(b, 1, 0), 0x0000FFFFu);
    EXPECT_EQ(Rgba(b, 2, 0), 0x00FF00FFu);
    EXPECT_EQ(b.GetLine(0)[3], 0); // never written: zero

    Bytes delta = BmpHeader(2, 2, 8, 1, 1, 4, 0);
    delta.u32(0).u8({0, 2, 1, 1});
    r = Decode(delta.b, b);
    EXPECT_EQ(r.code, kImgNotSupported);
    EXPECT_EQ(r.text, "Decoder error: Encountered delta escape.\n");

    // Compression that does not belong to the depth.
    EXPECT_EQ(Decode(BmpHeader(1, 1, 8, 2, 1, 4, 4).u32(0).u32(0).b, b).code, kImgNotSupported);
    EXPECT_EQ(Decode(BmpHeader(1, 1, 24, 1, 0, 0, 4).u32(0).b, b).code, kImgNotSupported);
    EXPECT_EQ(Decode(BmpHeader(1, 1, 7, 0, 0, 0, 4).u32(0).b, b).code, kImgBadData);
}

TEST(ImgBMPDecoder, RunLengthDataMustReachTheEndOfThePicture) {
    // 3000 x 3000: one run and the end-of-picture code describe it all, the rest index 0.
    Bytes f = BmpHeader(3000, 3000, 8, 1, 2, 8, 4);
    f.u32(0x0000FF).u32(0x00FF00).u8({2, 1, 0, 1});
    ImgMemBitmap b;
    Result r = Decode(f.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 1, 2999), 0x00FF00FFu);
    EXPECT_EQ(Rgba(b, 2, 2999), 0x0000FFFFu);
    EXPECT_EQ(Rgba(b, 2999, 0), 0x0000FFFFu);

    // Without it the data ends three lines in: refused before the picture is made.
    Bytes cut = BmpHeader(3000, 3000, 8, 1, 2, 8, 6);
    cut.u32(0).u32(0).u8({2, 1, 0, 0, 0, 0});
    ImgMemBitmap untouched;
    r = Decode(cut.b, untouched);
    EXPECT_EQ(r.code, kImgEndOfData);
    EXPECT_EQ(untouched.GetWidth(), 0);
}

TEST(ImgBMPDecoder, EndlessRunsOnOneLineAreDroppedWithoutCountingOn) {
    // More than 2^31 pixels of runs before the end of line: the dropped excess must not carry
    // the column round to a negative one that writes before the line.
    Bytes f = BmpHeader(2, 2, 8, 1, 2, 8, 0);
    f.u32(0x0000FF).u32(0x00FF00);
    f.u8({2, 1});
    const size_t runs = (size_t(1) << 31) / 255 + 2;
    f.b.reserve(f.b.size() + 2 * runs + 8);
    for (size_t i = 0; i < runs; ++i)
        f.u8({255, 0});
    f.u8({0, 0, 2, 1, 0, 1});
    ImgMemBitmap b;
    Result r = Decode(f.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 2; ++x)
            EXPECT_EQ(Rgba(b, x, y), 0x00FF00FFu) << x << "," << y;
}

TEST(ImgTGADecoder, TypesMapsAndRowOrder) {
    ImgMemBitmap b;
    // Type 0 passes detection and then fails.
    Bytes none;
    none.u8({0, 0, 0}).zeros(4).u8({0}).zeros(4).u16(1).u16(1).u8({24, 0});
    Result r = Decode(none.b, b);
    EXPECT_EQ(r.type, kImgTypeTGA);
    EXPECT_EQ(r.text, "Decoder error: Unknown TGA image type.\n");

    // Colour-mapped, map starting at entry 2, 24-bit entries, top-down.
    Bytes mapped;
    mapped.u8({0, 1, 1}).u16(2).u16(2).u8({24}).zeros(4).u16(2).u16(1).u8({8, 0x20});
    mapped.u8({0, 0, 255, 255, 0, 0}).u8({3, 2});
    r = Decode(mapped.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 0, 0), 0x0000FFFFu);
    EXPECT_EQ(Rgba(b, 1, 0), 0xFF0000FFu);

    // A map without an entry size.
    mapped.b[7] = 0;
    EXPECT_EQ(Decode(mapped.b, b).code, kImgBadData);

    // 16 bits, bottom-up: the attribute bit is the alpha.
    Bytes sixteen;
    sixteen.u8({0, 0, 2}).zeros(5).zeros(4).u16(1).u16(2).u8({16, 0});
    sixteen.u16(0x801F).u16(0x7C00);
    r = Decode(sixteen.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_TRUE(b.HasAlpha());
    EXPECT_EQ(Rgba(b, 0, 1), 0x0000F8FFu); // first row is the bottom one
    EXPECT_EQ(Rgba(b, 0, 0), 0xF8000000u);
}

TEST(ImgTGADecoder, RunLengthPacketsCrossLinesButNotThePicture) {
    // 2x2 gray RLE: one run of 3 covers the first line and half the next; a run of 128 then
    // reaches far past the picture's end.
    Bytes f;
    f.u8({0, 0, 11}).zeros(5).zeros(4).u16(2).u16(2).u8({8, 0x20});
    f.u8({0x82, 50, 0xFF, 99});
    ImgMemBitmap b;
    Result r = Decode(f.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(b.GetLine(0)[1], 50);
    EXPECT_EQ(b.GetLine(1)[0], 50);
    EXPECT_EQ(b.GetLine(1)[1], 99);
    EXPECT_EQ(Rgba(b, 1, 1), 0x636363FFu);
}

namespace {

Bytes PcxHeader(int bits, int planes, uint16_t width, uint16_t height, uint16_t bytesPerLine) {
    Bytes f;
    f.u8({10, 5, 1, bits}).u16(0).u16(0).u16(width - 1).u16(height - 1).u16(96).u16(120);
    f.zeros(48).u8({0, planes}).u16(bytesPerLine).zeros(60);
    return f;
}

} // namespace

TEST(ImgPCXDecoder, TruncatedFilesAndPalettes) {
    // 8 bits, one plane, 2x2: the data stops after the first line, the palette is at the end.
    Bytes f = PcxHeader(8, 1, 2, 2, 2);
    f.u8({0xC2, 1});
    f.u8({0x0C}).u8({0, 0, 0, 10, 20, 30}).zeros(254 * 3);
    ImgMemBitmap b;
    Result r = Decode(f.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 1, 0), 0x0A141EFFu);
    EXPECT_EQ(Rgba(b, 0, 1), 0x000000FFu); // missing: index 0
    EXPECT_EQ(b.GetXResolution(), 96);
    EXPECT_EQ(b.GetYResolution(), 120);

    // 24 bits in three planes, one pixel.
    Bytes rgb = PcxHeader(8, 3, 1, 1, 1);
    rgb.u8({0xC1, 200, 100, 50});
    r = Decode(rgb.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(Rgba(b, 0, 0), 0xC86432FFu);

    // 1 bit in one plane: black and white.
    Bytes mono = PcxHeader(1, 1, 3, 1, 2);
    mono.u8({0xA0, 0});
    ASSERT_EQ(Decode(mono.b, b).code, 0);
    EXPECT_EQ(Rgba(b, 0, 0), 0xFFFFFFFFu);
    EXPECT_EQ(Rgba(b, 1, 0), 0x000000FFu);
}

TEST(ImgPCXDecoder, ShortDataKeepsOnlyTheLinesItsLongestRunsCouldReach) {
    // 64 x 1000 at 8 bits: two bytes yield at most 63, so three runs reach into the third line.
    Bytes f = PcxHeader(8, 1, 64, 1000, 64);
    f.b[16 + 3 * 3] = 0x33; // red of the header's colour 3
    f.u8({0xFF, 3, 0xFF, 3, 0xFF, 3});
    ImgMemBitmap b;
    Result r = Decode(f.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(b.GetHeight(), 3);
    EXPECT_EQ(Rgba(b, 0, 0), 0x330000FFu);
    EXPECT_EQ(Rgba(b, 60, 2), 0x330000FFu);
    EXPECT_EQ(Rgba(b, 61, 2), 0x000000FFu); // beyond the data: index 0

    Bytes none = PcxHeader(8, 1, 64, 1000, 64);
    EXPECT_EQ(Decode(none.b, b).code, kImgEndOfData);
}

TEST(ImgPCXDecoder, HeadersThatCannotHoldThePicture) {
    ImgMemBitmap b;
    struct Case {
        Bytes file;
        int32_t code;
    } cases[] = {
        {PcxHeader(8, 1, 4, 1, 3), kImgBadData},                           // line shorter than the width
        {PcxHeader(1, 0, 4, 1, 1), kImgBadData},                           // no plane
        {PcxHeader(1, 5, 4, 1, 1), kImgBadData},                           // too many planes
        {PcxHeader(4, 2, 4, 1, 2), kImgBadData},                           // planes the depth cannot have
        {PcxHeader(4, 3, 4, 1, 2), kImgFeatureNotSupported},               // planar and more than one bit
        {PcxHeader(8, 1, 2, 1, 2).u8({0xC5, 1}), kImgFeatureNotSupported}, // run past the end
    };
    for (auto& c : cases)
        EXPECT_EQ(Decode(c.file.b, b).code, c.code);
    Bytes wrong = PcxHeader(8, 1, 1, 1, 1);
    wrong.b[2] = 0;
    EXPECT_EQ(Decode(wrong.b, b).code, kImgUnknownType); // fails the detection already
}

TEST(ImgPnmDecoders, HeadersWithAnyWhitespaceCommentsAndOneSeparator) {
    ImgMemBitmap b;
    Bytes gray;
    gray.text("P5\t2\f# Breite\n1\v\r\n255\n").u8({10, 32});
    Result r = Decode(gray.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(r.type, kImgTypePGM);
    EXPECT_EQ(b.GetBitsPerPixel(), 8);
    EXPECT_EQ(b.GetLine(0)[0], 10); // a whitespace value right after the one separator is a sample
    EXPECT_EQ(b.GetLine(0)[1], 32);

    Bytes ascii;
    ascii.text("P2 3 1 1000\n0 200 999\n");
    ASSERT_EQ(Decode(ascii.b, b).code, 0);
    EXPECT_EQ(b.GetLine(0)[1], 200); // read as if the maximum were 255
    EXPECT_EQ(b.GetLine(0)[2], 255); // and clamped, not wrapped

    Bytes scaled;
    scaled.text("P2 2 1 3\n3 9\n");
    ASSERT_EQ(Decode(scaled.b, b).code, 0);
    EXPECT_EQ(b.GetLine(0)[0], 255);
    EXPECT_EQ(b.GetLine(0)[1], 255);

    Bytes wide;
    wide.text("P6 1 1 1023\n").u8({0x03, 0xFF, 0x02, 0x00, 0x00, 0x00});
    r = Decode(wide.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    EXPECT_EQ(r.type, kImgTypePPM);
    EXPECT_EQ(Rgba(b, 0, 0), 0xFF7F00FFu);
}

TEST(ImgPnmDecoders, BadHeaders) {
    ImgMemBitmap b;
    struct Case {
        const char* text;
        int32_t code;
    } cases[] = {
        {"P5 99999999999999999999 1 255\n", kImgBadData},
        {"P5 0 1 255\n", kImgBadData},
        {"P5 2 x 255\n", kImgBadData},
        {"P5 2 1 255", kImgEndOfData},
        {"P5 2 1 255\n\x01", kImgEndOfData},
        {"P3 1 1 255\n1 2", kImgEndOfData},
        {"P6 20000 20000 255\n", kImgOutOfMemory},
    };
    for (auto& c : cases) {
        Bytes f;
        f.text(c.text);
        EXPECT_EQ(Decode(f.b, b).code, c.code) << c.text;
    }
}

TEST(ImgRasterDecoders, TruncatedPixelsLeaveTheBitmapUnlocked) {
    Bytes bmp = BmpHeader(2, 2, 8, 1, 2, 8, 0);
    bmp.u32(0).u32(0).u8({2, 1});
    Bytes tga;
    tga.u8({0, 0, 11}).zeros(9).u16(2).u16(2).u8({8, 0}).u8({0x81, 5});
    Bytes pgm;
    pgm.text("P5 2 2 255\n").u8({1});
    Bytes ppm;
    ppm.text("P3 1 1 255\n1 2");
    for (const Bytes* file : {&bmp, &tga, &pgm, &ppm}) {
        ImgMemBitmap b;
        Result r = Decode(file->b, b);
        EXPECT_NE(r.code, 0) << r.type;
        EXPECT_EQ(b.GetLockCount(), 0) << r.type;
    }
}

TEST(ImgRunLengthDecoders, LiteralRunsPadsAndRunsAcrossLines) {
    // Each file is 3 x 2 unless said otherwise; the expected rows are top first, as palette
    // indices (8 bpp) or as the blue byte of each pixel (32 bpp).
    auto bmp = [](uint32_t compression, int bitCount, std::initializer_list<int> data) {
        Bytes f = BmpHeader(3, 2, bitCount, compression, 4, 16, data.size());
        f.u32(0).u32(0).u32(0).u32(0).u8(data);
        return f;
    };
    auto tga = [](int type, int depth, std::initializer_list<int> data) {
        Bytes f;
        f.u8({0, 0, type}).zeros(5).zeros(4).u16(3).u16(2).u8({depth, 0x20}).u8(data);
        return f;
    };
    using Rows = std::vector<std::vector<int>>;
    struct Case {
        const char* what;
        Bytes file;
        Rows rows;
    } cases[] = {
        // An odd literal run is followed by a pad byte; were it read as a code, the end of line
        // after it would start a literal run of the next line's bytes.
        {"RLE8 odd literal", bmp(1, 8, {0, 3, 1, 2, 3, 0, 0, 0, 3, 2, 0, 1}), {{2, 2, 2}, {1, 2, 3}}},
        {"RLE8 even literal", bmp(1, 8, {0, 4, 1, 2, 3, 3, 0, 0, 3, 2, 0, 1}), {{2, 2, 2}, {1, 2, 3}}},
        // Nibbles: five take three bytes and a pad, three take two bytes and none.
        {"RLE4 odd bytes",
         bmp(2, 4, {0, 5, 0x12, 0x31, 0x20, 0, 0, 0, 3, 0x20, 0, 1}),
         {{2, 0, 2}, {1, 2, 3}}},
        {"RLE4 even bytes", bmp(2, 4, {0, 3, 0x31, 0x20, 0, 0, 3, 0x12, 0, 1}), {{1, 2, 1}, {3, 1, 2}}},
        // Runs of alternating nibbles; an odd count ends on the high one.
        {"RLE4 runs", bmp(2, 4, {3, 0x12, 0, 0, 1, 0x30, 2, 0x02, 0, 1}), {{3, 0, 2}, {1, 2, 1}}},
        // A literal packet crosses from the first line into the second; a run packet follows.
        {"TGA literal across lines", tga(11, 8, {0x03, 1, 2, 3, 4, 0x81, 5}), {{1, 2, 3}, {4, 5, 5}}},
        {"TGA 24-bit literal and run",
         tga(10, 24, {0x01, 1, 0, 0, 2, 0, 0, 0x83, 3, 0, 0}),
         {{1, 2, 3}, {3, 3, 3}}},
    };
    for (auto& c : cases) {
        ImgMemBitmap b;
        Result r = Decode(c.file.b, b);
        EXPECT_EQ(r.code, 0) << c.what << ": " << r.text;
        if (r.code != 0) continue;
        const int step = b.GetBitsPerPixel() == 8 ? 1 : 4;
        Rows got(2, std::vector<int>(3));
        for (int y = 0; y < 2; ++y)
            for (int x = 0; x < 3; ++x)
                got[y][x] = b.GetLine(y)[step * x];
        EXPECT_EQ(got, c.rows) << c.what;
    }
}

TEST(ImgPCXDecoder, RunsOfNothingLiteralHighBytesAndRunsAcrossLines) {
    // 8 bits, one plane, 3 x 2, lines of 4 bytes (one pad byte each), palette entry i red i.
    // A run of 0 copies nothing but takes its byte; a byte of 192 or more is written as a run
    // of one; a run goes on over the pad byte into the next line.
    Bytes f = PcxHeader(8, 1, 3, 2, 4);
    f.u8({0xC0, 9, 1, 0xC1, 200, 0xC3, 7, 0xC2, 5, 4});
    f.u8({0x0C});
    for (int i = 0; i < 256; ++i)
        f.u8({i, 0, 0});
    ImgMemBitmap b;
    Result r = Decode(f.b, b);
    ASSERT_EQ(r.code, 0) << r.text;
    std::vector<std::vector<int>> reds(2, std::vector<int>(3));
    for (int y = 0; y < 2; ++y)
        for (int x = 0; x < 3; ++x)
            reds[y][x] = static_cast<int>(Rgba(b, x, y) >> 24);
    EXPECT_EQ(reds, (std::vector<std::vector<int>>{{1, 200, 7}, {7, 5, 5}}));
}
