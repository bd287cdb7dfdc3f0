#include "framework/Gdi.h"

#include <cstring>

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
