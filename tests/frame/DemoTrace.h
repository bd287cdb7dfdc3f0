#pragma once
// The demo application's trace, read by the tests that run against the fixture's dbserver:
// every entry the client calls leaves ^ZTRACE(n) = job, a blank, the entry with its
// arguments. Tests remember the last n they read (the mark) and read what came after it.

#include "app/SessionTransport.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

namespace demotrace {

// Answers the number of the last entry: the first mark.
constexpr const char* kLastEntryLine = "W $O(^ZTRACE(\"\"),-1)";

// Writes every entry after the mark (empty: all) as "n job entry", one a line.
inline std::string EntriesAfterLine(const std::string& mark) {
    return "S n=" + (mark.empty() ? std::string("\"\"") : mark) +
           " F  S n=$O(^ZTRACE(n)) Q:n=\"\"  W n,\" \",^ZTRACE(n),$C(10)";
}

// The entries of that line's output as "job entry"; the mark moves to the last one read.
inline std::vector<std::string> ReadEntries(const std::string& output, std::string& mark) {
    std::vector<std::string> lines;
    for (size_t at = 0, nl; (nl = output.find('\n', at)) != std::string::npos; at = nl + 1) {
        std::string line = output.substr(at, nl - at);
        size_t blank = line.find(' ');
        mark = line.substr(0, blank);
        lines.push_back(blank == std::string::npos ? std::string() : line.substr(blank + 1));
    }
    return lines;
}

// "entry" of each "job entry".
inline std::vector<std::string> WithoutJobs(const std::vector<std::string>& lines) {
    std::vector<std::string> out;
    for (const auto& l : lines) {
        size_t blank = l.find(' ');
        out.push_back(blank == std::string::npos ? std::string() : l.substr(blank + 1));
    }
    return out;
}

// The entries of one job among "job entry" lines.
inline std::vector<std::string> OfJob(const std::vector<std::string>& lines, const std::string& job) {
    std::vector<std::string> out;
    for (const auto& l : lines)
        if (l.compare(0, job.size() + 1, job + " ") == 0) out.push_back(l.substr(job.size() + 1));
    return out;
}

// The entries one per line, for a failure message.
inline std::string Joined(const std::vector<std::string>& lines) {
    std::string out;
    for (const auto& l : lines)
        out += "\n  " + l;
    return out;
}

inline int CountOf(const std::vector<std::string>& lines, const std::string& entry) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), entry));
}

inline bool Has(const std::vector<std::string>& lines, const std::string& entry) {
    return CountOf(lines, entry) > 0;
}

// Reads the trace on a connection of its own (through the client library, beside whatever
// the test runs), from the entry that was the last one when it was made.
class TraceReader {
  public:
    explicit TraceReader(int port) : m_transport(MakeClientLibraryTransport()) {
        m_transport->Initialize();
        m_handle = m_transport->Login("127.0.0.1", port, "", "", "");
        m_start = m_mark = Run(kLastEntryLine);
    }
    // Its library is left running: the session's rundown, if any, ends it for the process.
    ~TraceReader() {
        if (IsConnectionHandle(m_handle)) m_transport->Logout(m_handle);
    }
    TraceReader(const TraceReader&) = delete;
    TraceReader& operator=(const TraceReader&) = delete;

    std::string Run(const std::string& line) {
        std::vector<char> out(0x10000);
        if (!IsConnectionHandle(m_handle)) return "";
        m_transport->Xecute(m_handle, line.c_str(), out.data(), static_cast<int>(out.size()));
        return out.data();
    }
    // "job entry" of each entry since the last look (the first look: since the reader was made).
    std::vector<std::string> Next() { return ReadFrom(m_mark); }
    // Every entry since the reader was made, without job numbers; the last look stays.
    std::vector<std::string> All() {
        std::string mark = m_start;
        return WithoutJobs(ReadFrom(mark));
    }

  private:
    // One answer holds only so many entries (a grid's load leaves thousands): read on from
    // the last whole entry until an answer brings none.
    std::vector<std::string> ReadFrom(std::string& mark) {
        std::vector<std::string> lines;
        for (;;) {
            std::vector<std::string> more = ReadEntries(Run(EntriesAfterLine(mark)), mark);
            if (more.empty()) return lines;
            lines.insert(lines.end(), more.begin(), more.end());
        }
    }

    std::unique_ptr<ISessionTransport> m_transport;
    int m_handle = 0;
    std::string m_start, m_mark;
};

} // namespace demotrace
