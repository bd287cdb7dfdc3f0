#pragma once
// A folder's entries by pattern, whole files, and copies.

#include <windows.h>

#include <functional>
#include <string>
#include <vector>

namespace fw {

struct FolderEntry {
    std::string name;
    bool folder = false;
    FILETIME lastWrite{};
    DWORD attributes = 0;
    unsigned long long size = 0;
};

// Each entry the pattern ("C:\IN\*.*") finds, without "." and "..", until `visit` answers
// false. False when the pattern finds nothing.
bool ForEachInFolder(const std::string& pattern, const std::function<bool(const FolderEntry&)>& visit);
// What the pattern finds, without "." and "..".
std::vector<FolderEntry> ListFolder(const std::string& pattern);
// The whole file, whatever bytes it holds; false when it cannot be read.
bool ReadWholeFile(const std::string& path, std::string& content);
// Copies the file; with `overwrite` false an existing target is kept and the copy fails.
bool CopyOneFile(const std::string& from, const std::string& to, bool overwrite);
// Tries the copy up to `tries` times, a little apart (a file still being written elsewhere).
bool CopyFileRetrying(const std::string& from, const std::string& to, int tries);
// Local time of the file time: day, month, year, hour, minute, second.
SYSTEMTIME LocalTimeOf(const FILETIME& time);

} // namespace fw
