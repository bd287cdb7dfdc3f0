// The receive buffer and the collected sends over real sockets: replies in tiny segments, bytes
// after a reply in the same segment, time-outs and closes with part of a reply buffered, and
// replies larger than the buffer. What the peer sees and what the calls return must be the
// same as with a socket call per field.
#include "tests/client/PeerSession.h"

#include <cstring>

using namespace vorlan;
using namespace vorlan::test;

namespace {

// A peer that answers the first request after the log-in with `first` (sent by `send`), then
// every later one with `later`.
ScriptedPeer::Script FirstThen(std::function<void(PeerConnection&)> first, std::string later) {
    return [first, later](PeerConnection& c, ScriptedPeer& self) {
        wire::Request r;
        if (!AnswerLogin(c, self) || !c.ReadRequest(&r)) return;
        first(c);
        while (c.ReadRequest(&r)) {
            self.Record(r, c.raw());
            c.Send(later);
        }
    };
}

} // namespace

TEST(Transport, RepliesOneBytePerSegment) {
    // The next call's own answer comes whole: nothing of the first may be left over.
    struct {
        bool execute;
        std::string first, later;
        int laterRc;
        const char *firstOut, *laterOut;
    } cases[] = {
        {true, ExecReply("a<b"), ExecError("", "<UNDEF>y"), 10053, "a<b", "<UNDEF>y"},
        {false, ReplyBytes('R', {"value"}), ReplyBytes('R', {"second"}), 0, "value", "second"},
    };
    for (const auto& c : cases) {
        ScriptedPeer peer(FirstThen([&](PeerConnection& p) { p.SendInSegments(c.first, 1, 2); }, c.later));
        int h = LoginTo(peer.port());
        auto call = [&](char* out) {
            return c.execute ? kvx_xecute(h, "W 1", out, 32) : kvx_local_get(h, "X", out, 32);
        };
        char out[32];
        EXPECT_EQ(call(out), 0) << c.firstOut;
        EXPECT_STREQ(out, c.firstOut);
        EXPECT_EQ(call(out), c.laterRc) << c.laterOut;
        EXPECT_STREQ(out, c.laterOut);
        kvx_logout(h);
    }
}

TEST(Transport, BytesAfterAReplyInItsSegmentAreDrained) {
    // Whatever follows the reply arrives with it, so it sits in the receive buffer when the
    // next call starts; looking like replies, it would be read as the next answer.
    struct {
        const char* name;
        std::string after;
    } cases[] = {{"an 'R' reply", ReplyBytes('R', {"stale"})},
                 {"an execution's end", ExecReply("stale")},
                 {"half a field", Be32(50) + "sta"}};
    for (const auto& c : cases) {
        ScriptedPeer peer(
            FirstThen([&](PeerConnection& p) { p.Send(ExecReply("1") + c.after); }, ExecReply("2")));
        int h = LoginTo(peer.port());
        char out[32];
        EXPECT_EQ(kvx_xecute(h, "W 1", out, sizeof out), 0) << c.name;
        EXPECT_STREQ(out, "1") << c.name;
        EXPECT_EQ(kvx_xecute(h, "W 2", out, sizeof out), 0) << c.name;
        EXPECT_STREQ(out, "2") << c.name;
        kvx_logout(h);
    }
}

TEST(Transport, TimeOutWithHalfAReplyBuffered) {
    // The peer sends half an answer, stalls past the client's time-out, sends the rest and
    // then answers the next request properly. As before: 10016 while the output streams (the
    // part that came is delivered), 10006 in the trailer or a field, and in every case the
    // connection serves the next call.
    const std::string field = ReplyBytes('R', {"abcdefghij"});
    struct {
        const char* name;
        bool execute;
        std::string reply;
        size_t half;
        int rc;
        std::string out;
    } cases[] = {
        {"output", true, ExecReply("partial output"), 7, 10016, "partial"},
        {"trailer", true, ExecReply("done"), 12, 10006, "done"},
        {"field", false, field, 17, 10016, "abc"},
    };
    for (const auto& c : cases) {
        ScriptedPeer peer(FirstThen(
            [&](PeerConnection& p) {
                p.Send(c.reply.substr(0, c.half));
                Sleep(1500);
                p.Send(c.reply.substr(c.half));
            },
            c.execute ? ExecReply("next") : ReplyBytes('R', {"next"})));
        int h = LoginTo(peer.port());
        ASSERT_EQ(kvx_timeout(h, 1), 0);
        char out[32];
        int rc = c.execute ? kvx_xecute(h, "W 1", out, sizeof out) : kvx_local_get(h, "X", out, sizeof out);
        EXPECT_EQ(rc, c.rc) << c.name;
        EXPECT_STREQ(out, c.out.c_str()) << c.name;
        Sleep(1000); // the rest of the old answer has come
        rc = c.execute ? kvx_xecute(h, "W 1", out, sizeof out) : kvx_local_get(h, "X", out, sizeof out);
        EXPECT_EQ(rc, 0) << c.name;
        EXPECT_STREQ(out, "next") << c.name;
        kvx_logout(h);
    }
}

TEST(Transport, PeerClosingMidFieldAfterTinySegments) {
    ScriptedPeer peer([](PeerConnection& c, ScriptedPeer& self) {
        wire::Request r;
        if (!AnswerLogin(c, self) || !c.ReadRequest(&r)) return;
        c.SendInSegments(ReplyBytes('R', {"abcdefghij"}).substr(0, 19), 3, 2);
        c.Close();
    });
    int h = LoginTo(peer.port());
    char out[32];
    EXPECT_EQ(kvx_local_get(h, "X", out, sizeof out), 10006);
    EXPECT_STREQ(out, "abcde");
    kvx_logout(h);
}

TEST(Transport, RepliesLargerThanTheReceiveBuffer) {
    // A field ends where the first 64 KB end; a run marker follows, its bytes split between
    // two sends; the rest of the stream comes later.
    const size_t kBuffer = 64 * 1024;
    const std::string head = ReplyBytes('R', {});
    const std::string first(kBuffer - head.size() - 4, 'a');
    const std::string stream = head + FieldBytes(first) + RunMarker(9) + FieldBytes("end");
    ScriptedPeer peer(FirstThen(
        [&](PeerConnection& p) {
            p.Send(stream.substr(0, kBuffer + 3));
            Sleep(100);
            p.Send(stream.substr(kBuffer + 3));
        },
        ""));
    struct {
        int handle;
    } s{LoginTo(peer.port())};

    char buffer[32];
    int position = 0;
    ASSERT_EQ(PTDO2START(s.handle, "R^X", buffer, sizeof buffer, &position, 0), 0);
    char type = 0;
    int count = 0;
    ASSERT_EQ(PTDO2SEND(s.handle, buffer, sizeof buffer, &position, &type, &count, 0), 0);
    EXPECT_EQ(type, 'R');
    int length = 0;
    ASSERT_EQ(PTDO2FIELDLENGTH(s.handle, buffer, sizeof buffer, &length), 0);
    ASSERT_EQ(length, static_cast<int>(first.size()));
    std::string got(first.size(), '\0');
    ASSERT_EQ(PTDO2FIELDDATA(s.handle, got.data(), length, &length), 0);
    EXPECT_EQ(got, first);
    ASSERT_EQ(PTDO2FIELDLENGTH(s.handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, -1);
    ASSERT_EQ(PTDO2FIELDLENGTH(s.handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, 9);
    ASSERT_EQ(PTDO2FIELDLENGTH(s.handle, buffer, sizeof buffer, &length), 0);
    ASSERT_EQ(length, 3);
    ASSERT_EQ(PTDO2FIELDDATA(s.handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(std::string(buffer, 3), "end");
    EXPECT_EQ(PTDO2FINISH(s.handle), 0);
    kvx_logout(s.handle);

    // Output of 200 KB into a buffer of 100 KB: cut there, the rest received and dropped.
    std::string output(200 * 1024, 'o');
    for (size_t i = 0; i < output.size(); i += 997)
        output[i] = static_cast<char>('A' + i % 26);
    PeerSession big([&](const wire::Request&) { return ExecReply(output); });
    std::vector<char> out(100 * 1024);
    ASSERT_EQ(kvx_xecute(big.handle, "W X", out.data(), static_cast<int>(out.size())), 0);
    EXPECT_EQ(std::string(out.data()), output.substr(0, out.size() - 1));
}
