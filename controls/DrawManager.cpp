#include "controls/DrawManager.h"

#include "app/ProtocolLog.h"

using vorlan::TraceFunction;

CDrawManager::CDrawManager() : m_nRandom(::GetTickCount()) {}

HBITMAP CDrawManager::CreateImageEffect(HBITMAP, int, int, UINT, bool, COLORREF, COLORREF) {
    return nullptr;
}
COLORREF CDrawManager::GrayMirrorColor(COLORREF c) {
    return c;
}
COLORREF CDrawManager::DarkenColor(COLORREF c, double) {
    return c;
}
COLORREF CDrawManager::LightenColor(COLORREF c, double) {
    return c;
}
COLORREF CDrawManager::InvertColor(COLORREF c) {
    return c;
}
COLORREF CDrawManager::PixelAlpha(COLORREF c, double, COLORREF, double) {
    return c;
}
void CDrawManager::AlphaChannelBitBlt(HDC, int, int, int, int, HDC, int, int) {}
void CDrawManager::DrawBitmap(HDC, int, int, int, int, HBITMAP, bool, COLORREF, UINT, bool, int, int, int,
                              int, COLORREF, COLORREF) {}
void CDrawManager::DrawIcon(HDC, int, int, int, int, HICON, UINT, bool, int, int, int, int, COLORREF,
                            COLORREF) {}
void CDrawManager::DrawImageList(HDC, int, int, int, int, HBITMAP, int, int, int, bool, UINT, bool, int, int,
                                 int, int, COLORREF, COLORREF) {}
HICON CDrawManager::StretchIcon(HICON, int, int) {
    return nullptr;
}
void CDrawManager::DrawShadow(HDC, int, int, int, int, HBITMAP, bool, int, int) {}
void CDrawManager::SmoothMaskImage(int, int, const uint32_t*, int, int, double*) {}
void CDrawManager::GetPartialSums(const int64_t*, int, int, int, int64_t*) {}
void CDrawManager::MultipleCopy(HDC, int, int, int, int, HDC, int, int, int, int) {}
void CDrawManager::DrawLine(HDC, int, int, int, int, COLORREF, int, int) {}
void CDrawManager::DrawRectangle1(HDC, const RECT&, COLORREF, COLORREF, int, int) {}
void CDrawManager::DrawRectangle2(HDC, int, int, int, int, COLORREF, COLORREF, int, int) {}
void CDrawManager::FillGradient(HDC, const RECT&, COLORREF, COLORREF, bool) {}
void CDrawManager::FillEffect(HDC, int, const RECT&, COLORREF, COLORREF, COLORREF, int, int) {}
bool CDrawManager::SetShade(const RECT&, int, int, int, COLORREF, COLORREF, COLORREF, const RECT*) {
    return false;
}
SIZE CDrawManager::GetSizeOfBitmap(HBITMAP) {
    return SIZE{0, 0};
}
SIZE CDrawManager::GetSizeOfIcon(HICON) {
    return SIZE{0, 0};
}
int CDrawManager::Random() {
    return 0;
}
