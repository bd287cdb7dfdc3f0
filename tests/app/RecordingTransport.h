#pragma once
// A transport in front of another that records the lines sent on the session's own
// connection, for tests that count what reached the server and the form benchmark that
// replays it. Other connections (the wait dialog's, lines of a test's own) are not recorded.

#include "app/Session.h"
#include "app/SessionTransport.h"

#include <memory>
#include <mutex>
#include <string>
#include <vector>

class RecordingTransport : public ISessionTransport {
  public:
    explicit RecordingTransport(std::unique_ptr<ISessionTransport> inner) : m_inner(std::move(inner)) {}

    // The lines sent since the last call.
    std::vector<std::string> Take() {
        std::lock_guard<std::mutex> guard(m_lock);
        std::vector<std::string> lines;
        lines.swap(m_lines);
        return lines;
    }

    int Initialize() override { return m_inner->Initialize(); }
    int Login(const char* host, int port, const char* uci, const char* volume,
              const char* password) override {
        return m_inner->Login(host, port, uci, volume, password);
    }
    int Timeout(int handle, int seconds) override { return m_inner->Timeout(handle, seconds); }
    int PartSize(int handle, int kilobytes) override { return m_inner->PartSize(handle, kilobytes); }
    int Xecute(int handle, const char* code, char* out, int capacity) override {
        if (IsConnectionHandle(handle) && handle == TheSession().Handle()) {
            std::lock_guard<std::mutex> guard(m_lock);
            m_lines.emplace_back(code);
        }
        return m_inner->Xecute(handle, code, out, capacity);
    }
    int Logout(int handle) override { return m_inner->Logout(handle); }
    int Rundown() override { return m_inner->Rundown(); }

  private:
    std::unique_ptr<ISessionTransport> m_inner;
    std::mutex m_lock;
    std::vector<std::string> m_lines;
};
