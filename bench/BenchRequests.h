#pragma once
// The requests both benchmark programs time: "W 1" and the same padded with a string literal
// to 10 KB and 60 KB (a literal, because the server runs code of at most 8 KB directly and
// lifts long literals out of it).

#include <cstddef>
#include <string>
#include <vector>

namespace vorlan::bench {

struct BenchRequest {
    const char* name;
    std::string code;
    double target; // the client's round trip within this many times (raw + server)
};

// Bytes of an "X" request for `code`, and of the answer to any of these.
inline size_t RequestSize(const std::string& code) {
    return 4 + 1 + 4 + 1 + 4 + code.size() + 4 + 6;
}
constexpr size_t kReplySize = 1 + 6 + 5 + 5;

inline std::vector<BenchRequest> BenchRequests() {
    std::vector<BenchRequest> out{{"W 1", "W 1", 1.5}};
    for (auto [name, size] : {std::pair<const char*, size_t>{"10 KB", 10 * 1024}, {"60 KB", 60 * 1024}}) {
        std::string head = "S %K=\"", tail = "\" K %K W 1";
        std::string code = head + std::string(size - RequestSize(head + tail), 'x') + tail;
        out.push_back({name, code, 2.0});
    }
    return out;
}

} // namespace vorlan::bench
