#pragma once
// Bytes of the wire format written out by hand, for tests that must build streams the codec
// would never produce: fields, run markers, reply headers and the end of an execution.

#include "common/WireFormat.h"

#include <cstdint>
#include <string>
#include <vector>

namespace vorlan::test {

inline std::string Be32(int32_t v) {
    uint8_t b[4];
    wire::PutInt32(v, b);
    return std::string(reinterpret_cast<const char*>(b), 4);
}

inline std::string FieldBytes(const std::string& data) {
    return Be32(static_cast<int32_t>(data.size())) + data;
}

inline std::string RunMarker(int32_t count) {
    return Be32(wire::kRunMarkerLength) + Be32(count);
}

inline std::string HeaderBytes(const std::string& type, const std::string& count) {
    return FieldBytes(type) + FieldBytes(count);
}

inline std::string ReplyBytes(char type, const std::vector<std::string>& fields) {
    std::string out = HeaderBytes(std::string(1, type), std::to_string(fields.size()));
    for (const auto& f : fields)
        out += FieldBytes(f);
    return out;
}

// What follows the output of an execution: the marker, then 'O', or 'E' with the error text.
inline std::string ExecReply(const std::string& output) {
    return output + wire::kExecEndMarker + HeaderBytes("O", "0");
}

inline std::string ExecError(const std::string& output, const std::string& errorText) {
    return output + wire::kExecEndMarker + HeaderBytes("E", "1") + FieldBytes(errorText);
}

} // namespace vorlan::test
