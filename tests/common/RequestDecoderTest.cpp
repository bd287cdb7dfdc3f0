#include "common/RequestDecoder.h"
#include "common/WireFormat.h"
#include "tests/common/WireBytes.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

using namespace vorlan;
using test::Be32;
using test::FieldBytes;
using test::RunMarker;
using Result = wire::RequestDecoder::Result;

namespace {

// Feeds `stream` in pieces of `piece` bytes and collects every complete request.
std::vector<wire::Request> DecodeAll(const std::string& stream, size_t piece, Result* last = nullptr,
                                     const wire::DecodeLimits& limits = {}) {
    wire::RequestDecoder d(limits);
    std::vector<wire::Request> out;
    Result r = Result::NeedMore;
    for (size_t i = 0; i < stream.size() && r != Result::Malformed; i += piece) {
        std::string chunk = stream.substr(i, piece);
        for (size_t at = 0, used = 0; at < chunk.size(); at += used) {
            r = d.Feed(chunk.data() + at, chunk.size() - at, &used);
            if (r != Result::Complete) break;
            out.push_back(d.request());
        }
    }
    if (last) *last = r;
    return out;
}

} // namespace

TEST(RequestDecoder, RequestsInAnyPieces) {
    std::string stream = FieldBytes("X") + FieldBytes("2") + FieldBytes("W 1") + FieldBytes("<XEND>") +
                         FieldBytes("Q") + FieldBytes("0") + FieldBytes("D") + FieldBytes("8") +
                         FieldBytes("R^X") + FieldBytes("1") + RunMarker(5) +
                         FieldBytes(std::string("\0\xff", 2)) + FieldBytes("1") + FieldBytes("2") +
                         FieldBytes("A") + FieldBytes(std::string(3000, 'v'));
    for (size_t piece : {1, 2, 3, 4, 5, 8, 1000, 10000}) {
        Result last;
        auto reqs = DecodeAll(stream, piece, &last);
        ASSERT_EQ(reqs.size(), 4u) << piece;
        EXPECT_EQ(reqs[0].code, "X");
        EXPECT_EQ(reqs[0].fields, (std::vector<std::string>{"W 1", "<XEND>"}));
        EXPECT_EQ(reqs[1].code, "Q");
        EXPECT_TRUE(reqs[1].fields.empty());
        EXPECT_EQ(reqs[2].count, 8);
        EXPECT_EQ(reqs[2].fields,
                  (std::vector<std::string>{"R^X", "1", "", "", "", "", "", std::string("\0\xff", 2)}));
        EXPECT_EQ(reqs[3].fields[1], std::string(3000, 'v'));
    }
}

TEST(RequestDecoder, StopsAtTheEndOfARequest) {
    std::string one = FieldBytes("K") + FieldBytes("0");
    std::string both = one + one;
    wire::RequestDecoder d;
    size_t used = 0;
    ASSERT_EQ(d.Feed(both.data(), both.size(), &used), Result::Complete);
    EXPECT_EQ(used, one.size());
    ASSERT_EQ(d.Feed(both.data() + used, both.size() - used, &used), Result::Complete);
    EXPECT_EQ(d.request().code, "K");
}

TEST(RequestDecoder, WriterOutputDecodes) {
    struct Sink : wire::ByteSink {
        std::string bytes;
        int Send(const uint8_t* d, int32_t n) override {
            bytes.append(reinterpret_cast<const char*>(d), static_cast<size_t>(n));
            return 0;
        }
    } sink;
    uint8_t buf[1024];
    int32_t pos = 0;
    wire::RequestWriter w(sink, buf, sizeof buf, pos);
    w.Header("DD", 5).Text("EN^RTN").Number(-1).Run(2).Text("z");
    ASSERT_EQ(w.Flush(), 0);
    auto reqs = DecodeAll(sink.bytes, 3);
    ASSERT_EQ(reqs.size(), 1u);
    EXPECT_EQ(reqs[0].code, "DD");
    EXPECT_EQ(reqs[0].fields, (std::vector<std::string>{"EN^RTN", "-1", "", "", "z"}));
}

TEST(RequestDecoder, MalformedStreamsAreReportedNotFollowed) {
    wire::DecodeLimits small;
    small.maxFieldLength = 100;
    small.maxFields = 10;
    small.maxRequestBytes = 250;
    struct {
        const char* name;
        std::string stream;
    } cases[] = {
        {"negative length", FieldBytes("X") + FieldBytes("1") + Be32(-2)},
        {"huge length", FieldBytes("X") + FieldBytes("1") + Be32(0x7fffffff)},
        {"field over the cap", FieldBytes("X") + FieldBytes("1") + Be32(101)},
        {"run as the code", RunMarker(1)},
        {"run as the count", FieldBytes("D") + RunMarker(1)},
        {"run of zero", FieldBytes("D") + FieldBytes("3") + RunMarker(0)},
        {"run of minus one", FieldBytes("D") + FieldBytes("3") + RunMarker(-1)},
        {"run past the count", FieldBytes("D") + FieldBytes("3") + FieldBytes("R") + RunMarker(3)},
        {"count not a number", FieldBytes("D") + FieldBytes("3a")},
        {"count empty", FieldBytes("D") + FieldBytes("")},
        {"count negative", FieldBytes("D") + FieldBytes("-1")},
        {"count over the cap", FieldBytes("D") + FieldBytes("11")},
        {"count of digits only but huge", FieldBytes("D") + FieldBytes("99999999999")},
        {"empty code", FieldBytes("") + FieldBytes("0")},
        {"long code", FieldBytes("ABCDEFGHI") + FieldBytes("0")},
        {"request over the cap", FieldBytes("D") + FieldBytes("3") + FieldBytes(std::string(100, 'a')) +
                                     FieldBytes(std::string(100, 'a')) + FieldBytes(std::string(100, 'a'))},
    };
    for (const auto& c : cases) {
        Result last;
        auto reqs = DecodeAll(c.stream, 1, &last, small);
        EXPECT_EQ(last, Result::Malformed) << c.name;
        EXPECT_TRUE(reqs.empty()) << c.name;
    }
    // Malformed is final.
    wire::RequestDecoder d;
    std::string bad = Be32(-5);
    size_t used;
    ASSERT_EQ(d.Feed(bad.data(), bad.size(), &used), Result::Malformed);
    std::string good = FieldBytes("K") + FieldBytes("0");
    EXPECT_EQ(d.Feed(good.data(), good.size(), &used), Result::Malformed);
    EXPECT_STRNE(d.error(), "");
}
