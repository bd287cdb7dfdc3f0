#include "app/VORLANApp.h"
#include "framework/Gdi.h"
#include "framework/Wnd.h"
#include "resources/resource.h"

#include <vector>

namespace {

// Draws the start text into the splash bitmap and shapes the window by the stored region.
class CSplashWnd : public CWnd {
  public:
    CBitmap bitmap;
    LRESULT WindowProc(UINT msg, WPARAM wParam, LPARAM lParam) override {
        switch (msg) {
        case WM_PAINT: return OnPaint();
        case WM_ERASEBKGND: return 1;
        default: return CWnd::WindowProc(msg, wParam, lParam);
        }
    }
    void PostNcDestroy() override { delete this; }

  private:
    LRESULT OnPaint() {
        CPaintDC dc(m_hWnd);
        CMemoryDC mem(dc);
        CSelectedObject picture(mem, bitmap);
        CRect r = GetClientRect();
        ::BitBlt(dc, 0, 0, r.Width(), r.Height(), mem, 0, 0, SRCCOPY);
        return 0;
    }
};

void DrawStartText(CSplashWnd& w, int width, int height) {
    CString text;
    text.LoadString(IDS_SPLASH_TEXT);
    CFont font;
    font.CreatePointFont(70, "Tahoma");
    CMemoryDC mem;
    CSelectedObject picture(mem, w.bitmap);
    CSelectedObject textFont(mem, font);
    SIZE size{};
    ::GetTextExtentPoint32A(mem, text, text.GetLength(), &size);
    ::SetBkMode(mem, TRANSPARENT);
    ::SetTextColor(mem, RGB(0, 0, 0));
    ::TextOutA(mem, (width - size.cx) / 2 + 30, height - 19, text, text.GetLength());
}

HRGN RegionFromResource(HINSTANCE module) {
    HRSRC res = ::FindResourceA(module, MAKEINTRESOURCEA(IDR_SPLASH_REGION), MAKEINTRESOURCEA(10));
    if (!res) return nullptr;
    DWORD size = ::SizeofResource(module, res);
    HGLOBAL data = ::LoadResource(module, res);
    const void* bytes = data ? ::LockResource(data) : nullptr;
    if (!bytes || size < sizeof(RGNDATAHEADER)) return nullptr;
    return ::ExtCreateRegion(nullptr, size, static_cast<const RGNDATA*>(bytes));
}

} // namespace

bool CVORLANApp::ShowSplash(HWND& splash) {
    splash = nullptr;
    HINSTANCE self = m_hInstance ? m_hInstance : ::GetModuleHandleA(nullptr);
    auto* w = new CSplashWnd;
    if (!w->bitmap.LoadDIB(self, IDB_SPLASH)) {
        delete w;
        return false;
    }
    BITMAP bm{};
    w->bitmap.GetBitmap(bm);
    if (!w->CreateEx(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, "VORLAN Bitmap", "", WS_POPUP,
                     CRect(0, 0, bm.bmWidth, bm.bmHeight), nullptr, 0)) {
        delete w;
        return false;
    }
    DrawStartText(*w, bm.bmWidth, bm.bmHeight);
    if (HRGN region = RegionFromResource(self)) ::SetWindowRgn(w->m_hWnd, region, FALSE);
    CRect work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ::SetWindowPos(w->m_hWnd, HWND_TOPMOST, work.left + (work.Width() - bm.bmWidth) / 2,
                   work.top + (work.Height() - bm.bmHeight) / 2, 0, 0, SWP_NOSIZE);
    w->ShowWindow(SW_SHOW);
    w->UpdateWindow();
    ::Sleep(2000);
    splash = w->m_hWnd;
    return true;
}
