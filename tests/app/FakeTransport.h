#pragma once
// A transport whose server is a function of the test: records every call.

#include "app/SessionTransport.h"

#include <cstring>
#include <functional>
#include <mutex>
#include <string>
#include <vector>

struct FakeServer {
    std::mutex lock;
    std::vector<std::string> calls; // "login host:port uci vol pw", "timeout h s", "x h code", ...
    // code, handle -> {rc, output or error text}
    std::function<std::pair<int, std::string>(const std::string& code, int handle)> answer =
        [](const std::string&, int) { return std::make_pair(0, std::string()); };
    int loginResult = 7;
    int nextSecondHandle = 100;
    void Log(const std::string& s) {
        std::lock_guard<std::mutex> g(lock);
        calls.push_back(s);
    }
    std::vector<std::string> Calls() {
        std::lock_guard<std::mutex> g(lock);
        return calls;
    }
    bool Saw(const std::string& s) {
        for (const auto& c : Calls())
            if (c == s) return true;
        return false;
    }
};

class FakeTransport : public ISessionTransport {
  public:
    explicit FakeTransport(FakeServer& server) : m_server(server) {}
    int Initialize() override {
        m_server.Log("init");
        return 0;
    }
    int Login(const char* host, int port, const char* uci, const char* vol, const char* pw) override {
        m_server.Log("login " + std::string(host) + ":" + std::to_string(port) + " " + uci + " " + vol + " " +
                     pw);
        int r = m_server.loginResult;
        // Connections after the first get handles of their own, as the library gives them.
        if (IsConnectionHandle(r) && ++m_logins > 1) r = m_server.nextSecondHandle++;
        return r;
    }
    int Timeout(int h, int s) override {
        m_server.Log("timeout " + std::to_string(h) + " " + std::to_string(s));
        return 0;
    }
    int PartSize(int h, int kb) override {
        m_server.Log("partsize " + std::to_string(h) + " " + std::to_string(kb));
        return 0;
    }
    int Xecute(int h, const char* code, char* out, int cap) override {
        m_server.Log("x " + std::to_string(h) + " " + code);
        auto [rc, text] = m_server.answer(code, h);
        std::strncpy(out, text.c_str(), static_cast<size_t>(cap) - 1);
        out[cap - 1] = '\0';
        return rc;
    }
    int Logout(int h) override {
        m_server.Log("logout " + std::to_string(h));
        return 0;
    }
    int Rundown() override {
        m_server.Log("rundown");
        return 0;
    }

  private:
    FakeServer& m_server;
    int m_logins = 0;
};
