#include "controls/CeXDib.h"

#include "app/ProtocolLog.h"

#include <algorithm>
#include <cstring>

using vorlan::TraceFunction;

namespace {

// Beyond this the texture is not worth the memory (a 16-million-pixel palette picture).
constexpr int64_t kMaxBytes = int64_t(16) * 1024 * 1024;

int PaletteSizeFor(int bits) {
    switch (bits) {
    case 1: return 2;
    case 4: return 16;
    case 8: return 256;
    default: return 0;
    }
}

} // namespace

void CCeXDib::Release() {
    m_selected.reset();
    m_memDC.reset();
    m_section.DeleteObject();
    m_data.clear();
    m_data.shrink_to_fit();
    m_nWidth = m_nHeight = m_nBits = m_nLineWidth = m_nPaletteSize = 0;
}

bool CCeXDib::Create(int width, int height, int bits) {
    TraceFunction("CCeXDib::Create");
    Release();
    if (width <= 0 || height <= 0) return false;
    if (bits != 1 && bits != 4 && bits != 8 && bits != 16 && bits != 24 && bits != 32) return false;
    const int64_t lineWidth = (int64_t(width) * bits + 31) / 32 * 4;
    const int64_t imageSize = lineWidth * height;
    if (imageSize > kMaxBytes) return false;
    const int paletteSize = PaletteSizeFor(bits);
    m_data.assign(sizeof(BITMAPINFOHEADER) + paletteSize * sizeof(RGBQUAD) + size_t(imageSize), 0);
    m_nWidth = width;
    m_nHeight = height;
    m_nBits = bits;
    m_nLineWidth = static_cast<int>(lineWidth);
    m_nPaletteSize = paletteSize;
    BITMAPINFOHEADER* h = Header();
    h->biSize = sizeof(BITMAPINFOHEADER);
    h->biWidth = width;
    h->biHeight = height;
    h->biPlanes = 1;
    h->biBitCount = static_cast<WORD>(bits);
    h->biCompression = BI_RGB;
    h->biSizeImage = static_cast<DWORD>(imageSize);
    return true;
}

BITMAPINFOHEADER* CCeXDib::Header() {
    return reinterpret_cast<BITMAPINFOHEADER*>(m_data.data());
}

RGBQUAD* CCeXDib::Palette() {
    return reinterpret_cast<RGBQUAD*>(m_data.data() + sizeof(BITMAPINFOHEADER));
}

const RGBQUAD* CCeXDib::Palette() const {
    return reinterpret_cast<const RGBQUAD*>(m_data.data() + sizeof(BITMAPINFOHEADER));
}

BYTE* CCeXDib::GetBits() {
    return m_data.empty() ? nullptr
                          : m_data.data() + sizeof(BITMAPINFOHEADER) + m_nPaletteSize * sizeof(RGBQUAD);
}

const BYTE* CCeXDib::GetBits() const {
    return m_data.empty() ? nullptr
                          : m_data.data() + sizeof(BITMAPINFOHEADER) + m_nPaletteSize * sizeof(RGBQUAD);
}

void CCeXDib::Clear(BYTE value) {
    TraceFunction("CCeXDib::Clear");
    if (m_data.empty()) return;
    std::memset(GetBits(), value, size_t(m_nLineWidth) * size_t(m_nHeight));
}

void CCeXDib::SetPaletteEntry(int index, BYTE red, BYTE green, BYTE blue) {
    TraceFunction("CCeXDib::SetPaletteEntry");
    if (index < 0 || index >= m_nPaletteSize) return;
    Palette()[index] = RGBQUAD{blue, green, red, 0};
}

RGBQUAD CCeXDib::GetPaletteEntry(int index) const {
    if (index < 0 || index >= m_nPaletteSize) return RGBQUAD{0, 0, 0, 0};
    return Palette()[index];
}

void CCeXDib::BlendPalette(COLORREF colour, int percent) {
    TraceFunction("CCeXDib::BlendPalette");
    const int p = std::clamp(percent, 0, 100);
    const int r = GetRValue(colour), g = GetGValue(colour), b = GetBValue(colour);
    RGBQUAD* entries = m_nPaletteSize ? Palette() : nullptr;
    for (int i = 0; i < m_nPaletteSize; ++i) {
        RGBQUAD& e = entries[i];
        e.rgbRed = static_cast<BYTE>(r * p / 100 + e.rgbRed * (100 - p) / 100);
        e.rgbGreen = static_cast<BYTE>(g * p / 100 + e.rgbGreen * (100 - p) / 100);
        e.rgbBlue = static_cast<BYTE>(b * p / 100 + e.rgbBlue * (100 - p) / 100);
    }
}

void CCeXDib::SetPixelIndex(int x, int y, BYTE index) {
    TraceFunction("CCeXDib::SetPixelIndex");
    if (m_data.empty() || m_nBits > 8 || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return;
    BYTE* row = GetBits() + size_t(m_nHeight - 1 - y) * size_t(m_nLineWidth);
    if (m_nBits == 8) {
        row[x] = index;
    } else if (m_nBits == 4) {
        BYTE& b = row[x / 2];
        b = (x % 2) ? BYTE((b & 0xF0) | (index & 0x0F)) : BYTE((b & 0x0F) | (index << 4));
    } else {
        const BYTE bit = BYTE(0x80 >> (x % 8));
        BYTE& b = row[x / 8];
        b = (index & 1) ? BYTE(b | bit) : BYTE(b & ~bit);
    }
}

BYTE CCeXDib::GetPixelIndex(int x, int y) const {
    if (m_data.empty() || m_nBits > 8 || x < 0 || y < 0 || x >= m_nWidth || y >= m_nHeight) return 0;
    const BYTE* row = GetBits() + size_t(m_nHeight - 1 - y) * size_t(m_nLineWidth);
    if (m_nBits == 8) return row[x];
    if (m_nBits == 4) return (x % 2) ? (row[x / 2] & 0x0F) : (row[x / 2] >> 4);
    return (row[x / 8] >> (7 - x % 8)) & 1;
}

bool CCeXDib::Draw(HDC dc, int x, int y) {
    TraceFunction("CCeXDib::Draw");
    if (m_data.empty() || !dc) return false;
    if (!m_section.m_hObject) {
        if (!m_section.Create(*reinterpret_cast<const BITMAPINFO*>(m_data.data()))) return false;
        m_memDC = std::make_unique<CMemoryDC>(dc);
        if (!*m_memDC) {
            m_memDC.reset();
            m_section.DeleteObject();
            return false;
        }
        m_selected = std::make_unique<CSelectedObject>(*m_memDC, m_section);
    }
    std::memcpy(m_section.GetBits(), GetBits(), size_t(m_nLineWidth) * size_t(m_nHeight));
    // The palette may have changed since the section was made.
    if (m_nPaletteSize) ::SetDIBColorTable(*m_memDC, 0, m_nPaletteSize, Palette());
    return ::BitBlt(dc, x, y, m_nWidth, m_nHeight, *m_memDC, 0, 0, SRCCOPY) != 0;
}
