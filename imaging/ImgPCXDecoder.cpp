#include "imaging/ImgPCXDecoder.h"
#include "imaging/ImgBitmapLock.h"
#include "imaging/ImgBytes.h"
#include "imaging/ImgTrace.h"

#include <memory>
#include <new>

namespace {

constexpr int32_t kPaletteTail = 769; // the marker 0x0C and 256 entries of red, green, blue

// Run-length decoding of what the file holds into out; a file that ends early leaves the rest
// zero.
void Decompress(const uint8_t* in, size_t inSize, uint8_t* out, size_t outSize) {
    size_t i = 0, o = 0;
    while (o < outSize && i < inSize) {
        uint8_t b = in[i++];
        size_t count = 1;
        if (b >= 192) {
            count = b & 0x3F;
            if (i == inSize) break;
            b = in[i++];
            if (count > outSize - o)
                ImgPictureDecoder::RaiseError(kImgFeatureNotSupported, "repeat count spans end of image.");
        }
        for (size_t n = 0; n < count; ++n)
            out[o++] = b;
    }
}

} // namespace

void ImgPCXDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    ImgTrace(2, "Decoding PCX.\n");
    const uint8_t* h = source->ReadNBytes(128);
    if (h[0] != 10) RaiseError(kImgWrongFormat, "Error decoding pcx: Not a PCX file.");
    if (h[2] != 1) RaiseError(kImgWrongFormat, "File has unknown encoding scheme.");
    const int bits = h[3];
    const int64_t width = int64_t(img::Le16(h + 8)) - img::Le16(h + 4) + 1;
    const int64_t height = int64_t(img::Le16(h + 10)) - img::Le16(h + 6) + 1;
    const int planes = h[65];
    const int64_t bytesPerLine = img::Le16(h + 66);
    if (bits == 1) {
        if (planes > 4) RaiseError(kImgBadData, "Can't handle image with more than 4 planes.");
    } else if ((bits != 2 && bits != 4 && bits != 8) || (planes != 1 && planes != 3)) {
        RaiseError(kImgBadData, "Can't handle bits per pixel image with planes.");
    }
    CheckPictureSize(width, height);
    if (planes < 1 || bytesPerLine < (width * bits + 7) / 8)
        RaiseError(kImgBadData, "PCX line length too short for the picture.");
    const bool rgb = bits == 8 && planes == 3;
    if (!rgb && planes > 1 && bits != 1)
        RaiseError(kImgFeatureNotSupported, "Can't handle more than 1 bit per pixel.");

    ImgColor palette[256] = {};
    for (int i = 0; i < 16; ++i)
        palette[i] = ImgColor{h[16 + 3 * i + 2], h[16 + 3 * i + 1], h[16 + 3 * i], 255};
    if (bits == 1 && planes == 1) {
        palette[0] = ImgColor{0, 0, 0, 255};
        palette[1] = ImgColor{255, 255, 255, 255};
    }
    int32_t dataSize = source->GetBytesLeft();
    const uint8_t* data = source->ReadNBytes(dataSize);
    if (bits == 8 && planes == 1 && dataSize >= kPaletteTail && data[dataSize - kPaletteTail] == 0x0C) {
        // The palette sits at the file's end whatever the pixel data before it holds.
        const uint8_t* p = data + dataSize - kPaletteTail + 1;
        for (int i = 0; i < 256; ++i, p += 3)
            palette[i] = ImgColor{p[2], p[1], p[0], 255};
        dataSize -= kPaletteTail;
    }

    const size_t lineBytes = static_cast<size_t>(bytesPerLine) * static_cast<size_t>(planes);
    ImgBitmap::CheckSize(width, height, static_cast<int64_t>(lineBytes));
    const size_t total = lineBytes * static_cast<size_t>(height);
    std::unique_ptr<uint8_t[]> pixels(new (std::nothrow) uint8_t[total]());
    if (!pixels) RaiseError(kImgOutOfMemory, "Out of memory decoding PCX.");
    Decompress(data, static_cast<size_t>(dataSize), pixels.get(), total);

    const auto w = static_cast<int32_t>(width), ht = static_cast<int32_t>(height);
    bitmap->Create(w, ht, 32, false);
    ImgBitmapLock lock(bitmap, false, true);
    const size_t plane = static_cast<size_t>(bytesPerLine);
    for (int32_t y = 0; y < ht; ++y) {
        const uint8_t* in = pixels.get() + static_cast<size_t>(y) * lineBytes;
        uint8_t* out = bitmap->GetLine(y);
        for (int32_t x = 0; x < w; ++x, out += 4) {
            ImgColor c;
            if (rgb) {
                c = ImgColor{in[2 * plane + x], in[plane + x], in[x], 255};
            } else {
                int index = 0;
                if (planes == 1) {
                    int perByte = 8 / bits;
                    int shift = 8 - bits * (x % perByte + 1);
                    index = (in[x / perByte] >> shift) & ((1 << bits) - 1);
                } else {
                    for (int p = 0; p < planes; ++p)
                        index |= ((in[p * plane + x / 8] >> (7 - x % 8)) & 1) << p;
                }
                c = palette[index];
            }
            out[0] = c.blue;
            out[1] = c.green;
            out[2] = c.red;
            out[3] = 255;
        }
    }
    bitmap->SetResolution(img::Le16(h + 12), img::Le16(h + 14));
}
