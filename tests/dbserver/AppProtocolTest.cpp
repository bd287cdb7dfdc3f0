// The application protocol's framing and replies, over a scripted M job.
#include "dbserver/AppProtocol.h"
#include "tests/dbserver/ScriptedJob.h"

#include <gtest/gtest.h>

namespace vorlan::dbserver::app {
namespace {

using test::ScriptedJob;
using namespace std::string_literals;

const Database& TestDb() {
    static const Database db = Database::Parse(
        "/db", "VOR DBK /db/VOR.gld default\nABR DBK /db/ABR.gld\nSYS DBK /db/SYS.gld system\n");
    return db;
}

Frame Req(char command, std::string text = "") {
    return Frame{command, std::move(text)};
}

// Every frame of `bytes` fed one byte at a time, or the reader's error.
std::vector<Frame> FeedBytewise(const std::string& bytes, std::string* error = nullptr) {
    FrameReader reader;
    std::vector<Frame> frames;
    for (char c : bytes) {
        size_t used = 0;
        auto r = reader.Feed(&c, 1, &used);
        if (r != FrameReader::Result::Malformed) {
            EXPECT_EQ(used, 1u);
        }
        if (r == FrameReader::Result::Complete) frames.push_back(reader.request());
        if (r == FrameReader::Result::Malformed) {
            if (error) *error = reader.error();
            break;
        }
    }
    return frames;
}

TEST(AppFrameReader, FramesSplitAnywhereOrSharingASegment) {
    std::string stream = EncodeFrame('/', "VOR") + EncodeFrame('X', "W 1") + EncodeFrame('L', "");
    auto frames = FeedBytewise(stream);
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0].command, '/');
    EXPECT_EQ(frames[0].text, "VOR");
    EXPECT_EQ(frames[1].text, "W 1");
    EXPECT_EQ(frames[2].command, 'L');
    EXPECT_EQ(frames[2].text, "");

    // All at once: each Feed stops after one frame.
    FrameReader reader;
    size_t at = 0, used = 0, count = 0;
    while (at < stream.size()) {
        ASSERT_EQ(reader.Feed(stream.data() + at, stream.size() - at, &used), FrameReader::Result::Complete);
        at += used;
        ++count;
    }
    EXPECT_EQ(count, 3u);
}

TEST(AppFrameReader, LengthIsLittleEndianAndCarriesAnyBytes) {
    std::string text(300, 'a');
    text[5] = '\0';
    text[299] = '\xff';
    std::string frame = EncodeFrame('X', text);
    EXPECT_EQ(frame.substr(0, 2), "\x2d\x01"s); // 301
    auto frames = FeedBytewise(frame);
    ASSERT_EQ(frames.size(), 1u);
    EXPECT_EQ(frames[0].text, text);
}

TEST(AppFrameReader, BrokenFramingIsMalformed) {
    for (const std::string& bad : {"\0\0"s, "\1\0Q"s, EncodeFrame('X', "W 1") + "\2\0?x"s}) {
        std::string error;
        FeedBytewise(bad, &error);
        EXPECT_FALSE(error.empty()) << bad;
    }
}

TEST(AppLogin, NamespaceAndVolumeAsTheClientLibraryMapsThem) {
    struct Case {
        std::string text, reply;
    } cases[] = {
        {"", "1\0"s},        {"VOR", "1\0"s},   {"abr", "1\0"s},
        {"ABR,DBK", "1\0"s}, {"XYZ", "0,1\0"s}, {"VOR,OTHER", "0,1\0"s},
    };
    for (const auto& c : cases)
        EXPECT_EQ(CheckLogin(Req('/', c.text), TestDb()).reply, c.reply) << c.text;
    EXPECT_FALSE(CheckLogin(Req('X', "W 1"), TestDb()).wellFormed);
}

TEST(AppHandler, ExecuteRepliesOutputAndStatus) {
    ScriptedJob job;
    Handler h(TestDb(), job);
    job.output = "\f\fhello";
    EXPECT_EQ(h.Handle(Req('X', "W 1")).reply, "1\f\fhello\0"
                                               "1\0\0\0"s);

    job.output = "half";
    job.status = 1;
    auto r = h.Handle(Req('X', "W 1/0"));
    EXPECT_EQ(r.reply, "1half\0"
                       "0<DIVER>X^Y Attempt to divide by zero\0\0\0"s);
    EXPECT_EQ(job.resets, 1);

    job.status = 0;
    job.output = "a\0b"s;
    EXPECT_EQ(h.Handle(Req('X', "W 1")).reply, "1\0"
                                               "0<SYSTM>output contains a NUL byte\0\0\0"s);

    job.output = std::string(70000, 'x');
    r = h.Handle(Req('X', "W 1"));
    EXPECT_EQ(r.reply.size(), 1 + kMaxOutput + 5);
    EXPECT_EQ(r.reply.substr(r.reply.size() - 5), "\0"
                                                  "1\0\0\0"s);
}

TEST(AppHandler, ChangeLogoutAndStrayRequests) {
    ScriptedJob job;
    Handler h(TestDb(), job);
    auto r = h.Handle(Req('C', "ABR"));
    EXPECT_EQ(r.reply, "1\0"s);
    EXPECT_NE(job.lastBlob.find("/db/ABR.gld"), std::string::npos);
    EXPECT_EQ(h.Handle(Req('C', "NIX")).reply, "0\0"s);
    job.status = 1;
    EXPECT_EQ(h.Handle(Req('C', "VOR")).reply, "0\0"s);

    r = h.Handle(Req('L'));
    EXPECT_EQ(r.action, Handler::Action::ReplyAndEnd);
    EXPECT_EQ(r.reply, "1\0"s);
    EXPECT_EQ(h.Handle(Req('/', "VOR")).action, Handler::Action::Close);
}

} // namespace
} // namespace vorlan::dbserver::app
