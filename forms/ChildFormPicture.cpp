// The picture field ("VORLAN Zoomable Bitmap") with its loader thread and zoom, and the
// static picture ("VORLAN Bitmap").
#include "forms/ChildForm.h"

#include "app/ProtocolLog.h"
#include "controls/AviSurface.h"
#include "forms/ChildFormPicture.h"
#include "forms/FormGeometry.h"
#include "framework/App.h"
#include "tools/FileDialogPreview.h"
#include "framework/Menu.h"
#include "framework/PathParts.h"
#include "framework/Thread.h"
#include "framework/Wnd.h"
#include "imaging/ImgAnyDecoder.h"
#include "imaging/ImgWinBitmap.h"
#include "resources/FormIds.h"
#include "tools/DataExplorer.h"
#include "tools/Explorer.h"
#include "tools/FileDropTarget.h"

#include <new>
#include <string>

using vorlan::PictureData;
using vorlan::PictureFieldData;
using vorlan::PictureLoadRequest;

namespace {

constexpr int kCaptionInset = 4;
constexpr int kCaptionLength = 259;

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    ::GetObjectA(bitmap, sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

// A picture's companion video plays on a video surface over the field, which takes the
// frame's size. A video that does not open leaves the picture as it was.
bool StartVideo(HWND picture, PictureFieldData* data) {
    auto* surface = new CAviSurface;
    if (!surface->OpenFile(data->videoPath, picture, 1, 24)) {
        delete surface;
        return false;
    }
    data->video = surface;
    int width = 0, height = 0;
    surface->GetFrameSize(width, height);
    CChildForm::ZoomWindow(picture, SIZE{width, height});
    surface->Play();
    return true;
}

void EndVideo(PictureFieldData* data) {
    delete data->video;
    data->video = nullptr;
}

// Forgets the pending load and waits for its thread. A picture it still hands over arrives
// for a request that is no longer wanted and is deleted.
void CancelLoad(PictureFieldData* d) {
    PictureLoadRequest* request = d->request;
    HANDLE thread = d->thread;
    d->request = nullptr;
    d->thread = nullptr;
    if (request) ::InterlockedExchange(&request->cancel, 1);
    if (thread) {
        fw::WaitServingSentMessages(thread);
        ::CloseHandle(thread);
    }
}

void StartLoad(HWND picture, PictureFieldData* d, const char* path) {
    auto* request = new PictureLoadRequest{path, picture, 0};
    d->request = request; // before the thread starts: its picture may arrive at once
    d->thread = fw::StartWorkerThread(&CChildForm::LoadBitmapThr, request);
    if (d->thread) return;
    d->request = nullptr;
    delete request;
    d->loading = false;
    ::InvalidateRect(picture, nullptr, TRUE);
}

LRESULT OnSetText(HWND picture, PictureFieldData* d, const char* path) {
    if (d) {
        CancelLoad(d);
        if (path) {
            CString video = CString(path) + ".avi";
            d->videoPath = CChildForm::LoadBitmap(video, nullptr, nullptr) ? video : CString();
            bool there = CChildForm::LoadBitmap(path, nullptr, nullptr) != nullptr;
            if (there)
                d->loading = true;
            else
                ::SendMessageA(picture, WM_SETICON, 0, 0);
            ::ShowWindow(picture, SW_SHOWNA);
            ::InvalidateRect(picture, nullptr, TRUE);
            if (there) StartLoad(picture, d, path);
        }
    }
    return ::DefWindowProcA(picture, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(path));
}

// lParam non-zero: the loader's request. Takes the bitmap in every case (shows or deletes it).
LRESULT OnSetIcon(HWND picture, PictureFieldData* d, HBITMAP bitmap, const PictureLoadRequest* from) {
    if (!d || (from && from != d->request)) {
        if (bitmap) ::DeleteObject(bitmap);
        return 1;
    }
    d->request = nullptr;
    if (d->bitmap && d->bitmap != bitmap) ::DeleteObject(d->bitmap);
    if (!bitmap) EndVideo(d);
    d->bitmap = bitmap;
    d->loading = false;
    ::ShowWindow(picture, bitmap ? SW_SHOWNA : SW_HIDE);
    ::InvalidateRect(picture, nullptr, TRUE);
    return 1;
}

void PaintText(HDC dc, RECT client, const char* text, int colour, UINT format) {
    ::SetBkMode(dc, TRANSPARENT);
    ::SetTextColor(dc, ::GetSysColor(colour));
    ::DrawTextA(dc, text, -1, &client, format | DT_NOPREFIX);
}

void PaintPicture(HWND picture, HDC dc, PictureFieldData* d) {
    if (!d) return;
    RECT client;
    ::GetClientRect(picture, &client);
    CSelectedObject font(dc, d->font);
    if (d->bitmap && d->videoPath.IsEmpty()) {
        SIZE size = BitmapSize(d->bitmap);
        vorlan::PixelRect fit = vorlan::FitPicture({size.cx, size.cy}, {client.right, client.bottom});
        CMemoryDC memory(dc);
        CSelectedObject select(memory, d->bitmap);
        fw::StretchHalftone(dc, RECT{fit.left, fit.top, fit.right, fit.bottom}, memory, size.cx, size.cy);
        if (d->zoomed) {
            char caption[kCaptionLength + 1] = {};
            int length = ::GetWindowTextA(picture, caption, sizeof caption);
            TEXTMETRICA tm{};
            ::GetTextMetricsA(dc, &tm);
            ::SetBkMode(dc, TRANSPARENT);
            ::SetTextColor(dc, ::GetSysColor(COLOR_BTNFACE));
            ::TextOutA(dc, fit.left + kCaptionInset, fit.bottom - kCaptionInset - tm.tmHeight, caption,
                       length);
        }
    } else if (d->loading) {
        CString text;
        text.LoadString(IDS_PICTURE_LOADING);
        PaintText(dc, client, text, COLOR_GRAYTEXT, DT_WORDBREAK);
    } else if (d->videoPath.IsEmpty()) {
        ::FillRect(dc, &client, ::GetSysColorBrush(COLOR_WINDOW));
    } else {
        PaintText(dc, client, d->videoStarting ? "Video wird gestartet..." : "Hier klicken für Video.",
                  COLOR_3DDKSHADOW, DT_CENTER | DT_VCENTER | DT_SINGLELINE);
    }
}

void OnButtonDown(HWND picture, PictureFieldData* d) {
    if (!d || !d->bitmap || !d->videoPath.IsEmpty() || d->loading || d->zoomed) return;
    CChildForm::ZoomWindow(picture, BitmapSize(d->bitmap));
    ::SetCapture(picture);
}

void OnButtonUp(HWND picture, PictureFieldData* d) {
    if (::GetCapture() == picture) {
        ::ReleaseCapture();
        if (d) EndVideo(d);
        CChildForm::RestoreWindow(picture);
        return;
    }
    if (!d || d->videoPath.IsEmpty()) return;
    CWaitCursor wait;
    ::SetCapture(picture);
    d->videoStarting = true;
    ::InvalidateRect(picture, nullptr, TRUE);
    ::UpdateWindow(picture);
    bool playing = StartVideo(picture, d);
    d->videoStarting = false;
    // Nothing plays: the next click must not try to restore a window that never zoomed.
    if (!playing) ::ReleaseCapture();
    ::InvalidateRect(picture, nullptr, TRUE);
}

void ReplacePicture(HWND picture) {
    vorlan::TraceFunction("CChildForm::WndProcBitmap - replace picture");
    std::string current = fw::WindowText(picture);
    CString filter;
    filter.LoadString(IDS_PICTURE_FILTER);
    CFileDialogPreview dialog(true, nullptr, current.c_str(),
                              OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR, filter, picture);
    if (dialog.DoModal() != IDOK) return;
    std::string folder = fw::FolderOf(current);
    if (!folder.empty()) CFileDropTarget::MakeDirectory(folder.c_str());
    if (!::CopyFileA(dialog.GetPathName(), current.c_str(), FALSE)) {
        AfxMessageBox("Die Datei konnte nicht in den Bilderordner kopiert werden!",
                      MB_OK | MB_ICONEXCLAMATION);
        return;
    }
    ::SetWindowTextA(picture, current.c_str()); // loads it anew
}

bool TwainAvailable() {
    HMODULE twain = ::LoadLibraryA("TWAIN_32.DLL");
    if (!twain) return false;
    ::FreeLibrary(twain);
    return true;
}

CExplorer* ScannerOf(HWND window) {
    return window && ::IsWindow(window) ? dynamic_cast<CExplorer*>(CWnd::FromHandlePermanent(window))
                                        : nullptr;
}

// The page goes where the field's text points; the field then shows it.
void ScanPicture(HWND picture, PictureFieldData* d) {
    vorlan::TraceFunction("CChildForm::WndProcBitmap - scan");
    CWinApp* app = AfxGetApp();
    HWND main = app && app->m_pMainWnd ? app->m_pMainWnd->m_hWnd : nullptr;
    if (!d || !main) return;
    CExplorer* scanner = ScannerOf(d->scanner);
    if (!scanner) {
        if (!RegisterExplorerArea()) return;
        scanner = new CExplorer(picture);
        if (!scanner->Create(main, CRect(0, 0, 0, 0), 1, 0)) return; // the window took the object
        d->scanner = scanner->m_hWnd;
    }
    if (!scanner->InitTwain(main)) return;
    scanner->SelectSource();
    scanner->Acquire(1);
}

void ShowPictureMenu(HWND picture, LPARAM at) {
    CMenu menu;
    if (!menu.LoadMenu(IDR_PICTURE_MENU)) return;
    HMENU popup = ::GetSubMenu(menu, 0);
    if (!TwainAvailable()) ::EnableMenuItem(popup, ID_PICTURE_SCAN, MF_BYCOMMAND | MF_GRAYED);
    POINT p{static_cast<short>(LOWORD(at)), static_cast<short>(HIWORD(at))};
    if (at == -1) ::GetCursorPos(&p); // from the keyboard
    ::TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON, p.x, p.y, 0, picture, nullptr);
}

void OnDestroy(HWND picture, PictureFieldData* d) {
    if (d && ScannerOf(d->scanner)) ::DestroyWindow(d->scanner);
    ::SendMessageA(picture, WM_SETTEXT, 0, 0);
    ::SendMessageA(picture, WM_SETICON, 0, 0);
    ::SetWindowLongPtrA(picture, GWLP_USERDATA, 0);
    delete d;
}

// ---- static picture

struct StaticPicture {
    HBITMAP bitmap;
    HPALETTE palette;
};

StaticPicture* StaticData(HWND window) {
    return reinterpret_cast<StaticPicture*>(::GetWindowLongPtrA(window, GWLP_USERDATA));
}

LRESULT OnStaticCreate(HWND window, const CREATESTRUCTA* cs) {
    auto bitmap = static_cast<HBITMAP>(cs->lpCreateParams);
    auto* data = new StaticPicture{bitmap, fw::CreatePaletteFromDIB(bitmap)};
    ::SetWindowLongPtrA(window, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
    SIZE size = BitmapSize(bitmap);
    RECT r{0, 0, size.cx, size.cy};
    ::AdjustWindowRectEx(&r, static_cast<DWORD>(cs->style), FALSE, cs->dwExStyle);
    ::SetWindowPos(window, nullptr, 0, 0, r.right - r.left, r.bottom - r.top,
                   SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    return 0;
}

void PaintStatic(HWND window, const StaticPicture* data) {
    CPaintDC dc(window);
    if (!data || !data->bitmap) return;
    CSelectPalette palette(dc, data->palette);
    ::RealizePalette(dc);
    SIZE size = BitmapSize(data->bitmap);
    CMemoryDC memory(dc);
    CSelectedObject select(memory, data->bitmap);
    ::BitBlt(dc, 0, 0, size.cx, size.cy, memory, 0, 0, SRCCOPY);
}

UINT RealizeStatic(HWND window, const StaticPicture* data) {
    if (!data || !data->palette) return 0;
    UINT changed;
    {
        CClientDC dc(window);
        CSelectPalette palette(dc, data->palette);
        changed = ::RealizePalette(dc);
    }
    if (changed) ::InvalidateRect(window, nullptr, FALSE);
    return changed;
}

} // namespace

HBITMAP CChildForm::LoadBitmap(const char* path, HWND window, const volatile LONG* cancel) {
    if (cancel && *cancel) return nullptr;
    HANDLE file = ::CreateFileA(path ? path : "", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return nullptr;
    ::CloseHandle(file);
    if (!window) return reinterpret_cast<HBITMAP>(1);
    ImgWinBitmap image;
    try {
        ImgAnyDecoder().DecodeFile(path, &image);
    } catch (const ImgTextException&) {
        return nullptr;
    }
    CClientDC dc(window);
    return CompatibleBitmapOf(image, dc, nullptr);
}

DWORD WINAPI CChildForm::LoadBitmapThr(void* param) {
    auto* request = static_cast<PictureLoadRequest*>(param);
    HBITMAP bitmap = LoadBitmap(request->path, request->window, &request->cancel);
    // Sent, not posted: the window takes the bitmap (shows or deletes it) before we go on,
    // and its waiter serves the message while it waits for us.
    if (request->cancel || !::SendMessageA(request->window, WM_SETICON, reinterpret_cast<WPARAM>(bitmap),
                                           reinterpret_cast<LPARAM>(request))) {
        if (bitmap) ::DeleteObject(bitmap);
    }
    delete request;
    return 0;
}

void CChildForm::StopPictureLoads() {
    char name[64];
    for (HWND child = ::GetWindow(m_hWnd, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (!::GetClassNameA(child, name, sizeof name) || lstrcmpiA(name, kPictureClass) != 0) continue;
        PictureFieldData* d = PictureData(child);
        if (!d || !d->thread) continue;
        CancelLoad(d);
        if (!d->loading) continue;
        d->loading = false;
        ::DefWindowProcA(child, WM_SETTEXT, 0, reinterpret_cast<LPARAM>(""));
        ::InvalidateRect(child, nullptr, TRUE);
    }
}

void CChildForm::ZoomWindow(HWND picture, SIZE size) {
    PictureFieldData* d = PictureData(picture);
    if (!d) return;
    ::GetWindowRect(picture, &d->rectBeforeZoom);
    d->parentBeforeZoom = ::GetParent(picture);
    ::ShowWindow(picture, SW_HIDE);
    ::SetParent(picture, ::GetDesktopWindow());
    RECT frame{0, 0, size.cx, size.cy};
    ::AdjustWindowRectEx(&frame, static_cast<DWORD>(::GetWindowLongA(picture, GWL_STYLE)), FALSE,
                         static_cast<DWORD>(::GetWindowLongA(picture, GWL_EXSTYLE)));
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    ::GetMonitorInfoA(::MonitorFromRect(&d->rectBeforeZoom, MONITOR_DEFAULTTONEAREST), &monitor);
    const RECT& m = monitor.rcMonitor;
    vorlan::PixelRect r = vorlan::PlaceZoomed(d->rectBeforeZoom.left, d->rectBeforeZoom.top,
                                              {frame.right - frame.left, frame.bottom - frame.top},
                                              {m.left, m.top, m.right, m.bottom});
    ::SetWindowPos(picture, HWND_TOP, r.left, r.top, r.Width(), r.Height(), SWP_SHOWWINDOW | SWP_NOACTIVATE);
    d->zoomed = true;
}

void CChildForm::RestoreWindow(HWND picture) {
    PictureFieldData* d = PictureData(picture);
    if (!d || !d->zoomed) return;
    d->zoomed = false;
    ::ShowWindow(picture, SW_HIDE);
    ::SetParent(picture, d->parentBeforeZoom);
    RECT r = d->rectBeforeZoom;
    ::MapWindowPoints(nullptr, d->parentBeforeZoom, reinterpret_cast<POINT*>(&r), 2);
    ::SetWindowPos(picture, nullptr, r.left, r.top, r.right - r.left, r.bottom - r.top,
                   SWP_NOZORDER | SWP_NOACTIVATE | SWP_SHOWWINDOW);
}

LRESULT CALLBACK CChildForm::WndProcBitmap(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    PictureFieldData* d = PictureData(hwnd);
    switch (msg) {
    case WM_CREATE: {
        auto* data = new (std::nothrow) PictureFieldData;
        ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(data));
        return data ? 0 : -1;
    }
    case WM_SETTEXT: return OnSetText(hwnd, d, reinterpret_cast<const char*>(lParam));
    case WM_SETICON:
        return OnSetIcon(hwnd, d, reinterpret_cast<HBITMAP>(wParam),
                         reinterpret_cast<PictureLoadRequest*>(lParam));
    case WM_SETFONT:
        if (d) d->font = reinterpret_cast<HFONT>(wParam);
        return 0;
    case WM_GETFONT: return d ? reinterpret_cast<LRESULT>(d->font) : 0;
    case WM_PAINT: {
        CPaintDC dc(hwnd);
        PaintPicture(hwnd, dc, d);
        return 0;
    }
    case WM_PRINTCLIENT: PaintPicture(hwnd, reinterpret_cast<HDC>(wParam), d); return 0;
    case WM_LBUTTONDOWN: OnButtonDown(hwnd, d); return 0;
    case WM_LBUTTONUP: OnButtonUp(hwnd, d); return 0;
    case WM_CAPTURECHANGED:
        // Capture lost while zoomed (another window took it): back into the form.
        if (reinterpret_cast<HWND>(lParam) != hwnd) {
            if (d) EndVideo(d);
            RestoreWindow(hwnd);
        }
        return 0;
    case WM_CONTEXTMENU:
        if (::GetWindowTextLengthA(hwnd) > 0) ShowPictureMenu(hwnd, lParam);
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == ID_PICTURE_REPLACE) ReplacePicture(hwnd);
        if (LOWORD(wParam) == ID_PICTURE_SCAN) ScanPicture(hwnd, d);
        return 0;
    case WM_DESTROY: OnDestroy(hwnd, d); return 0;
    default: return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}

LRESULT CALLBACK CChildForm::WndProcStaticBitmap(HWND hwnd, UINT msg, WPARAM wParam, LPARAM lParam) {
    StaticPicture* data = StaticData(hwnd);
    switch (msg) {
    case WM_CREATE: return OnStaticCreate(hwnd, reinterpret_cast<const CREATESTRUCTA*>(lParam));
    case WM_ERASEBKGND: return 1;
    case WM_PAINT: PaintStatic(hwnd, data); return 0;
    case WM_QUERYNEWPALETTE: return RealizeStatic(hwnd, data);
    case WM_PALETTECHANGED:
        if (reinterpret_cast<HWND>(wParam) != hwnd) RealizeStatic(hwnd, data);
        return 0;
    case WM_PALETTEISCHANGING:
        if (reinterpret_cast<HWND>(wParam) != hwnd) {
            CClientDC dc(hwnd);
            RECT client;
            ::GetClientRect(hwnd, &client);
            ::FillRect(dc, &client, static_cast<HBRUSH>(::GetStockObject(BLACK_BRUSH)));
        }
        return 0;
    case WM_DESTROY:
        if (data) {
            if (data->bitmap) ::DeleteObject(data->bitmap);
            if (data->palette) ::DeleteObject(data->palette);
            ::SetWindowLongPtrA(hwnd, GWLP_USERDATA, 0);
            delete data;
        }
        return 0;
    default: return ::DefWindowProcA(hwnd, msg, wParam, lParam);
    }
}
