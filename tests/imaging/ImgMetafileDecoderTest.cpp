// Metafiles made here with GDI, decoded through the recognising decoder and compared with
// what GDI draws from them directly.
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgWinBitmap.h"
#include "tests/harness/Harness.h"
#include "tests/imaging/ImgTestCode.h"
#include "tests/imaging/Surface.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using imgtest::Surface;

namespace {

void WriteBytes(const std::string& path, const std::vector<uint8_t>& bytes) {
    harness::WriteTextFile(path, std::string(bytes.begin(), bytes.end()));
}

uint32_t Pixel(const ImgBitmap& b, int x, int y) {
    const uint8_t* p = b.GetLine(y) + 4 * x;
    return uint32_t(p[2]) << 16 | uint32_t(p[1]) << 8 | p[0];
}

// A red box over the left half and a blue one in the lower right quarter of a 1000 x 500 space.
void DrawScene(HDC dc) {
    HBRUSH red = ::CreateSolidBrush(RGB(255, 0, 0));
    HBRUSH blue = ::CreateSolidBrush(RGB(0, 0, 255));
    RECT left{0, 0, 500, 500}, corner{600, 300, 1000, 500};
    ::FillRect(dc, &left, red);
    ::FillRect(dc, &corner, blue);
    ::DeleteObject(red);
    ::DeleteObject(blue);
}

std::vector<uint8_t> EnhancedBytes(HENHMETAFILE emf) {
    std::vector<uint8_t> bytes(::GetEnhMetaFileBits(emf, 0, nullptr));
    ::GetEnhMetaFileBits(emf, static_cast<UINT>(bytes.size()), bytes.data());
    return bytes;
}

// A Windows metafile of the scene in a 1000 x 500 window.
std::vector<uint8_t> WindowsMetafile() {
    HDC dc = ::CreateMetaFileA(nullptr);
    ::SetWindowOrgEx(dc, 0, 0, nullptr);
    ::SetWindowExtEx(dc, 1000, 500, nullptr);
    DrawScene(dc);
    HMETAFILE wmf = ::CloseMetaFile(dc);
    std::vector<uint8_t> bytes(::GetMetaFileBitsEx(wmf, 0, nullptr));
    ::GetMetaFileBitsEx(wmf, static_cast<UINT>(bytes.size()), bytes.data());
    ::DeleteMetaFile(wmf);
    return bytes;
}

std::vector<uint8_t> Placeable(int16_t right, int16_t bottom, uint16_t unitsPerInch) {
    std::vector<uint8_t> h(22, 0);
    auto put16 = [&h](size_t at, uint16_t v) {
        h[at] = static_cast<uint8_t>(v);
        h[at + 1] = static_cast<uint8_t>(v >> 8);
    };
    put16(0, 0xCDD7);
    put16(2, 0x9AC6);
    put16(10, static_cast<uint16_t>(right));
    put16(12, static_cast<uint16_t>(bottom));
    put16(14, unitsPerInch);
    uint16_t sum = 0;
    for (size_t i = 0; i < 20; i += 2)
        sum ^= static_cast<uint16_t>(h[i] | h[i + 1] << 8);
    put16(20, sum);
    return h;
}

int32_t CodeOf(ImgAnyDecoder& decoder, const std::string& path, ImgBitmap* bitmap) {
    return imgtest::CodeOf([&] { decoder.DecodeFile(path.c_str(), bitmap); });
}

} // namespace

TEST(ImgMetafileDecoder, EnhancedMetafileMatchesDirectPlayback) {
    std::string folder = harness::FreshFolder("ImgMetafileDecoder");
    HDC screen = ::GetDC(nullptr);
    // A frame of 4 x 2 cm in hundredths of a millimetre.
    RECT frame{0, 0, 4000, 2000};
    HDC dc = ::CreateEnhMetaFileA(screen, nullptr, &frame, nullptr);
    ::ReleaseDC(nullptr, screen);
    ::SetMapMode(dc, MM_ANISOTROPIC);
    ::SetWindowExtEx(dc, 1000, 500, nullptr);
    ::SetViewportExtEx(dc, ::GetDeviceCaps(dc, HORZRES) * 40 / ::GetDeviceCaps(dc, HORZSIZE),
                       ::GetDeviceCaps(dc, VERTRES) * 20 / ::GetDeviceCaps(dc, VERTSIZE), nullptr);
    DrawScene(dc);
    HENHMETAFILE emf = ::CloseEnhMetaFile(dc);
    WriteBytes(folder + "Bild.EMF", EnhancedBytes(emf));

    ImgWinBitmap bitmap;
    ImgAnyDecoder decoder;
    decoder.DecodeFile((folder + "Bild.EMF").c_str(), &bitmap);
    EXPECT_EQ(decoder.GetDetectedType(), kImgTypeEMF);
    ASSERT_EQ(bitmap.GetBitsPerPixel(), 32);
    EXPECT_TRUE(bitmap.HasAlpha());
    const int width = bitmap.GetWidth(), height = bitmap.GetHeight();
    EXPECT_NEAR(width, 2 * height, 2);
    EXPECT_GT(width, 50);

    Surface direct(width, height, RGB(255, 255, 255));
    RECT all{0, 0, width, height};
    ::PlayEnhMetaFile(direct.dc(), emf, &all);
    ::DeleteEnhMetaFile(emf);
    int differing = 0;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            differing += Pixel(bitmap, x, y) != direct.At(x, y);
    EXPECT_EQ(differing, 0);
    EXPECT_EQ(Pixel(bitmap, width / 4, height / 2), 0xFF0000u);
    EXPECT_EQ(Pixel(bitmap, width * 9 / 10, height * 9 / 10), 0x0000FFu);
    EXPECT_EQ(Pixel(bitmap, width * 9 / 10, height / 10), 0xFFFFFFu);
    EXPECT_EQ(bitmap.GetLine(0)[3], 255);
}

TEST(ImgMetafileDecoder, PlaceableMetafileTakesItsSizeFromTheHeader) {
    std::string folder = harness::FreshFolder("ImgMetafileDecoder");
    std::vector<uint8_t> bytes = Placeable(1440, 720, 1440); // one inch by half an inch
    std::vector<uint8_t> wmf = WindowsMetafile();
    bytes.insert(bytes.end(), wmf.begin(), wmf.end());
    WriteBytes(folder + "platz.wmf", bytes);

    ImgWinBitmap bitmap;
    ImgAnyDecoder decoder;
    decoder.DecodeFile((folder + "platz.wmf").c_str(), &bitmap);
    EXPECT_EQ(decoder.GetDetectedType(), kImgTypeWMF);
    HDC screen = ::GetDC(nullptr);
    const int dpiX = ::GetDeviceCaps(screen, LOGPIXELSX), dpiY = ::GetDeviceCaps(screen, LOGPIXELSY);
    ::ReleaseDC(nullptr, screen);
    ASSERT_EQ(bitmap.GetWidth(), dpiX);
    ASSERT_EQ(bitmap.GetHeight(), dpiY / 2);
    const int w = bitmap.GetWidth(), h = bitmap.GetHeight();
    EXPECT_EQ(Pixel(bitmap, w / 4, h / 2), 0xFF0000u);
    EXPECT_EQ(Pixel(bitmap, w * 9 / 10, h * 9 / 10), 0x0000FFu);
    EXPECT_EQ(Pixel(bitmap, w * 9 / 10, h / 10), 0xFFFFFFu);

    // Without the placeable header GDI decides the size; the picture is still drawn.
    WriteBytes(folder + "plain.wmf", wmf);
    ASSERT_EQ(CodeOf(decoder, folder + "plain.wmf", &bitmap), 0);
    EXPECT_GE(bitmap.GetWidth(), 1);
    EXPECT_EQ(Pixel(bitmap, 0, 0), 0xFF0000u);
}

TEST(ImgMetafileDecoder, MetafileWithPaletteGivesEightBits) {
    std::string folder = harness::FreshFolder("ImgMetafileDecoder");
    RECT frame{0, 0, 2000, 1000};
    HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    ::SetMapMode(dc, MM_ANISOTROPIC);
    ::SetWindowExtEx(dc, 1000, 500, nullptr);
    ::SetViewportExtEx(dc, ::GetDeviceCaps(dc, HORZRES) * 20 / ::GetDeviceCaps(dc, HORZSIZE),
                       ::GetDeviceCaps(dc, VERTRES) * 10 / ::GetDeviceCaps(dc, VERTSIZE), nullptr);
    DrawScene(dc);
    HENHMETAFILE emf = ::CloseEnhMetaFile(dc);
    std::vector<uint8_t> bytes = EnhancedBytes(emf);
    ::DeleteEnhMetaFile(emf);
    // The end record carries the metafile's palette: two entries, red and blue.
    ASSERT_EQ(bytes.size() % 4, 0u);
    bytes.resize(bytes.size() - 20);
    const uint32_t end[] = {EMR_EOF, 28, 2, 12, 0x000000FF, 0x00FF0000, 28};
    const auto* endBytes = reinterpret_cast<const uint8_t*>(end);
    bytes.insert(bytes.end(), endBytes, endBytes + sizeof end);
    auto* header = reinterpret_cast<ENHMETAHEADER*>(bytes.data());
    header->nBytes = static_cast<DWORD>(bytes.size());
    header->nPalEntries = 2;
    WriteBytes(folder + "palette.emf", bytes);

    ImgWinBitmap bitmap;
    ImgAnyDecoder decoder;
    ASSERT_EQ(CodeOf(decoder, folder + "palette.emf", &bitmap), 0);
    ASSERT_EQ(bitmap.GetBitsPerPixel(), 8);
    EXPECT_FALSE(bitmap.HasAlpha());
    const ImgColor& left = bitmap.GetPalette()[bitmap.GetLine(bitmap.GetHeight() / 2)[bitmap.GetWidth() / 4]];
    EXPECT_EQ(uint32_t(left.red) << 16 | uint32_t(left.green) << 8 | left.blue, 0xFF0000u);
}

TEST(ImgMetafileDecoder, EmptyFrameIsDrawnAtTheDefaultSize) {
    std::string folder = harness::FreshFolder("ImgMetafileDecoder");
    HENHMETAFILE emf = ::CloseEnhMetaFile(::CreateEnhMetaFileA(nullptr, nullptr, nullptr, nullptr));
    WriteBytes(folder + "leer.emf", EnhancedBytes(emf));
    ::DeleteEnhMetaFile(emf);
    ImgWinBitmap bitmap;
    ImgAnyDecoder decoder;
    ASSERT_EQ(CodeOf(decoder, folder + "leer.emf", &bitmap), 0);
    EXPECT_EQ(bitmap.GetWidth(), 320);
    EXPECT_EQ(bitmap.GetHeight(), 200);
    EXPECT_EQ(Pixel(bitmap, 160, 100), 0xFFFFFFu);

    // A header without a device size cannot size the frame: the default size, no division.
    RECT frame{0, 0, 4000, 2000};
    HDC dc = ::CreateEnhMetaFileA(nullptr, nullptr, &frame, nullptr);
    DrawScene(dc);
    emf = ::CloseEnhMetaFile(dc);
    std::vector<uint8_t> bytes = EnhancedBytes(emf);
    ::DeleteEnhMetaFile(emf);
    reinterpret_cast<ENHMETAHEADER*>(bytes.data())->szlMillimeters = SIZEL{0, 0};
    WriteBytes(folder + "ohnemass.emf", bytes);
    ASSERT_EQ(CodeOf(decoder, folder + "ohnemass.emf", &bitmap), 0);
    EXPECT_EQ(bitmap.GetWidth(), 320);
    EXPECT_EQ(bitmap.GetHeight(), 200);

    // A placeable header of zero size draws at the default size as well.
    bytes = Placeable(0, 0, 1440);
    std::vector<uint8_t> wmf = WindowsMetafile();
    bytes.insert(bytes.end(), wmf.begin(), wmf.end());
    WriteBytes(folder + "null.wmf", bytes);
    ASSERT_EQ(CodeOf(decoder, folder + "null.wmf", &bitmap), 0);
    EXPECT_EQ(bitmap.GetWidth(), 320);
    EXPECT_EQ(bitmap.GetHeight(), 200);
}

TEST(ImgMetafileDecoder, BrokenMetafilesFailWithTheirCodes) {
    std::string folder = harness::FreshFolder("ImgMetafileDecoder");
    std::vector<uint8_t> noUnits = Placeable(1440, 720, 0);
    std::vector<uint8_t> wmf = WindowsMetafile();
    noUnits.insert(noUnits.end(), wmf.begin(), wmf.end());
    WriteBytes(folder + "a.wmf", noUnits);
    std::vector<uint8_t> cut = Placeable(1440, 720, 1440);
    cut.resize(20);
    WriteBytes(folder + "b.wmf", cut);
    harness::WriteTextFile(folder + "c.wmf", "kein Metafile, nur Text");
    harness::WriteTextFile(folder + "d.emf", "kein Metafile, nur Text");

    ImgWinBitmap bitmap;
    ImgAnyDecoder decoder;
    EXPECT_EQ(CodeOf(decoder, folder + "a.wmf", &bitmap), kImgBadData);
    EXPECT_EQ(CodeOf(decoder, folder + "b.wmf", &bitmap), kImgBadData);
    EXPECT_EQ(CodeOf(decoder, folder + "c.wmf", &bitmap), kImgNotSupported);
    EXPECT_EQ(CodeOf(decoder, folder + "d.emf", &bitmap), kImgNotSupported);
    // GDI objects are all given back: many failed and good decodes leave the count as it was.
    DWORD before = ::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS);
    for (int i = 0; i < 50; ++i) {
        CodeOf(decoder, folder + "c.wmf", &bitmap);
        CodeOf(decoder, folder + "a.wmf", &bitmap);
    }
    EXPECT_LE(::GetGuiResources(::GetCurrentProcess(), GR_GDIOBJECTS), before + 2);
}
