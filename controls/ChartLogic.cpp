#include "controls/ChartLogic.h"

#include "app/ReplyFields.h"
#include "controls/ArrayNode.h"
#include "controls/FormColours.h"

#include <algorithm>
#include <climits>
#include <cstdlib>

namespace chart {

namespace {

// Normalised values stay well inside what the drawing's coordinates can carry.
constexpr int64_t kReach = 1 << 24;

std::string Piece(const std::string& s, int n, size_t limit = kTextLimit) {
    std::string piece = vorlan::PieceOf(s, n);
    if (piece.size() > limit) piece.resize(limit);
    return piece;
}

int32_t Number(const std::string& s) {
    long long v = std::strtoll(s.c_str(), nullptr, 10);
    return static_cast<int32_t>(std::clamp<long long>(v, INT32_MIN, INT32_MAX));
}

int32_t NumberPiece(const std::string& s, int n) { return Number(vorlan::PieceOf(s, n)); }

int32_t Scaled(int64_t value, int64_t scale, int64_t range) {
    return static_cast<int32_t>(std::clamp<int64_t>(value * scale / range, -kReach, kReach));
}

std::string AxisNode(const std::string& name, char axis, const char* var) {
    return vorlan::ArrayNode(name, std::string("\"") + axis + "\"," + var);
}

} // namespace

std::string HeaderLine(const std::string& name) { return "W $G(" + name + ")"; }
std::string NextLabelLine(const std::string& name, char axis) {
    return std::string("S ") + axis + "=$O(" + AxisNode(name, axis, axis == 'X' ? "X" : "Y") + ") W " + axis;
}
std::string LabelLine(const std::string& name, char axis) {
    return "W $G(" + AxisNode(name, axis, axis == 'X' ? "X" : "Y") + ")";
}
std::string NextSeriesLine(const std::string& name) {
    return "S Q=$O(" + vorlan::ArrayNode(name, "\"P\",Q") + ") W Q";
}
std::string NextPointLine(const std::string& name) {
    return "S L=$O(" + vorlan::ArrayNode(name, "\"P\",Q,L") + ") W L";
}
std::string PointLine(const std::string& name) { return "W $G(" + vorlan::ArrayNode(name, "\"P\",Q,L") + ")"; }
std::string SeriesLine(const std::string& name) { return "W $G(" + vorlan::ArrayNode(name, "\"P\",Q") + ")"; }

bool ParseHeader(const std::string& reply, Content& c) {
    if (reply.empty()) return false;
    c.title = Piece(reply, 1);
    c.captionX = Piece(reply, 2);
    c.captionY = Piece(reply, 3);
    c.minX = NumberPiece(reply, 4);
    c.minY = NumberPiece(reply, 5);
    c.maxX = NumberPiece(reply, 6);
    c.maxY = NumberPiece(reply, 7);
    c.rasterX = NumberPiece(reply, 8);
    c.rasterY = NumberPiece(reply, 9);
    c.axisColour = FormColour(NumberPiece(reply, 10));
    c.backColour = FormColour(NumberPiece(reply, 11));
    c.rasterColour = FormColour(NumberPiece(reply, 12));
    c.escapement = static_cast<int>(std::clamp<int64_t>(int64_t{NumberPiece(reply, 13)} * 10, -3600, 3600));
    return true;
}

std::string Validate(const Content& c) {
    std::string message;
    if (c.rasterX < 1) message = "Rasterweite X-Achse zu klein!";
    if (c.rasterY < 1) message = "Rasterweite Y-Achse zu klein!";
    if (c.maxX < c.minX) message = "Kleinster X-Wert ist größer als der Maximaleste!";
    if (c.maxY < c.minY) message = "Kleinster Y-Wert ist größer als der Maximaleste!";
    if (c.maxX == 0 || c.maxY == 0) message = "Maximalwerte müssen größer Null sein!";
    return message;
}

Content Load(const std::string& name, const Executor& execute, std::string& message) {
    message.clear();
    Content c;
    if (name.empty() || !ParseHeader(execute(HeaderLine(name)), c)) return Content();
    std::string invalid = Validate(c);
    if (!invalid.empty()) {
        message = kInvalidHeading + invalid;
        return Content();
    }
    execute("S X=\"\",Y=\"\"");
    for (char axis : {'X', 'Y'}) {
        std::vector<std::string>& labels = axis == 'X' ? c.labelsX : c.labelsY;
        while (labels.size() < static_cast<size_t>(kMaxLabels) && !execute(NextLabelLine(name, axis)).empty()) {
            std::string label = execute(LabelLine(name, axis));
            if (label.size() > kLabelLimit) label.resize(kLabelLimit);
            labels.push_back(label);
        }
    }
    execute("S Q=\"\"");
    while (c.series.size() < static_cast<size_t>(kMaxSeries) && !execute(NextSeriesLine(name)).empty()) {
        Series s;
        execute("S L=\"\"");
        while (!execute(NextPointLine(name)).empty()) {
            std::string reply = execute(PointLine(name));
            Point p;
            p.x = NumberPiece(reply, 1);
            p.y = NumberPiece(reply, 2);
            p.text = Piece(reply, 3);
            s.points.push_back(std::move(p));
        }
        if (s.points.empty()) continue;
        std::string record = execute(SeriesLine(name));
        s.colour = FormColour(NumberPiece(record, 1));
        s.kind = NumberPiece(record, 2);
        s.width = NumberPiece(record, 3);
        s.text = Piece(record, 4);
        c.series.push_back(std::move(s));
    }
    c.valid = true;
    Normalise(c);
    return c;
}

void Normalise(Content& c) {
    int64_t rx = std::max<int64_t>(1, int64_t{c.maxX} - c.minX);
    int64_t ry = std::max<int64_t>(1, int64_t{c.maxY} - c.minY);
    int64_t rasterX = std::max<int64_t>(1, c.rasterX), rasterY = std::max<int64_t>(1, c.rasterY);
    c.orientation = ry / rasterY < rx / rasterX ? 2 : 1;
    c.rasterX = Scaled(c.rasterX, kUnits, rx);
    c.rasterY = Scaled(c.rasterY, kUnits, ry);
    for (Series& s : c.series) {
        s.width = Scaled(s.width, 2048, ry);
        for (Point& p : s.points) {
            p.x = Scaled(int64_t{p.x} - c.minX, kUnits, rx);
            p.y = Scaled(int64_t{p.y} - c.minY, kUnits, ry);
        }
    }
    c.minX = c.minY = 0;
    c.maxX = c.maxY = kUnits;
}

int Mapping::ToDeviceX(int64_t x) const {
    return originX + static_cast<int>(x * extentX / std::max(1, windowX));
}

int Mapping::ToDeviceY(int64_t y) const {
    return originY + static_cast<int>(y * extentY / std::max(1, windowY));
}

Mapping MapClient(int width, int height, bool rotated, int legendHeight) {
    Mapping m;
    m.windowY = kUnits + std::max(0, legendHeight);
    int part = rotated ? 3 : 5;
    m.extentX = width - width / part;
    m.extentY = height - height / part;
    m.originX = width / (rotated ? 6 : 10);
    m.originY = height / 10;
    return m;
}

std::vector<int> Steps(int step, int first) {
    std::vector<int> at;
    if (step < 1) return at;
    for (int64_t v = first; v <= kUnits; v += step)
        at.push_back(static_cast<int>(v));
    return at;
}

std::string TickLabel(const std::vector<std::string>& labels, size_t n) {
    return n < labels.size() ? labels[n] : std::string();
}

Hit HitTest(const Content& c, const Mapping& m, int x, int y, int slack) {
    if (!c.valid) return Hit();
    for (size_t si = 0; si < c.series.size(); ++si) {
        const Series& s = c.series[si];
        if (s.kind < 0 || s.kind > 2) continue;
        for (size_t pi = 0; pi < s.points.size(); ++pi) {
            const Point& p = s.points[pi];
            int64_t left, right, top, bottom;
            if (s.kind == 1) {
                left = int64_t{p.x} - s.width;
                right = int64_t{p.x} + s.width;
                top = kUnits - int64_t{p.y};
                bottom = kUnits;
            } else {
                int64_t half = (int64_t{s.width} + kTick) / 2;
                left = int64_t{p.x} - half;
                right = int64_t{p.x} + half;
                top = kUnits - int64_t{p.y} - half;
                bottom = kUnits - int64_t{p.y} + half;
            }
            int l = m.ToDeviceX(std::min(left, right)) - slack, r = m.ToDeviceX(std::max(left, right)) + slack;
            int t = m.ToDeviceY(std::min(top, bottom)) - slack, b = m.ToDeviceY(std::max(top, bottom)) + slack;
            if (x >= l && x <= r && y >= t && y <= b) return Hit{static_cast<int>(si), static_cast<int>(pi)};
        }
    }
    return Hit();
}

} // namespace chart
