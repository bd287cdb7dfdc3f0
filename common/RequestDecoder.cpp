#include "common/RequestDecoder.h"

#include "common/WireFormat.h"

#include <algorithm>

namespace vorlan::wire {

FieldDecoder::Event FieldDecoder::Fail(const char* why) {
    state_ = State::Failed;
    error_ = why;
    return Event::Malformed;
}

FieldDecoder::Event FieldDecoder::Next(const uint8_t*& data, const uint8_t* end) {
    for (;;) {
        switch (state_) {
        case State::Failed: return Event::Malformed;
        case State::Length:
        case State::RunCount: {
            while (headFill_ < 4 && data < end)
                head_[headFill_++] = *data++;
            if (headFill_ < 4) return Event::NeedMore;
            headFill_ = 0;
            int32_t value = GetInt32(head_);
            if (state_ == State::RunCount) {
                if (value < 1) return Fail("run of fewer than one field");
                state_ = State::Length;
                run_ = value;
                return Event::Run;
            }
            if (value == kRunMarkerLength) {
                state_ = State::RunCount;
                continue;
            }
            if (value < 0) return Fail("negative field length");
            if (value > maxFieldLength_) return Fail("field longer than allowed");
            field_.clear();
            field_.reserve(static_cast<size_t>(value));
            remaining_ = value;
            state_ = State::Data;
            continue;
        }
        case State::Data: {
            size_t n = std::min(static_cast<size_t>(remaining_), static_cast<size_t>(end - data));
            field_.append(reinterpret_cast<const char*>(data), n);
            data += n;
            remaining_ -= static_cast<int32_t>(n);
            if (remaining_ > 0) return Event::NeedMore;
            state_ = State::Length;
            return Event::Field;
        }
        }
    }
}

RequestDecoder::Result RequestDecoder::Fail(const char* why) {
    stage_ = Stage::Failed;
    error_ = why;
    return Result::Malformed;
}

RequestDecoder::Result RequestDecoder::Accept(FieldDecoder::Event event) {
    if (event == FieldDecoder::Event::Run) {
        if (stage_ != Stage::Fields) return Fail("run marker in a request header");
        int32_t left = request_.count - static_cast<int32_t>(request_.fields.size());
        if (fields_.run() > left) return Fail("run longer than the fields left");
        request_.fields.resize(request_.fields.size() + static_cast<size_t>(fields_.run()));
    } else {
        bytes_ += static_cast<int64_t>(fields_.field().size());
        if (bytes_ > limits_.maxRequestBytes) return Fail("request larger than allowed");
        switch (stage_) {
        case Stage::Code: {
            const std::string& code = fields_.field();
            if (code.empty() || code.size() > static_cast<size_t>(limits_.maxCodeLength))
                return Fail("bad request code");
            request_.code = fields_.TakeField();
            stage_ = Stage::Count;
            return Result::NeedMore;
        }
        case Stage::Count: {
            const std::string& text = fields_.field();
            if (text.empty() || text.size() > 10 ||
                !std::all_of(text.begin(), text.end(), [](char c) { return c >= '0' && c <= '9'; }))
                return Fail("bad field count");
            int32_t count = ParseNumber(text.data(), text.size());
            if (count > limits_.maxFields) return Fail("more fields than allowed");
            request_.count = count;
            request_.fields.reserve(static_cast<size_t>(count));
            stage_ = Stage::Fields;
            break;
        }
        default: request_.fields.push_back(fields_.TakeField()); break;
        }
    }
    if (request_.fields.size() == static_cast<size_t>(request_.count)) {
        stage_ = Stage::Done;
        return Result::Complete;
    }
    return Result::NeedMore;
}

RequestDecoder::Result RequestDecoder::Feed(const void* data, size_t size, size_t* consumed) {
    *consumed = 0;
    if (stage_ == Stage::Failed) return Result::Malformed;
    if (stage_ == Stage::Done) {
        request_ = Request{};
        bytes_ = 0;
        stage_ = Stage::Code;
    }
    const auto* begin = static_cast<const uint8_t*>(data);
    const uint8_t* p = begin;
    const uint8_t* end = begin + size;
    Result result = Result::NeedMore;
    while (result == Result::NeedMore) {
        auto event = fields_.Next(p, end);
        if (event == FieldDecoder::Event::NeedMore) break;
        if (event == FieldDecoder::Event::Malformed) {
            result = Fail(fields_.error());
            break;
        }
        result = Accept(event);
    }
    *consumed = static_cast<size_t>(p - begin);
    return result;
}

} // namespace vorlan::wire
