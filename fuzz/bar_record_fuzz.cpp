// The checks of the bars' stored profile records on arbitrary bytes: what passes them must
// hold what the bars index with, and build back to the same bytes.
#include "frame/BarLogic.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string bytes(reinterpret_cast<const char*>(data), size);
    int rows = size ? data[0] % 20 : 15;
    vorlan::ToolBarRecord tool;
    if (vorlan::ParseToolBarRecord(bytes, rows, tool)) {
        if (tool.rows.size() > 32) std::abort();
        for (auto r : tool.rows)
            if (r >= rows) std::abort();
        vorlan::ToolBarRecord again;
        if (!vorlan::ParseToolBarRecord(vorlan::BuildToolBarRecord(tool), rows, again) ||
            again.rows != tool.rows)
            std::abort();
    }
    std::vector<vorlan::BandRecord> bands;
    if (vorlan::ParseBandRecords(bytes, bands)) {
        if (bands.size() * 12 > size) std::abort();
        for (const auto& b : bands)
            if (b.id < 0 || b.id > 2) std::abort();
    }
    vorlan::WindowRecord w;
    if (vorlan::ParseWindowRecord(bytes, w)) {
        if (vorlan::BuildWindowRecord(w) != bytes) std::abort();
        vorlan::CorrectWindowRect(w, {1024, 768, 1024, 768});
    }
    return 0;
}
