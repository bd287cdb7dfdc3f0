#include "imaging/ImgWinBitmap.h"
#include "framework/Gdi.h"
#include "imaging/ImgDib.h"

#include <cstdlib>
#include <new>

ImgWinBitmap::ImgWinBitmap() {
    InternalCreate(16, 16, 8);
}

void ImgWinBitmap::InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel) {
    size_t colours = bitsPerPixel <= 8 ? (size_t(1) << bitsPerPixel) : 0;
    size_t header = sizeof(BITMAPINFOHEADER) + colours * sizeof(RGBQUAD);
    size_t bits = img::DibBytesPerLine(width, bitsPerPixel) * static_cast<size_t>(height);
    try {
        m_block.assign((header + bits + 3) / 4, 0);
    } catch (const std::bad_alloc&) {
        throw ImgTextException(kImgOutOfMemory, "Out of memory creating bitmap.");
    }
    m_nBitsOffset = header;
    BITMAPINFOHEADER& h = Info()->bmiHeader;
    h.biSize = sizeof(BITMAPINFOHEADER);
    h.biWidth = width;
    h.biHeight = height;
    h.biPlanes = 1;
    h.biBitCount = bitsPerPixel;
    // A grey ramp, as every new picture of the layer starts.
    for (size_t i = 0; i < colours; ++i) {
        auto level = static_cast<BYTE>(i * (255 / (colours - 1)));
        Info()->bmiColors[i] = RGBQUAD{level, level, level, 255};
    }
    m_nWidth = width;
    m_nHeight = height;
    m_nBitsPerPixel = bitsPerPixel;
}

void ImgWinBitmap::CreateFromHBitmap(HBITMAP bitmap) {
    CClientDC screen(nullptr);
    BITMAPINFO probe{};
    probe.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bool known = ::GetDIBits(screen, bitmap, 0, 0, nullptr, &probe, DIB_RGB_COLORS) != 0;
    if (known) {
        int depth = probe.bmiHeader.biBitCount;
        uint16_t bpp = depth > 8 ? 32 : depth == 1 ? 1 : 8;
        InternalCreate(probe.bmiHeader.biWidth, std::abs(probe.bmiHeader.biHeight), bpp);
        known =
            ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(m_nHeight), Bits(), Info(), DIB_RGB_COLORS) != 0;
    }
    if (!known) throw ImgTextException(kImgBadData, "Die Bitmap konnte nicht gelesen werden.");
}

void ImgWinBitmap::Draw(HDC dc, int x, int y, DWORD rop) const {
    ::StretchDIBits(dc, x, y, m_nWidth, m_nHeight, 0, 0, m_nWidth, m_nHeight, GetBits(), GetBitmapInfo(),
                    DIB_RGB_COLORS, rop);
}
