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

namespace vorlan {

// ---- stretching with the frame

// One child of the form for its minimum size: stretchable ones count with their top left
// corner plus 10 pixels, others with their right and bottom edge.
struct MinSizeItem {
    PixelRect rect;
    bool stretches;
};
PixelSize MinSize(const std::vector<MinSizeItem>& children);

// Where a stretchable control goes for the form's new right and bottom edge: it stretches
// towards each edge of the layout that it touches, keeping its own left and top edge. False
// when it touches neither (it stays).
bool StretchRect(const PixelRect& layoutRect, int layoutRight, int layoutBottom, const PixelRect& current,
                 int right, int bottom, PixelRect& out);

// Whether a stretchable control keeps stretching once the layout is done: one that touches the
// layout's right or bottom edge does. The grid follows the form record's piece 8 instead when
// that says -1 (never) or 1 (always).
bool KeepsStretching(bool isGrid, int gridResize, const PixelRect& rect, int layoutRight, int layoutBottom);

// The form narrower by what the grid's columns leave empty: true when the right edge moved.
bool NarrowForGrid(PixelRect& proposed, int columnsWidth, int gridClientRight);

// A popup list below its field (above when it does not fit below), kept on the screen.
PixelRect PlacePopupList(const PixelRect& field, PixelSize list, const PixelRect& screen);

} // namespace vorlan
