#include "services/PrintListLogic.h"

#include <climits>
#include <cstdint>

namespace vorlan {

std::string PrintOutputLine(int n) {
    return "W $$DRUCK^QCC(%JOB," + std::to_string(n) + ")";
}

std::string ReportLinesLine(int linesPerPage) {
    return "W $$DRUCKS^QCC(" + std::to_string(linesPerPage) + ")";
}

int CountOf(std::string_view answer) {
    long long value = 0;
    size_t i = 0;
    while (i < answer.size() && answer[i] == ' ')
        ++i;
    if (i < answer.size() && answer[i] == '+') ++i;
    for (; i < answer.size() && answer[i] >= '0' && answer[i] <= '9'; ++i) {
        value = value * 10 + (answer[i] - '0');
        if (value > INT_MAX) return INT_MAX;
    }
    return static_cast<int>(value);
}

ListLayout MeasureListLayout(int charsPerLine, int charWidth, int lineHeight, int horzRes, int vertRes) {
    ListLayout layout;
    if (charsPerLine <= 0 || charWidth <= 0 || lineHeight <= 0 || horzRes <= 0 || vertRes <= 0) return layout;
    int64_t width = static_cast<int64_t>(charsPerLine) * charWidth;
    int64_t height = width * vertRes / horzRes;
    if (width > INT_MAX || height > INT_MAX) return layout;
    layout.pageWidth = static_cast<int>(width);
    layout.pageHeight = static_cast<int>(height);
    layout.bodyHeight = layout.pageHeight - 5 * lineHeight;
    layout.linesPerPage = layout.bodyHeight > 0 ? layout.bodyHeight / lineHeight : 0;
    layout.valid = layout.linesPerPage >= 1;
    return layout;
}

std::vector<int> PageStarts(int lines, int lineHeight, int bodyHeight) {
    std::vector<int> starts{1};
    int64_t used = 0;
    for (int n = 1; n <= lines; ++n) {
        // A page never stays empty, even when one line is higher than the body.
        if (used + lineHeight > bodyHeight && n != starts.back()) {
            starts.push_back(n);
            used = 0;
        }
        used += lineHeight;
    }
    return starts;
}

int PageEnd(const std::vector<int>& starts, size_t page, int lines) {
    return page + 1 < starts.size() ? starts[page + 1] - 1 : lines;
}

std::string ListHeaderText(std::string_view title) {
    return "VORLAN - [" + std::string(title) + "]";
}

} // namespace vorlan
