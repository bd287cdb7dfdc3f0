#pragma once
// A byte stream for the reply reader that arrives in the pieces a test chooses, then ends
// with the peer closing or with a time-out.

#include "common/ReplyReader.h"

#include <algorithm>
#include <cstring>
#include <deque>
#include <string>
#include <vector>

namespace vorlan::test {

class ScriptedSource : public wire::ByteSource {
  public:
    enum class End { Close, Timeout };

    explicit ScriptedSource(End end = End::Close) : end_(end) {}

    ScriptedSource& Piece(std::string bytes) {
        if (!bytes.empty()) pieces_.push_back(std::move(bytes));
        return *this;
    }

    // The whole of `stream` in pieces of `size` bytes.
    ScriptedSource& Pieces(const std::string& stream, size_t size) {
        for (size_t i = 0; i < stream.size(); i += size)
            Piece(stream.substr(i, size));
        return *this;
    }

    int Receive(uint8_t* buffer, int32_t length, bool all, int32_t* received) override {
        *received = 0;
        while (*received < length) {
            if (pieces_.empty()) {
                if (end_ == End::Timeout) return 10016;
                return 0; // closed: what has arrived is all there is
            }
            std::string& front = pieces_.front();
            size_t n = std::min(front.size(), static_cast<size_t>(length - *received));
            std::memcpy(buffer + *received, front.data(), n);
            *received += static_cast<int32_t>(n);
            consumed_ += n;
            front.erase(0, n);
            if (front.empty()) pieces_.pop_front();
            if (!all) break;
        }
        return 0;
    }

    int Drain() override {
        // Only what "has arrived": the first pending piece.
        if (!pieces_.empty()) {
            consumed_ += pieces_.front().size();
            pieces_.pop_front();
        }
        return 0;
    }

    std::string Rest() const {
        std::string all;
        for (const auto& p : pieces_)
            all += p;
        return all;
    }
    size_t consumed() const { return consumed_; }

  private:
    std::deque<std::string> pieces_;
    End end_;
    size_t consumed_ = 0;
};

} // namespace vorlan::test
