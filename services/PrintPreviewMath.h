#pragma once
// The print preview's arithmetic, without windows: zoom steps and layout, page and user value
// limits, paper geometry and the pages a print run covers.

#include <optional>
#include <string>

namespace preview {

constexpr int kZoomMin = 5;
constexpr int kZoomMax = 1000;
constexpr int kZoomStep = 33;
constexpr int kZoomFitWidth = -1;
constexpr int kZoomWholePage = -2;
constexpr int kUserValueMin = 1;
constexpr int kUserValueMax = 99;
// The zoom combo box's entries, then the two fit modes.
constexpr int kZoomTable[] = {500, 200, 150, 100, 75, 50, 25, 10, kZoomFitWidth, kZoomWholePage};

int ClampZoom(int percent);
// The zoom after `steps` steps in (positive) or out from the effective zoom.
int SteppedZoom(int effective, int steps);
// A zoom typed into the combo box ("150" or "150%"); nothing when it is no number in range.
std::optional<int> ParseZoomText(const std::string& text);
int ClampPage(int page, int minPage, int maxPage);
int ClampUserValue(int value);
// The number in an edit field, 0 when it holds none (so that the clamps take over).
int ParseNumber(const std::string& text);

// A length in printer dots as screen pixels.
int PrinterToScreen(int dots, int printerDpi, int screenDpi);
// A margin as the ratio paper x 1000 / margin (margins below 1 count as 1).
int MarginRatio(int paper, int margin);
// The margin that ratio leaves on a page side of `extent` pixels; 0 for a ratio of 0, which a
// paper of size 0 yields.
int MarginFromRatio(int extent, int ratio);

struct PaperGeometry {
    int width = 0; // preview pixels
    int height = 0;
    int left = 0; // margin ratios
    int top = 0;
    int right = 0;
    int bottom = 0;
};
struct PrinterMetrics {
    int physicalWidth = 0, physicalHeight = 0; // dots
    int offsetX = 0, offsetY = 0;              // unprintable left and top, dots
    int printableWidth = 0, printableHeight = 0;
    int dpiX = 0, dpiY = 0;
};
PaperGeometry ComputeGeometry(const PrinterMetrics& printer, int screenDpiX, int screenDpiY);

// The zoom and the page's size in the frame for a zoom mode (percent or fit mode) and the
// frame's client size.
struct PageLayout {
    int zoom = 100;
    int width = 0;
    int height = 0;
};
PageLayout LayoutPage(int mode, int clientWidth, int clientHeight, int pageWidth, int pageHeight);
// Where the scaled page sits along one direction: centred when the client is larger than
// the scroll range, else 16 pixels from the range's start.
int PageOrigin(int client, int scaled, int scrollPos);

// The pages a print run covers, from the print dialog's choice.
struct PageRange {
    int first = 1;
    int last = 1;
};
PageRange PagesToPrint(bool selection, bool pageNumbers, int fromPage, int toPage, int currentPage,
                       int minPage, int maxPage);

} // namespace preview
