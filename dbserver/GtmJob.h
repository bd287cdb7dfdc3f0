#pragma once
// The GT.M job inside a connection's process: GT.M's runtime loaded into the process and
// driven through its call-in interface (routine %DBSRV). An M error comes back as a status
// with the M stack unwound, so the job survives it with its locals, locks and globals.
// The job's principal input is empty and its principal output is an in-memory file that
// the caller empties after each request, byte for byte. That file cannot grow past
// kMaxJobOutput and a little more, so a write beyond it fails in GT.M (or in a command the
// job started) and stops the request.

#include "dbserver/MEngine.h"

#include <string>
#include <string_view>
#include <sys/types.h>
#include <vector>

namespace vorlan::dbserver {

class GtmJob : public MEngine {
  public:
    // Loads GT.M from gtmDist and starts its runtime; the environment must already be set
    // (SetGtmEnvironment). Redirects file descriptors 0 and 1. Throws std::runtime_error.
    explicit GtmJob(const std::string& gtmDist);
    GtmJob(const GtmJob&) = delete;
    GtmJob& operator=(const GtmJob&) = delete;

    // Each call returns 0 or GT.M's error status; ZStatus() then holds the error.
    int Begin(const std::string& gld, const std::string& systemGld);
    int Put(std::string_view blob) override;
    int Xecute() override;
    int Eval(std::string& value) override;
    // After an error: principal device current, no $ECODE, no open transaction.
    void Reset() override;

    std::string ZStatus() override;
    // What the job wrote since the last call (nothing after an overflow); empties the output.
    std::string TakeOutput() override;

    // Orderly end of the GT.M runtime (database rundown); the process should exit next.
    void Exit();

  private:
    // The end of what the job wrote since the output was last emptied.
    off_t OutputEnd() const;
    int Checked(int status) const;

    struct Entry {
        long length;
        const char* address;
        void* handle;
    };
    using CallIn = int (*)(Entry*, ...);

    void* m_lib = nullptr;
    CallIn m_cip = nullptr;
    void (*m_zstatus)(char*, int) = nullptr;
    int (*m_exit)() = nullptr;
    Entry m_put{}, m_xec{}, m_eval{}, m_start{}, m_reset{};
    std::vector<char> m_value; // room for the largest M string
};

} // namespace vorlan::dbserver
