#pragma once
// The application server's own protocol, which the program speaks instead of the client
// library's when its transport kind is 1: each request is a 16-bit little-endian length and
// that many bytes, a command character and its text; replies end in NUL bytes. No password
// travels, so the listener is bound where the operator says.

#include "dbserver/Database.h"
#include "dbserver/MEngine.h"

#include <cstddef>
#include <cstdint>
#include <string>

namespace vorlan::dbserver::app {

// The client's reply buffer is 64 KB; what is cut here still fits it with the status.
inline constexpr size_t kMaxOutput = 65000;
// The log-in's frame (command and login text) as the program builds it, in 1000 bytes; a
// connection that has not logged in can hold no more.
inline constexpr size_t kMaxLoginFrame = 1000;

struct Frame {
    char command = 0;
    std::string text;
};

// Reads frames off a byte stream; bytes beyond one frame wait for the next Feed.
class FrameReader {
  public:
    enum class Result { NeedMore, Complete, Malformed };

    // A frame longer than `maxLength` (command and text) is malformed.
    explicit FrameReader(size_t maxLength = 0xFFFF) : m_maxLength(maxLength) {}

    Result Feed(const void* data, size_t size, size_t* consumed);
    // After Complete, until the next Feed.
    const Frame& request() const { return m_frame; }
    const char* error() const { return m_error; }

  private:
    enum class Stage { Length, Body, Failed };
    size_t m_maxLength;
    Stage m_stage = Stage::Length;
    uint8_t m_length[2] = {};
    size_t m_lengthBytes = 0;
    size_t m_bodyLength = 0;
    bool m_complete = false;
    std::string m_body;
    Frame m_frame;
    const char* m_error = "";
};

// The frame of a request, as the program sends it (for tests and tools).
std::string EncodeFrame(char command, const std::string& text);

struct LoginOutcome {
    bool wellFormed = true;        // false: the first request was no "/"
    const Namespace* ns = nullptr; // null: refused
    std::string reply;
};

// The first request of a connection: "/" with "UCI" or "UCI,VOL".
LoginOutcome CheckLogin(const Frame& frame, const Database& db);

// The requests of a logged-in connection, run in its M job.
class Handler {
  public:
    enum class Action {
        Reply,       // send `reply`
        ReplyAndEnd, // send `reply`, then end the job ("L")
        Close,       // no such request: close; `reply` says why
    };
    struct Outcome {
        Action action = Action::Reply;
        std::string reply;
    };

    Handler(const Database& db, MEngine& engine) : m_db(db), m_engine(engine) {}
    Outcome Handle(const Frame& frame);

  private:
    Outcome Change(const std::string& login);
    Outcome Execute(const std::string& code);

    const Database& m_db;
    MEngine& m_engine;
};

} // namespace vorlan::dbserver::app
