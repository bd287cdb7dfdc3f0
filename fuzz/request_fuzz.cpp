// The server's request decoder: the same requests whether the bytes come whole or in pieces,
// each request holding exactly its count of fields, and no crash or runaway allocation on any
// input.
#include "common/RequestDecoder.h"

#include <cstdlib>
#include <string>
#include <vector>

namespace {

struct Outcome {
    std::vector<vorlan::wire::Request> requests;
    bool malformed = false;
};

Outcome Decode(const unsigned char* data, size_t size, size_t piece) {
    vorlan::wire::DecodeLimits limits;
    limits.maxFieldLength = 4096;
    limits.maxFields = 1000;
    limits.maxRequestBytes = 1 << 16;
    vorlan::wire::RequestDecoder d(limits);
    Outcome o;
    for (size_t i = 0; i < size && !o.malformed; i += piece) {
        size_t n = std::min(piece, size - i);
        for (size_t at = 0, used = 0; at < n; at += used) {
            auto r = d.Feed(data + i + at, n - at, &used);
            if (r == vorlan::wire::RequestDecoder::Result::Malformed) o.malformed = true;
            if (r != vorlan::wire::RequestDecoder::Result::Complete) break;
            const auto& req = d.request();
            if (req.fields.size() != static_cast<size_t>(req.count) || req.code.empty()) std::abort();
            o.requests.push_back(req);
        }
    }
    return o;
}

bool Same(const Outcome& a, const Outcome& b) {
    if (a.malformed != b.malformed || a.requests.size() != b.requests.size()) return false;
    for (size_t i = 0; i < a.requests.size(); ++i)
        if (a.requests[i].code != b.requests[i].code || a.requests[i].fields != b.requests[i].fields)
            return false;
    return true;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const unsigned char* data, size_t size) {
    if (size < 1) return 0;
    size_t piece = 1 + data[0] % 17;
    auto whole = Decode(data + 1, size - 1, size);
    auto pieces = Decode(data + 1, size - 1, piece);
    if (!Same(whole, pieces)) std::abort();
    return 0;
}
