#include "common/ErrorTable.h"
#include "common/ReplyReader.h"
#include "tests/common/ScriptedSource.h"
#include "tests/common/WireBytes.h"

#include <gtest/gtest.h>

#include <cstring>
#include <string>

using namespace vorlan;
using test::Be32;
using test::FieldBytes;
using test::HeaderBytes;
using test::ScriptedSource;
using End = ScriptedSource::End;

namespace {

const std::string kOk = FieldBytes("O") + FieldBytes("0");

// A stream, how it ends, and what reading it must report.
struct StreamCase {
    const char* name;
    std::string stream;
    End end;
    int rc;
};
std::string ErrorTrailer(const std::string& text) {
    return FieldBytes("E") + FieldBytes("1") + FieldBytes(text);
}

struct ExecResult {
    int rc;
    std::string out; // up to the NUL
    int32_t length;
    bool guardsIntact;
};

// Runs the output reader on `stream` delivered in pieces of `piece` bytes, with guard bytes
// around the caller's buffer.
ExecResult Exec(const std::string& stream, size_t piece, int32_t capacity, End end = End::Close) {
    ScriptedSource src(end);
    src.Pieces(stream, piece);
    std::string area(static_cast<size_t>(capacity) + 32, '\x5a');
    char* buf = area.data() + 16;
    int32_t length = -1;
    int rc = wire::ReadExecReply(src, buf, capacity, &length);
    bool guards = area.compare(0, 16, std::string(16, '\x5a')) == 0 &&
                  area.compare(16 + static_cast<size_t>(capacity), 16, std::string(16, '\x5a')) == 0;
    bool terminated = length >= 0 && length < capacity && buf[length] == '\0';
    return {rc, terminated ? std::string(buf, static_cast<size_t>(length)) : "<unterminated>", length,
            guards};
}

} // namespace

TEST(ReplyHeader, MalformedHeadersAreRefused) {
    StreamCase cases[] = {
        {"truncated length", std::string("\0\0", 2), End::Close, 10006},
        {"truncated type", Be32(1), End::Close, 10006},
        {"type of two bytes", FieldBytes("RR") + FieldBytes("1"), End::Close, 10006},
        {"type of no bytes", FieldBytes("") + FieldBytes("1"), End::Close, 10006},
        {"negative type length", Be32(-2) + "R", End::Close, 10039},
        {"count empty", HeaderBytes("R", ""), End::Close, 10039},
        {"count negative", HeaderBytes("R", "-1"), End::Close, 10039},
        {"count over 999", HeaderBytes("R", "1000"), End::Close, 10039},
        {"count length negative", FieldBytes("R") + Be32(-1), End::Close, 10039},
        {"count cut by close", FieldBytes("R") + Be32(3) + "1", End::Close, 10006},
        {"nothing within the time-out", "", End::Timeout, 10016},
        {"count cut by time-out", FieldBytes("R") + Be32(2), End::Timeout, 10016},
    };
    for (const auto& c : cases) {
        ScriptedSource src(c.end);
        src.Piece(c.stream);
        char type;
        int32_t count;
        EXPECT_EQ(wire::ReadReplyHeader(src, &type, &count), c.rc) << c.name;
    }
}

TEST(ReplyHeader, ArrivesInAnyPieces) {
    std::string stream = HeaderBytes("V", "005");
    for (size_t piece = 1; piece <= stream.size(); ++piece) {
        ScriptedSource src;
        src.Pieces(stream, piece);
        char type = 0;
        int32_t count = 0;
        ASSERT_EQ(wire::ReadReplyHeader(src, &type, &count), 0);
        EXPECT_EQ(type, 'V');
        EXPECT_EQ(count, 5);
    }
}

TEST(StringField, ExcessIsTakenOffTheStreamInFull) {
    // The excess arrives only later; it must not be read as the next field.
    std::string longField = std::string(2000, 'a');
    ScriptedSource src;
    src.Piece(Be32(2000) + longField.substr(0, 500))
        .Pieces(longField.substr(500), 300)
        .Piece(FieldBytes("next"));
    char buf[1025];
    int32_t n = 0;
    ASSERT_EQ(wire::ReadStringField(src, buf, sizeof buf, &n), 0);
    EXPECT_EQ(n, 1024);
    EXPECT_EQ(std::string(buf), longField.substr(0, 1024));
    ASSERT_EQ(wire::ReadStringField(src, buf, sizeof buf, &n), 0);
    EXPECT_STREQ(buf, "next");
}

TEST(StringField, WritesAtMostCapacityIncludingTheTerminator) {
    ScriptedSource src;
    src.Piece(FieldBytes("abcdef"));
    char area[8];
    std::memset(area, 'z', sizeof area);
    int32_t n = 0;
    ASSERT_EQ(wire::ReadStringField(src, area, 4, &n), 0);
    EXPECT_EQ(n, 3);
    EXPECT_STREQ(area, "abc");
    EXPECT_EQ(area[4], 'z');
}

TEST(StringField, FailuresLeaveATerminatedBuffer) {
    StreamCase cases[] = {
        {"peer closes mid-field", Be32(10) + "abc", End::Close, 10006},
        {"peer closes in the excess", Be32(10) + "abcdefgh", End::Close, 10006},
        {"negative length", Be32(-3) + "abc", End::Close, 10039},
        {"run marker", Be32(-1) + Be32(4), End::Close, 10039},
        {"time-out mid-field", Be32(10) + "abc", End::Timeout, 10016},
    };
    for (const auto& c : cases) {
        ScriptedSource src(c.end);
        src.Piece(c.stream);
        char buf[6];
        std::memset(buf, 'z', sizeof buf);
        int32_t n = 0;
        EXPECT_EQ(wire::ReadStringField(src, buf, sizeof buf, &n), c.rc) << c.name;
        EXPECT_LT(strnlen(buf, sizeof buf), sizeof buf) << c.name;
    }
    char one[1];
    int32_t n;
    ScriptedSource empty;
    EXPECT_EQ(wire::ReadStringField(empty, one, 0, &n), 10034);
}

TEST(NumberField, ReadsLeadingDigits) {
    ScriptedSource src;
    src.Piece(FieldBytes("42abc") + FieldBytes("") + FieldBytes(std::string(100, '7')));
    int32_t v = -1;
    ASSERT_EQ(wire::ReadNumberField(src, &v), 0);
    EXPECT_EQ(v, 42);
    ASSERT_EQ(wire::ReadNumberField(src, &v), 0);
    EXPECT_EQ(v, 0);
    ASSERT_EQ(wire::ReadNumberField(src, &v), 0);
    EXPECT_EQ(src.Rest(), "");
}

TEST(ExecOutput, SameResultWhateverThePieces) {
    std::string every;
    for (int i = 0; i < 256; ++i)
        every += static_cast<char>(i);
    struct {
        const char* name;
        std::string output;
        std::string trailer;
        int32_t capacity;
        int rc;
        std::string expect;
    } cases[] = {
        {"one byte", "1", kOk, 100, 0, "1"},
        {"nothing written", "", kOk, 100, 0, ""},
        {"ends in <", "a<", kOk, 100, 0, "a<"},
        {"looks like the marker", "<XEN<XENDx<<XEND", kOk, 100, 0, "<XEN<XENDx<<XEND"},
        {"exactly capacity - 1", std::string(99, 'q'), kOk, 100, 0, std::string(99, 'q')},
        {"exactly capacity", std::string(100, 'q'), kOk, 100, 0, std::string(99, 'q')},
        {"far over capacity", std::string(5000, 'q') + "end", kOk, 100, 0, std::string(99, 'q')},
        {"capacity one", "abc", kOk, 1, 0, ""},
        {"every byte value", every + every, kOk, 1000, 0, every + every},
        {"M error replaces the output", "partial", ErrorTrailer("<UNDEF>zz+1^ABC"), 100, 10053,
         "<UNDEF>zz+1^ABC"},
        {"M error cut to the buffer", "", ErrorTrailer("<DIVER>x+2^Y"), 5, 10066, "<DIV"},
        {"unknown error text", "", ErrorTrailer("<WHAT>"), 100, 10035, "<WHAT>"},
        {"status length wrong", "x", Be32(2) + "OO" + FieldBytes("0"), 100, 10039, "x"},
        {"unknown status", "x", FieldBytes("Z") + FieldBytes("0"), 100, 10039, "x"},
        {"O count length wrong", "x", FieldBytes("O") + Be32(2) + "00", 100, 10039, "x"},
        {"E count not 1", "x", FieldBytes("E") + FieldBytes("2") + FieldBytes("<UNDEF>"), 100, 10039, "x"},
        {"E text empty", "x", FieldBytes("E") + FieldBytes("1") + FieldBytes(""), 100, 10039, "x"},
        {"E text negative", "x", FieldBytes("E") + FieldBytes("1") + Be32(-4), 100, 10039, "x"},
        {"trailer cut", "x", FieldBytes("O") + Be32(1), 100, 10006, "x"},
        {"E text cut", "x", FieldBytes("E") + FieldBytes("1") + Be32(9) + "<UND", 100, 10006, "x"},
        {"no marker before close", "abc<XEN", "", 100, 10006, "abc<XEN"},
    };
    for (const auto& c : cases) {
        std::string stream = c.output + "<XEND>" + c.trailer;
        if (c.trailer.empty()) stream = c.output;
        for (size_t piece : {size_t{1}, size_t{2}, size_t{3}, size_t{4}, size_t{5}, size_t{6}, size_t{7},
                             size_t{13}, size_t{1024}, size_t{5000}}) {
            auto r = Exec(stream, piece, c.capacity);
            EXPECT_EQ(r.rc, c.rc) << c.name << " / pieces of " << piece;
            EXPECT_EQ(r.out, c.expect) << c.name << " / pieces of " << piece;
            EXPECT_EQ(r.length, static_cast<int32_t>(c.expect.size())) << c.name << " / pieces of " << piece;
            EXPECT_TRUE(r.guardsIntact) << c.name << " / pieces of " << piece;
        }
    }
}

TEST(ExecOutput, MarkerSplitAtEveryPointIsFound) {
    for (size_t split = 1; split < 6; ++split) {
        std::string before = std::string(40, 'o') + std::string("<XEND>").substr(0, split);
        std::string after = std::string("<XEND>").substr(split) + kOk;
        for (int32_t capacity : {100, 41, 40, 30}) {
            ScriptedSource src;
            src.Piece(before).Piece(after);
            char buf[100];
            int32_t length = -1;
            ASSERT_EQ(wire::ReadExecReply(src, buf, capacity, &length), 0);
            std::string expect(static_cast<size_t>(std::min(40, capacity - 1)), 'o');
            EXPECT_EQ(std::string(buf), expect) << split << " / " << capacity;
            EXPECT_EQ(length, static_cast<int32_t>(expect.size()));
        }
    }
}

TEST(ExecOutput, TrailerArrivingLateIsWaitedForAndNothingIsLeftOver) {
    // The 'O' trailer comes in two parts; none of it may remain for the next reply.
    ScriptedSource src;
    src.Piece("hello<XEND>" + kOk.substr(0, 3)).Piece(kOk.substr(3)).Piece(HeaderBytes("R", "0"));
    char buf[64];
    int32_t length = 0;
    ASSERT_EQ(wire::ReadExecReply(src, buf, sizeof buf, &length), 0);
    EXPECT_STREQ(buf, "hello");
    EXPECT_EQ(src.Rest(), HeaderBytes("R", "0"));
}

TEST(ExecOutput, LongErrorTextIsCutAndConsumed) {
    std::string text = "<SYNTX>" + std::string(3000, 'e');
    ScriptedSource src;
    src.Pieces("<XEND>" + ErrorTrailer(text), 700).Piece("NEXT");
    char buf[4096];
    int32_t length = 0;
    EXPECT_EQ(wire::ReadExecReply(src, buf, sizeof buf, &length), 10057);
    EXPECT_EQ(std::string(buf), text.substr(0, 1010));
    EXPECT_EQ(src.Rest(), "NEXT");
}

TEST(ExecOutput, FailuresStillTerminateTheOutput) {
    for (End end : {End::Close, End::Timeout}) {
        auto r = Exec(std::string(300, 'w'), 7, 50, end);
        EXPECT_EQ(r.rc, end == End::Close ? 10006 : 10016);
        EXPECT_EQ(r.out, std::string(49, 'w'));
        EXPECT_EQ(r.length, 49);
        EXPECT_TRUE(r.guardsIntact);
    }
    ScriptedSource src;
    char buf[4];
    int32_t length;
    EXPECT_EQ(wire::ReadExecReply(src, nullptr, 10, &length), 10034);
    EXPECT_EQ(wire::ReadExecReply(src, buf, 0, &length), 10034);
}
