// The decoders over libjpeg, libpng, libtiff and giflib, and the JPEG writer: each library's
// error path reaches the caller as the layer's exception (through the library's own frames
// for libjpeg and libpng), and the layer's own rules around the libraries hold.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgGIFDecoder.h"
#include "imaging/ImgJPEGDecoder.h"
#include "imaging/ImgJPEGEncoder.h"
#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgPNGDecoder.h"
#include "imaging/ImgTIFFDecoder.h"

#include <gif_lib.h>
#include <png.h>
#include <tiffio.h>
#include <zlib.h>

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <memory>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

namespace {

namespace fs = std::filesystem;
using Bytes = std::vector<uint8_t>;

struct Failure {
    int32_t code = 0;
    std::string text;
};

Failure FailureOf(const std::function<void()>& action) {
    try {
        action();
    } catch (const ImgTextException& e) {
        return Failure{e.GetCode(), e.GetText()};
    }
    return {};
}

// Decodes exactly the given bytes (on the heap at their size, for the sanitizer).
void Decode(ImgPictureDecoder& decoder, const Bytes& bytes, ImgBitmap* bitmap) {
    std::unique_ptr<uint8_t[]> exact(new uint8_t[bytes.size() ? bytes.size() : 1]);
    std::copy(bytes.begin(), bytes.end(), exact.get());
    decoder.DecodeMemory(exact.get(), bytes.size(), bitmap);
}

void Decode(ImgPictureDecoder&& decoder, const Bytes& bytes, ImgBitmap* bitmap) { Decode(decoder, bytes, bitmap); }

std::string TempPath(const std::string& name) { return (fs::temp_directory_path() / ("vorlan-img-" + name)).string(); }

Bytes ReadFile(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return Bytes(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

// Colour blocks a JPEG keeps well.
void MakeBlocks(ImgMemBitmap& bitmap, int32_t width, int32_t height) {
    bitmap.Create(width, height, 32, false);
    for (int32_t y = 0; y < height; ++y)
        for (int32_t x = 0; x < width; ++x) {
            uint8_t* p = bitmap.GetLine(y) + 4 * x;
            p[0] = x < width / 2 ? 200 : 20;  // blue
            p[1] = y < height / 2 ? 30 : 220; // green
            p[2] = static_cast<uint8_t>((x * 7) ^ (y * 13)); // detail, so the data outweighs the tables
            p[3] = 0;
        }
}

Bytes EncodeJpeg(ImgBitmap& bitmap, const char* name, int quality = 0) {
    ImgJPEGEncoder encoder;
    if (quality) encoder.SetQuality(quality);
    std::string path = TempPath(name);
    encoder.EncodeFile(path.c_str(), &bitmap);
    Bytes bytes = ReadFile(path);
    std::remove(path.c_str());
    return bytes;
}

TEST(ImgJPEG, WrittenPictureReadsBackAt32BppWithDefaultResolution) {
    ImgMemBitmap source;
    MakeBlocks(source, 48, 32);
    Bytes jpeg = EncodeJpeg(source, "roundtrip.jpg");
    ImgMemBitmap read;
    Decode(ImgAnyDecoder(), jpeg, &read);
    ASSERT_EQ(read.GetBitsPerPixel(), 32);
    EXPECT_EQ(read.GetWidth(), 48);
    EXPECT_EQ(read.GetHeight(), 32);
    EXPECT_FALSE(read.HasAlpha());
    // No density in the bitmap: the reader's 72.
    EXPECT_EQ(read.GetXResolution(), 72);
    EXPECT_EQ(read.GetYResolution(), 72);
    for (int32_t y : {4, 28})
        for (int32_t x : {4, 44})
            for (int c = 0; c < 2; ++c)
                EXPECT_NEAR(read.GetLine(y)[4 * x + c], source.GetLine(y)[4 * x + c], 24) << x << "," << y;
}

TEST(ImgJPEG, TruncatedFileDecodesWithTheEndMarkerSupplied) {
    ImgMemBitmap source;
    MakeBlocks(source, 128, 128);
    Bytes jpeg = EncodeJpeg(source, "truncated.jpg");
    jpeg.resize(jpeg.size() * 2 / 3);
    ImgMemBitmap read;
    EXPECT_EQ(FailureOf([&] { Decode(ImgAnyDecoder(), jpeg, &read); }).text, "");
    EXPECT_EQ(read.GetHeight(), 128);
}

// A prefix read before the picture (PICT, EPS) must not let the library read past the data.
TEST(ImgJPEG, ReadsOnlyWhatIsLeftAfterAConsumedPrefix) {
    ImgMemBitmap source;
    MakeBlocks(source, 16, 16);
    Bytes jpeg = EncodeJpeg(source, "prefix.jpg");
    jpeg.resize(jpeg.size() - 2); // no end marker: the library asks for more at the very end
    Bytes data(100, 0x55);
    data.insert(data.end(), jpeg.begin(), jpeg.end());
    std::unique_ptr<uint8_t[]> exact(new uint8_t[data.size()]);
    std::copy(data.begin(), data.end(), exact.get());
    ImgMemSource memory;
    ASSERT_EQ(memory.Open(exact.get(), data.size()), 0);
    memory.ReadNBytes(100);
    ImgJPEGDecoder decoder;
    ImgMemBitmap read;
    EXPECT_EQ(FailureOf([&] { decoder.DecodeToBitmap(&memory, &read, 0); }).code, 0);
    EXPECT_EQ(read.GetWidth(), 16);
}

TEST(ImgJPEG, BrokenStreamThrowsCode6FromTheLibrarysErrorExit) {
    const Bytes broken = {0xFF, 0xD8, 0xFF, 0xDB, 0x00, 0x02, 0xFF, 0xC0, 0x00, 0x03, 0x08, 0xFF, 0xD9};
    ImgJPEGDecoder decoder;
    ImgMemBitmap bitmap;
    Failure f = FailureOf([&] { Decode(decoder, broken, &bitmap); });
    EXPECT_EQ(f.code, kImgNotSupported);
    EXPECT_EQ(f.text.rfind("Decoder error: ", 0), 0u) << f.text;
    // The decoder is usable again after the abort.
    ImgMemBitmap source;
    MakeBlocks(source, 8, 8);
    Bytes good = EncodeJpeg(source, "after-error.jpg");
    EXPECT_EQ(FailureOf([&] { Decode(decoder, good, &bitmap); }).code, 0);
}

struct ProgressLog : ImgProgressNotification {
    std::vector<double> values;
    void OnProgress(double fraction) override { values.push_back(fraction); }
};

TEST(ImgJPEG, ProgressRisesWithinZeroToOne) {
    ImgMemBitmap source;
    MakeBlocks(source, 64, 256);
    std::string path = TempPath("progress.jpg");
    ImgJPEGEncoder().EncodeFile(path.c_str(), &source);
    ProgressLog log;
    ImgMemBitmap read;
    ImgJPEGDecoder().DecodeFile(path.c_str(), &read, 0, &log);
    std::remove(path.c_str());
    ASSERT_GT(log.values.size(), 2u);
    for (double v : log.values) {
        EXPECT_GE(v, 0.0);
        EXPECT_LE(v, 1.0);
    }
    EXPECT_DOUBLE_EQ(log.values.back(), 1.0);
}

// A caller's own exception out of the progress call: the decoder is aborted on the way out and
// reads the next picture.
TEST(ImgJPEG, ForeignExceptionFromProgressLeavesTheDecoderUsable) {
    struct Throwing : ImgProgressNotification {
        void OnProgress(double) override { throw std::runtime_error("cancelled"); }
    } throwing;
    ImgMemBitmap source;
    MakeBlocks(source, 64, 64);
    Bytes jpeg = EncodeJpeg(source, "cancelled.jpg");
    std::unique_ptr<uint8_t[]> exact(new uint8_t[jpeg.size()]);
    std::copy(jpeg.begin(), jpeg.end(), exact.get());
    ImgMemSource memory;
    ASSERT_EQ(memory.Open(exact.get(), jpeg.size()), 0);
    memory.SetProgressNotification(&throwing);
    ImgJPEGDecoder decoder;
    ImgMemBitmap read;
    EXPECT_THROW(decoder.DecodeToBitmap(&memory, &read, 0), std::runtime_error);
    EXPECT_EQ(FailureOf([&] { Decode(decoder, jpeg, &read); }).text, "");
    EXPECT_EQ(read.GetWidth(), 64);
    EXPECT_NEAR(read.GetLine(60)[4 * 60 + 1], source.GetLine(60)[4 * 60 + 1], 24);
}

TEST(ImgJPEGEncoder, CapacityEstimateAroundItsThreshold) {
    EXPECT_EQ(ImgPictureEncoder::EstimateCapacity(19999), 24095);
    EXPECT_EQ(ImgPictureEncoder::EstimateCapacity(20000), 24000);
}

TEST(ImgJPEGEncoder, DefaultQualityIsTheLibrarysAndQualityTakesEffect) {
    ImgMemBitmap source;
    MakeBlocks(source, 64, 48);
    EXPECT_EQ(EncodeJpeg(source, "default.jpg"), EncodeJpeg(source, "q75.jpg", 75));
    EXPECT_LT(EncodeJpeg(source, "q10.jpg", 10).size(), EncodeJpeg(source, "q95.jpg", 95).size());
}

TEST(ImgJPEGEncoder, FailuresLeaveNoFile) {
    ImgJPEGEncoder encoder;
    std::string path = TempPath("failed.jpg");
    std::remove(path.c_str());

    ImgMemBitmap gray;
    gray.Create(10, 10, 8);
    EXPECT_EQ(FailureOf([&] { encoder.EncodeFile(path.c_str(), &gray); }).code, kImgNotSupported);
    EXPECT_FALSE(fs::exists(path));

    ImgMemBitmap colour;
    MakeBlocks(colour, 64, 64);
    {
        ImgFileSink sink;
        ASSERT_EQ(sink.Open(path.c_str(), 100), 0);
        EXPECT_EQ(FailureOf([&] { encoder.Encode(&colour, &sink); }).code, kImgEndOfData);
    }
    EXPECT_FALSE(fs::exists(path));

    std::string missing = TempPath("no-such-folder/x.jpg");
    EXPECT_EQ(FailureOf([&] { encoder.EncodeFile(missing.c_str(), &colour); }).code, kImgOutputFailed);
    // And the encoder still works.
    EXPECT_FALSE(EncodeJpeg(colour, "after-failure.jpg").empty());
}

// A PNG made by libpng's simple writer.
Bytes MakePng(png_uint_32 format, uint32_t width, uint32_t height, const Bytes& pixels) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    image.width = width;
    image.height = height;
    image.format = format;
    png_alloc_size_t size = 0;
    EXPECT_TRUE(png_image_write_to_memory(&image, nullptr, &size, 0, pixels.data(), 0, nullptr));
    Bytes out(size);
    EXPECT_TRUE(png_image_write_to_memory(&image, out.data(), &size, 0, pixels.data(), 0, nullptr));
    out.resize(size);
    return out;
}

void PutChunk(Bytes& out, const char* type, const Bytes& data) {
    const auto length = static_cast<uint32_t>(data.size());
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(length >> s));
    Bytes body(type, type + 4);
    body.insert(body.end(), data.begin(), data.end());
    out.insert(out.end(), body.begin(), body.end());
    const auto crc = static_cast<uint32_t>(crc32(0, body.data(), static_cast<uInt>(body.size())));
    for (int s = 24; s >= 0; s -= 8) out.push_back(static_cast<uint8_t>(crc >> s));
}

TEST(ImgPNG, RgbaKeepsAlphaInBlueGreenRedOrder) {
    Bytes png = MakePng(PNG_FORMAT_RGBA, 2, 1, {10, 20, 30, 40, 50, 60, 70, 80});
    ImgMemBitmap bitmap;
    Decode(ImgPNGDecoder(), png, &bitmap);
    ASSERT_EQ(bitmap.GetBitsPerPixel(), 32);
    EXPECT_TRUE(bitmap.HasAlpha());
    EXPECT_EQ(Bytes(bitmap.GetLine(0), bitmap.GetLine(0) + 8), (Bytes{30, 20, 10, 40, 70, 60, 50, 80}));
}

TEST(ImgPNG, DamageThrowsCode2FromTheLibrarysErrorFunction) {
    Bytes png = MakePng(PNG_FORMAT_RGB, 16, 16, Bytes(16 * 16 * 3, 0x80));
    ImgPNGDecoder decoder;
    ImgMemBitmap bitmap;
    Bytes crc = png;
    crc[crc.size() - 20] ^= 0xFF; // inside the image data: its checksum fails
    EXPECT_EQ(FailureOf([&] { Decode(decoder, crc, &bitmap); }).code, kImgBadData);
    Bytes cut(png.begin(), png.begin() + static_cast<ptrdiff_t>(png.size() / 2));
    EXPECT_EQ(FailureOf([&] { Decode(decoder, cut, &bitmap); }).code, kImgBadData);
    EXPECT_EQ(FailureOf([&] { Decode(decoder, png, &bitmap); }).code, 0);
}

TEST(ImgPNG, HeaderBeyondTheCapIsCode10) {
    Bytes png = {0x89, 'P', 'N', 'G', 0x0D, 0x0A, 0x1A, 0x0A};
    // 100000 x 100000 RGB, 8 bits.
    PutChunk(png, "IHDR", {0, 1, 0x86, 0xA0, 0, 1, 0x86, 0xA0, 8, 2, 0, 0, 0});
    PutChunk(png, "IDAT", {0x78, 0x9C, 0x03, 0x00});
    PutChunk(png, "IEND", {});
    ImgMemBitmap bitmap;
    EXPECT_EQ(FailureOf([&] { Decode(ImgPNGDecoder(), png, &bitmap); }).code, kImgOutOfMemory);
}

// A TIFF written by libtiff: one row a strip, Deflate, 8-bit gray of value row, or 4-bit
// palette when palette is set.
Bytes MakeTiff(const char* name, uint32_t width, uint32_t height, bool palette = false) {
    std::string path = TempPath(name);
    TIFF* tiff = TIFFOpen(path.c_str(), "w");
    EXPECT_NE(tiff, nullptr);
    if (!tiff) return {};
    TIFFSetField(tiff, TIFFTAG_IMAGEWIDTH, width);
    TIFFSetField(tiff, TIFFTAG_IMAGELENGTH, height);
    TIFFSetField(tiff, TIFFTAG_SAMPLESPERPIXEL, 1);
    TIFFSetField(tiff, TIFFTAG_BITSPERSAMPLE, palette ? 4 : 8);
    TIFFSetField(tiff, TIFFTAG_ROWSPERSTRIP, 1);
    TIFFSetField(tiff, TIFFTAG_PLANARCONFIG, PLANARCONFIG_CONTIG);
    TIFFSetField(tiff, TIFFTAG_COMPRESSION, COMPRESSION_ADOBE_DEFLATE);
    TIFFSetField(tiff, TIFFTAG_PHOTOMETRIC, palette ? PHOTOMETRIC_PALETTE : PHOTOMETRIC_MINISBLACK);
    std::vector<uint16_t> red(16), green(16), blue(16);
    for (int i = 0; i < 16; ++i) {
        red[i] = static_cast<uint16_t>(i * 0x1111); // 16-bit values: the high byte counts
        green[i] = 0xFFFF;
        blue[i] = 0;
    }
    if (palette) TIFFSetField(tiff, TIFFTAG_COLORMAP, red.data(), green.data(), blue.data());
    Bytes row((width * (palette ? 4 : 8) + 7) / 8);
    for (uint32_t y = 0; y < height; ++y) {
        if (palette) {
            // Indices 1, 2, 3, ... high nibble first.
            for (uint32_t x = 0; x < width; ++x)
                row[x / 2] = static_cast<uint8_t>(x % 2 ? (row[x / 2] & 0xF0) | ((x + 1) & 15) : ((x + 1) & 15) << 4);
        } else {
            std::fill(row.begin(), row.end(), static_cast<uint8_t>(y));
        }
        TIFFWriteScanline(tiff, row.data(), y, 0);
    }
    TIFFClose(tiff);
    Bytes bytes = ReadFile(path);
    std::remove(path.c_str());
    return bytes;
}

// Overwrites the compressed data of one strip, so inflating that row fails.
Bytes DamageStrip(Bytes tiffBytes, uint32_t strip) {
    std::string errorText;
    TIFF* tiff = ImgTIFFOpenMemory(tiffBytes.data(), tiffBytes.size(), &errorText);
    EXPECT_NE(tiff, nullptr) << errorText;
    if (!tiff) return tiffBytes;
    uint64_t offset = TIFFGetStrileOffset(tiff, strip), size = TIFFGetStrileByteCount(tiff, strip);
    TIFFClose(tiff);
    for (uint64_t i = 0; i < size; ++i) tiffBytes[offset + i] = 0xFF;
    return tiffBytes;
}

TEST(ImgTIFF, DamagedRowFailsEarlyAndIsSkippedNearTheEnd) {
    Bytes good = MakeTiff("rows.tif", 8, 20);
    ImgTIFFDecoder decoder;
    ImgMemBitmap bitmap;
    Failure early = FailureOf([&] { Decode(decoder, DamageStrip(good, 9), &bitmap); });
    EXPECT_EQ(early.code, kImgFeatureNotSupported);
    EXPECT_NE(early.text.find("scanline 9"), std::string::npos) << early.text;
    EXPECT_EQ(FailureOf([&] { Decode(decoder, DamageStrip(good, 14), &bitmap); }).code, 0);
    ASSERT_EQ(bitmap.GetBitsPerPixel(), 8);
    EXPECT_EQ(bitmap.GetLine(13)[0], 13);
    EXPECT_EQ(bitmap.GetLine(15)[7], 15);
    EXPECT_EQ(bitmap.GetPalette()[13].red, 13 * 255 / 255);
}

TEST(ImgTIFF, TwoThreadsKeepTheirOwnMessages) {
    Bytes good = MakeTiff("threads.tif", 8, 20);
    const Bytes damaged[2] = {DamageStrip(good, 3), DamageStrip(good, 8)};
    bool mixed[2] = {false, false};
    auto run = [&](int which) {
        const std::string expected = which ? "scanline 8" : "scanline 3";
        ImgTIFFDecoder decoder;
        for (int i = 0; i < 40; ++i) {
            ImgMemBitmap bitmap;
            Failure f = FailureOf([&] { Decode(decoder, damaged[which], &bitmap); });
            if (f.code != kImgFeatureNotSupported || f.text.find(expected) == std::string::npos) mixed[which] = true;
        }
    };
    std::thread first(run, 0), second(run, 1);
    first.join();
    second.join();
    EXPECT_FALSE(mixed[0]);
    EXPECT_FALSE(mixed[1]);
}

TEST(ImgTIFF, FourBitPaletteStopsAtTheWidthAndTakesHighBytes) {
    Bytes tiff = MakeTiff("palette.tif", 5, 2, true);
    ImgMemBitmap bitmap;
    Decode(ImgAnyDecoder(), tiff, &bitmap);
    ASSERT_EQ(bitmap.GetBitsPerPixel(), 8);
    EXPECT_EQ(Bytes(bitmap.GetLine(1), bitmap.GetLine(1) + 5), (Bytes{1, 2, 3, 4, 5}));
    EXPECT_EQ(bitmap.GetPalette()[3].red, 0x33);
    EXPECT_EQ(bitmap.GetPalette()[3].green, 0xFF);
    EXPECT_EQ(bitmap.GetPalette()[3].alpha, 255);
}

TEST(ImgTIFF, HeaderPointingOutsideTheDataIsCode1) {
    const Bytes outside = {'I', 'I', 0x2A, 0, 0xF0, 0xFF, 0xFF, 0xFF};
    const Bytes empty = {'M', 'M', 0, 0x2A};
    ImgMemBitmap bitmap;
    EXPECT_EQ(FailureOf([&] { Decode(ImgTIFFDecoder(), outside, &bitmap); }).code, kImgWrongFormat);
    EXPECT_EQ(FailureOf([&] { Decode(ImgTIFFDecoder(), empty, &bitmap); }).code, kImgWrongFormat);
}

struct GifImage {
    int left, top, width, height;
    bool interlace;
    uint8_t value; // 0: the row number
};

int WriteToVector(GifFileType* gif, const GifByteType* bytes, int count) {
    auto* out = static_cast<Bytes*>(gif->UserData);
    out->insert(out->end(), bytes, bytes + count);
    return count;
}

Bytes MakeGif(int width, int height, const std::vector<GifImage>& images) {
    Bytes out;
    int error = 0;
    GifFileType* gif = EGifOpen(&out, WriteToVector, &error);
    EXPECT_NE(gif, nullptr);
    ColorMapObject* map = GifMakeMapObject(256, nullptr);
    for (int i = 0; i < 256; ++i) map->Colors[i] = GifColorType{static_cast<GifByteType>(i), 0, 0};
    EGifPutScreenDesc(gif, width, height, 8, 0, map);
    GifFreeMapObject(map);
    static const int kStart[4] = {0, 4, 2, 1}, kStep[4] = {8, 8, 4, 2};
    for (const GifImage& image : images) {
        EGifPutImageDesc(gif, image.left, image.top, image.width, image.height, image.interlace, nullptr);
        std::vector<GifPixelType> row(static_cast<size_t>(image.width));
        for (int pass = 0; pass < (image.interlace ? 4 : 1); ++pass)
            for (int y = image.interlace ? kStart[pass] : 0; y < image.height; y += image.interlace ? kStep[pass] : 1) {
                std::fill(row.begin(), row.end(), image.value ? image.value : static_cast<GifPixelType>(y));
                EGifPutLine(gif, row.data(), image.width);
            }
    }
    EGifCloseFile(gif, &error);
    return out;
}

TEST(ImgGIF, InterlacedRowsLandOnTheirLines) {
    Bytes gif = MakeGif(3, 11, {{0, 0, 3, 11, true, 0}});
    ImgMemBitmap bitmap;
    Decode(ImgAnyDecoder(), gif, &bitmap);
    ASSERT_EQ(bitmap.GetBitsPerPixel(), 8);
    for (int32_t y = 0; y < 11; ++y) EXPECT_EQ(bitmap.GetLine(y)[2], y) << y;
    EXPECT_EQ(bitmap.GetPalette()[7].red, 7);
    EXPECT_EQ(bitmap.GetPalette()[7].alpha, 255);
}

TEST(ImgGIF, ImagesAtTheEdgeAreDrawnAndAnUnconfinedOneEndsTheDecode) {
    Bytes gif = MakeGif(4, 4, {{2, 2, 2, 2, false, 7}, {1, 0, 4, 1, false, 9}, {0, 0, 1, 1, false, 5}});
    ImgMemBitmap bitmap;
    EXPECT_EQ(FailureOf([&] { Decode(ImgGIFDecoder(), gif, &bitmap); }).code, 0);
    EXPECT_EQ(bitmap.GetLine(3)[3], 7); // exactly at the corner: drawn
    EXPECT_EQ(bitmap.GetLine(0)[1], 0); // one column too wide: not drawn
    EXPECT_EQ(bitmap.GetLine(0)[0], 0); // and nothing after it
}

TEST(ImgGIF, EmptyImageIsPassedOverWithItsData) {
    Bytes gif = MakeGif(4, 4, {{0, 0, 2, 1, false, 3}, {0, 0, 4, 4, false, 7}});
    const size_t first = 13 + 3 * 256; // after the screen and its map
    ASSERT_EQ(gif[first], 0x2C);
    gif[first + 5] = gif[first + 6] = 0; // a width of 0, its two coded pixels still there
    ImgMemBitmap bitmap;
    EXPECT_EQ(FailureOf([&] { Decode(ImgGIFDecoder(), gif, &bitmap); }).text, "");
    EXPECT_EQ(bitmap.GetLine(0)[0], 7);
    EXPECT_EQ(bitmap.GetLine(3)[3], 7);
}

TEST(ImgGIF, TruncatedImageIsCode2) {
    Bytes gif = MakeGif(40, 40, {{0, 0, 40, 40, false, 0}});
    gif.resize(gif.size() / 2);
    ImgMemBitmap bitmap;
    EXPECT_EQ(FailureOf([&] { Decode(ImgGIFDecoder(), gif, &bitmap); }).code, kImgBadData);
}

} // namespace
