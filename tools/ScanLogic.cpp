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

bool PathFits(std::string_view path) {
    return path.size() < kPathCapacity;
}

PagePath FreePagePath(std::string_view folder, const std::function<bool(const std::string&)>& exists,
                      std::string& path) {
    path.clear();
    std::string base(folder);
    if (base.empty() || base.back() != '\\') base += '\\';
    for (int n = 1; n <= kMaxPageNumber; ++n) {
        std::string candidate = base + PageName(n);
        // Numbers only grow longer: once a name does not fit, no later one will.
        if (!PathFits(candidate)) return PagePath::TooLong;
        if (!exists(candidate)) {
            path = std::move(candidate);
            return PagePath::Ok;
        }
    }
    return PagePath::NoneFree;
}

std::string FolderOfPath(std::string_view path) {
    size_t slash = path.find_last_of('\\');
    return slash == std::string_view::npos ? std::string() : std::string(path.substr(0, slash));
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
