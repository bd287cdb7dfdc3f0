#include "tools/ArchivExpLogic.h"

#include "tools/ExplorerFileLogic.h"
#include "tools/FolderPaths.h"

namespace vorlan {

std::string WithTrailingBackslash(std::string_view folder) {
    std::string out(folder);
    if (out.empty() || out.back() != '\\') out += '\\';
    return out;
}

std::string ProgramFolderOf(std::string_view programPath) {
    size_t slash = programPath.find_last_of('\\');
    return slash == std::string_view::npos ? std::string() : std::string(programPath.substr(0, slash));
}

bool JoinArchivePath(std::string_view folder, std::string_view name, std::string& out) {
    // folder may be a view of out.
    bool slash = !folder.empty() && folder.back() == '\\';
    size_t length = folder.size() + (slash ? 0 : 1) + name.size();
    if (name.empty() || length >= kPathCapacity) {
        out.clear();
        return false;
    }
    std::string joined;
    joined.reserve(length);
    joined.append(folder);
    if (!slash) joined += '\\';
    joined.append(name);
    out.swap(joined);
    return true;
}

bool IsPlainName(std::string_view text) {
    return explorerfiles::CheckLabel(text) == explorerfiles::LabelCheck::Ok;
}

bool ArchiveFolder(std::string_view root, const std::vector<std::string>& levels, std::string& out) {
    out.clear();
    std::string folder(root);
    if (!folder.empty() && folder.back() == '\\') folder.pop_back();
    for (const std::string& level : levels) {
        if (!IsPlainName(level)) return false;
        std::string longer;
        if (!JoinArchivePath(folder, level, longer)) return false;
        folder.swap(longer);
    }
    if (folder.size() >= kPathCapacity) return false;
    out = folder;
    return true;
}

} // namespace vorlan
