// Replies that are cut, negative, too long or of the wrong shape: the call reports them, and
// where the connection survives the next call still gets its own answer.
#include "tests/client/PeerSession.h"

#include <cstring>

using namespace vorlan;
using namespace vorlan::test;

TEST(Replies, MisbehavingPeersNeverCorruptTheNextReply) {
    // Each case answers the first local_get badly; where the connection survives, the second
    // call must get its own answer.
    struct {
        const char* name;
        std::vector<std::string> pieces; // sent with pauses between them
        bool closeAfter;
        int rc;
        std::string value;
    } cases[] = {
        {"closes mid-field", {ReplyBytes('R', {"abcdef"}).substr(0, 16)}, true, 10006, "ab"},
        {"closes mid-length", {FieldBytes("R") + FieldBytes("1") + "\0\0"}, true, 10006, ""},
        {"negative length", {FieldBytes("R") + FieldBytes("1") + Be32(-5) + "abcde"}, false, 10039, ""},
        {"over-long field arriving late",
         {FieldBytes("R") + FieldBytes("1") + Be32(2000) + std::string(700, 'a'), std::string(1300, 'a')},
         false,
         0,
         std::string(15, 'a')},
        {"type of two bytes", {FieldBytes("RR") + FieldBytes("1") + FieldBytes("x")}, false, 10006, ""},
        {"unexpected type", {ReplyBytes('X', {"x"})}, false, 10039, ""},
        {"error with two fields", {ReplyBytes('E', {"<UNDEF>", "x"})}, false, 10039, ""},
        {"count over 999", {FieldBytes("R") + FieldBytes("1000")}, false, 10039, ""},
        {"more fields than asked", {ReplyBytes('R', {"v", "extra", "more"})}, false, 0, ""},
    };
    for (const auto& c : cases) {
        ScriptedPeer peer([&](PeerConnection& conn, ScriptedPeer& self) {
            wire::Request r;
            if (!AnswerLogin(conn, self) || !conn.ReadRequest(&r)) return;
            for (const auto& p : c.pieces) {
                conn.Send(p);
                Sleep(100);
            }
            if (c.closeAfter) return conn.Close();
            while (conn.ReadRequest(&r))
                conn.Send(ReplyBytes('R', {"second"}));
        });
        int h = LoginTo(peer.port());
        char out[16];
        EXPECT_EQ(kvx_local_get(h, "X", out, sizeof out), c.rc) << c.name;
        EXPECT_STREQ(out, c.value.c_str()) << c.name;
        if (!c.closeAfter) {
            Sleep(150);
            EXPECT_EQ(kvx_local_get(h, "X", out, sizeof out), 0) << c.name;
            EXPECT_STREQ(out, "second") << c.name;
        }
        kvx_logout(h);
    }
}
