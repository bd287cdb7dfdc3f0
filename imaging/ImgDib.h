#pragma once
// The byte layout of device-independent bitmaps and of BMP files, read without the system:
// everything GDI is handed from a file is checked here first, so that a short or lying file
// makes an exception instead of a read past the data.

#include <cstddef>
#include <cstdint>

namespace img {

// Bytes of one pixel line: lines are padded to whole 32-bit words.
size_t DibBytesPerLine(int32_t width, int bitsPerPixel);

// True when the data starts with the BMP file signature "BM".
bool HasBmpSignature(const uint8_t* data, size_t size);

// Where the parts of a BMP file lie.
struct BmpLayout {
    size_t infoOffset; // the info header, right after the 14-byte file header
    size_t infoSize;   // info header, colour masks and colour table
    size_t bitsOffset; // the first pixel byte
    size_t bitsSize;   // the pixel bytes the header promises, all inside the file
    int32_t width;
    int32_t height; // negative: lines stored top-down
    int bitsPerPixel;
    uint32_t compression; // 0 plain, 1 RLE8, 2 RLE4, 3 bit fields
};

// Reads the headers of a BMP file; throws ImgTextException (German text) when they are not
// those of a BMP file GDI can draw, or promise more than the file holds.
BmpLayout ReadBmpLayout(const uint8_t* data, size_t size);

} // namespace img
