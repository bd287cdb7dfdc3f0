#pragma once
// A Windows device-independent bitmap held in one block: the 40-byte header, the palette (at
// 8 bits per pixel and less) and the pixel lines, bottom line first, each padded to 32 bits.
// The block can be handed to GDI and the clipboard as it is. In the tree without Windows it
// keeps the same block and does not draw.

#include "imaging/ImgBitmap.h"

#ifdef _WIN32
#include <windows.h>
#endif

#include <cstddef>
#include <cstdint>
#include <vector>

// The system's BITMAPINFOHEADER, spelled out so the block has one layout in every tree.
struct ImgDibHeader {
    uint32_t size;
    int32_t width;
    int32_t height;
    uint16_t planes;
    uint16_t bitCount;
    uint32_t compression;
    uint32_t sizeImage;
    int32_t xPelsPerMeter;
    int32_t yPelsPerMeter;
    uint32_t clrUsed;
    uint32_t clrImportant;
};
static_assert(sizeof(ImgDibHeader) == 40, "a DIB header is 40 bytes");

class ImgWinBitmap : public ImgBitmap {
  public:
    // An empty 16 x 16 picture at 8 bits per pixel.
    ImgWinBitmap();
    ImgWinBitmap(const ImgWinBitmap&) = delete;
    ImgWinBitmap& operator=(const ImgWinBitmap&) = delete;
    ~ImgWinBitmap() override;

    size_t GetMemoryUsed() const override;
    size_t GetBytesPerLine() const override;

    // Copies a packed DIB (header, masks, palette, lines) of at most size bytes: the size
    // bounds every read. Compressed DIBs give code 6, a DIB that does not fit code 2.
    virtual void CreateFromBitmapInfo(const void* packedDib, size_t size);

    const ImgDibHeader* GetHeader() const { return reinterpret_cast<const ImgDibHeader*>(m_pBlock); }
    const uint8_t* GetBits() const { return m_pBits; }
    uint8_t* GetBits() { return m_pBits; }
    // Header, palette and lines: what a packed DIB holds.
    size_t GetBlockSize() const { return m_nBlockSize; }

#ifdef _WIN32
    const BITMAPINFO* GetBitmapInfo() const {
        return reinterpret_cast<const BITMAPINFO*>(m_pBlock);
    }

    // The RT_BITMAP resource of the module.
    virtual void LoadBitmapResource(HMODULE module, int id);
    virtual void Draw(HDC dc, int x, int y, DWORD rop) const;
    virtual void StretchDrawRect(HDC dc, int x, int y, int width, int height, DWORD rop) const;
    virtual void StretchDraw(HDC dc, int x, int y, double factor, DWORD rop) const;
    // The source rectangle at (x, y) at natural size, counted from the top.
    virtual void DrawExtract(HDC dc, int x, int y, const RECT& source) const;
    virtual HGLOBAL GetDIBCopy() const;

    // Takes the pixels of a GDI bitmap: more than 8 bits per pixel become 32, 2 to 7 become 8.
    void CreateFromHBitmap(HBITMAP bitmap);
    // A packed DIB in a global block; a palette handle's colours replace the DIB's own.
    void CreateFromDIB(HGLOBAL dib, HPALETTE palette);
    // Puts a copy on the clipboard as CF_DIB, the clipboard opened for the window (without one,
    // a window of its own: the system hands no data to a clipboard opened for none). Returns
    // 0 when the clipboard cannot be had or takes nothing.
    BOOL CopyToClipboard(HWND owner = nullptr) const;
#endif

  protected:
    void InternalCreate(int32_t width, int32_t height, uint16_t bitsPerPixel, bool alpha) override;
    void FreeMembers() override;
    void BuildLineArray() override;
    virtual void SetBlockPointers();

  private:
    uint8_t* m_pBlock = nullptr; // 32-bit aligned for GDI
    size_t m_nBlockSize = 0;
    uint8_t* m_pBits = nullptr;
};
