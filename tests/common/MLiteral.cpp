#include "tests/common/MLiteral.h"

#include <cctype>

namespace vorlan::test {

std::optional<std::string> EvalMLiteral(std::string_view e) {
    std::string value;
    size_t i = 0;
    for (;;) {
        if (i < e.size() && e[i] == '"') {
            ++i;
            for (;;) {
                if (i >= e.size()) return std::nullopt;
                if (e[i] == '"') {
                    if (i + 1 < e.size() && e[i + 1] == '"') {
                        value += '"';
                        i += 2;
                        continue;
                    }
                    ++i;
                    break;
                }
                value += e[i++];
            }
        } else if (e.substr(i, 3) == "$C(") {
            i += 3;
            for (;;) {
                int n = 0, digits = 0;
                while (i < e.size() && std::isdigit(static_cast<unsigned char>(e[i]))) {
                    n = n * 10 + (e[i++] - '0');
                    if (++digits > 3) return std::nullopt;
                }
                if (digits == 0 || n > 255) return std::nullopt;
                value += static_cast<char>(n);
                if (i < e.size() && e[i] == ',') {
                    ++i;
                    continue;
                }
                if (i < e.size() && e[i] == ')') {
                    ++i;
                    break;
                }
                return std::nullopt;
            }
        } else {
            return std::nullopt;
        }
        if (i == e.size()) return value;
        if (e[i] != '_') return std::nullopt;
        ++i;
    }
}

}  // namespace vorlan::test
