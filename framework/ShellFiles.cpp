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

bool CShellProcess::Wait(DWORD timeoutMs) const {
    return !m_hProcess || ::WaitForSingleObject(m_hProcess, timeoutMs) == WAIT_OBJECT_0;
}

void CShellProcess::Attach(HANDLE process) {
    Close();
    m_hProcess = process;
}

HANDLE CShellProcess::Detach() {
    HANDLE process = m_hProcess;
    m_hProcess = nullptr;
    return process;
}

void CShellProcess::Close() {
    if (m_hProcess) ::CloseHandle(m_hProcess);
    m_hProcess = nullptr;
}

bool ShellExecuteProcess(HWND owner, const char* verb, const std::string& file, const std::string& parameters,
                         const std::string& folder, int show, CShellProcess& process) {
    process.Close();
    SHELLEXECUTEINFOA info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS | SEE_MASK_FLAG_NO_UI;
    info.hwnd = owner;
    info.lpVerb = verb;
    info.lpFile = file.c_str();
    info.lpParameters = parameters.empty() ? nullptr : parameters.c_str();
    info.lpDirectory = folder.empty() ? nullptr : folder.c_str();
    info.nShow = show;
    if (!::ShellExecuteExA(&info)) return false;
    process.Attach(info.hProcess);
    return true;
}

} // namespace fw
