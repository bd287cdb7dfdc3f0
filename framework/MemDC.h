#pragma once
// Off-screen drawing context over a target's clip box: everything is drawn into a bitmap and
// copied to the target in one go when the object ends, so a repaint never flickers. On a
// printer it simply draws into the target.

#include "framework/DC.h"

class CMemDC : public CDC {
  public:
    // Offsets move the drawing as the caller's own origin would (the grid's drawing offsets).
    explicit CMemDC(CDC* target, int xOffset = 0, int yOffset = 0);
    ~CMemDC() override;
    CMemDC(const CMemDC&) = delete;
    CMemDC& operator=(const CMemDC&) = delete;

    bool IsOffScreen() const { return m_bMemDC; }
    const CRect& Rect() const { return m_rect; }

  private:
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    CDC* m_pDC;
    CRect m_rect;
    int m_nSavedDC = 0;
    bool m_bMemDC = false;
};

// A memory DC whose bitmap is kept from one paint to the next, so that a window repainted at
// every step (a grid while it scrolls) does not make and free a bitmap of its size each time.
// The bitmap is made compatible with the screen once; BitBlt still copies it correctly should
// the display's depth change later.
class CBackBuffer {
  public:
    CBackBuffer() = default;
    ~CBackBuffer() { Release(); }
    CBackBuffer(const CBackBuffer&) = delete;
    CBackBuffer& operator=(const CBackBuffer&) = delete;

    // The memory DC with a bitmap of at least cx by cy pixels, made or grown for target when
    // needed; null when no bitmap can be had.
    HDC Get(HDC target, int cx, int cy);
    void Release();
    CSize Size() const { return CSize(m_cx, m_cy); }

  private:
    HDC m_hDC = nullptr;
    HBITMAP m_hBitmap = nullptr;
    HGDIOBJ m_hOldBitmap = nullptr;
    int m_cx = 0;
    int m_cy = 0;
};
