#include "framework/ShellFiles.h"
#include "framework/PathParts.h"

#include <shellapi.h>

namespace fw {

std::string ShellPathList(const std::vector<std::string>& paths) {
    std::string list;
    for (const std::string& path : paths) {
        list += path;
        list += '\0';
    }
    list += '\0';
    return list;
}

bool ShellMoveFiles(HWND owner, const std::vector<std::string>& paths, const std::string& folder,
                    FILEOP_FLAGS flags) {
    if (paths.empty()) return false;
    // One target path per file: some shells refuse several files into one folder.
    std::vector<std::string> targets;
    for (const std::string& path : paths)
        targets.push_back(folder + "\\" + FileNameOf(path));
    std::string from = ShellPathList(paths);
    std::string to = ShellPathList(targets);
    SHFILEOPSTRUCTA op{};
    op.hwnd = owner;
    op.wFunc = FO_MOVE;
    op.pFrom = from.c_str();
    op.pTo = to.c_str();
    op.fFlags = static_cast<FILEOP_FLAGS>(flags | FOF_MULTIDESTFILES);
    return ::SHFileOperationA(&op) == 0 && !op.fAnyOperationsAborted;
}

bool ShellOpenFile(HWND owner, const std::string& path) {
    std::string folder = FolderOf(path);
    HINSTANCE r = ::ShellExecuteA(owner, "open", path.c_str(), nullptr,
                                  folder.empty() ? nullptr : folder.c_str(), SW_SHOWNORMAL);
    return reinterpret_cast<INT_PTR>(r) > 32;
}

} // namespace fw
