#pragma once
// What the label layout draws through. The Windows side implements it over a device context
// (fonts, TextOut, pens, the draw manager's effects, pictures); tests implement it with fixed
// metrics. Coordinates are device pixels of the surface.

#include "controls/HtmlMarkup.h"

#include <string>

namespace html {

struct FontMetrics {
    int ascent = 0;
    int descent = 0;
    int height = 0;  // character cell height
    int xHeight = 0; // height of the letter "x"
};

class Canvas {
  public:
    virtual ~Canvas() = default;

    // A layout pass begins and ends: the surface's font, colours and background mode are
    // saved at the beginning and given back at the end.
    virtual void BeginPass() {}
    virtual void EndPass() {}

    // Builds the font of the style (height, weight, italic, underline, strike-out, face),
    // selects it and answers its metrics.
    virtual FontMetrics SelectFont(const Style& style) = 0;
    virtual int PixelsPerInchY() = 0;
    // Extent of a run in the selected font.
    virtual Size MeasureText(const std::string& text) = 0;
    // A run at x, y (its top left) in the selected font; opaque fills its box with back.
    virtual void DrawText(int x, int y, const std::string& text, Colour colour, Colour back, bool opaque) = 0;

    // A line of a pen type (kPen...) and width; width 0 draws nothing.
    virtual void DrawLine(int x1, int y1, int x2, int y2, Colour colour, int penType, int width) = 0;
    // A rectangle's outline: top and left in light, bottom and right in dark.
    virtual void DrawRectangle(const Rect& rect, Colour light, Colour dark, int penType, int width) = 0;
    // A background effect (0 solid ... 15 metal) over the rectangle.
    virtual void FillEffect(const Rect& rect, int effect, Colour start, Colour mid, Colour end) = 0;
    // The bitmap of a background picture description tiled over the rectangle.
    virtual void DrawBackgroundPicture(const Rect& rect, const std::string& description) = 0;

    // A picture's own size (for a strip: of one image); 0 x 0 when it cannot be loaded.
    virtual Size PictureSize(const Picture& picture) = 0;
    // The picture stretched to the rectangle with its effect letters ("g", "d", "l", "s");
    // a shadow falls outside the rectangle by the shadow offsets. Disabled pictures are
    // filled with the disabled colour instead of their other effects.
    virtual void DrawPicture(const Picture& picture, const Rect& rect, const std::string& effects,
                             bool disabled, Colour disabledColour) = 0;

    // The program's string resource; empty when there is none.
    virtual std::string StringResource(uint32_t id) = 0;
};

// How far a picture's shadow falls to the right and down.
constexpr int kShadowOffsetX = 4;
constexpr int kShadowOffsetY = 4;

} // namespace html
