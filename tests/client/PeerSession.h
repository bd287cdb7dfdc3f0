#pragma once
// A logged-in connection to a scripted peer, for the tests of the calls on a connection.

#include "client/kvxapi.h"
#include "tests/client/ScriptedPeer.h"

#include <gtest/gtest.h>

#include <chrono>
#include <thread>

namespace vorlan::test {

inline int LoginTo(int port) {
    char uci[] = "", vol[] = "";
    return kvx_login("127.0.0.1", port, uci, vol, "", 0, 0);
}

class PeerSession {
  public:
    explicit PeerSession(std::function<std::string(const wire::Request&)> answer, LoginReply login = {})
        : peer(Serve(std::move(answer), login)), handle(LoginTo(peer.port())) {
        EXPECT_GE(handle, 1);
        EXPECT_LE(handle, 1024);
    }
    ~PeerSession() {
        if (handle >= 1 && handle <= 1024) kvx_logout(handle);
    }

    // The requests after the log-in; waits a little for ones that get no answer.
    std::vector<wire::Request> Requests(size_t atLeast = 0) {
        for (int i = 0; i < 100 && peer.requests().size() < atLeast + 1; ++i)
            std::this_thread::sleep_for(std::chrono::milliseconds(20));
        auto all = peer.requests();
        return std::vector<wire::Request>(all.begin() + (all.empty() ? 0 : 1), all.end());
    }
    wire::Request Last() {
        auto r = Requests(1);
        return r.empty() ? wire::Request{} : r.back();
    }
    std::string LastRaw() {
        Requests(1);
        auto r = peer.raws();
        return r.empty() ? std::string() : r.back();
    }

    ScriptedPeer peer;
    int handle;
};

// Fields of a request in one vector: code first.
inline std::vector<std::string> Sent(const wire::Request& r) {
    std::vector<std::string> all{r.code};
    all.insert(all.end(), r.fields.begin(), r.fields.end());
    return all;
}

using Fields = std::vector<std::string>;

} // namespace vorlan::test
