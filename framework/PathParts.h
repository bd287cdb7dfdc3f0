#pragma once
// A path's file name and folder, split at its last backslash or slash. Plain text, no Windows in it:
// built in every tree.

#include <string>
#include <string_view>

namespace fw {

// What follows the last separator; the whole path when it has none.
std::string FileNameOf(std::string_view path);
// What precedes the last separator, without it; empty when the path has none.
std::string FolderOf(std::string_view path);
// The folder with one backslash at its end (empty stays empty).
std::string WithTrailingBackslash(std::string_view folder);
// The folder without the backslashes at its end.
std::string WithoutTrailingBackslash(std::string_view folder);

} // namespace fw
