#pragma once
// A transport in front of another that records the lines of its first connection (the
// session's own), for tests that count what reached the server and the form benchmark that
// replays it.

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
        int handle = m_inner->Login(host, port, uci, volume, password);
        std::lock_guard<std::mutex> guard(m_lock);
        if (IsConnectionHandle(handle) && m_main == 0) m_main = handle;
        return handle;
    }
    int Timeout(int handle, int seconds) override { return m_inner->Timeout(handle, seconds); }
    int PartSize(int handle, int kilobytes) override { return m_inner->PartSize(handle, kilobytes); }
    int Xecute(int handle, const char* code, char* out, int capacity) override {
        {
            std::lock_guard<std::mutex> guard(m_lock);
            if (handle == m_main) m_lines.emplace_back(code);
        }
        return m_inner->Xecute(handle, code, out, capacity);
    }
    int Logout(int handle) override {
        std::lock_guard<std::mutex> guard(m_lock);
        if (handle == m_main) m_main = 0;
        return m_inner->Logout(handle);
    }
    int Rundown() override { return m_inner->Rundown(); }

  private:
    std::unique_ptr<ISessionTransport> m_inner;
    std::mutex m_lock;
    int m_main = 0;
    std::vector<std::string> m_lines;
};
