#include "framework/PathParts.h"

namespace fw {

namespace {
// Windows takes either slash, and paths from the server come with both.
size_t LastSeparator(std::string_view path) {
    return path.find_last_of("\\/");
}
} // namespace

std::string FileNameOf(std::string_view path) {
    size_t slash = LastSeparator(path);
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FolderOf(std::string_view path) {
    size_t slash = LastSeparator(path);
    return std::string(slash == std::string_view::npos ? std::string_view() : path.substr(0, slash));
}

std::string WithTrailingBackslash(std::string_view folder) {
    std::string out(folder);
    if (!out.empty() && out.back() != '\\') out += '\\';
    return out;
}

std::string WithoutTrailingBackslash(std::string_view folder) {
    while (!folder.empty() && folder.back() == '\\')
        folder.remove_suffix(1);
    return std::string(folder);
}

} // namespace fw
