#include "services/PrintPreview.h"

#include "framework/MemDC.h"

#include <algorithm>
#include <vector>

namespace {

constexpr int kLine = 16;
constexpr COLORREF kShadow = RGB(96, 96, 96);

} // namespace

bool CPrintPreviewFrame::Create(HWND preview, const RECT& rect, UINT id) {
    if (!CreateEx(0, "PrintPreviewFrame", "",
                  WS_CHILD | WS_VISIBLE | WS_HSCROLL | WS_VSCROLL | WS_CLIPCHILDREN, rect, preview, id))
        return false;
    return m_page.Create(m_hWnd);
}

void CPrintPreviewFrame::SetPageSize(int width, int height) {
    m_pageSize = CSize(width, height);
    Relayout();
}

void CPrintPreviewFrame::SetZoomMode(int mode) {
    m_nZoomMode = mode;
    Relayout();
}

void CPrintPreviewFrame::Relayout() {
    if (!m_hWnd) return;
    CRect client = GetClientRect();
    preview::PageLayout layout =
        preview::LayoutPage(m_nZoomMode, client.Width(), client.Height(), m_pageSize.cx, m_pageSize.cy);
    m_nZoom = layout.zoom;
    m_scaled = CSize(layout.width, layout.height);
    for (int bar : {SB_HORZ, SB_VERT}) {
        SCROLLINFO si{};
        si.cbSize = sizeof si;
        si.fMask = SIF_RANGE | SIF_PAGE | SIF_DISABLENOSCROLL;
        si.nMin = 0;
        si.nMax = (bar == SB_HORZ ? m_scaled.cx : m_scaled.cy) + 31;
        si.nPage = static_cast<UINT>(bar == SB_HORZ ? client.Width() : client.Height());
        ::SetScrollInfo(m_hWnd, bar, &si, TRUE);
    }
    // The bars may have taken room from the client.
    client = GetClientRect();
    int x = preview::PageOrigin(client.Width(), m_scaled.cx, ::GetScrollPos(m_hWnd, SB_HORZ));
    int y = preview::PageOrigin(client.Height(), m_scaled.cy, ::GetScrollPos(m_hWnd, SB_VERT));
    if (m_page.m_hWnd) m_page.MoveWindow(CRect(x, y, x + m_scaled.cx, y + m_scaled.cy));
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CPrintPreviewFrame::RepaintPage() {
    if (m_page.m_hWnd) ::InvalidateRect(m_page, nullptr, FALSE);
}

LRESULT CPrintPreviewFrame::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_SIZE: Relayout(); return 0;
    case WM_HSCROLL: return OnScroll(SB_HORZ, LOWORD(wParam));
    case WM_VSCROLL: return OnScroll(SB_VERT, LOWORD(wParam));
    case WM_KEYDOWN: return OnKeyDown(wParam);
    case WM_LBUTTONDOWN: ::SetFocus(m_hWnd); return 0;
    case WM_GETDLGCODE: return DLGC_WANTARROWS;
    default: return CWnd::WindowProc(msg, wParam, lParam);
    }
}

LRESULT CPrintPreviewFrame::OnScroll(int bar, int code) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, bar, &si);
    int pos = si.nPos;
    int page = static_cast<int>(si.nPage);
    switch (code) {
    case SB_LINEUP: pos -= kLine; break;
    case SB_LINEDOWN: pos += kLine; break;
    case SB_PAGEUP: pos -= page; break;
    case SB_PAGEDOWN: pos += page; break;
    case SB_TOP: pos = si.nMin; break;
    case SB_BOTTOM: pos = si.nMax; break;
    case SB_THUMBTRACK:
    case SB_THUMBPOSITION: pos = si.nTrackPos; break;
    default: return 0;
    }
    ScrollTo(bar, pos);
    return 0;
}

void CPrintPreviewFrame::ScrollTo(int bar, int pos) {
    SCROLLINFO si{};
    si.cbSize = sizeof si;
    si.fMask = SIF_ALL;
    ::GetScrollInfo(m_hWnd, bar, &si);
    int last = std::max(si.nMin, si.nMax - static_cast<int>(si.nPage) + 1);
    pos = std::clamp(pos, si.nMin, last);
    ::SetScrollPos(m_hWnd, bar, pos, TRUE);
    CRect client = GetClientRect();
    int x = preview::PageOrigin(client.Width(), m_scaled.cx, ::GetScrollPos(m_hWnd, SB_HORZ));
    int y = preview::PageOrigin(client.Height(), m_scaled.cy, ::GetScrollPos(m_hWnd, SB_VERT));
    if (m_page.m_hWnd) m_page.SetWindowPos(nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

LRESULT CPrintPreviewFrame::OnKeyDown(WPARAM key) {
    switch (key) {
    case VK_PRIOR: return OnScroll(SB_VERT, SB_PAGEUP);
    case VK_NEXT: return OnScroll(SB_VERT, SB_PAGEDOWN);
    case VK_HOME: return OnScroll(SB_VERT, SB_TOP);
    case VK_END: return OnScroll(SB_VERT, SB_BOTTOM);
    case VK_UP: return OnScroll(SB_VERT, SB_LINEUP);
    case VK_DOWN: return OnScroll(SB_VERT, SB_LINEDOWN);
    case VK_LEFT: return OnScroll(SB_HORZ, SB_LINEUP);
    case VK_RIGHT: return OnScroll(SB_HORZ, SB_LINEDOWN);
    default: return 0;
    }
}

bool CPrintPreviewPage::Create(HWND frame) {
    return CreateEx(0, "PrintPreviewPage", "", WS_CHILD | WS_VISIBLE, CRect(0, 0, 0, 0), frame, 1);
}

CRect CPrintPreviewPage::PrintableRect() const {
    CRect client = GetClientRect();
    CRect page(client.left + 1, client.top + 1, client.right - 4, client.bottom - 4);
    int w = page.Width(), h = page.Height();
    return CRect(page.left + preview::MarginFromRatio(w, m_paper.left),
                 page.top + preview::MarginFromRatio(h, m_paper.top),
                 page.right - preview::MarginFromRatio(w, m_paper.right),
                 page.bottom - preview::MarginFromRatio(h, m_paper.bottom));
}

LRESULT CPrintPreviewPage::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_PAINT: return OnPaint();
    case WM_ERASEBKGND: return 1;
    case WM_LBUTTONDOWN: OnClick(1); return 0;
    case WM_RBUTTONDOWN: OnClick(-1); return 0;
    default: return CWnd::WindowProc(msg, wParam, lParam);
    }
}

void CPrintPreviewPage::OnClick(int steps) {
    HWND frame = ::GetParent(m_hWnd);
    ::SetFocus(frame);
    ::PostMessageA(::GetParent(frame), WM_PREVIEW_ZOOM, 0, steps);
}

LRESULT CPrintPreviewPage::OnPaint() {
    // The update region must be read before painting validates it.
    HRGN update = ::CreateRectRgn(0, 0, 0, 0);
    ::GetUpdateRgn(m_hWnd, update, FALSE);
    std::vector<RECT> pieces;
    DWORD size = ::GetRegionData(update, 0, nullptr);
    if (size) {
        std::vector<char> data(size);
        auto* rgn = reinterpret_cast<RGNDATA*>(data.data());
        if (::GetRegionData(update, size, rgn)) {
            const RECT* r = reinterpret_cast<const RECT*>(rgn->Buffer);
            pieces.assign(r, r + rgn->rdh.nCount);
        }
    }
    ::DeleteObject(update);

    CPaintDC dc(m_hWnd);
    CRect client = GetClientRect();
    CRect page(client.left + 1, client.top + 1, client.right - 4, client.bottom - 4);
    CDC& out = dc;
    out.FillSolidRect(client, RGB(255, 255, 255));
    ::FrameRect(dc, &page, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
    out.FillSolidRect(CRect(page.right, page.top + 3, page.right + 3, page.bottom + 3), kShadow);
    out.FillSolidRect(CRect(page.left + 3, page.bottom, page.right + 3, page.bottom + 3), kShadow);
    COLORREF workspace = ::GetSysColor(COLOR_APPWORKSPACE);
    out.FillSolidRect(CRect(page.right, client.top, client.right, page.top + 3), workspace);
    out.FillSolidRect(CRect(client.left, page.bottom, page.left + 3, client.bottom), workspace);

    CRect printable = PrintableRect();
    if (printable.IsRectEmpty()) return 0;
    for (const RECT& piece : pieces) {
        CRect part;
        if (::IntersectRect(&part, &piece, &printable)) PaintPiece(dc, part, printable);
    }
    return 0;
}

void CPrintPreviewPage::PaintPiece(HDC paintDC, const RECT& piece, const CRect& printable) {
    CSaveDC saved(paintDC);
    ::IntersectClipRect(paintDC, piece.left, piece.top, piece.right, piece.bottom);
    CDC target(paintDC);
    CMemDC mem(&target);
    mem.FillSolidRect(piece, RGB(255, 255, 255));
    m_info.m_rectDraw = printable;
    m_info.m_bPreview = true;
    if (m_pPainter) m_pPainter(kPageDraw, &mem, &m_info, m_pUser);
}
