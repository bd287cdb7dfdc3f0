#include "common/ErrorTable.h"
#include "common/Nonce.h"
#include "common/WireFormat.h"
#include "tests/common/WireBytes.h"

#include <gtest/gtest.h>

#include <climits>
#include <cstring>
#include <string>
#include <vector>

using namespace vorlan;
using vorlan::test::Be32;
using vorlan::test::FieldBytes;

namespace {

struct RecordingSink : wire::ByteSink {
    std::vector<std::string> sends;
    std::vector<const uint8_t*> origins;
    int failAt = -1; // index of the send that fails
    int Send(const uint8_t* data, int32_t length) override {
        if (static_cast<int>(sends.size()) == failAt) return kvx::kErrConnectionLost;
        sends.emplace_back(reinterpret_cast<const char*>(data), static_cast<size_t>(length));
        origins.push_back(data);
        return 0;
    }
    std::string All() const {
        std::string s;
        for (const auto& x : sends)
            s += x;
        return s;
    }
};

} // namespace

TEST(WireNumbers, FormatAndParseAsTheOtherSideDoes) {
    struct {
        int32_t value;
        const char* text;
    } formats[] = {{0, "0"}, {7, "7"}, {-1, "-1"}, {INT_MAX, "2147483647"}, {INT_MIN, "-2147483648"}};
    for (const auto& c : formats) {
        char out[wire::kNumberTextMax];
        EXPECT_EQ(wire::FormatNumber(c.value, out), static_cast<int>(std::strlen(c.text)));
        EXPECT_STREQ(out, c.text);
    }
    struct {
        const char* text;
        int32_t value;
    } parses[] = {{"", 0},
                  {"abc", 0},
                  {"12abc", 12},
                  {" 42", 42},
                  {"-5", -5},
                  {"+3", 3},
                  {"99999999999", INT_MAX},
                  {"-99999999999", INT_MIN},
                  {"-2147483648", INT_MIN},
                  {"0999", 999}};
    for (const auto& c : parses)
        EXPECT_EQ(wire::ParseNumber(c.text, std::strlen(c.text)), c.value) << c.text;
}

TEST(WireNumbers, LengthsAreBigEndianSigned) {
    uint8_t b[4];
    wire::PutInt32(0x01020304, b);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(b), 4), std::string("\x01\x02\x03\x04"));
    for (int32_t v : {0, 1, -1, INT_MIN, INT_MAX, 1024}) {
        wire::PutInt32(v, b);
        EXPECT_EQ(wire::GetInt32(b), v);
    }
}

TEST(RequestWriter, ExactlyFullBufferGoesOutWhenItsLastByteIsAppended) {
    RecordingSink sink;
    uint8_t buf[1024];
    int32_t pos = 0;
    wire::RequestWriter w(sink, buf, sizeof buf, pos);
    w.Header("X", 2).Field(std::string(1024 - 4 - 1 - 4 - 1 - 4, 'a').data(), 1024 - 14);
    ASSERT_EQ(w.status(), 0);
    ASSERT_EQ(sink.sends.size(), 1u);
    EXPECT_EQ(sink.sends[0].size(), 1024u);
    EXPECT_EQ(pos, 0);
    EXPECT_EQ(w.Flush(), 0);
    EXPECT_EQ(sink.sends.size(), 1u); // nothing left to send
}

TEST(RequestWriter, LongFieldIsSplitAndWholePiecesGoStraightFromTheData) {
    RecordingSink sink;
    uint8_t buf[1024];
    int32_t pos = 0;
    std::string data(3000, 'x');
    for (size_t i = 0; i < data.size(); ++i)
        data[i] = static_cast<char>(i);
    wire::RequestWriter(sink, buf, sizeof buf, pos).Field(data.data(), data.size());
    ASSERT_EQ(sink.sends.size(), 2u);
    EXPECT_EQ(sink.sends[0], Be32(3000) + data.substr(0, 1020));
    EXPECT_EQ(sink.sends[1], data.substr(1020, 1024));
    EXPECT_EQ(sink.origins[1], reinterpret_cast<const uint8_t*>(data.data()) + 1020);
    EXPECT_EQ(pos, 956);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 956), data.substr(2044));

    // Several whole pieces leave in one send; the buffer keeps the same rest.
    RecordingSink many;
    pos = 0;
    std::string big(10000, 'y');
    wire::RequestWriter(many, buf, sizeof buf, pos).Field(big.data(), big.size());
    ASSERT_EQ(many.sends.size(), 2u);
    EXPECT_EQ(many.sends[1].size(), 8u * 1024);
    EXPECT_EQ(pos, static_cast<int32_t>((10000 + 4) % 1024));
}

TEST(RequestWriter, ProducesTheFieldsOfARequest) {
    RecordingSink sink;
    uint8_t buf[16]; // small, so that every rule of the flush shows
    int32_t pos = 0;
    wire::RequestWriter w(sink, buf, sizeof buf, pos);
    w.Header("D", 4).Text("RTN^X").Text(nullptr).Number(-12).Run(5).Field("\0\xff", 2);
    ASSERT_EQ(w.Flush(), 0);
    std::string expect = FieldBytes("D") + FieldBytes("4") + FieldBytes("RTN^X") + FieldBytes("") +
                         FieldBytes("-12") + std::string("\xff\xff\xff\xff", 4) + Be32(5) +
                         FieldBytes(std::string("\0\xff", 2));
    EXPECT_EQ(sink.All(), expect);
    for (const auto& s : sink.sends)
        EXPECT_LE(s.size(), 16u);

    RecordingSink reply;
    int32_t p2 = 0;
    wire::RequestWriter r(reply, buf, sizeof buf, p2);
    r.ReplyHeader('R', 1).Flush();
    EXPECT_EQ(reply.All(), FieldBytes("R") + FieldBytes("1"));
}

TEST(RequestWriter, FirstErrorSticksAndStopsSending) {
    RecordingSink sink;
    sink.failAt = 1;
    uint8_t buf[8];
    int32_t pos = 0;
    wire::RequestWriter w(sink, buf, sizeof buf, pos);
    std::string big(40, 'z');
    w.Field(big.data(), big.size()).Text("more");
    EXPECT_EQ(w.status(), kvx::kErrConnectionLost);
    EXPECT_EQ(w.Flush(), kvx::kErrConnectionLost);
    EXPECT_EQ(sink.sends.size(), 1u);
}

TEST(RequestWriter, OnlyTheCallersDataIsLentUntilPush) {
    // In a 4-byte buffer a number's text, a run marker and a reply type go out in whole pieces
    // too, but they live on the writer's stack: a sink that kept them until Push would send
    // whatever is there by then. Only the caller's field data may be lent.
    struct LendingSink : RecordingSink {
        std::vector<std::pair<const uint8_t*, int32_t>> lent;
        int pushes = 0;
        int SendLasting(const uint8_t* data, int32_t length) override {
            lent.emplace_back(data, length);
            return Send(data, length);
        }
        int Push() override {
            ++pushes;
            return 0;
        }
    };
    LendingSink sink;
    uint8_t buf[4];
    int32_t pos = 0;
    wire::RequestWriter w(sink, buf, sizeof buf, pos);
    const std::string data = "lent data";
    w.Number(123456789).Field(data.data(), data.size()).Run(3).ReplyHeader('R', 1000);
    EXPECT_EQ(w.Flush(), 0);
    EXPECT_EQ(sink.pushes, 1);
    EXPECT_EQ(sink.All(), FieldBytes("123456789") + FieldBytes(data) + test::RunMarker(3) + FieldBytes("R") +
                              FieldBytes("1000"));
    ASSERT_FALSE(sink.lent.empty());
    for (const auto& [at, length] : sink.lent) {
        EXPECT_GE(reinterpret_cast<const char*>(at), data.data());
        EXPECT_LE(reinterpret_cast<const char*>(at) + length, data.data() + data.size());
    }
}

TEST(RequestWriter, RefusesBuffersItCannotWriteSafely) {
    uint8_t buf[8];
    struct {
        uint8_t* buffer;
        int32_t capacity, position;
    } cases[] = {{nullptr, 8, 0}, {buf, 0, 0}, {buf, -1, 0}, {buf, 8, -1}, {buf, 8, 9}};
    for (auto& c : cases) {
        RecordingSink sink;
        wire::RequestWriter w(sink, c.buffer, c.capacity, c.position);
        w.Text("abc");
        EXPECT_EQ(w.Flush(), kvx::kErrBadArgument);
        EXPECT_TRUE(sink.sends.empty());
    }
}

TEST(ReplyHeaderChecks, TypeLengthAndCountRanges) {
    EXPECT_EQ(wire::CheckReplyTypeLength(1), 0);
    EXPECT_EQ(wire::CheckReplyTypeLength(2), kvx::kErrConnectionLost);
    EXPECT_EQ(wire::CheckReplyTypeLength(0), kvx::kErrConnectionLost);
    EXPECT_EQ(wire::CheckReplyTypeLength(-5), kvx::kErrProtocol);
    struct {
        const char* text;
        int rc;
        int32_t count;
    } cases[] = {{"0", 0, 0},    {"999", 0, 999},    {"5x", 0, 5},
                 {"", 10039, 0}, {"1000", 10039, 0}, {"-1", 10039, 0}};
    for (const auto& c : cases) {
        int32_t n = -7;
        EXPECT_EQ(wire::ParseReplyCount(c.text, std::strlen(c.text), &n), c.rc) << c.text;
        EXPECT_EQ(n, c.count) << c.text;
    }
}

TEST(ErrorTable, FirstPrefixRowGivesTheNumber) {
    struct {
        const char* text;
        int number;
    } cases[] = {
        {"<UNDEF>zz+1^ABC", 10053}, {"<undef>zz+1^ABC", 10035}, {"<PART>", 10044}, {"<PASSWD>", 10009},
        {"<NOUCI>", 10088},         {"<NOSIB>", 10023},         {"<UNDEF", 10035}, {"", 10035},
        {"<PROT >x", 10052}};
    for (const auto& c : cases)
        EXPECT_EQ(kvx::ServerErrorNumber(c.text, std::strlen(c.text)), c.number) << c.text;
    EXPECT_EQ(kvx::ServerErrorNumber(nullptr, 0), 10035);
    // No row may hide a later one.
    for (size_t i = 0; i < kvx::kServerErrorRows; ++i)
        for (size_t j = i + 1; j < kvx::kServerErrorRows; ++j)
            EXPECT_NE(std::strncmp(kvx::error_table[i].text, kvx::error_table[j].text,
                                   std::strlen(kvx::error_table[i].text)),
                      0)
                << kvx::error_table[i].text << " hides " << kvx::error_table[j].text;
}

TEST(ErrorTable, SocketErrorsMap) {
    EXPECT_EQ(kvx::MapSocketError(10024), 10005);
    EXPECT_EQ(kvx::MapSocketError(10050), 10004);
    EXPECT_EQ(kvx::MapSocketError(10093), 10003);
    EXPECT_EQ(kvx::MapSocketError(10054), 10006);
}

TEST(Nonce, KeysAgreeWithTheServer) {
    static_assert(nonce::Answer(10) == 14435);
    static_assert(nonce::Answer(16383) == 32013);
    EXPECT_TRUE(nonce::AnswerMatches(10, 14435 + 0x10000)); // only the low 16 bits count
    EXPECT_FALSE(nonce::AnswerMatches(10, 14436));
}
