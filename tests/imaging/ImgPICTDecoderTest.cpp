// PICT files built opcode by opcode: bitmaps of every pixel size, the walk over vector
// opcodes, embedded JPEG data and the refusals.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgPICTDecoder.h"
#include "tests/imaging/BigEndianBytes.h"

#include <gtest/gtest.h>

using imgtest::Argb;
using imgtest::BeBytes;
using imgtest::Decode;
using imgtest::Indexed;

namespace {

// Preamble, size, frame and the version 2 opcodes with the header opcode.
BeBytes Version2() {
    BeBytes b;
    b.Zeros(512).U16(0).Zeros(8).U16(0x0011).U16(0x02FF);
    b.U16(0x0C00).U16(0xFFFE).U16(0).U32(72 << 16).U32(96 << 16).Zeros(8).U32(0);
    return b;
}

BeBytes Version1() {
    BeBytes b;
    b.Zeros(512).U16(0).Zeros(8).U8(0).U8(0x11).U8(1);
    return b;
}

// Row bytes with the pixmap flag, bounds and the pixmap fields after them.
void PixMapFields(BeBytes& b, uint16_t rowBytes, int width, int height, uint16_t pixelSize,
                  uint16_t components) {
    b.U16(0x8000 | rowBytes)
        .U16(0)
        .U16(0)
        .U16(static_cast<uint32_t>(height))
        .U16(static_cast<uint32_t>(width));
    b.U16(0).U16(pixelSize == 32 ? 4 : 0).U32(0).U32(72 << 16).U32(72 << 16);
    b.U16(pixelSize > 8 ? 16 : 0).U16(pixelSize).U16(components).U16(pixelSize > 8 ? 8 : pixelSize);
    b.U32(0).U32(0).U32(0);
}

void RectsAndMode(BeBytes& b, int width, int height) {
    for (int i = 0; i < 2; ++i)
        b.U16(0).U16(0).U16(static_cast<uint32_t>(height)).U16(static_cast<uint32_t>(width));
    b.U16(0);
}

// A colour table in order: entry i is 0x10 * i in red, green and blue.
void ColourTable(BeBytes& b, int count) {
    b.U32(0).U16(0x8000).U16(static_cast<uint32_t>(count - 1));
    for (int i = 0; i < count; ++i)
        b.U16(0).U16(0x1000u * i).U16(0x1000u * i).U16(0x1000u * i);
}

// Packed rows: one literal each, the length in one byte (row bytes below 251).
void LiteralRow(BeBytes& b, const std::vector<uint8_t>& row) {
    b.U8(static_cast<uint32_t>(row.size() + 1)).U8(static_cast<uint32_t>(row.size() - 1)).Bytes(row);
}

void End(BeBytes& b) {
    if (b.Size() % 2) b.U8(0);
    b.U16(0x00FF);
}

// Records the bytes it is given instead of decoding them.
class FakeJpeg : public ImgPictureDecoder {
  public:
    std::vector<uint8_t> seen;

  protected:
    void DoDecode(ImgBitmap* bitmap, ImgDataSource* source) override {
        int32_t size = source->GetBytesLeft();
        const uint8_t* p = source->ReadNBytes(size);
        seen.assign(p, p + size);
        bitmap->Create(2, 2, 32);
    }
};

} // namespace

TEST(ImgPICTDecoder, IndexedPixMapThroughTheRecognisingDecoder) {
    BeBytes b = Version2();
    b.U16(0x0001).U16(10).U16(0).U16(0).U16(2).U16(10); // clip rectangle
    b.U16(0x001E);                                      // DefHilite, no data
    b.U16(0x0098);
    PixMapFields(b, 10, 10, 2, 8, 1);
    ColourTable(b, 16);
    RectsAndMode(b, 10, 2);
    LiteralRow(b, {0, 1, 2, 3, 4, 5, 6, 7, 8, 9});
    b.U8(2).U8(0xF7).U8(15); // a run of ten
    End(b);

    ImgMemBitmap bitmap;
    ImgAnyDecoder any;
    any.DecodeMemory(b.Get().data(), b.Size(), &bitmap);
    EXPECT_EQ(any.GetDetectedType(), kImgTypePICT);
    ASSERT_EQ(bitmap.GetBitsPerPixel(), 8);
    EXPECT_EQ(bitmap.GetWidth(), 10);
    EXPECT_EQ(bitmap.GetXResolution(), 72);
    EXPECT_EQ(bitmap.GetYResolution(), 96);
    EXPECT_EQ(Indexed(bitmap, 3, 0), 0x303030u);
    EXPECT_EQ(Indexed(bitmap, 9, 1), 0xF0F0F0u);
}

TEST(ImgPICTDecoder, DirectBitsAtThirtyTwoAndSixteenBitsWithAndWithoutAlpha) {
    {
        BeBytes b = Version2();
        b.U16(0x009A).U32(0xFF);
        PixMapFields(b, 12, 3, 1, 32, 3);
        RectsAndMode(b, 3, 1);
        LiteralRow(b, {0xFF, 0x00, 0x11, 0x00, 0xFF, 0x22, 0x00, 0x00, 0x33}); // red, green, blue planes
        End(b);
        ImgMemBitmap bitmap;
        ImgPICTDecoder decoder;
        ASSERT_EQ(Decode(decoder, b.Get(), &bitmap).code, 0);
        ASSERT_EQ(bitmap.GetBitsPerPixel(), 32);
        EXPECT_FALSE(bitmap.HasAlpha());
        EXPECT_EQ(Argb(bitmap, 0, 0), 0xFFFF0000u);
        EXPECT_EQ(Argb(bitmap, 2, 0), 0xFF112233u);
    }
    {
        BeBytes b = Version2();
        b.U16(0x009A).U32(0xFF);
        PixMapFields(b, 4, 2, 1, 16, 3);
        RectsAndMode(b, 2, 1);
        b.Bytes({0x7C, 0x00, 0x03, 0xE0}); // below 8 row bytes: stored as they are; red, green
        End(b);
        ImgMemBitmap bitmap;
        ImgPICTDecoder decoder;
        ASSERT_EQ(Decode(decoder, b.Get(), &bitmap).code, 0);
        EXPECT_EQ(Argb(bitmap, 0, 0), 0xFFF80000u);
        EXPECT_EQ(Argb(bitmap, 1, 0), 0xFF00F800u);
    }
    {
        // Four components: the alpha plane comes first.
        BeBytes b = Version2();
        b.U16(0x009A).U32(0xFF);
        PixMapFields(b, 8, 2, 1, 32, 4);
        RectsAndMode(b, 2, 1);
        LiteralRow(b, {0x80, 0x40, 1, 2, 3, 4, 5, 6});
        End(b);
        ImgMemBitmap bitmap;
        ImgPICTDecoder decoder;
        ASSERT_EQ(Decode(decoder, b.Get(), &bitmap).code, 0);
        EXPECT_TRUE(bitmap.HasAlpha());
        EXPECT_EQ(Argb(bitmap, 1, 0), 0x40020406u);
    }
}

TEST(ImgPICTDecoder, SmallPixelsAreClippedAtTheWidth) {
    // Version 1 bitmap: 9 pixels of one bit, set bits black.
    {
        BeBytes b = Version1();
        b.U8(0x90).U16(2).U16(0).U16(0).U16(1).U16(9);
        RectsAndMode(b, 9, 1);
        b.Bytes({0xA0, 0xFF});
        b.U8(0xFF);
        ImgMemBitmap bitmap;
        ImgPICTDecoder decoder;
        ASSERT_EQ(Decode(decoder, b.Get(), &bitmap).code, 0);
        EXPECT_EQ(bitmap.GetWidth(), 9);
        EXPECT_EQ(Indexed(bitmap, 0, 0), 0x000000u);
        EXPECT_EQ(Indexed(bitmap, 1, 0), 0xFFFFFFu);
        EXPECT_EQ(Indexed(bitmap, 2, 0), 0x000000u);
        EXPECT_EQ(Indexed(bitmap, 8, 0), 0x000000u);
    }
    // 4-bit pixmap of 3 pixels: the fourth nibble of the row is not a pixel.
    {
        BeBytes b = Version2();
        b.U16(0x0098);
        PixMapFields(b, 2, 3, 1, 4, 1);
        ColourTable(b, 16);
        RectsAndMode(b, 3, 1);
        b.Bytes({0x12, 0x3F});
        End(b);
        ImgMemBitmap bitmap;
        ImgPICTDecoder decoder;
        ASSERT_EQ(Decode(decoder, b.Get(), &bitmap).code, 0);
        EXPECT_EQ(bitmap.GetWidth(), 3);
        EXPECT_EQ(bitmap.GetLine(0)[0], 1);
        EXPECT_EQ(bitmap.GetLine(0)[2], 3);
    }
}

TEST(ImgPICTDecoder, BitsRectRowsAreNeverPacked) {
    // 8 row bytes would be packed under PackBitsRect; BitsRect stores them as they are.
    BeBytes b = Version2();
    b.U16(0x0090);
    PixMapFields(b, 8, 8, 1, 8, 1);
    ColourTable(b, 16);
    RectsAndMode(b, 8, 1);
    b.Bytes({7, 6, 5, 4, 3, 2, 1, 0});
    End(b);
    ImgMemBitmap bitmap;
    ImgPICTDecoder decoder;
    ASSERT_EQ(Decode(decoder, b.Get(), &bitmap).code, 0);
    EXPECT_EQ(bitmap.GetLine(0)[0], 7);
    EXPECT_EQ(bitmap.GetLine(0)[7], 0);
}

TEST(ImgPICTDecoder, VectorOnlyPictureIsRefusedAfterTheWalk) {
    BeBytes b = Version1();
    b.U8(0x01).U16(10).Zeros(8);             // clip
    b.U8(0x20).Zeros(8);                     // line
    b.U8(0x28).Zeros(4).U8(3).Text("Abc");   // long text
    b.U8(0x2B).U8(1).U8(2).U8(2).Text("Hi"); // text, both offsets
    b.U8(0x71).U16(12).Zeros(10);            // paint polygon
    b.U8(0x81).U16(10).Zeros(8);             // paint region
    b.U8(0xA1).U16(100).U16(4).Zeros(4);     // long comment
    b.U8(0xFF);
    ImgMemBitmap bitmap;
    ImgPICTDecoder decoder;
    auto outcome = Decode(decoder, b.Get(), &bitmap);
    EXPECT_EQ(outcome.code, kImgNotSupported);
    EXPECT_EQ(outcome.text, "Decoder error: PICT contained only vector data!\n\n");
}

TEST(ImgPICTDecoder, EmbeddedJpegIsHandedOnWithinItsOpcode) {
    BeBytes b = Version2();
    b.U16(0x8200).U32(8).Bytes({0, 0, 0xFF, 0xD8, 0xFF, 0xE0, 1, 2});
    b.Bytes({0xFF, 0xD9, 0xEE});
    FakeJpeg jpeg;
    ImgPICTDecoder decoder(&jpeg);
    ImgMemBitmap bitmap;
    ASSERT_EQ(Decode(decoder, b.Get(), &bitmap).code, 0);
    EXPECT_EQ(jpeg.seen, (std::vector<uint8_t>{0xFF, 0xD8, 0xFF, 0xE0, 1, 2}));
    EXPECT_EQ(bitmap.GetWidth(), 2);

    // The start marker right after the opcode's data is not part of it.
    BeBytes outside = Version2();
    outside.U16(0x8200).U32(4).Bytes({1, 2, 3, 4, 0xFF, 0xD8, 0xFF, 0xE0});
    auto outcome = Decode(decoder, outside.Get(), &bitmap);
    EXPECT_EQ(outcome.code, kImgNotSupported);
    EXPECT_EQ(outcome.text, "Decoder error: PICT file contains unrecognized quicktime data.\n\n");

    ImgPICTDecoder withoutJpeg;
    outcome = Decode(withoutJpeg, b.Get(), &bitmap);
    EXPECT_EQ(outcome.code, kImgNotSupported);
    EXPECT_EQ(outcome.text, "Decoder error: Library not compiled for PICT/JPEG.\n");
}

TEST(ImgPICTDecoder, RefusesBadHeadersAndTables) {
    struct Case {
        const char* what;
        std::function<void(BeBytes&)> body;
        int32_t code;
    } cases[] = {
        {"table larger than 256",
         [](BeBytes& b) {
             b.U16(0x0098);
             PixMapFields(b, 8, 8, 1, 8, 1);
             b.U32(0).U16(0x8000).U16(299);
         },
         kImgBadData},
        {"table larger than the pixel size",
         [](BeBytes& b) {
             b.U16(0x0098);
             PixMapFields(b, 8, 8, 1, 2, 1);
             ColourTable(b, 5);
         },
         kImgBadData},
        {"entry index past the table",
         [](BeBytes& b) {
             b.U16(0x0098);
             PixMapFields(b, 8, 8, 1, 8, 1);
             b.U32(0).U16(0).U16(1).U16(0).Zeros(6).U16(2).Zeros(6);
         },
         kImgBadData},
        {"empty bounds",
         [](BeBytes& b) {
             b.U16(0x009A).U32(0);
             PixMapFields(b, 8, 0, 1, 32, 3);
         },
         kImgBadData},
        {"row bytes short of the width",
         [](BeBytes& b) {
             b.U16(0x009A).U32(0);
             PixMapFields(b, 8, 4, 1, 32, 3);
             RectsAndMode(b, 4, 1);
         },
         kImgBadData},
        {"two components",
         [](BeBytes& b) {
             b.U16(0x009A).U32(0);
             PixMapFields(b, 8, 2, 1, 32, 2);
         },
         kImgBadData},
        {"pixel size 24",
         [](BeBytes& b) {
             b.U16(0x009A).U32(0);
             PixMapFields(b, 8, 2, 1, 24, 3);
         },
         kImgBadData},
        {"clip length 1", [](BeBytes& b) { b.U16(0x0001).U16(1); }, kImgBadData},
        {"region length 0", [](BeBytes& b) { b.U16(0x0080).U16(0); }, kImgBadData},
        {"reserved length 1", [](BeBytes& b) { b.U16(0x00A5).U16(1); }, kImgBadData},
        {"unknown pattern", [](BeBytes& b) { b.U16(0x0012).U16(3); }, kImgBadData},
        {"long reserved past the end", [](BeBytes& b) { b.U16(0x00D0).U32(0xFFFFFFF0); }, kImgEndOfData},
        {"no end", [](BeBytes& b) { b.U16(0x0000); }, kImgEndOfData},
    };
    for (const auto& c : cases) {
        BeBytes b = Version2();
        c.body(b);
        ImgMemBitmap bitmap;
        ImgPICTDecoder decoder;
        EXPECT_EQ(Decode(decoder, b.Get(), &bitmap).code, c.code) << c.what;
    }

    BeBytes noVersion;
    noVersion.Zeros(512 + 10 + 4).U8(0x12);
    ImgMemBitmap bitmap;
    ImgPICTDecoder decoder;
    EXPECT_EQ(Decode(decoder, noVersion.Get(), &bitmap).code, kImgWrongFormat);
    BeBytes badVersion;
    badVersion.Zeros(512 + 10).U8(0x11).U8(2).U8(0xFE);
    EXPECT_EQ(Decode(decoder, badVersion.Get(), &bitmap).code, kImgWrongFormat);
}

TEST(ImgPICTDecoder, PackedRowsInPixelUnitsWithWideLengthsAndInVersionOne) {
    {
        // 16 bits, 4 pixels: row bytes 8 are packed, runs and literals count whole pixels.
        BeBytes b = Version2();
        b.U16(0x009A).U32(0xFF);
        PixMapFields(b, 8, 4, 2, 16, 3);
        RectsAndMode(b, 4, 2);
        b.U8(3).Bytes({0xFD, 0x7C, 0x00});                               // four reds
        b.U8(8).Bytes({0x01, 0x03, 0xE0, 0x00, 0x1F, 0xFF, 0x7C, 0x00}); // green, blue, two reds
        End(b);
        ImgMemBitmap bitmap;
        ImgPICTDecoder decoder;
        ASSERT_EQ(Decode(decoder, b.Get(), &bitmap).code, 0);
        EXPECT_EQ(Argb(bitmap, 3, 0), 0xFFF80000u);
        EXPECT_EQ(Argb(bitmap, 0, 1), 0xFF00F800u);
        EXPECT_EQ(Argb(bitmap, 1, 1), 0xFF0000F8u);
        EXPECT_EQ(Argb(bitmap, 3, 1), 0xFFF80000u);
    }
    {
        // Row bytes of 251 and more: the packed length takes two bytes.
        BeBytes b = Version2();
        b.U16(0x0098);
        PixMapFields(b, 260, 260, 1, 8, 1);
        ColourTable(b, 16);
        RectsAndMode(b, 260, 1);
        b.U16(6).Bytes({0x81, 5, 0x81, 6, 0xFD, 7});
        End(b);
        ImgMemBitmap bitmap;
        ImgPICTDecoder decoder;
        ASSERT_EQ(Decode(decoder, b.Get(), &bitmap).code, 0);
        EXPECT_EQ(bitmap.GetLine(0)[127], 5);
        EXPECT_EQ(bitmap.GetLine(0)[128], 6);
        EXPECT_EQ(bitmap.GetLine(0)[259], 7);
    }
    {
        // A version 1 PackBitsRect: 64 one-bit pixels from a run of eight bytes.
        BeBytes b = Version1();
        b.U8(0x98).U16(8).U16(0).U16(0).U16(1).U16(64);
        RectsAndMode(b, 64, 1);
        b.U8(2).Bytes({0xF9, 0xAA});
        b.U8(0xFF);
        ImgMemBitmap bitmap;
        ImgPICTDecoder decoder;
        ASSERT_EQ(Decode(decoder, b.Get(), &bitmap).code, 0);
        EXPECT_EQ(Indexed(bitmap, 0, 0), 0x000000u);
        EXPECT_EQ(Indexed(bitmap, 1, 0), 0xFFFFFFu);
        EXPECT_EQ(Indexed(bitmap, 62, 0), 0x000000u);
        EXPECT_EQ(Indexed(bitmap, 63, 0), 0xFFFFFFu);
    }
}
