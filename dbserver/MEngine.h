#pragma once
// What request handling needs of an M job. GtmJob is the real one; tests and the fuzz
// target plug in doubles.

#include <string>
#include <string_view>

namespace vorlan::dbserver {

class MEngine {
  public:
    virtual ~MEngine() = default;
    // Each returns 0 or an error status; ZStatus() then describes the error.
    virtual int Put(std::string_view blob) = 0;
    virtual int Xecute() = 0;
    virtual int Eval(std::string& value) = 0;
    virtual void Reset() = 0;
    virtual std::string ZStatus() = 0;
    virtual std::string TakeOutput() = 0;
};

} // namespace vorlan::dbserver
