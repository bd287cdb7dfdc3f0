// The grid's readers of server answers on arbitrary bytes: row records split into cell
// records, cell records into attributes, scroll records, width texts and cursor positions
// stay within their bounds.
#include "forms/GridLogic.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    size_t total = 0;
    for (std::string_view cell : vorlan::SplitRowRecord(text)) {
        total += cell.size() + 1;
        vorlan::CellRecord c = vorlan::ParseCellRecord(cell);
        if (c.text.size() > cell.size() || (c.columnFlags & ~vorlan::kColumnFlagMask) != 0 ||
            c.rowLowByte > 0xFF || (c.style & ~vorlan::kCellStyleMask) != 0)
            std::abort();
    }
    if (total > size + 1) std::abort();
    vorlan::ScrollRecord s = vorlan::ParseScrollRecord(text);
    if (s.columns < 0 || s.fixedRows < 0 || s.fixedColumns < 0) std::abort();
    if (vorlan::HeaderRowsFor(text) < 1) std::abort();
    for (int w : vorlan::ParseColumnWidths(text, 1000))
        if (w < -1 || w >= 0xFFF) std::abort();
    vorlan::ParseCursorPosition(text);
    vorlan::ColumnWeights(text, 64);
    return 0;
}
