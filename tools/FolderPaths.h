#pragma once
// Folder paths of the workplace tools without Windows in them: the levels a folder is made
// in, the path placeholders and status-line abbreviations.

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

namespace vorlan {

// A path with its terminator fits this many characters.
constexpr size_t kPathCapacity = 260;

// The folders to create one after another for the path, parents first and the path itself
// last. Neither a drive root nor the server and share of a UNC path are among them.
std::vector<std::string> DirectoryLevels(std::string_view path);

// The source with every "%vorlan%" replaced by the program file's path and every
// "%program%" by its folder (the path up to its last backslash); replaced text is not
// searched again. False, with out empty, when the result would not fit kPathCapacity.
bool TranslatePlaceholders(std::string_view source, std::string_view programPath, std::string& out);

// A path for a status line: the first `keep` characters and "..." when it is longer.
std::string ShortenPath(std::string_view path, size_t keep = 35);

} // namespace vorlan
