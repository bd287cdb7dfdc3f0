#pragma once
// A Windows device-independent bitmap held in one block: the 40-byte header, the colour
// table (at 8 bits per pixel and less) and the pixel lines, bottom line first.

#include "imaging/ImgBitmap.h"

#include <windows.h>

#include <vector>

class ImgWinBitmap : public ImgBitmap {
  public:
    // An empty 16 x 16 picture at 8 bits per pixel.
    ImgWinBitmap();

    // Takes the pixels of a GDI bitmap: more than 8 bits per pixel become 32, 2 to 7 become 8.
    void CreateFromHBitmap(HBITMAP bitmap);
    // At natural size with the raster operation (SRCCOPY to copy).
    void Draw(HDC dc, int x, int y, DWORD rop) const;

    const BITMAPINFO* GetBitmapInfo() const { return reinterpret_cast<const BITMAPINFO*>(m_block.data()); }
    const uint8_t* GetBits() const {
        return reinterpret_cast<const uint8_t*>(m_block.data()) + m_nBitsOffset;
    }

  private:
    void InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel);
    BITMAPINFO* Info() { return reinterpret_cast<BITMAPINFO*>(m_block.data()); }
    uint8_t* Bits() { return reinterpret_cast<uint8_t*>(m_block.data()) + m_nBitsOffset; }

    std::vector<uint32_t> m_block; // words keep the header aligned for GDI
    size_t m_nBitsOffset = 0;
};
