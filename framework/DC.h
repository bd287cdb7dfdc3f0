#pragma once
// A device context object: one handle serves for output and for attribute queries (there is
// no second attribute context), so painters draw the same way on the screen, into a memory
// bitmap, a metafile or a printer.

#include "framework/Geometry.h"

#include <windows.h>

class CDC {
  public:
    CDC() = default;
    explicit CDC(HDC dc) : m_hDC(dc) {}
    virtual ~CDC() = default;
    CDC(const CDC&) = delete;
    CDC& operator=(const CDC&) = delete;

    HDC m_hDC = nullptr;
    operator HDC() const { return m_hDC; }
    HDC GetSafeHdc() const { return m_hDC; }
    void Attach(HDC dc) { m_hDC = dc; }
    HDC Detach() {
        HDC h = m_hDC;
        m_hDC = nullptr;
        return h;
    }
    // Printing contexts set it; painters then leave out the screen-only decoration.
    bool IsPrinting() const { return m_bPrinting; }
    bool m_bPrinting = false;

    int SaveDC() { return ::SaveDC(m_hDC); }
    bool RestoreDC(int saved) { return ::RestoreDC(m_hDC, saved) != 0; }
    int GetDeviceCaps(int index) const { return ::GetDeviceCaps(m_hDC, index); }
    HGDIOBJ SelectObject(HGDIOBJ object) { return ::SelectObject(m_hDC, object); }
    HGDIOBJ SelectStockObject(int index) { return ::SelectObject(m_hDC, ::GetStockObject(index)); }
    COLORREF SetTextColor(COLORREF c) { return ::SetTextColor(m_hDC, c); }
    COLORREF SetBkColor(COLORREF c) { return ::SetBkColor(m_hDC, c); }
    int SetBkMode(int mode) { return ::SetBkMode(m_hDC, mode); }
    int SetMapMode(int mode) { return ::SetMapMode(m_hDC, mode); }
    CPoint SetViewportOrg(int x, int y) {
        POINT old{};
        ::SetViewportOrgEx(m_hDC, x, y, &old);
        return old;
    }
    CPoint SetWindowOrg(int x, int y) {
        POINT old{};
        ::SetWindowOrgEx(m_hDC, x, y, &old);
        return old;
    }
    CPoint GetWindowOrg() const {
        POINT p{};
        ::GetWindowOrgEx(m_hDC, &p);
        return p;
    }
    CSize SetViewportExt(int cx, int cy) {
        SIZE old{};
        ::SetViewportExtEx(m_hDC, cx, cy, &old);
        return old;
    }
    CSize SetWindowExt(int cx, int cy) {
        SIZE old{};
        ::SetWindowExtEx(m_hDC, cx, cy, &old);
        return old;
    }
    CPoint OffsetViewportOrg(int dx, int dy) {
        POINT old{};
        ::OffsetViewportOrgEx(m_hDC, dx, dy, &old);
        return old;
    }
    int GetClipBox(RECT* r) const { return ::GetClipBox(m_hDC, r); }
    int IntersectClipRect(const RECT& r) { return ::IntersectClipRect(m_hDC, r.left, r.top, r.right, r.bottom); }
    int SelectClipRgn(HRGN region) { return ::SelectClipRgn(m_hDC, region); }
    bool PtVisible(int x, int y) const { return ::PtVisible(m_hDC, x, y) != 0; }
    bool RectVisible(const RECT& r) const { return ::RectVisible(m_hDC, &r) != 0; }

    bool PatBlt(int x, int y, int cx, int cy, DWORD rop) { return ::PatBlt(m_hDC, x, y, cx, cy, rop) != 0; }
    bool BitBlt(int x, int y, int cx, int cy, HDC source, int sx, int sy, DWORD rop) {
        return ::BitBlt(m_hDC, x, y, cx, cy, source, sx, sy, rop) != 0;
    }
    // The fill colour is the context's background colour afterwards, as an opaque ExtTextOut
    // leaves it: the cheapest solid fill there is.
    void FillSolidRect(const RECT& r, COLORREF c) {
        ::SetBkColor(m_hDC, c);
        ::ExtTextOutA(m_hDC, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    }
    void FillRect(const RECT& r, HBRUSH brush) { ::FillRect(m_hDC, &r, brush); }
    void FrameRect(const RECT& r, HBRUSH brush) { ::FrameRect(m_hDC, &r, brush); }
    CPoint MoveTo(int x, int y) {
        POINT old{};
        ::MoveToEx(m_hDC, x, y, &old);
        return old;
    }
    bool LineTo(int x, int y) { return ::LineTo(m_hDC, x, y) != 0; }
    bool Polygon(const POINT* points, int count) { return ::Polygon(m_hDC, points, count) != 0; }
    bool DrawEdge(RECT* r, UINT edge, UINT flags) { return ::DrawEdge(m_hDC, r, edge, flags) != 0; }

    bool TextOut(int x, int y, const char* text, int length) {
        return ::TextOutA(m_hDC, x, y, text, length) != 0;
    }
    bool ExtTextOut(int x, int y, UINT options, const RECT* r, const char* text, UINT length,
                    const INT* dx = nullptr) {
        return ::ExtTextOutA(m_hDC, x, y, options, r, text, length, dx) != 0;
    }
    CSize TabbedTextOut(int x, int y, const char* text, int length, int tabCount, const INT* tabs,
                        int origin) {
        LONG r = ::TabbedTextOutA(m_hDC, x, y, text, length, tabCount, tabs, origin);
        return CSize(LOWORD(r), HIWORD(r));
    }
    int DrawText(const char* text, int length, RECT* r, UINT format) {
        return ::DrawTextA(m_hDC, text, length, r, format);
    }
    int DrawTextEx(char* text, int length, RECT* r, UINT format, DRAWTEXTPARAMS* params) {
        return ::DrawTextExA(m_hDC, text, length, r, format, params);
    }
    bool GrayString(HBRUSH brush, GRAYSTRINGPROC output, LPARAM data, int length, int x, int y, int cx,
                    int cy) {
        return ::GrayStringA(m_hDC, brush, output, data, length, x, y, cx, cy) != 0;
    }
    int Escape(int escape, int inCount, const char* in, void* out) {
        return ::Escape(m_hDC, escape, inCount, in, out);
    }
    CSize GetTextExtent(const char* text, int length) const {
        SIZE s{};
        ::GetTextExtentPoint32A(m_hDC, text, length, &s);
        return s;
    }
    bool GetTextMetrics(TEXTMETRICA* tm) const { return ::GetTextMetricsA(m_hDC, tm) != 0; }
};
