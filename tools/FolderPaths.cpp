#include "tools/FolderPaths.h"
#include "framework/PathParts.h"

namespace vorlan {

namespace {

// Where the levels below a UNC share begin (after "\\server\share\"), or npos when the path
// is no more than the share.
size_t BelowShare(std::string_view path) {
    size_t server = path.find('\\', 2);
    if (server == std::string_view::npos) return std::string_view::npos;
    size_t share = path.find('\\', server + 1);
    return share == std::string_view::npos ? std::string_view::npos : share + 1;
}

} // namespace

std::vector<std::string> DirectoryLevels(std::string_view path) {
    // A trailing backslash would name the last folder twice.
    while (path.size() > 1 && path.back() == '\\' && path[path.size() - 2] != ':' &&
           path[path.size() - 2] != '\\')
        path.remove_suffix(1);
    std::vector<std::string> levels;
    if (path.empty()) return levels;
    size_t start = 0;
    if (path.substr(0, 2) == "\\\\") {
        start = BelowShare(path);
        if (start == std::string_view::npos) start = path.size();
    }
    for (size_t i = start; i < path.size(); ++i) {
        if (path[i] != '\\' || i == 0) continue;
        bool doubled = i + 1 < path.size() && path[i + 1] == '\\';
        if (doubled || path[i - 1] == ':' || path[i - 1] == '\\') continue;
        levels.emplace_back(path.substr(0, i));
    }
    levels.emplace_back(path);
    return levels;
}

bool TranslatePlaceholders(std::string_view source, std::string_view programPath, std::string& out) {
    static constexpr std::string_view kVorlan = "%vorlan%", kProgram = "%program%";
    std::string folder = fw::FolderOf(programPath);
    out.clear();
    for (size_t i = 0; i < source.size();) {
        if (source.substr(i, kVorlan.size()) == kVorlan) {
            out += programPath;
            i += kVorlan.size();
        } else if (source.substr(i, kProgram.size()) == kProgram) {
            out += folder;
            i += kProgram.size();
        } else {
            out += source[i++];
        }
    }
    if (PathFits(out)) return true;
    out.clear();
    return false;
}

bool PathFits(std::string_view path) {
    return path.size() < kPathCapacity;
}

std::string JoinPath(std::string_view folder, std::string_view name) {
    bool slash = !folder.empty() && folder.back() == '\\';
    if (name.empty() || folder.size() + (slash ? 0 : 1) + name.size() >= kPathCapacity) return {};
    std::string path(folder);
    if (!slash) path += '\\';
    path += name;
    return path;
}

bool NameTaken(bool attributesFound, unsigned long lastError) {
    constexpr unsigned long kFileNotFound = 2, kPathNotFound = 3;
    return attributesFound || (lastError != kFileNotFound && lastError != kPathNotFound);
}

FreeName ClaimFirstFree(int first, int last, const std::function<std::string(int)>& candidate,
                        const std::function<bool(const std::string&)>& claim, std::string& path) {
    path.clear();
    for (int n = first; n <= last; ++n) {
        std::string tried = candidate(n);
        if (tried.empty() || !PathFits(tried)) return FreeName::TooLong;
        if (claim(tried)) {
            path = std::move(tried);
            return FreeName::Ok;
        }
    }
    return FreeName::NoneFree;
}

std::string ShortenPath(std::string_view path, size_t keep) {
    if (path.size() <= keep) return std::string(path);
    return std::string(path.substr(0, keep)) + "...";
}

} // namespace vorlan
