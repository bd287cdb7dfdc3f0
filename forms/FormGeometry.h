#pragma once
// Placement arithmetic and text rules of the form's own controls, without windows: the
// picture field's fit and zoom, the tooltip's lines and place, the picture numbers.

#include <string>
#include <vector>

namespace vorlan {

struct PixelSize {
    int cx;
    int cy;
};

struct PixelRect {
    int left;
    int top;
    int right;
    int bottom;
    int Width() const { return right - left; }
    int Height() const { return bottom - top; }
    bool operator==(const PixelRect& o) const {
        return left == o.left && top == o.top && right == o.right && bottom == o.bottom;
    }
};

// The picture scaled to the client's width keeping its aspect ratio, smaller still when that
// is too high, centred in the client area (whose top left is 0,0). Empty for an empty picture.
PixelRect FitPicture(PixelSize picture, PixelSize client);

// The rectangle moved left and up as far as it sticks out right of or below the screen, and
// then right and down as far as it sticks out left of or above it.
PixelRect KeepOnScreen(PixelRect r, const PixelRect& screen);
// A zoomed picture window: at the origin in its natural size, no larger than the screen,
// kept on it.
PixelRect PlaceZoomed(int x, int y, PixelSize natural, const PixelRect& screen);
// A tooltip at its anchor, or just above it, kept on the screen.
PixelRect PlaceToolTip(int anchorX, int anchorY, PixelSize size, bool above, const PixelRect& screen);

// A tooltip's text cut into lines at control characters (tabs stay; CR LF is one break).
std::vector<std::string> SplitToolTipLines(const char* text);

// The resource number a form's picture text names: the text is a whole number other than 0.
// 0 for anything else (a picture file).
int PictureNumber(const char* text);

} // namespace vorlan
