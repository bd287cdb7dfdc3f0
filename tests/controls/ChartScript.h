#pragma once
// A chart's array as the chart reads it: answers its lines from a model and records them.

#include "controls/ChartLogic.h"

#include <string>
#include <vector>

namespace {

// Answers the chart's lines from a model of the array ^C("D"); records every line.
class ScriptedArray {
  public:
    std::string header;
    std::vector<std::string> labelsX, labelsY;
    struct S {
        std::string record;
        std::vector<std::string> points;
    };
    std::vector<S> series;
    std::vector<std::string> lines;
    const std::string name = "^C(\"D\")";

    chart::Executor Run() {
        return [this](const std::string& line) { return Answer(line); };
    }

  private:
    size_t x = 0, y = 0, q = 0, l = 0;
    std::string Answer(const std::string& line) {
        lines.push_back(line);
        if (line == chart::HeaderLine(name)) return header;
        if (line == "S X=\"\",Y=\"\"") x = y = 0;
        if (line == chart::NextLabelLine(name, 'X')) return ++x <= labelsX.size() ? std::to_string(x) : "";
        if (line == chart::LabelLine(name, 'X')) return labelsX[x - 1];
        if (line == chart::NextLabelLine(name, 'Y')) return ++y <= labelsY.size() ? std::to_string(y) : "";
        if (line == chart::LabelLine(name, 'Y')) return labelsY[y - 1];
        if (line == "S Q=\"\"") q = 0;
        if (line == chart::NextSeriesLine(name)) return ++q <= series.size() ? std::to_string(q) : "";
        if (line == "S L=\"\"") l = 0;
        if (line == chart::NextPointLine(name)) return ++l <= series[q - 1].points.size() ? std::to_string(l) : "";
        if (line == chart::PointLine(name)) return series[q - 1].points[l - 1];
        if (line == chart::SeriesLine(name)) return series[q - 1].record;
        return "";
    }
};

} // namespace
