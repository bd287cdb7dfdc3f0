#pragma once
// Records as the server writes them: pieces joined by "§" ($C(167)), empty ones included.

#include <initializer_list>
#include <string>

namespace mpieces {

inline std::string Pieces(std::initializer_list<std::string> pieces) {
    std::string joined;
    bool first = true;
    for (const std::string& piece : pieces) {
        if (!first) joined += '\xA7';
        joined += piece;
        first = false;
    }
    return joined;
}

} // namespace mpieces
