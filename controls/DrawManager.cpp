#include "controls/DrawManager.h"

#include "app/ProtocolLog.h"
#include "framework/DibSection.h"

#include <algorithm>
#include <cstring>
#include <memory>
#include <vector>

using vorlan::TraceFunction;

namespace {

// Pixels of a top-down 32-bit picture: blue in the low byte, then green, red, alpha.
using Pixels = std::vector<uint32_t>;

constexpr uint32_t kRgbMask = 0x00FFFFFF;
constexpr uint32_t kAlphaMask = 0xFF000000;
constexpr uint32_t kWhite = 0x00FFFFFF;

uint32_t ToPixel(COLORREF c) {
    return (uint32_t(GetRValue(c)) << 16) | (uint32_t(GetGValue(c)) << 8) | GetBValue(c);
}

COLORREF FromPixel(uint32_t p) {
    return RGB((p >> 16) & 0xFF, (p >> 8) & 0xFF, p & 0xFF);
}

bool FitsPixels(int64_t width, int64_t height) {
    return width > 0 && height > 0 && width * height <= CDrawManager::kMaxPixels;
}

// Multiplying by a factor in floating point can land a hair below a whole number
// (0.7 x 100); the nudge keeps exact products exact before truncation.
int Scale(int channel, double factor) {
    return static_cast<int>(channel * factor + 1e-9);
}

COLORREF Gray(COLORREF c) {
    const int g = (299 * GetRValue(c) + 587 * GetGValue(c) + 114 * GetBValue(c)) / 1000;
    return RGB(g, g, g);
}

COLORREF Darken(COLORREF c, double factor) {
    if (!(factor >= 0 && factor < 1)) return c;
    return RGB(Scale(GetRValue(c), factor), Scale(GetGValue(c), factor), Scale(GetBValue(c), factor));
}

COLORREF Lighten(COLORREF c, double factor) {
    if (!(factor > 0 && factor <= 1)) return c;
    auto up = [factor](int v) { return std::min(255, Scale(v, 1 + factor)); };
    return RGB(up(GetRValue(c)), up(GetGValue(c)), up(GetBValue(c)));
}

COLORREF Invert(COLORREF c) {
    return RGB(255 - GetRValue(c), 255 - GetGValue(c), 255 - GetBValue(c));
}

// Rewrites the pixels by the effect flags; transparent marks pixels that count as the mask
// colour (an icon's mask). Answers whether any source pixel had alpha.
bool ApplyEffect(Pixels& pixels, UINT effect, bool useMask, COLORREF mask, COLORREF fill,
                 const std::vector<uint8_t>* transparent) {
    const uint32_t maskPixel = ToPixel(mask);
    const uint32_t fillPixel = ToPixel(fill);
    bool alpha = false;
    for (size_t i = 0; i < pixels.size(); ++i) {
        uint32_t p = pixels[i];
        if (p & kAlphaMask) alpha = true;
        if ((useMask && (p & kRgbMask) == maskPixel) || (transparent && (*transparent)[i])) {
            p = 0;
        } else {
            const uint32_t a = p & kAlphaMask;
            COLORREF c = FromPixel(p);
            if (effect & CDrawManager::kEffectGray) c = Gray(c);
            if (effect & CDrawManager::kEffectDarken) c = Darken(c, 0.75);
            if (effect & CDrawManager::kEffectLighten) c = Lighten(c, 0.25);
            p = (effect & CDrawManager::kEffectFill) ? fillPixel | a : ToPixel(c) | a;
        }
        if (effect & CDrawManager::kEffectInvert) p = (p & kAlphaMask) | (~p & kRgbMask);
        pixels[i] = p;
    }
    return alpha;
}

template <typename T> std::vector<T> Stretch(const std::vector<T>& src, int sw, int sh, int w, int h) {
    if (sw == w && sh == h) return src;
    std::vector<T> out(size_t(w) * size_t(h));
    for (int y = 0; y < h; ++y) {
        const size_t sy = size_t(int64_t(y) * sh / h);
        for (int x = 0; x < w; ++x)
            out[size_t(y) * w + x] = src[sy * sw + size_t(int64_t(x) * sw / w)];
    }
    return out;
}

// The bitmap's pixels, top row first; 32-bit pictures keep their alpha bytes.
bool ReadBitmapPixels(HBITMAP bitmap, Pixels& out, int& width, int& height) {
    BITMAP bm{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof bm, &bm)) return false;
    width = bm.bmWidth;
    height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    if (!FitsPixels(width, height)) return false;
    out.assign(size_t(width) * size_t(height), 0);
    BITMAPINFO info = CDibSection::Header32(width, height);
    CMemoryDC dc(nullptr);
    return dc && ::GetDIBits(dc, bitmap, 0, height, out.data(), &info, DIB_RGB_COLORS) == height;
}

// An icon's colour pixels and which of them its mask leaves transparent.
bool ReadIconPixels(HICON icon, Pixels& colour, std::vector<uint8_t>& transparent, int& width, int& height) {
    CIconInfo info;
    if (!info.Get(icon)) return false;
    Pixels mask;
    int mw = 0, mh = 0;
    if (!ReadBitmapPixels(info.Mask(), mask, mw, mh)) return false;
    if (info.Colour()) {
        if (!ReadBitmapPixels(info.Colour(), colour, width, height)) return false;
        if (mw != width || mh != height) mask = Stretch(mask, mw, mh, width, height);
    } else {
        // Monochrome: the AND mask above the XOR picture.
        width = mw;
        height = mh / 2;
        if (height <= 0) return false;
        colour.assign(mask.begin() + size_t(width) * height, mask.begin() + size_t(width) * height * 2);
        mask.resize(size_t(width) * height);
    }
    transparent.resize(mask.size());
    for (size_t i = 0; i < mask.size(); ++i)
        transparent[i] = (mask[i] & kRgbMask) != 0;
    return true;
}

bool MakeSection(const Pixels& pixels, int width, int height, CDibSection& section) {
    if (!section.Create32(width, height)) return false;
    for (int y = 0; y < height; ++y)
        std::memcpy(section.Row32(y), &pixels[size_t(y) * width], size_t(width) * 4);
    return true;
}

// A 32-bit copy of an area of a device context that can be written back.
class AreaCopy {
  public:
    AreaCopy(HDC like, int width, int height) : m_width(width), m_height(height) {
        if (!m_section.Create32(width, height)) return;
        m_dc = std::make_unique<CBitmapDC>(like, m_section);
        if (!m_dc->IsValid()) m_dc.reset();
    }
    bool IsValid() const { return m_dc != nullptr; }
    bool ReadFrom(HDC dc, int x, int y) {
        const bool ok = ::BitBlt(*m_dc, 0, 0, m_width, m_height, dc, x, y, SRCCOPY) != 0;
        ::GdiFlush();
        return ok;
    }
    void WriteTo(HDC dc, int x, int y) { ::BitBlt(dc, x, y, m_width, m_height, *m_dc, 0, 0, SRCCOPY); }
    uint32_t* Row(int y) const { return m_section.Row32(y); }
    HDC DC() const { return *m_dc; }

  private:
    int m_width;
    int m_height;
    CDibSection m_section;
    std::unique_ptr<CBitmapDC> m_dc;
};

uint32_t BlendPixel(uint32_t source, uint32_t target) {
    const uint32_t a = source >> 24;
    uint32_t out = target & kAlphaMask;
    for (int shift = 0; shift < 24; shift += 8) {
        const uint32_t s = (source >> shift) & 0xFF, t = (target >> shift) & 0xFF;
        out |= ((s * a + t * (255 - a)) / 255) << shift;
    }
    return out;
}

// Blends top-down source pixels over the target area by their alpha bytes.
void BlendOnto(HDC dc, int x, int y, int width, int height, const uint32_t* source, int sourceStride) {
    AreaCopy target(dc, width, height);
    if (!target.IsValid() || !target.ReadFrom(dc, x, y)) return;
    for (int row = 0; row < height; ++row) {
        uint32_t* t = target.Row(row);
        const uint32_t* s = source + size_t(row) * sourceStride;
        for (int col = 0; col < width; ++col)
            t[col] = BlendPixel(s[col], t[col]);
    }
    target.WriteTo(dc, x, y);
}

// Multiplies every colour channel of the area by its factor (0 to 1).
void DarkenArea(HDC dc, int x, int y, int width, int height, const double* factors) {
    AreaCopy target(dc, width, height);
    if (!target.IsValid() || !target.ReadFrom(dc, x, y)) return;
    for (int row = 0; row < height; ++row) {
        uint32_t* t = target.Row(row);
        for (int col = 0; col < width; ++col) {
            const double f = factors[size_t(row) * width + col];
            uint32_t p = t[col], out = p & kAlphaMask;
            for (int shift = 0; shift < 24; shift += 8)
                out |= uint32_t(Scale((p >> shift) & 0xFF, f)) << shift;
            t[col] = out;
        }
    }
    target.WriteTo(dc, x, y);
}

// The part of the rectangle that drawing into the context can reach (the whole rectangle when
// the context cannot tell); empty when nothing of it shows.
RECT DrawnPart(HDC dc, const RECT& rect) {
    RECT clip{}, part{};
    switch (::GetClipBox(dc, &clip)) {
    case NULLREGION: return RECT{0, 0, 0, 0};
    case ERROR: return rect;
    default: return ::IntersectRect(&part, &rect, &clip) ? part : RECT{0, 0, 0, 0};
    }
}

void FillSolid(HDC dc, const RECT& r, COLORREF colour) {
    const COLORREF old = ::SetBkColor(dc, colour);
    ::ExtTextOutA(dc, 0, 0, ETO_OPAQUE, &r, nullptr, 0, nullptr);
    ::SetBkColor(dc, old);
}

COLORREF Mix(COLORREF a, int weightA, COLORREF b, int weightB, int total) {
    return RGB((GetRValue(a) * weightA + GetRValue(b) * weightB) / total,
               (GetGValue(a) * weightA + GetGValue(b) * weightB) / total,
               (GetBValue(a) * weightA + GetBValue(b) * weightB) / total);
}

int PenStyle(int penType) {
    switch (penType) {
    case CDrawManager::kPenSolid:
    case CDrawManager::kPenDouble: return PS_SOLID;
    case CDrawManager::kPenDash: return PS_DASH;
    case CDrawManager::kPenDot: return PS_DOT;
    case CDrawManager::kPenDashDot: return PS_DASHDOT;
    case CDrawManager::kPenDashDotDot: return PS_DASHDOTDOT;
    default: return -1;
    }
}

// Draws a polyline; the gaps of dashed pens stay untouched.
void StrokeLines(HDC dc, const POINT* points, int count, COLORREF colour, int style, int width) {
    CPen pen;
    pen.Attach(fw::CreateStylePen(style, width, colour));
    if (!pen.m_hObject) return;
    CSelectedObject selected(dc, pen);
    const int oldMode = ::SetBkMode(dc, TRANSPARENT);
    ::Polyline(dc, points, count);
    ::SetBkMode(dc, oldMode);
}

// The light upper-left and dark lower-right edges, inset so that wide pens stay inside.
void StrokeEdges(HDC dc, const RECT& r, COLORREF light, COLORREF dark, int style, int width) {
    const int left = r.left + width / 2, top = r.top + width / 2;
    const int right = r.right - 1 - (width - 1) / 2, bottom = r.bottom - 1 - (width - 1) / 2;
    if (right < left || bottom < top) return;
    const POINT upper[] = {{left, bottom}, {left, top}, {right, top}};
    // A one-pixel pen leaves out the last point; the lower edge ends one further to close.
    const POINT lower[] = {{right, top}, {right, bottom}, {left - (width <= 1 ? 1 : 0), bottom}};
    StrokeLines(dc, upper, 3, light, style, width);
    StrokeLines(dc, lower, 3, dark, style, width);
}

} // namespace

CDrawManager::CDrawManager() : m_nRandom(::GetTickCount()) {}

int CDrawManager::Random() {
    m_nRandom = m_nRandom * 1103515245u + 12345u;
    return static_cast<int>((m_nRandom >> 16) & 0x7FFF);
}

COLORREF CDrawManager::GrayMirrorColor(COLORREF colour) {
    TraceFunction("CDrawManager::GrayMirrorColor");
    return Gray(colour);
}

COLORREF CDrawManager::DarkenColor(COLORREF colour, double factor) {
    TraceFunction("CDrawManager::DarkenColor");
    return Darken(colour, factor);
}

COLORREF CDrawManager::LightenColor(COLORREF colour, double factor) {
    TraceFunction("CDrawManager::LightenColor");
    return Lighten(colour, factor);
}

COLORREF CDrawManager::InvertColor(COLORREF colour) {
    TraceFunction("CDrawManager::InvertColor");
    return Invert(colour);
}

COLORREF CDrawManager::PixelAlpha(COLORREF colour1, double weight1, COLORREF colour2, double weight2) {
    TraceFunction("CDrawManager::PixelAlpha");
    auto mix = [&](int a, int b) {
        const double v = a * weight1 + b * weight2 + 1e-9;
        return v <= 0 ? 0 : v >= 255 ? 255 : static_cast<int>(v);
    };
    return RGB(mix(GetRValue(colour1), GetRValue(colour2)), mix(GetGValue(colour1), GetGValue(colour2)),
               mix(GetBValue(colour1), GetBValue(colour2)));
}

HBITMAP CDrawManager::CreateImageEffect(HBITMAP bitmap, int width, int height, UINT effect, bool useMask,
                                        COLORREF mask, COLORREF fill) {
    TraceFunction("CDrawManager::CreateImageEffect");
    Pixels pixels;
    int sw = 0, sh = 0;
    if (!FitsPixels(width, height) || !ReadBitmapPixels(bitmap, pixels, sw, sh)) return nullptr;
    pixels = Stretch(pixels, sw, sh, width, height);
    m_bHasAlpha = ApplyEffect(pixels, effect, useMask, mask, fill, nullptr);
    CDibSection section;
    if (!MakeSection(pixels, width, height, section)) return nullptr;
    return static_cast<HBITMAP>(section.Detach());
}

void CDrawManager::AlphaChannelBitBlt(HDC target, int x, int y, int width, int height, HDC source,
                                      int sourceX, int sourceY) {
    TraceFunction("CDrawManager::AlphaChannelBitBlt");
    if (!target || !source || !FitsPixels(width, height)) return;
    AreaCopy src(source, width, height);
    if (!src.IsValid() || !src.ReadFrom(source, sourceX, sourceY)) return;
    BlendOnto(target, x, y, width, height, src.Row(0), width);
}

void CDrawManager::DrawPixels(HDC dc, int x, int y, int width, int height,
                              const std::vector<uint32_t>& source, const std::vector<uint8_t>* transparent,
                              bool useMask, COLORREF mask, UINT effect, bool shadow, int shadowDx,
                              int shadowDy, int blurX, int blurY, COLORREF shadowColour, COLORREF fill) {
    if (shadow && (effect & (kEffectShadow | kEffectGradientShadow))) {
        Pixels shade = source;
        ApplyEffect(shade, kEffectFill | kEffectInvert, useMask, mask, Invert(shadowColour), transparent);
        CDibSection section;
        if (MakeSection(shade, width, height, section))
            DrawShadow(dc, x + shadowDx, y + shadowDy, width, height, section,
                       (effect & kEffectGradientShadow) != 0, blurX, blurY);
    } else if (shadow) {
        x += shadowDx;
        y += shadowDy;
    }
    Pixels image = source;
    m_bHasAlpha = ApplyEffect(image, effect, useMask, mask, fill, transparent);
    if (m_bHasAlpha) {
        BlendOnto(dc, x, y, width, height, image.data(), width);
        return;
    }
    Pixels cutOut = source;
    ApplyEffect(cutOut, kEffectFill | kEffectInvert, useMask, mask, RGB(255, 255, 255), transparent);
    CDibSection maskSection, imageSection;
    if (!MakeSection(cutOut, width, height, maskSection) || !MakeSection(image, width, height, imageSection))
        return;
    CBitmapDC maskDC(dc, maskSection);
    CBitmapDC imageDC(dc, imageSection);
    if (!maskDC.IsValid() || !imageDC.IsValid()) return;
    ::BitBlt(dc, x, y, width, height, maskDC, 0, 0, SRCAND);
    ::BitBlt(dc, x, y, width, height, imageDC, 0, 0, SRCPAINT);
}

void CDrawManager::DrawBitmap(HDC dc, int x, int y, int width, int height, HBITMAP bitmap, bool useMask,
                              COLORREF mask, UINT effect, bool shadow, int shadowDx, int shadowDy, int blurX,
                              int blurY, COLORREF shadowColour, COLORREF fill) {
    TraceFunction("CDrawManager::DrawBitmap");
    Pixels pixels;
    int sw = 0, sh = 0;
    if (!dc || !FitsPixels(width, height) || !ReadBitmapPixels(bitmap, pixels, sw, sh)) return;
    DrawPixels(dc, x, y, width, height, Stretch(pixels, sw, sh, width, height), nullptr, useMask, mask,
               effect, shadow, shadowDx, shadowDy, blurX, blurY, shadowColour, fill);
}

void CDrawManager::DrawIcon(HDC dc, int x, int y, int width, int height, HICON icon, UINT effect, bool shadow,
                            int shadowDx, int shadowDy, int blurX, int blurY, COLORREF shadowColour,
                            COLORREF fill) {
    TraceFunction("CDrawManager::DrawIcon");
    if (!dc || !icon || !FitsPixels(width, height)) return;
    CIcon stretched(StretchIcon(icon, width, height));
    Pixels pixels;
    std::vector<uint8_t> transparent;
    int w = 0, h = 0;
    if (!stretched || !ReadIconPixels(stretched, pixels, transparent, w, h) || w != width || h != height)
        return;
    DrawPixels(dc, x, y, width, height, pixels, &transparent, false, 0, effect, shadow, shadowDx, shadowDy,
               blurX, blurY, shadowColour, fill);
}

void CDrawManager::DrawImageList(HDC dc, int x, int y, int width, int height, HBITMAP strip, int index,
                                 int cx, int cy, bool useMask, UINT effect, bool shadow, int shadowDx,
                                 int shadowDy, int blurX, int blurY, COLORREF shadowColour, COLORREF fill) {
    TraceFunction("CDrawManager::DrawImageList");
    if (!dc || cx <= 0 || cy <= 0 || index < 0 || !FitsPixels(width, height)) return;
    Pixels pixels;
    int sw = 0, sh = 0;
    if (!ReadBitmapPixels(strip, pixels, sw, sh)) return;
    const int columns = sw / cx, rows = sh / cy;
    if (columns <= 0 || int64_t(index) >= int64_t(columns) * rows) return;
    const int left = index % columns * cx, top = index / columns * cy;
    Pixels image(size_t(cx) * size_t(cy));
    for (int row = 0; row < cy; ++row)
        std::memcpy(&image[size_t(row) * cx], &pixels[size_t(top + row) * sw + left], size_t(cx) * 4);
    const COLORREF mask = FromPixel(pixels[0]);
    DrawPixels(dc, x, y, width, height, Stretch(image, cx, cy, width, height), nullptr, useMask, mask, effect,
               shadow, shadowDx, shadowDy, blurX, blurY, shadowColour, fill);
}

HICON CDrawManager::StretchIcon(HICON icon, int width, int height) {
    TraceFunction("CDrawManager::StretchIcon");
    Pixels colour;
    std::vector<uint8_t> transparent;
    int w = 0, h = 0;
    if (!FitsPixels(width, height) || !ReadIconPixels(icon, colour, transparent, w, h)) return nullptr;
    colour = Stretch(colour, w, h, width, height);
    transparent = Stretch(transparent, w, h, width, height);
    CDibSection colourSection;
    if (!MakeSection(colour, width, height, colourSection)) return nullptr;
    // Monochrome bitmap rows are padded to whole 16-bit words; a set bit is transparent.
    const size_t rowBytes = size_t((width + 15) / 16) * 2;
    std::vector<BYTE> maskBits(rowBytes * size_t(height), 0);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            if (transparent[size_t(y) * width + x]) maskBits[y * rowBytes + x / 8] |= BYTE(0x80 >> (x % 8));
    CBitmap maskBitmap;
    maskBitmap.Attach(::CreateBitmap(width, height, 1, 1, maskBits.data()));
    if (!maskBitmap.m_hObject) return nullptr;
    return fw::CreateIconFromBitmaps(colourSection, maskBitmap);
}

void CDrawManager::DrawShadow(HDC dc, int x, int y, int width, int height, HBITMAP mask, bool gradient,
                              int blurX, int blurY) {
    TraceFunction("CDrawManager::DrawShadow");
    Pixels pixels;
    int mw = 0, mh = 0;
    if (!dc || !FitsPixels(width, height) || !ReadBitmapPixels(mask, pixels, mw, mh)) return;
    std::vector<double> factors(size_t(width) * size_t(height));
    if (!gradient) {
        pixels = Stretch(pixels, mw, mh, width, height);
        for (size_t i = 0; i < pixels.size(); ++i)
            factors[i] = (pixels[i] & 0xFF) / 255.0;
    } else {
        // Odd window sizes centre the blur on each pixel.
        const int bx = std::clamp(blurX | 1, 1, 255), by = std::clamp(blurY | 1, 1, 255);
        if (!FitsPixels(int64_t(width) + bx - 1, int64_t(height) + by - 1)) return;
        const int innerW = width - 2 * (bx / 2), innerH = height - 2 * (by / 2);
        Pixels shrunk(size_t(width) * size_t(height), kWhite);
        if (innerW > 0 && innerH > 0) {
            const Pixels inner = Stretch(pixels, mw, mh, innerW, innerH);
            for (int row = 0; row < innerH; ++row)
                std::memcpy(&shrunk[size_t(row + by / 2) * width + bx / 2], &inner[size_t(row) * innerW],
                            size_t(innerW) * 4);
        }
        SmoothMaskImage(width, height, shrunk.data(), bx, by, factors.data());
    }
    DarkenArea(dc, x, y, width, height, factors.data());
}

void CDrawManager::SmoothMaskImage(int width, int height, const uint32_t* maskBits, int blurWidth,
                                   int blurHeight, double* factors) {
    TraceFunction("CDrawManager::SmoothMaskImage");
    if (!maskBits || !factors || blurWidth < 1 || blurHeight < 1) return;
    const int64_t padW64 = int64_t(width) + blurWidth - 1, padH64 = int64_t(height) + blurHeight - 1;
    if (!FitsPixels(width, height) || !FitsPixels(padW64, padH64)) return;
    const int padW = static_cast<int>(padW64), padH = static_cast<int>(padH64);
    const int left = blurWidth / 2, top = blurHeight / 2;
    std::vector<int64_t> padded(size_t(padW) * size_t(padH), 255);
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            padded[size_t(y + top) * padW + x + left] = maskBits[size_t(y) * width + x] & 0xFF;
    // Row sums first (padH rows of width sums), then column sums of those.
    std::vector<int64_t> rowSums(size_t(padW) * size_t(padH));
    for (int y = 0; y < padH; ++y)
        GetPartialSums(&padded[size_t(y) * padW], padW, blurWidth, 1, &rowSums[size_t(y) * padW]);
    std::vector<int64_t> boxSums(size_t(padW) * size_t(height));
    for (int x = 0; x < width; ++x)
        GetPartialSums(&rowSums[x], padH, blurHeight, padW, &boxSums[x]);
    const double divisor = double(blurWidth) * blurHeight * 255;
    for (int y = 0; y < height; ++y)
        for (int x = 0; x < width; ++x)
            factors[size_t(y) * width + x] = boxSums[size_t(y) * padW + x] / divisor;
}

void CDrawManager::GetPartialSums(const int64_t* values, int count, int window, int stride, int64_t* sums) {
    TraceFunction("CDrawManager::GetPartialSums");
    if (!values || !sums || window < 1 || count < window || stride < 1) return;
    int64_t sum = 0;
    for (int i = 0; i < window; ++i)
        sum += values[size_t(i) * stride];
    sums[0] = sum;
    for (int k = 1; k + window <= count; ++k) {
        sum += values[size_t(k + window - 1) * stride] - values[size_t(k - 1) * stride];
        sums[size_t(k) * stride] = sum;
    }
}

void CDrawManager::MultipleCopy(HDC dc, int x, int y, int width, int height, HDC source, int sourceX,
                                int sourceY, int tileWidth, int tileHeight) {
    TraceFunction("CDrawManager::MultipleCopy");
    if (!dc || !source || width <= 0 || height <= 0 || tileWidth <= 0 || tileHeight <= 0) return;
    const int64_t right = int64_t(x) + width, bottom = int64_t(y) + height;
    RECT area{x, y, static_cast<LONG>(std::min<int64_t>(right, INT32_MAX)),
              static_cast<LONG>(std::min<int64_t>(bottom, INT32_MAX))};
    // Only tiles that can show are copied: a huge area with small tiles stays cheap.
    const RECT part = DrawnPart(dc, area);
    if (::IsRectEmpty(&part)) return;
    const int64_t firstX = x + (int64_t(part.left) - x) / tileWidth * tileWidth;
    const int64_t firstY = y + (int64_t(part.top) - y) / tileHeight * tileHeight;
    for (int64_t ty = firstY; ty < part.bottom; ty += tileHeight) {
        const int ch = static_cast<int>(std::min<int64_t>(tileHeight, bottom - ty));
        for (int64_t tx = firstX; tx < part.right; tx += tileWidth) {
            const int cw = static_cast<int>(std::min<int64_t>(tileWidth, right - tx));
            ::BitBlt(dc, static_cast<int>(tx), static_cast<int>(ty), cw, ch, source, sourceX, sourceY,
                     SRCCOPY);
        }
    }
}

void CDrawManager::DrawLine(HDC dc, int x1, int y1, int x2, int y2, COLORREF colour, int penType, int width) {
    TraceFunction("CDrawManager::DrawLine");
    const int style = PenStyle(penType);
    if (!dc || width <= 0 || style < 0) return;
    const POINT line[] = {{x1, y1}, {x2, y2}};
    StrokeLines(dc, line, 2, colour, style, width);
    if (penType == kPenDouble) {
        const int dx = x1 == x2 ? 2 * width : 0, dy = x1 == x2 ? 0 : 2 * width;
        const POINT second[] = {{x1 + dx, y1 + dy}, {x2 + dx, y2 + dy}};
        StrokeLines(dc, second, 2, colour, style, width);
    }
}

void CDrawManager::DrawRectangle1(HDC dc, const RECT& rect, COLORREF light, COLORREF dark, int penType,
                                  int width) {
    TraceFunction("CDrawManager::DrawRectangle1");
    const int style = PenStyle(penType);
    if (!dc || width <= 0 || style < 0) return;
    StrokeEdges(dc, rect, light, dark, style, width);
    if (penType == kPenDouble) {
        RECT inner = rect;
        ::InflateRect(&inner, -2 * width, -2 * width);
        StrokeEdges(dc, inner, light, dark, style, width);
    }
}

void CDrawManager::DrawRectangle2(HDC dc, int left, int top, int right, int bottom, COLORREF light,
                                  COLORREF dark, int penType, int width) {
    TraceFunction("CDrawManager::DrawRectangle2");
    DrawRectangle1(dc, RECT{left, top, right, bottom}, light, dark, penType, width);
}

void CDrawManager::FillGradient(HDC dc, const RECT& rect, COLORREF start, COLORREF end, bool horizontal) {
    TraceFunction("CDrawManager::FillGradient");
    if (!dc || rect.right <= rect.left || rect.bottom <= rect.top) return;
    const int64_t size = horizontal ? int64_t(rect.right) - rect.left : int64_t(rect.bottom) - rect.top;
    const int64_t origin = horizontal ? rect.left : rect.top;
    for (int i = 0; i < 64; ++i) {
        const int64_t from = origin + i * size / 64, to = origin + (i + 1) * size / 64;
        if (to <= from) continue;
        RECT band = rect;
        if (horizontal) {
            band.left = static_cast<LONG>(from);
            band.right = static_cast<LONG>(to);
        } else {
            band.top = static_cast<LONG>(from);
            band.bottom = static_cast<LONG>(to);
        }
        FillSolid(dc, band, Mix(start, 64 - i, end, i, 64));
    }
}

void CDrawManager::FillEffect(HDC dc, int effect, const RECT& rect, COLORREF start, COLORREF middle,
                              COLORREF end, int granularity, int highlight) {
    TraceFunction("CDrawManager::FillEffect");
    if (!dc || rect.right <= rect.left || rect.bottom <= rect.top) return;
    const bool horizontal = effect % 2 == 1;
    RECT first = rect, second = rect;
    if (horizontal)
        first.right = second.left = static_cast<LONG>(rect.left + (int64_t(rect.right) - rect.left) / 2);
    else
        first.bottom = second.top = static_cast<LONG>(rect.top + (int64_t(rect.bottom) - rect.top) / 2);
    switch (effect) {
    case kFillHGradient:
    case kFillVGradient: FillGradient(dc, rect, start, end, horizontal); break;
    case kFillHCGradient:
    case kFillVCGradient:
        FillGradient(dc, first, start, end, horizontal);
        FillGradient(dc, second, end, start, horizontal);
        break;
    case kFill3HGradient:
    case kFill3VGradient:
        FillGradient(dc, first, start, middle, horizontal);
        FillGradient(dc, second, middle, end, horizontal);
        break;
    default:
        if (effect >= kFillNoise && effect <= kFillMetal) {
            const RECT drawn = DrawnPart(dc, rect);
            if (!::IsRectEmpty(&drawn) &&
                SetShade(rect, effect, granularity, highlight, start, middle, end, &drawn))
                m_dib.Draw(dc, drawn.left, drawn.top);
        } else {
            FillSolid(dc, rect, start);
        }
    }
}

bool CDrawManager::SetShade(const RECT& rect, int effect, int granularity, int highlight, COLORREF start,
                            COLORREF middle, COLORREF end, const RECT* drawn) {
    TraceFunction("CDrawManager::SetShade");
    if (effect < kFillNoise || effect > kFillMetal) return false;
    RECT part = rect;
    if (drawn && !::IntersectRect(&part, &rect, drawn)) return false;
    const int64_t w = int64_t(rect.right) - rect.left, h = int64_t(rect.bottom) - rect.top;
    const int pw = part.right - part.left, ph = part.bottom - part.top;
    if (w <= 0 || h <= 0 || !FitsPixels(pw, ph) || !m_dib.Create(pw, ph, 8)) return false;

    for (int l = 0; l <= 128; ++l) {
        const COLORREF c = Mix(end, 128 - l, middle, l, 128);
        m_dib.SetPaletteEntry(l, GetRValue(c), GetGValue(c), GetBValue(c));
    }
    for (int i = 1; i <= 128; ++i) {
        const COLORREF c = Mix(middle, 128 - i, start, i, 128);
        m_dib.SetPaletteEntry(127 + i, GetRValue(c), GetGValue(c), GetBValue(c));
    }
    m_dib.BlendPalette(start, highlight);

    // Beyond 127 the shades run backwards and the noise divisor reaches zero.
    const int g = std::clamp(granularity, 0, 127);
    const int divisor = g ? 32767 / (2 * g) : 32767;
    auto noise = [&] { return Random() / divisor - g; };
    auto bump = [](int64_t t, int64_t scale) {
        return (t - 127) * (t - 127) * (t - 127) / 16384 * scale / 128;
    };
    const int64_t ox = int64_t(part.left) - rect.left, oy = int64_t(part.top) - rect.top;
    BYTE* bits = m_dib.GetBits();
    const int stride = m_dib.GetLineWidth();
    auto row = [&](int y) { return bits + size_t(ph - 1 - y) * stride; };
    auto put = [](BYTE* p, int64_t v) { *p = static_cast<BYTE>(std::clamp<int64_t>(v, 0, 255)); };

    if (effect == kFillMetal) {
        m_dib.Clear(0);
        // Strokes run parallel to the rectangle's diagonal, so long flat cells get long strokes.
        for (int s = 0; s < 200; ++s) {
            const int64_t sx = Random() * w / 32768, sy = Random() * h / 32768;
            const int64_t length = 1 + Random() * (w / 2 + 1) / 32768;
            const int brightness = Random() % 41;
            const int64_t from = std::max<int64_t>(0, ox - sx), to = std::min<int64_t>(length, ox + pw - sx);
            for (int64_t k = from; k < to; ++k) {
                const int64_t y = sy + k * h / w - oy;
                if (y >= 0 && y < ph) row(static_cast<int>(y))[sx + k - ox] = static_cast<BYTE>(brightness);
            }
        }
    }
    const int64_t range = 255 - 2 * g;
    const int64_t rim = std::min<int64_t>(w / 6, 16);
    for (int py = 0; py < ph; ++py) {
        BYTE* out = row(py);
        const int64_t y = oy + py, ty = 255 * y / h;
        for (int px = 0; px < pw; ++px) {
            const int64_t x = ox + px, tx = 255 * (w - x) / w;
            int64_t v = 0;
            switch (effect) {
            case kFillNoise: v = 128 + noise(); break;
            case kFillDiagShade: v = g + (y * range / 2) / h + (x * range / 2) / w + noise(); break;
            case kFillHShade: v = g + y * range / h + noise(); break;
            case kFillVShade: v = g + (w - x) * range / w + noise(); break;
            case kFillHBump: v = bump(ty, 128 - g) + 128 + noise(); break;
            case kFillVBump: v = bump(tx, 128 - g) + 128 + noise(); break;
            case kFillSoftBump:
                v = ((ty - 127) * (ty - 127) * (ty - 127) / 16384 +
                     (tx - 127) * (tx - 127) * (tx - 127) / 16384) *
                        (128 - g) / 128 +
                    128;
                v = std::clamp<int64_t>(v, g, 255 - g) + noise();
                break;
            case kFillHardBump: {
                v = (ty - 127) * (ty - 127) * (ty - 127) / 16384 * (64 - g) * 2 / 128 + 128 + noise();
                if (rim <= 0) break;
                // Inside the outer ellipse of the rectangle and outside the one a rim's width
                // further in: upper left catches the light, lower right lies in shade.
                const double a = w / 2.0, b = h / 2.0, u = x + 0.5 - a, t = y + 0.5 - b;
                const double ia = a - rim, ib = b - rim;
                const bool inOuter = (u * u) / (a * a) + (t * t) / (b * b) <= 1;
                const bool inInner = ia > 0 && ib > 0 && (u * u) / (ia * ia) + (t * t) / (ib * ib) <= 1;
                if (inOuter && !inInner) v += (u / a + t / b < 0 ? 1 : -1) * (128 - g) / 2;
                break;
            }
            case kFillMetal:
                v = out[px] + (y * (range - 40) / 2) / h + (x * (range - 40) / 2) / w + noise() + g;
                break;
            }
            put(out + px, v);
        }
    }
    return true;
}

SIZE CDrawManager::GetSizeOfBitmap(HBITMAP bitmap) {
    TraceFunction("CDrawManager::GetSizeOfBitmap");
    BITMAP bm{};
    if (!bitmap || !::GetObjectA(bitmap, sizeof bm, &bm)) return SIZE{0, 0};
    return SIZE{bm.bmWidth, bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight};
}

SIZE CDrawManager::GetSizeOfIcon(HICON icon) {
    TraceFunction("CDrawManager::GetSizeOfIcon");
    CIconInfo info;
    if (!info.Get(icon)) return SIZE{0, 0};
    const POINT hot = info.HotSpot();
    return SIZE{hot.x * 2, hot.y * 2};
}
