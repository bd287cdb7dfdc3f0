#include "tools/ImageViewer.h"

#include "app/ProtocolLog.h"
#include "framework/App.h"
#include "framework/DibSection.h"
#include "framework/Gdi.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgJPEGEncoder.h"
#include "resources/ToolsIds.h"
#include "tools/FileDropTarget.h"
#include "tools/ImageViewerLogic.h"

#include <windowsx.h>

#include <algorithm>

static_assert(SB_LINEUP == vorlan::kScrollLineUp && SB_BOTTOM == vorlan::kScrollBottom &&
                  SB_THUMBTRACK == vorlan::kScrollThumbTrack,
              "the scroll codes are the system's");

namespace {

void FillWindowColour(HDC dc, const RECT& rect) {
    if (rect.right > rect.left && rect.bottom > rect.top)
        ::FillRect(dc, &rect, ::GetSysColorBrush(COLOR_WINDOW));
}

// The four strips of outer around inner.
void FillMargins(HDC dc, const RECT& outer, const RECT& inner) {
    FillWindowColour(dc, RECT{outer.left, outer.top, outer.right, inner.top});
    FillWindowColour(dc, RECT{outer.left, inner.bottom, outer.right, outer.bottom});
    FillWindowColour(dc, RECT{outer.left, inner.top, inner.left, inner.bottom});
    FillWindowColour(dc, RECT{inner.right, inner.top, outer.right, inner.bottom});
}

HCURSOR ViewerCursor(UINT id, LPCSTR standard) {
    HCURSOR cursor = ::LoadCursorA(AfxGetResourceHandle(), MAKEINTRESOURCEA(id));
    return cursor ? cursor : ::LoadCursorA(nullptr, standard);
}

bool FileExists(const char* path) {
    DWORD attributes = ::GetFileAttributesA(path);
    return attributes != INVALID_FILE_ATTRIBUTES && !(attributes & FILE_ATTRIBUTE_DIRECTORY);
}

} // namespace

CImageViewer::CImageViewer() = default;

CImageViewer::~CImageViewer() {
    if (m_hScreenCopy) ::DeleteObject(m_hScreenCopy);
}

bool CImageViewer::Create(const RECT& rect, DWORD style, DWORD exStyle, HWND parent, UINT id) {
    return CreateEx(exStyle, fw::DefaultWindowClass(), "ImageViewer", style, rect, parent, id);
}

LRESULT CImageViewer::WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) {
    switch (msg) {
    case WM_CREATE: return OnCreate();
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: OnPaint(); return 0;
    case WM_PRINTCLIENT: Paint(reinterpret_cast<HDC>(wParam)); return 0;
    case WM_SIZE: OnSize(); return 0;
    case WM_HSCROLL: OnScroll(SB_HORZ, LOWORD(wParam)); return 0;
    case WM_VSCROLL: OnScroll(SB_VERT, LOWORD(wParam)); return 0;
    case WM_LBUTTONDOWN: OnLButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_MOUSEMOVE: OnMouseMove(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_LBUTTONUP: OnLButtonUp(); return 0;
    case WM_RBUTTONDOWN: OnRButtonDown(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)); return 0;
    case WM_SETCURSOR:
        if (OnSetCursor(lParam)) return TRUE;
        break;
    case WM_CAPTURECHANGED: m_bDragging = false; return 0;
    default: break;
    }
    return CWnd::WindowProc(msg, wParam, lParam);
}

LRESULT CImageViewer::OnCreate() {
    m_bFit = false;
    m_bStretch = false;
    m_dZoom = 1.0;
    m_hStretch = ViewerCursor(IDC_VIEWER_STRETCH, reinterpret_cast<LPCSTR>(IDC_CROSS));
    m_hPan = ViewerCursor(IDC_VIEWER_PAN, reinterpret_cast<LPCSTR>(IDC_SIZEALL));
    m_hDragging = ViewerCursor(IDC_VIEWER_DRAGGING, reinterpret_cast<LPCSTR>(IDC_SIZEALL));
    SetScrollBarsShown(true);
    return 0;
}

int CImageViewer::LoadImage(const char* path, bool noRedraw) {
    vorlan::TraceFunction("CImageViewer::LoadImage");
    if (!path || !*path) {
        if (!noRedraw && m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
        return 0;
    }
    try {
        ImgAnyDecoder decoder;
        decoder.DecodeFile(path, &m_picture, 0);
        int width = m_picture.GetWidth(), height = m_picture.GetHeight();
        if (width <= 0 || height <= 0)
            throw ImgTextException(2, "Bild ohne Fl\xe4"
                                      "che");
        HBITMAP copy;
        {
            CClientDC screen(nullptr);
            copy = ::CreateCompatibleBitmap(screen, width, height);
        }
        if (!copy) throw ImgTextException(1, "Kein Speicher f\xfcr das Bild");
        {
            CMemoryDC memory;
            CSelectedObject selected(memory, copy);
            m_picture.Draw(memory, 0, 0, SRCCOPY);
        }
        if (m_hScreenCopy) ::DeleteObject(m_hScreenCopy);
        m_hScreenCopy = copy;
        m_nType = decoder.GetDetectedType();
        m_nWidth = width;
        m_nHeight = height;
    } catch (const ImgTextException&) {
        m_nType = -1;
        return 0;
    }
    if (!noRedraw && m_hWnd) {
        UpdateScrollBars();
        ::InvalidateRect(m_hWnd, nullptr, TRUE);
    }
    return 1;
}

int CImageViewer::LoadThumbnail(const char* cacheFolder, const char* pictureFolder, const char* fileName,
                                HDC dc, const RECT& rect, bool* writeFailed) {
    vorlan::TraceFunction("CImageViewer::LoadThumbnail");
    std::string thumbnail;
    if (cacheFolder && *cacheFolder) {
        thumbnail = vorlan::ThumbnailPath(cacheFolder, fileName ? fileName : "", rect.right, rect.bottom);
        if (thumbnail.empty()) return 0; // too long a path: refused, not cut
        // A thumbnail is used whatever its age; one that cannot be decoded is made again.
        if (FileExists(thumbnail.c_str()) && LoadImage(thumbnail.c_str(), true)) {
            DrawFitted(dc, rect);
            ::DrawEdge(dc, const_cast<RECT*>(&rect), EDGE_SUNKEN, BF_RECT);
            return 1;
        }
    }
    std::string picture = vorlan::PicturePath(pictureFolder ? pictureFolder : "", fileName ? fileName : "");
    if (picture.empty() || !LoadImage(picture.c_str(), true)) return 0;
    if (thumbnail.empty())
        DrawFitted(dc, rect);
    else
        WriteThumbnail(dc, rect, vorlan::ThumbnailFolder(cacheFolder), thumbnail, writeFailed);
    ::DrawEdge(dc, const_cast<RECT*>(&rect), EDGE_SUNKEN, BF_RECT);
    return 1;
}

bool CImageViewer::WriteThumbnail(HDC dc, const RECT& rect, const std::string& folder,
                                  const std::string& thumbnail, bool* writeFailed) {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    // In true colour whatever the display's depth: the JPEG writer takes nothing else.
    CDibSection drawn;
    if (!drawn.Create32(std::max(1, width), std::max(1, height))) {
        DrawFitted(dc, rect);
        return false;
    }
    {
        CBitmapDC memory(dc, drawn);
        RECT local{0, 0, width, height};
        DrawFitted(memory, local);
        ::BitBlt(dc, rect.left, rect.top, width, height, memory, 0, 0, SRCCOPY);
    }
    try {
        ImgWinBitmap small;
        small.CreateFromHBitmap(drawn);
        CFileDropTarget::MakeDirectory(folder.c_str());
        DWORD attributes = ::GetFileAttributesA(folder.c_str());
        if (attributes != INVALID_FILE_ATTRIBUTES)
            ::SetFileAttributesA(folder.c_str(), attributes | FILE_ATTRIBUTE_HIDDEN);
        ImgJPEGEncoder encoder;
        encoder.EncodeFile(thumbnail.c_str(), &small);
        return true;
    } catch (const ImgTextException&) {
        if (writeFailed)
            *writeFailed = true;
        else
            AfxMessageBox("Bild konnte nicht angezeigt werden! 3", MB_OK | MB_ICONEXCLAMATION);
        return false;
    }
}

void CImageViewer::DrawFitted(HDC dc, const RECT& rect, HDC copyTo) const {
    int width = rect.right - rect.left, height = rect.bottom - rect.top;
    vorlan::ViewerRect fitted;
    if (!m_hScreenCopy || !vorlan::FitPicture(width, height, m_nWidth, m_nHeight, fitted)) {
        FillWindowColour(dc, rect);
        if (copyTo) FillWindowColour(copyTo, rect);
        return;
    }
    RECT picture{rect.left + fitted.left, rect.top + fitted.top, rect.left + fitted.left + fitted.width,
                 rect.top + fitted.top + fitted.height};
    FillMargins(dc, rect, picture);
    CMemoryDC memory(dc);
    CSelectedObject selected(memory, m_hScreenCopy);
    int oldMode = ::SetStretchBltMode(dc, HALFTONE);
    POINT oldOrigin;
    ::SetBrushOrgEx(dc, 0, 0, &oldOrigin);
    ::StretchBlt(dc, picture.left, picture.top, fitted.width, fitted.height, memory, 0, 0, m_nWidth,
                 m_nHeight, SRCCOPY);
    ::SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
    ::SetStretchBltMode(dc, oldMode);
    if (copyTo) ::BitBlt(copyTo, rect.left, rect.top, width, height, dc, rect.left, rect.top, SRCCOPY);
}

void CImageViewer::DrawScrolled(HDC dc, const RECT& client) const {
    if (!m_hScreenCopy) {
        FillWindowColour(dc, client);
        return;
    }
    double zoom = m_bStretch ? m_dZoom : 1.0;
    int extentX = vorlan::ZoomedExtent(m_nWidth, zoom), extentY = vorlan::ZoomedExtent(m_nHeight, zoom);
    int clientX = client.right, clientY = client.bottom;
    // A picture smaller than the window is centred; a larger one starts at the scroll position.
    int left = extentX < clientX ? (clientX - extentX) / 2 : 0;
    int top = extentY < clientY ? (clientY - extentY) / 2 : 0;
    int scrollX = extentX < clientX ? 0 : ::GetScrollPos(m_hWnd, SB_HORZ);
    int scrollY = extentY < clientY ? 0 : ::GetScrollPos(m_hWnd, SB_VERT);
    int shownX = std::min(extentX, clientX), shownY = std::min(extentY, clientY);
    RECT picture{left, top, left + shownX, top + shownY};
    FillMargins(dc, client, picture);
    CMemoryDC memory(dc);
    CSelectedObject selected(memory, m_hScreenCopy);
    if (m_bStretch) {
        int oldMode = ::SetStretchBltMode(dc, HALFTONE);
        POINT oldOrigin;
        ::SetBrushOrgEx(dc, 0, 0, &oldOrigin);
        ::StretchBlt(dc, left, top, shownX, shownY, memory, static_cast<int>(scrollX / zoom),
                     static_cast<int>(scrollY / zoom), std::max(1, static_cast<int>(shownX / zoom)),
                     std::max(1, static_cast<int>(shownY / zoom)), SRCCOPY);
        ::SetBrushOrgEx(dc, oldOrigin.x, oldOrigin.y, nullptr);
        ::SetStretchBltMode(dc, oldMode);
    } else {
        ::BitBlt(dc, left, top, shownX, shownY, memory, scrollX, scrollY, SRCCOPY);
    }
}

void CImageViewer::OnPaint() {
    CPaintDC dc(m_hWnd);
    Paint(dc);
}

void CImageViewer::Paint(HDC dc) const {
    RECT client;
    ::GetClientRect(m_hWnd, &client);
    if (m_bFit)
        DrawFitted(dc, client);
    else
        DrawScrolled(dc, client);
}

SIZE CImageViewer::ClientSize() const {
    RECT client{};
    if (m_hWnd) ::GetClientRect(m_hWnd, &client);
    return SIZE{client.right, client.bottom};
}

void CImageViewer::SetScrollBarsShown(bool shown) {
    if (!m_hWnd) return;
    LONG_PTR style = ::GetWindowLongPtrA(m_hWnd, GWL_STYLE);
    LONG_PTR wanted = shown ? (style | WS_HSCROLL | WS_VSCROLL) : (style & ~(WS_HSCROLL | WS_VSCROLL));
    if (!shown) ::ShowScrollBar(m_hWnd, SB_BOTH, FALSE);
    if (wanted == style) return;
    ::SetWindowLongPtrA(m_hWnd, GWL_STYLE, wanted);
    ::SetWindowPos(m_hWnd, nullptr, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE | SWP_FRAMECHANGED);
}

void CImageViewer::UpdateScrollBars() {
    if (!m_hWnd || m_bFit) return;
    SIZE client = ClientSize();
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_RANGE | SIF_PAGE;
    info.nMax = vorlan::ZoomedExtent(m_nWidth, m_dZoom);
    info.nPage = static_cast<UINT>(std::max<LONG>(0, client.cx));
    ::SetScrollInfo(m_hWnd, SB_HORZ, &info, TRUE);
    info.nMax = vorlan::ZoomedExtent(m_nHeight, m_dZoom);
    info.nPage = static_cast<UINT>(std::max<LONG>(0, client.cy));
    ::SetScrollInfo(m_hWnd, SB_VERT, &info, TRUE);
}

void CImageViewer::OnSize() {
    UpdateScrollBars();
    ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CImageViewer::OnScroll(int bar, int code) {
    SCROLLINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SIF_POS | SIF_TRACKPOS;
    ::GetScrollInfo(m_hWnd, bar, &info);
    SIZE client = ClientSize();
    bool horizontal = bar == SB_HORZ;
    int position = vorlan::ScrollPosition(code, info.nPos, info.nTrackPos, horizontal ? client.cx : client.cy,
                                          horizontal ? m_nWidth : m_nHeight, m_dZoom);
    ::SetScrollPos(m_hWnd, bar, position, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
}

bool CImageViewer::CanPan() const {
    if (m_bFit || !m_hScreenCopy) return false;
    SIZE client = ClientSize();
    return vorlan::ZoomedExtent(m_nWidth, m_dZoom) >= client.cx ||
           vorlan::ZoomedExtent(m_nHeight, m_dZoom) >= client.cy;
}

void CImageViewer::ShowCursor() const {
    if (m_bDragging)
        ::SetCursor(m_hDragging);
    else if (m_bStretch)
        ::SetCursor(m_hStretch);
    else
        ::SetCursor(m_hPan);
}

bool CImageViewer::OnSetCursor(LPARAM lParam) {
    if (LOWORD(lParam) != HTCLIENT || !(CanPan() || m_bStretch)) return false;
    ShowCursor();
    return true;
}

void CImageViewer::OnLButtonDown(int x, int y) {
    if (m_bStretch) {
        ZoomAt(2.0, x, y);
        return;
    }
    if (!CanPan()) return;
    m_bDragging = true;
    ::SetCapture(m_hWnd);
    m_anchor = POINT{x + ::GetScrollPos(m_hWnd, SB_HORZ), y + ::GetScrollPos(m_hWnd, SB_VERT)};
    ShowCursor();
}

void CImageViewer::OnMouseMove(int x, int y) {
    if (!m_bDragging) return;
    ::SetScrollPos(m_hWnd, SB_HORZ, m_anchor.x - x, TRUE);
    ::SetScrollPos(m_hWnd, SB_VERT, m_anchor.y - y, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ShowCursor();
}

void CImageViewer::OnLButtonUp() {
    if (::GetCapture() != m_hWnd) return;
    m_bDragging = false;
    ::ReleaseCapture();
    if (CanPan() || m_bStretch) ShowCursor();
}

void CImageViewer::OnRButtonDown(int x, int y) {
    if (m_bStretch) ZoomAt(0.5, x, y);
}

void CImageViewer::ZoomAt(double factor, int x, int y) {
    SIZE client = ClientSize();
    double zoom = vorlan::ClampZoom(m_dZoom * factor);
    int scrollX =
        vorlan::ZoomScrollPosition(::GetScrollPos(m_hWnd, SB_HORZ), x, client.cx, m_nWidth, m_dZoom, zoom);
    int scrollY =
        vorlan::ZoomScrollPosition(::GetScrollPos(m_hWnd, SB_VERT), y, client.cy, m_nHeight, m_dZoom, zoom);
    m_dZoom = zoom;
    UpdateScrollBars();
    ::SetScrollPos(m_hWnd, SB_HORZ, scrollX, TRUE);
    ::SetScrollPos(m_hWnd, SB_VERT, scrollY, TRUE);
    ::InvalidateRect(m_hWnd, nullptr, FALSE);
    ShowCursor();
}

void CImageViewer::SetFitToWindow(bool on) {
    m_bFit = on;
    if (on) {
        m_dZoom = 1.0;
        m_bStretch = false;
    }
    SetScrollBarsShown(!on);
    UpdateScrollBars();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}

void CImageViewer::SetStretch(bool on) {
    m_bStretch = on;
    m_dZoom = 1.0;
    if (on && m_bFit) {
        m_bFit = false;
        SetScrollBarsShown(true);
    }
    UpdateScrollBars();
    if (m_hWnd) ::InvalidateRect(m_hWnd, nullptr, TRUE);
}
