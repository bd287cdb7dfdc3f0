#include "imaging/ImgTGADecoder.h"
#include "imaging/ImgBitmapLock.h"
#include "imaging/ImgBytes.h"
#include "imaging/ImgTrace.h"

namespace {

constexpr int64_t kLongestPacket = 128; // pixels of one run-length packet

int BytesOf(int depth) {
    return depth <= 8 ? 1 : (depth + 7) / 8;
}

// One pixel at the depth: an index byte up to 8 bits, else blue, green, red and alpha.
ImgColor ReadPixel(const uint8_t* p, int depth) {
    switch (depth) {
    case 15:
    case 16: {
        uint16_t v = img::Le16(p);
        uint8_t alpha = depth == 16 && !(v & 0x8000) ? 0 : 255;
        return ImgColor{static_cast<uint8_t>((v & 0x1F) << 3), static_cast<uint8_t>((v >> 2) & 0xF8),
                        static_cast<uint8_t>((v >> 7) & 0xF8), alpha};
    }
    case 24: return ImgColor{p[0], p[1], p[2], 255};
    case 32: return ImgColor{p[0], p[1], p[2], p[3]};
    default: return ImgColor{p[0], p[0], p[0], 255};
    }
}

void Store(uint8_t* line, int32_t x, const uint8_t* pixel, int depth) {
    if (depth <= 8) {
        line[x] = pixel[0];
        return;
    }
    ImgColor c = ReadPixel(pixel, depth);
    uint8_t* out = line + 4 * x;
    out[0] = c.blue;
    out[1] = c.green;
    out[2] = c.red;
    out[3] = c.alpha;
}

bool KnownDepth(int depth) {
    return (depth >= 1 && depth <= 8) || depth == 15 || depth == 16 || depth == 24 || depth == 32;
}

} // namespace

void ImgTGADecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    ImgTrace(2, "Decoding TGA.\n");
    const uint8_t* h = source->ReadNBytes(18);
    const int idLength = h[0], mapType = h[1], imageType = h[2];
    const int mapFirst = img::Le16(h + 3), mapLength = img::Le16(h + 5), mapEntrySize = h[7];
    const int32_t width = img::Le16(h + 12), height = img::Le16(h + 14);
    const int depth = h[16];
    const bool topDown = (h[17] & 0x20) != 0;
    source->ReadNBytes(idLength);

    const bool rle = imageType >= 9 && imageType <= 11;
    if (!(imageType >= 1 && imageType <= 3) && !rle) RaiseError(kImgBadData, "Unknown TGA image type.");
    if (!KnownDepth(depth)) RaiseError(kImgBadData, "TGA pixel depth %d unknown.", depth);
    CheckPictureSize(width, height);

    ImgColor palette[256] = {};
    if (mapType == 1) {
        if (mapEntrySize != 8 && mapEntrySize != 15 && mapEntrySize != 16 && mapEntrySize != 24 &&
            mapEntrySize != 32)
            RaiseError(kImgBadData, "TGA colour map entry size %d unknown.", mapEntrySize);
        const int entryBytes = BytesOf(mapEntrySize);
        const uint8_t* map = source->ReadNBytes(mapLength * entryBytes);
        // Entries beyond 255 no 8-bit index reaches.
        for (int i = 0; i < mapLength && mapFirst + i < 256; ++i)
            palette[mapFirst + i] = ReadPixel(map + i * entryBytes, mapEntrySize);
    }

    const int pixelBytes = BytesOf(depth);
    const int64_t pixels = int64_t(width) * height;
    if (rle)
        CheckBytesLeft(source, (pixels + kLongestPacket - 1) / kLongestPacket * (1 + pixelBytes));
    else
        CheckBytesLeft(source, pixels * pixelBytes);
    const bool trueColour = depth > 8;
    bitmap->Create(width, height, trueColour ? 32 : 8, depth == 16 || depth == 32);
    // Gray pictures keep the ramp Create gave them.
    const bool gray = imageType == 3 || imageType == 11;
    if (!trueColour && !gray)
        for (int i = 0; i < 256; ++i)
            bitmap->GetPalette()[i] = palette[i];

    ImgBitmapLock lock(bitmap, false, true);
    auto line = [&](int32_t row) { return bitmap->GetLine(topDown ? row : height - 1 - row); };
    if (!rle) {
        for (int32_t row = 0; row < height; ++row) {
            const uint8_t* in = source->ReadNBytes(width * pixelBytes);
            uint8_t* out = line(row);
            for (int32_t x = 0; x < width; ++x)
                Store(out, x, in + x * pixelBytes, depth);
        }
    } else {
        // Packets run on over line ends, as writers make them, but never past the picture.
        int32_t row = 0, x = 0;
        while (row < height) {
            const uint8_t header = *source->ReadNBytes(1);
            const int count = (header & 0x7F) + 1;
            const bool repeat = header & 0x80;
            const uint8_t* pixels = source->ReadNBytes(repeat ? pixelBytes : count * pixelBytes);
            for (int i = 0; i < count && row < height; ++i) {
                Store(line(row), x, repeat ? pixels : pixels + i * pixelBytes, depth);
                if (++x == width) {
                    x = 0;
                    ++row;
                }
            }
        }
    }
}
