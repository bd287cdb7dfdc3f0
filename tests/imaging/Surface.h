#pragma once
// A 32-bit drawing surface in memory whose pixels a test reads back as 0xRRGGBB.

#include <windows.h>

#include <cstdint>

namespace imgtest {

class Surface {
  public:
    Surface(int width, int height, COLORREF fill = RGB(255, 0, 255)) : m_width(width) {
        BITMAPINFO bi{};
        bi.bmiHeader.biSize = sizeof bi.bmiHeader;
        bi.bmiHeader.biWidth = width;
        bi.bmiHeader.biHeight = -height; // top-down: row y at y
        bi.bmiHeader.biPlanes = 1;
        bi.bmiHeader.biBitCount = 32;
        void* bits = nullptr;
        m_bitmap = ::CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &bits, nullptr, 0);
        m_bits = static_cast<const uint32_t*>(bits);
        m_dc = ::CreateCompatibleDC(nullptr);
        m_old = ::SelectObject(m_dc, m_bitmap);
        RECT all{0, 0, width, height};
        HBRUSH brush = ::CreateSolidBrush(fill);
        ::FillRect(m_dc, &all, brush);
        ::DeleteObject(brush);
    }
    ~Surface() {
        ::SelectObject(m_dc, m_old);
        ::DeleteDC(m_dc);
        ::DeleteObject(m_bitmap);
    }
    Surface(const Surface&) = delete;
    Surface& operator=(const Surface&) = delete;

    HDC dc() const { return m_dc; }
    uint32_t At(int x, int y) const {
        ::GdiFlush();
        return m_bits[y * m_width + x] & 0xFFFFFF;
    }
    // A COLORREF (low byte red) as the surface stores it.
    static uint32_t Rgb(COLORREF c) { return (GetRValue(c) << 16) | (GetGValue(c) << 8) | GetBValue(c); }

  private:
    int m_width;
    HBITMAP m_bitmap;
    const uint32_t* m_bits = nullptr;
    HDC m_dc;
    HGDIOBJ m_old;
};

} // namespace imgtest
