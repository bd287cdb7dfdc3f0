// The popup list's readers of server replies on arbitrary bytes: the saved layout keeps its
// bounds (columns 0-1000 or measured, at most 255 of them), the layout line written back
// stays one valid server line whose value reads back as the record, and the column count
// stays small.
#include "forms/ListTabLogic.h"
#include "tests/common/MLiteral.h"

#include <cstdlib>
#include <string>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    vorlan::ListLayout layout = vorlan::ParseListLayout(text);
    if (layout.saved != !text.empty() || layout.width < 0 || layout.height < 0 || layout.columns.size() > 255)
        std::abort();
    std::vector<int> widths;
    for (size_t c = 0; c < layout.columns.size(); ++c) {
        int w = layout.ColumnWidth(static_cast<int>(c));
        if (w < -1 || w > 1000) std::abort();
        widths.push_back(w < 0 ? 0 : w);
    }
    int count = vorlan::ParseColumnCount(text);
    if (count < 0 || count > 255) std::abort();

    // The text as the list's name: the line is one server line, the name a literal.
    std::string line = vorlan::ListLayoutWriteLine(text, layout.width, layout.height, widths);
    if (line.size() > 1023) std::abort();
    if (!line.empty()) {
        const std::string head = "S ^Z(\"TAB\",%WIN(\"WORKSTATION\"),";
        if (line.compare(0, head.size(), head) != 0) std::abort();
        size_t eq = line.rfind(")=");
        if (eq == std::string::npos) std::abort();
        auto name = vorlan::test::EvalMLiteral(std::string_view(line).substr(head.size(), eq - head.size()));
        auto value = vorlan::test::EvalMLiteral(std::string_view(line).substr(eq + 2));
        if (!name || *name != text || !value) std::abort();
        vorlan::ListLayout back = vorlan::ParseListLayout(*value);
        if (back.width != layout.width || back.height != layout.height) std::abort();
    }
    if (vorlan::NextBatchLine(text).size() < text.size()) std::abort();
    return 0;
}
