// The chart's reading of an array on arbitrary replies (one a line, then empty ones): the
// header, labels, series and points come out bounded and normalised, and reading ends.
#include "controls/ChartLogic.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t at = 0, calls = 0;
    chart::Executor replies = [&](const std::string&) {
        if (++calls > 4 * size + 100) std::abort(); // reading must end once the replies do
        if (at >= text.size()) return std::string();
        size_t end = text.find('\n', at);
        if (end == std::string::npos) end = text.size();
        std::string reply = text.substr(at, end - at);
        at = end + 1;
        return reply;
    };
    std::string message;
    chart::Content c = chart::Load("^A(1)", replies, message);
    if (c.valid != message.empty() && c.valid) std::abort();
    if (c.labelsX.size() > 32 || c.labelsY.size() > 32 || c.series.size() > 100) std::abort();
    if (c.title.size() > 127) std::abort();
    for (const std::string& l : c.labelsX)
        if (l.size() > 15) std::abort();
    for (const chart::Series& s : c.series)
        for (const chart::Point& p : s.points)
            if (p.x < -(1 << 24) || p.x > (1 << 24) || p.y < -(1 << 24) || p.y > (1 << 24) || p.text.size() > 127)
                std::abort();
    chart::Mapping m = chart::MapClient(500, 400, c.escapement != 0, 1000);
    chart::HitTest(c, m, 250, 200);
    if (chart::Steps(c.rasterX, 0).size() > chart::kUnits + 1) std::abort();
    return 0;
}
