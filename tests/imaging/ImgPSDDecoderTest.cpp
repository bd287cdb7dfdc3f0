// Photoshop files built byte by byte: the merged image, resolution, and every refusal.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgPSDDecoder.h"
#include "tests/imaging/BigEndianBytes.h"

#include <gtest/gtest.h>

using imgtest::Argb;
using imgtest::BeBytes;
using imgtest::Decode;
using imgtest::Indexed;

namespace {

struct Psd {
    uint16_t version = 1;
    uint16_t channels = 3;
    uint32_t rows = 2;
    uint32_t columns = 2;
    uint16_t depth = 8;
    uint16_t mode = 3;
    std::vector<uint8_t> colourData;
    std::vector<uint8_t> resources;
    std::vector<uint8_t> layers;
    uint16_t compression = 1;
    // One literal run a row: every channel's plane, row by row.
    std::vector<std::vector<uint8_t>> planes;
    // Replaces the rows made from the planes when set: (length, bytes) a row.
    std::vector<std::vector<uint8_t>> packedRows;

    std::vector<uint8_t> Bytes() const {
        BeBytes b;
        b.Text("8BPS").U16(version).Zeros(6).U16(channels).U32(rows).U32(columns).U16(depth).U16(mode);
        b.U32(static_cast<uint32_t>(colourData.size())).Bytes(colourData);
        b.U32(static_cast<uint32_t>(resources.size())).Bytes(resources);
        b.U32(static_cast<uint32_t>(layers.size())).Bytes(layers);
        b.U16(compression);
        std::vector<std::vector<uint8_t>> rowsPacked = packedRows;
        if (rowsPacked.empty())
            for (const auto& plane : planes) {
                if (columns == 0 || plane.size() < size_t(rows) * columns) continue; // a header-only case
                for (uint32_t y = 0; y < rows; ++y) {
                    std::vector<uint8_t> row{static_cast<uint8_t>(columns - 1)};
                    row.insert(row.end(), plane.begin() + y * columns, plane.begin() + (y + 1) * columns);
                    rowsPacked.push_back(row);
                }
            }
        for (const auto& row : rowsPacked)
            b.U16(static_cast<uint32_t>(row.size()));
        for (const auto& row : rowsPacked)
            b.Bytes(row);
        return b.Get();
    }
};

std::vector<uint8_t> Resource(uint16_t id, const std::string& name, const std::vector<uint8_t>& data) {
    BeBytes b;
    b.Text("8BIM").U16(id).U8(static_cast<uint32_t>(name.size())).Text(name);
    if (name.size() % 2 == 0) b.U8(0);
    b.U32(static_cast<uint32_t>(data.size())).Bytes(data);
    if (data.size() % 2) b.U8(0);
    return b.Get();
}

std::vector<uint8_t> Resolution(uint32_t xDpi, uint32_t yDpi) {
    return BeBytes().U32(xDpi << 16).U16(1).U16(1).U32(yDpi << 16).U16(1).U16(1).Get();
}

} // namespace

TEST(ImgPSDDecoder, RgbWithResolutionAndSkippedSections) {
    Psd psd;
    psd.planes = {{255, 0, 10, 20}, {0, 255, 30, 40}, {0, 0, 50, 60}};
    auto other = Resource(1000, "abc", {1, 2, 3});
    auto dpi = Resource(1005, "", Resolution(300, 150));
    psd.resources = other;
    psd.resources.insert(psd.resources.end(), dpi.begin(), dpi.end());
    // Layer records are not read: a count of -2 and noise up to the stated length.
    psd.layers = BeBytes().U32(10).U16(0xFFFE).Zeros(8).Get();
    psd.colourData = {9, 9, 9, 9}; // not an indexed table: skipped

    ImgMemBitmap bitmap;
    ImgAnyDecoder any;
    any.DecodeMemory(psd.Bytes().data(), psd.Bytes().size(), &bitmap);
    EXPECT_EQ(any.GetDetectedType(), kImgTypePSD);
    ASSERT_EQ(bitmap.GetBitsPerPixel(), 32);
    EXPECT_FALSE(bitmap.HasAlpha());
    EXPECT_EQ(bitmap.GetXResolution(), 300);
    EXPECT_EQ(bitmap.GetYResolution(), 150);
    EXPECT_EQ(Argb(bitmap, 0, 0) & 0xFFFFFF, 0xFF0000u);
    EXPECT_EQ(Argb(bitmap, 1, 0) & 0xFFFFFF, 0x00FF00u);
    EXPECT_EQ(Argb(bitmap, 0, 1) & 0xFFFFFF, 0x0A1E32u);
    EXPECT_EQ(Argb(bitmap, 1, 1) & 0xFFFFFF, 0x14283Cu);
}

TEST(ImgPSDDecoder, FourthChannelIsAlphaAndFurtherOnesAreIgnored) {
    Psd psd;
    psd.channels = 5;
    psd.rows = 1;
    psd.columns = 1;
    psd.planes = {{1}, {2}, {3}, {4}, {5}};
    ImgMemBitmap bitmap;
    ImgPSDDecoder decoder;
    ASSERT_EQ(Decode(decoder, psd.Bytes(), &bitmap).code, 0);
    EXPECT_TRUE(bitmap.HasAlpha());
    EXPECT_EQ(Argb(bitmap, 0, 0), 0x04010203u);
}

TEST(ImgPSDDecoder, GrayNarrowerThanEightIsPackedLikeAnyOther) {
    Psd psd;
    psd.mode = 1;
    psd.channels = 1;
    psd.rows = 2;
    psd.columns = 3;
    // A run of 3 and a literal of 3, where "stored unpacked" would read the header bytes as pixels.
    psd.packedRows = {{0xFE, 77}, {2, 1, 2, 3}};
    ImgMemBitmap bitmap;
    ImgPSDDecoder decoder;
    ASSERT_EQ(Decode(decoder, psd.Bytes(), &bitmap).code, 0);
    ASSERT_EQ(bitmap.GetBitsPerPixel(), 8);
    EXPECT_EQ(Indexed(bitmap, 0, 0), 0x4D4D4Du);
    EXPECT_EQ(Indexed(bitmap, 2, 0), 0x4D4D4Du);
    EXPECT_EQ(Indexed(bitmap, 2, 1), 0x030303u);
}

TEST(ImgPSDDecoder, IndexedTakesTheColourTable) {
    Psd psd;
    psd.mode = 2;
    psd.channels = 1;
    psd.rows = 1;
    psd.columns = 2;
    psd.colourData.assign(768, 0);
    psd.colourData[5] = 0xAA;       // red of entry 5
    psd.colourData[256 + 5] = 0xBB; // green
    psd.colourData[512 + 5] = 0xCC; // blue
    psd.planes = {{5, 0}};
    ImgMemBitmap bitmap;
    ImgPSDDecoder decoder;
    ASSERT_EQ(Decode(decoder, psd.Bytes(), &bitmap).code, 0);
    EXPECT_EQ(Indexed(bitmap, 0, 0), 0xAABBCCu);
    EXPECT_EQ(Indexed(bitmap, 1, 0), 0u);
}

TEST(ImgPSDDecoder, ResourcesAreReadOnlyInsideTheirBlocks) {
    // A resolution block too short for its values is ignored, and its neighbour still read.
    Psd psd;
    psd.rows = psd.columns = 1;
    psd.planes = {{1}, {2}, {3}};
    auto shortDpi = Resource(1005, "x", {0, 0x48, 0, 0});
    auto tail = Resource(1001, "", {7, 7});
    psd.resources = shortDpi;
    psd.resources.insert(psd.resources.end(), tail.begin(), tail.end());
    ImgMemBitmap bitmap;
    ImgPSDDecoder decoder;
    ASSERT_EQ(Decode(decoder, psd.Bytes(), &bitmap).code, 0);
    EXPECT_EQ(bitmap.GetXResolution(), 0);

    // A block that claims more than its section holds is bad data.
    psd.resources = Resource(1005, "", Resolution(72, 72));
    psd.resources.resize(psd.resources.size() - 4);
    EXPECT_EQ(Decode(decoder, psd.Bytes(), &bitmap).code, kImgBadData);
}

TEST(ImgPSDDecoder, RefusesWhatItCannotRead) {
    struct Case {
        const char* what;
        void (*change)(Psd&);
        int32_t code;
        const char* text;
    } cases[] = {
        {"zip", [](Psd& p) { p.compression = 2; }, kImgBadData,
         "Decoder error: PSD decoder: Compression type not supported.\n"},
        {"raw", [](Psd& p) { p.compression = 0; }, kImgBadData,
         "Decoder error: PSD decoder: Compression type not supported.\n"},
        {"unknown", [](Psd& p) { p.compression = 4; }, kImgBadData,
         "Decoder error: PSD decoder: Compression unknown.\n"},
        {"cmyk", [](Psd& p) { p.mode = 4; }, kImgNotSupported,
         "Decoder error: This PSD color mode is not supported.\n"},
        {"version 2", [](Psd& p) { p.version = 2; }, kImgNotSupported, nullptr},
        {"16 bits", [](Psd& p) { p.depth = 16; }, kImgNotSupported, nullptr},
        {"no channels", [](Psd& p) { p.channels = 0; }, kImgNotSupported, nullptr},
        {"rgb of two",
         [](Psd& p) {
             p.channels = 2;
             p.planes.resize(2);
         },
         kImgNotSupported, nullptr},
        {"no pixels", [](Psd& p) { p.columns = 0; }, kImgBadData, nullptr},
        {"too large", [](Psd& p) { p.columns = p.rows = 0x40000; }, kImgOutOfMemory, nullptr},
        {"bad block", [](Psd& p) { p.resources = BeBytes().Text("8BIN").Zeros(8).Get(); }, kImgBadData,
         "Decoder error: PSD decoder: Wrong signature in resource data block.\n"},
        {"layer info longer than its section", [](Psd& p) { p.layers = BeBytes().U32(1000).U16(1).Get(); }, 0,
         nullptr},
    };
    for (const auto& c : cases) {
        Psd psd;
        psd.planes = {{1, 2, 3, 4}, {1, 2, 3, 4}, {1, 2, 3, 4}};
        c.change(psd);
        ImgMemBitmap bitmap;
        ImgPSDDecoder decoder;
        auto outcome = Decode(decoder, psd.Bytes(), &bitmap);
        EXPECT_EQ(outcome.code, c.code) << c.what;
        if (c.text) {
            EXPECT_EQ(outcome.text, c.text) << c.what;
        }
    }
}

TEST(ImgPSDDecoder, PackedRowsWithNoOpsCutRunsAndShortData) {
    Psd psd;
    psd.mode = 1;
    psd.channels = 1;
    psd.rows = 3;
    psd.columns = 3;
    // A no-op before a run; a run of 128 cut at the row's end, not carried into the next row;
    // a literal of one, the rest of its row left zero.
    psd.packedRows = {{0x80, 0xFE, 9}, {0x81, 4}, {0x00, 6}};
    ImgMemBitmap bitmap;
    ImgPSDDecoder decoder;
    ASSERT_EQ(Decode(decoder, psd.Bytes(), &bitmap).code, 0);
    std::vector<uint8_t> pixels;
    for (int y = 0; y < 3; ++y)
        pixels.insert(pixels.end(), bitmap.GetLine(y), bitmap.GetLine(y) + 3);
    EXPECT_EQ(pixels, (std::vector<uint8_t>{9, 9, 9, 4, 4, 4, 6, 0, 0}));
}
