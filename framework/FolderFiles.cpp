#include "framework/FolderFiles.h"
#include "framework/FileHandle.h"

namespace fw {

std::vector<FolderEntry> ListFolder(const std::string& pattern) {
    std::vector<FolderEntry> entries;
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return entries;
    do {
        std::string name = found.cFileName;
        if (name == "." || name == "..") continue;
        entries.push_back(FolderEntry{name, (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0,
                                      found.ftLastWriteTime});
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
    return entries;
}

bool ReadWholeFile(const std::string& path, std::string& content) {
    CFileHandle file(::CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                   FILE_ATTRIBUTE_NORMAL, nullptr));
    if (!file.IsOpen()) return false;
    content.clear();
    char buffer[16384];
    DWORD got = 0;
    while (::ReadFile(file, buffer, sizeof buffer, &got, nullptr) && got > 0)
        content.append(buffer, got);
    return true;
}

bool CopyOneFile(const std::string& from, const std::string& to, bool overwrite) {
    return ::CopyFileA(from.c_str(), to.c_str(), overwrite ? FALSE : TRUE) != FALSE;
}

bool CopyFileRetrying(const std::string& from, const std::string& to, int tries) {
    for (int i = 0; i < tries; ++i) {
        if (CopyOneFile(from, to, false)) return true;
        if (::GetLastError() == ERROR_FILE_EXISTS) return false;
        ::Sleep(100);
    }
    return false;
}

SYSTEMTIME LocalTimeOf(const FILETIME& time) {
    FILETIME local;
    SYSTEMTIME st{};
    ::FileTimeToLocalFileTime(&time, &local);
    ::FileTimeToSystemTime(&local, &st);
    return st;
}

} // namespace fw
