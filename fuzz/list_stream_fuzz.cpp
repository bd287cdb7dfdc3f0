// The list window's text builder on arbitrary server lines and piece sizes: it ends, hands
// over every byte once, and no brace of the server's text reaches the document.
#include "frame/ChildListLogic.h"

#include <cstdlib>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size < 2) return 0;
    size_t room = 1 + data[0] % 64;
    int failAt = data[1] % 16;
    std::string text(reinterpret_cast<const char*>(data + 2), size - 2);
    std::vector<std::string> lines;
    size_t from = 0;
    for (size_t at = text.find('\n'); at != std::string::npos; at = text.find('\n', from = at + 1))
        lines.push_back(text.substr(from, at - from));
    lines.push_back(text.substr(from));
    vorlan::ListStream stream([&](int n, std::string& line) {
        if (n == failAt) return false;
        line = n <= static_cast<int>(lines.size()) ? lines[static_cast<size_t>(n - 1)] : "\xA7";
        return true;
    });
    std::string all;
    std::vector<char> piece(room);
    for (size_t got; (got = stream.Read(piece.data(), room)) != 0;) {
        if (got > room) std::abort();
        all.append(piece.data(), got);
        if (all.size() > 64 * (size + 16) + 8 * vorlan::kListEmptyRunLimit) std::abort();
    }
    if (all.compare(0, 6, "{\\rtf ") != 0 || all.back() != '}') std::abort();
    if (all.find('{', 1) != std::string::npos || all.find('}') != all.size() - 1) std::abort();
    return 0;
}
