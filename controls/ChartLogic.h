#pragma once
// The chart's content as the server describes it under an array, checked and brought into
// the chart's own units (0 to 16384 on both axes), and where those units land on a window.
// No Windows in here: built and tested in every tree.

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

namespace chart {

constexpr int kUnits = 16384;
constexpr int kMaxSeries = 100;
constexpr int kMaxLabels = 32;
constexpr size_t kTextLimit = 127;
constexpr size_t kLabelLimit = 15;
constexpr int kTick = 250;

struct Point {
    int32_t x = 0, y = 0;
    std::string text; // tooltip
};

struct Series {
    uint32_t colour = 0;
    int kind = 0;  // 0 line with dots, 1 bars, 2 line; others draw nothing
    int32_t width = 0;
    std::string text; // legend
    std::vector<Point> points;
};

struct Content {
    bool valid = false;
    int32_t minX = 0, minY = 0, maxX = 0, maxY = 0;
    int32_t rasterX = 0, rasterY = 0;
    int escapement = 0; // tenths of a degree
    std::string title, captionX, captionY;
    std::vector<std::string> labelsX, labelsY;
    uint32_t axisColour = 0, backColour = 0, rasterColour = 0; // form colours (default: none)
    int orientation = 1; // 1 portrait, 2 landscape
    // Slots from 0; the drawing goes from the last to the first, so slot 0 is on top.
    std::vector<Series> series;
};

// One M line in, what it wrote out.
using Executor = std::function<std::string(const std::string&)>;

// The lines that read the array `name` (splicing into a name that carries subscripts).
std::string HeaderLine(const std::string& name);
std::string NextLabelLine(const std::string& name, char axis); // S X=$O(A("X",X)) W X
std::string LabelLine(const std::string& name, char axis);     // W $G(A("X",X))
std::string NextSeriesLine(const std::string& name);
std::string NextPointLine(const std::string& name);
std::string PointLine(const std::string& name);
std::string SeriesLine(const std::string& name);

// Fills the header's fields; false for an empty header.
bool ParseHeader(const std::string& reply, Content& content);
// The validation message of a header (empty: valid): the last failed rule in their order.
std::string Validate(const Content& content);
// The text shown before a validation message.
inline const char* kInvalidHeading = "Diagramm kann nicht dargestellt werden:\n";

// Reads the whole chart; on an invalid header `message` receives the box's text and the
// content stays empty. The content comes back normalised.
Content Load(const std::string& name, const Executor& execute, std::string& message);
// Into chart units; 64-bit arithmetic, results kept within the drawing's reach.
void Normalise(Content& content);

// Where the chart's units land in a client area.
struct Mapping {
    int windowX = kUnits, windowY = kUnits; // window extent (Y adds the legend)
    int originX = 0, originY = 0;           // viewport origin
    int extentX = 0, extentY = 0;           // viewport extent
    int ToDeviceX(int64_t x) const;
    int ToDeviceY(int64_t y) const; // y in window units (already flipped)
};
Mapping MapClient(int width, int height, bool rotated, int legendHeight);

// Raster or tick positions from `first` on in steps up to the maximum; none for a step below
// one unit, where stepping would never end.
std::vector<int> Steps(int step, int first);
// The label of the n-th tick (empty past the table).
std::string TickLabel(const std::vector<std::string>& labels, size_t n);

// The series and point under a device position: the square of width + 250 units round a
// point (kinds 0 and 2) or the bar (kind 1), inflated by `slack` pixels. -1, -1 for none.
struct Hit {
    int series = -1, point = -1;
    bool operator==(const Hit& o) const { return series == o.series && point == o.point; }
    bool operator!=(const Hit& o) const { return !(*this == o); }
};
Hit HitTest(const Content& content, const Mapping& mapping, int x, int y, int slack = 5);

} // namespace chart
