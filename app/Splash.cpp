#include "app/VORLANApp.h"
#include "forms/ChildForm.h"
#include "framework/Gdi.h"
#include "resources/resource.h"

namespace {

void DrawStartText(HBITMAP bitmap, int width, int height) {
    CString text;
    text.LoadString(IDS_SPLASH_TEXT);
    CFont font;
    font.CreatePointFont(70, "Tahoma");
    CMemoryDC memory(nullptr);
    CSelectedObject selectBitmap(memory, bitmap);
    CSelectedObject selectFont(memory, font);
    SIZE size{};
    ::GetTextExtentPoint32A(memory, text, text.GetLength(), &size);
    ::SetBkMode(memory, TRANSPARENT);
    ::SetTextColor(memory, RGB(0, 0, 0));
    ::TextOutA(memory, (width - size.cx) / 2 + 30, height - 19, text, text.GetLength());
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
    CBitmap bitmap;
    if (!bitmap.LoadDIB(self, IDB_SPLASH)) return false;
    BITMAP bm{};
    bitmap.GetBitmap(bm);
    DrawStartText(bitmap, bm.bmWidth, bm.bmHeight);
    // The static picture sizes itself around the bitmap and owns it once it is created.
    HWND w =
        ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, CChildForm::kStaticBitmapClass, "", WS_POPUP, 0,
                          0, bm.bmWidth, bm.bmHeight, nullptr, nullptr, self, static_cast<HBITMAP>(bitmap));
    if (!w) return false;
    bitmap.Detach();
    if (HRGN region = RegionFromResource(self)) ::SetWindowRgn(w, region, FALSE);
    CRect work;
    ::SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    ::SetWindowPos(w, HWND_TOPMOST, work.left + (work.Width() - bm.bmWidth) / 2,
                   work.top + (work.Height() - bm.bmHeight) / 2, 0, 0, SWP_NOSIZE);
    ::ShowWindow(w, SW_SHOW);
    ::UpdateWindow(w);
    ::Sleep(2000);
    splash = w;
    return true;
}
