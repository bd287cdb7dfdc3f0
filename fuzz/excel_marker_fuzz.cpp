// The Excel export's readers of workbook text on arbitrary bytes: a fill area stays inside
// A to ZZ and the cell bound and names cells that read back as the area; a "$" marker that
// passes the check is a plain reference, so the line built from it runs no other code.
#include "services/ExcelLogic.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    if (auto area = vorlan::ParseFillArea(text)) {
        if (area->columns < 1 || area->columns > vorlan::kMaxFillColumns || area->rows < 1 ||
            static_cast<long long>(area->columns) * area->rows > vorlan::kMaxFillCells)
            std::abort();
        std::string last = vorlan::CellName(area->columns, area->rows);
        if (last.empty()) std::abort();
    }
    if (vorlan::IsVariableReference(text)) {
        // No command separator, no function call, no indirection outside a literal.
        bool quoted = false;
        for (char c : text) {
            if (c == '"') quoted = !quoted;
            if (!quoted && (c == ' ' || c == '$' || c == '@' || c == '_' || c == '&' || c == '\'' ||
                            c == '!' || c == '#' || c == '?' || c == '*' || c == '+' || c == '=' || c == ':'))
                std::abort();
        }
        if (quoted) std::abort();
    }
    if (auto marker = vorlan::ParseMarker(text)) {
        std::string line = vorlan::MarkerLine(*marker);
        if (marker->kind == '$' && !line.empty() && !vorlan::IsVariableReference(marker->key)) std::abort();
        vorlan::MarkerValue(*marker, text);
    }
    return 0;
}
