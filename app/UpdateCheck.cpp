#include "app/UpdateCheck.h"
#include "framework/PathParts.h"

#include <cstdio>

namespace vorlan {

bool IsNewerVersion(const FileVersion& candidate, const FileVersion& running) {
    if (candidate.IsZero() || running.IsZero()) return false;
    if (candidate.high != running.high) return candidate.high > running.high;
    return candidate.low > running.low;
}

std::string VersionText(const FileVersion& running, bool themed) {
    char buf[96];
    std::snprintf(buf, sizeof buf, "Version %d (Build %d) %s", static_cast<int>(running.low >> 16),
                  static_cast<int>(running.low & 0xFFFF), themed ? " (Windows XP)" : "");
    return buf;
}

std::string InstallerParameters(const std::string& programFolder) {
    std::string folder = fw::WithTrailingBackslash(programFolder);
    size_t trailing = 0;
    while (trailing < folder.size() && folder[folder.size() - 1 - trailing] == '\\')
        ++trailing;
    return "\"" + folder + std::string(trailing, '\\') + "\"";
}

} // namespace vorlan
