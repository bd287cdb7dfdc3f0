#include "bench/WinsockTally.h"

#include "client/Winsock.h"

#include <chrono>

namespace vorlan::bench {

namespace {

using client::g_winsock;
using Clock = std::chrono::steady_clock;

client::Winsock g_real;
WinsockTally::Count g_counts[WinsockTally::kEntries];

// Counts one call and adds its time.
class Timed {
  public:
    explicit Timed(WinsockTally::Entry e) : count_(g_counts[e]), start_(Clock::now()) {}
    ~Timed() {
        ++count_.calls;
        count_.microseconds += std::chrono::duration<double, std::micro>(Clock::now() - start_).count();
    }

  private:
    WinsockTally::Count& count_;
    Clock::time_point start_;
};

int WSAAPI CountedIoctl(SOCKET s, long command, u_long* argument) {
    Timed t(WinsockTally::Ioctlsocket);
    return g_real.ioctlsocket(s, command, argument);
}

int WSAAPI CountedSend(SOCKET s, const char* data, int length, int flags) {
    Timed t(WinsockTally::Send);
    return g_real.send(s, data, length, flags);
}

int WSAAPI CountedWsaSend(SOCKET s, LPWSABUF pieces, DWORD count, LPDWORD sent, DWORD flags,
                          LPWSAOVERLAPPED overlapped, LPWSAOVERLAPPED_COMPLETION_ROUTINE done) {
    Timed t(WinsockTally::WsaSend);
    return g_real.WSASend(s, pieces, count, sent, flags, overlapped, done);
}

int WSAAPI CountedSelect(int n, fd_set* r, fd_set* w, fd_set* e, const timeval* wait) {
    Timed t(WinsockTally::Select);
    return g_real.select(n, r, w, e, wait);
}

int WSAAPI CountedRecv(SOCKET s, char* data, int length, int flags) {
    Timed t(WinsockTally::Recv);
    return g_real.recv(s, data, length, flags);
}

BOOL WSAAPI CountedIsBlocking() {
    Timed t(WinsockTally::IsBlocking);
    return g_real.WSAIsBlocking();
}

int WSAAPI CountedFdIsSet(SOCKET s, fd_set* set) {
    Timed t(WinsockTally::FdIsSet);
    return g_real.WSAFDIsSet(s, set);
}

int WSAAPI CountedLastError() {
    Timed t(WinsockTally::LastError);
    return g_real.WSAGetLastError();
}

} // namespace

WinsockTally::WinsockTally() {
    g_real = g_winsock;
    g_winsock.ioctlsocket = CountedIoctl;
    g_winsock.send = CountedSend;
    if (g_real.WSASend) g_winsock.WSASend = CountedWsaSend;
    g_winsock.select = CountedSelect;
    g_winsock.recv = CountedRecv;
    g_winsock.WSAIsBlocking = CountedIsBlocking;
    g_winsock.WSAFDIsSet = CountedFdIsSet;
    g_winsock.WSAGetLastError = CountedLastError;
    Reset();
}

WinsockTally::~WinsockTally() {
    g_winsock = g_real;
}

void WinsockTally::Reset() {
    for (auto& c : g_counts)
        c = Count{};
}

const WinsockTally::Count& WinsockTally::operator[](Entry e) const {
    return g_counts[e];
}

const char* WinsockTally::Name(Entry e) {
    static const char* const names[kEntries] = {"ioctlsocket",  "send",           "WSASend",
                                                "select",       "recv",           "WSAIsBlocking",
                                                "__WSAFDIsSet", "WSAGetLastError"};
    return names[e];
}

int64_t WinsockTally::SocketCalls() const {
    int64_t n = 0;
    for (int e = 0; e < kSocketEntries; ++e)
        n += g_counts[e].calls;
    return n;
}

int64_t WinsockTally::AllCalls() const {
    int64_t n = 0;
    for (const auto& c : g_counts)
        n += c.calls;
    return n;
}

} // namespace vorlan::bench
