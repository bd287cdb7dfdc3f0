#include "dbserver/GtmJob.h"

#include "dbserver/Log.h"

#include <cstdlib>
#include <cstring>
#include <dlfcn.h>
#include <fcntl.h>
#include <stdexcept>
#include <sys/mman.h>
#include <unistd.h>
#ifdef __SANITIZE_ADDRESS__
#include <sanitizer/lsan_interface.h>
#endif

namespace vorlan::dbserver {

namespace {

// GT.M's string descriptor of the call-in interface.
struct GtmString {
    long length;
    const char* address;
};

const size_t kMaxString = 1048576;

// The output file keeps this size beyond kMaxJobOutput: a write that fails at its end stops at
// a page or folio boundary (2 MB at most) short of it, so it has always passed the limit.
const off_t kOutputFileSize = static_cast<off_t>(kMaxJobOutput) + (off_t{4} << 20);

GtmString Str(std::string_view s) {
    return {static_cast<long>(s.size()), s.data()};
}

void* Symbol(void* lib, const char* name) {
    void* p = dlsym(lib, name);
    if (!p) throw std::runtime_error(std::string("GT.M lacks ") + name);
    return p;
}

} // namespace

GtmJob::GtmJob(const std::string& gtmDist) : m_value(kMaxString + 1) {
#ifdef __SANITIZE_ADDRESS__
    // GT.M keeps its allocations to the end of the process; they are not ours to report.
    __lsan_disable();
#endif
    int input = open("/dev/null", O_RDONLY);
    int output = memfd_create("dbserver-output", MFD_ALLOW_SEALING);
    // Sparse and sealed at its size: it takes memory only as written and never grows.
    if (input < 0 || output < 0 || ftruncate(output, kOutputFileSize) != 0 ||
        fcntl(output, F_ADD_SEALS, F_SEAL_GROW | F_SEAL_SHRINK) != 0)
        throw std::runtime_error("cannot set up the job's principal device");
    dup2(input, 0);
    dup2(output, 1);
    close(input);
    close(output);

    const std::string path = gtmDist + "/libgtmshr.so";
    m_lib = dlopen(path.c_str(), RTLD_NOW | RTLD_GLOBAL);
    if (!m_lib) throw std::runtime_error(std::string("cannot load GT.M: ") + dlerror());
    auto init = reinterpret_cast<int (*)()>(Symbol(m_lib, "gtm_init"));
    m_cip = reinterpret_cast<CallIn>(Symbol(m_lib, "gtm_cip"));
    m_zstatus = reinterpret_cast<void (*)(char*, int)>(Symbol(m_lib, "gtm_zstatus"));
    m_exit = reinterpret_cast<int (*)()>(Symbol(m_lib, "gtm_exit"));
    if (init() != 0) throw std::runtime_error("GT.M did not start: " + ZStatus());

    const std::pair<Entry*, const char*> entries[] = {
        {&m_put, "put"}, {&m_xec, "xec"}, {&m_eval, "eval"}, {&m_start, "start"}, {&m_reset, "reset"}};
    for (auto [entry, name] : entries)
        *entry = {static_cast<long>(std::strlen(name)), name, nullptr};
}

int GtmJob::Begin(const std::string& gld, const std::string& systemGld) {
    GtmString g = Str(gld), s = Str(systemGld);
    return m_cip(&m_start, &g, &s);
}

int GtmJob::Put(std::string_view blob) {
    GtmString b = Str(blob);
    return m_cip(&m_put, &b);
}

int GtmJob::Xecute() {
    return Checked(m_cip(&m_xec));
}

int GtmJob::Eval(std::string& value) {
    GtmString out{static_cast<long>(m_value.size()), m_value.data()};
    int status = Checked(m_cip(&m_eval, &out));
    if (status == 0) value.assign(m_value.data(), static_cast<size_t>(out.length));
    return status;
}

off_t GtmJob::OutputEnd() const {
    return lseek(1, 0, SEEK_CUR);
}

// Output past the limit fails the request even when its code trapped the write's error.
int GtmJob::Checked(int status) const {
    if (OutputEnd() <= static_cast<off_t>(kMaxJobOutput)) return status;
    LogLine("output beyond " + std::to_string(kMaxJobOutput) + " bytes, request stopped");
    return kOutputOverflow;
}

void GtmJob::Reset() {
    m_cip(&m_reset);
}

std::string GtmJob::ZStatus() {
    char buf[4096] = {};
    m_zstatus(buf, sizeof buf - 1);
    return buf;
}

std::string GtmJob::TakeOutput() {
    const off_t end = OutputEnd();
    if (end <= 0) return {};
    std::string out;
    if (end <= static_cast<off_t>(kMaxJobOutput)) {
        out.resize(static_cast<size_t>(end));
        ssize_t n = pread(1, out.data(), out.size(), 0);
        out.resize(n > 0 ? static_cast<size_t>(n) : 0);
    }
    // Only what lies before the position is ever read, so the bytes left behind are harmless;
    // punching them out gives their memory back.
    fallocate(1, FALLOC_FL_PUNCH_HOLE | FALLOC_FL_KEEP_SIZE, 0, end);
    if (lseek(1, 0, SEEK_SET) != 0) {
        // Every later reply would carry this output again: end the job instead.
        LogLine("cannot empty the job's output; ending the job");
        std::_Exit(1);
    }
    return out;
}

void GtmJob::Exit() {
    if (m_exit) m_exit();
}

} // namespace vorlan::dbserver
