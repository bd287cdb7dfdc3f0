#include "services/PrintPreviewMath.h"

#include <algorithm>
#include <cctype>
#include <climits>

namespace preview {

int ClampZoom(int percent) {
    return std::clamp(percent, kZoomMin, kZoomMax);
}

int SteppedZoom(int effective, int steps) {
    long long z = static_cast<long long>(effective) + static_cast<long long>(steps) * kZoomStep;
    return static_cast<int>(std::clamp<long long>(z, kZoomMin, kZoomMax));
}

std::optional<int> ParseZoomText(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    long long value = 0;
    size_t digits = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        if (value <= kZoomMax) value = value * 10 + (text[i] - '0');
        ++i;
        ++digits;
    }
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (i < text.size() && text[i] == '%') ++i;
    while (i < text.size() && text[i] == ' ')
        ++i;
    if (digits == 0 || i != text.size() || value < kZoomMin || value > kZoomMax) return std::nullopt;
    return static_cast<int>(value);
}

int ClampPage(int page, int minPage, int maxPage) {
    if (maxPage < minPage) maxPage = minPage;
    return std::clamp(page, minPage, maxPage);
}

int ClampUserValue(int value) {
    return std::clamp(value, kUserValueMin, kUserValueMax);
}

int ParseNumber(const std::string& text) {
    size_t i = 0;
    while (i < text.size() && text[i] == ' ')
        ++i;
    bool negative = i < text.size() && text[i] == '-';
    if (negative) ++i;
    long long value = 0;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) {
        if (value < INT_MAX) value = value * 10 + (text[i] - '0');
        ++i;
    }
    value = std::min<long long>(value, INT_MAX);
    return static_cast<int>(negative ? -value : value);
}

int PrinterToScreen(int dots, int printerDpi, int screenDpi) {
    if (printerDpi <= 0 || screenDpi <= 0) return dots;
    long long perScreen = static_cast<long long>(printerDpi) * 1000 / screenDpi;
    if (perScreen <= 0) return dots;
    return static_cast<int>(static_cast<long long>(dots) * 1000 / perScreen);
}

int MarginRatio(int paper, int margin) {
    return static_cast<int>(static_cast<long long>(paper) * 1000 / std::max(margin, 1));
}

int MarginFromRatio(int extent, int ratio) {
    if (ratio <= 0) return 0;
    return static_cast<int>(static_cast<long long>(extent) * 1000 / ratio);
}

PaperGeometry ComputeGeometry(const PrinterMetrics& p, int screenDpiX, int screenDpiY) {
    PaperGeometry g;
    g.width = PrinterToScreen(p.physicalWidth, p.dpiX, screenDpiX);
    g.height = PrinterToScreen(p.physicalHeight, p.dpiY, screenDpiY);
    int pw = p.physicalWidth > 0 ? p.physicalWidth : 1;
    int ph = p.physicalHeight > 0 ? p.physicalHeight : 1;
    // The ratios are taken in printer dots, so they hold at every zoom.
    g.left = MarginRatio(pw, p.offsetX);
    g.top = MarginRatio(ph, p.offsetY);
    g.right = MarginRatio(pw, p.physicalWidth - p.printableWidth - p.offsetX);
    g.bottom = MarginRatio(ph, p.physicalHeight - p.printableHeight - p.offsetY);
    return g;
}

namespace {
int Scale(int size, int zoom) {
    return static_cast<int>(static_cast<long long>(size) * zoom / 100);
}
int ZoomToFit(int room, int size) {
    if (size <= 0) return 100;
    return ClampZoom(static_cast<int>(static_cast<long long>(std::max(room, 0)) * 100 / size));
}
} // namespace

PageLayout LayoutPage(int mode, int clientWidth, int clientHeight, int pageWidth, int pageHeight) {
    int roomX = clientWidth - 32;
    int roomY = clientHeight - 32;
    PageLayout l;
    if (mode == kZoomWholePage) {
        l.zoom = ZoomToFit(roomY, pageHeight);
        if (Scale(pageWidth, l.zoom) > roomX) l.zoom = ZoomToFit(roomX, pageWidth);
    } else if (mode == kZoomFitWidth) {
        l.zoom = ZoomToFit(roomX, pageWidth);
    } else {
        l.zoom = ClampZoom(mode);
    }
    l.width = Scale(pageWidth, l.zoom);
    l.height = Scale(pageHeight, l.zoom);
    return l;
}

int PageOrigin(int client, int scaled, int scrollPos) {
    int range = scaled + 31;
    if (client > range) return (client - scaled) / 2;
    return 16 - scrollPos;
}

PageRange PagesToPrint(bool selection, bool pageNumbers, int fromPage, int toPage, int currentPage,
                       int minPage, int maxPage) {
    if (maxPage < minPage) maxPage = minPage;
    PageRange r{minPage, maxPage};
    if (selection) {
        r.first = r.last = ClampPage(currentPage, minPage, maxPage);
    } else if (pageNumbers) {
        r.first = ClampPage(fromPage, minPage, maxPage);
        r.last = ClampPage(toPage, minPage, maxPage);
        if (r.last < r.first) r.last = r.first;
    }
    return r;
}

} // namespace preview
