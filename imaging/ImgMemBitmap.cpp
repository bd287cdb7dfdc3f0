#include "imaging/ImgMemBitmap.h"

#include <new>

ImgMemBitmap::~ImgMemBitmap() {
    FreeMembers();
}

size_t ImgMemBitmap::GetMemoryUsed() const {
    size_t palette = m_palette ? sizeof(ImgColor) << m_nBitsPerPixel : 0;
    return sizeof(*this) + palette + GetBytesPerLine() * static_cast<size_t>(m_nHeight);
}

size_t ImgMemBitmap::GetBytesPerLine() const {
    return PackedBytesPerLine(m_nWidth, m_nBitsPerPixel);
}

void ImgMemBitmap::InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool alpha) {
    size_t line = PackedBytesPerLine(width, bitsPerPixel);
    CheckSize(width, height, static_cast<int64_t>(line));
    m_pixels.reset(new (std::nothrow) uint8_t[line * static_cast<size_t>(height)]());
    if (bitsPerPixel <= 8) m_palette.reset(new (std::nothrow) ImgColor[size_t(1) << bitsPerPixel]());
    if (!m_pixels || (bitsPerPixel <= 8 && !m_palette)) {
        FreeMembers();
        throw ImgTextException(kImgOutOfMemory, "Out of memory creating bitmap.");
    }
    m_pPalette = m_palette.get();
    CommonCreate(width, height, bitsPerPixel, alpha);
}

void ImgMemBitmap::FreeMembers() {
    m_pixels.reset();
    m_palette.reset();
    m_pPalette = nullptr;
    m_lines.clear();
    m_nWidth = m_nHeight = 0;
}

void ImgMemBitmap::BuildLineArray() {
    size_t line = GetBytesPerLine();
    m_lines.resize(static_cast<size_t>(m_nHeight));
    for (size_t y = 0; y < m_lines.size(); ++y)
        m_lines[y] = m_pixels.get() + y * line;
}
