#pragma once
// The demo application's trace, read by the tests that run against the fixture's dbserver:
// every entry the client calls leaves ^ZTRACE(n) = job, a blank, the entry with its
// arguments. Tests remember the last n they read (the mark) and read what came after it.

#include <algorithm>
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

inline int CountOf(const std::vector<std::string>& lines, const std::string& entry) {
    return static_cast<int>(std::count(lines.begin(), lines.end(), entry));
}

inline bool Has(const std::vector<std::string>& lines, const std::string& entry) {
    return CountOf(lines, entry) > 0;
}

} // namespace demotrace
