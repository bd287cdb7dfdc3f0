#include "tools/ScanLogic.h"
#include "common/MQuote.h"
#include "tools/FolderPaths.h"

#include <cctype>
#include <cstdio>

namespace vorlan::scan {

std::string PageName(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "Bild %03d.jpg", number);
    return name;
}

FreeName FreePagePath(std::string_view folder, const std::function<bool(const std::string&)>& taken,
                      std::string& path) {
    return ClaimFirstFree(
        1, kMaxPageNumber, [&](int n) { return JoinPath(folder, PageName(n)); },
        [&](const std::string& candidate) { return !taken(candidate); }, path);
}

std::string ScanFunctionLine() {
    return "W $G(^QSYS(\"SCAN\"))";
}

namespace {

bool IsMName(std::string_view name) {
    if (name.empty() || name.size() > 31) return false;
    for (size_t i = 0; i < name.size(); ++i) {
        unsigned char c = static_cast<unsigned char>(name[i]);
        bool ok = std::isalpha(c) || (c == '%' && i == 0) || (i > 0 && std::isdigit(c));
        if (!ok) return false;
    }
    return true;
}

} // namespace

std::string AssignLine(std::string_view function, std::string_view barcode) {
    // The name comes from the server, but a reply with anything else in it must not turn
    // into code of its own.
    size_t caret = function.find('^');
    if (caret == std::string_view::npos) return {};
    std::string_view label = function.substr(0, caret);
    std::string_view routine = function.substr(caret + 1);
    if ((!label.empty() && !IsMName(label)) || !IsMName(routine)) return {};
    return "W $$" + std::string(function) + "(" + MQuote(barcode) + ")";
}

} // namespace vorlan::scan
