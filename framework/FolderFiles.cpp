#include "framework/FolderFiles.h"
#include "framework/FileHandle.h"

namespace fw {

bool ForEachInFolder(const std::string& pattern, const std::function<bool(const FolderEntry&)>& visit) {
    WIN32_FIND_DATAA found;
    HANDLE find = ::FindFirstFileA(pattern.c_str(), &found);
    if (find == INVALID_HANDLE_VALUE) return false;
    FolderEntry entry;
    do {
        entry.name = found.cFileName;
        if (entry.name == "." || entry.name == "..") continue;
        entry.folder = (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
        entry.lastWrite = found.ftLastWriteTime;
        entry.attributes = found.dwFileAttributes;
        entry.size = (static_cast<unsigned long long>(found.nFileSizeHigh) << 32) | found.nFileSizeLow;
        if (!visit(entry)) break;
    } while (::FindNextFileA(find, &found));
    ::FindClose(find);
    return true;
}

std::vector<FolderEntry> ListFolder(const std::string& pattern) {
    std::vector<FolderEntry> entries;
    ForEachInFolder(pattern, [&](const FolderEntry& entry) {
        entries.push_back(entry);
        return true;
    });
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
