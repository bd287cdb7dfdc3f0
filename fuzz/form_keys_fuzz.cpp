// The readers of key texts and of the server's %FUNK table on arbitrary bytes: menus and
// toolbars keep their shape (no separator first, twice or last; at most ten title popups;
// commands and images inside the table), %FUNK indices stay inside the 72 keys.
#include "forms/FormKeysLogic.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

// Toolbar buttons may show no text (an image alone); menu items always have one.
void CheckItems(const std::vector<vorlan::KeyMenuItem>& items, bool textless = false) {
    for (size_t i = 0; i < items.size(); ++i) {
        const auto& item = items[i];
        if (item.separator) {
            if (i == 0 || i + 1 == items.size() || items[i - 1].separator) std::abort();
            continue;
        }
        if (item.command == 0 || (item.text.empty() && !textless) || item.image < -1) std::abort();
    }
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    std::string text(reinterpret_cast<const char*>(data), size);
    for (const auto& e : vorlan::ParseFunkAnswer(text))
        if (e.index < 0 || e.index >= 72 || (e.command != 0 && (e.command < 32800 || e.command > 33012)))
            std::abort();

    // The bytes as a key table split at $C(255), as $$GETKEYS^QCC answers.
    std::vector<std::string> keys;
    size_t start = 0;
    for (size_t at = text.find('\xFF'); at != std::string::npos; at = text.find('\xFF', start)) {
        keys.push_back(text.substr(start, at - start));
        start = at + 1;
    }
    keys.push_back(text.substr(start));
    auto code = [](const std::string& c) { return c.size() > 3 ? c.substr(1) : std::string("[;"); };
    int count = size ? data[0] % 80 : 0;
    CheckItems(vorlan::KeyMenuItems(keys, count, -1, code));
    CheckItems(vorlan::KeyToolButtons(keys, 40, code), true);
    auto popups = vorlan::TitleMenuPopups(keys, 72, code);
    if (popups.size() > 10) std::abort();
    for (const auto& p : popups)
        CheckItems(p.items);
    return 0;
}
