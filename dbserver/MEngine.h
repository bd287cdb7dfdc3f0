#pragma once
// What request handling needs of an M job. GtmJob is the real one; tests and the fuzz
// target plug in doubles.

#include <cstddef>
#include <string>
#include <string_view>

namespace vorlan::dbserver {

// The most one request may write; far above the 64 KB the program reads of a line, and low
// enough that a line that never stops writing cannot take the machine's memory.
inline constexpr size_t kMaxJobOutput = size_t{16} << 20;
// Status of Xecute and Eval when the request wrote beyond kMaxJobOutput: its writing was
// stopped with an error and its output is dropped.
inline constexpr int kOutputOverflow = -1;

class MEngine {
  public:
    virtual ~MEngine() = default;
    // Each returns 0, kOutputOverflow or an error status that ZStatus() then describes.
    virtual int Put(std::string_view blob) = 0;
    virtual int Xecute() = 0;
    virtual int Eval(std::string& value) = 0;
    virtual void Reset() = 0;
    virtual std::string ZStatus() = 0;
    virtual std::string TakeOutput() = 0;
};

} // namespace vorlan::dbserver
