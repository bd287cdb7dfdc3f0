#include "tools/ArchivExpLogic.h"

#include "framework/PathParts.h"
#include "tools/ExplorerFileLogic.h"
#include "tools/FolderPaths.h"

namespace vorlan {

bool IsPlainName(std::string_view text) {
    return explorerfiles::CheckLabel(text) == explorerfiles::LabelCheck::Ok;
}

bool ArchiveFolder(std::string_view root, const std::vector<std::string>& levels, std::string& out) {
    out.clear();
    std::string folder = fw::WithoutTrailingBackslash(root);
    for (const std::string& level : levels) {
        if (!IsPlainName(level)) return false;
        folder = JoinPath(folder, level);
        if (folder.empty()) return false;
    }
    out = folder;
    return true;
}

} // namespace vorlan
