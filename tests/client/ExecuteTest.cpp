// M code execution against scripted peers: the output stream, its trailer, and every way a
// peer can misbehave while sending them.
#include "tests/client/PeerSession.h"

#include <cstring>

using namespace vorlan;
using namespace vorlan::test;

namespace {

// A peer that answers each "X" with `reply(code)`, sent in pieces with short pauses so that
// the client sees it arrive in several receives.
struct ChunkedExec {
    std::function<std::string(const std::string&)> reply;
    size_t piece = 0; // 0: all at once
};

ScriptedPeer::Script ServeExec(ChunkedExec* exec) {
    return [exec](PeerConnection& c, ScriptedPeer& peer) {
        if (!AnswerLogin(c, peer)) return;
        wire::Request r;
        while (c.ReadRequest(&r)) {
            peer.Record(r, c.raw());
            std::string bytes = exec->reply(r.fields.empty() ? "" : r.fields[0]);
            size_t piece = exec->piece ? exec->piece : bytes.size() + 1;
            for (size_t at = 0; at < bytes.size(); at += piece) {
                c.Send(bytes.substr(at, piece));
                if (exec->piece) Sleep(15);
            }
        }
    };
}

std::string EveryByte() {
    std::string all;
    for (int i = 0; i < 256; ++i)
        all += static_cast<char>(i);
    return all;
}

} // namespace

TEST(Execute, OutputAndCapacity) {
    ChunkedExec exec;
    ScriptedPeer peer(ServeExec(&exec));
    int h = LoginTo(peer.port());
    ASSERT_GE(h, 1);
    std::string big(100000, 'b');
    struct {
        const char* name;
        std::string output;
        int capacity;
        size_t piece;
        std::string expect;
    } cases[] = {
        {"one byte", "1", 100, 0, "1"},
        {"nothing", "", 100, 0, ""},
        {"ends in <", "abc<", 100, 0, "abc<"},
        {"exactly capacity - 1", std::string(99, 'x'), 100, 0, std::string(99, 'x')},
        {"capacity", std::string(100, 'x'), 100, 0, std::string(99, 'x')},
        {"far over the 64 KB of the program", big, 65536, 0, big.substr(0, 65535)},
        {"every byte value", EveryByte() + EveryByte(), 1000, 0, EveryByte() + EveryByte()},
        {"marker split across sends", std::string(20, 'm'), 100, 23, std::string(20, 'm')},
        {"in pieces of 5", "hello world", 100, 5, "hello world"},
    };
    std::string buffer(70000, '\0');
    for (const auto& c : cases) {
        exec.reply = [&](const std::string&) { return ExecReply(c.output); };
        exec.piece = c.piece;
        int length = c.capacity;
        EXPECT_EQ(kvx_xecute2(h, "W X", buffer.data(), &length), 0) << c.name;
        ASSERT_EQ(length, static_cast<int>(c.expect.size())) << c.name;
        EXPECT_EQ(buffer.compare(0, static_cast<size_t>(length), c.expect), 0) << c.name;
        EXPECT_EQ(buffer[static_cast<size_t>(length)], '\0') << c.name;
    }
    kvx_logout(h);
}

TEST(Execute, MErrorReplacesTheOutput) {
    ChunkedExec exec{[](const std::string&) { return ExecError("half", "<UNDEF>zz+3^ABC,%X"); }, 7};
    ScriptedPeer peer(ServeExec(&exec));
    int h = LoginTo(peer.port());
    char out[64];
    EXPECT_EQ(kvx_xecute(h, "W \"half\",X", out, sizeof out), 10053);
    EXPECT_STREQ(out, "<UNDEF>zz+3^ABC,%X");
    char small[4];
    EXPECT_EQ(kvx_xecute(h, "W X", small, sizeof small), 10053); // the number needs the whole text
    EXPECT_STREQ(small, "<UN");
    kvx_logout(h);
}

TEST(Execute, RefusedBeforeAnythingIsSent) {
    ChunkedExec exec{[](const std::string&) { return ExecReply(""); }};
    ScriptedPeer peer(ServeExec(&exec));
    int h = LoginTo(peer.port());
    char out[8] = "old";
    int zero = 0;
    EXPECT_EQ(kvx_xecute(h, nullptr, out, sizeof out), 10034);
    EXPECT_EQ(kvx_xecute(h, "", out, sizeof out), 10034);
    EXPECT_EQ(kvx_xecute(h, "W 1", nullptr, 8), 10034);
    EXPECT_EQ(kvx_xecute(h, "W 1", out, 0), 10034);
    EXPECT_EQ(kvx_xecute2(h, "W 1", out, &zero), 10034);
    EXPECT_EQ(kvx_xecute2(h, "W 1", out, nullptr), 10034);
    EXPECT_EQ(kvx_xecute(1025, "W 1", out, sizeof out), 10006);
    EXPECT_EQ(peer.requests().size(), 1u); // the log-in only
    kvx_logout(h);
}

TEST(Execute, PeerClosingOrStallingMidStream) {
    struct {
        const char* name;
        std::string bytes;
        int rc;
        std::string expect;
    } cases[] = {
        {"closes in the output", "partial out", 10006, "partial out"},
        {"closes in the trailer", "done<XEND>" + Field("O").substr(0, 3), 10006, "done"},
        {"closes in the error text", "<XEND>" + Field("E") + Field("1") + Be32(20) + "<UND", 10006, ""},
        {"malformed trailer", "x<XEND>" + Field("Z") + Field("0"), 10039, "x"},
    };
    for (const auto& c : cases) {
        ScriptedPeer peer([&](PeerConnection& conn, ScriptedPeer& self) {
            wire::Request r;
            if (!AnswerLogin(conn, self) || !conn.ReadRequest(&r)) return;
            conn.Send(c.bytes);
            if (c.rc == 10006)
                conn.Close();
            else
                conn.WaitForClose(5000);
        });
        int h = LoginTo(peer.port());
        char out[64];
        std::memset(out, 'z', sizeof out);
        EXPECT_EQ(kvx_xecute(h, "W 1", out, sizeof out), c.rc) << c.name;
        EXPECT_STREQ(out, c.expect.c_str()) << c.name;
        kvx_logout(h);
    }
}

TEST(Execute, TimeOutLeavesTheConnectionUsable) {
    Signal timedOut, staleSent;
    ScriptedPeer peer([&](PeerConnection& c, ScriptedPeer& self) {
        if (!AnswerLogin(c, self)) return;
        wire::Request r;
        if (!c.ReadRequest(&r)) return;
        timedOut.Wait(10000);
        c.Send(ExecReply("late")); // arrives after the client gave up
        staleSent.Set();
        while (c.ReadRequest(&r)) {
            if (!r.fields.empty() && r.fields[0] == "SLOW") Sleep(300);
            c.Send(ExecReply("fresh"));
        }
    });
    int h = LoginTo(peer.port());
    ASSERT_EQ(kvx_timeout(h, 1), 0);
    char out[16];
    EXPECT_EQ(kvx_xecute(h, "H 5", out, sizeof out), 10016);
    EXPECT_STREQ(out, "");
    timedOut.Set();
    ASSERT_TRUE(staleSent.Wait(5000));
    Sleep(100);
    EXPECT_EQ(kvx_xecute(h, "W 1", out, sizeof out), 0);
    EXPECT_STREQ(out, "fresh");

    // Time-out 0: only what is already waiting counts.
    ASSERT_EQ(kvx_timeout(h, 0), 0);
    EXPECT_EQ(kvx_xecute(h, "SLOW", out, sizeof out), 10016);
    ASSERT_EQ(kvx_timeout(h, 5), 0);
    Sleep(500);
    EXPECT_EQ(kvx_xecute(h, "W 1", out, sizeof out), 0);
    EXPECT_STREQ(out, "fresh");
    kvx_logout(h);
}

TEST(Execute, LateTrailerIsWaitedForAndNotLeftForTheNextCall) {
    int calls = 0;
    ScriptedPeer peer([&](PeerConnection& c, ScriptedPeer& self) {
        if (!AnswerLogin(c, self)) return;
        wire::Request r;
        while (c.ReadRequest(&r)) {
            std::string reply = ExecReply(std::to_string(++calls));
            size_t split = reply.find("<XEND>") + 8; // the 'O' field arrives in two parts
            c.Send(reply.substr(0, split));
            Sleep(150);
            c.Send(reply.substr(split));
        }
    });
    int h = LoginTo(peer.port());
    char out[16];
    for (const char* expect : {"1", "2", "3"}) {
        EXPECT_EQ(kvx_xecute(h, "W $I(C)", out, sizeof out), 0);
        EXPECT_STREQ(out, expect);
    }
    kvx_logout(h);
}
