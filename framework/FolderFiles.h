#pragma once
// A folder's entries by pattern, whole files, and copies.

#include <windows.h>

#include <string>
#include <vector>

namespace fw {

struct FolderEntry {
    std::string name;
    bool folder = false;
    FILETIME lastWrite{};
};

// What the pattern ("C:\IN\*.*") finds, without "." and "..".
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
