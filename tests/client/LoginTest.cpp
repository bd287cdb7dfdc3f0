// Log-in, log-out, keep-alive and partition size against scripted peers.
#include "tests/client/PeerSession.h"

#include <cstring>

using namespace vorlan;
using namespace vorlan::test;

namespace {

std::string NoAnswer(const wire::Request&) {
    return "";
}

// A port on which nobody listens.
int DeadPort() {
    ScriptedPeer p([](PeerConnection&, ScriptedPeer&) {});
    return p.port();
}

} // namespace

TEST(Login, SendsItsTenFieldsAndReturnsASmallHandle) {
    ScriptedPeer peer(Serve(NoAnswer, ServerVersion("3.9")));
    char uci[] = "sys", vol[] = "dbk", version[4];
    int handle =
        kvx_login3("127.0.0.1", peer.port(), uci, vol, "secret", 42, 0, "extra", version, sizeof version);
    ASSERT_GE(handle, 1);
    ASSERT_LE(handle, 1024);
    EXPECT_STREQ(uci, "SYS");
    EXPECT_STREQ(vol, "DBK");
    EXPECT_STREQ(version, "3.9");
    auto login = peer.requests().at(0);
    EXPECT_EQ(Sent(login), (Fields{"L", "0", "API4.4.0", "KVX-TCP", "127.0.0.1", "extra", "secret", "SYS",
                                   "DBK", "42", login.fields[9]}));
    int nonce = std::stoi(login.fields[9]);
    EXPECT_GE(nonce, 10);
    EXPECT_LE(nonce, 16383);

    EXPECT_EQ(kvx_keepalive(handle), 0);
    EXPECT_EQ(kvx_logout(handle), 0);
    for (int i = 0; i < 100 && peer.requests().size() < 3; ++i)
        Sleep(20);
    auto all = peer.requests();
    ASSERT_EQ(all.size(), 3u);
    EXPECT_EQ(Sent(all[1]), (Fields{"K"}));
    EXPECT_EQ(Sent(all[2]), (Fields{"Q"}));
    EXPECT_EQ(kvx_timeout(handle, 5), 10007); // the handle is gone
}

TEST(Login, VersionTextIsCutToTheBuffer) {
    ScriptedPeer peer(Serve(NoAnswer, ServerVersion("3.9.17")));
    char uci[] = "", version[4];
    int handle = kvx_login3("127.0.0.1", peer.port(), uci, uci, "", 0, 20, "", version, sizeof version);
    ASSERT_GE(handle, 1);
    EXPECT_STREQ(version, "3.9");
    kvx_logout(handle);
}

TEST(Login, ArgumentsAreCheckedBeforeConnecting) {
    ScriptedPeer peer(Serve(NoAnswer));
    const int port = peer.port();
    struct {
        const char* name;
        const char* host;
        const char* uci;
        const char* vol;
        int partition;
        int rc;
    } cases[] = {
        {"no host", nullptr, "", "", 0, 10001},
        {"empty host", "", "", "", 0, 10001},
        {"uci of two", "127.0.0.1", "AB", "", 0, 10030},
        {"vol of four", "127.0.0.1", "ABC", "ABCD", 0, 10031},
        {"vol without uci", "127.0.0.1", "", "ABC", 0, 10031},
        {"partition 19", "127.0.0.1", "", "", 19, 10008},
        {"partition -1", "127.0.0.1", "", "", -1, 10008},
        {"host local", "local", "", "", 0, 10006},
    };
    for (const auto& c : cases) {
        std::string uci = c.uci, vol = c.vol;
        EXPECT_EQ(kvx_login(c.host, port, uci.data(), vol.data(), "", 0, c.partition), c.rc) << c.name;
    }
    EXPECT_EQ(peer.connections(), 0);
}

TEST(Login, RefusalsCloseTheConnection) {
    struct {
        const char* name;
        LoginReply reply;
        int rc;
    } cases[] = {
        {"wrong nonce", {"4.0.0", 0, "", 0, true, 5}, 10038},
        {"unknown uci", {"4.0.0", 1, "<NOUCI>", 0, false, 5}, 10088},
        {"password", {"4.0.0", 1, "<PASSWD>", 0, false, 5}, 10009},
        {"unknown refusal text", {"4.0.0", 1, "<WHAT>", 0, false, 5}, 10035},
        {"four fields", {"4.0.0", 0, "", 0, false, 4}, 10039},
    };
    for (const auto& c : cases) {
        Signal closed;
        ScriptedPeer peer([&](PeerConnection& conn, ScriptedPeer& self) {
            if (AnswerLogin(conn, self, c.reply) && conn.WaitForClose(5000)) closed.Set();
        });
        EXPECT_EQ(LoginTo(peer.port()), c.rc) << c.name;
        EXPECT_TRUE(closed.Wait(5000)) << c.name << ": the socket stayed open";
    }

    Signal closed;
    ScriptedPeer notV([&](PeerConnection& conn, ScriptedPeer&) {
        wire::Request r;
        conn.ReadRequest(&r);
        conn.Send(ReplyBytes('R', {"1"}));
        if (conn.WaitForClose(5000)) closed.Set();
    });
    EXPECT_EQ(LoginTo(notV.port()), 10039);
    EXPECT_TRUE(closed.Wait(5000));
}

TEST(Login, RedirectMovesToTheNewPortAndClosesTheFirst) {
    // The moved session starts without a log-in of its own.
    ScriptedPeer second([](PeerConnection& conn, ScriptedPeer&) {
        wire::Request r;
        while (conn.ReadRequest(&r))
            if (r.code == "X") conn.Send(ExecReply("moved"));
    });
    Signal firstClosed;
    ScriptedPeer first([&](PeerConnection& conn, ScriptedPeer& self) {
        LoginReply reply;
        reply.redirect = second.port();
        if (AnswerLogin(conn, self, reply) && conn.WaitForClose(5000)) firstClosed.Set();
    });
    int handle = LoginTo(first.port());
    ASSERT_GE(handle, 1);
    ASSERT_LE(handle, 1024);
    EXPECT_TRUE(firstClosed.Wait(5000));
    char out[16];
    EXPECT_EQ(kvx_xecute(handle, "W \"moved\"", out, sizeof out), 0);
    EXPECT_STREQ(out, "moved");
    kvx_logout(handle);
}

TEST(Login, NamesAndFailedConnects) {
    ScriptedPeer peer(Serve(NoAnswer));
    char uci[] = "";
    int handle = kvx_login("localhost", peer.port(), uci, uci, "", 0, 0);
    EXPECT_GE(handle, 1);
    kvx_logout(handle);

    int dead = DeadPort();
    EXPECT_EQ(kvx_login("127.0.0.1", dead, uci, uci, "", 0, 0), 10001);
    ASSERT_EQ(kvx_options(KVX_OPTION_SINGLE_ATTEMPT, 0), 0);
    EXPECT_EQ(kvx_login("127.0.0.1", dead, uci, uci, "", 0, 0), 10001);
    ASSERT_EQ(kvx_options(0, KVX_OPTION_SINGLE_ATTEMPT), 0);
}

TEST(PartitionSize, ConfirmedByTheServersAnswer) {
    std::string answer = "1024";
    PeerSession s([&](const wire::Request& r) {
        if (r.code != "X") return std::string();
        return answer == "error" ? ExecError("", "<UNDEF>INT^%PARTSIZ") : ExecReply(answer);
    });
    EXPECT_EQ(kvx_partsize(s.handle, 1024), 0);
    EXPECT_EQ(s.Last().fields.at(0), "N %K S %K=1024 D INT^%PARTSIZ K %K W $V(108,$J,4)/1024");
    answer = "512";
    EXPECT_EQ(kvx_partsize(s.handle, 1024), 10026);
    answer = "error";
    EXPECT_EQ(kvx_partsize(s.handle, 1024), 10026);
    size_t sent = s.Requests().size();
    EXPECT_EQ(kvx_partsize(s.handle, 16385), 10008);
    EXPECT_EQ(kvx_partsize(s.handle, 19), 10008);
    EXPECT_EQ(s.Requests().size(), sent);
}
