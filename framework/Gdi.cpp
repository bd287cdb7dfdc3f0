#include "framework/Gdi.h"

#include <cstring>
#include <vector>

bool CGdiObject::DeleteObject() {
    if (!m_hObject) return false;
    bool ok = ::DeleteObject(m_hObject) != 0;
    m_hObject = nullptr;
    return ok;
}

bool CFont::CreateFontIndirect(const LOGFONTA& lf) {
    Attach(::CreateFontIndirectA(&lf));
    return m_hObject != nullptr;
}

bool CFont::CreatePointFont(int tenthsOfPoint, const char* face, HDC dc, bool bold) {
    int dpi = dc ? ::GetDeviceCaps(dc, LOGPIXELSY) : ::GetDeviceCaps(CClientDC(nullptr), LOGPIXELSY);
    LOGFONTA lf{};
    lf.lfHeight = -MulDiv(tenthsOfPoint, dpi, 720);
    lf.lfWeight = bold ? FW_BOLD : FW_NORMAL;
    lf.lfCharSet = DEFAULT_CHARSET;
    ::lstrcpynA(lf.lfFaceName, face ? face : "", LF_FACESIZE);
    return CreateFontIndirect(lf);
}

bool CFont::GetLogFont(LOGFONTA& out) const {
    return m_hObject && ::GetObjectA(m_hObject, sizeof(out), &out) == sizeof(out);
}

bool CBitmap::LoadDIB(HINSTANCE module, const char* name) {
    Attach(::LoadImageA(module, name, IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
    return m_hObject != nullptr;
}

bool CBitmap::GetBitmap(BITMAP& out) const {
    return m_hObject && ::GetObjectA(m_hObject, sizeof(out), &out) != 0;
}

bool CImageList::Create(int cx, int cy, UINT flags, int initial, int grow) {
    Destroy();
    m_hImageList = ImageList_Create(cx, cy, flags, initial, grow);
    return m_hImageList != nullptr;
}

int CImageList::Add(HBITMAP bitmap, HBITMAP mask) {
    return m_hImageList ? ImageList_Add(m_hImageList, bitmap, mask) : -1;
}

int CImageList::AddMasked(HBITMAP bitmap, COLORREF maskColour) {
    return m_hImageList ? ImageList_AddMasked(m_hImageList, bitmap, maskColour) : -1;
}

bool CImageList::Destroy() {
    if (!m_hImageList) return false;
    bool ok = ImageList_Destroy(m_hImageList) != 0;
    m_hImageList = nullptr;
    return ok;
}

SIZE TextExtent(HWND wnd, HFONT font, const char* text, int length) {
    CClientDC dc(wnd);
    CSelectedObject selected(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text ? text : "", text ? length : 0, &size);
    return size;
}

TEXTMETRICA TextMetrics(HWND wnd, HFONT font) {
    CClientDC dc(wnd);
    CSelectedObject selected(dc, font);
    TEXTMETRICA tm{};
    ::GetTextMetricsA(dc, &tm);
    return tm;
}

namespace fw {

void StretchHalftone(HDC target, const RECT& to, HDC source, int sourceWidth, int sourceHeight) {
    CSaveDC saved(target);
    ::SetStretchBltMode(target, HALFTONE);
    // Half-tone stretching needs the brush origin reset after the mode change.
    ::SetBrushOrgEx(target, 0, 0, nullptr);
    ::StretchBlt(target, to.left, to.top, to.right - to.left, to.bottom - to.top, source, 0, 0, sourceWidth,
                 sourceHeight, SRCCOPY);
}

HPALETTE CreatePaletteFromDIB(HBITMAP bitmap) {
    DIBSECTION ds{};
    if (!bitmap || ::GetObjectA(bitmap, sizeof ds, &ds) != sizeof ds) return nullptr;
    UINT colours = ds.dsBmih.biClrUsed ? ds.dsBmih.biClrUsed : (1u << ds.dsBmih.biBitCount);
    if (ds.dsBmih.biBitCount > 8 && !ds.dsBmih.biClrUsed) return nullptr;
    if (colours > 256) return nullptr;
    std::vector<RGBQUAD> table(colours);
    UINT got;
    {
        CMemoryDC dc(nullptr);
        CSelectedObject select(dc, bitmap);
        got = ::GetDIBColorTable(dc, 0, colours, table.data());
    }
    std::vector<char> mem(sizeof(LOGPALETTE) + sizeof(PALETTEENTRY) * colours);
    auto* pal = reinterpret_cast<LOGPALETTE*>(mem.data());
    pal->palVersion = 0x300;
    pal->palNumEntries = static_cast<WORD>(got);
    for (UINT i = 0; i < got; ++i) {
        pal->palPalEntry[i].peRed = table[i].rgbRed;
        pal->palPalEntry[i].peGreen = table[i].rgbGreen;
        pal->palPalEntry[i].peBlue = table[i].rgbBlue;
        pal->palPalEntry[i].peFlags = 0;
    }
    return got ? ::CreatePalette(pal) : nullptr;
}

namespace {

SIZE DrawnExtent(HDC dc, HFONT font, const char* text) {
    CSelectedObject selected(dc, font);
    RECT r{0, 0, 0, 0};
    ::DrawTextA(dc, text ? text : "", -1, &r, DT_CALCRECT | DT_NOPREFIX | DT_EXPANDTABS);
    return SIZE{r.right - r.left, r.bottom - r.top};
}

} // namespace

SIZE TextExtentInWindowFont(HWND window, const char* text) {
    CClientDC dc(window);
    return DrawnExtent(dc, reinterpret_cast<HFONT>(::SendMessageA(window, WM_GETFONT, 0, 0)), text);
}

SIZE TextExtentInFont(HFONT font, const char* text) {
    CMemoryDC dc(nullptr);
    return DrawnExtent(dc, font, text);
}

SIZE LineExtentInFont(HFONT font, const char* text, int length) {
    CMemoryDC dc(nullptr);
    CSelectedObject selected(dc, font);
    SIZE size{};
    ::GetTextExtentPoint32A(dc, text ? text : "", text ? length : 0, &size);
    return size;
}

} // namespace fw

namespace {

struct FamilyWalk {
    void (*add)(const char*, void*);
    void* data;
};

int CALLBACK OnFontFamily(const LOGFONTA* font, const TEXTMETRICA*, DWORD, LPARAM param) {
    auto* walk = reinterpret_cast<FamilyWalk*>(param);
    walk->add(font->lfFaceName, walk->data);
    return 1;
}

} // namespace

void EnumFontFamilyNames(void (*add)(const char* face, void* data), void* data) {
    HDC dc = ::GetDC(nullptr);
    FamilyWalk walk{add, data};
    ::EnumFontFamiliesA(dc, nullptr, OnFontFamily, reinterpret_cast<LPARAM>(&walk));
    ::ReleaseDC(nullptr, dc);
}
