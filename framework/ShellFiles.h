#pragma once
// Files through the shell: moves with its progress and questions, opening with the program
// that the file's type names.

#include <windows.h>
#include <shellapi.h>

#include <string>
#include <vector>

namespace fw {

// The paths as SHFileOperation takes them: each ended by a NUL, the list by one more.
std::string ShellPathList(const std::vector<std::string>& paths);
// Moves the files into the folder; true when the shell reports success and the user
// cancelled nothing.
bool ShellMoveFiles(HWND owner, const std::vector<std::string>& paths, const std::string& folder,
                    FILEOP_FLAGS flags = 0);
// Opens the file with its program, the file's folder as working directory.
bool ShellOpenFile(HWND owner, const std::string& path);

} // namespace fw
