#include "framework/MemDC.h"

#include <algorithm>

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

HDC CBackBuffer::Get(HDC target, int cx, int cy) {
    if (cx <= 0 || cy <= 0) return nullptr;
    if (m_hDC && cx <= m_cx && cy <= m_cy) return m_hDC;
    // Grown to the larger of old and new, so that a window resized back and forth settles.
    int width = std::max(cx, m_cx);
    int height = std::max(cy, m_cy);
    Release();
    HDC mem = ::CreateCompatibleDC(target);
    HBITMAP bitmap = mem ? ::CreateCompatibleBitmap(target, width, height) : nullptr;
    if (!bitmap) {
        if (mem) ::DeleteDC(mem);
        return nullptr;
    }
    m_hDC = mem;
    m_hBitmap = bitmap;
    m_hOldBitmap = ::SelectObject(m_hDC, m_hBitmap);
    m_cx = width;
    m_cy = height;
    return m_hDC;
}

void CBackBuffer::Release() {
    if (m_hDC) {
        ::SelectObject(m_hDC, m_hOldBitmap);
        ::DeleteDC(m_hDC);
    }
    if (m_hBitmap) ::DeleteObject(m_hBitmap);
    m_hDC = nullptr;
    m_hBitmap = nullptr;
    m_hOldBitmap = nullptr;
    m_cx = 0;
    m_cy = 0;
}
