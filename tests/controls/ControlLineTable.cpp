// The M lines of the controls, for the compile test (tests/common/MLineTable.h).
#include "controls/ArrayNode.h"
#include "controls/ChartLogic.h"
#include "controls/FormatLogic.h"
#include "controls/GridPrintLayout.h"
#include "controls/ListFieldLogic.h"
#include "tests/common/MLineTable.h"

namespace vorlan::test {

namespace {

using V = LineValue;

// The arrays a form names for its list fields and charts: M references, with or without
// subscripts of their own.
const char* const kArrayNames[] = {"%LF", "^QLF(%JOB)", "LF(\"A\",2)"};

MLines ForArrays(std::string (*line)(const std::string&)) {
    MLines all;
    for (const char* name : kArrayNames)
        all.push_back(line(name));
    return all;
}

// The entry nodes of every array, at each level.
std::vector<std::string> EntryNodes(int n) {
    std::vector<std::string> nodes;
    for (const char* name : kArrayNames)
        for (auto [y, z] : {std::pair{0, 0}, std::pair{n, 0}, std::pair{n, n}})
            nodes.push_back(listfield::EntryNode(name, n, y, z));
    return nodes;
}

template <typename Line> MLines ForEntryNodes(int n, Line line) {
    MLines all;
    for (const std::string& node : EntryNodes(n))
        all.push_back(line(node));
    return all;
}

HeaderLines ListFieldLines() {
    namespace l = listfield;
    return {
        "controls/ListFieldLogic.h",
        {
            {"DynamicLine", [](const V&) -> MLines { return ForArrays(l::DynamicLine); }},
            {"BackColourLine", [](const V&) -> MLines { return ForArrays(l::BackColourLine); }},
            {"FunctionKeyLine", [](const V&) -> MLines { return ForArrays(l::FunctionKeyLine); }},
            {"SelectCodeLine", [](const V&) -> MLines { return ForArrays(l::SelectCodeLine); }},
            {"TitleLine", [](const V&) -> MLines { return ForArrays(l::TitleLine); }},
            {"NextFirstLine", [](const V&) -> MLines { return ForArrays(l::NextFirstLine); }},
            {"CurrentFirstLine", [](const V&) -> MLines { return ForArrays(l::CurrentFirstLine); }},
            {"FirstDefinedLine", [](const V&) -> MLines { return ForArrays(l::FirstDefinedLine); }},
            {"NextSecondLine", [](const V&) -> MLines { return ForArrays(l::NextSecondLine); }},
            {"NextThirdLine", [](const V&) -> MLines { return ForArrays(l::NextThirdLine); }},
            {"PositionLine", [](const V& v) -> MLines { return {l::PositionLine(v.number, v.number)}; }},
            {"RecordLine",
             [](const V& v) -> MLines {
                 return ForEntryNodes(v.number, [&](const std::string& node) { return l::RecordLine(node); });
             }},
            {"TextLine",
             [](const V& v) -> MLines {
                 return ForEntryNodes(v.number, [&](const std::string& node) { return l::TextLine(node); });
             }},
            {"SelectionLine",
             [](const V& v) -> MLines {
                 MLines all{l::SelectionLine(v.text, v.number, v.number, v.number)};
                 for (const char* name : kArrayNames)
                     all.push_back(l::SelectionLine(name, v.number, 0, v.number));
                 return all;
             }},
            {"SetPieceLine",
             [](const V& v) -> MLines {
                 return ForEntryNodes(
                     v.number, [&](const std::string& node) { return l::SetPieceLine(node, 2, v.number); });
             }},
            {"EditedTextLine",
             [](const V& v) -> MLines {
                 return ForEntryNodes(
                     v.number, [&](const std::string& node) { return l::EditedTextLine(node, v.text); });
             }},
            {"LabelTextLine",
             [](const V& v) -> MLines {
                 return ForEntryNodes(
                     v.number, [&](const std::string& node) { return l::LabelTextLine(node, v.text); });
             }},
            // The array's "SELECT" entry, the server's.
            {"SelectRunLine", [](const V&) -> MLines { return {l::SelectRunLine(kSampleEntry)}; }},
            // Nodes: in the lines they are read with.
            {"Node",
             [](const V&) -> MLines {
                 MLines all;
                 for (const char* name : kArrayNames)
                     all.push_back(l::RecordLine(l::Node(name, "X,\"DYN\"")));
                 return all;
             }},
            {"EntryNode",
             [](const V& v) -> MLines {
                 return ForEntryNodes(v.number, [&](const std::string& node) { return l::RecordLine(node); });
             }},
            M_CONSTANT(l::kFirstStart),
            M_CONSTANT(l::kSecondStart),
            M_CONSTANT(l::kThirdStart),
        }};
}

HeaderLines ChartLines() {
    return {"controls/ChartLogic.h",
            {
                {"HeaderLine", [](const V&) -> MLines { return ForArrays(chart::HeaderLine); }},
                {"NextLabelLine",
                 [](const V&) -> MLines {
                     MLines all;
                     for (const char* name : kArrayNames)
                         for (char axis : {'X', 'Y'})
                             all.push_back(chart::NextLabelLine(name, axis));
                     return all;
                 }},
                {"LabelLine",
                 [](const V&) -> MLines {
                     MLines all;
                     for (const char* name : kArrayNames)
                         for (char axis : {'X', 'Y'})
                             all.push_back(chart::LabelLine(name, axis));
                     return all;
                 }},
                {"NextSeriesLine", [](const V&) -> MLines { return ForArrays(chart::NextSeriesLine); }},
                {"NextPointLine", [](const V&) -> MLines { return ForArrays(chart::NextPointLine); }},
                {"PointLine", [](const V&) -> MLines { return ForArrays(chart::PointLine); }},
                {"SeriesLine", [](const V&) -> MLines { return ForArrays(chart::SeriesLine); }},
            }};
}

} // namespace

LineTable ControlLineTable() {
    return {
        ListFieldLines(),
        ChartLines(),
        {"controls/FormatLogic.h",
         {
             {"DefaultFontLine", [](const V&) -> MLines { return {richtext::DefaultFontLine()}; }},
             {"DefaultSizeLine", [](const V&) -> MLines { return {richtext::DefaultSizeLine()}; }},
         }},
        {"controls/ArrayNode.h",
         {
             {"ArrayNode",
              [](const V&) -> MLines {
                  MLines all;
                  for (const char* name : kArrayNames)
                      all.push_back("W $G(" + vorlan::ArrayNode(name, "1,\"x\"") + ")");
                  return all;
              }},
         }},
        {"controls/GridPrintLayout.h",
         {
             M_CONSTANT(gridprint::kFooterLeftLine),
             M_CONSTANT(gridprint::kFooterCentreLine),
             M_CONSTANT(gridprint::kFooterRightLine),
             M_CONSTANT(gridprint::kFooterExtraLine),
             M_CONSTANT(gridprint::kFooterMemoLine),
         }},
        {"controls/HtmlLayout.h", {NotALine("HandlerCommandLine", "the command line of a Windows program")}},
    };
}

} // namespace vorlan::test
