// The M lines of the workplace tools, for the compile test (tests/common/MLineTable.h).
#include "tests/common/MLineTable.h"
#include "tools/DataExplorerLogic.h"
#include "tools/ExplorerLogic.h"
#include "tools/IconListLogic.h"
#include "tools/ScanLogic.h"

namespace vorlan::test {

namespace {

using V = LineValue;

// The data explorer's array references (the form's, M code) and the paths it builds of the
// subscripts the server answered.
const char* const kArrays[] = {"^QDEX(", "^QDEX(\"A\",%JOB,"};

std::vector<std::string> Paths(const std::string& subscript) {
    return {ChildPath("", subscript), ChildPath(ChildPath("", "12"), subscript), ChildPath("", "-1.5")};
}

using PathLine = std::string (*)(std::string_view, std::string_view);

// Each array with each path (or, for the walks below a parent, each path prefix).
MLines ForPaths(const std::string& subscript, PathLine line, bool prefixes) {
    MLines all;
    for (const char* a : kArrays) {
        if (prefixes) all.push_back(line(a, PathPrefix("")));
        for (const std::string& path : Paths(subscript))
            all.push_back(line(a, prefixes ? PathPrefix(path) : path));
    }
    return all;
}

HeaderLines DataExplorerLines() {
    namespace x = explorer;
    return {
        "tools/DataExplorerLogic.h",
        {
            {"FkeyLine",
             [](const V&) -> MLines {
                 MLines all;
                 for (const char* a : kArrays)
                     all.push_back(x::FkeyLine(a));
                 return all;
             }},
            {"NextLine", [](const V& v) -> MLines { return ForPaths(v.text, x::NextLine, true); }},
            {"HeaderOfQLine", [](const V& v) -> MLines { return ForPaths(v.text, x::HeaderOfQLine, true); }},
            {"FlagOfQLine", [](const V& v) -> MLines { return ForPaths(v.text, x::FlagOfQLine, true); }},
            {"TextOfQLine", [](const V& v) -> MLines { return ForPaths(v.text, x::TextOfQLine, true); }},
            {"HasChildrenLine",
             [](const V& v) -> MLines { return ForPaths(v.text, x::HasChildrenLine, false); }},
            {"LoadRoutineLine",
             [](const V& v) -> MLines { return ForPaths(v.text, x::LoadRoutineLine, false); }},
            {"HeaderLine", [](const V& v) -> MLines { return ForPaths(v.text, x::HeaderLine, false); }},
            {"ColumnLine", [](const V& v) -> MLines { return ForPaths(v.text, x::ColumnLine, false); }},
            {"FeldLine", [](const V& v) -> MLines { return ForPaths(v.text, x::FeldLine, false); }},
            {"RowFlagLine", [](const V& v) -> MLines { return ForPaths(v.text, x::RowFlagLine, false); }},
            {"RowLine", [](const V& v) -> MLines { return ForPaths(v.text, x::RowLine, false); }},
            {"ReportLine",
             [](const V& v) -> MLines {
                 MLines all;
                 for (const char* a : kArrays)
                     for (const std::string& path : Paths(v.text))
                         all.push_back(x::ReportLine(a, path, v.text));
                 return all;
             }},
            // Paths: in the lines they are used in.
            {"SubscriptLiteral",
             [](const V& v) -> MLines { return {"W $G(^QDEX(" + SubscriptLiteral(v.text) + "))"}; }},
            {"ChildPath", [](const V& v) -> MLines { return ForPaths(v.text, x::RowLine, false); }},
            {"PathPrefix", [](const V& v) -> MLines { return ForPaths(v.text, x::NextLine, true); }},
            M_CONSTANT(x::kResetQ),
        }};
}

HeaderLines ExplorerLines() {
    namespace r = record;
    return {"tools/ExplorerLogic.h",
            {
                {"SourceLine", [](const V&) -> MLines { return {r::SourceLine()}; }},
                {"ThumbsLine", [](const V&) -> MLines { return {r::ThumbsLine()}; }},
                {"SortLine", [](const V&) -> MLines { return {r::SortLine()}; }},
                {"RootTextLine", [](const V&) -> MLines { return {r::RootTextLine()}; }},
                {"BitmapLine", [](const V&) -> MLines { return {r::BitmapLine()}; }},
                {"XDefinedLine", [](const V&) -> MLines { return {r::XDefinedLine()}; }},
                {"NextLevel1Line",
                 [](const V&) -> MLines {
                     return {r::NextLevel1Line(true), r::NextLevel1Line(false)};
                 }},
                {"Level1ValueLine",
                 [](const V&) -> MLines {
                     return {r::Level1ValueLine(true), r::Level1ValueLine(false)};
                 }},
                {"NextLevel2Line",
                 [](const V&) -> MLines {
                     return {r::NextLevel2Line(true), r::NextLevel2Line(false)};
                 }},
                {"Level2ValueLine",
                 [](const V&) -> MLines {
                     return {r::Level2ValueLine(true), r::Level2ValueLine(false)};
                 }},
                {"HiddenLine",
                 [](const V& v) -> MLines {
                     return {r::HiddenLine(1), r::HiddenLine(2), r::HiddenLine(v.number)};
                 }},
                {"NextDocumentLine",
                 [](const V&) -> MLines {
                     return {r::NextDocumentLine(true), r::NextDocumentLine(false)};
                 }},
                {"DocumentHiddenLine",
                 [](const V&) -> MLines {
                     return {r::DocumentHiddenLine(true), r::DocumentHiddenLine(false)};
                 }},
                {"DocumentValueLine",
                 [](const V&) -> MLines {
                     return {r::DocumentValueLine(true), r::DocumentValueLine(false)};
                 }},
                {"MenuEntryLine",
                 [](const V& v) -> MLines {
                     MLines all{r::MenuEntryLine('F', v.number), r::MenuEntryLine('X', v.number)};
                     for (char c : v.text.substr(0, 8))
                         all.push_back(r::MenuEntryLine(c, v.number));
                     return all;
                 }},
                {"SetExplorerLine", [](const V& v) -> MLines { return {r::SetExplorerLine(v.text)}; }},
                {"SetRetLine", [](const V& v) -> MLines { return {r::SetRetLine(v.text)}; }},
                M_CONSTANT(r::kResetWalk),
            }};
}

HeaderLines IconListLines() {
    return {"tools/IconListLogic.h",
            {
                {"ClientSizeLine", [](const V& v) -> MLines { return {ClientSizeLine(v.number, v.number)}; }},
                {"ScreenSizeLine", [](const V& v) -> MLines { return {ScreenSizeLine(v.number, v.number)}; }},
                {"ParameterLine", [](const V& v) -> MLines { return {ParameterLine(v.text)}; }},
                {"MenuPictureLine", [](const V& v) -> MLines { return {MenuPictureLine(v.text)}; }},
                {"MenuNextLine", [](const V& v) -> MLines { return {MenuNextLine(v.text)}; }},
                {"MenuInfoLine", [](const V& v) -> MLines { return {MenuInfoLine(v.text)}; }},
                {"StoredIconLine", [](const V& v) -> MLines { return {StoredIconLine(v.number)}; }},
            }};
}

} // namespace

LineTable ToolLineTable() {
    return {
        DataExplorerLines(),
        ExplorerLines(),
        IconListLines(),
        {"tools/ScanLogic.h",
         {
             {"ScanFunctionLine", [](const V&) -> MLines { return {scan::ScanFunctionLine()}; }},
             // The function is the server's: an entry reference, anything else makes no line.
             {"AssignLine",
              [](const V& v) -> MLines {
                  MLines all;
                  for (const std::string& function :
                       {std::string("SCAN^QTEST"), std::string("^QTEST"), v.text, std::string("A^B W 1"),
                        std::string("A^B^C"), "X^" + v.text})
                      all.push_back(scan::AssignLine(function, v.text));
                  return all;
              }},
         }},
    };
}

} // namespace vorlan::test
