#pragma once
// DIB sections whose pixels the program reads and writes directly, icons owned and taken
// apart, and pens in the dash styles at any width.

#include "framework/Gdi.h"

#include <windows.h>

#include <cstdint>

class CDibSection : public CBitmap {
  public:
    // A top-down 32-bit section (blue in the low byte, alpha in the high byte), zeroed.
    bool Create32(int width, int height);
    // A section as the header says (bottom-up for a positive height), with its colour table
    // taken from the entries after the header; false for an empty or oversized picture.
    bool Create(const BITMAPINFO& info);
    // The header of a top-down 32-bit picture (for GetDIBits as well).
    static BITMAPINFO Header32(int width, int height);

    void* GetBits() const { return m_hObject ? m_pBits : nullptr; }
    int GetWidth() const { return m_hObject ? m_nWidth : 0; }
    int GetHeight() const { return m_hObject ? m_nHeight : 0; }
    int GetBitCount() const { return m_hObject ? m_nBits : 0; }
    // Bytes from one row to the next in memory.
    int GetStride() const { return m_hObject ? m_nStride : 0; }
    bool IsTopDown() const { return m_bTopDown; }
    // Row y counted from the top of the picture.
    BYTE* Row(int y) const;
    uint32_t* Row32(int y) const { return reinterpret_cast<uint32_t*>(Row(y)); }
    // Replaces colour table entries from first on (pictures of 8 bits and fewer).
    bool SetColorTable(UINT first, UINT count, const RGBQUAD* colours);

  private:
    void* m_pBits = nullptr;
    int m_nWidth = 0;
    int m_nHeight = 0;
    int m_nBits = 0;
    int m_nStride = 0;
    bool m_bTopDown = false;
};

// A memory device context like `like` with a bitmap selected into it; the bitmap goes back
// out before the context is deleted.
class CBitmapDC {
  public:
    CBitmapDC(HDC like, HBITMAP bitmap) : m_dc(like), m_select(m_dc, m_dc ? bitmap : nullptr) {}
    CBitmapDC(const CBitmapDC&) = delete;
    CBitmapDC& operator=(const CBitmapDC&) = delete;
    operator HDC() const { return m_dc; }
    bool IsValid() const { return m_dc != nullptr; }

  private:
    CMemoryDC m_dc;
    CSelectedObject m_select;
};

// An icon or cursor destroyed with its object.
class CIcon {
  public:
    CIcon() = default;
    explicit CIcon(HICON icon) : m_hIcon(icon) {}
    ~CIcon() { Destroy(); }
    CIcon(const CIcon&) = delete;
    CIcon& operator=(const CIcon&) = delete;

    operator HICON() const { return m_hIcon; }
    void Attach(HICON icon) {
        Destroy();
        m_hIcon = icon;
    }
    HICON Detach() {
        HICON h = m_hIcon;
        m_hIcon = nullptr;
        return h;
    }
    void Destroy() {
        if (m_hIcon) ::DestroyIcon(m_hIcon);
        m_hIcon = nullptr;
    }

  private:
    HICON m_hIcon = nullptr;
};

// The parts of an icon: its colour and mask bitmaps (owned here) and its hot spot. A
// monochrome icon has no colour bitmap and a mask twice as high (AND half above XOR half).
class CIconInfo {
  public:
    CIconInfo() = default;
    ~CIconInfo() { Release(); }
    CIconInfo(const CIconInfo&) = delete;
    CIconInfo& operator=(const CIconInfo&) = delete;

    bool Get(HICON icon);
    bool IsIcon() const { return m_info.fIcon != FALSE; }
    POINT HotSpot() const {
        return POINT{static_cast<LONG>(m_info.xHotspot), static_cast<LONG>(m_info.yHotspot)};
    }
    HBITMAP Colour() const { return m_info.hbmColor; }
    HBITMAP Mask() const { return m_info.hbmMask; }
    // Width and height of the picture itself (half the mask's height without colour).
    SIZE Size() const;

  private:
    void Release();
    ICONINFO m_info{};
};

namespace fw {
// A new icon from colour and mask bitmaps (copied; the caller keeps its own), null on failure.
HICON CreateIconFromBitmaps(HBITMAP colour, HBITMAP mask);
// A pen of a PS_ dash style: wider than one pixel the dashes keep their pattern (a geometric
// pen with flat ends), one pixel wide a cosmetic pen.
HPEN CreateStylePen(int style, int width, COLORREF colour);
} // namespace fw
