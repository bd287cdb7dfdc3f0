#include "controls/HtmlGdiCanvas.h"

#include "framework/App.h"
#include "framework/DibSection.h"

#include <cstring>
#include <mutex>

namespace {

// Granularity and highlight of the effects that fill tables and cells.
constexpr int kEffectGranularity = 5;
constexpr int kEffectHighlight = 0;

bool SameFont(const LOGFONTA& a, const LOGFONTA& b) {
    return a.lfHeight == b.lfHeight && a.lfWeight == b.lfWeight && a.lfItalic == b.lfItalic &&
           a.lfUnderline == b.lfUnderline && a.lfStrikeOut == b.lfStrikeOut &&
           std::strcmp(a.lfFaceName, b.lfFaceName) == 0;
}

// The height of the letter "x" itself; half the cell when the font has no outline for it.
int LetterXHeight(HDC dc, const TEXTMETRICA& tm) {
    GLYPHMETRICS gm{};
    const MAT2 identity{{0, 1}, {0, 0}, {0, 0}, {0, 1}};
    if (::GetGlyphOutlineA(dc, 'x', GGO_METRICS, &gm, 0, nullptr, &identity) != GDI_ERROR &&
        gm.gmBlackBoxY > 0)
        return static_cast<int>(gm.gmBlackBoxY);
    return tm.tmHeight / 2;
}

} // namespace

// The fonts of every label, shared: a form shows hundreds of labels in a handful of fonts, and
// making a font and its metrics costs more than laying out a label. Metrics hold for one
// resolution and mapping mode.
struct CHtmlGdiCanvas::Font {
    LOGFONTA logFont;
    int ppi;
    int mapMode;
    CFont font;
    html::FontMetrics metrics;

    bool Fits(const LOGFONTA& lf, int p, int m) const {
        return ppi == p && mapMode == m && SameFont(logFont, lf);
    }
};

std::shared_ptr<const CHtmlGdiCanvas::Font> CHtmlGdiCanvas::SharedFont(HDC dc, const LOGFONTA& lf, int ppi,
                                                                       int mapMode) {
    // Fonts still selected somewhere are held by their canvas as well, so only idle ones go.
    constexpr size_t kKeep = 48, kMost = 64;
    static std::mutex lock;
    static std::vector<std::shared_ptr<Font>> fonts;
    std::lock_guard<std::mutex> guard(lock);
    for (const auto& font : fonts)
        if (font->Fits(lf, ppi, mapMode)) return font;
    auto font = std::make_shared<Font>();
    font->logFont = lf;
    font->ppi = ppi;
    font->mapMode = mapMode;
    if (!font->font.CreateFontIndirect(lf)) return nullptr;
    {
        CSelectedObject probe(dc, font->font);
        TEXTMETRICA tm{};
        ::GetTextMetricsA(dc, &tm);
        font->metrics.ascent = tm.tmAscent;
        font->metrics.descent = tm.tmDescent;
        font->metrics.height = tm.tmHeight;
        font->metrics.xHeight = LetterXHeight(dc, tm);
    }
    if (fonts.size() >= kMost) {
        for (size_t i = 0; i < fonts.size() && fonts.size() > kKeep;) {
            if (fonts[i].use_count() == 1)
                fonts.erase(fonts.begin() + static_cast<std::ptrdiff_t>(i));
            else
                ++i;
        }
    }
    fonts.push_back(font);
    return font;
}

namespace {

RECT ToRect(const html::Rect& r) {
    return RECT{r.left, r.top, r.right, r.bottom};
}

} // namespace

CHtmlGdiCanvas::CHtmlGdiCanvas(HDC dc, CDrawManager& draw, const HtmlPictureSources& sources,
                               const HtmlShadow& shadow, bool enabled)
    : m_hDC(dc), m_draw(draw), m_sources(sources), m_shadow(shadow), m_bEnabled(enabled) {}

CHtmlGdiCanvas::~CHtmlGdiCanvas() {
    EndPass();
}

void CHtmlGdiCanvas::BeginPass() {
    if (m_saved) return;
    m_saved = std::make_unique<CSaveDC>(m_hDC);
    m_nPixelsPerInch = ::GetDeviceCaps(m_hDC, LOGPIXELSY);
    if (m_nPixelsPerInch <= 0) m_nPixelsPerInch = 96;
    m_nMapMode = ::GetMapMode(m_hDC);
}

void CHtmlGdiCanvas::EndPass() {
    m_saved.reset();
    m_fonts.clear();
    m_pictures.clear();
}

LOGFONTA CHtmlGdiCanvas::FontOf(const html::Style& style) {
    LOGFONTA lf{};
    lf.lfHeight = style.fontHeight;
    lf.lfWeight = style.weight;
    lf.lfItalic = style.italic ? TRUE : FALSE;
    lf.lfUnderline = style.underline ? TRUE : FALSE;
    lf.lfStrikeOut = style.strikeout ? TRUE : FALSE;
    lf.lfCharSet = DEFAULT_CHARSET;
    lf.lfOutPrecision = OUT_DEFAULT_PRECIS;
    lf.lfClipPrecision = CLIP_DEFAULT_PRECIS;
    lf.lfQuality = DEFAULT_QUALITY;
    lf.lfPitchAndFamily = DEFAULT_PITCH | FF_DONTCARE;
    std::strncpy(lf.lfFaceName, style.face.c_str(), LF_FACESIZE - 1);
    return lf;
}

html::FontMetrics CHtmlGdiCanvas::SelectFont(const html::Style& style) {
    BeginPass();
    const LOGFONTA lf = FontOf(style);
    std::shared_ptr<const Font> found;
    for (const auto& font : m_fonts)
        if (font->Fits(lf, m_nPixelsPerInch, m_nMapMode)) found = font;
    if (!found) {
        found = SharedFont(m_hDC, lf, m_nPixelsPerInch, m_nMapMode);
        if (!found) return html::FontMetrics{};
        m_fonts.push_back(found);
    }
    ::SelectObject(m_hDC, found->font);
    return found->metrics;
}

int CHtmlGdiCanvas::PixelsPerInchY() {
    BeginPass();
    return m_nPixelsPerInch;
}

html::Size CHtmlGdiCanvas::MeasureText(const std::string& text) {
    SIZE size{0, 0};
    if (!text.empty()) ::GetTextExtentPoint32A(m_hDC, text.data(), static_cast<int>(text.size()), &size);
    return html::Size{size.cx, size.cy};
}

void CHtmlGdiCanvas::DrawText(int x, int y, const std::string& text, html::Colour colour, html::Colour back,
                              bool opaque) {
    if (text.empty()) return;
    ::SetTextColor(m_hDC, colour);
    ::SetBkColor(m_hDC, back);
    ::SetBkMode(m_hDC, opaque ? OPAQUE : TRANSPARENT);
    ::TextOutA(m_hDC, x, y, text.data(), static_cast<int>(text.size()));
}

void CHtmlGdiCanvas::DrawLine(int x1, int y1, int x2, int y2, html::Colour colour, int penType, int width) {
    m_draw.DrawLine(m_hDC, x1, y1, x2, y2, colour, penType, width);
}

void CHtmlGdiCanvas::DrawRectangle(const html::Rect& rect, html::Colour light, html::Colour dark, int penType,
                                   int width) {
    m_draw.DrawRectangle1(m_hDC, ToRect(rect), light, dark, penType, width);
}

void CHtmlGdiCanvas::FillEffect(const html::Rect& rect, int effect, html::Colour start, html::Colour mid,
                                html::Colour end) {
    m_draw.FillEffect(m_hDC, effect, ToRect(rect), start, mid, end, kEffectGranularity, kEffectHighlight);
}

void CHtmlGdiCanvas::DrawBackgroundPicture(const html::Rect& rect, const std::string& description) {
    if (!m_bEnabled || rect.Width() <= 0 || rect.Height() <= 0) return;
    CHtmlPicture picture;
    if (!picture.LoadBackground(html::ReadBackgroundPicture(description), m_sources)) return;
    SIZE tile = picture.Size();
    if (tile.cx <= 0 || tile.cy <= 0) return;
    CBitmapDC source(m_hDC, picture.Bitmap());
    if (!source.IsValid()) return;
    m_draw.MultipleCopy(m_hDC, rect.left, rect.top, rect.Width(), rect.Height(), source, 0, 0, tile.cx,
                        tile.cy);
}

const CHtmlPicture* CHtmlGdiCanvas::Picture(const html::Picture& picture, SIZE iconSize) {
    // The same picture is asked for its size and then drawn; it is loaded once per pass.
    std::string key =
        std::to_string(picture.kind) + '|' + (picture.hasIdres ? std::to_string(picture.idres) : "") + '|' +
        picture.file + '|' + (picture.hasIddll ? std::to_string(picture.iddll) : "") + '|' + picture.srcdll +
        '|' + (picture.hasHandle ? std::to_string(picture.handle) : "") + '|' +
        std::to_string(picture.index) + '|' + std::to_string(iconSize.cx) + 'x' + std::to_string(iconSize.cy);
    for (auto& loaded : m_pictures)
        if (loaded->key == key) return loaded->picture.IsEmpty() ? nullptr : &loaded->picture;
    auto loaded = std::make_unique<LoadedPicture>();
    loaded->key = key;
    loaded->picture.Load(picture, iconSize, m_sources);
    m_pictures.push_back(std::move(loaded));
    const CHtmlPicture& result = m_pictures.back()->picture;
    return result.IsEmpty() ? nullptr : &result;
}

html::Size CHtmlGdiCanvas::PictureSize(const html::Picture& picture) {
    const SIZE systemIcon{::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON)};
    const CHtmlPicture* loaded = Picture(picture, systemIcon);
    if (!loaded) return html::Size{};
    if (picture.kind == html::kTagIcon) return html::Size{systemIcon.cx, systemIcon.cy};
    if (picture.kind == html::kTagImageList) {
        if (loaded->Icon()) {
            SIZE size = loaded->Size();
            return html::Size{size.cx, size.cy};
        }
        return html::Size{picture.cx > 0 ? picture.cx : systemIcon.cx,
                          picture.cy > 0 ? picture.cy : systemIcon.cy};
    }
    SIZE size = loaded->Size();
    return html::Size{size.cx, size.cy};
}

UINT CHtmlGdiCanvas::EffectFlags(const std::string& letters, bool gradientShadow) {
    UINT flags = 0;
    for (char c : letters) {
        switch (c | 0x20) {
        case 'g': flags |= CDrawManager::kEffectGray; break;
        case 'd': flags |= CDrawManager::kEffectDarken; break;
        case 'l': flags |= CDrawManager::kEffectLighten; break;
        case 's':
            flags |= gradientShadow ? CDrawManager::kEffectGradientShadow : CDrawManager::kEffectShadow;
            break;
        default: break;
        }
    }
    return flags;
}

void CHtmlGdiCanvas::DrawPicture(const html::Picture& picture, const html::Rect& rect,
                                 const std::string& effects, bool disabled, html::Colour disabledColour) {
    const int width = rect.Width(), height = rect.Height();
    if (width <= 0 || height <= 0) return;
    const CHtmlPicture* loaded = Picture(picture, SIZE{width, height});
    if (!loaded) return;

    UINT flags = EffectFlags(effects, m_shadow.gradient);
    const UINT shadowFlags = CDrawManager::kEffectShadow | CDrawManager::kEffectGradientShadow;
    COLORREF fill = 0;
    if (disabled) {
        // A disabled picture is a silhouette in the disabled colour; its shadow stays.
        flags = (flags & shadowFlags) | CDrawManager::kEffectFill;
        fill = disabledColour;
    }
    const bool shadow = (flags & shadowFlags) != 0;
    const HtmlShadow& s = m_shadow;
    if (loaded->Icon()) {
        m_draw.DrawIcon(m_hDC, rect.left, rect.top, width, height, loaded->Icon(), flags, shadow, s.dx, s.dy,
                        s.blurX, s.blurY, s.colour, fill);
    } else if (picture.kind == html::kTagImageList) {
        const int cx = picture.cx > 0 ? picture.cx : ::GetSystemMetrics(SM_CXICON);
        const int cy = picture.cy > 0 ? picture.cy : ::GetSystemMetrics(SM_CYICON);
        m_draw.DrawImageList(m_hDC, rect.left, rect.top, width, height, loaded->Bitmap(),
                             static_cast<int>(picture.index), cx, cy, true, flags, shadow, s.dx, s.dy,
                             s.blurX, s.blurY, s.colour, fill);
    } else {
        m_draw.DrawBitmap(m_hDC, rect.left, rect.top, width, height, loaded->Bitmap(), true, picture.mask,
                          flags, shadow, s.dx, s.dy, s.blurX, s.blurY, s.colour, fill);
    }
}

std::string CHtmlGdiCanvas::StringResource(uint32_t id) {
    if (id > 0xFFFF) return std::string();
    // With no buffer the string's own memory is answered, so any length is read whole.
    const wchar_t* text = nullptr;
    int length = ::LoadStringW(AfxGetResourceHandle(), id, reinterpret_cast<LPWSTR>(&text), 0);
    if (length <= 0 || !text) return std::string();
    int bytes = ::WideCharToMultiByte(CP_ACP, 0, text, length, nullptr, 0, nullptr, nullptr);
    if (bytes <= 0) return std::string();
    std::string out(static_cast<size_t>(bytes), '\0');
    ::WideCharToMultiByte(CP_ACP, 0, text, length, &out[0], bytes, nullptr, nullptr);
    return out;
}
