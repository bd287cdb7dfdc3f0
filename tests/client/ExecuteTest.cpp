// M code execution against scripted peers: every way a peer can misbehave while sending the
// output stream and its trailer. What a well-behaved server sends is checked end to end.
#include "tests/client/PeerSession.h"

#include <cstring>

using namespace vorlan;
using namespace vorlan::test;

TEST(Execute, RefusedBeforeAnythingIsSent) {
    PeerSession s([](const wire::Request&) { return ExecReply(""); });
    char out[8] = "old";
    int zero = 0;
    EXPECT_EQ(kvx_xecute(s.handle, nullptr, out, sizeof out), 10034);
    EXPECT_EQ(kvx_xecute(s.handle, "", out, sizeof out), 10034);
    EXPECT_EQ(kvx_xecute(s.handle, "W 1", nullptr, 8), 10034);
    EXPECT_EQ(kvx_xecute(s.handle, "W 1", out, 0), 10034);
    EXPECT_EQ(kvx_xecute2(s.handle, "W 1", out, &zero), 10034);
    EXPECT_EQ(kvx_xecute2(s.handle, "W 1", out, nullptr), 10034);
    EXPECT_EQ(kvx_xecute(1025, "W 1", out, sizeof out), 10006);
    EXPECT_TRUE(s.Requests().empty());
}

TEST(Execute, PeerClosingOrStallingMidStream) {
    struct {
        const char* name;
        std::string bytes;
        int rc;
        std::string expect;
    } cases[] = {
        {"closes in the output", "partial out", 10006, "partial out"},
        {"closes in the trailer", "done<XEND>" + FieldBytes("O").substr(0, 3), 10006, "done"},
        {"closes in the error text", "<XEND>" + FieldBytes("E") + FieldBytes("1") + Be32(20) + "<UND", 10006,
         ""},
        {"malformed trailer", "x<XEND>" + FieldBytes("Z") + FieldBytes("0"), 10039, "x"},
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
