#include "app/ProtocolLog.h"
#include "app/SettingsBlock.h"
#include "app/VORLANSocket.h"
#include "tests/app/FramePeer.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <string>

using apptest::ExecuteReply;
using apptest::FrameConnection;
using apptest::FramePeer;
using apptest::Line;
using apptest::Serve;

namespace {

const std::string kNul(1, '\0');

// A socket connected to the peer; the test fails when it cannot connect.
struct Connected {
    CVORLANSocket socket;
    explicit Connected(const FramePeer& peer) { EXPECT_TRUE(socket.ConnectServer("127.0.0.1", peer.Port())); }
};

// The execute result and the text left in the buffer.
struct Result {
    int rc;
    std::string text;
};

Result ExecuteOn(CVORLANSocket& socket, const char* code, int capacity = 256) {
    std::string buffer(static_cast<size_t>(capacity) + 16, '#'); // guard bytes past the capacity
    int rc = socket.Execute(code, &buffer[0], capacity);
    EXPECT_EQ(buffer.substr(static_cast<size_t>(capacity)), std::string(16, '#'))
        << "written past the capacity";
    return {rc, buffer.c_str()};
}

} // namespace

TEST(VORLANSocket, LoginAcceptedRefusedAndRefusedForReasonThree) {
    struct Case {
        std::string reply;
        int expected;
    } cases[] = {
        {Line("1"), 0},
        {Line("2 angemeldet"), 0}, // anything but "0" accepts
        {Line("0"), CVORLANSocket::kLoginFailed},
        {Line("0,1"), CVORLANSocket::kLoginFailed},
        {Line("0,3"), CVORLANSocket::kLoginRefused},
        {std::string(), CVORLANSocket::kLoginFailed}, // the server hangs up
    };
    for (const Case& c : cases) {
        FramePeer peer(Serve([&](const std::string&) { return c.reply; }));
        Connected client(peer);
        EXPECT_EQ(client.socket.Login("VOR,VOL"), c.expected) << c.reply;
        ASSERT_EQ(peer.Frames().size(), 1u);
        EXPECT_EQ(peer.Frames()[0], "/VOR,VOL") << "one command character and the text, no NUL";
    }
}

TEST(VORLANSocket, ChangeAndLogoutCommandsAnswerOne) {
    std::string next = Line("1");
    FramePeer peer(Serve([&](const std::string&) { return next; }));
    Connected client(peer);
    EXPECT_TRUE(client.socket.SendCommand("MGR,SYS"));
    next = Line("0");
    EXPECT_FALSE(client.socket.SendCommand("XYZ"));
    next = Line("1");
    EXPECT_TRUE(client.socket.Logout());
    auto frames = peer.Frames();
    ASSERT_EQ(frames.size(), 3u);
    EXPECT_EQ(frames[0], "CMGR,SYS");
    EXPECT_EQ(frames[2], "L");
}

TEST(VORLANSocket, LongRequestCarriesItsLengthInTwoBytes) {
    std::string code = "W \"" + std::string(300, 'a') + "\""; // length needs the high byte
    FramePeer peer(
        Serve([](const std::string& frame) { return ExecuteReply(std::to_string(frame.size()), "1"); }));
    Connected client(peer);
    Result r = ExecuteOn(client.socket, code.c_str(), 1024);
    EXPECT_EQ(r.rc, 0);
    EXPECT_EQ(r.text, std::to_string(code.size() + 1));
    ASSERT_EQ(peer.Frames().size(), 1u);
    EXPECT_EQ(peer.Frames()[0], "X" + code);
}

TEST(VORLANSocket, ExecuteRepliesBecomeOutputOrErrorText) {
    struct Case {
        std::string reply;
        int rc;
        std::string text;
    } cases[] = {
        {ExecuteReply("Hallo Welt", "1"), 0, "Hallo Welt"},
        {ExecuteReply("", "1"), 0, ""},
        {ExecuteReply("\f\f\fSeite 2", "1"), 0, "Seite 2"},
        {ExecuteReply("halb", "0<UNDEFINED>ZERR+3^QX"), CVORLANSocket::kServerError, "<UNDEFINED>ZERR+3^QX"},
        {ExecuteReply("", "0\f<SYNTAX>"), CVORLANSocket::kServerError, "<SYNTAX>"},
        {ExecuteReply("x", ""), CVORLANSocket::kServerError, ""},
        {"E-Anfrage abgelehnt" + std::string(3, '\0'), CVORLANSocket::kServerError, "E-Anfrage abgelehnt"},
    };
    for (const Case& c : cases) {
        FramePeer peer(Serve([&](const std::string&) { return c.reply; }));
        Connected client(peer);
        Result r = ExecuteOn(client.socket, "W X");
        EXPECT_EQ(r.rc, c.rc) << c.text;
        EXPECT_EQ(r.text, c.text);
    }
}

TEST(VORLANSocket, SplitRepliesAreJoinedUntilTheirEnd) {
    // The end condition must hold over the whole reply, not one segment: a segment may end
    // in the output's NUL or in one or two of the closing three.
    std::string reply = ExecuteReply(std::string(40, 'z'), "1");
    for (size_t size : {size_t(1), size_t(7), size_t(42)}) {
        FramePeer peer([&](FrameConnection& c, FramePeer& p) {
            std::string frame;
            while (c.ReadFrame(&frame)) {
                p.Record(frame);
                c.SendInSegments(frame[0] == 'X' ? reply : Line("1"), size);
            }
        });
        Connected client(peer);
        EXPECT_EQ(client.socket.Login("VOR"), 0) << size;
        Result r = ExecuteOn(client.socket, "W $J(\"\",40)");
        EXPECT_EQ(r.rc, 0) << size;
        EXPECT_EQ(r.text, std::string(40, 'z'));
    }
}

TEST(VORLANSocket, PeerClosingMidReplyIsALostConnection) {
    FramePeer peer([](FrameConnection& c, FramePeer&) {
        std::string frame;
        if (c.ReadFrame(&frame)) c.Send("1halbe Antwort" + kNul);
        c.Close();
    });
    Connected client(peer);
    EXPECT_EQ(ExecuteOn(client.socket, "W 1").rc, CVORLANSocket::kConnectionLost);
    EXPECT_EQ(ExecuteOn(client.socket, "W 2").rc, CVORLANSocket::kConnectionLost) << "and stays lost";
    EXPECT_FALSE(client.socket.Logout());
}

TEST(VORLANSocket, RequestsTooLongForTheBufferAreRefusedUnsent) {
    FramePeer peer(
        Serve([](const std::string& f) { return f[0] == 'X' ? ExecuteReply("ok", "1") : Line("1"); }));
    Connected client(peer);
    std::string login(CVORLANSocket::kCommandCapacity, 'U');
    EXPECT_EQ(client.socket.Login(login.c_str()), CVORLANSocket::kLoginFailed);
    EXPECT_FALSE(client.socket.SendCommand(login.c_str()));
    std::string code(62, 'W'); // with length and command 65 bytes: one more than the buffer
    Result r = ExecuteOn(client.socket, code.c_str(), 64);
    EXPECT_EQ(r.rc, CVORLANSocket::kServerError);
    EXPECT_NE(r.text.find("zu lang"), std::string::npos) << r.text;
    EXPECT_TRUE(peer.Frames().empty()) << "nothing was sent";
    r = ExecuteOn(client.socket, code.substr(1).c_str(), 64);
    EXPECT_EQ(r.rc, 0) << "the connection is still good";
    EXPECT_EQ(r.text, "ok");
}

// As the client library does with output longer than its buffer: the reply is read to its
// end, whatever of it fits comes back, and the connection serves the next line.
TEST(VORLANSocket, ExecuteReplyLongerThanTheBufferIsReadToItsEndAndCut) {
    const std::string y500(500, 'y');
    struct Case {
        std::string code, reply;
        int rc;
        std::string text;
    } cases[] = {
        {"W 1", ExecuteReply(y500, "1"), 0, std::string(63, 'y')},
        {"W 2", ExecuteReply(y500, "0<UNDEF>W+1^X"), CVORLANSocket::kServerError, "<UNDEF>W+1^X"},
        {"W 3", ExecuteReply("kurz", "0" + std::string(300, 'e')), CVORLANSocket::kServerError,
         std::string(63, 'e')},
        {"W 4", ExecuteReply("\f\f" + y500, "1"), 0, std::string(61, 'y')},
        {"W 5", ExecuteReply(std::string(62, 'z'), "1"), 0, std::string(62, 'z')}, // its NUL ends the buffer
        {"W 6", "0" + y500 + std::string(3, '\0'), CVORLANSocket::kServerError, "0" + std::string(62, 'y')},
    };
    FramePeer peer([&](FrameConnection& c, FramePeer&) {
        std::string frame;
        while (c.ReadFrame(&frame)) {
            std::string reply = "0" + std::string(2000, '3'); // a log-in reply without end
            for (const Case& k : cases)
                if (frame == "X" + k.code) reply = k.reply;
            if (frame == "XW 0") reply = ExecuteReply("0", "1");
            c.SendInSegments(reply, 97); // the three NULs at the end arrive apart
        }
    });
    Connected client(peer);
    for (const Case& k : cases) {
        Result r = ExecuteOn(client.socket, k.code.c_str(), 64);
        EXPECT_EQ(r.rc, k.rc) << k.code;
        EXPECT_EQ(r.text, k.text) << k.code;
        r = ExecuteOn(client.socket, "W 0", 64);
        EXPECT_EQ(r.rc, 0) << "the connection stays after " << k.code;
        EXPECT_EQ(r.text, "0");
    }

    CVORLANSocket second;
    ASSERT_TRUE(second.ConnectServer("127.0.0.1", peer.Port()));
    EXPECT_EQ(second.Login("VOR"), CVORLANSocket::kLoginFailed) << "a log-in reply without end";
}

TEST(VORLANSocket, ConnectFailsWithoutAServer) {
    int port;
    { // a port that was just free
        FramePeer gone(Serve([](const std::string&) { return std::string(); }));
        port = gone.Port();
    }
    CVORLANSocket socket;
    EXPECT_FALSE(socket.ConnectServer("127.0.0.1", port));
    EXPECT_FALSE(socket.IsOpen());
    EXPECT_FALSE(socket.ConnectServer("127.0.0.1", 0));
}

TEST(VORLANSocket, TimingTraceOnlyWithTheTimeSwitch) {
    char temp[MAX_PATH];
    GetTempPathA(MAX_PATH, temp);
    std::string folder = std::string(temp) + "vorlan-socket-trace\\";
    CreateDirectoryA(folder.c_str(), nullptr);
    vorlan::SetProtocolFolder(folder);
    vorlan::SettingsBlock settings{};
    vorlan::SetProtocolSettings(&settings);
    vorlan::ResetProtocol();
    vorlan::WriteProtocol("815", vorlan::kLogName);
    std::string file = vorlan::ProtocolFileName();
    std::remove(file.c_str());

    FramePeer peer(
        Serve([](const std::string& f) { return f[0] == 'X' ? ExecuteReply("1", "1") : Line("1"); }));
    Connected client(peer);
    settings.protocol = 1; // the other switches trace no socket calls
    EXPECT_EQ(client.socket.Login("VOR"), 0);
    FILE* f = std::fopen(file.c_str(), "rb");
    EXPECT_EQ(f, nullptr);
    if (f) std::fclose(f);

    settings.protocol = 0;
    settings.protocolTime = 1;
    EXPECT_EQ(ExecuteOn(client.socket, "W 1").rc, 0);
    EXPECT_TRUE(client.socket.Logout());
    std::string log;
    if ((f = std::fopen(file.c_str(), "rb"))) {
        char buf[4096];
        log.assign(buf, std::fread(buf, 1, sizeof buf, f));
        std::fclose(f);
    }
    EXPECT_NE(log.find("Schleife\r\nbefore Sending: "), std::string::npos) << log;
    EXPECT_NE(log.find("\r\nDifference: "), std::string::npos);
    EXPECT_NE(log.find("before Receive2: "), std::string::npos) << "the execute reply";
    EXPECT_NE(log.find("after Receive1: "), std::string::npos) << "the log-out line";
    EXPECT_NE(log.find("Fehler: 2 - "), std::string::npos) << "bytes of the log-out reply";

    vorlan::SetProtocolSettings(nullptr);
    vorlan::ResetProtocol();
    std::remove(file.c_str());
}
