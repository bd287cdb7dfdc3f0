#pragma once
// The registry of the client's M lines: every line builder and every named M line of forms/,
// frame/, app/, services/, tools/, cards/ and controls/, grouped by the header that declares
// it, each with the lines it makes from a value. The compile test (MLineCompileTest) renders
// them with ordinary and hostile values and compiles every line with the engine; its
// consistency check fails for a builder or named line of those headers that is missing here.
//
// A builder whose result is only part of a line is rendered in the smallest whole line it is
// used in. Arguments that are M code or names by contract (routines and references the server
// names, checked by the callers) get valid samples; every value gets the value under test.

#include <functional>
#include <string>
#include <vector>

namespace vorlan::test {

struct LineValue {
    std::string text;
    int number = 0;
};
using MLines = std::vector<std::string>;
using LineMaker = std::function<MLines(const LineValue&)>;

struct LineCase {
    std::string name;               // as declared ("kTitle", "ChosenRowLine")
    LineMaker lines;                // null for a name that is no M line
    const char* notALine = nullptr; // what such a name makes instead
};
struct HeaderLines {
    std::string header; // "forms/FormLogic.h"
    std::vector<LineCase> cases;
};
using LineTable = std::vector<HeaderLines>;

inline LineCase Constant(const char* name, const std::string& line) {
    return {name, [line](const LineValue&) { return MLines{line}; }};
}
inline LineCase NotALine(const char* name, const char* what) {
    return {name, nullptr, what};
}
// A named line; naming it here fails to compile when it goes away.
#define M_CONSTANT(c) ::vorlan::test::Constant(#c, c)

inline MLines Joined(std::vector<MLines> parts) {
    MLines all;
    for (auto& p : parts)
        all.insert(all.end(), p.begin(), p.end());
    return all;
}

// Samples of arguments that are M code or names by contract.
inline constexpr char kSampleRoutine[] = "SUCH^QTEST";
inline constexpr char kSampleEntry[] = "INIT^QTEST(1,\"a\")"; // what D takes
inline constexpr char kSampleName[] = "%QTXT";
inline constexpr char kSampleArray[] = "^QTEST(%JOB,\"LISTE\")";

LineTable FormLineTable();
LineTable FrameLineTable();
LineTable AppLineTable();
LineTable ServiceLineTable();
LineTable ToolLineTable();
LineTable CardLineTable();
LineTable ControlLineTable();

} // namespace vorlan::test
