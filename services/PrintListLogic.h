#pragma once
// The print list without windows: the server's report lines, the page a line goes on and
// the paper measured in the list font's characters.

#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// Writes line n (from 1) of the job's print output, "§" after the last.
std::string PrintOutputLine(int n);
// After this many empty answers in a row the output counts as ended: a server that answers
// nothing but empty lines would otherwise keep its reader going for ever.
inline constexpr int kListEmptyRunLimit = 1000;
std::string ReportLinesLine(int linesPerPage);
namespace line {
constexpr const char* kCharsPerLine = "W $$DRUCKI^QCC()";
constexpr const char* kReportTitle = "W $G(%MEMO)";
} // namespace line

// A count the server wrote: its leading digits, 0 when it is no number or below 0.
int CountOf(std::string_view answer);

// The logical page of the print list: C characters of width W across, the paper's
// proportions down, five lines of header and footer off the body.
struct ListLayout {
    int pageWidth = 0;    // P
    int pageHeight = 0;   // Q
    int bodyHeight = 0;   // B
    int linesPerPage = 0; // B / H
    bool valid = false;   // a page that holds at least one line
};
ListLayout MeasureListLayout(int charsPerLine, int charWidth, int lineHeight, int horzRes, int vertRes);

// The first line (from 1) of every page for N lines of height H on bodies of height B. Every
// page holds at least one line; N = 0 gives one empty page.
std::vector<int> PageStarts(int lines, int lineHeight, int bodyHeight);
// The last line of page i (from 0) of those starts: the line before the next page's first.
int PageEnd(const std::vector<int>& starts, size_t page, int lines);

std::string ListHeaderText(std::string_view title);

} // namespace vorlan
