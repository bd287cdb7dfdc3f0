// The connection's transport over a scripted socket layer put in place of the bound entry
// points: replies arrive in exactly the segments a test chooses, every socket call is counted,
// and the bytes the library hands over are decoded as the server would.
#include "client/Tables.h"
#include "client/Winsock.h"
#include "client/kvxapi.h"
#include "common/RequestDecoder.h"
#include "tests/common/WireBytes.h"

#include <gtest/gtest.h>

#include <deque>
#include <string>
#include <vector>

using namespace vorlan;
using namespace vorlan::client;
using namespace vorlan::test;

namespace {

constexpr SOCKET kSocket = 4242;

// The far end of one socket: answers each complete request with the next scripted reply.
struct FakePeer {
    std::vector<std::vector<std::string>> replies; // per request, its segments
    size_t nextReply = 0;
    std::deque<std::string> arrived; // segments the library has not received yet
    bool closed = false;             // after the last segment the peer closes
    std::string wire;                // every byte the library sent
    std::vector<wire::Request> requests;
    wire::RequestDecoder decoder;
    int shortSend = 0;  // > 0: a send takes at most this many bytes
    int sendError = 0;  // != 0: sends fail with this socket error
    int error = 0;      // what WSAGetLastError reports
    long lastWait = -1; // the seconds of the last select
    int ioctls = 0, sends = 0, wsaSends = 0, selects = 0, recvs = 0;

    int SocketCalls() const { return ioctls + sends + wsaSends + selects + recvs; }
    void ResetCounts() { ioctls = sends = wsaSends = selects = recvs = 0; }

    size_t Waiting() const {
        size_t n = 0;
        for (const auto& s : arrived)
            n += s.size();
        return n;
    }

    void Take(const char* data, size_t length) {
        wire.append(data, length);
        size_t at = 0;
        while (at < length) {
            size_t used = 0;
            auto result = decoder.Feed(data + at, length - at, &used);
            at += used;
            if (result != wire::RequestDecoder::Result::Complete) break;
            requests.push_back(decoder.request());
            if (nextReply < replies.size())
                for (const auto& segment : replies[nextReply++])
                    arrived.push_back(segment);
        }
    }
};

FakePeer* g_peer = nullptr;

int WSAAPI FakeIoctl(SOCKET, long, u_long* waiting) {
    ++g_peer->ioctls;
    *waiting = static_cast<u_long>(g_peer->Waiting());
    return 0;
}

int WSAAPI FakeSelect(int, fd_set* readable, fd_set*, fd_set*, const timeval* wait) {
    ++g_peer->selects;
    g_peer->lastWait = wait->tv_sec;
    if (g_peer->arrived.empty() && !g_peer->closed) {
        readable->fd_count = 0;
        return 0;
    }
    return 1;
}

int WSAAPI FakeRecv(SOCKET, char* buffer, int length, int) {
    ++g_peer->recvs;
    if (g_peer->arrived.empty()) return 0;
    std::string& front = g_peer->arrived.front();
    size_t n = std::min(front.size(), static_cast<size_t>(length));
    front.copy(buffer, n);
    front.erase(0, n);
    if (front.empty()) g_peer->arrived.pop_front();
    return static_cast<int>(n);
}

int SendBytes(const char* data, size_t length) {
    if (g_peer->sendError) {
        g_peer->error = g_peer->sendError;
        return SOCKET_ERROR;
    }
    if (g_peer->shortSend > 0) length = std::min(length, static_cast<size_t>(g_peer->shortSend));
    g_peer->Take(data, length);
    return static_cast<int>(length);
}

int WSAAPI FakeSend(SOCKET, const char* data, int length, int) {
    ++g_peer->sends;
    return SendBytes(data, static_cast<size_t>(length));
}

int WSAAPI FakeWsaSend(SOCKET, LPWSABUF pieces, DWORD count, LPDWORD sent, DWORD, LPWSAOVERLAPPED,
                       LPWSAOVERLAPPED_COMPLETION_ROUTINE) {
    ++g_peer->wsaSends;
    std::string all;
    for (DWORD i = 0; i < count; ++i)
        all.append(pieces[i].buf, pieces[i].len);
    int n = SendBytes(all.data(), all.size());
    if (n == SOCKET_ERROR) return SOCKET_ERROR;
    *sent = static_cast<DWORD>(n);
    return 0;
}

int WSAAPI FakeFdIsSet(SOCKET s, fd_set* set) {
    return set->fd_count == 1 && set->fd_array[0] == s;
}

BOOL WSAAPI FakeIsBlocking() {
    return FALSE;
}

int WSAAPI FakeLastError() {
    return g_peer->error;
}

int WSAAPI FakeClose(SOCKET) {
    return 0;
}

int WSAAPI FakeShutdown(SOCKET, int) {
    return 0;
}

// A registered connection whose socket calls reach `peer`.
class Transport : public ::testing::Test {
  protected:
    void SetUp() override {
        saved_ = g_winsock;
        g_peer = &peer;
        g_winsock.module = GetModuleHandleA(nullptr);
        g_winsock.ioctlsocket = FakeIoctl;
        g_winsock.select = FakeSelect;
        g_winsock.recv = FakeRecv;
        g_winsock.send = FakeSend;
        g_winsock.WSASend = FakeWsaSend;
        g_winsock.WSAFDIsSet = FakeFdIsSet;
        g_winsock.WSAIsBlocking = FakeIsBlocking;
        g_winsock.WSAGetLastError = FakeLastError;
        g_winsock.closesocket = FakeClose;
        g_winsock.shutdown = FakeShutdown;
        ClearTablesOnce();
        handle = RegisterSocket(kSocket, 30);
        ASSERT_GE(handle, 1);
    }
    void TearDown() override {
        UnregisterHandle(handle);
        g_winsock = saved_;
        g_peer = nullptr;
    }

    // One reply per request, each in the given segments.
    void Replies(std::vector<std::vector<std::string>> replies) { peer.replies = std::move(replies); }

    FakePeer peer;
    int handle = 0;

  private:
    Winsock saved_;
};

// `stream` cut at the given offsets.
std::vector<std::string> Cut(const std::string& stream, std::vector<size_t> at) {
    std::vector<std::string> out;
    size_t from = 0;
    at.push_back(stream.size());
    for (size_t to : at) {
        if (to > from) out.push_back(stream.substr(from, to - from));
        from = to;
    }
    return out;
}

std::vector<std::string> Bytewise(const std::string& stream) {
    std::vector<std::string> out;
    for (char c : stream)
        out.emplace_back(1, c);
    return out;
}

} // namespace

TEST_F(Transport, ARoundTripInOneSegmentTakesFourSocketCalls) {
    Replies({{ExecReply("1")}, {ReplyBytes('R', {"value"})}});
    char out[64];
    ASSERT_EQ(kvx_xecute(handle, "W 1", out, sizeof out), 0);
    EXPECT_STREQ(out, "1");
    EXPECT_EQ(peer.ioctls, 1); // the drain, nothing waiting
    EXPECT_EQ(peer.sends + peer.wsaSends, 1);
    EXPECT_EQ(peer.selects, 1);
    EXPECT_EQ(peer.recvs, 1);

    // Type, count and value: three fields, one receive; the reader takes them from the buffer.
    peer.ResetCounts();
    ASSERT_EQ(kvx_local_get(handle, "X", out, sizeof out), 0);
    EXPECT_STREQ(out, "value");
    EXPECT_EQ(peer.SocketCalls(), 4);
    EXPECT_EQ(peer.lastWait, 30);
}

TEST_F(Transport, ALongRequestLeavesInOneCallWithTheSameBytes) {
    // 3,000 bytes of code: full buffer, a whole piece from the caller's data, and the rest.
    std::string code(3000, 'c');
    std::string expect = FieldBytes("X") + FieldBytes("2") + FieldBytes(code) + FieldBytes("<XEND>");
    Replies({{ExecReply("")}, {ExecReply("")}, {ExecReply("")}});
    char out[8];
    ASSERT_EQ(kvx_xecute(handle, code.c_str(), out, sizeof out), 0);
    EXPECT_EQ(peer.wire, expect);
    EXPECT_EQ(peer.wsaSends + peer.sends, 1);

    // Without WSASend (the older socket library) each piece is a send of its own.
    peer.wire.clear();
    peer.ResetCounts();
    g_winsock.WSASend = nullptr;
    ASSERT_EQ(kvx_xecute(handle, code.c_str(), out, sizeof out), 0);
    EXPECT_EQ(peer.wire, expect);
    EXPECT_EQ(peer.sends, 3);

    // Short sends go on where the last one stopped.
    peer.wire.clear();
    g_winsock.WSASend = FakeWsaSend;
    peer.shortSend = 700;
    ASSERT_EQ(kvx_xecute(handle, code.c_str(), out, sizeof out), 0);
    EXPECT_EQ(peer.wire, expect);
    ASSERT_EQ(peer.requests.size(), 3u);
    EXPECT_EQ(peer.requests[2].fields[0], code);
}

TEST_F(Transport, ManySmallFieldsBeyondTheStagingAreaKeepTheirOrder) {
    // kvx_do with 4,000 parameters: the request buffer fills about 40 times.
    std::string parameters;
    for (int i = 0; i < 4000; ++i)
        parameters += (i ? "," : "") + std::to_string(i);
    Replies({{ReplyBytes('R', {"ok"})}});
    char out[8];
    ASSERT_EQ(kvx_do(handle, "R^X", parameters.c_str(), out, sizeof out), 0);
    EXPECT_STREQ(out, "ok");
    ASSERT_EQ(peer.requests.size(), 1u);
    const auto& fields = peer.requests[0].fields;
    ASSERT_EQ(fields.size(), 8001u);
    EXPECT_EQ(fields[0], "R^X");
    for (int i = 0; i < 4000; ++i)
        ASSERT_EQ(fields[2 + 2 * i], std::to_string(i)) << i;
    EXPECT_LE(peer.sends + peer.wsaSends, 4);
}

TEST_F(Transport, RepliesReadTheSameWhereverTheSegmentsEnd) {
    // A value of 100 bytes, so the cuts fall in the header, in a length and in the data.
    const std::string value(100, 'v');
    const std::string reply = ReplyBytes('R', {value});
    for (size_t cut = 1; cut < reply.size(); ++cut) {
        Replies({{Cut(reply, {cut})}});
        peer.nextReply = 0;
        char out[128];
        ASSERT_EQ(kvx_local_get(handle, "X", out, sizeof out), 0) << cut;
        EXPECT_EQ(out, value) << cut;
    }

    // One byte per segment, the output of an execution and its marker included.
    const std::string exec = ExecReply("out<put");
    Replies({Bytewise(exec), Bytewise(ExecError("", "<UNDEF>x"))});
    peer.nextReply = 0;
    char out[64];
    ASSERT_EQ(kvx_xecute(handle, "W 1", out, sizeof out), 0);
    EXPECT_STREQ(out, "out<put");
    EXPECT_EQ(kvx_xecute(handle, "W X", out, sizeof out), 10053);
    EXPECT_STREQ(out, "<UNDEF>x");
}

TEST_F(Transport, TheBufferBoundaryMeetsFieldsAndMarkers) {
    // A streamed reply larger than the receive buffer (64 KB): a field that ends exactly at
    // the buffer's end, then a run marker split across two receives, read field by field.
    const int32_t kBuffer = 64 * 1024;
    const std::string head = ReplyBytes('R', {});
    std::string first(static_cast<size_t>(kBuffer) - head.size() - 4, 'a');
    std::string stream = head + FieldBytes(first) + RunMarker(7) + FieldBytes("z");
    Replies({Cut(stream, {static_cast<size_t>(kBuffer) + 3})});
    char buffer[16] = "";
    int position = 0;
    ASSERT_EQ(PTDO2START(handle, "R^X", buffer, sizeof buffer, &position, 0), 0);
    char type = 0;
    int count = 0;
    ASSERT_EQ(PTDO2SEND(handle, buffer, sizeof buffer, &position, &type, &count, 0), 0);
    EXPECT_EQ(type, 'R');

    std::string big(first.size(), '\0');
    int length = 0;
    ASSERT_EQ(PTDO2FIELDLENGTH(handle, buffer, sizeof buffer, &length), 0);
    ASSERT_EQ(length, static_cast<int>(first.size()));
    ASSERT_EQ(PTDO2FIELDDATA(handle, big.data(), length, &length), 0);
    EXPECT_EQ(big, first);
    EXPECT_EQ(peer.recvs, 1); // exactly the buffer's worth so far
    ASSERT_EQ(PTDO2FIELDLENGTH(handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, -1);
    ASSERT_EQ(PTDO2FIELDLENGTH(handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, 7);
    ASSERT_EQ(PTDO2FIELDLENGTH(handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(length, 1);
    ASSERT_EQ(PTDO2FIELDDATA(handle, buffer, sizeof buffer, &length), 0);
    EXPECT_EQ(buffer[0], 'z');
    EXPECT_EQ(PTDO2FINISH(handle), 0);

    // Output whose end marker straddles the end of the first receive.
    std::string output(static_cast<size_t>(kBuffer) - 3, 'o');
    Replies({{ExecReply(output)}});
    peer.nextReply = 0;
    std::vector<char> out(80000);
    int capacity = static_cast<int>(out.size());
    ASSERT_EQ(kvx_xecute2(handle, "W X", out.data(), &capacity), 0);
    EXPECT_EQ(capacity, static_cast<int>(output.size()));
    EXPECT_EQ(std::string(out.data()), output);
}

TEST_F(Transport, WhatFollowsAReplyIsDrainedBeforeTheNextRequest) {
    // The junk after the first reply comes in its segment, so it sits in the receive buffer;
    // more junk waits in the socket. Both look like replies and must never be taken for one.
    Replies({{ReplyBytes('R', {"first"}) + ReplyBytes('R', {"junk"}), ExecReply("junk") + "x"},
             {ReplyBytes('R', {"second"})}});
    char out[16];
    ASSERT_EQ(kvx_local_get(handle, "X", out, sizeof out), 0);
    EXPECT_STREQ(out, "first");
    peer.ResetCounts();
    ASSERT_EQ(kvx_local_get(handle, "X", out, sizeof out), 0);
    EXPECT_STREQ(out, "second");
    EXPECT_EQ(peer.ioctls, 2); // junk waiting, then none
}

TEST_F(Transport, TimeOutsAndClosesMidReply) {
    // Half of a field has come when the time-out strikes: 10016, and the connection serves
    // the next call once the rest of the old reply is drained.
    const std::string reply = ReplyBytes('R', {"abcdefghij"});
    Replies({{reply.substr(0, 17)}, {ReplyBytes('R', {"next"})}});
    ASSERT_EQ(kvx_timeout(handle, 0), 0);
    char out[16];
    EXPECT_EQ(kvx_local_get(handle, "X", out, sizeof out), 10016);
    EXPECT_EQ(peer.lastWait, 0);
    peer.arrived.push_back(reply.substr(17));
    ASSERT_EQ(kvx_local_get(handle, "X", out, sizeof out), 0);
    EXPECT_STREQ(out, "next");

    // The output of an execution times out with what has come delivered.
    Replies({{"partial"}});
    peer.nextReply = 0;
    EXPECT_EQ(kvx_xecute(handle, "W 1", out, sizeof out), 10016);
    EXPECT_STREQ(out, "partial");

    // The peer closes in the middle of a field whose start is buffered.
    Replies({{reply.substr(0, 20)}});
    peer.nextReply = 0;
    peer.closed = true;
    EXPECT_EQ(kvx_local_get(handle, "X", out, sizeof out), 10006);
    EXPECT_STREQ(out, "abcdef");
}

TEST_F(Transport, SendFailuresKeepTheirNumbers) {
    char out[8];
    peer.sendError = WSAECONNRESET;
    EXPECT_EQ(kvx_xecute(handle, "W 1", out, sizeof out), 10006);
    peer.sendError = WSAENETDOWN;
    EXPECT_EQ(kvx_local_set(handle, "X", "1"), 10004);
    peer.sendError = 0;
    g_winsock.send = [](SOCKET, const char*, int, int) -> int { return 0; }; // takes nothing
    EXPECT_EQ(kvx_xecute(handle, "W 1", out, sizeof out), 10006);
}
