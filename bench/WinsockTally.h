#pragma once
// A counting shim over the client library's run-time bound socket entry points: while a tally
// is installed, every call the library makes through them is counted and timed. The benchmark
// links the library's code statically to reach the binding; the timed rounds run without it.

#include <cstdint>

namespace vorlan::bench {

class WinsockTally {
  public:
    // The entry points a round trip can use; the last ones reach no socket.
    enum Entry { Ioctlsocket, Send, WsaSend, Select, Recv, IsBlocking, FdIsSet, LastError, kEntries };
    static constexpr int kSocketEntries = IsBlocking;

    struct Count {
        int64_t calls = 0;
        double microseconds = 0;
    };

    // Wraps the bound entry points; the library must be initialised.
    WinsockTally();
    // Puts the library's own entry points back.
    ~WinsockTally();

    WinsockTally(const WinsockTally&) = delete;
    WinsockTally& operator=(const WinsockTally&) = delete;

    void Reset();
    const Count& operator[](Entry e) const;
    static const char* Name(Entry e);
    int64_t SocketCalls() const;
    int64_t AllCalls() const;
};

} // namespace vorlan::bench
