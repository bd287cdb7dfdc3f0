#include "services/FolderPath.h"

namespace vorlan {

bool IsAbsolutePath(std::string_view path) {
    return (path.size() >= 2 && path[1] == ':') || (!path.empty() && (path[0] == '\\' || path[0] == '/'));
}

std::string ResolveAgainst(std::string_view folder, std::string_view name) {
    if (IsAbsolutePath(name) || folder.empty() || name.empty()) return std::string(name);
    std::string path(folder);
    if (path.back() != '\\' && path.back() != '/') path += '\\';
    return path + std::string(name);
}

} // namespace vorlan
