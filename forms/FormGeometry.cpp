#include "forms/FormGeometry.h"

#include <algorithm>
#include <climits>
#include <cstdint>

namespace vorlan {

PixelRect FitPicture(PixelSize picture, PixelSize client) {
    if (picture.cx <= 0 || picture.cy <= 0 || client.cx <= 0 || client.cy <= 0) return PixelRect{0, 0, 0, 0};
    int64_t width = client.cx;
    int64_t height = int64_t(picture.cy) * client.cx / picture.cx;
    if (height > client.cy) {
        height = client.cy;
        width = int64_t(picture.cx) * client.cy / picture.cy;
    }
    int left = static_cast<int>((client.cx - width) / 2);
    int top = static_cast<int>((client.cy - height) / 2);
    return PixelRect{left, top, left + static_cast<int>(width), top + static_cast<int>(height)};
}

PixelRect KeepOnScreen(PixelRect r, const PixelRect& screen) {
    int dx = 0, dy = 0;
    if (r.right > screen.right) dx = screen.right - r.right;
    if (r.bottom > screen.bottom) dy = screen.bottom - r.bottom;
    if (r.left + dx < screen.left) dx = screen.left - r.left;
    if (r.top + dy < screen.top) dy = screen.top - r.top;
    return PixelRect{r.left + dx, r.top + dy, r.right + dx, r.bottom + dy};
}

PixelRect PlaceZoomed(int x, int y, PixelSize natural, const PixelRect& screen) {
    int width = natural.cx < screen.Width() ? natural.cx : screen.Width();
    int height = natural.cy < screen.Height() ? natural.cy : screen.Height();
    return KeepOnScreen(PixelRect{x, y, x + width, y + height}, screen);
}

PixelRect PlaceToolTip(int anchorX, int anchorY, PixelSize size, bool above, const PixelRect& screen) {
    int top = above ? anchorY - size.cy : anchorY;
    return KeepOnScreen(PixelRect{anchorX, top, anchorX + size.cx, top + size.cy}, screen);
}

std::vector<std::string> SplitToolTipLines(const char* text) {
    std::vector<std::string> lines(1);
    for (const char* p = text ? text : ""; *p; ++p) {
        auto c = static_cast<unsigned char>(*p);
        if (c >= 32 || c == '\t') {
            lines.back() += *p;
        } else if (!(c == '\n' && p > text && p[-1] == '\r')) {
            lines.emplace_back();
        }
    }
    return lines;
}

int PictureNumber(const char* text) {
    if (!text || !*text) return 0;
    long long n = 0;
    for (const char* p = text; *p; ++p) {
        if (*p < '0' || *p > '9') return 0;
        n = n * 10 + (*p - '0');
        if (n > INT_MAX - 99) return 0;
    }
    return static_cast<int>(n);
}

} // namespace vorlan

namespace vorlan {

PixelSize MinSize(const std::vector<MinSizeItem>& children) {
    int width = 0, height = 0;
    for (const MinSizeItem& c : children) {
        width = std::max(width, c.stretches ? c.rect.left + 10 : c.rect.right);
        height = std::max(height, c.stretches ? c.rect.top + 10 : c.rect.bottom);
    }
    return PixelSize{width + 10, height + 10};
}

bool StretchRect(const PixelRect& layoutRect, int layoutRight, int layoutBottom, const PixelRect& current,
                 int right, int bottom, PixelRect& out) {
    bool touchesRight = layoutRect.right >= layoutRight;
    bool touchesBottom = layoutRect.bottom >= layoutBottom;
    if (!touchesRight && !touchesBottom) return false;
    out = current;
    // Never turned inside out by a frame smaller than the control's own corner.
    if (touchesRight) out.right = std::max(right, current.left + 1);
    if (touchesBottom) out.bottom = std::max(bottom, current.top + 1);
    return true;
}

bool NarrowForGrid(PixelRect& proposed, int columnsWidth, int gridClientRight) {
    if (columnsWidth >= gridClientRight) return false;
    proposed.right += columnsWidth - gridClientRight;
    return true;
}

bool KeepsStretching(bool isGrid, int gridResize, const PixelRect& rect, int layoutRight, int layoutBottom) {
    if (isGrid && (gridResize == -1 || gridResize == 1)) return gridResize == 1;
    return rect.right >= layoutRight || rect.bottom >= layoutBottom;
}

PixelRect PlacePopupList(const PixelRect& field, PixelSize list, const PixelRect& screen) {
    PixelRect r{field.left, field.bottom, field.left + list.cx, field.bottom + list.cy};
    if (r.bottom > screen.bottom && field.top - list.cy >= screen.top)
        r = PixelRect{field.left, field.top - list.cy, field.left + list.cx, field.top};
    return KeepOnScreen(r, screen);
}

} // namespace vorlan
