#pragma once
// The label layout's drawing surface over a device context: fonts of the style, text,
// lines, rectangles, background effects and pictures through the draw manager. One canvas
// serves one pass; the context's font, colours and modes come back when the pass ends, and
// the fonts and pictures it made are deleted with it.

#include "controls/DrawManager.h"
#include "controls/HtmlCanvas.h"
#include "controls/HtmlPicture.h"
#include "framework/Gdi.h"

#include <windows.h>

#include <memory>
#include <string>
#include <vector>

// How the drawer's pictures throw their shadows.
struct HtmlShadow {
    int dx = html::kShadowOffsetX;
    int dy = html::kShadowOffsetY;
    int blurX = 7;
    int blurY = 7;
    bool gradient = true;
    COLORREF colour = 0x808080;
};

class CHtmlGdiCanvas : public html::Canvas {
  public:
    CHtmlGdiCanvas(HDC dc, CDrawManager& draw, const HtmlPictureSources& sources, const HtmlShadow& shadow,
                   bool enabled);
    ~CHtmlGdiCanvas() override;
    CHtmlGdiCanvas(const CHtmlGdiCanvas&) = delete;
    CHtmlGdiCanvas& operator=(const CHtmlGdiCanvas&) = delete;

    void BeginPass() override;
    void EndPass() override;
    html::FontMetrics SelectFont(const html::Style& style) override;
    int PixelsPerInchY() override;
    html::Size MeasureText(const std::string& text) override;
    void DrawText(int x, int y, const std::string& text, html::Colour colour, html::Colour back,
                  bool opaque) override;
    void DrawLine(int x1, int y1, int x2, int y2, html::Colour colour, int penType, int width) override;
    void DrawRectangle(const html::Rect& rect, html::Colour light, html::Colour dark, int penType,
                       int width) override;
    void FillEffect(const html::Rect& rect, int effect, html::Colour start, html::Colour mid,
                    html::Colour end) override;
    void DrawBackgroundPicture(const html::Rect& rect, const std::string& description) override;
    html::Size PictureSize(const html::Picture& picture) override;
    void DrawPicture(const html::Picture& picture, const html::Rect& rect, const std::string& effects,
                     bool disabled, html::Colour disabledColour) override;
    std::string StringResource(uint32_t id) override;

    // The font the style asks for.
    static LOGFONTA FontOf(const html::Style& style);
    // Effect flags of the letters "g", "d", "l" and "s".
    static UINT EffectFlags(const std::string& letters, bool gradientShadow);

  private:
    struct Font;
    static std::shared_ptr<const Font> SharedFont(HDC dc, const LOGFONTA& lf, int ppi, int mapMode);
    struct LoadedPicture {
        std::string key;
        CHtmlPicture picture;
    };
    const CHtmlPicture* Picture(const html::Picture& picture, SIZE iconSize);

    HDC m_hDC;
    CDrawManager& m_draw;
    HtmlPictureSources m_sources;
    HtmlShadow m_shadow;
    bool m_bEnabled;
    int m_nPixelsPerInch = 96;
    int m_nMapMode = MM_TEXT;
    // Declared before the saved state, so the fonts are let go after they left the context.
    std::vector<std::shared_ptr<const Font>> m_fonts;
    std::vector<std::unique_ptr<LoadedPicture>> m_pictures;
    std::unique_ptr<CSaveDC> m_saved;
};
