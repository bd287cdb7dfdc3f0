#include "framework/MemDC.h"

CMemDC::CMemDC(CDC* target, int xOffset, int yOffset) : m_pDC(target) {
    m_bPrinting = target->IsPrinting();
    ::GetClipBox(target->m_hDC, &m_rect);
    // Printers (and metafiles) get the drawing as it is: no bitmap could stand in for them.
    int tech = ::GetDeviceCaps(target->m_hDC, TECHNOLOGY);
    DWORD kind = ::GetObjectType(target->m_hDC);
    bool raster = !m_bPrinting && tech == DT_RASDISPLAY && kind != OBJ_ENHMETADC && kind != OBJ_METADC;
    if (raster && !m_rect.IsRectEmpty()) {
        HDC mem = ::CreateCompatibleDC(target->m_hDC);
        HBITMAP bitmap = mem ? ::CreateCompatibleBitmap(target->m_hDC, m_rect.Width(), m_rect.Height()) : nullptr;
        if (bitmap) {
            m_hDC = mem;
            m_hBitmap = bitmap;
            m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
            m_nSavedDC = ::SaveDC(m_hDC);
            ::SetViewportOrgEx(m_hDC, -xOffset - m_rect.left, -yOffset - m_rect.top, nullptr);
            m_bMemDC = true;
            return;
        }
        if (mem) ::DeleteDC(mem);
    }
    // Without memory for the bitmap the drawing goes straight to the target.
    m_hDC = target->m_hDC;
}

CMemDC::~CMemDC() {
    if (!m_bMemDC) {
        m_hDC = nullptr;
        return;
    }
    ::RestoreDC(m_hDC, m_nSavedDC);
    ::SetViewportOrgEx(m_hDC, -m_rect.left, -m_rect.top, nullptr);
    ::BitBlt(m_pDC->m_hDC, m_rect.left, m_rect.top, m_rect.Width(), m_rect.Height(), m_hDC, m_rect.left,
             m_rect.top, SRCCOPY);
    ::SelectObject(m_hDC, m_hOldBitmap);
    ::DeleteObject(m_hBitmap);
    ::DeleteDC(m_hDC);
    m_hDC = nullptr;
}
