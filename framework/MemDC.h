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
