#pragma once
// The server's side of the field stream: an incremental decoder that is fed whatever the
// socket delivers and hands out whole requests (code, count, fields). A run marker stands
// for that many empty fields and is expanded. Every length, count and run is checked against
// caps before anything is allocated, so a malformed or hostile stream is reported, never
// followed.

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

namespace vorlan::wire {

struct DecodeLimits {
    int32_t maxFieldLength = 1 << 20; // the longest M string
    int32_t maxCodeLength = 8;
    int32_t maxFields = 100000;
    int64_t maxRequestBytes = int64_t{64} << 20;
};

// Tokens of the stream: a complete field, or a run of empty fields.
class FieldDecoder {
  public:
    enum class Event { NeedMore, Field, Run, Malformed };

    explicit FieldDecoder(int32_t maxFieldLength) : maxFieldLength_(maxFieldLength) {}

    // Consumes bytes from [data, end) up to the end of the next token and advances `data`.
    Event Next(const uint8_t*& data, const uint8_t* end);

    const std::string& field() const { return field_; }
    std::string TakeField() { return std::move(field_); }
    int32_t run() const { return run_; }
    const char* error() const { return error_; }

  private:
    enum class State { Length, RunCount, Data, Failed };
    Event Fail(const char* why);

    int32_t maxFieldLength_;
    State state_ = State::Length;
    uint8_t head_[4] = {};
    int32_t headFill_ = 0;
    int32_t remaining_ = 0;
    std::string field_;
    int32_t run_ = 0;
    const char* error_ = "";
};

struct Request {
    std::string code;
    int32_t count = 0;               // as sent; equals fields.size()
    std::vector<std::string> fields; // runs expanded
};

class RequestDecoder {
  public:
    enum class Result { NeedMore, Complete, Malformed };

    explicit RequestDecoder(const DecodeLimits& limits = {})
        : limits_(limits), fields_(limits.maxFieldLength) {}

    // Feeds bytes; stops after the last byte of a request (Complete) so that `consumed` tells
    // where the next request begins. After Complete, request() holds it until the next Feed.
    // Malformed is final: the stream cannot be resynchronised.
    Result Feed(const void* data, size_t size, size_t* consumed);

    const Request& request() const { return request_; }
    const char* error() const { return error_; }

  private:
    enum class Stage { Code, Count, Fields, Done, Failed };
    Result Fail(const char* why);
    Result Accept(FieldDecoder::Event event);

    DecodeLimits limits_;
    FieldDecoder fields_;
    Stage stage_ = Stage::Code;
    Request request_;
    int64_t bytes_ = 0;
    const char* error_ = "";
};

} // namespace vorlan::wire
