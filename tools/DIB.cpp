#include "tools/DIB.h"

#include <cstring>

namespace {

constexpr uint32_t kRgb = 0;       // BI_RGB
constexpr uint32_t kBitFields = 3; // BI_BITFIELDS
// A 32-bit copy larger than this is refused rather than tried.
constexpr uint64_t kMaxPixelBytes = 512ull << 20;

uint32_t ReadU32(const uint8_t* p) {
    uint32_t v;
    std::memcpy(&v, p, 4);
    return v;
}

uint64_t StrideOf(int32_t width, uint16_t bitCount) {
    return (static_cast<uint64_t>(width) * bitCount + 31) / 32 * 4;
}

bool KnownDepth(uint16_t bitCount) {
    return bitCount == 1 || bitCount == 4 || bitCount == 8 || bitCount == 24 || bitCount == 32;
}

} // namespace

bool CheckPackedDib(const void* block, size_t size, DibLayout& layout) {
    layout = DibLayout{};
    if (!block || size < sizeof(DibInfoHeader)) return false;
    const auto* bytes = static_cast<const uint8_t*>(block);
    DibInfoHeader h;
    std::memcpy(&h, bytes, sizeof h);
    if (h.biSize < sizeof(DibInfoHeader) || h.biSize > size) return false;
    if (h.biPlanes != 1 || h.biWidth <= 0 || h.biHeight == 0 || h.biHeight == INT32_MIN) return false;
    if (!KnownDepth(h.biBitCount)) return false;
    uint64_t offset = h.biSize;
    if (h.biCompression == kBitFields) {
        if (h.biBitCount != 32) return false;
        // A 40-byte header is followed by the three masks, larger headers hold them, and
        // headers between the two sizes hold only part of them.
        size_t masksAt = 40;
        if (size < 52 || (h.biSize > 40 && h.biSize < 52)) return false;
        if (h.biSize == 40) offset = 52;
        if (ReadU32(bytes + masksAt) != 0xFF0000u || ReadU32(bytes + masksAt + 4) != 0xFF00u ||
            ReadU32(bytes + masksAt + 8) != 0xFFu)
            return false;
    } else if (h.biCompression != kRgb) {
        return false;
    }
    uint64_t entries = h.biClrUsed;
    if (h.biBitCount <= 8) {
        uint64_t most = 1ull << h.biBitCount;
        if (entries == 0) entries = most;
        if (entries > most) return false;
    } else if (entries > 256) {
        // Above 8 bits a palette is only a hint for displays; skipped, but it must fit.
        return false;
    }
    layout.paletteOffset = static_cast<size_t>(offset);
    layout.paletteEntries = static_cast<size_t>(entries);
    offset += entries * 4;
    uint64_t stride = StrideOf(h.biWidth, h.biBitCount);
    uint64_t rows = h.biHeight < 0 ? -static_cast<int64_t>(h.biHeight) : h.biHeight;
    if (offset > size || stride * rows > size - offset) return false;
    layout.width = h.biWidth;
    layout.height = static_cast<int32_t>(rows);
    layout.topDown = h.biHeight < 0;
    layout.bitCount = h.biBitCount;
    layout.bitsOffset = static_cast<size_t>(offset);
    layout.stride = static_cast<size_t>(stride);
    return true;
}

bool CDIB::Create(int32_t width, int32_t height, uint16_t bitCount) {
    *this = CDIB{};
    if (width <= 0 || height <= 0 || !KnownDepth(bitCount)) return false;
    uint64_t stride = StrideOf(width, bitCount);
    if (stride * static_cast<uint64_t>(height) > kMaxPixelBytes) return false;
    m_header.biSize = sizeof(DibInfoHeader);
    m_header.biWidth = width;
    m_header.biHeight = height;
    m_header.biPlanes = 1;
    m_header.biBitCount = bitCount;
    m_header.biCompression = kRgb;
    m_header.biSizeImage = static_cast<uint32_t>(stride * static_cast<uint64_t>(height));
    m_stride = static_cast<size_t>(stride);
    if (bitCount <= 8) m_palette.assign((size_t{1} << bitCount) * 4, 0);
    m_pixels.assign(m_header.biSizeImage, 0);
    BuildRows();
    return true;
}

bool CDIB::CreateFromPacked(const void* block, size_t size) {
    DibLayout l;
    if (!CheckPackedDib(block, size, l)) {
        *this = CDIB{};
        return false;
    }
    if (!Create(l.width, l.height, l.bitCount)) return false;
    const auto* bytes = static_cast<const uint8_t*>(block);
    DibInfoHeader h;
    std::memcpy(&h, bytes, sizeof h);
    m_header.biXPelsPerMeter = h.biXPelsPerMeter;
    m_header.biYPelsPerMeter = h.biYPelsPerMeter;
    if (l.bitCount <= 8) std::memcpy(m_palette.data(), bytes + l.paletteOffset, l.paletteEntries * 4);
    const uint8_t* bits = bytes + l.bitsOffset;
    for (int32_t y = 0; y < l.height; ++y) {
        // Source row y counted from the top.
        size_t from = l.topDown ? static_cast<size_t>(y) : static_cast<size_t>(l.height - 1 - y);
        std::memcpy(GetRow(y), bits + from * l.stride, m_stride);
    }
    return true;
}

std::vector<uint8_t> CDIB::GetPacked() const {
    std::vector<uint8_t> out;
    if (IsEmpty()) return out;
    out.resize(sizeof m_header + m_palette.size() + m_pixels.size());
    DibInfoHeader h = m_header;
    h.biClrUsed = static_cast<uint32_t>(m_palette.size() / 4);
    std::memcpy(out.data(), &h, sizeof h);
    if (!m_palette.empty()) std::memcpy(out.data() + sizeof h, m_palette.data(), m_palette.size());
    std::memcpy(out.data() + sizeof h + m_palette.size(), m_pixels.data(), m_pixels.size());
    return out;
}

bool CDIB::ConvertTo32(CDIB& out) const {
    if (IsEmpty() || !out.Create(GetWidth(), GetHeight(), 32)) return false;
    out.m_header.biXPelsPerMeter = m_header.biXPelsPerMeter;
    out.m_header.biYPelsPerMeter = m_header.biYPelsPerMeter;
    const int32_t width = GetWidth();
    const uint16_t bits = GetBitCount();
    for (int32_t y = 0; y < GetHeight(); ++y) {
        const uint8_t* src = GetRow(y);
        uint8_t* dst = out.GetRow(y);
        for (int32_t x = 0; x < width; ++x, dst += 4) {
            uint32_t bgr;
            switch (bits) {
            case 32: bgr = ReadU32(src + 4 * x) & 0xFFFFFFu; break;
            case 24: bgr = src[3 * x] | src[3 * x + 1] << 8 | src[3 * x + 2] << 16; break;
            case 8: bgr = GetPaletteColor(src[x]); break;
            case 4: bgr = GetPaletteColor((src[x / 2] >> (x % 2 ? 0 : 4)) & 0x0F); break;
            default: bgr = GetPaletteColor((src[x / 8] >> (7 - x % 8)) & 1); break;
            }
            dst[0] = static_cast<uint8_t>(bgr);
            dst[1] = static_cast<uint8_t>(bgr >> 8);
            dst[2] = static_cast<uint8_t>(bgr >> 16);
            dst[3] = 0;
        }
    }
    return true;
}

uint32_t CDIB::GetPaletteColor(int i) const {
    if (i < 0 || static_cast<size_t>(i) >= m_palette.size() / 4) return 0;
    return ReadU32(m_palette.data() + 4 * i) & 0xFFFFFFu;
}

void CDIB::SetPaletteColor(int i, uint32_t bgr) {
    if (i < 0 || static_cast<size_t>(i) >= m_palette.size() / 4) return;
    std::memcpy(m_palette.data() + 4 * i, &bgr, 4);
    m_palette[4 * static_cast<size_t>(i) + 3] = 0;
}

void CDIB::BuildRows() {
    const int32_t height = m_header.biHeight;
    m_rows.resize(static_cast<size_t>(height));
    for (int32_t i = 0; i < height; ++i)
        m_rows[static_cast<size_t>(i)] = m_pixels.data() + static_cast<size_t>(height - 1 - i) * m_stride;
}
