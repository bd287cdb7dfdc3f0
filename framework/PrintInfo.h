#pragma once
// What a print preview shares with the page painter it drives, and the painter's type.

#include "framework/DC.h"
#include "framework/Geometry.h"

class CPrintInfo {
  public:
    void SetMinPage(UINT page) { m_nMinPage = page; }
    void SetMaxPage(UINT page) { m_nMaxPage = page; }
    UINT GetMinPage() const { return m_nMinPage; }
    UINT GetMaxPage() const { return m_nMaxPage; }

    UINT m_nMinPage = 1;
    UINT m_nMaxPage = 1;
    // 1-based.
    UINT m_nCurPage = 1;
    // Where the page goes, in the device's units.
    CRect m_rectDraw;
    // The painter's user value (an int the preview owns; the grid reads its pages across).
    void* m_lpUserData = nullptr;
    bool m_bPreview = false;
};

// The painter codes.
enum : int {
    kPagePrinterReady = 1, // compute the pages, set the minimum and maximum page
    kPagePrinterGone = 2,  // drop what was computed for that printer
    kPageDraw = 3,         // draw the current page into the drawing rectangle
};

// Called as painter(code, device context, print info, user pointer); 1 when done.
using PagePainter = int (*)(int code, CDC* dc, CPrintInfo* info, void* user);
