#pragma once

#include "dbserver/MEngine.h"

#include <string>
#include <utility>

namespace vorlan::dbserver::test {

// An M job that answers from a script and records what it was given.
class ScriptedJob : public MEngine {
  public:
    int status = 0;
    std::string value, output, zstatus = "1,X^Y,%GTM-E-DIVZERO, Attempt to divide by zero";
    std::string lastBlob;
    int resets = 0;

    int Put(std::string_view blob) override {
        lastBlob = blob;
        return 0;
    }
    int Xecute() override { return status; }
    int Eval(std::string& v) override {
        v = value;
        return status;
    }
    void Reset() override { ++resets; }
    std::string ZStatus() override { return zstatus; }
    std::string TakeOutput() override { return std::exchange(output, ""); }
};

} // namespace vorlan::dbserver::test
