#include "imaging/ImgWinBitmap.h"
#include "imaging/ImgBytes.h"

#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <new>

namespace {

constexpr size_t kHeaderSize = sizeof(ImgDibHeader);

size_t PaletteEntries(int bitsPerPixel) {
    return bitsPerPixel <= 8 ? size_t(1) << bitsPerPixel : 0;
}

} // namespace

ImgWinBitmap::ImgWinBitmap() {
    Create(16, 16, 8);
}

ImgWinBitmap::~ImgWinBitmap() {
    FreeMembers();
}

size_t ImgWinBitmap::GetMemoryUsed() const {
    return sizeof(*this) + m_nBlockSize;
}

size_t ImgWinBitmap::GetBytesPerLine() const {
    return AlignedBytesPerLine(m_nWidth, m_nBitsPerPixel);
}

void ImgWinBitmap::InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool alpha) {
    size_t line = AlignedBytesPerLine(width, bitsPerPixel);
    CheckSize(width, height, static_cast<int64_t>(line));
    size_t size =
        kHeaderSize + PaletteEntries(bitsPerPixel) * sizeof(ImgColor) + line * static_cast<size_t>(height);
    // Words keep the header and the lines aligned as GDI wants them.
    auto* block = new (std::nothrow) uint32_t[(size + 3) / 4]();
    if (!block) throw ImgTextException(kImgOutOfMemory, "Out of memory creating bitmap.");
    m_pBlock = reinterpret_cast<uint8_t*>(block);
    m_nBlockSize = size;
    ImgDibHeader header{};
    header.size = kHeaderSize;
    header.width = width;
    header.height = height;
    header.planes = 1;
    header.bitCount = bitsPerPixel;
    std::memcpy(m_pBlock, &header, kHeaderSize);
    SetBlockPointers();
    CommonCreate(width, height, bitsPerPixel, alpha);
}

void ImgWinBitmap::FreeMembers() {
    delete[] reinterpret_cast<uint32_t*>(m_pBlock);
    m_pBlock = nullptr;
    m_nBlockSize = 0;
    m_pBits = nullptr;
    m_pPalette = nullptr;
    m_lines.clear();
    m_nWidth = m_nHeight = 0;
}

void ImgWinBitmap::SetBlockPointers() {
    auto bitCount = reinterpret_cast<const ImgDibHeader*>(m_pBlock)->bitCount;
    size_t entries = PaletteEntries(bitCount);
    m_pPalette = entries ? reinterpret_cast<ImgColor*>(m_pBlock + kHeaderSize) : nullptr;
    m_pBits = m_pBlock + kHeaderSize + entries * sizeof(ImgColor);
}

void ImgWinBitmap::BuildLineArray() {
    size_t line = GetBytesPerLine();
    m_lines.resize(static_cast<size_t>(m_nHeight));
    for (size_t y = 0; y < m_lines.size(); ++y)
        m_lines[y] = m_pBits + (m_lines.size() - 1 - y) * line;
}

void ImgWinBitmap::CreateFromBitmapInfo(const void* packedDib, size_t size) {
    auto* dib = static_cast<const uint8_t*>(packedDib);
    if (!dib || size < 12) throw ImgTextException(kImgBadData, "Bitmap header incomplete.");
    uint32_t headerSize = img::Le32(dib);
    int64_t width, height;
    int bitCount;
    uint32_t compression = 0, colours = 0;
    size_t entrySize = 4;
    if (headerSize == 12) { // the OS/2 core header, three-byte palette entries
        width = img::Le16(dib + 4);
        height = img::Le16(dib + 6);
        bitCount = img::Le16(dib + 10);
        entrySize = 3;
    } else {
        if (headerSize < 40 || headerSize > size)
            throw ImgTextException(kImgBadData, "Bitmap header incomplete.");
        width = int32_t(img::Le32(dib + 4));
        height = int32_t(img::Le32(dib + 8));
        bitCount = img::Le16(dib + 14);
        compression = img::Le32(dib + 16);
        colours = img::Le32(dib + 32);
    }
    const bool topDown = height < 0;
    height = std::llabs(height);
    // Before any stride is computed from it.
    if (width < 1 || height < 1) throw ImgTextException(kImgBadData, "Bitmap size invalid.");
    if (bitCount != 1 && bitCount != 4 && bitCount != 8 && bitCount != 16 && bitCount != 24 && bitCount != 32)
        throw ImgTextException(kImgNotSupported, "Unsupported bitmap depth.");
    // Bit fields: three masks after a 40-byte header, inside the larger ones.
    uint32_t masks[3] = {0x7C00, 0x03E0, 0x001F};
    if (bitCount == 32) {
        masks[0] = 0xFF0000;
        masks[1] = 0xFF00;
        masks[2] = 0xFF;
    }
    size_t tableOffset = headerSize;
    if (compression == 3 && (bitCount == 16 || bitCount == 32)) {
        if (size < 40 + 12) throw ImgTextException(kImgBadData, "Bitmap header incomplete.");
        for (int i = 0; i < 3; ++i)
            masks[i] = img::Le32(dib + 40 + 4 * i);
        if (headerSize == 40) tableOffset += 12;
    } else if (compression != 0) {
        throw ImgTextException(kImgNotSupported, "Compressed bitmaps are not supported.");
    }
    size_t maxEntries = PaletteEntries(bitCount);
    size_t entries = maxEntries ? (colours && colours < maxEntries ? colours : maxEntries) : 0;
    size_t bitsOffset = tableOffset + entries * entrySize;
    size_t inLine = AlignedBytesPerLine(static_cast<int32_t>(std::min<int64_t>(width, INT32_MAX)), bitCount);
    CheckSize(width, height, static_cast<int64_t>(inLine));
    if (bitsOffset > size || inLine * static_cast<size_t>(height) > size - bitsOffset)
        throw ImgTextException(kImgBadData, "Bitmap data incomplete.");

    const bool masked = bitCount == 16 || (bitCount == 32 && compression == 3);
    const uint16_t bpp = static_cast<uint16_t>(masked ? 32 : bitCount);
    Create(static_cast<int32_t>(width), static_cast<int32_t>(height), bpp);
    for (size_t i = 0; i < entries; ++i) {
        const uint8_t* e = dib + tableOffset + i * entrySize;
        m_pPalette[i] = ImgColor{e[0], e[1], e[2], 0};
    }
    for (int64_t row = 0; row < height; ++row) {
        const uint8_t* in = dib + bitsOffset + static_cast<size_t>(row) * inLine;
        uint8_t* out = GetLine(static_cast<int32_t>(topDown ? row : height - 1 - row));
        if (!masked) {
            std::memcpy(out, in, GetBytesPerLine());
            continue;
        }
        for (int64_t x = 0; x < width; ++x) {
            uint32_t pixel = bitCount == 16 ? img::Le16(in + 2 * x) : img::Le32(in + 4 * x);
            out[4 * x] = img::MaskedChannel(pixel, masks[2]);
            out[4 * x + 1] = img::MaskedChannel(pixel, masks[1]);
            out[4 * x + 2] = img::MaskedChannel(pixel, masks[0]);
        }
    }
}

#ifdef _WIN32

void ImgWinBitmap::LoadBitmapResource(HMODULE module, int id) {
    HRSRC found = ::FindResourceA(module, MAKEINTRESOURCEA(id), MAKEINTRESOURCEA(2)); // RT_BITMAP
    HGLOBAL loaded = found ? ::LoadResource(module, found) : nullptr;
    const void* data = loaded ? ::LockResource(loaded) : nullptr;
    if (!data) throw ImgTextException(kImgCannotOpen, "Bitmap resource not found.");
    CreateFromBitmapInfo(data, ::SizeofResource(module, found));
}

void ImgWinBitmap::Draw(HDC dc, int x, int y, DWORD rop) const {
    StretchDrawRect(dc, x, y, m_nWidth, m_nHeight, rop);
}

void ImgWinBitmap::StretchDrawRect(HDC dc, int x, int y, int width, int height, DWORD rop) const {
    ::StretchDIBits(dc, x, y, width, height, 0, 0, m_nWidth, m_nHeight, m_pBits, GetBitmapInfo(),
                    DIB_RGB_COLORS, rop);
}

void ImgWinBitmap::StretchDraw(HDC dc, int x, int y, double factor, DWORD rop) const {
    StretchDrawRect(dc, x, y, static_cast<int>(m_nWidth * factor), static_cast<int>(m_nHeight * factor), rop);
}

void ImgWinBitmap::DrawExtract(HDC dc, int x, int y, const RECT& source) const {
    ::SetDIBitsToDevice(dc, x, y, static_cast<DWORD>(source.right - source.left),
                        static_cast<DWORD>(source.bottom - source.top), source.left,
                        m_nHeight - source.bottom, 0, static_cast<UINT>(m_nHeight), m_pBits, GetBitmapInfo(),
                        DIB_RGB_COLORS);
}

HGLOBAL ImgWinBitmap::GetDIBCopy() const {
    HGLOBAL copy = ::GlobalAlloc(GMEM_DDESHARE | GMEM_MOVEABLE, m_nBlockSize);
    void* target = copy ? ::GlobalLock(copy) : nullptr;
    if (!target) {
        if (copy) ::GlobalFree(copy);
        throw ImgTextException(kImgOutOfMemory, "Can't allocate global memory block.");
    }
    std::memcpy(target, m_pBlock, m_nBlockSize);
    ::GlobalUnlock(copy);
    return copy;
}

void ImgWinBitmap::CreateFromHBitmap(HBITMAP bitmap) {
    HDC screen = ::GetDC(nullptr);
    BITMAPINFO probe{};
    probe.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bool known = screen && ::GetDIBits(screen, bitmap, 0, 0, nullptr, &probe, DIB_RGB_COLORS) != 0;
    try {
        if (known) {
            int depth = probe.bmiHeader.biBitCount;
            uint16_t bpp = depth > 8 ? 32 : depth == 1 ? 1 : 8;
            Create(probe.bmiHeader.biWidth, std::abs(probe.bmiHeader.biHeight), bpp);
            known = ::GetDIBits(screen, bitmap, 0, static_cast<UINT>(m_nHeight), m_pBits,
                                reinterpret_cast<BITMAPINFO*>(m_pBlock), DIB_RGB_COLORS) != 0;
        }
    } catch (...) {
        ::ReleaseDC(nullptr, screen);
        throw;
    }
    if (screen) ::ReleaseDC(nullptr, screen);
    if (!known) throw ImgTextException(kImgBadData, "Bitmap could not be read.");
}

void ImgWinBitmap::CreateFromDIB(HGLOBAL dib, HPALETTE palette) {
    const void* data = dib ? ::GlobalLock(dib) : nullptr;
    if (!data) throw ImgTextException(kImgBadData, "Bitmap data incomplete.");
    try {
        CreateFromBitmapInfo(data, ::GlobalSize(dib));
    } catch (...) {
        ::GlobalUnlock(dib);
        throw;
    }
    ::GlobalUnlock(dib);
    if (!palette || m_nBitsPerPixel > 8) return;
    PALETTEENTRY entries[256];
    UINT count = ::GetPaletteEntries(palette, 0, 1u << m_nBitsPerPixel, entries);
    for (UINT i = 0; i < count; ++i)
        m_pPalette[i] = ImgColor{entries[i].peBlue, entries[i].peGreen, entries[i].peRed, 0};
}

BOOL ImgWinBitmap::CopyToClipboard(HWND owner) const {
    HGLOBAL copy = GetDIBCopy();
    HWND own = nullptr;
    if (!owner)
        owner = own = ::CreateWindowExA(0, "STATIC", "", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                        ::GetModuleHandleA(nullptr), nullptr);
    BOOL result = 0;
    if (owner && ::OpenClipboard(owner)) {
        ::EmptyClipboard();
        if (::SetClipboardData(CF_DIB, copy)) {
            copy = nullptr; // the clipboard's now
            result = 1;
        }
        result = ::CloseClipboard() && result;
    }
    if (copy) ::GlobalFree(copy);
    if (own) ::DestroyWindow(own);
    return result;
}

#endif
