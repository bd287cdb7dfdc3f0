#pragma once
// Records as the server writes them: fields joined by "§" ($C(167)), empty ones included.

#include <initializer_list>
#include <string>

namespace mrecord {

inline std::string Record(std::initializer_list<std::string> fields) {
    std::string joined;
    bool first = true;
    for (const std::string& field : fields) {
        if (!first) joined += '\xA7';
        joined += field;
        first = false;
    }
    return joined;
}

} // namespace mrecord
