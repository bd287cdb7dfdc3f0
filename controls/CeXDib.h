#pragma once
// A bottom-up device-independent bitmap kept in memory (header, palette, pixel rows in one
// block), drawn through a DIB section made on first use. The textures of label backgrounds
// are rendered into it as palette indexes.

#include "framework/DibSection.h"
#include "framework/Gdi.h"

#include <windows.h>

#include <memory>
#include <vector>

class CCeXDib {
  public:
    CCeXDib() = default;
    virtual ~CCeXDib() = default;
    CCeXDib(const CCeXDib&) = delete;
    CCeXDib& operator=(const CCeXDib&) = delete;

    // Releases what was held; false (and nothing held) for a size that is empty or too large
    // or a depth other than 1, 4, 8, 16, 24 or 32 bits.
    bool Create(int width, int height, int bits);
    // Every pixel byte becomes value.
    void Clear(BYTE value);
    // Ignored beyond the palette's size.
    void SetPaletteEntry(int index, BYTE red, BYTE green, BYTE blue);
    RGBQUAD GetPaletteEntry(int index) const;
    // Every entry moves towards colour by percent (0 to 100).
    void BlendPalette(COLORREF colour, int percent);
    // Row y counts from the top; ignored outside the picture or for depths above 8 bits.
    void SetPixelIndex(int x, int y, BYTE index);
    BYTE GetPixelIndex(int x, int y) const;
    // The pixel rows, bottom row first, each LineWidth() bytes; null when nothing is held.
    BYTE* GetBits();
    const BYTE* GetBits() const;
    int GetLineWidth() const { return m_nLineWidth; }
    int GetWidth() const { return m_nWidth; }
    int GetHeight() const { return m_nHeight; }
    int GetBitCount() const { return m_nBits; }
    int GetPaletteSize() const { return m_nPaletteSize; }
    bool IsValid() const { return !m_data.empty(); }
    // Copies the pixels into the DIB section (made once per picture) and BitBlts it to x, y;
    // false when nothing is held or a context or section cannot be made.
    bool Draw(HDC dc, int x, int y);

  private:
    void Release();
    BITMAPINFOHEADER* Header();
    RGBQUAD* Palette();
    const RGBQUAD* Palette() const;

    std::vector<BYTE> m_data; // header, palette, rows
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBits = 0;
    int m_nLineWidth = 0;
    int m_nPaletteSize = 0;
    // Declared in this order so that the section is deselected before its context goes.
    CDibSection m_section;
    std::unique_ptr<CMemoryDC> m_memDC;
    std::unique_ptr<CSelectedObject> m_selected;
};
