#include "imaging/ImgBitmap.h"
#include "imaging/ImgMemBitmap.h"
#include "imaging/ImgQuantizeFilter.h"

#include <cstring>
#include <new>

namespace {

constexpr ImgColor kWhite{255, 255, 255, 255};
constexpr ImgColor kBlack{0, 0, 0, 255};

bool IsDark(uint8_t red, uint8_t green, uint8_t blue) {
    return red < 128 && green < 128 && blue < 128;
}

bool IsKnownDepth(int bitsPerPixel) {
    switch (bitsPerPixel) {
    case 1:
    case 2:
    case 4:
    case 8:
    case 16:
    case 24:
    case 32: return true;
    default: return false;
    }
}

int Bit(const uint8_t* line, int32_t x) {
    return (line[x >> 3] >> (7 - (x & 7))) & 1;
}

void SetBit(uint8_t* line, int32_t x, bool on) {
    uint8_t mask = static_cast<uint8_t>(0x80 >> (x & 7));
    if (on)
        line[x >> 3] |= mask;
    else
        line[x >> 3] &= static_cast<uint8_t>(~mask);
}

// The colour of a 1-bpp pixel: its palette entry, white and black without a palette.
ImgColor TwoColour(const ImgColor* palette, int bit) {
    if (palette) return palette[bit];
    return bit ? kBlack : kWhite;
}

} // namespace

void ImgBitmap::Create(int32_t width, int32_t height, uint16_t bitsPerPixel, bool alpha, int32_t xResolution,
                       int32_t yResolution) {
    if (!IsKnownDepth(bitsPerPixel)) throw ImgTextException(kImgNotSupported, "Unsupported bit depth.");
    FreeMembers();
    InternalCreate(width, height, bitsPerPixel, alpha);
    SetResolution(xResolution, yResolution);
}

void ImgBitmap::Lock(bool, bool) {
    ++m_nLockCount;
}

void ImgBitmap::Unlock() {
    --m_nLockCount;
}

size_t ImgBitmap::PackedBytesPerLine(int32_t width, int bitsPerPixel) {
    return static_cast<size_t>((int64_t(width) * bitsPerPixel + 7) / 8);
}

size_t ImgBitmap::AlignedBytesPerLine(int32_t width, int bitsPerPixel) {
    return static_cast<size_t>((int64_t(width) * bitsPerPixel + 31) / 32 * 4);
}

void ImgBitmap::CheckSize(int64_t width, int64_t height, int64_t bytesPerLine) {
    if (width < 1 || height < 1 || width > kImgMaxPixels || height > kImgMaxPixels ||
        width * height > kImgMaxPixels || bytesPerLine > kImgMaxBytes ||
        (bytesPerLine + int64_t(sizeof(uint8_t*))) * height > kImgMaxBytes)
        throw ImgTextException(kImgOutOfMemory, "Out of memory creating bitmap.");
}

void ImgBitmap::CommonCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool alpha) {
    m_nWidth = width;
    m_nHeight = height;
    m_nBitsPerPixel = bitsPerPixel;
    m_bAlpha = alpha;
    try {
        BuildLineArray();
    } catch (const std::bad_alloc&) {
        FreeMembers();
        throw ImgTextException(kImgOutOfMemory, "Out of memory creating bitmap.");
    }
    if (m_pPalette) {
        int entries = 1 << bitsPerPixel;
        int step = 255 / (entries - 1);
        for (int i = 0; i < entries; ++i) {
            auto level = static_cast<uint8_t>(i * step);
            m_pPalette[i] = ImgColor{level, level, level, 255};
        }
    }
}

void ImgBitmap::CreateCopy(ImgBitmap& source, uint16_t bitsPerPixel) {
    if (bitsPerPixel == 0 || bitsPerPixel == source.m_nBitsPerPixel) {
        if (&source == this) return;
        Create(source.m_nWidth, source.m_nHeight, source.m_nBitsPerPixel, source.m_bAlpha);
        size_t bytes = PackedBytesPerLine(m_nWidth, m_nBitsPerPixel);
        for (int32_t y = 0; y < m_nHeight; ++y)
            std::memcpy(GetLine(y), source.GetLine(y), bytes);
        if (m_pPalette && source.m_pPalette)
            std::memcpy(m_pPalette, source.m_pPalette, sizeof(ImgColor) << m_nBitsPerPixel);
    } else if (&source == this) {
        // Converting in place needs the old pixels while the new ones are written.
        ImgMemBitmap old;
        old.CreateCopy(source, 0);
        CreateCopy(old, bitsPerPixel);
        return;
    } else if (bitsPerPixel == 8 && source.m_nBitsPerPixel == 32) {
        ImgQuantizeFilter filter(m_nQuantizeMode, m_nDitherMode);
        filter.Apply(&source, this);
    } else {
        Create(source.m_nWidth, source.m_nHeight, bitsPerPixel, source.m_bAlpha && bitsPerPixel == 32);
        ConvertFrom(source);
    }
    SetResolution(source.m_nXResolution, source.m_nYResolution);
}

// The conversions other than to the same depth and 32 to 8 bpp; this bitmap is already created.
void ImgBitmap::ConvertFrom(const ImgBitmap& source) {
    const int from = source.m_nBitsPerPixel;
    const ImgColor* palette = source.m_pPalette;
    if (m_nBitsPerPixel == 1) {
        if (from != 8 && from != 32) return;
        m_pPalette[0] = kWhite;
        m_pPalette[1] = kBlack;
        for (int32_t y = 0; y < m_nHeight; ++y) {
            const uint8_t* in = source.GetLine(y);
            uint8_t* out = GetLine(y);
            for (int32_t x = 0; x < m_nWidth; ++x) {
                ImgColor c =
                    from == 8 ? palette[in[x]] : ImgColor{in[4 * x], in[4 * x + 1], in[4 * x + 2], 0};
                SetBit(out, x, IsDark(c.red, c.green, c.blue));
            }
        }
    } else if (m_nBitsPerPixel == 8) {
        if (from != 1) return;
        m_pPalette[0] = TwoColour(palette, 0);
        m_pPalette[1] = TwoColour(palette, 1);
        for (int32_t y = 0; y < m_nHeight; ++y) {
            const uint8_t* in = source.GetLine(y);
            uint8_t* out = GetLine(y);
            for (int32_t x = 0; x < m_nWidth; ++x)
                out[x] = static_cast<uint8_t>(Bit(in, x));
        }
    } else if (m_nBitsPerPixel == 24 || m_nBitsPerPixel == 32) {
        const int step = m_nBitsPerPixel / 8;
        for (int32_t y = 0; y < m_nHeight; ++y) {
            const uint8_t* in = source.GetLine(y);
            uint8_t* out = GetLine(y);
            for (int32_t x = 0; x < m_nWidth; ++x, out += step) {
                ImgColor c;
                switch (from) {
                case 1: c = TwoColour(palette, Bit(in, x)); break;
                case 8: c = palette[in[x]]; break;
                case 24: c = ImgColor{in[3 * x], in[3 * x + 1], in[3 * x + 2], 255}; break;
                case 32: c = ImgColor{in[4 * x], in[4 * x + 1], in[4 * x + 2], in[4 * x + 3]}; break;
                default: return;
                }
                out[0] = c.blue;
                out[1] = c.green;
                out[2] = c.red;
                if (step == 4) out[3] = c.alpha;
            }
        }
    }
}
