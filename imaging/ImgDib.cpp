#include "imaging/ImgDib.h"
#include "imaging/ImgObject.h"

#include <cstdlib>
#include <string>

namespace img {

namespace {

constexpr size_t kFileHeader = 14;
constexpr size_t kCoreHeader = 12;
constexpr int64_t kMaxPixels = int64_t(1) << 26; // 256 MB at 32 bits: more is no sensible picture

uint16_t U16(const uint8_t* p) {
    return static_cast<uint16_t>(p[0] | (p[1] << 8));
}
uint32_t U32(const uint8_t* p) {
    return static_cast<uint32_t>(p[0]) | (static_cast<uint32_t>(p[1]) << 8) |
           (static_cast<uint32_t>(p[2]) << 16) | (static_cast<uint32_t>(p[3]) << 24);
}

[[noreturn]] void Fail(int32_t code, const char* text) {
    throw ImgTextException(code, text);
}

bool IsInfoHeaderSize(uint32_t size) {
    return size == 40 || size == 52 || size == 56 || size == 108 || size == 124;
}

} // namespace

size_t DibBytesPerLine(int32_t width, int bitsPerPixel) {
    uint64_t bits = static_cast<uint64_t>(width < 0 ? 0 : width) * static_cast<uint64_t>(bitsPerPixel);
    return static_cast<size_t>((bits + 31) / 32 * 4);
}

bool HasBmpSignature(const uint8_t* data, size_t size) {
    return size >= 2 && data[0] == 'B' && data[1] == 'M';
}

BmpLayout ReadBmpLayout(const uint8_t* data, size_t size) {
    if (!HasBmpSignature(data, size)) Fail(kImgWrongFormat, "Die Daten sind kein Windows-Bitmap (BMP).");
    if (size < kFileHeader + kCoreHeader) Fail(kImgEndOfData, "Die BMP-Datei ist unvollständig.");
    BmpLayout out{};
    out.infoOffset = kFileHeader;
    const uint8_t* info = data + kFileHeader;
    uint32_t headerSize = U32(info);
    unsigned planes = 0;
    size_t paletteEntry = 4;
    uint32_t coloursUsed = 0;
    uint32_t imageSize = 0;
    if (headerSize == kCoreHeader) {
        out.width = U16(info + 4);
        out.height = U16(info + 6);
        planes = U16(info + 8);
        out.bitsPerPixel = U16(info + 10);
        paletteEntry = 3;
    } else if (IsInfoHeaderSize(headerSize)) {
        if (size < kFileHeader + headerSize) Fail(kImgEndOfData, "Die BMP-Datei ist unvollständig.");
        out.width = static_cast<int32_t>(U32(info + 4));
        out.height = static_cast<int32_t>(U32(info + 8));
        planes = U16(info + 12);
        out.bitsPerPixel = U16(info + 14);
        out.compression = U32(info + 16);
        imageSize = U32(info + 20);
        coloursUsed = U32(info + 32);
    } else {
        Fail(kImgBadData, "Der Kopf der BMP-Datei hat eine unbekannte Länge.");
    }

    int bpp = out.bitsPerPixel;
    bool depthKnown = bpp == 1 || bpp == 4 || bpp == 8 || bpp == 16 || bpp == 24 || bpp == 32;
    if (planes != 1 || !depthKnown) Fail(kImgBadData, "Die Farbtiefe der BMP-Datei ist ungültig.");
    if (out.compression > 3) Fail(kImgNotSupported, "Diese Art der BMP-Kompression wird nicht unterstützt.");
    bool rle = out.compression == 1 || out.compression == 2;
    if ((out.compression == 1 && bpp != 8) || (out.compression == 2 && bpp != 4) ||
        (out.compression == 3 && bpp != 16 && bpp != 32) || (rle && out.height < 0))
        Fail(kImgBadData, "Kompression und Farbtiefe der BMP-Datei passen nicht zusammen.");
    if (headerSize == kCoreHeader && bpp != 1 && bpp != 4 && bpp != 8 && bpp != 24)
        Fail(kImgBadData, "Die Farbtiefe der BMP-Datei ist ungültig.");
    int64_t lines = std::llabs(static_cast<long long>(out.height));
    if (out.width <= 0 || lines == 0) Fail(kImgBadData, "Das Bild der BMP-Datei ist leer.");
    if (static_cast<int64_t>(out.width) * lines > kMaxPixels) Fail(kImgOutOfMemory, "Das Bild ist zu groß.");

    size_t maxColours = bpp <= 8 ? (size_t(1) << bpp) : 256;
    if (coloursUsed > maxColours) Fail(kImgBadData, "Die Farbtabelle der BMP-Datei ist zu lang.");
    size_t colours = coloursUsed ? coloursUsed : (bpp <= 8 ? maxColours : 0);
    size_t masks = (headerSize == 40 && out.compression == 3) ? 12 : 0;
    out.infoSize = headerSize + masks + colours * paletteEntry;
    if (out.infoOffset + out.infoSize > size) Fail(kImgEndOfData, "Die BMP-Datei ist unvollständig.");

    uint32_t offset = U32(data + 10);
    // Some writers leave the offset 0: the pixels then follow the colour table.
    out.bitsOffset = offset ? offset : out.infoOffset + out.infoSize;
    if (out.bitsOffset < out.infoOffset + out.infoSize || out.bitsOffset > size)
        Fail(kImgBadData, "Die Lage der Bilddaten in der BMP-Datei ist ungültig.");
    size_t available = size - out.bitsOffset;
    if (rle) {
        // GDI unpacks compressed lines up to the stored size and no further.
        if (imageSize == 0 || imageSize > available) Fail(kImgEndOfData, "Die Bilddaten sind unvollständig.");
        out.bitsSize = imageSize;
    } else {
        out.bitsSize = DibBytesPerLine(out.width, bpp) * static_cast<size_t>(lines);
        if (out.bitsSize > available) Fail(kImgEndOfData, "Die Bilddaten sind unvollständig.");
    }
    return out;
}

} // namespace img
