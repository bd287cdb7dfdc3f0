#include "imaging/ImgBMPDecoder.h"
#include "imaging/ImgBitmapLock.h"
#include "imaging/ImgBytes.h"
#include "imaging/ImgTrace.h"

#include <cmath>
#include <cstring>

namespace {

enum : uint32_t { kPlain = 0, kRle8 = 1, kRle4 = 2, kBitFields = 3 };

struct BmpHeader {
    int64_t width = 0;
    int64_t height = 0; // negative: rows stored top-down
    int bitCount = 0;
    uint32_t compression = kPlain;
    int32_t xPelsPerMeter = 0;
    int32_t yPelsPerMeter = 0;
    uint32_t coloursUsed = 0;
    uint32_t masks[4] = {0, 0, 0, 0}; // red, green, blue, alpha
    bool hasMasks = false;
};

int32_t DotsPerInch(int32_t pelsPerMeter) {
    long dpi = std::lround(pelsPerMeter * 0.025400051847100258);
    return dpi <= 1 ? 150 : static_cast<int32_t>(dpi);
}

bool StandardMasks(const BmpHeader& h) {
    return h.masks[0] == 0xFF0000 && h.masks[1] == 0xFF00 && h.masks[2] == 0xFF &&
           (h.masks[3] == 0 || h.masks[3] == 0xFF000000u);
}

// Lines are filled in file order; the first file row is the bottom line unless the height was
// negative.
class LineOrder {
  public:
    LineOrder(ImgBitmap* bitmap, bool topDown) : m_bitmap(bitmap), m_topDown(topDown) {}
    uint8_t* Line(int32_t row) const {
        return m_bitmap->GetLine(m_topDown ? row : m_bitmap->GetHeight() - 1 - row);
    }

  private:
    ImgBitmap* m_bitmap;
    bool m_topDown;
};

// Without lines nothing is stored: the run only shows that the data reaches the picture's end
// (its last line, or the end-of-picture code, which describes the rest as it is).
void DecodeRle(ImgDataSource* source, const LineOrder* lines, int32_t width, int32_t height, bool nibbles) {
    int32_t row = 0, x = 0;
    // Past the line end pixels are dropped without counting them on, so no number of runs
    // before the next end of line can carry x round.
    auto put = [&](uint8_t value) {
        if (lines) lines->Line(row)[x] = value;
        ++x;
    };
    while (row < height) {
        const uint8_t* pair = source->ReadNBytes(2);
        if (pair[0] != 0) {
            for (int i = 0; i < pair[0] && x < width; ++i)
                put(nibbles ? static_cast<uint8_t>(i & 1 ? pair[1] & 0x0F : pair[1] >> 4) : pair[1]);
            continue;
        }
        switch (pair[1]) {
        case 0:
            ++row;
            x = 0;
            break;
        case 1: return;
        case 2: ImgPictureDecoder::RaiseError(kImgNotSupported, "Encountered delta escape.");
        default: {
            int count = pair[1];
            int bytes = nibbles ? (count + 1) / 2 : count;
            const uint8_t* literal = source->ReadNBytes(bytes + (bytes & 1));
            for (int i = 0; i < count && x < width; ++i)
                put(nibbles ? static_cast<uint8_t>(i & 1 ? literal[i / 2] & 0x0F : literal[i / 2] >> 4)
                            : literal[i]);
        }
        }
    }
}

void DecodeRow(const uint8_t* in, uint8_t* out, int32_t width, const BmpHeader& h, bool green6) {
    switch (h.bitCount) {
    case 1:
        for (int32_t x = 0; x < width; ++x)
            out[x] = (in[x >> 3] >> (7 - (x & 7))) & 1;
        break;
    case 4:
        for (int32_t x = 0; x < width; ++x)
            out[x] = x & 1 ? in[x >> 1] & 0x0F : in[x >> 1] >> 4;
        break;
    case 8: std::memcpy(out, in, static_cast<size_t>(width)); break;
    case 16:
        for (int32_t x = 0; x < width; ++x, out += 4) {
            uint32_t v = img::Le16(in + 2 * x);
            out[0] = static_cast<uint8_t>(v << 3);
            out[1] = static_cast<uint8_t>(green6 ? (v >> 3) & 0xF8 : (v >> 2) & 0xF8);
            out[2] = static_cast<uint8_t>(green6 ? (v >> 8) & 0xF8 : (v >> 7) & 0xF8);
            out[3] = 255;
        }
        break;
    case 24:
        for (int32_t x = 0; x < width; ++x, out += 4, in += 3) {
            out[0] = in[0];
            out[1] = in[1];
            out[2] = in[2];
            out[3] = 255;
        }
        break;
    case 32:
        if (h.compression != kBitFields || StandardMasks(h)) {
            std::memcpy(out, in, static_cast<size_t>(width) * 4);
            break;
        }
        for (int32_t x = 0; x < width; ++x, out += 4) {
            uint32_t v = img::Le32(in + 4 * x);
            out[0] = img::MaskedChannel(v, h.masks[2]);
            out[1] = img::MaskedChannel(v, h.masks[1]);
            out[2] = img::MaskedChannel(v, h.masks[0]);
            out[3] = h.masks[3] ? img::MaskedChannel(v, h.masks[3]) : 255;
        }
        break;
    }
}

} // namespace

void ImgBMPDecoder::DoDecode(ImgBitmap* bitmap, ImgDataSource* source) {
    const int32_t start = source->GetBytesConsumed();
    const uint8_t* signature = source->ReadNBytes(2);
    while (signature[0] == 'B' && signature[1] == 'A') {
        source->ReadNBytes(12);
        signature = source->ReadNBytes(2);
    }
    static const char* const kSignatures[] = {"BA", "IC", "CI", "BM", "CP"};
    bool known = false;
    for (const char* s : kSignatures)
        known = known || (signature[0] == s[0] && signature[1] == s[1]);
    if (!known) RaiseError(kImgWrongFormat, "Bitmap decoder: This isn't a bitmap.");
    ImgTrace(2, "Bitmap file signature found\n");
    source->ReadNBytes(8);
    const int64_t pixelOffset = int64_t(start) + img::Le32(source->ReadNBytes(4));

    BmpHeader h;
    const uint32_t headerSize = img::Le32(source->ReadNBytes(4));
    size_t entrySize = 4;
    if (headerSize == 12) {
        const uint8_t* p = source->ReadNBytes(8);
        h.width = img::Le16(p);
        h.height = img::Le16(p + 2);
        h.bitCount = img::Le16(p + 6);
        entrySize = 3;
    } else {
        if (headerSize < 40) RaiseError(kImgBadData, "Bitmap header size %u unknown.", headerSize);
        const uint8_t* p = source->ReadNBytes(36);
        h.width = static_cast<int32_t>(img::Le32(p));
        h.height = static_cast<int32_t>(img::Le32(p + 4));
        h.bitCount = img::Le16(p + 10);
        h.compression = img::Le32(p + 12);
        h.xPelsPerMeter = static_cast<int32_t>(img::Le32(p + 20));
        h.yPelsPerMeter = static_cast<int32_t>(img::Le32(p + 24));
        h.coloursUsed = img::Le32(p + 28);
        // The later Windows headers carry the colour masks themselves; OS/2's 64 bytes do not.
        const bool ownMasks = headerSize == 52 || headerSize == 56 || headerSize == 108 || headerSize == 124;
        const uint32_t maskCount = headerSize == 52 ? 3 : 4;
        const uint8_t* m = source->ReadNBytes(static_cast<int32_t>(headerSize - 40));
        if (ownMasks) {
            for (uint32_t i = 0; i < maskCount; ++i)
                h.masks[i] = img::Le32(m + 4 * i);
            h.hasMasks = true;
        } else if (headerSize == 40 && h.compression == kBitFields &&
                   (h.bitCount == 16 || h.bitCount == 32)) {
            m = source->ReadNBytes(12);
            for (int i = 0; i < 3; ++i)
                h.masks[i] = img::Le32(m + 4 * i);
            h.hasMasks = true;
        }
    }
    const bool topDown = h.height < 0;
    if (topDown) h.height = -h.height;
    CheckPictureSize(h.width, h.height);

    bool supported = false;
    switch (h.bitCount) {
    case 1:
    case 24: supported = h.compression == kPlain; break;
    case 4: supported = h.compression == kPlain || h.compression == kRle4; break;
    case 8: supported = h.compression == kPlain || h.compression == kRle8; break;
    case 16:
    case 32: supported = h.compression == kPlain || (h.compression == kBitFields && h.hasMasks); break;
    default: RaiseError(kImgBadData, "Decoding bmp: Illegal bpp value.");
    }
    if (!supported) RaiseError(kImgNotSupported, "Bitmap compression %u not supported.", h.compression);

    const bool indexed = h.bitCount <= 8;
    ImgColor palette[256] = {};
    uint32_t entries = 0;
    if (indexed) {
        ImgTrace(2, "Reading palette.\n");
        uint32_t most = 1u << h.bitCount;
        entries = h.coloursUsed && h.coloursUsed < most ? h.coloursUsed : most;
        const uint8_t* p = source->ReadNBytes(static_cast<int32_t>(entries * entrySize));
        for (uint32_t i = 0; i < entries; ++i, p += entrySize)
            palette[i] = ImgColor{p[0], p[1], p[2], 255};
    }
    ImgTrace(2, "Bitmap header is ok.\n");
    // Pixels start where the file header says, even past a gap; never before what was read.
    int64_t skip = pixelOffset - source->GetBytesConsumed();
    if (skip < 0 || skip > source->GetBytesLeft()) RaiseError(kImgBadData, "Bitmap pixel offset is invalid.");
    source->ReadNBytes(static_cast<int32_t>(skip));

    const auto width = static_cast<int32_t>(h.width), height = static_cast<int32_t>(h.height);
    const bool rle = h.compression == kRle8 || h.compression == kRle4;
    const int64_t rowBytes = (h.width * h.bitCount + 31) / 32 * 4;
    if (rle) {
        ImgMemSource rest;
        rest.Open(source->GetBufferPtr(0), static_cast<size_t>(source->GetBytesLeft()));
        DecodeRle(&rest, nullptr, width, height, h.compression == kRle4);
    } else {
        CheckBytesLeft(source, rowBytes * h.height);
    }
    bitmap->Create(width, height, indexed ? 8 : 32, h.bitCount == 32);
    if (indexed) std::memcpy(bitmap->GetPalette(), palette, entries * sizeof(ImgColor));
    ImgBitmapLock lock(bitmap, false, true);
    LineOrder lines(bitmap, topDown);
    if (rle) {
        ImgTrace(2, h.compression == kRle8 ? "Decoding RLE8-compressed bitmap.\n"
                                           : "Decoding RLE4-compressed bitmap.\n");
        DecodeRle(source, &lines, width, height, h.compression == kRle4);
    } else {
        switch (h.bitCount) {
        case 1: ImgTrace(2, "Decoding 1 bit per pixel bitmap.\n"); break;
        case 4: ImgTrace(2, "Decoding uncompressed 4 bit per pixel bitmap.\n"); break;
        case 8: ImgTrace(2, "Decoding uncompressed 8 bit per pixel bitmap.\n"); break;
        default: ImgTrace(2, "Decoding true-color bitmap.\n"); break;
        }
        const bool green6 = h.bitCount == 16 && h.compression == kBitFields && h.masks[1] != 0x3E0;
        for (int32_t row = 0; row < height; ++row)
            DecodeRow(source->ReadNBytes(static_cast<int32_t>(rowBytes)), lines.Line(row), width, h, green6);
    }
    bitmap->SetResolution(DotsPerInch(h.xPelsPerMeter), DotsPerInch(h.yPelsPerMeter));
    ImgTrace(2, "Decoding finished.\n");
}
