#include "framework/PathParts.h"

namespace fw {

std::string FileNameOf(std::string_view path) {
    size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? path : path.substr(slash + 1));
}

std::string FolderOf(std::string_view path) {
    size_t slash = path.rfind('\\');
    return std::string(slash == std::string_view::npos ? std::string_view() : path.substr(0, slash));
}

} // namespace fw
