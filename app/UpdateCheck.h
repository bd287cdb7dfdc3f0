#pragma once
// Program version decisions of the about box and the update check.

#include <cstdint>
#include <string>

namespace vorlan {

struct FileVersion {
    uint32_t high = 0; // more significant half
    uint32_t low = 0;
    bool IsZero() const { return high == 0 && low == 0; }
};

// An update is offered only when both versions are known and the candidate is newer.
bool IsNewerVersion(const FileVersion& candidate, const FileVersion& running);

// "Version %d (Build %d) %s" from the less significant half.
std::string VersionText(const FileVersion& running, bool themed);

// The installer's parameters: the program folder as one quoted argument. Backslashes before
// the closing quote are doubled, or the last one would escape the quote.
std::string InstallerParameters(const std::string& programFolder);

} // namespace vorlan
