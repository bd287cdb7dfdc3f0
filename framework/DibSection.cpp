#include "framework/DibSection.h"

#include <cstring>

namespace {

// Far beyond any picture on a screen; keeps row arithmetic inside 32 bits.
constexpr int64_t kMaxSectionBytes = int64_t(1) << 30;

} // namespace

bool CDibSection::Create(const BITMAPINFO& info) {
    DeleteObject();
    m_pBits = nullptr;
    const BITMAPINFOHEADER& h = info.bmiHeader;
    const int64_t width = h.biWidth;
    const int64_t height = h.biHeight < 0 ? -int64_t(h.biHeight) : int64_t(h.biHeight);
    if (width <= 0 || height <= 0 || h.biBitCount == 0) return false;
    const int64_t stride = (width * h.biBitCount + 31) / 32 * 4;
    if (stride * height > kMaxSectionBytes) return false;
    void* bits = nullptr;
    HBITMAP section = ::CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    if (!section || !bits) {
        if (section) ::DeleteObject(section);
        return false;
    }
    Attach(section);
    m_pBits = bits;
    m_nWidth = static_cast<int>(width);
    m_nHeight = static_cast<int>(height);
    m_nBits = h.biBitCount;
    m_nStride = static_cast<int>(stride);
    m_bTopDown = h.biHeight < 0;
    return true;
}

BITMAPINFO CDibSection::Header32(int width, int height) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = width;
    info.bmiHeader.biHeight = -height;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    return info;
}

bool CDibSection::Create32(int width, int height) {
    if (height <= 0 || !Create(Header32(width, height))) return false;
    std::memset(m_pBits, 0, size_t(m_nStride) * size_t(m_nHeight));
    return true;
}

BYTE* CDibSection::Row(int y) const {
    if (!m_hObject || y < 0 || y >= m_nHeight) return nullptr;
    const int row = m_bTopDown ? y : m_nHeight - 1 - y;
    return static_cast<BYTE*>(m_pBits) + size_t(row) * size_t(m_nStride);
}

bool CDibSection::SetColorTable(UINT first, UINT count, const RGBQUAD* colours) {
    if (!m_hObject || m_nBits > 8 || !colours) return false;
    CBitmapDC dc(nullptr, *this);
    return dc.IsValid() && ::SetDIBColorTable(dc, first, count, colours) == count;
}

bool CIconInfo::Get(HICON icon) {
    Release();
    if (!icon || !::GetIconInfo(icon, &m_info)) {
        m_info = ICONINFO{};
        return false;
    }
    return true;
}

void CIconInfo::Release() {
    if (m_info.hbmColor) ::DeleteObject(m_info.hbmColor);
    if (m_info.hbmMask) ::DeleteObject(m_info.hbmMask);
    m_info = ICONINFO{};
}

SIZE CIconInfo::Size() const {
    BITMAP bm{};
    if (m_info.hbmColor && ::GetObjectA(m_info.hbmColor, sizeof bm, &bm))
        return SIZE{bm.bmWidth, bm.bmHeight};
    if (m_info.hbmMask && ::GetObjectA(m_info.hbmMask, sizeof bm, &bm))
        return SIZE{bm.bmWidth, bm.bmHeight / 2};
    return SIZE{0, 0};
}

namespace fw {

HICON CreateIconFromBitmaps(HBITMAP colour, HBITMAP mask) {
    if (!mask) return nullptr;
    ICONINFO info{};
    info.fIcon = TRUE;
    info.hbmColor = colour;
    info.hbmMask = mask;
    return ::CreateIconIndirect(&info);
}

HPEN CreateStylePen(int style, int width, COLORREF colour) {
    if (width <= 1) return ::CreatePen(style, width < 1 ? 1 : width, colour);
    LOGBRUSH brush{BS_SOLID, colour, 0};
    return ::ExtCreatePen(PS_GEOMETRIC | PS_ENDCAP_FLAT | PS_JOIN_MITER | (style & PS_STYLE_MASK),
                          static_cast<DWORD>(width), &brush, 0, nullptr);
}

} // namespace fw
